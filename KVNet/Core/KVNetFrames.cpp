#include "KVNet/Core/KVNetFrames.h"

#include "KVNet/Core/KVByteOrder.h"
#include "KVNet/Core/cKVNetMessage.h"

#include <cstring>

using namespace nKVNetFrame;
using namespace nKVByteOrder;

ULONG BuildFrameV1(const cKVNetMessage& message, UBYTE* buffer)
{
    const UWORD length = message.GetLength();
    buffer[0] = V1_START;
    StoreBig16(buffer + 1, message.mConnectionId);
    StoreBig16(buffer + 3, message.mDestination);
    StoreBig16(buffer + 5, message.mSource);
    StoreBig16(buffer + 7, message.mMethod);
    StoreBig16(buffer + 9, length);
    if (length != 0)
    {
        std::memcpy(buffer + 11, message.Data(), length);
    }
    buffer[11 + length] = V1_END;
    return length + V1_OVERHEAD;
}

ULONG BuildFrameV2(const cKVNetMessage& message, UBYTE* buffer)
{
    const UWORD length = message.GetLength();
    const UWORD fields[4] = {message.mConnectionId, message.mDestination, message.mSource, message.mMethod};
    buffer[0] = V2_START;
    for (int i = 0; i < 4; ++i)
    {
        UBYTE* field = buffer + 1 + 4 * i;
        StoreBig16(field, fields[i]);
        field[2] = 0;
        field[3] = 0;
    }
    StoreBig16(buffer + 17, length);
    if (length != 0)
    {
        std::memcpy(buffer + 19, message.Data(), length);
    }
    buffer[19 + length] = V2_END;
    return length + V2_OVERHEAD;
}

ULONG BuildUtilFrame(const UBYTE* payload, UWORD length, UBYTE* buffer)
{
    buffer[0] = UTIL_START;
    StoreBig16(buffer + 1, length);
    if (length != 0)
    {
        std::memcpy(buffer + 3, payload, length);
    }
    buffer[3 + length] = UTIL_END;
    return length + UTIL_OVERHEAD;
}
