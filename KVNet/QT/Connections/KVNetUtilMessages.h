#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Util payloads of framework connections (carried in util frames, KVNet/Core/KVNetFrames.h):
//   HELLO      0x01, protocol version 3, local UDP port (big-endian)   TCP, client once connected
//   HELLO ACK  0x02, protocol version 3, local UDP port (big-endian)   TCP, server after a HELLO
//   heartbeat  0x03                                                    UDP, every 1000 ms
//   type 4     0x04, 0x03, 0x00, 0x00                                  TCP
//   type 5     0x05, 0x03, 0x00, 0x00: the sender writes V2 frames     TCP
//   farewell   "BYE"                                                   TCP, graceful disconnect
namespace nKVNetUtil
{
constexpr UBYTE HELLO = 0x01;
constexpr UBYTE HELLO_ACK = 0x02;
constexpr UBYTE HEARTBEAT = 0x03;
constexpr UBYTE TYPE_4 = 0x04;
constexpr UBYTE USES_V2 = 0x05;
constexpr UBYTE PROTOCOL_VERSION = 3;
constexpr UWORD HELLO_LENGTH = 4;
constexpr UBYTE FAREWELL[3] = {'B', 'Y', 'E'};
constexpr UWORD FAREWELL_LENGTH = 3;

// The framework's TCP port, and the UDP port an accepted connection asks for: 51324 + id.
constexpr UWORD TCP_PORT = 51321;
constexpr UWORD SERVER_UDP_PORT_BASE = 51324;
} // namespace nKVNetUtil

// True when data holds the whole payload "BYE".
bool IsFarewell(const UBYTE* data, UWORD length);
// Reads a HELLO or HELLO ACK payload. False when it is shorter than its 4 bytes (nothing is
// read beyond length).
bool ReadHelloPayload(const UBYTE* data, UWORD length, UBYTE& version, UWORD& udpPort);
// Writes the 4-byte payload of a HELLO (type 1) or HELLO ACK (type 2) into payload.
void WriteHelloPayload(UBYTE type, UWORD udpPort, UBYTE* payload);
