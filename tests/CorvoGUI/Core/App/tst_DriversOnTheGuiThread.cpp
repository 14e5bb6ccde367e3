#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cSyscallThread.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"
#include "tests/QtGUIComponents/KVNetDrivers/SignalSlotDrivers/DriverTestSupport.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QMutex>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace nDriverTest;

namespace
{

// What QML handlers hand over: the text of what arrived and whether it arrived on the GUI thread.
class cProbe : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void record(const QString& what, const QVariant& value)
    {
        QMutexLocker lock(&mMutex);
        mEntries.append(QString("%1 %2").arg(what, value.toString()));
        mOnGuiThread = mOnGuiThread && QThread::currentThread() == thread();
    }

    bool Has(const QString& entry) const
    {
        QMutexLocker lock(&mMutex);
        return mEntries.contains(entry);
    }
    QStringList Entries() const
    {
        QMutexLocker lock(&mMutex);
        return mEntries;
    }
    bool AllOnGuiThread() const
    {
        QMutexLocker lock(&mMutex);
        return mOnGuiThread;
    }

private:
    mutable QMutex mMutex;
    QStringList mEntries;
    bool mOnGuiThread = true;
};

// Sends a level and a peak (GAIN, GAIN) to its links, as the metering sources do.
class cLevelSource : public cNetObject
{
public:
    cLevelSource()
        : cNetObject("QML Level Source", 1, false, false)
    {
    }
    ~cLevelSource() override { Unregister(); }

    // Under the registry lock, from the test thread.
    void Send(GAIN level, GAIN peak)
    {
        cRegistryLocker lock;
        mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
        mControlMessage.mDestination = KV_NET_NO_HANDLE;
        mControlMessage.mMethod = PARAMETER_BASE;
        mControlMessage.SetLength(4);
        mControlMessage.SetUWORD(UWORD(level), 0);
        mControlMessage.SetUWORD(UWORD(peak), 2);
        SendToInformList(mControlMessage);
    }
};

// Handlers of the drivers' capitalised signals are reached through the properties they notify
// (onValueChanged of value, onGainValueChanged of gainValue) or through connect().
const char* const DRIVERS_QML = R"(
import QtQml 2.15
import KVDrivers 1.0
QtObject {
    property QtIntegerSwitchDriver mode: QtIntegerSwitchDriver {
        netObjectName: "QML Mode Switch"
        onValueChanged: probe.record("mode", Value)
    }
    property QtBooleanSwitchDriver mute: QtBooleanSwitchDriver {
        netObjectName: "QML Mute Switch"
        onValueChanged: probe.record("mute", Value)
    }
    property QtSignalSlotContinuousControllerDriver fader: QtSignalSlotContinuousControllerDriver {
        netObjectName: "QML Fader"
        onValueChanged: probe.record("fader", networkValue)
    }
    property QtSignalSlotMeterDriver meter: QtSignalSlotMeterDriver {
        netObjectName: "QML Meter"
        noBallistics: true
        onGainValueChanged: probe.record("gain", Value)
        Component.onCompleted: MeterValuesChanged.connect(function(level, peak) {
            probe.record("meter", level + "/" + peak)
        })
    }
}
)";

template <typename T>
T* Driver(QObject& root, const char* name)
{
    return qobject_cast<T*>(root.property(name).value<QObject*>());
}

} // namespace

// The drivers' values from linked units arrive on the syscall thread; QML must receive them on
// the GUI thread, through queued signals whose argument types (int, bool, GAIN) have meta-types.
// Real syscall and action-tick threads run here.
class tst_DriversOnTheGuiThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linkedUnitValues_reachQmlOnTheGuiThread_andBack();
};

void tst_DriversOnTheGuiThread::initTestCase()
{
    RegisterQmlTypes();
}

void tst_DriversOnTheGuiThread::linkedUnitValues_reachQmlOnTheGuiThread_andBack()
{
    cScopedKVNetSystem system;
    cReportCapture capture;
    cQmlWarningGuard guard;
    cProbe probe;
    cSwitchUnit modeUnit("QML Mode Unit");
    cSwitchUnit muteUnit("QML Mute Unit");
    cRecordingNetObject faderUnit("QML Fader Unit", 1);
    cLevelSource levels;
    modeUnit.Set(3);
    faderUnit.SetValue(0, 1234);

    auto syscall = std::make_unique<cSyscallThread>();
    auto ticks = std::make_unique<cActionTickDriver>(nullptr);
    syscall->StartThread();
    ticks->StartThread();
    SetSystemRunning(true);

    auto engine = std::make_unique<QQmlEngine>();
    engine->rootContext()->setContextProperty("probe", &probe);
    QQmlComponent component(engine.get());
    component.setData(DRIVERS_QML, QUrl());
    std::unique_ptr<QObject> root(component.create());
    QVERIFY2(root != nullptr, qPrintable(component.errorString()));

    // Linked as the back ends link: the units' current values arrive at once.
    auto* mode = Driver<cQtIntegerSwitchDriver>(*root, "mode");
    auto* mute = Driver<cQtBooleanSwitchDriver>(*root, "mute");
    auto* fader = Driver<cQtSignalSlotContinuousControllerDriver>(*root, "fader");
    auto* meter = Driver<cQtSignalSlotMeterDriver>(*root, "meter");
    QVERIFY(mode->LinkValueFromParameter("QML Mode Unit", PARAMETER_BASE, false, true, true));
    QVERIFY(mute->LinkValueFromParameter("QML Mute Unit", PARAMETER_BASE, false, true, true));
    QVERIFY(fader->LinkValueFromParameter("QML Fader Unit", PARAMETER_BASE, false, true));
    QVERIFY(meter->LinkMeterFromParameter("QML Level Source", PARAMETER_BASE, false));
    QTRY_VERIFY_WITH_TIMEOUT(gSystemBuilder->GetQueuedCount() == 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("mode 3"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("fader 1234"), 5000);

    // Values set on the units later.
    {
        cRegistryLocker lock;
        modeUnit.Set(5);
        muteUnit.Set(1);
    }
    levels.Send(-7680, -3000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("mode 5"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("mute true"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("meter -7680/-3000"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(probe.Has("gain -7680"), 5000);
    QVERIFY2(probe.AllOnGuiThread(), qPrintable(probe.Entries().join(", ")));

    // And back: a QML write reaches the unit on a later tick. (A control object's first tick only
    // records its driver's value, so the write waits until the switch has been scanned once.)
    const ULONG posted = ticks->GetTicksPosted();
    QTRY_VERIFY_WITH_TIMEOUT(ticks->GetTicksPosted() >= posted + cActionTickDriver::MAX_OUTSTANDING_TICKS + 1,
                             5000);
    QVERIFY(QQmlProperty::write(root->property("mode").value<QObject*>(), "value", 9));
    QTRY_COMPARE_WITH_TIMEOUT(int(modeUnit.Value()), 9, 5000);

    root.reset();
    engine.reset();
    SetSystemRunning(false);
    syscall->StopThread();
    ticks.reset();
    syscall.reset();
    QML_VERIFY_NO_WARNINGS(guard);
    QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
}

QTEST_GUILESS_MAIN(tst_DriversOnTheGuiThread)
#include "tst_DriversOnTheGuiThread.moc"
