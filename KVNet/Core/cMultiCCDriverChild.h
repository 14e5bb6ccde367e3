#pragma once

#include "KVNet/Core/cContinuousControllerDriver.h"

class cMultiContinuousControllerDriverBase;

// One controller of a multi-controller: a continuous-controller driver (range 0 to 65535,
// LevelType off, with its own cContinuousController) whose value moves by the parent's shared
// input. Its step per unit of delta is round(span * 3 / 256), at least 1 and at most 256,
// recomputed on every SetRange.
//
// Threads: made and deleted by its parent; the overrides run on the syscall thread (or under
// the registry lock).
class cMultiCCDriverChild : public cContinuousControllerDriver
{
public:
    cMultiCCDriverChild(const char* name, cMultiContinuousControllerDriverBase* parent, UBYTE index);
    ~cMultiCCDriverChild() override;

    // Never touched.
    UBYTE IsControllerTouched() override { return 0; }
    // Asks the parent, which applies the shared input when this child is selected.
    UWORD ReadControllerValue() override;
    // Stores the value clamped to the range.
    void SetValue(UWORD value) override;
    void SetRange(UWORD lower, UWORD upper, bool levelType) override;

    // value = ClampToRange(step * delta + value).
    void MoveBy(SBYTE delta);
    UWORD GetStoredValue() const { return mValue; }
    UWORD GetStep() const { return mStep; }
    UBYTE GetIndex() const { return mIndex; }
    // A byte carried for the owner; nothing here reads it.
    void SetFlag(UBYTE flag) { mFlag = flag; }
    UBYTE GetFlag() const { return mFlag; }

private:
    void UpdateStep();

    cMultiContinuousControllerDriverBase* mParent;
    UBYTE mIndex;
    UWORD mValue = 0;
    UWORD mStep = 1;
    UBYTE mFlag = 0;
};
