#include "CorvoGUI/Core/App/SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QSharedMemory>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace
{

// A key of this test process alone (the program's own key is never touched here).
QString TestKey(const char* what)
{
    return QStringLiteral("CorvoGuardTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(what);
}

} // namespace

class tst_SingleInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void guard_admitsOneHolderOfAKeyAtATime();
    void guard_startsOverASegmentLeftByAnEndedProcess();
};

void tst_SingleInstanceGuard::guard_admitsOneHolderOfAKeyAtATime()
{
    const QString key = TestKey("one");
    {
        QSharedMemory first(key);
        QVERIFY(TakeSingleInstance(first));
        QVERIFY(first.isAttached());
        QCOMPARE(first.size(), 1);

        // Refused guards leave the holder's segment as it is: every further try is refused too.
        for (int i = 0; i < 3; ++i)
        {
            QSharedMemory second(key);
            QVERIFY(!TakeSingleInstance(second));
            QVERIFY(!second.isAttached());
        }
        QSharedMemory otherKey(TestKey("other"));
        QVERIFY(TakeSingleInstance(otherKey));
    }
    // The holder has gone: the next one is admitted.
    QSharedMemory third(key);
    QVERIFY(TakeSingleInstance(third));
}

void tst_SingleInstanceGuard::guard_startsOverASegmentLeftByAnEndedProcess()
{
    const QString key = TestKey("stale");
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0)
    {
        // An instance that ends without detaching (as a crash does) leaves its segment behind.
        QSharedMemory left(key);
        ::_exit(left.create(1) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);

    QSharedMemory probe(key);
    QVERIFY(!probe.create(1));
    QCOMPARE(probe.error(), QSharedMemory::AlreadyExists);

    QSharedMemory guard(key);
    QVERIFY(TakeSingleInstance(guard));
    QSharedMemory second(key);
    QVERIFY(!TakeSingleInstance(second));
}

QTEST_GUILESS_MAIN(tst_SingleInstanceGuard)
#include "tst_SingleInstanceGuard.moc"
