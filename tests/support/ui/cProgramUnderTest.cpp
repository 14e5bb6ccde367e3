#include "tests/support/ui/cProgramUnderTest.h"

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/PostedEventRoom.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThread>
#include <QUrl>

namespace
{

constexpr int POSTED_EVENT_ROOM = 4096;

} // namespace

void cProgramUnderTest::PrepareProcess()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setOrganizationName(QStringLiteral("RE Zurov"));
    QCoreApplication::setApplicationName(QStringLiteral("CorvoGUI"));
    RegisterQmlTypes();
}

QString cProgramUnderTest::ProcessPortName()
{
    // Linux's process ids stay below 2^22 (its largest pid_max), and 36^5 > 2^22.
    const QString id = QString::number(QCoreApplication::applicationPid(), 36);
    Q_ASSERT(id.size() <= 5);
    return QStringLiteral("./") + id;
}

cProgramUnderTest::cProgramUnderTest(const sSerialLinkTimings& timings)
    : mTimings(timings)
{
}

cProgramUnderTest::~cProgramUnderTest()
{
    Stop();
    StopDevice();
}

bool cProgramUnderTest::Start(const QString& portName)
{
    RebuildDataFolderPaths();
    if (!mDevice.Open(portName))
    {
        qWarning("The simulated device could not open %s", qPrintable(portName));
        return false;
    }
    mDeviceThread = std::thread(
        [this]
        {
            while (!mStopDevice.load())
            {
                mDevice.WaitForInput(5);
                mDevice.Service();
            }
        });

    // The syscall thread posts a queued call to the GUI thread for every value a driver announces
    // to QML: the sync after connecting brings hundreds at once.
    MakeRoomForPostedEvents(POSTED_EVENT_ROOM);
    mSession = std::make_unique<cProgramSession>(
        std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(portName)}),
        mTimings);
    mEngine = std::make_unique<QQmlApplicationEngine>();
    mSession->PrepareEngine(*mEngine);
    mEngine->load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (!mEngine->rootObjects().isEmpty())
    {
        mWindow = qobject_cast<QQuickWindow*>(mEngine->rootObjects().first());
    }
    if (mWindow == nullptr)
    {
        qWarning("The window did not load");
        return false;
    }
    // The window makes its hidden tabs' panels after its first frame.
    if (!WaitFor([this] { return mWindow->property("panelsMade").toBool(); }, 15000))
    {
        qWarning("The window did not make its tabs' panels");
        return false;
    }
    return true;
}

void cProgramUnderTest::Stop()
{
    if (mSession == nullptr)
    {
        return;
    }
    mSession->Shutdown();
    mWindow = nullptr;
    mEngine.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mSession.reset();
}

void cProgramUnderTest::StopDevice()
{
    mStopDevice.store(true);
    if (mDeviceThread.joinable())
    {
        mDeviceThread.join();
    }
    mDevice.Vanish();
}

cCorvoQmlBackend* cProgramUnderTest::Backend() const
{
    return mSession != nullptr ? mSession->GetBackend() : nullptr;
}

QQuickItem* cProgramUnderTest::Item(const QString& objectName) const
{
    return mWindow != nullptr ? mWindow->findChild<QQuickItem*>(objectName) : nullptr;
}

bool cProgramUnderTest::Connect(int timeoutMs)
{
    cSerialConnectionBackend* serial = Backend() != nullptr ? Backend()->backendSerialConnection() : nullptr;
    if (serial == nullptr || !WaitFor([serial] { return !serial->portNames().isEmpty(); }, timeoutMs))
    {
        return false;
    }
    serial->connectToUnit();
    return WaitFor([serial] { return serial->state() == CONNECTION_STATE_CONNECTED; }, timeoutMs);
}

bool cProgramUnderTest::Disconnect(int timeoutMs)
{
    cSerialConnectionBackend* serial = Backend() != nullptr ? Backend()->backendSerialConnection() : nullptr;
    if (serial == nullptr)
    {
        return false;
    }
    serial->disconnectFromUnit();
    return WaitFor([serial] { return serial->state() == CONNECTION_STATE_IDLE && !serial->GetConnect(); },
                   timeoutMs);
}

bool cProgramUnderTest::WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition())
    {
        if (deadline.hasExpired())
        {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void cProgramUnderTest::Settle(int milliseconds)
{
    WaitFor([] { return false; }, milliseconds);
}
