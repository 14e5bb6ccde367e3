// The program's window under an X server (Xvfb): the time from the start of the process to the
// window's first frame, the program's CPU use while the window is shown and nothing is touched, and
// its resident memory, connected to the simulated device with its meters moving.
//
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/Window/bench_WindowFootprint [starts] [seconds]
//
// (defaults: 5 starts, 20 s). The real program runs as a child process (a build whose port search
// also lists the simulated device's link, DEVICE_PORT), with a home and a temporary folder of its
// own (so neither the user's settings nor another instance's single-instance guard are touched),
// and the simulated device (corvo-simulated-device --moving-meters) as another child. Both parts
// below run the program as a user does, with the scene graph it chooses itself (no QT_QUICK_BACKEND:
// under Xvfb, which offers no direct rendering, Qt Quick's software renderer, which redraws only what
// changed), and then, for comparison, with Qt Quick's OpenGL renderer forced (QT_QUICK_BACKEND set
// and empty; under Xvfb that is Mesa's llvmpipe, which draws every frame on the CPU). The goals are
// judged on the first.
//
// 1. First frame, `starts` times (the very first on a fresh home, the others on the files it left): Qt's
//    own frame timing log is switched on (QT_LOGGING_RULES "qt.scenegraph.time.renderloop=true",
//    QT_MESSAGE_PATTERN with %{time boot} and %{time process}). The first frame is the first
//    "Frame rendered" line that reports any work (the render loop also logs, with every time 0, a
//    frame it skips because the window is not ready). Its %{time boot}, the monotonic clock this
//    process reads too, less the moment this process started the program, is the time to the first
//    frame. Qt's %{time process} of that line is printed beside it: Qt counts it from the program's
//    first log line, not from the start of the process. Goal: under 0.5 s.
// 2. Idle, once more without the timing log: when the window shows the device as detected (the
//    status line turns orange), xdotool clicks the connect button as a person would; when the status
//    line turns green (connected, the sync done) and the meters on screen move, nothing is touched
//    for `seconds`. Printed: the program's CPU time over that time (utime + stime of all its threads)
//    as a share of one core, goal under 5 %, split by thread; its resident memory at the end (VmRSS),
//    goal under 120 MiB, and its peak (VmHWM); the device's meter polls per second.
//
// The window's places (status line, connect button, meters) are those of the 1280 x 720 window the
// program opens; the benchmark reads them from screen grabs of the program's window.

#include "bench/support/ProcessCpu.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace
{

constexpr double FIRST_FRAME_GOAL_S = 0.5;
constexpr double CPU_GOAL_PERCENT = 5.0;
constexpr double RESIDENT_GOAL_MIB = 120.0;

const QSize WINDOW_SIZE(1280, 720);
const QPoint CONNECT_BUTTON(1102, 37);
const QRect STATUS_TEXT(898, 25, 151, 25);
const QRect INPUT_METERS(240, 238, 32, 304);

enum eStatusColour
{
    STATUS_NONE,
    STATUS_RED,
    STATUS_ORANGE,
    STATUS_GREEN,
};

int Fail(const char* what)
{
    std::fprintf(stderr, "bench_WindowFootprint: %s\n", what);
    return 1;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done())
    {
        if (timer.elapsed() > timeoutMs)
        {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    return true;
}

void Pause(int milliseconds)
{
    WaitUntil([] { return false; }, milliseconds);
}

qint64 MonotonicMs()
{
    QElapsedTimer now;
    now.start();
    return now.msecsSinceReference();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// A field of /proc/<pid>/status in kB, -1 when missing.
long StatusKilobytes(qint64 pid, const char* field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
    {
        return -1;
    }
    const QRegularExpression pattern(QStringLiteral("%1:\\s+(\\d+) kB").arg(QLatin1String(field)));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

// Runs a short command; its standard output, empty when it failed.
QByteArray Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
    {
        process.kill();
        process.waitForFinished(1000);
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

QImage Grab(WId window)
{
    return QGuiApplication::primaryScreen()->grabWindow(window).toImage();
}

// The program's window: the X window titled "Corvo GUI - ..." of the window's size; 0 while none.
WId FindWindow()
{
    const QList<QByteArray> ids =
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Corvo GUI - ")})
            .split('\n');
    for (const QByteArray& id : ids)
    {
        bool ok = false;
        const WId window = WId(id.trimmed().toULongLong(&ok));
        if (ok && Grab(window).size() == WINDOW_SIZE)
        {
            return window;
        }
    }
    return 0;
}

eStatusColour StatusColour(const QImage& window)
{
    int red = 0;
    int orange = 0;
    int green = 0;
    for (int y = STATUS_TEXT.top(); y <= STATUS_TEXT.bottom(); ++y)
    {
        for (int x = STATUS_TEXT.left(); x <= STATUS_TEXT.right(); ++x)
        {
            const QColor colour = window.pixelColor(x, y);
            const int r = colour.red();
            const int g = colour.green();
            const int b = colour.blue();
            if (r > 180 && g < 70 && b < 70)
            {
                ++red;
            }
            else if (r > 180 && g > 110 && g < 200 && b < 70)
            {
                ++orange;
            }
            else if (g > 140 && r < 110 && b < 120)
            {
                ++green;
            }
        }
    }
    const int most = std::max({red, orange, green});
    if (most < 10)
    {
        return STATUS_NONE;
    }
    return most == red ? STATUS_RED : most == orange ? STATUS_ORANGE : STATUS_GREEN;
}

// A child process whose output is kept (the last part of it) and read as it comes.
class cChild
{
public:
    explicit cChild(const QString& name)
        : mName(name)
    {
        QObject::connect(&mProcess, &QProcess::readyReadStandardOutput,
                         [this] { Take(mProcess.readAllStandardOutput(), mStdout, mStdoutLine); });
        QObject::connect(&mProcess, &QProcess::readyReadStandardError,
                         [this] { Take(mProcess.readAllStandardError(), mStderr, mStderrLine); });
    }
    ~cChild() { Stop(); }

    void Start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
               const QString& folder)
    {
        mProcess.setProcessEnvironment(environment);
        mProcess.setWorkingDirectory(folder);
        mProcess.start(program, arguments);
    }
    bool WaitForStarted() { return mProcess.waitForStarted(30000); }
    bool Running() const { return mProcess.state() == QProcess::Running; }
    qint64 Pid() const { return mProcess.processId(); }

    // SIGTERM, then the end; true when it ended of itself with exit code 0.
    bool Stop()
    {
        if (mProcess.state() == QProcess::NotRunning)
        {
            return true;
        }
        mProcess.terminate();
        if (!mProcess.waitForFinished(30000))
        {
            mProcess.kill();
            mProcess.waitForFinished(5000);
            return false;
        }
        return mProcess.exitStatus() == QProcess::NormalExit && mProcess.exitCode() == 0;
    }

    void PrintLog() const
    {
        std::fprintf(stderr, "--- %s, standard output (end):\n%s\n--- %s, standard error (end):\n%s\n",
                     qPrintable(mName), mStdout.right(4000).constData(), qPrintable(mName),
                     mStderr.right(4000).constData());
    }

    std::function<void(const QByteArray& line)> mOnStdoutLine;
    std::function<void(const QByteArray& line)> mOnStderrLine;

private:
    void Take(const QByteArray& bytes, QByteArray& log, QByteArray& partial)
    {
        log += bytes;
        if (log.size() > 65536)
        {
            log = log.right(32768);
        }
        partial += bytes;
        int end = 0;
        while ((end = partial.indexOf('\n')) >= 0)
        {
            const QByteArray line = partial.left(end);
            partial.remove(0, end + 1);
            const auto& handler = &log == &mStdout ? mOnStdoutLine : mOnStderrLine;
            if (handler)
            {
                handler(line);
            }
        }
    }

    QString mName;
    QProcess mProcess;
    QByteArray mStdout;
    QByteArray mStderr;
    QByteArray mStdoutLine;
    QByteArray mStderrLine;
};

struct sFirstFrame
{
    double mSeconds = -1.0;    // from the start of the process (this process's clock)
    double mQtProcess = -1.0;  // Qt's %{time process} of the frame's line
    double mFirstLogAt = -1.0; // the program's first log line, from the start of the process
    double mBootedAt = -1.0;   // its "Booted in" line: the framework and the device model run
    int mFrameMs = -1;         // the frame's own time as Qt logs it
    bool mFreshHome = false;   // the program made its data folders in this run
    QByteArray mSceneGraph;    // the program's "Scene graph: ..." line, empty when it left Qt's default
};

// Seconds of a %{time boot} or %{time process} field.
double Seconds(const QByteArray& field)
{
    return field.trimmed().toDouble();
}

// One start of the program until its first frame, then its end.
bool FirstFrame(const QProcessEnvironment& base, const QString& folder, sFirstFrame& result)
{
    QProcessEnvironment environment = base;
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("qt.scenegraph.time.renderloop=true"));
    environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"),
                       QStringLiteral("%{category}|%{time boot}|%{time process}|%{message}"));
    result.mFreshHome =
        !QFileInfo::exists(environment.value(QStringLiteral("HOME")) + QStringLiteral("/RE Zurov"));
    cChild program(QStringLiteral("the program"));
    qint64 startedMs = 0;
    const QRegularExpression anyWork(QStringLiteral("[1-9]"));
    program.mOnStderrLine = [&](const QByteArray& line)
    {
        const QList<QByteArray> fields = line.split('|');
        if (fields.size() < 4)
        {
            return;
        }
        const double sinceStart = Seconds(fields[1]) - double(startedMs) / 1000.0;
        if (result.mFirstLogAt < 0)
        {
            result.mFirstLogAt = sinceStart;
        }
        const QByteArray message = line.mid(fields[0].size() + fields[1].size() + fields[2].size() + 3);
        if (message.startsWith("Scene graph: "))
        {
            result.mSceneGraph = message;
        }
        if (result.mBootedAt < 0 && message.startsWith("Booted in: "))
        {
            result.mBootedAt = sinceStart;
        }
        // The times of the line, without the window's description that may follow them.
        const int timesEnd = message.indexOf(" - ");
        const QString times = QString::fromLatin1(timesEnd >= 0 ? message.left(timesEnd) : message);
        if (result.mSeconds < 0 && fields[0] == "qt.scenegraph.time.renderloop" &&
            message.startsWith("Frame rendered") && anyWork.match(times).hasMatch())
        {
            result.mSeconds = sinceStart;
            result.mQtProcess = Seconds(fields[2]);
            const QRegularExpressionMatch took =
                QRegularExpression(QStringLiteral(" in (\\d+)ms")).match(QString::fromLatin1(message));
            result.mFrameMs = took.hasMatch() ? took.captured(1).toInt() : -1;
        }
    };
    startedMs = MonotonicMs();
    program.Start(QStringLiteral(CORVO_PROGRAM), {}, environment, folder);
    if (!program.WaitForStarted())
    {
        return false;
    }
    const bool framed = WaitUntil([&] { return result.mSeconds >= 0 || !program.Running(); }, 60000);
    if (!framed || result.mSeconds < 0)
    {
        program.PrintLog();
        return false;
    }
    // Let the start-up finish before the program is asked to end.
    Pause(1000);
    if (!program.Stop())
    {
        std::fprintf(stderr, "the program did not end cleanly after its first frame\n");
    }
    return true;
}

void PrintFirstFrames(const std::vector<sFirstFrame>& runs)
{
    std::printf("Time from the start of the process to the window's first frame (the program logged: %s)\n",
                runs.front().mSceneGraph.isEmpty() ? "no scene graph choice, Qt's default"
                                                   : runs.front().mSceneGraph.constData());
    std::printf("%4s %-6s %16s %17s %15s %11s %11s\n", "run", "home", "first frame (s)", "Qt's process (s)",
                "first log (s)", "booted (s)", "frame (ms)");
    std::vector<double> seconds;
    for (size_t i = 0; i < runs.size(); ++i)
    {
        const sFirstFrame& run = runs[i];
        seconds.push_back(run.mSeconds);
        std::printf("%4zu %-6s %16.3f %17.3f %15.3f %11.3f %11d\n", i + 1,
                    run.mFreshHome ? "fresh" : "reused", run.mSeconds, run.mQtProcess, run.mFirstLogAt,
                    run.mBootedAt, run.mFrameMs);
    }
    const double median = Median(seconds);
    std::printf("median %.3f s, best %.3f s, worst %.3f s   (goal: under %.1f s: %s)\n", median,
                *std::min_element(seconds.begin(), seconds.end()),
                *std::max_element(seconds.begin(), seconds.end()), FIRST_FRAME_GOAL_S,
                median < FIRST_FRAME_GOAL_S ? "met" : "NOT MET");
}

// One run of the program: connected by a click, then idle for `seconds`; prints its figures.
bool MeasureIdle(const QProcessEnvironment& environment, const QString& folder, int seconds,
                 const int& meterPolls, const char* renderer)
{
    cChild program(QStringLiteral("the program"));
    program.Start(QStringLiteral(CORVO_PROGRAM), {}, environment, folder);
    WId window = 0;
    const auto fail = [&](const char* what)
    {
        program.PrintLog();
        Fail(what);
        return false;
    };
    if (!program.WaitForStarted() || !WaitUntil([&] { return (window = FindWindow()) != 0; }, 30000))
    {
        return fail("the program's window did not show");
    }
    // The port list comes about 5 s after the start.
    if (!WaitUntil([&] { return StatusColour(Grab(window)) == STATUS_ORANGE; }, 30000))
    {
        return fail("the window did not show the device as detected");
    }
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
         QString::number(CONNECT_BUTTON.x()), QString::number(CONNECT_BUTTON.y()), QStringLiteral("click"),
         QStringLiteral("1")});
    if (!WaitUntil([&] { return StatusColour(Grab(window)) == STATUS_GREEN; }, 30000))
    {
        return fail("the click on the connect button did not connect");
    }
    const auto metersMove = [&]
    {
        const QImage before = Grab(window).copy(INPUT_METERS);
        Pause(200);
        return Grab(window).copy(INPUT_METERS) != before;
    };
    if (!WaitUntil(metersMove, 10000))
    {
        return fail("the meters on screen do not move");
    }
    Pause(2000);

    const qint64 pid = program.Pid();
    const double cpuBefore = nProcessCpu::StatSeconds(QStringLiteral("/proc/%1/stat").arg(pid));
    const QMap<QString, double> threadsBefore = nProcessCpu::ThreadSeconds(pid);
    const int pollsBefore = meterPolls;
    QElapsedTimer wall;
    wall.start();
    Pause(seconds * 1000);
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = nProcessCpu::StatSeconds(QStringLiteral("/proc/%1/stat").arg(pid)) - cpuBefore;
    const QMap<QString, double> threadsAfter = nProcessCpu::ThreadSeconds(pid);
    const int polls = meterPolls - pollsBefore;
    const double resident = double(StatusKilobytes(pid, "VmRSS")) / 1024.0;
    const double peak = double(StatusKilobytes(pid, "VmHWM")) / 1024.0;
    const bool stillConnected = StatusColour(Grab(window)) == STATUS_GREEN && metersMove();

    const double cpuPercent = 100.0 * cpu / elapsed;
    std::printf(
        "\n%s:\nconnected by a click on the connect button, the meters moving, nothing touched for %.1f s\n",
        renderer, elapsed);
    std::printf("  CPU: %.3f s = %.2f %% of one core   (goal: under %.0f %%: %s)\n", cpu, cpuPercent,
                CPU_GOAL_PERCENT, cpuPercent < CPU_GOAL_PERCENT ? "met" : "NOT MET");
    for (auto it = threadsAfter.constBegin(); it != threadsAfter.constEnd(); ++it)
    {
        const double used = it.value() - threadsBefore.value(it.key(), 0.0);
        if (used > 0.0)
        {
            std::printf("    thread %-18s %.2f s = %.2f %%\n", qPrintable(it.key()), used,
                        100.0 * used / elapsed);
        }
    }
    std::printf("  resident memory: %.1f MiB   (goal: under %.0f MiB: %s); peak %.1f MiB\n", resident,
                RESIDENT_GOAL_MIB, resident < RESIDENT_GOAL_MIB ? "met" : "NOT MET", peak);
    std::printf("  meter polls received by the device: %.1f per second (a tick is 20 ms)\n",
                double(polls) / elapsed);
    std::printf("  still connected, meters moving at the end: %s\n", stillConnected ? "yes" : "no");

    const bool ended = program.Stop();
    if (!ended)
    {
        std::fprintf(stderr, "the program did not end cleanly on SIGTERM\n");
    }
    return stillConnected && ended;
}

} // namespace

int main(int argc, char** argv)
{
    // This process grabs the program's window from the X server at the scale the program uses.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_SCALE_FACTOR");
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
    {
        return Fail("no X display: run it under xvfb-run -a -s \"-screen 0 1600x1000x24\"");
    }
    QGuiApplication application(argc, argv);
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
    {
        return Fail("xdotool is missing (scripts/install-deps.sh installs it)");
    }

    QTemporaryDir folder;
    if (!folder.isValid() || !QDir(folder.path()).mkpath(QStringLiteral("home")) ||
        !QDir(folder.path()).mkpath(QStringLiteral("tmp")))
    {
        return Fail("no temporary folder");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), folder.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("TMPDIR"), folder.filePath(QStringLiteral("tmp")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const char* name : {"QT_QUICK_BACKEND", "QT_SCALE_FACTOR", "QT_LOGGING_RULES", "QT_MESSAGE_PATTERN"})
    {
        environment.remove(QLatin1String(name));
    }

    QFile load(QStringLiteral("/proc/loadavg"));
    const QByteArray loadAverage =
        load.open(QIODevice::ReadOnly) ? load.readAll().trimmed() : QByteArray("?");
    std::printf("The program's window under the X server %s (%s), the simulated device on %s\n",
                qgetenv("DISPLAY").constData(), CORVO_PROGRAM, DEVICE_PORT);
    std::printf("Load average at the start: %s (%d cores)\n", loadAverage.constData(),
                QThread::idealThreadCount());
    std::printf(
        "Times in seconds from the start of the process (the monotonic clock): the first frame, the\n"
        "program's first log line and its \"Booted in\" line (before the window loads); beside them\n"
        "Qt's %%{time process} of the first frame, which counts from the first log line, and the first\n"
        "frame's own time in ms. The GUI thread bears the program's name.\n\n");

    cChild device(QStringLiteral("the simulated device"));
    int meterPolls = 0;
    device.mOnStdoutLine = [&](const QByteArray& line)
    {
        if (line.contains(" cmd 4 "))
        {
            ++meterPolls;
        }
    };
    const QString link = folder.filePath(QStringLiteral(DEVICE_PORT));
    device.Start(QStringLiteral(SIMULATED_DEVICE_PROGRAM), {QStringLiteral("--moving-meters"), link},
                 QProcessEnvironment::systemEnvironment(), folder.path());
    if (!device.WaitForStarted() || !WaitUntil([&] { return QFileInfo(link).isSymLink(); }, 10000))
    {
        device.PrintLog();
        return Fail("the simulated device did not start");
    }

    // The program as a user runs it: it chooses its scene graph itself. Then, for comparison, Qt
    // Quick's OpenGL renderer forced: a QT_QUICK_BACKEND that is set leaves the choice to Qt, and an
    // empty one is Qt's default.
    QProcessEnvironment openGL = environment;
    openGL.insert(QStringLiteral("QT_QUICK_BACKEND"), QString());
    const struct
    {
        const QProcessEnvironment* mEnvironment;
        const char* mName;
    } renderers[] = {
        {&environment, "The program's own choice of scene graph (no QT_QUICK_BACKEND)"},
        {&openGL, "Qt Quick's OpenGL renderer forced (QT_QUICK_BACKEND empty; under Xvfb Mesa's llvmpipe, on "
                  "the CPU)"},
    };
    for (const auto& renderer : renderers)
    {
        std::vector<sFirstFrame> firstFrames;
        for (int run = 0; run < starts; ++run)
        {
            sFirstFrame frame;
            if (!FirstFrame(*renderer.mEnvironment, folder.path(), frame))
            {
                return Fail("no first frame");
            }
            firstFrames.push_back(frame);
        }
        std::printf("%s:\n", renderer.mName);
        PrintFirstFrames(firstFrames);
        std::printf("\n");
    }
    bool idleRuns = true;
    for (const auto& renderer : renderers)
    {
        idleRuns = MeasureIdle(*renderer.mEnvironment, folder.path(), seconds, meterPolls, renderer.mName) &&
                   idleRuns;
    }
    device.Stop();
    return idleRuns ? 0 : 1;
}