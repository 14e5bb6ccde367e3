#include "KVNet/QT/Connections/cServerConnectionThreadWorker.h"

#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QTcpSocket>
#include <QTimer>

cServerConnectionThreadWorker::cServerConnectionThreadWorker(UWORD connectionId, qintptr socketDescriptor,
                                                             ULONG connectionSerial, int helloTimeLimitMs)
    : cConnectionThreadWorkerBase(connectionId, connectionSerial, "ServerSide")
    , mSocketDescriptor(socketDescriptor)
    , mHelloTimeLimitMs(helloTimeLimitMs)
{
}

cServerConnectionThreadWorker::~cServerConnectionThreadWorker()
{
    if (mSocket != nullptr)
    {
        mSocket->disconnect(this);
    }
    CloseLinks();
    const std::string text = GetDisplayName() + " Disconnected (KVNet)";
    KV_REPORT_TRACE("%s", text.c_str());
}

std::string cServerConnectionThreadWorker::GetDisplayName() const
{
    std::lock_guard<std::mutex> lock(HostNameMutex());
    return mName + " - Server Side";
}

void cServerConnectionThreadWorker::InitOnThread()
{
    mSocket = new QTcpSocket(this);
    if (!mSocket->setSocketDescriptor(mSocketDescriptor, QAbstractSocket::ConnectedState,
                                      QIODevice::ReadWrite))
    {
        SetSocketError(mSocket->error());
        emit CallDisconnectedSignal();
        return;
    }
    connect(mSocket, &QAbstractSocket::errorOccurred, this, &cServerConnectionThreadWorker::TCPSocketError);
    const std::string peer = mSocket->peerAddress().toString().toUtf8().toStdString();
    {
        // Together: a reader that sees the host name sees the display name with it.
        std::lock_guard<std::mutex> lock(HostNameMutex());
        SetHostNameLocked(peer);
        mName = peer;
    }
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const std::string text = "Connection made from " + GetDisplayName() + " (KVNet)";
    KV_REPORT_TRACE("%s", text.c_str());
    cTCPConnection* tcp = new cTCPConnection(mSocket, GetConnectionId(), GetConnectionSerial());
    SetTCPConnection(tcp);
    connect(tcp, &cTCPConnection::HelloReceived, this, &cServerConnectionThreadWorker::RemoteUDPPortReceived,
            Qt::DirectConnection);
    mHelloTimer = new QTimer(this);
    mHelloTimer->setSingleShot(true);
    connect(mHelloTimer, &QTimer::timeout, this, &cServerConnectionThreadWorker::HelloTimedOut);
    mHelloTimer->start(mHelloTimeLimitMs);
    // Bytes the peer sent before the link existed.
    if (mSocket->bytesAvailable() > 0)
    {
        tcp->Receive();
    }
}

void cServerConnectionThreadWorker::RemoteUDPPortReceived(quint16 UDPPort)
{
    cTCPConnection* tcp = TCPLink();
    if (tcp == nullptr)
    {
        return;
    }
    if (mHelloTimer != nullptr)
    {
        mHelloTimer->stop();
    }
    // A repeated HELLO replaces the UDP link of the earlier one.
    DeleteUDPConnection(false);
    cUDPConnection* udp = new cUDPConnection(GetConnectionId(), mSocket->peerAddress(),
                                             quint16(nKVNetUtil::SERVER_UDP_PORT_BASE + GetConnectionId()),
                                             GetConnectionSerial());
    SetUDPConnection(udp);
    udp->SetRemotePort(UDPPort, GetLostCommsRegistration());
    tcp->SendHelloAck(udp->GetLocalPort());
}

void cServerConnectionThreadWorker::TCPSocketError(QAbstractSocket::SocketError SocketError)
{
    if (SocketError != QAbstractSocket::TemporaryError)
    {
        if (cTCPConnection* tcp = TCPLink())
        {
            tcp->StopTransmit();
        }
    }
}

void cServerConnectionThreadWorker::HelloTimedOut()
{
    cTCPConnection* tcp = TCPLink();
    if (tcp == nullptr || tcp->IsDisconnected())
    {
        return;
    }
    const std::string peer = GetHostName();
    KV_REPORT_NOTIFICATION("No HELLO from %s within %d ms: connection %d closed", peer.c_str(),
                           mHelloTimeLimitMs, int(GetConnectionId()));
    // As after lost communication: closed at once, without the farewell, and the end announced.
    SetLostComms(true);
    tcp->Disconnect(true);
}
