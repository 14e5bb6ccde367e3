#include "ControlTestHelpers.h"
#include "cFakeControlDrivers.h"

#include "KVNet/Core/cLEDObject.h"
#include "KVNet/Core/cMeterNet.h"
#include "KVNet/Core/cSwitchObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

using namespace nControlTest;

namespace
{

constexpr UWORD M_SWITCH = cSwitchBaseDriver::M_VALUE;
constexpr UWORD M_SWITCH_DELTA = cSwitchBaseDriver::M_DELTA;

// Sends one scripted level message (GAIN level, UBYTE reset) per action tick to its links, as
// the metering sources do.
class cMeterSource : public cNetObject
{
public:
    cMeterSource()
        : cNetObject("Meter Source", 1, true, false)
    {
    }
    ~cMeterSource() override { Unregister(); }

    void ActionTick() override
    {
        if (mNext >= mLevels.size())
        {
            return;
        }
        mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
        mControlMessage.mDestination = KV_NET_NO_HANDLE;
        mControlMessage.mMethod = PARAMETER_BASE;
        mControlMessage.SetLength(3);
        mControlMessage.SetUWORD(UWORD(mLevels[mNext].first), 0);
        mControlMessage.SetUBYTE(mLevels[mNext].second, 2);
        SendToInformList(mControlMessage);
        ++mNext;
    }

    std::vector<std::pair<GAIN, UBYTE>> mLevels;
    std::size_t mNext = 0;
};

QList<QByteArray> Singles(std::initializer_list<int> bytes)
{
    QList<QByteArray> result;
    for (int b : bytes)
    {
        result.append(Bytes({b}));
    }
    return result;
}

QList<int> Zeros(int count)
{
    QList<int> result;
    for (int i = 0; i < count; ++i)
    {
        result.append(0);
    }
    return result;
}

QString MeterState(const cMeterNet& meter, const cFakeMeterDriver& driver)
{
    QStringList values;
    for (int i = 0; i < driver.Meters().size(); ++i)
    {
        values.append(QString("%1/%2").arg(driver.Meters()[i]).arg(driver.Peaks()[i]));
    }
    QStringList display;
    for (int on : driver.PeakHoldDisplay())
    {
        display.append(QString::number(on));
    }
    return QString("attack %1/%2 decay %3/%4 hold %5 peakHold %6 display [%7] values [%8]")
        .arg(meter.GetAttackStep())
        .arg(driver.GetAttackStep())
        .arg(meter.GetDecayStep())
        .arg(driver.GetDecayStep())
        .arg(meter.GetHoldCount())
        .arg(meter.IsPeakHold() ? 1 : 0)
        .arg(display.join(","))
        .arg(values.join(","));
}

} // namespace

class tst_SwitchLedMeter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void switchDriverChange_informsLinksFromSecondTick_data();
    void switchDriverChange_informsLinksFromSecondTick();
    void switchLinkValue_reachesDriverAndOtherLinksNotSender_data();
    void switchLinkValue_reachesDriverAndOtherLinksNotSender();
    void switchMessages_data();
    void switchMessages();
    void switchSyncUp_sendsStoredValue();

    void ledState_reachesDriverAndForwardsOnlyChanges_data();
    void ledState_reachesDriverAndForwardsOnlyChanges();
    void ledSyncUp_sendsStateOrReports();

    void meterBallistics_overTicks_data();
    void meterBallistics_overTicks();
    void meterSettings_data();
    void meterSettings();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
    std::unique_ptr<cRecordingNetObject> mA;
    std::unique_ptr<cRecordingNetObject> mB;
};

void tst_SwitchLedMeter::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
    mA = std::make_unique<cRecordingNetObject>("Peer A", 8);
    mB = std::make_unique<cRecordingNetObject>("Peer B", 8);
}

void tst_SwitchLedMeter::cleanup()
{
    mA.reset();
    mB.reset();
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_SwitchLedMeter::switchDriverChange_informsLinksFromSecondTick_data()
{
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("initial");
    QTest::addColumn<QList<int>>("changes");
    QTest::addColumn<QList<QByteArray>>("sent");

    QTest::newRow("first tick only records") << true << 1 << QList<int>{1} << QList<QByteArray>();
    QTest::newRow("each change once") << true << 1 << QList<int>{2, 2, 0} << Singles({2, 0});
    QTest::newRow("without the tick flag nothing is polled")
        << false << 1 << QList<int>{2, 0} << QList<QByteArray>();
}

void tst_SwitchLedMeter::switchDriverChange_informsLinksFromSecondTick()
{
    QFETCH(bool, tick);
    QFETCH(int, initial);
    QFETCH(QList<int>, changes);
    QFETCH(QList<QByteArray>, sent);

    cFakeSwitchDriver driver("Mute", tick);
    driver.mValue = UBYTE(initial);
    Link(*driver.GetAudioObject(), M_SWITCH, *mA, M_SWITCH);
    cMessagePump::Tick();
    QCOMPARE(mA->Count(M_SWITCH), 0);

    for (int value : changes)
    {
        driver.mValue = UBYTE(value);
        cMessagePump::Tick();
    }
    QCOMPARE(Payloads(*mA, M_SWITCH), sent);
    if (!tick)
    {
        QCOMPARE(int(driver.mReads), 0);
    }
}

void tst_SwitchLedMeter::switchLinkValue_reachesDriverAndOtherLinksNotSender_data()
{
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("toA");
    QTest::addColumn<bool>("toB");

    QTest::newRow("from A to B only") << true << "A" << false << true;
    QTest::newRow("from B to A only") << true << "B" << true << false;
    QTest::newRow("from an unlinked object to both") << true << "C" << true << true;
    QTest::newRow("unticked switch passes values on") << false << "A" << false << true;
}

void tst_SwitchLedMeter::switchLinkValue_reachesDriverAndOtherLinksNotSender()
{
    QFETCH(bool, tick);
    QFETCH(QString, sender);
    QFETCH(bool, toA);
    QFETCH(bool, toB);

    cRecordingNetObject outsider("Peer C", 1);
    cFakeSwitchDriver driver("Slope", tick);
    cNetObject& object = *driver.GetAudioObject();
    Link(object, M_SWITCH, *mA, M_SWITCH);
    Link(object, M_SWITCH, *mB, M_SWITCH);
    cMessagePump::Tick();

    const cNetObject& from = sender == "A" ? *mA : sender == "B" ? *mB : outsider;
    PostFrom(from, object, M_SWITCH, Bytes({2}));
    cMessagePump::Tick(3);

    QCOMPARE(int(driver.mValue), 2);
    QCOMPARE(Payloads(*mA, M_SWITCH), toA ? Singles({2}) : QList<QByteArray>());
    QCOMPARE(Payloads(*mB, M_SWITCH), toB ? Singles({2}) : QList<QByteArray>());
}

void tst_SwitchLedMeter::switchMessages_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("report");
    QTest::addColumn<int>("sets");
    QTest::addColumn<QList<int>>("deltas");

    QTest::newRow("delta reaches the driver only")
        << int(M_SWITCH_DELTA) << Word(0xFFFE) << "" << 0 << QList<int>{0xFFFE};
    QTest::newRow("empty value dropped")
        << int(M_SWITCH) << QByteArray() << "Short message for method 0x1000" << 0 << QList<int>();
    QTest::newRow("short delta dropped")
        << int(M_SWITCH_DELTA) << Bytes({1}) << "Short message for method 0x1001" << 0 << QList<int>();
    QTest::newRow("third parameter unknown")
        << int(PARAMETER_BASE + 2) << Bytes({1}) << "Unknown Method: 0x1002" << 0 << QList<int>();
}

void tst_SwitchLedMeter::switchMessages()
{
    QFETCH(int, method);
    QFETCH(QByteArray, payload);
    QFETCH(QString, report);
    QFETCH(int, sets);
    QFETCH(QList<int>, deltas);

    cFakeSwitchDriver driver("Slope", true);
    cNetObject& object = *driver.GetAudioObject();
    Link(object, M_SWITCH, *mB, M_SWITCH);
    Link(object, M_SWITCH_DELTA, *mB, M_SWITCH_DELTA);

    PostFrom(*mA, object, UWORD(method), payload);
    cMessagePump::Pump();

    QCOMPARE(int(driver.mSets), sets);
    QCOMPARE(driver.Deltas(), deltas);
    QCOMPARE(mB->Count(M_SWITCH) + mB->Count(M_SWITCH_DELTA), 0);
    if (report.isEmpty())
    {
        QVERIFY(mCapture->Lines().isEmpty());
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
}

void tst_SwitchLedMeter::switchSyncUp_sendsStoredValue()
{
    cFakeSwitchDriver driver("Slope", true);
    driver.mValue = 3;
    cNetObject& object = *driver.GetAudioObject();
    cMessagePump::Tick();

    QVERIFY(driver.LinkValueToParameter("Peer B", PARAMETER_BASE + 5, false, true, false));
    cMessagePump::Pump();
    QCOMPARE(Payloads(*mB, PARAMETER_BASE + 5), Singles({3}));
    QCOMPARE(int(object.GetNumberOfInformListItems(M_SWITCH)), 1);

    object.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mB->GetHandle(), PARAMETER_BASE + 6, M_SWITCH_DELTA,
                                 0, 1, false);
    cMessagePump::Pump();
    QCOMPARE(mB->Count(PARAMETER_BASE + 6), 0);
    QVERIFY(mCapture->Contains("UpdateNewObject needs overloading to enable sync-up"));
}

void tst_SwitchLedMeter::ledState_reachesDriverAndForwardsOnlyChanges_data()
{
    QTest::addColumn<QByteArray>("states");
    QTest::addColumn<QList<QByteArray>>("forwarded");
    QTest::addColumn<QList<int>>("driver");

    QTest::newRow("repeats reach the driver only")
        << Bytes({1, 1, 0}) << Singles({1, 0}) << QList<int>{1, 1, 0};
    QTest::newRow("the initial state is not forwarded") << Bytes({0}) << QList<QByteArray>() << QList<int>{0};
}

void tst_SwitchLedMeter::ledState_reachesDriverAndForwardsOnlyChanges()
{
    QFETCH(QByteArray, states);
    QFETCH(QList<QByteArray>, forwarded);
    QFETCH(QList<int>, driver);

    cFakeLEDDriver led("Clip LED");
    cNetObject& object = *led.GetAudioObject();
    Link(object, PARAMETER_BASE, *mA, PARAMETER_BASE);
    Link(object, PARAMETER_BASE, *mB, PARAMETER_BASE);

    for (char state : states)
    {
        PostFrom(*mA, object, PARAMETER_BASE, QByteArray(1, state));
    }
    PostFrom(*mA, object, PARAMETER_BASE, QByteArray());
    cMessagePump::Pump();

    QCOMPARE(led.States(), driver);
    QCOMPARE(Payloads(*mB, PARAMETER_BASE), forwarded);
    QCOMPARE(mA->Count(PARAMETER_BASE), 0);
    QCOMPARE(mCapture->Lines().size(), 1);
    QVERIFY(mCapture->Contains("Short message for method 0x1000"));
}

void tst_SwitchLedMeter::ledSyncUp_sendsStateOrReports()
{
    cFakeLEDDriver led("Clip LED");
    cNetObject& object = *led.GetAudioObject();
    PostFrom(*mA, object, PARAMETER_BASE, Bytes({5}));
    cMessagePump::Pump();

    object.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mB->GetHandle(), PARAMETER_BASE + 2, PARAMETER_BASE,
                                 0, 1, false);
    cMessagePump::Pump();
    QCOMPARE(Payloads(*mB, PARAMETER_BASE + 2), Singles({5}));

    static_cast<cLEDObject&>(object).UpdateNewObject(KV_NET_LOCAL_CONNECTION, mB->GetHandle(),
                                                     PARAMETER_BASE + 3, PARAMETER_BASE + 1);
    cMessagePump::Pump();
    QCOMPARE(mB->Count(PARAMETER_BASE + 3), 0);
    QVERIFY(mCapture->Contains("Method undefined at this level"));
}

void tst_SwitchLedMeter::meterBallistics_overTicks_data()
{
    QTest::addColumn<int>("attack");
    QTest::addColumn<int>("decay");
    QTest::addColumn<bool>("peakHold");
    QTest::addColumn<int>("holdCount");
    QTest::addColumn<QList<int>>("levels");
    // Per level: 0 plain, 1 the reset byte set, 2 ResetBallistics before it.
    QTest::addColumn<QList<int>>("resets");
    QTest::addColumn<QList<int>>("meters");
    QTest::addColumn<QList<int>>("peaks");

    QList<int> falling{-2560};
    QList<int> fallen{-2560};
    for (int i = 1; i <= 11; ++i)
    {
        falling.append(-5120);
        fallen.append(qMax(-2560 - 256 * i, -5120));
    }
    QTest::newRow("decay of 1 dB per update")
        << 32767 << -256 << false << 0 << falling << Zeros(falling.size()) << fallen << fallen;
    QTest::newRow("attack of 32767 rises at once")
        << 32767 << -256 << false << 0 << QList<int>{-5120, -1000} << QList<int>{0, 0}
        << QList<int>{-5120, -1000} << QList<int>{-5120, -1000};
    QTest::newRow("attack step limits the rise")
        << 512 << -256 << false << 0 << QList<int>{-5120, -4000, -4000, -4000} << Zeros(4)
        << QList<int>{-5120, -4608, -4096, -4000} << QList<int>{-5120, -4608, -4096, -4000};
    QTest::newRow("decay of -32767 falls at once")
        << 32767 << -32767 << false << 0 << QList<int>{0, -20000} << QList<int>{0, 0} << QList<int>{0, -20000}
        << QList<int>{0, -20000};
    QTest::newRow("peak held for 3 updates")
        << 32767 << -32767 << true << 3 << QList<int>{-5000, -1000, -2000, -2000, -2000, -2000} << Zeros(6)
        << QList<int>{-5000, -1000, -2000, -2000, -2000, -2000}
        << QList<int>{-5000, -1000, -1000, -1000, -2000, -2000};
    QTest::newRow("hold count 0 keeps the peak")
        << 32767 << -32767 << true << 0 << QList<int>{-5000, -1000, -3000, -3000, -500, -600} << Zeros(6)
        << QList<int>{-5000, -1000, -3000, -3000, -500, -600}
        << QList<int>{-5000, -1000, -1000, -1000, -500, -500};
    QTest::newRow("without reset the attack limits the rise")
        << 256 << -256 << false << 0 << QList<int>{-32767, -32767, 0} << QList<int>{0, 0, 0}
        << QList<int>{-32767, -32767, -32511} << QList<int>{-32767, -32767, -32511};
    QTest::newRow("reset byte jumps after silence")
        << 256 << -256 << false << 0 << QList<int>{-32767, -32767, 0} << QList<int>{0, 0, 1}
        << QList<int>{-32767, -32767, 0} << QList<int>{-32767, -32767, 0};
    QTest::newRow("ResetBallistics jumps the next level")
        << 256 << -256 << false << 0 << QList<int>{-32767, -32767, 0} << QList<int>{0, 0, 2}
        << QList<int>{-32767, -32767, 0} << QList<int>{-32767, -32767, 0};
    QTest::newRow("reset drops a held peak")
        << 32767 << -256 << true << 0 << QList<int>{-1000, -3000} << QList<int>{0, 1}
        << QList<int>{-1000, -3000} << QList<int>{-1000, -3000};
    QTest::newRow("step overflow is clamped, not wrapped")
        << 32767 << 100 << false << 0 << QList<int>{32700, 32700} << QList<int>{0, 0}
        << QList<int>{32700, 32767} << QList<int>{32700, 32767};
}

void tst_SwitchLedMeter::meterBallistics_overTicks()
{
    QFETCH(int, attack);
    QFETCH(int, decay);
    QFETCH(bool, peakHold);
    QFETCH(int, holdCount);
    QFETCH(QList<int>, levels);
    QFETCH(QList<int>, resets);
    QFETCH(QList<int>, meters);
    QFETCH(QList<int>, peaks);

    cFakeMeterDriver driver("Input Meter L", GAIN(attack), GAIN(decay), peakHold, UBYTE(holdCount));
    cMeterNet& meter = *driver.GetMeterNet();
    cMeterSource source;
    Link(source, PARAMETER_BASE, meter, cMeterNet::M_LEVEL);
    for (int i = 0; i < levels.size(); ++i)
    {
        source.mLevels.emplace_back(GAIN(levels[i]), UBYTE(resets[i] == 1 ? 1 : 0));
    }

    for (int i = 0; i < levels.size(); ++i)
    {
        if (resets[i] == 2)
        {
            meter.ResetBallistics();
        }
        cMessagePump::Tick();
        QCOMPARE(driver.Meters().size(), i + 1);
    }
    QCOMPARE(driver.Meters(), meters);
    QCOMPARE(driver.Peaks(), peaks);
    QVERIFY(mCapture->Lines().isEmpty());
}

void tst_SwitchLedMeter::meterSettings_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("state");

    const QString initial = "attack 32767/32767 decay -768/-768 hold 0 peakHold 0 display [] values []";
    QTest::newRow("meter and peak taken unchanged")
        << int(cMeterNet::M_METER_AND_PEAK) << (Word(0xFC18) + Word(0xFE0C)) << ""
        << "attack 32767/32767 decay -768/-768 hold 0 peakHold 0 display [] values [-1000/-500]";
    QTest::newRow("attack step from a gain code")
        << int(cMeterNet::M_ATTACK_STEP) << Word(33280) << ""
        << "attack 512/512 decay -768/-768 hold 0 peakHold 0 display [] values []";
    QTest::newRow("decay step from a gain code")
        << int(cMeterNet::M_DECAY_STEP) << Word(32512) << ""
        << "attack 32767/32767 decay -256/-256 hold 0 peakHold 0 display [] values []";
    QTest::newRow("decay code 0 falls at once")
        << int(cMeterNet::M_DECAY_STEP) << Word(0) << ""
        << "attack 32767/32767 decay -32767/-32767 hold 0 peakHold 0 display [] values []";
    QTest::newRow("hold count")
        << int(cMeterNet::M_HOLD_COUNT) << Bytes({5}) << ""
        << "attack 32767/32767 decay -768/-768 hold 5 peakHold 0 display [] values []";
    QTest::newRow("peak hold on")
        << int(cMeterNet::M_PEAK_HOLD) << Bytes({1}) << ""
        << "attack 32767/32767 decay -768/-768 hold 0 peakHold 1 display [] values []";
    QTest::newRow("peak hold from an odd byte")
        << int(cMeterNet::M_PEAK_HOLD) << Bytes({2}) << "Bad conversion to boolean for UBYTE with value 0x2"
        << "attack 32767/32767 decay -768/-768 hold 0 peakHold 1 display [] values []";
    QTest::newRow("peak-hold display")
        << int(cMeterNet::M_PEAK_HOLD_DISPLAY) << Bytes({1}) << ""
        << "attack 32767/32767 decay -768/-768 hold 0 peakHold 0 display [1] values []";
    QTest::newRow("level without its reset byte")
        << int(cMeterNet::M_LEVEL) << Word(0xFC18) << "Short message for method 0x1000" << initial;
    QTest::newRow("short meter and peak") << int(cMeterNet::M_METER_AND_PEAK) << Bytes({0xFC, 0x18, 0xFE})
                                          << "Short message for method 0x1001" << initial;
    QTest::newRow("empty step") << int(cMeterNet::M_ATTACK_STEP) << QByteArray()
                                << "Short message for method 0x1002" << initial;
    QTest::newRow("empty hold count")
        << int(cMeterNet::M_HOLD_COUNT) << QByteArray() << "Short message for method 0x1004" << initial;
}

void tst_SwitchLedMeter::meterSettings()
{
    QFETCH(int, method);
    QFETCH(QByteArray, payload);
    QFETCH(QString, report);
    QFETCH(QString, state);

    cFakeMeterDriver driver("Input Meter L", 32767, -768);
    cMeterNet& meter = *driver.GetMeterNet();
    Link(meter, UWORD(method), *mA, UWORD(method));
    Link(meter, UWORD(method), *mB, UWORD(method));

    PostFrom(*mA, meter, UWORD(method), payload);
    cMessagePump::Pump();

    QCOMPARE(MeterState(meter, driver), state);
    QCOMPARE(mA->Count(UWORD(method)), 0);
    QCOMPARE(Payloads(*mB, UWORD(method)), report.startsWith("Short") ? QList<QByteArray>() : QList{payload});
    if (report.isEmpty())
    {
        QVERIFY(mCapture->Lines().isEmpty());
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
}

QTEST_GUILESS_MAIN(tst_SwitchLedMeter)
#include "tst_SwitchLedMeter.moc"
