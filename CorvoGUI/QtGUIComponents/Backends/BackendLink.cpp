#include "CorvoGUI/QtGUIComponents/Backends/BackendLink.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/sParameterLinkingCommand.h"
#include "KVNet/QT/Trace/KVNetReports.h"

bool QueueBackendLink(const char* source, UWORD sourceParam, const char* destination, UWORD destinationParam,
                      bool sync, bool bidirect)
{
    cSystemBuilder* builder = gSystemBuilder;
    if (builder == nullptr)
    {
        KV_REPORT_ERROR("No system builder: link \"%s\" (0x%X) to \"%s\" (0x%X) not queued", source,
                        unsigned(sourceParam), destination, unsigned(destinationParam));
        return false;
    }
    sParameterLinkingCommand command;
    command.mSourceParam = sourceParam;
    command.mDestParam = destinationParam;
    command.SetSourcePath(source);
    command.SetDestinationPath(destination);
    command.mDataGram = false;
    command.mSync = sync;
    command.mRemove = false;
    builder->AddLinkCommandToList(command, bidirect);
    return true;
}
