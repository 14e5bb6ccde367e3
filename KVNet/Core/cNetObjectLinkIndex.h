#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

// Kept beside a net object's inform and delete lists: the key of every inform-list entry, so
// that a duplicate is found without scanning the list, and how many entries (inform-list and
// delete-list) each connection other than the local system holds on the object, so that the
// links a connection may hold are bounded.
//
// Not locked: like the lists it is touched only under the registry lock.
class cNetObjectLinkIndex
{
public:
    // Whether the inform list of the parameter index holds (connectionId, handle, method).
    bool ContainsLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                      KV_NET_DATA_SCALE method) const;
    void InsertLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                    KV_NET_DATA_SCALE method);
    void EraseLink(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                   KV_NET_DATA_SCALE method);

    // Entries of that connection on the object; always 0 for the local system (0).
    ULONG HeldBy(UWORD connectionId) const;
    // One entry of that connection more (added) or less; the local system is not counted.
    void CountHeld(UWORD connectionId, bool added);

    void Clear();

private:
    static std::uint64_t Key(UWORD parameterIndex, UWORD connectionId, KV_NET_DATA_SCALE handle,
                             KV_NET_DATA_SCALE method);

    std::unordered_set<std::uint64_t> mLinks;
    std::unordered_map<UWORD, ULONG> mHeld;
};
