// cParametricEQUnit: save, recall and sync.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

#include <algorithm>
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
        sParametricEQBand& b = bands[band];
        long long type = qint32(b.mType);
        long long gain = b.mGain;
        if (!SavedFlagValid(bandBypass[band], "band bypass") ||
            !ReadSavedField(nFieldDomains::BAND_TYPE, type, "band type") ||
            !ReadSavedField(nFieldDomains::GAIN, gain, "band gain"))
        {
            return false;
        }
        // A type the band's switch does not offer, which the earlier version took: the band's default.
        if (!OffersType(band, ULONG(type)))
        {
            NoteReadAs("band " + std::to_string(band) + " type", type,
                       nFieldDomains::ValueText(nFieldDomains::BAND_TYPE, nPEQ::BELL));
            type = nPEQ::BELL;
        }
        // A band bypass, which the earlier version's sync took from the device: the band active.
        if (bandBypass[band] != 0)
        {
            NoteReadAs("band " + std::to_string(band) + " bypass", bandBypass[band],
                       nFieldDomains::ValueText(nFieldDomains::FLAG, 0));
        }
        b.mType = ULONG(type);
        b.mGain = SWORD(gain);
        b.mBypass = false;
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

// Only what the window shows and changes is taken: the unit's bypass, each band's frequency, width,
// gain, and the type where the band's switch offers it. A band's bypass and option have no control in
// the window, so they stay the unit's own.
eSyncResult cParametricEQUnit::SyncData()
{
    std::vector<sFilter> records;
    if (!mDriver->GetSyncData(records))
    {
        return SYNC_SKIPPED;
    }
    // The program never writes the unit's bypass into the device's records (a bypassed unit is sent
    // as flat sections), so band 0's bypass field can say bypassed but never "in": the unit keeps
    // its own IN/OUT otherwise. Where band 0 is itself bypassed the field holds the program's own
    // band bypass, which says nothing of the unit.
    bool bypassChanged = false;
    if (mBands > 0 && !records.empty())
    {
        const long long field = records[0].mBypass & ~UWORD(cParametricEQDriver::GANG_BIT);
        const bool bypassed =
            FromDevice(nFieldDomains::FLAG, field, GetBypass() ? 1 : 0, "band 0 bypass") != 0;
        if (bypassed && !GetBypass() && !GetBand(0).mBypass)
        {
            SetBypassField(true);
            mDriver->SetUnitBypass(true);
            PublishUBYTE(P_BYPASS, 1);
            bypassChanged = true;
        }
    }
    for (UBYTE band = 0; band < mBands && band < records.size(); ++band)
    {
        const sFilter& record = records[band];
        const sParametricEQBand current = GetBand(band);
        const std::string prefix = "band " + std::to_string(band) + " ";
        bool changed = bypassChanged;
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
        const SWORD gain =
            SWORD(FromDevice(nFieldDomains::GAIN, SWORD(record.mGainCode), current.mGain, prefix + "gain"));
        if (gain != current.mGain)
        {
            SetGain(band, gain);
            PublishUWORD(GainParameter(band), ConvertGainToUWORD(gain));
            changed = true;
        }
        const ULONG type = record.mFilterType;
        if (!nFieldDomains::BAND_TYPE.Contains(type))
        {
            KV_REPORT_ERROR("%s: band %d, unknown type %d from the device refused", GetSaveName(), int(band),
                            int(type));
        }
        else if (type != current.mType && !OffersType(band, type))
        {
            KV_REPORT_ERROR(
                "%s: band %d, type %d from the device refused: the band's switch offers no such type",
                GetSaveName(), int(band), int(type));
        }
        else if (type != current.mType)
        {
            SetType(band, type);
            PublishType(band, type);
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

void cParametricEQUnit::CompleteSync()
{
    std::vector<sFilter> records;
    if (!mDriver->GetSyncData(records) || records.empty())
    {
        return;
    }
    const size_t bands = std::min<size_t>(mBands, records.size());
    // Band 0's bypass field holds the unit's bypass when it is set while band 0 is not bypassed: the
    // program never writes it so, and the sync took it as the unit's.
    const bool bypassOnDevice =
        (records[0].mBypass & ~UWORD(cParametricEQDriver::GANG_BIT)) != 0 && !GetBand(0).mBypass;
    std::vector<bool> differs(bands, false);
    bool anyDiffers = false;
    for (size_t band = 0; band < bands; ++band)
    {
        sFilter sent = mDriver->SentRecord(GetBand(UBYTE(band)));
        if (band == 0 && bypassOnDevice)
        {
            sent.mBypass |= 1;
        }
        differs[band] = !(sent == records[band]);
        anyDiffers = anyDiffers || differs[band];
    }
    // The bands go together where the device's own bypass of the unit ends (band 0's record ends it,
    // and every band must then play as the window shows), and where the unit is OUT without the device
    // saying so: a bypassed unit is sent as flat sections, which the device's records do not show.
    const bool all = GetBypass() != bypassOnDevice || (bypassOnDevice && anyDiffers);
    for (size_t band = 0; band < bands; ++band)
    {
        if (all || differs[band])
        {
            SendBand(UBYTE(band));
        }
    }
}
