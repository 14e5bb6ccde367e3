#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Chooses the system builder's reaction when a connection goes away (see cSystemBuilder).
// Called on the thread that takes the connection down, under the registry lock.
class cConnectionLossPolicy
{
public:
    virtual ~cConnectionLossPolicy() = default;
    virtual ULONG GetConnectionLossPolicy(UWORD connectionId, bool flag) = 0;
};
