#include "CorvoGUI/Core/App/cSerialConnectDriver.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "tests/CorvoGUI/Core/App/AppTestSupport.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nAppTest;

namespace
{

constexpr UWORD P_CONNECT = cSerialConnectDriver::P_CONNECT;
constexpr UWORD P_PORT_LIST = cSerialConnectDriver::P_PORT_LIST;
constexpr UWORD P_VERSION = cSerialConnectDriver::P_VERSION;
constexpr UWORD P_STATUS = cSerialConnectDriver::P_STATUS;
constexpr UWORD P_SYNC_DONE = cSerialConnectDriver::P_SYNC_DONE;

// The driver on a serial interface whose port list the test gives, optionally with the simulated
// device behind the first port; a recorder stands where the serial connection back end would be,
// on the inform lists of 4096-4099.
class cDriverFixture
{
public:
    explicit cDriverFixture(bool withDevice, QStringList otherPorts = {})
        : mSystem(false)
    {
        QList<sSerialPortDescription> ports;
        if (withDevice)
        {
            mPortName = ShortPortName();
            mOpened = mDevice.Open(mPortName);
            ports.append(DevicePort(mPortName));
        }
        for (const QString& name : otherPorts)
        {
            ports.append(DevicePort(name));
        }
        auto portList = std::make_unique<cFixedSerialPortList>(ports);
        mPorts = portList.get();
        mSerial = std::make_unique<cSerialInterface>(nullptr, std::move(portList), TestTimings());
        mDriver = std::make_unique<cSerialConnectDriver>(mSerial.get());
        mRecorder = std::make_unique<cRecordingNetObject>("Serial Backend Recorder", 5);
        for (UWORD method = P_CONNECT; method <= P_STATUS; ++method)
        {
            mDriver->AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mRecorder->GetHandle(), method, method, 0,
                                           0, false);
        }
    }

    // A request from the recorder, delivered at once; from a framework connection when it is not 0.
    void Request(UWORD method, const QByteArray& payload = QByteArray(),
                 UWORD connectionId = KV_NET_LOCAL_CONNECTION)
    {
        cKVNetMessage message =
            ParameterMessage(mDriver->GetHandle(), method, payload, mRecorder->GetHandle());
        message.mConnectionId = connectionId;
        gRegistryRouter->AddMessage(message);
        cMessagePump::Pump();
    }
    QByteArray Answer(UWORD method) const { return mRecorder->LastPayload(method); }
    // The state and error of a status request.
    QByteArray Status()
    {
        Request(P_STATUS);
        return Answer(P_STATUS);
    }

    // One step of the link, then one lockstep step of the device.
    void Tick()
    {
        mSerial->Process();
        if (mOpened)
        {
            mDevice.Step(mSerial->GetStatistics().mBytesWritten);
        }
    }
    bool TickUntil(eConnectionState state, int maxTicks = 60)
    {
        for (int i = 0; i < maxTicks && mSerial->GetState() != state; ++i)
        {
            Tick();
        }
        return mSerial->GetState() == state;
    }

    cSimulatedDevice mDevice;
    QString mPortName;
    bool mOpened = false;
    cFixedSerialPortList* mPorts = nullptr; // owned by mSerial
    std::unique_ptr<cSerialInterface> mSerial;
    cScopedKVNetSystem mSystem;
    std::unique_ptr<cSerialConnectDriver> mDriver;
    std::unique_ptr<cRecordingNetObject> mRecorder;
};

QByteArray StatusBytes(eConnectionState state, UBYTE error)
{
    QByteArray bytes;
    bytes.append(char(state));
    bytes.append(char(error));
    return bytes;
}

} // namespace

class tst_cSerialConnectDriver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void portList_givesEveryFittingDevicePortInItsOwnSlot_data();
    void portList_givesEveryFittingDevicePortInItsOwnSlot();
    void portList_reportsANameThatDoesNotFitOnce();
    void portList_ofAPeer_sharesTheLastSearchWhileItIsRecent();
    void connectRequest_readsThePortNameOnlyWithinThePayload_data();
    void connectRequest_readsThePortNameOnlyWithinThePayload();
    void connectRequestWithoutItsFlag_isReportedAndDropped();
    void status_givesTheErrorOfAFailedConnectOnce();
    void syncUps_answerEveryParameterAndConsumeTheError();
    void handshake_confirmationRunsTheLinkAndDisconnectClosesIt();
    void confirmationThatRunsTheLink_tellsTheSavesManagerOnce();
    void versionTooLongForItsSlot_isCut();

private:
    QTemporaryDir mFolder;
};

void tst_cSerialConnectDriver::initTestCase()
{
    // The device links are named relative to the working directory.
    QVERIFY(mFolder.isValid());
    QVERIFY(QDir::setCurrent(mFolder.path()));
}

void tst_cSerialConnectDriver::portList_givesEveryFittingDevicePortInItsOwnSlot_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("none") << QStringList() << QByteArray(1, '\0');
    QTest::newRow("COM3 and COM12") << QStringList{"COM3", "COM12"}
                                    << QByteArray(1, '\2') + Slot("COM3") + Slot("COM12");
    QTest::newRow("seven characters fit") << QStringList{"ttyACM1"} << QByteArray(1, '\1') + Slot("ttyACM1");
    QTest::newRow("eight characters left out")
        << QStringList{"ttyACM10", "COM3"} << QByteArray(1, '\1') + Slot("COM3");
}

void tst_cSerialConnectDriver::portList_givesEveryFittingDevicePortInItsOwnSlot()
{
    QFETCH(QStringList, ports);
    QFETCH(QByteArray, answer);
    cReportCapture capture;
    cDriverFixture fixture(false, ports);

    fixture.Request(P_PORT_LIST);
    QCOMPARE(fixture.Answer(P_PORT_LIST), answer);
    QCOMPARE(fixture.Answer(P_PORT_LIST).size(), 1 + 8 * answer.at(0));
}

void tst_cSerialConnectDriver::portList_reportsANameThatDoesNotFitOnce()
{
    cReportCapture capture;
    cDriverFixture fixture(false, {"ttyUSB12", "ttyUSB13"});

    fixture.Request(P_PORT_LIST);
    fixture.Request(P_PORT_LIST);
    QCOMPARE(fixture.Answer(P_PORT_LIST), QByteArray(1, '\0'));
    QCOMPARE(capture.Count("\"ttyUSB12\" left out of the port list"), 1);
    QCOMPARE(capture.Count("\"ttyUSB13\" left out of the port list"), 1);
}

// A peer's requests within a second share one port search; the local system's always search.
void tst_cSerialConnectDriver::portList_ofAPeer_sharesTheLastSearchWhileItIsRecent()
{
    cDriverFixture fixture(false, {"COM3"});
    const QByteArray com3 = QByteArray(1, '\1') + Slot("COM3");
    const QByteArray com4 = QByteArray(1, '\1') + Slot("COM4");
    constexpr UWORD PEER = 3;

    fixture.Request(P_PORT_LIST, QByteArray(), PEER);
    QCOMPARE(fixture.Answer(P_PORT_LIST), com3);
    fixture.mPorts->SetPorts({DevicePort("COM4")});
    fixture.Request(P_PORT_LIST, QByteArray(), PEER);
    QCOMPARE(fixture.Answer(P_PORT_LIST), com3);
    fixture.Request(P_PORT_LIST);
    QCOMPARE(fixture.Answer(P_PORT_LIST), com4);
    fixture.mPorts->SetPorts({DevicePort("COM3")});
    QTest::qWait(int(cSerialConnectDriver::PEER_PORT_LIST_AGE_MS) + 50);
    fixture.Request(P_PORT_LIST, QByteArray(), PEER);
    QCOMPARE(fixture.Answer(P_PORT_LIST), com3);
}

void tst_cSerialConnectDriver::connectRequest_readsThePortNameOnlyWithinThePayload_data()
{
    QTest::addColumn<QByteArray>("tail"); // what follows the flag byte; "<port>" is the device's name
    QTest::addColumn<bool>("connects");
    QTest::addColumn<QString>("refusal"); // the whole name, as the report gives it

    QTest::newRow("name in its slot") << QByteArray("<port>\0", 7) << true << QString();
    QTest::newRow("name ends the payload, no NUL") << QByteArray("<port>") << true << QString();
    // Cut to its slot, the name would be the device's port: it is refused instead.
    QTest::newRow("over-long name") << QByteArray("<port>XYZ\0", 10) << false << "<port>XYZ";
    QTest::newRow("over-long name without NUL") << QByteArray("<port>XYZW") << false << "<port>XYZW";
    QTest::newRow("no name: first device port") << QByteArray() << true << QString();
    QTest::newRow("part of the name") << QByteArray("<short>\0", 8) << false << QString();
}

void tst_cSerialConnectDriver::connectRequest_readsThePortNameOnlyWithinThePayload()
{
    QFETCH(QByteArray, tail);
    QFETCH(bool, connects);
    QFETCH(QString, refusal);
    cDriverFixture fixture(true);
    QVERIFY(fixture.mOpened);
    const QByteArray name = fixture.mPortName.toUtf8();
    QCOMPARE(name.size(), 7);
    tail.replace("<port>", name);
    tail.replace("<short>", name.left(5));
    refusal.replace("<port>", QString::fromUtf8(name));
    cReportCapture capture;

    // The message is exactly as long as its payload, so a read past it would be caught.
    fixture.Request(P_CONNECT, QByteArray(1, '\1') + tail);
    QCOMPARE(capture.Contains("Connection request refused"), !refusal.isEmpty());
    if (!refusal.isEmpty())
    {
        QVERIFY(capture.Contains("port name \"" + refusal + "\" is longer than 7 characters"));
    }
    // "Failed opening port" only for an open that was tried.
    QVERIFY(!capture.Contains("Failed opening port"));
    if (connects)
    {
        QVERIFY(fixture.TickUntil(CONNECTION_STATE_SYNCING));
        QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_SYNCING, 0));
    }
    else
    {
        fixture.Tick();
        QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, ERROR_EVENT_DEVICE_NOT_FOUND));
        QCOMPARE(fixture.mDevice.Frames().size(), 0);
    }
}

void tst_cSerialConnectDriver::connectRequestWithoutItsFlag_isReportedAndDropped()
{
    cDriverFixture fixture(true);
    cReportCapture capture;
    fixture.Request(P_CONNECT, QByteArray());
    QVERIFY(capture.Contains("Short message for method 0x1000 of \"Serial Connection Driver NetObject\""));
    fixture.Tick();
    fixture.Tick();
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, 0));
    QCOMPARE(fixture.mDevice.Frames().size(), 0);
}

void tst_cSerialConnectDriver::status_givesTheErrorOfAFailedConnectOnce()
{
    cDriverFixture fixture(false, {"COM3"});
    fixture.Request(P_CONNECT, ConnectRequest(true, "COM9"));
    fixture.Tick();

    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, ERROR_EVENT_DEVICE_NOT_FOUND));
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, 0));
}

void tst_cSerialConnectDriver::syncUps_answerEveryParameterAndConsumeTheError()
{
    cDriverFixture fixture(false, {"COM3", "COM12"});
    fixture.Request(P_CONNECT, ConnectRequest(true, "COM9"));
    fixture.Tick();

    cRecordingNetObject late("Late Backend", 5);
    for (UWORD method = P_CONNECT; method <= P_STATUS; ++method)
    {
        QVERIFY(fixture.mDriver->AddObjectToInformList(KV_NET_LOCAL_CONNECTION, late.GetHandle(), method,
                                                       method, 0, 1, false));
    }
    cMessagePump::Pump();
    QCOMPARE(late.LastPayload(P_CONNECT), QByteArray(1, char(CONNECTION_STATE_IDLE)));
    QCOMPARE(late.LastPayload(P_PORT_LIST), QByteArray(1, '\2') + Slot("COM3") + Slot("COM12"));
    QCOMPARE(late.LastPayload(P_VERSION), QByteArray(8, '\0'));
    QCOMPARE(late.LastPayload(P_STATUS), StatusBytes(CONNECTION_STATE_IDLE, ERROR_EVENT_DEVICE_NOT_FOUND));
    // A sync-up goes only to the object that asked.
    QCOMPARE(fixture.mRecorder->Received().size(), std::size_t(0));

    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, 0));
}

void tst_cSerialConnectDriver::handshake_confirmationRunsTheLinkAndDisconnectClosesIt()
{
    cDriverFixture fixture(true);
    QVERIFY(fixture.mOpened);
    fixture.Request(P_CONNECT, ConnectRequest(true, fixture.mPortName.toUtf8()));
    QVERIFY(fixture.TickUntil(CONNECTION_STATE_SYNCING));

    fixture.Request(P_VERSION);
    QCOMPARE(fixture.Answer(P_VERSION), Slot("V1.2"));

    fixture.Request(P_SYNC_DONE);
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_CONNECTED, 0));
    // A second confirmation while running changes nothing.
    fixture.Request(P_SYNC_DONE);
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_CONNECTED, 0));

    fixture.mDevice.ClearLog();
    fixture.Request(P_CONNECT, ConnectRequest(false));
    QVERIFY(fixture.TickUntil(CONNECTION_STATE_IDLE));
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_IDLE, 0));
    QVERIFY(fixture.mDevice.Commands().contains(nSerialProtocol::CMD_DISCONNECT));
    QCOMPARE(fixture.mDevice.Frames().last().mBytes, Frame(nSerialProtocol::CMD_DISCONNECT, QByteArray()));
}

// The saves manager completes the sync once the link runs: told by the confirmation that ran it, and
// by no other.
void tst_cSerialConnectDriver::confirmationThatRunsTheLink_tellsTheSavesManagerOnce()
{
    cDriverFixture fixture(true);
    QVERIFY(fixture.mOpened);
    cRecordingNetObject saves(cSavesManager::NAME, cSavesManager::NUMBER_OF_PARAMETERS);
    fixture.Request(P_SYNC_DONE);
    QCOMPARE(saves.Count(cSavesManager::M_COMPLETE_SYNC), 0);

    fixture.Request(P_CONNECT, ConnectRequest(true, fixture.mPortName.toUtf8()));
    QVERIFY(fixture.TickUntil(CONNECTION_STATE_SYNCING));
    QCOMPARE(saves.Count(cSavesManager::M_COMPLETE_SYNC), 0);
    fixture.Request(P_SYNC_DONE);
    QCOMPARE(fixture.Status(), StatusBytes(CONNECTION_STATE_CONNECTED, 0));
    QCOMPARE(saves.Count(cSavesManager::M_COMPLETE_SYNC), 1);
    const cRecordingNetObject::sReceived told = saves.Received().back();
    QCOMPARE(told.mConnectionId, UWORD(KV_NET_LOCAL_CONNECTION));
    QCOMPARE(told.mSource, fixture.mDriver->GetHandle());
    QCOMPARE(told.mPayload, QByteArray());

    fixture.Request(P_SYNC_DONE);
    QCOMPARE(saves.Count(cSavesManager::M_COMPLETE_SYNC), 1);
}

void tst_cSerialConnectDriver::versionTooLongForItsSlot_isCut()
{
    cDriverFixture fixture(true);
    fixture.mDevice.Model().mVersionMajor = 123;
    fixture.mDevice.Model().mVersionMinor = 255;
    fixture.Request(P_CONNECT, ConnectRequest(true, fixture.mPortName.toUtf8()));
    QVERIFY(fixture.TickUntil(CONNECTION_STATE_SYNCING));
    cReportCapture capture;

    fixture.Request(P_VERSION);
    QCOMPARE(fixture.Answer(P_VERSION), QByteArray("V123.25\0", 8));
    QVERIFY(capture.Contains("Version text \"V123.255\" cut to 7 characters"));
}

QTEST_GUILESS_MAIN(tst_cSerialConnectDriver)
#include "tst_cSerialConnectDriver.moc"
