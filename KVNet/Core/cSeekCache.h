#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <vector>

// The last few (name -> connection id, handle) finds of a seek object. Entries are written in
// turn, oldest overwritten first; lookups scan circularly from the last hit.
// Not locked: the owning seek object serialises its use.
class cSeekCache
{
public:
    static constexpr std::size_t NAME_SIZE = 128;

    explicit cSeekCache(UWORD size);

    // True with the cached ids when a marked entry has that name.
    bool Find(const char* name, UWORD& connectionId, KV_NET_DATA_SCALE& handle);
    // Writes the entry at the next-write index, which then advances and wraps.
    void Add(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle);
    // Unmarks every entry of that connection; 0xFFFF unmarks all.
    void Clear(UWORD connectionId);
    UWORD Size() const { return UWORD(mEntries.size()); }
    // Marked entries.
    UWORD Count() const;

private:
    static constexpr UBYTE MARKED = 10;

    struct sEntry
    {
        char mName[NAME_SIZE];
        UWORD mConnectionId;
        KV_NET_DATA_SCALE mHandle;
        UBYTE mMark;
    };

    std::vector<sEntry> mEntries;
    std::size_t mNextWrite = 0;
    std::size_t mLastHit = 0;
};
