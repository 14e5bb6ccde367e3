#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/App/SingleInstanceGuard.h"
#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/ProgramEntry.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Graphics/GraphicsEngineSetup.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QSharedMemory>
#include <QString>
#include <QUrl>

namespace
{

const char* const MAIN_QML_URL = "qrc:/main.qml";
const char* const MAIN_QML_RESOURCE = ":/main.qml";
const char* const FONT_RESOURCE = ":Spartan-Bold.ttf";

// Ends the program when the main QML file could not be loaded.
class cOnQmlObjectCreated
{
public:
    explicit cOnQmlObjectCreated(const QUrl& mainUrl)
        : mMainUrl(mainUrl)
    {
    }
    void operator()(QObject* object, const QUrl& url) const
    {
        if (object == nullptr && url == mMainUrl)
        {
            QCoreApplication::exit(-1);
        }
    }

private:
    QUrl mMainUrl;
};

// Delivers the deferred deletes posted after the event loop has ended (the root back end's) as it
// goes out of scope: declared before the QML engine, it runs once the engine is gone.
class cPendingDeletes
{
public:
    cPendingDeletes() = default;
    cPendingDeletes(const cPendingDeletes&) = delete;
    cPendingDeletes& operator=(const cPendingDeletes&) = delete;
    ~cPendingDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

int ShowAlreadyRunning(int argc, char** argv, const QString& applicationName, QSharedMemory& sharedMemory)
{
    qDebug().noquote() << "An instance of " + applicationName + " is already running.";
    QApplication widgets(argc, argv);
    QMessageBox box;
    box.setText(
        QStringLiteral("%1 is already running. Only one instance can run at once.").arg(applicationName));
    box.exec();
    sharedMemory.detach();
    return 0;
}

} // namespace

int qMain(int argc, char** argv)
{
    const QString applicationName = QStringLiteral("CorvoGUI");
    QSharedMemory sharedMemory(applicationName + QStringLiteral("Running"));
    if (!TakeSingleInstance(sharedMemory))
    {
        return ShowAlreadyRunning(argc, argv, applicationName, sharedMemory);
    }
    // Registered until qMain returns, after the QML engine is gone.
    const cUserInterfaceResources userInterfaceResources;

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setOrganizationName(QStringLiteral("RE Zurov"));
    QCoreApplication::setApplicationName(applicationName);

    RegisterQmlTypes();

    QGuiApplication guiApplication(argc, argv);
    if (QFontDatabase::addApplicationFont(QString::fromLatin1(FONT_RESOURCE)) < 0)
    {
        ReportError("main", __LINE__, "int qMain(int, char**)", "Couldn't add the font %s", FONT_RESOURCE);
    }

    qInfo() << "CorvoGUI Main";

    SetNetworkConnectionStarter([] { cNetworkConnection::Instance(); });
    StartSystem(0, true);
    if (cNetworkConnection* network = cNetworkConnection::Instance())
    {
        network->InitialiseLostComms();
    }

    cApplication* application = new cApplication();
    application->StartSyscallThread();
    application->StartActionTickThread();
    SetSystemRunning(true);

    qDebug().noquote() << QStringLiteral("Booted in: %1ms").arg(GetElapsedTime());
    ReportNotification("main", __LINE__, "int qMain(int, char**)", "System Started - V1.00");

    // Linked before QML loads, so that the controls are live at the window's first frame.
    cCorvoQmlBackend* backend = new cCorvoQmlBackend();
    backend->LinkBackends();

    const cPendingDeletes pendingDeletes;
    QQmlApplicationEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/qml/KVQml"));
    engine.addImportPath(QStringLiteral("qrc:/qml"));
    engine.addImportPath(QStringLiteral("qrc:/"));
    InstallGraphicsFactory(engine);
    engine.rootContext()->setContextProperty(QStringLiteral("_App"), backend);

    const QUrl mainUrl(QString::fromLatin1(MAIN_QML_URL));
    if (QFile::exists(QString::fromLatin1(MAIN_QML_RESOURCE)))
    {
        QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &guiApplication,
                         cOnQmlObjectCreated(mainUrl), Qt::QueuedConnection);
        engine.load(mainUrl);
    }
    else
    {
        ReportNotification("main", __LINE__, "int qMain(int, char**)",
                           "%s is not part of this build: running without a user interface", MAIN_QML_URL);
    }

    const int result = guiApplication.exec();

    SetSystemRunning(false);
    application->StopSyscallThread();
    if (cNetworkConnection* network = cNetworkConnection::Instance())
    {
        network->UninitialiseLostComms();
    }
    cNetworkConnection::DeleteInstance();
    backend->UnlinkBackends();
    backend->deleteLater();
    delete application;
    qDebug() << "cApplication destroyed";

    return result;
}
