#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// The syscall thread's wait. The thread marks itself waiting (under the mutex), then reads the
// router's buffered count, then waits; a poster updates that count when it buffers a message and
// then, when the mark is set, wakes under the mutex. Mark and count are sequentially consistent
// atomics, so at least one side sees the other: no wake-up is lost, and while the thread is busy
// posters take no mutex here. Process-wide, lives until exit.
class cSyscallWake
{
public:
    static cSyscallWake& Instance();

    // Any thread, after adding to the buffer.
    void Wake();
    // Syscall thread: waits (once; spurious wake-ups are possible) while keepWaiting(), called
    // under the mutex, is true.
    template <typename tPredicate>
    void WaitWhile(tPredicate keepWaiting)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mWaiting.store(true);
        if (keepWaiting())
        {
            mCondition.wait(lock);
        }
        mWaiting.store(false);
    }
    // Runs change under the mutex, then wakes the waiting thread unconditionally.
    template <typename tChange>
    void ChangeAndWake(tChange change)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        change();
        mCondition.notify_all();
    }

private:
    cSyscallWake() = default;

    std::mutex mMutex;
    std::condition_variable mCondition;
    std::atomic<bool> mWaiting{false};
};
