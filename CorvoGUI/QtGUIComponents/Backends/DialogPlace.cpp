#include "CorvoGUI/QtGUIComponents/Backends/DialogPlace.h"

#include <QtGlobal>

#include <cmath>

namespace nDialogPlace
{

namespace
{

// The start of a span of that length centred over the other span, then moved into the bounds.
int Along(int over, int overLength, int length, int boundsStart, int boundsLength, bool bounded)
{
    const int centred = over + int(std::floor((overLength - length) / 2.0 + 0.5));
    return bounded ? qBound(boundsStart, centred, boundsStart + boundsLength - length) : centred;
}

} // namespace

QRect Over(const QRect& window, const QSize& dialog, const QRect& area)
{
    const bool bounded = !area.isEmpty();
    const int width = bounded ? qMin(dialog.width(), area.width()) : dialog.width();
    const int height = bounded ? qMin(dialog.height(), area.height()) : dialog.height();
    return QRect(Along(window.x(), window.width(), width, area.x(), area.width(), bounded),
                 Along(window.y(), window.height(), height, area.y(), area.height(), bounded), width, height);
}

} // namespace nDialogPlace
