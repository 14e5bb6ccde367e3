#include "CorvoGUI/Core/Serial/cSerialFrameParser.h"

#include "KVNet/Core/KVByteOrder.h"

#include <algorithm>
#include <cstring>

using namespace nSerialProtocol;

int cSerialFrameParser::FreeSpace() const
{
    return CAPACITY - (mEnd - mStart);
}

int cSerialFrameParser::Feed(const UBYTE* data, int length)
{
    if (data == nullptr || length <= 0)
    {
        return 0;
    }
    const int taken = std::min(length, FreeSpace());
    if (mEnd + taken > CAPACITY)
    {
        std::memmove(mBuffer.data(), mBuffer.data() + mStart, static_cast<size_t>(mEnd - mStart));
        mEnd -= mStart;
        mStart = 0;
    }
    std::memcpy(mBuffer.data() + mEnd, data, static_cast<size_t>(taken));
    mEnd += taken;
    return taken;
}

// Offset (from mStart) of the first place that is, or may still become, a preamble.
int cSerialFrameParser::FindPreamble() const
{
    const int held = mEnd - mStart;
    const UBYTE* p = mBuffer.data() + mStart;
    for (int i = 0; i < held; ++i)
    {
        if (p[i] != PREAMBLE_0)
        {
            continue;
        }
        if (i + 1 < held && p[i + 1] != PREAMBLE_1)
        {
            continue;
        }
        if (i + 2 < held && p[i + 2] != PREAMBLE_2)
        {
            continue;
        }
        return i;
    }
    return held;
}

cSerialFrameParser::eResult cSerialFrameParser::Discard(int count, eBadReason reason)
{
    mStart += count;
    if (mStart == mEnd)
    {
        mStart = mEnd = 0;
    }
    mLastBadReason = reason;
    mLastDiscarded = count;
    return PARSE_BAD;
}

cSerialFrameParser::eResult cSerialFrameParser::Next(sSerialFrame& frame)
{
    const int skip = FindPreamble();
    if (skip > 0)
    {
        return Discard(skip, BAD_GARBAGE);
    }
    const int held = mEnd - mStart;
    if (held < HEADER_SIZE)
    {
        return PARSE_INCOMPLETE;
    }
    const UBYTE* header = mBuffer.data() + mStart;
    const ULONG length = nKVByteOrder::LoadLittle32(header + 4);
    if (length > static_cast<ULONG>(MAX_PAYLOAD))
    {
        // Only the first preamble byte is dropped: a real preamble may start at the next byte.
        return Discard(1, BAD_LENGTH_TOO_LARGE);
    }
    if (held < HEADER_SIZE + static_cast<int>(length))
    {
        return PARSE_INCOMPLETE;
    }
    frame.mCommand = header[3];
    frame.mLength = length;
    std::memcpy(frame.mPayload.data(), header + HEADER_SIZE, length);
    mStart += HEADER_SIZE + static_cast<int>(length);
    if (mStart == mEnd)
    {
        mStart = mEnd = 0;
    }
    return PARSE_FRAME;
}

void cSerialFrameParser::Reset()
{
    mStart = mEnd = 0;
    mLastBadReason = BAD_NONE;
    mLastDiscarded = 0;
}

const char* cSerialFrameParser::BadReasonText(eBadReason reason)
{
    switch (reason)
    {
    case BAD_GARBAGE:
        return "bytes before a frame";
    case BAD_LENGTH_TOO_LARGE:
        return "payload length above 512";
    default:
        return "none";
    }
}
