#include "KVNet/QT/Connections/cKVNetTCPServer.h"

#include "KVNet/QT/Connections/KVNetUtilMessages.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"

cKVNetTCPServer::cKVNetTCPServer(QObject* parent)
    : QTcpServer(parent)
{
    listen(QHostAddress::AnyIPv4, nKVNetUtil::TCP_PORT);
}

void cKVNetTCPServer::incomingConnection(qintptr socketDescriptor)
{
    // Only an existing network connection serves it: none is made anew after shutdown began.
    if (cNetworkConnection* network = cNetworkConnection::ExistingInstance())
    {
        network->IncomingRemoteConnection(socketDescriptor);
    }
    else
    {
        cNetworkConnection::CloseSocketDescriptor(socketDescriptor);
    }
}
