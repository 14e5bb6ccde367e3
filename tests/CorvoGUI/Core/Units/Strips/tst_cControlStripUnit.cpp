#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "tests/CorvoGUI/Core/Units/Strips/StripTestSupport.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nStripTest;
using sSettings = cControlStripUnit::sSettings;

namespace
{

// The eight strips on a link that is not running (records are dropped), and two linked objects.
struct sUnitRig
{
    cScopedKVNetSystem mSystem{false};
    QTemporaryDir mDir;
    cNonVolatileStorageManager mStorage{mDir.filePath("NonVolatileRamFile"), 4096, false, false};
    cSerialInterface mSerial{nullptr, std::make_unique<cFixedSerialPortList>()};
    cInOutFader mFader{&mStorage, &mSerial, nullptr};
    cRecordingNetObject mFirst{"First linked", 4};
    cRecordingNetObject mSecond{"Second linked", 4};

    cControlStripUnit& Unit(int index) { return *mFader.GetUnit(index); }
    void LinkBoth(int index)
    {
        LinkParameters(Unit(index), mFirst.GetHandle());
        LinkParameters(Unit(index), mSecond.GetHandle());
    }
};

QList<QByteArray> Payloads(const cRecordingNetObject& recorder, UWORD method)
{
    QList<QByteArray> payloads;
    for (const cRecordingNetObject::sReceived& received : recorder.Received())
    {
        if (received.mMethod == method)
        {
            payloads.append(received.mPayload);
        }
    }
    return payloads;
}

sSettings Settings(bool mute, bool polarity, int gain)
{
    sSettings settings;
    settings.mMute = mute;
    settings.mPolarity = polarity;
    settings.mGain = GAIN(gain);
    return settings;
}

} // namespace

Q_DECLARE_METATYPE(sSettings)

class tst_cControlStripUnit : public QObject
{
    Q_OBJECT

private slots:
    void parameterChange_isStoredAndForwardedToOtherLinksOnce_data();
    void parameterChange_isStoredAndForwardedToOtherLinksOnce();
    void shortMessage_isReportedAndChangesNothing_data();
    void shortMessage_isReportedAndChangesNothing();
    void syncUp_answersTheCurrentValue_data();
    void syncUp_answersTheCurrentValue();
    void resetUnitDefaults_publishesWhatChanges();
};

void tst_cControlStripUnit::parameterChange_isStoredAndForwardedToOtherLinksOnce_data()
{
    QTest::addColumn<int>("strip");
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("forwarded"); // empty: nothing forwarded
    QTest::addColumn<sSettings>("settings");
    QTest::addColumn<QString>("report");

    const QByteArray none;
    QTest::newRow("mute") << 0 << 4096 << QByteArray::fromHex("01") << QByteArray::fromHex("01")
                          << Settings(true, false, -32767) << QString();
    QTest::newRow("mute byte 2 is taken as on")
        << 0 << 4096 << QByteArray::fromHex("02") << QByteArray::fromHex("01")
        << Settings(true, false, -32767) << QString("Bad conversion to boolean");
    QTest::newRow("polarity") << 2 << 4097 << QByteArray::fromHex("01") << QByteArray::fromHex("01")
                              << Settings(false, true, -32767) << QString();
    QTest::newRow("gain") << 5 << 4098 << BigEndian16(GainCode(-512)) << BigEndian16(GainCode(-512))
                          << Settings(false, false, -512) << QString();
    QTest::newRow("longer payload, first value taken")
        << 5 << 4098 << QByteArray::fromHex("8100ffff") << QByteArray::fromHex("8100ffff")
        << Settings(false, false, 256) << QString();
    QTest::newRow("gain code 1 is the stored minus infinity")
        << 1 << 4098 << QByteArray::fromHex("0001") << none << Settings(false, false, -32767) << QString();
    QTest::newRow("mute off is the stored value")
        << 1 << 4096 << QByteArray::fromHex("00") << none << Settings(false, false, -32767) << QString();
    QTest::newRow("unused parameter is ignored")
        << 7 << 4099 << QByteArray::fromHex("1234") << none << Settings(false, false, -32767) << QString();
}

void tst_cControlStripUnit::parameterChange_isStoredAndForwardedToOtherLinksOnce()
{
    QFETCH(int, strip);
    QFETCH(int, method);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, forwarded);
    QFETCH(sSettings, settings);
    QFETCH(QString, report);

    sUnitRig rig;
    rig.LinkBoth(strip);
    cReportCapture capture;
    // The same value twice: the second is no change.
    for (int i = 0; i < 2; ++i)
    {
        PostBytes(rig.Unit(strip).GetHandle(), UWORD(method), payload, rig.mFirst.GetHandle());
    }

    QVERIFY(rig.Unit(strip).GetSettings() == settings);
    QVERIFY(rig.mFirst.Received().empty());
    const QList<QByteArray> expected =
        forwarded.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{forwarded};
    QCOMPARE(Payloads(rig.mSecond, UWORD(method)), expected);
    QCOMPARE(int(rig.mSecond.Received().size()), expected.size());
    if (report.isEmpty())
    {
        QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
    }
    else
    {
        QVERIFY(capture.Contains(report));
    }
    // The driver follows the unit.
    const cControlStripDriver& driver = *rig.mFader.GetStrip(strip);
    QCOMPARE(driver.IsMuted(), settings.mMute);
    QCOMPARE(driver.GetDevicePolarity(), rig.Unit(strip).DevicePolarity(settings.mPolarity));
    QCOMPARE(settings.mMute ? driver.GetHeldGain() : driver.GetCurrentGain(), settings.mGain);
}

void tst_cControlStripUnit::shortMessage_isReportedAndChangesNothing_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("mute without a byte") << 4096 << QByteArray();
    QTest::newRow("polarity without a byte") << 4097 << QByteArray();
    QTest::newRow("gain without a byte") << 4098 << QByteArray();
    QTest::newRow("gain with one byte") << 4098 << QByteArray::fromHex("80");
}

void tst_cControlStripUnit::shortMessage_isReportedAndChangesNothing()
{
    QFETCH(int, method);
    QFETCH(QByteArray, payload);

    sUnitRig rig;
    rig.LinkBoth(3);
    PostUWORD(rig.Unit(3).GetHandle(), cControlStripUnit::P_GAIN, GainCode(768), rig.mFirst.GetHandle());
    rig.mSecond.ClearRecords();
    const sSettings before = rig.Unit(3).GetSettings();

    cReportCapture capture;
    PostBytes(rig.Unit(3).GetHandle(), UWORD(method), payload, rig.mFirst.GetHandle());

    QVERIFY(capture.Contains(QString("Short message for method 0x%1").arg(method, 0, 16)));
    QVERIFY(rig.Unit(3).GetSettings() == before);
    QVERIFY(rig.mSecond.Received().empty());
}

void tst_cControlStripUnit::syncUp_answersTheCurrentValue_data()
{
    QTest::addColumn<int>("sourceMethod");
    QTest::addColumn<int>("gain");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("mute") << 4096 << -512 << QByteArray::fromHex("01");
    QTest::newRow("polarity, the user's") << 4097 << -512 << QByteArray::fromHex("01");
    QTest::newRow("gain code") << 4098 << -512 << QByteArray::fromHex("7e00");
    QTest::newRow("minus infinity is code 0") << 4098 << -32767 << QByteArray::fromHex("0000");
    QTest::newRow("unused parameter") << 4099 << -512 << QByteArray::fromHex("0000");
}

void tst_cControlStripUnit::syncUp_answersTheCurrentValue()
{
    QFETCH(int, sourceMethod);
    QFETCH(int, gain);
    QFETCH(QByteArray, answer);

    sUnitRig rig;
    // An output strip: the stored polarity is the user's, not the device's.
    cControlStripUnit& unit = rig.Unit(4);
    PostUBYTE(unit.GetHandle(), cControlStripUnit::P_MUTE, 1);
    PostUBYTE(unit.GetHandle(), cControlStripUnit::P_POLARITY, 1);
    PostUWORD(unit.GetHandle(), cControlStripUnit::P_GAIN, GainCode(gain));

    const UWORD destination = PARAMETER_BASE + 1;
    QVERIFY(unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, rig.mFirst.GetHandle(), destination,
                                       KV_NET_DATA_SCALE(sourceMethod), 0, 1, false));
    cMessagePump::Pump();
    QCOMPARE(Payloads(rig.mFirst, destination), QList<QByteArray>{answer});
}

void tst_cControlStripUnit::resetUnitDefaults_publishesWhatChanges()
{
    sUnitRig rig;
    cControlStripUnit& unit = rig.Unit(6);
    PostUBYTE(unit.GetHandle(), cControlStripUnit::P_MUTE, 1);
    PostUWORD(unit.GetHandle(), cControlStripUnit::P_GAIN, GainCode(100));
    rig.LinkBoth(6);

    rig.mFader.GetStrip(6)->ResetUnitDefaults();
    cMessagePump::Pump();

    QVERIFY(unit.GetSettings() == cControlStripUnit::DefaultSettings());
    QCOMPARE(Payloads(rig.mFirst, cControlStripUnit::P_MUTE), QList<QByteArray>{QByteArray::fromHex("00")});
    QCOMPARE(Payloads(rig.mFirst, cControlStripUnit::P_GAIN), QList<QByteArray>{QByteArray::fromHex("0000")});
    QCOMPARE(int(rig.mFirst.Received().size()), 2);
    QVERIFY(!rig.mFader.GetStrip(6)->IsMuted());
    QCOMPARE(rig.mFader.GetStrip(6)->GetCurrentGain(), GAIN(GAIN_MINUS_INFINITY));
    // Output strip: user polarity off is on towards the device.
    QVERIFY(rig.mFader.GetStrip(6)->GetDevicePolarity());
}

QTEST_GUILESS_MAIN(tst_cControlStripUnit)
#include "tst_cControlStripUnit.moc"
