#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Common/FontConstants.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>

using namespace nPainterSupport;

namespace
{

QPainterPath RoundedRectPath(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

QImage cBasicGraphicsFactory::ListBoxBackground::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setPen(SolidPen(QColor(0, 0, 0), 1.0));
    painter.setBrush(QColor(0, 0, 0));
    painter.drawPath(RoundedRectPath(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0), 5.0));
    return image;
}

QImage cBasicGraphicsFactory::ListItem::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const double s = GetScreenScalingFactor();
    QColor frame(102, 102, 102);
    QColor cell(255, 105, 180);
    double thickness = std::ceil(s);
    if (!Has(id, "SELECTED") && !Has(id, "TFTACTIVE"))
    {
        if (Has(id, "NEXT"))
        {
            cell = QColor(57, 181, 74);
        }
        else if (Has(id, "TOUCHED"))
        {
            cell = QColor(0, 255, 180);
        }
        else if (Has(id, "INACTIVE"))
        {
            cell = QColor(60, 60, 60);
            frame = QColor(88, 89, 91);
        }
        else if (Has(id, "OVERWRITE"))
        {
            cell = kOverwriteColour;
        }
        else
        {
            cell = QColor(0, 0, 0);
        }
    }
    else if (!Has(id, "NEXT"))
    {
        if (Has(id, "SPECIAL"))
        {
            cell = QColor(241, 148, 41);
        }
        else if (Has(id, "STORE"))
        {
            cell = QColor(249, 237, 50);
        }
        else
        {
            cell = QColor(0, 77, 54);
        }
    }
    else
    {
        thickness = std::ceil(3.0 * s);
        frame = QColor(57, 181, 74);
        cell = Has(id, "SPECIAL") ? QColor(241, 148, 41) : QColor(249, 237, 50);
    }
    const double w = size.width();
    const double h = size.height();
    const double radius = 3.0 * s;
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(RoundedRectPath(QRectF(0, 0, w, h), radius), frame);
    painter.fillPath(RoundedRectPath(QRectF(thickness, thickness, w - 2 * thickness, h - 2 * thickness),
                                     radius - thickness),
                     cell);
    return image;
}

QImage cBasicGraphicsFactory::ListSelection::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const bool disabled = Has(id, "DISABLED");
    const QColor fill = disabled ? QColor(50, 50, 50) : QColor(0, 0, 0);
    const QColor accent = disabled ? QColor(0, 0, 0) : QColor(0, 255, 255);
    const double s = GetScreenScalingFactor();
    const double w = size.width();
    const double h = size.height();
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(RoundedRectPath(QRectF(0, 0, w, h), h / 2.0), fill);
    painter.fillPath(RoundedRectPath(QRectF(0, 0, w - h, h), 8.0 * s), fill);
    const QRectF ring(3, 3, w - h - 3, h - 6);
    painter.fillPath(RoundedRectPath(ring, 5.0 * s), accent);
    painter.fillPath(RoundedRectPath(cDrawingUtility::ShrunkRectF(ring, 2.0 * s), 5.0 * s - 2.0 * s), fill);
    return image;
}

QImage cBasicGraphicsFactory::ListSelectionHandle::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const double w = size.width();
    const double h = size.height();
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setPen(QPen(Has(id, "INACTIVE") ? QColor(0, 0, 0) : QColor(0, 255, 255), 2));
    painter.drawEllipse(QRectF(1, 1, w - 4, h - 4));
    QPainterPath triangle;
    triangle.addPolygon(QPolygonF({QPointF(0.22 * w, 0.35 * h), QPointF(0.22 * w + 0.25 * w, 0.70 * h),
                                   QPointF(0.22 * w + 0.5 * w, 0.35 * h)}));
    triangle.closeSubpath();
    painter.fillPath(triangle, QColor(255, 255, 255));
    return image;
}

QImage cBasicGraphicsFactory::ListboxItemOverlay::GetPixmap(const QSize& size, const QString& id)
{
    QColor fill;
    if (Has(id, "INACTIVE") || Has(id, "HIGHLIGHTED"))
    {
        fill = QColor(255, 255, 255, 100);
    }
    else if (Has(id, "ACTIVE"))
    {
        fill = QColor(255, 165, 0, 128);
    }
    else
    {
        KV_REPORT_ERROR("Unhandled GraphicsType: %s", id.toLocal8Bit().constData());
        return QImage();
    }
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(RoundedRectPath(QRectF(0, 0, size.width(), size.height()), 5.0), fill);
    return image;
}

QImage cBasicGraphicsFactory::ListItemFrame::GetPixmap(const QSize& size, const QString& id)
{
    Q_UNUSED(id)
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const double w = size.width();
    const double h = size.height();
    const double d = w - 2.0;
    const QPainterPath left = RoundedRectPath(QRectF(1, 1, d - 1, h - 2), d / 2.0);
    const QPainterPath right = RoundedRectPath(QRectF(2, 1, d - 1, h - 2), d / 2.0);
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.setClipRect(QRectF(0, 0, w / 2.0, h));
    painter.strokePath(left, QPen(QColor(140, 197, 64), 2.0));
    painter.setClipRect(QRectF(w / 2.0, 0, w / 2.0, h));
    painter.strokePath(right, QPen(QColor(90, 90, 90), 2.0));
    painter.setClipping(false);
    // The shape inside both outlines.
    const QRectF inner = cDrawingUtility::ShrunkRectF(QRectF(1, 1, d, h - 2), 1.0);
    painter.fillPath(RoundedRectPath(inner, d / 2.0 - 1.0), QColor(30, 30, 30));
    return image;
}
