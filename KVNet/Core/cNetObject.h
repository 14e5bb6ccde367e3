#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObjectLinkIndex.h"

class cRegistryRouter;

// Base of every addressable framework object. A net object registers with the registry router
// under a unique name (at most 63 characters) and gets a handle; it receives its messages in
// EntrypointMessage, may be scanned every action tick and tock, and keeps one inform list per
// parameter: the (connection, handle, method) targets that a change of that parameter is sent
// to. Parameter i is method PARAMETER_BASE + i.
//
// Threads: construction, Unregister and destruction run on any thread (registration takes the
// registry lock). EntrypointMessage, ActionTick, ActionTock and UpdateNewObject run on the
// syscall thread under the registry lock; the inform and delete lists are touched only there,
// or under the same lock by Unregister and the router's connection removal.
//
// Construction registers the object and puts it in the tick and tock lists before a subclass's
// own constructor has run. While the syscall thread runs, construct and delete net objects under
// cRegistryLocker (KVNetSystem.h), so that no delivery or scan reaches an object that is only
// partly built or partly destroyed.
//
// Every subclass destructor calls Unregister first. A destructor that reaches the base still
// registered reports "This object (%s) should have been unregistered by now" and unregisters.
//
// Bounds: a connection (any id but the local system's 0) holds at most GetLinkBound() entries on
// one object, inform-list and delete-list entries together, and at most
// cRegistryRouter::GetLinkBoundPerConnection() on all objects: enough for a peer that links every
// parameter of every object twice over. A link or delete-list notice that arrives from a
// connection beyond either bound is refused; a refused link is answered M_REPLY_FAIL (no payload)
// to its target, the one a link made is told of by M_OBJECT_ADD_TO_DELETE_LIST; the first refusal
// of a connection is reported, the others are not. Links made locally (and local notices) are not
// bounded. A duplicate is found without scanning the list.
class cNetObject
{
public:
    // The least bound on one object (GetLinkBound).
    static constexpr ULONG MAX_LINKS_FROM_CONNECTION = 256;

    // Registers under name; a failed registration (over-long or duplicate name, registry full)
    // is reported, leaves the handle 0xFFFF and the name null: such an object gets no messages
    // but is scanned when tick or tock is set. More than 61439 parameters are reported.
    cNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters, bool tick, bool tock);
    virtual ~cNetObject();
    cNetObject(const cNetObject&) = delete;
    cNetObject& operator=(const cNetObject&) = delete;

    // Framework methods 6 to 9, 13, 15 and 19; every other method is reported as unknown.
    // A subclass handles its own methods and passes every other message here.
    virtual void EntrypointMessage(cKVNetMessage& message);
    // Defaults report "Object %s, scanned with no ActionTick?" (and the tock twin).
    virtual void ActionTick();
    virtual void ActionTock();
    // Drops every inform-list and delete-list entry of that connection; flag is unused here.
    virtual void RemoveConnectionLinks(UWORD connectionId, bool flag);
    // Sync-up: a subclass sends the current value of sourceMethod to (connectionId, handle) as
    // destinationMethod. The default reports that it needs overloading.
    virtual void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                 KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod);

    // Leaves the registry and the tick and tock lists, sends M_OBJECT_DELETED to every linker
    // and frees the lists. Does nothing the second time.
    void Unregister();

    // Adds (connectionId, handle, destinationMethod) to the inform list of sourceMethod. A
    // duplicate is refused silently (false); an out-of-range parameter is reported (false).
    // notify sends M_OBJECT_ADD_TO_DELETE_LIST to the target; sync calls UpdateNewObject. Not
    // bounded: the bounds apply to the requests that arrive from a connection.
    bool AddObjectToInformList(UWORD connectionId, KV_NET_DATA_SCALE handle,
                               KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod,
                               UBYTE datagram, UBYTE sync, bool notify);
    // Removes that entry; false when absent or out of range (reported). notify sends
    // M_OBJECT_REMOVE_FROM_DELETE_LIST to the target.
    bool RemoveObjectFromInformList(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod,
                                    bool notify);
    // Entries of that parameter method; out of range is reported and gives 0.
    ULONG GetNumberOfInformListItems(KV_NET_DATA_SCALE method) const;
    // Inform-list and delete-list entries of that connection on this object (0 for the local
    // system, which is not counted).
    ULONG GetLinksHeldByConnection(UWORD connectionId) const { return mLinkIndex.HeldBy(connectionId); }
    // The most entries one connection may hold here: MAX_LINKS_FROM_CONNECTION, or
    // cRegistryRouter::LINK_ROOM per parameter and LINK_ROOM delete-list entries when that is
    // larger.
    ULONG GetLinkBound() const;
    // Sends a copy of the parameter message (its method picks the list) to every entry of the
    // list, newest first, except the one it came from (message mConnectionId, mSource).
    // Entries with the datagram flag use PostMessageViaUDP.
    void SendToInformList(cKVNetMessage& message);
    // The same, but only to the entries of (message mConnectionId, mSource).
    void SendToSourceInInformList(cKVNetMessage& message);

    // The registered name, or "" while unregistered.
    const char* GetName() const { return mName != nullptr ? mName : ""; }
    KV_NET_DATA_SCALE GetHandle() const { return mHandle; }
    KV_NET_DATA_SCALE GetNumberOfParameters() const { return mNumberOfParameters; }
    // True from the end of construction until Unregister, whether or not registration worked.
    bool IsRegistered() const { return mRegistered; }
    // Count of the delete-list entry of (connectionId, handle); 0 when there is none.
    UWORD GetDeleteListCount(UWORD connectionId, KV_NET_DATA_SCALE handle) const;

protected:
    KV_NET_DATA_SCALE mNumberOfParameters;
    KV_NET_DATA_SCALE mHandle = KV_NET_NO_HANDLE;
    // Reused for the framework messages the object sends itself (notices, replies, sync-up
    // values); its mSource is the object's handle once registered. Syscall thread only.
    cKVNetMessage mControlMessage;

private:
    friend class cRegistryRouter;

    struct sInformListEntry
    {
        UWORD mConnectionId;
        KV_NET_DATA_SCALE mHandle;
        KV_NET_DATA_SCALE mDestinationMethod;
        UBYTE mDataGram;
        sInformListEntry* mNext;
    };
    struct sDeleteListEntry
    {
        UWORD mConnectionId;
        KV_NET_DATA_SCALE mHandle;
        UWORD mCount;
        sDeleteListEntry* mNext;
    };

    // Called by the router under the registry lock.
    void SetRegistration(KV_NET_DATA_SCALE handle, const char* name);
    void ClearRegistration();

    // List index of a parameter method, or -1 when out of range.
    long ParameterIndex(KV_NET_DATA_SCALE method) const;
    void PostControl(UWORD connectionId, KV_NET_DATA_SCALE handle, UWORD method);
    bool AddEntry(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                  KV_NET_DATA_SCALE sourceMethod, UBYTE datagram, UBYTE sync, bool notify, bool bounded);
    // Whether connectionId may hold one entry more here; the first refusal of a connection is
    // reported.
    bool MayHoldAnotherLink(UWORD connectionId);
    // An entry of connectionId was made or dropped: counted here and by the router.
    void EntryMade(UWORD connectionId);
    void EntryDropped(UWORD connectionId);
    void DropInformEntry(UWORD parameterIndex, const sInformListEntry* entry);
    void SendToEntries(cKVNetMessage& message, bool onlySource);
    void OnAddToInformList(cKVNetMessage& message);
    void OnRemoveFromInformList(cKVNetMessage& message);
    void OnAddToDeleteList(const cKVNetMessage& message);
    void OnRemoveFromDeleteList(const cKVNetMessage& message);
    void OnObjectDeleted(const cKVNetMessage& message);
    void FreeLists();

    const char* mName = nullptr;
    sDeleteListEntry* mDeleteList = nullptr;
    bool mRegistered = false;
    sInformListEntry** mInformLists = nullptr;
    cKVNetMessage mParameterMessage;
    cNetObjectLinkIndex mLinkIndex;
};
