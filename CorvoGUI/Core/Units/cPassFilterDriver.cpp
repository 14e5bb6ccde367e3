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
    const sFilter record = SentRecord(frequencyCode, slopeType);
    for (UBYTE side = 0; side < 2; ++side)
    {
        mSerial->QueueFilter(GetFilterId(section, side), buffer.data(), UBYTE(buffer.size()),
                             record.mFrequencyCode, record.mWidthCode, record.mGainCode,
                             UBYTE(record.mFilterType), UBYTE(record.mBandOption), UBYTE(record.mBypass));
    }
}

sFilter cPassFilterDriver::SentRecord(UWORD frequencyCode, ULONG slopeType) const
{
    sFilter record;
    record.mFrequencyCode = frequencyCode;
    record.mFilterType = UWORD(slopeType & 0xFF);
    record.mBypass = mBypass ? 1 : 0;
    return record;
}

bool cPassFilterDriver::GetSyncData(sFilter& record) const
{
    return GetDeviceRecord(0, 0, record);
}

bool cPassFilterDriver::GetDeviceRecord(UBYTE section, UBYTE side, sFilter& record) const
{
    if (mSerial == nullptr)
    {
        return false;
    }
    const int channel = mChannel + side;
    const int slot = mSlot + section;
    const int index = nFilterTable::Index(channel, slot);
    if (index < 0)
    {
        KV_REPORT_ERROR("No device filter record for channel %d, slot %d", channel, slot);
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
