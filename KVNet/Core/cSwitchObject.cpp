#include "KVNet/Core/cSwitchObject.h"

#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSwitchBaseDriver.h"

cSwitchObject::cSwitchObject(const char* name, cSwitchBaseDriver* driver, bool tick)
    : cNetObject(name, NUMBER_OF_PARAMETERS, tick, false)
    , mDriver(driver)
{
}

cSwitchObject::~cSwitchObject()
{
    Unregister();
}

void cSwitchObject::ActionTick()
{
    if (mDriver == nullptr)
    {
        return;
    }
    UBYTE value = mDriver->GetValue();
    if (mFirstTick)
    {
        mValue = value;
        mFirstTick = false;
        return;
    }
    if (value == mValue)
    {
        return;
    }
    mValue = value;
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = cSwitchBaseDriver::M_VALUE;
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(value, 0);
    SendToInformList(mControlMessage);
}

void cSwitchObject::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case cSwitchBaseDriver::M_VALUE:
        if (KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UBYTE), GetName()))
        {
            UBYTE value = message.GetUBYTE(0);
            if (mDriver != nullptr)
            {
                mDriver->SetValue(value);
            }
            mValue = value;
            SendToInformList(message);
        }
        break;
    case cSwitchBaseDriver::M_DELTA:
        if (KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UWORD), GetName()) && mDriver != nullptr)
        {
            mDriver->ApplySwitchDelta(message.GetUWORD(0));
        }
        break;
    default:
        cNetObject::EntrypointMessage(message);
        break;
    }
}

void cSwitchObject::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod != cSwitchBaseDriver::M_VALUE)
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mMethod = destinationMethod;
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(mValue, 0);
    PostMessage(mControlMessage);
}

void cSwitchObject::SetValueSilently(UBYTE value)
{
    if (mDriver != nullptr)
    {
        mDriver->SetValue(value);
    }
    mValue = value;
}
