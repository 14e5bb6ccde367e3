#include "KVNet/Core/cRegistryRouter.h"

#include "KVNet/Core/KVNetMesspoolsPrint.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessagePool.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cNetworkConnectionInterface.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

constexpr const char* MESSPOOLS_FILE = "Messpools.txt";

bool IsObjectHandle(ULONG handle)
{
    return handle >= 1 && handle <= cRegistryRouter::MAX_HANDLES;
}

// The router's methods and the framework's methods of a net object: links and delete-list notices
// (stored for the sender's connection), finds, replies and requests that are answered.
bool StoresOrAnswersItsConnection(const cKVNetMessage& message)
{
    return message.mDestination == 0 || message.mMethod < NON_PARAMETER_BASE;
}

} // namespace

// The name and object tables are taken zeroed from calloc: the memory of a fresh mapping is zero
// already, so the pages (about 3 MB for the names) are only touched as handles are used, where
// zeroing them here cost the start 10 to 40 ms.
cRegistryRouter::cRegistryRouter()
    : mNames(static_cast<char (*)[MAX_NAME_LENGTH + 1]>(std::calloc(MAX_HANDLES, MAX_NAME_LENGTH + 1)))
    , mObjects(static_cast<cNetObject**>(std::calloc(MAX_HANDLES, sizeof(cNetObject*))))
    , mPools(new cKVNetMessagePool())
{
    if (mNames == nullptr || mObjects == nullptr)
    {
        std::abort();
    }
}

cRegistryRouter::~cRegistryRouter()
{
    {
        std::lock_guard<std::mutex> lock(mBufferLock);
        while (cKVNetMessage* message = mBuffer.PopFront())
        {
            mPools->ReturnKVNetMessage(message);
        }
        mBufferedCount.store(0);
    }
    delete mPools;
    std::free(mObjects);
    std::free(mNames);
}

// --- Registry ---

KV_NET_DATA_SCALE cRegistryRouter::TakeHandle()
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mHandles.TakeHandle();
}

void cRegistryRouter::ReleaseHandle(KV_NET_DATA_SCALE handle)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    mHandles.ReleaseHandle(handle);
}

bool cRegistryRouter::RegisterNetworkObject(cNetObject* object, const char* name)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    if (object == nullptr || name == nullptr)
    {
        KV_REPORT_ERROR("RegisterNetworkObject without an object or a name");
        return false;
    }
    std::size_t length = std::strlen(name);
    if (length > MAX_NAME_LENGTH)
    {
        KV_REPORT_ERROR("ObjectName length too long: %d", int(length));
        KV_REPORT_ERROR("Name: \"%s\"", name);
        return false;
    }
    KV_NET_DATA_SCALE handle = mHandles.TakeHandle();
    if (handle == KV_NET_NO_HANDLE)
    {
        KV_REPORT_ERROR("Registry is full - Handle = %d", int(KV_NET_NO_HANDLE));
        return false;
    }
    char* slot = mNames[handle - 1];
    std::memcpy(slot, name, length + 1);
    if (mNameMap.Find(slot) != nullptr)
    {
        mHandles.ReleaseHandle(handle);
        KV_REPORT_ERROR("Net object name is not unique, %s", name);
        return false;
    }
    mNameMap.Insert(slot, object);
    object->SetRegistration(handle, slot);
    mObjects[handle - 1] = object;
    ++mNumberOfObjects;
    mNumberOfParameters += object->GetNumberOfParameters();
    return true;
}

void cRegistryRouter::UnregisterNetworkObject(cNetObject* object)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    mTickList.Remove(object);
    mTockList.Remove(object);
    KV_NET_DATA_SCALE handle = object->GetHandle();
    if (!IsObjectHandle(handle) || mObjects[handle - 1] != object)
    {
        return;
    }
    mNameMap.Remove(mNames[handle - 1], object);
    mObjects[handle - 1] = nullptr;
    mHandles.ReleaseHandle(handle);
    --mNumberOfObjects;
    mNumberOfParameters -= object->GetNumberOfParameters();
}

const char* cRegistryRouter::GetObjectName(KV_NET_DATA_SCALE handle)
{
    if (!IsObjectHandle(handle))
    {
        KV_REPORT_ERROR("Invalid Handle %d", int(handle));
        return nullptr;
    }
    return mNames[handle - 1];
}

KV_NET_DATA_SCALE cRegistryRouter::FindHandleByName(const char* name)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    cNetObject* object = name != nullptr ? mNameMap.Find(name) : nullptr;
    return object != nullptr ? object->GetHandle() : KV_NET_NO_HANDLE;
}

cNetObject* cRegistryRouter::GetObject(KV_NET_DATA_SCALE handle)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return IsObjectHandle(handle) ? mObjects[handle - 1] : nullptr;
}

void cRegistryRouter::AddToTickList(cNetObject* object)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    mTickList.Append(object);
}

void cRegistryRouter::AddToTockList(cNetObject* object)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    mTockList.Append(object);
}

bool cRegistryRouter::IsInTickList(const cNetObject* object)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mTickList.Contains(object);
}

bool cRegistryRouter::IsInTockList(const cNetObject* object)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mTockList.Contains(object);
}

void cRegistryRouter::RemoveConnection(UWORD connectionId, bool flag)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    for (ULONG i = 0; i < MAX_HANDLES; ++i)
    {
        if (cNetObject* object = mObjects[i])
        {
            object->RemoveConnectionLinks(connectionId, flag);
        }
    }
    if (IsCountedConnection(connectionId))
    {
        mLinksHeldByConnection[connectionId] = 0;
        mLinkRefusalReported[connectionId] = false;
    }
}

ULONG cRegistryRouter::GetLinkBoundPerConnection()
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return std::max(MAX_LINKS_PER_CONNECTION, LINK_ROOM * (mNumberOfParameters + mNumberOfObjects));
}

ULONG cRegistryRouter::GetNumberOfRegisteredParameters()
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mNumberOfParameters;
}

ULONG cRegistryRouter::GetLinksHeldByConnection(UWORD connectionId)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return IsCountedConnection(connectionId) ? mLinksHeldByConnection[connectionId] : 0;
}

void cRegistryRouter::CountLinkHeldByConnection(UWORD connectionId, bool added)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    if (!IsCountedConnection(connectionId))
    {
        return;
    }
    ULONG& held = mLinksHeldByConnection[connectionId];
    if (added)
    {
        ++held;
    }
    else if (held > 0)
    {
        --held;
    }
}

bool cRegistryRouter::TakeLinkRefusalReport(UWORD connectionId)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    if (!IsCountedConnection(connectionId))
    {
        return true;
    }
    const bool first = !mLinkRefusalReported[connectionId];
    mLinkRefusalReported[connectionId] = true;
    return first;
}

ULONG cRegistryRouter::GetNumberOfObjects()
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mNumberOfObjects;
}

ULONG cRegistryRouter::GetNameMapBucketCount()
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    return mNameMap.BucketCount();
}

const char* cRegistryRouter::RegisteredName(KV_NET_DATA_SCALE handle) const
{
    return IsObjectHandle(handle) && mObjects[handle - 1] != nullptr ? mNames[handle - 1] : nullptr;
}

// --- Buffer ---

cKVNetMessage* cRegistryRouter::GetPooledMessage(KV_NET_DATA_SCALE length)
{
    return mPools->GetKVNetMessage(length);
}

void cRegistryRouter::Buffer(const cKVNetMessage& message, bool atFront)
{
    bool reportFull = false;
    {
        std::lock_guard<std::mutex> lock(mBufferLock);
        if (cKVNetMessage* pooled = GetPooledMessage(message.GetLength()))
        {
            *pooled = message;
            if (atFront)
            {
                mBuffer.PushFront(pooled);
            }
            else
            {
                mBuffer.PushBack(pooled);
            }
            mBufferedCount.store(mBuffer.Count());
            CountBuffered(*pooled, true);
            return;
        }
        reportFull = !mPoolsFullReported;
        mPoolsFullReported = true;
    }
    if (reportFull)
    {
        ReportPoolsFull(sHeader{message.mConnectionId, message.mDestination, message.mSource, message.mMethod,
                                message.GetLength()});
    }
}

void cRegistryRouter::ReportPoolsFull(const sHeader& header)
{
    // Runs on the posting thread, which may hold the builder's link-list lock: the registry and
    // link-list locks are only tried here, so this report never waits against the lock order.
    KV_REPORT_ERROR("Message Pools Full, Length: %d,  CID:%d, S:%d, D:%d, M:%d", int(header.mLength),
                    int(header.mConnectionId), int(header.mSource), int(header.mDestination),
                    int(header.mMethod));
    if (TryLockRegistry())
    {
        const char* source = header.mSource != 0 ? RegisteredName(header.mSource) : nullptr;
        if (source != nullptr)
        {
            KV_REPORT_ERROR("Possible Local Source = 0x%X :- \"%s\"", unsigned(header.mSource), source);
        }
        const char* destination = header.mDestination != 0 ? RegisteredName(header.mDestination) : nullptr;
        if (destination != nullptr)
        {
            KV_REPORT_ERROR("Possible Local Destination = 0x%X :- \"%s\"", unsigned(header.mDestination),
                            destination);
        }
        UnlockRegistry();
    }
    if (cSystemBuilder* builder = gSystemBuilder)
    {
        if (builder->IsBusy())
        {
            KV_REPORT_ERROR("SysBuild is busy. Current link is:");
            builder->TryReportCurrentLink();
        }
        KV_REPORT_ERROR("SysBuild LinkPerformance:-  Requested: %lu   Made: %lu   Queued: %lu",
                        static_cast<unsigned long>(builder->GetRequestedCount()),
                        static_cast<unsigned long>(builder->GetMadeCount()),
                        static_cast<unsigned long>(builder->GetQueuedCount()));
    }
}

void cRegistryRouter::CountBuffered(const cKVNetMessage& message, bool added)
{
    const UWORD id = message.mConnectionId;
    if (!IsCountedConnection(id))
    {
        return;
    }
    if (added)
    {
        ++mBufferedFromConnection[id];
        mBufferedBytesFromConnection[id] += message.GetLength();
    }
    else
    {
        --mBufferedFromConnection[id];
        mBufferedBytesFromConnection[id] -= message.GetLength();
    }
}

void cRegistryRouter::GetBufferedFromConnection(UWORD connectionId, ULONG& messages, ULONG& bytes) const
{
    if (!IsCountedConnection(connectionId))
    {
        messages = 0;
        bytes = 0;
        return;
    }
    messages = mBufferedFromConnection[connectionId].load();
    bytes = mBufferedBytesFromConnection[connectionId].load();
}

void cRegistryRouter::AddMessageToMessageBuffer(const cKVNetMessage& message)
{
    Buffer(message, false);
}

void cRegistryRouter::AddMessageToStartOfMessageBuffer(const cKVNetMessage& message)
{
    Buffer(message, true);
}

void cRegistryRouter::AddMessage(const cKVNetMessage& message)
{
    Buffer(message, false);
    WakeSyscallThread();
}

void cRegistryRouter::AddMessageAtStart(const cKVNetMessage& message)
{
    Buffer(message, true);
    WakeSyscallThread();
}

// --- Delivery ---

void cRegistryRouter::ProcessMessageBuffer()
{
    ProcessMessageBuffer(~ULONG(0));
}

ULONG cRegistryRouter::ProcessMessageBuffer(ULONG maxMessages)
{
    ULONG delivered = 0;
    mBufferLock.lock();
    while (delivered < maxMessages && mRunning.load() && !mBuffer.IsEmpty())
    {
        cKVNetMessage* message = mBuffer.PopFront();
        mBufferedCount.store(mBuffer.Count());
        CountBuffered(*message, false);
        mBufferLock.unlock();
        DeliverMessage(*message);
        ++delivered;
        mBufferLock.lock();
        mPools->ReturnKVNetMessage(message);
    }
    mBufferLock.unlock();
    return delivered;
}

void cRegistryRouter::DeliverMessage(cKVNetMessage& message)
{
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    if (message.mConnectionId != KV_NET_LOCAL_CONNECTION && message.mConnectionSerial != 0 &&
        !NetworkConnectionIsCurrent(message.mConnectionId, message.mConnectionSerial))
    {
        // The connection has ended: its links are gone and its id may be another's already.
        if (StoresOrAnswersItsConnection(message))
        {
            return;
        }
        // A change the peer made before it left is carried out, as no connection's: what the
        // object sends back to the message's sender addresses no connection.
        message.mConnectionId = KV_NET_NO_CONNECTION;
        message.mConnectionSerial = 0;
    }
    message.ResetRead();
    if (message.mDestination == 0)
    {
        EntrypointMessage(message);
    }
    else if (IsObjectHandle(message.mDestination))
    {
        if (cNetObject* object = mObjects[message.mDestination - 1])
        {
            object->EntrypointMessage(message);
        }
    }
}

void cRegistryRouter::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mConnectionId != KV_NET_LOCAL_CONNECTION &&
        (message.mMethod == M_REG_TICK || message.mMethod == M_REG_TOCK ||
         message.mMethod == M_TEST_PRINT_MESS_POOLS))
    {
        KV_REPORT_ERROR("Reg EntrypointMessage method 0x%X from connection %d dropped",
                        unsigned(message.mMethod), int(message.mConnectionId));
        return;
    }
    switch (message.mMethod)
    {
    case M_REG_TICK:
        mTickList.Scan([](cNetObject* object) { object->ActionTick(); });
        mReplyMessage.SetLength(0);
        mReplyMessage.mConnectionId = KV_NET_LOCAL_CONNECTION;
        mReplyMessage.mDestination = 0;
        mReplyMessage.mSource = 0;
        mReplyMessage.mMethod = M_REG_TOCK;
        PostMessage(mReplyMessage);
        break;
    case M_REG_FIND_OBJECT:
        FindObject(message);
        break;
    case M_TEST_PRINT_REGISTRY:
    case M_REG_DO_WORK:
        break;
    case M_REG_TOCK:
        mTockList.Scan([](cNetObject* object) { object->ActionTock(); });
        break;
    case M_TEST_PRINT_MESS_POOLS:
        PrintMesspools();
        break;
    default:
        KV_REPORT_ERROR("Reg EntrypointMessage unknown method 0x%X, Message->mSource = 0x%X, "
                        "Message->mConnectionId = 0x%X",
                        unsigned(message.mMethod), unsigned(message.mSource),
                        unsigned(message.mConnectionId));
        break;
    }
}

void cRegistryRouter::FindObject(cKVNetMessage& request)
{
    mReplyMessage.mConnectionId = request.mConnectionId;
    mReplyMessage.mDestination = request.mSource;
    mReplyMessage.mSource = 0;
    mReplyMessage.mMethod = M_REPLY_FAIL;
    mReplyMessage.SetLength(0);

    const char* name = request.GetString(0);
    if (request.GetLength() == 0 || request.HasReadError())
    {
        // Answered as not found, so that the asker does not wait for ever.
        KV_REPORT_ERROR(
            "M_REG_FIND_OBJECT without a NUL-terminated name (%d bytes), Source: 0x%X, ConnId: %d",
            int(request.GetLength()), unsigned(request.mSource), int(request.mConnectionId));
        PostMessage(mReplyMessage);
        return;
    }
    if (const char* slash = std::strchr(name, '/'))
    {
        std::string host(name, std::size_t(slash - name));
        std::string object(slash + 1);
        if (request.mConnectionId != KV_NET_LOCAL_CONNECTION)
        {
            // A peer never makes this unit dial out.
            KV_REPORT_ERROR("M_REG_FIND_OBJECT of \"%s\" from connection %d refused", name,
                            int(request.mConnectionId));
            PostMessage(mReplyMessage);
            return;
        }
        UWORD connectionId = ConnectToHostForFind(host);
        if (connectionId != KV_NET_NO_CONNECTION)
        {
            request.mConnectionId = connectionId;
            request.SetLength(UWORD(object.size() + 1));
            std::memcpy(request.Data(), object.c_str(), object.size() + 1);
            NetworkSendMessage(request);
            return;
        }
    }
    else if (cNetObject* found = mNameMap.Find(name))
    {
        mReplyMessage.mMethod = M_REPLY_OK;
        if (NetworkConnectionUsesV2(request.mConnectionId))
        {
            mReplyMessage.SetLength(4);
            mReplyMessage.SetULONG(found->GetHandle(), 0);
        }
        else
        {
            mReplyMessage.SetLength(2);
            mReplyMessage.SetUWORD(found->GetHandle(), 0);
        }
    }
    PostMessage(mReplyMessage);
}

UWORD cRegistryRouter::ConnectToHostForFind(const std::string& host)
{
    if (mRegistryLock.HeldByThisThread() != 1)
    {
        // The lock cannot be let go of here: only a connection that exists is used.
        cNetworkConnectionInterface* network = GetNetworkConnection();
        return network != nullptr ? network->FindConnectionByHost(host) : KV_NET_NO_CONNECTION;
    }
    // A connect attempt waits for other threads: never under the registry lock.
    mRegistryLock.unlock();
    const UWORD connectionId = NetworkConnectToHost(host.c_str());
    mRegistryLock.lock();
    return connectionId;
}

void cRegistryRouter::PrintMesspools()
{
    std::vector<sBufferedMessageInfo> messages;
    {
        std::lock_guard<std::mutex> lock(mBufferLock);
        messages.reserve(mBuffer.Count());
        for (ULONG i = 0; i < mBuffer.Count(); ++i)
        {
            const cKVNetMessage* m = mBuffer.At(i);
            messages.push_back({m->mConnectionId, m->mDestination, m->mSource, m->mMethod, m->GetLength()});
        }
    }
    std::lock_guard<cRegistryLock> lock(mRegistryLock);
    bool written = AppendMesspools(MESSPOOLS_FILE, messages,
                                   [this](KV_NET_DATA_SCALE handle) { return RegisteredName(handle); });
    if (!written)
    {
        KV_REPORT_ERROR("Could not open Messpools.txt for writing");
    }
}
