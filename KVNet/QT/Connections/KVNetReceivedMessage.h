#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cKVNetMessage;

// Readies a message that arrived on connection connectionId for the registry router: its
// mConnectionId becomes connectionId and, for a link message (M_OBJECT_ADD_TO_INFORM_LIST,
// M_OBJECT_REMOVE_FROM_INFORM_LIST), so do payload bytes 0-1, so that the link points back over
// this connection; it carries the connection's serial (mConnectionSerial), so that the router
// knows it when it is delivered after the connection has ended. A link message shorter than its
// form (10 and 8 bytes) is reported and refused before anything is written: false means drop
// the message. Any thread.
bool PrepareReceivedMessage(cKVNetMessage& message, UWORD connectionId, ULONG connectionSerial);
