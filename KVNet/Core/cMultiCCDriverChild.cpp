#include "KVNet/Core/cMultiCCDriverChild.h"

#include "KVNet/Core/cMultiContinuousControllerDriverBase.h"

#include <algorithm>
#include <cmath>

cMultiCCDriverChild::cMultiCCDriverChild(const char* name, cMultiContinuousControllerDriverBase* parent,
                                         UBYTE index)
    : cContinuousControllerDriver(name, 0, 0xFFFF, false, false)
    , mParent(parent)
    , mIndex(index)
{
    UpdateStep();
    AttachControlObject(name);
}

cMultiCCDriverChild::~cMultiCCDriverChild()
{
    DestroyAudioObject();
}

UWORD cMultiCCDriverChild::ReadControllerValue()
{
    return mParent != nullptr ? mParent->ReadChildValue(mIndex) : MapLowerToOff(mValue);
}

void cMultiCCDriverChild::SetValue(UWORD value)
{
    mValue = ClampToRange(value);
}

void cMultiCCDriverChild::SetRange(UWORD lower, UWORD upper, bool levelType)
{
    cContinuousControllerDriver::SetRange(lower, upper, levelType);
    UpdateStep();
}

void cMultiCCDriverChild::MoveBy(SBYTE delta)
{
    mValue = ClampToRange(int(mStep) * int(delta) + int(mValue));
}

void cMultiCCDriverChild::UpdateStep()
{
    long step = std::lround(double(GetSpan()) * 3.0 / 256.0);
    mStep = UWORD(std::clamp(step, 1L, 256L));
}
