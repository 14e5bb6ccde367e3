#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cKVNetMessageQueue.h"
#include "KVNet/Core/cNetHandleRing.h"
#include "KVNet/Core/cNetObjectHashMap.h"
#include "KVNet/Core/cNetObjectScanList.h"
#include "KVNet/Core/cRegistryLock.h"

#include <atomic>
#include <mutex>
#include <string>

class cKVNetMessagePool;
class cNetObject;

// The framework's one registry (reached through gRegistryRouter). Gives every net object a
// handle (1 to 45000, at most 44,999 out at once) and remembers its unique name; buffers every
// local message posted and delivers the buffer one message at a time on the syscall thread;
// answers messages to handle 0 (tick and tock scans, finds by name, "Messpools.txt").
//
// Locks: the registry lock (recursive) guards registration, lookups, the tick and tock lists,
// connection removal and every delivery. The buffer lock guards the buffer and the pools; it
// is never held while a message is delivered, and nothing else is locked under it, so posting
// from a handler never waits on a delivery.
class cRegistryRouter
{
public:
    static constexpr ULONG MAX_HANDLES = cNetHandleRing::SIZE;
    static constexpr ULONG MAX_NAME_LENGTH = 63;

    cRegistryRouter();
    // Gives every still-buffered message back to the pools; deletes no net object.
    virtual ~cRegistryRouter();
    cRegistryRouter(const cRegistryRouter&) = delete;
    cRegistryRouter& operator=(const cRegistryRouter&) = delete;

    // --- Registry: any thread, under the registry lock. ---
    KV_NET_DATA_SCALE TakeHandle();
    void ReleaseHandle(KV_NET_DATA_SCALE handle);
    // Gives the object a handle and its name a slot. Reports and returns false (the object
    // stays unregistered) for a null name, a name longer than 63, a full registry or a name
    // already registered (the first object keeps it).
    bool RegisterNetworkObject(cNetObject* object, const char* name);
    // Takes the object out of the tick and tock lists and, when it holds a handle, out of the
    // registry. Does not change the object.
    void UnregisterNetworkObject(cNetObject* object);
    // The name slot of handles 1 to 45000; other values report "Invalid Handle %d" (null).
    const char* GetObjectName(KV_NET_DATA_SCALE handle);
    // 0xFFFF when no object has that name.
    KV_NET_DATA_SCALE FindHandleByName(const char* name);
    // The object of a handle, or null; the caller holds the registry lock while using it.
    cNetObject* GetObject(KV_NET_DATA_SCALE handle);
    void AddToTickList(cNetObject* object);
    void AddToTockList(cNetObject* object);
    bool IsInTickList(const cNetObject* object);
    bool IsInTockList(const cNetObject* object);
    // RemoveConnectionLinks (connectionId, flag) of every registered object, in handle order;
    // then the connection holds no links and its next refusal is reported again.
    void RemoveConnection(UWORD connectionId, bool flag);
    ULONG GetNumberOfObjects();
    ULONG GetNameMapBucketCount();

    // --- Links held by connections: under the registry lock, as the net objects' lists. ---
    // The most inform-list and delete-list entries one connection may hold on all objects: room
    // for LINK_ROOM links to every parameter of every registered object and for LINK_ROOM
    // delete-list entries on each object, and never less than MAX_LINKS_PER_CONNECTION. It
    // follows the registry.
    static constexpr ULONG MAX_LINKS_PER_CONNECTION = 1024;
    static constexpr ULONG LINK_ROOM = 2;
    ULONG GetLinkBoundPerConnection();
    // Parameters of all registered objects.
    ULONG GetNumberOfRegisteredParameters();
    // Entries of connection 1 to 20 on all objects; 0 for any other id (not counted).
    ULONG GetLinksHeldByConnection(UWORD connectionId);
    // A net object made (added) or dropped an entry of that connection.
    void CountLinkHeldByConnection(UWORD connectionId, bool added);
    // True for the first refused link of a connection (until RemoveConnection): only that one is
    // reported.
    bool TakeLinkRefusalReport(UWORD connectionId);

    // --- Buffer: any thread, under the buffer lock. ---
    // Copy into a pooled message at the back (or the front) of the buffer. Without a pooled
    // message the message is dropped and reported once ("Message Pools Full, ...").
    void AddMessageToMessageBuffer(const cKVNetMessage& message);
    void AddMessageToStartOfMessageBuffer(const cKVNetMessage& message);
    // The same, then wake the syscall thread.
    void AddMessage(const cKVNetMessage& message);
    void AddMessageAtStart(const cKVNetMessage& message);
    // Lock-free: a mirror of the buffer's count, kept under the buffer lock.
    ULONG GetMessageBufferCount() const { return mBufferedCount.load(); }
    // Lock-free: messages and payload bytes from connection 1 to 20 waiting in the buffer (0 for
    // any other id). The connection layer stops reading from a peer whose backlog is too large.
    void GetBufferedFromConnection(UWORD connectionId, ULONG& messages, ULONG& bytes) const;

    // --- Delivery: the syscall thread (or a test pump standing in for it). ---
    // Delivers front first while running is set and the buffer is not empty; messages posted
    // meanwhile are delivered in the same call.
    void ProcessMessageBuffer();
    // The same, stopping after maxMessages deliveries; returns the number delivered.
    ULONG ProcessMessageBuffer(ULONG maxMessages);
    // Under the registry lock: to the router for destination 0, to the object of 1 to 45000;
    // other destinations and free handles are dropped silently. A message of a connection that has
    // ended (its mConnectionSerial no longer names the connection of its id) is dropped when it is
    // for the router or carries a framework method (0 to 255: links, delete-list notices, finds,
    // replies, requests answered to the sender), which would outlive the connection or reach the
    // next one of its id; an object or parameter method (256 and up) is delivered with the
    // connection id 0xFFFF (none) and serial 0, so that the peer's last changes are carried out,
    // in order, and nothing sent back to the sender reaches a connection.
    void DeliverMessage(cKVNetMessage& message);
    void SetRunning(bool running) { mRunning.store(running); }
    bool IsRunning() const { return mRunning.load(); }

    void LockRegistry() { mRegistryLock.lock(); }
    void UnlockRegistry() { mRegistryLock.unlock(); }
    // Not blocking; true when the lock was taken (always for the thread that holds it).
    bool TryLockRegistry() { return mRegistryLock.try_lock(); }
    // Whether the calling thread holds the registry lock.
    bool IsRegistryLockedByThisThread() const { return mRegistryLock.HeldByThisThread() > 0; }

    // Messages to handle 0. Syscall thread, under the registry lock. From a connection (a
    // connection id other than 0) the tick, tock and pool-print methods are reported and
    // dropped, and a find by "host/object" is answered M_REPLY_FAIL without dialling out. A
    // local find by "host/object" lets go of the registry lock while it waits for a connect
    // attempt; held more than once by the caller, it only uses a connection that exists.
    void EntrypointMessage(cKVNetMessage& message);
    // Appends the buffered messages to "Messpools.txt" in the working directory.
    void PrintMesspools();

protected:
    // A pooled message for that length, or null. Called under the buffer lock.
    virtual cKVNetMessage* GetPooledMessage(KV_NET_DATA_SCALE length);

private:
    struct sHeader
    {
        UWORD mConnectionId;
        UWORD mDestination;
        UWORD mSource;
        UWORD mMethod;
        UWORD mLength;
    };

    void Buffer(const cKVNetMessage& message, bool atFront);
    void ReportPoolsFull(const sHeader& header);
    const char* RegisteredName(KV_NET_DATA_SCALE handle) const;
    void FindObject(cKVNetMessage& request);
    UWORD ConnectToHostForFind(const std::string& host);
    void CountBuffered(const cKVNetMessage& message, bool added);

    // Highest connection id counted per connection (buffered messages, links held).
    static constexpr UWORD MAX_COUNTED_CONNECTION = 20;
    static bool IsCountedConnection(UWORD id)
    {
        return id != KV_NET_LOCAL_CONNECTION && id <= MAX_COUNTED_CONNECTION;
    }

    cRegistryLock mRegistryLock;
    std::mutex mBufferLock;
    cNetObjectHashMap mNameMap;
    char (*mNames)[MAX_NAME_LENGTH + 1];
    cNetObject** mObjects;
    cNetHandleRing mHandles;
    ULONG mNumberOfObjects = 0;
    ULONG mNumberOfParameters = 0;
    cNetObjectScanList mTickList;
    cNetObjectScanList mTockList;
    cKVNetMessage mReplyMessage;
    cKVNetMessageQueue mBuffer;
    std::atomic<ULONG> mBufferedCount{0};
    std::atomic<ULONG> mBufferedFromConnection[MAX_COUNTED_CONNECTION + 1] = {};
    std::atomic<ULONG> mBufferedBytesFromConnection[MAX_COUNTED_CONNECTION + 1] = {};
    ULONG mLinksHeldByConnection[MAX_COUNTED_CONNECTION + 1] = {};
    bool mLinkRefusalReported[MAX_COUNTED_CONNECTION + 1] = {};
    cKVNetMessagePool* mPools;
    std::atomic<bool> mRunning{true};
    bool mPoolsFullReported = false;
};
