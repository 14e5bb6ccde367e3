#include "KVNet/Core/cNetObjectLinkIndex.h"

std::uint64_t cNetObjectLinkIndex::Key(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                                       KV_NET_DATA_SCALE method)
{
    return (std::uint64_t(parameterIndex) << 48) | (std::uint64_t(connectionId) << 32) |
           (std::uint64_t(handle) << 16) | std::uint64_t(method);
}

bool cNetObjectLinkIndex::ContainsLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                                       KV_NET_DATA_SCALE method) const
{
    return mLinks.count(Key(parameterIndex, connectionId, handle, method)) != 0;
}

void cNetObjectLinkIndex::InsertLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                                     KV_NET_DATA_SCALE method)
{
    mLinks.insert(Key(parameterIndex, connectionId, handle, method));
}

void cNetObjectLinkIndex::EraseLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    KV_NET_DATA_SCALE method)
{
    mLinks.erase(Key(parameterIndex, connectionId, handle, method));
}

ULONG cNetObjectLinkIndex::HeldBy(UWORD connectionId) const
{
    const auto found = mHeld.find(connectionId);
    return found != mHeld.end() ? found->second : 0;
}

void cNetObjectLinkIndex::CountHeld(UWORD connectionId, bool added)
{
    if (connectionId == KV_NET_LOCAL_CONNECTION)
    {
        return;
    }
    if (added)
    {
        ++mHeld[connectionId];
        return;
    }
    const auto found = mHeld.find(connectionId);
    if (found != mHeld.end() && --found->second == 0)
    {
        mHeld.erase(found);
    }
}

void cNetObjectLinkIndex::Clear()
{
    mLinks.clear();
    mHeld.clear();
}
