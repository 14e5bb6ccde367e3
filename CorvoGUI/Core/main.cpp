#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/App/SingleInstanceGuard.h"
#include "CorvoGUI/Core/App/cOnQmlObjectCreated.h"
#include "CorvoGUI/Core/App/cProgramSession.h"
#include "CorvoGUI/Core/ProgramEntry.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QMessageBox>
#include <QObject>
#include <QQmlApplicationEngine>
#include <QSharedMemory>
#include <QString>
#include <QUrl>

namespace
{

const char* const MAIN_QML_URL = "qrc:/main.qml";

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

    cProgramSession session;

    const cPendingDeletes pendingDeletes;
    QQmlApplicationEngine engine;
    session.PrepareEngine(engine);

    const QUrl mainUrl(QString::fromLatin1(MAIN_QML_URL));
    QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &guiApplication,
                     cOnQmlObjectCreated(mainUrl), Qt::QueuedConnection);
    engine.load(mainUrl);

    const int result = guiApplication.exec();

    session.Shutdown();

    return result;
}
