#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <string>

class cKVNetMessage;

// What the framework needs from the connection layer; the network connection singleton
// implements it and hands itself to SetNetworkConnectionInstance (KVNetNetworkCalls.h).
// Connection ids: 1 to 20 are connections, 0 is the local system, 0xFFFF is none.
//
// Every operation may be called from any thread (mostly the syscall thread, also the GUI
// thread) and takes the implementation's own locks; callers may hold the registry lock, so an
// implementation must never take the registry lock after one of its own locks.
class cNetworkConnectionInterface
{
public:
    virtual ~cNetworkConnectionInterface() = default;

    // Number of connection ids in use.
    virtual UBYTE GetNumberOfConnections() = 0;
    // Copies the message into a frame on the TCP (or UDP) link of its mConnectionId; an id
    // without a connection drops it. The caller keeps its message.
    virtual void SendMessageOnTCP(cKVNetMessage& message) = 0;
    virtual void SendMessageOnUDP(cKVNetMessage& message) = 0;
    // Whether the peer of that connection uses frame version 2; false for 0 and for free ids.
    virtual bool ConnectionUsesV2(UWORD connectionId) = 0;
    // Id of the connection whose host name equals host byte for byte, else 0xFFFF.
    virtual UWORD FindConnectionByHost(const std::string& host) = 0;
    // Opens an outgoing connection and blocks the caller until the attempt has ended; the new
    // id, or 0xFFFF when it failed.
    virtual UWORD OutgoingRemoteConnection(const std::string& host) = 0;
    // Host name of the connection; empty for a free id.
    virtual std::string GetConnectionHostName(UWORD connectionId) = 0;
    // Whether serial names the connection that holds connectionId now. False once that
    // connection has ended (even while its id is not yet given out again) and for serial 0.
    virtual bool IsConnectionCurrent(UWORD connectionId, ULONG serial) = 0;
};
