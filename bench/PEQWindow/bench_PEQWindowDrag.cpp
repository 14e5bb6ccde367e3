// A drag of one band handle across the PEQ response graph in the program's real window, the whole
// program in process against the simulated device on a pty. Run it under a display (Xvfb):
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_PEQWindowDrag [--without-layer] [--ganged]
//
// The High tab, six bands per block: a press on the left block's HF handle, 200 mouse moves from
// the graph's left edge to its right edge while the height zigzags between +12 dB and -12 dB (so
// every move changes the band), and a release. Printed:
// - for each move, the time from sending it to the swap of the first frame synchronised after the
//   handle followed it (QQuickWindow::afterSynchronizing, then frameSwapped): median, 90th
//   percentile and worst, against the goal of a median within one 60 Hz frame (16.7 ms);
// - the device's lag after the last move: the action ticks from the last move until the simulated
//   device holds the band's final records, against the goal of at most the number of distinct
//   records the drag changed; taken at the end of the long drag and of ten short ones (five quick
//   moves each), split into the ticks until the unit had queued the records and the link's ticks.
// --without-layer turns the graphs' 4-sample layer off at run time (the QML stays as it is), to
// compare; --ganged drags with the PEQ gang on (both channels' records). The scene graph backend is
// the program's own choice (under Xvfb, which offers no direct rendering, Qt Quick's software
// renderer) unless QT_QUICK_BACKEND names one (set and empty: OpenGL, under Xvfb Mesa's software
// rasteriser); the render loop is Qt's default unless QSG_RENDER_LOOP says otherwise.

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cNetObject.h"
#include "tests/qml/Tabs/support/ProgramLink.h"
#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/qml/Tabs/support/sSentFilterRecord.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace
{

constexpr int STEPS = 200;
constexpr int ZIGZAG_STEPS = 20; // moves from +12 dB to -12 dB, and as many back
constexpr int SHORT_DRAGS = 10;
constexpr int SHORT_DRAG_STEPS = 5;
constexpr double FRAME_GOAL_MS = 1000.0 / 60.0;
constexpr int BAND = 5;      // HF, whose handle lies on top of the HM2 handle it starts with
constexpr int PEQ_SLOT = 2;  // band b of a channel's EQ is its filter slot 2 + b
constexpr int HIGH_LEFT = 4; // the High panel's left channel; the right one is 5
constexpr int FRAME_WAIT_MS = 1000;
constexpr int DEVICE_WAIT_MS = 5000;

using tClock = std::chrono::steady_clock;

double Milliseconds(tClock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct sOptions
{
    bool mWithoutLayer = false;
    bool mGanged = false;
};

// Follows one move to its frame: the handle moves on the GUI thread, the scene is synchronised and
// the frame swapped on the render thread (or on the GUI thread, with the basic and software loops).
// The state is shared with the connections, so a frame drawn after the watch is gone touches
// nothing freed.
class cFrameWatch
{
public:
    cFrameWatch(QQuickWindow* window, QQuickItem* handle)
        : mState(std::make_shared<sState>())
    {
        const std::shared_ptr<sState> state = mState;
        const auto moved = [state] { state->mMoved.store(true); };
        mConnections << QObject::connect(handle, &QQuickItem::xChanged, moved)
                     << QObject::connect(handle, &QQuickItem::yChanged, moved)
                     << QObject::connect(
                            window, &QQuickWindow::afterSynchronizing, window,
                            [state] { state->mSynced.store(state->mMoved.load()); }, Qt::DirectConnection)
                     << QObject::connect(
                            window, &QQuickWindow::frameSwapped, window,
                            [state]
                            {
                                if (state->mSynced.load() && !state->mSwapped.load())
                                {
                                    state->mSwapTime = tClock::now();
                                    state->mSwapped.store(true);
                                }
                            },
                            Qt::DirectConnection);
    }
    ~cFrameWatch()
    {
        for (const QMetaObject::Connection& connection : mConnections)
        {
            QObject::disconnect(connection);
        }
    }

    // Before the move is sent.
    void Arm()
    {
        mState->mSwapped.store(false);
        mState->mSynced.store(false);
        mState->mMoved.store(false);
    }
    bool Moved() const { return mState->mMoved.load(); }
    // Runs the event loop until the frame that shows the handle moved has been swapped; false on a
    // time-out.
    bool WaitForFrame(tClock::time_point& swap)
    {
        const tClock::time_point deadline = tClock::now() + std::chrono::milliseconds(FRAME_WAIT_MS);
        while (!mState->mSwapped.load() && tClock::now() < deadline)
        {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            QThread::usleep(100);
        }
        swap = mState->mSwapTime;
        return mState->mSwapped.load();
    }

private:
    struct sState
    {
        std::atomic<bool> mMoved{false};
        std::atomic<bool> mSynced{false};
        std::atomic<bool> mSwapped{false};
        tClock::time_point mSwapTime; // written before mSwapped is set
    };

    std::shared_ptr<sState> mState;
    QList<QMetaObject::Connection> mConnections;
};

// A net object on the framework's tick list that hands its ticks and tocks on.
class cTickObserver : public cNetObject
{
public:
    cTickObserver(std::function<void()> onTick, std::function<void()> onTock)
        : cNetObject("PEQ Window Drag Bench Ticks", 1, true, true)
        , mOnTick(std::move(onTick))
        , mOnTock(std::move(onTock))
    {
    }
    ~cTickObserver() override { Unregister(); }

    void ActionTick() override { mOnTick(); }
    void ActionTock() override { mOnTock(); }

private:
    const std::function<void()> mOnTick;
    const std::function<void()> mOnTock;
};

// Counts the framework's action ticks. Armed with the records a move must end in, it notes the
// first tick after which the link holds them queued (or has sent them) and the first at which the
// device has received them. Ticks and tocks run on the syscall thread under the registry lock.
class cTickWatch
{
public:
    cTickWatch(const cSimulatedDevice& device, const cSerialInterface& link)
        : mDevice(device)
        , mLink(link)
    {
        cRegistryLocker lock;
        mObserver = std::make_unique<cTickObserver>([this] { OnTick(); }, [this] { OnTock(); });
    }
    ~cTickWatch()
    {
        cRegistryLocker lock;
        mObserver.reset();
    }

    // Looks, from the next tick on, for a record of each id with these codes.
    void Expect(const std::set<std::uint32_t>& ids, std::uint16_t frequency, std::uint16_t gain)
    {
        cRegistryLocker lock;
        mIds = ids;
        mFrequency = frequency;
        mGain = gain;
        mArmedAt = mTicks.load();
        mQueuedAt.store(-1);
        mReceivedAt.store(-1);
    }
    int ArmedAt() const { return mArmedAt; }
    // The tick at whose end the link held the records, and the one at which the device had them;
    // -1 while not.
    int QueuedAt() const { return mQueuedAt.load(); }
    int ReceivedAt() const { return mReceivedAt.load(); }

private:
    bool Received() const
    {
        const QList<sSentFilterRecord> records = sSentFilterRecord::Received(mDevice);
        for (std::uint32_t id : mIds)
        {
            sSentFilterRecord record;
            if (!sSentFilterRecord::LastWithId(records, id, record) || record.mFrequencyCode != mFrequency ||
                record.mGainCode != mGain)
            {
                return false;
            }
        }
        return true;
    }
    void OnTick()
    {
        const int tick = ++mTicks;
        if (mArmedAt >= 0 && mReceivedAt.load() < 0 && Received())
        {
            mReceivedAt.store(tick);
        }
    }
    // After everything the tick's objects posted: the unit has queued what the graph changed.
    void OnTock()
    {
        if (mArmedAt >= 0 && mTicks.load() > mArmedAt && mQueuedAt.load() < 0 &&
            (mLink.QueuedRecords() > 0 || Received()))
        {
            mQueuedAt.store(mTicks.load());
        }
    }

    const cSimulatedDevice& mDevice;
    const cSerialInterface& mLink;
    std::unique_ptr<cTickObserver> mObserver;
    std::atomic<int> mTicks{0};
    std::atomic<int> mQueuedAt{-1};
    std::atomic<int> mReceivedAt{-1};
    // Written under the registry lock.
    int mArmedAt = -1;
    std::set<std::uint32_t> mIds;
    std::uint16_t mFrequency = 0;
    std::uint16_t mGain = 0;
};

struct sLag
{
    int mTicks = -1;  // from the move to the device, -1 when it never got there
    int mQueued = -1; // of them, until the unit had queued the records
};

int Fail(const char* what)
{
    std::fprintf(stderr, "bench_PEQWindowDrag: %s\n", what);
    return 1;
}

const char* BackendName(QQuickWindow* window)
{
    QSGRendererInterface* renderer = window->rendererInterface();
    if (renderer == nullptr)
    {
        return "unknown";
    }
    switch (renderer->graphicsApi())
    {
    case QSGRendererInterface::Software:
        return "software";
    case QSGRendererInterface::OpenGL:
        return "OpenGL";
    default:
        return "other";
    }
}

// Where the drag points in window coordinates: x a fraction of the graph's width, at a gain.
QPoint GraphPoint(const QQuickItem* graph, double fraction, double dB)
{
    const double x = 1.0 + (graph->width() - 3.0) * fraction;
    return graph->mapToScene(QPointF(x, (20.0 - dB) / 40.0 * graph->height())).toPoint();
}

double ZigzagGain(int step)
{
    const int phase = step % (2 * ZIGZAG_STEPS);
    return 12.0 - 24.0 * (phase <= ZIGZAG_STEPS ? phase : 2 * ZIGZAG_STEPS - phase) / ZIGZAG_STEPS;
}

class cDragBench
{
public:
    cDragBench(cProgramUnderTest& program, const sOptions& options)
        : mProgram(program)
        , mOptions(options)
    {
    }

    int Run(const QString& home);

private:
    int Prepare(const QString& home);
    // Arms the tick watch with the band's current codes, the move just made being the last one.
    void ExpectLastMove(cTickWatch& ticks) const;
    sLag WaitForDevice(const cTickWatch& ticks) const;
    void Print(const std::vector<double>& latencies, int unmoved, int late,
               const std::vector<sLag>& lags) const;

    cProgramUnderTest& mProgram;
    const sOptions mOptions;
    QQuickWindow* mWindow = nullptr;
    QQuickItem* mGraph = nullptr;
    QQuickItem* mHandle = nullptr;
    const cPEQDriver* mGraphDriver = nullptr;
    std::set<std::uint32_t> mIds;
    int mIdleFrames = 0;
    bool mLayerOn = false;
    std::set<std::uint32_t> mChanged;
    int mRecords = 0;
};

int cDragBench::Prepare(const QString& home)
{
    if (!mProgram.Start() || !QTest::qWaitForWindowExposed(mProgram.Window()))
    {
        return Fail("the program did not start");
    }
    mWindow = mProgram.Window();
    if (!nProgramLink::ConnectKeepingModel(mProgram, home))
    {
        return Fail("the device did not connect");
    }
    QQuickItem* tabBar = nWindowItems::Find(mWindow, {QStringLiteral("tabBar")});
    if (!nWindowItems::Click(mWindow, nWindowItems::Find(tabBar, QStringLiteral("tab3"))))
    {
        return Fail("the High tab could not be shown");
    }
    QQuickItem* panel = nWindowItems::Find(mWindow, {QStringLiteral("highPanel")});
    if (mOptions.mGanged)
    {
        QQuickItem* gang = nWindowItems::Find(panel, QStringLiteral("peqGang"));
        if (!nWindowItems::Click(mWindow, gang) ||
            !cProgramUnderTest::WaitFor([gang] { return nWindowItems::IsOn(gang); }, 2000) ||
            !nProgramLink::WaitUntilIdle(mProgram))
        {
            return Fail("the PEQ gang did not go on");
        }
    }
    for (const QString& block : {QStringLiteral("peqBlockLeft"), QStringLiteral("peqBlockRight")})
    {
        QQuickItem* graph = nWindowItems::Find(nWindowItems::Find(panel, block), QStringLiteral("graph"));
        QObject* layer = graph != nullptr ? graph->property("layer").value<QObject*>() : nullptr;
        if (layer == nullptr)
        {
            return Fail("a graph or its layer is missing");
        }
        if (mOptions.mWithoutLayer)
        {
            layer->setProperty("enabled", false);
        }
        // The graph renders into no layer under the software renderer, whatever was asked.
        mLayerOn = layer->property("enabled").toBool();
    }
    mGraph = nWindowItems::Find(nWindowItems::Find(panel, QStringLiteral("peqBlockLeft")),
                                QStringLiteral("graph"));
    mHandle = nWindowItems::Find(mGraph, QStringLiteral("dragHandle%1").arg(BAND));
    mGraphDriver = mProgram.Backend()->backendHigh()->peqBlockL()->peqDriver();
    mIds = {sSentFilterRecord::Id(HIGH_LEFT, PEQ_SLOT + BAND)};
    if (mOptions.mGanged)
    {
        mIds.insert(sSentFilterRecord::Id(HIGH_LEFT + 1, PEQ_SLOT + BAND));
    }

    // Frames the window draws while nothing changes on it (the meters stay at rest).
    cProgramUnderTest::Settle(500);
    std::atomic<int> frames{0};
    const QMetaObject::Connection counting = QObject::connect(
        mWindow, &QQuickWindow::frameSwapped, mWindow, [&frames] { ++frames; }, Qt::DirectConnection);
    cProgramUnderTest::Settle(1000);
    QObject::disconnect(counting);
    mIdleFrames = frames.load();
    return 0;
}

void cDragBench::ExpectLastMove(cTickWatch& ticks) const
{
    ticks.Expect(mIds, mGraphDriver->GetBandFreq(BAND), std::uint16_t(mGraphDriver->GetBandGain(BAND)));
}

sLag cDragBench::WaitForDevice(const cTickWatch& ticks) const
{
    cProgramUnderTest::WaitFor([&ticks] { return ticks.ReceivedAt() >= 0; }, DEVICE_WAIT_MS);
    sLag lag;
    if (ticks.ReceivedAt() >= 0)
    {
        lag.mTicks = ticks.ReceivedAt() - ticks.ArmedAt();
        lag.mQueued = ticks.QueuedAt() >= 0 ? ticks.QueuedAt() - ticks.ArmedAt() : -1;
    }
    return lag;
}

int cDragBench::Run(const QString& home)
{
    if (const int failed = Prepare(home))
    {
        return failed;
    }
    std::vector<double> latencies;
    std::vector<sLag> lags;
    int unmoved = 0;
    int late = 0;
    {
        cFrameWatch frames(mWindow, mHandle);
        cTickWatch ticks(mProgram.Device(), *mProgram.Session()->GetApplication()->GetSerialInterface());
        mProgram.Device().ClearLog();

        QTest::mousePress(mWindow, Qt::LeftButton, Qt::NoModifier, nWindowItems::Centre(mHandle));
        cProgramUnderTest::Settle(100);
        QPoint point;
        for (int step = 1; step <= STEPS; ++step)
        {
            point = GraphPoint(mGraph, double(step) / STEPS, ZigzagGain(step));
            frames.Arm();
            const tClock::time_point sent = tClock::now();
            QTest::mouseMove(mWindow, point);
            if (step == STEPS)
            {
                // The graph's driver holds the last move now; a tick takes it to the unit.
                ExpectLastMove(ticks);
            }
            tClock::time_point swapped;
            if (!frames.WaitForFrame(swapped))
            {
                frames.Moved() ? ++late : ++unmoved;
                continue;
            }
            latencies.push_back(Milliseconds(swapped - sent));
        }
        QTest::mouseRelease(mWindow, Qt::LeftButton, Qt::NoModifier, point);
        lags.push_back(WaitForDevice(ticks));
        nProgramLink::WaitUntilIdle(mProgram);
        for (const sSentFilterRecord& record : sSentFilterRecord::Received(mProgram.Device()))
        {
            mChanged.insert(record.mId);
            ++mRecords;
        }

        // Short drags back across the middle of the graph, the moves as fast as the events go.
        for (int drag = 0; drag < SHORT_DRAGS; ++drag)
        {
            QTest::mousePress(mWindow, Qt::LeftButton, Qt::NoModifier, nWindowItems::Centre(mHandle));
            for (int step = 1; step <= SHORT_DRAG_STEPS; ++step)
            {
                point = GraphPoint(mGraph, 0.3 + 0.04 * (drag % 2 == 0 ? step : SHORT_DRAG_STEPS - step),
                                   ZigzagGain(drag * SHORT_DRAG_STEPS + step));
                QTest::mouseMove(mWindow, point);
            }
            ExpectLastMove(ticks);
            QTest::mouseRelease(mWindow, Qt::LeftButton, Qt::NoModifier, point);
            lags.push_back(WaitForDevice(ticks));
            nProgramLink::WaitUntilIdle(mProgram);
        }
    }
    Print(latencies, unmoved, late, lags);
    mProgram.Disconnect();
    return latencies.empty() || lags.front().mTicks < 0 ? 1 : 0;
}

void cDragBench::Print(const std::vector<double>& latenciesIn, int unmoved, int late,
                       const std::vector<sLag>& lags) const
{
    std::printf(
        "PEQ handle drag in the window: %d moves across a %.0f x %.0f graph, six bands, %s, scene graph "
        "%s, layer %s; %d frames swapped in an idle second before\n",
        STEPS, mGraph->width(), mGraph->height(), mOptions.mGanged ? "ganged" : "not ganged",
        BackendName(mWindow), mLayerOn ? "on (4 samples)" : "off", mIdleFrames);
    std::vector<double> latencies = latenciesIn;
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty())
    {
        std::printf("  no move reached a frame\n");
    }
    else
    {
        const double median = latencies[latencies.size() / 2];
        std::printf(
            "  move to the frame that shows it: median %.2f ms, 90th percentile %.2f ms, worst %.2f ms over "
            "%zu moves (goal: median within one 60 Hz frame, %.1f ms) %s\n",
            median, latencies[latencies.size() * 9 / 10], latencies.back(), latencies.size(), FRAME_GOAL_MS,
            median <= FRAME_GOAL_MS ? "met" : "MISSED");
    }
    if (unmoved > 0 || late > 0)
    {
        std::printf("  moves without a frame: %d did not move the handle, %d not shown within %d ms\n",
                    unmoved, late, FRAME_WAIT_MS);
    }
    const std::size_t goal = mChanged.size();
    const sLag& drag = lags.front();
    std::printf(
        "  device lag after the last move: %d action ticks (%d until the unit had queued the records, %d "
        "of the link) for %zu distinct records changed by %d received (goal: at most %zu ticks) %s\n",
        drag.mTicks, drag.mQueued, drag.mTicks - drag.mQueued, goal, mRecords, goal,
        drag.mTicks >= 0 && std::size_t(drag.mTicks) <= goal ? "met" : "MISSED");
    std::vector<int> ticks;
    std::vector<int> link;
    for (const sLag& lag : lags)
    {
        ticks.push_back(lag.mTicks);
        link.push_back(lag.mTicks - lag.mQueued);
    }
    std::sort(ticks.begin(), ticks.end());
    std::sort(link.begin(), link.end());
    std::printf(
        "  over this and %d short drags: median %d, worst %d action ticks; the link's part median %d, "
        "worst %d (goal: at most %zu ticks)%s\n",
        SHORT_DRAGS, ticks[ticks.size() / 2], ticks.back(), link[link.size() / 2], link.back(), goal,
        ticks.front() < 0 ? "; some never reached the device" : "");
}

} // namespace

int main(int argc, char** argv)
{
    sOptions options;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--without-layer") == 0)
        {
            options.mWithoutLayer = true;
        }
        else if (std::strcmp(argv[i], "--ganged") == 0)
        {
            options.mGanged = true;
        }
        else
        {
            std::fprintf(stderr, "usage: bench_PEQWindowDrag [--without-layer] [--ganged]\n");
            return 2;
        }
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    cProgramUnderTest::PrepareProcess();
    int one = 1;
    char* name = argv[0];
    QGuiApplication application(one, &name);
    cProgramUnderTest program;
    const int result = cDragBench(program, options).Run(home.path());
    program.Stop();
    return result;
}
