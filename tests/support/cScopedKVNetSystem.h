#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Starts the framework (router, and the system builder when asked) for the lifetime of a test
// and deletes it afterwards.
class cScopedKVNetSystem
{
public:
    explicit cScopedKVNetSystem(bool createSystemBuilder = true, ULONG connectionLossPolicy = 0);
    ~cScopedKVNetSystem();
    cScopedKVNetSystem(const cScopedKVNetSystem&) = delete;
    cScopedKVNetSystem& operator=(const cScopedKVNetSystem&) = delete;
};
