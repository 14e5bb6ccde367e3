#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <vector>

using namespace nPeerFrames;

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 SERVER_PORT = 51321;

bool Wait(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

// Like Wait, but the router's messages stay buffered: only the main thread's events run.
bool WaitWithoutDelivering(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done())
    {
        if (timer.elapsed() > timeoutMs)
        {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// A unit that connects and, unless told otherwise, completes the hello exchange.
struct sPeer
{
    cRawSocket mTcp;
    cRawSocket mUdp;

    bool Connect(cNetworkTestSystem& system, UWORD id, int receiveBufferBytes = 0)
    {
        mTcp = cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT, 5000, receiveBufferBytes);
        mUdp = cRawSocket::Udp(LOCALHOST);
        return Wait([&] { return system.Network()->GetConnectionHostName(id) == LOCALHOST; });
    }
    // Sends HELLO and takes the HELLO ACK; false when the program closes the connection instead.
    bool Hello(int timeoutMs = 5000)
    {
        mTcp.Send(nPeerFrames::Hello(1, mUdp.LocalPort()));
        QByteArray ack;
        return Wait([&] { return mTcp.Take(8, ack) || mTcp.PeerClosed(); }, timeoutMs) &&
               ack.left(5) == QByteArray::fromHex("E000040203");
    }
};

// Posts 18 MB of messages to the connection, paced so that its thread writes what the socket
// takes: to a peer that does not read, more than the socket holds, so that the transmit queue
// fills and a farewell would wait.
bool FillTransmitQueue(UWORD connectionId, cReportCapture& reports)
{
    cKVNetMessage big(60000);
    big.mConnectionId = connectionId;
    big.mDestination = 5;
    big.mSource = 6;
    big.mMethod = PARAMETER_BASE;
    for (int i = 0; i < 300; ++i)
    {
        PostMessage(big);
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return Wait(
        [&]
        { return reports.Contains(QString("Transmit queue of connection %1 is full").arg(connectionId)); });
}

} // namespace

// Peers that break the rules: they flood link requests, leave with requests still pending, stay
// silent or stop reading. Each holds the program back no more than the bounds allow.
class tst_HostilePeers : public QObject
{
    Q_OBJECT

private slots:
    void linksFromAPeerAreBoundedAndLeaveWithIt();
    void linkOfAPeerThatLeftNeverReachesTheNextPeerOfItsId();
    void changesOfAPeerThatLeftAreCarriedOutInOrder_data();
    void changesOfAPeerThatLeftAreCarriedOutInOrder();
    void peerWithoutHelloIsClosedOnce_data();
    void peerWithoutHelloIsClosedOnce();
    void silentPeersCannotLockOthersOut();
    void shutdownEndsWithinASecondWhateverThePeersDo();
};

void tst_HostilePeers::linksFromAPeerAreBoundedAndLeaveWithIt()
{
    cNetworkTestSystem system;
    cRecordingNetObject object("Linked Object", 1);
    sPeer peer;
    QVERIFY(peer.Connect(system, 1));
    QVERIFY(peer.Hello());
    cReportCapture reports;

    // 300 distinct requests, differing only in the asker's handle and method.
    QByteArray flood;
    for (int i = 0; i < 300; ++i)
    {
        const UWORD handle = UWORD(100 + i / 2);
        flood += V1(0, object.GetHandle(), handle, M_OBJECT_ADD_TO_INFORM_LIST,
                    LinkRequest(handle, UWORD(PARAMETER_BASE + i % 2), PARAMETER_BASE));
    }
    peer.mTcp.Send(flood);
    QVERIFY(Wait([&] { return object.Count(M_OBJECT_ADD_TO_INFORM_LIST) == 300; }));
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(256));
    QCOMPARE(reports.Count("Link from connection 1 to \"Linked Object\" refused"), 1);
    // Each link is answered to the peer: told when made, M_REPLY_FAIL when refused.
    const int answerSize = V1(1, 100, object.GetHandle(), M_OBJECT_ADD_TO_DELETE_LIST).size();
    QVERIFY(Wait([&] { return peer.mTcp.Poll() || peer.mTcp.Received().size() >= 300 * answerSize; }));
    cNetworkTestSystem::Spin(100);
    peer.mTcp.Poll();
    QCOMPARE(peer.mTcp.Received().size(), 300 * answerSize);
    QVERIFY(peer.mTcp.Received().startsWith(V1(1, 100, object.GetHandle(), M_OBJECT_ADD_TO_DELETE_LIST)));
    QCOMPARE(peer.mTcp.Received().mid(255 * answerSize, answerSize),
             V1(1, 227, object.GetHandle(), M_OBJECT_ADD_TO_DELETE_LIST));
    QCOMPARE(peer.mTcp.Received().mid(256 * answerSize, answerSize),
             V1(1, 228, object.GetHandle(), M_REPLY_FAIL));
    QVERIFY(peer.mTcp.Received().endsWith(V1(1, 249, object.GetHandle(), M_REPLY_FAIL)));

    peer.mTcp.Close();
    QVERIFY(Wait([&] { return object.GetNumberOfInformListItems(PARAMETER_BASE) == 0; }));
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(1), ULONG(0));
}

void tst_HostilePeers::linkOfAPeerThatLeftNeverReachesTheNextPeerOfItsId()
{
    cNetworkTestSystem system;
    cRecordingNetObject object("Muted Object", 1);
    object.SetValue(0, 0x4D55);
    const UWORD handle = object.GetHandle();

    // A changes the value, asks for a link with sync-up and leaves while both still wait in the
    // router.
    sPeer a;
    QVERIFY(a.Connect(system, 1));
    QVERIFY(a.Hello());
    a.mTcp.Send(V1(0, handle, 55, PARAMETER_BASE, Word(0x0A11)) +
                V1(0, handle, 55, M_OBJECT_ADD_TO_INFORM_LIST,
                   LinkRequest(55, PARAMETER_BASE, PARAMETER_BASE, true)));
    ULONG buffered = 0;
    ULONG bytes = 0;
    QVERIFY(WaitWithoutDelivering(
        [&]
        {
            gRegistryRouter->GetBufferedFromConnection(1, buffered, bytes);
            return buffered == 2;
        }));
    a.mTcp.Close();
    QVERIFY(WaitWithoutDelivering([&] { return system.Network()->GetNumberOfConnections() == 0; }));

    // B gets A's id; then A's messages are delivered: the change is carried out, the link is not.
    sPeer b;
    QVERIFY(b.Connect(system, 1));
    QVERIFY(b.Hello());
    cNetworkTestSystem::Spin(200);
    QCOMPARE(object.Count(PARAMETER_BASE), 1);
    QCOMPARE(object.Value(0), UWORD(0x0A11));
    QCOMPARE(object.Count(M_OBJECT_ADD_TO_INFORM_LIST), 0);
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(0));
    QCOMPARE(object.SyncUps(), 0);
    {
        cRegistryLocker lock;
        object.SendValue(0);
    }
    cNetworkTestSystem::Spin(200);
    QVERIFY(!b.mTcp.Poll());
    QVERIFY2(b.mTcp.Received().isEmpty(), b.mTcp.Received().toHex().constData());
}

void tst_HostilePeers::changesOfAPeerThatLeftAreCarriedOutInOrder_data()
{
    QTest::addColumn<QString>("leave");
    QTest::addColumn<int>("changes");
    for (const char* leave : {"BYE", "close", "reset"})
    {
        QTest::newRow(leave) << QString(leave) << 20;
        // More than the router takes from one connection before its reading pauses: the rest
        // waits in the socket when the peer leaves.
        QTest::newRow(qPrintable(QString("%1, beyond the router backlog").arg(leave)))
            << QString(leave) << 100;
    }
}

void tst_HostilePeers::changesOfAPeerThatLeftAreCarriedOutInOrder()
{
    QFETCH(QString, leave);
    QFETCH(int, changes);
    cNetworkTestSystem system;
    cRecordingNetObject object("Input Object", 1);
    sPeer peer;
    QVERIFY(peer.Connect(system, 1));
    QVERIFY(peer.Hello());

    // The router is held busy (nothing is delivered) while the peer sends its changes and leaves.
    QByteArray sent;
    for (int value = 1; value <= changes; ++value)
    {
        sent += V1(0, object.GetHandle(), 55, PARAMETER_BASE, Word(UWORD(value)));
    }
    if (leave == "BYE")
    {
        sent += Bye();
    }
    peer.mTcp.Send(sent);
    if (leave == "close")
    {
        peer.mTcp.Close();
    }
    else if (leave == "reset")
    {
        peer.mTcp.Reset();
    }
    // Below the backlog the connection ends while every change still waits in the router; beyond
    // it a farewell waits behind the changes that have not been read.
    const bool endsHeld = changes <= 20 || leave != "BYE";
    const bool ended = WaitWithoutDelivering([&] { return system.Network()->GetNumberOfConnections() == 0; },
                                             endsHeld ? 5000 : 1000);
    QCOMPARE(ended, endsHeld);

    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 0; }));
    cNetworkTestSystem::Spin(100);
    std::vector<UWORD> values;
    for (const cRecordingNetObject::sReceived& received : object.Received())
    {
        if (received.mMethod == PARAMETER_BASE && received.mPayload.size() == 2)
        {
            values.push_back(UWORD((quint8(received.mPayload[0]) << 8) | quint8(received.mPayload[1])));
        }
    }
    QCOMPARE(int(values.size()), changes);
    for (int i = 0; i < changes; ++i)
    {
        QCOMPARE(int(values[size_t(i)]), i + 1);
    }
    QCOMPARE(object.Value(0), UWORD(changes));
}

void tst_HostilePeers::peerWithoutHelloIsClosedOnce_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing") << QByteArray() << true;
    QTest::newRow("messages only") << V1(0, 0, 40, M_REG_FIND_OBJECT, QByteArray("x", 2)) << true;
    QTest::newRow("a HELLO cut short") << Util(QByteArray::fromHex("0103")) << true;
    QTest::newRow("a HELLO of protocol 2") << Hello(1, 40000, 2) << true;
    QTest::newRow("a HELLO") << Hello(1, 40000) << false;
}

void tst_HostilePeers::peerWithoutHelloIsClosedOnce()
{
    QFETCH(QByteArray, sent);
    QFETCH(bool, closed);
    cNetworkTestSystem system;
    constexpr int LIMIT_MS = 300;
    system.Network()->SetHelloTimeLimit(LIMIT_MS);
    cReportCapture reports;
    sPeer peer;
    QVERIFY(peer.Connect(system, 1));
    peer.mTcp.Send(sent);

    QElapsedTimer timer;
    timer.start();
    const bool ended = Wait([&] { return peer.mTcp.Poll(); }, 3 * LIMIT_MS + 2000);
    QCOMPARE(ended, closed);
    const QString report = "No HELLO from 127.0.0.1 within 300 ms: connection 1 closed";
    if (closed)
    {
        // At once, without the farewell, and the id is free again.
        QVERIFY(!peer.mTcp.Received().contains(Bye()));
        QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 0; }));
        QCOMPARE(reports.Count(report), 1);
    }
    else
    {
        QVERIFY(timer.elapsed() >= 3 * LIMIT_MS);
        QCOMPARE(reports.Count(report), 0);
        QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(1));
    }
}

void tst_HostilePeers::silentPeersCannotLockOthersOut()
{
    // The program's own time limit; the only test that waits for it.
    cNetworkTestSystem system;
    cReportCapture reports;
    std::vector<cRawSocket> silent;
    for (UWORD id = 1; id <= cNetworkConnection::MAX_CONNECTIONS; ++id)
    {
        silent.push_back(cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT));
        QVERIFY(Wait([&] { return system.Network()->GetConnectionHostName(id) == LOCALHOST; }));
    }

    // A well-formed peer tries again whenever it is turned away: every id is taken until the
    // silent ones are closed.
    QElapsedTimer timer;
    timer.start();
    bool answered = false;
    while (!answered && timer.elapsed() < 11000)
    {
        sPeer peer;
        peer.mTcp = cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT);
        peer.mUdp = cRawSocket::Udp(LOCALHOST);
        answered = peer.Hello(int(std::max<qint64>(11000 - timer.elapsed(), 1)));
        if (!answered)
        {
            cNetworkTestSystem::Spin(20);
        }
    }
    QVERIFY2(answered, qPrintable(QString::number(timer.elapsed())));
    qInfo("Answered after %lld ms", timer.elapsed());
    QVERIFY(Wait([&] { return reports.Count("No HELLO from 127.0.0.1 within 10000 ms") == 20; }));
    for (cRawSocket& peer : silent)
    {
        QVERIFY(peer.Poll());
        QVERIFY(peer.Received().isEmpty());
    }
}

void tst_HostilePeers::shutdownEndsWithinASecondWhateverThePeersDo()
{
    cNetworkTestSystem system;
    cReportCapture reports;
    // One peer reads; one has stopped reading; one has stopped reading and said goodbye, so that
    // the program's farewell is already waiting when the shutdown begins.
    sPeer reading;
    sPeer stopped;
    sPeer leaving;
    QVERIFY(reading.Connect(system, 1) && reading.Hello());
    QVERIFY(stopped.Connect(system, 2, 4096) && stopped.Hello());
    QVERIFY(leaving.Connect(system, 3, 4096) && leaving.Hello());
    QVERIFY(FillTransmitQueue(2, reports));
    QVERIFY(FillTransmitQueue(3, reports));
    leaving.mTcp.Send(Bye());
    cNetworkTestSystem::Spin(200);

    QElapsedTimer timer;
    timer.start();
    system.Network()->UninitialiseLostComms();
    cNetworkConnection::DeleteInstance();
    const qint64 elapsed = timer.elapsed();
    qInfo("Shutdown of the connections took %lld ms", elapsed);
    QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
    QVERIFY(Wait([&] { return reading.mTcp.Poll(); }));
    QVERIFY(reading.mTcp.Received().endsWith(Bye()));
    // The others' farewells could not be written: the wait for them was what was bounded.
    for (sPeer* peer : {&stopped, &leaving})
    {
        QVERIFY(Wait([&] { return peer->mTcp.Poll(); }, 20000));
        QVERIFY(!peer->mTcp.Received().endsWith(Bye()));
    }
}

QTEST_GUILESS_MAIN(tst_HostilePeers)
#include "tst_HostilePeers.moc"
