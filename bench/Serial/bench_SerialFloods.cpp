// The serial link against a device that floods the line or vanishes, in real time (20 ms ticks on a
// tick thread with its own event loop, as in the program).
//
//   bench_SerialFloods [seconds [vanish]]   (default 10: the length of each flood; with "vanish" only
//                                           the vanishing device is measured)
//
// Floods, each for the given time, while connected: valid 8-byte frames at the line's own rate
// (92,160 B/s) and as fast as the pty takes them, a few stray bytes before every reply, and a stream
// of headers with impossible lengths at the line rate. Printed per flood: the growth of resident
// memory, report lines per second, meter polls per second (50 while the meters are answered), the
// state at the end, the most input held at a tick's start and the input dropped.
// Vanish: the device disappears in the states "port open", "connected", "syncing" and "no reply".
// Printed per state: the time until the link is idle again (8 s at most are waited), the error the
// connection driver would report, and the report lines of the first two seconds.
//
// Goals: memory does not grow with a flood; at most a few report lines a second; a vanish is
// noticed within one second in every state, with error 2 (device not found).

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortManager.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/simulator/cSimulatedDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace
{

constexpr int kTickMs = 20;
constexpr int kLineBytesPerTick = 921600 / 10 * kTickMs / 1000;

double ResidentMegabytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
    {
        return 0.0;
    }
    for (const QByteArray& line : status.readAll().split('\n'))
    {
        if (line.startsWith("VmRSS:"))
        {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0.0;
}

std::atomic<long> gReportLines{0};

// Frames of `count` 8-byte headers: command 5 (ignored), length 0 or an impossible length.
QByteArray Headers(int count, bool impossibleLength)
{
    QByteArray frame = cSimulatedDevice::Frame(5, QByteArray());
    if (impossibleLength)
    {
        frame.replace(4, 4, QByteArray(4, char(0xFF)));
    }
    return frame.repeated(count);
}

// The link on a tick thread of its own, stepped every 20 ms; the device on the calling thread.
class cRun
{
public:
    explicit cRun(const sSerialLinkTimings& timings)
    {
        static int counter = 0;
        const QString path = QDir::temp().filePath(
            QStringLiteral("corvo-flood-%1-%2").arg(QCoreApplication::applicationPid()).arg(counter++));
        mDevice.Open(path);
        mTickThread.start();
        mAnchor.moveToThread(&mTickThread);
        auto list = std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(path)});
        mLink = std::make_unique<cSerialInterface>(&mAnchor, std::move(list), timings);
        cSerialInterface* link = mLink.get();
        QMetaObject::invokeMethod(
            &mAnchor,
            [this, link]
            {
                mTimer = new QTimer();
                mTimer->setTimerType(Qt::PreciseTimer);
                QObject::connect(mTimer, &QTimer::timeout, [link] { link->Process(); });
                mTimer->start(kTickMs);
            },
            Qt::BlockingQueuedConnection);
        mPath = path;
    }
    ~cRun()
    {
        QMetaObject::invokeMethod(
            &mAnchor, [this] { delete mTimer; }, Qt::BlockingQueuedConnection);
        mTickThread.quit();
        mTickThread.wait();
        mLink.reset();
    }

    // Services the device every tick while `step` runs before each service, for ms milliseconds or
    // until done() holds.
    void Run(int ms, const std::function<void()>& step = {}, const std::function<bool()>& done = {})
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms && !(done && done()))
        {
            if (step)
            {
                step();
            }
            mDevice.Service();
            QThread::msleep(kTickMs);
        }
    }
    bool RunUntil(eConnectionState state, int ms)
    {
        Run(ms, {}, [this, state] { return mLink->GetState() == state; });
        return mLink->GetState() == state;
    }
    bool Connect(bool confirm)
    {
        mLink->RequestConnect(mPath.toUtf8().constData());
        if (!RunUntil(CONNECTION_STATE_SYNCING, 3000))
        {
            return false;
        }
        return !confirm || mLink->SetRunning();
    }

    cSimulatedDevice mDevice;
    std::unique_ptr<cSerialInterface> mLink;

private:
    QThread mTickThread;
    QObject mAnchor;
    QTimer* mTimer = nullptr;
    QString mPath;
};

void Flood(const char* name, int ms, const std::function<void(cRun&)>& step)
{
    cRun run{sSerialLinkTimings()};
    if (!run.Connect(true))
    {
        std::printf("%-40s could not connect\n", name);
        return;
    }
    run.Run(200);
    const int pollsBefore = run.mDevice.CountFrames(4);
    const long linesBefore = gReportLines.load();
    const double before = ResidentMegabytes();
    QElapsedTimer timer;
    timer.start();
    run.Run(ms, [&] { step(run); });
    const double seconds = timer.elapsed() / 1000.0;
    const double after = ResidentMegabytes();
    const sSerialLinkStatistics statistics = run.mLink->GetStatistics();
    std::printf("%-40s %10.1f %10.0f %10.1f %10.1f %8d %10.1f %12.1f\n", name, after - before,
                (after - before) * 1024.0 / seconds, (gReportLines.load() - linesBefore) / seconds,
                (run.mDevice.CountFrames(4) - pollsBefore) / seconds, int(run.mLink->GetState()),
                statistics.mLargestBytesHeld / 1024.0, statistics.mBytesDropped / 1048576.0);
}

void Vanish(const char* name, eConnectionState state)
{
    sSerialLinkTimings timings;
    timings.mMeterWaitTicks = 5;
    timings.mMissesForNoReply = 3;
    cRun run(timings);
    bool reached = false;
    switch (state)
    {
    case CONNECTION_STATE_PORT_OPEN:
        run.mDevice.SetSilent(true);
        run.mLink->RequestConnect(nullptr);
        reached = run.RunUntil(state, 1000);
        break;
    case CONNECTION_STATE_CONNECTED:
        reached = run.Connect(true);
        break;
    case CONNECTION_STATE_SYNCING:
        reached = run.Connect(false);
        break;
    default:
        reached = run.Connect(true);
        run.mDevice.SetSilent(true);
        reached = reached && run.RunUntil(state, 5000);
        break;
    }
    if (!reached)
    {
        std::printf("%-16s state not reached\n", name);
        return;
    }
    run.mLink->TakeLastError();
    const long linesBefore = gReportLines.load();
    QElapsedTimer timer;
    timer.start();
    run.mDevice.Vanish();
    long linesIn2s = -1;
    qint64 noticed = -1;
    while (timer.elapsed() < 8000 && (noticed < 0 || linesIn2s < 0))
    {
        if (noticed < 0 && run.mLink->GetState() == CONNECTION_STATE_IDLE)
        {
            noticed = timer.elapsed();
        }
        if (linesIn2s < 0 && timer.elapsed() >= 2000)
        {
            // The reports of the first two seconds after the vanish.
            linesIn2s = gReportLines.load() - linesBefore;
        }
        QThread::msleep(1);
    }
    const bool idle = noticed >= 0;
    noticed = idle ? noticed : timer.elapsed();
    char time[32];
    std::snprintf(time, sizeof time, idle ? "%lld" : "> %lld", static_cast<long long>(noticed));
    std::printf("%-16s %14s %8lu %14ld\n", name, time, static_cast<unsigned long>(run.mLink->TakeLastError()),
                linesIn2s);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    SetReportSink([](const std::string&) { ++gReportLines; });

    if (argc <= 2 || QByteArray(argv[2]) != "vanish")
    {
        std::printf("Floods of %d s while connected (fast flood: %d s)\n", seconds, std::min(seconds, 5));
        std::printf(
            "Goals: no growth of resident memory; input held at most %lld KB (port buffer and "
            "parser); a few report lines a second; 50 polls a second and state 2 while the meters are "
            "answered\n",
            static_cast<long long>((cSerialPortManager::READ_BUFFER_SIZE + cSerialFrameParser::CAPACITY) /
                                   1024));
        std::printf("%-40s %10s %10s %10s %10s %8s %10s %12s\n", "flood", "RSS MB", "KB/s", "lines/s",
                    "polls/s", "state", "held KB", "dropped MB");
        Flood("valid 8-byte frames at the line rate", seconds * 1000,
              [](cRun& run) { run.mDevice.WriteRaw(Headers(kLineBytesPerTick / 8, false)); });
        Flood("valid 8-byte frames as fast as possible", std::min(seconds, 5) * 1000,
              [](cRun& run)
              {
                  // 64 KB at a time for most of the tick.
                  const QByteArray burst = Headers(8192, false);
                  QElapsedTimer busy;
                  busy.start();
                  while (busy.elapsed() < kTickMs - 5)
                  {
                      run.mDevice.WriteRaw(burst);
                      run.mDevice.Service();
                  }
              });
        Flood("7 stray bytes before every reply", seconds * 1000,
              [](cRun& run) { run.mDevice.InjectGarbageBeforeNextReply(QByteArray(7, char(0x11))); });
        Flood("impossible headers at the line rate", seconds * 1000,
              [](cRun& run) { run.mDevice.WriteRaw(Headers(kLineBytesPerTick / 8, true)); });
    }

    std::printf("\nDevice vanishes (8 s waited at most)\n");
    std::printf(
        "Goals: idle within 1000 ms in every state, error 2 (device not found), a few report lines\n");
    std::printf("%-16s %14s %8s %14s\n", "state", "noticed ms", "error", "lines in 2 s");
    Vanish("1 port open", CONNECTION_STATE_PORT_OPEN);
    Vanish("2 connected", CONNECTION_STATE_CONNECTED);
    Vanish("4 syncing", CONNECTION_STATE_SYNCING);
    Vanish("5 no reply", CONNECTION_STATE_NO_REPLY);
    SetReportSink({});
    return 0;
}
