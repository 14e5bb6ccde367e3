#include "tests/qml/WindowSupport/SceneSearch.h"

#include <QQuickItem>

QQuickItem* FindInScene(const QQuickItem* root, const QString& objectName)
{
    if (root == nullptr)
    {
        return nullptr;
    }
    for (QQuickItem* child : root->childItems())
    {
        if (child->objectName() == objectName)
        {
            return child;
        }
        if (QQuickItem* found = FindInScene(child, objectName))
        {
            return found;
        }
    }
    return nullptr;
}
