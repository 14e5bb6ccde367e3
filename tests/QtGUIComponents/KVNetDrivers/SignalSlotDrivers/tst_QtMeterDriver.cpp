#include "DriverTestSupport.h"

#include "AES-Standards/KVConversions.h"
#include "KVNet/Core/cMeterNet.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/cSignalLog.h"

#include <QtTest>

#include <memory>

using namespace nDriverTest;

namespace
{

using tDriver = cQtSignalSlotMeterDriver;

QByteArray Level(int level, int reset = 0)
{
    return Word(level & 0xFFFF) + Bytes({reset});
}

QByteArray LevelAndPeak(int level, int peak)
{
    return Word(level & 0xFFFF) + Word(peak & 0xFFFF);
}

// Sends one payload to its links as its parameter 4096, as the metering sources do.
class cLevelSource : public cNetObject
{
public:
    cLevelSource()
        : cNetObject("Level Source", 1, false, false)
    {
    }
    ~cLevelSource() override { Unregister(); }

    void Send(const QByteArray& payload)
    {
        mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
        mControlMessage.mDestination = KV_NET_NO_HANDLE;
        mControlMessage.mMethod = PARAMETER_BASE;
        mControlMessage.SetLength(UWORD(payload.size()));
        for (int i = 0; i < payload.size(); ++i)
        {
            mControlMessage.SetUBYTE(UBYTE(payload[i]), UWORD(i));
        }
        SendToInformList(mControlMessage);
        cMessagePump::Pump();
    }
};

} // namespace

class tst_QtMeterDriver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void construction_defaults_data();
    void construction_defaults();
    void fractions_atTheRangeEnds_data();
    void fractions_atTheRangeEnds();
    void meterUpdates_announceOnlyWhatChanged_data();
    void meterUpdates_announceOnlyWhatChanged();
    void meterLink_targetsBallisticOrDirectLevel_data();
    void meterLink_targetsBallisticOrDirectLevel();
    void steps_travelBetweenQmlAndTheMeterNet();
    void resetBallistics_showsTheNextLevelAtOnce();
    void attachDetachReattach_byName();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
    std::unique_ptr<cLevelSource> mSource;
};

void tst_QtMeterDriver::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
    mSource = std::make_unique<cLevelSource>();
}

void tst_QtMeterDriver::cleanup()
{
    mSource.reset();
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_QtMeterDriver::construction_defaults_data()
{
    QTest::addColumn<bool>("asQml");
    QTest::addColumn<int>("startAtZero");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");

    QTest::newRow("as QML makes it") << true << 0 << 0
                                     << "-15360..0 attack 32767 decay -768 value -32767 peak -32767 direct 0";
    QTest::newRow("starting at zero, without ballistics")
        << false << 1 << 1 << "-6000..600 attack 100 decay -200 value 0 peak 0 direct 1";
}

void tst_QtMeterDriver::construction_defaults()
{
    QFETCH(bool, asQml);
    QFETCH(int, startAtZero);
    QFETCH(int, mode);
    QFETCH(QString, expected);

    std::unique_ptr<tDriver> driver =
        asQml ? std::make_unique<tDriver>()
              : std::make_unique<tDriver>("Meter", -6000, 600, 100, -200, UBYTE(startAtZero), mode);
    QCOMPARE(QString("%1..%2 attack %3 decay %4 value %5 peak %6 direct %7")
                 .arg(driver->bottomOfMeter())
                 .arg(driver->topOfMeter())
                 .arg(driver->attackStep())
                 .arg(driver->decayStep())
                 .arg(driver->gainValue())
                 .arg(driver->gainPeak())
                 .arg(driver->noBallistics() ? 1 : 0),
             expected);
    QCOMPARE(driver->GetAudioObject() != nullptr, !asQml);
    if (!asQml)
    {
        cMeterNet* meter = driver->GetMeterNet();
        QCOMPARE(int(meter->GetAttackStep()), 100);
        QCOMPARE(int(meter->GetDecayStep()), -200);
        QVERIFY(!meter->IsPeakHold());
    }
}

void tst_QtMeterDriver::fractions_atTheRangeEnds_data()
{
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("gain");
    QTest::addColumn<float>("fraction");

    QTest::newRow("-30 dB of -60..0") << -15360 << 0 << -7680 << 0.5f;
    QTest::newRow("below the bottom") << -15360 << 0 << -20000 << 0.0f;
    QTest::newRow("minus infinity") << -15360 << 0 << -32767 << 0.0f;
    QTest::newRow("above the top") << -15360 << 0 << 512 << 1.0f;
    QTest::newRow("the whole GAIN span does not overflow") << -32768 << 32767 << 0 << 32768.0f / 65535.0f;
    QTest::newRow("an empty range never divides") << -768 << -768 << -768 << 0.0f;
    QTest::newRow("an upside-down range reads 0") << 0 << -15360 << -7680 << 0.0f;
}

void tst_QtMeterDriver::fractions_atTheRangeEnds()
{
    QFETCH(int, bottom);
    QFETCH(int, top);
    QFETCH(int, gain);
    QFETCH(float, fraction);

    tDriver driver("Meter", GAIN(bottom), GAIN(top), tDriver::DEFAULT_ATTACK_STEP,
                   tDriver::DEFAULT_DECAY_STEP, 0, tDriver::NO_BALLISTICS_MODE);
    QVERIFY(driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, false));
    cMessagePump::Pump();
    mSource->Send(LevelAndPeak(gain, gain));
    QCOMPARE(int(driver.gainValue()), gain);
    QCOMPARE(driver.value(), fraction);
    QCOMPARE(driver.peak(), fraction);
    QCOMPARE(driver.getFloatForUWORD(UWORD(GAIN(gain))), fraction);
}

void tst_QtMeterDriver::meterUpdates_announceOnlyWhatChanged_data()
{
    QTest::addColumn<QList<int>>("updates"); // level, peak, level, peak, ...
    QTest::addColumn<QStringList>("signalsEmitted");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("peak");

    const QStringList first{"GainValueChanged(-7680)", "FloatValueChanged(0.5)",
                            "ValueChanged()",          "PeakChanged()",
                            "MeterValuesChanged1()",   "MeterValuesChanged(-7680, -7680)"};
    QTest::newRow("first update") << QList<int>{-7680, -7680} << first << -7680 << -7680;
    QTest::newRow("the peak is never below the value") << QList<int>{-7680, -9000} << first << -7680 << -7680;
    QTest::newRow("an identical update announces nothing")
        << QList<int>{-7680, -7680, -7680, -7680} << first << -7680 << -7680;
    QTest::newRow("only the peak changes")
        << QList<int>{-7680, -7680, -7680, -3000}
        << first + QStringList{"PeakChanged()", "MeterValuesChanged1()", "MeterValuesChanged(-7680, -3000)"}
        << -7680 << -3000;
    QTest::newRow("only the value changes") << QList<int>{-7680, -3000, -11520, -3000}
                                            << QStringList{"GainValueChanged(-7680)",
                                                           "FloatValueChanged(0.5)",
                                                           "ValueChanged()",
                                                           "PeakChanged()",
                                                           "MeterValuesChanged1()",
                                                           "MeterValuesChanged(-7680, -3000)",
                                                           "GainValueChanged(-11520)",
                                                           "FloatValueChanged(0.25)",
                                                           "ValueChanged()",
                                                           "MeterValuesChanged1()",
                                                           "MeterValuesChanged(-11520, -3000)"}
                                            << -11520 << -3000;
}

void tst_QtMeterDriver::meterUpdates_announceOnlyWhatChanged()
{
    QFETCH(QList<int>, updates);
    QFETCH(QStringList, signalsEmitted);
    QFETCH(int, value);
    QFETCH(int, peak);

    tDriver driver("Meter", tDriver::DEFAULT_BOTTOM, tDriver::DEFAULT_TOP, tDriver::DEFAULT_ATTACK_STEP,
                   tDriver::DEFAULT_DECAY_STEP, 0, tDriver::NO_BALLISTICS_MODE);
    QVERIFY(driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, false));
    cMessagePump::Pump();
    cSignalLog log(&driver);
    for (int i = 0; i + 1 < updates.size(); i += 2)
    {
        mSource->Send(LevelAndPeak(updates[i], updates[i + 1]));
    }
    QCOMPARE(log.Entries(), signalsEmitted);
    QCOMPARE(int(driver.gainValue()), value);
    QCOMPARE(int(driver.gainPeak()), peak);
}

void tst_QtMeterDriver::meterLink_targetsBallisticOrDirectLevel_data()
{
    QTest::addColumn<bool>("noBallistics");
    QTest::addColumn<int>("peak");

    // The same four bytes read as a level with a reset byte (ballistic) or as level and peak.
    QTest::newRow("ballistic level") << false << -7680;
    QTest::newRow("direct level and peak, set before linking") << true << -3000;
}

void tst_QtMeterDriver::meterLink_targetsBallisticOrDirectLevel()
{
    QFETCH(bool, noBallistics);
    QFETCH(int, peak);

    tDriver driver;
    QVERIFY(driver.setNetObjectName("Meter"));
    driver.setNoBallistics(noBallistics);
    QVERIFY(driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, false));
    cMessagePump::Pump();
    QCOMPARE(int(mSource->GetNumberOfInformListItems(PARAMETER_BASE)), 1);
    mSource->Send(LevelAndPeak(-7680, -3000));
    QCOMPARE(int(driver.gainValue()), -7680);
    QCOMPARE(int(driver.gainPeak()), peak);

    QVERIFY(driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, true));
    cMessagePump::Pump();
    QCOMPARE(int(mSource->GetNumberOfInformListItems(PARAMETER_BASE)), 0);
    QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
}

void tst_QtMeterDriver::steps_travelBetweenQmlAndTheMeterNet()
{
    tDriver driver;
    cSignalLog log(&driver);
    driver.setAttackStep(256); // detached: only the driver keeps it
    QVERIFY(driver.setNetObjectName("Meter"));
    QCOMPARE(int(driver.GetMeterNet()->GetAttackStep()), 256);
    driver.setDecayStep(-256);
    driver.setDecayStep(-256);
    QCOMPARE(int(driver.GetMeterNet()->GetDecayStep()), -256);
    QCOMPARE(Only(log.Take(), {"attackStepChanged", "decayStepChanged"}),
             (QStringList{"attackStepChanged()", "decayStepChanged()"}));

    // Steps by message arrive as gain codes and are announced even when unchanged.
    const UWORD code = ConvertGainToUWORD(-512);
    PostFrom(*mSource, *driver.GetAudioObject(), cMeterNet::M_DECAY_STEP, Word(code));
    PostFrom(*mSource, *driver.GetAudioObject(), cMeterNet::M_DECAY_STEP, Word(code));
    cMessagePump::Pump();
    QCOMPARE(int(driver.decayStep()), -512);
    QCOMPARE(log.Take(), (QStringList{"decayStepChanged()", "decayStepChanged()"}));

    // Bounds move without re-announcing the fractions.
    driver.setTopOfMeter(-100);
    driver.setTopOfMeter(-100);
    driver.setBottomOfMeter(-200);
    QCOMPARE(log.Take(), (QStringList{"TopOfMeterChanged(-100)", "BottomOfMeterChanged(-200)"}));
}

void tst_QtMeterDriver::resetBallistics_showsTheNextLevelAtOnce()
{
    tDriver driver("Meter", tDriver::DEFAULT_BOTTOM, tDriver::DEFAULT_TOP, tDriver::DEFAULT_ATTACK_STEP, -256,
                   0, 0);
    QVERIFY(driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, false));
    cMessagePump::Pump();
    mSource->Send(Level(-2560));
    mSource->Send(Level(-5120));
    QCOMPARE(int(driver.gainValue()), -2816); // falls by the decay step
    driver.resetMeterBallistics();
    mSource->Send(Level(-5120));
    QCOMPARE(int(driver.gainValue()), -5120);
    QCOMPARE(int(driver.gainPeak()), -5120);
}

void tst_QtMeterDriver::attachDetachReattach_byName()
{
    tDriver driver;
    cSignalLog log(&driver);
    QVERIFY(!driver.LinkMeterFromParameter("Level Source", PARAMETER_BASE, false));
    QVERIFY(driver.setNetObjectName("Meter"));
    QVERIFY(!driver.setNetObjectName("Meter 2"));
    QCOMPARE(mCapture->Count("Driver already has a net object"), 1);
    driver.DetachNetObject();
    driver.DetachNetObject();
    driver.resetMeterBallistics(); // detached: nothing to reset
    QVERIFY(!IsRegistered("Meter"));
    QVERIFY(driver.setNetObjectName("Meter"));
    QVERIFY(IsRegistered("Meter"));
    QCOMPARE(Only(log.Entries(), {"netObjectNameChanged"}),
             (QStringList{"netObjectNameChanged()", "netObjectNameChanged()", "netObjectNameChanged()"}));
}

QTEST_GUILESS_MAIN(tst_QtMeterDriver)
#include "tst_QtMeterDriver.moc"
