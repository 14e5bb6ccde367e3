#pragma once

#include "KVNet/Core/KVNetTypes.h"

// How the device's linear meter words (full scale 2^31) become meter levels in 1/256 dB.
namespace nMeterLevel
{

// Words below this are silence.
constexpr ULONG SILENCE_THRESHOLD = 34036;
// The level of silence on the band meters (0x8001).
constexpr GAIN SILENT_LEVEL = GAIN_MINUS_INFINITY;
// The input meters read this much higher (about +12 dB, the input's headroom).
constexpr int INPUT_OFFSET = 3082;
// The level of silence on the input meters.
constexpr GAIN INPUT_SILENT_LEVEL = -29685;
// What the meter objects are sent: the level plus this offset.
constexpr int SEND_OFFSET = 4608;

// trunc(20 log10(word / 2^31) x 256) in single precision, for words at or above the threshold;
// SILENT_LEVEL below it. Every word gives a level in range (no logarithm of zero, no conversion of
// an out-of-range value).
GAIN BandLevel(ULONG word);
// BandLevel + INPUT_OFFSET at or above the threshold; INPUT_SILENT_LEVEL below it.
GAIN InputLevel(ULONG word);
// The 16-bit value a meter object is sent for a level: level + SEND_OFFSET, clamped to the GAIN
// range.
UWORD SendCode(GAIN level);

} // namespace nMeterLevel
