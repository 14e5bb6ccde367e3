#include "KVNet/Core/cMeterNet.h"

#include "AES-Standards/KVConversions.h"
#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/cMeterDisplayDriverBase.h"

#include <algorithm>
#include <limits>

namespace
{

constexpr GAIN ATTACK_AT_ONCE = 32767;
constexpr GAIN DECAY_AT_ONCE = -32767;

// Payload bytes each parameter needs, indexed by parameter.
constexpr UWORD PAYLOAD_LENGTHS[cMeterNet::NUMBER_OF_PARAMETERS] = {3, 4, 2, 2, 1, 1, 1};

GAIN ToGain(int value)
{
    return GAIN(
        std::clamp(value, int(std::numeric_limits<GAIN>::min()), int(std::numeric_limits<GAIN>::max())));
}

} // namespace

cMeterNet::cMeterNet(const char* name, cMeterDisplayDriverBase* driver, GAIN attackStep, GAIN decayStep,
                     bool peakHold, UBYTE holdCount)
    : cNetObject(name, NUMBER_OF_PARAMETERS, false, false)
    , mDriver(driver)
    , mAttackStep(attackStep)
    , mDecayStep(decayStep)
    , mPeakHold(peakHold)
    , mHoldCount(holdCount)
{
}

cMeterNet::~cMeterNet()
{
    Unregister();
}

void cMeterNet::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod < M_LEVEL || message.mMethod > M_PEAK_HOLD_DISPLAY)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (!KV_CHECK_CONTROL_PAYLOAD(message, PAYLOAD_LENGTHS[message.mMethod - M_LEVEL], GetName()))
    {
        return;
    }
    switch (message.mMethod)
    {
    case M_LEVEL:
        OnLevel(GAIN(message.GetUWORD(0)), message.GetUBYTE(2) != 0);
        break;
    case M_METER_AND_PEAK:
        mMeter = GAIN(message.GetUWORD(0));
        mPeak = GAIN(message.GetUWORD(2));
        ShowValues();
        break;
    case M_ATTACK_STEP:
        mAttackStep = ConvertUWORDToGain(message.GetUWORD(0));
        if (mDriver != nullptr)
        {
            mDriver->SetAttackStep(mAttackStep);
        }
        break;
    case M_DECAY_STEP:
        mDecayStep = ConvertUWORDToGain(message.GetUWORD(0));
        if (mDriver != nullptr)
        {
            mDriver->SetDecayStep(mDecayStep);
        }
        break;
    case M_HOLD_COUNT:
        mHoldCount = message.GetUBYTE(0);
        break;
    case M_PEAK_HOLD:
        mPeakHold = UBYTEToBool(message.GetUBYTE(0));
        break;
    case M_PEAK_HOLD_DISPLAY:
    {
        bool on = UBYTEToBool(message.GetUBYTE(0));
        if (mDriver != nullptr)
        {
            mDriver->SetPeakHoldDisplay(on);
        }
        break;
    }
    default:
        break;
    }
    SendToInformList(message);
}

void cMeterNet::OnLevel(GAIN level, bool reset)
{
    if (reset || mFirstValue)
    {
        mMeter = level;
        mPeak = level;
        mFirstValue = false;
        ShowValues();
        return;
    }
    if (mMeter >= level)
    {
        mMeter = mDecayStep == DECAY_AT_ONCE ? level : std::max(ToGain(int(mMeter) + int(mDecayStep)), level);
    }
    else
    {
        mMeter =
            mAttackStep == ATTACK_AT_ONCE ? level : std::min(ToGain(int(mMeter) + int(mAttackStep)), level);
    }
    if (!mPeakHold)
    {
        mPeak = mMeter;
    }
    else if (level > mPeak)
    {
        mPeak = level;
        mHoldCounter = mHoldCount;
    }
    else if (mHoldCounter != 0 && --mHoldCounter == 0)
    {
        mPeak = level;
        mHoldCounter = mHoldCount;
    }
    ShowValues();
}

void cMeterNet::ShowValues()
{
    if (mDriver != nullptr)
    {
        mDriver->MeterValues(mMeter, mPeak);
    }
}
