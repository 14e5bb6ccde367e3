#include "KVNet/QT/Connections/cLostCommsReceiverController.h"

#include "KVNet/QT/Connections/cLostCommsReceiverWorker.h"

cLostCommsReceiverController::cLostCommsReceiverController()
    : cThreadController(QThread::LowestPriority)
    , mWorker(new cLostCommsReceiverWorker())
{
    connect(this, &cLostCommsReceiverController::ReceivedMessageSignal, mWorker,
            &cLostCommsReceiverWorker::ReceivedMessageSlot);
    connect(this, &cLostCommsReceiverController::NewUDPConnectionSignal, mWorker,
            &cLostCommsReceiverWorker::NewUDPConnectionSlot);
    connect(this, &cLostCommsReceiverController::ConnectionClosedSignal, mWorker,
            &cLostCommsReceiverWorker::ConnectionClosedSlot);
    connect(mWorker, &cLostCommsReceiverWorker::UnitLowTTLWarning, this,
            &cLostCommsReceiverController::UnitLowTTLWarning);
    Start(mWorker);
}

void cLostCommsReceiverController::SetLogLostComms(UWORD connectionId, bool log)
{
    mWorker->SetLogLostComms(connectionId, log);
}

bool cLostCommsReceiverController::GetLogLostComms(UWORD connectionId)
{
    return mWorker->GetLogLostComms(connectionId);
}
