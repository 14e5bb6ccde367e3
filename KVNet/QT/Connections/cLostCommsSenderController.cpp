#include "KVNet/QT/Connections/cLostCommsSenderController.h"

#include "KVNet/QT/Connections/cLostCommsSenderWorker.h"

cLostCommsSenderController::cLostCommsSenderController()
    : cThreadController(QThread::HighPriority)
    , mWorker(new cLostCommsSenderWorker())
{
    connect(this, &cLostCommsSenderController::NewUDPConnectionSignal, mWorker,
            &cLostCommsSenderWorker::NewUDPConnectionSlot);
    connect(this, &cLostCommsSenderController::ConnectionClosedSignal, mWorker,
            &cLostCommsSenderWorker::ConnectionClosedSlot);
    Start(mWorker);
}
