#include "KVNet/QT/Connections/KVNetReceivedMessage.h"

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/QT/Trace/KVNetReports.h"

namespace
{

constexpr UWORD ADD_LINK_LENGTH = 10;
constexpr UWORD REMOVE_LINK_LENGTH = 8;

} // namespace

bool PrepareReceivedMessage(cKVNetMessage& message, UWORD connectionId, ULONG connectionSerial)
{
    message.mConnectionId = connectionId;
    message.mConnectionSerial = connectionSerial;
    UWORD needed = 0;
    if (message.mMethod == M_OBJECT_ADD_TO_INFORM_LIST)
    {
        needed = ADD_LINK_LENGTH;
    }
    else if (message.mMethod == M_OBJECT_REMOVE_FROM_INFORM_LIST)
    {
        needed = REMOVE_LINK_LENGTH;
    }
    else
    {
        return true;
    }
    if (message.GetLength() < needed)
    {
        KV_REPORT_ERROR("Link message (method %d) of %d bytes from connection %d dropped: %d bytes needed",
                        int(message.mMethod), int(message.GetLength()), int(connectionId), int(needed));
        return false;
    }
    message.SetUWORD(connectionId, 0);
    return true;
}
