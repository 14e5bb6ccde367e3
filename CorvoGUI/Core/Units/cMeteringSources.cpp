#include "CorvoGUI/Core/Units/cMeteringSources.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/MeterLevels.h"
#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"

namespace
{

// The first two meters of the block are the input pair.
constexpr int INPUT_METERS = 2;

} // namespace

cMeteringSources::cMeteringSources(cSerialInterface* serial)
    : cNetObject(NAME, NUMBER_OF_PARAMETERS, true, false)
    , mSerial(serial)
    , mMeterMessage(METER_MESSAGE_LENGTH)
{
    mLevels.fill(nMeterLevel::SILENT_LEVEL);
}

cMeteringSources::~cMeteringSources()
{
    Unregister();
}

void cMeteringSources::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod != P_ENABLE)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (!KV_CHECK_CONTROL_PAYLOAD(message, 1, GetName()))
    {
        return;
    }
    mEnabled = UBYTEToBool(message.GetUBYTE(0));
}

void cMeteringSources::ActionTick()
{
    if (!mEnabled)
    {
        return;
    }
    ReadMeters();
    PostMeters();
}

void cMeteringSources::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                       KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod == P_ENABLE)
    {
        mControlMessage.SetLength(1);
        mControlMessage.SetUBYTE(ConvertBoolToUBYTE(mEnabled), 0);
    }
    else if (sourceMethod >= P_INPUT_LEFT && sourceMethod <= P_HIGH_RIGHT)
    {
        FillMeterMessage(mControlMessage, sourceMethod - P_INPUT_LEFT);
    }
    else
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    PostMessage(mControlMessage);
}

void cMeteringSources::ReadMeters()
{
    sMeterBlock block;
    quint64 replies = 0;
    if (mSerial != nullptr && mSerial->GetMeterBlock(block, replies))
    {
        mDevicePresent = true;
        if (replies != mMeterReplies)
        {
            mMeterReplies = replies;
            mTicksWithoutReply = 0;
            for (int i = 0; i < NUMBER_OF_METERS; ++i)
            {
                mLevels[i] =
                    i < INPUT_METERS ? nMeterLevel::InputLevel(block[i]) : nMeterLevel::BandLevel(block[i]);
            }
        }
        else if (mTicksWithoutReply < REPLY_TIMEOUT_TICKS && ++mTicksWithoutReply == REPLY_TIMEOUT_TICKS)
        {
            mLevels.fill(nMeterLevel::SILENT_LEVEL);
        }
    }
    else if (mDevicePresent)
    {
        mLevels.fill(nMeterLevel::SILENT_LEVEL);
        mDevicePresent = false;
    }
}

void cMeteringSources::PostMeters()
{
    for (int i = 0; i < NUMBER_OF_METERS; ++i)
    {
        FillMeterMessage(mMeterMessage, i);
        mMeterMessage.mConnectionId = KV_NET_NO_CONNECTION;
        mMeterMessage.mDestination = KV_NET_NO_HANDLE;
        mMeterMessage.mSource = mHandle;
        mMeterMessage.mMethod = KV_NET_DATA_SCALE(P_INPUT_LEFT + i);
        SendToInformList(mMeterMessage);
    }
}

GAIN cMeteringSources::GetLevel(int index) const
{
    return index >= 0 && index < NUMBER_OF_METERS ? mLevels[index] : GAIN_MINUS_INFINITY;
}

void cMeteringSources::FillMeterMessage(cKVNetMessage& message, int index) const
{
    message.SetLength(METER_MESSAGE_LENGTH);
    message.SetUWORD(nMeterLevel::SendCode(mLevels[index]), 0);
    message.SetUBYTE(0, 2);
}
