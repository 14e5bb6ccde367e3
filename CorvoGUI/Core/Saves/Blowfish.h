#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Blowfish (16 rounds) with one process-wide key schedule.
//
// Threads: BlowfishInit is called once, before any block is ciphered (the saves manager keys the
// cipher at construction on the GUI thread); BlowfishCipherBlock then runs on the thread that saves
// and recalls. The two must never run at the same time: nothing locks the key schedule.

// Keys the cipher: the standard schedule, the key bytes taken cyclically, four at a time, big-endian,
// XORed into the P-array, then the all-zero block enciphered repeatedly to replace P and the S-boxes
// in order. A null key or a length below 1 reports an error, keeps the previous schedule and returns
// false.
bool BlowfishInit(const UBYTE* key, int length);

// True once BlowfishInit has succeeded.
bool BlowfishIsKeyed();

// Enciphers (encrypt true) or deciphers one 8-byte block: left half = bytes 0-3, right half =
// bytes 4-7, both big-endian. input and output may be the same buffer.
void BlowfishCipherBlock(const UBYTE* input, UBYTE* output, bool encrypt);
