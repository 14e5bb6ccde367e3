#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace nPeerFrames;

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 FRAMEWORK_PORT = 51321;

bool Wait(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

// A listening socket whose accept queue is full: a further connect is never answered.
struct sBlackHole
{
    cRawSocket mListener;
    std::vector<cRawSocket> mFillers;
};

sBlackHole MakeBlackHole()
{
    sBlackHole hole{cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT, 0), {}};
    for (int i = 0; i < 4; ++i)
    {
        // Connects that no longer complete would block here; a non-blocking probe stops early.
        cRawSocket filler = cRawSocket::TcpConnect(LOCALHOST, FRAMEWORK_PORT, 200);
        if (!filler.IsValid())
        {
            break;
        }
        hole.mFillers.push_back(std::move(filler));
    }
    return hole;
}

} // namespace

// The program as the client: it connects to a peer written here, listening on port 51321.
class tst_ClientConnection : public QObject
{
    Q_OBJECT

private slots:
    void connectsSaysHelloAndSendsHeartbeats();
    void unresolvableHostIsNeverDialled_data();
    void unresolvableHostIsNeverDialled();
    void refusedConnectFailsAndFreesTheId();
    void connectAttemptHasATimeLimit();
    void hostFindWaitsWithoutTheRegistryLock();
    void peerClosingEndsTheConnection();
};

void tst_ClientConnection::connectsSaysHelloAndSendsHeartbeats()
{
    cNetworkTestSystem system(true, false);
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT);
    QVERIFY(listener.IsValid());

    QCOMPARE(NetworkConnectToHost(LOCALHOST), UWORD(1));
    QCOMPARE(system.Network()->GetConnectionHostName(1), std::string(LOCALHOST));
    QCOMPARE(system.Network()->GetConnectionDisplayName(1), std::string(LOCALHOST));
    cRawSocket peer;
    QVERIFY(Wait(
        [&]
        {
            peer = listener.Accept();
            return peer.IsValid();
        }));

    // HELLO with the client's UDP port.
    QByteArray hello;
    QVERIFY(Wait([&] { return peer.Take(8, hello); }));
    QCOMPARE(hello.left(5), QByteArray::fromHex("E000040103"));
    QCOMPARE(hello.right(1), QByteArray::fromHex("E7"));
    const quint16 clientUdp = quint16((quint8(hello[5]) << 8) | quint8(hello[6]));
    QVERIFY(clientUdp != 0);

    // A second request for the same host uses the connection; the name compares exactly.
    QCOMPARE(NetworkConnectToHost(LOCALHOST), UWORD(1));
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(1));
    QVERIFY(NetworkIsConnectedToHost(LOCALHOST));
    QVERIFY(!NetworkIsConnectedToHost("127.0.0.01"));

    // A HELLO ACK cut short or of another protocol version is reported and leaves the UDP link
    // silent and unwatched.
    cRawSocket peerUdp = cRawSocket::Udp(LOCALHOST);
    {
        cReportCapture reports;
        peer.Send(Util(QByteArray::fromHex("0203")));
        peer.Send(Hello(2, peerUdp.LocalPort(), 2));
        QVERIFY(Wait(
            [&]
            {
                return reports.Contains("HELLO ACK of 2 bytes on connection 1 ignored") &&
                       reports.Contains("CONNECTION HELLO received with version: 2");
            }));
        system.TickSender();
        cNetworkTestSystem::Spin(100);
        QCOMPARE(system.ReceiverTTL(1), UBYTE(0));
        QByteArray nothing;
        QVERIFY(!peerUdp.ReceiveFrom(nothing));
    }

    // HELLO ACK with the peer's port: the client's UDP link goes live and is watched.
    peer.Send(Hello(2, peerUdp.LocalPort()));
    QVERIFY(Wait([&] { return system.ReceiverTTL(1) == 30; }));
    QByteArray beat;
    quint16 from = 0;
    QVERIFY(Wait([&] { return peerUdp.ReceiveFrom(beat, &from); }, 3000));
    QCOMPARE(beat, Heartbeat());
    QCOMPARE(from, clientUdp);

    // Messages to the peer go out on its connection.
    cKVNetMessage message(2);
    message.mConnectionId = 1;
    message.mDestination = 300;
    message.mSource = 4;
    message.mMethod = PARAMETER_BASE + 2;
    message.SetUWORD(0x0A0B, 0);
    PostMessage(message);
    QByteArray got;
    const QByteArray expected = V1(1, 300, 4, PARAMETER_BASE + 2, Word(0x0A0B));
    QVERIFY(Wait([&] { return peer.Take(expected.size(), got); }));
    QCOMPARE(got, expected);
}

void tst_ClientConnection::unresolvableHostIsNeverDialled_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("three dots, not an address") << "a.b.c.d";
    QTest::newRow("two dots") << "127.0.1";
    QTest::newRow("four dots") << "127.0.0.1.";
    QTest::newRow("a name") << "Unit";
    QTest::newRow("empty") << "";
}

void tst_ClientConnection::unresolvableHostIsNeverDialled()
{
    QFETCH(QString, host);
    cNetworkTestSystem system(true, false);
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT);
    QSignalSpy counts(system.Network(), &cNetworkConnection::NumberOfConnectionsChanged);

    QCOMPARE(NetworkConnectToHost(host.toUtf8().constData()), KV_NET_NO_CONNECTION);
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(0));
    // The id was taken for the attempt and given back.
    QCOMPARE(counts.count(), 2);
    cNetworkTestSystem::Spin(50);
    QVERIFY(!listener.Accept().IsValid());
}

void tst_ClientConnection::refusedConnectFailsAndFreesTheId()
{
    cNetworkTestSystem system(true, false);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(NetworkConnectToHost(LOCALHOST), KV_NET_NO_CONNECTION);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(0));
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT);

    // Never dialled while the caller holds the registry lock.
    cReportCapture reports;
    {
        cRegistryLocker lock;
        QCOMPARE(NetworkConnectToHost(LOCALHOST), KV_NET_NO_CONNECTION);
    }
    QCOMPARE(reports.Count("refused: the registry lock is held"), 1);
    QVERIFY(!listener.Accept().IsValid());
    QCOMPARE(NetworkConnectToHost(LOCALHOST), UWORD(1));
}

void tst_ClientConnection::connectAttemptHasATimeLimit()
{
    cNetworkTestSystem system(true, false);
    sBlackHole hole = MakeBlackHole();
    QVERIFY(hole.mListener.IsValid());
    system.Network()->SetConnectTimeLimit(300);

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(NetworkConnectToHost(LOCALHOST), KV_NET_NO_CONNECTION);
    QVERIFY2(timer.elapsed() >= 250 && timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(0));
}

void tst_ClientConnection::hostFindWaitsWithoutTheRegistryLock()
{
    cNetworkTestSystem system(true, false);
    sBlackHole hole = MakeBlackHole();
    system.Network()->SetConnectTimeLimit(1500);
    cRecordingNetObject asker("Asker", 1);
    cReportCapture reports;

    // While the router waits for the attempt, another thread takes and releases the registry lock.
    std::atomic<bool> locked{false};
    std::thread other(
        [&locked]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            LockRegistry();
            locked.store(true);
            UnlockRegistry();
        });
    cKVNetMessage find;
    find.mConnectionId = KV_NET_LOCAL_CONNECTION;
    find.mDestination = 0;
    find.mSource = asker.GetHandle();
    find.mMethod = M_REG_FIND_OBJECT;
    find.AppendString("127.0.0.1/Remote Object");
    PostMessage(find);
    QElapsedTimer timer;
    timer.start();
    cMessagePump::Pump();
    const qint64 waited = timer.elapsed();
    other.join();
    QVERIFY(locked.load());
    QVERIFY2(waited >= 1000, qPrintable(QString::number(waited)));

    // Not connected: the asker is told at once.
    cMessagePump::Pump();
    QCOMPARE(asker.Count(M_REPLY_FAIL), 1);
}

void tst_ClientConnection::peerClosingEndsTheConnection()
{
    cNetworkTestSystem system(true, false);
    QSignalSpy disconnected(system.Network(), &cNetworkConnection::ConnectionDisconnected);
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT);
    QCOMPARE(NetworkConnectToHost(LOCALHOST), UWORD(1));
    cRawSocket peer;
    QVERIFY(Wait(
        [&]
        {
            peer = listener.Accept();
            return peer.IsValid();
        }));
    peer.Close();
    QVERIFY(Wait([&] { return disconnected.count() == 1; }));
    QCOMPARE(disconnected.at(0).at(0).value<UWORD>(), UWORD(1));
    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 0; }));
    QCOMPARE(NetworkGetHostName(1), std::string());
}

QTEST_GUILESS_MAIN(tst_ClientConnection)
#include "tst_ClientConnection.moc"
