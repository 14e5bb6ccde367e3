#include "ControlTestHelpers.h"
#include "cFakeControlDrivers.h"

#include "KVNet/Core/cContinuousController.h"
#include "KVNet/Core/cContinuousControllerWithDelta.h"
#include "KVNet/Core/cMultiCCDriverChild.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSwitchObject.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace nControlTest;

namespace
{

constexpr UWORD M_VALUE = cContinuousControllerDriver::M_VALUE;
constexpr UWORD M_CONTINUOUS_CONTROLLER_TOUCHED =
    cContinuousControllerDriver::M_CONTINUOUS_CONTROLLER_TOUCHED;
constexpr UWORD M_RANGE = cContinuousControllerDriver::M_RANGE;
constexpr UWORD M_EXTERNAL = cContinuousControllerDriver::M_EXTERNAL_CONTROL;
constexpr UWORD M_DELTA = cContinuousControllerWithDeltaDriver::M_DELTA;

QList<QByteArray> Words(std::initializer_list<int> values)
{
    QList<QByteArray> result;
    for (int v : values)
    {
        result.append(Word(v));
    }
    return result;
}

// A driver base that forgets to destroy its audio object.
class cCarelessDriver : public cAudioDriver
{
public:
    explicit cCarelessDriver(const char* name) { SetAudioObject(new cRecordingNetObject(name)); }
};

} // namespace

class tst_ContinuousController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fractionToValue_data();
    void fractionToValue();
    void valueToFraction_data();
    void valueToFraction();

    void driverChange_informsLinksFromSecondTick_data();
    void driverChange_informsLinksFromSecondTick();
    void linkValue_reachesDriverAndOtherLinksNotSender_data();
    void linkValue_reachesDriverAndOtherLinksNotSender();
    void incomingMessage_data();
    void incomingMessage();
    void rangeMessage_data();
    void rangeMessage();
    void syncUp_sendsCurrentState_data();
    void syncUp_sendsCurrentState();
    void linkOperations_makeAndRemoveInformEntries_data();
    void linkOperations_makeAndRemoveInformEntries();
    void postValue_clampsAndReachesDriverAndLinks_data();
    void postValue_clampsAndReachesDriverAndLinks();

    void deltaGeneration_data();
    void deltaGeneration();
    void deltaFromLink_appliedAndForwardedNotBack();
    void multiController_movesSelectedEnabledChild_data();
    void multiController_movesSelectedEnabledChild();

    void destroyedDriver_unlinksPeersAndFreesItsName();
    void driverLeavingItsAudioObject_reportsAndDestroysIt();
    void detachedDriver_reportsLinksAndPosts();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
    std::unique_ptr<cRecordingNetObject> mA;
    std::unique_ptr<cRecordingNetObject> mB;
};

void tst_ContinuousController::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
    mA = std::make_unique<cRecordingNetObject>("Peer A", 4);
    mB = std::make_unique<cRecordingNetObject>("Peer B", 4);
}

void tst_ContinuousController::cleanup()
{
    mA.reset();
    mB.reset();
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_ContinuousController::fractionToValue_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<float>("fraction");
    QTest::addColumn<int>("expected");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("level type: 0 is off") << 1 << 1000 << true << 0.0f << 0;
    QTest::newRow("level type: first step above off") << 1 << 1000 << true << 0.0005f << 1;
    QTest::newRow("level type: negative is off") << 1 << 1000 << true << -0.25f << 0;
    QTest::newRow("negative is the lower end") << 10 << 20 << false << -0.25f << 10;
    QTest::newRow("above one is the upper end") << 10 << 20 << false << 1.5f << 20;
    QTest::newRow("half rounds away from zero") << 0 << 65535 << false << 0.5f << 32768;
    // 999 * f is 8.4999996 in double precision but exactly 8.5 in single precision.
    QTest::newRow("product in single precision") << 1 << 1000 << false << 0x1.16ce8ap-7f << 10;
    QTest::newRow("NaN is the lower end") << 10 << 20 << false << nan << 10;
    QTest::newRow("NaN with level type is off") << 10 << 20 << true << nan << 0;
    QTest::newRow("upper below lower has no span") << 100 << 50 << false << 0.75f << 100;
}

void tst_ContinuousController::fractionToValue()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(float, fraction);
    QFETCH(int, expected);

    cFakeControllerDriver driver(nullptr, UWORD(lower), UWORD(upper), levelType);
    QCOMPARE(int(driver.FractionToValue(fraction)), expected);
}

void tst_ContinuousController::valueToFraction_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<int>("value");
    QTest::addColumn<float>("expected");

    QTest::newRow("no span") << 100 << 50 << false << 75 << 0.0f;
    QTest::newRow("level type off") << 1 << 1000 << true << 0 << 0.0f;
    QTest::newRow("below the range") << 10 << 20 << false << 0 << 0.0f;
    QTest::newRow("above the range") << 0 << 1000 << false << 2000 << 1.0f;
    QTest::newRow("single-precision quotient") << 0 << 65535 << false << 32768 << 0.50000763f;
    QTest::newRow("quarter") << 100 << 500 << false << 200 << 0.25f;
}

void tst_ContinuousController::valueToFraction()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(int, value);
    QFETCH(float, expected);

    cFakeControllerDriver driver(nullptr, UWORD(lower), UWORD(upper), levelType);
    QCOMPARE(driver.ValueToFraction(UWORD(value)), expected);
}

void tst_ContinuousController::driverChange_informsLinksFromSecondTick_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("touched");
    QTest::addColumn<QList<QByteArray>>("values");
    QTest::addColumn<QList<QByteArray>>("touches");

    QTest::newRow("first tick only records") << 100 << 100 << 0 << QList<QByteArray>() << QList<QByteArray>();
    QTest::newRow("a change is sent once") << 100 << 250 << 0 << Words({250}) << QList<QByteArray>();
    QTest::newRow("touch alone") << 100 << 100 << 1 << QList<QByteArray>() << QList<QByteArray>{Bytes({1})};
    QTest::newRow("value and touch") << 0 << 1000 << 1 << Words({1000}) << QList<QByteArray>{Bytes({1})};
}

void tst_ContinuousController::driverChange_informsLinksFromSecondTick()
{
    QFETCH(int, initial);
    QFETCH(int, next);
    QFETCH(int, touched);
    QFETCH(QList<QByteArray>, values);
    QFETCH(QList<QByteArray>, touches);

    cFakeControllerDriver driver("Fader", 0, 1000);
    cNetObject& controller = *driver.GetAudioObject();
    driver.mValue = UWORD(initial);
    Link(controller, M_VALUE, *mA, M_VALUE);
    Link(controller, M_VALUE, *mB, M_VALUE);
    Link(controller, M_CONTINUOUS_CONTROLLER_TOUCHED, *mA, M_CONTINUOUS_CONTROLLER_TOUCHED);

    cMessagePump::Tick();
    QCOMPARE(mA->Count(M_VALUE), 0);

    driver.mValue = UWORD(next);
    driver.mTouched = UBYTE(touched);
    cMessagePump::Tick(3);

    QCOMPARE(Payloads(*mA, M_VALUE), values);
    QCOMPARE(Payloads(*mB, M_VALUE), values);
    QCOMPARE(Payloads(*mA, M_CONTINUOUS_CONTROLLER_TOUCHED), touches);
    QVERIFY(mCapture->Lines().isEmpty());
}

void tst_ContinuousController::linkValue_reachesDriverAndOtherLinksNotSender_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("clampOnSet");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("driverValue");
    QTest::addColumn<bool>("toA");
    QTest::addColumn<bool>("toB");

    QTest::newRow("from A to B only") << "A" << false << 300 << 300 << false << true;
    QTest::newRow("from B to A only") << "B" << false << 300 << 300 << true << false;
    QTest::newRow("from an unlinked object to both") << "C" << false << 300 << 300 << true << true;
    QTest::newRow("a clamping driver: forwarded as received") << "A" << true << 5000 << 1000 << false << true;
}

void tst_ContinuousController::linkValue_reachesDriverAndOtherLinksNotSender()
{
    QFETCH(QString, sender);
    QFETCH(bool, clampOnSet);
    QFETCH(int, value);
    QFETCH(int, driverValue);
    QFETCH(bool, toA);
    QFETCH(bool, toB);

    cRecordingNetObject outsider("Peer C", 4);
    cFakeControllerDriver driver("Fader", 0, 1000, false, false, clampOnSet);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_VALUE, *mA, M_VALUE);
    Link(controller, M_VALUE, *mB, M_VALUE);
    cMessagePump::Tick();

    const cNetObject& from = sender == "A" ? *mA : sender == "B" ? *mB : outsider;
    PostFrom(from, controller, M_VALUE, Word(value));
    cMessagePump::Pump();

    QCOMPARE(driver.SetValues(), QList<int>{value});
    QCOMPARE(int(driver.mValue), driverValue);
    QCOMPARE(Payloads(*mA, M_VALUE), toA ? Words({value}) : QList<QByteArray>());
    QCOMPARE(Payloads(*mB, M_VALUE), toB ? Words({value}) : QList<QByteArray>());

    // The value read back from the driver is not sent again.
    cMessagePump::Tick(2);
    QCOMPARE(mA->Count(M_VALUE) + mB->Count(M_VALUE), int(toA) + int(toB));
}

void tst_ContinuousController::incomingMessage_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("externalBefore");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("forwarded");
    QTest::addColumn<QList<int>>("setValues");
    QTest::addColumn<int>("externalAfter");

    QTest::newRow("value") << int(M_VALUE) << Word(7) << 0 << "" << true << QList<int>{7} << 0;
    QTest::newRow("short value dropped")
        << int(M_VALUE) << Bytes({7}) << 0 << "Short message for method 0x1000" << false << QList<int>() << 0;
    QTest::newRow("touched is read only")
        << int(M_CONTINUOUS_CONTROLLER_TOUCHED) << Bytes({1}) << 0
        << "M_CONTINUOUS_CONTROLLER_TOUCHED - is read only" << false << QList<int>() << 0;
    QTest::newRow("external control on")
        << int(M_EXTERNAL) << Bytes({7}) << 0 << "" << true << QList<int>() << 1;
    QTest::newRow("external control off")
        << int(M_EXTERNAL) << Bytes({0}) << 1 << "" << true << QList<int>() << 0;
    QTest::newRow("empty external control dropped")
        << int(M_EXTERNAL) << QByteArray() << 1 << "Short message for method 0x1003" << false << QList<int>()
        << 1;
    QTest::newRow("a fifth parameter is unknown")
        << int(M_DELTA) << Word(1) << 0 << "Unknown Method: 0x1004" << false << QList<int>() << 0;
}

void tst_ContinuousController::incomingMessage()
{
    QFETCH(int, method);
    QFETCH(QByteArray, payload);
    QFETCH(int, externalBefore);
    QFETCH(QString, report);
    QFETCH(bool, forwarded);
    QFETCH(QList<int>, setValues);
    QFETCH(int, externalAfter);

    cFakeControllerDriver driver("Fader", 0, 1000);
    driver.SetExternalControl(UBYTE(externalBefore));
    cNetObject& controller = *driver.GetAudioObject();
    for (UWORD m : {M_VALUE, M_CONTINUOUS_CONTROLLER_TOUCHED, M_EXTERNAL})
    {
        Link(controller, m, *mB, m);
    }
    cMessagePump::Tick();

    PostFrom(*mA, controller, UWORD(method), payload);
    cMessagePump::Pump();

    QCOMPARE(mB->Count(UWORD(method)), forwarded ? 1 : 0);
    QCOMPARE(driver.SetValues(), setValues);
    QCOMPARE(int(driver.GetExternalControl()), externalAfter);
    if (report.isEmpty())
    {
        QVERIFY(mCapture->Lines().isEmpty());
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
}

void tst_ContinuousController::rangeMessage_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("forwarded");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<QList<int>>("setValues");

    QTest::newRow("stored value lowered to upper")
        << Bytes({0, 10, 0, 20, 0}) << 25 << "" << true << 10 << 20 << false << QList<int>{20};
    QTest::newRow("stored value raised to lower")
        << Bytes({0, 10, 0, 20, 0}) << 5 << "" << true << 10 << 20 << false << QList<int>{10};
    QTest::newRow("value in the message")
        << Bytes({0, 10, 0, 20, 0, 0, 15}) << 25 << "" << true << 10 << 20 << false << QList<int>{15};
    QTest::newRow("value in the message clamped")
        << Bytes({0, 10, 0, 20, 0, 0, 30}) << 15 << "" << true << 10 << 20 << false << QList<int>{20};
    QTest::newRow("six bytes keep the stored value")
        << Bytes({0, 10, 0, 20, 0, 0}) << 15 << "" << true << 10 << 20 << false << QList<int>{15};
    QTest::newRow("level type") << Bytes({0, 1, 0x03, 0xE8, 0xFF}) << 0 << "" << true << 1 << 1000 << true
                                << QList<int>{1};
    QTest::newRow("upper below lower: reported, forwarded, unchanged")
        << Bytes({0, 20, 0, 10, 0}) << 25
        << "ControllerRangeUpper = 10, is lower than ControllerRangeLower = 20" << true << 0 << 1000 << false
        << QList<int>();
    QTest::newRow("short range dropped") << Bytes({0, 10, 0, 20}) << 25 << "Short message for method 0x1002"
                                         << false << 0 << 1000 << false << QList<int>();
}

void tst_ContinuousController::rangeMessage()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, stored);
    QFETCH(QString, report);
    QFETCH(bool, forwarded);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(QList<int>, setValues);

    cFakeControllerDriver driver("Fader", 0, 1000);
    driver.mValue = UWORD(stored);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_RANGE, *mA, M_RANGE);
    Link(controller, M_RANGE, *mB, M_RANGE);
    cMessagePump::Tick();

    PostFrom(*mA, controller, M_RANGE, payload);
    cMessagePump::Pump();

    QCOMPARE(int(driver.GetLower()), lower);
    QCOMPARE(int(driver.GetUpper()), upper);
    QCOMPARE(driver.IsLevelType(), levelType);
    QCOMPARE(driver.SetValues(), setValues);
    QCOMPARE(Payloads(*mB, M_RANGE), forwarded ? QList<QByteArray>{payload} : QList<QByteArray>());
    QCOMPARE(mA->Count(M_RANGE), 0);
    if (report.isEmpty())
    {
        QVERIFY(mCapture->Lines().isEmpty());
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
    // The value taken from the driver is not echoed by the next tick.
    cMessagePump::Tick(2);
    QCOMPARE(mB->Count(M_VALUE), 0);
}

void tst_ContinuousController::syncUp_sendsCurrentState_data()
{
    QTest::addColumn<int>("sourceMethod");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("report");

    QTest::newRow("value") << int(M_VALUE) << Word(15) << "";
    QTest::newRow("touched") << int(M_CONTINUOUS_CONTROLLER_TOUCHED) << Bytes({1}) << "";
    QTest::newRow("range of the driver") << int(M_RANGE) << Bytes({0, 10, 0, 20, 0xFF}) << "";
    QTest::newRow("external control has none")
        << int(M_EXTERNAL) << QByteArray() << "UpdateNewObject needs overloading to enable sync-up";
}

void tst_ContinuousController::syncUp_sendsCurrentState()
{
    QFETCH(int, sourceMethod);
    QFETCH(QByteArray, payload);
    QFETCH(QString, report);

    cFakeControllerDriver driver("Fader", 10, 20, true);
    driver.mValue = 15;
    driver.mTouched = 1;
    cNetObject& controller = *driver.GetAudioObject();
    cMessagePump::Tick();

    const UWORD target = PARAMETER_BASE + 3;
    controller.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mB->GetHandle(), target, UWORD(sourceMethod), 0,
                                     1, false);
    cMessagePump::Pump();

    QCOMPARE(Payloads(*mB, target), payload.isNull() ? QList<QByteArray>() : QList<QByteArray>{payload});
    if (!report.isEmpty())
    {
        QVERIFY(mCapture->Contains(report));
    }
}

void tst_ContinuousController::linkOperations_makeAndRemoveInformEntries_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("peerParam");
    QTest::addColumn<int>("ownMethod");
    QTest::addColumn<int>("ownEntries");
    QTest::addColumn<int>("peerEntries");
    QTest::addColumn<QList<QByteArray>>("peerReceives");
    QTest::addColumn<QList<int>>("driverReceives");

    const int p1 = PARAMETER_BASE + 1;
    const int p2 = PARAMETER_BASE + 2;
    QTest::newRow("value from the peer, both ways, synced")
        << "LinkValueFromParameter" << p1 << int(M_VALUE) << 1 << 1 << QList<QByteArray>() << QList<int>{77};
    QTest::newRow("value to the peer, synced")
        << "LinkValueToParameter" << p2 << int(M_VALUE) << 1 << 0 << Words({15}) << QList<int>();
    QTest::newRow("range to the peer, synced") << "LinkRangeToParameter" << p2 << int(M_RANGE) << 1 << 0
                                               << QList<QByteArray>{Bytes({0, 10, 0, 20, 0})} << QList<int>();
    QTest::newRow("delta to the peer, not synced")
        << "LinkDeltaToParameter" << p2 << int(M_DELTA) << 1 << 0 << QList<QByteArray>() << QList<int>();
}

void tst_ContinuousController::linkOperations_makeAndRemoveInformEntries()
{
    QFETCH(QString, operation);
    QFETCH(int, peerParam);
    QFETCH(int, ownMethod);
    QFETCH(int, ownEntries);
    QFETCH(int, peerEntries);
    QFETCH(QList<QByteArray>, peerReceives);
    QFETCH(QList<int>, driverReceives);

    cFakeControllerDriver driver("Fader", 10, 20, false, true);
    driver.mValue = 15;
    cNetObject& controller = *driver.GetAudioObject();
    mB->SetValue(UWORD(peerParam - PARAMETER_BASE), 77);
    cMessagePump::Tick();

    auto link = [&](bool remove)
    {
        const UWORD param = UWORD(peerParam);
        if (operation == "LinkValueFromParameter")
        {
            return driver.LinkValueFromParameter("Peer B", param, remove, true);
        }
        if (operation == "LinkValueToParameter")
        {
            return driver.LinkValueToParameter("Peer B", param, remove, false);
        }
        if (operation == "LinkRangeToParameter")
        {
            return driver.LinkRangeToParameter("Peer B", param, remove);
        }
        return driver.LinkDeltaToParameter("Peer B", param, remove, false);
    };

    QVERIFY(link(false));
    cMessagePump::Pump();
    QCOMPARE(int(controller.GetNumberOfInformListItems(UWORD(ownMethod))), ownEntries);
    QCOMPARE(int(mB->GetNumberOfInformListItems(UWORD(peerParam))), peerEntries);
    QCOMPARE(Payloads(*mB, UWORD(peerParam)), peerReceives);
    QCOMPARE(driver.SetValues(), driverReceives);

    QVERIFY(link(true));
    cMessagePump::Pump();
    QCOMPARE(int(controller.GetNumberOfInformListItems(UWORD(ownMethod))), 0);
    QCOMPARE(int(mB->GetNumberOfInformListItems(UWORD(peerParam))), 0);
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_ContinuousController::postValue_clampsAndReachesDriverAndLinks_data()
{
    QTest::addColumn<bool>("withRange");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QList<int>>("setValues");
    QTest::addColumn<QList<QByteArray>>("ranges");

    const QString postValue = "PostCCValue provided out of range value. Min:10, Max:20, Val:%1, \"Fader\"";
    const QString postRange = "PostContinuousControllerRangeAndValue provided out of range values. "
                              "Min:30, Max:40, Val:%1";
    QTest::newRow("value in range") << false << 0 << 0 << 15 << "" << QList<int>{15} << QList<QByteArray>();
    QTest::newRow("value above") << false << 0 << 0 << 25 << postValue.arg(25) << QList<int>{20}
                                 << QList<QByteArray>();
    QTest::newRow("value below") << false << 0 << 0 << 5 << postValue.arg(5) << QList<int>{10}
                                 << QList<QByteArray>();
    QTest::newRow("range and value") << true << 30 << 40 << 35 << "" << QList<int>{35, 35}
                                     << QList<QByteArray>{Bytes({0, 30, 0, 40, 0, 0, 35})};
    QTest::newRow("range and value above")
        << true << 30 << 40 << 50 << postRange.arg(50) << QList<int>{40, 40}
        << QList<QByteArray>{Bytes({0, 30, 0, 40, 0, 0, 40})};
    QTest::newRow("range and value below") << true << 30 << 40 << 5 << postRange.arg(5) << QList<int>{30, 30}
                                           << QList<QByteArray>{Bytes({0, 30, 0, 40, 0, 0, 30})};
}

void tst_ContinuousController::postValue_clampsAndReachesDriverAndLinks()
{
    QFETCH(bool, withRange);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(int, value);
    QFETCH(QString, report);
    QFETCH(QList<int>, setValues);
    QFETCH(QList<QByteArray>, ranges);

    cFakeControllerDriver driver("Fader", 10, 20);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_VALUE, *mA, M_VALUE);
    Link(controller, M_RANGE, *mA, M_RANGE);
    cMessagePump::Tick();

    if (withRange)
    {
        driver.PostRangeAndValue(UWORD(lower), UWORD(upper), UWORD(value));
    }
    else
    {
        driver.PostValue(UWORD(value));
    }
    cMessagePump::Pump();

    QCOMPARE(driver.SetValues(), setValues);
    QCOMPARE(Payloads(*mA, M_VALUE), Words({setValues.last()}));
    QCOMPARE(Payloads(*mA, M_RANGE), ranges);
    if (report.isEmpty())
    {
        QVERIFY(mCapture->Lines().isEmpty());
    }
    else
    {
        QVERIFY2(mCapture->Contains(report), qPrintable(mCapture->Lines().join("")));
    }
}

void tst_ContinuousController::deltaGeneration_data()
{
    QTest::addColumn<bool>("slow");
    QTest::addColumn<QList<int>>("deltas");
    // What goes out on each tick; 0 for nothing.
    QTest::addColumn<QList<int>>("sent");

    QTest::newRow("each delta on its tick") << false << QList<int>{3, 0, 0xFFFF} << QList<int>{3, 0, 0xFFFF};
    QTest::newRow("slow: two deltas summed") << true << QList<int>{3, 4} << QList<int>{0, 7};
    QTest::newRow("slow: a lone delta one tick late") << true << QList<int>{3, 0, 0} << QList<int>{0, 3, 0};
    QTest::newRow("slow: quiet ticks hold nothing")
        << true << QList<int>{0, 5, 0, 0} << QList<int>{0, 0, 5, 0};
    QTest::newRow("slow: pairs") << true << QList<int>{1, 2, 3, 4} << QList<int>{0, 3, 0, 7};
    QTest::newRow("slow: 16-bit sum") << true << QList<int>{0xFFFE, 3} << QList<int>{0, 1};
    QTest::newRow("slow: a sum of zero is not sent") << true << QList<int>{2, 0xFFFE} << QList<int>{0, 0};
}

void tst_ContinuousController::deltaGeneration()
{
    QFETCH(bool, slow);
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, sent);

    cFakeControllerDriver driver("Encoder", 0, 1000, false, true);
    driver.UseSlowDeltaGeneration(slow);
    Link(*driver.GetAudioObject(), M_DELTA, *mB, M_DELTA);

    QList<int> out;
    for (int delta : deltas)
    {
        const int before = mB->Count(M_DELTA);
        driver.mDelta = UWORD(delta);
        cMessagePump::Tick();
        const QList<QByteArray> payloads = Payloads(*mB, M_DELTA);
        QVERIFY(payloads.size() - before <= 1);
        out.append(payloads.size() > before ? int(UBYTE(payloads.last()[0])) << 8 | UBYTE(payloads.last()[1])
                                            : 0);
    }
    QCOMPARE(out, sent);
}

void tst_ContinuousController::deltaFromLink_appliedAndForwardedNotBack()
{
    cFakeControllerDriver driver("Encoder", 0, 1000, false, true);
    cNetObject& controller = *driver.GetAudioObject();
    Link(controller, M_DELTA, *mA, M_DELTA);
    Link(controller, M_DELTA, *mB, M_DELTA);

    PostFrom(*mA, controller, M_DELTA, Word(0xFFFD));
    PostFrom(*mA, controller, M_DELTA, Bytes({1}));
    cMessagePump::Pump();

    QCOMPARE(driver.AppliedDeltas(), QList<int>{0xFFFD});
    QCOMPARE(Payloads(*mB, M_DELTA), Words({0xFFFD}));
    QCOMPARE(mA->Count(M_DELTA), 0);
    QVERIFY(mCapture->Contains("Short message for method 0x1004"));
}

void tst_ContinuousController::multiController_movesSelectedEnabledChild_data()
{
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<bool>("levelType");
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("enable");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("read");

    QTest::newRow("span 65535 steps by 256")
        << 0 << 65535 << false << 0 << 1 << 0 << QList<int>{1, 3, -2} << QList<int>{256, 1024, 512} << 512;
    QTest::newRow("span 1000 steps by 12")
        << 0 << 1000 << false << 500 << 1 << 0 << QList<int>{2} << QList<int>{524} << 524;
    QTest::newRow("span 40 steps by 1")
        << 0 << 40 << false << 10 << 1 << 0 << QList<int>{5, -3} << QList<int>{15, 12} << 12;
    QTest::newRow("stops at the upper end")
        << 0 << 40 << false << 38 << 1 << 0 << QList<int>{5, 1} << QList<int>{40, 40} << 40;
    QTest::newRow("stops at the lower end")
        << 100 << 200 << false << 101 << 1 << 0 << QList<int>{-3, -1} << QList<int>{100, 100} << 100;
    QTest::newRow("largest steps stop at the ends")
        << 0 << 65535 << false << 65000 << 1 << 0 << QList<int>{127, -128, -128}
        << QList<int>{65535, 32767, 0} << 0;
    QTest::newRow("lower end reads as off")
        << 10 << 20 << true << 12 << 1 << 0 << QList<int>{-5} << QList<int>{10} << 0;
    QTest::newRow("disabled child stays")
        << 0 << 40 << false << 10 << 0 << 0 << QList<int>{5} << QList<int>{10} << 10;
    QTest::newRow("another child selected")
        << 0 << 40 << false << 10 << 1 << 1 << QList<int>{5} << QList<int>{10} << 10;
}

void tst_ContinuousController::multiController_movesSelectedEnabledChild()
{
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(bool, levelType);
    QFETCH(int, initial);
    QFETCH(int, enable);
    QFETCH(int, selected);
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, values);
    QFETCH(int, read);

    cFakeSwitchDriver selector("Selector", true);
    selector.mValue = UBYTE(selected);
    cMessagePump::Tick();
    cFakeMultiController multi("Multi", 2, "Selector");
    QVERIFY(multi.CreateChild(0, "Multi Child 0"));
    QVERIFY(multi.CreateChild(1, "Multi Child 1"));
    multi.SetChildRange(0, UWORD(lower), UWORD(upper), levelType);
    multi.SetChildEnable(0, UBYTE(enable));
    multi.SetChildEnable(1, 1);
    cMultiCCDriverChild* child = multi.GetChild(0);
    child->SetValue(UWORD(initial));
    cMessagePump::Pump();
    QCOMPARE(int(multi.GetSelected()), selected);

    QList<int> seen;
    for (int delta : deltas)
    {
        multi.mDelta = SBYTE(delta);
        cMessagePump::Tick();
        seen.append(child->GetStoredValue());
    }
    QCOMPARE(seen, values);
    QCOMPARE(int(child->ReadControllerValue()), read);
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_ContinuousController::destroyedDriver_unlinksPeersAndFreesItsName()
{
    auto driver = std::make_unique<cBaseAttachedControllerDriver>("Fader", 0, 100);
    QVERIFY(driver->GetController() != nullptr);
    const KV_NET_DATA_SCALE handle = driver->GetAudioObject()->GetHandle();
    QVERIFY(handle != KV_NET_NO_HANDLE);
    QVERIFY(driver->LinkValueFromParameter("Peer B", M_VALUE, false, true));
    cMessagePump::Pump();
    QCOMPARE(int(mB->GetNumberOfInformListItems(M_VALUE)), 1);

    driver.reset();
    cMessagePump::Pump();
    QCOMPARE(int(mB->GetNumberOfInformListItems(M_VALUE)), 0);
    QCOMPARE(gRegistryRouter->FindHandleByName("Fader"), KV_NET_NO_HANDLE);

    // A value still addressed to the old handle is dropped.
    cKVNetMessage late(2);
    late.mConnectionId = KV_NET_LOCAL_CONNECTION;
    late.mDestination = handle;
    late.mMethod = M_VALUE;
    PostMessage(late);
    cMessagePump::Pump();

    cFakeControllerDriver again("Fader", 0, 100);
    QVERIFY(again.GetAudioObject()->GetHandle() != KV_NET_NO_HANDLE);
    QVERIFY(!again.AttachControlObject("Fader 2"));
    QCOMPARE(QString(again.GetAudioObjectName()), QString("Fader"));
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_ContinuousController::driverLeavingItsAudioObject_reportsAndDestroysIt()
{
    {
        cCarelessDriver careless("Careless");
        QVERIFY(gRegistryRouter->FindHandleByName("Careless") != KV_NET_NO_HANDLE);
    }
    QVERIFY(mCapture->Contains("ERROR - The audio object should have been destroyed by now"));
    QCOMPARE(gRegistryRouter->FindHandleByName("Careless"), KV_NET_NO_HANDLE);
}

void tst_ContinuousController::detachedDriver_reportsLinksAndPosts()
{
    cFakeControllerDriver driver(nullptr, 0, 100, false, true);
    QVERIFY(driver.GetAudioObject() == nullptr);
    QCOMPARE(QString(driver.GetAudioObjectName()), QString());

    // Each a second apart, so that no report is held back as a repeat.
    cManualReportClock clock;
    QVERIFY(!driver.LinkValueToParameter("Peer B", M_VALUE, false, false));
    clock.mNow += REPORT_HOLD_BACK_WINDOW_MS;
    QVERIFY(!driver.LinkDeltaToParameter("Peer B", M_VALUE, false, false));
    clock.mNow += REPORT_HOLD_BACK_WINDOW_MS;
    driver.PostValue(5);
    clock.mNow += REPORT_HOLD_BACK_WINDOW_MS;
    driver.UseSlowDeltaGeneration();
    QCOMPARE(mCapture->Count("Audio object not created!"), 4);
    QCOMPARE(gSystemBuilder->GetRequestedCount(), ULONG(0));
    QCOMPARE(cMessagePump::Buffered(), ULONG(0));
}

QTEST_GUILESS_MAIN(tst_ContinuousController)
#include "tst_ContinuousController.moc"
