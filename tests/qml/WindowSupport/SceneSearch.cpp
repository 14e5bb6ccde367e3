#include "tests/qml/WindowSupport/SceneSearch.h"

#include <QQuickItem>

QQuickItem* FindInScene(const QQuickItem* root, const QString& objectName, bool visibleOnly)
{
    if (root == nullptr)
    {
        return nullptr;
    }
    for (QQuickItem* child : root->childItems())
    {
        if (visibleOnly && !child->isVisible())
        {
            continue;
        }
        if (child->objectName() == objectName)
        {
            return child;
        }
        if (QQuickItem* found = FindInScene(child, objectName, visibleOnly))
        {
            return found;
        }
    }
    return nullptr;
}
