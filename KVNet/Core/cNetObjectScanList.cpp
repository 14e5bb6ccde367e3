#include "KVNet/Core/cNetObjectScanList.h"

#include <algorithm>

void cNetObjectScanList::Append(cNetObject* object)
{
    mObjects.push_back(object);
}

void cNetObjectScanList::Remove(const cNetObject* object)
{
    if (mScanDepth > 0)
    {
        // Keep the positions of a scan in progress; the holes are closed when it ends.
        for (cNetObject*& entry : mObjects)
        {
            if (entry == object)
            {
                entry = nullptr;
                mHasHoles = true;
            }
        }
        return;
    }
    mObjects.erase(std::remove(mObjects.begin(), mObjects.end(), object), mObjects.end());
}

bool cNetObjectScanList::Contains(const cNetObject* object) const
{
    return object != nullptr && std::find(mObjects.begin(), mObjects.end(), object) != mObjects.end();
}

ULONG cNetObjectScanList::Count() const
{
    return ULONG(std::count_if(mObjects.begin(), mObjects.end(), [](cNetObject* o) { return o != nullptr; }));
}

void cNetObjectScanList::Scan(const std::function<void(cNetObject*)>& visit)
{
    ++mScanDepth;
    for (std::size_t i = 0; i < mObjects.size(); ++i)
    {
        if (cNetObject* object = mObjects[i])
        {
            visit(object);
        }
    }
    --mScanDepth;
    if (mScanDepth == 0 && mHasHoles)
    {
        mObjects.erase(std::remove(mObjects.begin(), mObjects.end(), nullptr), mObjects.end());
        mHasHoles = false;
    }
}

void cNetObjectScanList::Clear()
{
    if (mScanDepth > 0)
    {
        std::fill(mObjects.begin(), mObjects.end(), nullptr);
        mHasHoles = !mObjects.empty();
        return;
    }
    mObjects.clear();
}
