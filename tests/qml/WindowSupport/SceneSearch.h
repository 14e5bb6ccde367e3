#pragma once

#include <QString>

class QQuickItem;

// The first item of that object name in the visual tree below root (depth first, root itself not
// included); null when there is none. With visibleOnly, a hidden item and everything below it are
// passed over. The visual tree holds what a QObject search misses: a Repeater's delegates and a
// popup's items. GUI thread.
QQuickItem* FindInScene(const QQuickItem* root, const QString& objectName, bool visibleOnly = false);
