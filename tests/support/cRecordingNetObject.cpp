#include "tests/support/cRecordingNetObject.h"

#include "KVNet/Core/KVNetSystem.h"

cRecordingNetObject::cRecordingNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters, bool tick,
                                         bool tock, QStringList* log)
    : cNetObject(name, numberOfParameters, tick, tock)
    , mValues(numberOfParameters, 0)
    , mLog(log)
{
}

cRecordingNetObject::~cRecordingNetObject()
{
    Unregister();
}

void cRecordingNetObject::Log(const QString& entry)
{
    if (mLog != nullptr)
    {
        mLog->append(entry);
    }
}

void cRecordingNetObject::EntrypointMessage(cKVNetMessage& message)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mReceived.push_back({message.mConnectionId, message.mSource, message.mMethod,
                             QByteArray(reinterpret_cast<const char*>(message.Data()), message.GetLength())});
        Log(QString("%1:%2").arg(GetName()).arg(message.mMethod));
    }
    if (message.mMethod >= PARAMETER_BASE)
    {
        UWORD index = UWORD(message.mMethod - PARAMETER_BASE);
        if (index < mValues.size() && message.GetLength() >= 2)
        {
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mValues[index] = message.GetUWORD(0);
            }
            SendToInformList(message);
        }
        return;
    }
    if (message.mMethod <= M_LAST_FRAMEWORK_METHOD)
    {
        cNetObject::EntrypointMessage(message);
    }
}

void cRecordingNetObject::ActionTick()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        ++mTicks;
        Log(QString("%1:tick").arg(GetName()));
    }
    if (mOnTick)
    {
        mOnTick(*this);
    }
}

void cRecordingNetObject::ActionTock()
{
    std::lock_guard<std::mutex> lock(mMutex);
    ++mTocks;
    Log(QString("%1:tock").arg(GetName()));
}

void cRecordingNetObject::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                          KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    UWORD index = UWORD(sourceMethod - PARAMETER_BASE);
    {
        std::lock_guard<std::mutex> lock(mMutex);
        ++mSyncUps;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mMethod = destinationMethod;
    mControlMessage.SetLength(2);
    mControlMessage.SetUWORD(Value(index), 0);
    PostMessage(mControlMessage);
}

void cRecordingNetObject::SetValue(UWORD parameter, UWORD value)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (parameter < mValues.size())
    {
        mValues[parameter] = value;
    }
}

UWORD cRecordingNetObject::Value(UWORD parameter) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return parameter < mValues.size() ? mValues[parameter] : UWORD(0);
}

void cRecordingNetObject::SendValue(UWORD parameter)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = UWORD(PARAMETER_BASE + parameter);
    mControlMessage.SetLength(2);
    mControlMessage.SetUWORD(Value(parameter), 0);
    SendToInformList(mControlMessage);
}

std::vector<cRecordingNetObject::sReceived> cRecordingNetObject::Received() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mReceived;
}

int cRecordingNetObject::Count(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int count = 0;
    for (const sReceived& r : mReceived)
    {
        count += r.mMethod == method ? 1 : 0;
    }
    return count;
}

QByteArray cRecordingNetObject::LastPayload(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    for (auto it = mReceived.rbegin(); it != mReceived.rend(); ++it)
    {
        if (it->mMethod == method)
        {
            return it->mPayload;
        }
    }
    return QByteArray();
}

int cRecordingNetObject::Ticks() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTicks;
}

int cRecordingNetObject::Tocks() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTocks;
}

int cRecordingNetObject::SyncUps() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mSyncUps;
}

void cRecordingNetObject::ClearRecords()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mReceived.clear();
    mTicks = mTocks = mSyncUps = 0;
}
