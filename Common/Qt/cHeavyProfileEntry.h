#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

#include <mutex>

class QThread;

// One measuring point of the debug profiler: how often a stretch of code ran, on which threads,
// how often two threads were inside it at once, and how long it took (shortest, longest, total,
// last), in milliseconds. Nothing in the program creates one.
//
// Threads: Start and End on the thread that runs the measured code; any thread may read.
class cHeavyProfileEntry
{
public:
    static constexpr qint32 NO_SHORTEST = 0x7FFFFFFF;

    // The calling thread enters the stretch now.
    void Start();
    // The calling thread leaves it at endTime (milliseconds since the epoch). Without a Start
    // on this thread it reports "End called before start" and changes nothing.
    void End(qint64 endTime);

    qint32 GetCalls() const;
    qint32 GetConcurrentCalls() const;
    qint32 GetCallsOnThread(QThread* thread) const;
    int GetActiveThreads() const;
    qint32 GetShortest() const;
    qint32 GetLongest() const;
    qint64 GetTotal() const;
    qint32 GetLast() const;

private:
    qint32 mCalls = 0;
    qint32 mConcurrentCalls = 0;
    QHash<QThread*, qint32> mThreadCalls;
    QHash<QThread*, qint64> mThreadStartTimes;
    QList<QThread*> mActiveThreads;
    qint32 mShortest = NO_SHORTEST;
    qint32 mLongest = 0;
    qint64 mTotal = 0;
    qint32 mLast = 0;
    mutable std::mutex mMutex;
};
