#pragma once

#include "KVNet/Core/KVNetTypes.h"

class QByteArray;
class QFile;

// Enciphers and deciphers saves files: Blowfish in ECB mode over the whole file, the last block
// padded with zeros, under the program's fixed 16-byte key. Saves files are readable only by a build
// with the same key.
//
// Threads: KeyCipher runs once on the GUI thread (saves manager construction) before any
// CipherData; CipherData runs on the thread that saves and recalls (the syscall thread), never two at
// once (the saves manager's mutex).
class cSavesFileCipher
{
public:
    static constexpr int KEY_LENGTH = 16;
    static constexpr int BLOCK_SIZE = 8;

    // The program's key bytes (KEY_LENGTH of them).
    static const UBYTE* Key();

    // Keys the process-wide cipher with the program's key.
    static bool KeyCipher();

    // Ciphers the input file, from its current position, into the output file at its current position.
    // Enciphering pads the last partial block with zeros, so the output is the input's size rounded up
    // to whole blocks; deciphering keeps the padding. Both files must be open (input readable, output
    // writable). Returns true on success; every failure reports an error and returns false, leaving the
    // blocks already written in the output. A deciphering input that is not whole blocks fails
    // before anything is written.
    static bool CipherData(QFile& input, QFile& output, bool encrypt);
    // Deciphers whole blocks in place. False (reported, bytes unchanged) when the cipher has no key
    // or the size is not whole blocks.
    static bool DecipherBytes(QByteArray& bytes);
};
