#include "KVNet/Core/cMeterDisplayDriverBase.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cMeterNet.h"

cMeterDisplayDriverBase::cMeterDisplayDriverBase(const char* name, GAIN attackStep, GAIN decayStep,
                                                 bool peakHold, UBYTE holdCount)
    : mAttackStep(attackStep)
    , mDecayStep(decayStep)
{
    if (name != nullptr)
    {
        AttachControlObject(name, peakHold, holdCount);
    }
}

cMeterDisplayDriverBase::~cMeterDisplayDriverBase()
{
    DestroyAudioObject();
}

void cMeterDisplayDriverBase::SetPeakHoldDisplay(bool) {}

void cMeterDisplayDriverBase::SetAttackStep(GAIN step)
{
    mAttackStep.store(step, std::memory_order_relaxed);
}

void cMeterDisplayDriverBase::SetDecayStep(GAIN step)
{
    mDecayStep.store(step, std::memory_order_relaxed);
}

bool cMeterDisplayDriverBase::AttachControlObject(const char* name, bool peakHold, UBYTE holdCount)
{
    if (name == nullptr || name[0] == '\0' || GetAudioObject() != nullptr)
    {
        return false;
    }
    cRegistryLocker lock;
    SetAudioObject(new cMeterNet(name, this, GetAttackStep(), GetDecayStep(), peakHold, holdCount));
    return true;
}

cMeterNet* cMeterDisplayDriverBase::GetMeterNet() const
{
    return dynamic_cast<cMeterNet*>(GetAudioObject());
}
