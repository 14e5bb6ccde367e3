#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cPostMessageHook.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cFakeNetworkConnection.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <memory>

namespace
{

int gStarterCalls = 0;

cKVNetMessage Message(UWORD connectionId, UWORD destination, UWORD length = 2)
{
    cKVNetMessage m(length);
    for (UWORD i = 0; i < length; ++i)
    {
        m.SetUBYTE(UBYTE(i + 1), i);
    }
    m.mConnectionId = connectionId;
    m.mDestination = destination;
    m.mSource = 0x77;
    m.mMethod = PARAMETER_BASE;
    return m;
}

class cCountingHook : public cPostMessageHook
{
public:
    bool PostMessageHook(cKVNetMessage& message) override
    {
        ++mOffered;
        return message.mMethod == M_REG_DO_WORK;
    }
    int mOffered = 0;
};

} // namespace

class tst_SystemStart : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DeleteSystem();
        SetNetworkConnectionStarter(nullptr);
        SetPostMessageHook(nullptr);
    }

    void startSystem_createsRouterBuilderAndRunsTheNetworkStarter();
    void setSystemBuilder_keepsTheFirst();
    void networkCalls_withoutAnInstance_answerTheirNoneValues();
    void networkCalls_reachTheInstance();
    void postMessage_routesByConnectionId_data();
    void postMessage_routesByConnectionId();
    void postHook_isOfferedEveryPostAndMayConsumeIt();
    void datagramLinks_goOutOnUDP();
};

void tst_SystemStart::startSystem_createsRouterBuilderAndRunsTheNetworkStarter()
{
    gStarterCalls = 0;
    SetNetworkConnectionStarter([] { ++gStarterCalls; });
    StartSystem(0, true);
    QVERIFY(gRegistryRouter != nullptr);
    QVERIFY(gSystemBuilder != nullptr);
    QCOMPARE(QString(gSystemBuilder->GetName()), QString("KVNet System Builder"));
    QCOMPARE(gStarterCalls, 1);
    {
        cReportCapture capture;
        StartSystem(0, true);
        QVERIFY(capture.Contains("StartSystem called while the system is started"));
        QCOMPARE(gStarterCalls, 1);
    }
    DeleteSystem();
    QVERIFY(gRegistryRouter == nullptr);
    QVERIFY(gSystemBuilder == nullptr);

    StartSystem(0, false);
    QVERIFY(gSystemBuilder == nullptr);
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), ULONG(0));
}

void tst_SystemStart::setSystemBuilder_keepsTheFirst()
{
    StartSystem(0, true);
    cSystemBuilder* first = gSystemBuilder;
    cSystemBuilder second("Second Builder", 0, 0, 0, nullptr);
    cReportCapture capture;
    SetSystemBuilder(&second);
    QVERIFY(capture.Contains("SystemBuilder allready set!"));
    QCOMPARE(gSystemBuilder, first);
}

void tst_SystemStart::networkCalls_withoutAnInstance_answerTheirNoneValues()
{
    QVERIFY(GetNetworkConnection() == nullptr);
    cKVNetMessage m = Message(3, 5);
    NetworkSendMessage(m);
    NetworkSendMessageUDP(m);
    QCOMPARE(NetworkConnectToHost("peer"), UWORD(0xFFFF));
    QCOMPARE(NetworkConnectionUsesV2(3), false);
    QCOMPARE(NetworkGetHostName(3), std::string());
    QCOMPARE(NetworkGetNumberOfConnections(), UBYTE(0));
    QCOMPARE(NetworkIsConnectedToHost("peer"), false);
}

void tst_SystemStart::networkCalls_reachTheInstance()
{
    cFakeNetworkConnection network;
    QVERIFY(GetNetworkConnection() == &network);
    network.AddConnection(0, "local", true);
    network.AddConnection(2, "peer", true);
    QCOMPARE(NetworkConnectionUsesV2(0), false);
    QCOMPARE(NetworkConnectionUsesV2(2), true);
    QCOMPARE(NetworkGetHostName(2), std::string("peer"));
    QCOMPARE(NetworkIsConnectedToHost("peer"), true);
    QCOMPARE(NetworkIsConnectedToHost("Peer"), false);
    QCOMPARE(NetworkConnectToHost("peer"), UWORD(2));
    QCOMPARE(network.OutgoingAttempts(), 0);
    QCOMPARE(NetworkConnectToHost("other"), UWORD(0xFFFF));
    network.SetOutgoingResult(4);
    QCOMPARE(NetworkConnectToHost("other"), UWORD(4));
    QCOMPARE(network.OutgoingAttempts(), 2);
    QCOMPARE(NetworkGetNumberOfConnections(), UBYTE(3));
}

void tst_SystemStart::postMessage_routesByConnectionId_data()
{
    QTest::addColumn<int>("connection");
    QTest::addColumn<bool>("viaUDP");
    QTest::addColumn<int>("buffered");
    QTest::addColumn<int>("tcp");
    QTest::addColumn<int>("udp");
    QTest::newRow("remote") << 3 << false << 0 << 1 << 0;
    QTest::newRow("remote, datagram") << 3 << true << 0 << 0 << 1;
    QTest::newRow("no connection") << 0xFFFF << false << 0 << 1 << 0;
    QTest::newRow("local") << 0 << false << 1 << 0 << 0;
    QTest::newRow("local, datagram") << 0 << true << 1 << 0 << 0;
}

void tst_SystemStart::postMessage_routesByConnectionId()
{
    QFETCH(int, connection);
    QFETCH(bool, viaUDP);
    QFETCH(int, buffered);
    QFETCH(int, tcp);
    QFETCH(int, udp);
    StartSystem(0, false);
    cFakeNetworkConnection network;
    cKVNetMessage m = Message(UWORD(connection), 0xFFFF, 3);
    if (viaUDP)
    {
        PostMessageViaUDP(m);
    }
    else
    {
        PostMessage(m);
    }
    QCOMPARE(int(GetMessageBufferCount()), buffered);
    QCOMPARE(int(network.SentOnTCP().size()), tcp);
    QCOMPARE(int(network.SentOnUDP().size()), udp);
    if (tcp + udp == 1)
    {
        cKVNetMessage sent = tcp == 1 ? network.SentOnTCP().front() : network.SentOnUDP().front();
        QCOMPARE(sent.GetLength(), UWORD(3));
        QCOMPARE(sent.GetUBYTE(2), UBYTE(3));
        QCOMPARE(sent.mSource, UWORD(0x77));
    }
    // A local message to no handle is dropped at delivery.
    cReportCapture capture;
    QCOMPARE(int(cMessagePump::Pump()), buffered);
    QVERIFY(capture.Lines().isEmpty());
}

void tst_SystemStart::postHook_isOfferedEveryPostAndMayConsumeIt()
{
    StartSystem(0, false);
    cCountingHook hook;
    SetPostMessageHook(&hook);
    cRecordingNetObject target("Target");
    cKVNetMessage m = Message(0, target.GetHandle());
    PostMessage(m);
    m.mMethod = M_REG_DO_WORK;
    PostMessage(m);
    PostMessageViaUDP(m);
    QCOMPARE(hook.mOffered, 2);
    cReportCapture capture;
    cMessagePump::Pump();
    QCOMPARE(target.Count(PARAMETER_BASE), 1);
    QCOMPARE(target.Count(M_REG_DO_WORK), 1);
}

void tst_SystemStart::datagramLinks_goOutOnUDP()
{
    StartSystem(0, false);
    cFakeNetworkConnection network;
    cRecordingNetObject source("Source");
    cRecordingNetObject local("Local");
    source.AddObjectToInformList(4, 9, PARAMETER_BASE, PARAMETER_BASE, 1, 0, false);
    source.AddObjectToInformList(5, 9, PARAMETER_BASE + 2, PARAMETER_BASE, 0, 0, false);
    source.AddObjectToInformList(0, local.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 1, 0, false);
    source.SetValue(0, 0xABCD);
    source.SendValue(0);
    QCOMPARE(int(network.SentOnUDP().size()), 1);
    QCOMPARE(int(network.SentOnTCP().size()), 1);
    cKVNetMessage udp = network.SentOnUDP().front();
    QCOMPARE(udp.mConnectionId, UWORD(4));
    QCOMPARE(udp.mDestination, UWORD(9));
    QCOMPARE(udp.mSource, source.GetHandle());
    QCOMPARE(udp.GetUWORD(0), UWORD(0xABCD));
    QCOMPARE(network.SentOnTCP().front().mMethod, UWORD(PARAMETER_BASE + 2));
    cMessagePump::Pump();
    QCOMPARE(local.Value(0), UWORD(0xABCD));
}

QTEST_GUILESS_MAIN(tst_SystemStart)
#include "tst_SystemStart.moc"
