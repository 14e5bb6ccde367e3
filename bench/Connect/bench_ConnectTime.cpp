// How long a click on the connect button takes to connect: the whole program in process in its real
// window, against the simulated device on a pty, clicked with the mouse as a person does. Run it
// under a display (Xvfb):
//
//   xvfb-run -a -s "-screen 0 1600x1000x24" bench_ConnectTime [connects]
//
// (default 10 connects). They take turns: a connect after the program has been idle and
// disconnected for a while (0.4 s to 4.9 s, spread over the 5 s of the port-list poll, so the
// status poll's phase at the click varies), and a reconnect clicked as soon as the window shows the
// disconnect before it ("Status: Device Detected"). Each is timed from the click to the status line
// "Status: Connected, V1.2" (the link confirmed and running, the window's sync done) and to the
// device's first meter poll, then the program stays connected for 1 s to 2 s and is disconnected by
// another click, timed to "Status: Device Detected". Printed: each connect, then the median and the
// worst of each kind, with the goals: a reconnect as fast as a connect (medians within 0.1 s) and no
// connect over 2 s. The scene graph is the program's own choice unless QT_QUICK_BACKEND names one.

#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

constexpr std::uint8_t CMD_METERS = 4;
constexpr int TIMEOUT_MS = 30000;
constexpr double CONNECT_GOAL_S = 2.0;
constexpr double SAME_SPEED_GOAL_S = 0.1;
// Connected for 1 s and a part of a status period that grows with each run (0.13 s more each), so
// that the disconnect click also falls at every point of the status poll's period.
constexpr int CONNECTED_MS = 1000;
constexpr int CONNECTED_STEP_MS = 130;

const QString CONNECTED_TEXT("Status: Connected, V1.2");
const QString DETECTED_TEXT("Status: Device Detected");

struct sConnect
{
    bool mReconnect = false;
    double mIdleS = 0.0;        // disconnected and idle before the click
    double mConnectedS = -1.0;  // click to "Status: Connected, V1.2"
    double mFirstPollS = -1.0;  // click to the device's first meter poll
    double mDisconnectS = -1.0; // the disconnect click after it, to "Status: Device Detected"
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double Worst(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

class cConnectBench
{
public:
    explicit cConnectBench(cProgramUnderTest& program)
        : mProgram(program)
    {
    }

    int Run(int connects);

private:
    QString StatusText() const { return mProgram.Item("statusText")->property("text").toString(); }
    bool OverlayShown() const { return mProgram.Item("overlay")->isVisible(); }
    void Click();
    bool Connect(sConnect& connect);
    bool Disconnect(sConnect& connect);
    // True when both goals are met.
    bool Print(const std::vector<sConnect>& connects) const;

    cProgramUnderTest& mProgram;
};

void cConnectBench::Click()
{
    const QQuickItem* button = mProgram.Item("connectButton");
    const QPointF centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2));
    QTest::mouseClick(mProgram.Window(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

bool cConnectBench::Connect(sConnect& connect)
{
    cSimulatedDevice& device = mProgram.Device();
    device.ClearLog();
    QElapsedTimer clock;
    clock.start();
    Click();
    const bool connected = cProgramUnderTest::WaitFor(
        [&]
        {
            if (connect.mFirstPollS < 0 && device.CountFrames(CMD_METERS) > 0)
            {
                connect.mFirstPollS = double(clock.nsecsElapsed()) / 1e9;
            }
            if (connect.mConnectedS < 0 && StatusText() == CONNECTED_TEXT && !OverlayShown())
            {
                connect.mConnectedS = double(clock.nsecsElapsed()) / 1e9;
            }
            return connect.mFirstPollS >= 0 && connect.mConnectedS >= 0;
        },
        TIMEOUT_MS);
    if (!connected)
    {
        std::fprintf(stderr, "bench_ConnectTime: no connection within %d s (status \"%s\")\n",
                     TIMEOUT_MS / 1000, qPrintable(StatusText()));
    }
    return connected;
}

bool cConnectBench::Disconnect(sConnect& connect)
{
    QElapsedTimer clock;
    clock.start();
    Click();
    if (!cProgramUnderTest::WaitFor([this] { return StatusText() == DETECTED_TEXT; }, TIMEOUT_MS))
    {
        std::fprintf(stderr, "bench_ConnectTime: no disconnect within %d s (status \"%s\")\n",
                     TIMEOUT_MS / 1000, qPrintable(StatusText()));
        return false;
    }
    connect.mDisconnectS = double(clock.nsecsElapsed()) / 1e9;
    return true;
}

int cConnectBench::Run(int connects)
{
    if (!mProgram.Start() || !QTest::qWaitForWindowExposed(mProgram.Window()))
    {
        std::fprintf(stderr, "bench_ConnectTime: the program's window did not show\n");
        return 1;
    }
    if (!cProgramUnderTest::WaitFor([this] { return StatusText() == DETECTED_TEXT; }, TIMEOUT_MS))
    {
        std::fprintf(stderr, "bench_ConnectTime: the device was not detected\n");
        return 1;
    }
    std::vector<sConnect> results;
    int idleConnects = 0;
    for (int i = 0; i < connects; ++i)
    {
        sConnect connect;
        connect.mReconnect = i % 2 != 0;
        if (!connect.mReconnect)
        {
            // Spread over the port-list poll's 5 s: 0.4, 2.9, 1.4, 3.9, 2.4, 4.9, ... s.
            connect.mIdleS = 0.4 + double((idleConnects * 5) % 9) * 0.5;
            ++idleConnects;
            cProgramUnderTest::Settle(int(connect.mIdleS * 1000));
        }
        if (!Connect(connect))
        {
            return 1;
        }
        cProgramUnderTest::Settle(CONNECTED_MS + (i * CONNECTED_STEP_MS) % 1000);
        if (!Disconnect(connect))
        {
            return 1;
        }
        results.push_back(connect);
        std::printf("%3d %-9s %8.1f %15.3f %17.3f %16.3f\n", i + 1,
                    connect.mReconnect ? "reconnect" : "connect", connect.mIdleS, connect.mConnectedS,
                    connect.mFirstPollS, connect.mDisconnectS);
        std::fflush(stdout);
    }
    return Print(results) ? 0 : 2;
}

bool cConnectBench::Print(const std::vector<sConnect>& connects) const
{
    std::vector<double> connected[2];
    std::vector<double> polled[2];
    std::vector<double> all;
    std::vector<double> disconnects;
    for (const sConnect& c : connects)
    {
        connected[c.mReconnect].push_back(c.mConnectedS);
        polled[c.mReconnect].push_back(c.mFirstPollS);
        all.push_back(c.mConnectedS);
        disconnects.push_back(c.mDisconnectS);
    }
    std::printf("\n%-28s %8s %8s %22s %8s\n", "", "median", "worst", "first meter poll: median", "worst");
    const char* names[2] = {"connect after idle (s)", "reconnect at once (s)"};
    for (int kind = 0; kind < 2; ++kind)
    {
        if (!connected[kind].empty())
        {
            std::printf("%-28s %8.3f %8.3f %22.3f %8.3f\n", names[kind], Median(connected[kind]),
                        Worst(connected[kind]), Median(polled[kind]), Worst(polled[kind]));
        }
    }
    std::printf("%-28s %8.3f %8.3f\n", "every connect (s)", Median(all), Worst(all));
    std::printf("%-28s %8.3f %8.3f\n", "disconnect shown (s)", Median(disconnects), Worst(disconnects));
    bool met = true;
    if (!connected[0].empty() && !connected[1].empty())
    {
        const double difference = Median(connected[1]) - Median(connected[0]);
        const bool alike = std::abs(difference) <= SAME_SPEED_GOAL_S;
        met = alike;
        std::printf("reconnect as fast as a connect: medians %+.3f s apart   (goal: within %.1f s: %s)\n",
                    difference, SAME_SPEED_GOAL_S, alike ? "met" : "NOT MET");
    }
    const bool fast = Worst(all) <= CONNECT_GOAL_S;
    std::printf("no connect over %.0f s: worst %.3f s   (%s)\n", CONNECT_GOAL_S, Worst(all),
                fast ? "met" : "NOT MET");
    return met && fast;
}

} // namespace

int main(int argc, char** argv)
{
    const int connects = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
    {
        std::fprintf(stderr, "bench_ConnectTime: no X display: run it under xvfb-run -a -s \"-screen 0 "
                             "1600x1000x24\"\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    // A home and a working folder of its own: the program's data folders and the device's link.
    QTemporaryDir home;
    if (!home.isValid())
    {
        std::fprintf(stderr, "bench_ConnectTime: no temporary folder\n");
        return 1;
    }
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    cProgramUnderTest::PrepareProcess();
    int one = 1;
    char* name = argv[0];
    QGuiApplication application(one, &name);
    std::printf("%d connects through the program's window against the simulated device (times in s from the "
                "click)\n\n",
                connects);
    std::printf("%3s %-9s %8s %15s %17s %16s\n", "run", "kind", "idle", "to \"Connected\"",
                "to first meter poll", "disconnect shown");
    cProgramUnderTest program;
    const int result = cConnectBench(program).Run(connects);
    program.Stop();
    return result;
}
