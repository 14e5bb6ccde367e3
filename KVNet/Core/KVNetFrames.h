#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cKVNetMessage;

// Framework messages between units travel as frames (all fields big-endian):
//   version 1: 0xF0, connection id, destination, source, method, payload length n (2 bytes each),
//              the payload, 0xF7; n + 12 bytes.
//   version 2: 0xF1, connection id, destination, source, method (each 2 bytes followed by 2 zero
//              bytes), n (2 bytes), the payload, 0xF8; n + 20 bytes.
//   util:      0xE0, n (2 bytes), the payload, 0xE7; n + 4 bytes.
// The writers are plain functions, callable from any thread.
namespace nKVNetFrame
{
constexpr UBYTE V1_START = 0xF0;
constexpr UBYTE V1_END = 0xF7;
constexpr UBYTE V2_START = 0xF1;
constexpr UBYTE V2_END = 0xF8;
constexpr UBYTE UTIL_START = 0xE0;
constexpr UBYTE UTIL_END = 0xE7;
constexpr ULONG V1_OVERHEAD = 12;
constexpr ULONG V2_OVERHEAD = 20;
constexpr ULONG UTIL_OVERHEAD = 4;
} // namespace nKVNetFrame

// Write the message as a frame into buffer, which holds at least its length + 12 (version 1) or
// + 20 (version 2) bytes. Return the number of bytes written.
ULONG BuildFrameV1(const cKVNetMessage& message, UBYTE* buffer);
ULONG BuildFrameV2(const cKVNetMessage& message, UBYTE* buffer);
// Writes a util frame of length payload bytes into buffer (at least length + 4 bytes); payload
// may be null when length is 0. Returns the number of bytes written.
ULONG BuildUtilFrame(const UBYTE* payload, UWORD length, UBYTE* buffer);
