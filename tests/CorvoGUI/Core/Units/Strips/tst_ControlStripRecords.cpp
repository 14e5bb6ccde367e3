#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "tests/CorvoGUI/Core/Units/Strips/StripTestSupport.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nStripTest;

namespace
{

constexpr qint64 STORAGE_SIZE = 4096;

// The eight strips behind a running link to a simulated device.
struct sStripRig
{
    cScopedKVNetSystem mSystem{false};
    QTemporaryDir mDir;
    cNonVolatileStorageManager mStorage{mDir.filePath("NonVolatileRamFile"), STORAGE_SIZE, false, false};
    cSerialTestLink mLink;
    cInOutFader mFader{&mStorage, &mLink.Link(), nullptr};

    bool Start() { return mDir.isValid() && mLink.Opened() && mLink.Connect() && Drain(mLink); }
    KV_NET_DATA_SCALE Unit(int index) const { return mFader.GetUnit(index)->GetHandle(); }
};

} // namespace

class tst_ControlStripRecords : public QObject
{
    Q_OBJECT

private slots:
    void settings_reachTheDeviceAsStripRecords_data();
    void settings_reachTheDeviceAsStripRecords();
    void mute_holdsTheGainUntilUnmuted();
    void equalValues_sendNothing();
};

void tst_ControlStripRecords::settings_reachTheDeviceAsStripRecords_data()
{
    QTest::addColumn<int>("strip");
    QTest::addColumn<bool>("polarity"); // the user's
    QTest::addColumn<bool>("mute");
    QTest::addColumn<int>("gain"); // 1/256 dB
    QTest::addColumn<uint>("linear");
    QTest::addColumn<uint>("code");
    QTest::addColumn<uint>("devicePolarity");
    QTest::addColumn<uint>("deviceMute");

    // Linear gains: trunc(float(10^float(whole dB * 0.05)) * 2147483647.0), whole dB of (gain - 3082).
    QTest::newRow("full scale") << 0 << false << false << 3082 << 0x7FFFFFFFu << 0x0C0Au << 0u << 0u;
    QTest::newRow("fader top, less than 1 dB below full scale")
        << 0 << false << false << 3072 << 0x7FFFFFFFu << 0x0C00u << 0u << 0u;
    QTest::newRow("600 below full scale steps by whole dB (-2)")
        << 0 << false << false << 2482 << 0x65AC8BFFu << 0x09B2u << 0u << 0u;
    QTest::newRow("0 dB") << 1 << false << false << 0 << 0x2026F2FFu << 0x0000u << 0u << 0u;
    QTest::newRow("-40 dB") << 0 << false << false << -10240 << 0x00524F3Bu << 0xD800u << 0u << 0u;
    QTest::newRow("lowest converted gain") << 0 << false << false << -29695 << 0x356u << 0x8C01u << 0u << 0u;
    QTest::newRow("near silence, difference beyond 16 bits")
        << 0 << false << false << -29690 << 0x356u << 0x8C06u << 0u << 0u;
    QTest::newRow("one step below lowest converted")
        << 0 << false << false << -29696 << 0u << 0x8C00u << 0u << 0u;
    QTest::newRow("minus infinity") << 0 << false << false << -32767 << 0u << 0x8001u << 0u << 0u;
    QTest::newRow("+13 dB saturates") << 0 << false << false << 3338 << 0x7FFFFFFFu << 0x0D0Au << 0u << 0u;
    QTest::newRow("largest gain saturates")
        << 1 << false << false << 32767 << 0x7FFFFFFFu << 0x7FFFu << 0u << 0u;
    QTest::newRow("input polarity on negates")
        << 0 << true << false << 0 << 0xDFD90D01u << 0x0000u << 1u << 0u;
    QTest::newRow("output polarity off is inverted towards the device")
        << 2 << false << false << 0 << 0xDFD90D01u << 0x0000u << 1u << 0u;
    QTest::newRow("output polarity on is plain towards the device")
        << 7 << true << false << 0 << 0x2026F2FFu << 0x0000u << 0u << 0u;
    QTest::newRow("full scale inverted") << 3 << false << false << 3082 << 0x80000001u << 0x0C0Au << 1u << 0u;
    QTest::newRow("saturated gain inverted")
        << 5 << false << false << 3338 << 0x80000001u << 0x0D0Au << 1u << 0u;
    QTest::newRow("below lowest converted, inverted")
        << 6 << false << false << -29696 << 0u << 0x8C00u << 1u << 0u;
    QTest::newRow("muted sends the held gain") << 0 << false << true << 2482 << 0u << 0x09B2u << 0u << 1u;
    QTest::newRow("muted output strip") << 4 << false << true << -10240 << 0u << 0xD800u << 1u << 1u;
    QTest::newRow("muted at minus infinity") << 1 << false << true << -32767 << 0u << 0x8001u << 0u << 1u;
}

void tst_ControlStripRecords::settings_reachTheDeviceAsStripRecords()
{
    QFETCH(int, strip);
    QFETCH(bool, polarity);
    QFETCH(bool, mute);
    QFETCH(int, gain);
    QFETCH(uint, linear);
    QFETCH(uint, code);
    QFETCH(uint, devicePolarity);
    QFETCH(uint, deviceMute);

    sStripRig rig;
    QVERIFY(rig.Start());
    rig.mLink.Device().ClearLog();

    const KV_NET_DATA_SCALE unit = rig.Unit(strip);
    // A gain that no row uses first, so that the row's gain is always a change.
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(1));
    PostUBYTE(unit, cControlStripUnit::P_MUTE, mute ? 1 : 0);
    PostUBYTE(unit, cControlStripUnit::P_POLARITY, polarity ? 1 : 0);
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(gain));
    QVERIFY(Drain(rig.mLink));

    const QList<QByteArray> frames = StripFrames(rig.mLink, ULONG(strip));
    QVERIFY(!frames.isEmpty());
    QCOMPARE(frames.last().toHex(' '),
             StripPayload(ULONG(strip), linear, code, devicePolarity, deviceMute).toHex(' '));
    QCOMPARE(rig.mLink.Device().Model().mStrips[strip].mLinearGain, std::uint32_t(linear));
}

void tst_ControlStripRecords::mute_holdsTheGainUntilUnmuted()
{
    sStripRig rig;
    QVERIFY(rig.Start());
    rig.mLink.Device().ClearLog();
    const KV_NET_DATA_SCALE unit = rig.Unit(0);
    const cControlStripDriver& driver = *rig.mFader.GetStrip(0);

    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(0));
    QVERIFY(Drain(rig.mLink));
    PostUBYTE(unit, cControlStripUnit::P_MUTE, 1);
    QVERIFY(Drain(rig.mLink));
    QCOMPARE(driver.GetCurrentGain(), GAIN(GAIN_MINUS_INFINITY));
    QCOMPARE(driver.GetHeldGain(), GAIN(0));
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(-10240));
    QVERIFY(Drain(rig.mLink));
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(2482));
    QVERIFY(Drain(rig.mLink));
    PostUBYTE(unit, cControlStripUnit::P_MUTE, 1); // already muted: no change, nothing sent
    QVERIFY(Drain(rig.mLink));
    PostUBYTE(unit, cControlStripUnit::P_MUTE, 0);
    QVERIFY(Drain(rig.mLink));

    const QList<QByteArray> expected = {
        StripPayload(0, 0x2026F2FF, 0x0000, 0, 0), StripPayload(0, 0, 0x0000, 0, 1),
        StripPayload(0, 0, 0xD800, 0, 1),          StripPayload(0, 0, 0x09B2, 0, 1),
        StripPayload(0, 0x65AC8BFF, 0x09B2, 0, 0),
    };
    QCOMPARE(StripFrames(rig.mLink, 0), expected);
    QCOMPARE(rig.mFader.GetUnit(0)->GetGain(), GAIN(2482));
    QVERIFY(!rig.mFader.GetUnit(0)->GetMute());
}

void tst_ControlStripRecords::equalValues_sendNothing()
{
    sStripRig rig;
    QVERIFY(rig.Start());
    const KV_NET_DATA_SCALE unit = rig.Unit(3);
    PostUBYTE(unit, cControlStripUnit::P_MUTE, 1);
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(-512));
    QVERIFY(Drain(rig.mLink));
    rig.mLink.Device().ClearLog();

    PostUBYTE(unit, cControlStripUnit::P_MUTE, 1);
    PostUBYTE(unit, cControlStripUnit::P_POLARITY, 0);
    PostUWORD(unit, cControlStripUnit::P_GAIN, GainCode(-512));
    PostUWORD(unit, cControlStripUnit::P_UNUSED, 0x1234);
    QCOMPARE(rig.mLink.Link().QueuedRecords(), std::size_t(0));
    rig.mLink.Ticks(3);
    QCOMPARE(rig.mLink.Device().CountFrames(6), 0);
}

QTEST_GUILESS_MAIN(tst_ControlStripRecords)
#include "tst_ControlStripRecords.moc"
