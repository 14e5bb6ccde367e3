#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadController.h"

class cLostCommsReceiverWorker;

// Owns the time-to-live watcher's thread (lowest priority), started at construction; its
// operations reach the worker through queued signals, and the worker's UnitLowTTLWarning is
// repeated here. Made and destroyed by the network connection on the main thread; the
// operations may be called from any thread.
class cLostCommsReceiverController : public cThreadController
{
    Q_OBJECT

public:
    cLostCommsReceiverController();

    void ReceivedMessage(UWORD connectionId) { emit ReceivedMessageSignal(connectionId); }
    void NewUDPConnection(UWORD connectionId) { emit NewUDPConnectionSignal(connectionId); }
    void ConnectionClosed(UWORD connectionId) { emit ConnectionClosedSignal(connectionId); }
    void SetLogLostComms(UWORD connectionId, bool log);
    bool GetLogLostComms(UWORD connectionId);
    // Valid while the thread runs; its slots belong to its thread.
    cLostCommsReceiverWorker* Worker() const { return mWorker; }

signals:
    void ReceivedMessageSignal(UWORD LocalConnectionId);
    void NewUDPConnectionSignal(UWORD ConnectionId);
    void ConnectionClosedSignal(UWORD ConnectionId);
    void UnitLowTTLWarning(UWORD ConnectionId, bool Low);

private:
    cLostCommsReceiverWorker* mWorker;
};
