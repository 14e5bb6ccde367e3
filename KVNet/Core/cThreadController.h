#pragma once

#include <QObject>
#include <QThread>

#include <atomic>

class cThreadWorker;

// Owns a thread on which one cThreadWorker runs. Created, started and destroyed on one thread
// (normally the main thread).
//
// The thread ends only through Quit (or the destructor), and deletes its worker as it ends.
// Two atomics carry that hand-over in a way ThreadSanitizer sees (QThread's own locks are
// invisible to it): whatever any thread did before Quit happens before the worker's deletion,
// and the deletion happens before the destructor returns.
class cThreadController : public QObject
{
    Q_OBJECT

public:
    explicit cThreadController(QThread::Priority priority);
    // Quits the thread and waits for it without a time limit.
    ~cThreadController() override;

    // Moves the worker (which must have no parent) to the thread, runs its InitOnThread there
    // when the thread starts and deletes it there when the thread finishes; starts the thread.
    void Start(cThreadWorker* worker);
    // Asks the thread to end; it does not wait. Any thread.
    void Quit();

    QThread* Thread() { return &mThread; }
    QThread::Priority Priority() const { return mPriority; }

signals:
    // The ending thread has deleted the worker; emitted there, before the destructor may return.
    // A receiver on another thread that wants to know the thread ended connects here rather
    // than to QThread::finished, whose queued calls would be posted after the hand-over.
    void WorkerDeleted();

protected:
    QThread mThread;

private:
    QThread::Priority mPriority;
    std::atomic<bool> mQuitAsked{false};
    std::atomic<bool> mWorkerDeleted{false};
};
