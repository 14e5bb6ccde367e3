#include "KVNet/Core/cSeekObject.h"

#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSeekCache.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstring>

cSeekObject::cSeekObject(const char* name, KV_NET_DATA_SCALE numberOfParameters, bool tick, UWORD cacheSize)
    : cNetObject(name, numberOfParameters, tick, false)
    , mCacheSize(cacheSize)
{
    if (mCacheSize != 0)
    {
        mSeekCache = new cSeekCache(mCacheSize);
    }
}

cSeekObject::~cSeekObject()
{
    Unregister();
    delete mSeekCache;
}

void cSeekObject::SetSeekName(const char* name)
{
    std::size_t length = name != nullptr ? strnlen(name, NAME_SIZE - 1) : 0;
    if (length != 0)
    {
        std::memcpy(mSeekName, name, length);
    }
    mSeekName[length] = '\0';
}

void cSeekObject::Seek(const char* name)
{
    SetSeekName(name);
    UWORD connectionId = KV_NET_NO_CONNECTION;
    KV_NET_DATA_SCALE handle = KV_NET_NO_HANDLE;
    if (FindInSeekCache(mSeekName, connectionId, handle))
    {
        // One byte more than a router reply, so that the answer is not cached again.
        mFindMessage.mMethod = M_REPLY_OK;
        mFindMessage.mConnectionId = connectionId;
        mFindMessage.mDestination = mHandle;
        mFindMessage.mSource = 0;
        if (NetworkConnectionUsesV2(connectionId))
        {
            mFindMessage.SetLength(5);
            mFindMessage.SetULONG(handle, 0);
            mFindMessage.SetUBYTE(0, 4);
        }
        else
        {
            mFindMessage.SetLength(3);
            mFindMessage.SetUWORD(handle, 0);
            mFindMessage.SetUBYTE(0, 2);
        }
        mSearching = true;
        if (cRegistryRouter* router = gRegistryRouter)
        {
            router->AddMessage(mFindMessage);
        }
        return;
    }
    mSearching = true;
    mControlMessage.mConnectionId = KV_NET_LOCAL_CONNECTION;
    mControlMessage.mDestination = 0;
    mControlMessage.mMethod = M_REG_FIND_OBJECT;
    mControlMessage.SetLength(0);
    mControlMessage.AppendString(mSeekName);
    PostMessage(mControlMessage);
}

bool cSeekObject::SeekIfIdle(const char* name)
{
    bool wasSearching = mSearching;
    if (!wasSearching)
    {
        Seek(name);
    }
    return wasSearching;
}

void cSeekObject::SeekLocalFirst(const char* name)
{
    cRegistryRouter* router = gRegistryRouter;
    if (mSearching || name == nullptr || std::strchr(name, '/') != nullptr || router == nullptr)
    {
        Seek(name);
        return;
    }
    KV_NET_DATA_SCALE handle = router->FindHandleByName(name);
    if (handle == KV_NET_NO_HANDLE)
    {
        Seek(name);
        return;
    }
    SetSeekName(name);
    mSearching = true;
    mFindMessage.mMethod = M_REPLY_OK;
    mFindMessage.mConnectionId = KV_NET_LOCAL_CONNECTION;
    mFindMessage.mDestination = mHandle;
    mFindMessage.mSource = 0;
    mFindMessage.SetLength(2);
    mFindMessage.SetUWORD(handle, 0);
    router->AddMessageAtStart(mFindMessage);
}

void cSeekObject::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod == M_REPLY_OK || message.mMethod == M_REPLY_FAIL)
    {
        if (mSearching)
        {
            OnReply(message);
        }
        return;
    }
    cNetObject::EntrypointMessage(message);
}

void cSeekObject::OnReply(cKVNetMessage& message)
{
    char name[NAME_SIZE];
    std::memcpy(name, mSeekName, NAME_SIZE);
    mSearching = false;
    if (message.mMethod == M_REPLY_OK)
    {
        bool v2 = NetworkConnectionUsesV2(message.mConnectionId);
        UWORD handleSize = v2 ? 4 : 2;
        if (message.GetLength() >= handleSize)
        {
            KV_NET_DATA_SCALE handle =
                v2 ? KV_NET_DATA_SCALE(message.GetULONG(0)) : KV_NET_DATA_SCALE(message.GetUWORD(0));
            if (mSeekCache != nullptr && message.GetLength() == handleSize)
            {
                AddToSeekCache(name, message.mConnectionId, handle);
            }
            SeekResult(name, message.mConnectionId, handle);
            return;
        }
        KV_REPORT_ERROR("M_REPLY_OK of %d bytes has no handle (%d needed) for \"%s\", ConnId: %d",
                        int(message.GetLength()), int(handleSize), name, int(message.mConnectionId));
    }
    SeekResult(name, KV_NET_NO_CONNECTION, KV_NET_NO_HANDLE);
}

void cSeekObject::RemoveConnectionLinks(UWORD connectionId, bool flag)
{
    cNetObject::RemoveConnectionLinks(connectionId, flag);
    ClearSeekCache(connectionId);
}

void cSeekObject::ClearSeekCache(UWORD connectionId)
{
    if (mSeekCache != nullptr)
    {
        mSeekCache->Clear(connectionId);
    }
}

bool cSeekObject::FindInSeekCache(const char* name, UWORD& connectionId, KV_NET_DATA_SCALE& handle)
{
    return mSeekCache != nullptr && mSeekCache->Find(name, connectionId, handle);
}

void cSeekObject::AddToSeekCache(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle)
{
    if (mSeekCache != nullptr)
    {
        mSeekCache->Add(name, connectionId, handle);
    }
}

UWORD cSeekObject::GetSeekCacheCount() const
{
    return mSeekCache != nullptr ? mSeekCache->Count() : UWORD(0);
}
