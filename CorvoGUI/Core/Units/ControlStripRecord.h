#pragma once

#include "CorvoGUI/Core/Serial/SerialSendRecords.h"
#include "KVNet/Core/KVNetTypes.h"

// How a control strip's state becomes the device's strip record (command 6).
namespace nControlStrip
{

// The gain (1/256 dB) that the device plays at full scale, linear 0x7FFFFFFF: about +12 dB.
constexpr int FULL_SCALE_GAIN = 3082;
// Gains below this one are sent with linear 0 (and their own code).
constexpr GAIN LOWEST_LINEAR_GAIN = -29695;
// Gains are considered up to this far above full scale (+25 dB); the linear gain saturates anyway.
constexpr int MAX_GAIN_ABOVE_FULL_SCALE = 6400;
constexpr ULONG MAX_LINEAR_GAIN = 0x7FFFFFFF;
// The current gain of a muted strip (silence, 0x8001).
constexpr GAIN MUTED_GAIN = GAIN_MINUS_INFINITY;

// Linear gain of a gain relative to full scale, in 1/256 dB: 10^(whole dB / 20) x 2147483647, with
// the decibels truncated toward zero (the device gain moves in 1 dB steps), saturated at 0x7FFFFFFF.
ULONG LinearFromGainCode(int gainRelativeToFullScale);

// The state of one strip as the device is to play it; the polarity is the one sent to the device.
struct sControlStripState
{
    ULONG mStripIndex = 0;
    bool mMuted = false;
    bool mPolarity = false;
    GAIN mCurrentGain = MUTED_GAIN;
    GAIN mHeldGain = MUTED_GAIN; // the gain while muted
};

// The record for the state: muted, (index, 0, held gain, polarity, 1); not muted, (index, linear,
// current gain, polarity, 0) with the linear gain negated (two's complement) for an inverted
// polarity and 0 below LOWEST_LINEAR_GAIN. Gain codes are the gains' 16 bits. False (no record)
// for a muted state whose current gain is not MUTED_GAIN.
bool MakeRecord(const sControlStripState& state, sControlStripSendRecord& record);

} // namespace nControlStrip
