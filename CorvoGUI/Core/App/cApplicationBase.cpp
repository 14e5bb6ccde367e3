#include "CorvoGUI/Core/App/cApplicationBase.h"

#include "CorvoGUI/Core/App/cUnixSignalManager.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cSyscallThread.h"

cApplicationBase::cApplicationBase()
    : QObject(nullptr)
    , mSignalManager(new cUnixSignalManager())
{
}

cApplicationBase::~cApplicationBase()
{
    DeleteActionTickThread();
    DeleteSyscallThread();
    delete mSignalManager;
    mSignalManager = nullptr;
}

void cApplicationBase::CreateActionTickThread()
{
    if (mActionTickDriver == nullptr)
    {
        mActionTickDriver = new cActionTickDriver(this);
    }
}

void cApplicationBase::StartActionTickThread()
{
    if (mActionTickDriver != nullptr)
    {
        mActionTickDriver->StartThread();
    }
}

void cApplicationBase::DeleteActionTickThread()
{
    delete mActionTickDriver;
    mActionTickDriver = nullptr;
}

void cApplicationBase::CreateSyscallThread()
{
    if (mSyscallThread == nullptr)
    {
        mSyscallThread = new cSyscallThread();
    }
}

void cApplicationBase::StartSyscallThread()
{
    if (mSyscallThread != nullptr)
    {
        mSyscallThread->StartThread();
    }
}

void cApplicationBase::StopSyscallThread()
{
    if (mSyscallThread != nullptr)
    {
        mSyscallThread->StopThread();
    }
}

void cApplicationBase::DeleteSyscallThread()
{
    delete mSyscallThread;
    mSyscallThread = nullptr;
}
