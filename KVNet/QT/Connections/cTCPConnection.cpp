#include "KVNet/QT/Connections/cTCPConnection.h"

#include "KVNet/Core/KVNetFrames.h"
#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>

cTCPConnection::cTCPConnection(QTcpSocket* socket, UWORD connectionId, ULONG connectionSerial)
    : cConnectionBaseQt(connectionId, connectionSerial)
    , mSocket(socket)
    , mPeerAddress(socket->peerAddress())
{
    mSocket->setReadBufferSize(READ_BUFFER_BYTES);
    connect(mSocket, &QTcpSocket::readyRead, this, &cTCPConnection::Receive);
    connect(mSocket, &QTcpSocket::disconnected, this, &cTCPConnection::PeerClosed);
    connect(mSocket, &QTcpSocket::bytesWritten, this,
            [this]
            {
                if (mSocket->bytesToWrite() < MAX_SOCKET_BACKLOG && GetQueuedFrames() > 0)
                {
                    Transmit();
                }
            });
}

cTCPConnection::~cTCPConnection()
{
    mSocket->disconnect(this);
}

void cTCPConnection::SendMessage(const cKVNetMessage& message)
{
    if (!mClosed.load())
    {
        EnqueueMessage(message, mPeerUsesV2.load());
    }
}

void cTCPConnection::SendUtilMessage(const UBYTE* data, UWORD length)
{
    if (!mClosed.load())
    {
        EnqueueUtilMessage(data, length);
    }
}

void cTCPConnection::SendHello(UWORD udpPort)
{
    UBYTE payload[nKVNetUtil::HELLO_LENGTH];
    WriteHelloPayload(nKVNetUtil::HELLO, udpPort, payload);
    SendUtilMessage(payload, sizeof payload);
}

void cTCPConnection::SendHelloAck(UWORD udpPort)
{
    UBYTE payload[nKVNetUtil::HELLO_LENGTH];
    WriteHelloPayload(nKVNetUtil::HELLO_ACK, udpPort, payload);
    SendUtilMessage(payload, sizeof payload);
}

void cTCPConnection::SendUtilType4()
{
    const UBYTE payload[4] = {nKVNetUtil::TYPE_4, nKVNetUtil::PROTOCOL_VERSION, 0, 0};
    SendUtilMessage(payload, sizeof payload);
}

void cTCPConnection::SendUtilType5()
{
    const UBYTE payload[4] = {nKVNetUtil::USES_V2, nKVNetUtil::PROTOCOL_VERSION, 0, 0};
    SendUtilMessage(payload, sizeof payload);
}

void cTCPConnection::Transmit()
{
    std::unique_lock<std::mutex> lock = LockQueue();
    BeginTransmit();
    if (mTransmitStopped.load() || !mSocket->isOpen())
    {
        return;
    }
    QByteArray frame;
    while (mSocket->bytesToWrite() < MAX_SOCKET_BACKLOG && DequeueFrame(frame))
    {
        qint64 written = 0;
        while (written < frame.size())
        {
            const qint64 result = mSocket->write(frame.constData() + written, frame.size() - written);
            if (result <= 0)
            {
                // The frame is dropped; the rest stays queued for the next Send.
                KV_REPORT_ERROR("TCP write failed on connection %d: %s", int(mConnectionId),
                                mSocket->errorString().toLocal8Bit().constData());
                return;
            }
            written += result;
        }
        CountSentFrame();
    }
}

void cTCPConnection::Receive()
{
    UBYTE chunk[READ_CHUNK];
    while (AcceptsReceivedMessages())
    {
        if (PauseReadingForRouterBacklog())
        {
            return;
        }
        const qint64 count = mSocket->read(reinterpret_cast<char*>(chunk), READ_CHUNK);
        if (count <= 0)
        {
            return;
        }
        MessageReceived(chunk, ULONG(count));
    }
}

void cTCPConnection::PeerClosed()
{
    // What the peer sent before it left waits in the socket's read buffer (the end is seen only
    // once the buffer holds all that came before it): taken whole, past the router backlog.
    UBYTE chunk[READ_CHUNK];
    while (AcceptsReceivedMessages())
    {
        const qint64 count = mSocket->read(reinterpret_cast<char*>(chunk), READ_CHUNK);
        if (count <= 0)
        {
            break;
        }
        MessageReceived(chunk, ULONG(count));
    }
    emit TCPConnectionDisconnected();
}

bool cTCPConnection::AcceptsReceivedMessages() const
{
    return !mByeReceived.load() && !mDisconnectStarted.load();
}

void cTCPConnection::UtilFrameReceived(UBYTE* data, UWORD length)
{
    if (IsFarewell(data, length))
    {
        mByeReceived.store(true);
        if (!mClosed.load())
        {
            Disconnect(false);
        }
        return;
    }
    if (!AcceptsReceivedMessages())
    {
        return;
    }
    UtilMessageReceived(data, length);
}

void cTCPConnection::UtilMessageReceived(UBYTE* data, UWORD length)
{
    UBYTE version = 0;
    UWORD port = 0;
    switch (data[0])
    {
    case nKVNetUtil::HELLO:
        if (!ReadHelloPayload(data, length, version, port))
        {
            KV_REPORT_ERROR("HELLO of %d bytes on connection %d ignored", int(length), int(mConnectionId));
        }
        else if (version != nKVNetUtil::PROTOCOL_VERSION)
        {
            KV_REPORT_TRACE("Connection attempted from unit using protocol version %d, no UDP connection "
                            "established",
                            int(version));
        }
        else
        {
            emit HelloReceived(port);
        }
        break;
    case nKVNetUtil::HELLO_ACK:
        if (!ReadHelloPayload(data, length, version, port))
        {
            KV_REPORT_ERROR("HELLO ACK of %d bytes on connection %d ignored", int(length),
                            int(mConnectionId));
        }
        else if (version != nKVNetUtil::PROTOCOL_VERSION)
        {
            KV_REPORT_ERROR("CONNECTION HELLO received with version: %d", int(version));
        }
        else
        {
            emit HelloAckReceived(port);
        }
        break;
    case nKVNetUtil::USES_V2:
        mPeerUsesV2.store(true);
        break;
    default:
        break;
    }
}

void cTCPConnection::Disconnect(bool immediate)
{
    if (mDisconnectStarted.exchange(true))
    {
        return;
    }
    if (!immediate)
    {
        if (mSocket->state() == QAbstractSocket::ConnectedState)
        {
            Transmit();
            UBYTE frame[nKVNetUtil::FAREWELL_LENGTH + nKVNetFrame::UTIL_OVERHEAD];
            const ULONG size = BuildUtilFrame(nKVNetUtil::FAREWELL, nKVNetUtil::FAREWELL_LENGTH, frame);
            mSocket->write(reinterpret_cast<const char*>(frame), qint64(size));
            QElapsedTimer waited;
            waited.start();
            while (mSocket->bytesToWrite() > 0 && mSocket->state() == QAbstractSocket::ConnectedState)
            {
                qint64 left = FAREWELL_WAIT_MS - waited.elapsed();
                if (mFarewellDeadline != nullptr)
                {
                    left = std::min(left, mFarewellDeadline->load() - QDeadlineTimer::current().deadline());
                }
                if (left <= 0)
                {
                    break;
                }
                // Written as the peer takes it, looking at the deadline in between (a deadline
                // brought forward meanwhile ends the wait); a failed write closes the socket.
                if (!mSocket->flush())
                {
                    QThread::msleep(ULONG(std::min<qint64>(left, FAREWELL_SLICE_MS)));
                }
            }
        }
        mClosed.store(true);
    }
    else if (mSocket->isOpen())
    {
        mClosed.store(true);
        mSocket->close();
    }
    mDisconnected.store(true);
    emit TCPConnectionDisconnected();
}
