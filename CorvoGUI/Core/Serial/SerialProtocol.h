#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <array>

// The device's serial protocol: frames, commands and the records that replies carry.
// Frame, both directions, multi-byte fields little-endian:
//   0xA5 0xA5 0x00, command (u8), payload length n (u32), n payload bytes.
namespace nSerialProtocol
{

constexpr UBYTE PREAMBLE_0 = 0xA5;
constexpr UBYTE PREAMBLE_1 = 0xA5;
constexpr UBYTE PREAMBLE_2 = 0x00;
constexpr int HEADER_SIZE = 8;
constexpr int MAX_PAYLOAD = 512;
constexpr int FRAME_BUFFER_SIZE = HEADER_SIZE + MAX_PAYLOAD;

constexpr int BAUD_RATE = 921600;

enum eCommand : UBYTE
{
    CMD_VERSION = 0,
    CMD_COMMAND1 = 1,
    CMD_FILTER = 2,
    CMD_FILTER_TABLE = 3,
    CMD_METERS = 4,
    CMD_UNUSED_5 = 5,
    CMD_CONTROL_STRIP = 6,
    CMD_CONTROL_STRIPS = 7,
    CMD_DELAY = 8,
    CMD_DELAYS = 9,
    CMD_RESET = 14,
    CMD_DISCONNECT = 15,
};

constexpr int FILTER_RECORDS = 36;
constexpr int CONTROL_STRIPS = 8;
constexpr int DELAY_CHANNELS = 6;
constexpr int METERS = 8;

// Payload sizes of the replies that carry data.
constexpr int VERSION_REPLY_SIZE = 2;
constexpr int FILTER_RECORD_SIZE = 12;
constexpr int METER_BLOCK_SIZE = METERS * 4;
constexpr int CONTROL_STRIP_BLOCK_SIZE = CONTROL_STRIPS * 6;
constexpr int DELAY_BLOCK_SIZE = DELAY_CHANNELS * 4;

// Payload of a filter record: u32 id, the coefficient bytes, three u16 codes and three u8.
constexpr int FILTER_RECORD_FIXED_SIZE = 13;
constexpr int MAX_FILTER_COEFFICIENT_BYTES = 255;

// True when a reply of this command may carry this payload length. Replies that carry no
// data (acknowledgements, unused and unknown commands) accept any length.
bool ReplyLengthValid(UBYTE command, ULONG length);

} // namespace nSerialProtocol

// One record of the device's filter table (six little-endian u16 on the line).
struct sFilter
{
    UWORD mFrequencyCode = 0;
    UWORD mWidthCode = 0;
    UWORD mGainCode = 0;
    UWORD mFilterType = 0;
    UWORD mBandOption = 0;
    UWORD mBypass = 0; // nonzero: bypassed

    bool operator==(const sFilter& other) const
    {
        return mFrequencyCode == other.mFrequencyCode && mWidthCode == other.mWidthCode &&
               mGainCode == other.mGainCode && mFilterType == other.mFilterType &&
               mBandOption == other.mBandOption && mBypass == other.mBypass;
    }
};

// Record i of the device's control-strip block belongs to strip index i.
struct sControlStripRecord
{
    UWORD mMute = 0;     // nonzero: muted
    SWORD mGainCode = 0; // 1/256 dB
    UWORD mPolarity = 0; // nonzero: inverted
};

using sFilterTable = std::array<sFilter, nSerialProtocol::FILTER_RECORDS>;
using sControlStripBlock = std::array<sControlStripRecord, nSerialProtocol::CONTROL_STRIPS>;
using sDelayBlock = std::array<ULONG, nSerialProtocol::DELAY_CHANNELS>; // samples per channel
using sMeterBlock = std::array<ULONG, nSerialProtocol::METERS>;         // linear levels
