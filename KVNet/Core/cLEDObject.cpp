#include "KVNet/Core/cLEDObject.h"

#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cLEDBaseDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cLEDObject::cLEDObject(const char* name, cLEDBaseDriver* driver)
    : cNetObject(name, 1, false, false)
    , mDriver(driver)
{
}

cLEDObject::~cLEDObject()
{
    Unregister();
}

void cLEDObject::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod != cLEDBaseDriver::M_STATE)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UBYTE), GetName()))
    {
        return;
    }
    UBYTE state = message.GetUBYTE(0);
    if (state != mState)
    {
        SendToInformList(message);
        mState = state;
    }
    if (mDriver != nullptr)
    {
        mDriver->SetLEDState(state);
    }
}

void cLEDObject::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                 KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod != cLEDBaseDriver::M_STATE)
    {
        KV_REPORT_ERROR("Method undefined at this level");
        return;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mMethod = destinationMethod;
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(mState, 0);
    PostMessage(mControlMessage);
}
