#include "CorvoGUI/Core/Units/cParametricEQDriver.h"

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/FilterTableLayout.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cParametricEQDriver::cParametricEQDriver(const char* name, cNonVolatileStorageManager* storage,
                                         cSerialInterface* serial, cSaveObjectRegistry* saves, UBYTE bands,
                                         double scale, double samplePeriod, double sampleRate, double factor,
                                         UBYTE side, UBYTE channel, UBYTE slot)
    : mSerial(serial)
    , mBands(bands)
    , mSide(side)
    , mChannel(channel)
    , mSlot(slot)
{
    mUnit = new cParametricEQUnit(name, this, storage, saves, bands, scale, samplePeriod, sampleRate, factor,
                                  false);
    mBands = mUnit->GetNumberOfBands();
    SetAudioObject(mUnit);
}

cParametricEQDriver::~cParametricEQDriver()
{
    DestroyAudioObject();
    mUnit = nullptr;
}

void cParametricEQDriver::SetGang(bool gang)
{
    if (gang == mGang)
    {
        return;
    }
    mGang = gang;
    if (mUnit != nullptr)
    {
        mUnit->SendAllBands();
    }
}

ULONG cParametricEQDriver::GetFilterId(UBYTE band) const
{
    return nFilterTable::FilterId(mChannel, mSlot + band);
}

void cParametricEQDriver::SendBand(UBYTE band, const sParametricEQBand& settings, const tBiquadWords& words)
{
    if (mSerial == nullptr)
    {
        return;
    }
    const tBiquadSendBuffer buffer =
        mUnitBypass ? BiquadUnitySendBuffer(UNITY_WORD) : BiquadSendBuffer(words);
    const sFilter record = SentRecord(settings);
    mSerial->QueueFilter(GetFilterId(band), buffer.data(), UBYTE(buffer.size()), record.mFrequencyCode,
                         record.mWidthCode, record.mGainCode, UBYTE(record.mFilterType),
                         UBYTE(record.mBandOption), UBYTE(record.mBypass));
}

sFilter cParametricEQDriver::SentRecord(const sParametricEQBand& settings) const
{
    sFilter record;
    record.mFrequencyCode = settings.mFrequencyCode;
    record.mWidthCode = settings.mWidthCode;
    record.mGainCode = UWORD(settings.mGain);
    record.mFilterType = UWORD(settings.mType & 0xFF);
    record.mBandOption = settings.mOption;
    record.mBypass = UWORD((mGang ? GANG_BIT : 0) | (settings.mBypass ? 1 : 0));
    return record;
}

int cParametricEQDriver::GetSyncIndex() const
{
    switch (mChannel)
    {
    case 0:
    case 1:
        return mSlot + mSide * 4;
    case 2:
    case 3:
        return mSlot + mSide * 6 + 8;
    case 4:
    case 5:
        return mSlot + mSide * 8 + 20;
    default:
        KV_REPORT_ERROR("Unhandled mBase");
        return -1;
    }
}

bool cParametricEQDriver::GetSyncData(std::vector<sFilter>& records) const
{
    if (mSerial == nullptr)
    {
        return false;
    }
    const int index = GetSyncIndex();
    if (index < 0 || index + mBands > nSerialProtocol::FILTER_RECORDS)
    {
        KV_REPORT_ERROR("No device filter records for channel %d, slot %d, %d bands", int(mChannel),
                        int(mSlot), int(mBands));
        return false;
    }
    sFilterTable table;
    if (!mSerial->GetFilterTable(table))
    {
        return false;
    }
    records.assign(table.begin() + index, table.begin() + index + mBands);
    return true;
}

void cParametricEQDriver::ResetUnitDefaults()
{
    if (mUnit != nullptr)
    {
        mUnit->LoadDefaults();
    }
}
