#include "CorvoGUI/Core/Persistence/DataFolders.h"

#include <QDir>

namespace
{

const char* const ORGANISATION_FOLDER = "RE Zurov";
const char* const APPLICATION_NAME = "CorvoGUI-";
const char* const APPLICATION_VERSION = "V1.00";

sDataFolderPaths BuildFromHome()
{
    return BuildDataFolderPaths(QDir::toNativeSeparators(QDir::homePath()), QDir::separator());
}

// Built on first use, so a static initialiser elsewhere that asks for a path never sees it empty.
sDataFolderPaths& Paths()
{
    static sDataFolderPaths paths = BuildFromHome();
    return paths;
}

// Builds the paths during static initialisation, before main.
[[maybe_unused]] const bool gDataFolderPathsBuilt = (Paths(), true);

} // namespace

sDataFolderPaths BuildDataFolderPaths(const QString& home, QChar separator)
{
    sDataFolderPaths paths;
    paths.mApplicationId = QString(APPLICATION_NAME) + APPLICATION_VERSION;
    const QString root =
        home + separator + ORGANISATION_FOLDER + separator + paths.mApplicationId + separator;
    paths.mAppDataPath = root + "AppData" + separator;
    paths.mPersistentDataPath = root + "PersistentData" + separator;
    paths.mSaveDataPath = root + "SaveData" + separator;
    paths.mEventLogName = "EventLog.log";
    paths.mNonVolatileFilePath = paths.mAppDataPath + "NonVolatile" + separator + "NonVolatileRamFile";
    paths.mSaveFilePath = paths.mSaveDataPath + "Save.cfg";
    return paths;
}

QString GetApplicationId()
{
    return Paths().mApplicationId;
}

QString GetAppDataPath()
{
    return Paths().mAppDataPath;
}

QString GetPersistentDataPath()
{
    return Paths().mPersistentDataPath;
}

QString GetSaveDataPath()
{
    return Paths().mSaveDataPath;
}

QString GetEventLogName()
{
    return Paths().mEventLogName;
}

QString GetNonVolatileFilePath()
{
    return Paths().mNonVolatileFilePath;
}

QString GetSaveFilePath()
{
    return Paths().mSaveFilePath;
}

void RebuildDataFolderPaths()
{
    Paths() = BuildFromHome();
}
