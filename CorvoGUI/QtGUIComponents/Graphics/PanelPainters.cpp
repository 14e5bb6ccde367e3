#include "CorvoGUI/QtGUIComponents/Graphics/PainterSupport.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>

using namespace nPainterSupport;

namespace
{

// The options of a panel's parameter block ("|-BGCOLOUR:#rrggbb-FGCOLOUR:#rrggbb-BGPATTERN:name-|");
// a colour that is not given (or not a colour) is invalid.
struct sPanelOptions
{
    QColor background;
    QColor foreground;
};

sPanelOptions PanelOptionsOf(const QString& id)
{
    static const QRegularExpression kBlock(QStringLiteral("\\|[\\S]*\\|"));
    static const QRegularExpression kOption(
        QStringLiteral("-BGCOLOUR:(?<bgcolour>#[\\S]*?)-|-FGCOLOUR:(?<fgcolour>#[\\S]*?)-|-BGPATTERN:(?<"
                       "bgpattern>[\\S]*?)-"));
    sPanelOptions options;
    const QRegularExpressionMatch block = kBlock.match(id);
    if (!block.hasMatch())
    {
        return options;
    }
    QRegularExpressionMatchIterator it = kOption.globalMatch(block.captured(0));
    while (it.hasNext())
    {
        const QRegularExpressionMatch option = it.next();
        if (option.capturedStart(QStringLiteral("bgcolour")) >= 0)
        {
            options.background.setNamedColor(option.captured(QStringLiteral("bgcolour")));
        }
        if (option.capturedStart(QStringLiteral("fgcolour")) >= 0)
        {
            options.foreground.setNamedColor(option.captured(QStringLiteral("fgcolour")));
        }
        // A background pattern is read and draws nothing.
    }
    return options;
}

// The panel background with the given rim and fill brushes.
QImage DrawPanelBackground(const QSize& size, const QString& id, const QBrush& rimBrush, QBrush fillBrush)
{
    QImage image = NewImage(size);
    if (image.isNull() || Has(id, "TRANSPARENT"))
    {
        return image;
    }
    const double radius = Has(id, "MAIN") ? 16.0 : 8.0;
    int x1 = 0;
    int y1 = 0;
    int x2 = size.width() - 1;
    int y2 = size.height() - 1;
    if (Has(id, "TABBAR"))
    {
        y1 += Has(id, "TOP") ? 30 : 0;
        x2 += Has(id, "RIGHT") ? 30 : 0;
        y2 += Has(id, "BOTTOM") ? 30 : 0;
        x1 += Has(id, "LEFT") ? 30 : 0;
    }
    const QRectF outerRect(x1, y1, x2 - x1 + 1, y2 - y1 + 1);
    const QRectF innerRect = cDrawingUtility::ShrunkRectF(outerRect, 1.0);
    QPainterPath outer;
    QPainterPath inner;
    if (Has(id, "TITLEBAR"))
    {
        cDrawingUtility::DrawRoundedRect(outer, outerRect, 3.0, 10.0, false, true, false, true);
        cDrawingUtility::DrawRoundedRect(inner, innerRect, 2.0, 9.0, false, true, false, true);
    }
    else
    {
        outer.addRoundedRect(outerRect, radius, radius);
        inner.addRoundedRect(innerRect, int(radius - 1.0), int(radius - 1.0));
    }
    if (Has(id, "NORTH"))
    {
        const QColor fill = fillBrush.color();
        QLinearGradient north(x1 + 1, y1 + 1, x2 - 1, y1 + 1);
        north.setColorAt(0.0, cDrawingUtility::AdjustHsv(fill, -15, -60, -60, 0));
        north.setColorAt(1.0, cDrawingUtility::AdjustHsv(fill, 0, -100, 160, 0));
        fillBrush = QBrush(north);
    }

    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(outer, rimBrush);
    if (!fillBrush.isOpaque())
    {
        painter.fillPath(inner, QColor(0, 0, 0, 0));
    }
    painter.fillPath(inner, fillBrush);
    return image;
}

} // namespace

QImage cBasicGraphicsFactory::Panel::GetPixmap(const QSize& size, const QString& id)
{
    QImage image = PanelBackground::GetPixmap(size, id);
    if (image.isNull() || !Has(id, "TITLE"))
    {
        return image;
    }
    QPainter painter(&image);
    painter.drawImage(0, 0, PanelTitle::GetPixmap(size, id));
    return image;
}

QImage cBasicGraphicsFactory::PanelBackground::GetPixmap(const QSize& size, const QString& id)
{
    const sPanelOptions options = PanelOptionsOf(id);
    const QBrush rim(options.foreground.isValid() ? options.foreground : QColor(82, 87, 92));
    const QBrush fill(options.background.isValid() ? options.background : QColor(0, 0, 0));
    return DrawPanelBackground(size, id, rim, fill);
}

QImage cBasicGraphicsFactory::PanelTitle::GetPixmap(const QSize& size, const QString& id)
{
    const sPanelOptions options = PanelOptionsOf(id);
    QImage image = NewImage(QSize(size.width(), 40));
    if (image.isNull())
    {
        return image;
    }
    const int w = size.width();
    QPainterPath outer;
    cDrawingUtility::DrawRoundedRect(outer, QRectF(0, 0, w, 40), 3.0, 10.0, false, true, false, true);
    QPainterPath inner;
    cDrawingUtility::DrawRoundedRect(inner, QRectF(1, 1, w - 2, 38), 2.0, 9.0, false, true, false, true);
    QPainter painter(&image);
    cDrawingUtility::SetRenderHints(painter);
    painter.fillPath(outer, options.foreground.isValid() ? options.foreground : QColor(68, 108, 179));
    painter.fillPath(inner, QColor(30, 30, 30));
    return image;
}

QImage cBasicGraphicsFactory::BorderedPanelBackground::GetPixmap(const QSize& size, const QString& id)
{
    const QBrush rim = Has(id, "BORDER") ? QBrush(QColor(68, 108, 179)) : QBrush();
    return DrawPanelBackground(size, id, rim, QBrush(QColor(68, 108, 179)));
}
