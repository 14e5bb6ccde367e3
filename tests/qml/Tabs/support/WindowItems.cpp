#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/qml/WindowSupport/SceneSearch.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QVariant>
#include <QtTest>

namespace nWindowItems
{

namespace
{

QQuickItem* Search(QQuickItem* root, const QString& objectName, bool visibleOnly)
{
    if (root == nullptr || (visibleOnly && !root->isVisible()))
    {
        return nullptr;
    }
    return root->objectName() == objectName ? root : FindInScene(root, objectName, visibleOnly);
}

const QQuickItem* FirstText(const QQuickItem* root)
{
    const QList<QQuickItem*> children = root->childItems();
    for (const QQuickItem* child : children)
    {
        if (child->inherits("QQuickText"))
        {
            return child;
        }
        if (const QQuickItem* found = FirstText(child))
        {
            return found;
        }
    }
    return nullptr;
}

} // namespace

QQuickItem* Find(QQuickItem* root, const QString& objectName)
{
    return Search(root, objectName, false);
}

QQuickItem* Find(QQuickWindow* window, const QStringList& path)
{
    QQuickItem* item = window != nullptr ? window->contentItem() : nullptr;
    for (const QString& name : path)
    {
        item = Search(item, name, false);
    }
    return item;
}

QQuickItem* FindVisible(QQuickItem* root, const QString& objectName)
{
    return Search(root, objectName, true);
}

QPoint Centre(const QQuickItem* item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

QString ShownText(const QQuickItem* item)
{
    if (item == nullptr)
    {
        return QString();
    }
    if (const QObject* valueWidget = item->property("valueWidget").value<QObject*>())
    {
        return valueWidget->property("text").toString();
    }
    const QVariant currentText = item->property("currentText");
    if (currentText.isValid())
    {
        return currentText.toString();
    }
    const QQuickItem* text = FirstText(item);
    return text != nullptr ? text->property("text").toString() : QString();
}

bool IsOn(const QQuickItem* item)
{
    return item != nullptr && item->property("buttonOn").toBool();
}

bool Click(QQuickWindow* window, const QQuickItem* item)
{
    if (window == nullptr || item == nullptr || !item->isVisible())
    {
        return false;
    }
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, Centre(item));
    return true;
}

} // namespace nWindowItems
