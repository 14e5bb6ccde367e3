#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QThread>
#include <QTimer>
#include <QtTest>

#include <condition_variable>
#include <functional>
#include <mutex>

#include <atomic>
#include <cstring>
#include <memory>

// The serial interface between two threads: the tick thread that runs the link and the thread
// that queues records and reads the device's blocks.
class tst_SerialLinkThreads : public QObject
{
    Q_OBJECT

private slots:
    void blocksReadOnAnotherThread_areNeverHalfWritten();
    void recordsQueuedOnAnotherThread_reachTheDeviceWithTheirFinalValues();
    void linkOnItsOwnTickThread_connectsAndDisconnects();
};

void tst_SerialLinkThreads::blocksReadOnAnotherThread_areNeverHalfWritten()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> torn{0};
    std::unique_ptr<QThread> reader(QThread::create(
        [&]
        {
            while (!stop)
            {
                sMeterBlock meters;
                if (t.Link().GetMeterBlock(meters))
                {
                    for (ULONG level : meters)
                    {
                        torn += level != meters[0] ? 1 : 0;
                    }
                    ++reads;
                }
                sControlStripBlock strips;
                if (t.Link().GetControlStripBlock(strips))
                {
                    for (const sControlStripRecord& strip : strips)
                    {
                        torn += strip.mGainCode != strips[0].mGainCode ? 1 : 0;
                    }
                }
            }
        }));
    reader->start();
    for (int i = 1; i <= 300; ++i)
    {
        // Every reply carries one value in all its words.
        t.Device().Model().mMeters.fill(static_cast<std::uint32_t>(i * 0x01010101u));
        t.Tick();
        if (i % 50 == 0)
        {
            for (cSimulatedDeviceModel::sControlStrip& strip : t.Device().Model().mStrips)
            {
                strip.mGainCode = static_cast<std::uint16_t>(i);
            }
            QVERIFY(t.Connect());
        }
    }
    stop = true;
    reader->wait();
    QVERIFY(reads > 0);
    QCOMPARE(torn.load(), 0);
}

void tst_SerialLinkThreads::recordsQueuedOnAnotherThread_reachTheDeviceWithTheirFinalValues()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    const int ids = 12;
    const int rounds = 2000;
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> producer(QThread::create(
        [&]
        {
            UBYTE coefficients[20];
            for (int round = 1; round <= rounds; ++round)
            {
                for (int id = 0; id < ids; ++id)
                {
                    std::memset(coefficients, round & 0xFF, sizeof coefficients);
                    const ULONG filterId =
                        (static_cast<ULONG>(2 + id / 2) << 8) | static_cast<ULONG>(4 + id % 2);
                    t.Link().QueueFilter(filterId, coefficients, 20, static_cast<UWORD>(round), 0, 0, 0, 0,
                                         0);
                }
                t.Link().QueueControlStrip(3, static_cast<ULONG>(round), static_cast<UWORD>(round), 0, 0);
            }
            done = true;
        }));
    producer->start();
    int ticks = 0;
    while (!done || t.Link().QueuedRecords() > 0)
    {
        t.Tick();
        QVERIFY(++ticks < 100000);
    }
    producer->wait();
    QVERIFY(t.Link().GetStatistics().mLargestFilterQueue <= static_cast<quint64>(ids));
    const cSimulatedDeviceModel model = t.Device().ModelSnapshot();
    for (int id = 0; id < ids; ++id)
    {
        const int index = cSimulatedDeviceModel::FilterIndex((static_cast<ULONG>(2 + id / 2) << 8) |
                                                             static_cast<ULONG>(4 + id % 2));
        QCOMPARE(model.mFilters[static_cast<size_t>(index)].mFrequencyCode, std::uint16_t(rounds));
        QCOMPARE(model.mFilters[static_cast<size_t>(index)].mCoefficients,
                 QByteArray(20, char(rounds & 0xFF)));
    }
    QCOMPARE(model.mStrips[3].mGainCode, std::uint16_t(rounds));
}

void tst_SerialLinkThreads::linkOnItsOwnTickThread_connectsAndDisconnects()
{
    // The tick driver is its own thread with an event loop, as the program's action-tick driver is.
    // A step is handed to it through standard locks, which ThreadSanitizer sees (Qt's queued calls
    // synchronise inside the uninstrumented Qt).
    struct sTickDriver : QThread
    {
        sTickDriver() { moveToThread(this); }
        ~sTickDriver() override
        {
            quit();
            wait();
            // The tick thread last held this lock: taking it lets ThreadSanitizer see the thread's
            // end before the members go (QThread::wait synchronises inside Qt).
            std::lock_guard<std::mutex> lock(mMutex);
        }
        void run() override
        {
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [this] { RunPending(); });
            poll.start(1);
            exec();
        }
        // Runs the job on the tick thread and returns when it has run.
        void Run(std::function<void()> job)
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mJob = std::move(job);
            mDone = false;
            mCondition.wait(lock, [this] { return mDone; });
        }
        void RunPending()
        {
            std::function<void()> job;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                job.swap(mJob);
            }
            if (job)
            {
                job();
                std::lock_guard<std::mutex> lock(mMutex);
                mDone = true;
                mCondition.notify_all();
            }
        }
        std::mutex mMutex;
        std::condition_variable mCondition;
        std::function<void()> mJob;
        bool mDone = false;
    };
    auto tickDriverOwner = std::make_unique<sTickDriver>();
    sTickDriver& tickDriver = *tickDriverOwner;
    tickDriver.start();

    cSimulatedDevice device;
    QVERIFY(device.Open(UniqueLinkPath()));
    auto list =
        std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(device.PortPath())});
    auto link = std::make_unique<cSerialInterface>(&tickDriver, std::move(list), TestTimings());
    // The tick thread's event loop reads the port as bytes arrive, so the device does not wait for
    // its answers to be delivered; the steps run until the awaited state (bounded).
    auto tick = [&]
    {
        tickDriver.Run([&] { link->Process(); });
        device.Step(link->GetStatistics().mBytesWritten, 2000, false);
        QThread::msleep(1);
    };
    auto tickUntil = [&](eConnectionState state)
    {
        for (int i = 0; i < 200 && link->GetState() != state; ++i)
        {
            tick();
        }
        return link->GetState() == state;
    };

    link->RequestConnect(nullptr);
    QVERIFY(tickUntil(CONNECTION_STATE_SYNCING));
    QCOMPARE(device.Commands(), (QList<std::uint8_t>{0, 7, 9, 3}));
    QVERIFY(link->SetRunning());
    QVERIFY(link->QueueDelay(3, 33));
    tick();
    tick();
    QCOMPARE(device.ModelSnapshot().mDelays[3], std::uint32_t(33));
    link->RequestDisconnect();
    QVERIFY(tickUntil(CONNECTION_STATE_IDLE));
    QCOMPARE(device.Commands().last(), std::uint8_t(15));

    // Reconnect and leave the port open; then, as the program shuts down, delete the tick driver
    // (the port closes on its thread as it ends) and the interface after it.
    link->RequestConnect(nullptr);
    tick();
    QCOMPARE(link->GetState(), CONNECTION_STATE_PORT_OPEN);
    tickDriverOwner.reset();
    link.reset();
}

QTEST_GUILESS_MAIN(tst_SerialLinkThreads)
#include "tst_SerialLinkThreads.moc"
