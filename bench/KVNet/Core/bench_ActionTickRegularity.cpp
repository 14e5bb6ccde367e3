// Action-tick regularity: the period of the action-tick thread's per-tick call over three
// phases of the given duration each: quiet; "heavy", another thread posting as fast as the
// syscall thread delivers while keeping fewer than 4000 messages buffered; and "flood", the
// same thread posting faster than delivery (held below 50000 buffered, to bound memory). For
// each: the median and 99th percentile of the deviation from 20 ms, and the ticks the pacing
// skipped.
//
// Usage: bench_ActionTickRegularity [seconds per phase, default 10]

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cActionTickParent.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cSyscallThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace
{

class cRecordingParent : public cActionTickParent
{
public:
    explicit cRecordingParent(std::size_t capacity) { mStamps.reserve(capacity); }
    void OnActionTick() override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mStamps.size() < mStamps.capacity())
        {
            mStamps.push_back(mClock.nsecsElapsed());
            ULONG buffered = GetMessageBufferCount();
            mMaxBuffered = std::max(mMaxBuffered, buffered);
        }
    }
    void Restart()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStamps.clear();
        mMaxBuffered = 0;
        mClock.start();
    }
    std::vector<qint64> Stamps()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mStamps;
    }
    ULONG MaxBuffered()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mMaxBuffered;
    }

private:
    std::mutex mMutex;
    QElapsedTimer mClock;
    std::vector<qint64> mStamps;
    ULONG mMaxBuffered = 0;
};

class cTickCounter : public cNetObject
{
public:
    cTickCounter()
        : cNetObject("Tick Counter", 1, true, true)
    {
    }
    ~cTickCounter() override { Unregister(); }
    void ActionTick() override { mTicks.fetch_add(1); }
    void ActionTock() override { mTocks.fetch_add(1); }
    void EntrypointMessage(cKVNetMessage& message) override
    {
        if (message.mMethod == PARAMETER_BASE)
        {
            // A little work per message, as a parameter handler does.
            volatile UWORD v = message.GetUWORD(0);
            (void)v;
            mMessages.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        cNetObject::EntrypointMessage(message);
    }
    std::atomic<unsigned long> mTicks{0};
    std::atomic<unsigned long> mTocks{0};
    std::atomic<unsigned long long> mMessages{0};
};

struct sPhase
{
    const char* mName;
    double mMedianPeriodMs;
    double mMedianDeviationUs;
    double mP99DeviationUs;
    double mMaxDeviationUs;
    std::size_t mPeriods;
    unsigned long mTimerEvents;
    unsigned long mTicksPosted;
    unsigned long mTicksSkipped;
    unsigned long mTicksScanned;
    unsigned long long mMessages;
    ULONG mMaxBuffered;
};

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
    {
        return 0;
    }
    std::sort(values.begin(), values.end());
    std::size_t index = std::min(values.size() - 1, std::size_t(std::ceil(p * double(values.size()))) - 1);
    return values[index];
}

// ceiling 0: no flooding thread.
sPhase RunPhase(const char* name, int seconds, ULONG ceiling, cRecordingParent& parent,
                cActionTickDriver& driver, cTickCounter& counter)
{
    const unsigned long events = driver.GetTimerEvents();
    const unsigned long posted = driver.GetTicksPosted();
    const unsigned long skipped = driver.GetTicksSkipped();
    const unsigned long scanned = counter.mTicks.load();
    const unsigned long long messages = counter.mMessages.load();
    std::atomic<bool> stop{false};
    std::thread flooder;
    parent.Restart();
    if (ceiling != 0)
    {
        flooder = std::thread(
            [&]
            {
                cKVNetMessage m(2);
                m.mConnectionId = 0;
                m.mDestination = counter.GetHandle();
                m.mSource = 0x66;
                m.mMethod = PARAMETER_BASE;
                UWORD i = 0;
                while (!stop.load(std::memory_order_relaxed))
                {
                    if (GetMessageBufferCount() >= ceiling)
                    {
                        std::this_thread::yield();
                        continue;
                    }
                    for (int burst = 0; burst < 100; ++burst)
                    {
                        m.SetUWORD(++i, 0);
                        PostMessage(m);
                    }
                }
            });
    }
    QThread::msleep(static_cast<unsigned long>(seconds) * 1000);
    stop.store(true);
    if (flooder.joinable())
    {
        flooder.join();
    }
    std::vector<qint64> stamps = parent.Stamps();
    std::vector<double> periods;
    std::vector<double> deviations;
    for (std::size_t i = 1; i < stamps.size(); ++i)
    {
        double period = double(stamps[i] - stamps[i - 1]) / 1e6;
        periods.push_back(period);
        deviations.push_back(std::fabs(period - 20.0) * 1000.0);
    }
    sPhase phase{};
    phase.mName = name;
    phase.mMedianPeriodMs = Percentile(periods, 0.5);
    phase.mMedianDeviationUs = Percentile(deviations, 0.5);
    phase.mP99DeviationUs = Percentile(deviations, 0.99);
    phase.mMaxDeviationUs = Percentile(deviations, 1.0);
    phase.mPeriods = periods.size();
    phase.mTimerEvents = driver.GetTimerEvents() - events;
    phase.mTicksPosted = driver.GetTicksPosted() - posted;
    phase.mTicksSkipped = driver.GetTicksSkipped() - skipped;
    phase.mTicksScanned = counter.mTicks.load() - scanned;
    phase.mMessages = counter.mMessages.load() - messages;
    phase.mMaxBuffered = parent.MaxBuffered();
    return phase;
}

void Print(const sPhase& p, int seconds)
{
    std::printf(
        "  %-6s periods %5zu  median period %7.3f ms  deviation from 20 ms: median %7.1f us, p99 %8.1f us, "
        "max %8.1f us\n",
        p.mName, p.mPeriods, p.mMedianPeriodMs, p.mMedianDeviationUs, p.mP99DeviationUs, p.mMaxDeviationUs);
    std::printf(
        "         timer events %lu, ticks posted %lu, skipped %lu, scanned %lu; messages delivered %llu "
        "(%.0f/s), most buffered at a tick %lu\n",
        p.mTimerEvents, p.mTicksPosted, p.mTicksSkipped, p.mTicksScanned, p.mMessages,
        double(p.mMessages) / seconds, static_cast<unsigned long>(p.mMaxBuffered));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    StartSystem(0, true);
    {
        cRecordingParent parent(std::size_t(seconds) * 60 + 100);
        cTickCounter counter;
        cSyscallThread syscall;
        syscall.StartThread();
        cActionTickDriver driver(&parent);
        driver.StartThread();
        SetSystemRunning(true);
        QThread::msleep(200);

        sPhase quiet = RunPhase("quiet", seconds, 0, parent, driver, counter);
        sPhase heavy = RunPhase("heavy", seconds, 4000, parent, driver, counter);
        sPhase flood = RunPhase("flood", seconds, 50000, parent, driver, counter);

        SetSystemRunning(false);
        std::printf("Action-tick regularity, %d s per phase (20 ms precise timer, high priority)\n", seconds);
        Print(quiet, seconds);
        Print(heavy, seconds);
        Print(flood, seconds);
        syscall.StopThread();
    }
    DeleteSystem();
    return 0;
}
