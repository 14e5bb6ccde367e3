#include "QtGUIComponents/Common/cKVCCFormat.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

// The number helpers, the frequency and gain texts, and the preset formats. The value types'
// rules themselves are checked against exact texts in tests/CorvoGUI/QtGUIComponents/ValueFormat.
class tst_cKVCCFormat : public QObject
{
    Q_OBJECT

private slots:
    void roundingHelpers_data();
    void roundingHelpers();
    void frequencyTexts_chooseTheBandBeforeRounding_data();
    void frequencyTexts_chooseTheBandBeforeRounding();
    void frequencyLabelText_data();
    void frequencyLabelText();
    void signedGainText_data();
    void signedGainText();
    void defaultFormat_showsThePlainNumber();
    void presets_holdTheirSettingsAndFormatWithThem_data();
    void presets_holdTheirSettingsAndFormatWithThem();
};

namespace
{

bool SameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

void tst_cKVCCFormat::roundingHelpers_data()
{
    QTest::addColumn<bool>("round");
    QTest::addColumn<int>("places");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("round half up") << true << 1 << 2.25 << 2.3;
    QTest::newRow("round half away from zero below zero") << true << 1 << -2.25 << -2.3;
    QTest::newRow("round below half") << true << 2 << 1.234 << 1.23;
    QTest::newRow("round to an integer") << true << 0 << -0.5 << -1.0;
    QTest::newRow("round at four places") << true << 4 << 1.23456 << 1.2346;
    QTest::newRow("truncate toward zero") << false << 1 << -0.19 << -0.1;
    QTest::newRow("truncate positive") << false << 2 << 1.239 << 1.23;
    QTest::newRow("truncate to an integer") << false << 0 << 127.996 << 127.0;
    QTest::newRow("round: five places leave x") << true << 5 << 1.234567 << 1.234567;
    QTest::newRow("truncate: negative places leave x") << false << -1 << 1.99 << 1.99;
    QTest::newRow("round: the int32 maximum converts") << true << 0 << 2147483646.6 << 2147483647.0;
    QTest::newRow("truncate: the int32 minimum converts") << false << 0 << -2147483648.9 << -2147483648.0;
    // Past the 32-bit range, or not finite: x comes back unchanged instead of a broken conversion.
    QTest::newRow("round: past int32 leaves x") << true << 0 << 2147483647.5 << 2147483647.5;
    QTest::newRow("truncate: scaled past int32 leaves x") << false << 1 << 3e8 << 3e8;
    QTest::newRow("truncate: below int32 leaves x") << false << 4 << -1e6 << -1e6;
    QTest::newRow("round: infinity") << true << 2 << inf << inf;
    QTest::newRow("truncate: minus infinity") << false << 2 << -inf << -inf;
    QTest::newRow("round: NaN") << true << 1 << nan << nan;
    QTest::newRow("truncate: NaN") << false << 1 << nan << nan;
}

void tst_cKVCCFormat::roundingHelpers()
{
    QFETCH(bool, round);
    QFETCH(int, places);
    QFETCH(double, x);
    QFETCH(double, expected);
    const double result = round ? RoundToDecimalPlaces(places, x) : TruncateToDecimalPlaces(places, x);
    QVERIFY2(SameDouble(result, expected), qPrintable(QString::number(result, 'g', 17)));
}

void tst_cKVCCFormat::frequencyTexts_chooseTheBandBeforeRounding_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<double>("hertz");
    QTest::addColumn<bool>("compress");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("units");
    QTest::newRow("99.96 Hz keeps one decimal") << false << 99.96 << false << "100.0"
                                                << " Hz";
    QTest::newRow("99.94 Hz") << false << 99.94 << false << "99.9"
                              << " Hz";
    QTest::newRow("100 Hz has no decimals") << false << 100.0 << false << "100"
                                            << " Hz";
    QTest::newRow("999.6 Hz stays in hertz") << false << 999.6 << false << "1000"
                                             << " Hz";
    QTest::newRow("1000 Hz") << false << 1000.0 << false << "1.00"
                             << " kHz";
    QTest::newRow("12345 Hz compressed") << false << 12345.0 << true << "12.35"
                                         << "kHz";
    QTest::newRow("compact 2000 Hz compressed") << true << 2000.0 << true << "2.0"
                                                << "k";
    QTest::newRow("compact 1960 Hz") << true << 1960.0 << false << "2.0"
                                     << " k";
    QTest::newRow("compact 999.6 Hz") << true << 999.6 << false << "1000"
                                      << " Hz";
    QTest::newRow("compact 45.25 Hz") << true << 45.25 << false << "45.3"
                                      << " Hz";
}

void tst_cKVCCFormat::frequencyTexts_chooseTheBandBeforeRounding()
{
    QFETCH(bool, compact);
    QFETCH(double, hertz);
    QFETCH(bool, compress);
    QFETCH(QString, value);
    QFETCH(QString, units);
    const cValueUnitStrings texts =
        compact ? CompactFrequencyText(hertz, compress) : FrequencyText(hertz, compress);
    QCOMPARE(texts.value(), value);
    QCOMPARE(texts.units(), units);
}

void tst_cKVCCFormat::frequencyLabelText_data()
{
    QTest::addColumn<double>("hertz");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("text");
    QTest::newRow("kilohertz") << 1500.0 << false << "1.50k";
    QTest::newRow("kilohertz compact") << 1500.0 << true << "2k";
    QTest::newRow("below 99.95") << 99.94 << false << "99.9";
    QTest::newRow("from 99.95 whole hertz") << 99.96 << false << "100";
    QTest::newRow("compact below 100") << 99.6 << true << "100";
    QTest::newRow("hundreds") << 250.5 << false << "251";
    QTest::newRow("hundreds compact") << 999.4 << true << "999";
}

void tst_cKVCCFormat::frequencyLabelText()
{
    QFETCH(double, hertz);
    QFETCH(bool, compact);
    QFETCH(QString, text);
    QCOMPARE(FrequencyLabelText(hertz, compact), text);
}

void tst_cKVCCFormat::signedGainText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QString>("text");
    QTest::newRow("positive has a plus") << 0x8100 << 1.0f << "+1";
    QTest::newRow("zero has none") << 0x8000 << 1.0f << "0";
    QTest::newRow("negative") << 0x7F00 << 1.0f << "-1";
    QTest::newRow("scaled") << 0x8180 << 2.0f << "+3";
    QTest::newRow("minus infinity code") << 0 << 1.0f << "-128";
}

void tst_cKVCCFormat::signedGainText()
{
    QFETCH(int, code);
    QFETCH(float, scale);
    QFETCH(QString, text);
    QCOMPARE(SignedGainText(UWORD(code), scale), text);
}

void tst_cKVCCFormat::defaultFormat_showsThePlainNumber()
{
    cKVCCFormat format;
    QCOMPARE(format.kvCCType(), cKVCCFormat::NO_UNITS);
    QCOMPARE(format.decimalPlaces(), cKVCCFormat::NO_DECIMAL_PLACES);
    QCOMPARE(format.compressUnits(), false);
    QCOMPARE(format.interpretValue(0x8000), QStringLiteral("32768"));
    QCOMPARE(format.interpretUnits(0x8000), QString());

    // The settings are read afresh on every call.
    format.setKvCCType(cKVCCFormat::GAIN_OFFSET_DB);
    format.setDecimalPlaces(cKVCCFormat::TWO_DECIMAL_PLACES);
    QCOMPARE(format.interpretValue(0x8180), QStringLiteral("1.50"));
    QCOMPARE(format.interpretUnits(0x8180), QStringLiteral(" dB"));
    // The result's texts are readable as properties too.
    const cValueUnitStrings texts = format.InterpretValue(0x8180, 1.0);
    QCOMPARE(texts.property("value"), QVariant(QStringLiteral("1.50")));
    QCOMPARE(texts.property("units"), QVariant(QStringLiteral(" dB")));
    format.setCompressUnits(true);
    QCOMPARE(format.interpretUnits(0x8180), QStringLiteral("dB"));
    QCOMPARE(format.interpretValue(0x8180, 1.0, cKVCCFormat::TEMP_C), QStringLiteral("1.50"));
    QCOMPARE(format.interpretUnits(0x8180, 1.0, cKVCCFormat::TEMP_C), QStringLiteral("°C"));
}

void tst_cKVCCFormat::presets_holdTheirSettingsAndFormatWithThem_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("compress");
    const struct
    {
        const char* name;
        cKVCCFormat::eKVCCType type;
        int decimals;
        bool compress;
    } expected[] = {{"NO_UNITS", cKVCCFormat::NO_UNITS, 0, false},
                    {"RAW_PLUS_1", cKVCCFormat::RAW_PLUS_1, 0, false},
                    {"DONT_INTERPRET", cKVCCFormat::DONT_INTERPRET, 0, false},
                    {"GAIN_DB_1DP", cKVCCFormat::GAIN_OFFSET_DB, 1, false},
                    {"GAIN_DB_2DP", cKVCCFormat::GAIN_OFFSET_DB, 2, false},
                    {"PADDED_GAIN_DB", cKVCCFormat::PADDED_GAIN_OFFSET_DB, 0, false},
                    {"GAIN_DB_FORCE_ZERO_1DP", cKVCCFormat::GAIN_OFFSET_DB_FORCE_ZERO, 1, false},
                    {"GAIN_DB_NO_UNITS_1DP", cKVCCFormat::GAIN_OFFSET_DB_NO_UNITS, 1, false},
                    {"GAIN_DB_COMPRESSED_1DP", cKVCCFormat::GAIN_OFFSET_DB, 1, true},
                    {"GAIN_DB_SUB_40_1DP", cKVCCFormat::GAIN_OFFSET_DB_SUB_40, 1, false},
                    {"TIME_SEC", cKVCCFormat::TIME_SEC, 0, false},
                    {"TIME_SEC_INVERTED", cKVCCFormat::TIME_SEC_INVERTED, 0, false},
                    {"TIME_SEC_DOUBLED", cKVCCFormat::TIME_SEC_DOUBLED, 0, false},
                    {"FREQ_HZ", cKVCCFormat::FREQ_HZ, 0, false},
                    {"FREQ_HZ_COMPACT", cKVCCFormat::FREQ_HZ_COMPACT, 0, true},
                    {"DELAY_TIME_SAMPLES", cKVCCFormat::DELAY_TIME_SAMPLES, 2, false},
                    {"TEMP_C", cKVCCFormat::TEMP_C, 0, false},
                    {"TEMP_F", cKVCCFormat::TEMP_F, 0, false},
                    {"DOUBLED_VALUE", cKVCCFormat::DOUBLED_VALUE, 0, false},
                    {"TIME_8_DOT_8_SECONDS_1DP", cKVCCFormat::TIME_8_DOT_8_SECONDS, 1, false},
                    {"RAW_DIVIDED_10_1DP", cKVCCFormat::RAW_DIVIDED_10, 1, false},
                    {"RAW_DIVIDED_100_2DP", cKVCCFormat::RAW_DIVIDED_100, 2, false},
                    {"RAW_DIVIDED_1000_3DP", cKVCCFormat::RAW_DIVIDED_1000, 3, false},
                    {"RAW_DIVIDED_10000_4DP", cKVCCFormat::RAW_DIVIDED_10000, 4, false},
                    {"RAW_OFFSET", cKVCCFormat::RAW_OFFSET, 0, false},
                    {"RAW_OFFSET_DIVIDED_10_1DP", cKVCCFormat::RAW_OFFSET_DIVIDED_10, 1, false},
                    {"RAW_OFFSET_DIVIDED_100_2DP", cKVCCFormat::RAW_OFFSET_DIVIDED_100, 2, false},
                    {"RAW_HEX", cKVCCFormat::RAW_HEX, 0, false},
                    {"RAW_HEX_SHIFTED_1", cKVCCFormat::RAW_HEX_SHIFTED_1, 0, false},
                    {"PERCENTAGE", cKVCCFormat::PERCENTAGE, 0, false}};
    int index = 0;
    for (const auto& e : expected)
    {
        QTest::newRow(e.name) << index++ << int(e.type) << e.decimals << e.compress;
    }
}

void tst_cKVCCFormat::presets_holdTheirSettingsAndFormatWithThem()
{
    using namespace nKVCCFormats;
    const cKVCCFormat* const presets[] = {
        &NO_UNITS,
        &RAW_PLUS_1,
        &DONT_INTERPRET,
        &GAIN_DB_1DP,
        &GAIN_DB_2DP,
        &PADDED_GAIN_DB,
        &GAIN_DB_FORCE_ZERO_1DP,
        &GAIN_DB_NO_UNITS_1DP,
        &GAIN_DB_COMPRESSED_1DP,
        &GAIN_DB_SUB_40_1DP,
        &TIME_SEC,
        &TIME_SEC_INVERTED,
        &TIME_SEC_DOUBLED,
        &FREQ_HZ,
        &FREQ_HZ_COMPACT,
        &DELAY_TIME_SAMPLES,
        &TEMP_C,
        &TEMP_F,
        &DOUBLED_VALUE,
        &TIME_8_DOT_8_SECONDS_1DP,
        &RAW_DIVIDED_10_1DP,
        &RAW_DIVIDED_100_2DP,
        &RAW_DIVIDED_1000_3DP,
        &RAW_DIVIDED_10000_4DP,
        &RAW_OFFSET,
        &RAW_OFFSET_DIVIDED_10_1DP,
        &RAW_OFFSET_DIVIDED_100_2DP,
        &RAW_HEX,
        &RAW_HEX_SHIFTED_1,
        &PERCENTAGE,
    };
    QFETCH(int, index);
    QFETCH(int, type);
    QFETCH(int, decimals);
    QFETCH(bool, compress);
    const cKVCCFormat* preset = presets[index];
    QCOMPARE(int(preset->kvCCType()), type);
    QCOMPARE(int(preset->decimalPlaces()), decimals);
    QCOMPARE(preset->compressUnits(), compress);
    QVERIFY(preset->parent() == nullptr);
    for (const UWORD code : {UWORD(0), UWORD(1), UWORD(0x8000), UWORD(0x8123), UWORD(0xA000), UWORD(0xFFFF)})
    {
        const cValueUnitStrings viaPreset = preset->InterpretValue(code, -5120.0);
        const cValueUnitStrings direct =
            cKVCCFormat::InterpretValue(code, -5120.0, cKVCCFormat::eKVCCType(type),
                                        cKVCCFormat::eKVCCTypeDecimalPlaces(decimals), compress);
        QCOMPARE(viaPreset.value(), direct.value());
        QCOMPARE(viaPreset.units(), direct.units());
    }
}

QTEST_GUILESS_MAIN(tst_cKVCCFormat)
#include "tst_cKVCCFormat.moc"
