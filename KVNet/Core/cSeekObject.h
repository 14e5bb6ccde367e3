#pragma once

#include "KVNet/Core/cNetObject.h"

class cSeekCache;

// A net object that finds another object's (connection id, handle) by name: it asks the
// registry router (which forwards "host/name" to that unit's router) and gets the answer as
// an M_REPLY_OK or M_REPLY_FAIL message, then calls SeekResult. One search at a time; a small
// cache answers repeated finds without asking the router.
//
// Threads: the syscall thread (a subclass may also seek from other threads when it serialises
// all its use with a lock of its own, as the system builder does).
class cSeekObject : public cNetObject
{
public:
    static constexpr std::size_t NAME_SIZE = 128;

    // No tock; a cache of cacheSize entries when cacheSize is not 0.
    cSeekObject(const char* name, KV_NET_DATA_SCALE numberOfParameters, bool tick, UWORD cacheSize);
    ~cSeekObject() override;

    // Starts a search for name (at most 127 characters are used).
    void Seek(const char* name);
    // Seek only when not searching; returns whether a search was in progress.
    bool SeekIfIdle(const char* name);
    // A local name that is registered is answered at once from the registry, ahead of every
    // buffered message; anything else is Seek.
    void SeekLocalFirst(const char* name);
    bool IsSearching() const { return mSearching; }
    const char* GetSeekName() const { return mSeekName; }

    // Handles the replies while searching (ignores them otherwise); passes every other method
    // to cNetObject. An M_REPLY_OK too short for its handle is reported and taken as not found.
    void EntrypointMessage(cKVNetMessage& message) override;
    // The net object's removal, then the cache entries of that connection.
    void RemoveConnectionLinks(UWORD connectionId, bool flag) override;

    // The answer of a search: handle 0xFFFF (and connection id 0xFFFF) when not found.
    virtual void SeekResult(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle) = 0;
    // Unmarks the cache entries of that connection; 0xFFFF unmarks all.
    virtual void ClearSeekCache(UWORD connectionId);
    virtual bool FindInSeekCache(const char* name, UWORD& connectionId, KV_NET_DATA_SCALE& handle);
    virtual void AddToSeekCache(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle);

    // Marked cache entries (0 without a cache).
    UWORD GetSeekCacheCount() const;

protected:
    bool mSearching = false;

private:
    void SetSeekName(const char* name);
    void OnReply(cKVNetMessage& message);

    cKVNetMessage mFindMessage;
    cSeekCache* mSeekCache = nullptr;
    char mSeekName[NAME_SIZE] = {};
    UWORD mCacheSize;
};
