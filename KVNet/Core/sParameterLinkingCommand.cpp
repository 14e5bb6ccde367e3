#include "KVNet/Core/sParameterLinkingCommand.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstring>

namespace
{

bool CopyPath(char (&target)[sParameterLinkingCommand::PATH_SIZE], const char* path)
{
    if (path == nullptr)
    {
        target[0] = '\0';
        return true;
    }
    std::size_t length = std::strlen(path);
    bool fits = length < sParameterLinkingCommand::PATH_SIZE;
    if (!fits)
    {
        KV_REPORT_ERROR("Link path of %d characters cut to %d: \"%s\"", int(length),
                        int(sParameterLinkingCommand::PATH_SIZE - 1), path);
        length = sParameterLinkingCommand::PATH_SIZE - 1;
    }
    std::memcpy(target, path, length);
    target[length] = '\0';
    return fits;
}

} // namespace

sParameterLinkingCommand::sParameterLinkingCommand()
    : mSourceParam(0)
    , mDestParam(0)
    , mSourcePath{}
    , mDestinationPath{}
    , mDataGram(false)
    , mSync(false)
    , mRemove(false)
    , mBidirect(false)
    , mUserValue(0)
{
}

bool sParameterLinkingCommand::SetSourcePath(const char* path)
{
    return CopyPath(mSourcePath, path);
}

bool sParameterLinkingCommand::SetDestinationPath(const char* path)
{
    return CopyPath(mDestinationPath, path);
}
