#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cActionTickParent.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <memory>

namespace
{

class cCountingParent : public cActionTickParent
{
public:
    void OnActionTick() override { ++mCalls; }
    int mCalls = 0;
};

void Flood(int count)
{
    cKVNetMessage m(2);
    m.mConnectionId = 0;
    m.mDestination = 0xFFFF;
    m.mMethod = PARAMETER_BASE;
    for (int i = 0; i < count; ++i)
    {
        PostMessage(m);
    }
}

} // namespace

// The driver's timer is stood in for by calling TimerFired on the test thread; the syscall
// thread by the pump.
class tst_ActionTickDriver : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        mSystem = std::make_unique<cScopedKVNetSystem>(false);
        mDriver = std::make_unique<cActionTickDriver>(&mParent);
        mParent.mCalls = 0;
    }
    void cleanup()
    {
        SetSystemRunning(false);
        mDriver.reset();
        mSystem.reset();
    }

    void construction_postsTheFirstTick();
    void ticks_arePostedOnlyWhileFewerThanTwoAreOutstanding();
    void ticks_waitWhile5000MessagesAreBuffered();
    void timer_callsTheParentAlways_butTicksOnlyWhileRunning();
    void strayTickMessages_neverBuyMoreThanTwoOutstandingTicks();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    cCountingParent mParent;
    std::unique_ptr<cActionTickDriver> mDriver;
};

void tst_ActionTickDriver::construction_postsTheFirstTick()
{
    QCOMPARE(QString(mDriver->GetName()), QString("Action Tick Driver"));
    QCOMPARE(mDriver->objectName(), QString("ActionTickThread"));
    QCOMPARE(mDriver->GetOutstandingTicks(), 1);
    QCOMPARE(cMessagePump::Buffered(), ULONG(1));
    cRecordingNetObject ticked("Ticked", 0, true, true);
    cMessagePump::Pump();
    QCOMPARE(ticked.Ticks(), 1);
    QCOMPARE(ticked.Tocks(), 1);
    QCOMPARE(mDriver->GetOutstandingTicks(), 0);
}

void tst_ActionTickDriver::ticks_arePostedOnlyWhileFewerThanTwoAreOutstanding()
{
    cRecordingNetObject ticked("Ticked", 0, true, false);
    mDriver->PostTick();
    mDriver->PostTick();
    mDriver->PostTick();
    QCOMPARE(mDriver->GetOutstandingTicks(), 2);
    QCOMPARE(mDriver->GetTicksPosted(), ULONG(1));
    QCOMPARE(mDriver->GetTicksSkipped(), ULONG(2));
    // Tick and tock of the first tick, then of the second.
    QCOMPARE(cMessagePump::Buffered(), ULONG(2));
    QCOMPARE(cMessagePump::Pump(), ULONG(4));
    QCOMPARE(ticked.Ticks(), 2);
    QCOMPARE(mDriver->GetOutstandingTicks(), 0);
    mDriver->PostTick();
    QCOMPARE(mDriver->GetOutstandingTicks(), 1);
}

void tst_ActionTickDriver::ticks_waitWhile5000MessagesAreBuffered()
{
    cMessagePump::Pump();
    Flood(4999);
    mDriver->PostTick();
    QCOMPARE(mDriver->GetTicksPosted(), ULONG(1));
    QCOMPARE(cMessagePump::Buffered(), ULONG(5000));
    cMessagePump::Pump();
    Flood(5000);
    mDriver->PostTick();
    QCOMPARE(mDriver->GetTicksSkipped(), ULONG(1));
    QCOMPARE(cMessagePump::Pump(5001), ULONG(5000));
    mDriver->PostTick();
    QCOMPARE(mDriver->GetTicksPosted(), ULONG(2));
}

void tst_ActionTickDriver::timer_callsTheParentAlways_butTicksOnlyWhileRunning()
{
    cMessagePump::Pump();
    SetSystemRunning(false);
    mDriver->TimerFired();
    mDriver->TimerFired();
    QCOMPARE(mParent.mCalls, 2);
    QCOMPARE(cMessagePump::Buffered(), ULONG(0));
    SetSystemRunning(true);
    mDriver->TimerFired();
    QCOMPARE(mParent.mCalls, 3);
    QCOMPARE(mDriver->GetTicksPosted(), ULONG(1));
    QCOMPARE(cMessagePump::Buffered(), ULONG(1));
}

void tst_ActionTickDriver::strayTickMessages_neverBuyMoreThanTwoOutstandingTicks()
{
    cMessagePump::Pump();
    QCOMPARE(mDriver->GetOutstandingTicks(), 0);
    // Tick messages to the router that the driver did not post: each one scans the tick list.
    cKVNetMessage stray(0);
    stray.mConnectionId = 0;
    stray.mDestination = 0;
    stray.mMethod = M_REG_TICK;
    for (int i = 0; i < 3; ++i)
    {
        PostMessage(stray);
    }
    cMessagePump::Pump();
    QCOMPARE(mDriver->GetOutstandingTicks(), 0);

    for (int i = 0; i < 5; ++i)
    {
        mDriver->PostTick();
    }
    QCOMPARE(mDriver->GetTicksPosted(), ULONG(2));
    QCOMPARE(mDriver->GetOutstandingTicks(), 2);
}

QTEST_GUILESS_MAIN(tst_ActionTickDriver)
#include "tst_ActionTickDriver.moc"
