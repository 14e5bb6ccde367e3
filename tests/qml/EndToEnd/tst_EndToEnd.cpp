// The whole program in process in a real window (run under Xvfb), against the simulated device on a
// pty, driven with the mouse as a person does: connect, move a fader, watch the meters, save and
// recall a configuration, disconnect and quit. The functions run in order on one program.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

#include <memory>

namespace
{

constexpr std::uint8_t CMD_CONTROL_STRIP = 6;
constexpr std::uint8_t CMD_DISCONNECT = 15;
constexpr int TIMEOUT_MS = 15000;

// The names of this process's threads (as the system shows them), sorted.
QStringList ThreadNames()
{
    QStringList names;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly))
        {
            names.append(QString::fromUtf8(comm.readAll()).trimmed());
        }
    }
    names.sort();
    return names;
}

// A control-strip record as the device received it: strip index and gain (signed, 1/256 dB).
struct sStripRecord
{
    quint32 mIndex = 0;
    GAIN mGain = 0;
};

QList<sStripRecord> StripRecords(const cSimulatedDevice& device)
{
    QList<sStripRecord> records;
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        std::uint32_t index = 0;
        cSimulatedDeviceModel::sControlStrip strip;
        if (frame.mCommand == CMD_CONTROL_STRIP &&
            cSimulatedDeviceModel::DecodeControlStrip(frame.mPayload, index, strip))
        {
            records.append({index, GAIN(qint16(strip.mGainCode))});
        }
    }
    return records;
}

// The gain the device holds for a strip.
GAIN DeviceGain(const cSimulatedDevice& device, int strip)
{
    return GAIN(qint16(device.ModelSnapshot().mStrips[std::size_t(strip)].mGainCode));
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void connectButton_connectsAndSyncs();
    void faderDrag_sendsTheStripsRecords();
    void deviceMeters_moveTheMeterItems();
    void saveAndRecall_bringTheModelBack();
    void disconnectAndQuit_leaveNothingRunning();

private:
    QQuickItem* Below(const QString& parent, const QString& child) const;
    void Click(const QQuickItem* item);
    // Drags the input-left fader's knob by dy pixels, in steps.
    void DragInputFader(int dy);
    cSerialConnectionBackend* Serial() const { return mProgram->Backend()->backendSerialConnection(); }
    cQtSignalSlotContinuousControllerDriver* InputFader() const
    {
        return mProgram->Backend()->backendInOutFader()->inputL()->faderDriver();
    }
    // The gain the input-left fader stands for.
    GAIN InputGain() const { return ConvertUWORDToGain(UWORD(InputFader()->networkValue())); }
    QString StatusText() const { return mProgram->Item("statusText")->property("text").toString(); }
    bool OverlayShown() const { return mProgram->Item("overlay")->isVisible(); }

    QTemporaryDir mFolder;
    QStringList mThreadsBefore;
    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cReportCapture> mReports;
    std::unique_ptr<cProgramUnderTest> mProgram;
};

void tst_EndToEnd::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    // The display's own pointer waits in a corner away from every window, so that no real pointer event
    // (with no button down) comes between the test's presses and releases.
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
    QVERIFY(mFolder.isValid());
    // The device's link is named relative to the working directory.
    QVERIFY(QDir::setCurrent(mFolder.path()));
    mThreadsBefore = ThreadNames();
    mGuard = std::make_unique<cQmlWarningGuard>();
    mReports = std::make_unique<cReportCapture>();
    mProgram = std::make_unique<cProgramUnderTest>();
    QVERIFY(mProgram->Start());
    QVERIFY(QTest::qWaitForWindowExposed(mProgram->Window()));
}

void tst_EndToEnd::cleanup()
{
    QML_VERIFY_NO_WARNINGS(*mGuard);
}

void tst_EndToEnd::cleanupTestCase()
{
    mProgram.reset();
    mReports.reset();
    mGuard.reset();
}

QQuickItem* tst_EndToEnd::Below(const QString& parent, const QString& child) const
{
    return FindInScene(mProgram->Item(parent), child);
}

void tst_EndToEnd::Click(const QQuickItem* item)
{
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(mProgram->Window(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void tst_EndToEnd::DragInputFader(int dy)
{
    const QQuickItem* knob = FindInScene(Below("inputBlock", "fader0"), "faderKnob");
    QVERIFY(knob != nullptr);
    const QPoint from = knob->mapToScene(QPointF(knob->width() / 2, knob->height() / 2)).toPoint();
    QQuickWindow* window = mProgram->Window();
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, from);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i)
    {
        QTest::mouseMove(window, from + QPoint(0, dy * i / steps));
        cProgramUnderTest::Settle(20);
    }
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, from + QPoint(0, dy));
}

void tst_EndToEnd::connectButton_connectsAndSyncs()
{
    QVERIFY(
        cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: Device Detected"; }, TIMEOUT_MS));
    Click(mProgram->Item("connectButton"));
    QVERIFY2(cProgramUnderTest::WaitFor(
                 [this]
                 {
                     return Serial()->state() == CONNECTION_STATE_CONNECTED && !OverlayShown() &&
                            StatusText() == "Status: Connected, V1.2";
                 },
                 TIMEOUT_MS),
             qPrintable(StatusText() + "\n" + mReports->Lines().join("")));
    QCOMPARE(mProgram->Item("statusText")->property("color").value<QColor>(), QColor("#39b54a"));
    QCOMPARE(mProgram->Item("connectButton")->property("source").toUrl(), QUrl("qrc:/Connected.svg"));
}

void tst_EndToEnd::faderDrag_sendsTheStripsRecords()
{
    cSimulatedDevice& device = mProgram->Device();
    device.ClearLog();
    const int before = InputFader()->networkValue();

    DragInputFader(150);
    QVERIFY(InputFader()->networkValue() < before);
    // The device ends with the fader's gain; every record went to that strip.
    QVERIFY2(
        cProgramUnderTest::WaitFor(
            [&]
            {
                const QList<sStripRecord> records = StripRecords(device);
                return !records.isEmpty() && records.last().mGain == InputGain();
            },
            TIMEOUT_MS),
        qPrintable(QString("fader gain %1, %2 records").arg(InputGain()).arg(StripRecords(device).size())));
    for (const sStripRecord& record : StripRecords(device))
    {
        QCOMPARE(record.mIndex, 0u);
    }
    QCOMPARE(DeviceGain(device, 0), InputGain());
}

void tst_EndToEnd::deviceMeters_moveTheMeterItems()
{
    const QQuickItem* leftMeter = Below("inputBlock", "meter0");
    const QQuickItem* rightMeter = Below("inputBlock", "meter1");
    QVERIFY(leftMeter != nullptr && rightMeter != nullptr);
    const QQuickItem* leftCover = FindInScene(leftMeter, "meterCover");
    const QQuickItem* rightCover = FindInScene(rightMeter, "meterCover");
    QVERIFY(leftCover != nullptr && rightCover != nullptr);
    const qreal full = qRound(leftMeter->height());
    QCOMPARE(leftCover->height(), full);

    // Input left near full scale: its meter lights up, the right one stays dark.
    mProgram->Device().UpdateModel([](cSimulatedDeviceModel& model) { model.mMeters[0] = 0x7FFFFFFF; });
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return leftCover->height() < full / 2; }, TIMEOUT_MS),
             qPrintable(QString::number(leftCover->height())));
    QCOMPARE(rightCover->height(), full);

    // Silence: the meter falls back.
    mProgram->Device().UpdateModel([](cSimulatedDeviceModel& model) { model.mMeters[0] = 0; });
    QVERIFY2(cProgramUnderTest::WaitFor([&] { return leftCover->height() == full; }, TIMEOUT_MS),
             qPrintable(QString::number(leftCover->height())));
}

void tst_EndToEnd::saveAndRecall_bringTheModelBack()
{
    cSavesDialogBackend* saves = mProgram->Backend()->backendSavesDialog();
    int answers = 0;
    connect(saves, &cSavesDialogBackend::operationSuccessChanged, this, [&] { ++answers; });
    const QUrl file = QUrl::fromLocalFile(mFolder.filePath("Faders.cfg"));
    const int saved = InputFader()->networkValue();
    const GAIN savedGain = InputGain();

    // The buttons open their dialogs over the dimmed window; the file then goes to the back end as the
    // dialog's accepted handler sends it.
    const struct
    {
        const char* mButton;
        const char* mDialog;
    } steps[] = {{"saveButton", "saveDialog"}, {"recallButton", "recallDialog"}};
    for (const auto& step : steps)
    {
        // Each dialog is made when its button is first clicked.
        Click(mProgram->Item(step.mButton));
        QObject* dialog = nullptr;
        QVERIFY(cProgramUnderTest::WaitFor(
            [&]
            {
                dialog = mProgram->Window()->findChild<QObject*>(step.mDialog);
                return dialog != nullptr && dialog->property("visible").toBool();
            },
            TIMEOUT_MS));
        QVERIFY(OverlayShown());
        QVERIFY(QMetaObject::invokeMethod(dialog, "close"));
        QVERIFY(cProgramUnderTest::WaitFor([&] { return !OverlayShown(); }, TIMEOUT_MS));

        const int answersBefore = answers;
        if (step.mDialog == QLatin1String("saveDialog"))
        {
            saves->saveConfig(file);
            QVERIFY(cProgramUnderTest::WaitFor([&] { return answers > answersBefore; }, TIMEOUT_MS));
            QVERIFY(saves->operationSuccess());
            QVERIFY(QFile(file.toLocalFile()).size() > 0);
            // Changed after the save.
            DragInputFader(60);
            QVERIFY(InputFader()->networkValue() != saved);
        }
        else
        {
            saves->recallConfig(file);
            QVERIFY(cProgramUnderTest::WaitFor([&] { return answers > answersBefore; }, TIMEOUT_MS));
            QVERIFY(saves->operationSuccess());
        }
    }
    QVERIFY(cProgramUnderTest::WaitFor([&] { return InputFader()->networkValue() == saved; }, TIMEOUT_MS));
    QVERIFY(cProgramUnderTest::WaitFor([&] { return DeviceGain(mProgram->Device(), 0) == savedGain; },
                                       TIMEOUT_MS));
}

void tst_EndToEnd::disconnectAndQuit_leaveNothingRunning()
{
    mProgram->Device().ClearLog();
    Click(mProgram->Item("connectButton"));
    QVERIFY(cProgramUnderTest::WaitFor(
        [this] { return Serial()->state() == CONNECTION_STATE_IDLE && !Serial()->GetConnect(); },
        TIMEOUT_MS));
    QVERIFY(
        cProgramUnderTest::WaitFor([this] { return StatusText() == "Status: Device Detected"; }, TIMEOUT_MS));
    QCOMPARE(mProgram->Device().CountFrames(CMD_DISCONNECT), 1);

    mProgram->Stop();
    QVERIFY(mProgram->Backend() == nullptr);
    // Every thread the program started has ended (the simulated device's goes with it). Idle threads
    // of Qt's pool are let go; Qt's D-Bus connection thread, started for the platform, stays with
    // the application.
    mProgram.reset();
    QThreadPool::globalInstance()->waitForDone(5000);
    const auto withoutQtDBus = [](QStringList names)
    {
        names.removeAll(QStringLiteral("QDBusConnection"));
        return names;
    };
    cProgramUnderTest::WaitFor([&] { return withoutQtDBus(ThreadNames()) == withoutQtDBus(mThreadsBefore); },
                               5000);
    QCOMPARE(withoutQtDBus(ThreadNames()), withoutQtDBus(mThreadsBefore));
    const QStringList errors = mReports->Lines().filter("ERROR:");
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("")));
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_EndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_EndToEnd.moc"
