#pragma once

#include "KVNet/Core/cNetObject.h"

class cSwitchBaseDriver;

// The control object of a switch, with two parameters:
//   4096 the switch value (UBYTE)
//   4097 a relative step (UWORD, two's complement), handed to the driver, neither stored nor
//        forwarded
// Made with the tick flag it polls its driver every tick: the first tick only records the
// value, later ticks inform the links of 4096 when it changed. Without the flag it never polls
// and only passes values from links to the driver and to its other links. A value from a link
// is stored, so the next tick does not echo it, and forwarded, never back to its sender.
// A message too short for its parameter is reported and dropped.
//
// Threads: made and destroyed by its driver (under the registry lock); everything else on the
// syscall thread.
class cSwitchObject : public cNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 2;

    // driver is not owned and must outlive the object.
    cSwitchObject(const char* name, cSwitchBaseDriver* driver, bool tick);
    ~cSwitchObject() override;

    void ActionTick() override;
    void EntrypointMessage(cKVNetMessage& message) override;
    // Sync-up of 4096 with the stored value; other methods get the base's report.
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // Sets the driver and the stored value without informing anyone. Syscall thread or under
    // the registry lock.
    void SetValueSilently(UBYTE value);
    UBYTE GetStoredValue() const { return mValue; }

private:
    UBYTE mValue = 0;
    cSwitchBaseDriver* mDriver;
    bool mFirstTick = true;
};
