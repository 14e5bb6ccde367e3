#include "tests/qml/WindowSupport/cFakeSavesManager.h"

#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "KVNet/Core/cKVNetMessage.h"

cFakeSavesManager::cFakeSavesManager()
    : cStandInNetObject(cSavesDialogBackend::SAVES_MANAGER_NAME, cSavesDialogBackend::NUMBER_OF_PARAMETERS)
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
    Record(message);
    bool answer = true;
    UBYTE failure = 0;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (message.mMethod == P_SYNC && mHoldSync)
        {
            ++mHeldSyncs;
            answer = false;
        }
        else if (message.mMethod != P_SYNC)
        {
            failure = mFailure;
        }
    }
    if (answer)
    {
        Report(message.mMethod, failure);
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
    AnswerSyncUp(connectionId, handle, destinationMethod,
                 QByteArray(1, sourceMethod == P_SYNC ? '\0' : '\1'));
}

void cFakeSavesManager::Report(KV_NET_DATA_SCALE parameter, UBYTE failure)
{
    Inform(parameter,
           failure == 0 ? QByteArray(1, '\1') : QByteArray(1, '\0') + QByteArray(1, char(failure)));
}

void cFakeSavesManager::SetFailure(UBYTE failure)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFailure = failure;
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
        Report(P_SYNC, 0);
    }
}

QByteArray cFakeSavesManager::LastPath(UWORD method) const
{
    const QList<sRequest> requests = Requests();
    for (auto it = requests.crbegin(); it != requests.crend(); ++it)
    {
        if (it->mMethod == method)
        {
            const int end = it->mPayload.indexOf('\0');
            return end < 0 ? it->mPayload : it->mPayload.left(end);
        }
    }
    return QByteArray();
}
