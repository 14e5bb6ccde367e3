#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Conversions between the 16-bit control codes and their units.
// gain:      g -> (g - 32768) / 256 dB; codes 0 and 1 are minus infinity
// frequency: f -> 4 * 2^(f / 4608) Hz
// time:      t -> 0 s for 0, else 1e-6 * 10^((t - 1) * 11 / 65536) s
// Values outside a scale (and NaN) are clamped to the scale's ends (NaN to the code's zero).

GAIN ConvertUWORDToGain(UWORD code);
UWORD ConvertGainToUWORD(GAIN gain);

double ConvertUWORDToFrequency(UWORD code);
UWORD ConvertFrequencyToUWORD(double hertz);

double ConvertUWORDToTime(UWORD code);
UWORD ConvertTimeToUWORD(double seconds);

// 0 -> false, 1 -> true; any other byte is reported and gives true.
bool UBYTEToBool(UBYTE value);
UBYTE ConvertBoolToUBYTE(bool value);

// A double truncated toward zero into a UWORD, clamped to 0..65535; NaN gives 0.
UWORD TruncateToUWORD(double value);
