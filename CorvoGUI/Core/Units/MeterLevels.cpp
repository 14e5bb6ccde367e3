#include "CorvoGUI/Core/Units/MeterLevels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nMeterLevel
{

namespace
{

constexpr float WORD_TO_FULL_SCALE = 4.656613e-10f; // 1 / 2^31
constexpr float DB_PER_DECADE = 20.0f;
constexpr float STEPS_PER_DB = 256.0f;

GAIN ClampToGain(float value)
{
    // Clamped while still a float, so the conversion never sees a value it cannot hold.
    const float low = float(GAIN_MINUS_INFINITY);
    const float high = float(std::numeric_limits<GAIN>::max());
    if (!(value >= low)) // also NaN
    {
        return GAIN_MINUS_INFINITY;
    }
    return GAIN(std::min(value, high));
}

// The level before any offset; only for words at or above the threshold (the logarithm's argument
// is then positive).
float LevelOf(ULONG word)
{
    return std::trunc(std::log10(float(word) * WORD_TO_FULL_SCALE) * DB_PER_DECADE * STEPS_PER_DB);
}

} // namespace

GAIN BandLevel(ULONG word)
{
    if (word < SILENCE_THRESHOLD)
    {
        return SILENT_LEVEL;
    }
    return ClampToGain(LevelOf(word));
}

GAIN InputLevel(ULONG word)
{
    if (word < SILENCE_THRESHOLD)
    {
        return INPUT_SILENT_LEVEL;
    }
    return ClampToGain(LevelOf(word) + float(INPUT_OFFSET));
}

UWORD SendCode(GAIN level)
{
    const int code =
        std::clamp(int(level) + SEND_OFFSET, int(GAIN_MINUS_INFINITY), int(std::numeric_limits<GAIN>::max()));
    return UWORD(GAIN(code));
}

} // namespace nMeterLevel
