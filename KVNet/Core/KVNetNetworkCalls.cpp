#include "KVNet/Core/KVNetNetworkCalls.h"

#include "KVNet/Core/cNetworkConnectionInterface.h"

#include <atomic>

namespace
{

std::atomic<cNetworkConnectionInterface*> gNetworkConnection{nullptr};

} // namespace

void SetNetworkConnectionInstance(cNetworkConnectionInterface* instance)
{
    gNetworkConnection.store(instance);
}

cNetworkConnectionInterface* GetNetworkConnection()
{
    return gNetworkConnection.load();
}

UBYTE NetworkGetNumberOfConnections()
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    return network != nullptr ? network->GetNumberOfConnections() : UBYTE(0);
}

void NetworkSendMessage(cKVNetMessage& message)
{
    if (cNetworkConnectionInterface* network = gNetworkConnection.load())
    {
        network->SendMessageOnTCP(message);
    }
}

void NetworkSendMessageUDP(cKVNetMessage& message)
{
    if (cNetworkConnectionInterface* network = gNetworkConnection.load())
    {
        network->SendMessageOnUDP(message);
    }
}

bool NetworkConnectionUsesV2(UWORD connectionId)
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    if (network == nullptr || connectionId == KV_NET_LOCAL_CONNECTION)
    {
        return false;
    }
    return network->ConnectionUsesV2(connectionId);
}

UWORD NetworkConnectToHost(const char* host)
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    if (network == nullptr || host == nullptr)
    {
        return KV_NET_NO_CONNECTION;
    }
    std::string name(host);
    UWORD id = network->FindConnectionByHost(name);
    if (id == KV_NET_NO_CONNECTION)
    {
        id = network->OutgoingRemoteConnection(name);
    }
    return id;
}

bool NetworkIsConnectedToHost(const char* host)
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    if (network == nullptr || host == nullptr)
    {
        return false;
    }
    return network->FindConnectionByHost(std::string(host)) != KV_NET_NO_CONNECTION;
}

std::string NetworkGetHostName(UWORD connectionId)
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    return network != nullptr ? network->GetConnectionHostName(connectionId) : std::string();
}

bool NetworkConnectionIsCurrent(UWORD connectionId, ULONG serial)
{
    cNetworkConnectionInterface* network = gNetworkConnection.load();
    return network != nullptr && network->IsConnectionCurrent(connectionId, serial);
}
