#pragma once

#include <cstdint>

// Fixed-width integer types of the framework. ULONG and SLONG are 32-bit on every platform.
using UBYTE = std::uint8_t;
using UWORD = std::uint16_t;
using ULONG = std::uint32_t;
using SBYTE = std::int8_t;
using SWORD = std::int16_t;
using SLONG = std::int32_t;

// Gain in 1/256 dB; GAIN_MINUS_INFINITY stands for silence.
using GAIN = std::int16_t;
constexpr GAIN GAIN_MINUS_INFINITY = -32767;

// Handles, parameter numbers and message lengths.
using KV_NET_DATA_SCALE = std::uint16_t;
constexpr KV_NET_DATA_SCALE KV_NET_NO_HANDLE = 0xFFFF;
constexpr UWORD KV_NET_NO_CONNECTION = 0xFFFF;
constexpr UWORD KV_NET_LOCAL_CONNECTION = 0;

static_assert(sizeof(ULONG) == 4 && sizeof(SLONG) == 4, "ULONG and SLONG must be 32-bit");
