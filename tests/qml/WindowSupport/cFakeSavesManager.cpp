#include "tests/qml/WindowSupport/cFakeSavesManager.h"

#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"

cFakeSavesManager::cFakeSavesManager()
    : cNetObject(cSavesDialogBackend::SAVES_MANAGER_NAME, cSavesDialogBackend::NUMBER_OF_PARAMETERS, false,
                 false)
{
}

cFakeSavesManager::~cFakeSavesManager()
{
    Unregister();
}

void cFakeSavesManager::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod < P_SAVE || message.mMethod > P_SYNC)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    bool answer = true;
    bool success = true;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRequests.append({message.mMethod,
                          QByteArray(reinterpret_cast<const char*>(message.Data()), message.GetLength())});
        if (message.mMethod == P_SYNC && mHoldSync)
        {
            ++mHeldSyncs;
            answer = false;
        }
        else if (message.mMethod != P_SYNC)
        {
            success = mSuccess;
        }
    }
    if (answer)
    {
        Report(message.mMethod, success);
    }
}

void cFakeSavesManager::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                        KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod < P_SAVE || sourceMethod > P_SYNC)
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    cKVNetMessage answer(1);
    answer.SetUBYTE(sourceMethod == P_SYNC ? 0 : 1, 0);
    answer.mConnectionId = connectionId;
    answer.mDestination = handle;
    answer.mSource = mHandle;
    answer.mMethod = destinationMethod;
    PostMessage(answer);
}

void cFakeSavesManager::Report(KV_NET_DATA_SCALE parameter, bool success)
{
    cRegistryLocker lock;
    cKVNetMessage result(1);
    result.SetUBYTE(success ? 1 : 0, 0);
    result.mConnectionId = KV_NET_NO_CONNECTION;
    result.mDestination = KV_NET_NO_HANDLE;
    result.mSource = mHandle;
    result.mMethod = parameter;
    SendToInformList(result);
}

void cFakeSavesManager::SetResult(bool success)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSuccess = success;
}

void cFakeSavesManager::HoldSyncAnswers(bool hold)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mHoldSync = hold;
}

void cFakeSavesManager::ReleaseSyncAnswers()
{
    int held = 0;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        held = mHeldSyncs;
        mHeldSyncs = 0;
    }
    for (int i = 0; i < held; ++i)
    {
        Report(P_SYNC, true);
    }
}

QList<cFakeSavesManager::sRequest> cFakeSavesManager::Requests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

int cFakeSavesManager::Count(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int count = 0;
    for (const sRequest& request : mRequests)
    {
        count += request.mMethod == method ? 1 : 0;
    }
    return count;
}

QByteArray cFakeSavesManager::LastPath(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    for (auto it = mRequests.crbegin(); it != mRequests.crend(); ++it)
    {
        if (it->mMethod == method)
        {
            const int end = it->mPayload.indexOf('\0');
            return end < 0 ? it->mPayload : it->mPayload.left(end);
        }
    }
    return QByteArray();
}
