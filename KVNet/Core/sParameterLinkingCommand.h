#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <cstdint>
#include <functional>

// One link request for the system builder: parameter mSourceParam of the object named
// mSourcePath informs method mDestParam of the object named mDestinationPath (or, with
// mRemove, that link is removed). A path is an object name, or "host/object name" for an
// object on another unit.
struct sParameterLinkingCommand
{
    static constexpr std::size_t PATH_SIZE = 128;

    // Called instead of retrying when an object of the link is not found or its connection is
    // lost; the builder then gives the link up. Syscall thread, under the link-list lock.
    using tCompletionCallback =
        std::function<void(sParameterLinkingCommand* command, UWORD connectionId, KV_NET_DATA_SCALE handle)>;

    sParameterLinkingCommand();

    // Copy at most PATH_SIZE - 1 characters; false (with a report) when the path was cut.
    bool SetSourcePath(const char* path);
    bool SetDestinationPath(const char* path);

    UWORD mSourceParam;
    UWORD mDestParam;
    char mSourcePath[PATH_SIZE];
    char mDestinationPath[PATH_SIZE];
    bool mDataGram;
    bool mSync;
    bool mRemove;
    bool mBidirect;
    // Carried with the command for the caller; the builder does not read it.
    std::uint64_t mUserValue;
    tCompletionCallback mCompletionCallback;
};
