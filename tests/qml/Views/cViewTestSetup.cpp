#include "tests/qml/Views/cViewTestSetup.h"

#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QQmlContext>
#include <QQmlEngine>

cViewTestSetup::cViewTestSetup()
{
    cProgramUnderTest::PrepareProcess();
}

cViewTestSetup::~cViewTestSetup() = default;

void cViewTestSetup::applicationAvailable()
{
    mSession = std::make_unique<cProgramSession>(std::make_unique<cFixedSerialPortList>());
    mProbe = std::make_unique<cViewTestProbe>(*mSession);
}

void cViewTestSetup::qmlEngineAvailable(QQmlEngine* engine)
{
    mSession->PrepareEngine(*engine);
    engine->rootContext()->setContextProperty(QStringLiteral("_Probe"), mProbe.get());
    engine->rootContext()->setContextProperty(QStringLiteral("_QmlWarnings"), &mWarnings);
    mWarnings.Watch(*engine);
}

void cViewTestSetup::cleanupTestCase()
{
    mWarnings.StopWatchingMessages();
    mSession->Shutdown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mProbe.reset();
    const QStringList left = mWarnings.take();
    if (!left.isEmpty())
    {
        qFatal("QML warnings outside the test functions:\n%s", qPrintable(left.join('\n')));
    }
}
