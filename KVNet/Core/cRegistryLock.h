#pragma once

#include <atomic>
#include <mutex>
#include <thread>

// The registry router's recursive lock, which also knows how often the calling thread holds it,
// so that the router can let go of it around a wait for another thread. Meets the standard
// Lockable requirements (lock, unlock, try_lock).
class cRegistryLock
{
public:
    void lock()
    {
        mMutex.lock();
        Entered();
    }
    bool try_lock()
    {
        if (!mMutex.try_lock())
        {
            return false;
        }
        Entered();
        return true;
    }
    void unlock()
    {
        if (--mDepth == 0)
        {
            mOwner.store(std::thread::id());
        }
        mMutex.unlock();
    }
    // How many times the calling thread holds the lock (0 when it does not).
    int HeldByThisThread() const { return mOwner.load() == std::this_thread::get_id() ? mDepth : 0; }

private:
    void Entered()
    {
        if (mDepth++ == 0)
        {
            mOwner.store(std::this_thread::get_id());
        }
    }

    std::recursive_mutex mMutex;
    std::atomic<std::thread::id> mOwner{std::thread::id()};
    // Written only by the owner, under the lock.
    int mDepth = 0;
};
