#include "KVNet/QT/Connections/cServerConnectionThreadController.h"

#include "KVNet/QT/Connections/cServerConnectionThreadWorker.h"

cServerConnectionThreadController::cServerConnectionThreadController(UWORD connectionId,
                                                                     qintptr socketDescriptor,
                                                                     ULONG connectionSerial,
                                                                     int helloTimeLimitMs)
    : cConnectionThreadControllerBase(QThread::NormalPriority,
                                      new cServerConnectionThreadWorker(connectionId, socketDescriptor,
                                                                        connectionSerial, helloTimeLimitMs))
{
}
