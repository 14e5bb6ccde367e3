#include "CorvoGUI/Core/Biquad/BiquadDeviceWord.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <cmath>
#include <limits>

SLONG BiquadCoefficientToDeviceWord(const double& coefficient, const double& factor)
{
    const double value = coefficient * factor;
    if (std::isnan(value))
    {
        KV_REPORT_ERROR("Biquad coefficient %g x %g is not a number; sent as 0", coefficient, factor);
        return 0;
    }
    if (value >= 2147483648.0)
    {
        KV_REPORT_ERROR("Biquad coefficient %g x %g is above the device's range; saturated", coefficient,
                        factor);
        return std::numeric_limits<SLONG>::max();
    }
    if (value <= -2147483649.0)
    {
        KV_REPORT_ERROR("Biquad coefficient %g x %g is below the device's range; saturated", coefficient,
                        factor);
        return std::numeric_limits<SLONG>::min();
    }
    return static_cast<SLONG>(value);
}
