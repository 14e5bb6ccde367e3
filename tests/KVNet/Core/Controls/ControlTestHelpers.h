#pragma once

// Small helpers for driving control objects through the framework in tests (the test thread
// stands in for the syscall thread through cMessagePump).

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cNetObject.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"

#include <QByteArray>
#include <QList>

#include <initializer_list>

namespace nControlTest
{

inline QByteArray Bytes(std::initializer_list<int> bytes)
{
    QByteArray result;
    for (int b : bytes)
    {
        result.append(char(b & 0xFF));
    }
    return result;
}

inline QByteArray Word(int value)
{
    return Bytes({(value >> 8) & 0xFF, value & 0xFF});
}

// A message from one object to another, as if a link had sent it; delivered by the next pump.
inline void PostFrom(const cNetObject& from, const cNetObject& to, UWORD method, const QByteArray& payload)
{
    cKVNetMessage message(UWORD(payload.size()));
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = to.GetHandle();
    message.mSource = from.GetHandle();
    message.mMethod = method;
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    PostMessage(message);
}

// sourceMethod of source informs targetMethod of target (without sync), then pumps.
inline void Link(cNetObject& source, UWORD sourceMethod, const cNetObject& target, UWORD targetMethod)
{
    source.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, target.GetHandle(), targetMethod, sourceMethod, 0,
                                 0, true);
    cMessagePump::Pump();
}

// Payloads a recorder received on one method, in order.
inline QList<QByteArray> Payloads(const cRecordingNetObject& recorder, UWORD method)
{
    QList<QByteArray> result;
    for (const cRecordingNetObject::sReceived& received : recorder.Received())
    {
        if (received.mMethod == method)
        {
            result.append(received.mPayload);
        }
    }
    return result;
}

} // namespace nControlTest
