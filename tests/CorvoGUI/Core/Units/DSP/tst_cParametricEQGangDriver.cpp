#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

namespace
{

using P = cParametricEQUnit;
using G = cParametricEQGangDriver;

// A LOW panel: two-band EQs on channels 0 and 1.
struct sGangFixture
{
    sGangFixture(cNonVolatileStorageManager* storage, cSerialInterface* serial = nullptr,
                 cSaveObjectRegistry* saves = nullptr)
        : mPanel(LOW, storage, serial, saves)
        , mLeft(*mPanel.GetLeftEQDriver()->GetUnit())
        , mRight(*mPanel.GetRightEQDriver()->GetUnit())
        , mGang(*mPanel.GetGangDriver())
    {
    }

    cLowMidHigh mPanel;
    P& mLeft;
    P& mRight;
    G& mGang;
};

} // namespace

class tst_cParametricEQGangDriver : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup() { mSystem.reset(); }

    void gang_makesTheRightFollowTheLeftUntilUnganged();
    void linkSet_coversEveryBandParameterButTheRanges();
    void restart_withGangStored_sendsTheGangBitAndLinksAgain();
    void message_isNotPublishedAndSyncUpAnswersTheGang();
    void sync_gangsOnlyWhenBothSidesCarryTheGangBit_data();
    void sync_gangsOnlyWhenBothSidesCarryTheGangBit();
    void recall_publishesAChangedGang();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_cParametricEQGangDriver::gang_makesTheRightFollowTheLeftUntilUnganged()
{
    cTestStorage storage;
    cSerialTestLink link;
    QVERIFY(link.Connect());
    sGangFixture f(storage.Get(), &link.Link());
    QVERIFY(SettleLinks());
    SendParameter(f.mLeft, P::GainParameter(0), UWORDPayload(32768 + 1024));
    SendParameter(f.mLeft, P::P_LAST_TYPE, UBYTEPayload(2));
    QVERIFY(Drain(link));
    link.Device().ClearLog();

    SendParameter(f.mGang, G::P_GANG, UBYTEPayload(1));
    QVERIFY(SettleLinks());
    QVERIFY(f.mGang.GetGang());
    QVERIFY(f.mPanel.GetLeftEQDriver()->GetGang());
    QVERIFY(f.mPanel.GetRightEQDriver()->GetGang());
    // The links sync at once: the right took the left's values.
    QCOMPARE(f.mRight.GetBand(0).mGain, SWORD(1024));
    QCOMPARE(f.mRight.GetBand(1).mType, ULONG(2));

    SendParameter(f.mLeft, P::FrequencyParameter(1), UWORDPayload(40000));
    SendParameter(f.mLeft, P::WidthParameter(0), UWORDPayload(0x1000));
    cMessagePump::Pump();
    QCOMPARE(f.mRight.GetBand(1).mFrequencyCode, UWORD(40000));
    QCOMPARE(f.mRight.GetBand(0).mWidthCode, UWORD(0x1000));
    QVERIFY(Drain(link));
    // Every band of both channels went out with the gang bit.
    for (const sFilterFrame& frame : FilterFrames(link.Device()))
    {
        QVERIFY2((frame.mBypass & 0x80) != 0, qPrintable(QString::number(frame.mId, 16)));
    }
    QVERIFY(FilterIds(FilterFrames(link.Device())).contains(0x0301)); // the right's band 1

    SendParameter(f.mGang, G::P_GANG, UBYTEPayload(0));
    QVERIFY(SettleLinks());
    SendParameter(f.mLeft, P::FrequencyParameter(1), UWORDPayload(30000));
    cMessagePump::Pump();
    QCOMPARE(f.mRight.GetBand(1).mFrequencyCode, UWORD(40000));
    QVERIFY(!f.mPanel.GetRightEQDriver()->GetGang());
}

void tst_cParametricEQGangDriver::linkSet_coversEveryBandParameterButTheRanges()
{
    cTestStorage storage;
    sGangFixture f(storage.Get());
    const std::vector<sParameterLinkingCommand> set = f.mGang.LinkSet(false);
    QList<int> parameters;
    for (const sParameterLinkingCommand& command : set)
    {
        QCOMPARE(QByteArray(command.mSourcePath), QByteArray("LMH 1: L Parametric EQ Unit"));
        QCOMPARE(QByteArray(command.mDestinationPath), QByteArray("LMH 1: R Parametric EQ Unit"));
        QCOMPARE(command.mDestParam, command.mSourceParam);
        QVERIFY(command.mSync);
        QVERIFY(!command.mRemove);
        QVERIFY(!command.mBidirect);
        parameters << command.mSourceParam - PARAMETER_BASE;
    }
    QCOMPARE(parameters, (QList<int>{0, 1, 2, 4, 5, 6, 7, 9, 10, 11, 12}));
    QVERIFY(f.mGang.LinkSet(true).front().mRemove);
}

void tst_cParametricEQGangDriver::restart_withGangStored_sendsTheGangBitAndLinksAgain()
{
    cTestStorage storage;
    {
        sGangFixture f(storage.Get());
        SendParameter(f.mGang, G::P_GANG, UBYTEPayload(1));
        QVERIFY(SettleLinks());
    }
    storage.Map();
    cSerialTestLink link;
    QVERIFY(link.Connect());
    sGangFixture f(storage.Get(), &link.Link());
    QVERIFY(f.mGang.GetBlock().HasValidMarkers());
    QVERIFY(f.mGang.GetGang());
    QVERIFY(f.mPanel.GetLeftEQDriver()->GetGang());
    QVERIFY(f.mPanel.GetRightEQDriver()->GetGang());
    QVERIFY(SettleLinks());
    QVERIFY(Drain(link));
    const QList<sFilterFrame> frames = FilterFrames(link.Device());
    QVERIFY(!frames.isEmpty());
    // The EQ bands' last records carry the gang bit.
    for (ULONG id : {0x0200u, 0x0300u, 0x0201u, 0x0301u})
    {
        for (int i = frames.size() - 1; i >= 0; --i)
        {
            if (frames[i].mId == id)
            {
                QCOMPARE(frames[i].mBypass, UBYTE(0x80));
                break;
            }
        }
    }
    SendParameter(f.mLeft, P::WidthParameter(0), UWORDPayload(0x2000));
    QCOMPARE(f.mRight.GetBand(0).mWidthCode, UWORD(0x2000));
}

void tst_cParametricEQGangDriver::message_isNotPublishedAndSyncUpAnswersTheGang()
{
    cTestStorage storage;
    sGangFixture f(storage.Get());
    cRecordingNetObject panel("Panel", 1);
    LinkParameters(f.mGang, panel, {G::P_GANG});
    SendParameter(f.mGang, G::P_GANG, UBYTEPayload(1));
    QCOMPARE(panel.Count(G::P_GANG), 0);
    f.mGang.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, panel.GetHandle(), PARAMETER_BASE + 7, G::P_GANG,
                                  0, 1, false);
    cMessagePump::Pump();
    QCOMPARE(Payloads(panel, PARAMETER_BASE + 7), QList<QByteArray>{UBYTEPayload(1)});
}

void tst_cParametricEQGangDriver::sync_gangsOnlyWhenBothSidesCarryTheGangBit_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<UWORD>("left");
    QTest::addColumn<UWORD>("right");
    QTest::addColumn<bool>("after");
    QTest::newRow("both sides") << false << UWORD(0x80) << UWORD(0x81) << true;
    QTest::newRow("left only") << false << UWORD(0x80) << UWORD(0x01) << false;
    QTest::newRow("neither: a sync never ungangs") << true << UWORD(0) << UWORD(0) << true;
}

void tst_cParametricEQGangDriver::sync_gangsOnlyWhenBothSidesCarryTheGangBit()
{
    QFETCH(bool, before);
    QFETCH(UWORD, left);
    QFETCH(UWORD, right);
    QFETCH(bool, after);

    cTestStorage storage;
    cSerialTestLink link;
    sGangFixture f(storage.Get(), &link.Link());
    SendParameter(f.mGang, G::P_GANG, UBYTEPayload(before ? 1 : 0));
    QVERIFY(SettleLinks());
    QCOMPARE(f.mGang.SyncData(), SYNC_SKIPPED);
    cRecordingNetObject panel("Panel", 1);
    LinkParameters(f.mGang, panel, {G::P_GANG});

    link.Device().Model().mFilters[3].mBypass = left;  // LOW left, band 1
    link.Device().Model().mFilters[7].mBypass = right; // LOW right, band 1
    QVERIFY(link.Connect());
    QCOMPARE(f.mGang.SyncData(), SYNC_DONE);
    QVERIFY(SettleLinks());
    QCOMPARE(f.mGang.GetGang(), after);
    QCOMPARE(f.mPanel.GetRightEQDriver()->GetGang(), after);
    QCOMPARE(Payloads(panel, G::P_GANG), QList<QByteArray>{UBYTEPayload(after ? 1 : 0)});
}

void tst_cParametricEQGangDriver::recall_publishesAChangedGang()
{
    cTestStorage storage;
    cListSaveRegistry saves;
    sGangFixture f(storage.Get(), nullptr, &saves);
    cRecordingNetObject panel("Panel", 1);
    LinkParameters(f.mGang, panel, {G::P_GANG});
    QByteArray record;
    QDataStream stream(&record, QIODevice::WriteOnly);
    stream << true;

    QDataStream empty(QByteArray{});
    QVERIFY(!f.mGang.RecallData(&empty)); // nothing to read: refused
    QVERIFY(!f.mGang.GetGang());
    QDataStream in(record);
    QVERIFY(f.mGang.RecallData(&in));
    QVERIFY(SettleLinks());
    QVERIFY(f.mGang.GetGang());
    QVERIFY(f.mPanel.GetLeftEQDriver()->GetGang());
    QCOMPARE(Payloads(panel, G::P_GANG), QList<QByteArray>{UBYTEPayload(1)});
    QDataStream again(record);
    QVERIFY(f.mGang.RecallData(&again)); // unchanged: not published again
    cMessagePump::Pump();
    QCOMPARE(panel.Count(G::P_GANG), 1);
    QCOMPARE(saves.Objects().back(), static_cast<cSaveObject*>(&f.mGang));
    QByteArray out;
    QDataStream save(&out, QIODevice::WriteOnly);
    f.mGang.SaveData(&save);
    QCOMPARE(out, record);
}

QTEST_GUILESS_MAIN(tst_cParametricEQGangDriver)
#include "tst_cParametricEQGangDriver.moc"
