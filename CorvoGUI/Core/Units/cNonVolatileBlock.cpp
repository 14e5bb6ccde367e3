#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"

#include "Common/Qt/cNonVolatileStorageManager.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstring>
#include <new>

cNonVolatileBlock::cNonVolatileBlock(cNonVolatileStorageManager* storage, size_t fieldSize, UWORD startMarker,
                                     UWORD endMarker)
    : mFieldSize(fieldSize)
    , mStartMarker(startMarker)
    , mEndMarker(endMarker)
{
    if (storage != nullptr)
    {
        mBlock = static_cast<UBYTE*>(storage->AllocateBBSRAM(GetBlockSize()));
    }
    if (mBlock == nullptr)
    {
        KV_REPORT_ERROR("No non-volatile storage for block 0x%04X: its settings are not kept",
                        unsigned(startMarker));
        mOwnMemory.reset(new (std::nothrow) UBYTE[GetBlockSize()]());
        mBlock = mOwnMemory.get();
        return;
    }
    mValidMarkers = storage->CheckMarkers(StartMarker(), mStartMarker, EndMarker(), mEndMarker);
    mRegionReset = storage->WasReset();
}

void cNonVolatileBlock::ReportReset(const char* unit, const char* why) const
{
    if (mRegionReset || !IsInStorage())
    {
        return;
    }
    KV_REPORT_NOTIFICATION("Settings of %s reset to their defaults: %s", unit != nullptr ? unit : "",
                           why != nullptr ? why : "");
}

void cNonVolatileBlock::ReportResetForMarkers(const char* unit) const
{
    if (!mValidMarkers)
    {
        ReportReset(unit, "its non-volatile block did not carry its markers");
    }
}

cNonVolatileBlock::~cNonVolatileBlock() = default;

void cNonVolatileBlock::WriteMarkers()
{
    if (mBlock == nullptr)
    {
        return;
    }
    nNonVolatile::Store<UWORD>(StartMarker(), mStartMarker);
    nNonVolatile::Store<UWORD>(EndMarker(), mEndMarker);
}

UBYTE* cNonVolatileBlock::FieldAddress(size_t offset, size_t size)
{
    return const_cast<UBYTE*>(static_cast<const cNonVolatileBlock*>(this)->FieldAddress(offset, size));
}

const UBYTE* cNonVolatileBlock::FieldAddress(size_t offset, size_t size) const
{
    if (mBlock == nullptr)
    {
        KV_REPORT_ERROR("Block 0x%04X has no memory", unsigned(mStartMarker));
        return nullptr;
    }
    if (offset > mFieldSize || size > mFieldSize - offset)
    {
        KV_REPORT_ERROR("Field out of range in block 0x%04X: offset %zu, size %zu, fields %zu",
                        unsigned(mStartMarker), offset, size, mFieldSize);
        return nullptr;
    }
    return mBlock + MARKER_SIZE + offset;
}

void cNonVolatileBlock::ReportMended(const char* unit) const
{
    if ((mMended.empty() && mReadAs.empty()) || mRegionReset || !IsInStorage())
    {
        return;
    }
    const auto join = [](const std::vector<std::string>& items)
    {
        std::string text;
        for (const std::string& item : items)
        {
            text += (text.empty() ? "" : ", ") + item;
        }
        return text;
    };
    // "held <fields>, out of its range; that setting takes its default", then "held <field> <value>
    // read as <value taken>, ..." for the values read as another.
    std::string clauses;
    if (!mMended.empty())
    {
        const bool one = mMended.size() == 1;
        clauses = "held " + join(mMended) + ", out of " + (one ? "its range" : "their ranges") + "; " +
                  (one ? "that setting takes its default" : "those settings take their defaults");
    }
    if (!mReadAs.empty())
    {
        clauses += (clauses.empty() ? "held " : "; it held ") + join(mReadAs);
    }
    KV_REPORT_NOTIFICATION("Settings of %s mended: its non-volatile block %s, the others are kept",
                           unit != nullptr ? unit : "", clauses.c_str());
}
