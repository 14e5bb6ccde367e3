#include "KVNet/Core/cStaticKVNetMessPool.h"

#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>

cStaticKVNetMessPool::cStaticKVNetMessPool(KV_NET_DATA_SCALE messageSize, ULONG initialCount,
                                           ULONG maximumCount, ULONG growthIncrement)
    : mMessageSize(messageSize)
    , mInitialCount(initialCount)
    , mMaximumCount(maximumCount)
    , mGrowthIncrement(growthIncrement)
{
    if (mMaximumCount != 0 && mMaximumCount != mInitialCount)
    {
        if (mGrowthIncrement != 0)
        {
            ULONG remainder =
                (mMaximumCount > mInitialCount ? mMaximumCount - mInitialCount : 0) % mGrowthIncrement;
            if (remainder != 0)
            {
                KV_REPORT_ERROR("GrowthIncrement set, but not a modulo of the Max! %lu",
                                static_cast<unsigned long>(remainder));
            }
        }
        else
        {
            KV_REPORT_ERROR("No GrowthIncrement set, but Initial != Max, so growth expected!");
        }
    }
    ULONG initial = mMaximumCount != 0 ? std::min(mInitialCount, mMaximumCount) : mInitialCount;
    mFree.reserve(initial);
    Create(initial);
}

cStaticKVNetMessPool::~cStaticKVNetMessPool()
{
    for (cKVNetMessage* message : mFree)
    {
        delete message;
    }
}

void cStaticKVNetMessPool::Create(ULONG count)
{
    for (ULONG i = 0; i < count; ++i)
    {
        mFree.push_back(new cKVNetMessage(mMessageSize));
    }
    mCreated += count;
}

cKVNetMessage* cStaticKVNetMessPool::GetKVNetMessage()
{
    if (mFree.empty())
    {
        ULONG room =
            mMaximumCount != 0 ? (mCreated < mMaximumCount ? mMaximumCount - mCreated : 0) : mGrowthIncrement;
        ULONG grow = std::min(mGrowthIncrement, room);
        if (grow == 0)
        {
            KV_REPORT_ERROR("Mess Pools Full");
            return nullptr;
        }
        Create(grow);
    }
    cKVNetMessage* message = mFree.back();
    mFree.pop_back();
    return message;
}

void cStaticKVNetMessPool::ReturnKVNetMessage(cKVNetMessage* message)
{
    if (message != nullptr)
    {
        mFree.push_back(message);
    }
}
