#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Where a channel's filters sit in the device: channels 0 to 5 (LOW, MID, HIGH, each left then
// right) hold 4, 4, 6, 6, 8 and 8 filter records, one per slot, and the device's 36-record filter
// table lists them channel after channel. Pure functions, any thread.
namespace nFilterTable
{

constexpr int CHANNELS = 6;

// Records (slots) of a channel; 0 for a channel the device does not have.
int RecordsOfChannel(int channel);
// Index of (channel, slot) in the device's filter table, or -1 when the device has no such record.
int Index(int channel, int slot);
// The id of a filter record: (slot << 8) | channel.
ULONG FilterId(int channel, int slot);

} // namespace nFilterTable
