#include "tests/qml/WindowSupport/cMainWindowHarness.h"
#include "tests/qml/WindowSupport/SceneSearch.h"

#include "CorvoGUI/Core/App/LookObjects.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Graphics/GraphicsEngineSetup.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cMessagePump.h"

#include <QColor>
#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlIncubationController>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QUrl>

cMainWindowHarness::cMainWindowHarness()
{
    // The look singletons the application object makes, which live as long as the process.
    MakeLookObjects();
    if (!AddProgramFont())
    {
        qFatal("the font Spartan-Bold.ttf is not in the resources");
    }

    mDriver = std::make_unique<cFakeSerialConnectDriver>();
    mDriver->SetVersion("V1.2");
    mSaves = std::make_unique<cFakeSavesManager>();
    mBackend = new cCorvoQmlBackend();
    for (int i = 0; i < 100 && (gSystemBuilder->GetQueuedCount() != 0 || gSystemBuilder->IsBusy()); ++i)
    {
        cMessagePump::Tick();
    }
    mDriver->ClearRequests();
}

cMainWindowHarness::~cMainWindowHarness()
{
    // What the window is still making (the file dialog's lists) is finished first.
    QQmlIncubationController* incubation = mEngine != nullptr ? mEngine->incubationController() : nullptr;
    for (int i = 0; i < 200 && incubation != nullptr && incubation->incubatingObjectCount() > 0; ++i)
    {
        QTest::qWait(10);
    }
    mWindow = nullptr;
    mEngine.reset();
    mBackend->UnlinkBackends();
    delete mBackend;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mSaves.reset();
    mDriver.reset();
}

bool cMainWindowHarness::Load(const QString& url)
{
    mEngine = std::make_unique<QQmlApplicationEngine>();
    mEngine->addImportPath(QStringLiteral("qrc:/qml/KVQml"));
    mEngine->addImportPath(QStringLiteral("qrc:/qml"));
    mEngine->addImportPath(QStringLiteral("qrc:/"));
    InstallGraphicsFactory(*mEngine);
    mEngine->rootContext()->setContextProperty(QStringLiteral("_App"), mBackend);
    mEngine->load(QUrl(url));
    if (!mEngine->rootObjects().isEmpty())
    {
        mWindow = qobject_cast<QQuickWindow*>(mEngine->rootObjects().first());
    }
    if (mWindow == nullptr || !QTest::qWaitForWindowExposed(mWindow))
    {
        qWarning("The window did not load");
        return false;
    }
    // The hidden tabs' panels come after the first frame.
    const bool tabbed = mWindow->property("panelsMade").isValid();
    if (tabbed && !QTest::qWaitFor([this] { return mWindow->property("panelsMade").toBool(); }, 15000))
    {
        qWarning("The window did not make its tabs' panels");
        return false;
    }
    Pump();
    return true;
}

QQuickItem* cMainWindowHarness::Item(const QString& objectName) const
{
    if (mWindow == nullptr)
    {
        return nullptr;
    }
    QQuickItem* item = mWindow->findChild<QQuickItem*>(objectName);
    return item != nullptr ? item : FindInScene(mWindow->contentItem(), objectName);
}

QObject* cMainWindowHarness::Object(const QString& objectName) const
{
    return mWindow != nullptr ? mWindow->findChild<QObject*>(objectName) : nullptr;
}

QPointF cMainWindowHarness::Centre(const QQuickItem* item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
}

void cMainWindowHarness::Click(const QQuickItem* item)
{
    QTest::mouseClick(mWindow, Qt::LeftButton, Qt::NoModifier, Centre(item).toPoint());
    Pump();
}

void cMainWindowHarness::Tick(int ticks)
{
    for (int i = 0; i < ticks; ++i)
    {
        cMessagePump::Tick();
    }
    Pump();
}

void cMainWindowHarness::Pump()
{
    for (int round = 0; round < 3; ++round)
    {
        cMessagePump::Pump();
        QCoreApplication::processEvents();
    }
}

bool cMainWindowHarness::TickUntilRequest(UWORD method, int maxTicks)
{
    const int before = mDriver->Count(method);
    for (int i = 0; i < maxTicks; ++i)
    {
        cMessagePump::Tick();
        if (mDriver->Count(method) > before)
        {
            Pump();
            return true;
        }
    }
    return false;
}

bool cMainWindowHarness::ListPorts(const QStringList& names)
{
    mDriver->SetPortNames(names);
    return TickUntilRequest(cFakeSerialConnectDriver::P_PORT_LIST, 260);
}

bool cMainWindowHarness::ReportStatus(int state, int error)
{
    mDriver->SetState(state);
    mDriver->SetError(error);
    // The status is asked on the tick after a request, else within a period of 51 ticks.
    return TickUntilRequest(cFakeSerialConnectDriver::P_STATUS, 320);
}

QString cMainWindowHarness::StatusText() const
{
    const QQuickItem* status = Item(QStringLiteral("statusText"));
    return status != nullptr ? status->property("text").toString() : QString();
}

QColor cMainWindowHarness::StatusColour() const
{
    const QQuickItem* status = Item(QStringLiteral("statusText"));
    return status != nullptr ? status->property("color").value<QColor>() : QColor();
}

bool cMainWindowHarness::OverlayShown() const
{
    const QQuickItem* overlay = Item(QStringLiteral("overlay"));
    return overlay != nullptr && overlay->isVisible();
}
