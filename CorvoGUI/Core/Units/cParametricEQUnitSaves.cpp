// cParametricEQUnit: save, recall and sync.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

#include <vector>

void cParametricEQUnit::SaveData(QDataStream* stream)
{
    *stream << GetBypass();
    for (UBYTE band = 0; band < mBands; ++band)
    {
        const sParametricEQBand b = GetBand(band);
        *stream << qint16(b.mFrequencyCode) << qint16(b.mWidthCode) << qint16(b.mGain) << qint32(b.mType)
                << qint8(b.mOption) << b.mBypass;
    }
}

bool cParametricEQUnit::ReadRecord(QDataStream* stream, bool& bypass,
                                   std::vector<sParametricEQBand>& bands) const
{
    qint8 unitBypass = 0;
    if (stream != nullptr)
    {
        *stream >> unitBypass;
    }
    std::vector<qint8> bandBypass(mBands);
    bands.assign(mBands, sParametricEQBand());
    for (UBYTE band = 0; band < mBands && stream != nullptr; ++band)
    {
        sParametricEQBand& b = bands[band];
        qint16 frequency = 0;
        qint16 width = 0;
        qint16 gain = 0;
        qint32 type = 0;
        qint8 option = 0;
        *stream >> frequency >> width >> gain >> type >> option >> bandBypass[band];
        b.mFrequencyCode = UWORD(frequency);
        b.mWidthCode = UWORD(width);
        b.mGain = gain;
        b.mType = ULONG(type);
        b.mOption = UBYTE(option);
    }
    if (!RecordReadWhole(stream) || !SavedFlagValid(unitBypass, "bypass"))
    {
        return false;
    }
    for (UBYTE band = 0; band < mBands; ++band)
    {
        const sParametricEQBand& b = bands[band];
        if (!SavedFlagValid(bandBypass[band], "band bypass"))
        {
            return false;
        }
        if (!nPEQ::IsKnownParametricEQType(b.mType))
        {
            return RefuseSavedField("band type", static_cast<long long>(qint32(b.mType)));
        }
        if (b.mGain < GAIN_MINUS_INFINITY)
        {
            return RefuseSavedField("band gain", b.mGain);
        }
        bands[band].mBypass = bandBypass[band] != 0;
    }
    bypass = unitBypass != 0;
    return true;
}

bool cParametricEQUnit::CheckRecord(QDataStream* stream)
{
    bool bypass = false;
    std::vector<sParametricEQBand> bands;
    return ReadRecord(stream, bypass, bands);
}

bool cParametricEQUnit::RecallData(QDataStream* stream)
{
    bool bypass = false;
    std::vector<sParametricEQBand> bands;
    if (!ReadRecord(stream, bypass, bands))
    {
        return false;
    }

    bool changed = false;
    if (bypass != GetBypass())
    {
        SetBypassField(bypass);
        mDriver->SetUnitBypass(bypass);
        PublishUBYTE(P_BYPASS, bypass ? 1 : 0);
        changed = true;
    }
    for (UBYTE band = 0; band < mBands; ++band)
    {
        const sParametricEQBand& read = bands[band];
        const sParametricEQBand current = GetBand(band);
        if (read.mFrequencyCode != current.mFrequencyCode)
        {
            SetFrequency(band, read.mFrequencyCode);
            PublishUWORD(FrequencyParameter(band), read.mFrequencyCode);
            changed = true;
        }
        if (read.mWidthCode != current.mWidthCode)
        {
            SetWidth(band, read.mWidthCode);
            PublishUWORD(WidthParameter(band), read.mWidthCode);
            changed = true;
        }
        if (read.mGain != current.mGain)
        {
            SetGain(band, read.mGain);
            PublishUWORD(GainParameter(band), ConvertGainToUWORD(read.mGain));
            changed = true;
        }
        if (read.mType != current.mType)
        {
            SetType(band, read.mType);
            PublishType(band, read.mType);
            changed = true;
        }
        if (read.mOption != current.mOption)
        {
            SetOption(band, read.mOption);
            changed = true;
        }
        if (read.mBypass != current.mBypass)
        {
            SetBandBypass(band, read.mBypass);
            PublishUBYTE(BandBypassParameter(band), read.mBypass ? 1 : 0);
            changed = true;
        }
        if (changed)
        {
            DesignBand(band);
            SendBand(band);
        }
    }
    return true;
}

eSyncResult cParametricEQUnit::SyncData()
{
    std::vector<sFilter> records;
    if (!mDriver->GetSyncData(records))
    {
        return SYNC_SKIPPED;
    }
    for (UBYTE band = 0; band < mBands && band < records.size(); ++band)
    {
        const sFilter& record = records[band];
        const sParametricEQBand current = GetBand(band);
        bool changed = false;
        const bool bypass = (record.mBypass & ~UWORD(cParametricEQDriver::GANG_BIT)) != 0;
        if (bypass != current.mBypass)
        {
            SetBandBypass(band, bypass);
            PublishUBYTE(BandBypassParameter(band), bypass ? 1 : 0);
            changed = true;
        }
        if (record.mFrequencyCode != current.mFrequencyCode)
        {
            SetFrequency(band, record.mFrequencyCode);
            PublishUWORD(FrequencyParameter(band), record.mFrequencyCode);
            changed = true;
        }
        if (record.mWidthCode != current.mWidthCode)
        {
            SetWidth(band, record.mWidthCode);
            PublishUWORD(WidthParameter(band), record.mWidthCode);
            changed = true;
        }
        const SWORD gain = SWORD(record.mGainCode);
        if (gain != current.mGain)
        {
            SetGain(band, gain);
            PublishUWORD(GainParameter(band), ConvertGainToUWORD(gain));
            changed = true;
        }
        const UBYTE option = UBYTE(record.mBandOption & 0xFF);
        bool optionTaken = false;
        if (record.mFilterType != current.mType)
        {
            if (nPEQ::IsKnownParametricEQType(record.mFilterType))
            {
                SetType(band, record.mFilterType);
                SetOption(band, option);
                PublishType(band, record.mFilterType);
                optionTaken = true;
                changed = true;
            }
            else
            {
                KV_REPORT_ERROR("%s: band %d, unknown type %d from the device refused", GetSaveName(),
                                int(band), int(record.mFilterType));
            }
        }
        if (!optionTaken && option != current.mOption)
        {
            SetOption(band, option);
            changed = true;
        }
        if (changed)
        {
            DesignBand(band);
            SendBand(band);
        }
    }
    return SYNC_DONE;
}
