#include "QtGUIComponents/Common/cKVCCFormat.h"

#include "AES-Standards/KVConversions.h"
#include "QtGUIComponents/Common/cValueInterpreterUnitsTr.h"

namespace
{

// Codes at which a time text moves to the next unit or shows fewer decimals: the shown time
// reaches 10 us, 100 us, 1 ms, 10 ms, 100 ms, 1 s, 10 s and 100 s there.
struct sTimeBands
{
    UWORD microTwoPlaces;
    UWORD microOnePlace;
    UWORD microEnd;
    UWORD milliTwoPlaces;
    UWORD milliOnePlace;
    UWORD milliEnd;
    UWORD secondTwoPlaces;
    UWORD secondOnePlace;
};

constexpr sTimeBands kTimeBands = {0x1746, 0x2E8C, 0x45D2, 0x5D18, 0x745E, 0x8BA3, 0xA2E9, 0xBA2F};
constexpr sTimeBands kDoubledTimeBands = {0x1045, 0x278B, 0x3ED0, 0x5616, 0x6D5C, 0x84A2, 0x9BE8, 0xB32E};

int BandDecimals(UWORD code, UWORD twoPlacesBelow, UWORD onePlaceBelow)
{
    if (code < twoPlacesBelow)
    {
        return 2;
    }
    return code < onePlaceBelow ? 1 : 0;
}

// seconds shown in microseconds, milliseconds or seconds as the code's band says.
cValueUnitStrings TimeText(double seconds, UWORD code, const sTimeBands& bands, bool compressUnits)
{
    double x = seconds;
    int decimals = 0;
    QString unit;
    if (code < bands.microEnd)
    {
        x = seconds * 1e6;
        decimals = BandDecimals(code, bands.microTwoPlaces, bands.microOnePlace);
        unit = cValueInterpreterUnitsTr::tr("µs", "Units: microseconds");
    }
    else if (code < bands.milliEnd)
    {
        x = seconds * 1e3;
        decimals = BandDecimals(code, bands.milliTwoPlaces, bands.milliOnePlace);
        unit = cValueInterpreterUnitsTr::tr("ms", "Units: milliseconds");
    }
    else
    {
        decimals = BandDecimals(code, bands.secondTwoPlaces, bands.secondOnePlace);
        unit = cValueInterpreterUnitsTr::tr("s", "Units: seconds");
    }
    return cValueUnitStrings(FixedText(RoundToDecimalPlaces(decimals, x), decimals),
                             UnitText(unit, compressUnits));
}

double GainDecibels(UWORD value)
{
    return ConvertUWORDToGain(value) / 256.0;
}

QString DecibelsText(int decimalPlaces, double decibels)
{
    return FixedText(TruncateToDecimalPlaces(decimalPlaces, decibels), decimalPlaces);
}

QString DecibelUnit(bool compressUnits)
{
    return UnitText(cValueInterpreterUnitsTr::tr("dB", "Units: Decibels"), compressUnits);
}

QString MinusInfinityText()
{
    return cValueInterpreterUnitsTr::tr("-Inf");
}

QString HexText(UWORD value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

int Offset(UWORD value)
{
    return int(value) - 32768;
}

} // namespace

cKVCCFormat::cKVCCFormat(QObject* parent)
    : QObject(parent)
{
}

cKVCCFormat::cKVCCFormat(eKVCCType type, eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits,
                         QObject* parent)
    : QObject(parent)
    , mKvCCType(type)
    , mDecimalPlaces(decimalPlaces)
    , mCompressUnits(compressUnits)
{
}

cValueUnitStrings cKVCCFormat::InterpretValue(UWORD value, double exponent, eKVCCType type,
                                              eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits)
{
    const int places = decimalPlaces;
    switch (type)
    {
    case GAIN_OFFSET_DB:
        return cValueUnitStrings(value == 0 ? MinusInfinityText() : DecibelsText(places, GainDecibels(value)),
                                 DecibelUnit(compressUnits));
    case PADDED_GAIN_OFFSET_DB:
        return cValueUnitStrings(
            FixedText(TruncateToDecimalPlaces(places, GainDecibels(value)) + exponent / 256.0, places),
            DecibelUnit(compressUnits));
    case GAIN_OFFSET_DB_FORCE_ZERO:
    {
        if (value == 0)
        {
            return cValueUnitStrings(MinusInfinityText(), DecibelUnit(compressUnits));
        }
        const GAIN gain = ConvertUWORDToGain(value);
        const double decibels = (gain >= -51 && gain <= 51) ? 0.0 : gain / 256.0;
        return cValueUnitStrings(DecibelsText(places, decibels), DecibelUnit(compressUnits));
    }
    case GAIN_OFFSET_DB_NO_UNITS:
        return cValueUnitStrings(value == 0 ? MinusInfinityText() : DecibelsText(places, GainDecibels(value)),
                                 QString());
    case GAIN_OFFSET_DB_SUB_40:
        return cValueUnitStrings(value == 0 ? cValueInterpreterUnitsTr::tr("<-40")
                                            : DecibelsText(places, GainDecibels(value)),
                                 DecibelUnit(compressUnits));
    case TIME_SEC:
        return TimeText(ConvertUWORDToTime(value), value, kTimeBands, compressUnits);
    case TIME_SEC_INVERTED:
    {
        const UWORD complement = UWORD(~value);
        return TimeText(ConvertUWORDToTime(complement), complement, kTimeBands, compressUnits);
    }
    case TIME_SEC_DOUBLED:
        return TimeText(2.0 * ConvertUWORDToTime(value), value, kDoubledTimeBands, compressUnits);
    case FREQ_HZ:
        return FrequencyText(ConvertUWORDToFrequency(value), compressUnits);
    case FREQ_HZ_COMPACT:
        return CompactFrequencyText(ConvertUWORDToFrequency(value), compressUnits);
    case DELAY_TIME_SAMPLES:
        return cValueUnitStrings(
            QString::number(value),
            UnitText(cValueInterpreterUnitsTr::tr("S", "Units: samples"), compressUnits));
    case TEMP_C:
        return cValueUnitStrings(
            FixedText(TruncateToDecimalPlaces(places, Offset(value) / 256.0), places),
            UnitText(cValueInterpreterUnitsTr::tr("°C", "Units: degrees Celsius"), compressUnits));
    case TEMP_F:
    {
        const double celsius = Offset(value) / 256.0;
        const float fahrenheit = float(celsius * 1.8) + 32.0f;
        return cValueUnitStrings(
            FixedText(TruncateToDecimalPlaces(places, double(fahrenheit)), places),
            UnitText(cValueInterpreterUnitsTr::tr("°F", "Units: degrees Fahrenheit"), compressUnits));
    }
    case DOUBLED_VALUE:
        return cValueUnitStrings(QString::number(2 * int(value)), QString());
    case TIME_8_DOT_8_SECONDS:
        return cValueUnitStrings(
            FixedText(TruncateToDecimalPlaces(places, value / 256.0), places),
            UnitText(cValueInterpreterUnitsTr::tr("s", "Units: seconds"), compressUnits));
    case RAW_DIVIDED_10:
        return cValueUnitStrings(FixedText(value / 10.0, places), QString());
    case RAW_DIVIDED_100:
        return cValueUnitStrings(FixedText(value / 100.0, places), QString());
    case RAW_DIVIDED_1000:
        return cValueUnitStrings(FixedText(value / 1000.0, places), QString());
    case RAW_DIVIDED_10000:
        return cValueUnitStrings(FixedText(value / 10000.0, places), QString());
    case RAW_PLUS_1:
        return cValueUnitStrings(QString::number(int(value) + 1), QString());
    case RAW_OFFSET:
        return cValueUnitStrings(QString::number(Offset(value)), QString());
    case RAW_OFFSET_DIVIDED_10:
        return cValueUnitStrings(FixedText(Offset(value) / 10.0, places), QString());
    case RAW_OFFSET_DIVIDED_100:
        return cValueUnitStrings(FixedText(Offset(value) / 100.0, places), QString());
    case RAW_HEX:
        return cValueUnitStrings(HexText(value), QString());
    case RAW_HEX_SHIFTED_1:
        return cValueUnitStrings(HexText(value) + QLatin1Char('0'), QString());
    case PERCENTAGE:
        return cValueUnitStrings(QString::number(value), QStringLiteral("%"));
    case NO_UNITS:
    case DONT_INTERPRET:
    case DERIVED_TYPE:
        break;
    }
    return cValueUnitStrings(QString::number(value), QString());
}

cValueUnitStrings cKVCCFormat::InterpretValue(UWORD value, double exponent) const
{
    return InterpretValue(value, exponent, mKvCCType, mDecimalPlaces, mCompressUnits);
}

QString cKVCCFormat::interpretValue(UWORD value, double exponent, eKVCCType type) const
{
    return cKVCCFormat::InterpretValue(value, exponent, type, mDecimalPlaces, mCompressUnits).value();
}

QString cKVCCFormat::interpretUnits(UWORD value, double exponent, eKVCCType type) const
{
    return cKVCCFormat::InterpretValue(value, exponent, type, mDecimalPlaces, mCompressUnits).units();
}

QString cKVCCFormat::interpretValue(UWORD value, double exponent) const
{
    return InterpretValue(value, exponent).value();
}

QString cKVCCFormat::interpretUnits(UWORD value, double exponent) const
{
    return InterpretValue(value, exponent).units();
}
