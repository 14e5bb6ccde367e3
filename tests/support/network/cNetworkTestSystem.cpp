#include "tests/support/network/cNetworkTestSystem.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Connections/cKVNetTCPServer.h"
#include "KVNet/QT/Connections/cLostCommsReceiverController.h"
#include "KVNet/QT/Connections/cLostCommsReceiverWorker.h"
#include "KVNet/QT/Connections/cLostCommsSenderController.h"
#include "KVNet/QT/Connections/cLostCommsSenderWorker.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "tests/support/cMessagePump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

cNetworkTestSystem::cNetworkTestSystem(bool lostComms, bool tcpServer)
{
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
    QMetaObject::invokeMethod(
        receiver, [receiver] { receiver->Timer()->stop(); }, Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(
        sender, [sender] { sender->Timer()->stop(); }, Qt::BlockingQueuedConnection);
}

void cNetworkTestSystem::TickReceiver()
{
    cLostCommsReceiverWorker* receiver = Network()->GetLostCommsReceiver()->Worker();
    QMetaObject::invokeMethod(receiver, &cLostCommsReceiverWorker::TimerFired, Qt::BlockingQueuedConnection);
}

void cNetworkTestSystem::TickSender()
{
    cLostCommsSenderWorker* sender = Network()->GetLostCommsSender()->Worker();
    QMetaObject::invokeMethod(sender, &cLostCommsSenderWorker::TimerFired, Qt::BlockingQueuedConnection);
}

UBYTE cNetworkTestSystem::ReceiverTTL(UWORD connectionId)
{
    cLostCommsReceiverWorker* receiver = Network()->GetLostCommsReceiver()->Worker();
    UBYTE ttl = 0;
    QMetaObject::invokeMethod(
        receiver, [receiver, connectionId, &ttl] { ttl = receiver->GetTTL(connectionId); },
        Qt::BlockingQueuedConnection);
    return ttl;
}
