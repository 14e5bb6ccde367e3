#include "KVNet/Core/cDynamicKVNetMessPool.h"

#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cDynamicKVNetMessPool::cDynamicKVNetMessPool(ULONG byteCap)
    : mByteCap(byteCap)
{
}

cKVNetMessage* cDynamicKVNetMessPool::GetKVNetMessage(KV_NET_DATA_SCALE length)
{
    if (mByteCap != 0 && mBytesOut >= mByteCap)
    {
        KV_REPORT_ERROR("Heap Memory Cap Reached");
        return nullptr;
    }
    mBytesOut += length;
    return new cKVNetMessage(length);
}

void cDynamicKVNetMessPool::ReturnKVNetMessage(cKVNetMessage* message)
{
    if (message == nullptr)
    {
        return;
    }
    ULONG length = message->GetLength();
    mBytesOut = length < mBytesOut ? mBytesOut - length : 0;
    delete message;
}
