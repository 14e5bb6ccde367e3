#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"

class cMeterDisplayDriverBase;

// The control object of a level meter; no tick, no tock. Parameters:
//   4096 GAIN level, UBYTE reset: a new level with ballistics and peak hold; reset != 0 (and
//        the first level ever) jumps meter and peak to it
//   4097 GAIN meter, GAIN peak: taken unchanged
//   4098 UWORD gain code: attack step (ConvertUWORDToGain)
//   4099 UWORD gain code: decay step
//   4100 UBYTE hold count
//   4101 UBYTE 0 or 1: peak hold on or off
//   4102 UBYTE 0 or 1: the peak-hold display switch, passed to the driver
// Every one of them is forwarded to the other links after it is handled; a message shorter
// than its parameter's payload is reported and dropped.
//
// Ballistics of a level n: a meter at or above n falls by the decay step, not below n; a meter
// below n rises by the attack step, not above n (steps of -32767 and 32767 jump). With peak
// hold a higher level sets the peak and restarts the hold counter; a hold count of N keeps the
// peak for N updates at or below it, then drops it to the level of that moment; a hold count
// of 0 keeps it until a higher level comes. Without peak hold the peak follows the meter.
//
// Threads: made and destroyed by its driver; messages on the syscall thread; the setters and
// ResetBallistics on the syscall thread or under the registry lock.
class cMeterNet : public cNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 7;
    static constexpr UWORD M_LEVEL = PARAMETER_BASE;
    static constexpr UWORD M_METER_AND_PEAK = PARAMETER_BASE + 1;
    static constexpr UWORD M_ATTACK_STEP = PARAMETER_BASE + 2;
    static constexpr UWORD M_DECAY_STEP = PARAMETER_BASE + 3;
    static constexpr UWORD M_HOLD_COUNT = PARAMETER_BASE + 4;
    static constexpr UWORD M_PEAK_HOLD = PARAMETER_BASE + 5;
    static constexpr UWORD M_PEAK_HOLD_DISPLAY = PARAMETER_BASE + 6;

    // driver is not owned, may be null, and must outlive the object.
    cMeterNet(const char* name, cMeterDisplayDriverBase* driver, GAIN attackStep, GAIN decayStep,
              bool peakHold, UBYTE holdCount);
    ~cMeterNet() override;

    void EntrypointMessage(cKVNetMessage& message) override;

    void SetAttackStep(GAIN step) { mAttackStep = step; }
    void SetDecayStep(GAIN step) { mDecayStep = step; }
    // The next level is shown at once as both meter and peak.
    void ResetBallistics() { mFirstValue = true; }

    GAIN GetMeter() const { return mMeter; }
    GAIN GetPeak() const { return mPeak; }
    GAIN GetAttackStep() const { return mAttackStep; }
    GAIN GetDecayStep() const { return mDecayStep; }
    bool IsPeakHold() const { return mPeakHold; }
    UBYTE GetHoldCount() const { return mHoldCount; }

private:
    void OnLevel(GAIN level, bool reset);
    void ShowValues();

    cMeterDisplayDriverBase* mDriver;
    GAIN mMeter = GAIN_MINUS_INFINITY;
    GAIN mAttackStep;
    GAIN mDecayStep;
    GAIN mPeak = GAIN_MINUS_INFINITY;
    bool mPeakHold;
    UBYTE mHoldCount;
    UBYTE mHoldCounter = 0;
    bool mFirstValue = true;
};
