#include "CorvoGUI/Core/Units/cControlStripUnit.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

#include <optional>

namespace
{

// The block's fields after the start marker: u8 mute, u8 polarity, s16 gain.
struct sStripLayout
{
    size_t mMute;
    size_t mPolarity;
    size_t mGain;
    size_t mSize;
};

sStripLayout MakeStripLayout()
{
    cNonVolatileLayout layout;
    sStripLayout fields;
    fields.mMute = layout.Add<UBYTE>();
    fields.mPolarity = layout.Add<UBYTE>();
    fields.mGain = layout.Add<SWORD>();
    fields.mSize = layout.GetSize();
    return fields;
}

const sStripLayout kFields = MakeStripLayout();

} // namespace

cControlStripUnit::cControlStripUnit(const char* name, cNonVolatileStorageManager* storage,
                                     cSaveObjectRegistry* saves, cControlStripDriver* driver,
                                     bool invertPolarity)
    : cAudioObject(name, NUMBER_OF_PARAMETERS, false)
    , cSaveObject(name, saves)
    , mDriver(driver)
    , mInvertPolarity(invertPolarity)
    , mBlock(storage, kFields.mSize, NV_START_MARKER, NV_END_MARKER)
{
    if (!mBlock.HasValidMarkers())
    {
        mBlock.ReportResetForMarkers(GetSaveName());
        ResetDefaults();
        return;
    }
    MendStoredFields();
}

cControlStripUnit::~cControlStripUnit()
{
    Unregister();
}

void cControlStripUnit::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_MUTE:
        OnMute(message);
        break;
    case P_POLARITY:
        OnPolarity(message);
        break;
    case P_GAIN:
        OnGain(message);
        break;
    case P_UNUSED:
        break;
    default:
        cAudioObject::EntrypointMessage(message);
        break;
    }
}

void cControlStripUnit::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                        KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    switch (sourceMethod)
    {
    case P_MUTE:
        AnswerUBYTE(connectionId, handle, destinationMethod, ConvertBoolToUBYTE(GetMute()));
        break;
    case P_POLARITY:
        AnswerUBYTE(connectionId, handle, destinationMethod, ConvertBoolToUBYTE(GetPolarity()));
        break;
    case P_GAIN:
        AnswerUWORD(connectionId, handle, destinationMethod, ConvertGainToUWORD(GetGain()));
        break;
    case P_UNUSED:
        AnswerUWORD(connectionId, handle, destinationMethod, 0);
        break;
    default:
        cAudioObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        break;
    }
}

void cControlStripUnit::SaveData(QDataStream* stream)
{
    if (stream == nullptr)
    {
        KV_REPORT_ERROR("No stream to save %s to", GetSaveName());
        return;
    }
    const sSettings settings = GetSettings();
    *stream << settings.mMute << settings.mPolarity << qint16(settings.mGain);
}

bool cControlStripUnit::ReadRecord(QDataStream* stream, sSettings& settings) const
{
    qint8 mute = 0;
    qint8 polarity = 0;
    qint16 gain = 0;
    if (stream != nullptr)
    {
        *stream >> mute >> polarity >> gain;
    }
    long long readGain = gain;
    if (!RecordReadWhole(stream) || !SavedFlagValid(mute, "mute") || !SavedFlagValid(polarity, "polarity") ||
        !ReadSavedField(nFieldDomains::GAIN, readGain, "gain"))
    {
        return false;
    }
    settings.mMute = mute != 0;
    settings.mPolarity = polarity != 0;
    settings.mGain = GAIN(readGain);
    return true;
}

bool cControlStripUnit::CheckRecord(QDataStream* stream)
{
    sSettings settings;
    return ReadRecord(stream, settings);
}

bool cControlStripUnit::RecallData(QDataStream* stream)
{
    sSettings settings;
    if (!ReadRecord(stream, settings))
    {
        return false;
    }
    ApplySettings(settings);
    return true;
}

eSyncResult cControlStripUnit::SyncData()
{
    sControlStripRecord record;
    if (mDriver == nullptr || !mDriver->GetDeviceRecord(record))
    {
        return SYNC_SKIPPED;
    }
    const sSettings current = GetSettings();
    sSettings settings;
    settings.mMute = FromDevice(nFieldDomains::FLAG, record.mMute, current.mMute, "mute") != 0;
    const bool devicePolarity =
        FromDevice(nFieldDomains::FLAG, record.mPolarity, DevicePolarity(current.mPolarity), "polarity") != 0;
    settings.mPolarity = devicePolarity != mInvertPolarity;
    settings.mGain = GAIN(FromDevice(nFieldDomains::GAIN, record.mGainCode, current.mGain, "gain"));
    ApplySettings(settings);
    return SYNC_DONE;
}

void cControlStripUnit::CompleteSync()
{
    if (mDriver != nullptr)
    {
        mDriver->SendIfTheDeviceDiffers();
    }
}

bool cControlStripUnit::ApplySettings(const sSettings& settings)
{
    bool changed = false;
    if (settings.mMute != GetMute())
    {
        StoreFlag(kFields.mMute, settings.mMute);
        PublishUBYTE(P_MUTE, ConvertBoolToUBYTE(settings.mMute));
        changed = true;
    }
    if (settings.mPolarity != GetPolarity())
    {
        StoreFlag(kFields.mPolarity, settings.mPolarity);
        PublishUBYTE(P_POLARITY, ConvertBoolToUBYTE(settings.mPolarity));
        changed = true;
    }
    if (settings.mGain != GetGain())
    {
        mBlock.Store<SWORD>(kFields.mGain, settings.mGain);
        PublishUWORD(P_GAIN, ConvertGainToUWORD(settings.mGain));
        changed = true;
    }
    if (changed && mDriver != nullptr)
    {
        mDriver->SetAll(settings.mMute, DevicePolarity(settings.mPolarity), settings.mGain);
    }
    return changed;
}

void cControlStripUnit::ResetDefaults()
{
    const sSettings defaults = DefaultSettings();
    StoreFlag(kFields.mMute, defaults.mMute);
    StoreFlag(kFields.mPolarity, defaults.mPolarity);
    mBlock.Store<SWORD>(kFields.mGain, defaults.mGain);
    mBlock.WriteMarkers();
}

cControlStripUnit::sSettings cControlStripUnit::GetSettings() const
{
    sSettings settings;
    settings.mMute = GetMute();
    settings.mPolarity = GetPolarity();
    settings.mGain = GetGain();
    return settings;
}

bool cControlStripUnit::GetMute() const
{
    return mBlock.Load<UBYTE>(kFields.mMute) != 0;
}

bool cControlStripUnit::GetPolarity() const
{
    return mBlock.Load<UBYTE>(kFields.mPolarity) != 0;
}

GAIN cControlStripUnit::GetGain() const
{
    return mBlock.Load<SWORD>(kFields.mGain);
}

void cControlStripUnit::OnMute(cKVNetMessage& message)
{
    const std::optional<bool> mute = ReadFlag(message);
    if (!mute || *mute == GetMute())
    {
        return;
    }
    StoreFlag(kFields.mMute, *mute);
    if (mDriver != nullptr)
    {
        mDriver->SetMute(*mute);
    }
    PublishParameter(message);
}

void cControlStripUnit::OnPolarity(cKVNetMessage& message)
{
    const std::optional<bool> polarity = ReadFlag(message);
    if (!polarity || *polarity == GetPolarity())
    {
        return;
    }
    StoreFlag(kFields.mPolarity, *polarity);
    if (mDriver != nullptr)
    {
        mDriver->SetPolarity(DevicePolarity(*polarity));
    }
    PublishParameter(message);
}

void cControlStripUnit::OnGain(cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UWORD), GetName()))
    {
        return;
    }
    const GAIN gain = ConvertUWORDToGain(message.GetUWORD(0));
    if (gain == GetGain())
    {
        return;
    }
    mBlock.Store<SWORD>(kFields.mGain, gain);
    if (mDriver != nullptr)
    {
        mDriver->SetGain(gain);
    }
    PublishParameter(message);
}

std::optional<bool> cControlStripUnit::ReadFlag(cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UBYTE), GetName()))
    {
        return std::nullopt;
    }
    const bool value = UBYTEToBool(message.GetUBYTE(0));
    // Linked objects get the flag as it was taken.
    message.SetUBYTE(ConvertBoolToUBYTE(value), 0);
    return value;
}

void cControlStripUnit::StoreFlag(size_t offset, bool value)
{
    mBlock.Store<UBYTE>(offset, ConvertBoolToUBYTE(value));
}

void cControlStripUnit::MendStoredFields()
{
    const sSettings defaults = DefaultSettings();
    mBlock.Mend<UBYTE>(kFields.mMute, nFieldDomains::FLAG, ConvertBoolToUBYTE(defaults.mMute), "mute");
    mBlock.Mend<UBYTE>(kFields.mPolarity, nFieldDomains::FLAG, ConvertBoolToUBYTE(defaults.mPolarity),
                       "polarity");
    mBlock.Mend<SWORD>(kFields.mGain, nFieldDomains::GAIN, defaults.mGain, "gain");
    mBlock.ReportMended(GetSaveName());
}
