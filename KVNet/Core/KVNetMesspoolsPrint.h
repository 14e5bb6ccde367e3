#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <functional>
#include <string>
#include <vector>

// The diagnostic print of the router's buffer ("Messpools.txt").

struct sBufferedMessageInfo
{
    UWORD mConnectionId;
    UWORD mDestination;
    UWORD mSource;
    UWORD mMethod;
    UWORD mLength;
};

// Name of a registered local handle, or null when the handle is free.
using tHandleNameLookup = std::function<const char*(KV_NET_DATA_SCALE handle)>;

// "Message - Connection ID: ..." line of one message, without the newline.
std::string MesspoolsMessageLine(const sBufferedMessageInfo& message, const tHandleNameLookup& nameOf);

// Appends the printout (framing lines with the local time, one line per message, front
// first) to the file; false when it cannot be opened.
bool AppendMesspools(const char* path, const std::vector<sBufferedMessageInfo>& messages,
                     const tHandleNameLookup& nameOf);
