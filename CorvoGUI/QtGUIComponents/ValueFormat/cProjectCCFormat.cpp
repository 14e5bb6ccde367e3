#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"

#include "AES-Standards/KVConversions.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Common/cValueInterpreterUnitsTr.h"

#include <cmath>

namespace
{

struct sWidthLabel
{
    const char* label;
    int index;
};

const sWidthLabel kWidthLabels[NUMBER_OF_WIDTH_VALUES] = {
    {"3", 0},     {"2.9", 1},   {"2.8", 2},   {"2.7", 3},   {"2.6", 4},  {"2.5", 5},   {"2.4", 6},
    {"2.3", 7},   {"2.2", 8},   {"2.1", 9},   {"2", 10},    {"1.9", 11}, {"1.8", 12},  {"1.7", 13},
    {"1.6", 14},  {"1.5", 15},  {"1.4", 16},  {"1.3", 17},  {"1.2", 18}, {"1.1", 19},  {"1", 20},
    {"0.95", 21}, {"0.9", 22},  {"0.85", 23}, {"0.8", 24},  {"3/4", 25}, {"0.7", 26},  {"2/3", 27},
    {"0.6", 28},  {"0.55", 29}, {"0.5", 30},  {"0.45", 31}, {"0.4", 32}, {"1/3", 33},  {"0.3", 34},
    {"1/4", 35},  {"0.2", 36},  {"1/6", 37},  {"0.13", 38}, {"1/9", 39}, {"0.09", 40}, {"1/12", 41},
    {"1/16", 42}, {"1/20", 43}, {"1/24", 44}};

constexpr double kSampleRate = 96000.0;
constexpr double kFeetPerMetre = 3.28;
constexpr UWORD kPanCentre = 37;
constexpr double kGraphicEQStep = 24.094117647058823; // 6144 / 255: 0..255 spans -12..+12 dB
constexpr UWORD kGraphicEQBase = 0x7400;

QString MillisecondUnit(bool compressUnits)
{
    return UnitText(cValueInterpreterUnitsTr::tr("ms", "Units: milliseconds"), compressUnits);
}

cValueUnitStrings DecayText(UWORD value, bool compressUnits)
{
    const double decibelsPerFrame = ConvertUWORDToGain(value) / 256.0;
    if (decibelsPerFrame == 0.0)
    {
        // No decay at all: the time to fall 10 dB is unbounded.
        return cValueUnitStrings(cValueInterpreterUnitsTr::tr("Inf"), MillisecondUnit(compressUnits));
    }
    const double milliseconds = std::fabs((1.0 / (decibelsPerFrame / 20.0)) * 10.0);
    const int decimals = milliseconds < 100.0 ? 2 : (milliseconds < 1000.0 ? 1 : 0);
    return cValueUnitStrings(FixedText(TruncateToDecimalPlaces(decimals, milliseconds), decimals),
                             MillisecondUnit(compressUnits));
}

QString PanText(UWORD value)
{
    if (value == kPanCentre)
    {
        return QStringLiteral("     0");
    }
    if (value < kPanCentre)
    {
        return QStringLiteral("L %1").arg(kPanCentre - value, 2);
    }
    return QStringLiteral("R %1").arg(value - kPanCentre, 2);
}

} // namespace

cProjectCCFormat::cProjectCCFormat(eProjectCCType type, eKVCCTypeDecimalPlaces decimalPlaces, QObject* parent)
    : cKVCCFormat(DERIVED_TYPE, decimalPlaces, false, parent)
    , mProjectCCType(type)
{
}

cValueUnitStrings cProjectCCFormat::InterpretValue(UWORD value, double exponent, eProjectCCType type,
                                                   eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits)
{
    const int places = decimalPlaces;
    const double seconds = value / kSampleRate;
    switch (type)
    {
    case DELAY_TIME_MS_96K:
        return cValueUnitStrings(FixedText(TruncateToDecimalPlaces(places, seconds * 1000.0), places),
                                 MillisecondUnit(compressUnits));
    case DELAY_DISTANCE_FT_96K:
        return cValueUnitStrings(
            FixedText(TruncateToDecimalPlaces(places, seconds * exponent * kFeetPerMetre), places),
            UnitText(cValueInterpreterUnitsTr::tr("ft", "Units: feet"), compressUnits));
    case DELAY_DISTANCE_M_96K:
        return cValueUnitStrings(FixedText(TruncateToDecimalPlaces(places, seconds * exponent), places),
                                 UnitText(cValueInterpreterUnitsTr::tr("m", "Units: meters"), compressUnits));
    case DB_PER_FRAME_TO_MS_PER_10DB:
        return DecayText(value, compressUnits);
    case FILTER_WIDTH:
    {
        const int index = value / 256;
        if (index >= NUMBER_OF_WIDTH_VALUES)
        {
            KV_REPORT_ERROR("%d / 256 == %d >= NUMBER_OF_WIDTH_VALUES", int(value), index);
            return cValueUnitStrings();
        }
        return cValueUnitStrings(QString::fromUtf8(kWidthLabels[index].label), QString());
    }
    case PAN:
        return cValueUnitStrings(PanText(value), QString());
    case GEQ_BAND_GAIN:
    {
        const UWORD code = UWORD(static_cast<qint32>(value * kGraphicEQStep) + kGraphicEQBase);
        return cKVCCFormat::InterpretValue(code, exponent, GAIN_OFFSET_DB, decimalPlaces, compressUnits);
    }
    case SUPPRESS_VALUE_OUPUT:
        return cValueUnitStrings();
    }
    KV_REPORT_ERROR("Unhandled type: %d", int(type));
    return cValueUnitStrings(QString::number(value), QString());
}

cValueUnitStrings cProjectCCFormat::InterpretValue(UWORD value, double exponent) const
{
    return InterpretValue(value, exponent, mProjectCCType, decimalPlaces(), compressUnits());
}
