#include "KVNet/QT/Discovery/cTestDottedIPAddress.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cNetworkTestSystem.h"
#include "tests/support/network/cRawSocket.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>

namespace
{

const char* const LOCALHOST = "127.0.0.1";
constexpr quint16 FRAMEWORK_PORT = 51321;

bool Wait(const std::function<bool()>& done, int timeoutMs = 5000)
{
    return cNetworkTestSystem::WaitFor(done, timeoutMs);
}

} // namespace

class tst_TestDottedIPAddress : public QObject
{
    Q_OBJECT

private slots:
    void listeningUnitIsReachableAndToldGoodbye();
    void refusedOrNamedAddressIsUnreachableAtOnce_data();
    void refusedOrNamedAddressIsUnreachableAtOnce();
    void silentAddressIsUnreachableAfterTheTimeLimit();
    void neverStartedTestLeavesNothingBehind();
};

void tst_TestDottedIPAddress::listeningUnitIsReachableAndToldGoodbye()
{
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT);
    cTestDottedIPAddress test(nullptr, LOCALHOST);
    // Emitted on the test's thread, so counted there (a signal spy's list is not thread safe).
    std::atomic<int> finished{0};
    connect(&test, &cTestDottedIPAddress::FinishedSignal, [&finished] { ++finished; });
    QCOMPARE(test.GetResult(), int(cTestDottedIPAddress::RUNNING));
    test.Start();
    cRawSocket unit;
    QVERIFY(Wait(
        [&]
        {
            unit = listener.Accept();
            return unit.IsValid();
        }));
    QVERIFY(Wait([&] { return unit.Poll(); }));
    QCOMPARE(unit.Received(), nPeerFrames::Bye());
    test.WaitForResult();
    QCOMPARE(test.GetResult(), int(cTestDottedIPAddress::REACHABLE));
    QVERIFY(Wait([&] { return finished.load() == 1; }));
    cNetworkTestSystem::Spin(50);
    QCOMPARE(finished.load(), 1);
}

void tst_TestDottedIPAddress::refusedOrNamedAddressIsUnreachableAtOnce_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("nothing listens") << LOCALHOST;
    QTest::newRow("a name is not looked up") << "localhost";
    QTest::newRow("not an address") << "1.2.3";
}

void tst_TestDottedIPAddress::refusedOrNamedAddressIsUnreachableAtOnce()
{
    QFETCH(QString, address);
    cTestDottedIPAddress test(nullptr, address);
    QElapsedTimer timer;
    timer.start();
    test.Start();
    test.Start(); // does nothing: the worker is handed to its thread once
    test.WaitForResult();
    QCOMPARE(test.GetResult(), int(cTestDottedIPAddress::UNREACHABLE));
    QVERIFY(timer.elapsed() < 2000);
}

void tst_TestDottedIPAddress::silentAddressIsUnreachableAfterTheTimeLimit()
{
    // A listener whose accept queue is full leaves a further connect unanswered.
    cRawSocket listener = cRawSocket::TcpListen(LOCALHOST, FRAMEWORK_PORT, 0);
    std::vector<cRawSocket> fillers;
    for (int i = 0; i < 4; ++i)
    {
        cRawSocket filler = cRawSocket::TcpConnect(LOCALHOST, FRAMEWORK_PORT, 200);
        if (!filler.IsValid())
        {
            break;
        }
        fillers.push_back(std::move(filler));
    }
    cTestDottedIPAddress test(nullptr, LOCALHOST, 400);
    QElapsedTimer timer;
    timer.start();
    test.Start();
    test.WaitForResult();
    QCOMPARE(test.GetResult(), int(cTestDottedIPAddress::UNREACHABLE));
    QVERIFY2(timer.elapsed() >= 350 && timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(cTestDottedIPAddress::DEFAULT_TIME_LIMIT_MS, 4000);
}

void tst_TestDottedIPAddress::neverStartedTestLeavesNothingBehind()
{
    // Its thread never ran, so no thread end frees the worker: the destructor must (the leak
    // check of the sanitizer build sees one left behind).
    cTestDottedIPAddress test(nullptr, LOCALHOST);
    QCOMPARE(test.GetResult(), int(cTestDottedIPAddress::RUNNING));
}

QTEST_GUILESS_MAIN(tst_TestDottedIPAddress)
#include "tst_TestDottedIPAddress.moc"
