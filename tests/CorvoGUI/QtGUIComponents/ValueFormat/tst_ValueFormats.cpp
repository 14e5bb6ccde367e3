#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"
#include "ValueFormatCases.h"
#include "tests/support/cReportCapture.h"

#include <QLocale>
#include <QTranslator>
#include <QtTest>

namespace
{

// Shows what each translated text was looked up with: "[context|source|comment]".
class cTracingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(n)
        return QStringLiteral("[%1|%2|%3]")
            .arg(QString::fromUtf8(context), QString::fromUtf8(sourceText),
                 QString::fromUtf8(disambiguation));
    }
};

} // namespace

// Every value type of both formatters against texts worked out in exact arithmetic
// (ValueFormatCases.h), run under a locale whose decimal point is ','.
class tst_ValueFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void interpretValue_givesTheExactTexts_data();
    void interpretValue_givesTheExactTexts();
    void translatedTexts_useTheUnitsContextAndComment_data();
    void translatedTexts_useTheUnitsContextAndComment();
    void projectFormat_keepsTheBaseFormatterForAnExplicitType();
    void projectPresets_formatByTheirProjectTypeWithTwoDecimals_data();
    void projectPresets_formatByTheirProjectTypeWithTwoDecimals();
};

void tst_ValueFormats::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), QChar(','));
}

void tst_ValueFormats::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void tst_ValueFormats::interpretValue_givesTheExactTexts_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("compress");
    QTest::addColumn<double>("exponent");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("report");
    for (const sValueFormatCase& c : VALUE_FORMAT_CASES)
    {
        QTest::newRow(c.label) << c.project << c.type << c.code << c.decimals << c.compress << c.exponent
                               << QString::fromUtf8(c.value) << QString::fromUtf8(c.units)
                               << QString::fromUtf8(c.report);
    }
}

void tst_ValueFormats::interpretValue_givesTheExactTexts()
{
    QFETCH(bool, project);
    QFETCH(int, type);
    QFETCH(int, code);
    QFETCH(int, decimals);
    QFETCH(bool, compress);
    QFETCH(double, exponent);
    QFETCH(QString, value);
    QFETCH(QString, units);
    QFETCH(QString, report);

    cReportCapture reports;
    const auto places = cKVCCFormat::eKVCCTypeDecimalPlaces(decimals);
    const cValueUnitStrings texts =
        project ? cProjectCCFormat::InterpretValue(UWORD(code), exponent,
                                                   cProjectCCFormat::eProjectCCType(type), places, compress)
                : cKVCCFormat::InterpretValue(UWORD(code), exponent, cKVCCFormat::eKVCCType(type), places,
                                              compress);

    QCOMPARE(texts.value(), value);
    QCOMPARE(texts.units(), units);
    if (report.isEmpty())
    {
        QCOMPARE(reports.Lines(), QStringList());
    }
    else
    {
        QCOMPARE(reports.Lines().size(), 1);
        QVERIFY2(reports.Lines().first().startsWith(QStringLiteral("ERROR: ") + report + QLatin1Char('\t')),
                 qPrintable(reports.Lines().first()));
    }
}

void tst_ValueFormats::translatedTexts_useTheUnitsContextAndComment_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("units");
    const QString number; // an untranslated number text, not compared
    QTest::newRow("dB and -Inf") << false << int(cKVCCFormat::GAIN_OFFSET_DB) << 0
                                 << "[cValueInterpreterUnitsTr|-Inf|]"
                                 << "[cValueInterpreterUnitsTr|dB|Units: Decibels]";
    QTest::newRow("<-40") << false << int(cKVCCFormat::GAIN_OFFSET_DB_SUB_40) << 0
                          << "[cValueInterpreterUnitsTr|<-40|]"
                          << "[cValueInterpreterUnitsTr|dB|Units: Decibels]";
    QTest::newRow("microseconds") << false << int(cKVCCFormat::TIME_SEC) << 1 << number
                                  << "[cValueInterpreterUnitsTr|µs|Units: microseconds]";
    QTest::newRow("milliseconds") << false << int(cKVCCFormat::TIME_SEC) << 0x45D2 << number
                                  << "[cValueInterpreterUnitsTr|ms|Units: milliseconds]";
    QTest::newRow("seconds") << false << int(cKVCCFormat::TIME_8_DOT_8_SECONDS) << 1 << number
                             << "[cValueInterpreterUnitsTr|s|Units: seconds]";
    QTest::newRow("hertz") << false << int(cKVCCFormat::FREQ_HZ) << 0 << number
                           << "[cValueInterpreterUnitsTr|Hz|Units: Hertz]";
    QTest::newRow("kilohertz") << false << int(cKVCCFormat::FREQ_HZ) << 0xFFFF << number
                               << "[cValueInterpreterUnitsTr|kHz|Units: kilohertz]";
    QTest::newRow("compact kilohertz") << false << int(cKVCCFormat::FREQ_HZ_COMPACT) << 0xFFFF << number
                                       << "[cValueInterpreterUnitsTr|k|Units: kilohertz]";
    QTest::newRow("samples") << false << int(cKVCCFormat::DELAY_TIME_SAMPLES) << 1 << number
                             << "[cValueInterpreterUnitsTr|S|Units: samples]";
    QTest::newRow("celsius") << false << int(cKVCCFormat::TEMP_C) << 1 << number
                             << "[cValueInterpreterUnitsTr|°C|Units: degrees Celsius]";
    QTest::newRow("fahrenheit") << false << int(cKVCCFormat::TEMP_F) << 1 << number
                                << "[cValueInterpreterUnitsTr|°F|Units: degrees Fahrenheit]";
    QTest::newRow("percent is not translated") << false << int(cKVCCFormat::PERCENTAGE) << 1 << number << "%";
    QTest::newRow("delay milliseconds") << true << int(cProjectCCFormat::DELAY_TIME_MS_96K) << 1 << number
                                        << "[cValueInterpreterUnitsTr|ms|Units: milliseconds]";
    QTest::newRow("feet") << true << int(cProjectCCFormat::DELAY_DISTANCE_FT_96K) << 1 << number
                          << "[cValueInterpreterUnitsTr|ft|Units: feet]";
    QTest::newRow("metres") << true << int(cProjectCCFormat::DELAY_DISTANCE_M_96K) << 1 << number
                            << "[cValueInterpreterUnitsTr|m|Units: meters]";
    QTest::newRow("no decay") << true << int(cProjectCCFormat::DB_PER_FRAME_TO_MS_PER_10DB) << 0x8000
                              << "[cValueInterpreterUnitsTr|Inf|]"
                              << "[cValueInterpreterUnitsTr|ms|Units: milliseconds]";
}

void tst_ValueFormats::translatedTexts_useTheUnitsContextAndComment()
{
    QFETCH(bool, project);
    QFETCH(int, type);
    QFETCH(int, code);
    QFETCH(QString, value);
    QFETCH(QString, units);
    cTracingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const auto places = cKVCCFormat::ONE_DECIMAL_PLACE;
    const cValueUnitStrings texts =
        project ? cProjectCCFormat::InterpretValue(UWORD(code), 343.0, cProjectCCFormat::eProjectCCType(type),
                                                   places, true)
                : cKVCCFormat::InterpretValue(UWORD(code), 0.0, cKVCCFormat::eKVCCType(type), places, true);
    QCoreApplication::removeTranslator(&translator);
    if (!value.isEmpty())
    {
        QCOMPARE(texts.value(), value);
    }
    QCOMPARE(texts.units(), units);
}

void tst_ValueFormats::projectFormat_keepsTheBaseFormatterForAnExplicitType()
{
    const cProjectCCFormat& format = nProjectCCFormats::DELAY_DISTANCE_M_96K;
    QCOMPARE(format.kvCCType(), cKVCCFormat::DERIVED_TYPE);
    QCOMPARE(format.compressUnits(), false);
    // 27 given explicitly is the base DERIVED_TYPE (the plain number), not the delay time.
    QCOMPARE(format.interpretValue(96, 343.0, cKVCCFormat::DERIVED_TYPE), QStringLiteral("96"));
    QCOMPARE(format.interpretValue(0x8000, 1.0, cKVCCFormat::GAIN_OFFSET_DB), QStringLiteral("0.00"));
    QCOMPARE(format.interpretUnits(0x8000, 1.0, cKVCCFormat::GAIN_OFFSET_DB), QStringLiteral(" dB"));
    // Without a type it formats by its project type, through the virtual operation.
    const cKVCCFormat& asBase = format;
    QCOMPARE(asBase.interpretValue(48000, 343.0), QStringLiteral("171.50"));
    QCOMPARE(asBase.interpretUnits(48000, 343.0), QStringLiteral(" m"));
    QCOMPARE(asBase.interpretValue(48000), QStringLiteral("0.50"));
}

void tst_ValueFormats::projectPresets_formatByTheirProjectTypeWithTwoDecimals_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("exponent");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("units");
    QTest::newRow("delay time") << 0 << 96 << 1.0 << "1.00"
                                << " ms";
    QTest::newRow("distance in feet") << 1 << 48000 << 343.0 << "562.52"
                                      << " ft";
    QTest::newRow("distance in metres") << 2 << 48000 << 343.0 << "171.50"
                                        << " m";
    // Two decimals asked, but the decay rate chooses its own.
    QTest::newRow("decay") << 3 << 0x7F00 << 1.0 << "200.0"
                           << " ms";
}

void tst_ValueFormats::projectPresets_formatByTheirProjectTypeWithTwoDecimals()
{
    const cProjectCCFormat* const presets[] = {
        &nProjectCCFormats::DELAY_TIME_MS_96K, &nProjectCCFormats::DELAY_DISTANCE_FT_96K,
        &nProjectCCFormats::DELAY_DISTANCE_M_96K, &nProjectCCFormats::DB_PER_FRAME_TO_MS_PER_10DB};
    QFETCH(int, index);
    const cProjectCCFormat* preset = presets[index];
    QFETCH(int, code);
    QFETCH(double, exponent);
    QFETCH(QString, value);
    QFETCH(QString, units);
    const cValueUnitStrings texts = preset->InterpretValue(UWORD(code), exponent);
    QCOMPARE(texts.value(), value);
    QCOMPARE(texts.units(), units);
    QCOMPARE(preset->kvCCType(), cKVCCFormat::DERIVED_TYPE);
    QCOMPARE(preset->decimalPlaces(), cKVCCFormat::TWO_DECIMAL_PLACES);
}

QTEST_GUILESS_MAIN(tst_ValueFormats)
#include "tst_ValueFormats.moc"
