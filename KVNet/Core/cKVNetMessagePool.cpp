#include "KVNet/Core/cKVNetMessagePool.h"

#include "KVNet/Core/cDynamicKVNetMessPool.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cStaticKVNetMessPool.h"

cKVNetMessagePool::cKVNetMessagePool()
    : mSmall(new cStaticKVNetMessPool(SMALL_MESSAGE_SIZE, 1000, 0, 1000))
    , mMedium(new cStaticKVNetMessPool(MEDIUM_MESSAGE_SIZE, 100, 0, 100))
    , mLarge(new cDynamicKVNetMessPool(0))
{
}

cKVNetMessagePool::~cKVNetMessagePool()
{
    delete mLarge;
    delete mMedium;
    delete mSmall;
}

cKVNetMessage* cKVNetMessagePool::GetKVNetMessage(KV_NET_DATA_SCALE length)
{
    if (length <= SMALL_MESSAGE_SIZE)
    {
        return mSmall->GetKVNetMessage();
    }
    if (length > MEDIUM_MESSAGE_SIZE)
    {
        return mLarge->GetKVNetMessage(length);
    }
    return mMedium->GetKVNetMessage();
}

void cKVNetMessagePool::ReturnKVNetMessage(cKVNetMessage* message)
{
    if (message == nullptr)
    {
        return;
    }
    UWORD length = message->GetLength();
    if (length <= SMALL_MESSAGE_SIZE)
    {
        mSmall->ReturnKVNetMessage(message);
    }
    else if (length > MEDIUM_MESSAGE_SIZE)
    {
        mLarge->ReturnKVNetMessage(message);
    }
    else
    {
        mMedium->ReturnKVNetMessage(message);
    }
}
