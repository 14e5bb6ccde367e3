#include "KVNet/Core/cNetObjectHashMap.h"

#include <cstring>

cNetObjectHashMap::cNetObjectHashMap()
    : mBuckets(new sNode*[INITIAL_BUCKETS]())
    , mBucketCount(INITIAL_BUCKETS)
    , mThreshold(ULONG(INITIAL_BUCKETS * MAX_LOAD_FACTOR))
{
}

cNetObjectHashMap::~cNetObjectHashMap()
{
    for (ULONG b = 0; b < mBucketCount; ++b)
    {
        for (sNode* node = mBuckets[b]; node != nullptr;)
        {
            sNode* next = node->mNext;
            delete node;
            node = next;
        }
    }
    delete[] mBuckets;
}

ULONG cNetObjectHashMap::Hash(const char* name)
{
    ULONG h = 0;
    for (const char* c = name; *c != '\0'; ++c)
    {
        h = h * 31u + ULONG(SLONG(SBYTE(*c)));
    }
    return h;
}

cNetObject* cNetObjectHashMap::Find(const char* name) const
{
    for (sNode* node = mBuckets[Hash(name) % mBucketCount]; node != nullptr; node = node->mNext)
    {
        if (std::strcmp(node->mName, name) == 0)
        {
            return node->mObject;
        }
    }
    return nullptr;
}

void cNetObjectHashMap::Append(sNode** buckets, ULONG bucketCount, sNode* node)
{
    node->mNext = nullptr;
    sNode** link = &buckets[Hash(node->mName) % bucketCount];
    while (*link != nullptr)
    {
        link = &(*link)->mNext;
    }
    *link = node;
}

void cNetObjectHashMap::Insert(const char* name, cNetObject* object)
{
    Append(mBuckets, mBucketCount, new sNode{name, object, nullptr});
    ++mElementCount;
    if (mElementCount > mThreshold)
    {
        Grow();
    }
}

void cNetObjectHashMap::Grow()
{
    ULONG count = 2 * mBucketCount + 1;
    sNode** buckets = new sNode*[count]();
    for (ULONG b = 0; b < mBucketCount; ++b)
    {
        for (sNode* node = mBuckets[b]; node != nullptr;)
        {
            sNode* next = node->mNext;
            Append(buckets, count, node);
            node = next;
        }
    }
    delete[] mBuckets;
    mBuckets = buckets;
    mBucketCount = count;
    mThreshold = ULONG(float(count) * MAX_LOAD_FACTOR);
}

bool cNetObjectHashMap::Remove(const char* name, const cNetObject* object)
{
    for (sNode** link = &mBuckets[Hash(name) % mBucketCount]; *link != nullptr; link = &(*link)->mNext)
    {
        sNode* node = *link;
        if (node->mObject == object && std::strcmp(node->mName, name) == 0)
        {
            *link = node->mNext;
            delete node;
            --mElementCount;
            return true;
        }
    }
    return false;
}
