#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

class QFile;

// Keeps the device model's settings across runs in a file used as battery-backed RAM: the file's
// first `size` bytes are memory-mapped and every unit takes a fixed block of them at construction,
// reading and writing its fields in place (see NonVolatileAccess.h). The file has no header: blocks
// are packed from offset 0 in allocation order, so the construction order of the units is the
// file's layout. Each block is framed by a 16-bit start and end marker; a block whose markers are
// wrong is reset to its unit's defaults.
//
// When the file cannot be opened, grown or mapped, the region is a zeroed heap buffer of the same
// size instead (reported once): the units work with their defaults and nothing is kept. An
// allocation that does not fit gets a zeroed heap block of its own (reported), so an allocation never
// fails for lack of a file.
//
// Threads: constructed, allocated and destroyed on the GUI thread; the units then read and write their
// blocks on the syscall thread with no lock. Must outlive every unit: the blocks point into its
// region and its heap blocks.
class cNonVolatileStorageManager
{
public:
    // Opens (creating it and its folder when missing) and maps the file. A file of at least `size`
    // bytes is used as is (only its first `size` bytes; zeroed when `clear` is set); an empty or
    // shorter file is written out to `size` zero bytes first, losing its contents. With `align8`
    // every block starts at a multiple of 8 bytes from the region start; otherwise blocks are packed.
    cNonVolatileStorageManager(QString file, qint64 size, bool clear, bool align8);
    // Flushes and closes the file (reporting a failed flush); the mapping and all blocks end here.
    virtual ~cNonVolatileStorageManager();

    cNonVolatileStorageManager(const cNonVolatileStorageManager&) = delete;
    cNonVolatileStorageManager& operator=(const cNonVolatileStorageManager&) = delete;

    // Returns the address of a new block of `size` bytes. A block that would end beyond the region
    // reports "Alloccation out of range" and comes from the heap, zeroed; so does every later one.
    // Returns null only when even that memory cannot be had.
    void* AllocateBBSRAM(size_t size);

    // True when the u16 at `startMarker` equals `expectedStart` and the one at `endMarker` equals
    // `expectedEnd`. Otherwise zeroes the bytes from the start marker up to (not including) the end
    // marker and returns false; the caller then writes its defaults and both markers. Addresses that
    // are not in this manager's memory are reported, nothing is touched, and the result is false.
    bool CheckMarkers(void* startMarker, UWORD expectedStart, void* endMarker, UWORD expectedEnd);

    // Zeroes the whole region.
    void ClearAll();

    // True when the region is the file's mapping, so the units' settings persist.
    bool IsMapped() const { return mMapping != nullptr; }
    // True when construction started the whole region afresh (a new, short or cleared file, or no
    // file at all): every unit takes its defaults, and that was said once (a notification for a
    // file, an error without one).
    bool WasReset() const { return mWasReset; }
    UBYTE* GetStartAddress() const { return mStartAddress; }
    qint64 GetSizeOfSRAM() const { return mSizeOfSRAM; }
    // Bytes of the region handed out so far (alignment gaps included).
    qint64 GetUsedSize() const { return mNextFreeAddress - mStartAddress; }

private:
    struct sHeapBlock
    {
        std::unique_ptr<UBYTE[]> mBytes;
        size_t mSize;
    };

    bool MapFile(bool clear);
    bool WriteZeros();
    void UseMemoryOnly();
    void* AllocateHeapBlock(size_t size);
    // The memory [begin, end) that holds `length` bytes at `address`, or false.
    bool FindMemory(const void* address, size_t length, UBYTE*& begin, UBYTE*& end) const;

    qint64 mSizeOfSRAM;
    UBYTE* mStartAddress = nullptr;
    UBYTE* mNextFreeAddress = nullptr;
    QFile* mFile = nullptr;
    bool mAlign8;

    UBYTE* mMapping = nullptr;
    std::unique_ptr<UBYTE[]> mMemoryRegion;
    bool mRegionExhausted = false;
    bool mWasReset = false;
    std::vector<sHeapBlock> mHeapBlocks;
};
