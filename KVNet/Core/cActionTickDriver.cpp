#include "KVNet/Core/cActionTickDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickObject.h"
#include "KVNet/Core/cActionTickParent.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cActionTickDriver::cActionTickDriver(cActionTickParent* parent)
    : cNetObject("Action Tick Driver", 0, true, false)
    , mParent(parent)
{
    moveToThread(this);
    setObjectName("ActionTickThread");
    mTickMessage.SetLength(0);
    mTickMessage.mConnectionId = KV_NET_LOCAL_CONNECTION;
    mTickMessage.mDestination = 0;
    mTickMessage.mSource = KV_NET_NO_HANDLE;
    mTickMessage.mMethod = M_REG_TICK;
    ++mOutstanding;
    PostMessage(mTickMessage);
}

cActionTickDriver::~cActionTickDriver()
{
    mStopping.store(true);
    quit();
    wait();
    (void)mFinished.load(std::memory_order_acquire);
    Unregister();
}

void cActionTickDriver::StartThread()
{
    start(QThread::InheritPriority);
}

void cActionTickDriver::run()
{
    cActionTickObject* tickObject = new cActionTickObject(this);
    setPriority(QThread::HighPriority);
    exec();
    delete tickObject;
    mFinished.store(true, std::memory_order_release);
}

void cActionTickDriver::TimerFired()
{
    if (mStopping.load())
    {
        return;
    }
    ++mTimerEvents;
    if (mParent != nullptr)
    {
        mParent->OnActionTick();
    }
    if (IsSystemRunning())
    {
        PostTick();
    }
    // A flood that stopped still gets its count of held-back reports said.
    FlushHeldBackReports();
}

void cActionTickDriver::PostTick()
{
    // Called from one thread at a time (the timer's), so the test and the increment do not race
    // with another PostTick; a concurrent decrement by the tick scan only makes room.
    if (mOutstanding.load() < MAX_OUTSTANDING_TICKS && GetMessageBufferCount() < MAX_BUFFERED_MESSAGES)
    {
        ++mOutstanding;
        ++mTicksPosted;
        PostMessage(mTickMessage);
        return;
    }
    ++mTicksSkipped;
}

void cActionTickDriver::PostTickIfRunning()
{
    if (IsSystemRunning())
    {
        PostTick();
    }
}

void cActionTickDriver::ActionTick()
{
    // Every tick scan lands here, also one started by a tick message this driver did not post:
    // the count never goes below zero, so a stray tick cannot buy extra outstanding ticks.
    int outstanding = mOutstanding.load();
    while (outstanding > 0 && !mOutstanding.compare_exchange_weak(outstanding, outstanding - 1))
    {
    }
}
