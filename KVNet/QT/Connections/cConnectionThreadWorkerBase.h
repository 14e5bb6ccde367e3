#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadWorker.h"

#include <QAbstractSocket>
#include <QHostAddress>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class cKVNetMessage;
class cTCPConnection;
class cUDPConnection;

// The worker of one framework connection: lives on the connection's thread and owns its TCP and
// UDP links. Announces the end of the connection once, by ConnectionThreadDisconnected, however
// many of its causes fire.
//
// Threads: the links are made, used for reading and deleted on the worker's thread. The
// forwarding operations (send, host name, peer address, error, lost-comms flag) are called from
// other threads; each takes the one lock of what it touches, and no two are held together
// except that a UDP send may ask the TCP link's V2 flag (UDP lock, then TCP lock). What is set
// together is guarded together, so that no reader sees half of it: the host name with the
// names shown with it (host-name lock), the error flag with the socket error (error lock).
class cConnectionThreadWorkerBase : public cThreadWorker
{
    Q_OBJECT

public:
    // connectionSerial: what the network connection calls this connection; its links stamp it
    // on every message they receive.
    cConnectionThreadWorkerBase(UWORD connectionId, ULONG connectionSerial, const std::string& hostName);
    ~cConnectionThreadWorkerBase() override;

    UWORD GetConnectionId() const { return mConnectionId; }
    ULONG GetConnectionSerial() const { return mConnectionSerial; }
    // The peer's UDP port, once known, no longer registers the connection with the lost-comms
    // threads.
    void ClearLostCommsRegistration();
    // Hand a message or util payload to the link when there is one; else dropped.
    void SendTCP(const cKVNetMessage& message);
    void SendUDP(const cKVNetMessage& message);
    void SendUtilUDP(const UBYTE* data, UWORD length);
    // A copy of the host name.
    std::string GetHostName() const;
    // The host name (client) or the peer address with " - Server Side" (server).
    virtual std::string GetDisplayName() const;
    // The TCP link's peer address; null without a link.
    QHostAddress GetPeerAddress() const;
    // Set when the heartbeat timed out: the links then close at once, without the farewell.
    void SetLostComms(bool lostComms);
    bool GetLostComms() const;
    UWORD GetErrorOccured() const;
    QAbstractSocket::SocketError GetSocketError() const;
    // Both together, as one step set them.
    void GetError(UWORD& errorOccured, QAbstractSocket::SocketError& socketError) const;
    // Whether the peer announced V2 frames; false without a TCP link.
    bool UsesV2() const;
    // The latest time (a QDeadlineTimer::deadline() value) to which the TCP link's farewell may
    // wait; none at first. Shared, so that the controller can bring it forward even while the
    // worker is being deleted. Set once at construction.
    std::shared_ptr<std::atomic<qint64>> FarewellDeadline() const { return mFarewellDeadline; }

signals:
    void CreateUDPConnectionSignal();
    void ConnectionThreadDisconnected(UWORD ConnectionID);
    void CallDisconnectedSignal();

public slots:
    // Worker thread: announces the end once.
    void CallDisconnectedSlot();

protected:
    // Worker thread. The Set operations take ownership; Delete closes the link (Disconnect or
    // Close with the lost-comms flag) and frees it.
    void SetTCPConnection(cTCPConnection* link);
    void DeleteTCPConnection(bool lostComms);
    void SetUDPConnection(cUDPConnection* link);
    void DeleteUDPConnection(bool lostComms);
    // Worker thread only: the links without locking (only this thread replaces them).
    cTCPConnection* TCPLink() const { return mTCPConnection; }
    cUDPConnection* UDPLink() const { return mUDPConnection; }

    bool GetLostCommsRegistration() const;
    void SetHostName(const std::string& hostName);
    // The host-name lock also guards what a subclass shows with the host name (the server's own
    // name), so that a reader never sees one of them changed without the other. The Locked
    // setter is for a caller that holds it.
    std::mutex& HostNameMutex() const { return mHostNameMutex; }
    void SetHostNameLocked(const std::string& hostName) { mHostName = hostName; }
    void SetErrorOccured();
    // The error that ended the connection; sets the error flag with it, under the same lock.
    void SetSocketError(QAbstractSocket::SocketError error);
    // Worker thread: closes both links, as the end of the thread does.
    void CloseLinks();

private:
    const UWORD mConnectionId;
    const ULONG mConnectionSerial;
    const std::shared_ptr<std::atomic<qint64>> mFarewellDeadline;
    bool mLostComms = false;
    mutable std::mutex mLostCommsMutex;
    bool mDisconnectAnnounced = false;
    bool mLostCommsRegistration = true;
    mutable std::mutex mRegistrationMutex;
    std::string mHostName;
    mutable std::mutex mHostNameMutex;
    cTCPConnection* mTCPConnection = nullptr;
    mutable std::mutex mTCPMutex;
    cUDPConnection* mUDPConnection = nullptr;
    mutable std::mutex mUDPMutex;
    // Both under the error lock.
    UWORD mErrorOccured = 0;
    QAbstractSocket::SocketError mSocketError = QAbstractSocket::UnknownSocketError;
    mutable std::mutex mErrorMutex;
};
