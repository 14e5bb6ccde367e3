#include "CorvoGUI/Core/App/cUnixSignalManager.h"
#include "tests/support/cReportCapture.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstring>

namespace
{

using tHandler = void (*)(int);

tHandler CurrentHandler(int signalNumber)
{
    struct sigaction action;
    ::sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

void IgnoreSignal(int) {}

} // namespace

class tst_cUnixSignalManager : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignal_quitsTheEventLoopOnceWithExitCodeZero_data();
    void terminationSignal_quitsTheEventLoopOnceWithExitCodeZero();
    void secondManager_staysInactiveAndTheFirstRestoresTheHandlers();
};

void tst_cUnixSignalManager::terminationSignal_quitsTheEventLoopOnceWithExitCodeZero_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void tst_cUnixSignalManager::terminationSignal_quitsTheEventLoopOnceWithExitCodeZero()
{
    QFETCH(int, signalNumber);
    cUnixSignalManager manager;
    QVERIFY(manager.IsInstalled());
    QSignalSpy spy(&manager, &cUnixSignalManager::terminationRequested);

    QTimer::singleShot(0, [signalNumber] { ::raise(signalNumber); });
    // A loop that the signal does not end would end here, with another code.
    QTimer::singleShot(20000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    // A second signal of that kind would end the process at once.
    QVERIFY(CurrentHandler(signalNumber) == SIG_DFL);
}

void tst_cUnixSignalManager::secondManager_staysInactiveAndTheFirstRestoresTheHandlers()
{
    struct sigaction previous;
    struct sigaction ignore;
    std::memset(&ignore, 0, sizeof(ignore));
    ignore.sa_handler = IgnoreSignal;
    ::sigaction(SIGTERM, &ignore, &previous);
    {
        cUnixSignalManager first;
        QVERIFY(first.IsInstalled());
        QVERIFY(CurrentHandler(SIGTERM) != IgnoreSignal);
        {
            cReportCapture capture;
            cUnixSignalManager second;
            QVERIFY(!second.IsInstalled());
            QVERIFY(capture.Contains("Another signal manager handles SIGTERM and SIGINT already"));
        }
        // The inactive one changed nothing when it went.
        QVERIFY(CurrentHandler(SIGTERM) != IgnoreSignal);
    }
    QVERIFY(CurrentHandler(SIGTERM) == IgnoreSignal);
    ::sigaction(SIGTERM, &previous, nullptr);

    cUnixSignalManager later;
    QVERIFY(later.IsInstalled());
}

QTEST_GUILESS_MAIN(tst_cUnixSignalManager)
#include "tst_cUnixSignalManager.moc"
