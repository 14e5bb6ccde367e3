#include "CorvoGUI/Core/Units/cPassFilterDriver.h"

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/FilterTableLayout.h"
#include "CorvoGUI/Core/Units/cPassFilterUnit.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cPassFilterDriver::cPassFilterDriver(cSerialInterface* serial, UBYTE channel, UBYTE slot, UBYTE sections)
    : mSerial(serial)
    , mChannel(channel)
    , mSlot(slot)
    , mSections(sections)
{
}

cPassFilterDriver::~cPassFilterDriver()
{
    DestroyAudioObject();
    mUnit = nullptr;
}

void cPassFilterDriver::AttachUnit(cPassFilterUnit* unit)
{
    SetAudioObject(unit);
    mUnit = unit;
}

ULONG cPassFilterDriver::GetFilterId(UBYTE section, UBYTE side) const
{
    return nFilterTable::FilterId(mChannel + side, mSlot + section);
}

void cPassFilterDriver::SendSection(UBYTE section, const tBiquadWords& words, UWORD frequencyCode,
                                    ULONG slopeType)
{
    if (mSerial == nullptr)
    {
        return;
    }
    const tBiquadSendBuffer buffer = mBypass ? BiquadUnitySendBuffer(UNITY_WORD) : BiquadSendBuffer(words);
    for (UBYTE side = 0; side < 2; ++side)
    {
        mSerial->QueueFilter(GetFilterId(section, side), buffer.data(), UBYTE(buffer.size()), frequencyCode,
                             0, 0, UBYTE(slopeType), 0, mBypass ? 1 : 0);
    }
}

bool cPassFilterDriver::GetSyncData(sFilter& record) const
{
    if (mSerial == nullptr)
    {
        return false;
    }
    const int index = nFilterTable::Index(mChannel, mSlot);
    if (index < 0)
    {
        KV_REPORT_ERROR("No device filter record for channel %d, slot %d", int(mChannel), int(mSlot));
        return false;
    }
    sFilterTable table;
    if (!mSerial->GetFilterTable(table))
    {
        return false;
    }
    record = table[size_t(index)];
    return true;
}

void cPassFilterDriver::ResetUnitDefaults()
{
    if (mUnit != nullptr)
    {
        mUnit->ResetDefaults();
    }
}
