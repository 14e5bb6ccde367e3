#pragma once

#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"

#include <QThread>

#include <atomic>

class cActionTickParent;

// The action-tick thread ("ActionTickThread", high priority) and its net object "Action Tick
// Driver" (0 parameters, in the tick list). Every 20 ms (precise timer) it calls the parent's
// OnActionTick and, while the system is running, posts the router's tick message: only while
// fewer than 2 ticks are outstanding and fewer than 5000 messages are buffered, so a slow
// syscall thread lowers the tick rate instead of filling the buffer. Its own ActionTick (in
// the router's tick scan) ends an outstanding tick. Each period also closes the report windows
// that are over (FlushHeldBackReports), so a held-back count is said even after a flood stops.
//
// The object lives on its own thread (moveToThread(this)): objects that must run on the
// action-tick thread can be moved to driver->thread() or to the driver itself.
//
// Construction (any thread with a router) posts the first tick. StartThread and the destructor
// are called from the thread that created it; the destructor stops the thread first.
class cActionTickDriver : public QThread, public cNetObject
{
public:
    static constexpr int MAX_OUTSTANDING_TICKS = 2;
    static constexpr ULONG MAX_BUFFERED_MESSAGES = 5000;

    // parent may be null (no per-tick call).
    explicit cActionTickDriver(cActionTickParent* parent);
    ~cActionTickDriver() override;

    void StartThread();
    // Posts a tick when the pacing allows it; counts a skipped tick otherwise. The action-tick
    // thread (or, before it starts, the creating thread).
    void PostTick();
    // PostTick only while the system is running.
    void PostTickIfRunning();

    // Network-object side: one outstanding tick has been scanned (never below zero). Syscall thread.
    void ActionTick() override;

    // Action-tick thread: one timer period.
    void TimerFired();

    int GetOutstandingTicks() const { return mOutstanding.load(); }
    ULONG GetTicksPosted() const { return mTicksPosted.load(); }
    ULONG GetTicksSkipped() const { return mTicksSkipped.load(); }
    ULONG GetTimerEvents() const { return mTimerEvents.load(); }

protected:
    void run() override;

private:
    cKVNetMessage mTickMessage;
    cActionTickParent* mParent;
    std::atomic<int> mOutstanding{0};
    std::atomic<bool> mStopping{false};
    std::atomic<ULONG> mTicksPosted{0};
    std::atomic<ULONG> mTicksSkipped{0};
    std::atomic<ULONG> mTimerEvents{0};
    // Set last by run(): makes everything run() did visible to the destructor.
    std::atomic<bool> mFinished{false};
};
