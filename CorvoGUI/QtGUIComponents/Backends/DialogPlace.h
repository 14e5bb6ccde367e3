#pragma once

#include <QRect>
#include <QSize>

// Where a dialog opens over a window. Any thread.
namespace nDialogPlace
{

// The dialog's place, in the coordinates of window and area: no larger than the area, centred over
// the window (a half pixel rounded up, towards the right and the bottom), then moved the least that
// brings it wholly into the area, so that a dialog over a window at the area's edge does not hang
// over it. An empty area bounds nothing.
QRect Over(const QRect& window, const QSize& dialog, const QRect& area);

} // namespace nDialogPlace
