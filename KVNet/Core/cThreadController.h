#pragma once

#include <QObject>
#include <QThread>

class cThreadWorker;

// Owns a thread on which one cThreadWorker runs. Created, started and destroyed on one thread
// (normally the main thread).
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

    QThread* Thread() { return &mThread; }
    QThread::Priority Priority() const { return mPriority; }

protected:
    QThread mThread;

private:
    QThread::Priority mPriority;
};
