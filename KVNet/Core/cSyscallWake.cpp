#include "KVNet/Core/cSyscallWake.h"

cSyscallWake& cSyscallWake::Instance()
{
    static cSyscallWake wake;
    return wake;
}

void cSyscallWake::Wake()
{
    if (mWaiting.load())
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mCondition.notify_all();
    }
}
