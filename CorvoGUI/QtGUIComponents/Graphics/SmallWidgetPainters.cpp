#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

using namespace nPainterSupport;

namespace
{

// The cell letters' font: scaled font 27 of the Arial table (Arial 24 bold).
constexpr int CELL_LETTER_FONT = 27;

// The pan glow image; the embedded resources hold none, so the glow stays transparent.
const char* const PAN_GLOW_IMAGE = "://Buttons/PanGlow.png";

// A LED disc of the colour with a black rim and a white gloss.
QImage DrawLed(const QSize& size, const QColor& colour)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    const int side = std::min(w, h) - 2;
    const QRectF disc(w / 2 - side / 2, h / 2 - side / 2, side, side);
    QPainterPath path;
    path.addEllipse(disc);
    QRadialGradient gloss(QPointF(3, h + 3), side);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 200));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 50));

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(colour);
    painter.drawEllipse(disc);
    painter.fillPath(path, gloss);
    return image;
}

QColor WithHalfAlpha(QColor colour)
{
    colour.setAlpha(colour.alpha() / 2);
    return colour;
}

} // namespace

QImage cBasicGraphicsFactory::Icon::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    return NewImage(size);
}

QImage cBasicGraphicsFactory::Cell::GetPixmap(const QSize& size, const QString& id)
{
    const sScaledFont* letters = nullptr;
    if (Has(id, "STEREO"))
    {
        letters = ArialScaledFont(CELL_LETTER_FONT, id);
        if (letters == nullptr)
        {
            return QImage();
        }
    }
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const double w = size.width();
    const double h = size.height();
    QPainterPath outer;
    outer.addRoundedRect(QRectF(0, 0, w, h), 4.0, 4.0);
    const QRectF innerRect(0.5, 0.5, w - 1, h - 1);
    QPainterPath inner;
    inner.addRoundedRect(innerRect, 4.0, 4.0);

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(outer, QColor(30, 30, 30));
    painter.fillPath(inner, Has(id, "INACTIVE") ? QColor(37, 37, 37) : QColor(189, 189, 189));
    if (letters != nullptr)
    {
        QFont font = letters->font;
        font.setPointSizeF(font.pointSizeF() * h * 0.03);
        painter.setFont(font);
        painter.setPen(QColor(30, 30, 30));
        const double half = innerRect.width() / 2.0;
        painter.drawText(QRectF(innerRect.x(), innerRect.y(), half, innerRect.height()),
                         Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("L"));
        painter.drawText(QRectF(innerRect.x() + half, innerRect.y(), half, innerRect.height()),
                         Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("R"));
    }
    return image;
}

QImage cBasicGraphicsFactory::Led::GetPixmap(const QSize& size, const QString& id)
{
    QColor colour(206, 68, 79);
    if (Has(id, "GREEN"))
    {
        colour = QColor(125, 186, 93);
    }
    else if (Has(id, "YELLOW"))
    {
        colour = QColor(211, 171, 83);
    }
    if (!Has(id, "*ON*"))
    {
        colour = WithHalfAlpha(colour.darker(200));
    }
    return DrawLed(size, colour);
}

QImage cBasicGraphicsFactory::RadioButton::GetPixmap(const QSize& size, const QString& id)
{
    const QColor colour = Has(id, "*OFF*") ? WithHalfAlpha(QColor(141, 143, 144)) : QColor(0, 174, 239);
    return DrawLed(size, colour);
}

QImage cBasicGraphicsFactory::PagerDot::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const QColor light(209, 211, 212);
    QPainterPath dot;
    dot.addEllipse(QRectF(image.rect()));
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(dot, StartsWith(id, "OFF") ? light.darker(200) : light);
    return image;
}

QImage cBasicGraphicsFactory::ProgressBar::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    painter.fillRect(cDrawingUtility::ShrunkRect(image.rect(), 2), QColor(209, 211, 212));
    return image;
}

QImage cBasicGraphicsFactory::ProgressBarBackground::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    return NewImage(size, QColor(29, 29, 29));
}

QImage cBasicGraphicsFactory::EditorArrow::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const double w = size.width();
    const double h = size.height();
    QPainterPath arrow;
    if (Has(id, "UP"))
    {
        arrow.moveTo(1.5, h - 1.5);
        arrow.lineTo(w - 1.5, h - 1.5);
        arrow.lineTo(w / 2.0, 1.5);
    }
    else
    {
        arrow.moveTo(1.5, 1.5);
        arrow.lineTo(w - 1.5, 1.5);
        arrow.lineTo(w / 2.0, h - 1.5);
    }
    arrow.closeSubpath();
    const QColor blue(40, 170, 225);
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    if (Has(id, "ENABLED"))
    {
        painter.fillPath(arrow, blue);
    }
    painter.strokePath(arrow, SolidPen(blue, 1.5, Qt::SquareCap, Qt::RoundJoin));
    return image;
}

QImage cBasicGraphicsFactory::SelectionGlow::GetPixmap(const QSize& size, const QString& id)
{
    const double s = GetScreenScalingFactor();
    if (Has(id, "ROTARY"))
    {
        QImage image = NewImage(size);
        if (image.isNull())
        {
            return image;
        }
        const double w = size.width();
        const QPointF centre(w / 2.0, size.height() / 2.0);
        // A focal radius below 0 (an image narrower than 40 pixels at scale 1) is held at 0.
        QRadialGradient glow(centre, w / 2.0, centre, std::max(0.0, w / 2.0 - 20.0 * s));
        const QColor orange(247, 173, 52);
        glow.setColorAt(0.0, cDrawingUtility::AdjustHsv(orange, 0, 0, 0, -80));
        glow.setColorAt(0.5, cDrawingUtility::AdjustHsv(orange, 0, 0, 0, -200));
        glow.setColorAt(1.0, QColor(0, 0, 0, 0));
        QPainter painter(&image);
        cDrawingUtility::SetRenderHints(painter);
        painter.fillRect(image.rect(), glow);
        return image;
    }
    if (Has(id, "PAN"))
    {
        QImage image = NewImage(size);
        const QImage glow(QString::fromLatin1(PAN_GLOW_IMAGE));
        if (image.isNull() || glow.isNull())
        {
            return image;
        }
        const QSizeF scaled(glow.width() * s, glow.height() * s);
        QRectF target(QPointF(0, 0), scaled);
        cDrawingUtility::CentreRectF(target, QRectF(image.rect()));
        QPainter painter(&image);
        cDrawingUtility::SetRenderHints(painter);
        painter.drawImage(target, glow);
        return image;
    }
    KV_REPORT_ERROR("Unkown style \"%s\"", id.toLocal8Bit().constData());
    return QImage();
}

QImage cBasicGraphicsFactory::StateBox::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    QPen pen = painter.pen();
    pen.setWidthF(2.0);
    if (Has(id, "DISABLED"))
    {
        pen.setColor(QColor(189, 189, 189));
        painter.setBrush(QColor(0, 0, 0, 0));
    }
    else if (Has(id, "ENABLED"))
    {
        pen.setColor(QColor(189, 189, 189));
        painter.setBrush(QColor(90, 90, 90));
    }
    else if (Has(id, "SELECTED"))
    {
        pen.setColor(QColor(78, 205, 196));
        painter.setBrush(QColor(0, 174, 239));
    }
    painter.setPen(pen);
    painter.drawRect(image.rect());
    return image;
}

QImage cBasicGraphicsFactory::StateDot::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainterPath dot;
    dot.addEllipse(QRectF(image.rect()));
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(dot, Has(id, "OFF") ? QColor(90, 90, 90) : QColor(189, 189, 189));
    return image;
}

QImage cBasicGraphicsFactory::Blank::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    return NewImage(size);
}

QImage cBasicGraphicsFactory::Black::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    return NewImage(size, QColor(0, 0, 0));
}
