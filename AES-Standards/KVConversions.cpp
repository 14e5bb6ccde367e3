#include "AES-Standards/KVConversions.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <cmath>

namespace
{

constexpr double kLog10Of2 = 0.3010299956639812;
constexpr double kStepsPerOctave = 4608.0;
constexpr double kTimeDecadesPerStep = 0.0001678466796875;
constexpr double kMicrosecond = 1e-6;

} // namespace

UWORD TruncateToUWORD(double value)
{
    if (std::isnan(value) || value <= 0.0)
    {
        return 0;
    }
    if (value >= 65535.0)
    {
        return 65535;
    }
    return static_cast<UWORD>(value);
}

GAIN ConvertUWORDToGain(UWORD code)
{
    if (code == 0)
    {
        return GAIN_MINUS_INFINITY;
    }
    return static_cast<GAIN>(int(code) - 32768);
}

UWORD ConvertGainToUWORD(GAIN gain)
{
    if (gain == GAIN_MINUS_INFINITY)
    {
        return 0;
    }
    return static_cast<UWORD>(int(gain) + 32768);
}

double ConvertUWORDToFrequency(UWORD code)
{
    return 4.0 * std::pow(2.0, code / kStepsPerOctave);
}

UWORD ConvertFrequencyToUWORD(double hertz)
{
    if (std::isnan(hertz) || hertz <= 4.0)
    {
        return 0;
    }
    return TruncateToUWORD(std::log10(hertz * 0.25) / kLog10Of2 * kStepsPerOctave);
}

double ConvertUWORDToTime(UWORD code)
{
    if (code == 0)
    {
        return 0.0;
    }
    return std::pow(10.0, (code - 1) * kTimeDecadesPerStep) * kMicrosecond;
}

UWORD ConvertTimeToUWORD(double seconds)
{
    if (seconds == 0.0 || std::isnan(seconds) || seconds < 0.0)
    {
        return 0;
    }
    return TruncateToUWORD(std::log10(seconds / kMicrosecond) / kTimeDecadesPerStep + 1.0);
}

bool UBYTEToBool(UBYTE value)
{
    if (value > 1)
    {
        KV_REPORT_ERROR("Bad conversion to boolean for UBYTE with value 0x%X", unsigned(value));
    }
    return value != 0;
}

UBYTE ConvertBoolToUBYTE(bool value)
{
    return value ? 1 : 0;
}
