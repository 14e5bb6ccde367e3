#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cAudioDriver.h"

#include <atomic>

class cMeterNet;

// Driver base of a level meter. Its control object, a cMeterNet, receives levels by message,
// applies the ballistics (attack and decay steps per update, optional peak hold) and hands
// the result to MeterValues. Levels and steps are GAIN: 1/256 dB, GAIN_MINUS_INFINITY
// (-32767) for silence; an attack step of 32767 rises at once, a decay step of -32767 falls at
// once.
//
// Threads: MeterValues, SetPeakHoldDisplay, SetAttackStep and SetDecayStep are called on the
// syscall thread (under the registry lock). The stored steps are atomic and may be read on any
// thread. See cAudioDriver for when attaching is safe and for the destructor rule.
class cMeterDisplayDriverBase : public cAudioDriver
{
public:
    // Stores both steps; with a name, attaches at once with these settings.
    cMeterDisplayDriverBase(const char* name, GAIN attackStep, GAIN decayStep, bool peakHold,
                            UBYTE holdCount);
    // Destroys the control object first.
    ~cMeterDisplayDriverBase() override;

    // The level and peak after the ballistics.
    virtual void MeterValues(GAIN meter, GAIN peak) = 0;
    // The peak-hold display switch (parameter 4102); ignored by default.
    virtual void SetPeakHoldDisplay(bool on);
    // Steps that arrived by message (4098, 4099); stored here by default.
    virtual void SetAttackStep(GAIN step);
    virtual void SetDecayStep(GAIN step);

    GAIN GetAttackStep() const { return mAttackStep.load(std::memory_order_relaxed); }
    GAIN GetDecayStep() const { return mDecayStep.load(std::memory_order_relaxed); }

    // Under the registry lock, creates this driver's cMeterNet with that name, the driver's
    // current steps and the given peak hold. False for a null or empty name or when attached.
    bool AttachControlObject(const char* name, bool peakHold, UBYTE holdCount);
    cMeterNet* GetMeterNet() const;

private:
    std::atomic<GAIN> mAttackStep;
    std::atomic<GAIN> mDecayStep;
};
