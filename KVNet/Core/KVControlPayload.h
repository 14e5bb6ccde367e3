#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QtGlobal>

class cKVNetMessage;

// Length check for the payload of a message that a control object is about to read. A message
// shorter than needed is reported ("Short message for method 0x%X of \"%s\": %d bytes, %d
// needed") with the caller's file, line and function, and the caller drops it.
bool CheckControlPayload(const cKVNetMessage& message, UWORD needed, const char* objectName, const char* file,
                         int line, const char* function);

#define KV_CHECK_CONTROL_PAYLOAD(message, needed, objectName)                                                \
    CheckControlPayload((message), (needed), (objectName), __FILE__, __LINE__, Q_FUNC_INFO)
