#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadWorker.h"

#include <mutex>

class QTimer;

// Keeps a time-to-live (TTL) per registered connection: 30 on registration and on every
// heartbeat, one less every second; at 25 and below UnitLowTTLWarning(id, true) (once, and
// (id, false) once it is above 25 again); at 0 the loss is logged ("Communication lost to unit
// - " and the display name) and the network connection takes the connection down at once, on
// this thread.
//
// Threads: lives on the receiver's thread; the TTLs are touched only there, through its slots.
// The log flags may be read and written from any thread.
class cLostCommsReceiverWorker : public cThreadWorker
{
    Q_OBJECT

public:
    static constexpr int TICK_PERIOD_MS = 1000;
    static constexpr UBYTE TTL_START = 30;
    static constexpr UBYTE TTL_WARNING = 25;

    void SetLogLostComms(UWORD connectionId, bool log);
    bool GetLogLostComms(UWORD connectionId);
    // Worker thread (valid after InitOnThread). 0: not watched.
    QTimer* Timer() const { return mTimer; }
    UBYTE GetTTL(UWORD connectionId) const;

signals:
    void UnitLowTTLWarning(UWORD ConnectionId, bool Low);

public slots:
    void InitOnThread() override;
    void ReceivedMessageSlot(UWORD LocalConnectionId);
    // A second registration of a watched id is reported and changes nothing.
    void NewUDPConnectionSlot(UWORD ConnectionId);
    void ConnectionClosedSlot(UWORD ConnectionId);
    // One countdown step.
    void TimerFired();

private:
    static constexpr UWORD MAX_CONNECTIONS = 20;

    struct sRecord
    {
        UBYTE mTTL = 0;
        UBYTE mLogEnabled = 1;
        UBYTE mLowWarned = 0;
    };

    static bool IsValidId(UWORD connectionId) { return connectionId >= 1 && connectionId <= MAX_CONNECTIONS; }

    sRecord mRecords[MAX_CONNECTIONS];
    std::mutex mLogMutex;
    QTimer* mTimer = nullptr;
};
