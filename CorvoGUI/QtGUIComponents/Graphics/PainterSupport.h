#pragma once

#include "QtGUIComponents/Common/FontTableTypes.h"

#include <QColor>
#include <QGradient>
#include <QImage>
#include <QPen>
#include <QSize>
#include <QString>

class QPainter;

// Small helpers shared by the painters. Any thread.
namespace nPainterSupport
{

// A new ARGB32 image of the size filled with the colour; null when the size gives no image.
QImage NewImage(const QSize& size, const QColor& fill = QColor(0, 0, 0, 0));

// A pen of the colour (or brush) and width: solid, square cap, bevel join unless given.
QPen SolidPen(const QBrush& brush, double width, Qt::PenCapStyle cap = Qt::SquareCap,
              Qt::PenJoinStyle join = Qt::BevelJoin);

// Whether the id contains the keyword (case-sensitive).
inline bool Has(const QString& id, const char* keyword)
{
    return id.contains(QLatin1String(keyword));
}
inline bool StartsWith(const QString& id, const char* keyword)
{
    return id.startsWith(QLatin1String(keyword));
}

// Section n of the id split at "**" as an integer, or as a float; 0 when absent or not a number.
int IntSection(const QString& id, int section);
float FloatSection(const QString& id, int section);

// A meter's range: the low and high end (sections 1 and 3) as 16-bit levels in 1/256 dB.
struct sMeterRange
{
    int low = 0;
    int high = 0;
};
sMeterRange MeterRangeOf(const QString& id);

// Adds the stop when its position lies in 0..1 (a stop beyond the ends would be dropped by Qt).
void AddStop(QGradient& gradient, double position, const QColor& colour);

// Scaled font n of the Arial table, or null (after a report naming the id) while the table is not
// built.
const sScaledFont* ArialScaledFont(int font, const QString& id);

// The levels of the meters, in 1/256 dB.
constexpr int DB = 256;

} // namespace nPainterSupport
