#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "PainterTestSupport.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <set>

namespace
{

using F = cBasicGraphicsFactory;

// -60 dB to +12 dB.
const QString kFullRange = QStringLiteral("**-15360**x**3072");

// The rows of column x whose alpha is above 0.
std::set<int> VisibleRows(const QImage& image, int x)
{
    std::set<int> rows;
    for (int y = 0; y < image.height(); ++y)
    {
        if (qAlpha(image.pixel(x, y)) > 0)
        {
            rows.insert(y);
        }
    }
    return rows;
}

} // namespace

// The meter painters, checked by sizes, colours and the rows their bands and marks fall on.
class tst_MeterPainters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void gradient_runsGreenYellowRedUpTheMeter();
    void gradient_inactive_isDim();
    void gradient_squareMeters_areFlat_data();
    void gradient_squareMeters_areFlat();
    void threeColourMeter_bandsEndAtTheirLevels_data();
    void threeColourMeter_bandsEndAtTheirLevels();
    void scale_marksLevelsStrictlyInsideTheRange_data();
    void scale_marksLevelsStrictlyInsideTheRange();
    void scale_numbersNeedAWideEnoughMeter_data();
    void scale_numbersNeedAWideEnoughMeter();
    void scale_ofAnUnknownMeter_reportsAndIsNull();
    void stereoHalves_mirrorEachOther();
    void monoMeter_withNoRange_isDrawnWithoutDividingByZero();
    void textPainters_withoutTheFontTable_reportAndGiveANullImage();
};

void tst_MeterPainters::initTestCase()
{
    gThemeColours = new cThemeColours();
    cProjectFontManager::Init(1.0f);
}

void tst_MeterPainters::cleanupTestCase()
{
    cProjectFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_MeterPainters::gradient_runsGreenYellowRedUpTheMeter()
{
    const QImage image = F::MeterGradient::GetPixmap(QSize(20, 200), "METER_STYLE_DEFAULT" + kFullRange);
    QCOMPARE(image.size(), QSize(20, 200));
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    // +3 dB is 175 pixels up, +14 dB above the top: green below, yellow above, red at the very top.
    COMPARE_PIXEL(image, 10, 190, QColor(0, 255, 0));
    COMPARE_PIXEL(image, 10, 60, QColor(0, 255, 0));
    COMPARE_PIXEL(image, 10, 12, QColor(255, 255, 0));
    const QColor top = image.pixelColor(10, 0);
    QVERIFY2(top.red() == 255 && top.green() < 128 && top.blue() == 0, qPrintable(Describe(top)));
}

void tst_MeterPainters::gradient_inactive_isDim()
{
    const QImage image =
        F::MeterGradient::GetPixmap(QSize(20, 200), "METER_STYLE_DEFAULT_INACTIVE" + kFullRange);
    // Green at alpha 60 over black.
    COMPARE_PIXEL(image, 10, 190, QColor(0, 60, 0));
}

void tst_MeterPainters::gradient_squareMeters_areFlat_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("green") << "SQUARE_GREEN_METER" << QColor(0, 255, 0);
    QTest::newRow("green inactive") << "SQUARE_GREEN_METER_INACTIVE" << QColor(0, 112, 0);
    QTest::newRow("red") << "SQUARE_RED_METER" << QColor(255, 0, 0);
    QTest::newRow("red inactive") << "SQUARE_RED_METER_INACTIVE" << QColor(112, 0, 0);
}

void tst_MeterPainters::gradient_squareMeters_areFlat()
{
    QFETCH(QString, id);
    QFETCH(QColor, colour);
    QImage expected(4, 9, QImage::Format_ARGB32);
    expected.fill(colour);
    QCOMPARE(F::MeterGradient::GetPixmap(QSize(4, 9), id), expected);
}

void tst_MeterPainters::threeColourMeter_bandsEndAtTheirLevels_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("redRows");
    QTest::addColumn<int>("yellowRows");
    QTest::addColumn<QVector<QColor>>("colours"); // red, yellow, green
    const QVector<QColor> bright = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0)};
    // One pixel per 64 (a quarter dB) in each range below.
    QTest::newRow("-40..+12 dB: +14 dB lies above the top")
        << "SQUARE_THREE_COLOUR_METER**-10240**x**3072" << 208 << 0 << 36 << bright;
    QTest::newRow("-40..+20 dB") << "SQUARE_THREE_COLOUR_METER**-10240**x**5120" << 240 << 24 << 44 << bright;
    QTest::newRow("inactive") << "SQUARE_THREE_COLOUR_METER_INACTIVE**-10240**x**5120" << 240 << 24 << 44
                              << QVector<QColor>{QColor(112, 0, 0), QColor(111, 112, 0), QColor(0, 112, 0)};
    QTest::newRow("no range: all green") << "SQUARE_THREE_COLOUR_METER" << 50 << 0 << 0 << bright;
}

void tst_MeterPainters::threeColourMeter_bandsEndAtTheirLevels()
{
    QFETCH(QString, id);
    QFETCH(int, height);
    QFETCH(int, redRows);
    QFETCH(int, yellowRows);
    QFETCH(QVector<QColor>, colours);
    cReportCapture reports;
    const QImage image = F::MeterGradient::GetPixmap(QSize(3, height), id);
    QCOMPARE(image.size(), QSize(3, height));
    for (int y = 0; y < height; ++y)
    {
        const QColor& expected = y < redRows                ? colours[0]
                                 : y < redRows + yellowRows ? colours[1]
                                                            : colours[2];
        COMPARE_PIXEL(image, 0, y, expected);
        COMPARE_PIXEL(image, 2, y, expected);
    }
    QCOMPARE(reports.Lines(), QStringList());
}

void tst_MeterPainters::scale_marksLevelsStrictlyInsideTheRange_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("height");
    QTest::addColumn<QVector<int>>("rows");
    // +10, -10, -20, -40 dB at 6, 61, 89, 144; 0 dB a hollow bar over rows 32 to 34.
    QTest::newRow("-60..+12 dB") << kFullRange << 200 << QVector<int>{6, 32, 34, 61, 89, 144};
    // Only -20 dB lies strictly inside; no 0 dB mark.
    QTest::newRow("-40..-10 dB") << "**-10240**x**-2560" << 90 << QVector<int>{30};
    QTest::newRow("no range") << "" << 50 << QVector<int>{};
}

void tst_MeterPainters::scale_marksLevelsStrictlyInsideTheRange()
{
    QFETCH(QString, range);
    QFETCH(int, height);
    QFETCH(QVector<int>, rows);
    const QImage scale = F::GetMeterScale(QSize(20, height), "METER_STYLE_DEFAULT" + range);
    QCOMPARE(scale.format(), QImage::Format_ARGB32);
    const std::set<int> visible = VisibleRows(scale, 10);
    QCOMPARE(QVector<int>(visible.begin(), visible.end()), rows);
    for (int row : rows)
    {
        COMPARE_ALPHA(scale, 10, row, 128);
    }
    if (range == kFullRange)
    {
        // The hollow bar's middle row is clear inside and marked at the ends.
        COMPARE_ALPHA(scale, 0, 33, 128);
        COMPARE_ALPHA(scale, 19, 33, 128);
    }
}

void tst_MeterPainters::scale_numbersNeedAWideEnoughMeter_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("numbers");
    QTest::newRow("stereo at 5") << "METER_STEREO_STYLE_DEFAULT" << 5 << true;
    QTest::newRow("stereo at 4") << "METER_STEREO_STYLE_DEFAULT" << 4 << false;
    QTest::newRow("mono at 7") << "METER_STYLE_DEFAULT" << 7 << true;
    QTest::newRow("mono at 6") << "METER_STYLE_DEFAULT" << 6 << false;
    QTest::newRow("gain reduction at 7") << "GR_METER" << 7 << true;
    QTest::newRow("histogram at any width") << "HISTOGRAM" << 40 << true;
}

void tst_MeterPainters::scale_numbersNeedAWideEnoughMeter()
{
    QFETCH(QString, prefix);
    QFETCH(int, width);
    QFETCH(bool, numbers);
    // -60 dB to -5 dB: no 0 dB mark, so only the numbers' boxes and lines are drawn.
    const QImage scale = F::GetMeterScale(QSize(width, 200), prefix + "_NUMERICAL_SCALE**-15360**x**-1280");
    QVERIFY(!scale.isNull());
    QCOMPARE(VisiblePixels(scale) > 0, numbers);
}

void tst_MeterPainters::scale_ofAnUnknownMeter_reportsAndIsNull()
{
    cReportCapture reports;
    QVERIFY(F::GetMeterScale(QSize(20, 100), "PEAK_HOLD_METER_NUMERICAL_SCALE").isNull());
    QCOMPARE(
        reports.Count("ERROR: cBasicGraphicsFactory: trying to get a meter scale for an unrecognised/non "
                      "meter-type widget! PEAK_HOLD_METER_NUMERICAL_SCALE\t"),
        1);
}

void tst_MeterPainters::stereoHalves_mirrorEachOther()
{
    const QSize half(9, 60);
    const QImage left = F::StereoMeterBorderedBackground::GetPixmap(half, "L");
    const QImage right = F::StereoMeterBorderedBackground::GetPixmap(half, "L RIGHT ");
    QCOMPARE(left.size(), half);
    QCOMPARE(right.size(), half);
    QVERIFY(left != right);
    const QImage mirrored = left.mirrored(true, false);
    for (int y = 0; y < half.height(); ++y)
    {
        for (int x = 0; x < half.width(); ++x)
        {
            // Antialiased edges may differ a little between the two sides.
            QVERIFY(Near(right.pixelColor(x, y), mirrored.pixelColor(x, y), 8));
        }
    }
    // The joined side's corner lies mostly outside the image; the outer side's is rounded.
    QVERIFY(qAlpha(left.pixel(8, 1)) > 250);
    QVERIFY(qAlpha(left.pixel(0, 1)) < 200);

    const QImage meter = F::StereoMeter::GetPixmap(half, "METER_STEREO_STYLE_DEFAULT" + kFullRange);
    QCOMPARE(meter.size(), half);
    COMPARE_PIXEL(meter, 4, 55, QColor(0, 255, 0));
}

void tst_MeterPainters::monoMeter_withNoRange_isDrawnWithoutDividingByZero()
{
    cReportCapture reports;
    const QImage meter = F::MonoMeter::GetPixmap(QSize(10, 80), "METER_STYLE_DEFAULT");
    QCOMPARE(meter.size(), QSize(10, 80));
    // Every level maps to the bottom, so the thresholds lie there and the bar is red.
    COMPARE_PIXEL(meter, 5, 40, QColor(255, 0, 0));
    QCOMPARE(reports.Lines(), QStringList());
}

void tst_MeterPainters::textPainters_withoutTheFontTable_reportAndGiveANullImage()
{
    cProjectFontManager::Destroy();
    QVERIFY(!cFontManager::IsBuilt());
    cReportCapture reports;
    QVERIFY(F::MeterScaleText::GetPixmap(QSize(30, 100), "METER_SCALE").isNull());
    QVERIFY(F::GetMeterScale(QSize(30, 100), "METER_STYLE_DEFAULT_NUMERICAL_SCALE" + kFullRange).isNull());
    QVERIFY(F::Pan::GetPixmap(QSize(40, 20), "PAN_ACTIVE").isNull());
    QVERIFY(F::Cell::GetPixmap(QSize(40, 20), "CELL_STEREO").isNull());
    QVERIFY(
        F::FaderBackground::GetPixmap(QSize(40, 200), "FADER_STYLE_EDITOR_FADER_SCALE**1**x**10").isNull());
    QCOMPARE(reports.Count("ERROR: The font table is not built: cannot draw"), 5);
    // Painters without text do not need it.
    QVERIFY(!F::Cell::GetPixmap(QSize(40, 20), "CELL").isNull());

    cProjectFontManager::Init(1.0f);
    const QImage text = F::MeterScaleText::GetPixmap(QSize(30, 100), "METER_SCALE" + kFullRange);
    QCOMPARE(text.size(), QSize(30, 100));
    QCOMPARE(text.format(), QImage::Format_ARGB32);
}

QTEST_MAIN(tst_MeterPainters)
#include "tst_MeterPainters.moc"
