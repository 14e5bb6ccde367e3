#include "KVNet/QT/Connections/cClientConnectionThreadWorker.h"
#include "KVNet/QT/Discovery/cFindMe.h"
#include "KVNet/QT/Discovery/cMultiUnitFinder.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 DISCOVERY_PORT = 51319;
constexpr quint16 REQUEST_PORT = 51320;
// Long enough that a test drives every tick itself.
constexpr int NO_TICKS = 3600000;

bool Wait(const std::function<bool()>& done, int timeoutMs = 3000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

QByteArray FindMe(const QByteArray& name, const QByteArray& request = "Corvo",
                  const QByteArray& additional = "1.0")
{
    return QByteArray("KV_UFV2", 8) + request + '\0' + name + '\0' + additional + '\0';
}

// A virtual link inside this test's network namespace, so that broadcasts have an interface
// that is not loopback; nothing leaves the namespace.
bool MakeVirtualLink()
{
    const QStringList commands = {"ip link add kv0 type veth peer name kv1",
                                  "ip addr add 192.0.2.1/24 brd + dev kv0", "ip link set kv0 up",
                                  "ip link set kv1 up"};
    for (const QString& command : commands)
    {
        QStringList arguments = command.split(' ');
        const QString program = arguments.takeFirst();
        if (QProcess::execute(program, arguments) != 0)
        {
            return false;
        }
    }
    // Wait until the address can be bound (duplicate address detection does not apply to IPv4).
    return Wait([] { return cRawSocket::Udp("192.0.2.1").IsValid(); });
}

} // namespace

// Discovery inside a network namespace of its own: loopback, and a virtual link where a test
// needs broadcasts.
class tst_UnitDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void findMeDatagramsAreReadWithinTheirLength_data();
    void findMeDatagramsAreReadWithinTheirLength();
    void unitIsLostOnTheFifthTickAfterItWasLastSeen();
    void atMost256UnitsAreListed();
    void removingATypeLosesItsUnits();
    void responderAnswersOnlyItsExactRequest();
    void finderAndResponderMeetOnALink();
};

void tst_UnitDiscovery::findMeDatagramsAreReadWithinTheirLength_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("found");
    QTest::newRow("find-me") << FindMe("Unit A") << true;
    QTest::newRow("empty texts") << FindMe("", "Corvo", "") << true;
    QTest::newRow("wrong magic") << QByteArray("KV_UFV1\0Corvo\0Unit A\0x\0", 24) << false;
    QTest::newRow("type not watched") << FindMe("Unit A", "Other") << false;
    QTest::newRow("three texts") << QByteArray("KV_UFV2\0Corvo\0Unit A\0", 21) << false;
    QTest::newRow("last text not terminated") << FindMe("Unit A").chopped(1) << false;
    QTest::newRow("magic not terminated") << QByteArray("KV_UFV2") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void tst_UnitDiscovery::findMeDatagramsAreReadWithinTheirLength()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, found);
    cMultiUnitFinder finder(nullptr, NO_TICKS);
    finder.AddUnitType("Corvo", false);
    QSignalSpy units(&finder, &cMultiUnitFinder::UnitFound);
    cRawSocket responder = cRawSocket::Udp(LOCALHOST);
    QVERIFY(responder.SendTo(datagram, LOCALHOST, DISCOVERY_PORT));
    // A good datagram after it shows that it was read (or dropped) by now.
    QVERIFY(responder.SendTo(FindMe("Marker"), LOCALHOST, DISCOVERY_PORT));
    QVERIFY(Wait([&] { return !finder.GetUnitAddress("Marker", "Corvo").isNull(); }));
    QCOMPARE(units.count(), found ? 2 : 1);
    if (found)
    {
        const sUnit unit = units.at(0).at(0).value<sUnit>();
        QCOMPARE(unit.mAddress, QHostAddress(LOCALHOST));
        QCOMPARE(unit.mRequest, QString("Corvo"));
        QCOMPARE(unit.mAdditional, datagram == FindMe("Unit A") ? QString("1.0") : QString());
    }
}

void tst_UnitDiscovery::unitIsLostOnTheFifthTickAfterItWasLastSeen()
{
    cMultiUnitFinder finder(nullptr, NO_TICKS);
    finder.AddUnitType("Corvo", false);
    QSignalSpy found(&finder, &cMultiUnitFinder::UnitFound);
    QSignalSpy lost(&finder, &cMultiUnitFinder::UnitLost);
    cRawSocket responder = cRawSocket::Udp(LOCALHOST);

    // Seen again within every five ticks: listed, found once.
    for (int tick = 0; tick < 12; ++tick)
    {
        if (tick % 4 == 0)
        {
            responder.SendTo(FindMe("Unit A"), LOCALHOST, DISCOVERY_PORT);
            QVERIFY(Wait([&] { return found.count() == 1 && finder.GetFoundUnits().size() == 1; }));
            cNetworkTestSystem::Spin(20);
        }
        finder.TimerFired();
    }
    QCOMPARE(found.count(), 1);
    QCOMPARE(lost.count(), 0);

    // Last seen before tick 8: ticks 8 to 11 went by, the fifth after it loses the unit.
    finder.TimerFired();
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.at(0).at(0).value<sUnit>().mName, QString("Unit A"));
    QVERIFY(finder.GetFoundUnits().isEmpty());
}

void tst_UnitDiscovery::atMost256UnitsAreListed()
{
    cMultiUnitFinder finder(nullptr, NO_TICKS);
    finder.AddUnitType("Corvo", false);
    cRawSocket responder = cRawSocket::Udp(LOCALHOST);
    for (int i = 0; i < 256; ++i)
    {
        responder.SendTo(FindMe("Unit " + QByteArray::number(i)), LOCALHOST, DISCOVERY_PORT);
        if (i % 32 == 31)
        {
            QVERIFY(Wait([&] { return finder.GetFoundUnits().size() == i + 1; }));
        }
    }
    responder.SendTo(FindMe("Unit 256"), LOCALHOST, DISCOVERY_PORT);
    responder.SendTo(FindMe("Unit 0"), LOCALHOST, DISCOVERY_PORT);
    cNetworkTestSystem::Spin(100);
    QCOMPARE(finder.GetFoundUnits().size(), 256);
    QVERIFY(finder.GetUnitAddress("Unit 256", "Corvo").isNull());

    // Once one is lost there is room for it.
    for (int tick = 0; tick < 5; ++tick)
    {
        responder.SendTo(FindMe("Unit 0"), LOCALHOST, DISCOVERY_PORT);
        for (int i = 2; i < 256; ++i)
        {
            responder.SendTo(FindMe("Unit " + QByteArray::number(i)), LOCALHOST, DISCOVERY_PORT);
        }
        cNetworkTestSystem::Spin(50);
        finder.TimerFired();
    }
    QCOMPARE(finder.GetFoundUnits().size(), 255);
    responder.SendTo(FindMe("Unit 256"), LOCALHOST, DISCOVERY_PORT);
    QVERIFY(Wait([&] { return !finder.GetUnitAddress("Unit 256", "Corvo").isNull(); }));
}

void tst_UnitDiscovery::removingATypeLosesItsUnits()
{
    cMultiUnitFinder finder(nullptr, NO_TICKS);
    finder.AddUnitType("Corvo", false);
    finder.AddUnitType("Other", false);
    QSignalSpy lost(&finder, &cMultiUnitFinder::UnitLost);
    cRawSocket responder = cRawSocket::Udp(LOCALHOST);
    responder.SendTo(FindMe("Unit A"), LOCALHOST, DISCOVERY_PORT);
    responder.SendTo(FindMe("Unit B"), LOCALHOST, DISCOVERY_PORT);
    responder.SendTo(FindMe("Unit C", "Other"), LOCALHOST, DISCOVERY_PORT);
    QVERIFY(Wait([&] { return finder.GetFoundUnits().size() == 3; }));
    QCOMPARE(finder.GetFoundUnitsOfType("Corvo").size(), 2);

    finder.RemoveUnitType("Corvo");
    QCOMPARE(lost.count(), 2);
    QCOMPARE(finder.GetFoundUnits().size(), 1);
    // Its units are gone for good: when their life would have run out (the fifth tick), nothing
    // more is lost; the unit of the other type is seen on every tick and stays.
    for (int tick = 0; tick < 5; ++tick)
    {
        responder.SendTo(FindMe("Unit C", "Other"), LOCALHOST, DISCOVERY_PORT);
        cNetworkTestSystem::Spin(20);
        finder.TimerFired();
    }
    QCOMPARE(lost.count(), 2);
    QCOMPARE(finder.GetFoundUnits().size(), 1);
    responder.SendTo(FindMe("Unit A"), LOCALHOST, DISCOVERY_PORT);
    cNetworkTestSystem::Spin(100);
    QVERIFY(finder.GetFoundUnitsOfType("Corvo").isEmpty());

    finder.RemoveAllUnitTypes();
    QCOMPARE(lost.count(), 3);
    QVERIFY(finder.GetFoundUnits().isEmpty());
}

void tst_UnitDiscovery::responderAnswersOnlyItsExactRequest()
{
    cFindMe responder("Corvo", QString::fromLatin1("Unit \xC4"), "1.0", nullptr, true, NO_TICKS);
    cRawSocket finder = cRawSocket::Udp(LOCALHOST);
    QByteArray reply;
    for (const QByteArray& request : {QByteArray("Corvo", 6), QByteArray("Corv"), QByteArray("CorvoX"),
                                      QByteArray(), QByteArray("Corvo")})
    {
        finder.SendTo(request, LOCALHOST, REQUEST_PORT);
    }
    QVERIFY(Wait([&] { return finder.ReceiveFrom(reply); }));
    QCOMPARE(reply, QByteArray("Unit \xC4", 7));
    cNetworkTestSystem::Spin(100);
    QVERIFY(!finder.ReceiveFrom(reply));

    responder.SetUnitName("Unit B");
    finder.SendTo("Corvo", LOCALHOST, REQUEST_PORT);
    QVERIFY(Wait([&] { return finder.ReceiveFrom(reply); }));
    QCOMPARE(reply, QByteArray("Unit B", 7));

    // With only loopback there is nothing to broadcast on.
    responder.TimerFired();
    QVERIFY(responder.GetLastBroadcastAddress().isNull());
}

void tst_UnitDiscovery::finderAndResponderMeetOnALink()
{
    if (!MakeVirtualLink())
    {
        QSKIP("No virtual link can be made in this network namespace");
    }
    cMultiUnitFinder finder(nullptr, NO_TICKS);
    finder.AddUnitType("Corvo", true);
    QSignalSpy found(&finder, &cMultiUnitFinder::UnitFound);

    // The responder's broadcast reaches the finder's port.
    cFindMe responder("Corvo", "Unit A", "1.0", nullptr, false, NO_TICKS);
    responder.TimerFired();
    QCOMPARE(responder.GetLastBroadcastAddress(), QHostAddress("192.0.2.255"));
    QVERIFY(Wait([&] { return found.count() == 1; }));
    QCOMPARE(found.at(0).at(0).value<sUnit>().mAddress, QHostAddress("192.0.2.1"));
    QCOMPARE(found.at(0).at(0).value<sUnit>().mAdditional, QString("1.0"));

    // The finder's request goes out on the link; an answer to it is a unit seen.
    cRawSocket peer = cRawSocket::Udp("0.0.0.0", REQUEST_PORT);
    QVERIFY(peer.IsValid());
    finder.TimerFired();
    QByteArray request;
    quint16 finderPort = 0;
    QVERIFY(Wait([&] { return peer.ReceiveFrom(request, &finderPort); }));
    QCOMPARE(request, QByteArray("Corvo", 6));
    QVERIFY(peer.SendTo(QByteArray("Unit B\0junk", 11), "192.0.2.1", finderPort));
    QVERIFY(peer.SendTo(QByteArray("No terminator"), "192.0.2.1", finderPort));
    QVERIFY(Wait([&] { return found.count() == 2; }));
    QCOMPARE(found.at(1).at(0).value<sUnit>().mName, QString("Unit B"));
    QCOMPARE(found.at(1).at(0).value<sUnit>().mRequest, QString("Corvo"));
    finder.TimerFired();
    cNetworkTestSystem::Spin(100);
    QCOMPARE(found.count(), 2);

    // The connection layer resolves unit names through the process-wide finder.
    gMultiUnitFinder = &finder;
    QHostAddress address;
    QVERIFY(cClientConnectionThreadWorker::ResolveHost("Unit A", address));
    QCOMPARE(address, QHostAddress("192.0.2.1"));
    QVERIFY(!cClientConnectionThreadWorker::ResolveHost("Unit Z", address));
    gMultiUnitFinder = nullptr;
    QVERIFY(!cClientConnectionThreadWorker::ResolveHost("Unit A", address));
}

QTEST_GUILESS_MAIN(tst_UnitDiscovery)
#include "tst_UnitDiscovery.moc"
