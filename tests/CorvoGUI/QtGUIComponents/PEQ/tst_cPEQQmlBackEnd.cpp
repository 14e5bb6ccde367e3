#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQScaleText.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQGraphTestSupport.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQResponseCases.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/cFakePEQDriver.h"
#include "tests/support/cReportCapture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include <memory>
#include <vector>

namespace
{

using tWrites = QVector<cFakePEQDriver::sWrite>;

// Vertical lines of a grid path as their x, horizontal ones as their y.
QVector<double> LinePositions(const QPainterPath& path, bool vertical)
{
    QVector<double> positions;
    for (int i = 0; i + 1 < path.elementCount(); i += 2)
    {
        const QPainterPath::Element from = path.elementAt(i);
        const QPainterPath::Element to = path.elementAt(i + 1);
        if ((from.x == to.x) == vertical)
        {
            positions.append(vertical ? from.x : from.y);
        }
    }
    return positions;
}

// The combined line the back end should draw for these bands: every column's sum of the bands
// that count, simplified.
QVector<QPointF> ExpectedCombined(const cPEQQmlBackEnd2& backEnd, const std::vector<cPEQQmlBandBase2*>& bands)
{
    QVector<QPointF> points;
    for (int i = 0; i <= backEnd.GetPixelWidth(); ++i)
    {
        double sum = 0.0;
        for (const cPEQQmlBandBase2* band : bands)
        {
            if (band->addToCombined() && !band->IsBypassed())
            {
                sum += band->GetMagnitudes()[size_t(i)];
            }
        }
        points.append(QPointF(i, backEnd.GainToY(sum)));
    }
    return nPEQGraph::SimplifyPoints(points);
}

// A graph with four bells at 100 Hz, 500 Hz, 2 kHz and 8 kHz, +3 dB each.
struct sGraph
{
    cPEQQmlBackEnd2 mBackEnd;
    cPEQQmlBand2 mBands[4];

    sGraph()
    {
        const double hertz[] = {100.0, 500.0, 2000.0, 8000.0};
        for (int i = 0; i < 4; ++i)
        {
            mBackEnd.AppendBand(&mBands[i]);
            mBands[i].SetFrequency(ConvertFrequencyToUWORD(hertz[i]));
            mBands[i].SetWidth(0x1400);
            mBands[i].SetGain(UWORD(GAIN(768)));
        }
        Settle(mBackEnd);
    }
    std::vector<cPEQQmlBandBase2*> All() { return {&mBands[0], &mBands[1], &mBands[2], &mBands[3]}; }
};

} // namespace

class tst_cPEQQmlBackEnd : public QObject
{
    Q_OBJECT

private slots:
    void scale_gridAndLabels();
    void scale_wideMarginKeepsTheMajorLines();
    void scale_textsAreWithdrawnBeforeTheyGo();
    void scale_marginThatIsNoNumberOrDoesNotFit_isRefused_data();
    void scale_marginThatIsNoNumberOrDoesNotFit_isRefused();
    void size_followsQmlOnlyWhenAllowed();
    void combined_sumsTheBandsThatCount_data();
    void combined_sumsTheBandsThatCount();
    void combined_readsEachBandAtItsOwnColumns();
    void combined_matchesTheSumWorkedOutApart();
    void updates_areCoalesced();
    void driver_valuesReachTheBandsInEitherOrder_data();
    void driver_valuesReachTheBandsInEitherOrder();
    void driver_signalsAndEditsTravelBothWays();
    void clearedList_disconnectsTheOldBands();
    void band_belongsToOneGraph();
    void deletedDriverAndBands_leaveTheGraphSafe();
    void timerHandlers_mayChangeTheBandList();
};

void tst_cPEQQmlBackEnd::scale_gridAndLabels()
{
    cPEQQmlBackEnd2 backEnd;
    QSignalSpy texts(&backEnd, &cPEQQmlBackEnd2::scaleTextListChanged);
    QSignalSpy zero(&backEnd, &cPEQQmlBackEnd2::zeroYPosChanged);
    backEnd.setXScaleMargin(20.0f);
    backEnd.setYScaleMargin(30.0f);
    QVERIFY(Settle(backEnd));
    QCOMPARE(zero.count(), 1); // both margins announced once, by the timer
    QVERIFY(texts.count() >= 1);

    QCOMPARE(backEnd.GainToY(0.0), 163.0);
    QCOMPARE(backEnd.zeroYPos(), 163.5);
    const QPainterPath major = backEnd.svgPathDataScaleMajor()->path();
    const QPainterPath minor = backEnd.svgPathDataScaleMinor()->path();
    QCOMPARE(LinePositions(major, true), (QVector<double>{151.5, 367.5, 583.5})); // 100 Hz, 1 kHz, 10 kHz
    QCOMPARE(LinePositions(major, false), (QVector<double>{163.5}));              // 0 dB
    // 20 Hz (x 0) lies left of the margin; 30-90 Hz, 200-900 Hz and 2-9 kHz are drawn.
    const QVector<double> minorX = LinePositions(minor, true);
    QCOMPARE(minorX.size(), 23);
    QCOMPARE(minorX.first(), 38.5);
    QCOMPARE(minorX.last(), 573.5);
    QCOMPARE(LinePositions(minor, false), (QVector<double>{66.0, 114.75, 212.25, 261.0})); // +12 to -12 dB
    // The 0 dB line runs the whole width.
    QCOMPARE(QPointF(major.elementAt(6).x, major.elementAt(6).y), QPointF(0.0, 163.5));
    QCOMPARE(QPointF(major.elementAt(7).x, major.elementAt(7).y), QPointF(649.0, 163.5));

    QStringList labels;
    for (const cPEQScaleText* text : backEnd.GetScaleTexts())
    {
        labels << text->scaleText();
    }
    QCOMPARE(labels,
             (QStringList{"50", "100", "200", "500", "1k", "2k", "5k", "10k", "12", "6", "0", "6", "12"}));
    const QList<cPEQScaleText*>& list = backEnd.GetScaleTexts();
    QCOMPARE(list[1]->position().y(), 315.0);
    QVERIFY(std::abs(list[1]->position().x() - 151.2053) < 1e-3);
    QCOMPARE(list[10]->position(), QPointF(15.0, 163.0)); // "0", centred in the margin
    QCOMPARE(list[8]->position(), QPointF(15.0, 65.5));
}

// A view holds the texts of the last announced list: a text may only go once a later announcement
// has withdrawn it (a view still showing it would read a deleted text).
void tst_cPEQQmlBackEnd::scale_textsAreWithdrawnBeforeTheyGo()
{
    // Declared before the graph: its texts still report their deletion when it goes.
    QList<cPEQScaleText*> shown;
    QList<QPointer<cPEQScaleText>> everShown;
    int deletedWhileShown = 0;
    cPEQQmlBackEnd2 backEnd;
    connect(&backEnd, &cPEQQmlBackEnd2::scaleTextListChanged, this,
            [&]
            {
                shown = backEnd.GetScaleTexts();
                for (cPEQScaleText* text : shown)
                {
                    everShown << text;
                    connect(text, &QObject::destroyed, this,
                            [&, text] { deletedWhileShown += shown.contains(text) ? 1 : 0; });
                }
            });
    backEnd.setXScaleMargin(20.0f);
    QVERIFY(Settle(backEnd));
    QVERIFY(!shown.isEmpty());
    // Each margin rebuilds the scale, as a new size does.
    for (float margin : {30.0f, 24.0f, 40.0f})
    {
        backEnd.setYScaleMargin(margin);
        QVERIFY(Settle(backEnd));
        QVERIFY(!shown.isEmpty());
    }
    QCOMPARE(deletedWhileShown, 0);
    QVERIFY(std::any_of(everShown.cbegin(), everShown.cend(),
                        [](const QPointer<cPEQScaleText>& text) { return text.isNull(); }));
}

void tst_cPEQQmlBackEnd::scale_wideMarginKeepsTheMajorLines()
{
    cPEQQmlBackEnd2 backEnd;
    backEnd.setYScaleMargin(200.0f); // covers 100 Hz
    QCOMPARE(LinePositions(backEnd.svgPathDataScaleMajor()->path(), true), (QVector<double>{367.5, 583.5}));
    const QVector<double> minorX = LinePositions(backEnd.svgPathDataScaleMinor()->path(), true);
    QCOMPARE(minorX.size(), 16);
    QCOMPARE(minorX.first(), 216.5);
}

void tst_cPEQQmlBackEnd::scale_marginThatIsNoNumberOrDoesNotFit_isRefused_data()
{
    QTest::addColumn<bool>("yMargin");
    QTest::addColumn<float>("margin");
    QTest::addColumn<bool>("refused");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    for (bool y : {true, false})
    {
        const char* axis = y ? "y" : "x";
        const float extent = y ? 649.0f : 325.0f;
        QTest::addRow("%s: NaN", axis) << y << nan << true;
        QTest::addRow("%s: +infinity", axis) << y << infinity << true;
        QTest::addRow("%s: -infinity", axis) << y << -infinity << true;
        QTest::addRow("%s: 1e20", axis) << y << 1e20f << true;
        QTest::addRow("%s: negative", axis) << y << -0.5f << true;
        QTest::addRow("%s: a pixel beyond the graph", axis) << y << extent + 1.0f << true;
        QTest::addRow("%s: the whole graph", axis) << y << extent << false;
        QTest::addRow("%s: none", axis) << y << 0.0f << false;
    }
}

// The scale is built from the margins (a pixel column and row, label positions): a margin that is no
// number or does not fit the graph leaves the margin, its signal and the scale as they were.
void tst_cPEQQmlBackEnd::scale_marginThatIsNoNumberOrDoesNotFit_isRefused()
{
    QFETCH(bool, yMargin);
    QFETCH(float, margin);
    QFETCH(bool, refused);

    cPEQQmlBackEnd2 backEnd;
    backEnd.setXScaleMargin(20.0f);
    backEnd.setYScaleMargin(30.0f);
    QVERIFY(Settle(backEnd));
    const QPainterPath major = backEnd.svgPathDataScaleMajor()->path();
    const QPainterPath minor = backEnd.svgPathDataScaleMinor()->path();
    QVector<QPointF> labels;
    for (const cPEQScaleText* text : backEnd.GetScaleTexts())
    {
        labels << text->position();
    }
    QSignalSpy yChanged(&backEnd, &cPEQQmlBackEnd2::yScaleMarginChanged);
    QSignalSpy xChanged(&backEnd, &cPEQQmlBackEnd2::xScaleMarginChanged);
    QSignalSpy texts(&backEnd, &cPEQQmlBackEnd2::scaleTextListChanged);
    cReportCapture reports;

    if (yMargin)
    {
        backEnd.setYScaleMargin(margin);
    }
    else
    {
        backEnd.setXScaleMargin(margin);
    }
    QVERIFY(Settle(backEnd));
    const QString report = QString("%1 scale margin %2 refused: the graph is %3")
                               .arg(yMargin ? "Y" : "X")
                               .arg(QString::asprintf("%g", double(margin)))
                               .arg(yMargin ? "649 pixels wide" : "325 pixels high");
    QCOMPARE(reports.Count(report), refused ? 1 : 0);
    QCOMPARE(reports.Lines().size(), refused ? 1 : 0);
    QCOMPARE(yChanged.count() + xChanged.count(), refused ? 0 : 1);
    if (refused)
    {
        QCOMPARE(backEnd.yScaleMargin(), 30.0f);
        QCOMPARE(backEnd.xScaleMargin(), 20.0f);
        QCOMPARE(texts.count(), 0);
        QCOMPARE(backEnd.svgPathDataScaleMajor()->path(), major);
        QCOMPARE(backEnd.svgPathDataScaleMinor()->path(), minor);
        QCOMPARE(backEnd.GetScaleTexts().size(), labels.size());
        for (int i = 0; i < labels.size(); ++i)
        {
            QCOMPARE(backEnd.GetScaleTexts()[i]->position(), labels[i]);
        }
        return;
    }
    QCOMPARE(yMargin ? backEnd.yScaleMargin() : backEnd.xScaleMargin(), margin);
    for (const cPEQScaleText* text : backEnd.GetScaleTexts())
    {
        QVERIFY(std::isfinite(text->position().x()) && std::isfinite(text->position().y()));
    }
}

void tst_cPEQQmlBackEnd::size_followsQmlOnlyWhenAllowed()
{
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    QSignalSpy widthChanged(&backEnd, &cPEQQmlBackEnd2::widthChanged);
    backEnd.setWidth(800.4);
    backEnd.setHeight(400.0);
    QCOMPARE(widthChanged.count(), 1);
    QCOMPARE(backEnd.GetPixelWidth(), 649);

    backEnd.setAllowSizeChanges(true);
    QCOMPARE(backEnd.GetPixelWidth(), 800);
    QCOMPARE(backEnd.GetPixelHeight(), 400);
    QCOMPARE(backEnd.GetPixelsPerDb(), 10.0);
    QVERIFY(Settle(backEnd));
    QCOMPARE(graph.mBands[2].GetMagnitudes().size(), size_t(801));
    QCOMPARE(PathPoints(backEnd.combinedPathLine()), ExpectedCombined(backEnd, graph.All()));

    // Sizes a layout passes through (0, negative) are kept and ignored; no number, or one beyond the
    // pixel sizes, is refused.
    cReportCapture reports;
    backEnd.setHeight(0.0);
    backEnd.setWidth(-19.0);
    QCOMPARE(backEnd.height(), 0.0);
    QCOMPARE(backEnd.width(), -19.0);
    QCOMPARE(backEnd.GetPixelHeight(), 400);
    QCOMPARE(backEnd.GetPixelWidth(), 800);
    QVERIFY(reports.Lines().isEmpty());
    backEnd.setHeight(400.0);
    backEnd.setWidth(std::nan(""));
    backEnd.setWidth(40000.0);
    QCOMPARE(backEnd.width(), -19.0);
    QCOMPARE(backEnd.GetPixelWidth(), 800);
    QVERIFY(reports.Contains("size nan x 400 refused"));
    QVERIFY(reports.Contains("size 40000 x 400 refused"));
}

void tst_cPEQQmlBackEnd::combined_sumsTheBandsThatCount_data()
{
    QTest::addColumn<bool>("bypassFirst");
    QTest::addColumn<bool>("addThird");
    QTest::addColumn<bool>("bypassAll");
    QTest::newRow("all four") << false << true << false;
    QTest::newRow("a bypassed band does not count") << true << true << false;
    QTest::newRow("a band outside the combined curve does not count") << false << false << false;
    QTest::newRow("all bypassed: a flat line") << false << true << true;
}

void tst_cPEQQmlBackEnd::combined_sumsTheBandsThatCount()
{
    QFETCH(bool, bypassFirst);
    QFETCH(bool, addThird);
    QFETCH(bool, bypassAll);
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    QSignalSpy allBypassed(&backEnd, &cPEQQmlBackEnd2::allBandsBypassedChanged);
    backEnd.SetBypass(0, bypassFirst || bypassAll);
    graph.mBands[2].setAddToCombined(addThird);
    for (uint b = 1; bypassAll && b < 4; ++b)
    {
        backEnd.SetBypass(b, true);
    }
    QVERIFY(Settle(backEnd));
    QCOMPARE(backEnd.allBandsBypassed(), bypassAll);
    QCOMPARE(allBypassed.count(), (bypassFirst || bypassAll ? 1 : 0) + (bypassAll ? 3 : 0));

    const QVector<QPointF> line = PathPoints(backEnd.combinedPathLine());
    QCOMPARE(line, ExpectedCombined(backEnd, graph.All()));
    if (bypassAll)
    {
        QCOMPARE(line, (QVector<QPointF>{{0, 163}, {512, 163}, {649, 163}}));
    }
    const QVector<QPointF> fill = PathPoints(backEnd.combinedPath());
    QCOMPARE(fill.first(), QPointF(0, 163));
    QCOMPARE(fill[fill.size() - 2], QPointF(649, 163));
}

void tst_cPEQQmlBackEnd::combined_readsEachBandAtItsOwnColumns()
{
    // A high-pass type change asks for a recalculation: the timer draws the combined curve every
    // tenth column first, while the high-pass band holds every column; each drawn point must be the
    // sum at its own column.
    cPEQQmlBackEnd2 backEnd;
    cHPFQmlBand2 highPass;
    cPEQQmlBand2 bell;
    backEnd.AppendBand(&highPass);
    backEnd.AppendBand(&bell);
    highPass.SetFrequency(ConvertFrequencyToUWORD(200.0));
    bell.SetFrequency(ConvertFrequencyToUWORD(3000.0));
    bell.SetWidth(0x1000);
    bell.SetGain(UWORD(GAIN(2048)));
    QVERIFY(Settle(backEnd));

    QVector<QVector<QPointF>> drawn;
    connect(backEnd.combinedPathLine(), &QPainterPathWrapper::painterPathChanged, this,
            [&] { drawn.append(PathPoints(backEnd.combinedPathLine())); });
    backEnd.SetBandType(0, nPEQ::HPF_BUTTERWORTH_24_DB);
    QVERIFY(Settle(backEnd));
    QCOMPARE(drawn.size(), 2); // coarse, then full

    for (const QVector<QPointF>& line : drawn)
    {
        for (const QPointF& point : line)
        {
            const int column = int(point.x());
            const double omega = nPEQGraph::AngularFrequency(backEnd.XToFrequencyCode(column));
            const double sum =
                nPEQGraph::HighPassMagnitudeDb(nPEQ::HPF_BUTTERWORTH_24_DB,
                                               nPEQGraph::AngularFrequency(highPass.GetFrequency()), omega,
                                               omega * omega) +
                nPEQGraph::MagnitudeDb(
                    nPEQGraph::ParametricBandSection(nPEQ::BELL, bell.GetFrequency(), 0x1000, 2048), omega,
                    omega * omega);
            QVERIFY2(std::abs(point.y() - backEnd.GainToY(sum)) < 1e-9, qPrintable(QString::number(column)));
        }
    }
}

// Expected points from make_peq_response_cases.py, which sums the bells' models on its own: a drawn
// point at one of its columns is that sum; between drawn points the line passes within the
// simplification's 0.1 pixel of it.
void tst_cPEQQmlBackEnd::combined_matchesTheSumWorkedOutApart()
{
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 bands[std::size(COMBINED_BANDS)];
    for (size_t i = 0; i < std::size(COMBINED_BANDS); ++i)
    {
        backEnd.AppendBand(&bands[i]);
        bands[i].SetFrequency(UWORD(COMBINED_BANDS[i].frequencyCode));
        bands[i].SetWidth(UWORD(COMBINED_BANDS[i].widthCode));
        bands[i].SetGain(UWORD(GAIN(COMBINED_BANDS[i].gain)));
    }
    QVERIFY(Settle(backEnd));
    const QVector<QPointF> line = PathPoints(backEnd.combinedPathLine());
    QCOMPARE(line.first().x(), 0.0);
    QCOMPARE(line.last().x(), 649.0);
    int exact = 0;
    for (const sCombinedPoint& expected : COMBINED_POINTS)
    {
        const QPointF point(expected.column, expected.y);
        const auto drawn =
            std::find_if(line.cbegin(), line.cend(), [&](const QPointF& p) { return p.x() == point.x(); });
        if (drawn != line.cend())
        {
            ++exact;
            QVERIFY2(std::abs(drawn->y() - point.y()) < 1e-9,
                     qPrintable(QString("column %1 drawn at %2, not %3")
                                    .arg(expected.column)
                                    .arg(drawn->y(), 0, 'g', 17)
                                    .arg(point.y(), 0, 'g', 17)));
        }
        else
        {
            QVERIFY2(LargestDeviation({point}, line) <= 0.1 + 1e-9,
                     qPrintable(QString::number(expected.column)));
        }
    }
    QVERIFY(exact >= 2); // at least both ends
}

void tst_cPEQQmlBackEnd::updates_areCoalesced()
{
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    QSignalSpy combined(backEnd.combinedPathLine(), &QPainterPathWrapper::painterPathChanged);
    QSignalSpy bandLine(graph.mBands[1].linePath(), &QPainterPathWrapper::painterPathChanged);
    for (int step = 0; step < 100; ++step)
    {
        graph.mBands[1].setDragPos(200 + step, 100 + step / 2);
    }
    QCOMPARE(combined.count(), 0);
    QVERIFY(backEnd.IsUpdateScheduled());
    QVERIFY(Settle(backEnd));
    QCOMPARE(combined.count(), 1);
    QCOMPARE(bandLine.count(), 101); // a quick pass per step, one full pass
    QCOMPARE(graph.mBands[1].GetMagnitudes().size(), size_t(650));
    QCOMPARE(PathPoints(backEnd.combinedPathLine()), ExpectedCombined(backEnd, graph.All()));

    // Without a combined curve nothing is summed until it is asked for again.
    backEnd.setCalculateCombinedCurve(false);
    graph.mBands[1].setDragPos(400, 100);
    QVERIFY(Settle(backEnd));
    QCOMPARE(combined.count(), 1);
    backEnd.setCalculateCombinedCurve(true);
    QVERIFY(Settle(backEnd));
    QCOMPARE(combined.count(), 2);
    QCOMPARE(PathPoints(backEnd.combinedPathLine()), ExpectedCombined(backEnd, graph.All()));
}

void tst_cPEQQmlBackEnd::driver_valuesReachTheBandsInEitherOrder_data()
{
    QTest::addColumn<bool>("driverFirst");
    QTest::newRow("driver, then bands") << true;
    QTest::newRow("bands, then driver") << false;
}

void tst_cPEQQmlBackEnd::driver_valuesReachTheBandsInEitherOrder()
{
    QFETCH(bool, driverFirst);
    cFakePEQDriver driver;
    driver.mGain[1] = -768;
    driver.mFreq[1] = 30000;
    driver.mWidth[1] = 0x1000;
    driver.mType[1] = nPEQ::HFSHELF;
    driver.mFreqMin[1] = 20000;
    driver.mFreqMax[1] = 40000;
    driver.mBypass[1] = 1;
    driver.mFullyBypassed = 1;
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 bands[2];
    if (driverFirst)
    {
        backEnd.setDriver(&driver);
    }
    backEnd.AppendBand(&bands[0]);
    backEnd.AppendBand(&bands[1]);
    if (!driverFirst)
    {
        backEnd.setDriver(&driver);
    }
    QCOMPARE(bands[1].GetGain(), GAIN(-768));
    QCOMPARE(bands[1].GetFrequency(), UWORD(30000));
    QCOMPARE(bands[1].GetWidth(), UWORD(0x1000));
    QCOMPARE(bands[1].GetBandTypeValue(), UBYTE(nPEQ::HFSHELF));
    QCOMPARE(bands[1].GetFrequencyRangeMinCode(), UWORD(20000));
    QVERIFY(bands[1].IsBypassed());
    QVERIFY(backEnd.fullyBypassed());
    QVERIFY(driver.mWrites.isEmpty()); // pulling writes nothing back
    QVERIFY(Settle(backEnd));
    QCOMPARE(bands[1].GetMagnitudes().size(), size_t(650));
}

void tst_cPEQQmlBackEnd::driver_signalsAndEditsTravelBothWays()
{
    cFakePEQDriver driver;
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    backEnd.setDriver(&driver); // every band now at the driver's zeros
    driver.mWrites.clear();

    emit driver.GainChanged(2, -768);
    emit driver.FreqChanged(2, 40000);
    emit driver.BypassChanged(3, true);
    emit driver.FreqRangeChanged(0, 15000, 25000);
    emit driver.FullyBypassedChanged(true);
    emit driver.WidthChanged(2, 0x1400);
    emit driver.GainChanged(7, 100); // no such band: ignored
    QCOMPARE(graph.mBands[2].GetGain(), GAIN(-768));
    QCOMPARE(graph.mBands[2].GetFrequency(), UWORD(40000));
    QVERIFY(graph.mBands[3].IsBypassed());
    QCOMPARE(graph.mBands[0].GetFrequencyRangeMaxCode(), UWORD(25000));
    QVERIFY(backEnd.fullyBypassed());
    QVERIFY(driver.mWrites.isEmpty());

    // A drag and a pinch write into the dragged band's own driver band only.
    graph.mBands[2].setDragPos(324, 81);
    graph.mBands[2].setPinchDelta(1.0);
    QCOMPARE(driver.mWrites, (tWrites{{"freq", 2, 33624}, {"gain", 2, 2567}, {"width", 2, 0x1400 - 228}}));

    // The range and type entry points take the band's values when called.
    backEnd.BandFreqRangeChanged(0);
    backEnd.BandTypeChanged(2);
    QCOMPARE(driver.mWrites.mid(3), (tWrites{{"range", 0, 15000}, {"type", 2, 0}}));
}

void tst_cPEQQmlBackEnd::clearedList_disconnectsTheOldBands()
{
    cFakePEQDriver driver;
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    backEnd.setDriver(&driver);
    QSignalSpy listChanged(&backEnd, &cPEQQmlBackEnd2::bandListChanged);

    // What a QML list assignment does: clear, then append.
    QQmlListProperty<cPEQQmlBandBase2> list = backEnd.bandList();
    list.clear(&list);
    list.append(&list, &graph.mBands[3]);
    QCOMPARE(list.count(&list), 1);
    QCOMPARE(list.at(&list, 0), &graph.mBands[3]);
    QVERIFY(list.at(&list, 1) == nullptr);
    QCOMPARE(listChanged.count(), 2);
    driver.mWrites.clear();

    graph.mBands[3].setDragPos(100, 163);
    graph.mBands[0].setDragPos(100, 163); // no longer in the graph
    QCOMPARE(driver.mWrites, (tWrites{{"freq", 0, 17774}, {"gain", 0, -15}}));

    // A band listed twice is refused.
    cReportCapture reports;
    list.append(&list, &graph.mBands[3]);
    list.append(&list, nullptr);
    QCOMPARE(list.count(&list), 1);
    QCOMPARE(reports.Count("ERROR"), 2);
}

// Two graphs (two PEQ units): a band appended to the second leaves the first, so its drags write into
// the second graph's driver only.
void tst_cPEQQmlBackEnd::band_belongsToOneGraph()
{
    cFakePEQDriver firstDriver;
    cFakePEQDriver secondDriver;
    secondDriver.mFreq[1] = 30000;
    sGraph first;
    first.mBackEnd.setDriver(&firstDriver);
    cPEQQmlBackEnd2 second;
    cPEQQmlBand2 own;
    second.setDriver(&secondDriver);
    second.AppendBand(&own);
    QVERIFY(Settle(first.mBackEnd));
    firstDriver.mWrites.clear();
    QSignalSpy firstList(&first.mBackEnd, &cPEQQmlBackEnd2::bandListChanged);
    QSignalSpy firstCurve(first.mBackEnd.combinedPathLine(), &QPainterPathWrapper::painterPathChanged);
    cPEQQmlBand2& moved = first.mBands[1];

    cReportCapture reports;
    second.AppendBand(&moved);
    QCOMPARE(first.mBackEnd.BandCount(), 3);
    QCOMPARE(first.mBackEnd.BandAt(1), &first.mBands[2]);
    QCOMPARE(firstList.count(), 1);
    QCOMPARE(second.BandCount(), 2);
    QCOMPARE(second.BandAt(1), &moved);
    QCOMPARE(moved.GetBackEnd(), &second);
    QCOMPARE(moved.GetFrequency(), UWORD(30000)); // the second driver's band 1
    QVERIFY(reports.Lines().isEmpty());

    moved.setDragPos(324, 81);
    moved.setPinchDelta(-1.0);
    QVERIFY(firstDriver.mWrites.isEmpty());
    QCOMPARE(secondDriver.mWrites.size(), 3);
    QVERIFY(std::all_of(secondDriver.mWrites.cbegin(), secondDriver.mWrites.cend(),
                        [](const cFakePEQDriver::sWrite& write) { return write.mBand == 1; }));

    // The first graph draws the bands it kept.
    QVERIFY(Settle(first.mBackEnd));
    QCOMPARE(firstCurve.count(), 1);
    QCOMPARE(PathPoints(first.mBackEnd.combinedPathLine()),
             ExpectedCombined(first.mBackEnd, {&first.mBands[0], &first.mBands[2], &first.mBands[3]}));

    // Back to the first graph, at its end.
    first.mBackEnd.AppendBand(&moved);
    QCOMPARE(second.BandCount(), 1);
    QCOMPARE(first.mBackEnd.BandCount(), 4);
    QCOMPARE(first.mBackEnd.BandAt(3), &moved);
    secondDriver.mWrites.clear();
    moved.setDragPos(100, 163);
    QVERIFY(secondDriver.mWrites.isEmpty());
    QCOMPARE(firstDriver.mWrites.first().mBand, 3);
}

void tst_cPEQQmlBackEnd::deletedDriverAndBands_leaveTheGraphSafe()
{
    auto driver = std::make_unique<cFakePEQDriver>();
    cPEQQmlBackEnd2 backEnd;
    auto first = std::make_unique<cPEQQmlBand2>();
    cPEQQmlBand2 second;
    backEnd.setDriver(driver.get());
    backEnd.AppendBand(first.get());
    backEnd.AppendBand(&second);
    QVERIFY(Settle(backEnd));
    QSignalSpy driverChanged(&backEnd, &cPEQQmlBackEnd2::driverChanged);
    QSignalSpy listChanged(&backEnd, &cPEQQmlBackEnd2::bandListChanged);

    driver.reset();
    QVERIFY(backEnd.driver() == nullptr);
    QCOMPARE(driverChanged.count(), 1);
    second.setDragPos(300, 50);

    first.reset();
    QCOMPARE(backEnd.BandCount(), 1);
    QCOMPARE(backEnd.BandAt(0), &second);
    QCOMPARE(listChanged.count(), 1);
    QVERIFY(Settle(backEnd));
    QCOMPARE(PathPoints(backEnd.combinedPathLine()), PathPoints(second.linePath()));

    // A band outlives its graph.
    {
        cPEQQmlBackEnd2 shortLived;
        shortLived.AppendBand(&second);
    }
    second.setDragPos(10, 10);
    QCOMPARE(second.graphDragPoint(), QPointF(0, 0));
}

void tst_cPEQQmlBackEnd::timerHandlers_mayChangeTheBandList()
{
    // Signals the timer emits reach QML, whose handlers may read and change the band list: the
    // timer must not hold the list's lock while they run.
    sGraph graph;
    cPEQQmlBackEnd2& backEnd = graph.mBackEnd;
    cPEQQmlBand2 extra;
    int seen = -1;
    connect(&graph.mBands[0], &cPEQQmlBandBase2::graphDragPointChanged, this,
            [&]
            {
                if (seen < 0)
                {
                    seen = backEnd.BandCount();
                    backEnd.AppendBand(&extra);
                }
            });
    graph.mBands[0].setDragPos(50, 50);
    QVERIFY(Settle(backEnd));
    QCOMPARE(seen, 4);
    QCOMPARE(backEnd.BandCount(), 5);
    std::vector<cPEQQmlBandBase2*> bands = graph.All();
    bands.push_back(&extra);
    QCOMPARE(PathPoints(backEnd.combinedPathLine()), ExpectedCombined(backEnd, bands));
}

QTEST_GUILESS_MAIN(tst_cPEQQmlBackEnd)
#include "tst_cPEQQmlBackEnd.moc"
