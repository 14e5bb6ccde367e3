#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cKVNetMessage;
class cStaticKVNetMessPool;
class cDynamicKVNetMessPool;

// The router's message pools: small (payloads 0-4), medium (5-1280) and large (above 1280,
// created per request). Owns the three pools. Not locked: the router holds its buffer lock.
class cKVNetMessagePool
{
public:
    static constexpr KV_NET_DATA_SCALE SMALL_MESSAGE_SIZE = 4;
    static constexpr KV_NET_DATA_SCALE MEDIUM_MESSAGE_SIZE = 1280;

    cKVNetMessagePool();
    ~cKVNetMessagePool();
    cKVNetMessagePool(const cKVNetMessagePool&) = delete;
    cKVNetMessagePool& operator=(const cKVNetMessagePool&) = delete;

    // A message able to hold the length (its length is the pool's size), or null.
    cKVNetMessage* GetKVNetMessage(KV_NET_DATA_SCALE length);
    // Back to the pool that the message's current length belongs to.
    void ReturnKVNetMessage(cKVNetMessage* message);

    cStaticKVNetMessPool& SmallPool() { return *mSmall; }
    cStaticKVNetMessPool& MediumPool() { return *mMedium; }
    cDynamicKVNetMessPool& LargePool() { return *mLarge; }

private:
    cStaticKVNetMessPool* mSmall;
    cStaticKVNetMessPool* mMedium;
    cDynamicKVNetMessPool* mLarge;
};
