#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cHPFUnit.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"
#include "CorvoGUI/Core/Units/cLPFUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

namespace
{

constexpr double kT = 1.0 / 96000.0;
constexpr double kF = 96000.0;
constexpr double kScale = 2.0;

enum eDesigner
{
    SECOND_ORDER,
    FIRST_ORDER,
    FLAT_BELL,
};

// How the slope table designs one section: designer, Q, and the frequency factor (divided for
// the high-pass, multiplied for the low-pass Bessel sections).
struct sSectionDesign
{
    int mDesigner = SECOND_ORDER;
    double mQ = 0.0;
    double mFactor = 1.0;
};

tBiquadWords ExpectedWords(bool highPass, const sSectionDesign& d, double f)
{
    const double design = highPass ? f / d.mFactor : f * d.mFactor;
    sBiquadCoefficients c;
    bool ok = false;
    const double flat = 0.0;
    switch (d.mDesigner)
    {
    case SECOND_ORDER:
        ok = highPass ? BiquadHighPass2(d.mQ, design, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2)
                      : BiquadLowPass2(d.mQ, design, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    case FIRST_ORDER:
        ok = highPass ? BiquadHighPass1(design, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2)
                      : BiquadLowPass1(design, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    default:
        ok = BiquadBell(flat, design, d.mQ, kScale, kT, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    }
    Q_ASSERT(ok);
    return BiquadWordsFromCoefficients(c, 2147483647.0);
}

std::unique_ptr<cPassFilterDriver> MakeFilter(bool highPass, cNonVolatileStorageManager* storage,
                                              cSerialInterface* serial, cSaveObjectRegistry* saves,
                                              UBYTE channel, UBYTE sections)
{
    if (highPass)
    {
        return std::make_unique<cHPFDriver>(channel == 4 ? "LMH 3:  HPF Unit" : "LMH 1:  HPF Unit", storage,
                                            serial, saves, channel, 0, sections, kT, kF);
    }
    return std::make_unique<cLPFDriver>(channel == 4 ? "LMH 3:  LPF Unit" : "LMH 1:  LPF Unit", storage,
                                        serial, saves, channel, 1, sections, kT, kF);
}

QByteArray BypassedRecord(UBYTE channel)
{
    // id, {0x40000000, 0, 0, 0, 0}, frequency 0x5396, width 0, gain 0, type 0, option 0, bypass 1.
    return QByteArray::fromHex(QByteArray::number(channel, 16).rightJustified(2, '0') + "000000"
                                                                                        "00000040"
                                                                                        "00000000"
                                                                                        "00000000"
                                                                                        "00000000"
                                                                                        "00000000"
                                                                                        "9653"
                                                                                        "0000"
                                                                                        "0000"
                                                                                        "00"
                                                                                        "00"
                                                                                        "01");
}

} // namespace

Q_DECLARE_METATYPE(sSectionDesign)

class tst_cPassFilterUnit : public QObject
{
    Q_OBJECT

private slots:
    void design_followsTheSlopeTable_data();
    void design_followsTheSlopeTable();
    void designFrequency_isLimitedBelowNyquist_data();
    void designFrequency_isLimitedBelowNyquist();
    void records_goToBothChannelsWithTheWordsInDeviceOrder();
    void messages_publishOnlyTheBypass();
    void unknownSlope_isRefusedAndTheSectionsKept();
    void slopeMessages_takeOnlyOfferedSlopes_data();
    void slopeMessages_takeOnlyOfferedSlopes();
    void nvBlock_keepsSettingsAndWordsAcrossRemapping();
    void saveRecall_roundTripPublishesWhatChanged();
    void sync_takesTheLeftChannelsFirstRecord_data();
    void sync_takesTheLeftChannelsFirstRecord();
    void noSections_storesAndPublishesButSendsNothing();
};

void tst_cPassFilterUnit::design_followsTheSlopeTable_data()
{
    QTest::addColumn<bool>("highPass");
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("slope");
    QTest::addColumn<int>("taken");
    QTest::addColumn<sSectionDesign>("first");
    QTest::addColumn<sSectionDesign>("second");

    const sSectionDesign butterworth{SECOND_ORDER, 0.707106781187, 1.0};
    const sSectionDesign flat{FLAT_BELL, 0.707106781187, 1.0};
    const sSectionDesign firstOrder{FIRST_ORDER, 0.0, 1.0};
    const sSectionDesign q1{SECOND_ORDER, 1.0, 1.0};
    const sSectionDesign b24a{SECOND_ORDER, 0.541196100146, 1.0};
    const sSectionDesign b24b{SECOND_ORDER, 1.306562964876, 1.0};
    const sSectionDesign besselFirst{FIRST_ORDER, 0.0, 1.32267579991};
    const sSectionDesign besselSecond{SECOND_ORDER, 0.691046625825, 1.44761713315};
    for (bool highPass : {true, false})
    {
        const char* kind = highPass ? "HPF" : "LPF";
        QTest::addRow("%s 12dB, 2 sections: flat second", kind)
            << highPass << 2 << 0 << 0 << butterworth << flat;
        QTest::addRow("%s 18dB, 2 sections", kind) << highPass << 2 << 1 << 1 << firstOrder << q1;
        QTest::addRow("%s 24dB, 2 sections", kind) << highPass << 2 << 2 << 2 << b24a << b24b;
        QTest::addRow("%s Bessel, 2 sections", kind)
            << highPass << 2 << 3 << 3 << besselFirst << besselSecond;
        // One section offers only 12dB Butterworth: another slope is refused.
        QTest::addRow("%s 12dB, 1 section", kind)
            << highPass << 1 << 0 << 0 << butterworth << sSectionDesign{};
        QTest::addRow("%s 24dB asked of 1 section: 12dB stays", kind)
            << highPass << 1 << 2 << 0 << butterworth << sSectionDesign{};
        QTest::addRow("%s Bessel asked of 1 section: 12dB stays", kind)
            << highPass << 1 << 3 << 0 << butterworth << sSectionDesign{};
    }
}

void tst_cPassFilterUnit::design_followsTheSlopeTable()
{
    QFETCH(bool, highPass);
    QFETCH(int, sections);
    QFETCH(int, slope);
    QFETCH(int, taken);
    QFETCH(sSectionDesign, first);
    QFETCH(sSectionDesign, second);

    cScopedKVNetSystem system;
    cTestStorage storage;
    auto driver = MakeFilter(highPass, storage.Get(), nullptr, nullptr, 0, UBYTE(sections));
    cPassFilterUnit& unit = *driver->GetUnit();
    const UWORD code = ConvertFrequencyToUWORD(1000.0);
    SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(UBYTE(slope)));
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(code));

    const double f = ConvertUWORDToFrequency(code);
    QCOMPARE(unit.GetSlopeType(), ULONG(taken));
    QCOMPARE(unit.GetSectionWords(0), ExpectedWords(highPass, first, f));
    if (sections == 2)
    {
        QCOMPARE(unit.GetSectionWords(1), ExpectedWords(highPass, second, f));
    }
}

void tst_cPassFilterUnit::designFrequency_isLimitedBelowNyquist_data()
{
    QTest::addColumn<bool>("highPass");
    QTest::addColumn<int>("slope");
    QTest::addColumn<UWORD>("code");
    QTest::addColumn<sSectionDesign>("second");
    // The highest code is about 76 kHz; the low-pass Bessel section multiplies 35 kHz by 1.45.
    // The second section at 0.45 * 96 kHz. The highest code is about 76 kHz; the low-pass Bessel
    // section multiplies 35 kHz by 1.45.
    QTest::newRow("HPF highest code")
        << true << 0 << UWORD(65535) << sSectionDesign{FLAT_BELL, 0.707106781187, 1.0};
    QTest::newRow("LPF Bessel above the limit") << false << 3 << ConvertFrequencyToUWORD(35000.0)
                                                << sSectionDesign{SECOND_ORDER, 0.691046625825, 1.0};
}

void tst_cPassFilterUnit::designFrequency_isLimitedBelowNyquist()
{
    QFETCH(bool, highPass);
    QFETCH(int, slope);
    QFETCH(UWORD, code);
    QFETCH(sSectionDesign, second);

    cScopedKVNetSystem system;
    cTestStorage storage;
    cReportCapture capture;
    auto driver = MakeFilter(highPass, storage.Get(), nullptr, nullptr, 0, 2);
    cPassFilterUnit& unit = *driver->GetUnit();
    SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(UBYTE(slope)));
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(code));

    QCOMPARE(unit.GetFrequencyCode(), code); // the code stays as received
    QCOMPARE(unit.GetSectionWords(1), ExpectedWords(highPass, second, 43200.0));
    QVERIFY2(!capture.Contains("ERROR"), qPrintable(capture.Lines().join(QString())));
}

void tst_cPassFilterUnit::records_goToBothChannelsWithTheWordsInDeviceOrder()
{
    cScopedKVNetSystem system;
    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());

    // A fresh block: the defaults (bypassed) are sent at construction, for channels 2 and 3.
    auto driver = MakeFilter(true, storage.Get(), &link.Link(), nullptr, 2, 1);
    cPassFilterUnit& unit = *driver->GetUnit();
    QVERIFY(Drain(link));
    QList<sFilterFrame> frames = FilterFrames(link.Device());
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].mPayload, BypassedRecord(2));
    QCOMPARE(frames[1].mPayload, BypassedRecord(3));
    // The designed section stays in the block while bypassed.
    const double f100 = ConvertUWORDToFrequency(cPassFilterUnit::DEFAULT_FREQUENCY_CODE);
    QCOMPARE(unit.GetSectionWords(0), ExpectedWords(true, {SECOND_ORDER, 0.707106781187, 1.0}, f100));

    link.Device().ClearLog();
    SendParameter(unit, cPassFilterUnit::P_BYPASS, UBYTEPayload(0));
    QVERIFY(Drain(link));
    const UWORD code1k = ConvertFrequencyToUWORD(1000.0);
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(code1k));
    QVERIFY(Drain(link));
    frames = FilterFrames(link.Device());
    // The bypass change, then the frequency change; each for the left and the right channel.
    QCOMPARE(FilterIds(frames), (QList<ULONG>{2, 3, 2, 3}));
    const sFilterFrame& last = frames.last();
    QCOMPARE(last.mWords, InDeviceOrder(ExpectedWords(true, {SECOND_ORDER, 0.707106781187, 1.0},
                                                      ConvertUWORDToFrequency(code1k))));
    QCOMPARE(last.mFrequencyCode, code1k);
    QCOMPARE(last.mWidthCode, UWORD(0));
    QCOMPARE(last.mGainCode, UWORD(0));
    QCOMPARE(last.mType, UBYTE(0));
    QCOMPARE(last.mOption, UBYTE(0));
    QCOMPARE(last.mBypass, UBYTE(0));
}

void tst_cPassFilterUnit::messages_publishOnlyTheBypass()
{
    cScopedKVNetSystem system;
    cTestStorage storage;
    auto driver = MakeFilter(false, storage.Get(), nullptr, nullptr, 0, 2);
    cPassFilterUnit& unit = *driver->GetUnit();
    cRecordingNetObject panel("Panel", 3);
    LinkParameters(unit, panel,
                   {cPassFilterUnit::P_BYPASS, cPassFilterUnit::P_FREQUENCY, cPassFilterUnit::P_SLOPE});

    SendParameter(unit, cPassFilterUnit::P_BYPASS, UBYTEPayload(0));
    SendParameter(unit, cPassFilterUnit::P_BYPASS, UBYTEPayload(0)); // unchanged
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(30000));
    SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(2));
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_BYPASS), (QList<QByteArray>{UBYTEPayload(0)}));
    QCOMPARE(panel.Count(cPassFilterUnit::P_FREQUENCY), 0);
    QCOMPARE(panel.Count(cPassFilterUnit::P_SLOPE), 0);
    QCOMPARE(unit.GetFrequencyCode(), UWORD(30000));
    QCOMPARE(unit.GetSlopeType(), ULONG(2));
}

void tst_cPassFilterUnit::unknownSlope_isRefusedAndTheSectionsKept()
{
    cScopedKVNetSystem system;
    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());
    auto driver = MakeFilter(true, storage.Get(), &link.Link(), nullptr, 0, 2);
    cPassFilterUnit& unit = *driver->GetUnit();
    QVERIFY(Drain(link));
    const tBiquadWords before = unit.GetSectionWords(1);
    link.Device().ClearLog();

    cReportCapture capture;
    SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(4));
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, QByteArray(1, 0)); // too short
    QVERIFY(capture.Contains("unknown slope type 4 refused"));
    QVERIFY(capture.Contains("needs 2 bytes"));
    QCOMPARE(unit.GetSlopeType(), ULONG(0));
    QCOMPARE(unit.GetFrequencyCode(), cPassFilterUnit::DEFAULT_FREQUENCY_CODE);
    QCOMPARE(unit.GetSectionWords(1), before);
    QCOMPARE(link.Link().QueuedRecords(), size_t(0));
}

void tst_cPassFilterUnit::slopeMessages_takeOnlyOfferedSlopes_data()
{
    QTest::addColumn<bool>("highPass");
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("slope");
    QTest::addColumn<bool>("taken");
    for (int sections : {0, 1, 2})
    {
        for (int slope = nPEQ::HPF_BUTTERWORTH_18_DB; slope <= nPEQ::HPF_BESSEL_18_DB; ++slope)
        {
            for (bool highPass : {true, false})
            {
                QTest::addRow("%s, %d sections, slope %d", highPass ? "HPF" : "LPF", sections, slope)
                    << highPass << sections << slope << (sections == 2);
            }
        }
    }
}

// A slope message takes only a slope the filter offers, as the sync does: with fewer than two sections
// only 12dB Butterworth; another is refused, reported, and nothing changes, is published or sent.
void tst_cPassFilterUnit::slopeMessages_takeOnlyOfferedSlopes()
{
    QFETCH(bool, highPass);
    QFETCH(int, sections);
    QFETCH(int, slope);
    QFETCH(bool, taken);

    cScopedKVNetSystem system;
    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());
    auto driver = MakeFilter(highPass, storage.Get(), &link.Link(), nullptr, 0, UBYTE(sections));
    cPassFilterUnit& unit = *driver->GetUnit();
    QVERIFY(Drain(link));
    link.Device().ClearLog();
    const tBiquadWords words = unit.GetSectionWords(0);

    cReportCapture capture;
    SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(UBYTE(slope)));
    QVERIFY(Drain(link));
    QCOMPARE(unit.GetSlopeType(), ULONG(taken ? slope : 0));
    QCOMPARE(FilterFrames(link.Device()).size(), taken ? 2 * sections : 0);
    if (taken)
    {
        QVERIFY2(!capture.Contains("ERROR"), qPrintable(capture.Lines().join(QString())));
        return;
    }
    QCOMPARE(unit.GetSectionWords(0), words);
    QCOMPARE(capture.Count("ERROR"), 1);
    QVERIFY2(
        capture.Contains(QStringLiteral("LMH 1:  %1 Unit: slope type %2 refused: this filter offers only "
                                        "12dB Butterworth")
                             .arg(highPass ? "HPF" : "LPF")
                             .arg(slope)),
        qPrintable(capture.Lines().join(QString())));
}

void tst_cPassFilterUnit::nvBlock_keepsSettingsAndWordsAcrossRemapping()
{
    cScopedKVNetSystem system;
    cTestStorage storage;
    tBiquadWords first;
    tBiquadWords second;
    {
        auto driver = MakeFilter(true, storage.Get(), nullptr, nullptr, 4, 2);
        cPassFilterUnit& unit = *driver->GetUnit();
        QVERIFY(!unit.GetBlock().HasValidMarkers());
        QCOMPARE(unit.GetFrequencyCode(), UWORD(0x5396));
        QCOMPARE(unit.GetSlopeType(), ULONG(0));
        QVERIFY(unit.GetBypass());
        SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(40000));
        SendParameter(unit, cPassFilterUnit::P_SLOPE, UBYTEPayload(3));
        SendParameter(unit, cPassFilterUnit::P_BYPASS, UBYTEPayload(0));
        first = unit.GetSectionWords(0);
        second = unit.GetSectionWords(1);
    }
    storage.Map();
    auto driver = MakeFilter(true, storage.Get(), nullptr, nullptr, 4, 2);
    const cPassFilterUnit& unit = *driver->GetUnit();
    QVERIFY(unit.GetBlock().HasValidMarkers());
    QCOMPARE(unit.GetFrequencyCode(), UWORD(40000));
    QCOMPARE(unit.GetSlopeType(), ULONG(3));
    QVERIFY(!unit.GetBypass());
    QVERIFY(!driver->GetBypass());
    QCOMPARE(unit.GetSectionWords(0), first);
    QCOMPARE(unit.GetSectionWords(1), second);
    // Markers and fields, packed: start, frequency, slope, bypass, 2 x 20 word bytes, end.
    const UBYTE* block = unit.GetBlock().GetBlockAddress();
    QCOMPARE(unit.GetBlock().GetBlockSize(), size_t(2 + 2 + 4 + 1 + 40 + 2));
    QCOMPARE(nKVByteOrder::LoadLittle16(block), UWORD(0x3151));
    QCOMPARE(nKVByteOrder::LoadLittle16(block + 2), UWORD(40000));
    QCOMPARE(nKVByteOrder::LoadLittle32(block + 4), ULONG(3));
    QCOMPARE(nKVByteOrder::LoadLittle32(block + 9), ULONG(first[0]));
    QCOMPARE(nKVByteOrder::LoadLittle16(block + 49), UWORD(0x3C5E));
}

void tst_cPassFilterUnit::saveRecall_roundTripPublishesWhatChanged()
{
    cScopedKVNetSystem system;
    cTestStorage sourceStorage;
    cTestStorage targetStorage;
    cListSaveRegistry sourceSaves;
    cListSaveRegistry targetSaves;
    auto source = MakeFilter(false, sourceStorage.Get(), nullptr, &sourceSaves, 0, 2);
    SendParameter(*source->GetUnit(), cPassFilterUnit::P_FREQUENCY, UWORDPayload(50000));
    SendParameter(*source->GetUnit(), cPassFilterUnit::P_SLOPE, UBYTEPayload(3));
    SendParameter(*source->GetUnit(), cPassFilterUnit::P_BYPASS, UBYTEPayload(0));
    const QByteArray record = sourceSaves.SaveAll();
    QCOMPARE(record.size(), 2 + 4 + 1);

    // The target takes the same name, so the source goes first.
    source.reset();
    auto target = MakeFilter(false, targetStorage.Get(), nullptr, &targetSaves, 0, 2);
    cPassFilterUnit& unit = *target->GetUnit();
    cRecordingNetObject panel("Panel", 3);
    LinkParameters(unit, panel,
                   {cPassFilterUnit::P_BYPASS, cPassFilterUnit::P_FREQUENCY, cPassFilterUnit::P_SLOPE});

    QVERIFY(!targetSaves.RecallAll(record.left(5))); // cut: nothing changes
    cMessagePump::Pump();
    QCOMPARE(unit.GetFrequencyCode(), UWORD(0x5396));
    QCOMPARE(panel.Received().size(), size_t(0));

    QVERIFY(targetSaves.RecallAll(record));
    cMessagePump::Pump();
    QCOMPARE(unit.GetFrequencyCode(), UWORD(50000));
    QCOMPARE(unit.GetSlopeType(), ULONG(3));
    QVERIFY(!unit.GetBypass());
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_FREQUENCY), (QList<QByteArray>{UWORDPayload(50000)}));
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_SLOPE), (QList<QByteArray>{UBYTEPayload(3)}));
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_BYPASS), (QList<QByteArray>{UBYTEPayload(0)}));
    QCOMPARE(targetSaves.SaveAll(), record);

    panel.ClearRecords();
    QVERIFY(targetSaves.RecallAll(record)); // the same values again: nothing published
    cMessagePump::Pump();
    QCOMPARE(panel.Received().size(), size_t(0));
}

void tst_cPassFilterUnit::sync_takesTheLeftChannelsFirstRecord_data()
{
    QTest::addColumn<bool>("highPass");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("index");
    QTest::newRow("LOW high-pass") << true << 0 << 0;
    QTest::newRow("LOW low-pass") << false << 0 << 1;
    QTest::newRow("MID high-pass") << true << 2 << 8;
    QTest::newRow("MID low-pass") << false << 2 << 9;
    QTest::newRow("HIGH high-pass") << true << 4 << 20;
}

void tst_cPassFilterUnit::sync_takesTheLeftChannelsFirstRecord()
{
    QFETCH(bool, highPass);
    QFETCH(int, channel);
    QFETCH(int, index);

    cScopedKVNetSystem system;
    cTestStorage storage;
    cSerialTestLink link;
    // Two sections: every slope type is offered (the device's type 2 is taken).
    auto driver = MakeFilter(highPass, storage.Get(), &link.Link(), nullptr, UBYTE(channel), 2);
    cPassFilterUnit& unit = *driver->GetUnit();
    cRecordingNetObject panel("Panel", 3);
    LinkParameters(unit, panel,
                   {cPassFilterUnit::P_BYPASS, cPassFilterUnit::P_FREQUENCY, cPassFilterUnit::P_SLOPE});
    QCOMPARE(unit.SyncData(), SYNC_SKIPPED); // no filter table yet

    auto& filters = link.Device().Model().mFilters;
    for (auto& record : filters)
    {
        record.mFrequencyCode = 1111; // every other record: must not be taken
        record.mFilterType = 1;
    }
    filters[size_t(index)].mFrequencyCode = 33333;
    filters[size_t(index)].mFilterType = 2;
    filters[size_t(index)].mBypass = 0;
    QVERIFY(link.Connect());

    QCOMPARE(unit.SyncData(), SYNC_DONE);
    cMessagePump::Pump();
    QCOMPARE(unit.GetFrequencyCode(), UWORD(33333));
    QCOMPARE(unit.GetSlopeType(), ULONG(2));
    QVERIFY(!unit.GetBypass());
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_FREQUENCY), (QList<QByteArray>{UWORDPayload(33333)}));
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_SLOPE), (QList<QByteArray>{UBYTEPayload(2)}));
    QCOMPARE(Payloads(panel, cPassFilterUnit::P_BYPASS), (QList<QByteArray>{UBYTEPayload(0)}));
    QCOMPARE(unit.GetSectionWords(0),
             ExpectedWords(highPass, {SECOND_ORDER, 0.541196100146, 1.0}, ConvertUWORDToFrequency(33333)));
}

void tst_cPassFilterUnit::noSections_storesAndPublishesButSendsNothing()
{
    cScopedKVNetSystem system;
    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cListSaveRegistry saves;
    auto driver = MakeFilter(false, storage.Get(), &link.Link(), &saves, 4, 0);
    cPassFilterUnit& unit = *driver->GetUnit();
    cRecordingNetObject panel("Panel", 3);
    LinkParameters(unit, panel, {cPassFilterUnit::P_BYPASS});
    SendParameter(unit, cPassFilterUnit::P_BYPASS, UBYTEPayload(0));
    SendParameter(unit, cPassFilterUnit::P_FREQUENCY, UWORDPayload(20000));
    link.Ticks(3);

    QCOMPARE(FilterFrames(link.Device()).size(), 0);
    QCOMPARE(panel.Count(cPassFilterUnit::P_BYPASS), 1);
    QCOMPARE(unit.GetBlock().GetBlockSize(), size_t(11));
    QCOMPARE(unit.SyncData(), SYNC_DONE);
    QCOMPARE(unit.GetFrequencyCode(), UWORD(20000));
    QCOMPARE(saves.SaveAll().size(), 7);
}

QTEST_GUILESS_MAIN(tst_cPassFilterUnit)
#include "tst_cPassFilterUnit.moc"
