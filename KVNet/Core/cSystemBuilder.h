#pragma once

#include "KVNet/Core/cSeekObject.h"
#include "KVNet/Core/sParameterLinkingCommand.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

class cConnectionLossPolicy;

// Links parameters of objects named by text ("KVNet System Builder", reached through
// gSystemBuilder). Commands queue from any thread and are worked through strictly in order,
// one search at a time: find the source, find the destination, then send the inform-list
// messages (M_OBJECT_ADD_TO_INFORM_LIST or, for removals, M_OBJECT_REMOVE_FROM_INFORM_LIST) to
// the source and, for bidirectional commands, the reverse to the destination with sync byte 0.
// Frame-version-2 peers get the 32-bit forms.
//
// An object that is not found is reported once ("Can't find = ...") and sought again, at most
// once per action tick, until it registers; a removal whose object is missing, and any command
// with a completion callback, is given up after the first failure.
//
// Threads and locks: AddLinkCommandToList and ClearLinkList run on any thread; everything else
// on the syscall thread. The link-list lock (recursive) guards the queue, the state and the
// search; it is taken after the registry lock, never before it.
class cSystemBuilder : public cSeekObject
{
public:
    enum eSystemBuilderState
    {
        IDLE = 0,
        SEEKING_SOURCE = 1,
        SEEKING_DESTINATION = 2,
    };
    enum eSystemBuilderEvent
    {
        EVENT_FOUND = 0,
        EVENT_NOT_FOUND = 1,
        EVENT_NEXT_LINK = 2,
    };
    enum eSystemBuilderAction
    {
        ACTION_NONE = 0,
        ACTION_ERROR = 1,
        ACTION_FIND_SOURCE = 2,
        ACTION_SOURCE_FOUND = 3,
        ACTION_FIND_DESTINATION = 4,
        ACTION_MAKE_LINK = 5,
    };
    // Connection-loss policies: abandon the link in progress when it involves the lost
    // connection; clear the whole queue; any other value does nothing.
    static constexpr ULONG POLICY_ABANDON_LINK = 0;
    static constexpr ULONG POLICY_CLEAR_LIST = 1;

    // policyObject (not owned, may be null) overrides connectionLossPolicy when set.
    cSystemBuilder(const char* name, KV_NET_DATA_SCALE numberOfParameters, UWORD cacheSize,
                   ULONG connectionLossPolicy, cConnectionLossPolicy* policyObject);
    ~cSystemBuilder() override;

    // Queues a copy of the command with mBidirect = bidirect; starts the machine when idle.
    void AddLinkCommandToList(const sParameterLinkingCommand& command, bool bidirect);
    // Drops every queued command and returns to idle (messages already sent stay sent).
    void ClearLinkList();
    // Reports the paths, parameters and flags of the link in progress.
    void ReportCurrentLinkAsAnError();
    // The same without waiting: when another thread holds the link-list lock it reports that
    // the link is not available and returns false.
    bool TryReportCurrentLink();
    // Copies the link in progress; false when there is none.
    bool CopyCurrentLink(sParameterLinkingCommand& command);

    void ProcessEvent(eSystemBuilderEvent event, UWORD connectionId, KV_NET_DATA_SCALE handle);
    void ObjectNotFound(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle, bool silent);

    // requested - made == queued until ClearLinkList runs. Readable from any thread.
    ULONG GetRequestedCount() const { return mRequested.load(); }
    ULONG GetMadeCount() const { return mMade.load(); }
    UWORD GetQueuedCount() const { return mQueued.load(); }
    bool IsBusy() const { return mBusy.load(); }
    eSystemBuilderState GetState();

    // Takes the link-list lock, then the seek object's handling.
    void EntrypointMessage(cKVNetMessage& message) override;
    // Runs a retry that waits for this tick.
    void ActionTick() override;
    // Connection loss: the seek object's removal, then the policy.
    void RemoveConnectionLinks(UWORD connectionId, bool flag) override;
    void SeekResult(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle) override;
    virtual void SetBusy();
    virtual void ClearBusy();

private:
    struct sLostConnection
    {
        char mName[64];
        UWORD mConnectionId;
    };

    void FindPath(const char* path, bool retry);
    void MakeLink();
    void SendLinkMessage(UWORD method, UWORD toConnection, KV_NET_DATA_SCALE toHandle, UWORD connectionId,
                         KV_NET_DATA_SCALE handle, UWORD targetMethod, UWORD ownMethod, bool withFlags,
                         UBYTE datagram, UBYTE sync);
    void Abandon();
    void NextCommand();
    // True (with the connection id) when the head command names a host in the lost list.
    bool HeadInvolvesLostConnection(UWORD& connectionId) const;

    std::recursive_mutex mLinkListLock;
    eSystemBuilderState mState = IDLE;
    std::deque<sParameterLinkingCommand> mQueue;
    UWORD mSourceConnectionId = KV_NET_NO_CONNECTION;
    KV_NET_DATA_SCALE mSourceHandle = KV_NET_NO_HANDLE;
    UWORD mDestinationConnectionId = KV_NET_NO_CONNECTION;
    KV_NET_DATA_SCALE mDestinationHandle = KV_NET_NO_HANDLE;
    ULONG mConnectionLossPolicy;
    cConnectionLossPolicy* mPolicyObject;
    bool mNotFoundReported = false;
    std::vector<sLostConnection> mLostConnections;
    std::atomic<UWORD> mQueued{0};
    std::atomic<bool> mBusy{false};
    std::atomic<ULONG> mRequested{0};
    std::atomic<ULONG> mMade{0};
    // A search to repeat on the next action tick.
    bool mRetryPending = false;
    // Changes whenever the queue is cleared, so that a callback may clear it safely.
    ULONG mGeneration = 0;
    bool mAdvancing = false;
    bool mAdvanceRequested = false;
};
