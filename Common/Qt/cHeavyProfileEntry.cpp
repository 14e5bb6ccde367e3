#include "Common/Qt/cHeavyProfileEntry.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>

void cHeavyProfileEntry::Start()
{
    QThread* thread = QThread::currentThread();
    std::lock_guard<std::mutex> lock(mMutex);
    ++mThreadCalls[thread];
    ++mCalls;
    for (QThread* active : mActiveThreads)
    {
        if (active != thread)
        {
            ++mConcurrentCalls;
            break;
        }
    }
    mActiveThreads.append(thread);
    mThreadStartTimes[thread] = QDateTime::currentMSecsSinceEpoch();
}

void cHeavyProfileEntry::End(qint64 endTime)
{
    QThread* thread = QThread::currentThread();
    std::unique_lock<std::mutex> lock(mMutex);
    auto start = mThreadStartTimes.find(thread);
    if (start == mThreadStartTimes.end())
    {
        lock.unlock();
        KV_REPORT_ERROR("End called before start");
        return;
    }
    const qint64 elapsed = endTime - start.value();
    const qint32 duration = qint32(std::max<qint64>(std::min<qint64>(elapsed, NO_SHORTEST), 0));
    mLast = duration;
    mShortest = std::min(mShortest, duration);
    mLongest = std::max(mLongest, duration);
    mTotal += duration;
    mActiveThreads.removeOne(thread);
    mThreadStartTimes.erase(start);
}

qint32 cHeavyProfileEntry::GetCalls() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCalls;
}

qint32 cHeavyProfileEntry::GetConcurrentCalls() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mConcurrentCalls;
}

qint32 cHeavyProfileEntry::GetCallsOnThread(QThread* thread) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mThreadCalls.value(thread, 0);
}

int cHeavyProfileEntry::GetActiveThreads() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mActiveThreads.size();
}

qint32 cHeavyProfileEntry::GetShortest() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mShortest;
}

qint32 cHeavyProfileEntry::GetLongest() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLongest;
}

qint64 cHeavyProfileEntry::GetTotal() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTotal;
}

qint32 cHeavyProfileEntry::GetLast() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLast;
}
