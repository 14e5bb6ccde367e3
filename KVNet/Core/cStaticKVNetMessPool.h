#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cKVNetMessPoolBase.h"

#include <vector>

// Preallocated messages of one payload size, handed out newest-returned first. Grows by the
// growth increment when empty, never past the maximum (0: no maximum). Owns every message it
// created and deletes those on its free list when destroyed.
class cStaticKVNetMessPool : public cKVNetMessPoolBase
{
public:
    cStaticKVNetMessPool(KV_NET_DATA_SCALE messageSize, ULONG initialCount, ULONG maximumCount,
                         ULONG growthIncrement);
    ~cStaticKVNetMessPool() override;
    cStaticKVNetMessPool(const cStaticKVNetMessPool&) = delete;
    cStaticKVNetMessPool& operator=(const cStaticKVNetMessPool&) = delete;

    // A free message, or null with "Mess Pools Full" when no more may be created.
    cKVNetMessage* GetKVNetMessage();
    void ReturnKVNetMessage(cKVNetMessage* message) override;

    ULONG CreatedCount() const { return mCreated; }
    ULONG FreeCount() const { return ULONG(mFree.size()); }

private:
    void Create(ULONG count);

    KV_NET_DATA_SCALE mMessageSize;
    ULONG mInitialCount;
    ULONG mMaximumCount;
    ULONG mGrowthIncrement;
    ULONG mCreated = 0;
    std::vector<cKVNetMessage*> mFree;
};
