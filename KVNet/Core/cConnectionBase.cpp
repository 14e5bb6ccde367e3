#include "KVNet/Core/cConnectionBase.h"

#include "KVNet/Core/KVByteOrder.h"
#include "KVNet/Core/KVNetFrames.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>
#include <cstring>

using namespace nKVNetFrame;
using namespace nKVByteOrder;

cConnectionBase::cConnectionBase() = default;

cConnectionBase::~cConnectionBase() = default;

void cConnectionBase::MessageReceived(const UBYTE* data, ULONG count)
{
    ULONG i = 0;
    while (i < count)
    {
        if (mReceivingMessageType == RECEIVING_IDLE)
        {
            const UBYTE byte = data[i++];
            switch (byte)
            {
            case V1_START:
                mReceivingMessageType = RECEIVING_V1;
                mPosition = 0;
                break;
            case V2_START:
                mReceivingMessageType = RECEIVING_V2;
                mPosition = 0;
                break;
            case UTIL_START:
                mReceivingMessageType = RECEIVING_UTIL;
                mPosition = 0;
                break;
            default:
                ++mStrayBytes;
                break;
            }
            continue;
        }
        if (mReceivingMessageType > RECEIVING_V2)
        {
            KV_REPORT_ERROR("Invalid mReceivingMessageType");
            mReceivingMessageType = RECEIVING_IDLE;
            mPosition = 0;
            continue;
        }
        i += ContinueFrame(data + i, count - i);
    }
}

ULONG cConnectionBase::HeaderSize() const
{
    switch (mReceivingMessageType)
    {
    case RECEIVING_V1:
        return 10;
    case RECEIVING_V2:
        return 18;
    default:
        return 2;
    }
}

ULONG cConnectionBase::ContinueFrame(const UBYTE* data, ULONG count)
{
    const ULONG headerSize = HeaderSize();
    if (mPosition < headerSize)
    {
        const ULONG take = std::min(count, headerSize - mPosition);
        std::memcpy(mHeader + mPosition, data, take);
        mPosition += take;
        if (mPosition == headerSize)
        {
            HeaderComplete();
        }
        return take;
    }
    const ULONG payloadEnd = headerSize + mLength;
    if (mPosition < payloadEnd)
    {
        const ULONG take = std::min(count, payloadEnd - mPosition);
        const ULONG offset = mPosition - headerSize;
        UBYTE* target = mReceivingMessageType == RECEIVING_UTIL ? mUtilBuffer.get() : mReceivedMessage.Data();
        std::memcpy(target + offset, data, take);
        mPosition += take;
        return take;
    }
    const UBYTE byte = data[0];
    const bool endOk = (mReceivingMessageType == RECEIVING_V1 && byte == V1_END) ||
                       (mReceivingMessageType == RECEIVING_V2 && byte == V2_END) ||
                       (mReceivingMessageType == RECEIVING_UTIL && byte == UTIL_END);
    EndByte(byte);
    // A wrong end byte is read again while idle: it may start the next frame.
    return endOk ? 1 : 0;
}

void cConnectionBase::HeaderComplete()
{
    if (mReceivingMessageType == RECEIVING_UTIL)
    {
        mLength = LoadBig16(mHeader);
        EnsureUtilBuffer();
        return;
    }
    // Version 2 holds each 16-bit field in the first two of four bytes.
    const ULONG step = mReceivingMessageType == RECEIVING_V2 ? 4 : 2;
    mReceivedMessage.mConnectionId = LoadBig16(mHeader);
    mReceivedMessage.mDestination = LoadBig16(mHeader + step);
    mReceivedMessage.mSource = LoadBig16(mHeader + 2 * step);
    mReceivedMessage.mMethod = LoadBig16(mHeader + 3 * step);
    mLength = LoadBig16(mHeader + 4 * step);
    mReceivedMessage.SetLength(UWORD(mLength));
}

void cConnectionBase::EnsureUtilBuffer()
{
    if (mLength > mUtilCapacity || !mUtilBuffer)
    {
        mUtilBuffer.reset(new UBYTE[mLength > 0 ? mLength : 1]);
        mUtilCapacity = mLength;
    }
}

void cConnectionBase::EndByte(UBYTE byte)
{
    const ULONG type = mReceivingMessageType;
    mReceivingMessageType = RECEIVING_IDLE;
    mPosition = 0;
    if (type == RECEIVING_UTIL)
    {
        if (byte != UTIL_END)
        {
            KV_REPORT_ERROR("ERROR - Invalid Util Data Packet! - No message delimiter, mConnectionId = %d",
                            int(mConnectionId));
            return;
        }
        if (mLength == 0)
        {
            KV_REPORT_ERROR("Empty util frame dropped, mConnectionId = %d", int(mConnectionId));
            return;
        }
        UtilFrameReceived(mUtilBuffer.get(), UWORD(mLength));
        return;
    }
    const UBYTE expected = type == RECEIVING_V2 ? V2_END : V1_END;
    if (byte != expected)
    {
        KV_REPORT_ERROR("ERROR - Invalid KVNetMessage Data Packet! - No message delimiter mConnectionId = %d",
                        int(mConnectionId));
        return;
    }
    ++mFramesReceived;
    mReceivedMessage.ResetRead();
    KVNetMessageReceived(mReceivedMessage);
}
