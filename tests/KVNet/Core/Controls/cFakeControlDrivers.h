#pragma once

// Drivers for the control tests: each keeps its value in an atomic field (the user side writes
// it from the test thread), records what the control object hands it, and attaches from its
// own constructor body and detaches first in its destructor, as real drivers do.

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cContinuousControllerWithDeltaDriver.h"
#include "KVNet/Core/cLEDBaseDriver.h"
#include "KVNet/Core/cMeterDisplayDriverBase.h"
#include "KVNet/Core/cMultiContinuousControllerDriverBase.h"
#include "KVNet/Core/cSwitchBaseDriver.h"

#include <QList>
#include <QPair>

#include <atomic>
#include <mutex>

class cFakeControllerDriver : public cContinuousControllerWithDeltaDriver
{
public:
    // withDelta: a 5-parameter cContinuousControllerWithDelta; otherwise the plain controller.
    cFakeControllerDriver(const char* name, UWORD lower, UWORD upper, bool levelType = false,
                          bool withDelta = false, bool clampOnSet = false)
        : cContinuousControllerWithDeltaDriver(nullptr, lower, upper, levelType, false)
        , mClampOnSet(clampOnSet)
    {
        if (withDelta)
        {
            AttachControlObject(name);
        }
        else
        {
            cContinuousControllerDriver::AttachControlObject(name);
        }
    }
    ~cFakeControllerDriver() override { DestroyAudioObject(); }

    UBYTE IsControllerTouched() override { return mTouched.load(); }
    UWORD ReadControllerValue() override
    {
        ++mReads;
        return mValue.load();
    }
    void SetValue(UWORD value) override
    {
        mValue.store(mClampOnSet ? ClampToRange(value) : value);
        std::lock_guard<std::mutex> lock(mMutex);
        mSetValues.append(value);
    }
    UWORD GetDelta() override { return mDelta.exchange(0); }
    void ApplyDelta(UWORD delta) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mAppliedDeltas.append(delta);
    }

    QList<int> SetValues() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mSetValues;
    }
    QList<int> AppliedDeltas() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mAppliedDeltas;
    }

    std::atomic<UWORD> mValue{0};
    std::atomic<UBYTE> mTouched{0};
    std::atomic<UWORD> mDelta{0};
    std::atomic<int> mReads{0};

private:
    bool mClampOnSet;
    mutable std::mutex mMutex;
    QList<int> mSetValues;
    QList<int> mAppliedDeltas;
};

// Attaches from the base constructor: must be made before the syscall thread runs or under
// cRegistryLocker.
class cBaseAttachedControllerDriver : public cContinuousControllerDriver
{
public:
    cBaseAttachedControllerDriver(const char* name, UWORD lower, UWORD upper)
        : cContinuousControllerDriver(name, lower, upper, false, true)
    {
    }
    ~cBaseAttachedControllerDriver() override { DestroyAudioObject(); }

    UBYTE IsControllerTouched() override { return 0; }
    UWORD ReadControllerValue() override { return mValue.load(); }
    void SetValue(UWORD value) override { mValue.store(value); }

    std::atomic<UWORD> mValue{0};
};

class cFakeSwitchDriver : public cSwitchBaseDriver
{
public:
    cFakeSwitchDriver(const char* name, bool tick)
        : cSwitchBaseDriver(nullptr, tick)
    {
        AttachControlObject(name, tick);
    }
    ~cFakeSwitchDriver() override { DestroyAudioObject(); }

    UBYTE GetValue() override
    {
        ++mReads;
        return mValue.load();
    }
    void SetValue(UBYTE value) override
    {
        mValue.store(value);
        ++mSets;
    }
    void ApplySwitchDelta(UWORD delta) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mDeltas.append(delta);
    }
    QList<int> Deltas() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mDeltas;
    }

    std::atomic<UBYTE> mValue{0};
    std::atomic<int> mReads{0};
    std::atomic<int> mSets{0};

private:
    mutable std::mutex mMutex;
    QList<int> mDeltas;
};

class cFakeLEDDriver : public cLEDBaseDriver
{
public:
    explicit cFakeLEDDriver(const char* name)
        : cLEDBaseDriver(nullptr)
    {
        AttachControlObject(name);
    }
    ~cFakeLEDDriver() override { DestroyAudioObject(); }

    void SetLEDState(UBYTE state) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStates.append(state);
    }
    QList<int> States() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mStates;
    }

private:
    mutable std::mutex mMutex;
    QList<int> mStates;
};

class cFakeMeterDriver : public cMeterDisplayDriverBase
{
public:
    cFakeMeterDriver(const char* name, GAIN attackStep, GAIN decayStep, bool peakHold = false,
                     UBYTE holdCount = 0)
        : cMeterDisplayDriverBase(nullptr, attackStep, decayStep, peakHold, holdCount)
    {
        AttachControlObject(name, peakHold, holdCount);
    }
    ~cFakeMeterDriver() override { DestroyAudioObject(); }

    void MeterValues(GAIN meter, GAIN peak) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mMeters.append(meter);
        mPeaks.append(peak);
    }
    void SetPeakHoldDisplay(bool on) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mPeakHoldDisplay.append(on ? 1 : 0);
    }

    QList<int> Meters() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mMeters;
    }
    QList<int> Peaks() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mPeaks;
    }
    QList<int> PeakHoldDisplay() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mPeakHoldDisplay;
    }

private:
    mutable std::mutex mMutex;
    QList<int> mMeters;
    QList<int> mPeaks;
    QList<int> mPeakHoldDisplay;
};

// A multi-controller whose input gives the scripted delta once per ask.
class cFakeMultiController : public cMultiContinuousControllerDriverBase
{
public:
    cFakeMultiController(const char* name, UBYTE children, const char* selectorPath)
        : cMultiContinuousControllerDriverBase(name, children, selectorPath)
    {
    }
    ~cFakeMultiController() override
    {
        Unregister();
        DestroyChildren();
    }

    SBYTE GetSelectedDelta(UBYTE) override
    {
        ++mAsks;
        return mDelta.exchange(0);
    }

    std::atomic<SBYTE> mDelta{0};
    std::atomic<int> mAsks{0};
};
