#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadWorker.h"

class QTimer;

// Sends the heartbeat (util payload 3) over the UDP link of every registered connection once a
// second.
//
// Threads: lives on the sender's thread; its flags are touched only there, through its slots.
class cLostCommsSenderWorker : public cThreadWorker
{
    Q_OBJECT

public:
    static constexpr int HEARTBEAT_PERIOD_MS = 1000;

    // Worker thread (valid after InitOnThread).
    QTimer* Timer() const { return mTimer; }
    bool IsActive(UWORD connectionId) const;

public slots:
    void InitOnThread() override;
    // A second registration of an active id is reported and changes nothing.
    void NewUDPConnectionSlot(UWORD ConnectionId);
    void ConnectionClosedSlot(UWORD ConnectionId);
    // One heartbeat on every active id, 1 to 20 in order.
    void TimerFired();

private:
    static constexpr UWORD MAX_CONNECTIONS = 20;

    UBYTE mActive[MAX_CONNECTIONS] = {};
    UBYTE mHeartbeat = 3;
    QTimer* mTimer = nullptr;
};
