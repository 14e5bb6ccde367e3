#include "KVNet/Core/KVNetMesspoolsPrint.h"

#include "KVNet/Core/KVNetMethods.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace
{

constexpr ULONG LAST_HANDLE = 45000;

std::string HandleText(KV_NET_DATA_SCALE handle, const tHandleNameLookup& nameOf)
{
    if (handle > LAST_HANDLE)
    {
        return "INVALID_HANDLE";
    }
    if (handle == 0)
    {
        return "Registry";
    }
    if (const char* name = nameOf(handle))
    {
        return name;
    }
    return "NULL Object - Handle " + std::to_string(handle);
}

std::string TimeText()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, "%H:%M:%S %d/%m/%Y", &local);
    return text;
}

} // namespace

std::string MesspoolsMessageLine(const sBufferedMessageInfo& message, const tHandleNameLookup& nameOf)
{
    std::string methodText;
    int adjusted = message.mMethod;
    if (const char* name = KVNetMethodName(message.mMethod))
    {
        methodText = std::string("Is: ") + name;
    }
    else if (message.mMethod < NON_PARAMETER_BASE)
    {
        methodText = "unspecified base method";
    }
    else if (message.mMethod < PARAMETER_BASE)
    {
        methodText = "NON_PARAMETER_BASE method";
        adjusted -= NON_PARAMETER_BASE;
    }
    else
    {
        methodText = "PARAMETER_BASE method";
        adjusted -= PARAMETER_BASE;
    }
    std::string source = message.mConnectionId != KV_NET_LOCAL_CONNECTION
                             ? "Remote Object - Handle " + std::to_string(message.mSource)
                             : HandleText(message.mSource, nameOf);
    std::string destination = HandleText(message.mDestination, nameOf);

    char line[512];
    std::snprintf(
        line, sizeof line,
        "Message - Connection ID: %d   RawMethod: %d  Adjusted: %d  %s   Length: %d   Source: \"%s\"   "
        "Destination: \"%s\"",
        int(message.mConnectionId), int(message.mMethod), adjusted, methodText.c_str(), int(message.mLength),
        source.c_str(), destination.c_str());
    return line;
}

bool AppendMesspools(const char* path, const std::vector<sBufferedMessageInfo>& messages,
                     const tHandleNameLookup& nameOf)
{
    std::ofstream file(path, std::ios::out | std::ios::app);
    if (!file.is_open())
    {
        return false;
    }
    std::string time = TimeText();
    file << "-------------------Messpools Printout: " << time << "\n";
    for (const sBufferedMessageInfo& message : messages)
    {
        file << MesspoolsMessageLine(message, nameOf) << "\n";
    }
    file << "----------------------------------End: " << time << "\n";
    return true;
}
