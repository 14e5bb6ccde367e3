#include "KVNet/QT/Connections/cConnectionThreadWorkerBase.h"

#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"

#include <limits>

cConnectionThreadWorkerBase::cConnectionThreadWorkerBase(UWORD connectionId, ULONG connectionSerial,
                                                         const std::string& hostName)
    : mConnectionId(connectionId)
    , mConnectionSerial(connectionSerial)
    , mFarewellDeadline(std::make_shared<std::atomic<qint64>>(std::numeric_limits<qint64>::max()))
    , mHostName(hostName)
{
    connect(this, &cConnectionThreadWorkerBase::CallDisconnectedSignal, this,
            &cConnectionThreadWorkerBase::CallDisconnectedSlot, Qt::QueuedConnection);
}

cConnectionThreadWorkerBase::~cConnectionThreadWorkerBase()
{
    // The subclasses close the links; this only frees what is left.
    CloseLinks();
}

void cConnectionThreadWorkerBase::CloseLinks()
{
    const bool lostComms = GetLostComms();
    DeleteTCPConnection(lostComms);
    DeleteUDPConnection(lostComms);
}

void cConnectionThreadWorkerBase::ClearLostCommsRegistration()
{
    std::lock_guard<std::mutex> lock(mRegistrationMutex);
    mLostCommsRegistration = false;
}

bool cConnectionThreadWorkerBase::GetLostCommsRegistration() const
{
    std::lock_guard<std::mutex> lock(mRegistrationMutex);
    return mLostCommsRegistration;
}

void cConnectionThreadWorkerBase::SendTCP(const cKVNetMessage& message)
{
    std::lock_guard<std::mutex> lock(mTCPMutex);
    if (mTCPConnection != nullptr)
    {
        mTCPConnection->SendMessage(message);
    }
}

void cConnectionThreadWorkerBase::SendUDP(const cKVNetMessage& message)
{
    std::lock_guard<std::mutex> lock(mUDPMutex);
    if (mUDPConnection != nullptr)
    {
        mUDPConnection->SendMessage(message);
    }
}

void cConnectionThreadWorkerBase::SendUtilUDP(const UBYTE* data, UWORD length)
{
    std::lock_guard<std::mutex> lock(mUDPMutex);
    if (mUDPConnection != nullptr)
    {
        mUDPConnection->SendUtilMessage(data, length);
    }
}

std::string cConnectionThreadWorkerBase::GetHostName() const
{
    std::lock_guard<std::mutex> lock(mHostNameMutex);
    return mHostName;
}

void cConnectionThreadWorkerBase::SetHostName(const std::string& hostName)
{
    std::lock_guard<std::mutex> lock(mHostNameMutex);
    SetHostNameLocked(hostName);
}

std::string cConnectionThreadWorkerBase::GetDisplayName() const
{
    return GetHostName();
}

QHostAddress cConnectionThreadWorkerBase::GetPeerAddress() const
{
    std::lock_guard<std::mutex> lock(mTCPMutex);
    return mTCPConnection != nullptr ? mTCPConnection->GetPeerAddress() : QHostAddress();
}

void cConnectionThreadWorkerBase::SetLostComms(bool lostComms)
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    mLostComms = lostComms;
}

bool cConnectionThreadWorkerBase::GetLostComms() const
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    return mLostComms;
}

UWORD cConnectionThreadWorkerBase::GetErrorOccured() const
{
    std::lock_guard<std::mutex> lock(mErrorMutex);
    return mErrorOccured;
}

void cConnectionThreadWorkerBase::SetErrorOccured()
{
    std::lock_guard<std::mutex> lock(mErrorMutex);
    mErrorOccured = 1;
}

QAbstractSocket::SocketError cConnectionThreadWorkerBase::GetSocketError() const
{
    std::lock_guard<std::mutex> lock(mErrorMutex);
    return mSocketError;
}

void cConnectionThreadWorkerBase::GetError(UWORD& errorOccured,
                                           QAbstractSocket::SocketError& socketError) const
{
    std::lock_guard<std::mutex> lock(mErrorMutex);
    errorOccured = mErrorOccured;
    socketError = mSocketError;
}

void cConnectionThreadWorkerBase::SetSocketError(QAbstractSocket::SocketError error)
{
    std::lock_guard<std::mutex> lock(mErrorMutex);
    mErrorOccured = 1;
    mSocketError = error;
}

bool cConnectionThreadWorkerBase::UsesV2() const
{
    std::lock_guard<std::mutex> lock(mTCPMutex);
    return mTCPConnection != nullptr && mTCPConnection->PeerUsesV2();
}

void cConnectionThreadWorkerBase::CallDisconnectedSlot()
{
    if (!mDisconnectAnnounced)
    {
        mDisconnectAnnounced = true;
        emit ConnectionThreadDisconnected(mConnectionId);
    }
}

void cConnectionThreadWorkerBase::SetTCPConnection(cTCPConnection* link)
{
    link->SetFarewellDeadline(mFarewellDeadline);
    {
        std::lock_guard<std::mutex> lock(mTCPMutex);
        mTCPConnection = link;
    }
    connect(link, &cTCPConnection::TCPConnectionDisconnected, this,
            &cConnectionThreadWorkerBase::CallDisconnectedSlot, Qt::QueuedConnection);
}

void cConnectionThreadWorkerBase::DeleteTCPConnection(bool lostComms)
{
    cTCPConnection* link = nullptr;
    {
        std::lock_guard<std::mutex> lock(mTCPMutex);
        link = mTCPConnection;
        mTCPConnection = nullptr;
    }
    if (link != nullptr)
    {
        link->disconnect(this);
        link->Disconnect(lostComms);
        delete link;
    }
}

void cConnectionThreadWorkerBase::SetUDPConnection(cUDPConnection* link)
{
    std::lock_guard<std::mutex> lock(mUDPMutex);
    mUDPConnection = link;
}

void cConnectionThreadWorkerBase::DeleteUDPConnection(bool lostComms)
{
    cUDPConnection* link = nullptr;
    {
        std::lock_guard<std::mutex> lock(mUDPMutex);
        link = mUDPConnection;
        mUDPConnection = nullptr;
    }
    if (link != nullptr)
    {
        link->Close(lostComms);
        delete link;
    }
}
