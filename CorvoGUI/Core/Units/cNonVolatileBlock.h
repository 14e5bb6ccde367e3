#pragma once

#include "Common/Qt/NonVolatileAccess.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "KVNet/Core/KVNetTypes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class cNonVolatileStorageManager;

// Offsets of a block's fields, laid out one after the other in the order they are added (packed,
// as the non-volatile RAM file stores them). Offsets count from the first field, after the start
// marker.
class cNonVolatileLayout
{
public:
    // Offset of the next `count` fields of type T.
    template <typename T>
    size_t Add(size_t count = 1)
    {
        const size_t offset = mSize;
        mSize += sizeof(T) * count;
        return offset;
    }
    size_t GetSize() const { return mSize; }

private:
    size_t mSize = 0;
};

// One unit's block in the non-volatile RAM file: a u16 start marker, the unit's fields and a u16
// end marker, packed and in the machine's byte order. The block is taken at construction, so the
// construction order of the units is the file's layout.
//
// When the markers are not the unit's, the fields are zeroed and HasValidMarkers() is false: the
// unit then writes its defaults and calls WriteMarkers(); the reset is said once (ReportReset), so
// the user learns that settings were lost. With right markers the unit checks each field against its
// domain (Mend): a field outside takes its default on its own, or the lowest where its value stands
// for it (sFieldDomain::StandsForLowest), and the block's other fields are kept; a value inside its
// domain that the unit does not take (an earlier version's setting the window cannot show) is read as
// one it takes (MendReadAs). The mends are said once (ReportMended). Without a storage manager, or when it
// gives no memory, the block lives in memory of its own (reported): the unit works with its defaults and
// nothing is kept.
//
// Field access is bounded: a load or store that does not fit in the fields is reported; a load
// then gives a zero value and a store writes nothing.
//
// Threads: constructed on the GUI thread; then used by one thread at a time (the unit's syscall
// thread work), with no lock.
class cNonVolatileBlock
{
public:
    static constexpr size_t MARKER_SIZE = sizeof(UWORD);

    cNonVolatileBlock(cNonVolatileStorageManager* storage, size_t fieldSize, UWORD startMarker,
                      UWORD endMarker);
    ~cNonVolatileBlock();
    cNonVolatileBlock(const cNonVolatileBlock&) = delete;
    cNonVolatileBlock& operator=(const cNonVolatileBlock&) = delete;

    // True when both markers were the unit's at construction, so the fields hold its last state.
    bool HasValidMarkers() const { return mValidMarkers; }
    // Writes both markers (after the unit has written its defaults).
    void WriteMarkers();
    // Says, once, that the unit named `unit` lost its settings: a notification naming the unit and
    // why its block was reset. Nothing when the whole file started afresh (the storage manager said
    // so) or the block never was in the file.
    void ReportReset(const char* unit, const char* why) const;
    // ReportReset for a block whose markers were wrong; nothing when they were right.
    void ReportResetForMarkers(const char* unit) const;
    // When the field of type T at offset is outside its domain: stores the lowest when its value
    // stands for it, else the default, and notes the field (named as reports name it) with the value
    // it held for ReportMended. True when it was mended. The unit designs again whatever derives from
    // a mended field.
    template <typename T>
    bool Mend(size_t offset, const sFieldDomain& domain, T defaultValue, const std::string& field)
    {
        const long long value = static_cast<long long>(Load<T>(offset));
        if (domain.Contains(value))
        {
            return false;
        }
        if (domain.StandsForLowest(value))
        {
            MendReadAs<T>(offset, static_cast<T>(domain.mLowest), field,
                          nFieldDomains::ValueText(domain, domain.mLowest));
            return true;
        }
        Store<T>(offset, defaultValue);
        mMended.push_back(field + " " + std::to_string(value));
        return true;
    }
    // Stores `value` in the field of type T at offset, a value inside its domain that the field's
    // value held is read as (the lowest it stands for, or a value the window can show for one it
    // cannot), and notes the field (named as reports name it), the value it held and `taken` (how
    // reports name `value`) for ReportMended.
    template <typename T>
    void MendReadAs(size_t offset, T value, const std::string& field, const std::string& taken)
    {
        mReadAs.push_back(field + " " + std::to_string(static_cast<long long>(Load<T>(offset))) +
                          " read as " + taken);
        Store<T>(offset, value);
    }
    // Says, once, which fields of the unit named `unit` Mend and MendReadAs changed: a notification
    // naming the unit and each field with the value it held, out of its range and set to its default,
    // or read as another value. Nothing when no field was mended, the whole file started afresh or the
    // block never was in the file.
    void ReportMended(const char* unit) const;

    template <typename T>
    T Load(size_t offset) const
    {
        const UBYTE* field = FieldAddress(offset, sizeof(T));
        return field != nullptr ? nNonVolatile::Load<T>(field) : T{};
    }
    template <typename T>
    bool Store(size_t offset, T value)
    {
        UBYTE* field = FieldAddress(offset, sizeof(T));
        if (field == nullptr)
        {
            return false;
        }
        nNonVolatile::Store<T>(field, value);
        return true;
    }

    // Address of `size` bytes at `offset` within the fields, or null (reported) when they do not fit.
    UBYTE* FieldAddress(size_t offset, size_t size);
    const UBYTE* FieldAddress(size_t offset, size_t size) const;

    size_t GetFieldSize() const { return mFieldSize; }
    // Start marker, fields, end marker.
    size_t GetBlockSize() const { return mFieldSize + 2 * MARKER_SIZE; }
    // Address of the start marker.
    const UBYTE* GetBlockAddress() const { return mBlock; }
    // True when the block is in the storage manager's memory rather than memory of its own.
    bool IsInStorage() const { return mBlock != nullptr && mOwnMemory == nullptr; }

private:
    UBYTE* StartMarker() const { return mBlock; }
    UBYTE* EndMarker() const { return mBlock + MARKER_SIZE + mFieldSize; }

    size_t mFieldSize;
    UWORD mStartMarker;
    UWORD mEndMarker;
    UBYTE* mBlock = nullptr;
    std::unique_ptr<UBYTE[]> mOwnMemory;
    bool mValidMarkers = false;
    bool mRegionReset = true;         // the whole region started afresh: no block reports its own reset
    std::vector<std::string> mMended; // "<field> <value held>" of every field Mend set to its default
    // "<field> <value held> read as <value taken>" of every field MendReadAs set
    std::vector<std::string> mReadAs;
};
