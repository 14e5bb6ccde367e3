#include "CorvoGUI/Core/Units/cAudioObject.h"

#include "KVNet/Core/KVNetSystem.h"

cAudioObject::cAudioObject(const char* name, UWORD numberOfParameters, bool actionTick)
    : cNetObject(name, numberOfParameters, actionTick, false)
{
}

cAudioObject::~cAudioObject()
{
    Unregister();
}

void cAudioObject::PublishParameter(cKVNetMessage& message)
{
    if (mPublishEnabled)
    {
        SendToInformList(message);
    }
}

void cAudioObject::PublishUBYTE(KV_NET_DATA_SCALE method, UBYTE value)
{
    mPublishMessage.SetLength(sizeof(UBYTE));
    mPublishMessage.SetUBYTE(value, 0);
    PublishOwn(method);
}

void cAudioObject::PublishUWORD(KV_NET_DATA_SCALE method, UWORD value)
{
    mPublishMessage.SetLength(sizeof(UWORD));
    mPublishMessage.SetUWORD(value, 0);
    PublishOwn(method);
}

void cAudioObject::PublishOwn(KV_NET_DATA_SCALE method)
{
    mPublishMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mPublishMessage.mDestination = KV_NET_NO_HANDLE;
    mPublishMessage.mSource = mHandle;
    mPublishMessage.mMethod = method;
    PublishParameter(mPublishMessage);
}

void cAudioObject::AnswerUBYTE(UWORD connectionId, KV_NET_DATA_SCALE handle,
                               KV_NET_DATA_SCALE destinationMethod, UBYTE value)
{
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(value, 0);
    Answer(connectionId, handle, destinationMethod);
}

void cAudioObject::AnswerUWORD(UWORD connectionId, KV_NET_DATA_SCALE handle,
                               KV_NET_DATA_SCALE destinationMethod, UWORD value)
{
    mControlMessage.SetLength(sizeof(UWORD));
    mControlMessage.SetUWORD(value, 0);
    Answer(connectionId, handle, destinationMethod);
}

void cAudioObject::Answer(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod)
{
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    PostMessage(mControlMessage);
}
