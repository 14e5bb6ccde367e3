#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <algorithm>
#include <cstddef>
#include <deque>

// A FIFO of send records that holds at most one record per id: a record whose id is already
// queued replaces that record where it stands, so a burst of changes to a set of targets never
// queues more records than there are targets, and each target keeps its place in the order.
// tRecord needs `ULONG Id() const`. Not thread-safe: the serial interface guards it.
template <typename tRecord>
class cSerialSendQueue
{
public:
    void Offer(const tRecord& record)
    {
        for (tRecord& queued : mRecords)
        {
            if (queued.Id() == record.Id())
            {
                queued = record;
                return;
            }
        }
        mRecords.push_back(record);
        mLargestDepth = std::max(mLargestDepth, mRecords.size());
    }

    // Removes the first record into the argument; false when empty.
    bool Take(tRecord& record)
    {
        if (mRecords.empty())
        {
            return false;
        }
        record = mRecords.front();
        mRecords.pop_front();
        return true;
    }

    bool IsEmpty() const { return mRecords.empty(); }
    std::size_t Size() const { return mRecords.size(); }
    std::size_t LargestDepth() const { return mLargestDepth; }
    void Clear() { mRecords.clear(); }

private:
    std::deque<tRecord> mRecords;
    std::size_t mLargestDepth = 0;
};
