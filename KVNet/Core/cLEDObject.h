#pragma once

#include "KVNet/Core/cNetObject.h"

class cLEDBaseDriver;

// The control object of an LED: one parameter, 4096, the LED state (UBYTE); no tick. A state
// that differs from the stored one is stored and forwarded to the other links; every state
// received, repeated or not, reaches the driver. A message without its byte is reported and
// dropped.
//
// Threads: made and destroyed by its driver (under the registry lock); everything else on the
// syscall thread.
class cLEDObject : public cNetObject
{
public:
    // driver is not owned, may be null, and must outlive the object.
    cLEDObject(const char* name, cLEDBaseDriver* driver);
    ~cLEDObject() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    // Sync-up of 4096 with the stored state; any other method reports "Method undefined at
    // this level".
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    UBYTE GetStoredState() const { return mState; }

private:
    UBYTE mState = 0;
    cLEDBaseDriver* mDriver;
};
