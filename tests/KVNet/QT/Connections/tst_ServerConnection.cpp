#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/cConnectionBaseQt.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace nPeerFrames;

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 SERVER_PORT = 51321;

// A unit that connects to the program: a TCP socket and the UDP socket it announces.
struct sPeer
{
    cRawSocket mTcp;
    cRawSocket mUdp;
};

bool Wait(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

bool TakeFrame(cRawSocket& socket, const QByteArray& expected, QByteArray& got)
{
    return Wait([&] { return socket.Take(expected.size(), got); });
}

// Connects and waits until the program serves the connection as id.
sPeer Connect(cNetworkTestSystem& system, UWORD id)
{
    sPeer peer{cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT), cRawSocket::Udp(LOCALHOST)};
    Wait([&] { return system.Network()->GetConnectionHostName(id) == LOCALHOST; });
    return peer;
}

// Connects and completes the hello exchange; the program's UDP port is returned.
quint16 ConnectWithHello(cNetworkTestSystem& system, sPeer& peer, UWORD id = 1)
{
    peer = Connect(system, id);
    peer.mTcp.Send(Hello(1, peer.mUdp.LocalPort()));
    QByteArray ack;
    if (!peer.mTcp.Take(8, ack) && !Wait([&] { return peer.mTcp.Take(8, ack); }))
    {
        return 0;
    }
    return quint16((quint8(ack[5]) << 8) | quint8(ack[6]));
}

cKVNetMessage Message(UWORD connection, UWORD destination, UWORD source, UWORD method, UWORD value)
{
    cKVNetMessage message(2);
    message.mConnectionId = connection;
    message.mDestination = destination;
    message.mSource = source;
    message.mMethod = method;
    message.SetUWORD(value, 0);
    return message;
}

} // namespace

// The program as the server: a peer written here connects to port 51321 and checks the bytes.
class tst_ServerConnection : public QObject
{
    Q_OBJECT

private slots:
    void helloIsAnsweredAndHeartbeatsFollow();
    void messagesTravelBothWays();
    void linkFromPeerPointsBackOverItsConnection();
    void farewellFromPeerIsAnsweredAndEndsTheConnection();
    void disconnectSendsFarewellAndClosedIdIsReused();
    void silentPeerIsLostAfterThirtyTicks();
    void twentyFirstConnectionIsClosed();
    void repeatedHelloReplacesTheUDPLink();
    void shortOrForeignHelloGetsNoAnswer();
    void peerCannotDriveTheRouter();
    void peerCannotSaveOrRecallByPath();
    void floodingPeerIsHeldBackAndLosesNothing();
    void peerThatDoesNotReadCannotGrowTheQueue();
};

void tst_ServerConnection::helloIsAnsweredAndHeartbeatsFollow()
{
    cNetworkTestSystem system;
    sPeer peer = Connect(system, 1);
    QVERIFY(peer.mTcp.IsValid());
    QCOMPARE(system.Network()->GetConnectionDisplayName(1), std::string("127.0.0.1 - Server Side"));

    peer.mTcp.Send(Hello(1, peer.mUdp.LocalPort()));
    QByteArray ack;
    QVERIFY(TakeFrame(peer.mTcp, Hello(2, 51325), ack));
    // HELLO ACK: E0 00 04 02 03 and the UDP port 51324 + id.
    QCOMPARE(ack, QByteArray::fromHex("E0000402 03C87DE7"));

    // The sender's own 1000 ms timer: heartbeats E0 00 01 03 E7 from the program's UDP port.
    QByteArray beat;
    quint16 from = 0;
    QVERIFY(Wait([&] { return peer.mUdp.ReceiveFrom(beat, &from); }, 3000));
    QCOMPARE(beat, QByteArray::fromHex("E0000103E7"));
    QCOMPARE(from, quint16(51325));
    QElapsedTimer period;
    period.start();
    QVERIFY(Wait([&] { return peer.mUdp.ReceiveFrom(beat, &from); }, 3000));
    QVERIFY2(period.elapsed() >= 700 && period.elapsed() <= 2500,
             qPrintable(QString::number(period.elapsed())));
    QCOMPARE(beat, Heartbeat());
}

void tst_ServerConnection::messagesTravelBothWays()
{
    cNetworkTestSystem system;
    cRecordingNetObject object("Local Object", 2);
    const UWORD handle = object.GetHandle();
    sPeer peer;
    const quint16 programUdp = ConnectWithHello(system, peer);
    QCOMPARE(programUdp, quint16(51325));

    // TCP in: the connection id in the frame is the peer's; the program's own id replaces it.
    peer.mTcp.Send(V1(0x1234, handle, 77, PARAMETER_BASE + 1, Word(0x0102)));
    QVERIFY(Wait([&] { return object.Count(PARAMETER_BASE + 1) == 1; }));
    const cRecordingNetObject::sReceived in = object.Received().back();
    QCOMPARE(in.mConnectionId, UWORD(1));
    QCOMPARE(in.mSource, UWORD(77));
    QCOMPARE(in.mPayload, QByteArray::fromHex("0102"));

    // TCP out, V1 until the peer announces V2, then V2.
    cKVNetMessage reply = Message(1, 77, handle, PARAMETER_BASE, 0xBEEF);
    PostMessage(reply);
    QByteArray got;
    QVERIFY(TakeFrame(peer.mTcp, V1(1, 77, handle, PARAMETER_BASE, Word(0xBEEF)), got));
    QCOMPARE(got, V1(1, 77, handle, PARAMETER_BASE, Word(0xBEEF)));
    peer.mTcp.Send(Util(QByteArray::fromHex("05030000")));
    QVERIFY(Wait([&] { return system.Network()->ConnectionUsesV2(1); }));
    PostMessage(reply);
    QVERIFY(TakeFrame(peer.mTcp, V2(1, 77, handle, PARAMETER_BASE, Word(0xBEEF)), got));
    QCOMPARE(got, V2(1, 77, handle, PARAMETER_BASE, Word(0xBEEF)));

    // UDP out follows the connection's frame version.
    PostMessageViaUDP(reply);
    QByteArray datagram;
    // The sender's heartbeats share the port: the message is the first datagram that is not one.
    QVERIFY(Wait([&] { return peer.mUdp.ReceiveFrom(datagram) && datagram != Heartbeat(); }));
    QCOMPARE(datagram, V2(1, 77, handle, PARAMETER_BASE, Word(0xBEEF)));

    // UDP in: only from the announced port.
    cRawSocket stranger = cRawSocket::Udp(LOCALHOST);
    stranger.SendTo(V1(0, handle, 78, PARAMETER_BASE + 1, Word(9)), LOCALHOST, programUdp);
    peer.mUdp.SendTo(V1(0, handle, 79, PARAMETER_BASE + 1, Word(5)), LOCALHOST, programUdp);
    QVERIFY(Wait([&] { return object.Count(PARAMETER_BASE + 1) == 2; }));
    cNetworkTestSystem::Spin(100);
    QCOMPARE(object.Count(PARAMETER_BASE + 1), 2);
    QCOMPARE(object.Received().back().mSource, UWORD(79));
    QCOMPARE(object.Received().back().mConnectionId, UWORD(1));
}

void tst_ServerConnection::linkFromPeerPointsBackOverItsConnection()
{
    cNetworkTestSystem system;
    cRecordingNetObject object("Linked Object", 1);
    const UWORD handle = object.GetHandle();
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);
    cReportCapture reports;

    // A link message shorter than its 10 bytes is dropped before anything is written.
    peer.mTcp.Send(V1(0, handle, 55, M_OBJECT_ADD_TO_INFORM_LIST, QByteArray::fromHex("77770037")));
    QVERIFY(Wait([&] { return reports.Contains("Link message (method 6) of 4 bytes from connection 1"); }));
    QCOMPARE(object.Count(M_OBJECT_ADD_TO_INFORM_LIST), 0);

    // The peer's own id for this unit (0x7777) becomes this side's id for the peer.
    const QByteArray link = Word(0x7777) + Word(55) + Word(PARAMETER_BASE + 9) + Word(PARAMETER_BASE) +
                            QByteArray::fromHex("0000");
    peer.mTcp.Send(V1(0, handle, 55, M_OBJECT_ADD_TO_INFORM_LIST, link));
    QVERIFY(Wait([&] { return object.Count(M_OBJECT_ADD_TO_INFORM_LIST) == 1; }));
    QCOMPARE(object.LastPayload(M_OBJECT_ADD_TO_INFORM_LIST).left(2), Word(1));
    QByteArray got;
    QVERIFY(TakeFrame(peer.mTcp, V1(1, 55, handle, M_OBJECT_ADD_TO_DELETE_LIST), got));
    QCOMPARE(got, V1(1, 55, handle, M_OBJECT_ADD_TO_DELETE_LIST));

    object.SetValue(0, 0x4242);
    {
        cRegistryLocker lock;
        object.SendValue(0);
    }
    QVERIFY(TakeFrame(peer.mTcp, V1(1, 55, handle, PARAMETER_BASE + 9, Word(0x4242)), got));
    QCOMPARE(got, V1(1, 55, handle, PARAMETER_BASE + 9, Word(0x4242)));

    // The connection's end removes the link.
    peer.mTcp.Close();
    QVERIFY(Wait([&] { return object.GetNumberOfInformListItems(PARAMETER_BASE) == 0; }));
}

void tst_ServerConnection::farewellFromPeerIsAnsweredAndEndsTheConnection()
{
    cNetworkTestSystem system;
    QSignalSpy disconnected(system.Network(), &cNetworkConnection::ConnectionDisconnected);
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);

    peer.mTcp.Send(Bye());
    QByteArray got;
    QVERIFY(TakeFrame(peer.mTcp, Bye(), got));
    QCOMPARE(got, QByteArray::fromHex("E0000342 5945E7"));
    QVERIFY(Wait([&] { return disconnected.count() == 1; }));
    QCOMPARE(disconnected.at(0).at(0).value<UWORD>(), UWORD(1));
    QCOMPARE(disconnected.at(0).at(1).value<std::string>(), std::string("127.0.0.1"));
    QVERIFY(Wait([&] { return peer.mTcp.Poll(); }));
    QVERIFY(peer.mTcp.Received().isEmpty());
    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 0; }));
}

void tst_ServerConnection::disconnectSendsFarewellAndClosedIdIsReused()
{
    cNetworkTestSystem system;
    sPeer first;
    sPeer second;
    QVERIFY(ConnectWithHello(system, first, 1) != 0);
    QCOMPARE(ConnectWithHello(system, second, 2), quint16(51326));

    system.Network()->DisconnectConnectionID(1);
    QByteArray got;
    QVERIFY(TakeFrame(first.mTcp, Bye(), got));
    QCOMPARE(got, Bye());
    QVERIFY(Wait([&] { return first.mTcp.Poll(); }));
    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 1; }));

    // The lowest free id, and its UDP port, are given out again.
    sPeer third;
    QCOMPARE(ConnectWithHello(system, third, 1), quint16(51325));
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(2));
    QVERIFY(!second.mTcp.Poll());

    // A disconnect that names an earlier connection of a slot leaves the one there now alone.
    system.Network()->DisconnectAtIndex(0, false, 0);
    system.Network()->DisconnectAtIndex(0, false, 1);
    cNetworkTestSystem::Spin(100);
    QVERIFY(!third.mTcp.Poll());
    QCOMPARE(system.Network()->GetConnectionHostName(1), std::string(LOCALHOST));
}

void tst_ServerConnection::silentPeerIsLostAfterThirtyTicks()
{
    cNetworkTestSystem system;
    system.StopLostCommsTimers();
    QSignalSpy warnings(system.Network(), &cNetworkConnection::UnitLowTTLWarning);
    QSignalSpy disconnected(system.Network(), &cNetworkConnection::ConnectionDisconnected);
    QSignalSpy lost(system.Network(), &cNetworkConnection::LostComms);
    QStringList order;
    connect(
        system.Network(), &cNetworkConnection::ConnectionDisconnected, this,
        [&order] { order << "disconnected"; }, Qt::DirectConnection);
    connect(
        system.Network(), &cNetworkConnection::LostComms, this, [&order] { order << "lost"; },
        Qt::DirectConnection);
    sPeer peer;
    const quint16 programUdp = ConnectWithHello(system, peer);
    QVERIFY(programUdp != 0);
    QVERIFY(Wait([&] { return system.ReceiverTTL(1) == 30; }));

    // Heartbeats between the ticks keep it at 29-30 and raise no warning (each wait below is for
    // the heartbeat just sent: the tick before it left 29).
    system.TickReceiver();
    QCOMPARE(system.ReceiverTTL(1), UBYTE(29));
    for (int i = 0; i < 8; ++i)
    {
        peer.mUdp.SendTo(Heartbeat(), LOCALHOST, programUdp);
        QVERIFY(Wait([&] { return system.ReceiverTTL(1) == 30; }));
        system.TickReceiver();
        QCOMPARE(system.ReceiverTTL(1), UBYTE(29));
    }
    // Ordinary messages do not count as heartbeats.
    peer.mUdp.SendTo(V1(0, 0, 1, M_REG_DO_WORK), LOCALHOST, programUdp);
    cNetworkTestSystem::Spin(50);
    QCOMPARE(system.ReceiverTTL(1), UBYTE(29));
    QCOMPARE(warnings.count(), 0);

    cReportCapture reports;
    for (int tick = 2; tick <= 30; ++tick)
    {
        system.TickReceiver();
        QCoreApplication::processEvents();
        // Warned on the fifth tick after the last heartbeat (TTL 25).
        QCOMPARE(warnings.count(), tick >= 5 ? 1 : 0);
    }
    QCOMPARE(warnings.at(0).at(1).toBool(), true);
    QCOMPARE(disconnected.count(), 1);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(order, QStringList({"disconnected", "lost"}));
    QCOMPARE(lost.at(0).at(1).value<std::string>(), std::string("127.0.0.1"));
    QCOMPARE(reports.Count("Communication lost to unit - 127.0.0.1 - Server Side"), 1);

    // Closed at once, without the farewell.
    QVERIFY(Wait([&] { return peer.mTcp.Poll(); }));
    QVERIFY(!peer.mTcp.Received().contains(Bye()));
    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 0; }));

    // Registered again on the same id, the earlier warning is cleared on the first tick.
    sPeer again;
    QVERIFY(ConnectWithHello(system, again) != 0);
    QVERIFY(Wait([&] { return system.ReceiverTTL(1) == 30; }));
    system.TickReceiver();
    QVERIFY(Wait([&] { return warnings.count() == 2; }));
    QCOMPARE(warnings.at(1).at(1).toBool(), false);
}

void tst_ServerConnection::twentyFirstConnectionIsClosed()
{
    cNetworkTestSystem system(false);
    std::vector<cRawSocket> peers;
    for (UWORD id = 1; id <= 20; ++id)
    {
        peers.push_back(cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT));
        QVERIFY(Wait([&] { return system.Network()->GetConnectionHostName(id) == LOCALHOST; }));
    }
    cReportCapture reports;
    cRawSocket refused = cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT);
    QVERIFY(refused.IsValid());
    QVERIFY(Wait([&] { return refused.Poll(); }));
    QCOMPARE(reports.Count("All availible connections are in use"), 1);
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(20));
    for (cRawSocket& peer : peers)
    {
        QVERIFY(!peer.Poll());
    }

    // Releasing a free id changes nothing.
    system.Network()->ReleaseConnectionID(21);
    peers[4].Close();
    QVERIFY(Wait([&] { return system.Network()->GetNumberOfConnections() == 19; }));
    system.Network()->ReleaseConnectionID(5);
    QCOMPARE(reports.Count("Connection id 5 released while not in use"), 1);
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(19));
    peers[4] = cRawSocket::TcpConnect(LOCALHOST, SERVER_PORT);
    QVERIFY(Wait([&] { return system.Network()->GetConnectionHostName(5) == LOCALHOST; }));
}

void tst_ServerConnection::repeatedHelloReplacesTheUDPLink()
{
    cNetworkTestSystem system;
    sPeer peer;
    QCOMPARE(ConnectWithHello(system, peer), quint16(51325));
    cReportCapture reports;
    cRawSocket secondUdp = cRawSocket::Udp(LOCALHOST);
    peer.mTcp.Send(Hello(1, secondUdp.LocalPort()));
    QByteArray ack;
    QVERIFY(TakeFrame(peer.mTcp, Hello(2, 51325), ack));
    // The first link was closed, so its port is free for the new one.
    QCOMPARE(ack, Hello(2, 51325));
    QVERIFY(Wait([&] { return reports.Contains("Lost Comms Sender already active, ConnectionId 1"); }));
    QByteArray beat;
    QVERIFY(Wait([&] { return secondUdp.ReceiveFrom(beat); }, 3000));
    QCOMPARE(beat, Heartbeat());
}

void tst_ServerConnection::shortOrForeignHelloGetsNoAnswer()
{
    cNetworkTestSystem system;
    sPeer peer = Connect(system, 1);
    cReportCapture reports;
    peer.mTcp.Send(Util(QByteArray::fromHex("0103")));
    QVERIFY(Wait([&] { return reports.Contains("HELLO of 2 bytes on connection 1 ignored"); }));
    peer.mTcp.Send(Hello(1, peer.mUdp.LocalPort(), 2));
    peer.mTcp.Send(Util(QByteArray::fromHex("09")));
    peer.mTcp.Send(Util(QByteArray()));
    QVERIFY(Wait([&] { return reports.Contains("Empty util frame dropped"); }));
    cNetworkTestSystem::Spin(200);
    QVERIFY(!peer.mTcp.Poll());
    QVERIFY(peer.mTcp.Received().isEmpty());
    QCOMPARE(system.ReceiverTTL(1), UBYTE(0));
}

void tst_ServerConnection::peerCannotDriveTheRouter()
{
    cNetworkTestSystem system;
    cRecordingNetObject ticked("Ticked Object", 1, true, true);
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);
    cReportCapture reports;

    // A find by name is answered with the handle (2 bytes for a V1 peer).
    peer.mTcp.Send(V1(0, 0, 40, M_REG_FIND_OBJECT, QByteArray("Ticked Object", 14)));
    QByteArray got;
    const QByteArray okReply = V1(1, 40, 0, M_REPLY_OK, Word(ticked.GetHandle()));
    QVERIFY(TakeFrame(peer.mTcp, okReply, got));
    QCOMPARE(got, okReply);

    // "host/object" from a peer: refused, and no connection is opened for it.
    peer.mTcp.Send(V1(0, 0, 41, M_REG_FIND_OBJECT, QByteArray("127.0.0.1/Ticked Object", 24)));
    QVERIFY(TakeFrame(peer.mTcp, V1(1, 41, 0, M_REPLY_FAIL), got));
    QCOMPARE(got, V1(1, 41, 0, M_REPLY_FAIL));
    QCOMPARE(system.Network()->GetNumberOfConnections(), UBYTE(1));

    // The router's tick, tock and pool print are not the peer's to send.
    QFile::remove("Messpools.txt");
    peer.mTcp.Send(V1(0, 0, 42, M_REG_TICK) + V1(0, 0, 42, M_REG_TOCK) +
                   V1(0, 0, 42, M_TEST_PRINT_MESS_POOLS));
    QVERIFY(Wait([&] { return reports.Count("from connection 1 dropped") == 3; }));
    QCOMPARE(ticked.Ticks(), 0);
    QCOMPARE(ticked.Tocks(), 0);
    QVERIFY(!QFile::exists("Messpools.txt"));
}

void tst_ServerConnection::peerCannotSaveOrRecallByPath()
{
    cNetworkTestSystem system;
    cSavesManager saves;
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);
    cReportCapture reports;
    const QString path = QDir::home().filePath("FromPeer.cfg");
    QByteArray payload = path.toUtf8();
    payload.append('\0');
    peer.mTcp.Send(V1(0, saves.GetHandle(), 9, cSavesManager::P_SAVE, payload));
    peer.mTcp.Send(V1(0, saves.GetHandle(), 9, cSavesManager::P_RECALL, payload));
    QVERIFY(Wait(
        [&]
        {
            return reports.Contains("Save request from connection 1 refused") &&
                   reports.Contains("Recall request from connection 1 refused");
        }));
    cNetworkTestSystem::Spin(100);
    QVERIFY(!QFile::exists(path));
    peer.mTcp.Poll();
    QVERIFY(peer.mTcp.Received().isEmpty());
}

void tst_ServerConnection::floodingPeerIsHeldBackAndLosesNothing()
{
    cNetworkTestSystem system;
    cRecordingNetObject object("Flooded Object", 1);
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);
    cReportCapture reports;

    constexpr int FRAMES = 3000;
    QByteArray flood;
    for (int i = 0; i < FRAMES; ++i)
    {
        flood += V1(0, object.GetHandle(), 9, PARAMETER_BASE, Word(quint16(i)));
    }
    // Nothing is delivered while the peer sends: the router's backlog from it stays capped.
    ULONG most = 0;
    QElapsedTimer timer;
    timer.start();
    int sent = 0;
    while (sent < flood.size() && timer.elapsed() < 5000)
    {
        const int n = std::min(4096, flood.size() - sent);
        peer.mTcp.Send(flood.mid(sent, n));
        sent += n;
        QCoreApplication::processEvents();
        ULONG messages = 0;
        ULONG bytes = 0;
        gRegistryRouter->GetBufferedFromConnection(1, messages, bytes);
        most = std::max(most, messages);
    }
    QVERIFY(Wait([&] { return reports.Contains("waiting in the router: reading paused"); }));
    QVERIFY2(most <= 64 + 256 / 14 + 1, qPrintable(QString::number(most)));

    // Delivering resumes the reading; every frame arrives, in order.
    QVERIFY(Wait([&] { return object.Count(PARAMETER_BASE) == FRAMES; }, 20000));
    const std::vector<cRecordingNetObject::sReceived> received = object.Received();
    for (int i = 0; i < FRAMES; ++i)
    {
        QCOMPARE(received[size_t(i)].mPayload, Word(quint16(i)));
    }
}

void tst_ServerConnection::peerThatDoesNotReadCannotGrowTheQueue()
{
    cNetworkTestSystem system;
    sPeer peer;
    QVERIFY(ConnectWithHello(system, peer) != 0);
    cReportCapture reports;

    // 60 MB of messages to a peer that reads nothing.
    cKVNetMessage big(60000);
    big.mConnectionId = 1;
    big.mDestination = 5;
    big.mSource = 6;
    big.mMethod = PARAMETER_BASE;
    for (int i = 0; i < 1000; ++i)
    {
        PostMessage(big);
        if (i % 50 == 0)
        {
            QCoreApplication::processEvents();
        }
    }
    QVERIFY(Wait([&] { return reports.Contains("Transmit queue of connection 1 is full"); }));

    // Once the peer reads, what was queued goes out, then the rest was dropped: far less than
    // was posted arrives, and the connection goes on. What was queued is a full queue at least
    // (no more when the connection's thread took none of the frames while they were posted).
    const qint64 fullQueue = qint64(cConnectionBaseQt::MAX_QUEUED_BYTES) - (60000 + 12);
    qint64 received = 0;
    QByteArray tail;
    auto read = [&]
    {
        peer.mTcp.Poll();
        received += peer.mTcp.Received().size();
        tail = (tail + peer.mTcp.Received()).right(64);
        peer.mTcp.Received().clear();
    };
    QVERIFY(Wait(
        [&]
        {
            read();
            return received >= fullQueue;
        },
        10000));
    big.SetLength(2);
    big.SetUWORD(0x5A5A, 0);
    PostMessage(big);
    const QByteArray last = V1(1, 5, 6, PARAMETER_BASE, Word(0x5A5A));
    QVERIFY(Wait(
        [&]
        {
            read();
            return tail.endsWith(last);
        },
        10000));
    QVERIFY2(received < 60000LL * 1000 / 2, qPrintable(QString::number(received)));
}

QTEST_GUILESS_MAIN(tst_ServerConnection)
#include "tst_ServerConnection.moc"
