#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cKVNetMessage;

// Double-ended queue of message pointers on a ring that doubles when full and never shrinks,
// so that steady traffic allocates nothing once the ring has reached its working size.
// Does not own the messages. Not locked: the router holds its buffer lock.
class cKVNetMessageQueue
{
public:
    explicit cKVNetMessageQueue(ULONG initialCapacity = 1024);
    ~cKVNetMessageQueue();
    cKVNetMessageQueue(const cKVNetMessageQueue&) = delete;
    cKVNetMessageQueue& operator=(const cKVNetMessageQueue&) = delete;

    void PushBack(cKVNetMessage* message);
    void PushFront(cKVNetMessage* message);
    // The front message, or null when empty.
    cKVNetMessage* PopFront();
    // The i-th message from the front (i below Count()).
    cKVNetMessage* At(ULONG i) const { return mRing[(mFront + i) % mCapacity]; }
    ULONG Count() const { return mCount; }
    bool IsEmpty() const { return mCount == 0; }

private:
    void GrowIfFull();

    cKVNetMessage** mRing;
    ULONG mCapacity;
    ULONG mFront = 0;
    ULONG mCount = 0;
};
