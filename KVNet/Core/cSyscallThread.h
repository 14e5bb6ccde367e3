#pragma once

#include <QThread>

#include <atomic>

// The thread that delivers every framework message: it empties the registry router's buffer,
// waits until something is posted, and repeats. Every EntrypointMessage, ActionTick, ActionTock
// and UpdateNewObject of every net object runs here, under the registry lock.
//
// StartThread and StopThread are called from the main thread. After StopThread posting still
// buffers messages, but nothing delivers them.
class cSyscallThread : public QThread
{
public:
    cSyscallThread();
    // StopThread.
    ~cSyscallThread() override;

    // Only when not running: router running on, then the thread starts (normal priority).
    void StartThread();
    // Clears running and wakes the thread under its mutex (no wake-up can be lost), waits for
    // the thread to end, then clears the system builder's link list.
    void StopThread();
    bool IsRunning() const { return mRunning.load(); }

protected:
    void run() override;

private:
    std::atomic<bool> mRunning{false};
    // Set last by run(): makes everything run() did visible to the thread that waited for it.
    std::atomic<bool> mFinished{false};
};
