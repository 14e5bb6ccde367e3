#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Host/network (big-endian) byte order of 16- and 32-bit values in messages and frames.
namespace nKVByteOrder
{

constexpr bool IsHostBigEndian()
{
    return __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;
}

constexpr UWORD Swap16(UWORD value)
{
    return static_cast<UWORD>((value >> 8) | (value << 8));
}

constexpr ULONG Swap32(ULONG value)
{
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
           ((value & 0xFF000000u) >> 24);
}

constexpr UWORD HostToNet16(UWORD value)
{
    return IsHostBigEndian() ? value : Swap16(value);
}

constexpr UWORD NetToHost16(UWORD value)
{
    return HostToNet16(value);
}

constexpr ULONG HostToNet32(ULONG value)
{
    return IsHostBigEndian() ? value : Swap32(value);
}

constexpr ULONG NetToHost32(ULONG value)
{
    return HostToNet32(value);
}

// Big-endian stores and loads on unaligned byte buffers.
inline void StoreBig16(UBYTE* p, UWORD value)
{
    p[0] = static_cast<UBYTE>(value >> 8);
    p[1] = static_cast<UBYTE>(value);
}

inline void StoreBig32(UBYTE* p, ULONG value)
{
    p[0] = static_cast<UBYTE>(value >> 24);
    p[1] = static_cast<UBYTE>(value >> 16);
    p[2] = static_cast<UBYTE>(value >> 8);
    p[3] = static_cast<UBYTE>(value);
}

inline UWORD LoadBig16(const UBYTE* p)
{
    return static_cast<UWORD>((p[0] << 8) | p[1]);
}

inline ULONG LoadBig32(const UBYTE* p)
{
    return (ULONG(p[0]) << 24) | (ULONG(p[1]) << 16) | (ULONG(p[2]) << 8) | ULONG(p[3]);
}

// Little-endian stores and loads, the device's byte order.
inline void StoreLittle16(UBYTE* p, UWORD value)
{
    p[0] = static_cast<UBYTE>(value);
    p[1] = static_cast<UBYTE>(value >> 8);
}

inline void StoreLittle32(UBYTE* p, ULONG value)
{
    p[0] = static_cast<UBYTE>(value);
    p[1] = static_cast<UBYTE>(value >> 8);
    p[2] = static_cast<UBYTE>(value >> 16);
    p[3] = static_cast<UBYTE>(value >> 24);
}

inline UWORD LoadLittle16(const UBYTE* p)
{
    return static_cast<UWORD>(p[0] | (p[1] << 8));
}

inline ULONG LoadLittle32(const UBYTE* p)
{
    return ULONG(p[0]) | (ULONG(p[1]) << 8) | (ULONG(p[2]) << 16) | (ULONG(p[3]) << 24);
}

} // namespace nKVByteOrder
