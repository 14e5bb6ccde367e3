#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>

using namespace nPainterSupport;

namespace
{

// The font of the Arial table's text style 1 (Arial 12).
constexpr int TEXT_STYLE_1_FONT = 15;
// The fader scale's font: scaled font 28 of the Arial table (Arial 24).
constexpr int FADER_SCALE_FONT = 28;

// The disc square of a rotary: as wide as the image, centred in a taller image.
QRectF RotarySquare(const QSize& size)
{
    const int w = size.width();
    const int h = size.height();
    return QRectF(0, h > w ? (h - w) / 2 : 0, w, w);
}

} // namespace

QImage cBasicGraphicsFactory::Rotary::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QColor outer(30, 30, 30);
    QColor inner(90, 90, 90);
    if (Has(id, "YELLOW"))
    {
        inner = QColor(255, 242, 0);
    }
    else if (Has(id, "RED"))
    {
        inner = QColor(255, 0, 0);
    }
    else if (Has(id, "BLUE"))
    {
        inner = QColor(68, 108, 179);
    }
    else if (Has(id, "GREEN"))
    {
        inner = QColor(0, 255, 0);
    }
    if (Has(id, "*DISABLED*"))
    {
        outer = QColor(0, 0, 0);
        inner = QColor(30, 30, 30);
    }
    else if (Has(id, "*ON*"))
    {
        outer = QColor(255, 165, 0);
    }
    const QRectF square = RotarySquare(size);
    QPainterPath outerDisc;
    outerDisc.addEllipse(square);
    QPainterPath innerDisc;
    innerDisc.addEllipse(cDrawingUtility::ShrunkRectF(square, 2.0));
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(outerDisc, outer);
    painter.fillPath(innerDisc, inner);
    return image;
}

QImage cBasicGraphicsFactory::RotaryDial::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    const QRectF square =
        cDrawingUtility::ShrunkRectF(QRectF(h > w ? 0 : (w - h) / 2, h > w ? (h - w) / 2 : 0, w, w), 2.0);
    QPainterPath disc;
    disc.addEllipse(square);
    const double x = square.x() + square.width() / 2.0;
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setClipPath(disc);
    painter.setPen(SolidPen(QColor(0, 0, 0), 2.0));
    painter.drawLine(QPointF(x, square.y()), QPointF(x, square.y() + square.height() * 0.7 * 0.5));
    return image;
}

QImage cBasicGraphicsFactory::FaderKnob::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    QPainterPath body;
    body.addRoundedRect(QRectF(1, 1, w - 2, h - 2), 5.0, 5.0);
    QLinearGradient shade(w / 2.0, 2, w / 2.0, h - 2);
    shade.setColorAt(0.0, QColor(55, 56, 57));
    shade.setColorAt(0.2, QColor(0, 0, 0));
    shade.setColorAt(0.8, QColor(0, 0, 0));
    shade.setColorAt(1.0, QColor(55, 56, 57));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(body, shade);
    painter.setPen(SolidPen(QColor(255, 255, 255), 3.0));
    painter.drawLine(QPointF(0, h / 2.0), QPointF(w, h / 2.0));
    painter.strokePath(body, SolidPen(QColor(102, 102, 102), 2.0));
    return image;
}

QImage cBasicGraphicsFactory::FaderBackground::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size, QColor(0, 0, 0));
    if (image.isNull() || !StartsWith(id, "FADER_STYLE_EDITOR_FADER") || !Has(id, "SCALE"))
    {
        return image;
    }
    const sScaledFont* entry = ArialScaledFont(FADER_SCALE_FONT, id);
    if (entry == nullptr)
    {
        return QImage();
    }
    const double k = FloatSection(id, 1);
    const double margin = FloatSection(id, 3);
    const int scaledPixels = TruncatedToInt(k * 32.0);
    QFont font = entry->font;
    font.setPixelSize(scaledPixels < 1 ? 10 : scaledPixels);
    const int pixelSize = font.pixelSize();
    const QFontMetrics metrics(font);
    const auto width = [&metrics](const char* text)
    { return metrics.horizontalAdvance(QString::fromLatin1(text)); };
    const double height = size.height() - margin;
    const auto y = [height, margin](double fraction) { return height * fraction + margin / 2.0; };

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255));
    const auto label = [&](const char* text, double centre, int labelWidth)
    {
        painter.drawText(QRectF(0, centre - pixelSize, labelWidth, 2.0 * pixelSize),
                         Qt::AlignHCenter | Qt::AlignVCenter, QString::fromLatin1(text));
    };
    label("10", margin / 2.0, width("10"));
    label("0", y(1.0 / 7.0), width("10"));
    label("-20", y(3.0 / 7.0), width("-20"));
    label("-40", y(5.0 / 7.0), width("-40"));

    const double tickEnd = 55.0 * k;
    const auto tick = [&painter](double from, double to, double at)
    { painter.drawLine(QPointF(from, at), QPointF(to, at)); };
    tick(width("10") + 5.0 * k, tickEnd, margin / 2.0);
    tick((width("10") + width("0")) / 2 + 5.0 * k, tickEnd, y(1.0 / 7.0));
    tick(width("-20") + 5.0 * k, tickEnd, y(3.0 / 7.0));
    tick(width("-40") + 5.0 * k, tickEnd, y(5.0 / 7.0));
    for (const double fraction : {2.0 / 7.0, 4.0 / 7.0, 6.0 / 7.0})
    {
        tick(width("-40") + 12.0 * k, 48.0 * k, y(fraction));
    }
    return image;
}

QImage cBasicGraphicsFactory::FaderSlot::GetPixmap(const QSize& size, const QString& id)
{
    if (!StartsWith(id, "FADER_STYLE_DEFAULT"))
    {
        KV_REPORT_ERROR("Unhandled Fader Style: %s", id.toLocal8Bit().constData());
    }
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainterPath slot;
    slot.addRoundedRect(QRectF(size.width() / 2 - 3, 0.5, 6, size.height() - 1), 3.0, 3.0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(slot, QColor(0, 0, 0));
    if (!Has(id, "INACTIVE"))
    {
        painter.fillPath(slot, QColor(255, 165, 0, 170));
    }
    return image;
}

QImage cBasicGraphicsFactory::Slider::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(0, 0, w, h), 5.0, 5.0);
    // No stops: Qt's default ramp from black at the top to white at the bottom.
    const QLinearGradient ramp(w / 2.0, 0, w / 2.0, h);
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setPen(QPen(QColor(0, 0, 0), 1.0));
    painter.setBrush(ramp);
    painter.drawPath(thumb);
    return image;
}

QImage cBasicGraphicsFactory::Pan::GetPixmap(const QSize& size, const QString& id)
{
    const sScaledFont* font = ArialScaledFont(TEXT_STYLE_1_FONT, id);
    if (font == nullptr)
    {
        return QImage();
    }
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    QColor outline;
    QBrush body;
    if (Has(id, "INACTIVE"))
    {
        outline = QColor(189, 189, 189);
        body = QColor(30, 30, 30);
    }
    else if (Has(id, "ACTIVE"))
    {
        outline = QColor(255, 165, 0);
        body = outline;
    }
    else if (Has(id, "DISABLED"))
    {
        outline = QColor(189, 189, 189);
        body = QColor(0, 0, 0, 128);
    }
    const bool disabled = Has(id, "DISABLED");
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(QRectF(1, 1, w - 2, h - 2), 5.0, 5.0);

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(bodyPath, body);
    if (!disabled)
    {
        QLinearGradient shade(w / 2.0, 0, w / 2.0, h);
        shade.setColorAt(0.0, QColor(70, 70, 70, 190));
        shade.setColorAt(0.6, QColor(0, 0, 0, 128));
        shade.setColorAt(1.0, QColor(0, 0, 0, 128));
        painter.fillPath(bodyPath, shade);
    }
    else
    {
        painter.fillPath(bodyPath, QColor(70, 70, 70, 190));
    }

    const double centreY = std::floor(h / 2.0) + 0.5;
    const double centreX = std::floor(w / 2.0) + 0.5;
    QPen line(QBrush(QColor(255, 255, 255)), 1.0, Qt::DotLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(line);
    painter.drawLine(QPointF(0, centreY), QPointF(w, centreY));
    line.setStyle(Qt::SolidLine);
    painter.setPen(line);
    painter.drawLine(QPointF(centreX, 0), QPointF(centreX, h));

    // The letters are larger than their rectangles: they are drawn whole, centred on them.
    const int letterFlags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextDontClip;
    painter.setFont(font->font);
    painter.drawText(QRect(QPoint(4, 4), QPoint(9, 11)), letterFlags, QStringLiteral("L"));
    painter.drawText(QRect(QPoint(w - 10, 4), QPoint(w - 5, 11)), letterFlags, QStringLiteral("R"));

    painter.strokePath(bodyPath, SolidPen(outline, 2.0));
    return image;
}
