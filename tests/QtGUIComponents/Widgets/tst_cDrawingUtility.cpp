#include "QtGUIComponents/Widgets/GraphicsScaling.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"
#include "tests/support/cReportCapture.h"

#include <QPainter>
#include <QVector3D>
#include <QWidget>
#include <QtTest>

#include <cmath>
#include <limits>
#include <thread>

namespace
{

// The path's elements as (type, x, y) triples, for comparing paths exactly.
QVector<QVector3D> Elements(const QPainterPath& path)
{
    QVector<QVector3D> elements;
    for (int i = 0; i < path.elementCount(); ++i)
    {
        const QPainterPath::Element e = path.elementAt(i);
        elements.append(QVector3D(float(e.type), float(e.x), float(e.y)));
    }
    return elements;
}

class cPaintCounter : public QWidget
{
public:
    std::atomic<int> mPaints{0};

protected:
    void paintEvent(QPaintEvent*) override { ++mPaints; }
};

} // namespace

class tst_cDrawingUtility : public QObject
{
    Q_OBJECT

private slots:
    void instance_beforeTheApplicationMadeIt_reportsAndIsNull();
    void shrunkRects_moveEveryEdgeInward_data();
    void shrunkRects_moveEveryEdgeInward();
    void centreRect_roundsTowardZero_centreRectF_doesNot();
    void quarterEllipses_endAQuarterTurnAway_data();
    void quarterEllipses_endAQuarterTurnAway();
    void quarterEllipses_withRadiusZeroOrABadSector_leaveThePath();
    void roundedRect_takesTheAltRadiusPerCorner();
    void selectivelyRoundedRect_withNoRoundCorner_isTheRectangle();
    void centredArc_isSymmetricWithItsEndsInsideTheMargins();
    void centredArc_withNoSine_isReportedAndLeavesThePath();
    void adjustHsv_wrapsTheHueAndHoldsTheRest_data();
    void adjustHsv_wrapsTheHueAndHoldsTheRest();
    void setAlpha_changesVisiblePixelsOnly_data();
    void setAlpha_changesVisiblePixelsOnly();
    void setAlpha_onAnImageWithoutA32BitAlpha_reportsAndLeavesIt_data();
    void setAlpha_onAnImageWithoutA32BitAlpha_reportsAndLeavesIt();
    void requestUpdate_fromAnotherThread_paintsAVisibleWidgetOnly();
    void renderSvg_drawsTheFileOrGivesATransparentImage();
    void valueToPixel_mapsALevelIntoTheLength_data();
    void valueToPixel_mapsALevelIntoTheLength();
    void otherMappings_data();
    void otherMappings();
    void scalingFactors_startAtOneAndSetTogether();
};

void tst_cDrawingUtility::instance_beforeTheApplicationMadeIt_reportsAndIsNull()
{
    cReportCapture reports;
    QVERIFY(cDrawingUtility::Instance() == nullptr);
    QCOMPARE(reports.Count("ERROR: gDrawingUtility is NULL\t"), 1);

    gDrawingUtility = new cDrawingUtility();
    QCOMPARE(cDrawingUtility::Instance(), gDrawingUtility);
    delete gDrawingUtility;
    gDrawingUtility = nullptr;
}

void tst_cDrawingUtility::shrunkRects_moveEveryEdgeInward_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<double>("d");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("by 2") << QRectF(0, 0, 10, 10) << 2.0 << QRectF(2, 2, 6, 6);
    QTest::newRow("past the middle") << QRectF(0, 0, 10, 10) << 6.0 << QRectF(6, 6, -2, -2);
    QTest::newRow("outward") << QRectF(1, 2, 3, 4) << -1.0 << QRectF(0, 1, 5, 6);
}

void tst_cDrawingUtility::shrunkRects_moveEveryEdgeInward()
{
    QFETCH(QRectF, rect);
    QFETCH(double, d);
    QFETCH(QRectF, expected);
    QCOMPARE(cDrawingUtility::ShrunkRectF(rect, d), expected);
    QRectF changed = rect;
    cDrawingUtility::ShrinkRectF(changed, d);
    QCOMPARE(changed, expected);

    // The integer forms move the inclusive edges.
    const QRect whole = rect.toRect();
    const int n = int(d);
    const QRect shrunk = cDrawingUtility::ShrunkRect(whole, n);
    QCOMPARE(shrunk.left(), whole.left() + n);
    QCOMPARE(shrunk.top(), whole.top() + n);
    QCOMPARE(shrunk.right(), whole.right() - n);
    QCOMPARE(shrunk.bottom(), whole.bottom() - n);
}

void tst_cDrawingUtility::centreRect_roundsTowardZero_centreRectF_doesNot()
{
    QRect inner(0, 0, 3, 3);
    cDrawingUtility::CentreRect(inner, QRect(0, 0, 10, 10));
    QCOMPARE(inner, QRect(3, 3, 3, 3));
    QRectF innerF(0, 0, 3, 3);
    cDrawingUtility::CentreRectF(innerF, QRectF(0, 0, 10, 10));
    QCOMPARE(innerF, QRectF(3.5, 3.5, 3, 3));
    // A larger inner rectangle moves up and left, rounding toward zero.
    QRect large(0, 0, 14, 14);
    cDrawingUtility::CentreRect(large, QRect(0, 0, 10, 10));
    QCOMPARE(large.topLeft(), QPoint(-2, -2));
}

void tst_cDrawingUtility::quarterEllipses_endAQuarterTurnAway_data()
{
    QTest::addColumn<int>("sector");
    QTest::addColumn<bool>("clockwise");
    QTest::addColumn<QPointF>("end");
    // From (0, 0) with radius 10.
    QTest::newRow("clockwise top-left") << 0 << true << QPointF(10, -10);
    QTest::newRow("clockwise top-right") << 1 << true << QPointF(10, 10);
    QTest::newRow("clockwise bottom-right") << 2 << true << QPointF(-10, 10);
    QTest::newRow("clockwise bottom-left") << 3 << true << QPointF(-10, -10);
    QTest::newRow("anticlockwise top-left") << 0 << false << QPointF(-10, 10);
    QTest::newRow("anticlockwise top-right") << 1 << false << QPointF(-10, -10);
    QTest::newRow("anticlockwise bottom-right") << 2 << false << QPointF(10, -10);
    QTest::newRow("anticlockwise bottom-left") << 3 << false << QPointF(10, 10);
}

void tst_cDrawingUtility::quarterEllipses_endAQuarterTurnAway()
{
    QFETCH(int, sector);
    QFETCH(bool, clockwise);
    QFETCH(QPointF, end);
    QPainterPath path;
    path.moveTo(0, 0);
    if (clockwise)
    {
        cDrawingUtility::DrawClockwiseQuarterEllipse(path, eEllipseSector(sector), 10);
    }
    else
    {
        cDrawingUtility::DrawAntiClockwiseQuarterEllipse(path, eEllipseSector(sector), 10);
    }
    // The arc starts where the path stood (no line to a new start) and ends a quarter turn on.
    QCOMPARE(path.elementAt(1).type, QPainterPath::CurveToElement);
    QVERIFY2(
        QLineF(path.currentPosition(), end).length() < 1e-9,
        qPrintable(
            QStringLiteral("ends at %1,%2").arg(path.currentPosition().x()).arg(path.currentPosition().y())));
    // Halfway along, a quarter circle lies r (1 - cos 45 deg) off its chord.
    const QPointF middle = path.pointAtPercent(0.5);
    const double bulge = QLineF(middle, end / 2.0).length();
    QVERIFY2(std::fabs(bulge - 10.0 * (1.0 - std::sqrt(0.5))) < 0.05, qPrintable(QString::number(bulge)));
}

void tst_cDrawingUtility::quarterEllipses_withRadiusZeroOrABadSector_leaveThePath()
{
    QPainterPath path;
    path.moveTo(5, 5);
    cDrawingUtility::DrawClockwiseQuarterEllipse(path, TOP_LEFT_SECTOR, 0);
    cDrawingUtility::DrawAntiClockwiseQuarterEllipse(path, BOTTOM_RIGHT_SECTOR, 0);
    QCOMPARE(path.elementCount(), 1);

    cReportCapture reports;
    cDrawingUtility::DrawClockwiseQuarterEllipse(path, eEllipseSector(4), 10);
    cDrawingUtility::DrawAntiClockwiseQuarterEllipse(path, eEllipseSector(-1), 10);
    QCOMPARE(path.elementCount(), 1);
    QCOMPARE(reports.Count("ERROR: Unhandled enum value\t"), 2);
}

void tst_cDrawingUtility::roundedRect_takesTheAltRadiusPerCorner()
{
    const QRectF rect(0, 0, 100, 40);
    QPainterPath plain;
    cDrawingUtility::DrawRoundedRect(plain, rect, 5.0, 5.0, false, false, false, false);
    QPainterPath flagged;
    cDrawingUtility::DrawRoundedRect(flagged, rect, 5.0, 5.0, true, false, true, true);
    QCOMPARE(Elements(flagged), Elements(plain));

    // Top-right and bottom-left on the large radius: their corner points lie further inside.
    QPainterPath tab;
    cDrawingUtility::DrawRoundedRect(tab, rect, 3.0, 10.0, false, true, false, true);
    QCOMPARE(tab.boundingRect(), rect);
    QCOMPARE(tab.elementAt(0).x, 3.0); // moveTo(x + tl, y)
    QVERIFY(tab.contains(QPointF(1.5, 1.5)));
    QVERIFY(!tab.contains(QPointF(99, 1)));
    QVERIFY(!tab.contains(QPointF(1, 39)));
    QVERIFY(tab.contains(QPointF(98.5, 38.5)));
}

void tst_cDrawingUtility::selectivelyRoundedRect_withNoRoundCorner_isTheRectangle()
{
    const QRectF rect(2, 3, 20, 10);
    QPainterPath square;
    cDrawingUtility::DrawSelectivelyRoundedRect(square, rect, 4.0, 8.0, false, false, false, false, true,
                                                true, true, true);
    QCOMPARE(square.boundingRect(), rect);
    for (const QPointF& corner :
         {QPointF(2.01, 3.01), QPointF(21.99, 3.01), QPointF(21.99, 12.99), QPointF(2.01, 12.99)})
    {
        QVERIFY(square.contains(corner));
    }
    // The arcs of radius 0 add nothing: four lines and the closing one.
    QPainterPath roundTopLeftOnly;
    cDrawingUtility::DrawSelectivelyRoundedRect(roundTopLeftOnly, rect, 4.0, 8.0, true, false, false, false,
                                                false, false, false, false);
    QVERIFY(!roundTopLeftOnly.contains(QPointF(2.2, 3.2)));
    QVERIFY(roundTopLeftOnly.contains(QPointF(21.99, 3.01)));
}

void tst_cDrawingUtility::centredArc_isSymmetricWithItsEndsInsideTheMargins()
{
    QPainterPath path;
    cDrawingUtility::DrawCentredArc(path, 101, M_PI / 2.0, 10.0);
    // c = 50, m = 8: the ends at x = 8 and x = 92, the top at y = 14.
    const QPointF start = path.pointAtPercent(0.0);
    const QPointF end = path.pointAtPercent(1.0);
    QVERIFY(std::fabs(start.x() - 8.0) < 1e-6);
    QVERIFY(std::fabs(end.x() - 92.0) < 1e-6);
    QVERIFY(std::fabs(start.y() - end.y()) < 1e-6);
    QVERIFY(std::fabs(path.boundingRect().top() - 14.0) < 0.01);
    QVERIFY(std::fabs(path.pointAtPercent(0.5).x() - 50.0) < 0.01);
}

void tst_cDrawingUtility::centredArc_withNoSine_isReportedAndLeavesThePath()
{
    cReportCapture reports;
    QPainterPath path;
    cDrawingUtility::DrawCentredArc(path, 100, 0.0, 0.0);
    cDrawingUtility::DrawCentredArc(path, 100, std::numeric_limits<double>::quiet_NaN(), 0.0);
    QVERIFY(path.isEmpty());
    QCOMPARE(reports.Count("ERROR: No arc of angle"), 2);
}

void tst_cDrawingUtility::adjustHsv_wrapsTheHueAndHoldsTheRest_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QVector<int>>("offsets");
    QTest::addColumn<QVector<int>>("hsva");
    QTest::newRow("hue past 359") << QColor::fromHsv(350, 100, 100) << QVector<int>{20, 0, 0, 0}
                                  << QVector<int>{10, 100, 100, 255};
    QTest::newRow("hue below 0") << QColor::fromHsv(5, 100, 100) << QVector<int>{-10, 0, 0, 0}
                                 << QVector<int>{355, 100, 100, 255};
    QTest::newRow("many turns") << QColor::fromHsv(5, 100, 100) << QVector<int>{-3605, 0, 0, 0}
                                << QVector<int>{0, 100, 100, 255};
    QTest::newRow("grey's hue -1") << QColor(128, 128, 128) << QVector<int>{0, 0, 0, 0}
                                   << QVector<int>{359, 0, 128, 255};
    QTest::newRow("held at 255 and 0") << QColor::fromHsv(100, 250, 10, 100) << QVector<int>{0, 10, -20, 200}
                                       << QVector<int>{100, 255, 0, 255};
    QTest::newRow("alpha down") << QColor(247, 173, 52) << QVector<int>{0, 0, 0, -80}
                                << QVector<int>{QColor(247, 173, 52).hsvHue(),
                                                QColor(247, 173, 52).hsvSaturation(), 247, 175};
}

void tst_cDrawingUtility::adjustHsv_wrapsTheHueAndHoldsTheRest()
{
    QFETCH(QColor, colour);
    QFETCH(QVector<int>, offsets);
    QFETCH(QVector<int>, hsva);
    const QColor adjusted =
        cDrawingUtility::AdjustHsv(colour, offsets[0], offsets[1], offsets[2], offsets[3]);
    QCOMPARE((QVector<int>{adjusted.hsvHue(), adjusted.hsvSaturation(), adjusted.value(), adjusted.alpha()}),
             hsva);
}

void tst_cDrawingUtility::setAlpha_changesVisiblePixelsOnly_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("alpha");
    QTest::newRow("ARGB32 to 0") << int(QImage::Format_ARGB32) << 0;
    QTest::newRow("ARGB32 to 77, high bits ignored") << int(QImage::Format_ARGB32) << (0x100 | 77);
    QTest::newRow("premultiplied to 128") << int(QImage::Format_ARGB32_Premultiplied) << 128;
}

void tst_cDrawingUtility::setAlpha_changesVisiblePixelsOnly()
{
    QFETCH(int, format);
    QFETCH(int, alpha);
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(0, 200, 0, 100));
    image.setPixel(2, 0, qRgba(10, 20, 30, 0));
    image.setPixel(0, 1, qRgba(0, 0, 255, 1));
    image.setPixel(1, 1, qRgba(0, 0, 0, 0));
    image.setPixel(2, 1, qRgba(255, 255, 255, 255));
    const QImage before = image;
    image = image.convertToFormat(QImage::Format(format));

    cDrawingUtility::SetAlpha(image, alpha);
    QCOMPARE(int(image.format()), format);
    const QImage after = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
    {
        for (int x = 0; x < 3; ++x)
        {
            const QRgb was = before.pixel(x, y);
            const QRgb is = after.pixel(x, y);
            if (qAlpha(was) == 0)
            {
                QCOMPARE(qAlpha(is), 0);
                continue;
            }
            QCOMPARE(qAlpha(is), alpha & 0xFF);
            if (format == QImage::Format_ARGB32)
            {
                QCOMPARE(is & 0xFFFFFFu, was & 0xFFFFFFu);
            }
        }
    }
    if (format == QImage::Format_ARGB32)
    {
        // A transparent pixel keeps its colour bytes too.
        QCOMPARE(after.pixel(2, 0), qRgba(10, 20, 30, 0));
    }
    else
    {
        // An opaque red pixel is still red.
        QCOMPARE(after.pixelColor(0, 0).red(), 255);
        QCOMPARE(after.pixelColor(0, 0).green(), 0);
    }
}

void tst_cDrawingUtility::setAlpha_onAnImageWithoutA32BitAlpha_reportsAndLeavesIt_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("RGB888") << int(QImage::Format_RGB888);
    QTest::newRow("Indexed8") << int(QImage::Format_Indexed8);
    QTest::newRow("Grayscale8") << int(QImage::Format_Grayscale8);
    QTest::newRow("RGB32") << int(QImage::Format_RGB32);
}

void tst_cDrawingUtility::setAlpha_onAnImageWithoutA32BitAlpha_reportsAndLeavesIt()
{
    QFETCH(int, format);
    QImage image(7, 3, QImage::Format_ARGB32);
    image.fill(QColor(200, 100, 50));
    image = image.convertToFormat(QImage::Format(format));
    const QImage before = image;
    cReportCapture reports;
    cDrawingUtility::SetAlpha(image, 10);
    QCOMPARE(image, before);
    QCOMPARE(reports.Count("ERROR: SetAlpha needs a 32-bit image with alpha"), 1);
}

void tst_cDrawingUtility::requestUpdate_fromAnotherThread_paintsAVisibleWidgetOnly()
{
    cDrawingUtility::RequestUpdate(nullptr);

    cPaintCounter shown;
    shown.resize(20, 20);
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    cPaintCounter hidden;
    hidden.resize(20, 20);
    QTRY_VERIFY(shown.mPaints > 0);
    QTest::qWait(50);
    shown.mPaints = 0;

    std::thread other(
        [&]()
        {
            cDrawingUtility::RequestUpdate(&shown);
            cDrawingUtility::RequestUpdate(&hidden);
        });
    other.join();
    QTRY_VERIFY(shown.mPaints > 0);
    QCOMPARE(int(hidden.mPaints), 0);
}

void tst_cDrawingUtility::renderSvg_drawsTheFileOrGivesATransparentImage()
{
    const QImage drawn = cDrawingUtility::RenderSvg(QStringLiteral(SVG_SAMPLE), QSize(32, 24));
    QCOMPARE(drawn.size(), QSize(32, 24));
    QCOMPARE(drawn.format(), QImage::Format_ARGB32);
    int visible = 0;
    for (int y = 0; y < drawn.height(); ++y)
    {
        for (int x = 0; x < drawn.width(); ++x)
        {
            visible += qAlpha(drawn.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    QVERIFY(visible > 0);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open file"));
    const QImage missing = cDrawingUtility::RenderSvg(QStringLiteral("/nonexistent/none.svg"), QSize(8, 8));
    QImage transparent(8, 8, QImage::Format_ARGB32);
    transparent.fill(QColor(0, 0, 0, 0));
    QCOMPARE(missing, transparent);
    QVERIFY(cDrawingUtility::RenderSvg(QStringLiteral(SVG_SAMPLE), QSize(0, 8)).isNull());
}

void tst_cDrawingUtility::valueToPixel_mapsALevelIntoTheLength_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("pixel");
    QTest::newRow("0 dB of -60..+12 in 200") << 0 << -15360 << 3072 << 200 << 167;
    QTest::newRow("bottom") << -15360 << -15360 << 3072 << 200 << 0;
    QTest::newRow("top") << 3072 << -15360 << 3072 << 200 << 200;
    QTest::newRow("above the top") << 3584 << -10240 << 3072 << 208 << 216;
    QTest::newRow("half rounds away from zero") << 1 << 0 << 2 << 1 << 1;
    QTest::newRow("negative half rounds away from zero") << -1 << 0 << 2 << 1 << -1;
    QTest::newRow("no range") << 100 << 0 << 0 << 200 << 0;
    QTest::newRow("no range, any ends") << 5 << -300 << -300 << 50 << 0;
    QTest::newRow("extreme ints") << std::numeric_limits<int>::max() << std::numeric_limits<int>::min() << 0
                                  << 100 << 200;
}

void tst_cDrawingUtility::valueToPixel_mapsALevelIntoTheLength()
{
    QFETCH(int, value);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, length);
    QFETCH(int, pixel);
    QCOMPARE(ValueToPixel(value, low, high, length), pixel);
}

void tst_cDrawingUtility::otherMappings_data()
{
    QTest::addColumn<QString>("mapping");
    QTest::addColumn<double>("result");
    QTest::addColumn<double>("expected");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("floor") << "ValueToPixelFloor" << double(ValueToPixelFloor(7, 0.5f, 2)) << 2.0;
    QTest::newRow("floor, negative") << "ValueToPixelFloor" << double(ValueToPixelFloor(1, 0.5f, 2)) << -1.0;
    QTest::newRow("floor, NaN scale") << "ValueToPixelFloor" << double(ValueToPixelFloor(1, nan, 2)) << 0.0;
    QTest::newRow("float") << "ValueToPixelF" << double(ValueToPixelF(7, 0.5f, 2)) << 2.5;
    QTest::newRow("ceil") << "CeilOffset" << double(CeilOffset(5.0f, 2.0f, 10)) << 13.0;
    QTest::newRow("ceil over 0") << "CeilOffset" << double(CeilOffset(5.0f, 0.0f, 10)) << 0.0;
    QTest::newRow("clamped above") << "ClampedValueToPixel"
                                   << double(ClampedValueToPixel(11, 2.0f, 0, 10, 9.7f)) << 9.0;
    QTest::newRow("clamped below") << "ClampedValueToPixel"
                                   << double(ClampedValueToPixel(-1, 2.0f, 0, 10, 9.7f)) << 0.0;
    QTest::newRow("clamped inside") << "ClampedValueToPixel"
                                    << double(ClampedValueToPixel(3, 2.0f, 1, 10, 9.7f)) << 4.0;
}

void tst_cDrawingUtility::otherMappings()
{
    QFETCH(double, result);
    QFETCH(double, expected);
    QCOMPARE(result, expected);
}

void tst_cDrawingUtility::scalingFactors_startAtOneAndSetTogether()
{
    QCOMPARE(GetScreenScalingFactor(), 1.0);
    QCOMPARE(GetFontScalingFactor(), 1.0);
    QCOMPARE(GetAuxiliaryScalingFactor(), 1.0);
    QCOMPARE(GetUnitScalingFactor(), 1.0);
    SetScalingFactors(1.5);
    SetAuxiliaryScalingFactor(2.0);
    QCOMPARE(GetScreenScalingFactor(), 1.5);
    QCOMPARE(GetFontScalingFactor(), 1.5);
    QCOMPARE(GetAuxiliaryScalingFactor(), 2.0);
    SetScalingFactors(1.0);
    SetAuxiliaryScalingFactor(1.0);
}

QTEST_MAIN(tst_cDrawingUtility)
#include "tst_cDrawingUtility.moc"
