#pragma once

// Helpers for the QML driver tests: the drivers run against real control objects, with the test
// thread standing in for both the GUI thread and the syscall thread (cMessagePump).

#include "KVNet/Core/cRegistryRouter.h"
#include "tests/KVNet/Core/Controls/ControlTestHelpers.h"

#include <QStringList>

#include <atomic>

namespace nDriverTest
{

using namespace nControlTest;

// Entries of a signal log that start with one of the names.
inline QStringList Only(const QStringList& entries, const QStringList& names)
{
    QStringList result;
    for (const QString& entry : entries)
    {
        for (const QString& name : names)
        {
            if (entry.startsWith(name + "("))
            {
                result.append(entry);
            }
        }
    }
    return result;
}

inline bool IsRegistered(const char* name)
{
    return gRegistryRouter->FindHandleByName(name) != KV_NET_NO_HANDLE;
}

// A unit with one switch parameter (4096, one byte), as the device model's switches are: it keeps
// the byte it receives and passes it on to its other links, answers a sync-up with it, and Set
// changes it as the unit's own change (on the syscall thread, under the registry lock, or on the test
// thread under cMessagePump).
class cSwitchUnit : public cNetObject
{
public:
    explicit cSwitchUnit(const char* name)
        : cNetObject(name, 1, false, false)
    {
    }
    ~cSwitchUnit() override { Unregister(); }

    void EntrypointMessage(cKVNetMessage& message) override
    {
        if (message.mMethod != PARAMETER_BASE)
        {
            cNetObject::EntrypointMessage(message);
            return;
        }
        mValue.store(message.GetUBYTE(0));
        SendToInformList(message);
    }

    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE) override
    {
        Send(connectionId, handle, destinationMethod);
        PostMessage(mControlMessage);
    }

    void Set(UBYTE value)
    {
        mValue.store(value);
        Send(KV_NET_NO_CONNECTION, KV_NET_NO_HANDLE, PARAMETER_BASE);
        SendToInformList(mControlMessage);
    }

    // Any thread.
    UBYTE Value() const { return mValue.load(); }

private:
    void Send(UWORD connectionId, KV_NET_DATA_SCALE handle, UWORD method)
    {
        mControlMessage.mConnectionId = connectionId;
        mControlMessage.mDestination = handle;
        mControlMessage.mMethod = method;
        mControlMessage.SetLength(1);
        mControlMessage.SetUBYTE(mValue.load(), 0);
    }

    std::atomic<UBYTE> mValue{0};
};

} // namespace nDriverTest
