#pragma once

// Test support for the signal-processing units: NV files that can be mapped again, a save-object
// registry that keeps its objects in order, parameter messages, and the filter and delay records
// a simulated device received.

#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "KVNet/Core/KVByteOrder.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"

#include <QByteArray>
#include <QDataStream>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

// An NV file in a folder of its own, mapped (again) on request.
class cTestStorage
{
public:
    static constexpr qint64 SIZE = 0x10000;

    cTestStorage() { Map(); }
    cNonVolatileStorageManager* Map()
    {
        mStorage.reset();
        mStorage = std::make_unique<cNonVolatileStorageManager>(mFolder.filePath("NonVolatileRamFile"), SIZE,
                                                                false, false);
        return mStorage.get();
    }
    void Unmap() { mStorage.reset(); }
    cNonVolatileStorageManager* Get() const { return mStorage.get(); }
    const UBYTE* Region() const { return mStorage->GetStartAddress(); }

private:
    QTemporaryDir mFolder;
    std::unique_ptr<cNonVolatileStorageManager> mStorage;
};

// Keeps the save objects in registration order, and saves or recalls them all.
class cListSaveRegistry : public cSaveObjectRegistry
{
public:
    void RegisterSaveObject(cSaveObject* object) override { mObjects.push_back(object); }
    void UnregisterSaveObject(cSaveObject* object) override
    {
        mObjects.erase(std::remove(mObjects.begin(), mObjects.end(), object), mObjects.end());
    }
    QStringList Names() const
    {
        QStringList names;
        for (const cSaveObject* object : mObjects)
        {
            names << QString::fromLatin1(object->GetSaveName());
        }
        return names;
    }
    QByteArray SaveAll() const
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(19);
        for (cSaveObject* object : mObjects)
        {
            object->SaveData(&stream);
        }
        return bytes;
    }
    // True when every object read its record whole and the stream is used up.
    bool RecallAll(const QByteArray& bytes) const
    {
        QDataStream stream(bytes);
        stream.setVersion(19);
        for (cSaveObject* object : mObjects)
        {
            if (!object->RecallData(&stream))
            {
                return false;
            }
        }
        return stream.atEnd();
    }
    const std::vector<cSaveObject*>& Objects() const { return mObjects; }

private:
    std::vector<cSaveObject*> mObjects;
};

// Sends a parameter message from `from` to `to` and delivers it.
inline void SendParameter(const cNetObject& to, KV_NET_DATA_SCALE method, const QByteArray& payload,
                          KV_NET_DATA_SCALE from = KV_NET_NO_HANDLE)
{
    cKVNetMessage message(UWORD(payload.size()));
    std::copy(payload.begin(), payload.end(), message.Data());
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = to.GetHandle();
    message.mSource = from;
    message.mMethod = method;
    PostMessage(message);
    cMessagePump::Pump();
}

inline QByteArray UBYTEPayload(UBYTE value)
{
    return QByteArray(1, char(value));
}

inline QByteArray UWORDPayload(UWORD value)
{
    QByteArray bytes(2, 0);
    nKVByteOrder::StoreBig16(reinterpret_cast<UBYTE*>(bytes.data()), value);
    return bytes;
}

inline UWORD PayloadUWORD(const QByteArray& payload)
{
    return payload.size() >= 2 ? nKVByteOrder::LoadBig16(reinterpret_cast<const UBYTE*>(payload.constData()))
                               : 0;
}

// Links each parameter of the unit to the same method of the recorder.
inline void LinkParameters(cNetObject& unit, const cRecordingNetObject& recorder,
                           std::initializer_list<KV_NET_DATA_SCALE> methods)
{
    for (KV_NET_DATA_SCALE method : methods)
    {
        unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, recorder.GetHandle(), method, method, 0, 0,
                                   false);
    }
}

// Payloads the recorder got for a method, in order.
inline QList<QByteArray> Payloads(const cRecordingNetObject& recorder, UWORD method)
{
    QList<QByteArray> payloads;
    for (const cRecordingNetObject::sReceived& received : recorder.Received())
    {
        if (received.mMethod == method)
        {
            payloads.append(received.mPayload);
        }
    }
    return payloads;
}

// One filter record (command 2) as the device received it.
struct sFilterFrame
{
    ULONG mId = 0;
    tBiquadWords mWords{}; // in the order sent: b0, a1, b1, a2, b2
    UWORD mFrequencyCode = 0;
    UWORD mWidthCode = 0;
    UWORD mGainCode = 0;
    UBYTE mType = 0;
    UBYTE mOption = 0;
    UBYTE mBypass = 0;
    QByteArray mPayload;
};

inline QList<sFilterFrame> FilterFrames(const cSimulatedDevice& device)
{
    QList<sFilterFrame> frames;
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        if (frame.mCommand != 2 || frame.mPayload.size() != 33)
        {
            continue;
        }
        const UBYTE* p = reinterpret_cast<const UBYTE*>(frame.mPayload.constData());
        sFilterFrame f;
        f.mId = nKVByteOrder::LoadLittle32(p);
        for (int i = 0; i < BIQUAD_COEFFICIENTS; ++i)
        {
            f.mWords[size_t(i)] = SLONG(nKVByteOrder::LoadLittle32(p + 4 + 4 * i));
        }
        f.mFrequencyCode = nKVByteOrder::LoadLittle16(p + 24);
        f.mWidthCode = nKVByteOrder::LoadLittle16(p + 26);
        f.mGainCode = nKVByteOrder::LoadLittle16(p + 28);
        f.mType = p[30];
        f.mOption = p[31];
        f.mBypass = p[32];
        f.mPayload = frame.mPayload;
        frames.append(f);
    }
    return frames;
}

inline QList<ULONG> FilterIds(const QList<sFilterFrame>& frames)
{
    QList<ULONG> ids;
    for (const sFilterFrame& frame : frames)
    {
        ids.append(frame.mId);
    }
    return ids;
}

// Delay records (command 8) as (channel, samples).
inline QList<QPair<ULONG, ULONG>> DelayFrames(const cSimulatedDevice& device)
{
    QList<QPair<ULONG, ULONG>> delays;
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        if (frame.mCommand == 8 && frame.mPayload.size() == 8)
        {
            const UBYTE* p = reinterpret_cast<const UBYTE*>(frame.mPayload.constData());
            delays.append({nKVByteOrder::LoadLittle32(p), nKVByteOrder::LoadLittle32(p + 4)});
        }
    }
    return delays;
}

// Stored words (b0, b1, b2, a1, a2) in the order the device gets them (b0, a1, b1, a2, b2).
inline tBiquadWords InDeviceOrder(const tBiquadWords& w)
{
    return {w[0], w[3], w[1], w[4], w[2]};
}

// Ticks the link until its queues are empty (at most maxTicks), so the device has every record.
inline bool Drain(cSerialTestLink& link, int maxTicks = 100)
{
    for (int i = 0; i < maxTicks && link.Link().QueuedRecords() > 0; ++i)
    {
        link.Tick();
    }
    return link.Link().QueuedRecords() == 0;
}

// Delivers messages and ticks until the system builder has worked through its queue.
inline bool SettleLinks(int maxTicks = 500)
{
    for (int i = 0; i < maxTicks; ++i)
    {
        cMessagePump::Tick();
        if (gSystemBuilder == nullptr || (gSystemBuilder->GetQueuedCount() == 0 &&
                                          !gSystemBuilder->IsBusy() && cMessagePump::Buffered() == 0))
        {
            return true;
        }
    }
    return false;
}
