#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortManager.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"

#include <QSerialPort>
#include <QtTest>

namespace
{

enum eOpenCase
{
    OPEN_NAME_NOT_A_DEVICE_PORT,
    OPEN_NO_DEVICE_PORTS,
    OPEN_PORT_MISSING,
    OPEN_PORT_IN_USE,
};

enum eHandshakeFault
{
    HANDSHAKE_SILENT,
    HANDSHAKE_SILENT_AFTER_VERSION,
    HANDSHAKE_TABLE_RECORD_DROPPED,
};

enum eLineFault
{
    LINE_GARBAGE_BEFORE_VERSION,
    LINE_VERSION_SPLIT,
    LINE_GARBAGE_BEFORE_METERS,
    LINE_METERS_SPLIT,
    LINE_METERS_OVERLONG,
    LINE_METERS_WRONG_LENGTH,
};

enum eFlood
{
    FLOOD_STRAY_BYTES,
    FLOOD_BAD_HEADERS,
};

} // namespace

Q_DECLARE_METATYPE(eOpenCase)
Q_DECLARE_METATYPE(eFlood)
Q_DECLARE_METATYPE(eConnectionState)
Q_DECLARE_METATYPE(eHandshakeFault)
Q_DECLARE_METATYPE(eLineFault)

class tst_cSerialLinkFaults : public QObject
{
    Q_OBJECT

private slots:
    void errorFromPortError_mapsOpenFailures_data();
    void errorFromPortError_mapsOpenFailures();
    void failedConnect_setsItsErrorOnceAndStaysIdle_data();
    void failedConnect_setsItsErrorOnceAndStaysIdle();
    void handshakeWithoutProgress_timesOutAndCloses_data();
    void handshakeWithoutProgress_timesOutAndCloses();
    void silentDeviceWhenConnected_isNoReplyAfterTheMisses();
    void vanishingDevice_isNoticedInEveryStateAndANewConnectWorks_data();
    void vanishingDevice_isNoticedInEveryStateAndANewConnectWorks();
    void flood_atAndAboveTheLineRate_holdsLittleAndTheLinkAnswers();
    void repeatedReports_areSaidOncePerSecond_data();
    void repeatedReports_areSaidOncePerSecond();
    void lineFault_isReportedAndTheLinkCarriesOn_data();
    void lineFault_isReportedAndTheLinkCarriesOn();
    void busyDevice_everyReplyOfATickIsHandled();
};

void tst_cSerialLinkFaults::errorFromPortError_mapsOpenFailures_data()
{
    QTest::addColumn<int>("portError");
    QTest::addColumn<int>("error");
    QTest::newRow("device not found") << int(QSerialPort::DeviceNotFoundError) << 2;
    QTest::newRow("permission") << int(QSerialPort::PermissionError) << 1;
    QTest::newRow("open") << int(QSerialPort::OpenError) << 1;
    QTest::newRow("timeout") << int(QSerialPort::TimeoutError) << 3;
    QTest::newRow("resource leaves it") << int(QSerialPort::ResourceError) << 0;
    QTest::newRow("no error") << int(QSerialPort::NoError) << 0;
}

void tst_cSerialLinkFaults::errorFromPortError_mapsOpenFailures()
{
    QFETCH(int, portError);
    QFETCH(int, error);
    QCOMPARE(cSerialInterface::ErrorFromPortError(static_cast<QSerialPort::SerialPortError>(portError)),
             ULONG(error));
}

void tst_cSerialLinkFaults::failedConnect_setsItsErrorOnceAndStaysIdle_data()
{
    QTest::addColumn<eOpenCase>("openCase");
    QTest::addColumn<int>("error");
    QTest::newRow("name not a device port") << OPEN_NAME_NOT_A_DEVICE_PORT << 2;
    QTest::newRow("no device ports") << OPEN_NO_DEVICE_PORTS << 2;
    QTest::newRow("device port missing") << OPEN_PORT_MISSING << 2;
    QTest::newRow("port in use") << OPEN_PORT_IN_USE << 1;
}

void tst_cSerialLinkFaults::failedConnect_setsItsErrorOnceAndStaysIdle()
{
    QFETCH(eOpenCase, openCase);
    QFETCH(int, error);
    cSerialTestLink t;
    QVERIFY(t.Opened());
    QSerialPort other;
    QByteArray name = t.PortName().toUtf8();
    switch (openCase)
    {
    case OPEN_NAME_NOT_A_DEVICE_PORT:
        name = "ttyS9";
        break;
    case OPEN_NO_DEVICE_PORTS:
        t.PortList().SetPorts({});
        t.Link().GetPortList();
        name.clear();
        break;
    case OPEN_PORT_MISSING:
        t.Device().Vanish();
        break;
    case OPEN_PORT_IN_USE:
        other.setPortName(t.PortName());
        QVERIFY(other.open(QIODevice::ReadWrite));
        break;
    }
    t.Link().RequestConnect(name.isEmpty() ? nullptr : name.constData());
    t.Tick();
    QCOMPARE(t.Link().GetState(), CONNECTION_STATE_IDLE);
    QCOMPARE(t.Link().TakeLastError(), ULONG(error));
    QCOMPARE(t.Link().TakeLastError(), ULONG(ERROR_EVENT_NONE));
    t.Ticks(3);
    QCOMPARE(t.Link().GetState(), CONNECTION_STATE_IDLE);
    QCOMPARE(t.Link().TakeLastError(), ULONG(ERROR_EVENT_NONE));

    // The next connect, with the cause gone, works.
    if (openCase == OPEN_PORT_IN_USE)
    {
        other.close();
        QVERIFY(t.Connect());
    }
}

void tst_cSerialLinkFaults::handshakeWithoutProgress_timesOutAndCloses_data()
{
    QTest::addColumn<eHandshakeFault>("fault");
    QTest::newRow("no version reply") << HANDSHAKE_SILENT;
    QTest::newRow("no control-strip reply") << HANDSHAKE_SILENT_AFTER_VERSION;
    QTest::newRow("a filter-table record dropped") << HANDSHAKE_TABLE_RECORD_DROPPED;
}

void tst_cSerialLinkFaults::handshakeWithoutProgress_timesOutAndCloses()
{
    QFETCH(eHandshakeFault, fault);
    const sSerialLinkTimings timings = TestTimings();
    cSerialTestLink t(timings);
    cReportCapture capture;
    cSerialInterface& link = t.Link();
    link.RequestConnect(nullptr);
    switch (fault)
    {
    case HANDSHAKE_SILENT:
        t.Device().SetSilent(true);
        t.Tick();
        break;
    case HANDSHAKE_SILENT_AFTER_VERSION:
        t.Tick();
        t.Device().SetSilent(true);
        QVERIFY(t.TickUntil(CONNECTION_STATE_GETTING_SYNC));
        t.Tick();
        break;
    case HANDSHAKE_TABLE_RECORD_DROPPED:
        t.Device().DropFilterRecord(17);
        QVERIFY(t.TickUntil(CONNECTION_STATE_GETTING_SYNC));
        while (t.Device().CountFrames(3) == 0)
        {
            t.Tick();
        }
        t.Tick();
        break;
    }
    // The link waits the whole time-out after the last progress, then gives up.
    const eConnectionState waiting = link.GetState();
    QVERIFY(waiting == CONNECTION_STATE_PORT_OPEN || waiting == CONNECTION_STATE_GETTING_SYNC);
    t.Ticks(timings.mHandshakeTimeoutTicks);
    QCOMPARE(link.GetState(), waiting);
    t.Device().ClearLog();
    t.Tick();
    QCOMPARE(link.GetState(), CONNECTION_STATE_IDLE);
    QCOMPARE(t.Device().Commands(), QList<std::uint8_t>{15});
    QCOMPARE(link.TakeLastError(), ULONG(ERROR_EVENT_TIMEOUT_ERROR));
    QCOMPARE(link.TakeLastError(), ULONG(ERROR_EVENT_NONE));
    QVERIFY(capture.Contains("ERROR: Serial device did not answer"));

    t.Device().SetSilent(false);
    t.Device().DropFilterRecord(-1);
    QVERIFY(t.Connect());
}

void tst_cSerialLinkFaults::silentDeviceWhenConnected_isNoReplyAfterTheMisses()
{
    const sSerialLinkTimings timings = TestTimings();
    cSerialTestLink t(timings);
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    t.Device().SetSilent(true);
    t.Device().ClearLog();
    cReportCapture capture;
    // A poll, then the waits, then the miss: each missed poll takes the wait limit + 3 ticks.
    const int ticksToLastMiss = timings.mMissesForNoReply * (timings.mMeterWaitTicks + 3);
    t.Ticks(ticksToLastMiss);
    QCOMPARE(link.GetState(), CONNECTION_STATE_CONNECTED);
    t.Tick();
    QCOMPARE(link.GetState(), CONNECTION_STATE_NO_REPLY);
    QCOMPARE(t.Device().CountFrames(4), timings.mMissesForNoReply);
    QVERIFY(capture.Contains("ERROR: No reply from the serial device"));

    // Nothing more is sent, and records are dropped.
    t.Device().ClearLog();
    QVERIFY(!link.QueueControlStrip(1, 0, 0, 0, 0));
    t.Ticks(20);
    QCOMPARE(t.Device().Commands(), QList<std::uint8_t>{});
    QCOMPARE(link.GetState(), CONNECTION_STATE_NO_REPLY);
    sMeterBlock meters;
    QVERIFY(link.GetMeterBlock(meters));

    // A connect starts over.
    t.Device().SetSilent(false);
    QVERIFY(t.Connect());
}

void tst_cSerialLinkFaults::vanishingDevice_isNoticedInEveryStateAndANewConnectWorks_data()
{
    QTest::addColumn<eConnectionState>("state");
    QTest::newRow("port open") << CONNECTION_STATE_PORT_OPEN;
    QTest::newRow("connected") << CONNECTION_STATE_CONNECTED;
    QTest::newRow("syncing") << CONNECTION_STATE_SYNCING;
    QTest::newRow("no reply") << CONNECTION_STATE_NO_REPLY;
}

void tst_cSerialLinkFaults::vanishingDevice_isNoticedInEveryStateAndANewConnectWorks()
{
    QFETCH(eConnectionState, state);
    cSerialTestLink t;
    cSerialInterface& link = t.Link();
    switch (state)
    {
    case CONNECTION_STATE_PORT_OPEN:
        t.Device().SetSilent(true);
        link.RequestConnect(nullptr);
        t.Tick();
        break;
    case CONNECTION_STATE_SYNCING:
        link.RequestConnect(nullptr);
        QVERIFY(t.TickUntil(state));
        break;
    case CONNECTION_STATE_NO_REPLY:
        QVERIFY(t.Connect());
        t.Device().SetSilent(true);
        QVERIFY(t.TickUntil(state));
        break;
    default:
        QVERIFY(t.Connect());
        t.Ticks(3);
        QVERIFY(link.QueueFilter(0x0200, nullptr, 0, 1, 2, 3, 4, 5, 6));
        QVERIFY(link.QueueDelay(1, 10));
        break;
    }
    QCOMPARE(link.GetState(), state);
    cManualReportClock clock;
    cReportCapture capture;
    t.Device().Vanish();
    // Nothing is written in "syncing" and "no reply": only the reads tell.
    QVERIFY(t.TickUntil(CONNECTION_STATE_IDLE, cSerialLossDetector::READ_ERROR_TICKS_FOR_LOSS));
    QCOMPARE(link.TakeLastError(), ULONG(ERROR_EVENT_DEVICE_NOT_FOUND));
    QCOMPARE(link.QueuedRecords(), std::size_t(0));
    QCOMPARE(capture.Count("ERROR: Serial device lost"), 1);
    // The port's error, taken on the tick and again as the port closes, is said once.
    QCOMPARE(capture.Count("ERROR: Serial error occurred: "), 1);
    sMeterBlock meters;
    QVERIFY(!link.GetMeterBlock(meters));
    QCOMPARE(link.GetVersionText(), QString());
    t.Ticks(3);
    QCOMPARE(link.GetState(), CONNECTION_STATE_IDLE);
    QCOMPARE(link.TakeLastError(), ULONG(ERROR_EVENT_NONE));

    QVERIFY(t.Reappear());
    t.Device().SetSilent(false);
    t.Device().ClearLog();
    QVERIFY(t.Connect());
    QCOMPARE(t.Device().Commands(), (QList<std::uint8_t>{0, 7, 9, 3}));
    QVERIFY(link.QueueDelay(1, 10));
    t.Ticks(2);
    QCOMPARE(t.Device().ModelSnapshot().mDelays[1], std::uint32_t(10));
}

void tst_cSerialLinkFaults::flood_atAndAboveTheLineRate_holdsLittleAndTheLinkAnswers()
{
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    cSimulatedDevice& device = t.Device();
    cManualReportClock clock;
    cReportCapture capture;
    const quint64 bound = quint64(cSerialPortManager::READ_BUFFER_SIZE + cSerialFrameParser::CAPACITY);

    // At the line's rate: a tick's worth of valid frames (ignored replies) besides the answers.
    const QByteArray lineRate =
        cSimulatedDevice::Frame(5, QByteArray()).repeated(cSerialPortManager::LINE_BYTES_PER_TICK / 8);
    for (int i = 1; i <= 100; ++i)
    {
        device.Model().mMeters.fill(static_cast<std::uint32_t>(i));
        device.WriteRaw(lineRate);
        QVERIFY(t.Tick());
        sMeterBlock meters;
        QVERIFY(link.GetMeterBlock(meters));
        QCOMPARE(meters[0], ULONG(i - 1));
    }
    QCOMPARE(link.GetState(), CONNECTION_STATE_CONNECTED);
    QCOMPARE(link.GetStatistics().mBytesDropped, quint64(0));
    QVERIFY(link.GetStatistics().mLargestBytesHeld <= bound);

    // Above it: the device writes whatever the pty takes, and answers nothing.
    device.SetSilent(true);
    const QByteArray burst = cSimulatedDevice::Frame(5, QByteArray()).repeated(8192);
    qint64 flooded = 0;
    for (int i = 0; i < 50; ++i)
    {
        flooded += device.Flood(burst);
        t.Tick();
    }
    const sSerialLinkStatistics statistics = link.GetStatistics();
    QVERIFY2(flooded > 50 * cSerialPortManager::INPUT_BYTES_PER_TICK, qPrintable(QString::number(flooded)));
    QVERIFY(statistics.mBytesDropped > 0);
    QVERIFY2(statistics.mLargestBytesHeld <= bound,
             qPrintable(QString::number(statistics.mLargestBytesHeld)));
    QCOMPARE(capture.Count("ERROR: Serial input beyond what the link can use dropped"), 1);

    // The flood over, the link answers requests again.
    device.SetSilent(false);
    QVERIFY(t.Connect());
    QVERIFY(link.QueueDelay(3, 33));
    t.Ticks(2);
    QCOMPARE(device.ModelSnapshot().mDelays[3], std::uint32_t(33));
}

void tst_cSerialLinkFaults::repeatedReports_areSaidOncePerSecond_data()
{
    QTest::addColumn<eFlood>("flood");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("stray bytes before every reply")
        << FLOOD_STRAY_BYTES << QStringList{"ERROR: Serial reply discarded (bytes before a frame): 7 bytes"};
    QTest::newRow("headers with impossible lengths")
        << FLOOD_BAD_HEADERS
        << QStringList{"ERROR: Serial reply discarded (payload length above 512): 1 bytes",
                       "ERROR: Serial reply discarded (bytes before a frame): 7 bytes"};
}

void tst_cSerialLinkFaults::repeatedReports_areSaidOncePerSecond()
{
    QFETCH(eFlood, flood);
    QFETCH(QStringList, texts);
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cManualReportClock clock;
    cReportCapture capture;
    const QByteArray badHeaders =
        QByteArray::fromHex("a5a50005ffffffff").repeated(cSerialPortManager::LINE_BYTES_PER_TICK / 8);
    // Three seconds of 20 ms ticks.
    for (int i = 0; i < 150; ++i)
    {
        if (flood == FLOOD_STRAY_BYTES)
        {
            t.Device().InjectGarbageBeforeNextReply(QByteArray(7, char(0x11)));
        }
        else
        {
            t.Device().WriteRaw(badHeaders);
        }
        t.Tick();
        clock.mNow += 20;
    }
    clock.mNow += 1000;
    FlushHeldBackReports();
    QCOMPARE(t.Link().GetState(), CONNECTION_STATE_CONNECTED);
    for (const QString& text : texts)
    {
        QCOMPARE(capture.Count(text), 3);
    }
    QCOMPARE(capture.Count("more reports from here held back in the last second"), 3);
    QCOMPARE(capture.Lines().size(), 3 * (texts.size() + 1));
}

void tst_cSerialLinkFaults::lineFault_isReportedAndTheLinkCarriesOn_data()
{
    QTest::addColumn<eLineFault>("fault");
    QTest::addColumn<QString>("report");
    QTest::newRow("garbage before the version reply")
        << LINE_GARBAGE_BEFORE_VERSION << "ERROR: Serial reply discarded (bytes before a frame): 5 bytes";
    QTest::newRow("version reply split across ticks") << LINE_VERSION_SPLIT << "";
    QTest::newRow("garbage before a meter reply")
        << LINE_GARBAGE_BEFORE_METERS << "ERROR: Serial reply discarded (bytes before a frame): 3 bytes";
    QTest::newRow("meter reply split across ticks") << LINE_METERS_SPLIT << "";
    QTest::newRow("over-long meter reply")
        << LINE_METERS_OVERLONG << "ERROR: Serial reply discarded (payload length above 512): 1 bytes";
    QTest::newRow("meter reply of a wrong length")
        << LINE_METERS_WRONG_LENGTH << "ERROR: Serial reply 4 ignored: payload length 31 is wrong";
}

void tst_cSerialLinkFaults::lineFault_isReportedAndTheLinkCarriesOn()
{
    QFETCH(eLineFault, fault);
    QFETCH(QString, report);
    cSerialTestLink t;
    cSimulatedDevice& device = t.Device();
    cSerialInterface& link = t.Link();
    cReportCapture capture;
    device.Model().mMeters.fill(0x11111111);
    switch (fault)
    {
    case LINE_GARBAGE_BEFORE_VERSION:
        device.InjectGarbageBeforeNextReply(QByteArray::fromHex("00a5a50113"));
        break;
    case LINE_VERSION_SPLIT:
        device.SplitNextReply(5);
        break;
    default:
        break;
    }
    QVERIFY(t.Connect());
    t.Ticks(2);
    sMeterBlock meters;
    QVERIFY(link.GetMeterBlock(meters));
    QCOMPARE(meters[0], ULONG(0x11111111));

    device.Model().mMeters.fill(0x22222222);
    switch (fault)
    {
    case LINE_GARBAGE_BEFORE_METERS:
        device.InjectGarbageBeforeNextReply(QByteArray::fromHex("a5a5a5"));
        break;
    case LINE_METERS_SPLIT:
        device.SplitNextReply(13);
        break;
    case LINE_METERS_OVERLONG:
        device.FaultNextReply(4, cSimulatedDevice::FAULT_OVERLONG_LENGTH);
        break;
    case LINE_METERS_WRONG_LENGTH:
        device.FaultNextReply(4, cSimulatedDevice::FAULT_WRONG_LENGTH);
        break;
    default:
        break;
    }
    // The next reply of every kind still arrives and is taken whole.
    QVERIFY(link.QueueDelay(2, 7));
    for (int i = 0; i < 10 && !(link.GetMeterBlock(meters) && meters[7] == 0x22222222); ++i)
    {
        t.Tick();
    }
    sMeterBlock expected;
    expected.fill(0x22222222);
    QCOMPARE(meters, expected);
    QCOMPARE(link.GetState(), CONNECTION_STATE_CONNECTED);
    QCOMPARE(device.ModelSnapshot().mDelays[2], std::uint32_t(7));
    QCOMPARE(link.GetVersionText(), QStringLiteral("V1.2"));
    if (report.isEmpty())
    {
        QVERIFY(!capture.Contains("ERROR: "));
    }
    else
    {
        QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    }
}

void tst_cSerialLinkFaults::busyDevice_everyReplyOfATickIsHandled()
{
    // Each tick the device answers a meter poll and acknowledges three records, so four replies
    // arrive per tick; all of them must be taken, or the meters fall behind and the polls stop.
    cSerialTestLink t;
    QVERIFY(t.Connect());
    cSerialInterface& link = t.Link();
    t.Device().ClearLog();
    const int ticks = 200;
    for (int i = 1; i <= ticks; ++i)
    {
        t.Device().Model().mMeters.fill(static_cast<std::uint32_t>(i));
        QVERIFY(link.QueueFilter(static_cast<ULONG>(0x0200 | (i % 2)), nullptr, 0, static_cast<UWORD>(i), 0,
                                 0, 0, 0, 0));
        QVERIFY(link.QueueControlStrip(static_cast<ULONG>(i % 8), 0, static_cast<UWORD>(i), 0, 0));
        QVERIFY(link.QueueDelay(static_cast<ULONG>(i % 6), static_cast<ULONG>(i)));
        t.Tick();
        sMeterBlock meters;
        QVERIFY(link.GetMeterBlock(meters));
        // The reply to this tick's poll is taken on the next tick.
        QCOMPARE(meters[3], ULONG(i - 1));
    }
    QCOMPARE(t.Device().CountFrames(4), ticks);
    QCOMPARE(t.Device().CountFrames(2), ticks);
    QCOMPARE(link.GetState(), CONNECTION_STATE_CONNECTED);
    QCOMPARE(link.GetStatistics().mBadFrames, quint64(0));
}

QTEST_GUILESS_MAIN(tst_cSerialLinkFaults)
#include "tst_cSerialLinkFaults.moc"
