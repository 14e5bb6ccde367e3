#include "CorvoGUI/Core/Units/BiquadSection.h"

#include "CorvoGUI/Core/Biquad/BiquadDeviceWord.h"
#include "KVNet/Core/KVByteOrder.h"

#include <algorithm>

namespace
{

constexpr double kHighestDesignFraction = 0.45;

// Store order b0, b1, b2, a1, a2 -> device order b0, a1, b1, a2, b2.
constexpr std::array<int, BIQUAD_COEFFICIENTS> kDeviceOrder = {0, 3, 1, 4, 2};

} // namespace

tBiquadWords BiquadWordsFromCoefficients(const sBiquadCoefficients& c, double factor)
{
    return {BiquadCoefficientToDeviceWord(c.mB0, factor), BiquadCoefficientToDeviceWord(c.mB1, factor),
            BiquadCoefficientToDeviceWord(c.mB2, factor), BiquadCoefficientToDeviceWord(c.mA1, factor),
            BiquadCoefficientToDeviceWord(c.mA2, factor)};
}

tBiquadSendBuffer BiquadSendBuffer(const tBiquadWords& words)
{
    tBiquadSendBuffer buffer{};
    for (int i = 0; i < BIQUAD_COEFFICIENTS; ++i)
    {
        nKVByteOrder::StoreLittle32(buffer.data() + 4 * i, ULONG(words[size_t(kDeviceOrder[size_t(i)])]));
    }
    return buffer;
}

tBiquadSendBuffer BiquadUnitySendBuffer(SLONG unityWord)
{
    return BiquadSendBuffer(tBiquadWords{unityWord, 0, 0, 0, 0});
}

double LimitDesignFrequency(double frequency, double sampleRate)
{
    return std::min(frequency, kHighestDesignFraction * sampleRate);
}
