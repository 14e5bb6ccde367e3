#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cActionTickParent.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSyscallThread.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/cThreadController.h"
#include "KVNet/Core/cThreadWorker.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

void PostValue(const cNetObject& target, UWORD value)
{
    cKVNetMessage m(2);
    m.SetUWORD(value, 0);
    m.mConnectionId = 0;
    m.mDestination = target.GetHandle();
    m.mSource = 0x4321;
    m.mMethod = PARAMETER_BASE;
    PostMessage(m);
}

class cThreadRecordingParent : public cActionTickParent
{
public:
    void OnActionTick() override
    {
        if (mCalls.fetch_add(1) == 0)
        {
            mThreadName = QThread::currentThread()->objectName();
            mPriority = QThread::currentThread()->priority();
        }
    }
    std::atomic<int> mCalls{0};
    QString mThreadName;
    QThread::Priority mPriority = QThread::InheritPriority;
};

std::atomic<QThread*> gInitThread{nullptr};
std::atomic<QThread*> gDeleteThread{nullptr};

// Counts report lines from any thread (guarded by a standard mutex, which ThreadSanitizer sees).
class cQuietReports
{
public:
    cQuietReports()
    {
        mPrevious = SetReportSink(
            [this](const std::string&)
            {
                std::lock_guard<std::mutex> lock(mMutex);
                ++mLines;
            });
    }
    ~cQuietReports() { SetReportSink(mPrevious); }
    int Lines()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLines;
    }

private:
    std::mutex mMutex;
    int mLines = 0;
    tReportSink mPrevious;
};

class cFlagWorker : public cThreadWorker
{
public:
    ~cFlagWorker() override { gDeleteThread.store(QThread::currentThread()); }
    void InitOnThread() override
    {
        gInitThread.store(QThread::currentThread());
        // Keeps the event loop busy, so that the thread ends without being woken through its
        // dispatcher's descriptor (which ThreadSanitizer would take for the hand-over).
        auto* busy = new QTimer(this);
        connect(busy, &QTimer::timeout, this, [] {});
        busy->start(0);
    }
    // Called from the controller's thread only, as the connection controllers forward calls.
    void Touch() { ++mTouches; }

private:
    int mTouches = 0;
};

} // namespace

// Real syscall and action-tick threads.
class tst_FrameworkThreads : public QObject
{
    Q_OBJECT

private slots:
    void syscallThread_startsOnce_deliversAndStopsInALoop();
    void syscallThread_stoppedAtOnce_neverHangs();
    void actionTickThread_callsItsParentAlways_andTicksWhileRunning();
    void objectsRegisteredAndDeletedWhileTicking_areScannedSafely();
    void threadController_runsTheWorkerOnItsThreadAndDeletesItThere();
};

void tst_FrameworkThreads::syscallThread_startsOnce_deliversAndStopsInALoop()
{
    cScopedKVNetSystem system(true);
    cRecordingNetObject target("Target");
    int expected = 0;
    for (int round = 0; round < 30; ++round)
    {
        cSyscallThread thread;
        thread.StartThread();
        thread.StartThread();
        QVERIFY(thread.IsRunning());
        PostValue(target, UWORD(round));
        ++expected;
        QTRY_COMPARE(target.Count(PARAMETER_BASE), expected);

        // A link that cannot be made yet is dropped by the stop.
        sParameterLinkingCommand command;
        command.SetSourcePath("Target");
        command.SetDestinationPath("Nowhere");
        {
            cQuietReports quiet;
            gSystemBuilder->AddLinkCommandToList(command, false);
            thread.StopThread();
        }
        QCOMPARE(gSystemBuilder->GetQueuedCount(), UWORD(0));
        QVERIFY(!gSystemBuilder->IsBusy());

        // Stopped: posts are buffered, not delivered; the next start delivers them.
        PostValue(target, 1000);
        ++expected;
        QVERIFY(GetMessageBufferCount() >= 1);
        QVERIFY(target.Count(PARAMETER_BASE) < expected);
    }
    cSyscallThread last;
    last.StartThread();
    QTRY_COMPARE(target.Count(PARAMETER_BASE), expected);
    QTRY_COMPARE(GetMessageBufferCount(), ULONG(0));
}

void tst_FrameworkThreads::syscallThread_stoppedAtOnce_neverHangs()
{
    cScopedKVNetSystem system(false);
    for (int round = 0; round < 300; ++round)
    {
        cSyscallThread thread;
        thread.StartThread();
        if (round % 2 == 0)
        {
            QThread::yieldCurrentThread();
        }
        thread.StopThread();
    }
}

void tst_FrameworkThreads::actionTickThread_callsItsParentAlways_andTicksWhileRunning()
{
    cScopedKVNetSystem system(false);
    cSyscallThread syscall;
    syscall.StartThread();
    cThreadRecordingParent parent;
    std::unique_ptr<cActionTickDriver> driver;
    std::unique_ptr<cRecordingNetObject> ticked;
    {
        cRegistryLocker lock;
        driver = std::make_unique<cActionTickDriver>(&parent);
        ticked = std::make_unique<cRecordingNetObject>("Ticked", 0, true, true);
    }
    driver->StartThread();
    QTRY_VERIFY(parent.mCalls.load() >= 3);
    QCOMPARE(parent.mThreadName, QString("ActionTickThread"));
    QCOMPARE(parent.mPriority, QThread::HighPriority);
    QCOMPARE(driver->GetTicksPosted(), ULONG(0));
    QCOMPARE(ticked->Ticks(), 1);

    SetSystemRunning(true);
    QTRY_VERIFY(ticked->Ticks() >= 6 && ticked->Tocks() >= 6);
    QVERIFY(driver->GetOutstandingTicks() <= cActionTickDriver::MAX_OUTSTANDING_TICKS);
    SetSystemRunning(false);
    driver.reset();
    syscall.StopThread();
    QCOMPARE(ticked->Ticks(), ticked->Tocks());
    cRegistryLocker lock;
    ticked.reset();
}

void tst_FrameworkThreads::objectsRegisteredAndDeletedWhileTicking_areScannedSafely()
{
    cScopedKVNetSystem system(false);
    cQuietReports quiet;
    cSyscallThread syscall;
    syscall.StartThread();
    std::unique_ptr<cActionTickDriver> driver;
    std::unique_ptr<cRecordingNetObject> steady;
    {
        cRegistryLocker lock;
        driver = std::make_unique<cActionTickDriver>(nullptr);
        steady = std::make_unique<cRecordingNetObject>("Steady", 1, true, true);
        steady->mOnTick = [](cRecordingNetObject& self) { PostValue(self, 1); };
    }
    driver->StartThread();
    SetSystemRunning(true);

    // Two threads create and delete ticking objects, some with names that fail to register.
    auto churn = [](int thread)
    {
        std::vector<std::unique_ptr<cRecordingNetObject>> alive;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; clock.elapsed() < 1500; ++i)
        {
            std::string name =
                (i % 5 == 0) ? "Steady" : "Churn " + std::to_string(thread) + "/" + std::to_string(i);
            {
                cRegistryLocker lock;
                alive.push_back(std::make_unique<cRecordingNetObject>(name.c_str(), 1, true, i % 2 == 0));
            }
            PostValue(*alive.back(), UWORD(i));
            if (alive.size() > 20)
            {
                cRegistryLocker lock;
                alive.erase(alive.begin(), alive.begin() + 10);
            }
            QThread::usleep(200);
        }
        cRegistryLocker lock;
        alive.clear();
    };
    std::thread other(churn, 1);
    churn(0);
    other.join();

    QVERIFY(quiet.Lines() > 0);
    int ticks = steady->Ticks();
    QTRY_VERIFY(steady->Ticks() > ticks);
    QVERIFY(steady->Count(PARAMETER_BASE) > 0);
    SetSystemRunning(false);
    driver.reset();
    syscall.StopThread();
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), ULONG(1));
    steady.reset();
}

void tst_FrameworkThreads::threadController_runsTheWorkerOnItsThreadAndDeletesItThere()
{
    auto controller = std::make_unique<cThreadController>(QThread::LowPriority);
    QThread* const thread = controller->Thread();
    QPointer<cFlagWorker> worker = new cFlagWorker();
    std::atomic<QThread*> announcedOn{nullptr};
    connect(controller.get(), &cThreadController::WorkerDeleted,
            [&announcedOn] { announcedOn.store(QThread::currentThread()); });
    controller->Start(worker);
    QTRY_VERIFY(gInitThread.load() == thread);
    QCOMPARE(thread->priority(), QThread::LowPriority);
    // A call before the end, as the connection controllers forward them: under ThreadSanitizer
    // the worker's deletion on its thread must be seen to follow it.
    worker->Touch();
    controller.reset();
    // Deleted on its own thread, and said so there, before the destructor returned.
    QVERIFY(worker.isNull());
    QCOMPARE(gDeleteThread.load(), thread);
    QCOMPARE(announcedOn.load(), thread);
}

QTEST_GUILESS_MAIN(tst_FrameworkThreads)
#include "tst_FrameworkThreads.moc"
