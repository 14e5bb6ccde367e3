#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/network/cNetworkTestSystem.h"

#include <QSignalSpy>
#include <QtTest>

#include <thread>

// The network connection singleton's own rules, without sockets.
class tst_NetworkConnection : public QObject
{
    Q_OBJECT

private slots:
    void instanceIsMadeAndDeletedOnTheMainThreadOnly();
    void idsAreHandedOutLowestFirstAndReleasedOnce();
    void lostCommsRegistrationsAndUtilPayloads();
};

void tst_NetworkConnection::instanceIsMadeAndDeletedOnTheMainThreadOnly()
{
    cReportCapture reports;
    cNetworkConnection* fromOtherThread = reinterpret_cast<cNetworkConnection*>(1);
    std::thread([&fromOtherThread] { fromOtherThread = cNetworkConnection::Instance(); }).join();
    QCOMPARE(fromOtherThread, nullptr);
    QCOMPARE(reports.Count("Attempting to create instance on non-main thread"), 1);
    QCOMPARE(GetNetworkConnection(), nullptr);

    cNetworkConnection* instance = cNetworkConnection::Instance();
    QVERIFY(instance != nullptr);
    QCOMPARE(GetNetworkConnection(), static_cast<cNetworkConnectionInterface*>(instance));
    QCOMPARE(cNetworkConnection::Instance(), instance);
    QVERIFY(!NetworkConnectionUsesV2(0));
    QVERIFY(!NetworkConnectionUsesV2(7));
    QCOMPARE(NetworkGetHostName(7), std::string());

    std::thread([] { cNetworkConnection::DeleteInstance(); }).join();
    QCOMPARE(reports.Count("Attempting to delete instance on non-main thread"), 1);
    QCOMPARE(cNetworkConnection::ExistingInstance(), instance);

    cNetworkConnection::DeleteInstance();
    QCOMPARE(GetNetworkConnection(), nullptr);
    QCOMPARE(NetworkConnectToHost("127.0.0.1"), KV_NET_NO_CONNECTION);

    cNetworkConnection::SetAccessAllowed(false);
    QCOMPARE(cNetworkConnection::Instance(), nullptr);
    QCOMPARE(reports.Count("Network Connection access after destruction"), 1);
    cNetworkConnection::SetAccessAllowed(true);
    QVERIFY(cNetworkConnection::Instance() != nullptr);
    cNetworkConnection::DeleteInstance();
}

void tst_NetworkConnection::idsAreHandedOutLowestFirstAndReleasedOnce()
{
    cNetworkTestSystem system(false, false);
    cNetworkConnection* network = system.Network();
    QSignalSpy counts(network, &cNetworkConnection::NumberOfConnectionsChanged);
    cReportCapture reports;
    for (UWORD id = 1; id <= 20; ++id)
    {
        QCOMPARE(network->AcquireNextAvaiableConnectionID(), id);
    }
    QCOMPARE(network->AcquireNextAvaiableConnectionID(), KV_NET_NO_CONNECTION);
    QCOMPARE(reports.Count("All availible connections are in use"), 1);
    QCOMPARE(network->GetNumberOfConnections(), UBYTE(20));

    network->ReleaseConnectionID(7);
    network->ReleaseConnectionID(3);
    network->ReleaseConnectionID(3);
    network->ReleaseConnectionID(0);
    network->ReleaseConnectionID(0xFFFF);
    QCOMPARE(reports.Count("Connection id 3 released while not in use"), 1);
    QCOMPARE(network->GetNumberOfConnections(), UBYTE(18));
    QCOMPARE(network->AcquireNextAvaiableConnectionID(), UWORD(3));
    QCOMPARE(network->AcquireNextAvaiableConnectionID(), UWORD(7));
    QCOMPARE(counts.count(), 24);
    QCOMPARE(counts.last().at(0).value<UBYTE>(), UBYTE(20));

    // A reserved id without a controller is consistent; a controller for a free slot is not.
    network->SetConnectionThreadAtIndex(nullptr, 2);
    QCOMPARE(reports.Count("Inconsistent state"), 1);
    network->SetConnectionThreadAtIndex(nullptr, 20);
    QCOMPARE(reports.Count("Inconsistent state"), 1);
    for (UWORD id = 1; id <= 20; ++id)
    {
        network->ReleaseConnectionID(id);
    }
    QCOMPARE(network->GetNumberOfConnections(), UBYTE(0));
}

void tst_NetworkConnection::lostCommsRegistrationsAndUtilPayloads()
{
    cNetworkTestSystem system(true, false);
    cNetworkConnection* network = system.Network();
    system.StopLostCommsTimers();
    cReportCapture reports;

    network->InitialiseLostComms();
    QCOMPARE(reports.Count("Inconsistent state"), 1);

    network->NewUDPConnection(3);
    network->NewUDPConnection(3);
    network->NewUDPConnection(21);
    QVERIFY(cNetworkTestSystem::WaitFor(
        [&]
        {
            return reports.Contains("Lost Comms Sender already active, ConnectionId 3") &&
                   reports.Contains("Lost Comms Receiver Unit Already in Use, ConnectionId 3");
        }));
    QCOMPARE(system.ReceiverTTL(3), UBYTE(30));

    // Only the heartbeat refreshes a watched id; an unwatched id stays unwatched.
    system.TickReceiver();
    const UBYTE other = 7;
    network->UtilityMessageReceived(&other, 1, 3);
    QCOMPARE(reports.Count("Unknown Util Message Received Byte[0] 7"), 1);
    QCOMPARE(system.ReceiverTTL(3), UBYTE(29));
    const UBYTE heartbeat = 3;
    network->UtilityMessageReceived(&heartbeat, 1, 3);
    network->UtilityMessageReceived(&heartbeat, 1, 4);
    network->UtilityMessageReceived(&heartbeat, 0, 3);
    QCOMPARE(system.ReceiverTTL(3), UBYTE(30));
    QCOMPARE(system.ReceiverTTL(4), UBYTE(0));

    // A heartbeat pass for an id without a connection sends nothing and reports nothing.
    const int before = reports.Lines().size();
    system.TickSender();
    QCOMPARE(reports.Lines().size(), before);

    network->UninitialiseLostComms();
    QCOMPARE(network->GetLostCommsSender(), nullptr);
    QCOMPARE(network->GetLostCommsReceiver(), nullptr);
    network->UninitialiseLostComms();
    QCOMPARE(reports.Count("Inconsistent state: "), 0);
}

QTEST_GUILESS_MAIN(tst_NetworkConnection)
#include "tst_NetworkConnection.moc"
