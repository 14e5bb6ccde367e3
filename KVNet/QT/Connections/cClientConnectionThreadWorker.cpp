#include "KVNet/QT/Connections/cClientConnectionThreadWorker.h"

#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"
#include "KVNet/QT/Discovery/cMultiUnitFinder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <chrono>

cClientConnectionThreadWorker::cClientConnectionThreadWorker(UWORD connectionId, const std::string& hostName,
                                                             int connectTimeLimitMs, ULONG connectionSerial)
    : cConnectionThreadWorkerBase(connectionId, connectionSerial, hostName)
    , mConnectTimeLimitMs(connectTimeLimitMs)
{
    connect(this, &cClientConnectionThreadWorker::AbortPendingConnectionAttemptRequested, this,
            &cClientConnectionThreadWorker::AbortPendingConnectionAttempt);
}

cClientConnectionThreadWorker::~cClientConnectionThreadWorker()
{
    SignalAttemptDone();
    if (mSocket != nullptr)
    {
        mSocket->disconnect(this);
    }
    CloseLinks();
    if (mConnected.load())
    {
        const std::string text = GetDisplayName() + " Disconnected (KVNet)";
        KV_REPORT_TRACE("%s", text.c_str());
    }
}

bool cClientConnectionThreadWorker::ResolveHost(const std::string& hostName, QHostAddress& address)
{
    const QString name = QString::fromUtf8(hostName.c_str(), int(hostName.size()));
    if (!hostName.empty() && std::count(hostName.begin(), hostName.end(), '.') == 3)
    {
        if (address.setAddress(name))
        {
            return true;
        }
    }
    if (cMultiUnitFinder* finder = gMultiUnitFinder)
    {
        for (const sUnit& unit : finder->GetFoundUnits())
        {
            if (unit.mName == name)
            {
                bool isIPv4 = false;
                const quint32 ipv4 = unit.mAddress.toIPv4Address(&isIPv4);
                if (isIPv4)
                {
                    address.setAddress(ipv4);
                    return true;
                }
                return false;
            }
        }
    }
    return false;
}

void cClientConnectionThreadWorker::InitOnThread()
{
    mSocket = new QTcpSocket(this);
    connect(mSocket, &QTcpSocket::connected, this, &cClientConnectionThreadWorker::TCPSocketConnected);
    connect(mSocket, &QAbstractSocket::errorOccurred, this, &cClientConnectionThreadWorker::TCPSocketError);
    QHostAddress address;
    const bool resolved = ResolveHost(GetHostName(), address);
    mHostResolved.store(resolved);
    if (!resolved)
    {
        SignalAttemptDone();
        return;
    }
    mTimeLimit = new QTimer(this);
    mTimeLimit->setSingleShot(true);
    connect(mTimeLimit, &QTimer::timeout, this,
            [this]
            {
                if (!mConnected.load())
                {
                    mLastError.store(int(QAbstractSocket::SocketTimeoutError));
                    SetErrorOccured();
                    AbortPendingConnectionAttempt();
                }
            });
    mTimeLimit->start(mConnectTimeLimitMs);
    mSocket->connectToHost(address, nKVNetUtil::TCP_PORT, QIODevice::ReadWrite);
}

void cClientConnectionThreadWorker::TCPSocketConnected()
{
    {
        std::lock_guard<std::mutex> lock(mAttemptMutex);
        if (mDone || GetErrorOccured() != 0)
        {
            return;
        }
    }
    if (mTimeLimit != nullptr)
    {
        mTimeLimit->stop();
    }
    mConnected.store(true);
    const std::string text = "Connection made to " + GetDisplayName() + " (KVNet)";
    KV_REPORT_TRACE("%s", text.c_str());
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    cTCPConnection* tcp = new cTCPConnection(mSocket, GetConnectionId(), GetConnectionSerial());
    SetTCPConnection(tcp);
    connect(tcp, &cTCPConnection::HelloAckReceived, this,
            &cClientConnectionThreadWorker::RemoteUDPPortReceived, Qt::DirectConnection);
    cUDPConnection* udp =
        new cUDPConnection(GetConnectionId(), mSocket->peerAddress(), 0, GetConnectionSerial());
    SetUDPConnection(udp);
    tcp->SendHello(udp->GetLocalPort());
    SignalAttemptDone();
}

void cClientConnectionThreadWorker::TCPSocketError(QAbstractSocket::SocketError socketError)
{
    const std::string host = GetHostName();
    KV_REPORT_TRACE("TCP Connection Failed: \"%s\" -- \"%s\"",
                    mSocket->errorString().toLocal8Bit().constData(), host.c_str());
    mLastError.store(int(socketError));
    if (mConnected.load())
    {
        // The flag and the error that ended the connection, together.
        SetSocketError(socketError);
        SignalAttemptDone();
        emit CallDisconnectedSignal();
        return;
    }
    SetErrorOccured();
    SignalAttemptDone();
}

void cClientConnectionThreadWorker::RemoteUDPPortReceived(quint16 UDPPort)
{
    if (cUDPConnection* udp = UDPLink())
    {
        udp->SetRemotePort(UDPPort, GetLostCommsRegistration());
    }
}

void cClientConnectionThreadWorker::AbortPendingConnectionAttempt()
{
    {
        std::lock_guard<std::mutex> lock(mAttemptMutex);
        if (mDone)
        {
            return;
        }
    }
    if (mSocket != nullptr)
    {
        mSocket->abort();
    }
    SignalAttemptDone();
}

void cClientConnectionThreadWorker::SignalAttemptDone()
{
    std::lock_guard<std::mutex> lock(mAttemptMutex);
    mDone = true;
    mAttemptCondition.notify_all();
}

bool cClientConnectionThreadWorker::WaitForConnection(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mAttemptMutex);
    return mAttemptCondition.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return mDone; });
}
