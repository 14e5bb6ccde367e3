#include "KVNet/Core/cSystemBuilder.h"

#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cConnectionLossPolicy.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstring>

namespace
{

struct sTransition
{
    cSystemBuilder::eSystemBuilderState mNext;
    cSystemBuilder::eSystemBuilderAction mAction;
};

// [state][event]
constexpr sTransition TRANSITIONS[3][3] = {
    {{cSystemBuilder::IDLE, cSystemBuilder::ACTION_ERROR},
     {cSystemBuilder::IDLE, cSystemBuilder::ACTION_ERROR},
     {cSystemBuilder::SEEKING_SOURCE, cSystemBuilder::ACTION_FIND_SOURCE}},
    {{cSystemBuilder::SEEKING_DESTINATION, cSystemBuilder::ACTION_SOURCE_FOUND},
     {cSystemBuilder::SEEKING_SOURCE, cSystemBuilder::ACTION_FIND_SOURCE},
     {cSystemBuilder::SEEKING_SOURCE, cSystemBuilder::ACTION_FIND_SOURCE}},
    {{cSystemBuilder::IDLE, cSystemBuilder::ACTION_MAKE_LINK},
     {cSystemBuilder::SEEKING_DESTINATION, cSystemBuilder::ACTION_FIND_DESTINATION},
     {cSystemBuilder::SEEKING_SOURCE, cSystemBuilder::ACTION_FIND_SOURCE}},
};

const char* TrueFalse(bool value)
{
    return value ? "True" : "False";
}

// The host part of a path: the text before '/', or the whole path.
bool HostPartEquals(const char* path, const char* host)
{
    const char* slash = std::strchr(path, '/');
    std::size_t length = slash != nullptr ? std::size_t(slash - path) : std::strlen(path);
    return std::strlen(host) == length && std::strncmp(path, host, length) == 0;
}

} // namespace

cSystemBuilder::cSystemBuilder(const char* name, KV_NET_DATA_SCALE numberOfParameters, UWORD cacheSize,
                               ULONG connectionLossPolicy, cConnectionLossPolicy* policyObject)
    : cSeekObject(name, numberOfParameters, true, cacheSize)
    , mConnectionLossPolicy(connectionLossPolicy)
    , mPolicyObject(policyObject)
{
}

cSystemBuilder::~cSystemBuilder()
{
    Unregister();
    ClearLinkList();
}

cSystemBuilder::eSystemBuilderState cSystemBuilder::GetState()
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    return mState;
}

void cSystemBuilder::SetBusy()
{
    mBusy.store(true);
}

void cSystemBuilder::ClearBusy()
{
    mBusy.store(false);
}

void cSystemBuilder::AddLinkCommandToList(const sParameterLinkingCommand& command, bool bidirect)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    ++mQueued;
    ++mRequested;
    bool wasEmpty = mQueue.empty();
    mQueue.push_back(command);
    sParameterLinkingCommand& queued = mQueue.back();
    queued.mBidirect = bidirect;
    queued.mSourcePath[sParameterLinkingCommand::PATH_SIZE - 1] = '\0';
    queued.mDestinationPath[sParameterLinkingCommand::PATH_SIZE - 1] = '\0';
    if (!wasEmpty)
    {
        return;
    }
    if (mState != IDLE)
    {
        KV_REPORT_ERROR("Empty linking list but not idle");
        return;
    }
    ClearSeekCache(KV_NET_NO_CONNECTION);
    SetBusy();
    ProcessEvent(EVENT_NEXT_LINK, KV_NET_NO_CONNECTION, KV_NET_NO_HANDLE);
}

void cSystemBuilder::ClearLinkList()
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    mQueue.clear();
    ++mGeneration;
    mQueued.store(0);
    mState = IDLE;
    mSourceConnectionId = KV_NET_NO_CONNECTION;
    mSourceHandle = KV_NET_NO_HANDLE;
    mDestinationConnectionId = KV_NET_NO_CONNECTION;
    mDestinationHandle = KV_NET_NO_HANDLE;
    ClearBusy();
    mSearching = false;
    mRetryPending = false;
    mNotFoundReported = false;
    mLostConnections.clear();
}

void cSystemBuilder::ReportCurrentLinkAsAnError()
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (mQueue.empty())
    {
        return;
    }
    const sParameterLinkingCommand& c = mQueue.front();
    KV_REPORT_ERROR("mSourcePath = \"%s\", mDestinationPath = \"%s\"", c.mSourcePath, c.mDestinationPath);
    KV_REPORT_ERROR("SourceParam: %d,  DestParam: %d,  Remove: %s,  Sync: %s,  Bidirect: %s,  DataGram: %s,",
                    int(c.mSourceParam), int(c.mDestParam), TrueFalse(c.mRemove), TrueFalse(c.mSync),
                    TrueFalse(c.mBidirect), TrueFalse(c.mDataGram));
}

bool cSystemBuilder::TryReportCurrentLink()
{
    if (!mLinkListLock.try_lock())
    {
        KV_REPORT_ERROR("Current link not available: the system builder is working on another thread");
        return false;
    }
    ReportCurrentLinkAsAnError();
    mLinkListLock.unlock();
    return true;
}

bool cSystemBuilder::CopyCurrentLink(sParameterLinkingCommand& command)
{
    cRegistryLocker registry;
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (mQueue.empty())
    {
        return false;
    }
    command = mQueue.front();
    return true;
}

void cSystemBuilder::EntrypointMessage(cKVNetMessage& message)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    cSeekObject::EntrypointMessage(message);
}

void cSystemBuilder::ActionTick()
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (!mRetryPending || mQueue.empty())
    {
        return;
    }
    mRetryPending = false;
    if (mState == SEEKING_SOURCE)
    {
        SeekIfIdle(mQueue.front().mSourcePath);
    }
    else if (mState == SEEKING_DESTINATION)
    {
        SeekIfIdle(mQueue.front().mDestinationPath);
    }
}

void cSystemBuilder::ProcessEvent(eSystemBuilderEvent event, UWORD connectionId, KV_NET_DATA_SCALE handle)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (unsigned(event) > EVENT_NEXT_LINK || unsigned(mState) > SEEKING_DESTINATION)
    {
        KV_REPORT_ERROR("Unhandle action in system builder, %d", int(event));
        return;
    }
    const sTransition& transition = TRANSITIONS[mState][event];
    mState = transition.mNext;
    bool needsCommand = transition.mAction != ACTION_NONE && transition.mAction != ACTION_ERROR;
    if (needsCommand && mQueue.empty())
    {
        mState = IDLE;
        return;
    }
    switch (transition.mAction)
    {
    case ACTION_NONE:
        break;
    case ACTION_ERROR:
        KV_REPORT_ERROR("ACTION_ERROR");
        break;
    case ACTION_FIND_SOURCE:
        FindPath(mQueue.front().mSourcePath, event == EVENT_NOT_FOUND);
        break;
    case ACTION_SOURCE_FOUND:
        mSourceConnectionId = connectionId;
        mSourceHandle = handle;
        FindPath(mQueue.front().mDestinationPath, false);
        break;
    case ACTION_FIND_DESTINATION:
        FindPath(mQueue.front().mDestinationPath, event == EVENT_NOT_FOUND);
        break;
    case ACTION_MAKE_LINK:
        mDestinationConnectionId = connectionId;
        mDestinationHandle = handle;
        MakeLink();
        --mQueued;
        ++mMade;
        NextCommand();
        break;
    default:
        KV_REPORT_ERROR("Unhandle action in system builder, %d", int(transition.mAction));
        break;
    }
}

void cSystemBuilder::FindPath(const char* path, bool retry)
{
    UWORD lostConnection = KV_NET_NO_CONNECTION;
    if (!mLostConnections.empty() && HeadInvolvesLostConnection(lostConnection))
    {
        mSearching = false;
        ObjectNotFound(path, lostConnection, KV_NET_NO_HANDLE, true);
        return;
    }
    if (retry)
    {
        // Sought again on the next action tick, so that a missing object costs one find per tick.
        mRetryPending = true;
        return;
    }
    SeekIfIdle(path);
}

void cSystemBuilder::SeekResult(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (handle == KV_NET_NO_HANDLE)
    {
        ObjectNotFound(name, connectionId, KV_NET_NO_HANDLE, false);
        return;
    }
    ProcessEvent(EVENT_FOUND, connectionId, handle);
}

void cSystemBuilder::ObjectNotFound(const char* name, UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    bool silent)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    if (mQueue.empty())
    {
        return;
    }
    sParameterLinkingCommand& command = mQueue.front();
    if (command.mCompletionCallback)
    {
        ULONG generation = mGeneration;
        command.mCompletionCallback(&command, connectionId, handle);
        if (generation != mGeneration)
        {
            return;
        }
    }
    else if (!silent)
    {
        if (!mNotFoundReported)
        {
            KV_REPORT_ERROR("Can't find = \"%s\"", name != nullptr ? name : "");
            ReportCurrentLinkAsAnError();
            mNotFoundReported = true;
        }
        if (!command.mRemove)
        {
            ProcessEvent(EVENT_NOT_FOUND, connectionId, handle);
            return;
        }
    }
    Abandon();
}

void cSystemBuilder::Abandon()
{
    --mQueued;
    ++mMade;
    mState = IDLE;
    NextCommand();
}

void cSystemBuilder::NextCommand()
{
    if (!mQueue.empty())
    {
        mQueue.pop_front();
    }
    mNotFoundReported = false;
    mRetryPending = false;
    if (mAdvancing)
    {
        // Inside the loop below (a command given up while the next one started): it goes on.
        mAdvanceRequested = true;
        return;
    }
    mAdvancing = true;
    do
    {
        mAdvanceRequested = false;
        if (mQueue.empty())
        {
            ClearBusy();
            break;
        }
        ProcessEvent(EVENT_NEXT_LINK, KV_NET_NO_CONNECTION, KV_NET_NO_HANDLE);
    } while (mAdvanceRequested);
    mAdvancing = false;
}

void cSystemBuilder::MakeLink()
{
    const sParameterLinkingCommand& c = mQueue.front();
    const UWORD method =
        c.mRemove ? UWORD(M_OBJECT_REMOVE_FROM_INFORM_LIST) : UWORD(M_OBJECT_ADD_TO_INFORM_LIST);
    const bool withFlags = !c.mRemove;
    const UBYTE datagram = c.mDataGram ? 1 : 0;
    SendLinkMessage(method, mSourceConnectionId, mSourceHandle, mDestinationConnectionId, mDestinationHandle,
                    c.mDestParam, c.mSourceParam, withFlags, datagram, c.mSync ? 1 : 0);
    if (c.mBidirect)
    {
        SendLinkMessage(method, mDestinationConnectionId, mDestinationHandle, mSourceConnectionId,
                        mSourceHandle, c.mSourceParam, c.mDestParam, withFlags, datagram, 0);
    }
}

void cSystemBuilder::SendLinkMessage(UWORD method, UWORD toConnection, KV_NET_DATA_SCALE toHandle,
                                     UWORD connectionId, KV_NET_DATA_SCALE handle, UWORD targetMethod,
                                     UWORD ownMethod, bool withFlags, UBYTE datagram, UBYTE sync)
{
    const bool v2 = NetworkConnectionUsesV2(toConnection);
    cKVNetMessage& m = mControlMessage;
    m.mConnectionId = toConnection;
    m.mDestination = toHandle;
    m.mMethod = method;
    m.SetLength(0);
    m.AppendUWORD(connectionId);
    if (v2)
    {
        m.AppendULONG(handle);
        m.AppendULONG(targetMethod);
        m.AppendULONG(ownMethod);
    }
    else
    {
        m.AppendUWORD(handle);
        m.AppendUWORD(targetMethod);
        m.AppendUWORD(ownMethod);
    }
    if (withFlags)
    {
        m.AppendUBYTE(datagram);
        m.AppendUBYTE(sync);
    }
    PostMessage(m);
}

bool cSystemBuilder::HeadInvolvesLostConnection(UWORD& connectionId) const
{
    if (mQueue.empty())
    {
        return false;
    }
    const sParameterLinkingCommand& c = mQueue.front();
    for (const sLostConnection& lost : mLostConnections)
    {
        if (HostPartEquals(c.mSourcePath, lost.mName) || HostPartEquals(c.mDestinationPath, lost.mName))
        {
            connectionId = lost.mConnectionId;
            return true;
        }
    }
    return false;
}

void cSystemBuilder::RemoveConnectionLinks(UWORD connectionId, bool flag)
{
    std::lock_guard<std::recursive_mutex> lock(mLinkListLock);
    cSeekObject::RemoveConnectionLinks(connectionId, flag);
    ULONG policy = mPolicyObject != nullptr ? mPolicyObject->GetConnectionLossPolicy(connectionId, flag)
                                            : mConnectionLossPolicy;
    sLostConnection lost{};
    std::string host = NetworkGetHostName(connectionId);
    std::size_t length = std::min(host.size(), sizeof lost.mName - 1);
    std::memcpy(lost.mName, host.data(), length);
    lost.mName[length] = '\0';
    lost.mConnectionId = connectionId;
    mLostConnections.push_back(lost);

    if (policy == POLICY_ABANDON_LINK)
    {
        UWORD lostConnection = KV_NET_NO_CONNECTION;
        if (HeadInvolvesLostConnection(lostConnection))
        {
            mSearching = false;
            ObjectNotFound(mQueue.front().mSourcePath, connectionId, KV_NET_NO_HANDLE, true);
        }
    }
    else if (policy == POLICY_CLEAR_LIST)
    {
        ClearLinkList();
    }
    mLostConnections.clear();
}
