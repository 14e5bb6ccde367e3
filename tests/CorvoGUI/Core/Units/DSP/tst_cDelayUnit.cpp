#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cDelayUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <cmath>

namespace
{

constexpr const char* kName = "LMH 2:  Delay Unit";

using tDelays = QList<QPair<ULONG, ULONG>>;

ULONG Samples(UWORD code)
{
    return ULONG(std::llround(ConvertUWORDToTime(code) * 96000.0));
}

// The unit linked to a recorder on all three parameters.
struct sDelayFixture
{
    explicit sDelayFixture(cSerialInterface* serial = nullptr, cSaveObjectRegistry* saves = nullptr)
        : mDriver(kName, 2, mStorage.Get(), serial, saves, false)
        , mUnit(*mDriver.GetUnit())
        , mPanel("Panel", 3)
    {
        LinkParameters(mUnit, mPanel, {cDelayUnit::P_LEFT, cDelayUnit::P_RIGHT, cDelayUnit::P_GANG});
    }

    cTestStorage mStorage;
    cDelayDriver mDriver;
    cDelayUnit& mUnit;
    cRecordingNetObject mPanel;
};

} // namespace

class tst_cDelayUnit : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup() { mSystem.reset(); }

    void change_reachesTheDeviceOnTheSecondTick_data();
    void change_reachesTheDeviceOnTheSecondTick();
    void samples_roundToTheNearestAndSaturate_data();
    void samples_roundToTheNearestAndSaturate();
    void gangOn_makesTheRightEqualTheLeft();
    void sync_takesTheDeviceDelaysAndUngangsWhenUnequal();
    void recall_appliesTheGangRules_data();
    void recall_appliesTheGangRules();
    void saveRecall_roundTrip();
    void nvBlock_keepsTheCodesAcrossRemapping();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_cDelayUnit::change_reachesTheDeviceOnTheSecondTick_data()
{
    QTest::addColumn<bool>("ganged");
    QTest::newRow("not ganged") << false;
    QTest::newRow("ganged") << true;
}

void tst_cDelayUnit::change_reachesTheDeviceOnTheSecondTick()
{
    QFETCH(bool, ganged);
    cSerialTestLink link;
    QVERIFY(link.Connect());
    sDelayFixture f(&link.Link());
    // The stored times go out two ticks after construction.
    cMessagePump::Tick(2);
    QVERIFY(Drain(link));
    QCOMPARE(DelayFrames(link.Device()), (tDelays{{2, 0}, {3, 0}}));
    link.Device().ClearLog();
    SendParameter(f.mUnit, cDelayUnit::P_GANG, UBYTEPayload(ganged ? 1 : 0));
    f.mPanel.ClearRecords();

    const UWORD oneMs = ConvertTimeToUWORD(0.001);
    SendParameter(f.mUnit, cDelayUnit::P_LEFT, UWORDPayload(UWORD(oneMs - 50)));
    SendParameter(f.mUnit, cDelayUnit::P_LEFT, UWORDPayload(oneMs)); // only the last is sent
    cMessagePump::Tick(1);
    link.Ticks(2);
    QCOMPARE(DelayFrames(link.Device()).size(), 0);
    cMessagePump::Tick(1);
    QVERIFY(Drain(link));
    link.Tick();

    const ULONG samples = Samples(oneMs);
    QVERIFY(samples == 95 || samples == 96);
    QCOMPARE(DelayFrames(link.Device()),
             ganged ? (tDelays{{2, samples}, {3, samples}}) : (tDelays{{2, samples}}));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_LEFT),
             (QList<QByteArray>{UWORDPayload(UWORD(oneMs - 50)), UWORDPayload(oneMs)}));
    QCOMPARE(f.mPanel.Count(cDelayUnit::P_RIGHT), ganged ? 2 : 0);
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::RIGHT), ganged ? oneMs : UWORD(0));
}

void tst_cDelayUnit::samples_roundToTheNearestAndSaturate_data()
{
    QTest::addColumn<UWORD>("code");
    QTest::addColumn<ULONG>("samples");
    QTest::addColumn<bool>("reported");
    QTest::newRow("code 0 is no delay") << UWORD(0) << ULONG(0) << false;
    QTest::newRow("code 1 is 1 us: 0.096 samples") << UWORD(1) << ULONG(0) << false;
    QTest::newRow("10 ms") << ConvertTimeToUWORD(0.01) << Samples(ConvertTimeToUWORD(0.01)) << false;
    QTest::newRow("beyond 32 bits saturates") << UWORD(65535) << ULONG(0xFFFFFFFF) << true;
}

void tst_cDelayUnit::samples_roundToTheNearestAndSaturate()
{
    QFETCH(UWORD, code);
    QFETCH(ULONG, samples);
    QFETCH(bool, reported);
    cReportCapture capture;
    QCOMPARE(cDelayDriver::SamplesFromCode(code), samples);
    QCOMPARE(capture.Contains("beyond the device's range"), reported);
}

void tst_cDelayUnit::gangOn_makesTheRightEqualTheLeft()
{
    sDelayFixture f;
    SendParameter(f.mUnit, cDelayUnit::P_LEFT, UWORDPayload(30000));
    SendParameter(f.mUnit, cDelayUnit::P_RIGHT, UWORDPayload(20000));
    cMessagePump::Tick(2);
    QVERIFY(!f.mUnit.IsPending(cDelayUnit::RIGHT));
    f.mPanel.ClearRecords();

    SendParameter(f.mUnit, cDelayUnit::P_GANG, UBYTEPayload(1));
    QVERIFY(f.mUnit.GetGang());
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::RIGHT), UWORD(30000));
    QVERIFY(f.mUnit.IsPending(cDelayUnit::RIGHT));
    QVERIFY(!f.mUnit.IsPending(cDelayUnit::LEFT));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_RIGHT), (QList<QByteArray>{UWORDPayload(30000)}));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_GANG), (QList<QByteArray>{UBYTEPayload(1)}));

    // Ganged, a right change is copied to the left.
    SendParameter(f.mUnit, cDelayUnit::P_RIGHT, UWORDPayload(1000));
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::LEFT), UWORD(1000));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_LEFT), (QList<QByteArray>{UWORDPayload(1000)}));
}

void tst_cDelayUnit::sync_takesTheDeviceDelaysAndUngangsWhenUnequal()
{
    cSerialTestLink link;
    sDelayFixture f(&link.Link());
    QCOMPARE(f.mUnit.SyncData(), SYNC_SKIPPED);
    SendParameter(f.mUnit, cDelayUnit::P_GANG, UBYTEPayload(1));
    cMessagePump::Tick(2);
    f.mPanel.ClearRecords();

    link.Device().Model().mDelays = {1, 2, 96, 960, 5, 6};
    QVERIFY(link.Connect());
    QCOMPARE(f.mUnit.SyncData(), SYNC_DONE);
    cMessagePump::Pump();
    const UWORD left = ConvertTimeToUWORD(96 / 96000.0);
    const UWORD right = ConvertTimeToUWORD(960 / 96000.0);
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::LEFT), left);
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::RIGHT), right);
    QVERIFY(!f.mUnit.GetGang());
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_LEFT), (QList<QByteArray>{UWORDPayload(left)}));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_RIGHT), (QList<QByteArray>{UWORDPayload(right)}));
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_GANG), (QList<QByteArray>{UBYTEPayload(0)}));

    // The device has these delays already: nothing is sent back.
    link.Device().ClearLog();
    cMessagePump::Tick(3);
    link.Ticks(3);
    QCOMPARE(DelayFrames(link.Device()).size(), 0);
}

void tst_cDelayUnit::recall_appliesTheGangRules_data()
{
    QTest::addColumn<bool>("gangBefore");
    QTest::addColumn<int>("readGang");
    QTest::addColumn<UWORD>("right");
    QTest::addColumn<bool>("gangAfter");
    QTest::addColumn<QList<QByteArray>>("gangPublished");
    QTest::newRow("gang turned on: right follows")
        << false << 1 << UWORD(100) << true << QList<QByteArray>{UBYTEPayload(1)};
    QTest::newRow("still ganged, unequal codes: right follows")
        << true << 1 << UWORD(100) << true << QList<QByteArray>{UBYTEPayload(1)};
    QTest::newRow("gang turned off") << true << 0 << UWORD(200) << false
                                     << QList<QByteArray>{UBYTEPayload(0)};
    QTest::newRow("still not ganged") << false << 0 << UWORD(200) << false << QList<QByteArray>{};
}

void tst_cDelayUnit::recall_appliesTheGangRules()
{
    QFETCH(bool, gangBefore);
    QFETCH(int, readGang);
    QFETCH(UWORD, right);
    QFETCH(bool, gangAfter);
    QFETCH(QList<QByteArray>, gangPublished);

    cListSaveRegistry saves;
    sDelayFixture f(nullptr, &saves);
    SendParameter(f.mUnit, cDelayUnit::P_GANG, UBYTEPayload(gangBefore ? 1 : 0));
    f.mPanel.ClearRecords();

    QByteArray record;
    QDataStream stream(&record, QIODevice::WriteOnly);
    stream << qint16(100) << qint16(200) << qint16(readGang);
    QVERIFY(saves.RecallAll(record));
    cMessagePump::Pump();
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::LEFT), UWORD(100));
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::RIGHT), right);
    QCOMPARE(f.mUnit.GetGang(), gangAfter);
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_GANG), gangPublished);
    QCOMPARE(Payloads(f.mPanel, cDelayUnit::P_RIGHT).last(), UWORDPayload(right));
    QVERIFY(f.mUnit.IsPending(cDelayUnit::LEFT));
}

void tst_cDelayUnit::saveRecall_roundTrip()
{
    QByteArray record;
    {
        cListSaveRegistry saves;
        sDelayFixture f(nullptr, &saves);
        SendParameter(f.mUnit, cDelayUnit::P_LEFT, UWORDPayload(40000));
        SendParameter(f.mUnit, cDelayUnit::P_RIGHT, UWORDPayload(41000));
        record = saves.SaveAll();
    }
    QCOMPARE(record, QByteArray::fromHex("9c40"
                                         "a028"
                                         "0000"));
    cListSaveRegistry saves;
    sDelayFixture f(nullptr, &saves);
    QVERIFY(!saves.RecallAll(record.left(4)));
    QCOMPARE(f.mUnit.GetCode(cDelayUnit::LEFT), UWORD(0));
    QVERIFY(saves.RecallAll(record));
    QCOMPARE(saves.SaveAll(), record);
}

void tst_cDelayUnit::nvBlock_keepsTheCodesAcrossRemapping()
{
    cTestStorage storage;
    {
        cDelayDriver driver(kName, 2, storage.Get(), nullptr, nullptr, false);
        QVERIFY(!driver.GetUnit()->GetBlock().HasValidMarkers());
        SendParameter(*driver.GetUnit(), cDelayUnit::P_LEFT, UWORDPayload(12345));
        SendParameter(*driver.GetUnit(), cDelayUnit::P_GANG, UBYTEPayload(1));
    }
    storage.Map();
    {
        cDelayDriver driver(kName, 2, storage.Get(), nullptr, nullptr, false);
        const cDelayUnit& unit = *driver.GetUnit();
        QVERIFY(unit.GetBlock().HasValidMarkers());
        QCOMPARE(unit.GetCode(cDelayUnit::LEFT), UWORD(12345));
        QCOMPARE(unit.GetCode(cDelayUnit::RIGHT), UWORD(12345));
        QVERIFY(unit.GetGang());
        QVERIFY(unit.IsPending(cDelayUnit::LEFT) && unit.IsPending(cDelayUnit::RIGHT));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(unit.GetBlock().GetBlockAddress()), 9),
                 QByteArray::fromHex("b666"
                                     "3930"
                                     "3930"
                                     "01"
                                     "aa36"));
    }
    storage.Map();
    // Clear resets a valid block to the defaults.
    cDelayDriver driver(kName, 2, storage.Get(), nullptr, nullptr, true);
    QCOMPARE(driver.GetUnit()->GetCode(cDelayUnit::LEFT), UWORD(0));
    QVERIFY(!driver.GetUnit()->GetGang());
}

QTEST_GUILESS_MAIN(tst_cDelayUnit)
#include "tst_cDelayUnit.moc"
