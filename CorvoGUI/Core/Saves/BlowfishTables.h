#pragma once

#include "KVNet/Core/KVNetTypes.h"

// The cipher's unkeyed initial state: the P-array and the four S-boxes, filled in order with the
// fractional hexadecimal digits of pi (0x243F6A88 first). Read-only; any thread may read them.

constexpr int BLOWFISH_ROUNDS = 16;
constexpr int BLOWFISH_P_ENTRIES = BLOWFISH_ROUNDS + 2;
constexpr int BLOWFISH_S_BOXES = 4;
constexpr int BLOWFISH_S_ENTRIES = 256;

extern const ULONG gBlowfishInitialP[BLOWFISH_P_ENTRIES];
extern const ULONG gBlowfishInitialS[BLOWFISH_S_BOXES][BLOWFISH_S_ENTRIES];
