#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

#include <cstring>

namespace
{

constexpr size_t kGangOffset = 0;
constexpr size_t kFieldSize = sizeof(UBYTE);

void CopyName(char (&target)[sParameterLinkingCommand::PATH_SIZE], const cParametricEQDriver* driver)
{
    std::memset(target, 0, sizeof target);
    if (driver != nullptr)
    {
        std::strncpy(target, driver->GetAudioObjectName(), sizeof target - 1);
    }
}

} // namespace

cParametricEQGangDriver::cParametricEQGangDriver(const char* name, cNonVolatileStorageManager* storage,
                                                 cSaveObjectRegistry* saves, cParametricEQDriver* left,
                                                 cParametricEQDriver* right, UBYTE bands)
    : cNetObject(name, NUMBER_OF_PARAMETERS, false, false)
    , cSaveObject(name, saves)
    , mLeft(left)
    , mRight(right)
    , mBands(bands)
    , mBlock(storage, kFieldSize, START_MARKER, END_MARKER)
{
    CopyName(mLeftName, left);
    CopyName(mRightName, right);
    if (mBlock.HasValidMarkers())
    {
        mBlock.Mend<UBYTE>(kGangOffset, nFieldDomains::FLAG, 0, "gang");
        mBlock.ReportMended(GetSaveName());
    }
    else
    {
        mBlock.ReportResetForMarkers(GetSaveName());
        mBlock.Store<UBYTE>(kGangOffset, 0);
        mBlock.WriteMarkers();
    }
    SetGang(GetGang());
    ApplyLinkSet(!GetGang());
}

cParametricEQGangDriver::~cParametricEQGangDriver()
{
    ApplyLinkSet(true);
    Unregister();
}

bool cParametricEQGangDriver::GetGang() const
{
    return mBlock.Load<UBYTE>(kGangOffset) != 0;
}

void cParametricEQGangDriver::SetGang(bool gang)
{
    mBlock.Store<UBYTE>(kGangOffset, gang ? 1 : 0);
    for (cParametricEQDriver* driver : {mLeft, mRight})
    {
        if (driver != nullptr)
        {
            driver->SetGang(gang);
        }
    }
}

std::vector<sParameterLinkingCommand> cParametricEQGangDriver::LinkSet(bool remove) const
{
    std::vector<KV_NET_DATA_SCALE> parameters = {cParametricEQUnit::P_BYPASS, cParametricEQUnit::P_FIRST_TYPE,
                                                 cParametricEQUnit::P_LAST_TYPE};
    for (int band = 0; band < mBands; ++band)
    {
        parameters.push_back(cParametricEQUnit::FrequencyParameter(band));
        parameters.push_back(cParametricEQUnit::WidthParameter(band));
        parameters.push_back(cParametricEQUnit::GainParameter(band));
        parameters.push_back(cParametricEQUnit::BandBypassParameter(band));
    }
    std::vector<sParameterLinkingCommand> commands;
    commands.reserve(parameters.size());
    for (KV_NET_DATA_SCALE parameter : parameters)
    {
        sParameterLinkingCommand command;
        command.mSourceParam = parameter;
        command.mDestParam = parameter;
        command.SetSourcePath(mLeftName);
        command.SetDestinationPath(mRightName);
        command.mDataGram = false;
        command.mSync = true;
        command.mRemove = remove;
        command.mBidirect = false;
        commands.push_back(command);
    }
    return commands;
}

void cParametricEQGangDriver::ApplyLinkSet(bool remove)
{
    if (mLeftName[0] == '\0' || mRightName[0] == '\0')
    {
        KV_REPORT_ERROR("%s: the parametric EQ units have no names, gang links not changed", GetSaveName());
        return;
    }
    cSystemBuilder* builder = gSystemBuilder;
    if (builder == nullptr)
    {
        KV_REPORT_ERROR("%s: no system builder, gang links not changed", GetSaveName());
        return;
    }
    for (const sParameterLinkingCommand& command : LinkSet(remove))
    {
        builder->AddLinkCommandToList(command, false);
    }
}

void cParametricEQGangDriver::PublishGang()
{
    mPublishMessage.SetLength(sizeof(UBYTE));
    mPublishMessage.SetUBYTE(GetGang() ? 1 : 0, 0);
    mPublishMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mPublishMessage.mDestination = KV_NET_NO_HANDLE;
    mPublishMessage.mSource = mHandle;
    mPublishMessage.mMethod = P_GANG;
    SendToInformList(mPublishMessage);
}

void cParametricEQGangDriver::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod != P_GANG)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (message.GetLength() < sizeof(UBYTE))
    {
        KV_REPORT_ERROR("%s: gang message without a value", GetSaveName());
        return;
    }
    SetGang(UBYTEToBool(message.GetUBYTE(0)));
    ApplyLinkSet(!GetGang());
}

void cParametricEQGangDriver::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                              KV_NET_DATA_SCALE destinationMethod,
                                              KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod != P_GANG)
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(GetGang() ? 1 : 0, 0);
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    PostMessage(mControlMessage);
}

void cParametricEQGangDriver::SaveData(QDataStream* stream)
{
    *stream << GetGang();
}

bool cParametricEQGangDriver::CheckRecord(QDataStream* stream)
{
    qint8 gang = 0;
    if (stream != nullptr)
    {
        *stream >> gang;
    }
    return RecordReadWhole(stream) && SavedFlagValid(gang, "gang");
}

bool cParametricEQGangDriver::RecallData(QDataStream* stream)
{
    qint8 byte = 0;
    if (stream != nullptr)
    {
        *stream >> byte;
    }
    if (!RecordReadWhole(stream) || !SavedFlagValid(byte, "gang"))
    {
        return false;
    }
    const bool gang = byte != 0;
    if (gang != GetGang())
    {
        SetGang(gang);
        ApplyLinkSet(!gang);
        PublishGang();
    }
    return true;
}

eSyncResult cParametricEQGangDriver::SyncData()
{
    if (mLeft == nullptr || mRight == nullptr)
    {
        return SYNC_SKIPPED;
    }
    std::vector<sFilter> left;
    std::vector<sFilter> right;
    if (!mLeft->GetSyncData(left) || !mRight->GetSyncData(right))
    {
        return SYNC_SKIPPED;
    }
    bool gang = GetGang();
    for (size_t band = 0; band < left.size() && band < right.size(); ++band)
    {
        if ((left[band].mBypass & cParametricEQDriver::GANG_BIT) != 0 &&
            (right[band].mBypass & cParametricEQDriver::GANG_BIT) != 0)
        {
            gang = true;
        }
    }
    SetGang(gang);
    ApplyLinkSet(!gang);
    PublishGang();
    return SYNC_DONE;
}
