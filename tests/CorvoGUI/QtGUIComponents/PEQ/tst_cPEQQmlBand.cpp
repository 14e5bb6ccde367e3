#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQGraphTestSupport.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQResponseCases.h"
#include "tests/support/cReportCapture.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <iterator>
#include <memory>

namespace
{

constexpr UWORD F1K = 36706;   // 1 kHz
constexpr UWORD START = 36667; // column 367, just under 1 kHz
constexpr int HIGH_PASS_BAND = -1;

std::unique_ptr<cPEQQmlBandBase2> MakeBand(int type)
{
    if (type == HIGH_PASS_BAND)
    {
        return std::make_unique<cHPFQmlBand2>();
    }
    auto band = std::make_unique<cPEQQmlBand2>();
    band->SetBandTypeValue(UBYTE(type));
    return band;
}

// The graph's model of a parametric band at column i of the back end.
double ModelDb(const cPEQQmlBackEnd2& backEnd, int type, UWORD freq, UWORD width, GAIN gain, int column)
{
    const double omega = nPEQGraph::AngularFrequency(backEnd.XToFrequencyCode(column));
    return nPEQGraph::MagnitudeDb(nPEQGraph::ParametricBandSection(type, freq, width, gain), omega,
                                  omega * omega);
}

} // namespace

class tst_cPEQQmlBand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<nPEQ::eParametricEQType>(); }
    void passes_computeEveryTenthColumnThenEveryColumn();
    void flatBand_isAStraightLineAtZeroDb();
    void curve_matchesTheModelWorkedOutApart_data();
    void curve_matchesTheModelWorkedOutApart();
    void drag_mapsToFrequencyAndGainCodes_data();
    void drag_mapsToFrequencyAndGainCodes();
    void pinch_mapsToTheWidthCode_data();
    void pinch_mapsToTheWidthCode();
    void typeChange_redrawsTheCurve();
    void curve_edgeCases();
    void rangeProperties_takeHertzAndDecibels();
};

void tst_cPEQQmlBand::passes_computeEveryTenthColumnThenEveryColumn()
{
    cPEQQmlBackEnd2 backEnd;
    QCOMPARE(backEnd.XToFrequencyCode(0), UWORD(10699));
    QCOMPARE(backEnd.XToFrequencyCode(324), UWORD(33624));
    QCOMPARE(backEnd.XToFrequencyCode(649), UWORD(56621)); // the code of 20 kHz, truncated
    QCOMPARE(backEnd.XToFrequencyCode(2000), UWORD(56621));

    cPEQQmlBand2 band;
    band.SetFrequency(F1K);
    band.SetWidth(0x1400);
    band.SetGain(UWORD(GAIN(6 * 256)));
    QVERIFY(band.GetMagnitudes().empty()); // nothing without a back end
    QCOMPARE(band.graphDragPoint(), QPointF(0, 0));

    backEnd.AppendBand(&band);
    QCOMPARE(band.GetMagnitudeStep(), 10);
    QCOMPARE(band.GetMagnitudes().size(), size_t(65));
    QVERIFY(band.IsRefinementPending());
    QVERIFY(backEnd.IsUpdateScheduled());
    QCOMPARE(band.GetMagnitudes()[32], ModelDb(backEnd, nPEQ::BELL, F1K, 0x1400, 6 * 256, 320));
    QCOMPARE(band.MagnitudeAtColumn(320), band.GetMagnitudes()[32]);

    QVERIFY(Settle(backEnd));
    QVERIFY(!band.IsRefinementPending());
    QCOMPARE(band.GetMagnitudes().size(), size_t(650));
    for (int column : {0, 324, 367, 649})
    {
        QCOMPARE(band.GetMagnitudes()[size_t(column)],
                 ModelDb(backEnd, nPEQ::BELL, F1K, 0x1400, 6 * 256, column));
        QCOMPARE(band.MagnitudeAtColumn(column), band.GetMagnitudes()[size_t(column)]);
    }

    // A high-pass band computes every column even on a coarse pass, which still asks for the
    // refinement; the combined curve reads it by its own columns.
    cHPFQmlBand2 highPass;
    backEnd.AppendBand(&highPass);
    QCOMPARE(highPass.GetMagnitudes().size(), size_t(650));
    QVERIFY(highPass.IsRefinementPending());
    QCOMPARE(highPass.MagnitudeAtColumn(20), highPass.GetMagnitudes()[20]);
}

void tst_cPEQQmlBand::flatBand_isAStraightLineAtZeroDb()
{
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 band;
    backEnd.AppendBand(&band);
    band.SetFrequency(F1K);
    band.SetWidth(0x0D00);
    QVERIFY(Settle(backEnd));
    QCOMPARE(PathPoints(band.linePath()), (QVector<QPointF>{{0, 163}, {512, 163}, {649, 163}}));
    const QVector<QPointF> fill = PathPoints(band.path());
    QCOMPARE(fill.first(), QPointF(0, 163));
    QCOMPARE(fill[fill.size() - 2], QPointF(650, 163));
    QCOMPARE(fill.last(), QPointF(0, 163)); // closed
}

void tst_cPEQQmlBand::curve_matchesTheModelWorkedOutApart_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(BAND_RESPONSE_CASES)); ++i)
    {
        QTest::newRow(BAND_RESPONSE_CASES[i].label) << i;
    }
}

// Expected magnitudes from make_peq_response_cases.py, which evaluates the band models' formulas in
// complex arithmetic of its own.
void tst_cPEQQmlBand::curve_matchesTheModelWorkedOutApart()
{
    QFETCH(int, index);
    const sBandResponseCase& expected = BAND_RESPONSE_CASES[index];
    cPEQQmlBackEnd2 backEnd;
    std::unique_ptr<cPEQQmlBandBase2> band = MakeBand(expected.highPass ? HIGH_PASS_BAND : expected.type);
    backEnd.AppendBand(band.get());
    band->SetBandTypeValue(UBYTE(expected.type));
    band->SetFrequency(UWORD(expected.frequencyCode));
    band->SetWidth(UWORD(expected.widthCode));
    band->SetGain(UWORD(GAIN(expected.gain)));
    QVERIFY(Settle(backEnd));
    QCOMPARE(band->GetMagnitudes().size(), size_t(650));
    for (int i = 0; i < RESPONSE_COLUMN_COUNT; ++i)
    {
        const double found = band->MagnitudeAtColumn(RESPONSE_COLUMNS[i]);
        QVERIFY2(std::abs(found - expected.dB[i]) < 1e-9, qPrintable(QString("column %1: %2 dB, not %3 dB")
                                                                         .arg(RESPONSE_COLUMNS[i])
                                                                         .arg(found, 0, 'g', 17)
                                                                         .arg(expected.dB[i], 0, 'g', 17)));
    }
}

void tst_cPEQQmlBand::drag_mapsToFrequencyAndGainCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<UWORD>("rangeMax");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<UWORD>("frequency");
    QTest::addColumn<GAIN>("gain");

    // From column 367 and 0 dB. Frequency: trunc(45922 x / 649 + 10699); gain: (20 - y / 8.125) * 256.
    QTest::newRow("BELL: both") << int(nPEQ::BELL) << UWORD(56622) << 324 << 81 << UWORD(33624) << GAIN(2567);
    QTest::newRow("LFSHELF: both") << int(nPEQ::LFSHELF) << UWORD(56622) << 324 << 81 << UWORD(33624)
                                   << GAIN(2567);
    QTest::newRow("top edge: gain stops at +15 dB")
        << int(nPEQ::BELL) << UWORD(56622) << 324 << 0 << UWORD(33624) << GAIN(3840);
    QTest::newRow("below the graph: gain stops at -15 dB")
        << int(nPEQ::BELL) << UWORD(56622) << 324 << 400 << UWORD(33624) << GAIN(-3840);
    QTest::newRow("negative coordinates count as 0")
        << int(nPEQ::BELL) << UWORD(56622) << -50 << -10 << UWORD(10699) << GAIN(3840);
    QTest::newRow("right of the graph: 20 kHz")
        << int(nPEQ::BELL) << UWORD(56622) << 1000 << 163 << UWORD(56621) << GAIN(-15);
    QTest::newRow("stops at the band's range")
        << int(nPEQ::BELL) << UWORD(30615) << 500 << 163 << UWORD(30615) << GAIN(-15);
    QTest::newRow("LPASS: frequency only")
        << int(nPEQ::LPASS) << UWORD(56622) << 324 << 81 << UWORD(33624) << GAIN(0);
    QTest::newRow("high-pass band: frequency only")
        << HIGH_PASS_BAND << UWORD(56622) << 324 << 81 << UWORD(33624) << GAIN(0);
    QTest::newRow("high-pass band: a vertical drag changes nothing")
        << HIGH_PASS_BAND << UWORD(56622) << 367 << 0 << START << GAIN(0);
}

void tst_cPEQQmlBand::drag_mapsToFrequencyAndGainCodes()
{
    QFETCH(int, type);
    QFETCH(UWORD, rangeMax);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(UWORD, frequency);
    QFETCH(GAIN, gain);
    cPEQQmlBackEnd2 backEnd;
    std::unique_ptr<cPEQQmlBandBase2> band = MakeBand(type);
    backEnd.AppendBand(band.get());
    band->SetFrequencyRangeMinMax(10699, rangeMax);
    band->SetFrequency(START);
    QVERIFY(Settle(backEnd));
    QSignalSpy freqChanged(band.get(), &cPEQQmlBandBase2::FreqChanged);
    QSignalSpy gainChanged(band.get(), &cPEQQmlBandBase2::GainChanged);

    band->setDragPos(x, y);
    QCOMPARE(band->GetFrequency(), frequency);
    QCOMPARE(band->GetGain(), gain);
    QCOMPARE(freqChanged.count(), frequency != START ? 1 : 0);
    QCOMPARE(gainChanged.count(), gain != 0 ? 1 : 0);
    // A drag draws a quick pass and leaves the refinement to the timer.
    QCOMPARE(band->IsRefinementPending(), frequency != START || gain != 0);
    QVERIFY(Settle(backEnd));
    const double dB = band->IsGainApplicable() ? gain / 256.0 : 0.0;
    QCOMPARE(band->graphDragPoint(), QPointF((frequency - 10699) / 45922.0, (20.0 - dB) / 40.0));

    // The same point again changes nothing.
    band->setDragPos(x, y);
    QCOMPARE(freqChanged.count() + gainChanged.count(), int(frequency != START) + int(gain != 0));
}

void tst_cPEQQmlBand::pinch_mapsToTheWidthCode_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<UWORD>("width");
    QTest::addColumn<double>("millimetres");
    QTest::addColumn<UWORD>("expected");

    // -11392 / 50 = -227.84 codes per millimetre of spread.
    QTest::newRow("spread 1 mm widens") << int(nPEQ::BELL) << UWORD(3328) << 1.0 << UWORD(3100);
    QTest::newRow("pinch 2 mm narrows") << int(nPEQ::BELL) << UWORD(3328) << -2.0 << UWORD(3783);
    QTest::newRow("narrowest stops at 11392") << int(nPEQ::BELL) << UWORD(11000) << -10.0 << UWORD(11392);
    QTest::newRow("widest stops at 0") << int(nPEQ::BELL) << UWORD(200) << 5.0 << UWORD(0);
    QTest::newRow("NOTCH has a width") << int(nPEQ::NOTCH) << UWORD(3328) << 1.0 << UWORD(3100);
    QTest::newRow("no movement") << int(nPEQ::BELL) << UWORD(3328) << 0.0 << UWORD(3328);
    QTest::newRow("LFSHELF has none") << int(nPEQ::LFSHELF) << UWORD(3328) << 1.0 << UWORD(3328);
    QTest::newRow("high-pass band has none") << HIGH_PASS_BAND << UWORD(3328) << 1.0 << UWORD(3328);
}

void tst_cPEQQmlBand::pinch_mapsToTheWidthCode()
{
    QFETCH(int, type);
    QFETCH(UWORD, width);
    QFETCH(double, millimetres);
    QFETCH(UWORD, expected);
    cPEQQmlBackEnd2 backEnd;
    std::unique_ptr<cPEQQmlBandBase2> band = MakeBand(type);
    backEnd.AppendBand(band.get());
    band->SetWidth(width);
    QSignalSpy widthChanged(band.get(), &cPEQQmlBandBase2::WidthChanged);

    backEnd.setPinchDelta(0, millimetres);
    QCOMPARE(band->GetWidth(), expected);
    QCOMPARE(widthChanged.count(), expected != width ? 1 : 0);
    backEnd.setPinchDelta(1, millimetres); // no such band: ignored
    backEnd.setPinchDelta(-1, millimetres);
    QCOMPARE(band->GetWidth(), expected);
}

void tst_cPEQQmlBand::typeChange_redrawsTheCurve()
{
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 band;
    backEnd.AppendBand(&band);
    band.SetFrequency(F1K);
    band.SetGain(UWORD(GAIN(6 * 256)));
    QVERIFY(Settle(backEnd));
    QSignalSpy typeChanged(&band, &cPEQQmlBand2::typeChanged);
    QSignalSpy lineChanged(band.linePath(), &QPainterPathWrapper::painterPathChanged);
    QSignalSpy dragPointChanged(&band, &cPEQQmlBandBase2::graphDragPointChanged);
    const QPainterPath bell = band.linePath()->path();

    band.setType(nPEQ::LFSHELF);
    QCOMPARE(typeChanged.count(), 1);
    QVERIFY(lineChanged.count() >= 1);
    QVERIFY(Settle(backEnd));
    QVERIFY(band.linePath()->path() != bell);
    QCOMPARE(band.GetMagnitudes()[100], ModelDb(backEnd, nPEQ::LFSHELF, F1K, 0, 6 * 256, 100));
    QVERIFY(dragPointChanged.count() >= 1);

    // Gain no longer applies to a low pass: its point drops to the 0 dB line.
    band.setType(nPEQ::LPASS);
    QVERIFY(Settle(backEnd));
    QCOMPARE(band.graphDragPoint().y(), 0.5);
    QCOMPARE(band.GetMagnitudes()[600], ModelDb(backEnd, nPEQ::LPASS, F1K, 0, 6 * 256, 600));

    cReportCapture reports;
    band.setType(8);
    QCOMPARE(band.type(), int(nPEQ::LPASS));
    QVERIFY(reports.Contains("Unknown band type 8 refused"));
    band.setType(-1);
    QCOMPARE(band.type(), int(nPEQ::LPASS));
    QVERIFY(reports.Contains("Unknown band type -1 refused"));
    QCOMPARE(typeChanged.count(), 2);
}

void tst_cPEQQmlBand::curve_edgeCases()
{
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 band;
    backEnd.AppendBand(&band);
    band.SetFrequency(F1K);

    // A contour draws the same curve whatever its gain.
    band.SetBandTypeValue(nPEQ::LOW_CONTOUR);
    QVERIFY(Settle(backEnd));
    const std::vector<double> contour = band.GetMagnitudes();
    for (GAIN gain : {GAIN(-3072), GAIN(3072)})
    {
        band.SetGain(UWORD(gain));
        QVERIFY(Settle(backEnd));
        QCOMPARE(band.GetMagnitudes(), contour);
    }

    // Width index 45 is reported and drawn with the last Q, like 44.
    band.SetBandTypeValue(nPEQ::BELL);
    band.SetWidth(44 << 8);
    QVERIFY(Settle(backEnd));
    const std::vector<double> narrowest = band.GetMagnitudes();
    cReportCapture reports;
    band.SetWidth(45 << 8);
    QVERIFY(Settle(backEnd));
    QVERIFY(reports.Contains("Width index out of range 45"));
    QCOMPARE(band.GetMagnitudes(), narrowest);

    // Minus infinity: a notch so deep its centre is no number of dB; drawn, never infinite.
    band.SetGain(UWORD(GAIN(-32767)));
    QVERIFY(Settle(backEnd));
    for (const QPointF& point : PathPoints(band.linePath()))
    {
        QVERIFY(std::isfinite(point.y()));
    }
}

void tst_cPEQQmlBand::rangeProperties_takeHertzAndDecibels()
{
    cPEQQmlBand2 band;
    QSignalSpy minChanged(&band, &cPEQQmlBandBase2::frequencyRangeMinChanged);
    QSignalSpy gainMaxChanged(&band, &cPEQQmlBandBase2::gainRangeMaxChanged);
    QCOMPARE(band.GetFrequencyRangeMinCode(), UWORD(10699));
    QCOMPARE(band.GetFrequencyRangeMaxCode(), UWORD(56622));

    band.setFrequencyRangeMin(100.0);
    band.setFrequencyRangeMin(100.0);
    QCOMPARE(band.GetFrequencyRangeMinCode(), UWORD(21398));
    QCOMPARE(minChanged.count(), 1);
    QVERIFY(std::abs(band.frequencyRangeMin() - 99.9866) < 1e-3);

    band.setGainRangeMax(12.5);
    QCOMPARE(band.GetGainRangeMaxValue(), GAIN(3200));
    QCOMPARE(band.gainRangeMax(), 12.5);
    QCOMPARE(gainMaxChanged.count(), 1);

    cReportCapture reports;
    band.setGainRangeMax(200.0);
    band.setFrequencyRangeMin(std::nan(""));
    band.setFrequencyRangeMin(-5.0);
    QCOMPARE(reports.Count("refused"), 3);
    QCOMPARE(band.GetGainRangeMaxValue(), GAIN(3200));
    QCOMPARE(band.GetFrequencyRangeMinCode(), UWORD(21398));

    // A range from the driver announces the bounds that changed.
    band.SetFrequencyRangeMinMax(21398, 40000);
    QCOMPARE(minChanged.count(), 1);
    band.SetFrequencyRangeMinMax(10699, 40000);
    QCOMPARE(minChanged.count(), 2);
}

QTEST_GUILESS_MAIN(tst_cPEQQmlBand)
#include "tst_cPEQQmlBand.moc"
