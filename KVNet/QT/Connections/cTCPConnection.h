#pragma once

#include "KVNet/QT/Connections/cConnectionBaseQt.h"

#include <QHostAddress>

#include <atomic>
#include <memory>

class QTcpSocket;

// The TCP link of a framework connection: carries the hello exchange, the farewell "BYE" and
// every message posted normally. Does not own the socket (its worker does).
//
// Threads: lives on the connection's worker thread with its socket; Receive, Transmit and
// Disconnect run there. SendMessage and the Send... operations may be called from any thread
// (under the worker's TCP lock).
//
// Bounds: the socket's read buffer is capped (READ_BUFFER_BYTES), so a peer that sends faster
// than the router takes its messages is held back by TCP itself; Transmit leaves frames queued
// while the socket holds more than MAX_SOCKET_BACKLOG unsent bytes and goes on when it has
// written them. When the peer closes (or resets) the connection, what it sent before and is
// still unread (at most the read buffer) is read whole, whatever the router holds, before
// TCPConnectionDisconnected: a peer's last messages are never lost to a paused reading.
class cTCPConnection : public cConnectionBaseQt
{
    Q_OBJECT

public:
    static constexpr qint64 READ_BUFFER_BYTES = 64 * 1024;
    static constexpr qint64 MAX_SOCKET_BACKLOG = 256 * 1024;
    static constexpr int READ_CHUNK = 256;
    static constexpr int FAREWELL_WAIT_MS = 30000;
    // While the farewell waits, the socket is tried this often.
    static constexpr int FAREWELL_SLICE_MS = 10;

    // connectionSerial: see cConnectionBaseQt.
    cTCPConnection(QTcpSocket* socket, UWORD connectionId, ULONG connectionSerial = 0);
    ~cTCPConnection() override;

    // Unless closed: queue the message as a V2 frame when the peer announced V2, else V1.
    void SendMessage(const cKVNetMessage& message);
    // Unless closed: queue a util payload.
    void SendUtilMessage(const UBYTE* data, UWORD length);
    void SendHello(UWORD udpPort);
    void SendHelloAck(UWORD udpPort);
    void SendUtilType4();
    void SendUtilType5();
    // Worker thread, once per link. Graceful (immediate false): what is queued goes out, then
    // "BYE" is written straight to a connected socket, waiting up to 30 s for it to be written
    // and never past the farewell deadline; immediate: the socket is closed without the
    // farewell. Either way TCPConnectionDisconnected is emitted.
    void Disconnect(bool immediate);
    // Worker thread, before the link is used: the latest time (a QDeadlineTimer::deadline()
    // value) to which a farewell may wait. Another thread may bring it forward at any time, a
    // wait in progress included (the connection layer's shutdown does). None by default.
    void SetFarewellDeadline(std::shared_ptr<const std::atomic<qint64>> deadline)
    {
        mFarewellDeadline = std::move(deadline);
    }
    // Nothing more is written (a socket error was seen).
    void StopTransmit() { mTransmitStopped.store(true); }

    bool PeerUsesV2() const { return mPeerUsesV2.load(); }
    QHostAddress GetPeerAddress() const { return mPeerAddress; }
    bool IsByeReceived() const { return mByeReceived.load(); }
    bool IsDisconnected() const { return mDisconnected.load(); }

    void UtilMessageReceived(UBYTE* data, UWORD length) override;
    void UtilFrameReceived(UBYTE* data, UWORD length) override;

signals:
    void SignalByeSent();
    void TCPConnectionDisconnected();
    void HelloReceived(quint16 RemoteUDPPort);
    void HelloAckReceived(quint16 RemoteUDPPort);

public slots:
    void Transmit() override;
    void Receive();

protected:
    bool AcceptsReceivedMessages() const override;
    void ResumeReading() override { Receive(); }

private slots:
    // The socket's end: reads what is left, then TCPConnectionDisconnected.
    void PeerClosed();

private:
    QTcpSocket* mSocket;
    QHostAddress mPeerAddress;
    std::atomic<bool> mClosed{false};
    std::atomic<bool> mByeReceived{false};
    std::atomic<bool> mTransmitStopped{false};
    std::atomic<bool> mPeerUsesV2{false};
    std::atomic<bool> mDisconnectStarted{false};
    std::atomic<bool> mDisconnected{false};
    std::shared_ptr<const std::atomic<qint64>> mFarewellDeadline;
};
