#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <array>

// One second-order section as the filter units keep and send it. Free functions, any thread.

constexpr int BIQUAD_COEFFICIENTS = 5;
constexpr int BIQUAD_SEND_BYTES = BIQUAD_COEFFICIENTS * 4;

// The section's device words in the order the units store them: b0, b1, b2, a1, a2.
using tBiquadWords = std::array<SLONG, BIQUAD_COEFFICIENTS>;
// The coefficient bytes of a filter record: the words in the device's order b0, a1, b1, a2, b2,
// each little-endian.
using tBiquadSendBuffer = std::array<UBYTE, BIQUAD_SEND_BYTES>;

// Designed coefficients (already divided by the unit's scale), in the designers' order.
struct sBiquadCoefficients
{
    double mB0 = 0.0;
    double mB1 = 0.0;
    double mB2 = 0.0;
    double mA1 = 0.0;
    double mA2 = 0.0;
};

// Each coefficient times the factor, truncated toward zero, saturating at the 32-bit limits
// (BiquadCoefficientToDeviceWord).
tBiquadWords BiquadWordsFromCoefficients(const sBiquadCoefficients& coefficients, double factor);
tBiquadSendBuffer BiquadSendBuffer(const tBiquadWords& words);
// A pass-through section: {unityWord, 0, 0, 0, 0}.
tBiquadSendBuffer BiquadUnitySendBuffer(SLONG unityWord);

// The highest frequency a section is designed at: 0.45 of the sample rate, safely below Nyquist,
// whatever code a recall, a sync or a link delivers.
double LimitDesignFrequency(double frequency, double sampleRate);
