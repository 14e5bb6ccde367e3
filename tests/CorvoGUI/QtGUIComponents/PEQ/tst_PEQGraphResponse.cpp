#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/Core/Units/ParametricEQTables.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQGraphTestSupport.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <complex>

using namespace nPEQGraph;

namespace
{

UWORD Code(double hertz)
{
    return ConvertFrequencyToUWORD(hertz);
}

GAIN Gain(double dB)
{
    return GAIN(std::lround(dB * 256.0));
}

UWORD Width(int index)
{
    return UWORD(index << 8);
}

double Omega(double hertz)
{
    return 2.0 * PI * hertz;
}

double BandDb(int type, UWORD code, UWORD width, GAIN gain, double hertz)
{
    return MagnitudeDb(ParametricBandSection(type, code, width, gain), Omega(hertz),
                       Omega(hertz) * Omega(hertz));
}

double HighPassDb(int type, UWORD code, double hertz)
{
    return HighPassMagnitudeDb(type, AngularFrequency(code), Omega(hertz), Omega(hertz) * Omega(hertz));
}

// |H(e^jwT)| in dB of a section designed for the device, whose five outputs are divided by the scale s:
// s (b0 + b1 z^-1 + b2 z^-2) / (1 - s a1 z^-1 - s a2 z^-2).
double DesignDb(const double (&c)[5], double hertz)
{
    const std::complex<double> z1 = std::polar(1.0, -Omega(hertz) / 96000.0);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h =
        8.0 * (c[0] + c[1] * z1 + c[2] * z2) / (1.0 - 8.0 * (c[3] * z1 + c[4] * z2));
    return 20.0 * std::log10(std::abs(h));
}

} // namespace

class tst_PEQGraphResponse : public QObject
{
    Q_OBJECT

private slots:
    void parametricBands_followTheGraphsModel_data();
    void parametricBands_followTheGraphsModel();
    void highPassBands_followTheGraphsModel_data();
    void highPassBands_followTheGraphsModel();
    void bell_peaksAtItsGainOnItsCentre_data();
    void bell_peaksAtItsGainOnItsCentre();
    void shelvesAndContours_reachTheirGainAtTheFarEnd_data();
    void shelvesAndContours_reachTheirGainAtTheFarEnd();
    void passBands_fallAtTheirSlope_data();
    void passBands_fallAtTheirSlope();
    void simplify_dropsOnlyPointsWithinTheTolerance();
    void simplify_keepsBandCurvesWithinTheTolerance_data();
    void simplify_keepsBandCurvesWithinTheTolerance();
    void graphCurve_staysCloseToTheDevicesDesign();
};

void tst_PEQGraphResponse::parametricBands_followTheGraphsModel_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<UWORD>("code");
    QTest::addColumn<UWORD>("width");
    QTest::addColumn<GAIN>("gain");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<double>("expected");

    // Expected values from the analogue model, computed independently.
    QTest::newRow("BELL +6 dB 1 kHz Q 1.415, at 500 Hz")
        << int(nPEQ::BELL) << Code(1000) << Width(20) << Gain(6) << 500.0 << 3.9325020660968457;
    QTest::newRow("BELL -12 dB 100 Hz Q 4.319, at 120 Hz")
        << int(nPEQ::BELL) << Code(100) << Width(33) << Gain(-12) << 120.0 << -8.29869047170101;
    QTest::newRow("NOTCH is drawn as a bell")
        << int(nPEQ::NOTCH) << Code(1000) << Width(11) << Gain(-3) << 700.0 << -2.9176971896663506;
    QTest::newRow("an unknown type is drawn as a bell")
        << 9 << Code(1000) << Width(11) << Gain(-3) << 700.0 << -2.9176971896663506;
    QTest::newRow("width index 45 uses the last Q")
        << int(nPEQ::BELL) << Code(1000) << Width(45) << Gain(6) << 1010.0
        << BandDb(nPEQ::BELL, Code(1000), Width(44), Gain(6), 1010.0);
    QTest::newRow("LFSHELF +9 dB 200 Hz, at 1 kHz")
        << int(nPEQ::LFSHELF) << Code(200) << Width(0) << Gain(9) << 1000.0 << 2.248851330068618;
    QTest::newRow("HFSHELF -6 dB 5 kHz, at 2 kHz")
        << int(nPEQ::HFSHELF) << Code(5000) << Width(0) << Gain(-6) << 2000.0 << -3.4866460079609958;
    QTest::newRow("LPASS 1 kHz, at 2 kHz")
        << int(nPEQ::LPASS) << Code(1000) << Width(0) << Gain(0) << 2000.0 << -12.305310616662888;
    QTest::newRow("HPASS 1 kHz, at 500 Hz")
        << int(nPEQ::HPASS) << Code(1000) << Width(0) << Gain(0) << 500.0 << -12.303667820606996;
    QTest::newRow("LOW_CONTOUR ignores its gain")
        << int(nPEQ::LOW_CONTOUR) << Code(300) << Width(0) << Gain(12) << 100.0 << -8.847706053141229;
    QTest::newRow("HIGH_CONTOUR 3 kHz, at 10 kHz")
        << int(nPEQ::HIGH_CONTOUR) << Code(3000) << Width(0) << Gain(0) << 10000.0 << -8.876159927092424;
}

void tst_PEQGraphResponse::parametricBands_followTheGraphsModel()
{
    QFETCH(int, type);
    QFETCH(UWORD, code);
    QFETCH(UWORD, width);
    QFETCH(GAIN, gain);
    QFETCH(double, hertz);
    QFETCH(double, expected);
    QVERIFY2(std::abs(BandDb(type, code, width, gain, hertz) - expected) < 1e-9,
             qPrintable(QString::number(BandDb(type, code, width, gain, hertz), 'g', 17)));
}

void tst_PEQGraphResponse::highPassBands_followTheGraphsModel_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("expected");
    // Corner 100 Hz, at 50 Hz.
    QTest::newRow("12 dB Butterworth") << int(nPEQ::HPF_BUTTERWORTH_12_DB) << -12.302302052596168;
    QTest::newRow("18 dB Butterworth") << int(nPEQ::HPF_BUTTERWORTH_18_DB) << -18.125701372972905;
    QTest::newRow("24 dB Butterworth") << int(nPEQ::HPF_BUTTERWORTH_24_DB) << -24.09470153707187;
    QTest::newRow("18 dB Bessel") << int(nPEQ::HPF_BESSEL_18_DB) << -11.99767635244469;
    QTest::newRow("unknown: 12 dB Butterworth") << 7 << -12.302302052596168;
}

void tst_PEQGraphResponse::highPassBands_followTheGraphsModel()
{
    QFETCH(int, type);
    QFETCH(double, expected);
    QVERIFY(std::abs(HighPassDb(type, Code(100), 50.0) - expected) < 1e-9);
}

void tst_PEQGraphResponse::bell_peaksAtItsGainOnItsCentre_data()
{
    QTest::addColumn<double>("gainDb");
    QTest::addColumn<int>("widthIndex");
    QTest::newRow("+15 dB, widest") << 15.0 << 0;
    QTest::newRow("+3 dB, Q 1.415") << 3.0 << 20;
    QTest::newRow("-6 dB, narrowest") << -6.0 << 44;
    QTest::newRow("-15 dB, Q 0.707") << -15.0 << 11;
    QTest::newRow("0 dB: a flat line") << 0.0 << 20;
}

void tst_PEQGraphResponse::bell_peaksAtItsGainOnItsCentre()
{
    QFETCH(double, gainDb);
    QFETCH(int, widthIndex);
    const UWORD code = Code(1000);
    const sSPlaneSection bell = ParametricBandSection(nPEQ::BELL, code, Width(widthIndex), Gain(gainDb));
    const double w0 = AngularFrequency(code);
    QVERIFY(std::abs(MagnitudeDb(bell, w0, w0 * w0) - gainDb) < 1e-9);
    // The centre is the extreme; far away the band is flat.
    for (double ratio : {0.9, 1.1, 0.5, 2.0})
    {
        const double dB = MagnitudeDb(bell, w0 * ratio, w0 * w0 * ratio * ratio);
        QVERIFY(std::abs(dB) <= std::abs(gainDb));
        if (gainDb == 0.0)
        {
            QVERIFY(std::abs(dB) < 1e-12);
        }
    }
    QVERIFY(std::abs(MagnitudeDb(bell, w0 * 1e-4, w0 * w0 * 1e-8)) < 1e-3);
    QVERIFY(std::abs(MagnitudeDb(bell, w0 * 1e4, w0 * w0 * 1e8)) < 1e-3);
}

void tst_PEQGraphResponse::shelvesAndContours_reachTheirGainAtTheFarEnd_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("gainDb");
    QTest::addColumn<double>("lowEndDb");
    QTest::addColumn<double>("highEndDb");
    QTest::newRow("LFSHELF +9") << int(nPEQ::LFSHELF) << 9.0 << 9.0 << 0.0;
    QTest::newRow("LFSHELF -12") << int(nPEQ::LFSHELF) << -12.0 << -12.0 << 0.0;
    QTest::newRow("HFSHELF +6") << int(nPEQ::HFSHELF) << 6.0 << 0.0 << 6.0;
    QTest::newRow("HFSHELF -15") << int(nPEQ::HFSHELF) << -15.0 << 0.0 << -15.0;
    QTest::newRow("LOW_CONTOUR: -9 dB whatever the gain") << int(nPEQ::LOW_CONTOUR) << 6.0 << -9.0 << 0.0;
    QTest::newRow("HIGH_CONTOUR: -9 dB whatever the gain") << int(nPEQ::HIGH_CONTOUR) << -3.0 << 0.0 << -9.0;
}

void tst_PEQGraphResponse::shelvesAndContours_reachTheirGainAtTheFarEnd()
{
    QFETCH(int, type);
    QFETCH(double, gainDb);
    QFETCH(double, lowEndDb);
    QFETCH(double, highEndDb);
    const UWORD code = Code(1000);
    const sSPlaneSection section = ParametricBandSection(type, code, 0, Gain(gainDb));
    const double w0 = AngularFrequency(code);
    QVERIFY(std::abs(MagnitudeDb(section, w0 * 1e-6, w0 * w0 * 1e-12) - lowEndDb) < 1e-3);
    QVERIFY(std::abs(MagnitudeDb(section, w0 * 1e6, w0 * w0 * 1e12) - highEndDb) < 1e-3);
}

void tst_PEQGraphResponse::passBands_fallAtTheirSlope_data()
{
    QTest::addColumn<bool>("highPassBand");
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("dBPerOctave");
    // n-th order: 20 log10(2^n) = 6.02 n dB per octave.
    const double order = 20.0 * std::log10(2.0);
    QTest::newRow("high-pass band 12 dB") << true << int(nPEQ::HPF_BUTTERWORTH_12_DB) << 2 * order;
    QTest::newRow("high-pass band 18 dB") << true << int(nPEQ::HPF_BUTTERWORTH_18_DB) << 3 * order;
    QTest::newRow("high-pass band 24 dB") << true << int(nPEQ::HPF_BUTTERWORTH_24_DB) << 4 * order;
    QTest::newRow("high-pass band 18 dB Bessel") << true << int(nPEQ::HPF_BESSEL_18_DB) << 3 * order;
    QTest::newRow("HPASS band") << false << int(nPEQ::HPASS) << 2 * order;
    QTest::newRow("LPASS band") << false << int(nPEQ::LPASS) << -2 * order;
}

void tst_PEQGraphResponse::passBands_fallAtTheirSlope()
{
    QFETCH(bool, highPassBand);
    QFETCH(int, type);
    QFETCH(double, dBPerOctave);
    const UWORD code = Code(1000);
    // Two octaves far into the stop band: 1/64 and 1/128 of the corner (or 64 and 128 times it).
    const double near = dBPerOctave > 0 ? 1000.0 / 64.0 : 1000.0 * 64.0;
    const double far = dBPerOctave > 0 ? near / 2.0 : near * 2.0;
    auto dB = [&](double hertz)
    { return highPassBand ? HighPassDb(type, code, hertz) : BandDb(type, code, 0, 0, hertz); };
    QVERIFY2(std::abs(dB(near) - dB(far) - std::abs(dBPerOctave)) < 0.01,
             qPrintable(QString::number(dB(near) - dB(far))));
    if (highPassBand && type != nPEQ::HPF_BESSEL_18_DB)
    {
        // A Butterworth corner lies 3 dB down.
        QVERIFY(std::abs(dB(ConvertUWORDToFrequency(code)) + 3.0103) < 0.001);
    }
}

void tst_PEQGraphResponse::simplify_dropsOnlyPointsWithinTheTolerance()
{
    // Three collinear points keep the outer two; a bend of 0.1 pixel stays, one just under it goes.
    QCOMPARE(SimplifyPoints({{0, 0}, {1, 1}, {2, 2}}), (QVector<QPointF>{{0, 0}, {2, 2}}));
    QCOMPARE(SimplifyPoints({{0, 0}, {1, 0.1}, {2, 0}}).size(), 3);
    QCOMPARE(SimplifyPoints({{0, 0}, {1, 0.0999}, {2, 0}}).size(), 2);
    QCOMPARE(SimplifyPoints({{5, 5}}).size(), 1);
    QCOMPARE(SimplifyPoints({}).size(), 0);

    // A flat curve of 650 points runs pass after pass (each drops about half) down to 3 points;
    // 65 points end at their two ends.
    QVector<QPointF> flat;
    for (int i = 0; i <= 649; ++i)
    {
        flat.append(QPointF(i, 163.0));
    }
    QCOMPARE(SimplifyPoints(flat), (QVector<QPointF>{{0, 163}, {512, 163}, {649, 163}}));
    QVector<QPointF> coarse;
    for (int i = 0; i <= 640; i += 10)
    {
        coarse.append(QPointF(i, 10.0));
    }
    QCOMPARE(SimplifyPoints(coarse), (QVector<QPointF>{{0, 10}, {640, 10}}));

    // A zigzag keeps every point: one pass keeps more than two thirds, so it stops.
    QVector<QPointF> zigzag;
    for (int i = 0; i < 9; ++i)
    {
        zigzag.append(QPointF(i, (i % 2) * 3.0));
    }
    QCOMPARE(SimplifyPoints(zigzag), zigzag);
}

void tst_PEQGraphResponse::simplify_keepsBandCurvesWithinTheTolerance_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("widthIndex");
    QTest::addColumn<double>("gainDb");
    // Dropping pass after pass against only the neighbours' line left this one 0.139 pixel off.
    QTest::newRow("bell +9 dB at 25 Hz, Q 1.415") << int(nPEQ::BELL) << 25.0 << 20 << 9.0;
    QTest::newRow("narrow bell +15 dB at 1 kHz") << int(nPEQ::BELL) << 1000.0 << 44 << 15.0;
    QTest::newRow("wide bell -12 dB at 100 Hz") << int(nPEQ::BELL) << 100.0 << 0 << -12.0;
    QTest::newRow("medium bell +6 dB at 8 kHz") << int(nPEQ::BELL) << 8000.0 << 20 << 6.0;
    QTest::newRow("low shelf +12 dB at 80 Hz") << int(nPEQ::LFSHELF) << 80.0 << 0 << 12.0;
    QTest::newRow("high shelf -9 dB at 3 kHz") << int(nPEQ::HFSHELF) << 3000.0 << 0 << -9.0;
    QTest::newRow("low pass at 2 kHz") << int(nPEQ::LPASS) << 2000.0 << 0 << 0.0;
    QTest::newRow("high pass at 60 Hz") << int(nPEQ::HPASS) << 60.0 << 0 << 0.0;
}

void tst_PEQGraphResponse::simplify_keepsBandCurvesWithinTheTolerance()
{
    QFETCH(int, type);
    QFETCH(double, hertz);
    QFETCH(int, widthIndex);
    QFETCH(double, gainDb);
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 band;
    backEnd.AppendBand(&band);
    band.SetBandTypeValue(UBYTE(type));
    band.SetFrequency(Code(hertz));
    band.SetWidth(Width(widthIndex));
    band.SetGain(UWORD(Gain(gainDb)));
    QVERIFY(Settle(backEnd));

    QVector<QPointF> full;
    for (size_t i = 0; i < band.GetMagnitudes().size(); ++i)
    {
        full.append(QPointF(double(i), backEnd.GainToY(band.GetMagnitudes()[i])));
    }
    QCOMPARE(full.size(), 650);
    const QVector<QPointF> kept = PathPoints(band.linePath());
    QVERIFY(kept.size() < full.size());
    QCOMPARE(kept.first(), full.first());
    QCOMPARE(kept.last(), full.last());
    QVERIFY2(LargestDeviation(full, kept) <= 0.1, qPrintable(QString::number(LargestDeviation(full, kept))));
}

void tst_PEQGraphResponse::graphCurve_staysCloseToTheDevicesDesign()
{
    struct sRow
    {
        const char* mName;
        nPEQ::eParametricEQType mType;
        double mHertz;
        int mWidthIndex;
        double mGainDb;
    };
    const sRow rows[] = {
        {"BELL +6 dB 100 Hz Q 1.415", nPEQ::BELL, 100.0, 20, 6.0},
        {"BELL -12 dB 1 kHz Q 0.707", nPEQ::BELL, 1000.0, 11, -12.0},
        {"BELL +15 dB 1 kHz Q 4.319", nPEQ::BELL, 1000.0, 33, 15.0},
        {"BELL +3 dB 5 kHz Q 2.041", nPEQ::BELL, 5000.0, 26, 3.0},
        {"BELL -6 dB 12 kHz Q 1.073", nPEQ::BELL, 12000.0, 17, -6.0},
        {"LFSHELF +9 dB 100 Hz", nPEQ::LFSHELF, 100.0, 0, 9.0},
        {"LFSHELF -6 dB 500 Hz", nPEQ::LFSHELF, 500.0, 0, -6.0},
        {"HFSHELF +6 dB 2 kHz", nPEQ::HFSHELF, 2000.0, 0, 6.0},
        {"HFSHELF -9 dB 8 kHz", nPEQ::HFSHELF, 8000.0, 0, -9.0},
        {"LPASS 5 kHz", nPEQ::LPASS, 5000.0, 0, 0.0},
        {"HPASS 80 Hz", nPEQ::HPASS, 80.0, 0, 0.0},
        {"LOW_CONTOUR 200 Hz", nPEQ::LOW_CONTOUR, 200.0, 0, 0.0},
        {"HIGH_CONTOUR 4 kHz", nPEQ::HIGH_CONTOUR, 4000.0, 0, 0.0},
    };

    cScopedKVNetSystem system;
    cTestStorage storage;
    cParametricEQDriver eq("LMH 1: L Parametric EQ Unit", storage.Get(), nullptr, nullptr, 2, 8.0,
                           1.0 / 96000.0, 96000.0, 2147483647.0, 0, 0, 2);
    const cParametricEQUnit& unit = *eq.GetUnit();

    double largest = 0.0;
    QString worst;
    for (const sRow& row : rows)
    {
        cPEQQmlBackEnd2 backEnd;
        cPEQQmlBand2 band;
        backEnd.AppendBand(&band);
        band.SetBandTypeValue(UBYTE(row.mType));
        band.SetFrequency(Code(row.mHertz));
        band.SetWidth(Width(row.mWidthIndex));
        band.SetGain(UWORD(Gain(row.mGainDb)));
        QVERIFY(Settle(backEnd));

        double c[5] = {};
        QVERIFY(unit.CalculateCoeffs(
            row.mType, 0, double(Gain(row.mGainDb)) / 256.0, ConvertUWORDToFrequency(Code(row.mHertz)),
            nParametricEQTables::QTableEntry(row.mWidthIndex), c[0], c[1], c[2], c[3], c[4], 8.0));
        double rowLargest = 0.0;
        double atHertz = 0.0;
        for (int i = 0; i <= backEnd.GetPixelWidth(); ++i)
        {
            const double hertz = ConvertUWORDToFrequency(backEnd.XToFrequencyCode(i));
            const double difference = std::abs(band.GetMagnitudes()[size_t(i)] - DesignDb(c, hertz));
            if (difference > rowLargest)
            {
                rowLargest = difference;
                atHertz = hertz;
            }
        }
        qInfo("graph vs device design, %-28s largest difference %7.3f dB at %8.1f Hz", row.mName, rowLargest,
              atHertz);
        if (rowLargest > largest)
        {
            largest = rowLargest;
            worst = QString::fromLatin1(row.mName);
        }
    }
    qInfo("graph vs device design over 20 Hz - 20 kHz: largest difference %.3f dB (%s)", largest,
          qPrintable(worst));
    // Close, not equal: the graph draws analogue shapes, the device runs digital sections.
    QVERIFY(largest > 0.0);
    QVERIFY(largest < 3.0);
}

QTEST_GUILESS_MAIN(tst_PEQGraphResponse)
#include "tst_PEQGraphResponse.moc"
