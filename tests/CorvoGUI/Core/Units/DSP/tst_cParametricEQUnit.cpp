#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Units/ParametricEQTables.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

namespace
{

constexpr double kT = 1.0 / 96000.0;
constexpr double kF = 96000.0;
constexpr double kScale = 8.0;

using P = cParametricEQUnit;

std::unique_ptr<cParametricEQDriver> MakeEQ(cNonVolatileStorageManager* storage, cSerialInterface* serial,
                                            cSaveObjectRegistry* saves, UBYTE bands = 4, UBYTE channel = 2,
                                            UBYTE side = 0)
{
    return std::make_unique<cParametricEQDriver>(
        side == 0 ? "LMH 2: L Parametric EQ Unit" : "LMH 2: R Parametric EQ Unit", storage, serial, saves,
        bands, kScale, kT, kF, 2147483647.0, side, channel, 2);
}

UWORD GainCode(double dB)
{
    return UWORD(32768 + int(dB * 256));
}

enum eDesigner
{
    BELL,
    BELL_SYMMETRIC,
    LOW_SHELF,
    HIGH_SHELF,
    LOW_PASS,
    HIGH_PASS,
};

tBiquadWords Expected(int designer, double G, double f, double Q)
{
    sBiquadCoefficients c;
    const double pass = 0.707106781187;
    bool ok = false;
    switch (designer)
    {
    case BELL:
        ok = BiquadBell(G, f, Q, kScale, kT, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    case BELL_SYMMETRIC:
        ok = BiquadBellSymmetric(G, f, Q, kScale, kT, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    case LOW_SHELF:
        ok = BiquadLowShelf1(G, f, kScale, kT, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    case HIGH_SHELF:
        ok = BiquadHighShelf1(G, f, kScale, kT, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    case LOW_PASS:
        ok = BiquadLowPass2(pass, f, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    default:
        ok = BiquadHighPass2(pass, f, kScale, kT, kF, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
        break;
    }
    Q_ASSERT(ok);
    return BiquadWordsFromCoefficients(c, 2147483647.0);
}

// Sets a band by messages: its type by 4097 (band 0) or 4098 (the last band).
void SetBand(P& unit, UBYTE band, int type, UWORD frequency, UWORD width, UWORD gain)
{
    SendParameter(unit, band == 0 ? P::P_FIRST_TYPE : P::P_LAST_TYPE, UBYTEPayload(UBYTE(type)));
    SendParameter(unit, P::FrequencyParameter(band), UWORDPayload(frequency));
    SendParameter(unit, P::WidthParameter(band), UWORDPayload(width));
    SendParameter(unit, P::GainParameter(band), UWORDPayload(gain));
}

void SetBand0(P& unit, int type, UWORD frequency, UWORD width, UWORD gain)
{
    SetBand(unit, 0, type, frequency, width, gain);
}

// The words the unit designs for a type at the given settings (scale 8.0), whether a band offers it
// or not.
tBiquadWords Designed(const P& unit, int type, int option, double gainDb, UWORD frequency, UWORD width)
{
    sBiquadCoefficients c;
    if (!unit.CalculateCoeffs(nPEQ::eParametricEQType(type), UBYTE(option), gainDb,
                              ConvertUWORDToFrequency(frequency), nParametricEQTables::QFromWidthCode(width),
                              c.mB0, c.mB1, c.mB2, c.mA1, c.mA2, kScale))
    {
        return tBiquadWords{};
    }
    return BiquadWordsFromCoefficients(c, 2147483647.0);
}

QByteArray Record(P& unit)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    unit.SaveData(&stream);
    return bytes;
}

bool RecallIsWhole(P& unit, const QByteArray& record)
{
    QDataStream stream(record);
    return unit.RecallData(&stream) && stream.atEnd();
}

} // namespace

class tst_cParametricEQUnit : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup() { mSystem.reset(); }

    void design_choosesTheDesignerOfTheBandType_data();
    void design_choosesTheDesignerOfTheBandType();
    void bypass_designsFlatAndSendsUnityWhileTheDesignsStay();
    void records_carryTheBandInDeviceOrderAndTheGangBit();
    void messages_arePublishedEvenUnchangedButSentOnlyOnChange();
    void syncUp_answersEveryParameter();
    void badTypes_keepTheOldTypeAndCoefficients();
    void typeMessages_takeOnlyWhatTheBandsSwitchOffers_data();
    void typeMessages_takeOnlyWhatTheBandsSwitchOffers();
    void defaults_andNvBlockAcrossRemapping();
    void recall_sendsEveryBandFromTheFirstChangeOn();
    void sync_takesTheChannelsRecordsAsTheWindowShowsThem_data();
    void sync_takesTheChannelsRecordsAsTheWindowShowsThem();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_cParametricEQUnit::design_choosesTheDesignerOfTheBandType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("option");
    QTest::addColumn<double>("gainDb");
    QTest::addColumn<UWORD>("width");
    QTest::addColumn<UWORD>("frequency");
    QTest::addColumn<int>("designer");
    QTest::addColumn<double>("designGain");
    QTest::addColumn<double>("designFrequency"); // <= 0: the band's frequency
    QTest::addColumn<double>("designQ");

    const UWORD f1k = ConvertFrequencyToUWORD(1000.0);
    QTest::newRow("BELL") << 0 << 0 << 6.0 << UWORD(0x0B00) << f1k << int(BELL) << 6.0 << 0.0 << 0.707;
    QTest::newRow("BELL option 1: symmetric")
        << 0 << 1 << -6.0 << UWORD(0x0B00) << f1k << int(BELL_SYMMETRIC) << -6.0 << 0.0 << 0.707;
    QTest::newRow("width 0x2F00 uses the last Q")
        << 0 << 0 << 3.0 << UWORD(0x2F00) << f1k << int(BELL) << 3.0 << 0.0 << 34.623;
    QTest::newRow("LFSHELF") << 1 << 0 << 4.5 << UWORD(0) << f1k << int(LOW_SHELF) << 4.5 << 0.0 << 0.0;
    QTest::newRow("HFSHELF") << 2 << 0 << -3.0 << UWORD(0) << f1k << int(HIGH_SHELF) << -3.0 << 0.0 << 0.0;
    QTest::newRow("LPASS at 20 Hz is designed at 40 Hz")
        << 3 << 0 << 0.0 << UWORD(0) << ConvertFrequencyToUWORD(20.0) << int(LOW_PASS) << 0.0 << 40.0 << 0.0;
    QTest::newRow("HPASS") << 4 << 0 << 0.0 << UWORD(0) << f1k << int(HIGH_PASS) << 0.0 << 0.0 << 0.0;
    QTest::newRow("LOW_CONTOUR: -9 dB low shelf")
        << 6 << 0 << 5.0 << UWORD(0) << f1k << int(LOW_SHELF) << -9.0 << 0.0 << 0.0;
    QTest::newRow("HIGH_CONTOUR: -9 dB high shelf")
        << 7 << 0 << 5.0 << UWORD(0) << f1k << int(HIGH_SHELF) << -9.0 << 0.0 << 0.0;
    QTest::newRow("highest code: designed at 0.45 * 96 kHz")
        << 0 << 0 << 6.0 << UWORD(0x0B00) << UWORD(65535) << int(BELL) << 6.0 << 43200.0 << 0.707;
    QTest::newRow("HPASS at the highest code")
        << 4 << 0 << 0.0 << UWORD(0) << UWORD(65535) << int(HIGH_PASS) << 0.0 << 43200.0 << 0.0;
}

void tst_cParametricEQUnit::design_choosesTheDesignerOfTheBandType()
{
    QFETCH(int, type);
    QFETCH(int, option);
    QFETCH(double, gainDb);
    QFETCH(UWORD, width);
    QFETCH(UWORD, frequency);
    QFETCH(int, designer);
    QFETCH(double, designGain);
    QFETCH(double, designFrequency);
    QFETCH(double, designQ);

    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), nullptr, nullptr);
    P& unit = *driver->GetUnit();
    const double f = designFrequency > 0.0 ? designFrequency : ConvertUWORDToFrequency(frequency);
    const tBiquadWords expected = Expected(designer, designGain, f, designQ);
    cReportCapture capture;
    QCOMPARE(Designed(unit, type, option, gainDb, frequency, width), expected);
    // A band whose switch offers the type (bell and low shelf on the first, high shelf on the last)
    // is designed so; no band offers the others.
    const UBYTE band = unit.OffersType(0, ULONG(type)) ? 0 : 3;
    if (unit.OffersType(band, ULONG(type)))
    {
        unit.SetBandOption(band, UBYTE(option));
        SetBand(unit, band, type, frequency, width, GainCode(gainDb));
        QCOMPARE(unit.GetBand(band).mType, ULONG(type));
        QCOMPARE(unit.GetBandWords(band), expected);
    }
    QVERIFY2(!capture.Contains("ERROR"), qPrintable(capture.Lines().join(QString())));
}

void tst_cParametricEQUnit::bypass_designsFlatAndSendsUnityWhileTheDesignsStay()
{
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), &link.Link(), nullptr);
    P& unit = *driver->GetUnit();
    const UWORD f = ConvertFrequencyToUWORD(2000.0);
    SetBand0(unit, 0, f, 0x0B00, GainCode(6.0));
    SendParameter(unit, P::P_LAST_TYPE, UBYTEPayload(2)); // band 3 HFSHELF
    const double hz = ConvertUWORDToFrequency(f);
    QCOMPARE(unit.GetBandWords(0), Expected(BELL, 6.0, hz, 0.707));

    // A band has no bypass switch: its bypass is refused, the band keeps its design.
    cReportCapture capture;
    SendParameter(unit, P::BandBypassParameter(0), UBYTEPayload(1));
    QVERIFY(capture.Contains(
        "LMH 2: L Parametric EQ Unit: band 0, bypass refused: the band has no bypass switch"));
    QVERIFY(!unit.GetBand(0).mBypass);
    QCOMPARE(unit.GetBandWords(0), Expected(BELL, 6.0, hz, 0.707));
    SendParameter(unit, P::BandBypassParameter(0), UBYTEPayload(0));

    QVERIFY(Drain(link));
    link.Device().ClearLog();
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
    QVERIFY(driver->GetUnitBypass());
    QCOMPARE(unit.GetBandWords(0), Expected(BELL, 0.0, hz, 0.707));
    const double band3 = ConvertUWORDToFrequency(unit.GetBand(3).mFrequencyCode);
    QCOMPARE(unit.GetBandWords(3), Expected(HIGH_SHELF, 0.0, band3, 0.0));
    // The flat section of a pass, notch or contour type is a bell with Q 2.41.
    sBiquadCoefficients flat;
    QVERIFY(unit.CalculateFlatResponseCoeffs(nPEQ::HPASS, band3, 0.707, flat.mB0, flat.mB1, flat.mB2,
                                             flat.mA1, flat.mA2, kScale));
    QCOMPARE(BiquadWordsFromCoefficients(flat, 2147483647.0), Expected(BELL, 0.0, band3, 2.41));
    QVERIFY(Drain(link));
    QList<sFilterFrame> frames = FilterFrames(link.Device());
    QCOMPARE(FilterIds(frames), (QList<ULONG>{0x0202, 0x0302, 0x0402, 0x0502}));
    for (const sFilterFrame& frame : frames)
    {
        QCOMPARE(frame.mWords, (tBiquadWords{0x10000000, 0, 0, 0, 0}));
    }

    link.Device().ClearLog();
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(0));
    QVERIFY(Drain(link));
    frames = FilterFrames(link.Device());
    QCOMPARE(frames.size(), 4);
    QCOMPARE(frames[0].mWords, InDeviceOrder(Expected(BELL, 6.0, hz, 0.707)));
    QCOMPARE(unit.GetBandWords(0), Expected(BELL, 6.0, hz, 0.707));
}

void tst_cParametricEQUnit::records_carryTheBandInDeviceOrderAndTheGangBit()
{
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), &link.Link(), nullptr, 6, 5, 1); // HIGH right
    P& unit = *driver->GetUnit();
    QVERIFY(Drain(link));
    QCOMPARE(FilterIds(FilterFrames(link.Device())),
             (QList<ULONG>{0x0205, 0x0305, 0x0405, 0x0505, 0x0605, 0x0705}));

    link.Device().ClearLog();
    driver->SetGang(true); // sends every band again with the gang bit
    QVERIFY(Drain(link));
    QList<sFilterFrame> frames = FilterFrames(link.Device());
    QCOMPARE(frames.size(), 6);
    for (const sFilterFrame& frame : frames)
    {
        QCOMPARE(frame.mBypass, UBYTE(0x80));
    }

    link.Device().ClearLog();
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
    QVERIFY(Drain(link));
    SendParameter(unit, P::WidthParameter(0), UWORDPayload(0x0C00));
    QVERIFY(Drain(link));
    link.Device().ClearLog();
    SendParameter(unit, P::WidthParameter(0), UWORDPayload(0x0D00));
    QVERIFY(Drain(link));
    frames = FilterFrames(link.Device());
    QCOMPARE(frames.size(), 1);
    // Band 0 of channel 5 at slot 2: unity word 0x10000000, frequency (10699 + 30615) / 2 = 20657,
    // width 0x0D00, gain 0, BELL, option 0, the gang bit.
    QCOMPARE(frames.last().mPayload, QByteArray::fromHex("05020000"
                                                         "00000010"
                                                         "00000000"
                                                         "00000000"
                                                         "00000000"
                                                         "00000000"
                                                         "b150"
                                                         "000d"
                                                         "0000"
                                                         "00"
                                                         "00"
                                                         "80"));
    // A band's own bypass (the earlier version's, from the device) goes in bit 0 beside the gang bit.
    sParametricEQBand bypassed = unit.GetBand(0);
    bypassed.mBypass = true;
    QCOMPARE(int(driver->SentRecord(bypassed).mBypass), 0x81);

    link.Device().ClearLog();
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(0));
    SendParameter(unit, P::BandBypassParameter(5), UBYTEPayload(0));
    SendParameter(unit, P::P_LAST_TYPE, UBYTEPayload(2));
    SendParameter(unit, P::GainParameter(5), UWORDPayload(GainCode(-4.5)));
    unit.SetBandOption(5, 3);
    QVERIFY(Drain(link));
    const sFilterFrame band5 = FilterFrames(link.Device()).last();
    const sParametricEQBand settings = unit.GetBand(5);
    QCOMPARE(band5.mId, ULONG(0x0705));
    QCOMPARE(band5.mWords,
             InDeviceOrder(Expected(HIGH_SHELF, -4.5, ConvertUWORDToFrequency(settings.mFrequencyCode), 0)));
    QCOMPARE(band5.mFrequencyCode, settings.mFrequencyCode);
    QCOMPARE(band5.mWidthCode, UWORD(0x0D00));
    QCOMPARE(band5.mGainCode, UWORD(SWORD(-4.5 * 256)));
    QCOMPARE(band5.mType, UBYTE(2));
    QCOMPARE(band5.mOption, UBYTE(3));
    QCOMPARE(band5.mBypass, UBYTE(0x80));
}

void tst_cParametricEQUnit::messages_arePublishedEvenUnchangedButSentOnlyOnChange()
{
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), &link.Link(), nullptr);
    P& unit = *driver->GetUnit();
    QVERIFY(Drain(link));
    cRecordingNetObject graph("Graph", 24);
    LinkParameters(unit, graph, {P::GainParameter(1), P::RangeParameter(1), P::P_BYPASS});

    SendParameter(unit, P::GainParameter(1), UWORDPayload(GainCode(0.0)));
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(0));
    SendParameter(unit, P::RangeParameter(1), QByteArray::fromHex("0001000200"));
    QCOMPARE(graph.Count(P::GainParameter(1)), 1);
    QCOMPARE(graph.Count(P::P_BYPASS), 1);
    QCOMPARE(graph.Count(P::RangeParameter(1)), 0);
    QCOMPARE(link.Link().QueuedRecords(), size_t(0));

    SendParameter(unit, P::GainParameter(1), UWORDPayload(GainCode(2.0)));
    QCOMPARE(graph.Count(P::GainParameter(1)), 2);
    QCOMPARE(link.Link().QueuedRecords(), size_t(1));
    QCOMPARE(unit.GetBand(1).mGain, SWORD(512));
}

void tst_cParametricEQUnit::syncUp_answersEveryParameter()
{
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), nullptr, nullptr, 2, 0, 0);
    P& unit = *driver->GetUnit();
    SendParameter(unit, P::P_LAST_TYPE, UBYTEPayload(2));
    SendParameter(unit, P::GainParameter(1), UWORDPayload(GainCode(-1.0)));
    SendParameter(unit, P::BandBypassParameter(1), UBYTEPayload(1)); // refused: no band is bypassed
    QCOMPARE(unit.GetNumberOfParameters(), KV_NET_DATA_SCALE(14));

    cRecordingNetObject back("Back end", 1);
    const QList<QPair<KV_NET_DATA_SCALE, QByteArray>> answers = {
        {P::P_BYPASS, UBYTEPayload(0)},
        {P::P_FIRST_TYPE, UBYTEPayload(0)},
        {P::P_LAST_TYPE, UBYTEPayload(2)},
        {P::RangeParameter(1), QByteArray::fromHex("29cbdd2e00")},
        {P::FrequencyParameter(1), UWORDPayload((22611 + 56622) / 2)},
        {P::WidthParameter(1), UWORDPayload(0x0D00)},
        {P::GainParameter(1), UWORDPayload(GainCode(-1.0))},
        {P::BandBypassParameter(1), UBYTEPayload(0)},
    };
    for (const auto& answer : answers)
    {
        unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, back.GetHandle(), answer.first, answer.first, 0,
                                   1, false);
    }
    cMessagePump::Pump();
    for (const auto& answer : answers)
    {
        QCOMPARE(Payloads(back, answer.first), QList<QByteArray>{answer.second});
    }
}

void tst_cParametricEQUnit::badTypes_keepTheOldTypeAndCoefficients()
{
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), nullptr, nullptr);
    P& unit = *driver->GetUnit();
    cRecordingNetObject graph("Graph", 24);
    LinkParameters(unit, graph, {P::P_FIRST_TYPE});
    SetBand0(unit, 0, ConvertFrequencyToUWORD(500.0), 0x1000, GainCode(3.0));
    const tBiquadWords designed = unit.GetBandWords(0);
    graph.ClearRecords();

    cReportCapture capture;
    SendParameter(unit, P::P_FIRST_TYPE, UBYTEPayload(8));
    QVERIFY(capture.Contains("unknown band type 8 refused"));
    QCOMPARE(unit.GetBand(0).mType, ULONG(0));
    QCOMPARE(graph.Count(P::P_FIRST_TYPE), 0);

    // NOTCH is a type, but has no design (reported, the outputs unchanged).
    sBiquadCoefficients c{1.0, 2.0, 3.0, 4.0, 5.0};
    QVERIFY(
        !unit.CalculateCoeffs(nPEQ::NOTCH, 0, 0.0, 1000.0, 1.0, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2, kScale));
    QVERIFY(capture.Contains("NYI - Notch"));
    QCOMPARE(c.mB0, 1.0);
    QCOMPARE(c.mA2, 5.0);

    // A record with an unknown type is refused whole: nothing of it is taken.
    QByteArray record = Record(unit);
    QDataStream patch(&record, QIODevice::ReadWrite);
    patch.device()->seek(1 + 4);
    patch << qint16(0x1234) << qint32(77);
    QVERIFY(!RecallIsWhole(unit, record));
    QVERIFY(capture.Contains("holds band type 77, out of its range"));
    QCOMPARE(unit.GetBand(0).mType, ULONG(0));
    QCOMPARE(unit.GetBandWords(0), designed);
    QVERIFY(unit.GetBand(0).mGain != 0x1234);
}

void tst_cParametricEQUnit::typeMessages_takeOnlyWhatTheBandsSwitchOffers_data()
{
    QTest::addColumn<int>("bands");
    QTest::addColumn<bool>("last"); // 4098, the last band's type; else 4097, band 0's
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("taken");

    // The first band's switch offers bell and low shelf, the last band's bell and high shelf; a
    // single band is both.
    const auto row = [](int bands, bool last, int type, bool taken)
    {
        QTest::addRow("%d bands, %s band, type %d", bands, last ? "last" : "first", type)
            << bands << last << type << taken;
    };
    for (int type = nPEQ::BELL; type <= nPEQ::HIGH_CONTOUR; ++type)
    {
        row(4, false, type, type == nPEQ::BELL || type == nPEQ::LFSHELF);
        row(4, true, type, type == nPEQ::BELL || type == nPEQ::HFSHELF);
    }
    row(2, true, nPEQ::HIGH_CONTOUR, false);
    row(6, false, nPEQ::NOTCH, false);
    row(1, false, nPEQ::HFSHELF, true);
    row(1, true, nPEQ::LFSHELF, true);
    row(1, true, nPEQ::LPASS, false);
}

// A type message takes only a type the band's switch offers, as the sync does: another is refused,
// reported, and the band keeps its type and design; nothing is published or sent.
void tst_cParametricEQUnit::typeMessages_takeOnlyWhatTheBandsSwitchOffers()
{
    QFETCH(int, bands);
    QFETCH(bool, last);
    QFETCH(int, type);
    QFETCH(bool, taken);

    cSerialTestLink link;
    QVERIFY(link.Connect());
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), &link.Link(), nullptr, UBYTE(bands));
    P& unit = *driver->GetUnit();
    const UBYTE band = last ? UBYTE(bands - 1) : 0;
    const KV_NET_DATA_SCALE parameter = last ? P::P_LAST_TYPE : P::P_FIRST_TYPE;
    SendParameter(unit, P::GainParameter(band), UWORDPayload(GainCode(4.0)));
    QVERIFY(Drain(link));
    link.Device().ClearLog();
    const tBiquadWords words = unit.GetBandWords(band);
    cRecordingNetObject window("Window", 4);
    LinkParameters(unit, window, {parameter});
    window.ClearRecords();

    cReportCapture capture;
    SendParameter(unit, parameter, UBYTEPayload(UBYTE(type)));
    QVERIFY(Drain(link));
    if (taken)
    {
        QCOMPARE(unit.GetBand(band).mType, ULONG(type));
        QCOMPARE(Payloads(window, parameter), QList<QByteArray>{UBYTEPayload(UBYTE(type))});
        QCOMPARE(FilterFrames(link.Device()).size(), type == nPEQ::BELL ? 0 : 1);
        QVERIFY2(!capture.Contains("ERROR"), qPrintable(capture.Lines().join(QString())));
        return;
    }
    QCOMPARE(unit.GetBand(band).mType, ULONG(nPEQ::BELL));
    QCOMPARE(unit.GetBandWords(band), words);
    QCOMPARE(window.Count(parameter), 0);
    QCOMPARE(FilterFrames(link.Device()).size(), 0);
    QCOMPARE(capture.Count("ERROR"), 1);
    QVERIFY2(
        capture.Contains(QStringLiteral("LMH 2: L Parametric EQ Unit: band %1, type %2 refused: the band's "
                                        "switch offers no such type")
                             .arg(band)
                             .arg(type)),
        qPrintable(capture.Lines().join(QString())));
}

void tst_cParametricEQUnit::defaults_andNvBlockAcrossRemapping()
{
    cTestStorage storage;
    QByteArray saved;
    {
        auto driver = MakeEQ(storage.Get(), nullptr, nullptr, 4);
        P& unit = *driver->GetUnit();
        QVERIFY(!unit.GetBlock().HasValidMarkers());
        QCOMPARE(unit.GetBlock().GetBlockSize(), size_t(5 + 32 * 4));
        const QList<UWORD> middles = {18353, 25563, 39752, 48968};
        for (UBYTE band = 0; band < 4; ++band)
        {
            const sParametricEQBand b = unit.GetBand(band);
            QCOMPARE(b.mFrequencyCode, middles[band]);
            QCOMPARE(b.mWidthCode, UWORD(0x0D00));
            QCOMPARE(b.mGain, SWORD(0));
            QCOMPARE(b.mType, ULONG(0));
            QVERIFY(!b.mBypass);
            QCOMPARE(unit.GetBandWords(band),
                     Expected(BELL, 0.0, ConvertUWORDToFrequency(middles[band]), 2.41));
        }
        SetBand0(unit, 1, 30000, 0x1200, GainCode(-2.0));
        SendParameter(unit, P::GainParameter(3), UWORDPayload(GainCode(1.5)));
        SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
        unit.SetBandOption(2, 1);
        saved = Record(unit);
    }
    storage.Map();
    auto driver = MakeEQ(storage.Get(), nullptr, nullptr, 4);
    P& unit = *driver->GetUnit();
    QVERIFY(unit.GetBlock().HasValidMarkers());
    QVERIFY(driver->GetUnitBypass());
    QCOMPARE(Record(unit), saved);
    const UBYTE* block = unit.GetBlock().GetBlockAddress();
    QCOMPARE(nKVByteOrder::LoadLittle16(block), UWORD(0x4380));
    QCOMPARE(block[2], UBYTE(1));                                         // unit bypass
    QCOMPARE(nKVByteOrder::LoadLittle16(block + 3), UWORD(30000));        // band 0 frequency
    QCOMPARE(nKVByteOrder::LoadLittle32(block + 3 + 24), ULONG(1));       // band 0 type
    QCOMPARE(block[3 + 40 + 2], UBYTE(1));                                // band 2 option
    QCOMPARE(nKVByteOrder::LoadLittle16(block + 3 + 16 + 6), UWORD(384)); // band 3 gain
    QCOMPARE(block[3 + 44 + 3], UBYTE(0));                                // band 3 bypass
    QCOMPARE(nKVByteOrder::LoadLittle16(block + 3 + 48 + 80), UWORD(0xFA72));
}

void tst_cParametricEQUnit::recall_sendsEveryBandFromTheFirstChangeOn()
{
    cSerialTestLink link;
    QVERIFY(link.Connect());
    cTestStorage storage;
    cListSaveRegistry saves;
    auto driver = MakeEQ(storage.Get(), &link.Link(), &saves, 4);
    P& unit = *driver->GetUnit();
    cRecordingNetObject graph("Graph", 24);
    LinkParameters(unit, graph,
                   {P::P_FIRST_TYPE, P::P_LAST_TYPE, P::FrequencyParameter(2), P::WidthParameter(2)});
    QVERIFY(Drain(link));
    link.Device().ClearLog();

    QByteArray record;
    {
        QDataStream stream(&record, QIODevice::WriteOnly);
        stream << false;
        for (UBYTE band = 0; band < 4; ++band)
        {
            const sParametricEQBand b = unit.GetBand(band);
            const bool changed = band == 2;
            stream << qint16(changed ? 12345 : b.mFrequencyCode) << qint16(b.mWidthCode)
                   << qint16(changed ? 3 * 256 : b.mGain) << qint32(0) << qint8(0) << false;
        }
    }
    QVERIFY(saves.RecallAll(record));
    QVERIFY(!saves.RecallAll(record.left(record.size() - 1)));
    cMessagePump::Pump();
    QCOMPARE(unit.GetBand(2).mFrequencyCode, UWORD(12345));
    QCOMPARE(unit.GetBand(2).mGain, SWORD(3 * 256));
    QCOMPARE(Payloads(graph, P::FrequencyParameter(2)), QList<QByteArray>{UWORDPayload(12345)});
    QCOMPARE(graph.Count(P::WidthParameter(2)), 0);
    QCOMPARE(graph.Count(P::P_FIRST_TYPE) + graph.Count(P::P_LAST_TYPE), 0);
    QVERIFY(Drain(link));
    QCOMPARE(FilterIds(FilterFrames(link.Device())), (QList<ULONG>{0x0402, 0x0502}));
    QCOMPARE(unit.GetBandWords(2), Expected(BELL, 3.0, ConvertUWORDToFrequency(12345), 0.801));
    QCOMPARE(saves.SaveAll(), record);
}

void tst_cParametricEQUnit::sync_takesTheChannelsRecordsAsTheWindowShowsThem_data()
{
    QTest::addColumn<int>("bands");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("index");
    QTest::newRow("LOW left") << 2 << 0 << 0 << 2;
    QTest::newRow("LOW right") << 2 << 1 << 1 << 6;
    QTest::newRow("MID left") << 4 << 2 << 0 << 10;
    QTest::newRow("MID right") << 4 << 3 << 1 << 16;
    QTest::newRow("HIGH left") << 6 << 4 << 0 << 22;
    QTest::newRow("HIGH right") << 6 << 5 << 1 << 30;
}

void tst_cParametricEQUnit::sync_takesTheChannelsRecordsAsTheWindowShowsThem()
{
    QFETCH(int, bands);
    QFETCH(int, channel);
    QFETCH(int, side);
    QFETCH(int, index);

    cSerialTestLink link;
    cTestStorage storage;
    auto driver = MakeEQ(storage.Get(), &link.Link(), nullptr, UBYTE(bands), UBYTE(channel), UBYTE(side));
    P& unit = *driver->GetUnit();
    QCOMPARE(driver->GetSyncIndex(), index);
    QCOMPARE(unit.SyncData(), SYNC_SKIPPED);
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
    cRecordingNetObject graph("Graph", 34);
    LinkParameters(unit, graph,
                   {P::P_BYPASS, P::P_FIRST_TYPE, P::P_LAST_TYPE, P::BandBypassParameter(0),
                    P::BandBypassParameter(1), P::GainParameter(0)});

    auto& filters = link.Device().Model().mFilters;
    for (auto& record : filters)
    {
        record = {};
        record.mFrequencyCode = 999;
    }
    for (int band = 0; band < bands; ++band)
    {
        auto& record = filters[size_t(index + band)];
        record.mFrequencyCode = UWORD(20000 + band);
        record.mWidthCode = 0x0D00;
    }
    auto& first = filters[size_t(index)];
    first.mGainCode = UWORD(SWORD(-768));
    first.mFilterType = 1;
    first.mBandOption = 0x1203;
    first.mBypass = 0x80; // gang only: band 0 not bypassed
    filters[size_t(index + 1)].mBypass = 0x81;
    filters[size_t(index + bands - 1)].mFilterType = 2;
    QVERIFY(link.Connect());

    QCOMPARE(unit.SyncData(), SYNC_DONE);
    cMessagePump::Pump();
    for (int band = 0; band < bands; ++band)
    {
        QCOMPARE(unit.GetBand(UBYTE(band)).mFrequencyCode, UWORD(20000 + band));
    }
    const sParametricEQBand b0 = unit.GetBand(0);
    QCOMPARE(b0.mGain, SWORD(-768));
    QCOMPARE(b0.mType, ULONG(1));
    QCOMPARE(b0.mOption, UBYTE(0)); // no control in the window: not taken
    QVERIFY(!b0.mBypass);
    QVERIFY(!unit.GetBand(1).mBypass); // neither is a band's bypass
    QCOMPARE(unit.GetBand(UBYTE(bands - 1)).mType, ULONG(2));
    QVERIFY(unit.GetBypass()); // band 0's field does not say bypassed: the unit's own OUT stays
    QCOMPARE(graph.Count(P::P_BYPASS), 0);
    QCOMPARE(graph.Count(P::BandBypassParameter(0)), 0);
    QCOMPARE(graph.Count(P::BandBypassParameter(1)), 0);
    QCOMPARE(Payloads(graph, P::GainParameter(0)), QList<QByteArray>{UWORDPayload(GainCode(-3.0))});
    QCOMPARE(Payloads(graph, P::P_FIRST_TYPE), QList<QByteArray>{UBYTEPayload(1)});
    QCOMPARE(Payloads(graph, P::P_LAST_TYPE), QList<QByteArray>{UBYTEPayload(2)});
}

QTEST_GUILESS_MAIN(tst_cParametricEQUnit)
#include "tst_cParametricEQUnit.moc"
