#include "CorvoGUI/Core/Units/MeterLevels.h"
#include "CorvoGUI/Core/Units/cMeteringSources.h"
#include "KVNet/Core/KVNetSystem.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <array>

namespace
{

constexpr int kMeters = cMeteringSources::NUMBER_OF_METERS;

// The big-endian code and the reset byte of a meter message.
QByteArray MeterPayload(GAIN level)
{
    const UWORD code = nMeterLevel::SendCode(level);
    QByteArray bytes;
    bytes.append(char(code >> 8));
    bytes.append(char(code & 0xFF));
    bytes.append('\0');
    return bytes;
}

QByteArray CodePayload(UWORD code)
{
    QByteArray bytes;
    bytes.append(char(code >> 8));
    bytes.append(char(code & 0xFF));
    bytes.append('\0');
    return bytes;
}

// The metering sources on a running link to the simulated device, with a recorder on all eight
// meter parameters (meter i arrives as method 4096 + i).
class cMeteringFixture
{
public:
    cMeteringFixture()
        : mSystem(false)
        , mMetering(&mLink.Link())
        , mRecorder("Meter Recorder", kMeters)
    {
        for (int i = 0; i < kMeters; ++i)
        {
            mMetering.AddObjectToInformList(
                KV_NET_LOCAL_CONNECTION, mRecorder.GetHandle(), KV_NET_DATA_SCALE(PARAMETER_BASE + i),
                KV_NET_DATA_SCALE(cMeteringSources::P_INPUT_LEFT + i), 0, 0, false);
        }
    }

    // The device's meter words reach the program: a few link ticks (poll, reply, read).
    void DeviceMeters(const std::array<ULONG, kMeters>& words)
    {
        for (int i = 0; i < kMeters; ++i)
        {
            mLink.Device().Model().mMeters[i] = words[i];
        }
        mLink.Ticks(3);
    }

    void PostEnable(UBYTE value)
    {
        cKVNetMessage message(1);
        message.mConnectionId = KV_NET_LOCAL_CONNECTION;
        message.mDestination = mMetering.GetHandle();
        message.mMethod = cMeteringSources::P_ENABLE;
        message.SetUBYTE(value, 0);
        PostMessage(message);
        cMessagePump::Pump();
    }

    QByteArray Received(int meter) const { return mRecorder.LastPayload(UWORD(PARAMETER_BASE + meter)); }
    int Count(int meter) const { return mRecorder.Count(UWORD(PARAMETER_BASE + meter)); }

    cSerialTestLink mLink;
    cScopedKVNetSystem mSystem;
    cMeteringSources mMetering;
    cRecordingNetObject mRecorder;
};

} // namespace

class tst_cMeteringSources : public QObject
{
    Q_OBJECT

private slots:
    void levels_followTheWordsOnTheSinglePrecisionScale_data();
    void levels_followTheWordsOnTheSinglePrecisionScale();
    void everyWord_givesALevelInRange();
    void deviceMeters_reachEveryLinkedMeterEachTick();
    void portClosing_resetsEveryLevelOnceAndKeepsSendingSilence();
    void silentDevice_levelsFallAfter200msAndFollowTheNextReply();
    void publishingOff_readsAndSendsNothing();
    void shortEnableMessage_isReportedAndChangesNothing();
    void syncUp_answersTheCurrentLevel();
};

void tst_cMeteringSources::levels_followTheWordsOnTheSinglePrecisionScale_data()
{
    QTest::addColumn<bool>("input");
    QTest::addColumn<ULONG>("word");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("sent");

    QTest::newRow("input full scale") << true << ULONG(2147483648u) << 3082 << 7690;
    QTest::newRow("band full scale") << false << ULONG(2147483648u) << 0 << 4608;
    QTest::newRow("input below threshold") << true << ULONG(34035) << -29685 << -29685 + 4608;
    QTest::newRow("band below threshold") << false << ULONG(34035) << -32767 << 0x8001 + 4608 - 65536;
    QTest::newRow("band zero") << false << ULONG(0) << -32767 << -28159;
    QTest::newRow("input zero") << true << ULONG(0) << -29685 << -25077;
    QTest::newRow("band at threshold") << false << ULONG(34036) << -24575 << -19967;
    QTest::newRow("band half scale") << false << ULONG(1u << 30) << -1541 << 3067;
    QTest::newRow("band largest word") << false << ULONG(0xFFFFFFFFu) << 1541 << 6149;
    QTest::newRow("input largest word") << true << ULONG(0xFFFFFFFFu) << 4623 << 9231;
}

void tst_cMeteringSources::levels_followTheWordsOnTheSinglePrecisionScale()
{
    QFETCH(bool, input);
    QFETCH(ULONG, word);
    QFETCH(int, level);
    QFETCH(int, sent);

    const GAIN converted = input ? nMeterLevel::InputLevel(word) : nMeterLevel::BandLevel(word);
    QCOMPARE(int(converted), level);
    QCOMPARE(int(SWORD(nMeterLevel::SendCode(converted))), sent);
}

void tst_cMeteringSources::everyWord_givesALevelInRange()
{
    // Sweeps the whole word range in coarse steps plus both ends and the threshold's neighbours.
    for (quint64 word = 0; word <= 0xFFFFFFFFull; word += 0x10001ull)
    {
        for (ULONG w : {ULONG(word), ULONG(nMeterLevel::SILENCE_THRESHOLD - 1),
                        nMeterLevel::SILENCE_THRESHOLD, ULONG(0xFFFFFFFFu)})
        {
            const int band = nMeterLevel::BandLevel(w);
            const int in = nMeterLevel::InputLevel(w);
            if (band < GAIN_MINUS_INFINITY || band > 1541 || in < -29685 || in > 4623)
            {
                QFAIL(qPrintable(QString("word %1 gives %2 / %3").arg(w).arg(band).arg(in)));
            }
        }
    }
    QCOMPARE(int(SWORD(nMeterLevel::SendCode(32767))), 32767);
    QCOMPARE(int(SWORD(nMeterLevel::SendCode(GAIN_MINUS_INFINITY))), -28159);
}

void tst_cMeteringSources::deviceMeters_reachEveryLinkedMeterEachTick()
{
    cMeteringFixture fixture;
    QVERIFY(fixture.mLink.Opened());
    QVERIFY(fixture.mLink.Connect());

    const std::array<ULONG, kMeters> words = {2147483648u, 34035u, 34035u,      2147483648u,
                                              1u << 30,    0u,     0xFFFFFFFFu, 34036u};
    fixture.DeviceMeters(words);
    cMessagePump::Tick();

    QVERIFY(fixture.mMetering.IsDevicePresent());
    const std::array<UWORD, kMeters> expected = {7690, UWORD(-25077), UWORD(-28159), 4608,
                                                 3067, UWORD(-28159), 6149,          UWORD(-19967)};
    for (int i = 0; i < kMeters; ++i)
    {
        QCOMPARE(fixture.Count(i), 1);
        QCOMPARE(fixture.Received(i), CodePayload(expected[i]));
    }

    // Unchanged levels are sent again on every tick.
    cMessagePump::Tick(2);
    for (int i = 0; i < kMeters; ++i)
    {
        QCOMPARE(fixture.Count(i), 3);
        QCOMPARE(fixture.Received(i), CodePayload(expected[i]));
    }
}

void tst_cMeteringSources::portClosing_resetsEveryLevelOnceAndKeepsSendingSilence()
{
    cMeteringFixture fixture;
    QVERIFY(fixture.mLink.Connect());
    fixture.DeviceMeters({2147483648u, 2147483648u, 2147483648u, 2147483648u, 2147483648u, 2147483648u,
                          2147483648u, 2147483648u});
    cMessagePump::Tick();
    QCOMPARE(fixture.Received(0), MeterPayload(3082));
    QCOMPARE(fixture.Received(7), MeterPayload(0));

    fixture.mLink.Link().RequestDisconnect();
    QVERIFY(fixture.mLink.TickUntil(CONNECTION_STATE_IDLE));
    cMessagePump::Tick();
    QVERIFY(!fixture.mMetering.IsDevicePresent());
    for (int i = 0; i < kMeters; ++i)
    {
        QCOMPARE(fixture.Received(i), MeterPayload(GAIN_MINUS_INFINITY));
        QCOMPARE(int(fixture.mMetering.GetLevel(i)), int(GAIN_MINUS_INFINITY));
    }
    cMessagePump::Tick(2);
    for (int i = 0; i < kMeters; ++i)
    {
        QCOMPARE(fixture.Count(i), 4);
        QCOMPARE(fixture.Received(i), MeterPayload(GAIN_MINUS_INFINITY));
    }
}

void tst_cMeteringSources::silentDevice_levelsFallAfter200msAndFollowTheNextReply()
{
    cMeteringFixture fixture;
    QVERIFY(fixture.mLink.Connect());
    const std::array<ULONG, kMeters> fullScale = {2147483648u, 2147483648u, 2147483648u, 2147483648u,
                                                  2147483648u, 2147483648u, 2147483648u, 2147483648u};
    fixture.DeviceMeters(fullScale);
    // One program tick: the link's step, then the metering sources' tick.
    const auto programTick = [&]
    {
        fixture.mLink.Tick();
        cMessagePump::Tick();
    };
    const auto levelsAre = [&](GAIN input, GAIN band)
    {
        for (int i = 0; i < kMeters; ++i)
        {
            if (fixture.Received(i) != MeterPayload(i < 2 ? input : band))
            {
                return false;
            }
        }
        return true;
    };

    // The device goes silent; the reply already on its way is the last one.
    fixture.mLink.Device().SetSilent(true);
    programTick();
    QVERIFY(levelsAre(3082, 0));
    for (int tick = 1; tick < cMeteringSources::REPLY_TIMEOUT_TICKS; ++tick)
    {
        programTick();
        QVERIFY2(levelsAre(3082, 0), qPrintable(QString("tick %1").arg(tick)));
    }
    // 200 ms without a reply: every meter at minus infinity, while the link still counts the
    // device as connected.
    const int sentBefore = fixture.Count(0);
    programTick();
    QVERIFY(levelsAre(GAIN_MINUS_INFINITY, GAIN_MINUS_INFINITY));
    QCOMPARE(fixture.Count(0), sentBefore + 1);
    QCOMPARE(fixture.mLink.Link().GetState(), CONNECTION_STATE_CONNECTED);
    programTick();
    QVERIFY(levelsAre(GAIN_MINUS_INFINITY, GAIN_MINUS_INFINITY));

    // The next reply brings the levels back.
    fixture.mLink.Device().SetSilent(false);
    for (int tick = 0; tick < 10 && !levelsAre(3082, 0); ++tick)
    {
        programTick();
    }
    QVERIFY(levelsAre(3082, 0));
    QCOMPARE(fixture.mLink.Link().GetState(), CONNECTION_STATE_CONNECTED);
}

void tst_cMeteringSources::publishingOff_readsAndSendsNothing()
{
    cMeteringFixture fixture;
    QVERIFY(fixture.mLink.Connect());
    fixture.PostEnable(0);
    QVERIFY(!fixture.mMetering.IsEnabled());

    fixture.DeviceMeters({2147483648u, 0, 0, 0, 0, 0, 0, 0});
    cMessagePump::Tick(3);
    QVERIFY(!fixture.mMetering.IsDevicePresent());
    QCOMPARE(int(fixture.mMetering.GetLevel(0)), int(GAIN_MINUS_INFINITY));
    for (int i = 0; i < kMeters; ++i)
    {
        QCOMPARE(fixture.Count(i), 0);
    }

    fixture.PostEnable(1);
    cMessagePump::Tick();
    QCOMPARE(fixture.Received(0), MeterPayload(3082));
}

void tst_cMeteringSources::shortEnableMessage_isReportedAndChangesNothing()
{
    cMeteringFixture fixture;
    cReportCapture capture;
    cKVNetMessage message(0);
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = fixture.mMetering.GetHandle();
    message.mMethod = cMeteringSources::P_ENABLE;
    PostMessage(message);
    cMessagePump::Pump();

    QVERIFY(capture.Contains("Short message for method 0x1000 of \"Metering Sources NetObject\""));
    QVERIFY(fixture.mMetering.IsEnabled());
}

void tst_cMeteringSources::syncUp_answersTheCurrentLevel()
{
    cMeteringFixture fixture;
    cRecordingNetObject late("Late Meter", 2);
    QVERIFY(fixture.mMetering.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, late.GetHandle(), PARAMETER_BASE,
                                                    cMeteringSources::P_HIGH_RIGHT, 0, 1, false));
    QVERIFY(fixture.mMetering.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, late.GetHandle(),
                                                    PARAMETER_BASE + 1, cMeteringSources::P_ENABLE, 0, 1,
                                                    false));
    cMessagePump::Pump();
    QCOMPARE(late.LastPayload(PARAMETER_BASE), MeterPayload(GAIN_MINUS_INFINITY));
    QCOMPARE(late.LastPayload(PARAMETER_BASE + 1), QByteArray(1, '\1'));
}

QTEST_GUILESS_MAIN(tst_cMeteringSources)
#include "tst_cMeteringSources.moc"
