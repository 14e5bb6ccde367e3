#include "DriverTestSupport.h"

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/cSignalLog.h"

#include <QtTest>

#include <limits>
#include <memory>

using namespace nDriverTest;

namespace
{

using tDriver = cQtSignalSlotContinuousControllerDriver;
constexpr UWORD M_VALUE = tDriver::M_VALUE;
constexpr UWORD M_RANGE = tDriver::M_RANGE;
constexpr UWORD M_DELTA = tDriver::M_DELTA;

QStringList ValueSignals(int value, const QString& fraction)
{
    return {QString("ValueChanged(%1)").arg(value), QString("ValueChanged(%1)").arg(fraction),
            "ValuePropertyChanged()"};
}

} // namespace

class tst_QtContinuousControllerDriver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void qmlSetters_storeAndAnnounce_data();
    void qmlSetters_storeAndAnnounce();
    void nonFiniteFraction_changesNothingAndIsReported_data();
    void nonFiniteFraction_changesNothingAndIsReported();
    void values_travelBothWays_notEchoed_data();
    void values_travelBothWays_notEchoed();
    void delta_stepsWithinTheRange_data();
    void delta_stepsWithinTheRange();
    void readSignal_onEveryPeriodthPoll_data();
    void readSignal_onEveryPeriodthPoll();
    void range_fromQmlAndFromALink();
    void attachDetachReattach_byName();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
    std::unique_ptr<cRecordingNetObject> mA;
    std::unique_ptr<cRecordingNetObject> mB;
};

void tst_QtContinuousControllerDriver::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
    mA = std::make_unique<cRecordingNetObject>("Peer A", 8);
    mB = std::make_unique<cRecordingNetObject>("Peer B", 8);
}

void tst_QtContinuousControllerDriver::cleanup()
{
    mA.reset();
    mB.reset();
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_QtContinuousControllerDriver::qmlSetters_storeAndAnnounce_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("signalsEmitted");
    QTest::addColumn<int>("cached");
    QTest::addColumn<float>("fraction");

    QTest::newRow("half of the full range rounds up")
        << 0 << 65535 << false << QStringList{"fraction 0.5"} << ValueSignals(32768, "0.50000763") << 32768
        << 0.50000763f;
    QTest::newRow("the same fraction twice announces once")
        << 0 << 65535 << false << QStringList{"fraction 0.5", "fraction 0.5"}
        << ValueSignals(32768, "0.50000763") << 32768 << 0.50000763f;
    QTest::newRow("fraction above 1 clamps")
        << 0 << 1000 << false << QStringList{"fraction 1.5"} << ValueSignals(1000, "1") << 1000 << 1.0f;
    QTest::newRow("fraction below 0 at the lower end changes nothing")
        << 0 << 1000 << false << QStringList{"fraction -0.2"} << QStringList() << 0 << 0.0f;
    QTest::newRow("network value above the range clamps")
        << 0 << 1000 << false << QStringList{"network 70000"} << ValueSignals(1000, "1") << 1000 << 1.0f;
    QTest::newRow("LevelType: below the range is off")
        << 10 << 20 << true << QStringList{"network 5"} << ValueSignals(0, "0") << 0 << 0.0f;
    QTest::newRow("LevelType: fraction 0 is off")
        << 10 << 20 << true << QStringList{"fraction 0"} << ValueSignals(0, "0") << 0 << 0.0f;
}

void tst_QtContinuousControllerDriver::qmlSetters_storeAndAnnounce()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(QStringList, writes);
    QFETCH(QStringList, signalsEmitted);
    QFETCH(int, cached);
    QFETCH(float, fraction);

    tDriver driver(nullptr, nullptr, UWORD(lower), UWORD(upper), levelType ? 1 : 0);
    QCOMPARE(driver.networkValue(), lower);
    cSignalLog log(&driver);
    for (const QString& write : writes)
    {
        const QStringList words = write.split(' ');
        if (words.at(0) == "fraction")
        {
            driver.setValue(words.at(1).toFloat());
        }
        else
        {
            driver.setNetworkValue(words.at(1).toInt());
        }
    }
    QCOMPARE(log.Entries(), signalsEmitted);
    QCOMPARE(int(driver.GetCachedValue()), cached);
    QCOMPARE(driver.property("network_value").toInt(), cached);
    QCOMPARE(driver.value(), fraction);
}

void tst_QtContinuousControllerDriver::nonFiniteFraction_changesNothingAndIsReported_data()
{
    QTest::addColumn<float>("fraction");
    QTest::addColumn<QString>("text");
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << "nan";
    QTest::newRow("+infinity") << std::numeric_limits<float>::infinity() << "inf";
    QTest::newRow("-infinity") << -std::numeric_limits<float>::infinity() << "-inf";
}

// A level fader whose lower end is "off": NaN used to read as the fraction 0, which stored "off"
// and sent it (minus infinity) on the next tick.
void tst_QtContinuousControllerDriver::nonFiniteFraction_changesNothingAndIsReported()
{
    QFETCH(float, fraction);
    QFETCH(QString, text);

    tDriver driver("Fader", 100, 1000, 1, tDriver::DEFAULT_READ_PERIOD);
    Link(*driver.GetAudioObject(), M_VALUE, *mA, M_VALUE);
    cMessagePump::Tick();
    driver.setNetworkValue(500);
    cMessagePump::Tick();
    QCOMPARE(Payloads(*mA, M_VALUE), QList<QByteArray>{Word(500)});

    cManualReportClock clock; // one hold-back window for the three reports
    cSignalLog log(&driver);
    driver.setValue(fraction);
    driver.SetValue(fraction);
    QVERIFY(driver.setProperty("value", fraction));
    QCOMPARE(log.Entries(), QStringList());
    QCOMPARE(driver.networkValue(), 500);
    cMessagePump::Tick(2);
    QCOMPARE(Payloads(*mA, M_VALUE), QList<QByteArray>{Word(500)});
    // Reported once: the same report from the same place is held back within the window.
    QCOMPARE(mCapture->Count(QString("Fraction %1 refused for \"Fader\"").arg(text)), 1);
}

void tst_QtContinuousControllerDriver::values_travelBothWays_notEchoed_data()
{
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<int>("write");
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("received");
    QTest::addColumn<float>("receivedFraction");

    QTest::newRow("plain range") << false << 300 << 300 << 700 << 0.6666667f;
    QTest::newRow("LevelType: the lower end travels as 0") << true << 100 << 0 << 0 << 0.0f;
}

void tst_QtContinuousControllerDriver::values_travelBothWays_notEchoed()
{
    QFETCH(bool, levelType);
    QFETCH(int, write);
    QFETCH(int, sent);
    QFETCH(int, received);
    QFETCH(float, receivedFraction);

    tDriver driver("Fader", 100, 1000, levelType ? 1 : 0, tDriver::DEFAULT_READ_PERIOD);
    driver.setNetworkValue(500);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_VALUE, *mA, M_VALUE);
    Link(controller, M_VALUE, *mB, M_VALUE);
    cMessagePump::Tick();

    driver.setNetworkValue(write);
    cMessagePump::Pump();
    QCOMPARE(mA->Count(M_VALUE), 0);
    cMessagePump::Tick(2);
    QCOMPARE(Payloads(*mA, M_VALUE), QList<QByteArray>{Word(sent)});

    cSignalLog log(&driver);
    PostFrom(*mA, controller, M_VALUE, Word(received));
    cMessagePump::Pump();
    QCOMPARE(Only(log.Take(), {"ValueChanged", "ValuePropertyChanged"}),
             ValueSignals(received, QString::number(double(receivedFraction), 'g', 8)));
    QCOMPARE(driver.networkValue(), received);
    QCOMPARE(driver.value(), receivedFraction);
    cMessagePump::Tick(2);
    QCOMPARE(mA->Count(M_VALUE), 1);
    QCOMPARE(Payloads(*mB, M_VALUE), (QList<QByteArray>{Word(sent), Word(received)}));
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_QtContinuousControllerDriver::delta_stepsWithinTheRange_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<int>("cached");
    QTest::addColumn<int>("read");

    QTest::newRow("span 4: three +3 are carried") << 0 << 4 << false << 0 << QList<int>{3, 3, 3} << 0 << 0;
    QTest::newRow("span 4: the fourth steps once")
        << 0 << 4 << false << 0 << QList<int>{3, 3, 3, 3} << 1 << 1;
    QTest::newRow("span 4: the carried 2 counts")
        << 0 << 4 << false << 0 << QList<int>{3, 3, 3, 3, 8} << 2 << 2;
    QTest::newRow("span 4: downwards") << 0 << 4 << false << 4 << QList<int>{-3, -3, -3, -3} << 3 << 3;
    QTest::newRow("span 100: -5 moves 5") << 0 << 100 << false << 50 << QList<int>{-5} << 45 << 45;
    QTest::newRow("span 136: +1 moves 1") << 0 << 136 << false << 0 << QList<int>{1} << 1 << 1;
    QTest::newRow("span 1000: +3 moves 3") << 0 << 1000 << false << 500 << QList<int>{3} << 503 << 503;
    QTest::newRow("span 1000: +20 moves 116") << 0 << 1000 << false << 500 << QList<int>{20} << 616 << 616;
    QTest::newRow("span 1000: -20 moves 116") << 0 << 1000 << false << 500 << QList<int>{-20} << 384 << 384;
    QTest::newRow("a very fast turn sweeps the range")
        << 0 << 1000 << false << 0 << QList<int>{300} << 1000 << 1000;
    QTest::newRow("stops at the upper end") << 0 << 1000 << false << 998 << QList<int>{20} << 1000 << 1000;
    QTest::newRow("stops at the lower end") << 0 << 1000 << false << 2 << QList<int>{-20} << 0 << 0;
    QTest::newRow("LevelType: up from off starts at the lower end")
        << 100 << 1000 << true << 0 << QList<int>{1} << 101 << 101;
    QTest::newRow("LevelType: a fast turn up from off")
        << 100 << 1000 << true << 0 << QList<int>{20} << 204 << 204;
    QTest::newRow("LevelType: down to the lower end is off")
        << 100 << 1000 << true << 101 << QList<int>{-1} << 100 << 0;
    QTest::newRow("LevelType: down from off stays off")
        << 100 << 1000 << true << 0 << QList<int>{-3} << 100 << 0;
    QTest::newRow("a value above the range steps down from its top")
        << 0 << 100 << false << 500 << QList<int>{-1} << 99 << 99;
    QTest::newRow("upper below lower: ignored") << 50 << 10 << false << 50 << QList<int>{5} << 50 << 50;
}

void tst_QtContinuousControllerDriver::delta_stepsWithinTheRange()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(int, start);
    QFETCH(QList<int>, deltas);
    QFETCH(int, cached);
    QFETCH(int, read);

    tDriver driver("Knob", UWORD(lower), UWORD(upper), levelType ? 1 : 0, tDriver::DEFAULT_READ_PERIOD);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_VALUE, *mB, M_VALUE);
    PostFrom(*mA, controller, M_VALUE, Word(start));
    cMessagePump::Tick();

    for (int delta : deltas)
    {
        PostFrom(*mA, controller, M_DELTA, Word(delta & 0xFFFF));
    }
    cMessagePump::Pump();
    QCOMPARE(int(driver.GetCachedValue()), cached);

    // The controller sends what the deltas made of the value on its next tick.
    cMessagePump::Tick();
    QCOMPARE(mB->LastPayload(M_VALUE), Word(read));
}

void tst_QtContinuousControllerDriver::readSignal_onEveryPeriodthPoll_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("reads");

    QTest::newRow("as QML makes it, 100 polls") << 50 << 100 << 2;
    QTest::newRow("49 polls") << 50 << 49 << 0;
    QTest::newRow("period 0: every 256th poll") << 0 << 300 << 1;
}

void tst_QtContinuousControllerDriver::readSignal_onEveryPeriodthPoll()
{
    QFETCH(int, period);
    QFETCH(int, ticks);
    QFETCH(int, reads);

    tDriver driver(nullptr, nullptr, 0, 0xFFFF, 0, UBYTE(period));
    QVERIFY(driver.setNetObjectName("Fader"));
    driver.setNetworkValue(1234);
    cSignalLog log(&driver);
    cMessagePump::Tick(ticks);
    QStringList expected;
    for (int i = 0; i < reads; ++i)
    {
        expected.append("ControllerValueRead(1234)");
    }
    QCOMPARE(Only(log.Entries(), {"ControllerValueRead"}), expected);
}

void tst_QtContinuousControllerDriver::range_fromQmlAndFromALink()
{
    tDriver driver("Fader", 0, 1000, 0, tDriver::DEFAULT_READ_PERIOD);
    cSignalLog log(&driver);

    driver.setRange(10, 20, true);
    QCOMPARE(log.Take(), (QStringList{"rangeChanged()", "rangeChanged()"}));
    QCOMPARE(driver.min(), 10);
    QCOMPARE(driver.max(), 20);
    QCOMPARE(driver.range(), 10);
    QCOMPARE(driver.networkValue(), 0); // not re-clamped
    QCOMPARE(driver.valueFromNetworkValue(15), 0.5f);
    QCOMPARE(driver.valueFromNetworkValue(-5), 0.0f);
    QCOMPARE(driver.valueFromNetworkValue(70000), 1.0f);
    QCOMPARE(driver.networkValue(), 0);

    // A range message clamps the controller's value into the new range and sets it.
    PostFrom(*mA, *driver.GetAudioObject(), M_RANGE, Bytes({0, 30, 0, 40, 0}));
    cMessagePump::Pump();
    QCOMPARE(log.Take(), QStringList{"rangeChanged()"} + ValueSignals(30, "0"));
    QCOMPARE(driver.range(), 10);
    QCOMPARE(driver.networkValue(), 30);

    driver.setRange(100, 50, false);
    QCOMPARE(driver.range(), 0);
    QCOMPARE(driver.value(), 0.0f);
}

void tst_QtContinuousControllerDriver::attachDetachReattach_byName()
{
    tDriver driver;
    QCOMPARE(driver.GetNetObjectName(), nullptr);
    cSignalLog log(&driver);
    QVERIFY(driver.setNetObjectName("Gain Fader"));
    QCOMPARE(QString(driver.GetNetObjectName()), QString("Gain Fader"));
    QVERIFY(!driver.setNetObjectName("Other Fader"));
    QCOMPARE(mCapture->Count("Driver already has a net object"), 1);
    QVERIFY(IsRegistered("Gain Fader"));
    QVERIFY(!IsRegistered("Other Fader"));

    driver.DetachNetObject();
    driver.DetachNetObject();
    QVERIFY(!IsRegistered("Gain Fader"));
    QCOMPARE(driver.netObjectName(), QString());
    QVERIFY(!driver.LinkValueFromParameter("Peer A", M_VALUE, false, true));

    mA->SetValue(0, 640);
    QVERIFY(driver.setNetObjectName("Gain Fader"));
    QVERIFY(driver.LinkValueFromParameter("Peer A", M_VALUE, false, true));
    cMessagePump::Tick();
    QCOMPARE(driver.networkValue(), 640);
    QCOMPARE(Only(log.Entries(), {"NetObjectNameChanged"}),
             (QStringList{"NetObjectNameChanged()", "NetObjectNameChanged()", "NetObjectNameChanged()"}));
}

QTEST_GUILESS_MAIN(tst_QtContinuousControllerDriver)
#include "tst_QtContinuousControllerDriver.moc"
