#include "CorvoGUI/Core/App/cOnQmlObjectCreated.h"
#include "tests/support/cQmlWarningGuard.h"

#include <QCoreApplication>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QTimer>
#include <QUrl>
#include <QtTest>

// The end of the program when its main QML file does not load: only a missing object for the main
// URL ends the event loop, with -1.
class tst_cOnQmlObjectCreated : public QObject
{
    Q_OBJECT

private slots:
    void call_endsTheLoopOnlyForAMissingMainObject_data();
    void call_endsTheLoopOnlyForAMissingMainObject();
    void engine_mainFileThatFailsToLoad_endsTheLoopWithMinusOne();
};

namespace
{

const int LOOP_RAN_OUT = 7;

// Runs the application's event loop, calls the functor from it and gives the loop 200 ms to end
// on its own; then ends it with LOOP_RAN_OUT. Returns the loop's exit code.
template <typename tCall>
int ExitCodeOfLoopThatRuns(tCall call)
{
    QTimer ranOut;
    ranOut.setSingleShot(true);
    QObject::connect(&ranOut, &QTimer::timeout, [] { QCoreApplication::exit(LOOP_RAN_OUT); });
    QTimer::singleShot(0, &ranOut, call);
    ranOut.start(200);
    return QCoreApplication::exec();
}

} // namespace

void tst_cOnQmlObjectCreated::call_endsTheLoopOnlyForAMissingMainObject_data()
{
    QTest::addColumn<bool>("withObject");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("no object for the main URL") << false << QUrl("qrc:/main.qml") << -1;
    QTest::newRow("no object for another URL") << false << QUrl("qrc:/main_load_only.qml") << LOOP_RAN_OUT;
    QTest::newRow("an object for the main URL") << true << QUrl("qrc:/main.qml") << LOOP_RAN_OUT;
}

void tst_cOnQmlObjectCreated::call_endsTheLoopOnlyForAMissingMainObject()
{
    QFETCH(bool, withObject);
    QFETCH(QUrl, url);
    QFETCH(int, exitCode);
    const cOnQmlObjectCreated onCreated(QUrl(QStringLiteral("qrc:/main.qml")));
    QObject object;
    QObject* created = withObject ? &object : nullptr;
    QCOMPARE(ExitCodeOfLoopThatRuns([&] { onCreated(created, url); }), exitCode);
}

void tst_cOnQmlObjectCreated::engine_mainFileThatFailsToLoad_endsTheLoopWithMinusOne()
{
    cQmlWarningGuard guard;
    guard.Allow(QRegularExpression(QStringLiteral("missing\\.qml|failed to load component")));
    const QUrl mainUrl(QStringLiteral("qrc:/missing.qml"));
    QQmlApplicationEngine engine;
    QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, QCoreApplication::instance(),
                     cOnQmlObjectCreated(mainUrl), Qt::QueuedConnection);
    QCOMPARE(ExitCodeOfLoopThatRuns([&] { engine.load(mainUrl); }), -1);
    QML_VERIFY_NO_WARNINGS(guard);
}

QTEST_GUILESS_MAIN(tst_cOnQmlObjectCreated)
#include "tst_cOnQmlObjectCreated.moc"
