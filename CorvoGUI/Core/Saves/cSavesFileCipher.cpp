#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"

#include "CorvoGUI/Core/Saves/Blowfish.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QByteArray>
#include <QFile>

#include <cstring>

namespace
{

// "CorvoSaveFileKey"
constexpr UBYTE gSavesFileKey[cSavesFileCipher::KEY_LENGTH] = {
    0x43, 0x6F, 0x72, 0x76, 0x6F, 0x53, 0x61, 0x76, 0x65, 0x46, 0x69, 0x6C, 0x65, 0x4B, 0x65, 0x79};

bool WriteBlock(QFile& output, const UBYTE* block)
{
    const qint64 written = output.write(reinterpret_cast<const char*>(block), cSavesFileCipher::BLOCK_SIZE);
    if (written == -1)
    {
        KV_REPORT_ERROR("Write error: could not write to file");
        return false;
    }
    if (written != cSavesFileCipher::BLOCK_SIZE)
    {
        KV_REPORT_ERROR("Write error: only wrote %d bytes", int(written));
        return false;
    }
    return true;
}

} // namespace

const UBYTE* cSavesFileCipher::Key()
{
    return gSavesFileKey;
}

bool cSavesFileCipher::KeyCipher()
{
    return BlowfishInit(gSavesFileKey, KEY_LENGTH);
}

bool cSavesFileCipher::CipherData(QFile& input, QFile& output, bool encrypt)
{
    if (!BlowfishIsKeyed())
    {
        KV_REPORT_ERROR("Saves-file cipher has no key");
        return false;
    }
    if (!input.isReadable())
    {
        KV_REPORT_ERROR("Cipher input file is not open for reading: %s", qPrintable(input.fileName()));
        return false;
    }
    if (!output.isWritable())
    {
        KV_REPORT_ERROR("Cipher output file is not open for writing: %s", qPrintable(output.fileName()));
        return false;
    }

    const qint64 size = input.size() - input.pos();
    const qint64 remainder = size % BLOCK_SIZE;
    if (!encrypt && remainder != 0)
    {
        KV_REPORT_ERROR("Input file is incorrect size for decrpyting");
        return false;
    }

    UBYTE block[BLOCK_SIZE];
    for (qint64 blocks = (size - remainder) / BLOCK_SIZE; blocks > 0; --blocks)
    {
        const qint64 read = input.read(reinterpret_cast<char*>(block), BLOCK_SIZE);
        if (read != BLOCK_SIZE)
        {
            KV_REPORT_ERROR("Read error: only read %d bytes", int(read));
            return false;
        }
        BlowfishCipherBlock(block, block, encrypt);
        if (!WriteBlock(output, block))
        {
            return false;
        }
    }

    if (remainder != 0)
    {
        const qint64 read = input.read(reinterpret_cast<char*>(block), remainder);
        if (read != remainder)
        {
            KV_REPORT_ERROR("Read error: only read %d bytes", int(read));
            return false;
        }
        std::memset(block + remainder, 0, size_t(BLOCK_SIZE - remainder));
        BlowfishCipherBlock(block, block, true);
        if (!WriteBlock(output, block))
        {
            return false;
        }
    }

    if (!output.flush())
    {
        KV_REPORT_ERROR("Write error: could not write to file");
        return false;
    }
    return true;
}

bool cSavesFileCipher::DecipherBytes(QByteArray& bytes)
{
    if (!BlowfishIsKeyed())
    {
        KV_REPORT_ERROR("Saves-file cipher has no key");
        return false;
    }
    if (bytes.size() % BLOCK_SIZE != 0)
    {
        KV_REPORT_ERROR("Input file is incorrect size for decrpyting");
        return false;
    }
    UBYTE* data = reinterpret_cast<UBYTE*>(bytes.data());
    for (int offset = 0; offset < bytes.size(); offset += BLOCK_SIZE)
    {
        BlowfishCipherBlock(data + offset, data + offset, false);
    }
    return true;
}
