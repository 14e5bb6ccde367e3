#include "CorvoGUI/Core/App/cProgramSession.h"

#include "CorvoGUI/Core/App/LookObjects.h"
#include "CorvoGUI/Core/App/SceneGraphChoice.h"
#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Graphics/GraphicsEngineSetup.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDebug>
#include <QQmlContext>
#include <QQmlEngine>
#include <QString>

cProgramSession::cProgramSession(std::unique_ptr<cSerialPortList> portList, const sSerialLinkTimings& timings)
{
    // Before the first window, and before the threads start: the probe makes an OpenGL context.
    ChooseSceneGraphBackend();

    if (!AddProgramFont())
    {
        ReportError("main", __LINE__, "int qMain(int, char**)", "Couldn't add the font %s",
                    PROGRAM_FONT_RESOURCE);
    }

    qInfo() << "CorvoGUI Main";

    SetNetworkConnectionStarter([] { cNetworkConnection::Instance(); });
    StartSystem(0, true);
    if (cNetworkConnection* network = cNetworkConnection::Instance())
    {
        network->InitialiseLostComms();
    }

    mApplication = new cApplication(std::move(portList), timings);
    mApplication->StartSyscallThread();
    mApplication->StartActionTickThread();
    SetSystemRunning(true);

    qDebug().noquote() << QStringLiteral("Booted in: %1ms").arg(GetElapsedTime());
    ReportNotification("main", __LINE__, "int qMain(int, char**)", "System Started - V1.00");

    // Linked before QML loads, so that the controls are live at the window's first frame.
    mBackend = new cCorvoQmlBackend();
    mBackend->LinkBackends();
}

cProgramSession::~cProgramSession()
{
    Shutdown();
}

void cProgramSession::PrepareEngine(QQmlEngine& engine) const
{
    engine.addImportPath(QStringLiteral("qrc:/qml/KVQml"));
    engine.addImportPath(QStringLiteral("qrc:/qml"));
    engine.addImportPath(QStringLiteral("qrc:/"));
    InstallGraphicsFactory(engine);
    engine.rootContext()->setContextProperty(QStringLiteral("_App"), mBackend);
}

void cProgramSession::Shutdown()
{
    if (mApplication == nullptr)
    {
        return;
    }
    SetSystemRunning(false);
    mApplication->StopSyscallThread();
    if (cNetworkConnection* network = cNetworkConnection::Instance())
    {
        network->UninitialiseLostComms();
    }
    cNetworkConnection::DeleteInstance();
    mBackend->UnlinkBackends();
    mBackend->deleteLater();
    mBackend = nullptr;
    delete mApplication;
    mApplication = nullptr;
    qDebug() << "cApplication destroyed";
}
