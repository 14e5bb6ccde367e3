#include "CorvoGUI/Core/Saves/Blowfish.h"

#include "CorvoGUI/Core/Saves/BlowfishTables.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstring>

namespace
{

struct sBlowfishState
{
    ULONG mP[BLOWFISH_P_ENTRIES];
    ULONG mS[BLOWFISH_S_BOXES][BLOWFISH_S_ENTRIES];
};

sBlowfishState gBlowfish;
bool gBlowfishKeyed = false;

inline ULONG F(const sBlowfishState& state, ULONG x)
{
    const ULONG a = state.mS[0][x >> 24];
    const ULONG b = state.mS[1][(x >> 16) & 0xFF];
    const ULONG c = state.mS[2][(x >> 8) & 0xFF];
    const ULONG d = state.mS[3][x & 0xFF];
    return ((a + b) ^ c) + d;
}

void Encipher(const sBlowfishState& state, ULONG& left, ULONG& right)
{
    ULONG l = left;
    ULONG r = right;
    for (int i = 0; i < BLOWFISH_ROUNDS; i += 2)
    {
        l ^= state.mP[i];
        r ^= F(state, l);
        r ^= state.mP[i + 1];
        l ^= F(state, r);
    }
    l ^= state.mP[BLOWFISH_ROUNDS];
    r ^= state.mP[BLOWFISH_ROUNDS + 1];
    left = r;
    right = l;
}

void Decipher(const sBlowfishState& state, ULONG& left, ULONG& right)
{
    ULONG l = left;
    ULONG r = right;
    for (int i = BLOWFISH_ROUNDS + 1; i > 1; i -= 2)
    {
        l ^= state.mP[i];
        r ^= F(state, l);
        r ^= state.mP[i - 1];
        l ^= F(state, r);
    }
    l ^= state.mP[1];
    r ^= state.mP[0];
    left = r;
    right = l;
}

inline ULONG LoadBig32(const UBYTE* p)
{
    return (ULONG(p[0]) << 24) | (ULONG(p[1]) << 16) | (ULONG(p[2]) << 8) | ULONG(p[3]);
}

inline void StoreBig32(UBYTE* p, ULONG value)
{
    p[0] = UBYTE(value >> 24);
    p[1] = UBYTE(value >> 16);
    p[2] = UBYTE(value >> 8);
    p[3] = UBYTE(value);
}

} // namespace

bool BlowfishInit(const UBYTE* key, int length)
{
    if (key == nullptr || length < 1)
    {
        KV_REPORT_ERROR("Blowfish key is empty (length %d)", length);
        return false;
    }

    // Build the schedule aside, so a reader never sees a half-keyed state.
    sBlowfishState state;
    std::memcpy(state.mS, gBlowfishInitialS, sizeof state.mS);
    int k = 0;
    for (int i = 0; i < BLOWFISH_P_ENTRIES; ++i)
    {
        ULONG word = 0;
        for (int j = 0; j < 4; ++j)
        {
            word = (word << 8) | key[k];
            k = (k + 1) % length;
        }
        state.mP[i] = gBlowfishInitialP[i] ^ word;
    }

    ULONG left = 0;
    ULONG right = 0;
    for (int i = 0; i < BLOWFISH_P_ENTRIES; i += 2)
    {
        Encipher(state, left, right);
        state.mP[i] = left;
        state.mP[i + 1] = right;
    }
    for (int box = 0; box < BLOWFISH_S_BOXES; ++box)
    {
        for (int i = 0; i < BLOWFISH_S_ENTRIES; i += 2)
        {
            Encipher(state, left, right);
            state.mS[box][i] = left;
            state.mS[box][i + 1] = right;
        }
    }

    gBlowfish = state;
    gBlowfishKeyed = true;
    return true;
}

bool BlowfishIsKeyed()
{
    return gBlowfishKeyed;
}

void BlowfishCipherBlock(const UBYTE* input, UBYTE* output, bool encrypt)
{
    ULONG left = LoadBig32(input);
    ULONG right = LoadBig32(input + 4);
    if (encrypt)
    {
        Encipher(gBlowfish, left, right);
    }
    else
    {
        Decipher(gBlowfish, left, right);
    }
    StoreBig32(output, left);
    StoreBig32(output + 4, right);
}
