#include "KVNet/Core/cSyscallThread.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSyscallWake.h"
#include "KVNet/Core/cSystemBuilder.h"

cSyscallThread::cSyscallThread()
{
    setObjectName("SyscallThread");
}

cSyscallThread::~cSyscallThread()
{
    StopThread();
}

void cSyscallThread::StartThread()
{
    if (mRunning.load())
    {
        return;
    }
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->SetRunning(true);
    }
    mRunning.store(true);
    mFinished.store(false);
    start(QThread::NormalPriority);
}

void cSyscallThread::StopThread()
{
    cSyscallWake::Instance().ChangeAndWake(
        [this]
        {
            mRunning.store(false);
            if (cRegistryRouter* router = gRegistryRouter)
            {
                router->SetRunning(false);
            }
        });
    wait();
    (void)mFinished.load(std::memory_order_acquire);
    if (cSystemBuilder* builder = gSystemBuilder)
    {
        builder->ClearLinkList();
    }
}

void cSyscallThread::run()
{
    cRegistryRouter* router = gRegistryRouter;
    if (!mRunning.load() || router == nullptr)
    {
        mFinished.store(true, std::memory_order_release);
        return;
    }
    cSyscallWake& wake = cSyscallWake::Instance();
    while (mRunning.load())
    {
        router->ProcessMessageBuffer();
        // Also waits while the router does not deliver (its running flag clear), instead of spinning.
        wake.WaitWhile(
            [this, router]
            { return mRunning.load() && (router->GetMessageBufferCount() == 0 || !router->IsRunning()); });
    }
    mFinished.store(true, std::memory_order_release);
}
