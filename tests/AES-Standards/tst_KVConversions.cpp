#include "AES-Standards/KVConversions.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <cmath>
#include <limits>

class tst_KVConversions : public QObject
{
    Q_OBJECT

private slots:
    void gainCodes_data();
    void gainCodes();
    void gainToCode_data();
    void gainToCode();
    void frequencyFromCode_data();
    void frequencyFromCode();
    void frequencyToCode_data();
    void frequencyToCode();
    void timeFromCode_data();
    void timeFromCode();
    void timeToCode_data();
    void timeToCode();
    void roundTrips_loseAtMostOneStepToTruncation();
    void booleans();
};

void tst_KVConversions::gainCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("gain");
    QTest::newRow("zero code is minus infinity") << 0 << int(GAIN_MINUS_INFINITY);
    QTest::newRow("code one is minus infinity too") << 1 << int(GAIN_MINUS_INFINITY);
    QTest::newRow("two") << 2 << -32766;
    QTest::newRow("0 dB") << 32768 << 0;
    QTest::newRow("+1 dB") << 32768 + 256 << 256;
    QTest::newRow("-1 dB") << 32768 - 256 << -256;
    QTest::newRow("top code") << 65535 << 32767;
}

void tst_KVConversions::gainCodes()
{
    QFETCH(int, code);
    QFETCH(int, gain);
    QCOMPARE(int(ConvertUWORDToGain(UWORD(code))), gain);
}

void tst_KVConversions::gainToCode_data()
{
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("code");
    QTest::newRow("minus infinity") << int(GAIN_MINUS_INFINITY) << 0;
    QTest::newRow("lowest gain wraps to code 0") << -32768 << 0;
    QTest::newRow("-32766") << -32766 << 2;
    QTest::newRow("0 dB") << 0 << 32768;
    QTest::newRow("+1 dB") << 256 << 33024;
    QTest::newRow("top") << 32767 << 65535;
}

void tst_KVConversions::gainToCode()
{
    QFETCH(int, gain);
    QFETCH(int, code);
    QCOMPARE(int(ConvertGainToUWORD(GAIN(gain))), code);
}

void tst_KVConversions::frequencyFromCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("hertz");
    QTest::newRow("bottom") << 0 << 4.0;
    QTest::newRow("one octave") << 4608 << 8.0;
    QTest::newRow("4096 Hz") << 46080 << 4096.0;
    QTest::newRow("top") << 65535 << 4.0 * std::pow(2.0, 65535.0 / 4608.0);
}

void tst_KVConversions::frequencyFromCode()
{
    QFETCH(int, code);
    QFETCH(double, hertz);
    QCOMPARE(ConvertUWORDToFrequency(UWORD(code)), hertz);
}

void tst_KVConversions::frequencyToCode_data()
{
    QTest::addColumn<double>("hertz");
    QTest::addColumn<int>("code");
    QTest::newRow("4 Hz") << 4.0 << 0;
    QTest::newRow("8 Hz") << 8.0 << 4608;
    QTest::newRow("1000 Hz truncates 36706.33") << 1000.0 << 36706;
    QTest::newRow("76000 Hz") << 76000.0 << int(std::log2(76000.0 / 4.0) * 4608.0);
    QTest::newRow("below the scale clamps to 0") << 1.0 << 0;
    QTest::newRow("zero clamps to 0") << 0.0 << 0;
    QTest::newRow("negative clamps to 0") << -50.0 << 0;
    QTest::newRow("NaN gives 0") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("above the scale clamps to the top") << 200000.0 << 65535;
    QTest::newRow("infinity clamps to the top") << std::numeric_limits<double>::infinity() << 65535;
}

void tst_KVConversions::frequencyToCode()
{
    QFETCH(double, hertz);
    QFETCH(int, code);
    QCOMPARE(int(ConvertFrequencyToUWORD(hertz)), code);
}

void tst_KVConversions::timeFromCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("seconds");
    QTest::newRow("zero") << 0 << 0.0;
    QTest::newRow("1 us") << 1 << 1e-6;
    QTest::newRow("one decade") << 5958 << std::pow(10.0, 5957 * 0.0001678466796875) * 1e-6;
    QTest::newRow("top") << 65535 << std::pow(10.0, 65534 * 0.0001678466796875) * 1e-6;
}

void tst_KVConversions::timeFromCode()
{
    QFETCH(int, code);
    QFETCH(double, seconds);
    QCOMPARE(ConvertUWORDToTime(UWORD(code)), seconds);
    if (code == 5958)
    {
        QVERIFY(std::fabs(seconds - 10e-6) < 0.01e-6);
    }
    if (code == 65535)
    {
        QVERIFY(std::fabs(seconds - 99923.0) < 1.0);
    }
}

void tst_KVConversions::timeToCode_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("code");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("1 us") << 1e-6 << 1;
    QTest::newRow("10 us") << 10e-6 << int(1.0 / 0.0001678466796875 + 1.0);
    QTest::newRow("1 ms") << 1e-3 << int(3.0 / 0.0001678466796875 + 1.0);
    QTest::newRow("below 1 us truncates to 0") << 0.9e-6 << 0;
    QTest::newRow("negative clamps to 0") << -1.0 << 0;
    QTest::newRow("NaN gives 0") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("beyond the scale clamps to the top") << 1e6 << 65535;
}

void tst_KVConversions::timeToCode()
{
    QFETCH(double, seconds);
    QFETCH(int, code);
    QCOMPARE(int(ConvertTimeToUWORD(seconds)), code);
}

void tst_KVConversions::roundTrips_loseAtMostOneStepToTruncation()
{
    int frequencyShort = 0;
    int timeShort = 0;
    for (int code = 0; code <= 65535; ++code)
    {
        int frequency = ConvertFrequencyToUWORD(ConvertUWORDToFrequency(UWORD(code)));
        int time = ConvertTimeToUWORD(ConvertUWORDToTime(UWORD(code)));
        QVERIFY2(frequency == code || frequency == code - 1, qPrintable(QString::number(code)));
        QVERIFY2(time == code || time == code - 1, qPrintable(QString::number(code)));
        frequencyShort += frequency != code;
        timeShort += time != code;
    }
    // Truncation does cost a step somewhere on each scale; the gain scale is exact but for code 1.
    QVERIFY(frequencyShort > 0);
    QVERIFY(timeShort > 0);
    for (int code = 2; code <= 65535; ++code)
    {
        QCOMPARE(int(ConvertGainToUWORD(ConvertUWORDToGain(UWORD(code)))), code);
    }
    QCOMPARE(int(ConvertGainToUWORD(ConvertUWORDToGain(1))), 0);
}

void tst_KVConversions::booleans()
{
    cReportCapture capture;
    QCOMPARE(UBYTEToBool(0), false);
    QCOMPARE(UBYTEToBool(1), true);
    QCOMPARE(capture.Lines().size(), 0);
    QCOMPARE(UBYTEToBool(2), true);
    QCOMPARE(UBYTEToBool(0xFF), true);
    QCOMPARE(capture.Count("ERROR: Bad conversion to boolean for UBYTE with value 0x2\t"), 1);
    QCOMPARE(capture.Count("ERROR: Bad conversion to boolean for UBYTE with value 0xFF\t"), 1);
    QCOMPARE(int(ConvertBoolToUBYTE(false)), 0);
    QCOMPARE(int(ConvertBoolToUBYTE(true)), 1);
}

QTEST_GUILESS_MAIN(tst_KVConversions)
#include "tst_KVConversions.moc"
