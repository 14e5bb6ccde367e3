#pragma once

#include "KVNet/QT/Connections/cConnectionThreadControllerBase.h"

// The controller of an accepted framework connection (thread priority normal); its worker adopts
// the accepted socket (cServerConnectionThreadWorker).
class cServerConnectionThreadController : public cConnectionThreadControllerBase
{
    Q_OBJECT

public:
    // helloTimeLimitMs: see cServerConnectionThreadWorker.
    cServerConnectionThreadController(UWORD connectionId, qintptr socketDescriptor, ULONG connectionSerial,
                                      int helloTimeLimitMs);
};
