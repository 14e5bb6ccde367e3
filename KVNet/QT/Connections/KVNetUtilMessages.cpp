#include "KVNet/QT/Connections/KVNetUtilMessages.h"

#include "KVNet/Core/KVByteOrder.h"

#include <cstring>

using namespace nKVByteOrder;

bool IsFarewell(const UBYTE* data, UWORD length)
{
    return length == nKVNetUtil::FAREWELL_LENGTH &&
           std::memcmp(data, nKVNetUtil::FAREWELL, nKVNetUtil::FAREWELL_LENGTH) == 0;
}

bool ReadHelloPayload(const UBYTE* data, UWORD length, UBYTE& version, UWORD& udpPort)
{
    if (length < nKVNetUtil::HELLO_LENGTH)
    {
        return false;
    }
    version = data[1];
    udpPort = LoadBig16(data + 2);
    return true;
}

void WriteHelloPayload(UBYTE type, UWORD udpPort, UBYTE* payload)
{
    payload[0] = type;
    payload[1] = nKVNetUtil::PROTOCOL_VERSION;
    StoreBig16(payload + 2, udpPort);
}
