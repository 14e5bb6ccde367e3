#include "CorvoGUI/Core/Units/ControlStripRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nControlStrip
{

ULONG LinearFromGainCode(int gainRelativeToFullScale)
{
    const int capped = std::min(gainRelativeToFullScale, MAX_GAIN_ABOVE_FULL_SCALE);
    const int wholeDecibels = capped / 256; // truncates toward zero
    const float exponent = static_cast<float>(wholeDecibels * 0.05);
    const float factor = static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
    const std::int64_t linear = static_cast<std::int64_t>(static_cast<double>(factor) * 2147483647.0);
    return static_cast<ULONG>(std::min<std::int64_t>(linear, MAX_LINEAR_GAIN));
}

bool MakeRecord(const sControlStripState& state, sControlStripSendRecord& record)
{
    record.mStripIndex = state.mStripIndex;
    record.mPolarity = state.mPolarity ? 1 : 0;
    if (state.mMuted)
    {
        if (state.mCurrentGain != MUTED_GAIN)
        {
            return false;
        }
        record.mLinearGain = 0;
        record.mGainCode = static_cast<UWORD>(state.mHeldGain);
        record.mMute = 1;
        return true;
    }
    record.mGainCode = static_cast<UWORD>(state.mCurrentGain);
    record.mMute = 0;
    record.mLinearGain = 0;
    if (state.mCurrentGain >= LOWEST_LINEAR_GAIN)
    {
        const ULONG linear = LinearFromGainCode(int(state.mCurrentGain) - FULL_SCALE_GAIN);
        record.mLinearGain = state.mPolarity ? ULONG(0) - linear : linear;
    }
    return true;
}

} // namespace nControlStrip
