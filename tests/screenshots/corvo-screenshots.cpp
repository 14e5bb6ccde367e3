// Takes a screenshot of each tab of the program's window: the whole program in process with a
// fresh home folder, connected to a simulated device. Run it under a display (Xvfb).
//
//   corvo-screenshots <output folder>
//
// Writes Faders.png, Low.png, Mid.png and High.png; QT_SCALE_FACTOR scales the window as usual.
// The device starts with the program's defaults: the fresh model is saved before connecting (the
// connection takes the device's state) and recalled once connected, which sends it to the device.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/App/cProgramSession.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/simulator/cSimulatedDevice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

namespace
{

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition())
    {
        if (deadline.hasExpired())
        {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Settle(int milliseconds)
{
    WaitFor([] { return false; }, milliseconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: corvo-screenshots <output folder>\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(output);

    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());
    RebuildDataFolderPaths();

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setOrganizationName(QStringLiteral("RE Zurov"));
    QCoreApplication::setApplicationName(QStringLiteral("CorvoGUI"));
    RegisterQmlTypes();
    QGuiApplication application(argc, argv);
    const cUserInterfaceResources resources;

    cSimulatedDevice device;
    const QString portName = QStringLiteral("./cv");
    if (!device.Open(portName))
    {
        std::fprintf(stderr, "corvo-screenshots: cannot open the simulated device\n");
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread deviceThread(
        [&]
        {
            while (!stop.load())
            {
                device.WaitForInput(5);
                device.Service();
            }
        });

    int result = 0;
    {
        cProgramSession session(
            std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(portName)}));
        {
            QQmlApplicationEngine engine;
            session.PrepareEngine(engine);
            engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
            QQuickWindow* window = engine.rootObjects().isEmpty()
                                       ? nullptr
                                       : qobject_cast<QQuickWindow*>(engine.rootObjects().first());
            cSerialConnectionBackend* serial = session.GetBackend()->backendSerialConnection();
            cSavesDialogBackend* saves = session.GetBackend()->backendSavesDialog();
            int answers = 0;
            QObject::connect(saves, &cSavesDialogBackend::operationSuccessChanged, [&] { ++answers; });
            const QUrl defaults = QUrl::fromLocalFile(home.filePath(QStringLiteral("Defaults.cfg")));
            // Saves the fresh model, or recalls it; true when the saves manager answered success.
            const auto saveOrRecall = [&](bool save)
            {
                const int before = answers;
                save ? saves->saveConfig(defaults) : saves->recallConfig(defaults);
                return WaitFor([&] { return answers > before; }, 5000) && saves->operationSuccess();
            };
            if (window == nullptr)
            {
                std::fprintf(stderr, "corvo-screenshots: the window did not load\n");
                result = 1;
            }
            else if (!saveOrRecall(true))
            {
                std::fprintf(stderr, "corvo-screenshots: the defaults were not saved\n");
                result = 1;
            }
            else if (!WaitFor([&] { return !serial->portNames().isEmpty(); }, 10000))
            {
                std::fprintf(stderr, "corvo-screenshots: the device was not listed\n");
                result = 1;
            }
            else
            {
                serial->connectToUnit();
                int lastState = -1;
                if (!WaitFor(
                        [&]
                        {
                            if (serial->state() != lastState)
                            {
                                lastState = serial->state();
                                std::printf("state %d\n", lastState);
                            }
                            return serial->state() == CONNECTION_STATE_CONNECTED;
                        },
                        10000))
                {
                    std::fprintf(stderr, "corvo-screenshots: the device did not connect\n");
                    result = 1;
                }
                else if (!saveOrRecall(false))
                {
                    std::fprintf(stderr, "corvo-screenshots: the defaults were not recalled\n");
                    result = 1;
                }
                QObject* tabBar = window->findChild<QObject*>(QStringLiteral("tabBar"));
                const char* const names[] = {"Faders", "Low", "Mid", "High"};
                for (int tab = 0; tab < 4 && result == 0; ++tab)
                {
                    tabBar->setProperty("currentIndex", tab);
                    Settle(600);
                    const QString file = output + QStringLiteral("/%1.png").arg(QLatin1String(names[tab]));
                    if (!window->grabWindow().save(file))
                    {
                        std::fprintf(stderr, "corvo-screenshots: cannot write %s\n", qPrintable(file));
                        result = 1;
                    }
                    else
                    {
                        std::printf("%s\n", qPrintable(file));
                    }
                }
                serial->disconnectFromUnit();
                WaitFor([&] { return serial->state() == CONNECTION_STATE_IDLE; }, 3000);
            }
            session.Shutdown();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    stop.store(true);
    deviceThread.join();
    device.Vanish();
    return result;
}
