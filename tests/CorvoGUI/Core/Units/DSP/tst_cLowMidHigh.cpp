#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cHPFUnit.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/simulator/cSimulatedDeviceModel.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <set>

namespace
{

QStringList UnitNames(int type)
{
    const QString n = QString::number(type);
    return {QStringLiteral("LMH %1:  HPF Unit").arg(n),
            QStringLiteral("LMH %1:  LPF Unit").arg(n),
            QStringLiteral("LMH %1:  Delay Unit").arg(n),
            QStringLiteral("LMH %1: L Parametric EQ Unit").arg(n),
            QStringLiteral("LMH %1: R Parametric EQ Unit").arg(n),
            QStringLiteral("LMH %1:  Parametric EQ Gang").arg(n)};
}

struct sBlock
{
    UWORD mStart;
    UWORD mEnd;
    size_t mSize;
};

} // namespace

class tst_cLowMidHigh : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup() { mSystem.reset(); }

    void panel_hasTheTypesBandsAndFilterSlots_data();
    void panel_hasTheTypesBandsAndFilterSlots();
    void threePanels_layNvBlocksAndSaveRecordsInConstructionOrder();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_cLowMidHigh::panel_hasTheTypesBandsAndFilterSlots_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("builtAs");
    QTest::addColumn<int>("bands");
    QTest::addColumn<int>("highPassSections");
    QTest::addColumn<int>("lowPassSections");
    QTest::addColumn<int>("base");
    QTest::newRow("LOW") << 1 << 1 << 2 << 1 << 1 << 0;
    QTest::newRow("MID") << 2 << 2 << 4 << 1 << 1 << 2;
    QTest::newRow("HIGH") << 3 << 3 << 6 << 2 << 0 << 4;
    QTest::newRow("7: reported, built as HIGH") << 7 << 3 << 6 << 2 << 0 << 4;
}

void tst_cLowMidHigh::panel_hasTheTypesBandsAndFilterSlots()
{
    QFETCH(int, type);
    QFETCH(int, builtAs);
    QFETCH(int, bands);
    QFETCH(int, highPassSections);
    QFETCH(int, lowPassSections);
    QFETCH(int, base);

    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cReportCapture capture;
    cListSaveRegistry saves;
    cLowMidHigh panel(type, storage.Get(), &link.Link(), &saves);
    QCOMPARE(capture.Contains("Invalid Low/Mid/High PanelType. Assuming HIGH mode"), type != builtAs);
    QCOMPARE(int(panel.GetType()), builtAs);
    QCOMPARE(saves.Names(), UnitNames(builtAs));
    QCOMPARE(QString(panel.GetGangDriver()->GetName()), UnitNames(builtAs).last());
    QCOMPARE(int(panel.GetLeftEQDriver()->GetNumberOfBands()), bands);
    QCOMPARE(int(panel.GetRightEQDriver()->GetNumberOfBands()), bands);
    QCOMPARE(int(panel.GetLeftEQDriver()->GetUnit()->GetNumberOfParameters()), 5 * bands + 4);
    QCOMPARE(int(panel.GetHPFDriver()->GetNumberOfSections()), highPassSections);
    QCOMPARE(int(panel.GetLPFDriver()->GetNumberOfSections()), lowPassSections);

    // The records sent at construction: every filter of both channels, once each.
    std::set<ULONG> expected;
    for (int channel : {base, base + 1})
    {
        for (int s = 0; s < highPassSections; ++s)
        {
            expected.insert(ULONG((0 + s) << 8 | channel));
        }
        for (int s = 0; s < lowPassSections; ++s)
        {
            expected.insert(ULONG((1 + s) << 8 | channel));
        }
        for (int b = 0; b < bands; ++b)
        {
            expected.insert(ULONG((2 + b) << 8 | channel));
        }
    }
    cMessagePump::Tick(2); // the delays
    QVERIFY(Drain(link));
    link.Tick();
    const QList<ULONG> ids = FilterIds(FilterFrames(link.Device()));
    QCOMPARE(std::set<ULONG>(ids.begin(), ids.end()), expected);
    QCOMPARE(size_t(ids.size()), expected.size());
    // Every slot of both channels, each a record the device has.
    QCOMPARE(int(expected.size()), 2 * (bands + 2));
    std::set<int> indexes;
    for (ULONG id : expected)
    {
        const int index = cSimulatedDeviceModel::FilterIndex(id);
        QVERIFY2(index >= 0, qPrintable(QString::number(id, 16)));
        indexes.insert(index);
    }
    QCOMPARE(indexes.size(), expected.size());
    QCOMPARE(DelayFrames(link.Device()),
             (QList<QPair<ULONG, ULONG>>{{ULONG(base), 0}, {ULONG(base + 1), 0}}));
}

void tst_cLowMidHigh::threePanels_layNvBlocksAndSaveRecordsInConstructionOrder()
{
    cTestStorage storage;
    cListSaveRegistry saves;
    QByteArray saved;
    {
        cLowMidHigh low(LOW, storage.Get(), nullptr, &saves);
        cLowMidHigh mid(MID, storage.Get(), nullptr, &saves);
        cLowMidHigh high(HIGH, storage.Get(), nullptr, &saves);
        QCOMPARE(saves.Names(), UnitNames(1) + UnitNames(2) + UnitNames(3));

        const std::vector<sBlock> blocks = {
            {0x3151, 0x3C5E, 31},  {0x1A99, 0x2233, 31},  {0x66B6, 0x36AA, 9},   {0x4380, 0xFA72, 69},
            {0x4380, 0xFA72, 69},  {0x1100, 0xB350, 5},   {0x3151, 0x3C5E, 31},  {0x1A99, 0x2233, 31},
            {0x66B6, 0x36AA, 9},   {0x4380, 0xFA72, 133}, {0x4380, 0xFA72, 133}, {0x1100, 0xB350, 5},
            {0x3151, 0x3C5E, 51},  {0x1A99, 0x2233, 11},  {0x66B6, 0x36AA, 9},   {0x4380, 0xFA72, 197},
            {0x4380, 0xFA72, 197}, {0x1100, 0xB350, 5}};
        const UBYTE* region = storage.Region();
        size_t offset = 0;
        for (const sBlock& block : blocks)
        {
            QCOMPARE(nKVByteOrder::LoadLittle16(region + offset), block.mStart);
            QCOMPARE(nKVByteOrder::LoadLittle16(region + offset + block.mSize - 2), block.mEnd);
            offset += block.mSize;
        }
        QCOMPARE(qint64(offset), storage.Get()->GetUsedSize());

        SendParameter(*mid.GetHPFDriver()->GetUnit(), cPassFilterUnit::P_FREQUENCY, UWORDPayload(23456));
        SendParameter(*high.GetRightEQDriver()->GetUnit(), cParametricEQUnit::GainParameter(5),
                      UWORDPayload(32768 + 300));
        SendParameter(*low.GetGangDriver(), cParametricEQGangDriver::P_GANG, UBYTEPayload(1));
        saved = saves.SaveAll();
    }
    QVERIFY(saves.Objects().empty());

    // The whole model recalled into a fresh file gives the same records.
    cTestStorage fresh;
    cLowMidHigh low(LOW, fresh.Get(), nullptr, &saves);
    cLowMidHigh mid(MID, fresh.Get(), nullptr, &saves);
    cLowMidHigh high(HIGH, fresh.Get(), nullptr, &saves);
    QVERIFY(saves.SaveAll() != saved);
    QVERIFY(saves.RecallAll(saved));
    QCOMPARE(saves.SaveAll(), saved);
    QCOMPARE(mid.GetHPFDriver()->GetUnit()->GetFrequencyCode(), UWORD(23456));
    QCOMPARE(high.GetRightEQDriver()->GetUnit()->GetBand(5).mGain, SWORD(300));
    QVERIFY(low.GetGangDriver()->GetGang());
}

QTEST_GUILESS_MAIN(tst_cLowMidHigh)
#include "tst_cLowMidHigh.moc"
