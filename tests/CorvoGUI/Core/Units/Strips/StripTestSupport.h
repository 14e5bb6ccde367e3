#pragma once

// Test support for the control strips: posting parameter values to a unit, the device's strip
// records as bytes, and draining the serial link.

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"
#include "tests/support/cMessagePump.h"

#include <QByteArray>
#include <QList>

namespace nStripTest
{

// The gain code of a gain in 1/256 dB, as the faders send it (minus infinity is code 0).
inline UWORD GainCode(int gain)
{
    return gain <= GAIN_MINUS_INFINITY ? UWORD(0) : UWORD(gain + 32768);
}

// Posts a parameter message (local connection) from source to the unit and delivers it.
inline void PostBytes(KV_NET_DATA_SCALE unit, UWORD method, const QByteArray& payload,
                      KV_NET_DATA_SCALE source = KV_NET_NO_HANDLE)
{
    cKVNetMessage message;
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = unit;
    message.mSource = source;
    message.mMethod = method;
    message.SetLength(UWORD(payload.size()));
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    PostMessage(message);
    cMessagePump::Pump();
}

inline void PostUBYTE(KV_NET_DATA_SCALE unit, UWORD method, UBYTE value,
                      KV_NET_DATA_SCALE source = KV_NET_NO_HANDLE)
{
    PostBytes(unit, method, QByteArray(1, char(value)), source);
}

inline void PostUWORD(KV_NET_DATA_SCALE unit, UWORD method, UWORD value,
                      KV_NET_DATA_SCALE source = KV_NET_NO_HANDLE)
{
    QByteArray payload;
    payload.append(char(value >> 8));
    payload.append(char(value & 0xFF));
    PostBytes(unit, method, payload, source);
}

inline QByteArray BigEndian16(UWORD value)
{
    QByteArray bytes;
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xFF));
    return bytes;
}

// A strip record's payload as the device receives it: five little-endian u32.
inline QByteArray StripPayload(ULONG index, ULONG linear, ULONG code, ULONG polarity, ULONG mute)
{
    QByteArray bytes;
    for (ULONG word : {index, linear, code, polarity, mute})
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            bytes.append(char((word >> shift) & 0xFF));
        }
    }
    return bytes;
}

// Links the unit's mute, polarity and gain to the same methods of the target (local connection).
inline void LinkParameters(cNetObject& unit, KV_NET_DATA_SCALE target)
{
    for (KV_NET_DATA_SCALE method = PARAMETER_BASE; method < PARAMETER_BASE + 3; ++method)
    {
        unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, target, method, method, 0, 0, false);
    }
}

// Ticks until every queued record has reached the device (at most maxTicks).
inline bool Drain(cSerialTestLink& link, int maxTicks = 40)
{
    for (int i = 0; i < maxTicks && link.Link().QueuedRecords() != 0; ++i)
    {
        link.Tick();
    }
    return link.Link().QueuedRecords() == 0;
}

// Payloads of the strip records (command 6) for this strip that the device received, in order.
inline QList<QByteArray> StripFrames(cSerialTestLink& link, ULONG index)
{
    QList<QByteArray> payloads;
    for (const cSimulatedDevice::sReceivedFrame& frame : link.Device().Frames())
    {
        if (frame.mCommand == 6 && frame.mPayload.size() >= 4 && UBYTE(frame.mPayload[0]) == index &&
            frame.mPayload.mid(1, 3) == QByteArray(3, 0))
        {
            payloads.append(frame.mPayload);
        }
    }
    return payloads;
}

} // namespace nStripTest
