#include "KVNet/QT/Connections/cUDPConnection.h"

#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

namespace
{

constexpr int MAX_DATAGRAM = 65536;

bool SameIPv4(const QHostAddress& a, const QHostAddress& b)
{
    bool okA = false;
    bool okB = false;
    const quint32 ipA = a.toIPv4Address(&okA);
    const quint32 ipB = b.toIPv4Address(&okB);
    return okA && okB && ipA == ipB;
}

} // namespace

cUDPConnection::cUDPConnection(UWORD connectionId, const QHostAddress& peer, quint16 localPort,
                               ULONG connectionSerial)
    : cConnectionBaseQt(connectionId, connectionSerial)
    , mPeer(peer)
    , mDatagram(MAX_DATAGRAM)
{
    if (!mSocket.bind(QHostAddress(QHostAddress::AnyIPv4), localPort))
    {
        KV_REPORT_TRACE("UDP Bind on %d Failed. Trying to use ephemeral port", int(localPort));
        if (!mSocket.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        {
            KV_REPORT_ERROR("UDP Bind Failed.");
        }
    }
    connect(&mSocket, &QUdpSocket::readyRead, this, &cUDPConnection::ReadPendingDatagrams);
    mLocalPort = mSocket.localPort();
}

cUDPConnection::~cUDPConnection()
{
    mClosing.store(true);
    mSocket.disconnect(this);
}

void cUDPConnection::SendMessage(const cKVNetMessage& message)
{
    if (!mClosing.load() && mRemotePort.load() != 0)
    {
        EnqueueMessage(message, NetworkConnectionUsesV2(message.mConnectionId));
    }
}

void cUDPConnection::SendUtilMessage(const UBYTE* data, UWORD length)
{
    if (!mClosing.load() && mRemotePort.load() != 0)
    {
        EnqueueUtilMessage(data, length);
    }
}

void cUDPConnection::SetRemotePort(UWORD port, bool registerLostComms)
{
    mRemotePort.store(port);
    if (registerLostComms)
    {
        if (cNetworkConnection* network = cNetworkConnection::ExistingInstance())
        {
            network->NewUDPConnection(mConnectionId);
        }
    }
}

void cUDPConnection::Close(bool lostComms)
{
    if (mClosing.exchange(true))
    {
        return;
    }
    mLostComms = lostComms;
    mSocket.disconnect(this);
    if (mSocket.isOpen())
    {
        mSocket.close();
    }
}

void cUDPConnection::Transmit()
{
    std::unique_lock<std::mutex> lock = LockQueue();
    BeginTransmit();
    const quint16 port = mRemotePort.load();
    QByteArray frame;
    while (DequeueFrame(frame))
    {
        const qint64 result = mSocket.writeDatagram(frame, mPeer, port);
        if (result != frame.size())
        {
            const QAbstractSocket::SocketError error = mSocket.error();
            if (error != QAbstractSocket::NetworkError && error != QAbstractSocket::TemporaryError)
            {
                KV_REPORT_ERROR("Error writing datagram %ld %lu %d", long(result),
                                static_cast<unsigned long>(frame.size()), int(error));
            }
        }
        CountSentFrame();
    }
}

void cUDPConnection::ReadPendingDatagrams()
{
    while (!mClosing.load() && mSocket.hasPendingDatagrams())
    {
        if (PauseReadingForRouterBacklog())
        {
            return;
        }
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 size = mSocket.readDatagram(reinterpret_cast<char*>(mDatagram.data()),
                                                 qint64(mDatagram.size()), &sender, &senderPort);
        if (size < 0)
        {
            return;
        }
        const UWORD remotePort = mRemotePort.load();
        if (remotePort == 0 || senderPort != remotePort || !SameIPv4(sender, mPeer))
        {
            continue;
        }
        MessageReceived(mDatagram.data(), ULONG(size));
    }
}

void cUDPConnection::UtilFrameReceived(UBYTE* data, UWORD length)
{
    UtilMessageReceived(data, length);
}

void cUDPConnection::UtilMessageReceived(UBYTE* data, UWORD length)
{
    if (cNetworkConnection* network = cNetworkConnection::ExistingInstance())
    {
        network->UtilityMessageReceived(data, int(length), mConnectionId);
    }
}
