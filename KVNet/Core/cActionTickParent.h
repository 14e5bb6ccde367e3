#pragma once

// The per-tick call of the action-tick driver: OnActionTick runs on the action-tick thread
// every 20 ms, whether or not the system is running, before the tick message is posted. The
// application implements it (the serial link runs one step of its state machine there).
// It must not block for long and must not take the registry lock while holding a lock that
// the syscall thread takes under the registry lock.
class cActionTickParent
{
public:
    virtual ~cActionTickParent() = default;
    virtual void OnActionTick() = 0;
};
