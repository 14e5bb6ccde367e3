#pragma once

#include "KVNet/Core/cThreadController.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>

class cTestDottedIPAddressWorker;

// Tests whether a framework unit answers at a dotted IPv4 address: a TCP connection to its port
// 51321 on a thread of its own. The result goes once from RUNNING to REACHABLE (connected; the
// farewell is written and the connection closed) or UNREACHABLE (a connection error, a text that
// is not an address, or no answer within the time limit, 4000 ms unless given).
//
// Threads: made, started and destroyed on one thread; the result may be read and waited for
// from any thread. The destructor quits the test's thread and waits for it (a test that was
// never started has no thread to wait for; its worker is freed at once).
class cTestDottedIPAddress : public QObject
{
    Q_OBJECT

public:
    enum eResult
    {
        RUNNING = 0,
        REACHABLE = 1,
        UNREACHABLE = 2,
    };
    static constexpr int DEFAULT_TIME_LIMIT_MS = 4000;

    cTestDottedIPAddress(QObject* parent, const QString& address, int timeLimitMs = DEFAULT_TIME_LIMIT_MS);
    ~cTestDottedIPAddress() override;

    // Starts the test's thread with the inherited priority and emits the worker's StartSignal,
    // so that the attempt is made on that thread; a second call does nothing.
    void Start();
    int GetResult();
    // Blocks until the result is in.
    void WaitForResult();
    // The worker's thread: stores the result once, wakes the waiters, emits FinishedSignal.
    void SetResult(int result);

signals:
    void FinishedSignal();

private:
    cTestDottedIPAddressWorker* mWorker;
    int mResult = RUNNING;
    std::mutex mMutex;
    std::condition_variable mResultReady;
    // Last, so that it is destroyed first: its thread ends before the members it uses go.
    cThreadController mController{QThread::InheritPriority};
};
