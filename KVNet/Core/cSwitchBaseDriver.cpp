#include "KVNet/Core/cSwitchBaseDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSwitchObject.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cSwitchBaseDriver::cSwitchBaseDriver(const char* name, bool tick)
{
    if (name != nullptr)
    {
        AttachControlObject(name, tick);
    }
}

cSwitchBaseDriver::~cSwitchBaseDriver()
{
    DestroyAudioObject();
}

bool cSwitchBaseDriver::AttachControlObject(const char* name, bool tick)
{
    if (name == nullptr || name[0] == '\0' || GetAudioObject() != nullptr)
    {
        return false;
    }
    cRegistryLocker lock;
    SetAudioObject(new cSwitchObject(name, this, tick));
    return true;
}

cSwitchObject* cSwitchBaseDriver::GetSwitchObject() const
{
    return dynamic_cast<cSwitchObject*>(GetAudioObject());
}

bool cSwitchBaseDriver::LinkValueFromParameter(const char* path, UWORD param, bool remove, bool sync,
                                               bool bidirect)
{
    if (GetAudioObject() == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return false;
    }
    return QueueLinkCommand(path, param, GetAudioObjectName(), M_VALUE, sync, remove, bidirect);
}

bool cSwitchBaseDriver::LinkValueToParameter(const char* path, UWORD param, bool remove, bool sync,
                                             bool bidirect)
{
    if (GetAudioObject() == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return false;
    }
    return QueueLinkCommand(GetAudioObjectName(), M_VALUE, path, param, sync, remove, bidirect);
}

void cSwitchBaseDriver::ApplySwitchDelta(UWORD) {}
