#pragma once

#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetworkConnectionInterface.h"

#include <mutex>

#include <map>
#include <string>
#include <vector>

// A connection layer for tests: a table of connections (id -> host, V2 flag, serial) set by the
// test, and a record of every message sent. Installs itself as the network-call pointer while it
// lives. An outgoing connection gets the id set by SetOutgoingResult (0xFFFF: the attempt
// fails) under the host asked for.
class cFakeNetworkConnection : public cNetworkConnectionInterface
{
public:
    cFakeNetworkConnection();
    ~cFakeNetworkConnection() override;

    // serial 0: the connection is current under any serial but 0; else only under that one.
    void AddConnection(UWORD connectionId, const std::string& host, bool usesV2 = false, ULONG serial = 0);
    void DropConnection(UWORD connectionId);
    void SetOutgoingResult(UWORD connectionId, bool usesV2 = false);

    std::vector<cKVNetMessage> SentOnTCP() const;
    std::vector<cKVNetMessage> SentOnUDP() const;
    int OutgoingAttempts() const;
    void ClearSent();

    UBYTE GetNumberOfConnections() override;
    void SendMessageOnTCP(cKVNetMessage& message) override;
    void SendMessageOnUDP(cKVNetMessage& message) override;
    bool ConnectionUsesV2(UWORD connectionId) override;
    UWORD FindConnectionByHost(const std::string& host) override;
    UWORD OutgoingRemoteConnection(const std::string& host) override;
    std::string GetConnectionHostName(UWORD connectionId) override;
    // A connection of the table is current under its serial (any but 0 when it has none).
    bool IsConnectionCurrent(UWORD connectionId, ULONG serial) override;

private:
    struct sConnection
    {
        std::string mHost;
        bool mUsesV2;
        ULONG mSerial;
    };

    mutable std::mutex mMutex;
    std::map<UWORD, sConnection> mConnections;
    UWORD mOutgoingId = 0xFFFF;
    bool mOutgoingV2 = false;
    int mOutgoingAttempts = 0;
    std::vector<cKVNetMessage> mTcp;
    std::vector<cKVNetMessage> mUdp;
};
