#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cKVNetMessPoolBase.h"

// Creates a message per request and deletes it on return; refuses requests while the bytes
// handed out reach the cap (0: no cap).
class cDynamicKVNetMessPool : public cKVNetMessPoolBase
{
public:
    explicit cDynamicKVNetMessPool(ULONG byteCap);

    // A new message of the length, or null with "Heap Memory Cap Reached".
    cKVNetMessage* GetKVNetMessage(KV_NET_DATA_SCALE length);
    void ReturnKVNetMessage(cKVNetMessage* message) override;

    ULONG BytesOut() const { return mBytesOut; }

private:
    ULONG mByteCap;
    ULONG mBytesOut = 0;
};
