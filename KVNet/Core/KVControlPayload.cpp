#include "KVNet/Core/KVControlPayload.h"

#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/QT/Trace/KVNetReports.h"

bool CheckControlPayload(const cKVNetMessage& message, UWORD needed, const char* objectName, const char* file,
                         int line, const char* function)
{
    if (message.GetLength() >= needed)
    {
        return true;
    }
    ReportError(file, line, function, "Short message for method 0x%X of \"%s\": %d bytes, %d needed",
                unsigned(message.mMethod), objectName != nullptr ? objectName : "", int(message.GetLength()),
                int(needed));
    return false;
}
