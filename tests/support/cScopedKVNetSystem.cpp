#include "tests/support/cScopedKVNetSystem.h"

#include "KVNet/Core/KVNetSystem.h"

cScopedKVNetSystem::cScopedKVNetSystem(bool createSystemBuilder, ULONG connectionLossPolicy)
{
    StartSystem(connectionLossPolicy, createSystemBuilder);
}

cScopedKVNetSystem::~cScopedKVNetSystem()
{
    DeleteSystem();
}
