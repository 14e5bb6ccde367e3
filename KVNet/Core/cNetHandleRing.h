#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <array>

// The free net object handles 1 to 45000 as a ring: handles are taken at the head and released
// at the tail, so a released handle is handed out again only after all the others. The head
// never catches up with the tail, which leaves at most 44,999 handles out at once.
// Not locked: the registry router holds its registry lock.
class cNetHandleRing
{
public:
    static constexpr ULONG SIZE = 45000;

    cNetHandleRing();

    // The next free handle, or 0xFFFF with "Not enough handles available! ..." when exhausted.
    KV_NET_DATA_SCALE TakeHandle();
    // Back to the tail; with no handle out it reports "There are no used handles to release!"
    // and stores nothing.
    void ReleaseHandle(KV_NET_DATA_SCALE handle);
    // Handles currently out.
    ULONG HandlesOut() const { return (mSlotsHead + SIZE - mTail) % SIZE; }

private:
    static ULONG Next(ULONG position) { return position + 1 == SIZE ? 0 : position + 1; }

    std::array<KV_NET_DATA_SCALE, SIZE> mRing;
    ULONG mSlotsHead = 0;
    ULONG mTail = 0;
};
