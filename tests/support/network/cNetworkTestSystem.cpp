#include "tests/support/network/cNetworkTestSystem.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Connections/cKVNetTCPServer.h"
#include "KVNet/QT/Connections/cLostCommsReceiverController.h"
#include "KVNet/QT/Connections/cLostCommsReceiverWorker.h"
#include "KVNet/QT/Connections/cLostCommsSenderController.h"
#include "KVNet/QT/Connections/cLostCommsSenderWorker.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/PostedEventRoom.h"
#include "tests/support/cMessagePump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <mutex>

namespace
{

// Before any connection thread posts to the main thread.
constexpr int POSTED_EVENT_ROOM = 256;

} // namespace

cNetworkTestSystem::cNetworkTestSystem(bool lostComms, bool tcpServer)
{
    MakeRoomForPostedEvents(POSTED_EVENT_ROOM);
    SetNetworkConnectionStarter([] { cNetworkConnection::Instance(); });
    StartSystem(0, true);
    if (lostComms)
    {
        Network()->InitialiseLostComms();
    }
    if (tcpServer)
    {
        mServer.reset(new cKVNetTCPServer(nullptr));
    }
}

cNetworkTestSystem::~cNetworkTestSystem()
{
    if (cNetworkConnection* network = cNetworkConnection::ExistingInstance())
    {
        network->UninitialiseLostComms();
    }
    cNetworkConnection::DeleteInstance();
    mServer.reset();
    DeleteSystem();
    SetNetworkConnectionStarter(nullptr);
}

cNetworkConnection* cNetworkTestSystem::Network() const
{
    return cNetworkConnection::ExistingInstance();
}

bool cNetworkTestSystem::WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;)
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        cMessagePump::Pump();
        if (done())
        {
            return true;
        }
        if (timer.elapsed() > timeoutMs)
        {
            return false;
        }
        QThread::msleep(2);
    }
}

void cNetworkTestSystem::Spin(int milliseconds)
{
    WaitFor([] { return false; }, milliseconds);
}

void cNetworkTestSystem::StopLostCommsTimers()
{
    cLostCommsReceiverWorker* receiver = Network()->GetLostCommsReceiver()->Worker();
    cLostCommsSenderWorker* sender = Network()->GetLostCommsSender()->Worker();
    RunOnThreadOf(receiver, [receiver] { receiver->Timer()->stop(); });
    RunOnThreadOf(sender, [sender] { sender->Timer()->stop(); });
}

void cNetworkTestSystem::TickReceiver()
{
    cLostCommsReceiverWorker* receiver = Network()->GetLostCommsReceiver()->Worker();
    RunOnThreadOf(receiver, [receiver] { receiver->TimerFired(); });
}

void cNetworkTestSystem::TickSender()
{
    cLostCommsSenderWorker* sender = Network()->GetLostCommsSender()->Worker();
    RunOnThreadOf(sender, [sender] { sender->TimerFired(); });
}

UBYTE cNetworkTestSystem::ReceiverTTL(UWORD connectionId)
{
    cLostCommsReceiverWorker* receiver = Network()->GetLostCommsReceiver()->Worker();
    UBYTE ttl = 0;
    RunOnThreadOf(receiver, [receiver, connectionId, &ttl] { ttl = receiver->GetTTL(connectionId); });
    return ttl;
}

void cNetworkTestSystem::RunOnThreadOf(QObject* object, const std::function<void()>& work)
{
    // Not a blocking queued call: Qt's hand-over of the call and its semaphore are invisible to
    // ThreadSanitizer. The work and its result pass under this lock instead, which the caller holds
    // until it waits and the call takes before it touches anything the caller made.
    static std::mutex handOver;
    static std::condition_variable doneChanged;
    std::unique_lock<std::mutex> lock(handOver);
    bool done = false;
    QMetaObject::invokeMethod(
        object,
        [&]
        {
            std::lock_guard<std::mutex> held(handOver);
            work();
            done = true;
            doneChanged.notify_all();
        },
        Qt::QueuedConnection);
    doneChanged.wait(lock, [&done] { return done; });
}
