#include "DriverTestSupport.h"

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotListBoxDriver.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/cSignalLog.h"

#include <QtTest>

#include <memory>

using namespace nDriverTest;

namespace
{

constexpr UWORD M_VALUE = cSwitchBaseDriver::M_VALUE;
constexpr UWORD M_DELTA = cSwitchBaseDriver::M_DELTA;
const QList<UBYTE> SLOPE_VALUES{10, 20, 30, 40};

// The three switch drivers behind one face: made as QML or a back end makes them, written
// through their QML setter, read through their QML property.
struct sSwitch
{
    QString mKind;
    std::unique_ptr<cQtSwitchDriverBase> mDriver;

    explicit sSwitch(const QString& kind, const QList<UBYTE>& listValues = SLOPE_VALUES)
        : mKind(kind)
    {
        if (kind == "boolean")
        {
            mDriver = std::make_unique<cQtBooleanSwitchDriver>();
        }
        else if (kind == "integer")
        {
            mDriver = std::make_unique<cQtIntegerSwitchDriver>();
        }
        else
        {
            mDriver = std::make_unique<cQtSignalSlotListBoxDriver>(nullptr, nullptr, listValues);
        }
    }

    cQtBooleanSwitchDriver& Boolean() { return static_cast<cQtBooleanSwitchDriver&>(*mDriver); }
    cQtIntegerSwitchDriver& Integer() { return static_cast<cQtIntegerSwitchDriver&>(*mDriver); }
    cQtSignalSlotListBoxDriver& ListBox() { return static_cast<cQtSignalSlotListBoxDriver&>(*mDriver); }
    cNetObject& Object() { return *mDriver->GetAudioObject(); }

    // "set v" writes the value setter, "index i" the list box's SetCurrentIndex.
    void Apply(const QString& operation)
    {
        const QStringList words = operation.split(' ');
        const int argument = words.at(1).toInt();
        if (words.at(0) == "index")
        {
            ListBox().SetCurrentIndex(argument);
        }
        else if (mKind == "boolean")
        {
            Boolean().setValue(argument != 0);
        }
        else if (mKind == "integer")
        {
            Integer().setValue(argument);
        }
        else
        {
            ListBox().SetValue(argument);
        }
    }

    // The QML property: value for the boolean and integer drivers, currentIndex for the list box.
    int Read()
    {
        if (mKind == "boolean")
        {
            return Boolean().value() ? 1 : 0;
        }
        if (mKind == "integer")
        {
            return Integer().value();
        }
        return ListBox().currentIndex();
    }
};

} // namespace

class tst_QtSwitchDrivers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void qmlWrite_reachesLinksOnTheNextTick_data();
    void qmlWrite_reachesLinksOnTheNextTick();
    void linkValue_isCachedAndAnnounced_notEchoed_data();
    void linkValue_isCachedAndAnnounced_notEchoed();
    void qmlSetters_data();
    void qmlSetters();
    void listBoxDelta_stepsAlongTheList_data();
    void listBoxDelta_stepsAlongTheList();
    void readSignal_onEveryPeriodthPoll_data();
    void readSignal_onEveryPeriodthPoll();
    void attachDetachReattach_byName();
    void nameInUse_leavesTheDriverDetached();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
    std::unique_ptr<cRecordingNetObject> mA;
    std::unique_ptr<cRecordingNetObject> mB;
};

void tst_QtSwitchDrivers::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
    mA = std::make_unique<cRecordingNetObject>("Peer A", 8);
    mB = std::make_unique<cRecordingNetObject>("Peer B", 8);
}

void tst_QtSwitchDrivers::cleanup()
{
    mA.reset();
    mB.reset();
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_QtSwitchDrivers::qmlWrite_reachesLinksOnTheNextTick_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QList<QByteArray>>("sent");

    QTest::newRow("boolean") << "boolean" << QStringList{"set 1", "set 1", "set 0"}
                             << QList<QByteArray>{Bytes({1}), Bytes({0})};
    QTest::newRow("integer") << "integer" << QStringList{"set 7", "set 7", "set 255"}
                             << QList<QByteArray>{Bytes({7}), Bytes({255})};
    QTest::newRow("list box value, one without an entry ignored")
        << "list box" << QStringList{"set 30", "set 99", "set 10"}
        << QList<QByteArray>{Bytes({30}), Bytes({10})};
    QTest::newRow("list box index") << "list box" << QStringList{"index 3", "index 1"}
                                    << QList<QByteArray>{Bytes({40}), Bytes({20})};
}

void tst_QtSwitchDrivers::qmlWrite_reachesLinksOnTheNextTick()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, writes);
    QFETCH(QList<QByteArray>, sent);

    sSwitch driver(kind);
    QVERIFY(driver.mDriver->setNetObjectName("Switch"));
    Link(driver.Object(), M_VALUE, *mA, M_VALUE);
    cMessagePump::Tick();

    for (const QString& write : writes)
    {
        const int before = mA->Count(M_VALUE);
        driver.Apply(write);
        cMessagePump::Pump();
        QCOMPARE(mA->Count(M_VALUE), before); // only the tick sends
        cMessagePump::Tick();
    }
    cMessagePump::Tick(3);
    QCOMPARE(Payloads(*mA, M_VALUE), sent);
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_QtSwitchDrivers::linkValue_isCachedAndAnnounced_notEchoed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QStringList>("signalsEmitted");
    QTest::addColumn<int>("read");
    QTest::addColumn<QString>("report");

    QTest::newRow("boolean on") << "boolean" << 1
                                << QStringList{"valueChanged(true)", "ValuePropertyChanged()"} << 1 << "";
    QTest::newRow("boolean unchanged") << "boolean" << 0 << QStringList() << 0 << "";
    QTest::newRow("boolean 2 kept, read as true")
        << "boolean" << 2 << QStringList{"valueChanged(true)", "ValuePropertyChanged()"} << 1
        << "Bad conversion to boolean for UBYTE with value 0x2";
    QTest::newRow("integer") << "integer" << 200 << QStringList{"ValueChanged(200)"} << 200 << "";
    QTest::newRow("list box entry") << "list box" << 30
                                    << QStringList{"ValueChanged(30)", "CurrentIndexChanged()"} << 2 << "";
    QTest::newRow("list box current value again")
        << "list box" << 10 << QStringList{"ValueChanged(10)", "CurrentIndexChanged()"} << 0 << "";
    QTest::newRow("list box value without an entry")
        << "list box" << 99 << QStringList{"ValueChanged(99)", "CurrentIndexChanged()"} << -1 << "";
}

void tst_QtSwitchDrivers::linkValue_isCachedAndAnnounced_notEchoed()
{
    QFETCH(QString, kind);
    QFETCH(int, byte);
    QFETCH(QStringList, signalsEmitted);
    QFETCH(int, read);
    QFETCH(QString, report);

    sSwitch driver(kind);
    QVERIFY(driver.mDriver->setNetObjectName("Switch"));
    Link(driver.Object(), M_VALUE, *mA, M_VALUE);
    Link(driver.Object(), M_VALUE, *mB, M_VALUE);
    cMessagePump::Tick();
    cSignalLog log(driver.mDriver.get());

    PostFrom(*mA, driver.Object(), M_VALUE, Bytes({byte}));
    cMessagePump::Pump();
    QCOMPARE(
        Only(log.Take(), {"valueChanged", "ValuePropertyChanged", "ValueChanged", "CurrentIndexChanged"}),
        signalsEmitted);
    QCOMPARE(int(driver.mDriver->GetCachedValue()), byte);
    QCOMPARE(driver.Read(), read);
    QCOMPARE(Payloads(*mB, M_VALUE), QList<QByteArray>{Bytes({byte})});

    cMessagePump::Tick(2);
    QCOMPARE(mA->Count(M_VALUE), 0);
    QCOMPARE(mB->Count(M_VALUE), 1);
    if (report.isEmpty())
    {
        QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
}

void tst_QtSwitchDrivers::qmlSetters_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QStringList>("signalsEmitted");
    QTest::addColumn<int>("cached");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("report");

    const QString outOfRange = "value %1 is out of range 0..255";
    QTest::newRow("boolean true twice")
        << "boolean" << QStringList{"set 1", "set 1"}
        << QStringList{"valueChanged(true)", "ValuePropertyChanged()"} << 1 << 0 << "";
    QTest::newRow("integer twice") << "integer" << QStringList{"set 255", "set 255"}
                                   << QStringList{"ValueChanged(255)"} << 255 << 0 << "";
    QTest::newRow("integer above a byte")
        << "integer" << QStringList{"set 300"} << QStringList() << 0 << 0 << outOfRange.arg(300);
    QTest::newRow("integer below 0") << "integer" << QStringList{"set -1"} << QStringList() << 0 << 0
                                     << outOfRange.arg(-1);
    QTest::newRow("list box index") << "list box" << QStringList{"index 2"}
                                    << QStringList{"CurrentIndexChanged()"} << 30 << 512 << "";
    QTest::newRow("list box index of the current value")
        << "list box" << QStringList{"index 0"} << QStringList() << 10 << 0 << "";
    QTest::newRow("list box absent index selects 0")
        << "list box" << QStringList{"index 7"} << QStringList{"CurrentIndexChanged()"} << 0 << -256 << "";
    QTest::newRow("list box value") << "list box" << QStringList{"set 40"} << QStringList{"ValueChanged(40)"}
                                    << 40 << 768 << "";
    QTest::newRow("list box value without an entry")
        << "list box" << QStringList{"set 9"} << QStringList() << 10 << 0 << "";
    QTest::newRow("list box value above a byte")
        << "list box" << QStringList{"set 266"} << QStringList() << 10 << 0 << outOfRange.arg(266);
}

void tst_QtSwitchDrivers::qmlSetters()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, operations);
    QFETCH(QStringList, signalsEmitted);
    QFETCH(int, cached);
    QFETCH(int, position);
    QFETCH(QString, report);

    sSwitch driver(kind);
    cSignalLog log(driver.mDriver.get());
    for (const QString& operation : operations)
    {
        driver.Apply(operation);
    }
    QCOMPARE(log.Entries(), signalsEmitted);
    QCOMPARE(int(driver.mDriver->GetCachedValue()), cached);
    if (kind == "list box")
    {
        QCOMPARE(driver.ListBox().GetPosition(), position);
    }
    if (report.isEmpty())
    {
        QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
    }
    else
    {
        QCOMPARE(mCapture->Count(report), 1);
    }
}

void tst_QtSwitchDrivers::listBoxDelta_stepsAlongTheList_data()
{
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("startValue");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("cached");

    const QList<int> four{10, 20, 30, 40};
    QList<int> hundred;
    for (int i = 0; i < 100; ++i)
    {
        hundred.append(i);
    }
    QList<int> fourteenUp;
    for (int i = 0; i < 14; ++i)
    {
        fourteenUp.append(1);
    }

    QTest::newRow("step 9: +30 reaches index 1") << four << -1 << QList<int>{30} << 1 << 256 << 20;
    QTest::newRow("-100 from there stops at the first") << four << -1 << QList<int>{30, -100} << 0 << 0 << 10;
    QTest::newRow("fourteen single units stay below half an index")
        << four << -1 << fourteenUp << 0 << 126 << 10;
    QTest::newRow("the fifteenth crosses it") << four << -1 << fourteenUp + QList<int>{1} << 1 << 256 << 20;
    QTest::newRow("past the end stops at the last") << four << -1 << QList<int>{200} << 3 << 768 << 40;
    QTest::newRow("one entry: every step ends on it")
        << QList<int>{5} << -1 << QList<int>{5, -5, 300} << 0 << 0 << 5;
    QTest::newRow("no entries: the value becomes 0") << QList<int>() << 7 << QList<int>{1} << -1 << -256 << 0;
    QTest::newRow("from a value without an entry, down lands on the first")
        << four << 99 << QList<int>{-1} << 0 << 0 << 10;
    QTest::newRow("a large step never reverses") << hundred << -1 << QList<int>{200} << 99 << 99 * 256 << 99;
}

void tst_QtSwitchDrivers::listBoxDelta_stepsAlongTheList()
{
    QFETCH(QList<int>, values);
    QFETCH(int, startValue);
    QFETCH(QList<int>, deltas);
    QFETCH(int, index);
    QFETCH(int, position);
    QFETCH(int, cached);

    QList<UBYTE> entries;
    for (int value : values)
    {
        entries.append(UBYTE(value));
    }
    cQtSignalSlotListBoxDriver driver(nullptr, "List Box", entries);
    cNetObject& object = *driver.GetAudioObject();
    if (startValue >= 0)
    {
        PostFrom(*mA, object, M_VALUE, Bytes({startValue}));
    }
    for (int delta : deltas)
    {
        PostFrom(*mA, object, M_DELTA, Word(delta & 0xFFFF));
    }
    cMessagePump::Pump();
    QCOMPARE(driver.currentIndex(), index);
    QCOMPARE(driver.GetPosition(), position);
    QCOMPARE(int(driver.GetCachedValue()), cached);
}

void tst_QtSwitchDrivers::readSignal_onEveryPeriodthPoll_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("reads");

    QTest::newRow("boolean as QML makes it, 150 polls") << "boolean" << 50 << 150 << 3;
    QTest::newRow("integer, 49 polls") << "integer" << 50 << 49 << 0;
    QTest::newRow("list box, 100 polls") << "list box" << 50 << 100 << 2;
    QTest::newRow("period 0: every 256th poll") << "integer" << 0 << 300 << 1;
    QTest::newRow("period 1: every poll") << "integer" << 1 << 5 << 5;
}

void tst_QtSwitchDrivers::readSignal_onEveryPeriodthPoll()
{
    QFETCH(QString, kind);
    QFETCH(int, period);
    QFETCH(int, ticks);
    QFETCH(int, reads);

    std::unique_ptr<cQtSwitchDriverBase> driver;
    if (kind == "boolean")
    {
        driver = std::make_unique<cQtBooleanSwitchDriver>();
        QVERIFY(driver->setNetObjectName("Switch"));
    }
    else if (kind == "integer")
    {
        driver = std::make_unique<cQtIntegerSwitchDriver>("Switch", UBYTE(period), true);
        static_cast<cQtIntegerSwitchDriver&>(*driver).setValue(9);
    }
    else
    {
        driver = std::make_unique<cQtSignalSlotListBoxDriver>(nullptr, "Switch", SLOPE_VALUES, UBYTE(period));
    }
    QCOMPARE(int(driver->GetReadPeriod()), period);
    cSignalLog log(driver.get());
    cMessagePump::Tick(ticks);

    const QStringList read = Only(log.Entries(), {"SwitchRead"});
    QCOMPARE(read.size(), reads);
    for (const QString& entry : read)
    {
        QCOMPARE(entry, QString("SwitchRead(%1)").arg(driver->GetCachedValue()));
    }
}

void tst_QtSwitchDrivers::attachDetachReattach_byName()
{
    cQtIntegerSwitchDriver driver;
    cSignalLog log(&driver);

    QVERIFY(!driver.setNetObjectName(""));
    QVERIFY(driver.GetAudioObject() == nullptr);
    QVERIFY(driver.setNetObjectName("Gang Switch"));
    QCOMPARE(driver.netObjectName(), QString("Gang Switch"));
    QVERIFY(IsRegistered("Gang Switch"));

    QVERIFY(!driver.setNetObjectName("Other Switch"));
    QCOMPARE(mCapture->Count("Driver already has a net object"), 1);
    QCOMPARE(driver.netObjectName(), QString("Gang Switch"));
    QVERIFY(!IsRegistered("Other Switch"));

    driver.DetachNetObject();
    QCOMPARE(driver.netObjectName(), QString());
    QVERIFY(!IsRegistered("Gang Switch"));
    driver.DetachNetObject();
    QCOMPARE(log.Take(), (QStringList{"netObjectNameChanged()", "netObjectNameChanged()"}));

    // Detached, QML still reads and writes the cache, but nothing reaches the network.
    driver.setValue(4);
    QCOMPARE(driver.value(), 4);
    QVERIFY(!driver.LinkValueFromParameter("Peer A", M_VALUE, false, true, true));

    // Re-attached under the same name and linked as the back ends link: the unit's value arrives
    // at once, and QML writes reach the unit.
    cSwitchUnit unit("Gang Unit");
    unit.Set(6);
    QVERIFY(driver.setNetObjectName("Gang Switch"));
    QVERIFY(driver.LinkValueFromParameter("Gang Unit", M_VALUE, false, true, true));
    cMessagePump::Tick();
    QCOMPARE(driver.value(), 6);
    driver.setValue(8);
    cMessagePump::Tick();
    QCOMPARE(int(unit.Value()), 8);
    unit.Set(2);
    cMessagePump::Pump();
    QCOMPARE(driver.value(), 2);
}

void tst_QtSwitchDrivers::nameInUse_leavesTheDriverDetached()
{
    cQtBooleanSwitchDriver driver;
    cSignalLog log(&driver);
    QVERIFY(!driver.setNetObjectName("Peer A"));
    QVERIFY(driver.GetAudioObject() == nullptr);
    QCOMPARE(driver.netObjectName(), QString());
    QVERIFY(!mCapture->Lines().isEmpty());
    QVERIFY(driver.setNetObjectName("Free Name"));
    QCOMPARE(log.Entries(), QStringList{"netObjectNameChanged()"});
}

QTEST_GUILESS_MAIN(tst_QtSwitchDrivers)
#include "tst_QtSwitchDrivers.moc"
