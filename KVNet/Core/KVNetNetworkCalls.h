#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <string>

class cKVNetMessage;
class cNetworkConnectionInterface;

// The framework's only way to other units. Each call forwards to the network-call pointer;
// while it is null every call answers its none value, so the framework runs locally without
// the connection layer. Callable from any thread; see cNetworkConnectionInterface for locks.

// Stores the network-call pointer (null clears it). The connection layer sets it when it
// creates its singleton and clears it before deleting it; written on the main thread only.
void SetNetworkConnectionInstance(cNetworkConnectionInterface* instance);
// The current network-call pointer, or null. Never creates the connection layer: system start
// does that through its starter (SetNetworkConnectionStarter, KVNetSystem.h).
cNetworkConnectionInterface* GetNetworkConnection();

// 0 without an instance, else the number of connections in use.
UBYTE NetworkGetNumberOfConnections();
// Nothing without an instance, else the message goes out on the TCP link of its connection id.
void NetworkSendMessage(cKVNetMessage& message);
// The same on the connection's UDP link.
void NetworkSendMessageUDP(cKVNetMessage& message);
// False without an instance and for id 0; else whether that connection's peer uses V2 frames.
bool NetworkConnectionUsesV2(UWORD connectionId);
// 0xFFFF without an instance; else the id of the connection to host, opening an outgoing one
// (and blocking the caller during the attempt) when there is none; 0xFFFF when that fails.
UWORD NetworkConnectToHost(const char* host);
// False without an instance; else whether a connection to host exists.
bool NetworkIsConnectedToHost(const char* host);
// Empty without an instance or for a free id; else the host name of that connection.
std::string NetworkGetHostName(UWORD connectionId);
// False without an instance; else whether the connection of that serial still holds the id
// (cKVNetMessage::mConnectionSerial).
bool NetworkConnectionIsCurrent(UWORD connectionId, ULONG serial);
