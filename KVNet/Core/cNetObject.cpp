#include "KVNet/Core/cNetObject.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>

namespace
{

constexpr UWORD ADD_PAYLOAD_LENGTH = 10;
constexpr UWORD REMOVE_PAYLOAD_LENGTH = 8;

} // namespace

cNetObject::cNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters, bool tick, bool tock)
    : mNumberOfParameters(numberOfParameters)
{
    if (mNumberOfParameters > MAX_NUMBER_OF_PARAMETERS)
    {
        KV_REPORT_ERROR("%s - mNumberOfParameters  = 0x%X, exceeds maximum", name != nullptr ? name : "",
                        unsigned(mNumberOfParameters));
    }
    if (mNumberOfParameters != 0)
    {
        mInformLists = new sInformListEntry*[mNumberOfParameters]();
    }
    cRegistryRouter* router = gRegistryRouter;
    if (router == nullptr)
    {
        KV_REPORT_ERROR("No registry router: \"%s\" is not registered", name != nullptr ? name : "");
    }
    else
    {
        cRegistryLocker lock;
        router->RegisterNetworkObject(this, name);
        if (tick)
        {
            router->AddToTickList(this);
        }
        if (tock)
        {
            router->AddToTockList(this);
        }
    }
    mRegistered = true;
}

cNetObject::~cNetObject()
{
    if (mRegistered)
    {
        KV_REPORT_ERROR("This object (%s) should have been unregistered by now", GetName());
        Unregister();
    }
    FreeLists();
    delete[] mInformLists;
}

void cNetObject::SetRegistration(KV_NET_DATA_SCALE handle, const char* name)
{
    mHandle = handle;
    mName = name;
    mControlMessage.mSource = handle;
}

void cNetObject::ClearRegistration()
{
    mHandle = KV_NET_NO_HANDLE;
    mName = nullptr;
    mControlMessage.mSource = KV_NET_NO_HANDLE;
}

void cNetObject::Unregister()
{
    cRegistryLocker lock;
    if (mRegistered)
    {
        if (cRegistryRouter* router = gRegistryRouter)
        {
            router->UnregisterNetworkObject(this);
        }
        mRegistered = false;
    }
    while (sDeleteListEntry* entry = mDeleteList)
    {
        mDeleteList = entry->mNext;
        PostControl(entry->mConnectionId, entry->mHandle, M_OBJECT_DELETED);
        EntryDropped(entry->mConnectionId);
        delete entry;
    }
    FreeLists();
}

void cNetObject::FreeLists()
{
    for (KV_NET_DATA_SCALE i = 0; mInformLists != nullptr && i < mNumberOfParameters; ++i)
    {
        while (sInformListEntry* entry = mInformLists[i])
        {
            mInformLists[i] = entry->mNext;
            EntryDropped(entry->mConnectionId);
            delete entry;
        }
    }
    while (sDeleteListEntry* entry = mDeleteList)
    {
        mDeleteList = entry->mNext;
        EntryDropped(entry->mConnectionId);
        delete entry;
    }
    mLinkIndex.Clear();
}

void cNetObject::EntryMade(UWORD connectionId)
{
    mLinkIndex.CountHeld(connectionId, true);
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->CountLinkHeldByConnection(connectionId, true);
    }
}

void cNetObject::EntryDropped(UWORD connectionId)
{
    mLinkIndex.CountHeld(connectionId, false);
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->CountLinkHeldByConnection(connectionId, false);
    }
}

void cNetObject::DropInformEntry(UWORD parameterIndex, const sInformListEntry* entry)
{
    mLinkIndex.EraseLink(parameterIndex, entry->mConnectionId, entry->mHandle, entry->mDestinationMethod);
    EntryDropped(entry->mConnectionId);
    delete entry;
}

ULONG cNetObject::GetLinkBound() const
{
    return std::max(MAX_LINKS_FROM_CONNECTION, cRegistryRouter::LINK_ROOM * (ULONG(mNumberOfParameters) + 1));
}

bool cNetObject::MayHoldAnotherLink(UWORD connectionId)
{
    cRegistryRouter* router = gRegistryRouter;
    const ULONG here = mLinkIndex.HeldBy(connectionId);
    const ULONG all = router != nullptr ? router->GetLinksHeldByConnection(connectionId) : 0;
    const ULONG hereBound = GetLinkBound();
    const ULONG allBound =
        router != nullptr ? router->GetLinkBoundPerConnection() : cRegistryRouter::MAX_LINKS_PER_CONNECTION;
    if (here < hereBound && all < allBound)
    {
        return true;
    }
    if (router != nullptr && router->TakeLinkRefusalReport(connectionId))
    {
        KV_REPORT_ERROR("Link from connection %d to \"%s\" refused: the connection holds %lu links here and "
                        "%lu in all (at most %lu and %lu); further refusals from it are not reported",
                        int(connectionId), GetName(), static_cast<unsigned long>(here),
                        static_cast<unsigned long>(all), static_cast<unsigned long>(hereBound),
                        static_cast<unsigned long>(allBound));
    }
    return false;
}

long cNetObject::ParameterIndex(KV_NET_DATA_SCALE method) const
{
    long index = long(method) - long(PARAMETER_BASE);
    return index >= 0 && index < long(mNumberOfParameters) ? index : -1;
}

void cNetObject::PostControl(UWORD connectionId, KV_NET_DATA_SCALE handle, UWORD method)
{
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(0);
    PostMessage(mControlMessage);
}

void cNetObject::ActionTick()
{
    KV_REPORT_ERROR("Object %s, scanned with no ActionTick?", GetName());
}

void cNetObject::ActionTock()
{
    KV_REPORT_ERROR("Object %s, tock scanned with no ActionTock?", GetName());
}

void cNetObject::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE,
                                 KV_NET_DATA_SCALE sourceMethod)
{
    KV_REPORT_ERROR("UpdateNewObject needs overloading to enable sync-up");
    KV_REPORT_ERROR("Object Name: \"%s\" SourceMethod: 0x%X, Destination Handle: 0x%X  ConnectionId: %d",
                    GetName(), unsigned(sourceMethod), unsigned(handle), int(connectionId));
    if (sourceMethod >= PARAMETER_BASE)
    {
        KV_REPORT_ERROR("PARAMETER_BASE Adjusted SourceMethod: %d,", int(sourceMethod) - int(PARAMETER_BASE));
    }
    else if (sourceMethod >= NON_PARAMETER_BASE)
    {
        KV_REPORT_ERROR("NON_PARAMETER_BASE Adjusted SourceMethod: %d,",
                        int(sourceMethod) - int(NON_PARAMETER_BASE));
    }
}

void cNetObject::RemoveConnectionLinks(UWORD connectionId, bool)
{
    for (KV_NET_DATA_SCALE i = 0; mInformLists != nullptr && i < mNumberOfParameters; ++i)
    {
        for (sInformListEntry** link = &mInformLists[i]; *link != nullptr;)
        {
            sInformListEntry* entry = *link;
            if (entry->mConnectionId == connectionId)
            {
                *link = entry->mNext;
                DropInformEntry(i, entry);
            }
            else
            {
                link = &entry->mNext;
            }
        }
    }
    for (sDeleteListEntry** link = &mDeleteList; *link != nullptr;)
    {
        sDeleteListEntry* entry = *link;
        if (entry->mConnectionId == connectionId)
        {
            *link = entry->mNext;
            EntryDropped(entry->mConnectionId);
            delete entry;
        }
        else
        {
            link = &entry->mNext;
        }
    }
}

bool cNetObject::AddObjectToInformList(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                       KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod,
                                       UBYTE datagram, UBYTE sync, bool notify)
{
    return AddEntry(connectionId, handle, destinationMethod, sourceMethod, datagram, sync, notify, false);
}

bool cNetObject::AddEntry(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                          KV_NET_DATA_SCALE sourceMethod, UBYTE datagram, UBYTE sync, bool notify,
                          bool bounded)
{
    long index = ParameterIndex(sourceMethod);
    if (index < 0)
    {
        KV_REPORT_ERROR(
            "Add Parameter out of range Object Name: \"%s\" Parameter: %d, mNumberOfParameters: %d",
            GetName(), int(sourceMethod) - int(PARAMETER_BASE), int(mNumberOfParameters));
        KV_REPORT_ERROR("ConnectionId: %d, Handle: %d, DestinationMethod: 0x%X, SourceMethod: 0x%X",
                        int(connectionId), int(handle), unsigned(destinationMethod), unsigned(sourceMethod));
        return false;
    }
    if (mLinkIndex.ContainsLink(UWORD(index), connectionId, handle, destinationMethod))
    {
        return false;
    }
    if (bounded && connectionId != KV_NET_LOCAL_CONNECTION && !MayHoldAnotherLink(connectionId))
    {
        // Answered where a link made is told (the target), so that the peer knows.
        PostControl(connectionId, handle, M_REPLY_FAIL);
        return false;
    }
    mInformLists[index] =
        new sInformListEntry{connectionId, handle, destinationMethod, datagram, mInformLists[index]};
    mLinkIndex.InsertLink(UWORD(index), connectionId, handle, destinationMethod);
    EntryMade(connectionId);
    if (notify)
    {
        PostControl(connectionId, handle, M_OBJECT_ADD_TO_DELETE_LIST);
    }
    if (sync != 0)
    {
        UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
    }
    return true;
}

bool cNetObject::RemoveObjectFromInformList(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                            KV_NET_DATA_SCALE destinationMethod,
                                            KV_NET_DATA_SCALE sourceMethod, bool notify)
{
    long index = ParameterIndex(sourceMethod);
    if (index < 0)
    {
        KV_REPORT_ERROR("Remove Parameter out of range Object Name: \"%s\" Parameter: %d Adjusted: %d, "
                        "mNumberOfParameters: %d",
                        GetName(), int(sourceMethod), int(sourceMethod) - int(PARAMETER_BASE),
                        int(mNumberOfParameters));
        KV_REPORT_ERROR("ConnectionId: %d, Handle: %d, Method: %d", int(connectionId), int(handle),
                        int(destinationMethod));
        return false;
    }
    if (!mLinkIndex.ContainsLink(UWORD(index), connectionId, handle, destinationMethod))
    {
        return false;
    }
    for (sInformListEntry** link = &mInformLists[index]; *link != nullptr; link = &(*link)->mNext)
    {
        sInformListEntry* entry = *link;
        if (entry->mConnectionId == connectionId && entry->mHandle == handle &&
            entry->mDestinationMethod == destinationMethod)
        {
            *link = entry->mNext;
            DropInformEntry(UWORD(index), entry);
            if (notify)
            {
                PostControl(connectionId, handle, M_OBJECT_REMOVE_FROM_DELETE_LIST);
            }
            return true;
        }
    }
    return false;
}

ULONG cNetObject::GetNumberOfInformListItems(KV_NET_DATA_SCALE method) const
{
    long index = ParameterIndex(method);
    if (index < 0)
    {
        KV_REPORT_ERROR("Parameter out of range Object Name: \"%s\" Parameter: %d", GetName(),
                        int(method) - int(PARAMETER_BASE));
        return 0;
    }
    ULONG count = 0;
    for (const sInformListEntry* entry = mInformLists[index]; entry != nullptr; entry = entry->mNext)
    {
        ++count;
    }
    return count;
}

UWORD cNetObject::GetDeleteListCount(UWORD connectionId, KV_NET_DATA_SCALE handle) const
{
    for (const sDeleteListEntry* entry = mDeleteList; entry != nullptr; entry = entry->mNext)
    {
        if (entry->mConnectionId == connectionId && entry->mHandle == handle)
        {
            return entry->mCount;
        }
    }
    return 0;
}

void cNetObject::SendToInformList(cKVNetMessage& message)
{
    SendToEntries(message, false);
}

void cNetObject::SendToSourceInInformList(cKVNetMessage& message)
{
    SendToEntries(message, true);
}

void cNetObject::SendToEntries(cKVNetMessage& message, bool onlySource)
{
    long index = ParameterIndex(message.mMethod);
    if (index < 0 || mInformLists[index] == nullptr)
    {
        return;
    }
    const UWORD fromConnection = message.mConnectionId;
    const KV_NET_DATA_SCALE fromHandle = message.mSource;
    mParameterMessage = message;
    mParameterMessage.mSource = mHandle;
    // The object's own message now, whichever connection brought the value.
    mParameterMessage.mConnectionSerial = 0;
    for (const sInformListEntry* entry = mInformLists[index]; entry != nullptr; entry = entry->mNext)
    {
        bool isSource = entry->mConnectionId == fromConnection && entry->mHandle == fromHandle;
        if (isSource != onlySource)
        {
            continue;
        }
        mParameterMessage.mConnectionId = entry->mConnectionId;
        mParameterMessage.mDestination = entry->mHandle;
        mParameterMessage.mMethod = entry->mDestinationMethod;
        if (entry->mDataGram != 0)
        {
            PostMessageViaUDP(mParameterMessage);
        }
        else
        {
            PostMessage(mParameterMessage);
        }
    }
}

void cNetObject::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case M_OBJECT_ADD_TO_INFORM_LIST:
        OnAddToInformList(message);
        break;
    case M_OBJECT_REMOVE_FROM_INFORM_LIST:
        OnRemoveFromInformList(message);
        break;
    case M_OBJECT_ADD_TO_DELETE_LIST:
        OnAddToDeleteList(message);
        break;
    case M_OBJECT_DELETED:
        OnObjectDeleted(message);
        break;
    case M_OBJECT_REMOVE_FROM_DELETE_LIST:
        OnRemoveFromDeleteList(message);
        break;
    case M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE:
        KV_REPORT_ERROR("NYI - M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE for %s on %d", GetName(),
                        int(M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE));
        PostControl(message.mConnectionId, message.mSource, M_REPLY_FAIL);
        break;
    case M_ALL_RELATIVE_UPDATE_CURRENT_STORE:
        KV_REPORT_ERROR("NYI - M_ALL_RELATIVE_UPDATE_CURRENT_STORE for %s on %d", GetName(),
                        int(M_ALL_RELATIVE_UPDATE_CURRENT_STORE));
        PostControl(message.mConnectionId, message.mSource, M_REPLY_FAIL);
        break;
    default:
        KV_REPORT_ERROR("Unknown Method: 0x%X  Source: 0x%X, ConnId: %d ObjectName: \"%s\", mHandle = 0x%X",
                        unsigned(message.mMethod), unsigned(message.mSource), int(message.mConnectionId),
                        GetName(), unsigned(mHandle));
        break;
    }
}

void cNetObject::OnAddToInformList(cKVNetMessage& message)
{
    if (message.GetLength() < ADD_PAYLOAD_LENGTH)
    {
        KV_REPORT_ERROR(
            "M_OBJECT_ADD_TO_INFORM_LIST of %d bytes is too short (10 needed), Source: 0x%X, ConnId: %d "
            "ObjectName: \"%s\"",
            int(message.GetLength()), unsigned(message.mSource), int(message.mConnectionId), GetName());
        return;
    }
    AddEntry(message.GetUWORD(0), message.GetUWORD(2), message.GetUWORD(4), message.GetUWORD(6),
             message.GetUBYTE(8), message.GetUBYTE(9), true,
             message.mConnectionId != KV_NET_LOCAL_CONNECTION);
}

void cNetObject::OnRemoveFromInformList(cKVNetMessage& message)
{
    if (message.GetLength() < REMOVE_PAYLOAD_LENGTH)
    {
        KV_REPORT_ERROR("M_OBJECT_REMOVE_FROM_INFORM_LIST of %d bytes is too short (8 needed), Source: 0x%X, "
                        "ConnId: %d ObjectName: \"%s\"",
                        int(message.GetLength()), unsigned(message.mSource), int(message.mConnectionId),
                        GetName());
        return;
    }
    RemoveObjectFromInformList(message.GetUWORD(0), message.GetUWORD(2), message.GetUWORD(4),
                               message.GetUWORD(6), true);
}

void cNetObject::OnAddToDeleteList(const cKVNetMessage& message)
{
    for (sDeleteListEntry* entry = mDeleteList; entry != nullptr; entry = entry->mNext)
    {
        if (entry->mConnectionId == message.mConnectionId && entry->mHandle == message.mSource)
        {
            ++entry->mCount;
            return;
        }
    }
    if (message.mConnectionId != KV_NET_LOCAL_CONNECTION && !MayHoldAnotherLink(message.mConnectionId))
    {
        return;
    }
    mDeleteList = new sDeleteListEntry{message.mConnectionId, message.mSource, 1, mDeleteList};
    EntryMade(message.mConnectionId);
}

void cNetObject::OnRemoveFromDeleteList(const cKVNetMessage& message)
{
    for (sDeleteListEntry** link = &mDeleteList; *link != nullptr; link = &(*link)->mNext)
    {
        sDeleteListEntry* entry = *link;
        if (entry->mConnectionId == message.mConnectionId && entry->mHandle == message.mSource)
        {
            if (entry->mCount > 1)
            {
                --entry->mCount;
            }
            else
            {
                *link = entry->mNext;
                EntryDropped(entry->mConnectionId);
                delete entry;
            }
            return;
        }
    }
}

void cNetObject::OnObjectDeleted(const cKVNetMessage& message)
{
    for (KV_NET_DATA_SCALE i = 0; mInformLists != nullptr && i < mNumberOfParameters; ++i)
    {
        for (sInformListEntry** link = &mInformLists[i]; *link != nullptr;)
        {
            sInformListEntry* entry = *link;
            if (entry->mConnectionId == message.mConnectionId && entry->mHandle == message.mSource)
            {
                *link = entry->mNext;
                DropInformEntry(i, entry);
            }
            else
            {
                link = &entry->mNext;
            }
        }
    }
    for (sDeleteListEntry** link = &mDeleteList; *link != nullptr; link = &(*link)->mNext)
    {
        sDeleteListEntry* entry = *link;
        if (entry->mConnectionId == message.mConnectionId && entry->mHandle == message.mSource)
        {
            *link = entry->mNext;
            EntryDropped(entry->mConnectionId);
            delete entry;
            return;
        }
    }
}
