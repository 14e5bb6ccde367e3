#include "QtGUIComponents/Common/ValueTextOperations.h"

#include "AES-Standards/KVConversions.h"
#include "QtGUIComponents/Common/cValueInterpreterUnitsTr.h"

#include <cmath>
#include <limits>

namespace
{

constexpr double kPowersOfTen[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

bool IsRoundablePlaces(int decimalPlaces)
{
    return decimalPlaces >= 0 && decimalPlaces <= 4;
}

// y as a 32-bit signed integer is defined only for finite y within the range.
bool FitsInt32(double y)
{
    return std::isfinite(y) && y >= double(std::numeric_limits<qint32>::min()) &&
           y <= double(std::numeric_limits<qint32>::max());
}

double RoundHalfAwayFromZero(double x)
{
    return x >= 0.0 ? std::floor(x + 0.5) : std::ceil(x - 0.5);
}

} // namespace

double RoundToDecimalPlaces(int decimalPlaces, double x)
{
    if (!IsRoundablePlaces(decimalPlaces))
    {
        return x;
    }
    const double scale = kPowersOfTen[decimalPlaces];
    const double y = RoundHalfAwayFromZero(x * scale);
    if (!FitsInt32(y))
    {
        return x;
    }
    return static_cast<qint32>(y) / scale;
}

double TruncateToDecimalPlaces(int decimalPlaces, double x)
{
    if (!IsRoundablePlaces(decimalPlaces))
    {
        return x;
    }
    const double scale = kPowersOfTen[decimalPlaces];
    const double y = x * scale;
    if (!FitsInt32(std::trunc(y)))
    {
        return x;
    }
    return static_cast<qint32>(y) / scale;
}

QString FixedText(double x, int decimals)
{
    const int shown = qBound(0, decimals, MAX_TEXT_DECIMALS);
    return QStringLiteral("%1").arg(x, 0, 'f', shown);
}

QString UnitText(const QString& translatedUnit, bool compressUnits)
{
    return compressUnits ? translatedUnit : QStringLiteral(" ") + translatedUnit;
}

cValueUnitStrings FrequencyText(double hertz, bool compressUnits)
{
    if (hertz >= 1000.0)
    {
        return cValueUnitStrings(
            FixedText(RoundToDecimalPlaces(2, hertz / 1000.0), 2),
            UnitText(cValueInterpreterUnitsTr::tr("kHz", "Units: kilohertz"), compressUnits));
    }
    const QString hz = UnitText(cValueInterpreterUnitsTr::tr("Hz", "Units: Hertz"), compressUnits);
    if (hertz >= 100.0)
    {
        return cValueUnitStrings(FixedText(RoundHalfAwayFromZero(hertz), 0), hz);
    }
    return cValueUnitStrings(FixedText(RoundToDecimalPlaces(1, hertz), 1), hz);
}

cValueUnitStrings CompactFrequencyText(double hertz, bool compressUnits)
{
    if (hertz >= 1000.0)
    {
        return cValueUnitStrings(
            FixedText(RoundToDecimalPlaces(1, hertz / 1000.0), 1),
            UnitText(cValueInterpreterUnitsTr::tr("k", "Units: kilohertz"), compressUnits));
    }
    return FrequencyText(hertz, compressUnits);
}

QString FrequencyLabelText(double hertz, bool compact)
{
    if (hertz >= 1000.0)
    {
        const int places = compact ? 0 : 2;
        return QStringLiteral("%1k").arg(FixedText(RoundToDecimalPlaces(places, hertz / 1000.0), places));
    }
    if (hertz < (compact ? 100.0 : 99.95))
    {
        const int places = compact ? 0 : 1;
        return FixedText(RoundToDecimalPlaces(places, hertz), places);
    }
    return FixedText(RoundHalfAwayFromZero(hertz), 0);
}

QString SignedGainText(UWORD value, float scale)
{
    const float x = float(ConvertUWORDToGain(value)) / 256.0f * scale;
    const QString number = FixedText(double(x), 0);
    return x > 0.0f ? QStringLiteral("+") + number : number;
}
