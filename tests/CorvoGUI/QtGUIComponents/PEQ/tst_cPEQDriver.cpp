#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSyscallThread.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQDriverRig.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace
{

using P = cParametricEQUnit;
using N = cPEQNetObject2;

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class tst_cPEQDriver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterQmlTypes(); }
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup() { mSystem.reset(); }

    void link_bringsTheUnitsValuesWithOneSignalEach();
    void writes_reachTheUnitsParameters_data();
    void writes_reachTheUnitsParameters();
    void tick_sendsOnlyWhatChangedSinceItLastSent();
    void unitValues_areStoredSignalledOnceAndNeverEchoed();
    void badInput_isReportedAndChangesNothing();
    void detach_isSafeTwiceAndEndsTheLinks();
    void graph_followsTheUnitAcrossTheFrameworkThreads();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_cPEQDriver::link_bringsTheUnitsValuesWithOneSignalEach()
{
    cPEQDriverRig rig(4);
    cPEQDriver& driver = rig.Driver();
    QSignalSpy freq(&driver, &cPEQDriver::FreqChanged);
    QSignalSpy width(&driver, &cPEQDriver::WidthChanged);
    QSignalSpy range(&driver, &cPEQDriver::FreqRangeChanged);
    QSignalSpy gain(&driver, &cPEQDriver::GainChanged);
    QSignalSpy type(&driver, &cPEQDriver::TypeChanged);
    QSignalSpy bypass(&driver, &cPEQDriver::BypassChanged);
    QSignalSpy fully(&driver, &cPEQDriver::FullyBypassedChanged);
    cReportCapture reports;
    QVERIFY(rig.LinkLikeThePanel());

    // The unit's defaults: the middle of each band's range, width 0x0D00, 0 dB, bells, not bypassed.
    const UWORD middles[] = {18353, 25563, 39752, 48968};
    for (UBYTE b = 0; b < 4; ++b)
    {
        QCOMPARE(driver.GetBandFreq(b), middles[b]);
        QCOMPARE(driver.GetBandWidthIndex(b), UWORD(0x0D00));
        QCOMPARE(driver.GetBandGain(b), GAIN(0));
        QCOMPARE(driver.GetBandType(b), UBYTE(nPEQ::BELL));
        QCOMPARE(driver.GetBandFreqMin(b), UWORD(10699));
        QCOMPARE(driver.GetBandFreqMax(b), UWORD(56622));
        QCOMPARE(driver.GetBandBypassed(b), UBYTE(0));
    }
    QCOMPARE(driver.GetBandPassFreq(), UWORD(26007));
    QCOMPARE(freq.count(), 4);
    QCOMPARE(width.count(), 4);
    QCOMPARE(range.count(), 4);
    QCOMPARE(gain.count() + type.count() + bypass.count() + fully.count(), 0);
    QCOMPARE(freq.at(2), (QVariantList{2u, QVariant::fromValue(UWORD(39752))}));

    // Nothing goes back to the unit.
    cMessagePump::Tick(3);
    QCOMPARE(rig.Sent(), 0);
    QVERIFY2(!reports.Contains("ERROR"), qPrintable(reports.Lines().join(QString())));

    // The unit's bypass arrives as "fully bypassed".
    SendParameter(rig.Unit(), P::P_BYPASS, UBYTEPayload(1));
    QCOMPARE(fully.count(), 1);
    QCOMPARE(driver.GetFullyBypassed(), UBYTE(1));
}

void tst_cPEQDriver::writes_reachTheUnitsParameters_data()
{
    QTest::addColumn<int>("bands");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("gain +6 dB") << 4 << int(N::ITEM_GAIN) << 1 << 1536 << Hex("8600");
    QTest::newRow("gain minus infinity is sent as 0") << 4 << int(N::ITEM_GAIN) << 2 << -32767 << Hex("0000");
    QTest::newRow("frequency") << 4 << int(N::ITEM_FREQ) << 3 << 50000 << Hex("c350");
    QTest::newRow("width") << 4 << int(N::ITEM_WIDTH) << 0 << 0x1400 << Hex("1400");
    QTest::newRow("first band's type") << 4 << int(N::ITEM_TYPE) << 0 << int(nPEQ::LFSHELF) << Hex("01");
    QTest::newRow("last band's type") << 4 << int(N::ITEM_TYPE) << 3 << int(nPEQ::HFSHELF) << Hex("02");
    QTest::newRow("6 bands: last band's gain") << 6 << int(N::ITEM_GAIN) << 5 << -256 << Hex("7f00");
    QTest::newRow("2 bands: last band's width") << 2 << int(N::ITEM_WIDTH) << 1 << 0x2C00 << Hex("2c00");
}

void tst_cPEQDriver::writes_reachTheUnitsParameters()
{
    QFETCH(int, bands);
    QFETCH(int, item);
    QFETCH(int, band);
    QFETCH(int, value);
    QFETCH(QByteArray, wire);
    cPEQDriverRig rig{UBYTE(bands)};
    QVERIFY(rig.LinkLikeThePanel());
    cPEQDriver& driver = rig.Driver();
    const UBYTE b = UBYTE(band);

    switch (item)
    {
    case N::ITEM_GAIN:
        driver.WriteBandGain(b, GAIN(value));
        break;
    case N::ITEM_FREQ:
        driver.WriteBandFreq(b, UWORD(value));
        break;
    case N::ITEM_WIDTH:
        driver.WriteBandWidthIndex(b, UWORD(value));
        break;
    default:
        driver.WriteBandEQType(b, UBYTE(value));
        break;
    }
    QCOMPARE(rig.Sent(), 0); // a write only stores
    cMessagePump::Tick();
    const UWORD entry = UWORD(PARAMETER_BASE + 3 + item * bands + band);
    QCOMPARE(rig.Sent(), 1);
    QCOMPARE(rig.Recorder().Count(entry), 1);
    QCOMPARE(rig.Recorder().LastPayload(entry), wire);

    const sParametricEQBand unitBand = rig.Unit().GetBand(b);
    switch (item)
    {
    case N::ITEM_GAIN:
        QCOMPARE(int(unitBand.mGain), value);
        break;
    case N::ITEM_FREQ:
        QCOMPARE(int(unitBand.mFrequencyCode), value);
        break;
    case N::ITEM_WIDTH:
        QCOMPARE(int(unitBand.mWidthCode), value);
        break;
    default:
        QCOMPARE(int(unitBand.mType), value);
        break;
    }
    cMessagePump::Tick(2);
    QCOMPARE(rig.Sent(), 1);
}

void tst_cPEQDriver::tick_sendsOnlyWhatChangedSinceItLastSent()
{
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    cPEQDriver& driver = rig.Driver();
    const UWORD gain1 = N::EntryPoint(N::ITEM_GAIN, 4, 1);

    // Two writes between ticks: only the last value goes.
    driver.WriteBandGain(1, 256);
    driver.WriteBandGain(1, 512);
    cMessagePump::Tick();
    QCOMPARE(rig.Sent(), 1);
    QCOMPARE(rig.Recorder().LastPayload(gain1), Hex("8200"));
    QCOMPARE(rig.Unit().GetBand(1).mGain, SWORD(512));

    // Changed and changed back before the tick: nothing.
    driver.WriteBandGain(1, 768);
    driver.WriteBandGain(1, 512);
    // Bypass, range, band pass and fully bypassed are never sent by the tick.
    driver.WriteBandBypassed(2, true);
    driver.WriteBandFreqRange(2, 20000, 30000);
    driver.WriteBandPass(true);
    driver.WriteFullyBypassed(true);
    cMessagePump::Tick(2);
    QCOMPARE(rig.Sent(), 1);
    QVERIFY(!rig.Unit().GetBand(2).mBypass);
    QVERIFY(!rig.Unit().GetBypass());

    // The band-pass frequency is sent after the bands.
    driver.WriteBandFreq(0, 20000);
    driver.WriteBandPassFreq(30000);
    cMessagePump::Tick();
    QCOMPARE(rig.Sent(), 3);
    const std::vector<cRecordingNetObject::sReceived> sent = rig.Recorder().Received();
    QCOMPARE(sent[1].mMethod, N::EntryPoint(N::ITEM_FREQ, 4, 0));
    QCOMPARE(sent[2].mMethod, N::P_BAND_PASS_FREQ);
    QCOMPARE(sent[2].mPayload, Hex("7530"));
}

void tst_cPEQDriver::unitValues_areStoredSignalledOnceAndNeverEchoed()
{
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    cPEQDriver& driver = rig.Driver();
    QSignalSpy gain(&driver, &cPEQDriver::GainChanged);
    QSignalSpy width(&driver, &cPEQDriver::WidthChanged);
    QSignalSpy type(&driver, &cPEQDriver::TypeChanged);
    QSignalSpy bypass(&driver, &cPEQDriver::BypassChanged);

    // Gain code 0 from the unit is minus infinity.
    SendParameter(rig.Unit(), P::GainParameter(1), UWORDPayload(0));
    QCOMPARE(driver.GetBandGain(1), GAIN(-32767));
    QCOMPARE(gain.count(), 1);
    QCOMPARE(gain.at(0), (QVariantList{1u, QVariant::fromValue(GAIN(-32767))}));
    // The unit publishes an unchanged value again: stored, no signal.
    SendParameter(rig.Unit(), P::GainParameter(1), UWORDPayload(0));
    QCOMPARE(gain.count(), 1);

    SendParameter(rig.Unit(), P::WidthParameter(2), UWORDPayload(0x2000));
    SendParameter(rig.Unit(), P::P_LAST_TYPE, UBYTEPayload(nPEQ::HFSHELF));
    // A band's bypass, which the unit no longer takes, as a linked object would say it.
    SendParameter(rig.Net(), N::EntryPoint(N::ITEM_BYPASS, 4, 0), UBYTEPayload(1));
    QCOMPARE(width.count(), 1);
    QCOMPARE(driver.GetBandWidthIndex(2), UWORD(0x2000));
    QCOMPARE(type.count(), 1);
    QCOMPARE(driver.GetBandType(3), UBYTE(nPEQ::HFSHELF));
    QCOMPARE(bypass.count(), 1);
    QCOMPARE(driver.GetBandBypassed(0), UBYTE(1));

    // None of it goes back.
    cMessagePump::Tick(3);
    QCOMPARE(rig.Sent(), 0);
}

void tst_cPEQDriver::badInput_isReportedAndChangesNothing()
{
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    cPEQDriver& driver = rig.Driver();
    QSignalSpy gain(&driver, &cPEQDriver::GainChanged);
    QSignalSpy fully(&driver, &cPEQDriver::FullyBypassedChanged);
    cReportCapture reports;

    // Band numbers beyond the unit's bands, whatever QML passes.
    for (UBYTE band : {UBYTE(4), UBYTE(255)})
    {
        driver.WriteBandGain(band, 1000);
        driver.WriteBandFreq(band, 1000);
        driver.WriteBandFreqRange(band, 1, 2);
        driver.WriteBandEQType(band, 1);
        QCOMPARE(driver.GetBandGain(band), GAIN(0));
        QCOMPARE(driver.GetBandFreqMax(band), UWORD(0));
    }
    QCOMPARE(reports.Count("outside the 4 bands"), 12);
    const ULONG requested = gSystemBuilder->GetRequestedCount();
    QVERIFY(!driver.LinkBand(4, rig.UnitName(), 1, 1, 1, 1, 1, 1, 0, 0, false));
    QCOMPARE(gSystemBuilder->GetRequestedCount(), requested);
    cMessagePump::Tick();
    QCOMPARE(rig.Sent(), 0);

    // A Q type is reported and changes nothing; a short message is reported and dropped.
    reports.Clear();
    SendParameter(rig.Net(), N::EntryPoint(N::ITEM_Q_TYPE, 4, 1), UBYTEPayload(1));
    QVERIFY(reports.Contains("PEQ Graph Driver QType. Handling NYI"));
    SendParameter(rig.Net(), N::EntryPoint(N::ITEM_GAIN, 4, 1), UBYTEPayload(1));
    SendParameter(rig.Net(), N::EntryPoint(N::ITEM_FREQ_RANGE, 4, 1), UWORDPayload(20000));
    QCOMPARE(reports.Count("Short message"), 2);
    QCOMPARE(driver.GetBandGain(1), GAIN(0));
    QCOMPARE(driver.GetBandFreqMin(1), UWORD(10699));
    QCOMPARE(gain.count(), 0);

    // Any byte other than 0 or 1 is reported and counts as true.
    SendParameter(rig.Net(), N::P_FULLY_BYPASSED, UBYTEPayload(2));
    QVERIFY(reports.Contains("Bad conversion to boolean"));
    QCOMPARE(driver.GetFullyBypassed(), UBYTE(1));
    QCOMPARE(fully.count(), 1);
    cMessagePump::Tick();
    QCOMPARE(rig.Sent(), 0);
}

void tst_cPEQDriver::detach_isSafeTwiceAndEndsTheLinks()
{
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    cPEQDriver& driver = rig.Driver();
    const KV_NET_DATA_SCALE handle = rig.Net().GetHandle();
    QSignalSpy gain(&driver, &cPEQDriver::GainChanged);
    cReportCapture reports;

    driver.DetachNetObject();
    driver.DetachNetObject();
    QVERIFY(driver.GetNetObject() == nullptr);
    QVERIFY(gRegistryRouter->GetObject(handle) == nullptr);
    // The unit's links to it are gone: its changes reach nobody, and nothing breaks.
    SendParameter(rig.Unit(), P::GainParameter(0), UWORDPayload(32768 + 512));
    cMessagePump::Tick(2);
    QCOMPARE(gain.count(), 0);
    // Writes still store; links are refused.
    driver.WriteBandGain(0, 100);
    QCOMPARE(driver.GetBandGain(0), GAIN(100));
    QVERIFY(!driver.LinkFullyBypassed(rig.UnitName(), P::P_BYPASS, false));
    QVERIFY(reports.Contains("PEQ driver detached"));
}

void tst_cPEQDriver::graph_followsTheUnitAcrossTheFrameworkThreads()
{
    // The driver signals on the syscall thread; the graph takes the values queued on its own thread,
    // and its edits reach the unit through the real ticks.
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    cPEQQmlBackEnd2 backEnd;
    cPEQQmlBand2 bands[4];
    backEnd.setDriver(&rig.Driver());
    for (cPEQQmlBand2& band : bands)
    {
        backEnd.AppendBand(&band);
    }
    QCOMPARE(bands[1].GetFrequency(), UWORD(25563));

    auto syscall = std::make_unique<cSyscallThread>();
    auto ticks = std::make_unique<cActionTickDriver>(nullptr);
    syscall->StartThread();
    ticks->StartThread();
    SetSystemRunning(true);

    cKVNetMessage message(2);
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = rig.Unit().GetHandle();
    message.mMethod = P::GainParameter(1);
    message.SetUWORD(32768 + 9 * 256, 0);
    PostMessage(message);
    QTRY_COMPARE_WITH_TIMEOUT(bands[1].GetGain(), GAIN(9 * 256), 5000);

    bands[1].setDragPos(200, 100);
    auto unitBand = [&rig]
    {
        cRegistryLocker lock;
        return rig.Unit().GetBand(1);
    };
    QTRY_COMPARE_WITH_TIMEOUT(unitBand().mFrequencyCode, UWORD(24850), 5000);
    QCOMPARE(unitBand().mGain, SWORD(1969));

    // Taken down while the threads run.
    rig.Driver().DetachNetObject();
    bands[1].setDragPos(300, 100);
    QTest::qWait(60);
    QCOMPARE(unitBand().mFrequencyCode, UWORD(24850));

    SetSystemRunning(false);
    syscall->StopThread();
    ticks.reset();
    syscall.reset();
}

QTEST_GUILESS_MAIN(tst_cPEQDriver)
#include "tst_cPEQDriver.moc"
