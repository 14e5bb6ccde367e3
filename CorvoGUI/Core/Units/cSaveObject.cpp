#include "CorvoGUI/Core/Units/cSaveObject.h"

#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

#include <algorithm>
#include <cstring>

cSaveObject::cSaveObject(const char* name, cSaveObjectRegistry* registry)
    : mRegistry(registry)
{
    std::memset(mSaveName, 0, sizeof mSaveName);
    if (name != nullptr)
    {
        std::strncpy(mSaveName, name, MAX_NAME_LENGTH);
    }
    if (mRegistry != nullptr)
    {
        mRegistry->RegisterSaveObject(this);
    }
}

cSaveObject::~cSaveObject()
{
    if (mRegistry != nullptr)
    {
        mRegistry->UnregisterSaveObject(this);
    }
}

void cSaveObject::SaveData(QDataStream*)
{
    KV_REPORT_ERROR("SaveData not implemented! (%s)", mSaveName);
}

bool cSaveObject::CheckRecord(QDataStream*)
{
    return true;
}

bool cSaveObject::RecordReadWhole(const QDataStream* stream) const
{
    if (stream == nullptr)
    {
        KV_REPORT_ERROR("No stream to recall %s from", mSaveName);
        return false;
    }
    if (stream->status() != QDataStream::Ok)
    {
        KV_REPORT_ERROR("The record of %s could not be read whole", mSaveName);
        return false;
    }
    return true;
}

bool cSaveObject::ReadSavedField(const sFieldDomain& domain, long long& value, const char* field) const
{
    if (!domain.Reads(value))
    {
        return RefuseSavedField(field, value);
    }
    if (!domain.Contains(value))
    {
        NoteReadAs(field != nullptr ? field : "", value,
                   nFieldDomains::ValueText(domain, domain.ReadAs(value)));
        value = domain.ReadAs(value);
    }
    return true;
}

void cSaveObject::NoteReadAs(const std::string& field, long long held, const std::string& taken) const
{
    const std::string note = field + " " + std::to_string(held) + " read as " + taken;
    if (std::find(mReadAsNotes.begin(), mReadAsNotes.end(), note) == mReadAsNotes.end())
    {
        mReadAsNotes.push_back(note);
    }
}

bool cSaveObject::SavedFlagValid(qint8 byte, const char* field) const
{
    long long value = byte;
    return ReadSavedField(nFieldDomains::FLAG, value, field);
}

std::vector<std::string> cSaveObject::TakeReadAsNotes()
{
    std::vector<std::string> notes;
    notes.swap(mReadAsNotes);
    return notes;
}

bool cSaveObject::RefuseSavedField(const char* field, long long value) const
{
    KV_REPORT_ERROR("The record of %s holds %s %lld, out of its range", mSaveName, field, value);
    return false;
}

long long cSaveObject::FromDevice(const sFieldDomain& domain, long long value, long long current,
                                  const std::string& field) const
{
    const long long taken = domain.BringIn(value, current);
    if (!domain.Contains(value) && !domain.OutsideIsNoFault(value))
    {
        KV_REPORT_ERROR("%s: %s %lld from the device is out of range, taken as %s", mSaveName, field.c_str(),
                        value, nFieldDomains::ValueText(domain, taken).c_str());
    }
    return taken;
}

bool cSaveObject::RecallData(QDataStream*)
{
    KV_REPORT_ERROR("RecallData not implemented! (%s)", mSaveName);
    return true;
}

eSyncResult cSaveObject::SyncData()
{
    KV_REPORT_ERROR("SyncData not implemented! (%s)", mSaveName);
    return SYNC_SKIPPED;
}

void cSaveObject::CompleteSync() {}
