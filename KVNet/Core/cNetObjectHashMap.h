#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cNetObject;

// Name -> net object. The keys are the router's name slots (not copied); names compare with
// strcmp. Chains keep insertion order; when the element count exceeds the threshold the
// bucket array grows from n to 2n + 1. Not locked: the router holds its registry lock.
class cNetObjectHashMap
{
public:
    static constexpr ULONG INITIAL_BUCKETS = 800;
    static constexpr float MAX_LOAD_FACTOR = 0.75f;

    cNetObjectHashMap();
    virtual ~cNetObjectHashMap();
    cNetObjectHashMap(const cNetObjectHashMap&) = delete;
    cNetObjectHashMap& operator=(const cNetObjectHashMap&) = delete;

    // h = h * 31 + c over the bytes, each taken as a signed 8-bit value, in 32-bit arithmetic.
    static ULONG Hash(const char* name);

    cNetObject* Find(const char* name) const;
    // Appends (name, object) to its chain; the name must stay valid while the entry exists.
    void Insert(const char* name, cNetObject* object);
    // Removes the entry of that name when it points at object; false when there is none.
    bool Remove(const char* name, const cNetObject* object);

    ULONG BucketCount() const { return mBucketCount; }
    ULONG ElementCount() const { return mElementCount; }

private:
    struct sNode
    {
        const char* mName;
        cNetObject* mObject;
        sNode* mNext;
    };

    static void Append(sNode** buckets, ULONG bucketCount, sNode* node);
    void Grow();

    sNode** mBuckets;
    ULONG mBucketCount;
    ULONG mElementCount = 0;
    ULONG mThreshold;
};
