#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Delivers the registry router's buffered messages on the calling thread, standing in for the
// syscall thread, so that tests run message flows deterministically. Needs a started system
// (gRegistryRouter) whose router is running, and no syscall thread running at the same time.
class cMessagePump
{
public:
    static constexpr ULONG DEFAULT_LIMIT = 100000;

    // Delivers until the buffer is empty or limit messages have been delivered (messages posted
    // meanwhile included); returns the number delivered.
    static ULONG Pump(ULONG limit = DEFAULT_LIMIT);
    // Posts a router tick (M_REG_TICK) and pumps, ticks times; the tock of each tick is
    // delivered in its pump. Returns the number of messages delivered.
    static ULONG Tick(int ticks = 1, ULONG limit = DEFAULT_LIMIT);
    static ULONG Buffered();
};
