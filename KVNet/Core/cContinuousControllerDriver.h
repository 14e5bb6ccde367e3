#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cAudioDriver.h"

#include <atomic>

class cContinuousController;

// Range of a continuous controller: a 16-bit value from mLower to mUpper. mSpan is
// mUpper - mLower, 0 when mUpper < mLower. With mLevelType the value 0 is a distinct "off"
// below the range (a level fader's minus infinity), carried in place of mLower.
struct sControllerRange
{
    UWORD mLower;
    UWORD mUpper;
    UWORD mSpan;
    bool mLevelType;
};

// Driver base of a continuous controller (fader, knob, value box). The subclass holds the
// value as the user side sees it; the paired cContinuousController polls it every action tick
// (ReadControllerValue, IsControllerTouched) and sends changes along its links, and pushes
// values, ranges and the external-control flag that arrive from links into the driver.
//
// Threads: the pure operations, SetRange and SetExternalControl are called on the syscall
// thread (under the registry lock) while the user side works on its own thread, so a subclass
// keeps its value in a field that one write updates. The range and the flag are stored here
// atomically (one 64-bit word for the whole range): the conversions may run on any thread.
// Link operations and PostValue may be called on any thread.
class cContinuousControllerDriver : public cAudioDriver
{
public:
    static constexpr UWORD M_VALUE = PARAMETER_BASE;
    static constexpr UWORD M_CONTINUOUS_CONTROLLER_TOUCHED = PARAMETER_BASE + 1;
    static constexpr UWORD M_RANGE = PARAMETER_BASE + 2;
    static constexpr UWORD M_EXTERNAL_CONTROL = PARAMETER_BASE + 3;

    // With a name and createObject, attaches at once (see cAudioDriver for when that is safe);
    // otherwise the driver stays detached until AttachControlObject.
    cContinuousControllerDriver(const char* name, UWORD lower, UWORD upper, bool levelType,
                                bool createObject);
    // Destroys the control object first.
    ~cContinuousControllerDriver() override;

    // Link operations: each queues one link command (Sync set, never by datagram) between the
    // given (path, param) and this driver's control object; false, with a report, while
    // detached or without a system builder.
    //   LinkRangeFromParameter:  (path, param) -> (own, 4098)
    //   LinkValueFromParameter:  (path, param) -> (own, 4096)
    //   LinkRangeToParameter:    (own, 4098) -> (path, param)
    //   LinkValueToParameter:    (own, 4096) -> (path, param)
    virtual bool LinkRangeFromParameter(const char* path, UWORD param, bool remove);
    virtual bool LinkValueFromParameter(const char* path, UWORD param, bool remove, bool bidirect);
    virtual bool LinkRangeToParameter(const char* path, UWORD param, bool remove);
    virtual bool LinkValueToParameter(const char* path, UWORD param, bool remove, bool bidirect);

    // Polled every tick: the touched state (the user holds the control) and the value.
    virtual UBYTE IsControllerTouched() = 0;
    virtual UWORD ReadControllerValue() = 0;
    // A value that arrived from a link (or from PostValue).
    virtual void SetValue(UWORD value) = 0;
    // Stores the range; span = max(upper - lower, 0).
    virtual void SetRange(UWORD lower, UWORD upper, bool levelType);
    // Stores the flag (1 or 0) that arrived as parameter 4099.
    virtual void SetExternalControl(UBYTE flag);

    // Under the registry lock, creates this driver's cContinuousController (4 parameters, in
    // the tick list) with that name. False when the name is null or empty, or when the driver
    // already has a control object (which it keeps).
    virtual bool AttachControlObject(const char* name);
    // The control object, null while detached.
    cContinuousController* GetController() const;

    // Clamped into the range and posted to the control object, which sets the driver and
    // informs the links when it is delivered (see cContinuousController). While detached:
    // "Audio object not created!".
    void PostValue(UWORD value);
    void PostRangeAndValue(UWORD lower, UWORD upper, UWORD value);

    sControllerRange GetRange() const { return mRange.load(std::memory_order_relaxed); }
    UWORD GetLower() const { return GetRange().mLower; }
    UWORD GetUpper() const { return GetRange().mUpper; }
    UWORD GetSpan() const { return GetRange().mSpan; }
    bool IsLevelType() const { return GetRange().mLevelType; }
    UBYTE GetExternalControl() const { return mExternalControl.load(std::memory_order_relaxed); }

    // Above upper gives upper, else the larger of v and lower.
    UWORD ClampToRange(int value) const;
    // 0 for lower when LevelType is set; otherwise unchanged.
    UWORD MapLowerToOff(UWORD value) const;
    // lower for 0 when LevelType is set; otherwise unchanged.
    UWORD MapOffToLower(UWORD value) const;
    // (clamped value - lower) / span; 0 for span 0, and for 0 with LevelType.
    float ValueToFraction(UWORD value) const;
    // lower + round(span * f) (single-precision product, halves away from zero), f clamped to
    // 0..1; with LevelType a fraction of 0 or below gives 0 ("off"). NaN counts as 0.
    UWORD FractionToValue(float fraction) const;

protected:
    // Link helpers for subclasses: own end is (own control object, ownParam).
    bool LinkFrom(const char* path, UWORD param, UWORD ownParam, bool sync, bool remove, bool bidirect);
    bool LinkTo(UWORD ownParam, const char* path, UWORD param, bool sync, bool remove, bool bidirect);

private:
    std::atomic<sControllerRange> mRange;
    std::atomic<UBYTE> mExternalControl{0};
};

static_assert(std::atomic<sControllerRange>::is_always_lock_free, "the range must be one atomic word");
