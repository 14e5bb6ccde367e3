#pragma once

#include <QTcpServer>

// The framework's TCP server: listens on every IPv4 address, port 51321, from construction (a
// failed listen is not reported; the program then accepts no connections) and hands every
// accepted socket to the network connection, which serves it on a connection thread or closes
// it when no connection id is free.
//
// Threads: made, used and destroyed on the main thread.
class cKVNetTCPServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit cKVNetTCPServer(QObject* parent);

protected:
    void incomingConnection(qintptr socketDescriptor) override;
};
