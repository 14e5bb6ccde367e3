#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

using namespace nPainterSupport;

namespace
{

struct sButtonColour
{
    const char* prefix;
    QRgb colour;
};

constexpr sButtonColour kButtonColours[] = {
    {"BASIC_GREY_RECT_BUTTON", qRgb(130, 130, 130)}, {"BASIC_YELLOW_RECT_BUTTON", qRgb(255, 242, 0)},
    {"BASIC_RED_RECT_BUTTON", qRgb(255, 0, 0)},      {"BASIC_BLUE_RECT_BUTTON", qRgb(68, 108, 179)},
    {"BASIC_GREEN_RECT_BUTTON", qRgb(0, 255, 0)},
};

QString Without(QString id, const char* marker)
{
    return id.remove(QLatin1String(marker));
}

} // namespace

QImage cBasicGraphicsFactory::ButtonPixmap::GetPixmap(const QSize& size, const QString& id)
{
    for (const sButtonColour& button : kButtonColours)
    {
        if (StartsWith(id, button.prefix))
        {
            return DrawButton(size, QColor(button.colour), id);
        }
    }
    KV_REPORT_ERROR("Unhandled Switch Style: %s", id.toLocal8Bit().constData());
    return QImage();
}

QImage cBasicGraphicsFactory::DrawButton(const QSize& size, const QColor& base, const QString& id)
{
    if (Has(id, "*DOWN*"))
    {
        return OffsetImage(ButtonPixmap::GetPixmap(size, Without(id, "*DOWN*")), 0.95f);
    }
    if (Has(id, "*DISABLED*"))
    {
        return DimImage(ButtonPixmap::GetPixmap(size, Without(id, "*DISABLED*")));
    }

    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    QColor underColour;
    QLinearGradient body;
    if (!Has(id, "*OFF*"))
    {
        underColour = QColor(255, 255, 255, 190);
        body = QLinearGradient(0, 0, w, h);
        QColor top = base;
        top.setAlpha(255);
        body.setColorAt(0.0, top);
        body.setColorAt(1.0, base.darker(200));
    }
    else
    {
        underColour = QColor(0, 0, 0);
        body = QLinearGradient(w / 2.0, 0, w / 2.0, h);
        QColor top = base.darker(450);
        top.setAlpha(128);
        body.setColorAt(0.0, top);
        body.setColorAt(1.0, base.darker(500));
    }

    QPainterPath shape;
    const QRectF rect(0.5, 0.5, w - 1.0, h - 1.0);
    if (Has(id, "_RECT_"))
    {
        shape.addRoundedRect(rect, h / 5, h / 5);
    }
    else if (Has(id, "_OVAL_"))
    {
        shape.addEllipse(rect);
    }

    QLinearGradient gloss(w / 2.0, 0, w / 2.0, h / 2.0);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 180));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 90));

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(shape, underColour);
    painter.setPen(Has(id, "_NO_BORDER_") ? SolidPen(body, 1.0) : SolidPen(QColor(0, 0, 0), 1.0));
    painter.setBrush(body);
    painter.drawPath(shape);
    painter.fillPath(shape, gloss);
    return image;
}

QImage cBasicGraphicsFactory::OffsetImage(const QImage& image, float factor)
{
    QImage offset = NewImage(image.size());
    if (offset.isNull())
    {
        return offset;
    }
    const int w = image.width();
    const int h = image.height();
    const int x = w / 2 - int(std::lround(w * factor)) / 2;
    const int y = h / 2 - int(std::lround(h * factor)) / 2;
    QPainter painter(&offset);
    painter.drawImage(x, y, image);
    return offset;
}

QImage cBasicGraphicsFactory::DimImage(const QImage& image)
{
    QImage silhouette = NewImage(image.size());
    QImage dimmed = NewImage(image.size());
    if (silhouette.isNull() || dimmed.isNull())
    {
        return QImage();
    }
    {
        QPainter painter(&silhouette);
        painter.drawImage(0, 0, image);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(silhouette.rect(), DimColour());
    }
    QPainter painter(&dimmed);
    painter.drawImage(0, 0, image);
    painter.drawImage(0, 0, silhouette);
    return dimmed;
}

QColor cBasicGraphicsFactory::DimColour()
{
    return QColor(50, 50, 50, 180);
}

QImage cBasicGraphicsFactory::TabBackground::GetPixmap(const QSize& size, const QString& id)
{
    QColor inner;
    if (Has(id, "INACTIVE"))
    {
        inner = QColor(90, 90, 90);
    }
    else if (Has(id, "ACTIVE"))
    {
        inner = QColor(68, 108, 179);
    }
    else
    {
        KV_REPORT_ERROR("Tab type not recognised! %s", id.toLocal8Bit().constData());
        return QImage();
    }
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    const int h = size.height();
    QRectF outerRect(0, 0, w, h);
    QRectF innerRect(1, 1, w - 2, h - 2);
    if (Has(id, "TOP_EDGE") || Has(id, "LEFT_EDGE"))
    {
        outerRect = QRectF(0, 0, w, h + 10);
        innerRect = QRectF(1, 1, w - 2, h + 8);
    }
    else if (Has(id, "RIGHT_EDGE") || Has(id, "BOTTOM_EDGE"))
    {
        outerRect = QRectF(0, -10, w, h + 10);
        innerRect = QRectF(1, -9, w - 2, h + 8);
    }
    QPainterPath outer;
    cDrawingUtility::DrawRoundedRect(outer, outerRect, 3.0, 10.0, false, true, false, true);
    QPainterPath innerPath;
    cDrawingUtility::DrawRoundedRect(innerPath, innerRect, 2.0, 9.0, false, true, false, true);

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(outer, QColor(68, 108, 179));
    painter.fillPath(innerPath, inner);
    if (Has(id, "INACTIVE") && Has(id, "EDGE"))
    {
        QLinearGradient shade;
        if (Has(id, "TOP") || Has(id, "LEFT"))
        {
            shade = QLinearGradient(0, h, 0, 0);
        }
        else if (Has(id, "BOTTOM") || Has(id, "RIGHT"))
        {
            shade = QLinearGradient(0, 0, 0, h);
        }
        shade.setColorAt(0.0, QColor(30, 30, 30));
        shade.setColorAt(0.2, QColor(0, 0, 0, 0));
        painter.fillPath(outer, shade);
    }
    return image;
}

QImage cBasicGraphicsFactory::ValueBox::GetPixmap(const QSize& size, const QString& id)
{
    struct sKey
    {
        const char* keyword;
        QRgb colour;
    };
    static constexpr sKey kKeys[] = {
        {"PEQ_BAND_1", qRgb(255, 70, 255)}, {"PEQ_BAND_2", qRgb(50, 190, 190)},
        {"PEQ_BAND_3", qRgb(50, 100, 190)}, {"PEQ_BAND_4", qRgb(250, 60, 60)},
        {"HPF_BAND", qRgb(60, 230, 60)},    {"LPF_BAND", qRgb(230, 230, 25)},
        {"GREEN", qRgb(141, 198, 63)},      {"RED", qRgb(237, 28, 36)},
        {"YELLOW", qRgb(255, 255, 0)},
    };
    QImage image = NewImage(size);
    if (image.isNull())
    {
        return image;
    }
    QColor key(0, 0, 0);
    bool found = false;
    for (const sKey& candidate : kKeys)
    {
        if (Has(id, candidate.keyword))
        {
            key = QColor(candidate.colour);
            found = true;
            break;
        }
    }
    if (!found && Has(id, "CUSTOM"))
    {
        // The colour's name runs from "CUSTOM_" to the next keyword's underscore (or the end).
        const int start = id.indexOf(QLatin1String("CUSTOM_"));
        const QString name = start < 0 ? QString() : id.mid(start + 7).section(QLatin1Char('_'), 0, 0);
        key.setNamedColor(name);
    }

    const int w = size.width();
    const int h = size.height();
    const QRectF whole(0, 0, w, h);
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    if (Has(id, "_ACTIVE"))
    {
        QPainterPath halo;
        halo.addRoundedRect(whole, 10.0, 10.0);
        painter.fillPath(halo, key == QColor(0, 0, 0) ? QColor(0, 255, 255) : QColor(255, 255, 255));
    }
    if (Has(id, "DISABLED"))
    {
        key = QColor(50, 50, 50);
    }
    const QRectF bodyRect = cDrawingUtility::ShrunkRectF(whole, 3.0);
    QPainterPath body;
    body.addRoundedRect(bodyRect, 7.0, 7.0);
    painter.fillPath(body, key);
    QPainterPath well;
    well.addRoundedRect(cDrawingUtility::ShrunkRectF(bodyRect, 2.0), 6.0, 6.0);
    painter.fillPath(well, QColor(0, 0, 0));

    QPainterPath strip;
    strip.addRoundedRect(QRectF(4, 4, w - 8, h), 5.0, 5.0);
    painter.setClipRect(QRectF(0, 0, w, h * (Has(id, "LABEL") ? 0.4 : 0.2)));
    painter.fillPath(strip, key);
    return image;
}
