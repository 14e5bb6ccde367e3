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
    mWarnings.Watch(*engine);
}

void cViewTestSetup::cleanupTestCase()
{
    mSession->Shutdown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mProbe.reset();
    mWarnings.Finish();
}
