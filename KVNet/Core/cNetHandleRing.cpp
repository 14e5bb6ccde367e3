#include "KVNet/Core/cNetHandleRing.h"

#include "KVNet/QT/Trace/KVNetReports.h"

cNetHandleRing::cNetHandleRing()
{
    for (ULONG i = 0; i < SIZE; ++i)
    {
        mRing[i] = KV_NET_DATA_SCALE(i + 1);
    }
}

KV_NET_DATA_SCALE cNetHandleRing::TakeHandle()
{
    ULONG next = Next(mSlotsHead);
    if (next == mTail)
    {
        KV_REPORT_ERROR("Not enough handles available! *mSlotsHead = %d", int(mRing[mSlotsHead]));
        return KV_NET_NO_HANDLE;
    }
    KV_NET_DATA_SCALE handle = mRing[mSlotsHead];
    mSlotsHead = next;
    return handle;
}

void cNetHandleRing::ReleaseHandle(KV_NET_DATA_SCALE handle)
{
    if (mTail == mSlotsHead)
    {
        KV_REPORT_ERROR("There are no used handles to release!");
        return;
    }
    mRing[mTail] = handle;
    mTail = Next(mTail);
}
