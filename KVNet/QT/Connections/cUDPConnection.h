#pragma once

#include "KVNet/QT/Connections/cConnectionBaseQt.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <atomic>
#include <vector>

// The UDP link of a framework connection: carries messages posted through the UDP variant of
// posting and the heartbeat. Owns its socket, bound at construction to the requested local port
// (51324 + id on the server side, 0 on the client side); when that port is taken it falls back
// to a port the system chooses. Silent until the peer's UDP port is known (SetRemotePort);
// only datagrams from the peer's address and that port are read.
//
// Threads: lives on the connection's worker thread (readers, Transmit, Close run there);
// SendMessage and SendUtilMessage may be called from any thread (under the worker's UDP lock).
class cUDPConnection : public cConnectionBaseQt
{
    Q_OBJECT

public:
    // connectionSerial: see cConnectionBaseQt.
    cUDPConnection(UWORD connectionId, const QHostAddress& peer, quint16 localPort,
                   ULONG connectionSerial = 0);
    ~cUDPConnection() override;

    // Unless closing and only with a known remote port: queue the message (V2 when the
    // connection's peer uses V2) or the util payload. Otherwise dropped.
    void SendMessage(const cKVNetMessage& message);
    void SendUtilMessage(const UBYTE* data, UWORD length);
    // Worker thread. Stores the peer's port; with registerLostComms the connection is
    // registered with the lost-communication threads (through the network connection).
    void SetRemotePort(UWORD port, bool registerLostComms);
    UWORD GetRemotePort() const { return mRemotePort.load(); }
    // The port actually bound (0 when no bind worked).
    UWORD GetLocalPort() const { return mLocalPort; }
    // Worker thread, once: stops reading and closes the socket.
    void Close(bool lostComms);

    void UtilMessageReceived(UBYTE* data, UWORD length) override;
    void UtilFrameReceived(UBYTE* data, UWORD length) override;

public slots:
    void Transmit() override;
    void ReadPendingDatagrams();

protected:
    bool AcceptsReceivedMessages() const override { return !mClosing.load(); }
    void ResumeReading() override { ReadPendingDatagrams(); }

private:
    QUdpSocket mSocket;
    QHostAddress mPeer;
    UWORD mLocalPort = 0;
    std::atomic<UWORD> mRemotePort{0};
    std::atomic<bool> mClosing{false};
    bool mLostComms = false;
    std::vector<UBYTE> mDatagram;
};
