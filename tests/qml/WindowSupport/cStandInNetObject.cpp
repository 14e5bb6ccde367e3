#include "tests/qml/WindowSupport/cStandInNetObject.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"

cStandInNetObject::cStandInNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters)
    : cNetObject(name, numberOfParameters, false, false)
{
}

cStandInNetObject::~cStandInNetObject()
{
    Unregister();
}

QList<cStandInNetObject::sRequest> cStandInNetObject::Requests() const
{
    std::lock_guard<std::mutex> lock(mRequestsMutex);
    return mRequests;
}

int cStandInNetObject::Count(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mRequestsMutex);
    int count = 0;
    for (const sRequest& request : mRequests)
    {
        count += request.mMethod == method ? 1 : 0;
    }
    return count;
}

void cStandInNetObject::ClearRequests()
{
    std::lock_guard<std::mutex> lock(mRequestsMutex);
    mRequests.clear();
}

void cStandInNetObject::Record(const cKVNetMessage& message)
{
    std::lock_guard<std::mutex> lock(mRequestsMutex);
    mRequests.append(
        {message.mMethod, QByteArray(reinterpret_cast<const char*>(message.Data()), message.GetLength())});
}

void cStandInNetObject::AnswerSyncUp(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                     KV_NET_DATA_SCALE destinationMethod, const QByteArray& payload)
{
    cKVNetMessage answer;
    Fill(answer, payload);
    answer.mConnectionId = connectionId;
    answer.mDestination = handle;
    answer.mSource = mHandle;
    answer.mMethod = destinationMethod;
    PostMessage(answer);
}

void cStandInNetObject::Inform(KV_NET_DATA_SCALE parameter, const QByteArray& payload)
{
    cRegistryLocker lock;
    cKVNetMessage report;
    Fill(report, payload);
    report.mConnectionId = KV_NET_NO_CONNECTION;
    report.mDestination = KV_NET_NO_HANDLE;
    report.mSource = mHandle;
    report.mMethod = parameter;
    SendToInformList(report);
}

void cStandInNetObject::Fill(cKVNetMessage& message, const QByteArray& payload)
{
    message.SetLength(UWORD(payload.size()));
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
}
