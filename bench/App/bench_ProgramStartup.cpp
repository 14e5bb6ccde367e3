// Start-up of the program without its user interface.
//
//   bench_ProgramStartup [runs]      (default 5)
//
// Starts the program binary headless (QT_QPA_PLATFORM=offscreen) with a home folder of its own, the
// first run on a fresh home (it creates the data folders and the non-volatile RAM file), the others
// on the files the first left. Printed per run: the time from starting the process to the "System
// Started" line as this process sees it, the program's own "Booted in" figure, the resident memory
// (VmRSS) half a second after start, and the time from SIGTERM to the end of the process.
//
// Then, in this process and with a home of its own, the link time of the back ends: the program is
// assembled as qMain does up to "System Started" (framework, application object, both threads
// running), and the time is taken from there until the root back end is made, LinkBackends has
// queued every link and the system builder has made them all with its queue empty. Goal: under
// 250 ms, so that the controls are live before the window's first frame.

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSystemBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

namespace
{

// A field of /proc/<pid>/status in kB, -1 when missing.
long StatusKilobytes(qint64 pid, const char* field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
    {
        return -1;
    }
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpression pattern(QStringLiteral("%1:\\s+(\\d+) kB").arg(QLatin1String(field)));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

double Median(std::vector<double> values)
{
    if (values.empty())
    {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

constexpr double LINK_TIME_GOAL_MS = 250.0;

struct sLinkRun
{
    double mMilliseconds = -1.0;
    unsigned long mLinks = 0;
};

// One in-process start-up as far as the back ends' links (see the file comment).
sLinkRun LinkBackends()
{
    StartSystem(0, true);
    cApplication* application = new cApplication();
    application->StartSyscallThread();
    application->StartActionTickThread();
    SetSystemRunning(true);

    sLinkRun run;
    QElapsedTimer timer;
    timer.start();
    const unsigned long before = gSystemBuilder->GetRequestedCount();
    cCorvoQmlBackend* backend = new cCorvoQmlBackend();
    backend->LinkBackends();
    run.mLinks = gSystemBuilder->GetRequestedCount() - before;
    while (gSystemBuilder->GetQueuedCount() != 0 || gSystemBuilder->IsBusy())
    {
        if (timer.elapsed() > 60000)
        {
            std::fprintf(stderr, "the links were not made within a minute\n");
            break;
        }
        QThread::usleep(100);
    }
    run.mMilliseconds = double(timer.nsecsElapsed()) / 1e6;

    SetSystemRunning(false);
    application->StopSyscallThread();
    backend->UnlinkBackends();
    delete application;
    delete backend;
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir folder;
    if (!folder.isValid())
    {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder.path());
    environment.insert(QStringLiteral("TMPDIR"), folder.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::printf("Program start-up without a user interface (%s)\n", CORVO_PROGRAM);
    std::printf("%4s %-6s %14s %12s %12s %12s %14s\n", "run", "home", "to start (ms)", "booted (ms)",
                "RSS (MiB)", "peak (MiB)", "shutdown (ms)");
    std::vector<double> toStart;
    std::vector<double> booted;
    std::vector<double> resident;
    std::vector<double> shutdown;
    for (int run = 1; run <= runs; ++run)
    {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setWorkingDirectory(folder.path());
        QElapsedTimer timer;
        timer.start();
        program.start(QStringLiteral(CORVO_PROGRAM), QStringList());
        if (!program.waitForStarted(30000))
        {
            std::fprintf(stderr, "the program did not start\n");
            return 1;
        }
        QByteArray output;
        while (!output.contains("System Started") && program.state() == QProcess::Running &&
               timer.elapsed() < 60000)
        {
            program.waitForReadyRead(1);
            output += program.readAll();
        }
        const double startMs = double(timer.nsecsElapsed()) / 1e6;
        if (!output.contains("System Started"))
        {
            std::fprintf(stderr, "no \"System Started\":\n%s\n", output.constData());
            return 1;
        }
        QThread::msleep(500);
        output += program.readAll();
        const long rss = StatusKilobytes(program.processId(), "VmRSS");
        const long peak = StatusKilobytes(program.processId(), "VmHWM");
        const QRegularExpressionMatch boot =
            QRegularExpression(QStringLiteral("Booted in: (\\d+)ms")).match(QString::fromLocal8Bit(output));

        QElapsedTimer stopping;
        stopping.start();
        ::kill(pid_t(program.processId()), SIGTERM);
        program.waitForFinished(60000);
        const double stopMs = double(stopping.nsecsElapsed()) / 1e6;
        if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0)
        {
            std::fprintf(stderr, "the program ended with %d\n", program.exitCode());
        }

        toStart.push_back(startMs);
        booted.push_back(boot.hasMatch() ? boot.captured(1).toDouble() : -1.0);
        resident.push_back(double(rss) / 1024.0);
        shutdown.push_back(stopMs);
        std::printf("%4d %-6s %14.1f %12.0f %12.1f %12.1f %14.1f\n", run, run == 1 ? "fresh" : "reused",
                    startMs, booted.back(), resident.back(), double(peak) / 1024.0, stopMs);
    }
    std::printf("median      %14.1f %12.0f %12.1f %12s %14.1f\n", Median(toStart), Median(booted),
                Median(resident), "", Median(shutdown));

    QTemporaryDir linkHome;
    if (!linkHome.isValid())
    {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    // The data folders were built from the caller's home before main: build them again, so the
    // links run on a fresh non-volatile RAM file of their own and the user's is not touched.
    qputenv("HOME", QFile::encodeName(linkHome.path()));
    RebuildDataFolderPaths();
    std::printf("\nBack-end links from \"System Started\" until the builder's queue is empty\n");
    std::printf("%4s %10s %12s\n", "run", "links", "time (ms)");
    std::vector<double> linkTimes;
    for (int run = 1; run <= runs; ++run)
    {
        const sLinkRun result = LinkBackends();
        linkTimes.push_back(result.mMilliseconds);
        std::printf("%4d %10lu %12.1f\n", run, result.mLinks, result.mMilliseconds);
    }
    const double linkMedian = Median(linkTimes);
    std::printf("median %21.1f   (goal: under %.0f ms: %s)\n", linkMedian, LINK_TIME_GOAL_MS,
                linkMedian < LINK_TIME_GOAL_MS ? "met" : "NOT MET");
    return 0;
}
