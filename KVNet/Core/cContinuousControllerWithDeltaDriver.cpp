#include "KVNet/Core/cContinuousControllerWithDeltaDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cContinuousControllerWithDelta.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cContinuousControllerWithDeltaDriver::cContinuousControllerWithDeltaDriver(const char* name, UWORD lower,
                                                                           UWORD upper, bool levelType,
                                                                           bool createObject)
    : cContinuousControllerDriver(name, lower, upper, levelType, false)
{
    if (createObject && name != nullptr)
    {
        cContinuousControllerWithDeltaDriver::AttachControlObject(name);
    }
}

cContinuousControllerWithDeltaDriver::~cContinuousControllerWithDeltaDriver()
{
    DestroyAudioObject();
}

bool cContinuousControllerWithDeltaDriver::AttachControlObject(const char* name)
{
    if (name == nullptr || name[0] == '\0' || GetAudioObject() != nullptr)
    {
        return false;
    }
    cRegistryLocker lock;
    SetAudioObject(new cContinuousControllerWithDelta(name, this));
    return true;
}

cContinuousControllerWithDelta* cContinuousControllerWithDeltaDriver::GetDeltaController() const
{
    return dynamic_cast<cContinuousControllerWithDelta*>(GetAudioObject());
}

bool cContinuousControllerWithDeltaDriver::LinkDeltaToParameter(const char* path, UWORD param, bool remove,
                                                                bool bidirect)
{
    return LinkTo(M_DELTA, path, param, false, remove, bidirect);
}

void cContinuousControllerWithDeltaDriver::UseSlowDeltaGeneration(bool slow)
{
    cRegistryLocker lock;
    cContinuousControllerWithDelta* controller = GetDeltaController();
    if (controller == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return;
    }
    controller->SetSlowDeltaGeneration(slow);
}
