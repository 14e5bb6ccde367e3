#include "CorvoGUI/Core/Serial/SerialProtocol.h"

namespace nSerialProtocol
{

bool ReplyLengthValid(UBYTE command, ULONG length)
{
    switch (command)
    {
    case CMD_VERSION:
        return length == VERSION_REPLY_SIZE;
    case CMD_COMMAND1:
        return length >= 1;
    case CMD_FILTER_TABLE:
        return length == FILTER_RECORD_SIZE;
    case CMD_METERS:
        return length == METER_BLOCK_SIZE;
    case CMD_CONTROL_STRIPS:
        return length == CONTROL_STRIP_BLOCK_SIZE;
    case CMD_DELAYS:
        return length == DELAY_BLOCK_SIZE;
    default:
        return true;
    }
}

} // namespace nSerialProtocol
