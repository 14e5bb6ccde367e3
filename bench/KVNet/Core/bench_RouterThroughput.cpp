// Router throughput: messages posted on the main thread and delivered on the syscall thread,
// against a Qt queued signal carrying the same header and payload from the main thread to a
// thread with an event loop. Also counts heap allocations per message (global operator new is
// replaced in this executable, except in sanitizer builds).
//
// Usage: bench_RouterThroughput [messages per round, default 1000000]

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cSyscallThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CORVO_COUNT_ALLOCATIONS 0
#else
#define CORVO_COUNT_ALLOCATIONS 1
#endif

namespace
{

std::atomic<unsigned long long> gAllocations{0};

} // namespace

#if CORVO_COUNT_ALLOCATIONS
void* operator new(std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size != 0 ? size : 1))
    {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
#endif

struct sBenchPayload
{
    UWORD mConnectionId;
    UWORD mDestination;
    UWORD mSource;
    UWORD mMethod;
    UWORD mLength;
    UBYTE mData[2];
};
Q_DECLARE_METATYPE(sBenchPayload)

namespace
{

class cSink : public cNetObject
{
public:
    cSink()
        : cNetObject("Benchmark Sink", 1, false, false)
    {
    }
    ~cSink() override { Unregister(); }
    void EntrypointMessage(cKVNetMessage& message) override
    {
        if (message.mMethod == PARAMETER_BASE)
        {
            mSum.fetch_add(message.GetUWORD(0), std::memory_order_relaxed);
            mCount.fetch_add(1, std::memory_order_release);
            return;
        }
        cNetObject::EntrypointMessage(message);
    }
    std::atomic<unsigned long long> mCount{0};
    std::atomic<unsigned long long> mSum{0};
};

struct sRound
{
    double mRate;
    double mAllocationsPerMessage;
};

void WaitFor(const std::atomic<unsigned long long>& count, unsigned long long target)
{
    while (count.load(std::memory_order_acquire) < target)
    {
        QThread::usleep(50);
    }
}

sRound RouterRound(cSink& sink, unsigned long long messages)
{
    cKVNetMessage message(2);
    message.mConnectionId = 0;
    message.mDestination = sink.GetHandle();
    message.mSource = 0x55;
    message.mMethod = PARAMETER_BASE;
    const unsigned long long start = sink.mCount.load();
    const unsigned long long allocations = gAllocations.load();
    QElapsedTimer clock;
    clock.start();
    for (unsigned long long i = 0; i < messages; ++i)
    {
        message.SetUWORD(UWORD(i), 0);
        PostMessage(message);
    }
    WaitFor(sink.mCount, start + messages);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return {double(messages) / seconds, double(gAllocations.load() - allocations) / double(messages)};
}

} // namespace

class cQtSender : public QObject
{
    Q_OBJECT
signals:
    void Message(const sBenchPayload& payload);
};

class cQtReceiver : public QObject
{
    Q_OBJECT
public slots:
    void OnMessage(const sBenchPayload& payload)
    {
        mSum.fetch_add(UWORD(payload.mData[0] << 8 | payload.mData[1]), std::memory_order_relaxed);
        mCount.fetch_add(1, std::memory_order_release);
    }

public:
    std::atomic<unsigned long long> mCount{0};
    std::atomic<unsigned long long> mSum{0};
};

namespace
{

sRound QtRound(cQtSender& sender, cQtReceiver& receiver, unsigned long long messages)
{
    sBenchPayload payload{0, 1, 0x55, PARAMETER_BASE, 2, {0, 0}};
    const unsigned long long start = receiver.mCount.load();
    const unsigned long long allocations = gAllocations.load();
    QElapsedTimer clock;
    clock.start();
    for (unsigned long long i = 0; i < messages; ++i)
    {
        payload.mData[0] = UBYTE(i >> 8);
        payload.mData[1] = UBYTE(i);
        emit sender.Message(payload);
    }
    WaitFor(receiver.mCount, start + messages);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return {double(messages) / seconds, double(gAllocations.load() - allocations) / double(messages)};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    unsigned long long messages = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000ull;
    messages = std::max(messages, 1000ull);
    const int rounds = 3;

    StartSystem(0, false);
    sRound bestRouter{0, 0};
    {
        cSink sink;
        cSyscallThread syscall;
        syscall.StartThread();
        RouterRound(sink, messages * 2); // warm-up: pools and buffer reach their working size
        for (int r = 0; r < rounds; ++r)
        {
            sRound round = RouterRound(sink, messages);
            if (round.mRate > bestRouter.mRate)
            {
                bestRouter = round;
            }
        }
        syscall.StopThread();
    }
    DeleteSystem();

    qRegisterMetaType<sBenchPayload>("sBenchPayload");
    sRound bestQt{0, 0};
    {
        QThread consumer;
        consumer.setObjectName("QtConsumer");
        cQtSender sender;
        cQtReceiver receiver;
        receiver.moveToThread(&consumer);
        QObject::connect(&sender, &cQtSender::Message, &receiver, &cQtReceiver::OnMessage,
                         Qt::QueuedConnection);
        consumer.start();
        QtRound(sender, receiver, messages);
        for (int r = 0; r < rounds; ++r)
        {
            sRound round = QtRound(sender, receiver, messages);
            if (round.mRate > bestQt.mRate)
            {
                bestQt = round;
            }
        }
        consumer.quit();
        consumer.wait();
    }

    std::printf("Router throughput, %llu messages per round, best of %d\n", messages, rounds);
    std::printf("  registry router (post -> syscall thread): %12.0f messages/s, %.4f allocations/message\n",
                bestRouter.mRate, bestRouter.mAllocationsPerMessage);
    std::printf("  Qt queued signal (emit -> event loop):     %12.0f messages/s, %.4f allocations/message\n",
                bestQt.mRate, bestQt.mAllocationsPerMessage);
    std::printf("  ratio router / Qt: %.2f (goal: at least 2)\n", bestRouter.mRate / bestQt.mRate);
#if !CORVO_COUNT_ALLOCATIONS
    std::printf("  (allocations are not counted in sanitizer builds)\n");
#endif
    return 0;
}

#include "bench_RouterThroughput.moc"
