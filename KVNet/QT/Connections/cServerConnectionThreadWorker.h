#pragma once

#include "KVNet/QT/Connections/cConnectionThreadWorkerBase.h"

#include <QTcpSocket>

// The worker of an accepted framework connection: adopts the socket the TCP server accepted;
// on the peer's HELLO (protocol 3) it makes the UDP link on 51324 + id (or a port the system
// chooses), gives it the peer's port and answers HELLO ACK with its own. A repeated HELLO closes
// the UDP link made for the earlier one before making the new one.
//
// Threads: everything but GetDisplayName and the base's forwarding operations on the worker's
// thread.
class cServerConnectionThreadWorker : public cConnectionThreadWorkerBase
{
    Q_OBJECT

public:
    cServerConnectionThreadWorker(UWORD connectionId, qintptr socketDescriptor);
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
    const qintptr mSocketDescriptor;
    std::string mName;
    mutable std::mutex mNameMutex;
    QTcpSocket* mSocket = nullptr;
};
