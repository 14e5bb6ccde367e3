#include "KVNet/Core/cAudioDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/sParameterLinkingCommand.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cAudioDriver::~cAudioDriver()
{
    if (mAudioObject != nullptr)
    {
        KV_REPORT_ERROR("ERROR - The audio object should have been destroyed by now");
        DestroyAudioObject();
    }
}

void cAudioDriver::DestroyAudioObject()
{
    cRegistryLocker lock;
    cNetObject* object = mAudioObject;
    mAudioObject = nullptr;
    delete object;
}

const char* cAudioDriver::GetAudioObjectName() const
{
    return mAudioObject != nullptr ? mAudioObject->GetName() : "";
}

void cAudioDriver::SetAudioObject(cNetObject* object)
{
    cRegistryLocker lock;
    if (mAudioObject != nullptr && mAudioObject != object)
    {
        delete mAudioObject;
    }
    mAudioObject = object;
}

bool cAudioDriver::QueueLinkCommand(const char* sourcePath, UWORD sourceParam, const char* destinationPath,
                                    UWORD destinationParam, bool sync, bool remove, bool bidirect)
{
    if (sourcePath == nullptr || sourcePath[0] == '\0' || destinationPath == nullptr ||
        destinationPath[0] == '\0')
    {
        KV_REPORT_ERROR("Link without a name: source \"%s\" (0x%X), destination \"%s\" (0x%X)",
                        sourcePath != nullptr ? sourcePath : "", unsigned(sourceParam),
                        destinationPath != nullptr ? destinationPath : "", unsigned(destinationParam));
        return false;
    }
    cSystemBuilder* builder = gSystemBuilder;
    if (builder == nullptr)
    {
        KV_REPORT_ERROR("No system builder: link \"%s\" (0x%X) to \"%s\" (0x%X) not queued", sourcePath,
                        unsigned(sourceParam), destinationPath, unsigned(destinationParam));
        return false;
    }
    sParameterLinkingCommand command;
    command.mSourceParam = sourceParam;
    command.mDestParam = destinationParam;
    command.SetSourcePath(sourcePath);
    command.SetDestinationPath(destinationPath);
    command.mDataGram = false;
    command.mSync = sync;
    command.mRemove = remove;
    builder->AddLinkCommandToList(command, bidirect);
    return true;
}
