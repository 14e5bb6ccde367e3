#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"

#include <QMetaObject>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QTransform>
#include <QWidget>

#include <cmath>

cDrawingUtility* gDrawingUtility = nullptr;

namespace
{

// Qt 5.15 names this hint deprecated (the raster engine antialiases well without it); it is set
// all the same, by its value.
constexpr QPainter::RenderHint HIGH_QUALITY_ANTIALIASING_HINT = QPainter::RenderHint(0x08);

constexpr double TWO_PI = 6.283185307179586;

} // namespace

cDrawingUtility* cDrawingUtility::Instance()
{
    if (gDrawingUtility == nullptr)
    {
        KV_REPORT_ERROR("gDrawingUtility is NULL");
    }
    return gDrawingUtility;
}

void cDrawingUtility::SetRenderHints(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(HIGH_QUALITY_ANTIALIASING_HINT);
}

void cDrawingUtility::ShrinkRect(QRect& rect, int d)
{
    rect.setLeft(rect.left() + d);
    rect.setTop(rect.top() + d);
    rect.setRight(rect.right() - d);
    rect.setBottom(rect.bottom() - d);
}

void cDrawingUtility::ShrinkRectF(QRectF& rect, double d)
{
    rect = ShrunkRectF(rect, d);
}

QRect cDrawingUtility::ShrunkRect(const QRect& rect, int d)
{
    QRect shrunk = rect;
    ShrinkRect(shrunk, d);
    return shrunk;
}

QRectF cDrawingUtility::ShrunkRectF(const QRectF& rect, double d)
{
    return QRectF(rect.x() + d, rect.y() + d, rect.width() - 2.0 * d, rect.height() - 2.0 * d);
}

void cDrawingUtility::CentreRectF(QRectF& inner, const QRectF& outer)
{
    inner.moveTo(outer.x() + (outer.width() - inner.width()) * 0.5,
                 outer.y() + (outer.height() - inner.height()) * 0.5);
}

void cDrawingUtility::CentreRect(QRect& inner, const QRect& outer)
{
    const int top = outer.top() + ((outer.bottom() - outer.top()) - (inner.bottom() - inner.top())) / 2;
    const int left = outer.left() + ((outer.right() - outer.left()) - (inner.right() - inner.left())) / 2;
    inner.moveTo(left, top);
}

void cDrawingUtility::DrawClockwiseQuarterEllipse(QPainterPath& path, eEllipseSector sector, int radius)
{
    const QPointF p = path.currentPosition();
    const double r = radius;
    const double d = 2.0 * radius;
    switch (sector)
    {
    case TOP_LEFT_SECTOR:
        path.arcTo(QRectF(p.x(), p.y() - r, d, d), 180.0, -90.0);
        return;
    case TOP_RIGHT_SECTOR:
        path.arcTo(QRectF(p.x() - r, p.y(), d, d), 90.0, -90.0);
        return;
    case BOTTOM_RIGHT_SECTOR:
        path.arcTo(QRectF(p.x() - d, p.y() - r, d, d), 0.0, -90.0);
        return;
    case BOTTOM_LEFT_SECTOR:
        path.arcTo(QRectF(p.x() - r, p.y() - d, d, d), 270.0, -90.0);
        return;
    }
    KV_REPORT_ERROR("Unhandled enum value");
}

void cDrawingUtility::DrawAntiClockwiseQuarterEllipse(QPainterPath& path, eEllipseSector sector, int radius)
{
    const QPointF p = path.currentPosition();
    const double r = radius;
    const double d = 2.0 * radius;
    switch (sector)
    {
    case TOP_LEFT_SECTOR:
        path.arcTo(QRectF(p.x() - r, p.y(), d, d), 90.0, 90.0);
        return;
    case TOP_RIGHT_SECTOR:
        path.arcTo(QRectF(p.x() - d, p.y() - r, d, d), 0.0, 90.0);
        return;
    case BOTTOM_RIGHT_SECTOR:
        path.arcTo(QRectF(p.x() - r, p.y() - d, d, d), 270.0, 90.0);
        return;
    case BOTTOM_LEFT_SECTOR:
        path.arcTo(QRectF(p.x(), p.y() - r, d, d), 180.0, 90.0);
        return;
    }
    KV_REPORT_ERROR("Unhandled enum value");
}

void cDrawingUtility::DrawRoundedRect(QPainterPath& path, const QRectF& rect, double radius, double altRadius,
                                      bool altTopLeft, bool altTopRight, bool altBottomRight,
                                      bool altBottomLeft)
{
    DrawSelectivelyRoundedRect(path, rect, radius, altRadius, true, true, true, true, altTopLeft, altTopRight,
                               altBottomRight, altBottomLeft);
}

void cDrawingUtility::DrawSelectivelyRoundedRect(QPainterPath& path, const QRectF& rect, double radius,
                                                 double altRadius, bool roundTopLeft, bool roundTopRight,
                                                 bool roundBottomRight, bool roundBottomLeft, bool altTopLeft,
                                                 bool altTopRight, bool altBottomRight, bool altBottomLeft)
{
    const auto cornerRadius = [radius, altRadius](bool round, bool alt)
    { return round ? (alt ? altRadius : radius) : 0.0; };
    const double tl = cornerRadius(roundTopLeft, altTopLeft);
    const double tr = cornerRadius(roundTopRight, altTopRight);
    const double br = cornerRadius(roundBottomRight, altBottomRight);
    const double bl = cornerRadius(roundBottomLeft, altBottomLeft);
    const double x = rect.x();
    const double y = rect.y();
    const double w = rect.width();
    const double h = rect.height();

    path.moveTo(x + tl, y);
    path.lineTo(x + w - tr, y);
    path.arcTo(QRectF(x + w - 2 * tr, y, 2 * tr, 2 * tr), 90.0, -90.0);
    path.lineTo(x + w, y + h - br);
    path.arcTo(QRectF(x + w - 2 * br, y + h - 2 * br, 2 * br, 2 * br), 0.0, -90.0);
    path.lineTo(x + bl, y + h);
    path.arcTo(QRectF(x, y + h - 2 * bl, 2 * bl, 2 * bl), 270.0, -90.0);
    path.lineTo(x, y + tl);
    path.arcTo(QRectF(x, y, 2 * tl, 2 * tl), 180.0, -90.0);
    path.closeSubpath();
}

void cDrawingUtility::DrawCentredArc(QPainterPath& path, int width, double angle, double top)
{
    const double sine = std::sin(angle * 0.5);
    if (!std::isfinite(sine) || std::fabs(sine) < 1e-12 || !std::isfinite(top))
    {
        KV_REPORT_ERROR("No arc of angle %f", angle);
        return;
    }
    const double margin = 8.0 * GetScreenScalingFactor();
    const double centre = double(width / 2);
    const double radius = (centre - margin) / sine;
    const double sweep = angle * 360.0 / TWO_PI;
    const double start = sweep * 0.5 + 90.0;
    const QRectF rect(centre - radius, margin * 0.5 + top, 2.0 * radius, 2.0 * radius);
    path.arcMoveTo(rect, start);
    path.arcTo(rect, start, -sweep);
}

void cDrawingUtility::RequestUpdate(QWidget* widget)
{
    if (widget == nullptr || !widget->isVisible() || !widget->updatesEnabled() ||
        !widget->geometry().isValid())
    {
        return;
    }
    QMetaObject::invokeMethod(widget, "update", Qt::AutoConnection);
}

void cDrawingUtility::SetAlpha(QImage& image, int alpha)
{
    const QImage::Format format = image.format();
    if (format != QImage::Format_ARGB32 && format != QImage::Format_ARGB32_Premultiplied)
    {
        KV_REPORT_ERROR("SetAlpha needs a 32-bit image with alpha, not format %d", int(format));
        return;
    }
    const int newAlpha = alpha & 0xFF;
    const bool premultiplied = format == QImage::Format_ARGB32_Premultiplied;
    for (int y = 0; y < image.height(); ++y)
    {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
        {
            if (qAlpha(row[x]) == 0)
            {
                continue;
            }
            if (premultiplied)
            {
                const QRgb plain = qUnpremultiply(row[x]);
                row[x] = qPremultiply(qRgba(qRed(plain), qGreen(plain), qBlue(plain), newAlpha));
            }
            else
            {
                row[x] = (row[x] & 0x00FFFFFFu) | (QRgb(newAlpha) << 24);
            }
        }
    }
}

QColor cDrawingUtility::AdjustHsv(const QColor& colour, int hue, int saturation, int value, int alpha)
{
    int h = int((qint64(colour.hsvHue()) + hue) % 360);
    if (h < 0)
    {
        h += 360;
    }
    const auto shifted = [](int base, int offset)
    { return int(qBound<qint64>(0, qint64(base) + offset, 255)); };
    return QColor::fromHsv(h, shifted(colour.hsvSaturation(), saturation), shifted(colour.value(), value),
                           shifted(colour.alpha(), alpha));
}

void cDrawingUtility::RotatePixmap(QPixmap& pixmap, double degrees)
{
    QTransform rotation;
    rotation.rotate(degrees, Qt::ZAxis);
    pixmap = pixmap.transformed(rotation, Qt::FastTransformation);
}

QImage cDrawingUtility::RenderSvg(const QString& file, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull())
    {
        return image;
    }
    image.fill(QColor(0, 0, 0, 0));
    QPainter painter(&image);
    SetRenderHints(painter);
    QSvgRenderer renderer(file);
    renderer.render(&painter, QRectF(0, 0, size.width(), size.height()));
    painter.end();
    return image;
}
