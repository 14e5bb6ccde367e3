#include "KVNet/Core/KVNetSystem.h"

#include "KVNet/Core/KVNetNetworkCalls.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cPostMessageHook.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSyscallWake.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <atomic>

cRegistryRouter* gRegistryRouter = nullptr;
cSystemBuilder* gSystemBuilder = nullptr;

namespace
{

std::atomic<bool> gSystemRunning{false};
std::atomic<cPostMessageHook*> gPostMessageHook{nullptr};
std::atomic<tNetworkConnectionStarter> gNetworkConnectionStarter{nullptr};

constexpr const char* SYSTEM_BUILDER_NAME = "KVNet System Builder";
constexpr UWORD SYSTEM_BUILDER_CACHE_SIZE = 10;

} // namespace

void SetNetworkConnectionStarter(tNetworkConnectionStarter starter)
{
    gNetworkConnectionStarter.store(starter);
}

void StartSystem(ULONG connectionLossPolicy, bool createSystemBuilder)
{
    if (gRegistryRouter != nullptr)
    {
        KV_REPORT_ERROR("StartSystem called while the system is started");
        return;
    }
    gRegistryRouter = new cRegistryRouter();
    if (createSystemBuilder)
    {
        gSystemBuilder = new cSystemBuilder(SYSTEM_BUILDER_NAME, 0, SYSTEM_BUILDER_CACHE_SIZE,
                                            connectionLossPolicy, nullptr);
    }
    if (tNetworkConnectionStarter starter = gNetworkConnectionStarter.load())
    {
        starter();
    }
}

void DeleteSystem()
{
    if (gSystemBuilder != nullptr)
    {
        delete gSystemBuilder;
        gSystemBuilder = nullptr;
    }
    if (gRegistryRouter != nullptr)
    {
        delete gRegistryRouter;
        gRegistryRouter = nullptr;
    }
}

void SetSystemBuilder(cSystemBuilder* builder)
{
    if (gSystemBuilder != nullptr)
    {
        KV_REPORT_ERROR("SystemBuilder allready set!");
        return;
    }
    gSystemBuilder = builder;
}

bool IsSystemRunning()
{
    return gSystemRunning.load();
}

void SetSystemRunning(bool running)
{
    gSystemRunning.store(running);
}

void PostMessage(cKVNetMessage& message)
{
    if (cPostMessageHook* hook = gPostMessageHook.load())
    {
        if (hook->PostMessageHook(message))
        {
            return;
        }
    }
    if (message.mConnectionId != KV_NET_LOCAL_CONNECTION)
    {
        NetworkSendMessage(message);
        return;
    }
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->AddMessage(message);
        return;
    }
    KV_REPORT_ERROR("No registry router: message to 0x%X, method 0x%X dropped",
                    unsigned(message.mDestination), unsigned(message.mMethod));
}

void PostMessageViaUDP(cKVNetMessage& message)
{
    if (message.mConnectionId != KV_NET_LOCAL_CONNECTION)
    {
        NetworkSendMessageUDP(message);
        return;
    }
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->AddMessage(message);
        return;
    }
    KV_REPORT_ERROR("No registry router: message to 0x%X, method 0x%X dropped",
                    unsigned(message.mDestination), unsigned(message.mMethod));
}

void SetPostMessageHook(cPostMessageHook* hook)
{
    gPostMessageHook.store(hook);
}

void LockRegistry()
{
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->LockRegistry();
    }
}

void UnlockRegistry()
{
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->UnlockRegistry();
    }
}

ULONG GetMessageBufferCount()
{
    cRegistryRouter* router = gRegistryRouter;
    return router != nullptr ? router->GetMessageBufferCount() : 0;
}

void WakeSyscallThread()
{
    cSyscallWake::Instance().Wake();
}

cRegistryLocker::cRegistryLocker()
    : mRouter(gRegistryRouter)
{
    if (mRouter != nullptr)
    {
        mRouter->LockRegistry();
    }
}

cRegistryLocker::~cRegistryLocker()
{
    if (mRouter != nullptr)
    {
        mRouter->UnlockRegistry();
    }
}
