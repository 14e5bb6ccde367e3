#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cNetworkConnectionInterface.h"
#include "KVNet/QT/Connections/KVNetConnectionMetaTypes.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class cClientConnectionThreadController;
class cConnectionThreadControllerBase;
class cLostCommsReceiverController;
class cLostCommsSenderController;

// The process-wide owner of the framework's connections to other units (ids 1 to 20; 0 is the
// local system, 0xFFFF none). Opens outgoing connections on request, serves the sockets the TCP
// server accepts, owns the lost-communication sender and receiver, and takes a connection down
// when its thread announces the end or its heartbeat times out: every registered object then
// drops its links through that connection. It is the framework's network-call instance
// (KVNetNetworkCalls.h) from Instance until DeleteInstance.
//
// Threads: Instance creates and DeleteInstance deletes it on the main thread, where it lives;
// InitialiseLostComms and UninitialiseLostComms run there too. The send and lookup operations
// may be called from any thread. Locks, always in this order: the registry lock, the table lock
// (recursive), then the lost-comms lock; the pending lock is held alone. No wait for another
// thread happens under any of them: a connection that ends gives its id back only once its
// thread has finished (its controller is deleted on the main thread), so ids are never shared
// by two live connection threads.
//
// Every operation that takes an id acts only on ids 1 to 20 and one that takes an index only on
// 0 to 19; any other value changes nothing. Failures are reported through ReportError and the
// operation returns its none value.
//
// Serials: each connection gets a serial of its own when its id is taken (never 0, never the
// serial of an earlier connection). Its links stamp it on every message they receive, and it
// ends when the connection is taken down, in the same step that removes the connection's links
// under the registry lock: a message of the connection that is delivered after that makes no link
// and gets no answer, and a change it carries is carried out as no connection's
// (cRegistryRouter::DeliverMessage), so no link of an ended connection is made after its links
// were removed, and nothing of it reaches the next connection of the id.
class cNetworkConnection : public QObject, public cNetworkConnectionInterface
{
    Q_OBJECT

public:
    static constexpr UWORD MAX_CONNECTIONS = 20;
    static constexpr int DEFAULT_CONNECT_TIME_LIMIT_MS = 5000;
    static constexpr int DEFAULT_HELLO_TIME_LIMIT_MS = 10000;
    // DisconnectAll waits this long at most, in all, for the connections' farewells: with the
    // threads' ends the whole stop stays within a second.
    static constexpr int SHUTDOWN_FAREWELL_MS = 900;

    // The singleton, created on the first call from the main thread; null (reported) after
    // access was withdrawn or, while none exists, on another thread.
    static cNetworkConnection* Instance();
    // The singleton when it exists, else null; never creates or reports. Any thread.
    static cNetworkConnection* ExistingInstance();
    // Main thread: stops every connection and deletes the singleton (a later Instance call
    // creates a new one).
    static void DeleteInstance();
    static void SetAccessAllowed(bool allowed);
    // Closes a socket that no connection serves.
    static void CloseSocketDescriptor(qintptr socketDescriptor);

    // Main thread: create (each starting its thread) and delete the lost-comms threads.
    void InitialiseLostComms();
    void UninitialiseLostComms();
    cLostCommsSenderController* GetLostCommsSender();
    cLostCommsReceiverController* GetLostCommsReceiver();

    // Opens a client connection to host and blocks the caller until the attempt has ended (at
    // most the connect time limit); the id, or 0xFFFF. Refused (reported, 0xFFFF) while the
    // caller holds the registry lock: the registry router lets go of it around its host finds.
    UWORD OutgoingRemoteConnection(const std::string& host) override;
    // Main thread: serves an accepted socket on a server connection thread, or closes it when
    // every id is taken.
    void IncomingRemoteConnection(qintptr socketDescriptor);
    // The longest an outgoing connect attempt may take (5000 ms unless set).
    void SetConnectTimeLimit(int milliseconds) { mConnectTimeLimitMs.store(milliseconds); }
    // The longest an accepted connection may wait for the peer's HELLO before it is closed
    // (10000 ms unless set; more than 0); for the connections accepted from then on.
    void SetHelloTimeLimit(int milliseconds) { mHelloTimeLimitMs.store(milliseconds); }

    // The lowest free id, with a new serial; 0xFFFF (reported) when all are taken.
    UWORD AcquireNextAvaiableConnectionID();
    // Frees the slot of id; an id that is not in use is reported and changes nothing.
    void ReleaseConnectionID(UWORD id);
    void SetConnectionThreadAtIndex(cConnectionThreadControllerBase* controller, UWORD index);
    void SetPendingClientConnectionThread(cClientConnectionThreadController* controller);
    void AbortPendingConnectionAttempt();

    UWORD FindConnectionByHost(const std::string& host) override;
    QHostAddress GetHostAddress(const std::string& host);
    std::string GetConnectionHostName(UWORD connectionId) override;
    std::string GetConnectionDisplayName(UWORD connectionId);
    // Unlocked; valid only while the connection lives.
    cConnectionThreadControllerBase* GetConnectionThread(UWORD connectionId);
    UBYTE GetNumberOfConnections() override;
    bool ConnectionUsesV2(UWORD connectionId) override;
    // The serial of the connection that holds the id, 0 for a free id or one whose connection
    // has ended.
    ULONG GetConnectionSerial(UWORD connectionId);
    bool IsConnectionCurrent(UWORD connectionId, ULONG serial) override;

    void SendMessageOnTCP(cKVNetMessage& message) override;
    void SendMessageOnUDP(cKVNetMessage& message) override;
    void SendUtilMessageOnUDP(const UBYTE* data, UWORD length, UWORD connectionId);

    // A util payload from a UDP link (a connection's worker thread): the heartbeat (3) refreshes
    // the connection's time-to-live; anything else is reported.
    void UtilityMessageReceived(const UBYTE* data, int length, UWORD connectionId);
    // A UDP link learnt its peer's port: the lost-comms threads watch the connection.
    void NewUDPConnection(UWORD connectionId);
    // The lost-comms receiver's thread: the connection's time-to-live ran out; the whole
    // disconnect runs at once on the calling thread.
    void LostCommsDetected(UWORD connectionId);
    void DisconnectConnectionID(UWORD connectionId);
    void DisconnectFromHost(const std::string& host);
    // Main thread: stops every connection, waiting for each thread; no signal, no router notice.
    // The peers that read get the farewell; however they behave, the farewells end within
    // SHUTDOWN_FAREWELL_MS in all.
    void DisconnectAll();

signals:
    void LostComms(UWORD ConnectionId, std::string HostName);
    void ConnectionDisconnected(UWORD ConnectionId, std::string HostName, bool ErrorOccured,
                                QAbstractSocket::SocketError Error);
    // Serial names the connection that was in the slot when the disconnect was asked for, so a
    // late request never takes down a newer connection in the same slot.
    void CallDisconnectAtIndex(UWORD Index, bool LostComms, quint32 Serial);
    void NumberOfConnectionsChanged(UBYTE NumberOfConnections);
    void UnitLowTTLWarning(UWORD ConnectionId, bool Low);
    void DisconnectAtIndexRightNow(UWORD Index, bool LostComms, quint32 Serial);

public slots:
    void ConnectionThreadHasDisconnected(UWORD ConnectionID);
    void DisconnectAtIndex(UWORD Index, bool LostComms, quint32 Serial);

private:
    struct sRetiring
    {
        cConnectionThreadControllerBase* mController;
        UWORD mConnectionId;
    };

    cNetworkConnection();
    ~cNetworkConnection() override;

    static bool IsMainThread();
    bool IsValidId(UWORD connectionId) const { return connectionId >= 1 && connectionId <= MAX_CONNECTIONS; }
    void EmitConnectionClosed(UWORD connectionId);
    // Quits the controller's thread; once that has deleted its worker the controller is deleted
    // on the main thread (which waits for the thread's end) and its id released. No lock held.
    void Retire(cConnectionThreadControllerBase* controller, UWORD connectionId);
    void FinishRetirement(cConnectionThreadControllerBase* controller);

    cConnectionThreadControllerBase* mTable[MAX_CONNECTIONS] = {};
    UBYTE mInUse[MAX_CONNECTIONS] = {};
    ULONG mSerials[MAX_CONNECTIONS] = {};
    ULONG mLastSerial = 0;
    std::vector<sRetiring> mRetiring;
    cLostCommsSenderController* mLostCommsSender = nullptr;
    cLostCommsReceiverController* mLostCommsReceiver = nullptr;
    std::mutex mLostCommsMutex;
    std::recursive_mutex mTableMutex;
    UBYTE mNumberOfConnections = 0;
    std::mutex mPendingMutex;
    cClientConnectionThreadController* mPendingClient = nullptr;
    std::atomic<int> mConnectTimeLimitMs{DEFAULT_CONNECT_TIME_LIMIT_MS};
    std::atomic<int> mHelloTimeLimitMs{DEFAULT_HELLO_TIME_LIMIT_MS};
};
