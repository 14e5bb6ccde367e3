#include "tests/support/cMessagePump.h"

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cRegistryRouter.h"

ULONG cMessagePump::Pump(ULONG limit)
{
    cRegistryRouter* router = gRegistryRouter;
    return router != nullptr ? router->ProcessMessageBuffer(limit) : 0;
}

ULONG cMessagePump::Tick(int ticks, ULONG limit)
{
    ULONG delivered = 0;
    for (int i = 0; i < ticks; ++i)
    {
        cKVNetMessage tick(0);
        tick.mConnectionId = KV_NET_LOCAL_CONNECTION;
        tick.mDestination = 0;
        tick.mMethod = M_REG_TICK;
        PostMessage(tick);
        delivered += Pump(limit);
    }
    return delivered;
}

ULONG cMessagePump::Buffered()
{
    return GetMessageBufferCount();
}
