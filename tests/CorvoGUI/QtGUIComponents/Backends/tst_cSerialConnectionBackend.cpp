// The serial connection back end: its requests and how it reads the driver's answers, against a
// stand-in driver with messages delivered by the message pump; then the whole flow against the
// simulated device with the framework's threads running.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "tests/CorvoGUI/Core/App/AppTestSupport.h"
#include "tests/CorvoGUI/Core/App/RunningProgram.h"
#include "tests/CorvoGUI/QtGUIComponents/Backends/BackendTestSupport.h"
#include "tests/KVNet/Core/Controls/ControlTestHelpers.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QDir>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nBackendTest;
using B = cSerialConnectionBackend;

namespace
{

// The back end linked to a stand-in "Serial Connection Driver NetObject" that records every request;
// the test thread delivers the messages.
struct sPumpedBackend
{
    sPumpedBackend()
        : mDriver(std::make_unique<cRecordingNetObject>(B::DRIVER_NAME, B::NUMBER_OF_PARAMETERS))
        , mBackend(std::make_unique<B>())
    {
        SettleLinks();
        mDriver->ClearRecords();
    }

    // An answer of the driver on that parameter, delivered at once.
    void Answer(UWORD method, const QByteArray& payload)
    {
        nControlTest::PostFrom(*mDriver, *mBackend, method, payload);
        cMessagePump::Pump();
    }
    int Requests(UWORD method) const { return mDriver->Count(method); }

    cScopedKVNetSystem mSystem;
    std::unique_ptr<cRecordingNetObject> mDriver;
    std::unique_ptr<B> mBackend;
};

QByteArray Slot(const char* name)
{
    return nAppTest::Slot(QByteArray(name));
}

// Signals emitted on the syscall thread, received on the test thread.
class cErrorLog : public QObject
{
public:
    explicit cErrorLog(B* backend)
    {
        connect(
            backend, &B::errorEvent, this, [this](int error) { mErrors.append(error); },
            Qt::QueuedConnection);
    }
    QList<int> mErrors;
};

} // namespace

class tst_cSerialConnectionBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void portList_isReadWithinItsPayload_data();
    void portList_isReadWithinItsPayload();
    void version_isReadWithinItsPayload_data();
    void version_isReadWithinItsPayload();
    void connectToNamedUnit_sendsTheNameInItsSlot_data();
    void connectToNamedUnit_sendsTheNameInItsSlot();
    void connectAndDisconnect_actOnlyWhenTheyChangeSomething();
    void answers_driveStateConnectAndPolling_data();
    void answers_driveStateConnectAndPolling();
    void polling_restartsOnEverySwitchAndAsksRightAfterARequest_data();
    void polling_restartsOnEverySwitchAndAsksRightAfterARequest();
    void requestsFromTheGuiThread_waitForTheRegistryLock_data();
    void requestsFromTheGuiThread_waitForTheRegistryLock();
    void simulatedDevice_listsConnectsConfirmsAndReportsErrors();

private:
    QTemporaryDir mFolder;
};

void tst_cSerialConnectionBackend::initTestCase()
{
    RegisterQmlTypes();
    QVERIFY(mFolder.isValid());
    // Device links are named relative to the working directory (their names must fit 7 characters).
    QVERIFY(QDir::setCurrent(mFolder.path()));
}

void tst_cSerialConnectionBackend::portList_isReadWithinItsPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("announced");
    QTest::addColumn<bool>("reported");

    QTest::newRow("two names in their slots")
        << QByteArray("\x02") + Slot("COM3") + Slot("./ab1") << QStringList{"COM3", "./ab1"} << 1 << false;
    QTest::newRow("no names") << QByteArray(1, '\0') << QStringList{} << 1 << false;
    QTest::newRow("a count beyond the payload")
        << QByteArray("\x03") + Slot("A") + Slot("B") << QStringList{"A", "B"} << 1 << true;
    QTest::newRow("the last name cut by the payload's end")
        << QByteArray("\x02") + Slot("A") + "CO" << QStringList{"A", "CO"} << 1 << false;
    QTest::newRow("no count") << QByteArray() << QStringList{} << 0 << true;
}

void tst_cSerialConnectionBackend::portList_isReadWithinItsPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, names);
    QFETCH(int, announced);
    QFETCH(bool, reported);
    sPumpedBackend rig;
    QSignalSpy changed(rig.mBackend.get(), &B::portNamesChanged);
    cReportCapture reports;

    rig.Answer(B::P_PORT_LIST, payload);
    QCOMPARE(rig.mBackend->portNames(), names);
    QCOMPARE(changed.count(), announced);
    QCOMPARE(reports.Contains("ERROR"), reported);
}

void tst_cSerialConnectionBackend::version_isReadWithinItsPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("version");

    QTest::newRow("in its slot") << Slot("V1.2") << "V1.2";
    QTest::newRow("without its NUL") << QByteArray("V1.2345") << "V1.2345";
    QTest::newRow("empty") << QByteArray() << "";
}

void tst_cSerialConnectionBackend::version_isReadWithinItsPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, version);
    sPumpedBackend rig;
    rig.Answer(B::P_VERSION, Slot("old"));
    QSignalSpy changed(rig.mBackend.get(), &B::versionChanged);

    rig.Answer(B::P_VERSION, payload);
    QCOMPARE(rig.mBackend->version(), version);
    QCOMPARE(changed.count(), 1);
}

void tst_cSerialConnectionBackend::connectToNamedUnit_sendsTheNameInItsSlot_data()
{
    QTest::addColumn<QString>("name");
    // The request's 9 bytes; empty when nothing may be sent.
    QTest::addColumn<QByteArray>("request");

    QTest::newRow("COM3") << "COM3"
                          << QByteArray("\x01"
                                        "COM3\0\0\0\0",
                                        9);
    QTest::newRow("seven bytes") << "./abcde" << QByteArray("\x01./abcde\0", 9);
    QTest::newRow("eight bytes do not fit") << "./abcdef" << QByteArray();
    QTest::newRow("seven characters, eight UTF-8 bytes")
        << QString::fromUtf8("./abcd\xc3\xa9") << QByteArray();
    QTest::newRow("a NUL in the name") << QString::fromLatin1("CO\0M3", 5) << QByteArray();
}

void tst_cSerialConnectionBackend::connectToNamedUnit_sendsTheNameInItsSlot()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, request);
    sPumpedBackend rig;
    QSignalSpy connectChanged(rig.mBackend.get(), &B::connectChanged);
    cReportCapture reports;

    rig.mBackend->connectToNamedUnit(name);
    cMessagePump::Pump();
    const bool sent = !request.isEmpty();
    QCOMPARE(rig.mDriver->LastPayload(B::P_CONNECT), request);
    QCOMPARE(rig.mBackend->GetConnect(), sent);
    QCOMPARE(connectChanged.count(), sent ? 1 : 0);
    QCOMPARE(reports.Contains("does not fit a connect request"), !sent);
}

void tst_cSerialConnectionBackend::connectAndDisconnect_actOnlyWhenTheyChangeSomething()
{
    sPumpedBackend rig;
    B& backend = *rig.mBackend;

    // Nothing to connect to, nothing to disconnect.
    backend.connectToUnit();
    backend.disconnectFromUnit();
    cMessagePump::Pump();
    QCOMPARE(rig.Requests(B::P_CONNECT), 0);

    // The first listed port; a second request while connecting sends nothing.
    rig.Answer(B::P_PORT_LIST, QByteArray("\x02") + Slot("COM4") + Slot("COM5"));
    backend.connectToUnit();
    backend.connectToUnit();
    backend.connectToNamedUnit("COM5");
    cMessagePump::Pump();
    QCOMPARE(rig.Requests(B::P_CONNECT), 1);
    QCOMPARE(rig.mDriver->LastPayload(B::P_CONNECT), QByteArray("\x01"
                                                                "COM4\0\0\0\0",
                                                                9));

    backend.disconnectFromUnit();
    backend.disconnectFromUnit();
    cMessagePump::Pump();
    QCOMPARE(rig.Requests(B::P_CONNECT), 2);
    QCOMPARE(rig.mDriver->LastPayload(B::P_CONNECT), QByteArray(9, '\0'));
    QVERIFY(!backend.GetConnect());
}

void tst_cSerialConnectionBackend::answers_driveStateConnectAndPolling_data()
{
    // What happens after a connect request: driver answers as "<parameter>:<hex payload>", or
    // "disconnect" for the user's disconnect.
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("stateChanges");
    QTest::addColumn<int>("versionRequests");
    QTest::addColumn<QList<int>>("errors");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<bool>("statusPolling");

    QTest::newRow("status 1, 1, 2") << QStringList{"4099:0100", "4099:0100", "4099:0200"} << 2 << 1
                                    << QList<int>{} << 2 << true << true;
    QTest::newRow("status 0 with error 3 after the port opened")
        << QStringList{"4099:0100", "4099:0003"} << 2 << 0 << QList<int>{3} << 0 << false << false;
    QTest::newRow("status 0 with error 2: the open failed")
        << QStringList{"4099:0002"} << 0 << 0 << QList<int>{2} << 0 << false << false;
    QTest::newRow("status 0 without an error while connecting")
        << QStringList{"4099:0000"} << 0 << 0 << QList<int>{} << 0 << false << true;
    QTest::newRow("disconnecting is followed until state 0")
        << QStringList{"4099:0200", "disconnect", "4099:0600"} << 2 << 1 << QList<int>{} << 6 << true << true;
    QTest::newRow("disconnected") << QStringList{"4099:0200", "disconnect", "4099:0600", "4099:0000"} << 3
                                  << 1 << QList<int>{} << 0 << false << false;
    QTest::newRow("a state answer on 4096")
        << QStringList{"4096:04"} << 1 << 0 << QList<int>{} << 4 << true << true;
    QTest::newRow("a status without its error byte is dropped")
        << QStringList{"4099:02"} << 0 << 0 << QList<int>{} << 0 << true << true;
}

void tst_cSerialConnectionBackend::answers_driveStateConnectAndPolling()
{
    QFETCH(QStringList, script);
    QFETCH(int, stateChanges);
    QFETCH(int, versionRequests);
    QFETCH(QList<int>, errors);
    QFETCH(int, state);
    QFETCH(bool, connect);
    QFETCH(bool, statusPolling);
    sPumpedBackend rig;
    B& backend = *rig.mBackend;
    backend.connectToNamedUnit("COM3");
    QSignalSpy stateChanged(&backend, &B::stateChanged);
    QSignalSpy errorEvent(&backend, &B::errorEvent);
    const cReportCapture reports; // a short status is reported

    for (const QString& step : script)
    {
        if (step == "disconnect")
        {
            backend.disconnectFromUnit();
            continue;
        }
        const QStringList parts = step.split(':');
        rig.Answer(UWORD(parts[0].toInt()), QByteArray::fromHex(parts[1].toLatin1()));
    }
    QCOMPARE(stateChanged.count(), stateChanges);
    QCOMPARE(rig.Requests(B::P_VERSION), versionRequests);
    QList<int> errorsSeen;
    for (const QVariantList& arguments : errorEvent)
    {
        errorsSeen.append(arguments.at(0).toInt());
    }
    QCOMPARE(errorsSeen, errors);
    QCOMPARE(int(backend.state()), state);
    QCOMPARE(backend.GetConnect(), connect);

    // The tick polls the status, or else the port list.
    rig.mDriver->ClearRecords();
    cMessagePump::Tick(260);
    QCOMPARE(rig.Requests(B::P_STATUS) > 0, statusPolling);
    QCOMPARE(rig.Requests(B::P_PORT_LIST) > 0, !statusPolling);
}

void tst_cSerialConnectionBackend::polling_restartsOnEverySwitchAndAsksRightAfterARequest_data()
{
    // Ticks of port-list polling between the last port-list request and the connect click.
    QTest::addColumn<int>("idleTicks");

    QTest::newRow("connect at once") << 0;
    QTest::newRow("49 ticks idle") << 49;
    QTest::newRow("51 ticks idle: the count past the status period") << 51;
    QTest::newRow("200 ticks idle") << 200;
    QTest::newRow("250 ticks idle") << 250;
}

void tst_cSerialConnectionBackend::polling_restartsOnEverySwitchAndAsksRightAfterARequest()
{
    QFETCH(int, idleTicks);
    sPumpedBackend rig;
    B& backend = *rig.mBackend;
    // Ticks until the next request on that parameter (one request), -1 when none came in 300.
    const auto ticksUntil = [&](UWORD parameter)
    {
        const int before = rig.Requests(parameter);
        for (int tick = 1; tick <= 300; ++tick)
        {
            cMessagePump::Tick();
            if (rig.Requests(parameter) != before)
            {
                return rig.Requests(parameter) == before + 1 ? tick : -1;
            }
        }
        return -1;
    };
    const auto status = [&](const char* hex) { rig.Answer(B::P_STATUS, QByteArray::fromHex(hex)); };

    // Linking took some ticks already: from the first port-list request on, every 251st.
    QVERIFY(ticksUntil(B::P_PORT_LIST) > 0);
    QCOMPARE(ticksUntil(B::P_PORT_LIST), 251);
    cMessagePump::Tick(idleTicks);

    // A connect: the status on the next tick, wherever the port-list count stood; asked again on
    // each tick while the link has not taken the request; then every 51st tick.
    backend.connectToNamedUnit("COM3");
    QCOMPARE(ticksUntil(B::P_STATUS), 1);
    status("0000");
    QCOMPARE(ticksUntil(B::P_STATUS), 1);
    status("0100");
    QCOMPARE(ticksUntil(B::P_STATUS), 51);
    status("0300");
    cMessagePump::Tick(20);
    status("0400");
    // The sync done, then a disconnect: each asks at once.
    cMessagePump::Tick(7);
    backend.setSyncDone();
    QCOMPARE(ticksUntil(B::P_STATUS), 1);
    status("0200");
    QCOMPARE(ticksUntil(B::P_STATUS), 51);
    cMessagePump::Tick(30);
    backend.disconnectFromUnit();
    QCOMPARE(ticksUntil(B::P_STATUS), 1);

    // Idle again: the port list, counted from the switch.
    const int statusRequests = rig.Requests(B::P_STATUS);
    status("0000");
    QCOMPARE(ticksUntil(B::P_PORT_LIST), 251);
    QCOMPARE(rig.Requests(B::P_STATUS), statusRequests);

    // A reconnect asks at once again; a link that does not take the request is asked on each of the
    // next REQUEST_POLLS ticks, then once a period.
    cMessagePump::Tick(idleTicks);
    backend.connectToNamedUnit("COM3");
    for (int request = 0; request < B::REQUEST_POLLS; ++request)
    {
        QCOMPARE(ticksUntil(B::P_STATUS), 1);
    }
    QCOMPARE(ticksUntil(B::P_STATUS), 51);
    // A failed attempt ends status polling the same way.
    status("0002");
    QCOMPARE(ticksUntil(B::P_PORT_LIST), 251);
    QCOMPARE(rig.Requests(B::P_STATUS), statusRequests + B::REQUEST_POLLS + 1);
    // A sync-done request outside a connection changes no polling.
    backend.setSyncDone();
    QCOMPARE(ticksUntil(B::P_PORT_LIST), 251);

    // A disconnect asked before the link had left idle: idle with no connection wanted ends it.
    backend.connectToNamedUnit("COM3");
    backend.disconnectFromUnit();
    QCOMPARE(ticksUntil(B::P_STATUS), 1);
    status("0000");
    QCOMPARE(ticksUntil(B::P_PORT_LIST), 251);
    QCOMPARE(rig.Requests(B::P_STATUS), statusRequests + B::REQUEST_POLLS + 2);
}

void tst_cSerialConnectionBackend::requestsFromTheGuiThread_waitForTheRegistryLock_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("parameter");
    QTest::newRow("connect") << 0 << int(B::P_CONNECT);
    QTest::newRow("disconnect") << 1 << int(B::P_CONNECT);
    QTest::newRow("sync done") << 2 << int(B::P_SYNC_DONE);
}

void tst_cSerialConnectionBackend::requestsFromTheGuiThread_waitForTheRegistryLock()
{
    QFETCH(int, request);
    QFETCH(int, parameter);
    sPumpedBackend rig;
    B& backend = *rig.mBackend;
    if (request == 1)
    {
        backend.connectToNamedUnit("COM3");
        cMessagePump::Pump();
        rig.mDriver->ClearRecords();
    }

    // The object's message and inform lists also serve the syscall thread (its tick and answers).
    QVERIFY(WaitsForTheRegistryLock(
        [&]
        {
            if (request == 0)
            {
                backend.connectToNamedUnit("COM3");
            }
            else if (request == 1)
            {
                backend.disconnectFromUnit();
            }
            else
            {
                backend.setSyncDone();
            }
        }));
    cMessagePump::Pump();
    QCOMPARE(rig.Requests(UWORD(parameter)), 1);
}

void tst_cSerialConnectionBackend::simulatedDevice_listsConnectsConfirmsAndReportsErrors()
{
    using namespace nAppTest;
    cSimulatedDevice device;
    const QString portName = ShortPortName(1);
    QVERIFY(device.Open(portName));
    cRunningProgram program({DevicePort(portName), DevicePort(QStringLiteral("./none"))});
    B* backend = program.Make<B>();
    cErrorLog errors(backend);
    QVERIFY(program.WaitForLinks());
    const auto serve = [&](const std::function<bool()>& done)
    {
        return Serve(&device,
                     [&]
                     {
                         QCoreApplication::processEvents();
                         return done();
                     });
    };

    // The port list comes with the link; connecting runs the handshake up to the sync.
    QVERIFY(serve([&] { return backend->portNames() == QStringList{portName, "./none"}; }));
    backend->connectToUnit();
    QVERIFY(backend->GetConnect());
    QVERIFY(serve([&] { return backend->state() == CONNECTION_STATE_SYNCING; }));

    // The user interface's sync is done: the link runs, and the version is asked for.
    backend->setSyncDone();
    QVERIFY(serve(
        [&] { return backend->state() == CONNECTION_STATE_CONNECTED && backend->version() == "V1.2"; }));
    QVERIFY(backend->GetConnect());

    backend->disconnectFromUnit();
    QVERIFY(serve([&] { return backend->state() == CONNECTION_STATE_IDLE; }));
    QVERIFY(!backend->GetConnect());

    // A port that cannot be opened: the error, and back to listing the ports.
    backend->connectToNamedUnit("./none");
    QVERIFY(serve([&] { return errors.mErrors == QList<int>{2}; }));
    QVERIFY(serve([&] { return !backend->GetConnect(); }));
    QCOMPARE(backend->state(), CONNECTION_STATE_IDLE);
    program.Stop();
}

QTEST_GUILESS_MAIN(tst_cSerialConnectionBackend)
#include "tst_cSerialConnectionBackend.moc"
