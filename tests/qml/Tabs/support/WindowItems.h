#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class QQuickItem;
class QQuickWindow;

// The items of the program's window as a person sees them: found by object name along the item
// tree (object names repeat across tabs and blocks, so a path narrows the search), the text an item
// shows, and mouse clicks at an item's centre. GUI thread.
namespace nWindowItems
{

// The first item at or below root, depth first along the child items, with that object name; null
// when there is none.
QQuickItem* Find(QQuickItem* root, const QString& objectName);
// Each name searched below the item the previous one found, starting at the window's content
// item; null when a step finds nothing.
QQuickItem* Find(QQuickWindow* window, const QStringList& path);
// The first visible item of that name at or below root (a hidden item's subtree is skipped).
QQuickItem* FindVisible(QQuickItem* root, const QString& objectName);

// The item's centre in window coordinates, rounded.
QPoint Centre(const QQuickItem* item);

// What the item shows: a value box its entry text, a combo box its current entry, otherwise the
// text of the first text item in it (a toggle button's "IN"/"OUT"). Empty for a null item.
QString ShownText(const QQuickItem* item);
// Whether a toggle button is lit.
bool IsOn(const QQuickItem* item);

// A left click at the item's centre, as a mouse on the window gives it. False (nothing sent) when
// the item is null or not visible.
bool Click(QQuickWindow* window, const QQuickItem* item);

} // namespace nWindowItems
