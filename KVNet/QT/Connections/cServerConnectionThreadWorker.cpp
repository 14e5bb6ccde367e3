#include "KVNet/QT/Connections/cServerConnectionThreadWorker.h"

#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QTcpSocket>

cServerConnectionThreadWorker::cServerConnectionThreadWorker(UWORD connectionId, qintptr socketDescriptor)
    : cConnectionThreadWorkerBase(connectionId, "ServerSide")
    , mSocketDescriptor(socketDescriptor)
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
    std::lock_guard<std::mutex> lock(mNameMutex);
    return mName + " - Server Side";
}

void cServerConnectionThreadWorker::InitOnThread()
{
    mSocket = new QTcpSocket(this);
    if (!mSocket->setSocketDescriptor(mSocketDescriptor, QAbstractSocket::ConnectedState,
                                      QIODevice::ReadWrite))
    {
        SetErrorOccured();
        SetSocketError(mSocket->error());
        emit CallDisconnectedSignal();
        return;
    }
    connect(mSocket, &QAbstractSocket::errorOccurred, this, &cServerConnectionThreadWorker::TCPSocketError);
    const std::string peer = mSocket->peerAddress().toString().toUtf8().toStdString();
    SetHostName(peer);
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    {
        std::lock_guard<std::mutex> lock(mNameMutex);
        mName = peer;
    }
    const std::string text = "Connection made from " + GetDisplayName() + " (KVNet)";
    KV_REPORT_TRACE("%s", text.c_str());
    cTCPConnection* tcp = new cTCPConnection(mSocket, GetConnectionId());
    SetTCPConnection(tcp);
    connect(tcp, &cTCPConnection::HelloReceived, this, &cServerConnectionThreadWorker::RemoteUDPPortReceived,
            Qt::DirectConnection);
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
    // A repeated HELLO replaces the UDP link of the earlier one.
    DeleteUDPConnection(false);
    cUDPConnection* udp = new cUDPConnection(GetConnectionId(), mSocket->peerAddress(),
                                             quint16(nKVNetUtil::SERVER_UDP_PORT_BASE + GetConnectionId()));
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
