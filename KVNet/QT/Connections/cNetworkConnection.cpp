#include "KVNet/QT/Connections/cNetworkConnection.h"

#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Connections/cClientConnectionThreadController.h"
#include "KVNet/QT/Connections/cLostCommsReceiverController.h"
#include "KVNet/QT/Connections/cLostCommsSenderController.h"
#include "KVNet/QT/Connections/cServerConnectionThreadController.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>

namespace
{

std::atomic<cNetworkConnection*> gInstance{nullptr};
bool gAccessAllowed = true;
std::mutex gCreationMutex;
std::mutex gAccessMutex;

// How much longer than the connect time limit a caller waits before it gives up on its own.
constexpr int CONNECT_WAIT_MARGIN_MS = 2000;

} // namespace

// --- Singleton ---

bool cNetworkConnection::IsMainThread()
{
    QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

cNetworkConnection* cNetworkConnection::Instance()
{
    std::lock_guard<std::mutex> access(gAccessMutex);
    if (!gAccessAllowed)
    {
        KV_REPORT_ERROR("Network Connection access after destruction");
        return nullptr;
    }
    if (cNetworkConnection* instance = gInstance.load())
    {
        return instance;
    }
    std::lock_guard<std::mutex> creation(gCreationMutex);
    if (gInstance.load() == nullptr)
    {
        if (IsMainThread())
        {
            cNetworkConnection* instance = new cNetworkConnection();
            gInstance.store(instance);
            SetNetworkConnectionInstance(instance);
        }
        else
        {
            KV_REPORT_ERROR("Attempting to create instance on non-main thread");
        }
    }
    return gInstance.load();
}

cNetworkConnection* cNetworkConnection::ExistingInstance()
{
    return gInstance.load();
}

void cNetworkConnection::DeleteInstance()
{
    if (!IsMainThread())
    {
        KV_REPORT_ERROR("Attempting to delete instance on non-main thread");
        return;
    }
    cNetworkConnection* instance = nullptr;
    {
        std::lock_guard<std::mutex> creation(gCreationMutex);
        instance = gInstance.load();
        if (instance != nullptr)
        {
            SetNetworkConnectionInstance(nullptr);
            instance->DisconnectAll();
            gInstance.store(nullptr);
        }
    }
    delete instance;
}

void cNetworkConnection::SetAccessAllowed(bool allowed)
{
    std::lock_guard<std::mutex> access(gAccessMutex);
    gAccessAllowed = allowed;
}

void cNetworkConnection::CloseSocketDescriptor(qintptr socketDescriptor)
{
    QTcpSocket socket;
    if (socket.setSocketDescriptor(socketDescriptor))
    {
        socket.abort();
    }
}

cNetworkConnection::cNetworkConnection()
{
    RegisterConnectionMetaTypes();
    connect(this, &cNetworkConnection::DisconnectAtIndexRightNow, this,
            &cNetworkConnection::DisconnectAtIndex, Qt::DirectConnection);
    connect(this, &cNetworkConnection::CallDisconnectAtIndex, this, &cNetworkConnection::DisconnectAtIndex,
            Qt::QueuedConnection);
}

cNetworkConnection::~cNetworkConnection()
{
    // Normally gone already (UninitialiseLostComms, DisconnectAll); nothing may outlive this.
    cLostCommsReceiverController* receiver = nullptr;
    cLostCommsSenderController* sender = nullptr;
    {
        std::lock_guard<std::mutex> lock(mLostCommsMutex);
        std::swap(receiver, mLostCommsReceiver);
        std::swap(sender, mLostCommsSender);
    }
    delete receiver;
    delete sender;
    DisconnectAll();
}

// --- Lost-communication threads ---

void cNetworkConnection::InitialiseLostComms()
{
    if (!IsMainThread())
    {
        KV_REPORT_ERROR("Must be called on main thread");
        return;
    }
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    if (mLostCommsSender != nullptr || mLostCommsReceiver != nullptr)
    {
        KV_REPORT_ERROR("Inconsistent state");
        return;
    }
    mLostCommsSender = new cLostCommsSenderController();
    mLostCommsReceiver = new cLostCommsReceiverController();
    connect(mLostCommsReceiver, &cLostCommsReceiverController::UnitLowTTLWarning, this,
            &cNetworkConnection::UnitLowTTLWarning);
}

void cNetworkConnection::UninitialiseLostComms()
{
    if (!IsMainThread())
    {
        KV_REPORT_ERROR("Must be called on main thread");
        return;
    }
    cLostCommsReceiverController* receiver = nullptr;
    cLostCommsSenderController* sender = nullptr;
    {
        std::lock_guard<std::mutex> lock(mLostCommsMutex);
        if ((mLostCommsReceiver == nullptr) != (mLostCommsSender == nullptr))
        {
            KV_REPORT_ERROR("Inconsistent state: %s,  %s",
                            mLostCommsReceiver != nullptr ? "Reciever Present" : "Reciever Null",
                            mLostCommsSender != nullptr ? "Sender Present" : "Sender Null");
        }
        std::swap(receiver, mLostCommsReceiver);
        std::swap(sender, mLostCommsSender);
    }
    // Deleted outside the lock: each waits for its thread, which may be calling in here.
    delete receiver;
    delete sender;
}

cLostCommsSenderController* cNetworkConnection::GetLostCommsSender()
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    return mLostCommsSender;
}

cLostCommsReceiverController* cNetworkConnection::GetLostCommsReceiver()
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    return mLostCommsReceiver;
}

void cNetworkConnection::EmitConnectionClosed(UWORD connectionId)
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    if (mLostCommsReceiver != nullptr)
    {
        mLostCommsReceiver->ConnectionClosed(connectionId);
    }
    if (mLostCommsSender != nullptr)
    {
        mLostCommsSender->ConnectionClosed(connectionId);
    }
}

void cNetworkConnection::NewUDPConnection(UWORD connectionId)
{
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    if (mLostCommsSender != nullptr)
    {
        mLostCommsSender->NewUDPConnection(connectionId);
    }
    if (mLostCommsReceiver != nullptr)
    {
        mLostCommsReceiver->NewUDPConnection(connectionId);
    }
}

void cNetworkConnection::UtilityMessageReceived(const UBYTE* data, int length, UWORD connectionId)
{
    if (data == nullptr || length < 1)
    {
        return;
    }
    if (data[0] != nKVNetUtil::HEARTBEAT)
    {
        KV_REPORT_ERROR("Unknown Util Message Received Byte[0] %d", int(data[0]));
        return;
    }
    std::lock_guard<std::mutex> lock(mLostCommsMutex);
    if (mLostCommsReceiver != nullptr)
    {
        mLostCommsReceiver->ReceivedMessage(connectionId);
    }
}

// --- Connection ids ---

UWORD cNetworkConnection::AcquireNextAvaiableConnectionID()
{
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    for (UWORD index = 0; index < MAX_CONNECTIONS; ++index)
    {
        if (mInUse[index] == 0)
        {
            mInUse[index] = 1;
            if (++mLastSerial == 0)
            {
                ++mLastSerial;
            }
            mSerials[index] = mLastSerial;
            ++mNumberOfConnections;
            emit NumberOfConnectionsChanged(mNumberOfConnections);
            return UWORD(index + 1);
        }
    }
    KV_REPORT_ERROR("All availible connections are in use");
    return KV_NET_NO_CONNECTION;
}

void cNetworkConnection::ReleaseConnectionID(UWORD id)
{
    if (!IsValidId(id))
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    const UWORD index = UWORD(id - 1);
    if (mInUse[index] == 0)
    {
        KV_REPORT_ERROR("Connection id %d released while not in use", int(id));
        return;
    }
    mInUse[index] = 0;
    mTable[index] = nullptr;
    mSerials[index] = 0;
    --mNumberOfConnections;
    emit NumberOfConnectionsChanged(mNumberOfConnections);
}

void cNetworkConnection::SetConnectionThreadAtIndex(cConnectionThreadControllerBase* controller, UWORD index)
{
    if (index >= MAX_CONNECTIONS)
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    mTable[index] = controller;
    if ((mInUse[index] != 0) != (controller != nullptr))
    {
        KV_REPORT_ERROR("Inconsistent state");
    }
}

void cNetworkConnection::SetPendingClientConnectionThread(cClientConnectionThreadController* controller)
{
    std::lock_guard<std::mutex> lock(mPendingMutex);
    if (controller != nullptr && mPendingClient != nullptr)
    {
        KV_REPORT_ERROR("Pending thread already set");
    }
    mPendingClient = controller;
}

void cNetworkConnection::AbortPendingConnectionAttempt()
{
    std::lock_guard<std::mutex> lock(mPendingMutex);
    if (mPendingClient != nullptr)
    {
        mPendingClient->AbortPendingConnectionAttempt();
    }
}

// --- Opening ---

UWORD cNetworkConnection::OutgoingRemoteConnection(const std::string& host)
{
    cRegistryRouter* router = gRegistryRouter;
    if (router != nullptr && router->IsRegistryLockedByThisThread())
    {
        KV_REPORT_ERROR("Outgoing Remote Connection to \"%s\" refused: the registry lock is held",
                        host.c_str());
        return KV_NET_NO_CONNECTION;
    }
    const UWORD id = AcquireNextAvaiableConnectionID();
    if (id == KV_NET_NO_CONNECTION)
    {
        KV_REPORT_TRACE("Outgoing Remote Connection rejected: \"%s\"", host.c_str());
        return KV_NET_NO_CONNECTION;
    }
    KV_REPORT_TRACE("Outgoing Remote Connection: %d - \"%s\"", int(id), host.c_str());
    const int timeLimit = mConnectTimeLimitMs.load();
    cClientConnectionThreadController* controller =
        new cClientConnectionThreadController(id, host, timeLimit, GetConnectionSerial(id));
    connect(controller, &cConnectionThreadControllerBase::ConnectionThreadDisconnected, this,
            &cNetworkConnection::ConnectionThreadHasDisconnected);
    controller->Start();

    SetPendingClientConnectionThread(controller);
    const bool ended = controller->WaitForConnection(timeLimit + CONNECT_WAIT_MARGIN_MS);
    SetPendingClientConnectionThread(nullptr);

    if (!ended || !controller->IsConnected())
    {
        KV_REPORT_TRACE("Unsuccessful Connection: %d, Code: %d, Resolved: %s - \"%s\"", int(id),
                        controller->GetErrorCode(), controller->GetHostResolved() ? "True" : "False",
                        host.c_str());
        disconnect(controller, &cConnectionThreadControllerBase::ConnectionThreadDisconnected, this,
                   &cNetworkConnection::ConnectionThreadHasDisconnected);
        controller->ClearLostCommsRegistration();
        EmitConnectionClosed(id);
        // Its thread ends first, so the id is free only once nothing uses it.
        delete controller;
        {
            // A late connect may have received something: dropped, and no link of it is left.
            cRegistryLocker registry;
            std::lock_guard<std::recursive_mutex> table(mTableMutex);
            mSerials[id - 1] = 0;
            if (cRegistryRouter* router = gRegistryRouter)
            {
                router->RemoveConnection(id, false);
            }
        }
        ReleaseConnectionID(id);
        return KV_NET_NO_CONNECTION;
    }
    // Stored before it moves, so that an end announced meanwhile finds it in its slot.
    SetConnectionThreadAtIndex(controller, UWORD(id - 1));
    if (QCoreApplication* application = QCoreApplication::instance())
    {
        controller->moveToThread(application->thread());
    }
    return id;
}

void cNetworkConnection::IncomingRemoteConnection(qintptr socketDescriptor)
{
    KV_REPORT_TRACE("Incoming Remote Connection");
    const UWORD id = AcquireNextAvaiableConnectionID();
    if (id == KV_NET_NO_CONNECTION)
    {
        CloseSocketDescriptor(socketDescriptor);
        return;
    }
    cServerConnectionThreadController* controller = new cServerConnectionThreadController(
        id, socketDescriptor, GetConnectionSerial(id), mHelloTimeLimitMs.load());
    connect(controller, &cConnectionThreadControllerBase::ConnectionThreadDisconnected, this,
            &cNetworkConnection::ConnectionThreadHasDisconnected);
    controller->Start();
    SetConnectionThreadAtIndex(controller, UWORD(id - 1));
    if (QCoreApplication* application = QCoreApplication::instance())
    {
        controller->moveToThread(application->thread());
    }
}

// --- Lookups ---

UWORD cNetworkConnection::FindConnectionByHost(const std::string& host)
{
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    for (UWORD index = 0; index < MAX_CONNECTIONS; ++index)
    {
        if (mTable[index] != nullptr && mTable[index]->GetHostName() == host)
        {
            return mTable[index]->GetConnectionId();
        }
    }
    return KV_NET_NO_CONNECTION;
}

QHostAddress cNetworkConnection::GetHostAddress(const std::string& host)
{
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    const UWORD id = FindConnectionByHost(host);
    if (!IsValidId(id) || mTable[id - 1] == nullptr)
    {
        return QHostAddress();
    }
    return mTable[id - 1]->GetPeerAddress();
}

std::string cNetworkConnection::GetConnectionHostName(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return std::string();
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    cConnectionThreadControllerBase* controller = mTable[connectionId - 1];
    return controller != nullptr ? controller->GetHostName() : std::string();
}

std::string cNetworkConnection::GetConnectionDisplayName(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return std::string();
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    cConnectionThreadControllerBase* controller = mTable[connectionId - 1];
    return controller != nullptr ? controller->GetDisplayName() : std::string();
}

cConnectionThreadControllerBase* cNetworkConnection::GetConnectionThread(UWORD connectionId)
{
    return IsValidId(connectionId) ? mTable[connectionId - 1] : nullptr;
}

UBYTE cNetworkConnection::GetNumberOfConnections()
{
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    return mNumberOfConnections;
}

bool cNetworkConnection::ConnectionUsesV2(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return false;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    cConnectionThreadControllerBase* controller = mTable[connectionId - 1];
    return controller != nullptr && controller->UsesV2();
}

ULONG cNetworkConnection::GetConnectionSerial(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    return mSerials[connectionId - 1];
}

bool cNetworkConnection::IsConnectionCurrent(UWORD connectionId, ULONG serial)
{
    return serial != 0 && GetConnectionSerial(connectionId) == serial;
}

// --- Sending ---

void cNetworkConnection::SendMessageOnTCP(cKVNetMessage& message)
{
    if (!IsValidId(message.mConnectionId))
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    if (cConnectionThreadControllerBase* controller = mTable[message.mConnectionId - 1])
    {
        controller->SendTCP(message);
    }
}

void cNetworkConnection::SendMessageOnUDP(cKVNetMessage& message)
{
    if (!IsValidId(message.mConnectionId))
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    if (cConnectionThreadControllerBase* controller = mTable[message.mConnectionId - 1])
    {
        controller->SendUDP(message);
    }
}

void cNetworkConnection::SendUtilMessageOnUDP(const UBYTE* data, UWORD length, UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(mTableMutex);
    if (cConnectionThreadControllerBase* controller = mTable[connectionId - 1])
    {
        controller->SendUtilUDP(data, length);
    }
}

// --- Taking connections down ---

void cNetworkConnection::ConnectionThreadHasDisconnected(UWORD ConnectionID)
{
    if (!IsValidId(ConnectionID))
    {
        return;
    }
    cConnectionThreadControllerBase* announcing = qobject_cast<cConnectionThreadControllerBase*>(sender());
    const UWORD index = UWORD(ConnectionID - 1);
    quint32 serial = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(mTableMutex);
        cConnectionThreadControllerBase* controller = mTable[index];
        if (controller == nullptr || (announcing != nullptr && announcing != controller))
        {
            return;
        }
        disconnect(controller, &cConnectionThreadControllerBase::ConnectionThreadDisconnected, this,
                   &cNetworkConnection::ConnectionThreadHasDisconnected);
        serial = mSerials[index];
    }
    emit CallDisconnectAtIndex(index, false, serial);
}

void cNetworkConnection::DisconnectAtIndex(UWORD Index, bool LostComms, quint32 Serial)
{
    if (Index >= MAX_CONNECTIONS)
    {
        return;
    }
    const UWORD id = UWORD(Index + 1);
    cConnectionThreadControllerBase* controller = nullptr;
    {
        cRegistryLocker registry;
        std::lock_guard<std::recursive_mutex> table(mTableMutex);
        controller = mTable[Index];
        if (controller == nullptr || mSerials[Index] != Serial)
        {
            return;
        }
        EmitConnectionClosed(id);
        UWORD errorFlag = 0;
        QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
        controller->GetError(errorFlag, error);
        const bool errorOccured = errorFlag != 0;
        const std::string host = controller->GetHostName();
        emit ConnectionDisconnected(id, host, errorOccured, error);
        if (cRegistryRouter* router = gRegistryRouter)
        {
            router->RemoveConnection(id, LostComms);
        }
        disconnect(controller, nullptr, this, nullptr);
        mTable[Index] = nullptr;
        mSerials[Index] = 0;
        mRetiring.push_back({controller, id});
    }
    Retire(controller, id);
}

void cNetworkConnection::Retire(cConnectionThreadControllerBase* controller, UWORD connectionId)
{
    Q_UNUSED(connectionId);
    connect(
        controller, &cThreadController::WorkerDeleted, this,
        [this, controller] { FinishRetirement(controller); }, Qt::QueuedConnection);
    controller->Quit();
    if (controller->Thread()->isFinished())
    {
        QMetaObject::invokeMethod(
            this, [this, controller] { FinishRetirement(controller); }, Qt::QueuedConnection);
    }
}

void cNetworkConnection::FinishRetirement(cConnectionThreadControllerBase* controller)
{
    UWORD id = KV_NET_NO_CONNECTION;
    {
        std::lock_guard<std::recursive_mutex> lock(mTableMutex);
        auto found = std::find_if(mRetiring.begin(), mRetiring.end(),
                                  [controller](const sRetiring& r) { return r.mController == controller; });
        if (found == mRetiring.end())
        {
            return;
        }
        id = found->mConnectionId;
        mRetiring.erase(found);
    }
    delete controller;
    ReleaseConnectionID(id);
}

void cNetworkConnection::LostCommsDetected(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return;
    }
    const UWORD index = UWORD(connectionId - 1);
    cRegistryLocker registry;
    std::lock_guard<std::recursive_mutex> table(mTableMutex);
    cConnectionThreadControllerBase* controller = mTable[index];
    if (controller == nullptr)
    {
        return;
    }
    const std::string host = controller->GetHostName();
    controller->SetLostComms(true);
    emit DisconnectAtIndexRightNow(index, true, mSerials[index]);
    emit LostComms(connectionId, host);
}

void cNetworkConnection::DisconnectConnectionID(UWORD connectionId)
{
    if (connectionId == KV_NET_NO_CONNECTION)
    {
        KV_REPORT_ERROR("Invalid Connection ID");
        return;
    }
    if (!IsValidId(connectionId))
    {
        return;
    }
    quint32 serial = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(mTableMutex);
        serial = mSerials[connectionId - 1];
    }
    emit CallDisconnectAtIndex(UWORD(connectionId - 1), false, serial);
}

void cNetworkConnection::DisconnectFromHost(const std::string& host)
{
    const UWORD id = FindConnectionByHost(host);
    if (id == KV_NET_NO_CONNECTION)
    {
        KV_REPORT_ERROR("Cannot find connection for host: %s", host.c_str());
        return;
    }
    DisconnectConnectionID(id);
}

void cNetworkConnection::DisconnectAll()
{
    std::vector<sRetiring> stopping;
    {
        std::lock_guard<std::recursive_mutex> lock(mTableMutex);
        for (UWORD index = 0; index < MAX_CONNECTIONS; ++index)
        {
            if (cConnectionThreadControllerBase* controller = mTable[index])
            {
                disconnect(controller, nullptr, this, nullptr);
                stopping.push_back({controller, UWORD(index + 1)});
                mTable[index] = nullptr;
                mSerials[index] = 0;
            }
        }
        stopping.insert(stopping.end(), mRetiring.begin(), mRetiring.end());
        mRetiring.clear();
    }
    // Every farewell, those already under way included, ends by one deadline: the whole stop
    // takes about SHUTDOWN_FAREWELL_MS at most, whatever the peers do.
    const qint64 deadline = QDeadlineTimer(SHUTDOWN_FAREWELL_MS).deadline();
    for (const sRetiring& entry : stopping)
    {
        entry.mController->LimitFarewell(deadline);
        entry.mController->Quit();
    }
    for (const sRetiring& entry : stopping)
    {
        delete entry.mController;
        ReleaseConnectionID(entry.mConnectionId);
    }
}
