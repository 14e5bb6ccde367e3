#include "tests/support/cFakeNetworkConnection.h"

#include "KVNet/Core/KVNetNetworkCalls.h"

cFakeNetworkConnection::cFakeNetworkConnection()
{
    SetNetworkConnectionInstance(this);
}

cFakeNetworkConnection::~cFakeNetworkConnection()
{
    SetNetworkConnectionInstance(nullptr);
}

void cFakeNetworkConnection::AddConnection(UWORD connectionId, const std::string& host, bool usesV2,
                                           ULONG serial)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mConnections[connectionId] = sConnection{host, usesV2, serial};
}

void cFakeNetworkConnection::DropConnection(UWORD connectionId)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mConnections.erase(connectionId);
}

void cFakeNetworkConnection::SetOutgoingResult(UWORD connectionId, bool usesV2)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mOutgoingId = connectionId;
    mOutgoingV2 = usesV2;
}

std::vector<cKVNetMessage> cFakeNetworkConnection::SentOnTCP() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTcp;
}

std::vector<cKVNetMessage> cFakeNetworkConnection::SentOnUDP() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mUdp;
}

int cFakeNetworkConnection::OutgoingAttempts() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mOutgoingAttempts;
}

void cFakeNetworkConnection::ClearSent()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mTcp.clear();
    mUdp.clear();
}

UBYTE cFakeNetworkConnection::GetNumberOfConnections()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return UBYTE(mConnections.size());
}

void cFakeNetworkConnection::SendMessageOnTCP(cKVNetMessage& message)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mTcp.push_back(message);
}

void cFakeNetworkConnection::SendMessageOnUDP(cKVNetMessage& message)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mUdp.push_back(message);
}

bool cFakeNetworkConnection::ConnectionUsesV2(UWORD connectionId)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mConnections.find(connectionId);
    return it != mConnections.end() && it->second.mUsesV2;
}

bool cFakeNetworkConnection::IsConnectionCurrent(UWORD connectionId, ULONG serial)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mConnections.find(connectionId);
    return serial != 0 && it != mConnections.end() &&
           (it->second.mSerial == 0 || it->second.mSerial == serial);
}

UWORD cFakeNetworkConnection::FindConnectionByHost(const std::string& host)
{
    std::lock_guard<std::mutex> lock(mMutex);
    for (const auto& entry : mConnections)
    {
        if (entry.second.mHost == host)
        {
            return entry.first;
        }
    }
    return 0xFFFF;
}

UWORD cFakeNetworkConnection::OutgoingRemoteConnection(const std::string& host)
{
    std::lock_guard<std::mutex> lock(mMutex);
    ++mOutgoingAttempts;
    if (mOutgoingId != 0xFFFF)
    {
        mConnections[mOutgoingId] = sConnection{host, mOutgoingV2, 0};
    }
    return mOutgoingId;
}

std::string cFakeNetworkConnection::GetConnectionHostName(UWORD connectionId)
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mConnections.find(connectionId);
    return it != mConnections.end() ? it->second.mHost : std::string();
}
