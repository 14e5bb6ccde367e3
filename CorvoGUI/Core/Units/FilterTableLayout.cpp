#include "CorvoGUI/Core/Units/FilterTableLayout.h"

#include <array>
#include <cstddef>

namespace nFilterTable
{

namespace
{

constexpr std::array<int, CHANNELS> kRecords = {4, 4, 6, 6, 8, 8};

} // namespace

int RecordsOfChannel(int channel)
{
    return channel >= 0 && channel < CHANNELS ? kRecords[size_t(channel)] : 0;
}

int Index(int channel, int slot)
{
    if (slot < 0 || slot >= RecordsOfChannel(channel))
    {
        return -1;
    }
    int index = 0;
    for (int c = 0; c < channel; ++c)
    {
        index += kRecords[size_t(c)];
    }
    return index + slot;
}

ULONG FilterId(int channel, int slot)
{
    return (ULONG(slot) << 8) | ULONG(channel & 0xFF);
}

} // namespace nFilterTable
