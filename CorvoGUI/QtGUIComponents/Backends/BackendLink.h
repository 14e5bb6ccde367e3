#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Queues one link with the system builder: parameter sourceParam of the object named source informs
// destinationParam of the object named destination (and back when bidirect is set), never by
// datagram, not a removal. False, with a report, without a system builder. Any thread.
bool QueueBackendLink(const char* source, UWORD sourceParam, const char* destination, UWORD destinationParam,
                      bool sync, bool bidirect);
