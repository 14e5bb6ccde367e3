#include "KVNet/Core/cKVNetMessageQueue.h"

cKVNetMessageQueue::cKVNetMessageQueue(ULONG initialCapacity)
    : mRing(new cKVNetMessage*[initialCapacity != 0 ? initialCapacity : 1])
    , mCapacity(initialCapacity != 0 ? initialCapacity : 1)
{
}

cKVNetMessageQueue::~cKVNetMessageQueue()
{
    delete[] mRing;
}

void cKVNetMessageQueue::GrowIfFull()
{
    if (mCount < mCapacity)
    {
        return;
    }
    ULONG capacity = mCapacity * 2;
    cKVNetMessage** ring = new cKVNetMessage*[capacity];
    for (ULONG i = 0; i < mCount; ++i)
    {
        ring[i] = At(i);
    }
    delete[] mRing;
    mRing = ring;
    mCapacity = capacity;
    mFront = 0;
}

void cKVNetMessageQueue::PushBack(cKVNetMessage* message)
{
    GrowIfFull();
    mRing[(mFront + mCount) % mCapacity] = message;
    ++mCount;
}

void cKVNetMessageQueue::PushFront(cKVNetMessage* message)
{
    GrowIfFull();
    mFront = mFront == 0 ? mCapacity - 1 : mFront - 1;
    mRing[mFront] = message;
    ++mCount;
}

cKVNetMessage* cKVNetMessageQueue::PopFront()
{
    if (mCount == 0)
    {
        return nullptr;
    }
    cKVNetMessage* message = mRing[mFront];
    mFront = mFront + 1 == mCapacity ? 0 : mFront + 1;
    --mCount;
    return message;
}
