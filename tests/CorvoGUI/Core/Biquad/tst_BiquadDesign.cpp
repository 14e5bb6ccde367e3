#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Biquad/BiquadDeviceWord.h"
#include "tests/CorvoGUI/Core/Biquad/BiquadReferenceCases.h"
#include "tests/support/cReportCapture.h"

#include <QVector>
#include <QtTest>

#include <cmath>
#include <complex>
#include <limits>

namespace
{

const double TRUE_PI = std::acos(-1.0);
const double RATE = 96000.0;
const double PERIOD = 1.0 / 96000.0;
const double NYQUIST = 48000.0;
const double BUTTERWORTH_Q = 0.707106781187;
const double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();
const double INF_VALUE = std::numeric_limits<double>::infinity();

using tCoefficients = QVector<double>;

// Calls a designer by name with the inputs it takes.
bool Design(const QString& designer, double G, double f, double Q, double s, double T, double F,
            tCoefficients& c)
{
    c.resize(5);
    double& b0 = c[0];
    double& b1 = c[1];
    double& b2 = c[2];
    double& a1 = c[3];
    double& a2 = c[4];
    if (designer == "BiquadBell")
        return BiquadBell(G, f, Q, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadBellSymmetric")
        return BiquadBellSymmetric(G, f, Q, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadLowShelf1")
        return BiquadLowShelf1(G, f, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadHighShelf1")
        return BiquadHighShelf1(G, f, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadHighPass2")
        return BiquadHighPass2(Q, f, s, T, F, b0, b1, b2, a1, a2);
    if (designer == "BiquadLowPass2")
        return BiquadLowPass2(Q, f, s, T, F, b0, b1, b2, a1, a2);
    if (designer == "BiquadHighPass1")
        return BiquadHighPass1(f, s, T, F, b0, b1, b2, a1, a2);
    if (designer == "BiquadLowPass1")
        return BiquadLowPass1(f, s, T, F, b0, b1, b2, a1, a2);
    if (designer == "BiquadBandPass")
        return BiquadBandPass(Q, f, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadAllPass2")
        return BiquadAllPass2(Q, f, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadAllPass1")
        return BiquadAllPass1(f, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadAllPass1Inverting")
        return BiquadAllPass1Inverting(f, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadLowShelf2")
        return BiquadLowShelf2(G, f, Q, s, T, b0, b1, b2, a1, a2);
    if (designer == "BiquadHighShelf2")
        return BiquadHighShelf2(G, f, Q, s, T, b0, b1, b2, a1, a2);
    qFatal("unknown designer %s", qPrintable(designer));
    return false;
}

// Response of the section the device runs (s times the outputs) at a frequency in Hz.
std::complex<double> Response(const tCoefficients& c, double s, double hertz)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * TRUE_PI * hertz * PERIOD);
    const std::complex<double> z2 = z1 * z1;
    return s * (c[0] + c[1] * z1 + c[2] * z2) / (1.0 - s * c[3] * z1 - s * c[4] * z2);
}

double Magnitude(const tCoefficients& c, double s, double hertz)
{
    return std::abs(Response(c, s, hertz));
}

double Decibels(double magnitude)
{
    return 20.0 * std::log10(magnitude);
}

// Largest pole radius of 1 - p1*z^-1 - p2*z^-2, from the roots of z^2 - p1*z - p2.
double PoleRadius(const tCoefficients& c, double s)
{
    const std::complex<double> p1 = c[3] * s;
    const std::complex<double> p2 = c[4] * s;
    const std::complex<double> root = std::sqrt(p1 * p1 + 4.0 * p2);
    return std::max(std::abs((p1 + root) / 2.0), std::abs((p1 - root) / 2.0));
}

bool Near(double actual, double expected, double relative)
{
    return std::fabs(actual - expected) <= relative * std::fabs(expected) + 1e-15;
}

const QStringList ALL_DESIGNERS = {
    "BiquadBell",     "BiquadBellSymmetric",     "BiquadLowShelf1", "BiquadHighShelf1", "BiquadHighPass2",
    "BiquadLowPass2", "BiquadHighPass1",         "BiquadLowPass1",  "BiquadBandPass",   "BiquadAllPass2",
    "BiquadAllPass1", "BiquadAllPass1Inverting", "BiquadLowShelf2", "BiquadHighShelf2"};
// The designers the filter units call.
const QStringList UNIT_DESIGNERS = {"BiquadBell",       "BiquadBellSymmetric", "BiquadLowShelf1",
                                    "BiquadHighShelf1", "BiquadHighPass2",     "BiquadLowPass2",
                                    "BiquadHighPass1",  "BiquadLowPass1"};

} // namespace

class tst_BiquadDesign : public QObject
{
    Q_OBJECT

private slots:
    void referenceCases_matchCoefficientsAndMagnitudes_data();
    void referenceCases_matchCoefficientsAndMagnitudes();
    void passFilters_matchIndependentBilinearDesigns_data();
    void passFilters_matchIndependentBilinearDesigns();
    void unitCascades_areMinus3dBAtCornerAndRollOffPerOrder_data();
    void unitCascades_areMinus3dBAtCornerAndRollOffPerOrder();
    void zeroGainDesigns_areExactlyFlat_data();
    void zeroGainDesigns_areExactlyFlat();
    void controlRange_givesFiniteStableSections_data();
    void controlRange_givesFiniteStableSections();
    void degenerateInputs_areReportedAndLeaveOutputsUnchanged_data();
    void degenerateInputs_areReportedAndLeaveOutputsUnchanged();
    void deviceWords_truncateTowardZeroAndSaturate_data();
    void deviceWords_truncateTowardZeroAndSaturate();
};

void tst_BiquadDesign::referenceCases_matchCoefficientsAndMagnitudes_data()
{
    QTest::addColumn<int>("index");
    const int count = int(sizeof(BIQUAD_REFERENCE_CASES) / sizeof(BIQUAD_REFERENCE_CASES[0]));
    for (int i = 0; i < count; ++i)
    {
        QTest::newRow(BIQUAD_REFERENCE_CASES[i].label) << i;
    }
}

void tst_BiquadDesign::referenceCases_matchCoefficientsAndMagnitudes()
{
    QFETCH(int, index);
    const sBiquadReferenceCase& row = BIQUAD_REFERENCE_CASES[index];
    cReportCapture capture;
    tCoefficients c;
    QVERIFY(Design(row.designer, row.G, row.f, row.Q, row.s, PERIOD, RATE, c));
    QVERIFY(capture.Lines().isEmpty());
    for (int k = 0; k < 5; ++k)
    {
        QVERIFY2(Near(c[k], row.coefficients[k], 1e-12),
                 qPrintable(QString("coefficient %1: %2, expected %3")
                                .arg(k)
                                .arg(c[k], 0, 'g', 17)
                                .arg(row.coefficients[k], 0, 'g', 17)));
    }
    for (int p = 0; p < row.probeCount; ++p)
    {
        const sBiquadReferenceProbe& probe = row.probes[p];
        const double magnitude = Magnitude(c, row.s, probe.frequency);
        QVERIFY2(std::fabs(magnitude - probe.magnitude) <= 1e-7 * std::max(1.0, probe.magnitude),
                 qPrintable(QString("at %1 Hz: %2, expected %3")
                                .arg(probe.frequency)
                                .arg(magnitude)
                                .arg(probe.magnitude)));
    }
}

// Audio EQ cookbook second-order sections and the first-order bilinear sections, with the true pi.
void tst_BiquadDesign::passFilters_matchIndependentBilinearDesigns_data()
{
    QTest::addColumn<QString>("designer");
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("Q");
    QTest::addColumn<double>("s");
    QTest::addColumn<tCoefficients>("expected");
    for (double f : {4.0, 100.0, 1000.0, 10000.0, 43200.0})
    {
        const double w0 = 2.0 * TRUE_PI * f / RATE;
        const double cosine = std::cos(w0);
        for (double Q : {0.541196100146, BUTTERWORTH_Q, 1.306562964876})
        {
            const double alpha = std::sin(w0) / (2.0 * Q);
            const double a0 = 1.0 + alpha;
            const double s = 2.0;
            const double lowB = (1.0 - cosine) / 2.0 / a0 / s;
            const double highB = (1.0 + cosine) / 2.0 / a0 / s;
            const double a1 = 2.0 * cosine / a0 / s;
            const double a2 = -(1.0 - alpha) / a0 / s;
            QTest::addRow("HighPass2 %g Hz Q %g", f, Q)
                << "BiquadHighPass2" << f << Q << s << tCoefficients{highB, -2.0 * highB, highB, a1, a2};
            QTest::addRow("LowPass2 %g Hz Q %g", f, Q)
                << "BiquadLowPass2" << f << Q << s << tCoefficients{lowB, 2.0 * lowB, lowB, a1, a2};
        }
        const double K = std::tan(TRUE_PI * f / RATE);
        const double s = 8.0;
        const double a1 = (1.0 - K) / (1.0 + K) / s;
        QTest::addRow("HighPass1 %g Hz", f)
            << "BiquadHighPass1" << f << 0.0 << s
            << tCoefficients{1.0 / (1.0 + K) / s, -1.0 / (1.0 + K) / s, 0.0, a1, 0.0};
        QTest::addRow("LowPass1 %g Hz", f)
            << "BiquadLowPass1" << f << 0.0 << s
            << tCoefficients{K / (1.0 + K) / s, K / (1.0 + K) / s, 0.0, a1, 0.0};
    }
}

void tst_BiquadDesign::passFilters_matchIndependentBilinearDesigns()
{
    QFETCH(QString, designer);
    QFETCH(double, f);
    QFETCH(double, Q);
    QFETCH(double, s);
    QFETCH(tCoefficients, expected);
    tCoefficients c;
    QVERIFY(Design(designer, 0.0, f, Q, s, PERIOD, RATE, c));
    // The designs' pi is 4e-10 above the true one.
    for (int k = 0; k < 5; ++k)
    {
        QVERIFY2(Near(c[k], expected[k], 1e-8), qPrintable(QString("coefficient %1: %2, expected %3")
                                                               .arg(k)
                                                               .arg(c[k], 0, 'g', 17)
                                                               .arg(expected[k], 0, 'g', 17)));
    }
}

// The sections the high- and low-pass units combine for each slope type.
void tst_BiquadDesign::unitCascades_areMinus3dBAtCornerAndRollOffPerOrder_data()
{
    QTest::addColumn<bool>("high");
    QTest::addColumn<QString>("first");
    QTest::addColumn<double>("firstFactor");
    QTest::addColumn<double>("firstQ");
    QTest::addColumn<QString>("second");
    QTest::addColumn<double>("secondFactor");
    QTest::addColumn<double>("secondQ");
    QTest::addColumn<double>("cornerTolerance");
    QTest::addColumn<double>("slope");

    const double bessel1 = 1.32267579991;
    const double bessel2 = 1.44761713315;
    QTest::newRow("HPF 12 dB Butterworth") << true << "BiquadHighPass2" << 1.0 << BUTTERWORTH_Q
                                           << "BiquadBell" << 1.0 << BUTTERWORTH_Q << 1e-6 << 12.0;
    QTest::newRow("HPF 18 dB Butterworth")
        << true << "BiquadHighPass1" << 1.0 << 0.0 << "BiquadHighPass2" << 1.0 << 1.0 << 1e-6 << 18.0;
    QTest::newRow("HPF 24 dB Butterworth") << true << "BiquadHighPass2" << 1.0 << 0.541196100146
                                           << "BiquadHighPass2" << 1.0 << 1.306562964876 << 1e-6 << 24.0;
    QTest::newRow("HPF 18 dB Bessel") << true << "BiquadHighPass1" << 1.0 / bessel1 << 0.0
                                      << "BiquadHighPass2" << 1.0 / bessel2 << 0.691046625825 << 0.01 << 18.0;
    QTest::newRow("LPF 12 dB Butterworth") << false << "BiquadLowPass2" << 1.0 << BUTTERWORTH_Q
                                           << "BiquadBell" << 1.0 << BUTTERWORTH_Q << 1e-6 << 12.0;
    QTest::newRow("LPF 18 dB Butterworth")
        << false << "BiquadLowPass1" << 1.0 << 0.0 << "BiquadLowPass2" << 1.0 << 1.0 << 1e-6 << 18.0;
    QTest::newRow("LPF 24 dB Butterworth") << false << "BiquadLowPass2" << 1.0 << 0.541196100146
                                           << "BiquadLowPass2" << 1.0 << 1.306562964876 << 1e-6 << 24.0;
    QTest::newRow("LPF 18 dB Bessel") << false << "BiquadLowPass1" << bessel1 << 0.0 << "BiquadLowPass2"
                                      << bessel2 << 0.691046625825 << 0.01 << 18.0;
}

void tst_BiquadDesign::unitCascades_areMinus3dBAtCornerAndRollOffPerOrder()
{
    QFETCH(bool, high);
    QFETCH(QString, first);
    QFETCH(double, firstFactor);
    QFETCH(double, firstQ);
    QFETCH(QString, second);
    QFETCH(double, secondFactor);
    QFETCH(double, secondQ);
    QFETCH(double, cornerTolerance);
    QFETCH(double, slope);

    const double corner = high ? 1000.0 : 250.0;
    const double s = 2.0;
    tCoefficients c1;
    tCoefficients c2;
    QVERIFY(Design(first, 0.0, corner * firstFactor, firstQ, s, PERIOD, RATE, c1));
    QVERIFY(Design(second, 0.0, corner * secondFactor, secondQ, s, PERIOD, RATE, c2));
    const auto level = [&](double hertz)
    { return Decibels(Magnitude(c1, s, hertz) * Magnitude(c2, s, hertz)); };

    QVERIFY2(std::fabs(level(corner) - Decibels(std::sqrt(0.5))) <= cornerTolerance,
             qPrintable(QString::number(level(corner), 'g', 12)));
    // One octave deep in the stop band (the bilinear warp steepens the low-pass a little).
    const double stopNear = high ? corner / 16.0 : corner * 8.0;
    const double stopFar = high ? corner / 32.0 : corner * 16.0;
    const double perOctave = level(stopNear) - level(stopFar);
    QVERIFY2(std::fabs(perOctave - slope) < 0.25, qPrintable(QString::number(perOctave)));
    // Pass band.
    const double pass = high ? 20000.0 : 20.0;
    QVERIFY2(std::fabs(level(pass)) < 0.05, qPrintable(QString::number(level(pass))));
}

void tst_BiquadDesign::zeroGainDesigns_areExactlyFlat_data()
{
    QTest::addColumn<QString>("designer");
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("Q");
    const QStringList flat = {"BiquadBell",       "BiquadBellSymmetric", "BiquadLowShelf1",
                              "BiquadHighShelf1", "BiquadLowShelf2",     "BiquadHighShelf2"};
    for (const QString& designer : flat)
    {
        for (double f : {4.0, 1000.0, 43200.0})
        {
            QTest::addRow("%s %g Hz", qPrintable(designer), f) << designer << f << 2.41;
        }
    }
    QTest::newRow("BiquadBell narrowest") << "BiquadBell" << 100.0 << 34.623;
}

void tst_BiquadDesign::zeroGainDesigns_areExactlyFlat()
{
    QFETCH(QString, designer);
    QFETCH(double, f);
    QFETCH(double, Q);
    const double s = 8.0;
    tCoefficients c;
    QVERIFY(Design(designer, 0.0, f, Q, s, PERIOD, RATE, c));
    QVERIFY(Near(c[0], 1.0 / s, 1e-14));
    QCOMPARE(c[1], -c[3]);
    QCOMPARE(c[2], -c[4]);
    for (double hertz : {0.0, 20.0, f, 20000.0, NYQUIST})
    {
        QVERIFY(std::fabs(Magnitude(c, s, hertz) - 1.0) < 1e-12);
    }
}

void tst_BiquadDesign::controlRange_givesFiniteStableSections_data()
{
    QTest::addColumn<QString>("designer");
    for (const QString& designer : ALL_DESIGNERS)
    {
        QTest::newRow(qPrintable(designer)) << designer;
    }
}

// Frequencies 4 Hz to the units' 43.2 kHz limit, the Q table's ends, gains of the whole gain code range.
void tst_BiquadDesign::controlRange_givesFiniteStableSections()
{
    QFETCH(QString, designer);
    const bool usedByUnits = UNIT_DESIGNERS.contains(designer);
    QVector<double> frequencies;
    for (double f = 4.0; f < 43200.0; f *= 2.0)
    {
        frequencies << f;
    }
    frequencies << 43200.0;

    int designed = 0;
    for (double f : frequencies)
    {
        for (double Q : {0.404, 2.41, 34.623})
        {
            for (double G : {-128.0, -15.0, 0.0, 15.0, 127.99})
            {
                for (double s : {2.0, 8.0})
                {
                    cReportCapture capture;
                    tCoefficients c(5, 0.0);
                    const bool ok = Design(designer, G, f, Q, s, PERIOD, RATE, c);
                    const QString where = QString("%1 Hz, Q %2, %3 dB, s %4").arg(f).arg(Q).arg(G).arg(s);
                    QVERIFY2(ok || !usedByUnits, qPrintable(where));
                    QVERIFY2(ok == capture.Lines().isEmpty(), qPrintable(where));
                    if (!ok)
                    {
                        continue;
                    }
                    ++designed;
                    const double scale = designer == "BiquadBandPass" ? 1.0 : s;
                    QVERIFY2(PoleRadius(c, scale) < 1.0, qPrintable(where));
                    QVERIFY2(std::isfinite(Magnitude(c, scale, 1000.0)), qPrintable(where));
                }
            }
        }
    }
    QVERIFY(designed > 0);
}

void tst_BiquadDesign::degenerateInputs_areReportedAndLeaveOutputsUnchanged_data()
{
    QTest::addColumn<QString>("designer");
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("Q");
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("T");
    QTest::addColumn<double>("F");
    QTest::addColumn<QString>("report");

    QTest::newRow("bell at 0 Hz") << "BiquadBell" << 6.0 << 0.0 << 1.0 << 8.0 << PERIOD << RATE
                                  << "BiquadBell: frequency 0 Hz is not between 0 and 48000 Hz";
    QTest::newRow("high-pass at negative frequency")
        << "BiquadHighPass2" << 0.0 << -100.0 << 0.7 << 2.0 << PERIOD << RATE
        << "BiquadHighPass2: frequency -100 Hz";
    QTest::newRow("low-pass at Nyquist") << "BiquadLowPass2" << 0.0 << NYQUIST << 0.7 << 2.0 << PERIOD << RATE
                                         << "BiquadLowPass2: frequency 48000 Hz";
    QTest::newRow("low shelf above Nyquist") << "BiquadLowShelf1" << 6.0 << 60000.0 << 0.0 << 8.0 << PERIOD
                                             << RATE << "BiquadLowShelf1: frequency 60000 Hz";
    QTest::newRow("all-pass at NaN frequency") << "BiquadAllPass1" << 0.0 << NAN_VALUE << 0.0 << 1.0 << PERIOD
                                               << RATE << "BiquadAllPass1: frequency nan Hz";
    QTest::newRow("high-pass with Q 0") << "BiquadHighPass2" << 0.0 << 1000.0 << 0.0 << 2.0 << PERIOD << RATE
                                        << "BiquadHighPass2: Q = 0 is not a positive number";
    QTest::newRow("bell with negative Q") << "BiquadBell" << 6.0 << 1000.0 << -1.0 << 8.0 << PERIOD << RATE
                                          << "BiquadBell: Q = -1 is not a positive number";
    QTest::newRow("shelf with infinite Q") << "BiquadLowShelf2" << 6.0 << 1000.0 << INF_VALUE << 8.0 << PERIOD
                                           << RATE << "BiquadLowShelf2: Q = inf";
    QTest::newRow("high shelf with scale 0") << "BiquadHighShelf1" << 6.0 << 1000.0 << 0.0 << 0.0 << PERIOD
                                             << RATE << "BiquadHighShelf1: s = 0 is not a positive number";
    QTest::newRow("low-pass with period 0") << "BiquadLowPass1" << 0.0 << 1000.0 << 0.0 << 2.0 << 0.0 << RATE
                                            << "BiquadLowPass1: T = 0 is not a positive number";
    QTest::newRow("high-pass with rate 0") << "BiquadHighPass1" << 0.0 << 1000.0 << 0.0 << 2.0 << PERIOD
                                           << 0.0 << "BiquadHighPass1: F = 0 is not a positive number";
    QTest::newRow("bell with NaN gain") << "BiquadBell" << NAN_VALUE << 1000.0 << 1.0 << 8.0 << PERIOD << RATE
                                        << "BiquadBell: gain nan dB is not a number";
    QTest::newRow("bell with overflowing gain")
        << "BiquadBell" << 10000.0 << 1000.0 << 1.0 << 8.0 << PERIOD << RATE
        << "BiquadBell: the design at 1000 Hz is not a finite, stable section";
    QTest::newRow("symmetric bell with vanishing gain")
        << "BiquadBellSymmetric" << -10000.0 << 1000.0 << 1.0 << 8.0 << PERIOD << RATE
        << "BiquadBellSymmetric: the design at 1000 Hz is not a finite, stable section";
    QTest::newRow("inverting all-pass at the units' limit")
        << "BiquadAllPass1Inverting" << 0.0 << 43200.0 << 0.0 << 1.0 << PERIOD << RATE
        << "BiquadAllPass1Inverting: the design at 43200 Hz is not a finite, stable section";
    QTest::newRow("band-pass reaching past Nyquist") << "BiquadBandPass" << 0.0 << 30000.0 << 0.404 << 1.0
                                                     << PERIOD << RATE << "BiquadBandPass: upper band edge";
}

void tst_BiquadDesign::degenerateInputs_areReportedAndLeaveOutputsUnchanged()
{
    QFETCH(QString, designer);
    QFETCH(double, G);
    QFETCH(double, f);
    QFETCH(double, Q);
    QFETCH(double, s);
    QFETCH(double, T);
    QFETCH(double, F);
    QFETCH(QString, report);

    cReportCapture capture;
    tCoefficients c;
    const tCoefficients previous = {0.5, -0.25, 0.125, 0.75, -0.375};
    c = previous;
    QVERIFY(!Design(designer, G, f, Q, s, T, F, c));
    QCOMPARE(c, previous);
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY2(capture.Lines().first().startsWith("ERROR: " + report), qPrintable(capture.Lines().first()));
    QVERIFY(capture.Lines().first().contains("coefficients unchanged"));
}

void tst_BiquadDesign::deviceWords_truncateTowardZeroAndSaturate_data()
{
    QTest::addColumn<double>("coefficient");
    QTest::addColumn<qint64>("word");
    QTest::addColumn<QString>("report");

    const qint64 max = std::numeric_limits<SLONG>::max();
    const qint64 min = std::numeric_limits<SLONG>::min();
    QTest::newRow("zero") << 0.0 << qint64(0) << QString();
    QTest::newRow("half truncates down") << 0.5 << qint64(1073741823) << QString();
    QTest::newRow("minus half truncates toward zero") << -0.5 << qint64(-1073741823) << QString();
    QTest::newRow("high-pass b0") << 0.4773870153278831 << qint64(1025180808) << QString();
    QTest::newRow("high-pass b1") << -0.9547740306557662 << qint64(-2050361617) << QString();
    QTest::newRow("tiny negative") << -1e-12 << qint64(0) << QString();
    QTest::newRow("one") << 1.0 << max << QString();
    QTest::newRow("minus one") << -1.0 << -max << QString();
    QTest::newRow("just above one truncates to the limit") << 1.0000000001 << max << QString();
    QTest::newRow("above the range saturates") << 1.5 << max << "above the device's range; saturated";
    QTest::newRow("below the range saturates") << -1.5 << min << "below the device's range; saturated";
    QTest::newRow("huge") << 1e300 << max << "above the device's range";
    QTest::newRow("minus infinity") << -INF_VALUE << min << "below the device's range";
    QTest::newRow("NaN") << NAN_VALUE << qint64(0) << "is not a number; sent as 0";
}

void tst_BiquadDesign::deviceWords_truncateTowardZeroAndSaturate()
{
    QFETCH(double, coefficient);
    QFETCH(qint64, word);
    QFETCH(QString, report);
    cReportCapture capture;
    QCOMPARE(qint64(BiquadCoefficientToDeviceWord(coefficient)), word);
    if (report.isEmpty())
    {
        QVERIFY(capture.Lines().isEmpty());
    }
    else
    {
        QCOMPARE(capture.Lines().size(), 1);
        QVERIFY2(capture.Lines().first().contains(report), qPrintable(capture.Lines().first()));
    }
}

QTEST_GUILESS_MAIN(tst_BiquadDesign)
#include "tst_BiquadDesign.moc"
