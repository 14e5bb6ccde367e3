#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadController.h"

class cLostCommsSenderWorker;

// Owns the heartbeat sender's thread (high priority), started at construction; its operations
// reach the worker through queued signals. Made and destroyed by the network connection on the
// main thread; the operations may be called from any thread.
class cLostCommsSenderController : public cThreadController
{
    Q_OBJECT

public:
    cLostCommsSenderController();

    void NewUDPConnection(UWORD connectionId) { emit NewUDPConnectionSignal(connectionId); }
    void ConnectionClosed(UWORD connectionId) { emit ConnectionClosedSignal(connectionId); }
    // Valid while the thread runs; its slots belong to its thread.
    cLostCommsSenderWorker* Worker() const { return mWorker; }

signals:
    void NewUDPConnectionSignal(UWORD ConnectionId);
    void ConnectionClosedSignal(UWORD ConnectionId);

private:
    cLostCommsSenderWorker* mWorker;
};
