#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Fixed-point factor of the device's coefficient words.
constexpr double BIQUAD_WORD_FACTOR = 2147483647.0;

// The device's 32-bit word for a coefficient as the designers write it (already divided by the unit's
// scale): coefficient * factor, truncated toward zero. Callable from any thread.
// A product beyond the 32-bit range saturates at the nearest limit instead of wrapping, and NaN gives 0;
// both are reported through KV_REPORT_ERROR.
SLONG BiquadCoefficientToDeviceWord(const double& coefficient, const double& factor = BIQUAD_WORD_FACTOR);
