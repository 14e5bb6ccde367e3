// The program against hostile peers on the network, before and after: each scenario starts the
// program binary as a person does (headless, with a home of its own) and attacks it with peers
// written here from the wire protocol alone, over loopback in a network namespace of its own.
//
//   bench_HostilePeers [--seconds N] [--tries N]
//                      [--only flood|spread|stale|leave|mirror|silent|shutdown] [[label=]program...]
//
// Without programs it runs the one built here; given several (for example before=<the base
// commit's build> after=<this build>) it prints their figures side by side. Scenarios:
//   flood     for N seconds (60 unless given) one peer sends link requests to one object, each
//             with an asker's handle and method of its own, as fast as the program takes them and
//             reading all it gets; a second peer asks the router to find an object every 100 ms.
//             Printed: the program's resident memory growth over the flood (goal: under 1 MB),
//             its CPU time, the requests sent, and the find's answer time (goal: under 10 ms).
//   spread    the same, with the requests spread over every object (handles 1 to 300), so that
//             the flood meets the bound of all the links of one connection, not of one object.
//   stale     a peer asks for a link to a strip's mute, with sync-up, while another peer keeps the
//             router busy with port searches, and leaves at once; a third peer takes its
//             connection id and changes the mute. Printed: messages for the first peer that
//             reached the third (goal: 0), over 3 runs.
//   leave     a peer sets the Input L fader's gain and leaves (BYE, close, reset, or stays
//             connected); a second peer then reads the gain back (a link with sync-up), N tries (20
//             unless --tries) per way of leaving, with the router idle, busy with 2 peers that each
//             hold 256 links to the strip's mute while it changes 1000 times a second, and with 8
//             such peers while it changes as fast as the program takes it. Printed: the changes
//             carried out (goal: all) and what a find after each try took.
//   mirror    the objects and parameters the program offers are found (peers that each link the
//             first 64 parameters of 16 handles to one handle of their own, counting the answers);
//             then one peer links every parameter once and a second time. Printed: the links made,
//             refused with an answer and left without answer (goal: all made).
//   silent    20 peers connect and say nothing; then a well-formed peer tries until it is
//             answered. Printed: how long that took (goal: under 11 s; at most 40 s is waited).
//   shutdown  a peer has stopped reading with the program's queue to it full, another reads;
//             SIGTERM. Printed: the time to the program's end (goal: under 2 s) and whether the
//             reading peer got the farewell.

#include "KVNet/Core/KVNetMethods.h"
#include "bench/support/ProcessCpu.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/PeerHello.h"
#include "tests/support/network/cLinkingPeer.h"
#include "tests/support/network/cRawSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

using namespace nPeerFrames;

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 SERVER_PORT = 51321;
constexpr quint16 FIRST_SERVER_UDP_PORT = 51325;
const char* const FLOODED_OBJECT = "Saves Manager NetObject";
const char* const FOUND_OBJECT = "Metering Sources NetObject";
const char* const STRIP = "InOutFader:Input L Control Strip Unit";
const char* const SERIAL_DRIVER = "Serial Connection Driver NetObject";
constexpr quint16 STRIP_MUTE = PARAMETER_BASE;
constexpr quint16 STRIP_GAIN = PARAMETER_BASE + 2;
// Handles up to which the spread flood and the search for objects reach (the program gives out
// about 250).
constexpr quint16 SPREAD_HANDLES = 300;
constexpr quint16 SEARCHED_HANDLES = 512;
constexpr quint16 SERIAL_PORT_LIST = PARAMETER_BASE + 1;
constexpr quint16 SERIAL_VERSION = PARAMETER_BASE + 2;

QByteArray Name(const char* name)
{
    return QByteArray(name, int(qstrlen(name)) + 1);
}

// The program in a process of its own, with a home and temporary folder of its own.
class cProgram
{
public:
    explicit cProgram(const QString& path)
    {
        // A single-instance key left by a program that was killed may look like a running
        // program to a new one whose temporary folder happens to give the same key: it then only
        // says so, and a start in another folder follows.
        for (int attempt = 0; attempt < 3 && !mStarted; ++attempt)
        {
            if (mProcess.state() != QProcess::NotRunning)
            {
                mProcess.kill();
                mProcess.waitForFinished(10000);
            }
            mFolder = std::make_unique<QTemporaryDir>();
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("HOME", mFolder->path());
            environment.insert("TMPDIR", mFolder->path());
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            environment.insert("QT_QUICK_BACKEND", "software");
            mProcess.setProcessEnvironment(environment);
            mProcess.setProcessChannelMode(QProcess::MergedChannels);
            mProcess.setWorkingDirectory(mFolder->path());
            mOutput.clear();
            mSeen.clear();
            mProcess.start(path, QStringList());
            if (!mProcess.waitForStarted(30000))
            {
                continue;
            }
            QElapsedTimer timer;
            timer.start();
            while (!OutputContains("System Started - V1.00") && !OutputContains("is already running") &&
                   timer.elapsed() < 60000 && mProcess.state() == QProcess::Running)
            {
                mProcess.waitForReadyRead(50);
            }
            mStarted = OutputContains("System Started - V1.00");
        }
    }
    // Ends the program as a person would, so that it leaves nothing behind (a killed one would
    // leave its single-instance key, which a later start could take for a running one).
    ~cProgram()
    {
        if (mProcess.state() != QProcess::NotRunning && Terminate(40000) < 0)
        {
            mProcess.kill();
            mProcess.waitForFinished(10000);
        }
    }

    bool Started() const { return mStarted; }
    // What the program wrote last.
    QByteArray Tail() const { return mOutput.right(2000); }
    qint64 Pid() const { return mProcess.processId(); }
    // Takes what the program wrote (only a tail is kept, so that it cannot pile up), noting the
    // texts looked for.
    void Drain()
    {
        QCoreApplication::processEvents();
        mOutput += mProcess.readAll();
        for (auto& looked : mSeen)
        {
            looked.second = looked.second || mOutput.contains(looked.first);
        }
        if (mOutput.size() > 1 << 20)
        {
            mOutput = mOutput.right(4096);
        }
    }
    // Whether the program has written text since it started.
    bool OutputContains(const char* text)
    {
        const QByteArray key(text);
        if (mSeen.count(key) == 0)
        {
            mSeen[key] = mOutput.contains(key);
        }
        Drain();
        return mSeen[key];
    }
    double ResidentMB() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(Pid()));
        if (!status.open(QIODevice::ReadOnly))
        {
            return 0.0;
        }
        for (const QByteArray& line : status.readAll().split('\n'))
        {
            if (line.startsWith("VmRSS:"))
            {
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
        return 0.0;
    }
    double CpuSeconds() const { return nProcessCpu::StatSeconds(QStringLiteral("/proc/%1/stat").arg(Pid())); }
    // Sends SIGTERM; the milliseconds until the program ended, or -1 after timeoutMs.
    qint64 Terminate(int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(Pid()), SIGTERM);
        while (mProcess.state() != QProcess::NotRunning && timer.elapsed() < timeoutMs)
        {
            mProcess.waitForFinished(10);
            Drain();
        }
        return mProcess.state() == QProcess::NotRunning ? timer.elapsed() : -1;
    }

private:
    std::unique_ptr<QTemporaryDir> mFolder;
    QProcess mProcess;
    QByteArray mOutput;
    std::map<QByteArray, bool> mSeen;
    bool mStarted = false;
};

// A unit connected to the program: its TCP link and the UDP socket it announced.
struct sPeer
{
    cRawSocket mTcp;
    cRawSocket mUdp;
    quint16 mProgramUdp = 0;
    QElapsedTimer mSinceBeat;

    // Connects and says hello; false when the program does not answer within timeoutMs.
    bool Connect(int timeoutMs = 5000, int receiveBufferBytes = 0)
    {
        mTcp = cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT, 5000, receiveBufferBytes);
        mUdp = cRawSocket::Udp(LOCALHOST);
        if (!nPeerHello::Exchange(mTcp, mUdp, timeoutMs, mProgramUdp))
        {
            return false;
        }
        mSinceBeat.start();
        return true;
    }
    // The heartbeat once a second, so that the program does not declare the peer lost.
    void Beat()
    {
        if (mSinceBeat.isValid() && mSinceBeat.elapsed() >= 1000)
        {
            mUdp.SendTo(Heartbeat(), LOCALHOST, mProgramUdp);
            mSinceBeat.restart();
        }
    }
    // The handle of a named object, or 0xFFFF; what else arrives meanwhile is dropped.
    quint16 Find(const char* name, quint16 asker = 40)
    {
        mTcp.Send(V1(0, 0, asker, M_REG_FIND_OBJECT, Name(name)));
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000)
        {
            mTcp.Poll();
            quint16 destination = 0;
            quint16 source = 0;
            quint16 method = 0;
            QByteArray payload;
            while (TakeV1(mTcp.Received(), destination, source, method, payload))
            {
                if (destination == asker && method == M_REPLY_OK && payload.size() == 2)
                {
                    return quint16((quint8(payload[0]) << 8) | quint8(payload[1]));
                }
                if (destination == asker && method == M_REPLY_FAIL)
                {
                    return 0xFFFF;
                }
            }
            QThread::msleep(1);
        }
        return 0xFFFF;
    }
};

struct sFigures
{
    std::vector<QString> mValues;
};

using tScenario = std::function<sFigures(const QString& program)>;

// --- Scenarios ---

sFigures Flood(const QString& path, int seconds, bool spread)
{
    cProgram program(path);
    sPeer flooder;
    sPeer finder;
    if (!program.Started() || !flooder.Connect() || !finder.Connect())
    {
        return {{"did not start", "", "", "", ""}};
    }
    const quint16 target = flooder.Find(FLOODED_OBJECT);
    QThread::msleep(500);
    const double residentBefore = program.ResidentMB();
    const double cpuBefore = program.CpuSeconds();

    std::vector<double> answers;
    quint64 requests = 0;
    QByteArray pending;
    QElapsedTimer flood;
    flood.start();
    QElapsedTimer findAsked;
    bool findPending = false;
    QElapsedTimer sinceFind;
    sinceFind.start();
    while (flood.elapsed() < seconds * 1000LL)
    {
        if (pending.isEmpty())
        {
            for (int i = 0; i < 256; ++i, ++requests)
            {
                const quint16 handle = quint16(requests & 0xFFFF);
                const quint16 method = quint16(PARAMETER_BASE + (requests >> 16));
                const quint16 object = spread ? quint16(1 + requests % SPREAD_HANDLES) : target;
                pending += V1(0, object, handle, M_OBJECT_ADD_TO_INFORM_LIST,
                              LinkRequest(handle, method, PARAMETER_BASE, false));
            }
        }
        const qint64 written = flooder.mTcp.SendSome(pending);
        if (written < 0)
        {
            return {{"flooding peer cut off", "", "", "", ""}};
        }
        pending.remove(0, int(written));
        flooder.mTcp.Poll();
        flooder.mTcp.Received().clear();

        if (!findPending && sinceFind.elapsed() >= 100)
        {
            finder.mTcp.Send(V1(0, 0, 41, M_REG_FIND_OBJECT, Name(FOUND_OBJECT)));
            findAsked.start();
            findPending = true;
            sinceFind.restart();
        }
        if (findPending)
        {
            finder.mTcp.Poll();
            quint16 destination = 0;
            quint16 source = 0;
            quint16 method = 0;
            QByteArray payload;
            while (TakeV1(finder.mTcp.Received(), destination, source, method, payload))
            {
                if (destination == 41)
                {
                    answers.push_back(double(findAsked.nsecsElapsed()) / 1e6);
                    findPending = false;
                }
            }
        }
        flooder.Beat();
        finder.Beat();
        program.Drain();
        if (written == 0)
        {
            QThread::usleep(200);
        }
    }
    const double elapsed = double(flood.elapsed()) / 1000.0;
    const double cpu = program.CpuSeconds() - cpuBefore;
    const double growth = program.ResidentMB() - residentBefore;
    std::sort(answers.begin(), answers.end());
    auto at = [&answers](double share)
    { return answers.empty() ? 0.0 : answers[std::min(answers.size() - 1, size_t(share * answers.size()))]; };
    return {
        {QString::asprintf("%.1f MB", growth),
         QString::asprintf("%.1f s in %.0f s (%.0f %% of a core)", cpu, elapsed, 100.0 * cpu / elapsed),
         QString::asprintf("%llu (%.0f/s)", static_cast<unsigned long long>(requests),
                           double(requests) / elapsed),
         QString::asprintf("%.1f / %.1f ms", at(0.5), at(0.95)),
         QString::asprintf("%.1f ms (%zu finds)", answers.empty() ? 0.0 : answers.back(), answers.size())}};
}

sFigures Stale(const QString& path)
{
    int leaked = 0;
    int runs = 0;
    for (int run = 0; run < 3; ++run)
    {
        cProgram program(path);
        sPeer leaving;
        sPeer busy;
        if (!program.Started() || !leaving.Connect() || !busy.Connect())
        {
            std::fprintf(stderr, "stale, run %d: %s\n", run + 1,
                         program.Started() ? "the program did not answer HELLO"
                                           : "the program did not start");
            continue;
        }
        const quint16 strip = leaving.Find(STRIP);
        const quint16 driver = busy.Find(SERIAL_DRIVER);
        // Port searches keep the router busy, so that the link request waits behind them while
        // its peer leaves.
        QByteArray searches;
        for (int i = 0; i < 100; ++i)
        {
            searches += V1(0, driver, 90, SERIAL_PORT_LIST);
        }
        busy.mTcp.Send(searches);
        QThread::msleep(20);
        constexpr quint16 LEAVING_HANDLE = 0x0A0A;
        leaving.mTcp.Send(V1(0, strip, LEAVING_HANDLE, M_OBJECT_ADD_TO_INFORM_LIST,
                             LinkRequest(LEAVING_HANDLE, STRIP_MUTE, STRIP_MUTE, true)));
        leaving.mTcp.Close();

        // The next peer of that id (its UDP port tells the id) changes the mute.
        sPeer next;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && !(next.Connect() && next.mProgramUdp == FIRST_SERVER_UDP_PORT))
        {
            next = sPeer();
            QThread::msleep(20);
        }
        if (next.mProgramUdp != FIRST_SERVER_UDP_PORT)
        {
            std::fprintf(stderr, "stale, run %d: the first peer's id was not given out again\n", run + 1);
            continue;
        }
        ++runs;
        next.mTcp.Send(V1(0, strip, 0x0B0B, STRIP_MUTE, QByteArray(1, '\1')));
        next.mTcp.Send(V1(0, strip, 0x0B0B, STRIP_MUTE, QByteArray(1, '\0')));
        QThread::msleep(3000);
        next.mTcp.Poll();
        quint16 destination = 0;
        quint16 source = 0;
        quint16 method = 0;
        QByteArray payload;
        while (TakeV1(next.mTcp.Received(), destination, source, method, payload))
        {
            if (destination == LEAVING_HANDLE)
            {
                ++leaked;
            }
        }
    }
    return {{QString::asprintf("%d (in %d runs)", leaked, runs)}};
}

// Peers that keep the router busy: each holds 256 links to the strip's mute and reads all it gets;
// the first changes the mute changesPerSecond times a second (0: none, -1: as fast as the program
// takes them). Runs on a thread of its own.
class cRouterLoad
{
public:
    cRouterLoad(quint16 strip, int peers, int changesPerSecond)
        : mPeers(size_t(peers))
    {
        for (sPeer& peer : mPeers)
        {
            if (!peer.Connect())
            {
                return;
            }
            QByteArray links;
            for (quint16 handle = 1000; handle < 1256; ++handle)
            {
                links += V1(0, strip, handle, M_OBJECT_ADD_TO_INFORM_LIST,
                            LinkRequest(handle, STRIP_MUTE, STRIP_MUTE, false));
            }
            peer.mTcp.Send(links);
        }
        mReady = true;
        mThread = std::thread([this, strip, changesPerSecond] { Run(strip, changesPerSecond); });
    }
    ~cRouterLoad()
    {
        mStop.store(true);
        if (mThread.joinable())
        {
            mThread.join();
        }
    }
    bool Ready() const { return mReady; }

private:
    void Run(quint16 strip, int changesPerSecond)
    {
        QElapsedTimer timer;
        timer.start();
        qint64 sent = 0;
        QByteArray pending;
        while (!mStop.load())
        {
            if (changesPerSecond != 0 && !mPeers.empty())
            {
                const qint64 due =
                    changesPerSecond < 0 ? sent + 1000 : timer.elapsed() * changesPerSecond / 1000;
                for (; sent < due && pending.size() < 64 * 1024; ++sent)
                {
                    pending += V1(0, strip, 0x0E0E, STRIP_MUTE, QByteArray(1, char(sent & 1)));
                }
                const qint64 written = mPeers.front().mTcp.SendSome(pending);
                pending.remove(0, int(std::max<qint64>(written, 0)));
            }
            for (sPeer& peer : mPeers)
            {
                peer.mTcp.Poll();
                peer.mTcp.Received().clear();
                peer.Beat();
            }
            QThread::usleep(500);
        }
    }

    std::vector<sPeer> mPeers;
    std::atomic<bool> mStop{false};
    bool mReady = false;
    std::thread mThread;
};

// One try: a peer sets the gain to value and leaves as told; a second peer reads the gain back.
// Whether it reads value.
bool SetGainAndLeave(quint16 strip, const QString& leave, quint16 value)
{
    sPeer setter;
    if (!setter.Connect())
    {
        return false;
    }
    setter.mTcp.Send(V1(0, strip, 0x0C0C, STRIP_GAIN, Word(value)));
    if (leave == "BYE")
    {
        setter.mTcp.Send(Bye());
        QElapsedTimer timer;
        timer.start();
        while (!setter.mTcp.Poll() && timer.elapsed() < 5000)
        {
            QThread::msleep(1);
        }
        setter.mTcp.Close();
    }
    else if (leave == "close")
    {
        setter.mTcp.Close();
    }
    else if (leave == "reset")
    {
        setter.mTcp.Reset();
    }
    // The change is read by the program before the reader's request (each connection has a
    // thread of its own), and waits for the router as the request does.
    QThread::msleep(20);
    sPeer reader;
    if (!reader.Connect())
    {
        return false;
    }
    constexpr quint16 READER = 0x0D0D;
    reader.mTcp.Send(
        V1(0, strip, READER, M_OBJECT_ADD_TO_INFORM_LIST, LinkRequest(READER, STRIP_GAIN, STRIP_GAIN, true)));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000)
    {
        reader.mTcp.Poll();
        quint16 destination = 0;
        quint16 source = 0;
        quint16 method = 0;
        QByteArray payload;
        while (TakeV1(reader.mTcp.Received(), destination, source, method, payload))
        {
            if (destination == READER && method == STRIP_GAIN && payload.size() == 2)
            {
                return quint16((quint8(payload[0]) << 8) | quint8(payload[1])) == value;
            }
        }
        QThread::msleep(1);
    }
    return false;
}

sFigures Leave(const QString& path, int tries)
{
    struct sLoad
    {
        int mPeers;
        int mChangesPerSecond;
    };
    const sLoad loads[] = {{0, 0}, {2, 1000}, {8, -1}};
    const char* const ways[] = {"BYE", "close", "reset", "kept open"};
    sFigures figures;
    // Distinct from every value set before, so that a change lost never reads as carried out.
    quint16 value = 0x6000;
    for (const sLoad& load : loads)
    {
        cProgram program(path);
        sPeer finder;
        if (!program.Started() || !finder.Connect())
        {
            for (int i = 0; i < 5; ++i)
            {
                figures.mValues.push_back("did not start");
            }
            continue;
        }
        const quint16 strip = finder.Find(STRIP);
        cRouterLoad busy(strip, load.mPeers, load.mChangesPerSecond);
        QThread::msleep(1000);
        // A find after each try tells how busy the router was.
        std::vector<double> finds;
        for (const char* way : ways)
        {
            int carried = 0;
            for (int i = 0; i < tries; ++i)
            {
                carried += SetGainAndLeave(strip, way, value++) ? 1 : 0;
                QElapsedTimer timer;
                timer.start();
                finder.Find(FOUND_OBJECT);
                finds.push_back(double(timer.nsecsElapsed()) / 1e6);
                finder.Beat();
                program.Drain();
            }
            figures.mValues.push_back(busy.Ready() ? QString::asprintf("%d/%d", carried, tries)
                                                   : QString("load peers not connected"));
        }
        std::sort(finds.begin(), finds.end());
        figures.mValues.push_back(QString::asprintf("%.0f-%.0f ms (median %.0f)", finds.front(), finds.back(),
                                                    finds[finds.size() / 2]));
    }
    return figures;
}

sFigures Mirror(const QString& path)
{
    cProgram program(path);
    if (!program.Started())
    {
        return {{"did not start", "", ""}};
    }
    // The panels of the hidden tabs come after the window's first frame.
    QThread::msleep(2000);
    cLinkingPeer::sAnswers offered;
    for (quint16 first = 1; first <= SEARCHED_HANDLES; first = quint16(first + 16))
    {
        cLinkingPeer probe;
        if (!probe.Connect(LOCALHOST) || !probe.LinkRange(first, quint16(first + 15), 64, 0x7000, offered))
        {
            return {{"search for the objects failed", "", ""}};
        }
        probe.Close();
    }
    const std::vector<cLinkingPeer::sParameter> parameters = cLinkingPeer::Parameters(offered);
    cLinkingPeer mirror;
    cLinkingPeer::sAnswers once;
    cLinkingPeer::sAnswers twice;
    if (!mirror.Connect(LOCALHOST) || !mirror.Link(parameters, 0x7001, once) ||
        !mirror.Link(parameters, 0x7002, twice))
    {
        return {{QString::asprintf("%zu parameters", parameters.size()), "mirror failed", ""}};
    }
    const int asked = int(parameters.size());
    auto answers = [asked](const cLinkingPeer::sAnswers& a)
    { return QString::asprintf("%d / %d / %d", a.Made(), a.Refused(), asked - a.Made() - a.Refused()); };
    return {{QString::asprintf("%zu objects, %d parameters", offered.mMade.size(), asked), answers(once),
             answers(twice)}};
}

sFigures Silent(const QString& path)
{
    cProgram program(path);
    if (!program.Started())
    {
        return {{"did not start"}};
    }
    std::vector<cRawSocket> silent;
    for (int i = 0; i < 20; ++i)
    {
        silent.push_back(cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT));
    }
    QThread::msleep(200);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 40000)
    {
        // Tried again whenever the program turns it away (closes it at once).
        sPeer peer;
        if (peer.Connect(int(40000 - timer.elapsed())))
        {
            return {{QString::asprintf("%.1f s", double(timer.elapsed()) / 1000.0)}};
        }
        program.Drain();
        QThread::msleep(20);
    }
    return {{"not within 40 s"}};
}

sFigures Shutdown(const QString& path)
{
    cProgram program(path);
    sPeer stopped;
    sPeer reading;
    if (!program.Started() || !stopped.Connect(5000, 4096) || !reading.Connect())
    {
        return {{"did not start", ""}};
    }
    // 256 links to the driver's version: each request for it is answered 256 times.
    const quint16 driver = stopped.Find(SERIAL_DRIVER);
    QByteArray links;
    for (quint16 handle = 1000; handle < 1256; ++handle)
    {
        links += V1(0, driver, handle, M_OBJECT_ADD_TO_INFORM_LIST,
                    LinkRequest(handle, SERIAL_VERSION, SERIAL_VERSION, false));
    }
    stopped.mTcp.Send(links);
    QElapsedTimer timer;
    timer.start();
    while (!program.OutputContains("Transmit queue of connection 1 is full") && timer.elapsed() < 30000)
    {
        QByteArray asks;
        for (int i = 0; i < 20; ++i)
        {
            asks += V1(0, driver, 77, SERIAL_VERSION);
        }
        stopped.mTcp.Send(asks);
        reading.mTcp.Poll();
        reading.mTcp.Received().clear();
        QThread::msleep(5);
    }
    const bool full = program.OutputContains("Transmit queue of connection 1 is full");
    const qint64 ended = program.Terminate(60000);
    const QByteArray bye = Bye();
    QByteArray tail;
    for (int i = 0; i < 100 && !reading.mTcp.Poll(); ++i)
    {
        QThread::msleep(10);
    }
    tail = reading.mTcp.Received().right(bye.size());
    return {{ended < 0 ? QString("not within 60 s") : QString::asprintf("%.2f s", double(ended) / 1000.0),
             QString(full ? "" : "queue not full; ") + (tail == bye ? "yes" : "no")}};
}

void PrintTable(const char* title, const std::vector<const char*>& rows, const std::vector<QString>& labels,
                const std::vector<sFigures>& figures)
{
    int width = 0;
    for (const char* row : rows)
    {
        width = std::max(width, int(std::strlen(row)));
    }
    std::printf("\n%s\n", title);
    std::printf("  %-*s", width, "");
    for (const QString& label : labels)
    {
        std::printf("  %-34s", qPrintable(label));
    }
    std::printf("\n");
    for (size_t row = 0; row < rows.size(); ++row)
    {
        std::printf("  %-*s", width, rows[row]);
        for (const sFigures& column : figures)
        {
            std::printf("  %-34s", row < column.mValues.size() ? qPrintable(column.mValues[row]) : "");
        }
        std::printf("\n");
    }
    std::fflush(stdout);
}

// Runs this benchmark again inside a network namespace of its own, where one can be made.
int RunInNetworkNamespace(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("CORVO_BENCH_IN_NETNS"))
    {
        return -1;
    }
    qputenv("CORVO_BENCH_IN_NETNS", "1");
    QStringList arguments{QStringLiteral(IN_NETNS_SCRIPT), QStringLiteral("--or-plain"),
                          QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath()};
    for (int i = 1; i < argc; ++i)
    {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QProcess inside;
    inside.setProcessChannelMode(QProcess::ForwardedChannels);
    inside.start(QStringLiteral("sh"), arguments);
    inside.waitForFinished(-1);
    return inside.exitCode();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int outside = RunInNetworkNamespace(argc, argv);
    if (outside >= 0)
    {
        return outside;
    }
    int seconds = 60;
    int tries = 20;
    QString only;
    std::vector<QString> labels;
    std::vector<QString> programs;
    const QStringList arguments = application.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i)
    {
        if (arguments[i] == "--seconds" && i + 1 < arguments.size())
        {
            seconds = std::max(1, arguments[++i].toInt());
        }
        else if (arguments[i] == "--tries" && i + 1 < arguments.size())
        {
            tries = std::max(1, arguments[++i].toInt());
        }
        else if (arguments[i] == "--only" && i + 1 < arguments.size())
        {
            only = arguments[++i];
        }
        else
        {
            const int equals = arguments[i].indexOf('=');
            labels.push_back(equals > 0 ? arguments[i].left(equals) : arguments[i]);
            programs.push_back(
                QFileInfo(equals > 0 ? arguments[i].mid(equals + 1) : arguments[i]).absoluteFilePath());
        }
    }
    if (programs.empty())
    {
        labels.push_back("this build");
        programs.push_back(QStringLiteral(CORVO_PROGRAM));
    }
    for (size_t i = 0; i < programs.size(); ++i)
    {
        std::printf("%s: %s\n", qPrintable(labels[i]), qPrintable(programs[i]));
    }

    auto run = [&](const char* name, const char* title, const std::vector<const char*>& rows,
                   const tScenario& scenario)
    {
        if (!only.isEmpty() && only != name)
        {
            return;
        }
        std::vector<sFigures> figures;
        for (const QString& program : programs)
        {
            figures.push_back(scenario(program));
        }
        PrintTable(title, rows, labels, figures);
    };
    const QByteArray floodTitle =
        QByteArray("Flood: one peer's distinct link requests for ") + QByteArray::number(seconds) + " s";
    run("flood", floodTitle.constData(),
        {"resident memory growth (goal: under 1 MB)", "CPU of the program", "link requests sent",
         "find answer, median / 95th (goal: under 10 ms)", "find answer, longest"},
        [seconds](const QString& program) { return Flood(program, seconds, false); });
    const QByteArray spreadTitle =
        QByteArray("Spread flood: one peer's distinct link requests over every object for ") +
        QByteArray::number(seconds) + " s";
    run("spread", spreadTitle.constData(),
        {"resident memory growth (goal: under 1 MB)", "CPU of the program", "link requests sent",
         "find answer, median / 95th (goal: under 10 ms)", "find answer, longest"},
        [seconds](const QString& program) { return Flood(program, seconds, true); });
    run("stale", "Stale links: a peer leaves with its link request pending, the next takes its id",
        {"messages for the first peer at the next (goal: 0)"},
        [](const QString& program) { return Stale(program); });
    run("leave",
        "Leaving: a peer sets Input L's gain and leaves, a second reads it back (changes carried out; goal: "
        "all)",
        {"idle: BYE", "idle: close", "idle: reset", "idle: kept open", "idle: a find took",
         "2 peers x 256 links, mute 1000/s: BYE", "  close", "  reset", "  kept open", "  a find took",
         "8 peers x 256 links, mute non-stop: BYE", "  close", "  reset", "  kept open", "  a find took"},
        [tries](const QString& program) { return Leave(program, tries); });
    run("mirror", "Mirror: one peer links every parameter the program offers, once and a second time",
        {"offered", "linked once: made / refused, answered / unanswered",
         "linked again: made / refused, answered / unanswered"},
        [](const QString& program) { return Mirror(program); });
    run("silent", "Silent peers: 20 connect and say nothing",
        {"a well-formed peer answered after (goal: under 11 s)"},
        [](const QString& program) { return Silent(program); });
    run("shutdown", "Shutdown: SIGTERM with a peer that has stopped reading",
        {"SIGTERM to the program's end (goal: under 2 s)", "the reading peer got \"BYE\""},
        [](const QString& program) { return Shutdown(program); });
    return 0;
}
