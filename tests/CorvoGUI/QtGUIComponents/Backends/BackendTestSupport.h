#pragma once

// Helpers for the back-end tests: finding the objects the links join, and telling whether an
// operation waits for the registry lock.

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cMessagePump.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace nBackendTest
{

// The registered object of that name; null when there is none.
inline cNetObject* Object(const char* name)
{
    const KV_NET_DATA_SCALE handle = gRegistryRouter->FindHandleByName(name);
    return handle == KV_NET_NO_HANDLE ? nullptr : gRegistryRouter->GetObject(handle);
}

// True when parameter fromParam of the object `from` informs parameter toParam of the object `to`
// (a local link). The inform list is left as it was found.
inline bool Informs(const char* from, UWORD fromParam, const char* to, UWORD toParam)
{
    cRegistryLocker lock;
    cNetObject* source = Object(from);
    const cNetObject* target = Object(to);
    if (source == nullptr || target == nullptr ||
        !source->RemoveObjectFromInformList(KV_NET_LOCAL_CONNECTION, target->GetHandle(), toParam, fromParam,
                                            false))
    {
        return false;
    }
    source->AddObjectToInformList(KV_NET_LOCAL_CONNECTION, target->GetHandle(), toParam, fromParam, 0, 0,
                                  false);
    return true;
}

// Entries on the inform list of one parameter of the named object; -1 when there is no such object.
inline int InformCount(const char* name, UWORD parameter)
{
    cRegistryLocker lock;
    const cNetObject* object = Object(name);
    return object != nullptr ? int(object->GetNumberOfInformListItems(parameter)) : -1;
}

// Ticks (messages delivered by the message pump) until the system builder has made every queued
// link and no message is left.
inline bool SettleLinks(int maxTicks = 500)
{
    for (int i = 0; i < maxTicks; ++i)
    {
        cMessagePump::Tick();
        if (gSystemBuilder->GetQueuedCount() == 0 && !gSystemBuilder->IsBusy() &&
            cMessagePump::Buffered() == 0)
        {
            return true;
        }
    }
    return false;
}

// Runs the action on another thread while this thread holds the registry lock: true when the action
// waits for the lock (it has not finished 100 ms later) and finishes once the lock is released.
inline bool WaitsForTheRegistryLock(const std::function<void()>& action)
{
    std::atomic<bool> done{false};
    LockRegistry();
    std::thread worker(
        [&]
        {
            action();
            done.store(true);
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const bool waited = !done.load();
    UnlockRegistry();
    worker.join();
    return waited && done.load();
}

} // namespace nBackendTest
