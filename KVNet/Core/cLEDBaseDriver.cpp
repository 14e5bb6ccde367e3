#include "KVNet/Core/cLEDBaseDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cLEDObject.h"

cLEDBaseDriver::cLEDBaseDriver(const char* name)
{
    if (name != nullptr)
    {
        AttachControlObject(name);
    }
}

cLEDBaseDriver::~cLEDBaseDriver()
{
    DestroyAudioObject();
}

bool cLEDBaseDriver::AttachControlObject(const char* name)
{
    if (name == nullptr || name[0] == '\0' || GetAudioObject() != nullptr)
    {
        return false;
    }
    cRegistryLocker lock;
    SetAudioObject(new cLEDObject(name, this));
    return true;
}

cLEDObject* cLEDBaseDriver::GetLEDObject() const
{
    return dynamic_cast<cLEDObject*>(GetAudioObject());
}
