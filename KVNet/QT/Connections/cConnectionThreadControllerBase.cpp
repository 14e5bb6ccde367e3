#include "KVNet/QT/Connections/cConnectionThreadControllerBase.h"

#include "KVNet/QT/Connections/cConnectionThreadWorkerBase.h"

cConnectionThreadControllerBase::cConnectionThreadControllerBase(QThread::Priority priority,
                                                                 cConnectionThreadWorkerBase* worker)
    : cThreadController(priority)
    , mWorker(worker)
    , mFarewellDeadline(worker->FarewellDeadline())
{
    connect(mWorker, &cConnectionThreadWorkerBase::ConnectionThreadDisconnected, this,
            &cConnectionThreadControllerBase::ConnectionThreadDisconnected);
}

void cConnectionThreadControllerBase::Start()
{
    cThreadController::Start(mWorker);
}

UWORD cConnectionThreadControllerBase::GetConnectionId() const
{
    return mWorker->GetConnectionId();
}

void cConnectionThreadControllerBase::ClearLostCommsRegistration()
{
    mWorker->ClearLostCommsRegistration();
}

void cConnectionThreadControllerBase::SendTCP(const cKVNetMessage& message)
{
    mWorker->SendTCP(message);
}

void cConnectionThreadControllerBase::SendUDP(const cKVNetMessage& message)
{
    mWorker->SendUDP(message);
}

void cConnectionThreadControllerBase::SendUtilUDP(const UBYTE* data, UWORD length)
{
    mWorker->SendUtilUDP(data, length);
}

std::string cConnectionThreadControllerBase::GetHostName() const
{
    return mWorker->GetHostName();
}

std::string cConnectionThreadControllerBase::GetDisplayName() const
{
    return mWorker->GetDisplayName();
}

QHostAddress cConnectionThreadControllerBase::GetPeerAddress() const
{
    return mWorker->GetPeerAddress();
}

void cConnectionThreadControllerBase::SetLostComms(bool lostComms)
{
    mWorker->SetLostComms(lostComms);
}

UWORD cConnectionThreadControllerBase::GetErrorOccured() const
{
    return mWorker->GetErrorOccured();
}

QAbstractSocket::SocketError cConnectionThreadControllerBase::GetSocketError() const
{
    return mWorker->GetSocketError();
}

void cConnectionThreadControllerBase::GetError(UWORD& errorOccured,
                                               QAbstractSocket::SocketError& socketError) const
{
    mWorker->GetError(errorOccured, socketError);
}

bool cConnectionThreadControllerBase::UsesV2() const
{
    return mWorker->UsesV2();
}

void cConnectionThreadControllerBase::LimitFarewell(qint64 deadline)
{
    qint64 current = mFarewellDeadline->load();
    while (deadline < current && !mFarewellDeadline->compare_exchange_weak(current, deadline))
    {
    }
}
