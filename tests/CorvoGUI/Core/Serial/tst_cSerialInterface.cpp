#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QtTest>

#include <cstring>

namespace
{

using tFrames = QList<cSimulatedDevice::sReceivedFrame>;

QList<int> CommandsOf(const tFrames& frames)
{
    QList<int> commands;
    for (const cSimulatedDevice::sReceivedFrame& frame : frames)
    {
        commands << frame.mCommand;
    }
    return commands;
}

// Commands the device received during one tick.
QList<int> TickCommands(cSerialTestLink& link)
{
    link.Device().ClearLog();
    link.Tick();
    return CommandsOf(link.Device().Frames());
}

quint32 Load32(const QByteArray& bytes, int offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
    {
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    }
    return value;
}

// "<id>=<value>" for every record frame of the command, in the order received: the value is the
// filter's frequency code, the strip's gain code or the delay's samples.
QStringList SentRecords(const tFrames& frames, int command)
{
    QStringList sent;
    for (const cSimulatedDevice::sReceivedFrame& frame : frames)
    {
        if (frame.mCommand != command)
        {
            continue;
        }
        const QByteArray& p = frame.mPayload;
        const quint32 value =
            command == 2 ? (Load32(p, p.size() - 9) & 0xFFFF) : (command == 6 ? Load32(p, 8) : Load32(p, 4));
        sent << QStringLiteral("%1=%2").arg(Load32(p, 0)).arg(value);
    }
    return sent;
}

bool Queue(cSerialInterface& link, int kind, ULONG id, UWORD value)
{
    static const UBYTE coefficients[20] = {};
    switch (kind)
    {
    case 2:
        return link.QueueFilter(id, coefficients, 20, value, 0, 0, 0, 0, 0);
    case 6:
        return link.QueueControlStrip(id, 0, value, 0, 0);
    default:
        return link.QueueDelay(id, value);
    }
}

void PrepareDevice(cSimulatedDevice& device)
{
    cSimulatedDeviceModel& model = device.Model();
    for (int i = 0; i < cSimulatedDeviceModel::FILTER_RECORDS; ++i)
    {
        model.mFilters[static_cast<size_t>(i)].mFrequencyCode = static_cast<std::uint16_t>(1000 + i);
        model.mFilters[static_cast<size_t>(i)].mBypass = static_cast<std::uint16_t>(i % 2);
    }
    for (int i = 0; i < cSimulatedDeviceModel::CONTROL_STRIPS; ++i)
    {
        model.mStrips[static_cast<size_t>(i)].mGainCode = static_cast<std::uint16_t>(0x100 * i);
        model.mStrips[static_cast<size_t>(i)].mMute = static_cast<std::uint16_t>(i == 3);
    }
    for (int i = 0; i < cSimulatedDeviceModel::DELAY_CHANNELS; ++i)
    {
        model.mDelays[static_cast<size_t>(i)] = static_cast<std::uint32_t>(48 * i);
    }
    model.mMeters.fill(0x01020304);
}

} // namespace

class tst_cSerialInterface : public QObject
{
    Q_OBJECT

private slots:
    void handshake_versionThenStripsDelaysTableThenSilenceUntilConfirmed();
    void connectedTick_sendsOnePollAndAtMostOneRecordPerKind();
    void meterPoll_isSentOnlyWhenTheLastWasAnswered_data();
    void meterPoll_isSentOnlyWhenTheLastWasAnswered();
    void queuedRecordsWithSameId_coalesceInPlace_data();
    void queuedRecordsWithSameId_coalesceInPlace();
    void queuedFilter_keepsItsOwnCoefficientCopy();
    void recordsOutsideConnectedState_areDropped_data();
    void recordsOutsideConnectedState_areDropped();
    void setRunning_onlyFromSyncing_data();
    void setRunning_onlyFromSyncing();
    void disconnectWithQueuedRecords_drainsThenSendsDisconnectAndCloses();
    void disconnect_neverHangs_data();
    void disconnect_neverHangs();
    void reconnectWhileConnected_dropsQueuesAndRunsTheHandshakeAgain();
    void portList_followsTheSearch();
};

void tst_cSerialInterface::handshake_versionThenStripsDelaysTableThenSilenceUntilConfirmed()
{
    cSerialTestLink t;
    QVERIFY(t.Opened());
    PrepareDevice(t.Device());
    cSerialInterface& link = t.Link();
    sMeterBlock meters;
    QVERIFY(!link.GetMeterBlock(meters));
    QCOMPARE(link.GetVersionText(), QString());

    link.RequestConnect(t.PortName().toUtf8().constData());
    QList<int> states;
    for (int i = 0; i < 7; ++i)
    {
        t.Tick();
        states << link.GetState();
    }
    // Never "connected" on the way: the link runs only once confirmed.
    QCOMPARE(states, (QList<int>{1, 3, 3, 3, 3, 4, 4}));
    QCOMPARE(CommandsOf(t.Device().Frames()), (QList<int>{0, 7, 9, 3}));
    QCOMPARE(link.GetVersionText(), QStringLiteral("V1.2"));

    // The device's state reaches the readers whole.
    const cSimulatedDeviceModel model = t.Device().ModelSnapshot();
    sFilterTable table;
    QVERIFY(link.GetFilterTable(table));
    for (int i = 0; i < cSimulatedDeviceModel::FILTER_RECORDS; ++i)
    {
        QCOMPARE(table[static_cast<size_t>(i)].mFrequencyCode,
                 model.mFilters[static_cast<size_t>(i)].mFrequencyCode);
        QCOMPARE(table[static_cast<size_t>(i)].mBypass, model.mFilters[static_cast<size_t>(i)].mBypass);
    }
    sControlStripBlock strips;
    QVERIFY(link.GetControlStripBlock(strips));
    QCOMPARE(strips[5].mGainCode, SWORD(0x500));
    QCOMPARE(strips[3].mMute, UWORD(1));
    sDelayBlock delays;
    QVERIFY(link.GetDelayBlock(delays));
    QCOMPARE(delays[5], ULONG(240));

    // Silence until the user interface confirms the sync.
    for (int i = 0; i < 5; ++i)
    {
        QCOMPARE(TickCommands(t), QList<int>{});
        QCOMPARE(link.GetState(), CONNECTION_STATE_SYNCING);
    }
    QVERIFY(link.SetRunning());
    QCOMPARE(link.GetState(), CONNECTION_STATE_CONNECTED);
    QCOMPARE(TickCommands(t), QList<int>{4});
    QCOMPARE(TickCommands(t), QList<int>{4});
    QVERIFY(link.GetMeterBlock(meters));
    QCOMPARE(meters[0], ULONG(0x01020304));
    QCOMPARE(t.Device().MalformedFrames(), 0);
    QCOMPARE(t.Device().GarbageBytes(), 0);
}

void tst_cSerialInterface::connectedTick_sendsOnePollAndAtMostOneRecordPerKind()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    UBYTE coefficients[20];
    for (int i = 0; i < 20; ++i)
    {
        coefficients[i] = static_cast<UBYTE>(0xC0 + i);
    }
    QVERIFY(link.QueueFilter(0x0305, coefficients, 20, 0x4321, 0x0D00, 0x8000, 0, 0, 0x80));
    QVERIFY(link.QueueFilter(0x0204, coefficients, 20, 0x1111, 0, 0, 3, 0, 0));
    QVERIFY(link.QueueControlStrip(2, 0x7FFFFFFF, 3082, 1, 0));
    QVERIFY(link.QueueControlStrip(7, 0, 0x8001, 1, 1));
    QVERIFY(link.QueueDelay(4, 96));

    QCOMPARE(TickCommands(t), (QList<int>{4, 2, 6, 8}));
    const tFrames frames = t.Device().Frames();
    QCOMPARE(frames[1].mBytes.toHex(), QByteArray::fromHex("a5a500022100000005030000"
                                                           "c0c1c2c3c4c5c6c7c8c9cacbcccdcecfd0d1d2d3"
                                                           "2143000d0080000080")
                                           .toHex());
    QCOMPARE(frames[2].mBytes.toHex(),
             QByteArray::fromHex("a5a500061400000002000000ffffff7f0a0c00000100000000000000").toHex());
    QCOMPARE(frames[3].mBytes.toHex(), QByteArray::fromHex("a5a50008080000000400000060000000").toHex());
    QCOMPARE(TickCommands(t), (QList<int>{4, 2, 6}));
    QCOMPARE(TickCommands(t), QList<int>{4});

    const cSimulatedDeviceModel model = t.Device().ModelSnapshot();
    QCOMPARE(model.mFilters[static_cast<size_t>(cSimulatedDeviceModel::FilterIndex(0x0305))].mFrequencyCode,
             std::uint16_t(0x4321));
    QCOMPARE(model.mFilters[static_cast<size_t>(cSimulatedDeviceModel::FilterIndex(0x0204))].mFilterType,
             std::uint16_t(3));
    QCOMPARE(model.mStrips[7].mMute, std::uint16_t(1));
    QCOMPARE(model.mDelays[4], std::uint32_t(96));
}

void tst_cSerialInterface::meterPoll_isSentOnlyWhenTheLastWasAnswered_data()
{
    QTest::addColumn<int>("replyDelay");
    QTest::addColumn<int>("polls");
    QTest::newRow("prompt device: every tick") << 0 << 12;
    QTest::newRow("two ticks late: every third tick") << 2 << 4;
    QTest::newRow("three ticks late: every fourth tick") << 3 << 3;
}

void tst_cSerialInterface::meterPoll_isSentOnlyWhenTheLastWasAnswered()
{
    QFETCH(int, replyDelay);
    QFETCH(int, polls);
    // The wait count is not reset by replies, so late replies add up towards a miss; the
    // program's limit keeps these few waits far from one.
    sSerialLinkTimings timings = TestTimings();
    timings.mMeterWaitTicks = 50;
    cSerialTestLink t(timings);
    QVERIFY(t.Connect());
    t.Device().SetReplyDelay(replyDelay);
    t.Device().ClearLog();
    t.Ticks(12);
    QCOMPARE(t.Device().CountFrames(4), polls);
    QCOMPARE(t.Link().GetState(), CONNECTION_STATE_CONNECTED);
}

void tst_cSerialInterface::queuedRecordsWithSameId_coalesceInPlace_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("depth");

    QList<int> alternating;
    for (int i = 0; i < 100; ++i)
    {
        alternating << 0x0304 << 0x0305;
    }
    const struct
    {
        int kind;
        const char* name;
    } kinds[] = {{2, "filter"}, {6, "strip"}, {8, "delay"}};
    for (const auto& k : kinds)
    {
        // The value queued is the record's position, 1 on.
        QTest::addRow("%s: same id twice", k.name) << k.kind << QList<int>{3, 3} << QStringList{"3=2"} << 1;
        QTest::addRow("%s: A B A keeps A first", k.name)
            << k.kind << QList<int>{1, 4, 1} << QStringList{"1=3", "4=2"} << 2;
        QTest::addRow("%s: A B C B A", k.name)
            << k.kind << QList<int>{1, 2, 5, 2, 1} << QStringList{"1=5", "2=4", "5=3"} << 3;
    }
    QTest::newRow("filter: ganged drag alternating left and right")
        << 2 << alternating << QStringList{"772=199", "773=200"} << 2;
}

void tst_cSerialInterface::queuedRecordsWithSameId_coalesceInPlace()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, ids);
    QFETCH(QStringList, sent);
    QFETCH(int, depth);
    cSerialTestLink t;
    QVERIFY(t.Connect());
    for (int i = 0; i < ids.size(); ++i)
    {
        QVERIFY(Queue(t.Link(), kind, static_cast<ULONG>(ids[i]), static_cast<UWORD>(i + 1)));
    }
    QCOMPARE(t.Link().QueuedRecords(), static_cast<std::size_t>(depth));
    t.Device().ClearLog();
    t.Ticks(depth + 2);
    QCOMPARE(SentRecords(t.Device().Frames(), kind), sent);
}

void tst_cSerialInterface::queuedFilter_keepsItsOwnCoefficientCopy()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    UBYTE buffer[20];
    for (int i = 0; i < 20; ++i)
    {
        buffer[i] = static_cast<UBYTE>(i + 1);
    }
    QVERIFY(t.Link().QueueFilter(0x0200, buffer, 20, 1, 2, 3, 4, 5, 6));
    std::memset(buffer, 0xEE, sizeof buffer); // the driver redesigns into its buffer
    t.Tick();
    const cSimulatedDeviceModel model = t.Device().ModelSnapshot();
    QCOMPARE(model.mFilters[2].mCoefficients.toHex(), QByteArray("0102030405060708090a0b0c0d0e0f1011121314"));
}

void tst_cSerialInterface::recordsOutsideConnectedState_areDropped_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("idle") << int(CONNECTION_STATE_IDLE);
    QTest::newRow("port open") << int(CONNECTION_STATE_PORT_OPEN);
    QTest::newRow("getting sync") << int(CONNECTION_STATE_GETTING_SYNC);
    QTest::newRow("syncing") << int(CONNECTION_STATE_SYNCING);
    QTest::newRow("no reply") << int(CONNECTION_STATE_NO_REPLY);
}

void tst_cSerialInterface::recordsOutsideConnectedState_areDropped()
{
    QFETCH(int, state);
    cSerialTestLink t;
    cSerialInterface& link = t.Link();
    if (state == CONNECTION_STATE_NO_REPLY)
    {
        QVERIFY(t.Connect());
        t.Device().SetSilent(true);
    }
    else if (state != CONNECTION_STATE_IDLE)
    {
        link.RequestConnect(nullptr);
    }
    QVERIFY(t.TickUntil(static_cast<eConnectionState>(state), 100));
    for (int kind : {2, 6, 8})
    {
        QVERIFY(!Queue(link, kind, 1, 1));
    }
    QCOMPARE(link.QueuedRecords(), std::size_t(0));
    if (state == CONNECTION_STATE_SYNCING)
    {
        QVERIFY(link.SetRunning());
        QCOMPARE(TickCommands(t), QList<int>{4});
    }
}

void tst_cSerialInterface::setRunning_onlyFromSyncing_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("idle") << int(CONNECTION_STATE_IDLE);
    QTest::newRow("port open") << int(CONNECTION_STATE_PORT_OPEN);
    QTest::newRow("getting sync") << int(CONNECTION_STATE_GETTING_SYNC);
    QTest::newRow("connected") << int(CONNECTION_STATE_CONNECTED);
}

void tst_cSerialInterface::setRunning_onlyFromSyncing()
{
    QFETCH(int, state);
    cSerialTestLink t;
    if (state == CONNECTION_STATE_CONNECTED)
    {
        // Running already.
        QVERIFY(t.Connect());
    }
    else if (state != CONNECTION_STATE_IDLE)
    {
        t.Link().RequestConnect(nullptr);
    }
    QVERIFY(t.TickUntil(static_cast<eConnectionState>(state)));
    QVERIFY(!t.Link().SetRunning());
    QCOMPARE(int(t.Link().GetState()), state);
}

void tst_cSerialInterface::disconnectWithQueuedRecords_drainsThenSendsDisconnectAndCloses()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    QVERIFY(Queue(link, 2, 0x0200, 10));
    QVERIFY(Queue(link, 2, 0x0201, 11));
    QVERIFY(Queue(link, 6, 4, 12));
    link.RequestDisconnect();

    QCOMPARE(TickCommands(t), (QList<int>{4, 2, 6}));
    QCOMPARE(link.GetState(), CONNECTION_STATE_DISCONNECTING);
    QVERIFY(!Queue(link, 8, 1, 1));
    QCOMPARE(TickCommands(t), (QList<int>{4, 2}));
    QCOMPARE(link.GetState(), CONNECTION_STATE_DISCONNECTING);
    QCOMPARE(TickCommands(t), QList<int>{15});
    QCOMPARE(link.GetState(), CONNECTION_STATE_IDLE);
    QCOMPARE(TickCommands(t), QList<int>{});
    sMeterBlock meters;
    QVERIFY(!link.GetMeterBlock(meters));
    QCOMPARE(link.TakeLastError(), ULONG(ERROR_EVENT_NONE));
}

void tst_cSerialInterface::disconnect_neverHangs_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("queued");
    QTest::newRow("port open") << int(CONNECTION_STATE_PORT_OPEN) << 0;
    QTest::newRow("getting sync") << int(CONNECTION_STATE_GETTING_SYNC) << 0;
    QTest::newRow("syncing") << int(CONNECTION_STATE_SYNCING) << 0;
    QTest::newRow("no reply, records still queued") << int(CONNECTION_STATE_NO_REPLY) << 36;
}

void tst_cSerialInterface::disconnect_neverHangs()
{
    QFETCH(int, state);
    QFETCH(int, queued);
    cSerialTestLink t;
    cSerialInterface& link = t.Link();
    if (state == CONNECTION_STATE_NO_REPLY)
    {
        QVERIFY(t.Connect());
        for (int i = 0; i < queued; ++i)
        {
            QVERIFY(Queue(link, 2, static_cast<ULONG>(i), 1));
        }
        t.Device().SetSilent(true);
    }
    else
    {
        link.RequestConnect(nullptr);
    }
    QVERIFY(t.TickUntil(static_cast<eConnectionState>(state), 100));
    QCOMPARE(link.QueuedRecords() > 0, queued > 0);
    link.RequestDisconnect();
    t.Device().ClearLog();
    QVERIFY(t.TickUntil(CONNECTION_STATE_IDLE, 60));
    QCOMPARE(CommandsOf(t.Device().Frames()).last(), 15);
    QCOMPARE(link.QueuedRecords(), std::size_t(0));
    QCOMPARE(TickCommands(t), QList<int>{});
}

void tst_cSerialInterface::reconnectWhileConnected_dropsQueuesAndRunsTheHandshakeAgain()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    QVERIFY(Queue(link, 2, 0x0200, 10));
    QVERIFY(Queue(link, 6, 1, 10));
    link.RequestConnect(t.PortName().toUtf8().constData());
    QCOMPARE(TickCommands(t), QList<int>{0});
    QCOMPARE(link.GetState(), CONNECTION_STATE_PORT_OPEN);
    QCOMPARE(link.QueuedRecords(), std::size_t(0));
    t.Device().ClearLog();
    QVERIFY(t.TickUntil(CONNECTION_STATE_SYNCING));
    QCOMPARE(CommandsOf(t.Device().Frames()), (QList<int>{7, 9, 3}));
}

void tst_cSerialInterface::portList_followsTheSearch()
{
    cSerialTestLink t;
    QCOMPARE(t.Link().GetPortList(), QStringList{t.PortName()});
    t.PortList().SetPorts({DevicePort("ttyACM0", 0xA44B, "Tabbet Audio - Corvo"), DevicePort("ttyS0", 0x1234),
                           DevicePort("ttyACM1")});
    QCOMPARE(t.Link().GetPortList(), (QStringList{"ttyACM0", "ttyACM1"}));
}

QTEST_GUILESS_MAIN(tst_cSerialInterface)
#include "tst_cSerialInterface.moc"
