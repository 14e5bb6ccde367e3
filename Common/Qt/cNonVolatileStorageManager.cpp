#include "Common/Qt/cNonVolatileStorageManager.h"

#include "Common/Qt/NonVolatileAccess.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>

namespace
{

constexpr size_t MARKER_SIZE = sizeof(UWORD);
constexpr qint64 ZERO_CHUNK_SIZE = 64 * 1024;

inline unsigned long long AddressValue(const void* address)
{
    return static_cast<unsigned long long>(reinterpret_cast<quintptr>(address));
}

} // namespace

cNonVolatileStorageManager::cNonVolatileStorageManager(QString file, qint64 size, bool clear, bool align8)
    : mSizeOfSRAM(size)
    , mFile(new QFile(file))
    , mAlign8(align8)
{
    if (size <= 0)
    {
        KV_REPORT_ERROR("Invalid NonVolatileStorage size %lld for %s", static_cast<long long>(size),
                        qPrintable(file));
        mSizeOfSRAM = 0;
        return;
    }

    if (file.isEmpty())
    {
        KV_REPORT_ERROR("Could not create SRAM File: %s\n%s", "No file name specified", "");
        UseMemoryOnly();
        return;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!mFile->open(QIODevice::ReadWrite))
    {
        KV_REPORT_ERROR("Could not create SRAM File: %s\n%s", qPrintable(mFile->errorString()),
                        qPrintable(file));
        UseMemoryOnly();
        return;
    }
    if (!MapFile(clear))
    {
        UseMemoryOnly();
    }
}

cNonVolatileStorageManager::~cNonVolatileStorageManager()
{
    if (mFile->isOpen())
    {
        if (!mFile->flush())
        {
            KV_REPORT_ERROR("Failed to flush NonVolatileStorage! Err: %d, - %s - %s",
                            static_cast<int>(mFile->error()), qPrintable(mFile->fileName()),
                            qPrintable(mFile->errorString()));
        }
        if (mMapping != nullptr)
        {
            mFile->unmap(mMapping);
        }
        mFile->close();
    }
    delete mFile;
}

bool cNonVolatileStorageManager::MapFile(bool clear)
{
    bool zero = clear;
    const qint64 found = mFile->size();
    if (found < mSizeOfSRAM)
    {
        // A short file is rewritten whole: every byte of the mapping must exist in the file, or a
        // write through it would fault.
        if (!WriteZeros())
        {
            return false;
        }
        mFile->close();
        if (!mFile->open(QIODevice::ReadWrite))
        {
            KV_REPORT_ERROR("Could not re-open file %s", qPrintable(mFile->fileName()));
            return false;
        }
        zero = true;
    }
    if (mFile->size() < mSizeOfSRAM)
    {
        KV_REPORT_ERROR("SRAM File %s has %lld bytes, fewer than %lld", qPrintable(mFile->fileName()),
                        static_cast<long long>(mFile->size()), static_cast<long long>(mSizeOfSRAM));
        return false;
    }

    uchar* mapping = mFile->map(0, mSizeOfSRAM);
    if (mapping == nullptr)
    {
        KV_REPORT_ERROR("SRAM Mapping Failed");
        return false;
    }
    mMapping = mapping;
    mStartAddress = mNextFreeAddress = mapping;
    if (zero)
    {
        std::memset(mStartAddress, 0, static_cast<size_t>(mSizeOfSRAM));
        mWasReset = true;
        if (found == 0)
        {
            KV_REPORT_NOTIFICATION("Non-volatile RAM file %s created: every setting starts at its default",
                                   qPrintable(mFile->fileName()));
        }
        else if (found < mSizeOfSRAM)
        {
            KV_REPORT_NOTIFICATION(
                "Non-volatile RAM file %s had %lld bytes, not %lld: it was reset and every "
                "setting starts at its default",
                qPrintable(mFile->fileName()), static_cast<long long>(found),
                static_cast<long long>(mSizeOfSRAM));
        }
        else
        {
            KV_REPORT_NOTIFICATION("Non-volatile RAM file %s cleared: every setting starts at its default",
                                   qPrintable(mFile->fileName()));
        }
    }
    return true;
}

bool cNonVolatileStorageManager::WriteZeros()
{
    const QByteArray zeros(static_cast<int>(std::min(ZERO_CHUNK_SIZE, mSizeOfSRAM)), '\0');
    bool ok = mFile->seek(0);
    for (qint64 left = mSizeOfSRAM; ok && left > 0;)
    {
        const qint64 chunk = std::min<qint64>(left, zeros.size());
        ok = mFile->write(zeros.constData(), chunk) == chunk;
        left -= chunk;
    }
    ok = ok && mFile->flush();
    if (!ok)
    {
        KV_REPORT_ERROR("Could not resize SRAM File: %s\n%s", qPrintable(mFile->errorString()),
                        qPrintable(mFile->fileName()));
    }
    return ok;
}

void cNonVolatileStorageManager::UseMemoryOnly()
{
    mWasReset = true;
    if (mFile->isOpen())
    {
        mFile->close();
    }
    mMemoryRegion.reset(new (std::nothrow) UBYTE[static_cast<size_t>(mSizeOfSRAM)]());
    if (!mMemoryRegion)
    {
        KV_REPORT_ERROR("No memory for NonVolatileStorage of %lld bytes",
                        static_cast<long long>(mSizeOfSRAM));
        mSizeOfSRAM = 0;
        return;
    }
    mStartAddress = mNextFreeAddress = mMemoryRegion.get();
    KV_REPORT_ERROR(
        "NonVolatileStorage not mapped: settings are kept in memory only and will not be saved to %s",
        qPrintable(mFile->fileName()));
}

void* cNonVolatileStorageManager::AllocateBBSRAM(size_t size)
{
    if (mStartAddress != nullptr && !mRegionExhausted)
    {
        size_t offset = static_cast<size_t>(mNextFreeAddress - mStartAddress);
        if (mAlign8 && offset % 8 != 0)
        {
            offset += 8 - offset % 8;
        }
        const size_t capacity = static_cast<size_t>(mSizeOfSRAM);
        if (offset <= capacity && size <= capacity - offset)
        {
            mNextFreeAddress = mStartAddress + offset + size;
            return mStartAddress + offset;
        }
    }

    KV_REPORT_ERROR("Alloccation out of range. Size = %zu", size);
    KV_REPORT_ERROR("mNextFreeAddress = %llX, mStartAddress = %llX, mSizeOfSRAM = %llX",
                    AddressValue(mNextFreeAddress), AddressValue(mStartAddress),
                    static_cast<unsigned long long>(mSizeOfSRAM));
    // Later blocks follow in heap memory too, so no unit's block straddles one that came after it.
    mRegionExhausted = true;
    return AllocateHeapBlock(size);
}

void* cNonVolatileStorageManager::AllocateHeapBlock(size_t size)
{
    const size_t length = std::max<size_t>(size, 1);
    std::unique_ptr<UBYTE[]> bytes(new (std::nothrow) UBYTE[length]());
    if (!bytes)
    {
        KV_REPORT_ERROR("No memory for a block of %zu bytes", size);
        return nullptr;
    }
    UBYTE* block = bytes.get();
    mHeapBlocks.push_back(sHeapBlock{std::move(bytes), length});
    return block;
}

bool cNonVolatileStorageManager::FindMemory(const void* address, size_t length, UBYTE*& begin,
                                            UBYTE*& end) const
{
    const quintptr at = reinterpret_cast<quintptr>(address);
    auto holds = [at, length](UBYTE* first, size_t size)
    {
        const quintptr base = reinterpret_cast<quintptr>(first);
        return first != nullptr && length <= size && at >= base && at - base <= size - length;
    };
    if (holds(mStartAddress, static_cast<size_t>(mSizeOfSRAM)))
    {
        begin = mStartAddress;
        end = mStartAddress + mSizeOfSRAM;
        return true;
    }
    for (const sHeapBlock& block : mHeapBlocks)
    {
        if (holds(block.mBytes.get(), block.mSize))
        {
            begin = block.mBytes.get();
            end = begin + block.mSize;
            return true;
        }
    }
    return false;
}

bool cNonVolatileStorageManager::CheckMarkers(void* startMarker, UWORD expectedStart, void* endMarker,
                                              UWORD expectedEnd)
{
    UBYTE* startBegin = nullptr;
    UBYTE* startEnd = nullptr;
    UBYTE* endBegin = nullptr;
    UBYTE* endEnd = nullptr;
    if (!FindMemory(startMarker, MARKER_SIZE, startBegin, startEnd) ||
        !FindMemory(endMarker, MARKER_SIZE, endBegin, endEnd))
    {
        KV_REPORT_ERROR("Markers outside NonVolatileStorage: start %p, end %p", startMarker, endMarker);
        return false;
    }
    if (nNonVolatile::Load<UWORD>(startMarker) == expectedStart &&
        nNonVolatile::Load<UWORD>(endMarker) == expectedEnd)
    {
        return true;
    }

    UBYTE* const from = static_cast<UBYTE*>(startMarker);
    UBYTE* const to = static_cast<UBYTE*>(endMarker);
    size_t length = 0;
    if (startBegin == endBegin)
    {
        length = to >= from ? static_cast<size_t>(to - from) : 0;
    }
    else if (startBegin != mStartAddress || mRegionExhausted)
    {
        // The block continues in heap memory: only this block lies after its start.
        length = static_cast<size_t>(startEnd - from);
    }
    std::memset(from, 0, length);
    return false;
}

void cNonVolatileStorageManager::ClearAll()
{
    if (mStartAddress != nullptr)
    {
        std::memset(mStartAddress, 0, static_cast<size_t>(mSizeOfSRAM));
    }
    for (sHeapBlock& block : mHeapBlocks)
    {
        std::memset(block.mBytes.get(), 0, block.mSize);
    }
}
