// The connect button, the status line and the meters in the program's real window (run under Xvfb),
// the whole program in process against the simulated device on a pty, clicked as a person does: how
// soon a click shows in the link's state, a device that stops answering (the meters fall, then "No
// Reply", whose click disconnects), and a reconnect straight after a disconnect. The functions run
// in order on one program.
//
// Times are counted in the program's action ticks (a tick-list object of the test's own, and the
// tick each state of the back end came on, recorded on the syscall thread), which a loaded machine
// stretches for the program and the test alike; waits for the window are generous.

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <mutex>

namespace
{

constexpr std::uint8_t CMD_DISCONNECT = 15;
constexpr int TIMEOUT_MS = 15000;
// A status the link has taken shows within the back end's request polls and a tick or two for the
// answer to come back.
constexpr int REQUEST_TICKS = cSerialConnectionBackend::REQUEST_POLLS + 3;

const QUrl CONNECTS("qrc:/Connect.svg");
const QUrl DISCONNECTS("qrc:/Connected.svg");

// The program's own timings, except that four missed meter polls (about 4 s of silence) make the
// link "No Reply" rather than ten.
sSerialLinkTimings Timings()
{
    sSerialLinkTimings timings;
    timings.mMissesForNoReply = 4;
    return timings;
}

} // namespace

class tst_LinkWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void connectClick_showsAtOnceAndTheRunningLinkAtOnce();
    void silentDevice_metersFallWhileConnectedAndFollowItAgain();
    void noReply_firstClickDisconnectsAndTheNextConnects();
    void reconnectStraightAfterADisconnect_isAskedAtOnce();

private:
    cSerialConnectionBackend* Serial() const { return mProgram->Backend()->backendSerialConnection(); }
    QString StatusText() const { return mProgram->Item("statusText")->property("text").toString(); }
    QUrl ButtonImage() const { return mProgram->Item("connectButton")->property("source").toUrl(); }
    bool OverlayShown() const { return mProgram->Item("overlay")->isVisible(); }
    // Clicks the connect button; the program's tick count just after the click.
    int ClickConnectButton();
    int Ticks() const { return mTicks->Ticks(); }
    // Waits until the back end has taken a state other than `other` (or, with `equal`, that very
    // state) after the click at that tick; the ticks from the click to the tick it did, -1 on a
    // time-out.
    int TicksUntilState(int clickedAt, eConnectionState state, bool equal = true);
    bool WaitForConnected() const;
    // The input-left meter's cover: its full height is a meter at its floor.
    qreal MeterCover() const { return mCover->height(); }
    qreal MeterHeight() const { return qRound(mMeter->height()); }

    QTemporaryDir mFolder;
    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cReportCapture> mReports;
    std::unique_ptr<cProgramUnderTest> mProgram;
    std::unique_ptr<cRecordingNetObject> mTicks;
    const QQuickItem* mMeter = nullptr;
    const QQuickItem* mCover = nullptr;
    // Every state the back end takes, with the tick it took it on (recorded on the syscall thread).
    struct sStateTaken
    {
        int mState = 0;
        int mTick = 0;
    };
    std::mutex mStatesMutex;
    QList<sStateTaken> mStates;
    QMetaObject::Connection mRecording;
};

void tst_LinkWindow::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    // The display's own pointer waits in a corner away from every window.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
    QVERIFY(mFolder.isValid());
    // The device's link is named relative to the working directory.
    QVERIFY(QDir::setCurrent(mFolder.path()));
    mGuard = std::make_unique<cQmlWarningGuard>();
    mReports = std::make_unique<cReportCapture>();
    mProgram = std::make_unique<cProgramUnderTest>(Timings());
    QVERIFY(mProgram->Start());
    QVERIFY(QTest::qWaitForWindowExposed(mProgram->Window()));
    {
        // Made and deleted under the registry lock while the syscall thread runs.
        cRegistryLocker lock;
        mTicks = std::make_unique<cRecordingNetObject>("Link Window Ticks", 1, true);
    }
    mRecording = connect(
        Serial(), &cSerialConnectionBackend::stateChanged, this,
        [this]
        {
            std::lock_guard<std::mutex> lock(mStatesMutex);
            mStates.append({int(Serial()->state()), Ticks()});
        },
        Qt::DirectConnection);
    mMeter = FindInScene(mProgram->Item("inputBlock"), "meter0");
    QVERIFY(mMeter != nullptr);
    mCover = FindInScene(mMeter, "meterCover");
    QVERIFY(mCover != nullptr);
}

void tst_LinkWindow::cleanup()
{
    QML_VERIFY_NO_WARNINGS(*mGuard);
}

void tst_LinkWindow::cleanupTestCase()
{
    disconnect(mRecording);
    {
        cRegistryLocker lock;
        mTicks.reset();
    }
    mProgram.reset();
    mReports.reset();
    mGuard.reset();
}

int tst_LinkWindow::ClickConnectButton()
{
    const QQuickItem* button = mProgram->Item("connectButton");
    const QPointF centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2));
    QTest::mouseClick(mProgram->Window(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    return Ticks();
}

int tst_LinkWindow::TicksUntilState(int clickedAt, eConnectionState state, bool equal)
{
    int taken = -1;
    cProgramUnderTest::WaitFor(
        [&]
        {
            std::lock_guard<std::mutex> lock(mStatesMutex);
            for (const sStateTaken& seen : mStates)
            {
                if (seen.mTick >= clickedAt && (seen.mState == state) == equal)
                {
                    taken = seen.mTick;
                    return true;
                }
            }
            return false;
        },
        TIMEOUT_MS);
    return taken < 0 ? -1 : taken - clickedAt;
}

bool tst_LinkWindow::WaitForConnected() const
{
    return cProgramUnderTest::WaitFor(
        [this]
        {
            return Serial()->state() == CONNECTION_STATE_CONNECTED && !OverlayShown() &&
                   StatusText() == "Status: Connected, V1.2";
        },
        TIMEOUT_MS);
}

void tst_LinkWindow::connectClick_showsAtOnceAndTheRunningLinkAtOnce()
{
    QVERIFY(
        cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: Device Detected"; }, TIMEOUT_MS));
    QCOMPARE(ButtonImage(), CONNECTS);
    const cSerialInterface* link = mProgram->Session()->GetApplication()->GetSerialInterface();

    // The button turns at the click: its next click disconnects. The link's state shows within the
    // request polls, not a status period (or the rest of the port-list count) later.
    const int clickedAt = ClickConnectButton();
    QCOMPARE(ButtonImage(), DISCONNECTS);
    int ticks = TicksUntilState(clickedAt, CONNECTION_STATE_IDLE, false);
    QVERIFY2(ticks >= 0 && ticks <= REQUEST_TICKS, qPrintable(QString::number(ticks)));

    // Once the window has confirmed the sync the link runs, and the window shows it within the
    // request polls, not a status period later.
    QVERIFY(cProgramUnderTest::WaitFor([&] { return link->GetState() == CONNECTION_STATE_CONNECTED; },
                                       TIMEOUT_MS));
    const int runningAt = Ticks();
    ticks = TicksUntilState(clickedAt, CONNECTION_STATE_CONNECTED);
    QVERIFY2(ticks >= 0 && clickedAt + ticks - runningAt <= REQUEST_TICKS,
             qPrintable(QString("%1 %2").arg(clickedAt + ticks).arg(runningAt)));
    QVERIFY2(WaitForConnected(), qPrintable(StatusText()));
    QCOMPARE(ButtonImage(), DISCONNECTS);

    // "Connected" only once the sync has been confirmed, never on the handshake's way.
    std::lock_guard<std::mutex> lock(mStatesMutex);
    QStringList seen;
    bool synced = false;
    bool connectedBeforeSync = false;
    for (const sStateTaken& taken : mStates)
    {
        seen << QString::number(taken.mState);
        synced = synced || taken.mState == CONNECTION_STATE_SYNCING;
        connectedBeforeSync = connectedBeforeSync || (taken.mState == CONNECTION_STATE_CONNECTED && !synced);
    }
    QVERIFY2(synced && !connectedBeforeSync, qPrintable(seen.join(' ')));
}

void tst_LinkWindow::silentDevice_metersFallWhileConnectedAndFollowItAgain()
{
    cSimulatedDevice& device = mProgram->Device();
    const qreal floor = MeterHeight();
    device.UpdateModel([](cSimulatedDeviceModel& model) { model.mMeters[0] = 0x7FFFFFFF; });
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return MeterCover() < floor / 2; }, TIMEOUT_MS),
             qPrintable(QString::number(MeterCover())));

    // The device stops answering: the meter falls (200 ms, then its decay) while the link still
    // counts the device as connected (four missed polls, about 4 s, make it "No Reply").
    device.SetSilent(true);
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return MeterCover() == floor; }, TIMEOUT_MS),
             qPrintable(QString::number(MeterCover())));
    QCOMPARE(Serial()->state(), CONNECTION_STATE_CONNECTED);
    QCOMPARE(StatusText(), QString("Status: Connected, V1.2"));

    // Answering again, it is followed again (at the next poll: the unanswered one counts as missed
    // after about a second).
    device.SetSilent(false);
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return MeterCover() < floor / 2; }, TIMEOUT_MS),
             qPrintable(QString::number(MeterCover())));
    QCOMPARE(StatusText(), QString("Status: Connected, V1.2"));
}

void tst_LinkWindow::noReply_firstClickDisconnectsAndTheNextConnects()
{
    cSimulatedDevice& device = mProgram->Device();
    device.SetSilent(true);
    QVERIFY(cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: No Reply"; }, TIMEOUT_MS));
    QCOMPARE(MeterCover(), MeterHeight());
    // Still holding the port: the plug shows plugged in, and a click pulls it out.
    QCOMPARE(ButtonImage(), DISCONNECTS);
    device.ClearLog();
    const int clickedAt = ClickConnectButton();
    QCOMPARE(ButtonImage(), CONNECTS);
    const int ticks = TicksUntilState(clickedAt, CONNECTION_STATE_IDLE);
    QVERIFY2(ticks >= 0 && ticks <= REQUEST_TICKS, qPrintable(QString::number(ticks)));
    QVERIFY(
        cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: Device Detected"; }, TIMEOUT_MS));
    QVERIFY(cProgramUnderTest::WaitFor([&] { return device.CountFrames(CMD_DISCONNECT) == 1; }, TIMEOUT_MS));

    // The device answers again: one click connects, and the meters follow it.
    device.SetSilent(false);
    ClickConnectButton();
    QCOMPARE(ButtonImage(), DISCONNECTS);
    QVERIFY2(WaitForConnected(), qPrintable(StatusText()));
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return MeterCover() < MeterHeight() / 2; }, TIMEOUT_MS),
             qPrintable(QString::number(MeterCover())));
}

void tst_LinkWindow::reconnectStraightAfterADisconnect_isAskedAtOnce()
{
    // The disconnect shows within the request polls; the port-list count then starts afresh, and a
    // connect clicked at once is asked at once too.
    int clickedAt = ClickConnectButton();
    int ticks = TicksUntilState(clickedAt, CONNECTION_STATE_IDLE);
    QVERIFY2(ticks >= 0 && ticks <= REQUEST_TICKS, qPrintable(QString::number(ticks)));
    QVERIFY(
        cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: Device Detected"; }, TIMEOUT_MS));
    QCOMPARE(ButtonImage(), CONNECTS);
    clickedAt = ClickConnectButton();
    ticks = TicksUntilState(clickedAt, CONNECTION_STATE_IDLE, false);
    QVERIFY2(ticks >= 0 && ticks <= REQUEST_TICKS, qPrintable(QString::number(ticks)));
    QVERIFY2(WaitForConnected(), qPrintable(StatusText()));

    clickedAt = ClickConnectButton();
    ticks = TicksUntilState(clickedAt, CONNECTION_STATE_IDLE);
    QVERIFY2(ticks >= 0 && ticks <= REQUEST_TICKS, qPrintable(QString::number(ticks)));
    const QStringList errors = mReports->Lines().filter("ERROR:");
    // The silences above are reported as they happened; nothing else is.
    for (const QString& error : errors)
    {
        QVERIFY2(error.contains("No reply from the serial device"), qPrintable(error));
    }
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_LinkWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LinkWindow.moc"
