#include "CorvoGUI/Core/Units/cDelayUnit.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

namespace
{

constexpr size_t kLeftOffset = 0;
constexpr size_t kRightOffset = kLeftOffset + sizeof(UWORD);
constexpr size_t kGangOffset = kRightOffset + sizeof(UWORD);
constexpr size_t kFieldSize = kGangOffset + sizeof(UBYTE);

size_t CodeOffset(int channel)
{
    return channel == cDelayUnit::LEFT ? kLeftOffset : kRightOffset;
}

KV_NET_DATA_SCALE CodeParameter(int channel)
{
    return channel == cDelayUnit::LEFT ? cDelayUnit::P_LEFT : cDelayUnit::P_RIGHT;
}

} // namespace

cDelayUnit::cDelayUnit(const char* name, cDelayDriver* driver, cNonVolatileStorageManager* storage,
                       bool clear, cSaveObjectRegistry* saves)
    : cAudioObject(name, NUMBER_OF_PARAMETERS, true)
    , cSaveObject(name, saves)
    , mDriver(driver)
    , mBlock(storage, kFieldSize, START_MARKER, END_MARKER)
{
    if (!clear && mBlock.HasValidMarkers())
    {
        // The codes take every value; only the gang can be outside its domain.
        mBlock.Mend<UBYTE>(kGangOffset, nFieldDomains::FLAG, 0, "gang");
        mBlock.ReportMended(GetSaveName());
        return;
    }
    if (!clear)
    {
        mBlock.ReportResetForMarkers(GetSaveName());
    }
    ResetDefaults();
    mBlock.WriteMarkers();
}

cDelayUnit::~cDelayUnit()
{
    Unregister();
}

UWORD cDelayUnit::GetCode(int channel) const
{
    return mBlock.Load<UWORD>(CodeOffset(channel));
}

bool cDelayUnit::GetGang() const
{
    return mBlock.Load<UBYTE>(kGangOffset) != 0;
}

bool cDelayUnit::IsPending(int channel) const
{
    return mSend[channel == LEFT ? 0 : 1].mPending;
}

void cDelayUnit::SetGangField(bool gang)
{
    mBlock.Store<UBYTE>(kGangOffset, gang ? 1 : 0);
}

void cDelayUnit::Mark(int channel)
{
    sSendState& state = mSend[channel == LEFT ? 0 : 1];
    state.mPending = true;
    state.mStep = 1;
}

bool cDelayUnit::StoreCode(int channel, UWORD code, bool mark)
{
    if (code == GetCode(channel))
    {
        return false;
    }
    mBlock.Store<UWORD>(CodeOffset(channel), code);
    if (mark)
    {
        Mark(channel);
    }
    return true;
}

void cDelayUnit::CopyTo(int from, int to)
{
    const UWORD code = GetCode(from);
    StoreCode(to, code, true);
    PublishUWORD(CodeParameter(to), code);
}

void cDelayUnit::ResetDefaults()
{
    mBlock.Store<UWORD>(kLeftOffset, 0);
    mBlock.Store<UWORD>(kRightOffset, 0);
    Mark(LEFT);
    Mark(RIGHT);
    SetGangField(false);
}

void cDelayUnit::ActionTick()
{
    for (int channel : {LEFT, RIGHT})
    {
        sSendState& state = mSend[size_t(channel)];
        if (!state.mPending)
        {
            continue;
        }
        if (state.mStep < 2)
        {
            state.mStep = 2;
            continue;
        }
        mDriver->SendDelay(channel, GetCode(channel));
        state.mPending = false;
        state.mStep = 0;
    }
}

bool cDelayUnit::PayloadFits(const cKVNetMessage& message, UWORD size) const
{
    if (message.GetLength() < size)
    {
        KV_REPORT_ERROR("%s: parameter 0x%X needs %d bytes, got %d", GetSaveName(), unsigned(message.mMethod),
                        int(size), int(message.GetLength()));
        return false;
    }
    return true;
}

void cDelayUnit::OnCode(cKVNetMessage& message, int channel)
{
    if (!PayloadFits(message, sizeof(UWORD)))
    {
        return;
    }
    StoreCode(channel, message.GetUWORD(0), true);
    PublishParameter(message);
    if (GetGang())
    {
        CopyTo(channel, channel == LEFT ? RIGHT : LEFT);
    }
}

void cDelayUnit::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_LEFT:
        OnCode(message, LEFT);
        return;
    case P_RIGHT:
        OnCode(message, RIGHT);
        return;
    case P_GANG:
    {
        if (!PayloadFits(message, sizeof(UBYTE)))
        {
            return;
        }
        const bool gang = UBYTEToBool(message.GetUBYTE(0));
        SetGangField(gang);
        if (gang)
        {
            CopyTo(LEFT, RIGHT);
        }
        PublishParameter(message);
        return;
    }
    default:
        cAudioObject::EntrypointMessage(message);
        return;
    }
}

void cDelayUnit::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                 KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    switch (sourceMethod)
    {
    case P_LEFT:
        AnswerUWORD(connectionId, handle, destinationMethod, GetCode(LEFT));
        return;
    case P_RIGHT:
        AnswerUWORD(connectionId, handle, destinationMethod, GetCode(RIGHT));
        return;
    case P_GANG:
        AnswerUBYTE(connectionId, handle, destinationMethod, GetGang() ? 1 : 0);
        return;
    default:
        cAudioObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
}

void cDelayUnit::SaveData(QDataStream* stream)
{
    *stream << qint16(GetCode(LEFT)) << qint16(GetCode(RIGHT)) << qint16(GetGang() ? 1 : 0);
}

bool cDelayUnit::ReadRecord(QDataStream* stream, qint16& left, qint16& right, qint16& gang) const
{
    if (stream != nullptr)
    {
        *stream >> left >> right >> gang;
    }
    if (!RecordReadWhole(stream))
    {
        return false;
    }
    long long readGang = gang;
    return ReadSavedField(nFieldDomains::FLAG, readGang, "gang");
}

bool cDelayUnit::CheckRecord(QDataStream* stream)
{
    qint16 left = 0;
    qint16 right = 0;
    qint16 gang = 0;
    return ReadRecord(stream, left, right, gang);
}

bool cDelayUnit::RecallData(QDataStream* stream)
{
    qint16 left = 0;
    qint16 right = 0;
    qint16 gang = 0;
    if (!ReadRecord(stream, left, right, gang))
    {
        return false;
    }
    if (StoreCode(LEFT, UWORD(left), true))
    {
        PublishUWORD(P_LEFT, UWORD(left));
    }
    if (StoreCode(RIGHT, UWORD(right), true))
    {
        PublishUWORD(P_RIGHT, UWORD(right));
    }
    const bool readGang = gang != 0;
    if (readGang == GetGang())
    {
        if (readGang && left != right)
        {
            CopyTo(LEFT, RIGHT);
            PublishUBYTE(P_GANG, 1);
        }
        return true;
    }
    SetGangField(readGang);
    if (readGang)
    {
        CopyTo(LEFT, RIGHT);
    }
    PublishUBYTE(P_GANG, readGang ? 1 : 0);
    return true;
}

eSyncResult cDelayUnit::SyncData()
{
    ULONG samples[2] = {0, 0};
    if (!mDriver->GetDeviceDelays(samples[0], samples[1]))
    {
        return SYNC_SKIPPED;
    }
    for (int channel : {LEFT, RIGHT})
    {
        // Every 32-bit count is a time whose code lies inside the code domain.
        const UWORD code = ConvertTimeToUWORD(samples[channel] / cDelayDriver::SAMPLE_RATE);
        if (StoreCode(channel, code, false))
        {
            PublishUWORD(CodeParameter(channel), code);
        }
    }
    if (GetCode(LEFT) != GetCode(RIGHT) && GetGang())
    {
        SetGangField(false);
        PublishUBYTE(P_GANG, 0);
    }
    return SYNC_DONE;
}

void cDelayUnit::CompleteSync()
{
    ULONG samples[2] = {0, 0};
    if (!mDriver->GetDeviceDelays(samples[0], samples[1]))
    {
        return;
    }
    for (int channel : {LEFT, RIGHT})
    {
        if (cDelayDriver::SamplesFromCode(GetCode(channel)) != samples[channel])
        {
            mDriver->SendDelay(channel, GetCode(channel));
        }
    }
}
