#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"

#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Common/cFontManager.h"

#include <QStringList>

#include <cmath>

namespace nPainterSupport
{

QImage NewImage(const QSize& size, const QColor& fill)
{
    if (size.width() <= 0 || size.height() <= 0)
    {
        return QImage();
    }
    QImage image(size, QImage::Format_ARGB32);
    if (!image.isNull())
    {
        image.fill(fill);
    }
    return image;
}

QPen SolidPen(const QBrush& brush, double width, Qt::PenCapStyle cap, Qt::PenJoinStyle join)
{
    return QPen(brush, width, Qt::SolidLine, cap, join);
}

namespace
{

QString Section(const QString& id, int section)
{
    return id.split(QStringLiteral("**")).value(section);
}

} // namespace

int IntSection(const QString& id, int section)
{
    return Section(id, section).toInt();
}

float FloatSection(const QString& id, int section)
{
    return Section(id, section).toFloat();
}

sMeterRange MeterRangeOf(const QString& id)
{
    sMeterRange range;
    range.low = qint16(IntSection(id, 1));
    range.high = qint16(IntSection(id, 3));
    return range;
}

void AddStop(QGradient& gradient, double position, const QColor& colour)
{
    if (position >= 0.0 && position <= 1.0)
    {
        gradient.setColorAt(position, colour);
    }
}

const sScaledFont* ArialScaledFont(int font, const QString& id)
{
    if (!cFontManager::IsBuilt())
    {
        KV_REPORT_ERROR("The font table is not built: cannot draw %s", id.toLocal8Bit().constData());
        return nullptr;
    }
    return &cFontManager::Instance()->mScaledFonts[font];
}

} // namespace nPainterSupport
