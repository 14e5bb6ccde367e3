#include "CorvoGUI/Core/Serial/cSerialDeviceData.h"
#include "CorvoGUI/Core/Serial/cSerialPortManager.h"
#include "CorvoGUI/Core/Serial/cSystemSerialPortList.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <cstring>

namespace
{

enum eCommandCase
{
    CASE_VERSION,
    CASE_COMMAND1,
    CASE_FILTER,
    CASE_FILTER_WORDS,
    CASE_FILTER_TABLE,
    CASE_POLL,
    CASE_CONTROL_STRIP,
    CASE_CONTROL_STRIPS,
    CASE_DELAY,
    CASE_DELAYS,
    CASE_RESET,
    CASE_DISCONNECT,
};

sSerialFrame MakeFrame(int command, int length, UBYTE fill = 0x11)
{
    sSerialFrame frame;
    frame.mCommand = static_cast<UBYTE>(command);
    frame.mLength = static_cast<ULONG>(length);
    frame.mPayload.fill(fill);
    return frame;
}

// A manager on a simulated device, opened.
struct sManagerOnDevice
{
    sManagerOnDevice()
    {
        device.Open(UniqueLinkPath());
        list.SetPorts({DevicePort(device.PortPath())});
        manager = std::make_unique<cSerialPortManager>(&list, TestTimings());
        opened = manager->AutoConnectPort(device.PortPath().toUtf8().constData());
    }
    bool Step() { return device.Step(manager->Statistics().mBytesWritten); }

    cSimulatedDevice device;
    cFixedSerialPortList list;
    std::unique_ptr<cSerialPortManager> manager;
    bool opened = false;
};

} // namespace

Q_DECLARE_METATYPE(eCommandCase)

class tst_cSerialPortManager : public QObject
{
    Q_OBJECT

private slots:
    void command_writesExactFrame_data();
    void command_writesExactFrame();
    void portSearch_matchesVendorDescriptionAndProduct_data();
    void portSearch_matchesVendorDescriptionAndProduct();
    void autoConnect_choosesByNameOrFirstDevicePort();
    void versionReply_givesVersionText_data();
    void versionReply_givesVersionText();
    void reply_withWrongLength_isIgnoredAndChangesNothing_data();
    void reply_withWrongLength_isIgnoredAndChangesNothing();
    void filterTable_takesThirtySixRecordsInOrder();
    void meterWait_missesAfterLimitAndReplyClearsMissCount();
    void closeAndOpen_resetEveryHandshakeFlag();
    void pollMeters_withPortClosed_doesNothing();
    void simulatedPort_isDescribedAsTheDevice_data();
    void simulatedPort_isDescribedAsTheDevice();
    void systemPortList_listsTheConfiguredSimulatedPort();
};

void tst_cSerialPortManager::command_writesExactFrame_data()
{
    QTest::addColumn<eCommandCase>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("version") << CASE_VERSION << QByteArray::fromHex("a5a5000000000000");
    QTest::newRow("command 1") << CASE_COMMAND1 << QByteArray::fromHex("a5a5000100000000");
    QTest::newRow("filter, 20 coefficient bytes: 41 bytes")
        << CASE_FILTER
        << QByteArray::fromHex("a5a5000221000000"
                               "04020000"
                               "0102030405060708090a0b0c0d0e0f1011121314"
                               "3412000d0081030181");
    QTest::newRow("filter words") << CASE_FILTER_WORDS
                                  << QByteArray::fromHex("a5a5000208000000"
                                                         "78563412efbeadde");
    QTest::newRow("filter table request") << CASE_FILTER_TABLE << QByteArray::fromHex("a5a5000300000000");
    QTest::newRow("meter poll") << CASE_POLL << QByteArray::fromHex("a5a5000400000000");
    QTest::newRow("control strip") << CASE_CONTROL_STRIP
                                   << QByteArray::fromHex("a5a5000614000000"
                                                          "02000000ffffff7f0a0c00000100000000000000");
    QTest::newRow("control strips request") << CASE_CONTROL_STRIPS << QByteArray::fromHex("a5a5000700000000");
    QTest::newRow("delay") << CASE_DELAY
                           << QByteArray::fromHex("a5a500080800000005000000"
                                                  "00770100");
    QTest::newRow("delays request") << CASE_DELAYS << QByteArray::fromHex("a5a5000900000000");
    QTest::newRow("reset") << CASE_RESET << QByteArray::fromHex("a5a5000e00000000");
    QTest::newRow("disconnect") << CASE_DISCONNECT << QByteArray::fromHex("a5a5000f00000000");
}

void tst_cSerialPortManager::command_writesExactFrame()
{
    QFETCH(eCommandCase, command);
    QFETCH(QByteArray, expected);
    sManagerOnDevice link;
    QVERIFY(link.opened);
    link.device.SetSilent(true);
    cSerialPortManager& m = *link.manager;
    UBYTE coefficients[20];
    for (int i = 0; i < 20; ++i)
    {
        coefficients[i] = static_cast<UBYTE>(i + 1);
    }
    switch (command)
    {
    case CASE_VERSION:
        m.SendVersionRequest();
        break;
    case CASE_COMMAND1:
        m.SendCommand1Request();
        break;
    case CASE_FILTER:
        m.SendFilter(0x0204, coefficients, 20, 0x1234, 0x0D00, 0x8100, 3, 1, 0x81);
        break;
    case CASE_FILTER_WORDS:
        m.SendFilterWords(0x12345678, 0xDEADBEEF);
        break;
    case CASE_FILTER_TABLE:
        m.RequestFilterTable();
        break;
    case CASE_POLL:
        m.PollMeters();
        break;
    case CASE_CONTROL_STRIP:
        m.SendControlStrip(2, 0x7FFFFFFF, 3082, 1, 0);
        break;
    case CASE_CONTROL_STRIPS:
        m.RequestControlStrips();
        break;
    case CASE_DELAY:
        m.SendDelay(5, 96000);
        break;
    case CASE_DELAYS:
        m.RequestDelays();
        break;
    case CASE_RESET:
        m.SendResetCommand();
        QVERIFY(!m.IsPortOpen());
        break;
    case CASE_DISCONNECT:
        m.SendDisconnect();
        break;
    }
    QVERIFY(link.Step());
    const QList<cSimulatedDevice::sReceivedFrame> frames = link.device.Frames();
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].mBytes.toHex(), expected.toHex());
    QVERIFY(frames[0].mWellFormed);
    QCOMPARE(link.device.GarbageBytes(), 0);
}

void tst_cSerialPortManager::portSearch_matchesVendorDescriptionAndProduct_data()
{
    QTest::addColumn<bool>("hasVendor");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<bool>("hasProduct");
    QTest::addColumn<int>("product");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("matches");
    QTest::newRow("USB Serial Device 0x5740")
        << true << 0x0483 << true << 0x5740 << "USB Serial Device" << true;
    QTest::newRow("device name 0xA44B") << true << 0x0483 << true << 0xA44B << "Tabbet Audio - Corvo" << true;
    QTest::newRow("other product") << true << 0x0483 << true << 0x1234 << "USB Serial Device" << false;
    QTest::newRow("other vendor") << true << 0x0484 << true << 0x5740 << "USB Serial Device" << false;
    QTest::newRow("description case differs")
        << true << 0x0483 << true << 0x5740 << "USB serial device" << false;
    QTest::newRow("other description") << true << 0x0483 << true << 0x5740 << "ttyACM0" << false;
    QTest::newRow("no vendor id") << false << 0x0483 << true << 0x5740 << "USB Serial Device" << false;
    QTest::newRow("no product id") << true << 0x0483 << false << 0x5740 << "USB Serial Device" << false;
}

void tst_cSerialPortManager::portSearch_matchesVendorDescriptionAndProduct()
{
    QFETCH(bool, hasVendor);
    QFETCH(int, vendor);
    QFETCH(bool, hasProduct);
    QFETCH(int, product);
    QFETCH(QString, description);
    QFETCH(bool, matches);
    sSerialPortDescription port = DevicePort(QStringLiteral("ttyACM0"), static_cast<quint16>(product),
                                             description, static_cast<quint16>(vendor));
    port.mHasVendorIdentifier = hasVendor;
    port.mHasProductIdentifier = hasProduct;
    cFixedSerialPortList list({port});
    cSerialPortManager manager(&list, TestTimings());
    QCOMPARE(manager.GetDevicePortNames(), matches ? QStringList{"ttyACM0"} : QStringList{});
}

void tst_cSerialPortManager::autoConnect_choosesByNameOrFirstDevicePort()
{
    cSimulatedDevice device;
    QVERIFY(device.Open(UniqueLinkPath()));
    const QString missing = UniqueLinkPath();
    sSerialPortDescription other = DevicePort(QStringLiteral("ttyS0"), 0x1234);
    cFixedSerialPortList list({other, DevicePort(device.PortPath()), DevicePort(missing)});
    cSerialPortManager manager(&list, TestTimings());
    QCOMPARE(manager.GetDevicePortNames(), (QStringList{device.PortPath(), missing}));

    cReportCapture capture;
    QVERIFY(manager.AutoConnectPort(nullptr));
    QVERIFY(capture.Contains("Notification: Succeeded opening port"));
    QCOMPARE(manager.GetOpenError(), QSerialPort::NoError);

    QVERIFY(!manager.AutoConnectPort(missing.toUtf8().constData()));
    QCOMPARE(manager.GetOpenError(), QSerialPort::DeviceNotFoundError);
    QVERIFY(capture.Contains("Notification: Failed opening port"));
    QVERIFY(!manager.IsPortOpen());

    QVERIFY(manager.AutoConnectPort(device.PortPath().toUtf8().constData()));
    capture.Clear();
    QVERIFY(!manager.AutoConnectPort("ttyS0"));
    QCOMPARE(manager.GetOpenError(), QSerialPort::DeviceNotFoundError);
    // Nothing was opened: not "Failed opening port", but why.
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY(capture.Contains("ERROR: \"ttyS0\" is not a device port"));
    // A name that is not a device port is refused before the open port is touched.
    QVERIFY(manager.IsPortOpen());
}

void tst_cSerialPortManager::versionReply_givesVersionText_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.2") << 1 << 2 << "V1.2";
    QTest::newRow("two and three digits") << 12 << 255 << "V12.255";
    QTest::newRow("zeros") << 0 << 0 << "V0.0";
}

void tst_cSerialPortManager::versionReply_givesVersionText()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, text);
    sManagerOnDevice link;
    QVERIFY(link.opened);
    link.device.Model().mVersionMajor = static_cast<std::uint8_t>(major);
    link.device.Model().mVersionMinor = static_cast<std::uint8_t>(minor);
    QCOMPARE(link.manager->Data().GetVersionText(), QString());
    link.manager->SendVersionRequest();
    QVERIFY(link.Step());
    QVERIFY(link.manager->ProcessReply());
    QCOMPARE(link.manager->Data().GetVersionText(), text);
}

void tst_cSerialPortManager::reply_withWrongLength_isIgnoredAndChangesNothing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("result");
    const int stored = cSerialDeviceData::REPLY_STORED;
    const int ignored = cSerialDeviceData::REPLY_IGNORED;
    const int wrong = cSerialDeviceData::REPLY_WRONG_LENGTH;
    QTest::newRow("version 2") << 0 << 2 << stored;
    QTest::newRow("version 1") << 0 << 1 << wrong;
    QTest::newRow("version 3") << 0 << 3 << wrong;
    QTest::newRow("command 1, 1 byte") << 1 << 1 << stored;
    QTest::newRow("command 1, 4 bytes") << 1 << 4 << stored;
    QTest::newRow("command 1, empty") << 1 << 0 << wrong;
    QTest::newRow("filter ack") << 2 << 0 << ignored;
    QTest::newRow("filter ack with bytes") << 2 << 5 << ignored;
    QTest::newRow("table record 12") << 3 << 12 << stored;
    QTest::newRow("table record 11") << 3 << 11 << wrong;
    QTest::newRow("meters 32") << 4 << 32 << stored;
    QTest::newRow("meters 31") << 4 << 31 << wrong;
    QTest::newRow("meters 33") << 4 << 33 << wrong;
    QTest::newRow("command 5") << 5 << 7 << ignored;
    QTest::newRow("strip ack") << 6 << 0 << ignored;
    QTest::newRow("strips 48") << 7 << 48 << stored;
    QTest::newRow("strips 47") << 7 << 47 << wrong;
    QTest::newRow("delay ack") << 8 << 0 << ignored;
    QTest::newRow("delays 24") << 9 << 24 << stored;
    QTest::newRow("delays 28") << 9 << 28 << wrong;
    QTest::newRow("unknown 10") << 10 << 3 << ignored;
    QTest::newRow("unknown 200") << 200 << 0 << ignored;
}

void tst_cSerialPortManager::reply_withWrongLength_isIgnoredAndChangesNothing()
{
    QFETCH(int, command);
    QFETCH(int, length);
    QFETCH(int, result);
    cSerialDeviceData data;
    data.Reset(true);
    data.SetPollOutstanding(true);
    data.SetRequestOutstanding(true);
    QCOMPARE(static_cast<int>(data.HandleReply(MakeFrame(command, length))), result);
    if (result != cSerialDeviceData::REPLY_STORED)
    {
        sMeterBlock meters;
        QVERIFY(data.GetMeterBlock(meters));
        QCOMPARE(meters, sMeterBlock{});
        QVERIFY(data.IsPollOutstanding());
        QVERIFY(data.IsRequestOutstanding());
        QVERIFY(!data.HasVersion() && !data.ControlStripsReceived() && !data.DelaysReceived());
        QCOMPARE(data.FilterRecordCount(), 0);
        QCOMPARE(data.GetCommand1Byte(), UBYTE(0));
    }
}

void tst_cSerialPortManager::filterTable_takesThirtySixRecordsInOrder()
{
    cSerialDeviceData data;
    data.Reset(true);
    data.SetRequestOutstanding(true);
    sFilterTable table;
    QVERIFY(!data.GetFilterTable(table));
    for (int i = 0; i < 37; ++i)
    {
        sSerialFrame frame = MakeFrame(3, 12);
        for (int f = 0; f < 6; ++f)
        {
            frame.mPayload[static_cast<size_t>(2 * f)] = static_cast<UBYTE>(i);
            frame.mPayload[static_cast<size_t>(2 * f + 1)] = static_cast<UBYTE>(f);
        }
        QCOMPARE(data.IsRequestOutstanding(), i < 36);
        QCOMPARE(data.HandleReply(frame),
                 i < 36 ? cSerialDeviceData::REPLY_STORED : cSerialDeviceData::REPLY_IGNORED);
    }
    QVERIFY(!data.IsRequestOutstanding());
    QVERIFY(data.IsSetupComplete());
    QVERIFY(data.GetFilterTable(table));
    for (int i = 0; i < 36; ++i)
    {
        const sFilter& record = table[static_cast<size_t>(i)];
        QCOMPARE(record.mFrequencyCode, UWORD(i));
        QCOMPARE(record.mWidthCode, UWORD(0x100 | i));
        QCOMPARE(record.mBypass, UWORD(0x500 | i));
    }
}

void tst_cSerialPortManager::meterWait_missesAfterLimitAndReplyClearsMissCount()
{
    cSerialDeviceData data;
    data.Reset(true);
    const int limit = 50;
    // The first wait lasts 52 calls: the 52nd counts the poll as missed.
    for (int call = 1; call <= 51; ++call)
    {
        QVERIFY(!data.CountMeterWait(limit, 10));
    }
    data.SetPollOutstanding(true);
    QVERIFY(data.CountMeterWait(limit, 10));
    QVERIFY(!data.IsPollOutstanding());
    QCOMPARE(data.MissCount(), 1);
    for (int miss = 2; miss <= 12; ++miss)
    {
        int calls = 0;
        while (!data.CountMeterWait(limit, 10))
        {
            ++calls;
        }
        QCOMPARE(calls, 51);
    }
    QCOMPARE(data.MissCount(), 10);
    // A meter reply clears the miss count, though earlier polls were missed; the wait count
    // runs on, so the next wait is shorter.
    for (int call = 0; call < 30; ++call)
    {
        data.CountMeterWait(limit, 10);
    }
    data.SetPollOutstanding(true);
    QCOMPARE(data.HandleReply(MakeFrame(4, 32, 0x22)), cSerialDeviceData::REPLY_STORED);
    QCOMPARE(data.MissCount(), 0);
    QVERIFY(!data.IsPollOutstanding());
    sMeterBlock meters;
    QVERIFY(data.GetMeterBlock(meters));
    QCOMPARE(meters[7], ULONG(0x22222222));
    int calls = 0;
    while (!data.CountMeterWait(limit, 10))
    {
        ++calls;
    }
    QCOMPARE(calls, 21);
}

void tst_cSerialPortManager::closeAndOpen_resetEveryHandshakeFlag()
{
    sManagerOnDevice link;
    QVERIFY(link.opened);
    cSerialPortManager& m = *link.manager;
    m.SendVersionRequest();
    m.RequestControlStrips();
    m.RequestDelays();
    m.RequestFilterTable();
    QVERIFY(link.Step());
    QVERIFY(m.ProcessReply());
    link.device.SetSilent(true);
    m.PollMeters();
    m.RequestControlStrips();
    const cSerialDeviceData& data = m.Data();
    QVERIFY(data.HasVersion() && data.ControlStripsReceived() && data.DelaysReceived() &&
            m.IsSetupComplete());
    QVERIFY(data.IsPollOutstanding() && data.IsRequestOutstanding());

    for (int round = 0; round < 2; ++round)
    {
        if (round == 0)
        {
            m.ClosePort();
        }
        else
        {
            QVERIFY(m.AutoConnectPort(nullptr));
        }
        QVERIFY(!data.HasVersion());
        QVERIFY(!data.ControlStripsReceived());
        QVERIFY(!data.DelaysReceived());
        QCOMPARE(data.FilterRecordCount(), 0);
        QVERIFY(!data.IsPollOutstanding());
        QVERIFY(!data.IsRequestOutstanding());
        QCOMPARE(data.MissCount(), 0);
        sMeterBlock meters;
        QCOMPARE(data.GetMeterBlock(meters), round == 1);
        if (round == 1)
        {
            QCOMPARE(meters, sMeterBlock{});
        }
    }
}

void tst_cSerialPortManager::pollMeters_withPortClosed_doesNothing()
{
    cFixedSerialPortList list;
    cSerialPortManager manager(&list, TestTimings());
    for (int i = 0; i < 100; ++i)
    {
        manager.PollMeters();
    }
    QVERIFY(!manager.Data().IsPollOutstanding());
    QCOMPARE(manager.Data().MissCount(), 0);
    QCOMPARE(manager.Statistics().mBytesWritten, quint64(0));
}

void tst_cSerialPortManager::simulatedPort_isDescribedAsTheDevice_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("portName");
    QTest::newRow("under /dev") << "/dev/corvo"
                                << "corvo";
    QTest::newRow("below /dev") << "/dev/pts/3"
                                << "/dev/pts/3";
    QTest::newRow("elsewhere") << "/tmp/sim/corvo"
                               << "/tmp/sim/corvo";
}

void tst_cSerialPortManager::simulatedPort_isDescribedAsTheDevice()
{
    QFETCH(QString, path);
    QFETCH(QString, portName);
    const sSerialPortDescription port = cSystemSerialPortList::SimulatedPortDescription(path);
    QCOMPARE(port.mPortName, portName);
    QVERIFY(cSerialPortManager::IsDevicePort(port));
}

void tst_cSerialPortManager::systemPortList_listsTheConfiguredSimulatedPort()
{
    const QString configured = QString::fromUtf8(CORVO_SIMULATED_DEVICE_PORT);
    QCOMPARE(cSystemSerialPortList::SimulatedDevicePort(), configured);
    cSystemSerialPortList list;
    cSerialPortManager manager(&list, TestTimings());
    const QStringList names = manager.GetDevicePortNames();
    if (configured.isEmpty())
    {
        return;
    }
    QCOMPARE(names.last(), cSystemSerialPortList::SimulatedPortDescription(configured).mPortName);
}

QTEST_GUILESS_MAIN(tst_cSerialPortManager)
#include "tst_cSerialPortManager.moc"
