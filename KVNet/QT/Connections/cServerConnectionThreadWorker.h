#pragma once

#include "KVNet/QT/Connections/cConnectionThreadWorkerBase.h"

#include <QTcpSocket>

class QTimer;

// The worker of an accepted framework connection: adopts the socket the TCP server accepted;
// on the peer's HELLO (protocol 3) it makes the UDP link on 51324 + id (or a port the system
// chooses), gives it the peer's port and answers HELLO ACK with its own. A repeated HELLO closes
// the UDP link made for the earlier one before making the new one.
//
// A peer that has sent no HELLO of protocol 3 within the hello time limit is reported once
// ("No HELLO from ...") and its connection closed at once (no farewell), so that silent peers
// cannot hold every connection id.
//
// Threads: everything but GetDisplayName and the base's forwarding operations on the worker's
// thread.
class cServerConnectionThreadWorker : public cConnectionThreadWorkerBase
{
    Q_OBJECT

public:
    cServerConnectionThreadWorker(UWORD connectionId, qintptr socketDescriptor, ULONG connectionSerial,
                                  int helloTimeLimitMs);
    ~cServerConnectionThreadWorker() override;

    // The peer address followed by " - Server Side". Any thread.
    std::string GetDisplayName() const override;

signals:
    void error(QTcpSocket::SocketError socketError);

public slots:
    void InitOnThread() override;
    void RemoteUDPPortReceived(quint16 UDPPort);
    void TCPSocketError(QAbstractSocket::SocketError SocketError);

private:
    void HelloTimedOut();

    const qintptr mSocketDescriptor;
    const int mHelloTimeLimitMs;
    QTimer* mHelloTimer = nullptr;
    // Under the base's host-name lock, set with the host name.
    std::string mName;
    QTcpSocket* mSocket = nullptr;
};
