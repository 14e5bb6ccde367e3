// CPU use of the program while connected to the simulated device and idle.
//
//   bench_IdleConnectedCpu [seconds]      (default 30)
//
// Runs the program's device model in this process as qMain runs it (the application object, the
// syscall and action-tick threads, the Qt event loop, no user interface) against the standalone
// simulated device in a process of its own. It connects through the serial connection driver's
// parameter messages, syncs through the saves manager, confirms, and then stays idle for the given
// time while the meters are polled every tick. Printed: this process's CPU time over the idle time
// as a share of one core (goal: under 2 %), split by thread, the meter polls and replies per
// second, and the simulated device's own CPU share.

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/App/cSerialConnectDriver.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "CorvoGUI/Core/Units/cMeteringSources.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cMeterDisplayDriverBase.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/sParameterLinkingCommand.h"
#include "bench/support/ProcessCpu.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/cRecordingNetObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace
{

// A meter on screen, as the fader strips link them: counts the values it is given.
class cCountingMeterDriver : public cMeterDisplayDriverBase
{
public:
    explicit cCountingMeterDriver(const char* name)
        : cMeterDisplayDriverBase(name, 32767, -768, false, 0)
    {
    }
    ~cCountingMeterDriver() override { DestroyAudioObject(); }
    void MeterValues(GAIN, GAIN) override { mValues.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<unsigned long> mValues{0};
};

double ProcessCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Post(KV_NET_DATA_SCALE destination, UWORD method, const QByteArray& payload, KV_NET_DATA_SCALE source)
{
    cKVNetMessage message(UWORD(payload.size()));
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = destination;
    message.mSource = source;
    message.mMethod = method;
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    PostMessage(message);
}

void Link(const char* source, UWORD sourceParam, const char* destination, UWORD destParam, bool sync,
          bool bidirect = true)
{
    sParameterLinkingCommand command;
    command.SetSourcePath(source);
    command.SetDestinationPath(destination);
    command.mSourceParam = sourceParam;
    command.mDestParam = destParam;
    command.mSync = sync;
    gSystemBuilder->AddLinkCommandToList(command, bidirect);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs)
    {
        if (done())
        {
            return true;
        }
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return done();
}

int Fail(const char* what)
{
    std::fprintf(stderr, "bench_IdleConnectedCpu: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    // A home of its own, so the user's non-volatile RAM file is not touched.
    QTemporaryDir folder;
    if (!folder.isValid())
    {
        return Fail("no temporary folder");
    }
    qputenv("HOME", QFile::encodeName(folder.path()));
    RebuildDataFolderPaths();
    QDir::setCurrent(folder.path());
    const QString portName = QStringLiteral("./d%1").arg(QCoreApplication::applicationPid() % 10000);

    QProcess device;
    device.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    device.start(QStringLiteral(SIMULATED_DEVICE_PROGRAM),
                 {QStringLiteral("--quiet"), folder.filePath(portName)});
    if (!device.waitForStarted(10000) ||
        !WaitUntil([&] { return QFileInfo(folder.filePath(portName)).isSymLink(); }, 10000))
    {
        return Fail("the simulated device did not start");
    }

    StartSystem(0, true);
    cApplication* program = new cApplication(
        std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(portName)}));
    program->StartSyscallThread();
    program->StartActionTickThread();
    SetSystemRunning(true);

    cRecordingNetObject* backend = nullptr;
    std::vector<std::unique_ptr<cCountingMeterDriver>> meters;
    {
        cRegistryLocker lock;
        backend = new cRecordingNetObject("Bench Serial Connection Backend", 5);
        for (int i = 0; i < cMeteringSources::NUMBER_OF_METERS; ++i)
        {
            const QByteArray name = QByteArray("Bench Meter Widget ") + QByteArray::number(i);
            meters.push_back(std::make_unique<cCountingMeterDriver>(name.constData()));
            Link(cMeteringSources::NAME, UWORD(cMeteringSources::P_INPUT_LEFT + i), name.constData(),
                 PARAMETER_BASE, false, false);
        }
    }
    for (UWORD method = cSerialConnectDriver::P_CONNECT; method <= cSerialConnectDriver::P_SYNC_DONE;
         ++method)
    {
        Link(cSerialConnectDriver::NAME, method, backend->GetName(), method, false);
    }
    const bool linked =
        WaitUntil([] { return gSystemBuilder->GetQueuedCount() == 0 && !gSystemBuilder->IsBusy(); }, 10000);
    // Takes the program down as qMain does, on every path from here on.
    const auto shutdown = [&](int result)
    {
        SetSystemRunning(false);
        program->StopSyscallThread();
        delete backend;
        meters.clear();
        delete program;
        device.terminate();
        device.waitForFinished(10000);
        return result;
    };
    const KV_NET_DATA_SCALE driver = gRegistryRouter->FindHandleByName(cSerialConnectDriver::NAME);
    const KV_NET_DATA_SCALE saves = gRegistryRouter->FindHandleByName(cSavesManager::NAME);
    const auto status = [&](eConnectionState state)
    {
        Post(driver, cSerialConnectDriver::P_STATUS, QByteArray(), backend->GetHandle());
        QThread::msleep(20);
        const QByteArray answer = backend->LastPayload(cSerialConnectDriver::P_STATUS);
        return answer.size() == 2 && UBYTE(answer[0]) == state;
    };

    if (!linked)
    {
        return shutdown(Fail("links not made"));
    }
    QByteArray request(1, '\1');
    request.append(portName.toUtf8());
    request.append('\0');
    Post(driver, cSerialConnectDriver::P_CONNECT, request, backend->GetHandle());
    if (!WaitUntil([&] { return status(CONNECTION_STATE_SYNCING); }, 20000))
    {
        return shutdown(Fail("no handshake"));
    }
    Post(saves, cSavesManager::P_SYNC, QByteArray(), backend->GetHandle());
    QThread::msleep(100);
    Post(driver, cSerialConnectDriver::P_SYNC_DONE, QByteArray(), backend->GetHandle());
    if (!WaitUntil([&] { return status(CONNECTION_STATE_CONNECTED); }, 20000))
    {
        return shutdown(Fail("not running"));
    }
    // Settle, then measure the idle time in the Qt event loop, as the program spends it.
    WaitUntil([] { return false; }, 1000);

    cSerialInterface* serial = program->GetSerialInterface();
    const sSerialLinkStatistics linkBefore = serial->GetStatistics();
    const unsigned long meterValuesBefore = meters[0]->mValues.load();
    const double cpuBefore = ProcessCpuSeconds();
    const QMap<QString, double> threadsBefore =
        nProcessCpu::ThreadSeconds(QCoreApplication::applicationPid());
    const QString deviceStat = QStringLiteral("/proc/%1/stat").arg(device.processId());
    const double deviceBefore = nProcessCpu::StatSeconds(deviceStat);
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const QMap<QString, double> threadsAfter = nProcessCpu::ThreadSeconds(QCoreApplication::applicationPid());
    const double deviceCpu = nProcessCpu::StatSeconds(deviceStat) - deviceBefore;
    const sSerialLinkStatistics linkAfter = serial->GetStatistics();
    const unsigned long meterValues = meters[0]->mValues.load() - meterValuesBefore;
    const bool stillConnected = status(CONNECTION_STATE_CONNECTED);

    std::printf("Idle and connected to the simulated device for %.1f s\n", elapsed);
    std::printf("  program CPU: %.3f s = %.2f %% of one core (goal: under 2 %%)\n", cpu,
                100.0 * cpu / elapsed);
    for (auto it = threadsAfter.constBegin(); it != threadsAfter.constEnd(); ++it)
    {
        const double used = it.value() - threadsBefore.value(it.key(), 0.0);
        std::printf("    thread %-18s %.3f s = %.2f %%\n", qPrintable(it.key()), used,
                    100.0 * used / elapsed);
    }
    std::printf("  frames written: %.1f per second; replies handled: %.1f per second (a tick is 20 ms)\n",
                double(linkAfter.mFramesWritten - linkBefore.mFramesWritten) / elapsed,
                double(linkAfter.mRepliesHandled - linkBefore.mRepliesHandled) / elapsed);
    std::printf("  meter values shown: %.1f per second on each of the %d linked meters\n",
                double(meterValues) / elapsed, cMeteringSources::NUMBER_OF_METERS);
    std::printf("  simulated device CPU: %.3f s = %.2f %% of one core\n", deviceCpu,
                100.0 * deviceCpu / elapsed);
    std::printf("  still connected at the end: %s\n", stillConnected ? "yes" : "no");

    Post(driver, cSerialConnectDriver::P_CONNECT, QByteArray(9, '\0'), backend->GetHandle());
    WaitUntil([&] { return status(CONNECTION_STATE_IDLE); }, 5000);
    return shutdown(stillConnected ? 0 : 1);
}
