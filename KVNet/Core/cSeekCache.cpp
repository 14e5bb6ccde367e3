#include "KVNet/Core/cSeekCache.h"

#include <cstring>

cSeekCache::cSeekCache(UWORD size)
    : mEntries(size, sEntry{{}, KV_NET_NO_CONNECTION, KV_NET_NO_HANDLE, 0})
{
}

bool cSeekCache::Find(const char* name, UWORD& connectionId, KV_NET_DATA_SCALE& handle)
{
    const std::size_t size = mEntries.size();
    for (std::size_t step = 0; step < size; ++step)
    {
        std::size_t i = (mLastHit + step) % size;
        const sEntry& entry = mEntries[i];
        if (entry.mMark == MARKED && std::strcmp(entry.mName, name) == 0)
        {
            mLastHit = i;
            connectionId = entry.mConnectionId;
            handle = entry.mHandle;
            return true;
        }
    }
    return false;
}

void cSeekCache::Add(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle)
{
    if (mEntries.empty())
    {
        return;
    }
    sEntry& entry = mEntries[mNextWrite];
    std::size_t length = strnlen(name, NAME_SIZE - 1);
    std::memcpy(entry.mName, name, length);
    entry.mName[length] = '\0';
    entry.mConnectionId = connectionId;
    entry.mHandle = handle;
    entry.mMark = MARKED;
    mNextWrite = (mNextWrite + 1) % mEntries.size();
}

void cSeekCache::Clear(UWORD connectionId)
{
    for (sEntry& entry : mEntries)
    {
        if (connectionId == KV_NET_NO_CONNECTION || entry.mConnectionId == connectionId)
        {
            entry.mMark = 0;
        }
    }
}

UWORD cSeekCache::Count() const
{
    UWORD count = 0;
    for (const sEntry& entry : mEntries)
    {
        count = UWORD(count + (entry.mMark == MARKED ? 1 : 0));
    }
    return count;
}
