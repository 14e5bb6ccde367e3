#include "CorvoGUI/Core/Units/cSaveObject.h"

#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "KVNet/QT/Trace/KVNetReports.h"

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
