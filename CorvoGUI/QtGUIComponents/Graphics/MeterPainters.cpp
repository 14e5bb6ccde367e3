#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Common/FontTableTypes.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace nPainterSupport;

namespace
{

// Above this level a meter is red, above YELLOW_LEVEL yellow, below it green.
constexpr int RED_LEVEL = 3584;
constexpr int YELLOW_LEVEL = 768;

// The levels that get a mark, and the numbers shown at them, in drawing order.
struct sScaleMark
{
    int level;
    const char* text;
};
constexpr sScaleMark kScaleMarks[] = {
    {10 * DB, "10"}, {-10 * DB, "10"}, {-20 * DB, "20"}, {-40 * DB, "40"}, {-60 * DB, "60"},
};

// The scale-label font: scaled font 7 of the Arial table (Arial 8 bold).
constexpr int SCALE_LABEL_FONT = 7;
// The font of the Arial table's text style 1 (Arial 12).
constexpr int TEXT_STYLE_1_FONT = 15;

QPainterPath RoundedRectPath(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// The image drawn one pixel wider and placed so that the two halves of a stereo pair share their
// middle column (" RIGHT ": the right half).
QImage StereoHalf(const QSize& size, const QString& id, const QImage& wide, const QColor& fill)
{
    QImage image = NewImage(size, fill);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    painter.drawImage(Has(id, " RIGHT ") ? -1 : 0, 0, wide);
    return image;
}

// The meter gradient's colours by the id's prefix; false for an id that is no meter.
bool GradientFor(const QString& id, int height, const sMeterRange& range, QLinearGradient& gradient)
{
    const bool inactive = Has(id, "INACTIVE");
    const auto withAlpha = [](int r, int g, int b, int alpha) { return QColor(r, g, b, alpha); };
    if (StartsWith(id, "METER_STYLE_DEFAULT") || StartsWith(id, "METER_STEREO_STYLE_DEFAULT") ||
        StartsWith(id, "HISTOGRAM"))
    {
        const int alpha = inactive ? 60 : 255;
        const float p1 = float(ValueToPixel(RED_LEVEL, range.low, range.high, height)) / float(height);
        const float p2 = float(ValueToPixel(YELLOW_LEVEL, range.low, range.high, height)) / float(height);
        const QColor red = withAlpha(255, 0, 0, alpha);
        const QColor yellow = withAlpha(255, 255, 0, alpha);
        const QColor green = withAlpha(0, 255, 0, alpha);
        AddStop(gradient, 0.0, red);
        AddStop(gradient, std::min(1.0f - p1 - 0.05f, 1.0f), red);
        AddStop(gradient, std::min(1.0f - p1 + 0.05f, 1.0f), yellow);
        AddStop(gradient, std::min(1.0f - p2, 1.0f), yellow);
        AddStop(gradient, std::min(1.0f - p2 + 0.1f, 1.0f), green);
        AddStop(gradient, 1.0, green);
        return true;
    }
    if (StartsWith(id, "GR_METER"))
    {
        const int alpha = inactive ? 90 : 255;
        gradient.setColorAt(0.0, withAlpha(180, 0, 0, alpha));
        gradient.setColorAt(1.0, withAlpha(255, 0, 0, alpha));
        return true;
    }
    if (StartsWith(id, "GREY_METER") || StartsWith(id, "GREY_GR_METER") || StartsWith(id, "GREY_HISTOGRAM"))
    {
        const int alpha = inactive ? 90 : 255;
        gradient.setColorAt(0.0, withAlpha(90, 90, 90, alpha));
        gradient.setColorAt(1.0, withAlpha(120, 120, 120, alpha));
        return true;
    }
    if (StartsWith(id, "PEAK_HOLD_METER"))
    {
        const int alpha = inactive ? 60 : 255;
        gradient.setColorAt(0.0, withAlpha(255, 190, 150, alpha));
        gradient.setColorAt(1.0, withAlpha(255, 255, 20, alpha));
        return true;
    }
    if (StartsWith(id, "PEAK_HOLD_PEAK_BAND_METER"))
    {
        const int alpha = inactive ? 60 : 255;
        gradient.setColorAt(0.0, withAlpha(255, 80, 80, alpha));
        gradient.setColorAt(1.0, withAlpha(255, 100, 80, alpha));
        return true;
    }
    return false;
}

// Whether the level lies strictly inside the range.
bool Inside(int level, const sMeterRange& range)
{
    return level > range.low && level < range.high;
}

} // namespace

QImage cBasicGraphicsFactory::MeterBorderedBackground::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    const QPainterPath path = RoundedRectPath(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0), 2.0);
    painter.fillPath(path, QColor(0, 0, 0));
    painter.strokePath(path, SolidPen(QColor(0, 0, 0), 1.0));
    return image;
}

QImage cBasicGraphicsFactory::StereoMeterBorderedBackground::GetPixmap(const QSize& size, const QString& id)
{
    const QSize wide(size.width() + 1, size.height());
    return StereoHalf(size, id, MeterBorderedBackground::GetPixmap(wide, id), QColor(0, 0, 0, 0));
}

QImage cBasicGraphicsFactory::MeterGradient::GetPixmap(const QSize& size, const QString& id)
{
    if (StartsWith(id, "SQUARE_THREE_COLOUR_METER"))
    {
        return ThreeColourMeter::GetPixmap(size, id);
    }
    const bool inactive = Has(id, "INACTIVE");
    if (StartsWith(id, "SQUARE_GREEN_METER"))
    {
        return NewImage(size, inactive ? QColor(0, 112, 0) : QColor(0, 255, 0));
    }
    if (StartsWith(id, "SQUARE_RED_METER"))
    {
        return NewImage(size, inactive ? QColor(112, 0, 0) : QColor(255, 0, 0));
    }

    const int w = size.width();
    const int h = size.height();
    QLinearGradient gradient(0, 0, w, h);
    if (!GradientFor(id, h, MeterRangeOf(id), gradient))
    {
        KV_REPORT_ERROR(
            "cBasicGraphicsFactory: trying to get a meter gradient for a non meter-type widget! %s",
            id.toLocal8Bit().constData());
        return QImage();
    }
    QImage image = NewImage(size, inactive ? QColor(90, 90, 90) : QColor(0, 0, 0, 0));
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    const QPainterPath path = RoundedRectPath(QRectF(-0.5, -0.5, w + 1.0, h + 1.0), 2.0);
    painter.fillPath(path, QColor(0, 0, 0));
    painter.fillPath(path, gradient);
    painter.strokePath(path, SolidPen(QColor(0, 0, 0), 1.0));
    return image;
}

QImage cBasicGraphicsFactory::ThreeColourMeter::GetPixmap(const QSize& size, const QString& id)
{
    const bool inactive = Has(id, "INACTIVE");
    const QColor red = inactive ? QColor(112, 0, 0) : QColor(255, 0, 0);
    const QColor yellow = inactive ? QColor(111, 112, 0) : QColor(255, 255, 0);
    const QColor green = inactive ? QColor(0, 112, 0) : QColor(0, 255, 0);
    QImage image = NewImage(size, green);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    const sMeterRange range = MeterRangeOf(id);
    // No range: no scale, so the whole meter is green.
    const float scale = range.high == range.low ? 0.0f : float(h) / float(range.high - range.low);
    const auto below = [&](int level)
    { return std::clamp(h - TruncatedToInt(float(range.high - level) * scale), 0, h); };
    const int redHeight = h - below(RED_LEVEL);
    const int yellowHeight = below(RED_LEVEL) - below(YELLOW_LEVEL);
    const int greenTop = h - below(YELLOW_LEVEL);
    const int greenHeight = below(YELLOW_LEVEL);

    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), QPoint(w - 1, redHeight - 1)), red);
    painter.fillRect(QRect(QPoint(0, redHeight), QPoint(w - 1, redHeight + yellowHeight - 1)), yellow);
    painter.fillRect(QRect(QPoint(0, greenTop), QPoint(w - 1, greenTop + greenHeight - 1)), green);
    return image;
}

QImage cBasicGraphicsFactory::StereoMeterGradient::GetPixmap(const QSize& size, const QString& id)
{
    const QSize wide(size.width() + 1, size.height());
    const QColor fill = Has(id, "INACTIVE") ? QColor(90, 90, 90) : QColor(0, 0, 0, 0);
    return StereoHalf(size, id, MeterGradient::GetPixmap(wide, id), fill);
}

QImage cBasicGraphicsFactory::GetMeterScale(const QSize& size, const QString& id)
{
    const int w = size.width();
    const int h = size.height();
    const sMeterRange range = MeterRangeOf(id);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);

    if (range.high > 0 && range.low < 0)
    {
        const int y0 = h - ValueToPixel(0, range.low, range.high, h);
        path.addRect(0, y0 - 1, w, 3);
        path.addRect(1, y0, w - 2, 1);
    }
    if (!Has(id, "NUMERICAL_SCALE"))
    {
        for (const sScaleMark& mark : kScaleMarks)
        {
            if (Inside(mark.level, range))
            {
                path.addRect(0, h - ValueToPixel(mark.level, range.low, range.high, h), w, 1);
            }
        }
    }
    else if (StartsWith(id, "METER_STYLE_DEFAULT") || StartsWith(id, "METER_STEREO_STYLE_DEFAULT") ||
             StartsWith(id, "GREY_METER") || StartsWith(id, "GREY_GR_METER") || StartsWith(id, "GR_METER"))
    {
        const int narrowest = StartsWith(id, "METER_STEREO_STYLE_DEFAULT") ? 5 : 7;
        if (w >= narrowest)
        {
            if (ArialScaledFont(SCALE_LABEL_FONT, id) == nullptr)
            {
                return QImage();
            }
            const bool gr = StartsWith(id, "GR_METER") || StartsWith(id, "GREY_GR_METER");
            for (const sScaleMark& mark : kScaleMarks)
            {
                if (Inside(mark.level, range))
                {
                    AddMeterScaleLabel(size, ValueToPixel(mark.level, range.low, range.high, h),
                                       QString::fromLatin1(mark.text), gr, path);
                }
            }
        }
    }
    else if (StartsWith(id, "HISTOGRAM") || StartsWith(id, "GREY_HISTOGRAM"))
    {
        if (ArialScaledFont(SCALE_LABEL_FONT, id) == nullptr)
        {
            return QImage();
        }
        AddHistogramScaleLabel(size, ValueToPixel(-10 * DB, range.low, range.high, h), QStringLiteral("10"),
                               path);
        AddHistogramScaleLabel(size, ValueToPixel(-20 * DB, range.low, range.high, h), QStringLiteral("20"),
                               path);
    }
    else
    {
        KV_REPORT_ERROR("cBasicGraphicsFactory: trying to get a meter scale for an unrecognised/non "
                        "meter-type widget! %s",
                        id.toLocal8Bit().constData());
        return QImage();
    }

    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(path, QColor(0, 0, 0, 128));
    return image;
}

void cBasicGraphicsFactory::AddMeterScaleLabel(const QSize& size, int pixelOffset, const QString& text,
                                               bool gr, QPainterPath& path)
{
    const sScaledFont* entry = ArialScaledFont(SCALE_LABEL_FONT, text);
    if (entry == nullptr)
    {
        return;
    }
    const sScaledFont font = WithMetrics(*entry);
    const int w = size.width();
    const int h = size.height();
    const int boxHeight = font.textHeight + 2;
    const int x = w / 2 - QFontMetrics(font.font).horizontalAdvance(text) / 2;
    if (gr)
    {
        const int y = h - 1 - pixelOffset;
        path.addRect(0, y - boxHeight, w, boxHeight);
        path.addText(x, y - font.descent - 2, font.font, text);
        path.addRect(0, y + 1, w, 1);
    }
    else
    {
        const int y = h - pixelOffset;
        path.addRect(0, y - 1, w, 1);
        path.addRect(0, y + 1, w, boxHeight);
        path.addText(x, y + font.ascent + 2, font.font, text);
    }
}

void cBasicGraphicsFactory::AddHistogramScaleLabel(const QSize& size, int pixelOffset, const QString& text,
                                                   QPainterPath& path)
{
    const sScaledFont* entry = ArialScaledFont(SCALE_LABEL_FONT, text);
    if (entry == nullptr)
    {
        return;
    }
    const sScaledFont font = WithMetrics(*entry);
    const int w = size.width();
    const int y = size.height() - pixelOffset;
    const int baseline = y + font.textHeight / 2 - font.descent;
    path.addText(2, baseline, font.font, text);
    path.addText(w - 14, baseline, font.font, text);
    path.addRect(16, y, w - 32, 1);
}

QImage cBasicGraphicsFactory::StereoMeterScale::GetPixmap(const QSize& size, const QString& id)
{
    const QImage scale = GetMeterScale(QSize(2 * size.width(), size.height()), id);
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    const int left = Has(id, " RIGHT ") ? size.width() : 0;
    painter.drawImage(0, 0, scale, left, 0, size.width(), size.height());
    return image;
}

QImage cBasicGraphicsFactory::MonoMeter::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    painter.drawImage(0, 0, MeterGradient::GetPixmap(size, id));
    painter.drawImage(0, 0, GetMeterScale(size, id));
    return image;
}

QImage cBasicGraphicsFactory::StereoMeter::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    painter.drawImage(0, 0, StereoMeterGradient::GetPixmap(size, id));
    painter.drawImage(0, 0, StereoMeterScale::GetPixmap(size, id));
    return image;
}

QImage cBasicGraphicsFactory::MeterScaleText::GetPixmap(const QSize& size, const QString& id)
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
    const sMeterRange range = MeterRangeOf(id);
    // A label is taller than its rectangle: it is drawn whole (clipped by the image only).
    const int flags = (Has(id, "LEFT") ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextDontClip;
    const sScaleMark labels[] = {{10 * DB, "+10"}, {0, "0"}, {-10 * DB, "-10"}, {-20 * DB, "-20"}};

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setFont(font->font);
    painter.setPen(QColor(255, 255, 255));
    for (const sScaleMark& label : labels)
    {
        const QRect rect(0, h - ValueToPixel(label.level, range.low, range.high, h) - 5, w, 10);
        painter.drawText(rect, flags, QString::fromLatin1(label.text));
    }
    return image;
}
