#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

using namespace nPeerFrames;

namespace
{

const char* const LOCALHOST = "127.0.0.1";

bool Wait(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

cKVNetMessage Message(UWORD value, UWORD length = 2)
{
    cKVNetMessage message(length);
    message.mConnectionId = 1;
    message.mDestination = 10;
    message.mSource = 20;
    message.mMethod = PARAMETER_BASE;
    message.SetUWORD(value, 0);
    return message;
}

} // namespace

// One TCP or UDP link on its own, against a peer written here.
class tst_ConnectionLinks : public QObject
{
    Q_OBJECT

private slots:
    void queuedFramesGoOutInOrderWithOneSend();
    void transmitQueueRecoversAndIsBounded();
    void farewellIsAnsweredOnlyWhileOpen();
    void udpLinkIsSilentUntilThePeersPortIsKnown();
};

void tst_ConnectionLinks::queuedFramesGoOutInOrderWithOneSend()
{
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, 40000);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(LOCALHOST), 40000);
    QVERIFY(socket.waitForConnected(3000));
    cRawSocket peer;
    QVERIFY(Wait(
        [&]
        {
            peer = listener.Accept();
            return peer.IsValid();
        }));
    cTCPConnection link(&socket, 1);
    QSignalSpy sends(&link, &cTCPConnection::Send);

    link.SendMessage(Message(1));
    link.SendMessage(Message(2));
    link.SendMessage(Message(3));
    QCOMPARE(sends.count(), 1);
    QCOMPARE(link.GetQueuedFrames(), 3);
    const QByteArray expected = V1(1, 10, 20, PARAMETER_BASE, Word(1)) +
                                V1(1, 10, 20, PARAMETER_BASE, Word(2)) +
                                V1(1, 10, 20, PARAMETER_BASE, Word(3));
    QByteArray got;
    QVERIFY(Wait([&] { return peer.Take(expected.size(), got); }));
    QCOMPARE(got, expected);
    QCOMPARE(link.GetFramesSent(), ULONG(3));
}

void tst_ConnectionLinks::transmitQueueRecoversAndIsBounded()
{
    // A socket that is not open: every Transmit leaves the frames queued.
    QTcpSocket socket;
    cTCPConnection link(&socket, 1);
    QSignalSpy sends(&link, &cTCPConnection::Send);
    link.SendMessage(Message(1));
    QVERIFY(Wait([&] { return sends.count() == 1; }));
    cNetworkTestSystem::Spin(20);
    QCOMPARE(link.GetQueuedFrames(), 1);

    // Frames left behind do not stop the next Send, so they go out once the socket can take them.
    link.SendMessage(Message(2));
    QCOMPARE(sends.count(), 2);

    // The queue holds at most its bound; what is beyond is dropped with one report.
    cReportCapture reports;
    const cKVNetMessage big = Message(3, 60000);
    int queued = 0;
    while (link.EnqueueMessage(big, false))
    {
        ++queued;
    }
    QVERIFY(link.GetQueuedBytes() <= cConnectionBaseQt::MAX_QUEUED_BYTES);
    QCOMPARE(queued, int((cConnectionBaseQt::MAX_QUEUED_BYTES - 28) / 60012));
    QVERIFY(!link.EnqueueMessage(big, false));
    QCOMPARE(reports.Count("Transmit queue of connection 1 is full"), 1);
}

void tst_ConnectionLinks::farewellIsAnsweredOnlyWhileOpen()
{
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, 40001);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(LOCALHOST), 40001);
    QVERIFY(socket.waitForConnected(3000));
    cRawSocket peer;
    QVERIFY(Wait(
        [&]
        {
            peer = listener.Accept();
            return peer.IsValid();
        }));
    cTCPConnection link(&socket, 1);
    QSignalSpy ended(&link, &cTCPConnection::TCPConnectionDisconnected);

    // Received while open: answered with the link's own farewell.
    const QByteArray bye = Bye();
    link.MessageReceived(reinterpret_cast<const UBYTE*>(bye.constData()), ULONG(bye.size()));
    QVERIFY(link.IsByeReceived());
    QCOMPARE(ended.count(), 1);
    QByteArray got;
    QVERIFY(Wait([&] { return peer.Take(bye.size(), got); }));
    QCOMPARE(got, bye);

    // Received again once closed: nothing more is written or read.
    link.MessageReceived(reinterpret_cast<const UBYTE*>(bye.constData()), ULONG(bye.size()));
    link.SendMessage(Message(9));
    cNetworkTestSystem::Spin(100);
    peer.Poll();
    QVERIFY(peer.Received().isEmpty());
    QCOMPARE(ended.count(), 1);
}

void tst_ConnectionLinks::udpLinkIsSilentUntilThePeersPortIsKnown()
{
    cRawSocket peer = cRawSocket::Udp(LOCALHOST);
    cUDPConnection link(1, QHostAddress(LOCALHOST), 40002);
    QCOMPARE(link.GetLocalPort(), UWORD(40002));

    // Discarded, not kept for later.
    link.SendMessage(Message(1));
    QCOMPARE(link.GetQueuedFrames(), 0);
    cNetworkTestSystem::Spin(50);

    link.SetRemotePort(peer.LocalPort(), false);
    link.SendMessage(Message(2));
    QByteArray datagram;
    QVERIFY(Wait([&] { return peer.ReceiveFrom(datagram); }));
    QCOMPARE(datagram, V1(1, 10, 20, PARAMETER_BASE, Word(2)));
    QVERIFY(!peer.ReceiveFrom(datagram));

    // A port that is taken gives a port the system chooses.
    cReportCapture reports;
    cUDPConnection second(2, QHostAddress(LOCALHOST), 40002);
    QVERIFY(second.GetLocalPort() != 0);
    QVERIFY(second.GetLocalPort() != 40002);
}

QTEST_GUILESS_MAIN(tst_ConnectionLinks)
#include "tst_ConnectionLinks.moc"
