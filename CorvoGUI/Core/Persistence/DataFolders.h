#pragma once

#include <QChar>
#include <QString>

// The program's data folders under the user's home folder:
//   <home>/RE Zurov/CorvoGUI-V1.00/{AppData,PersistentData,SaveData}/
// built once during static initialisation (before main) from the home folder in native separators.
// The getters return copies and may be called from any thread. Nothing here creates a folder.

struct sDataFolderPaths
{
    QString mApplicationId;       // "CorvoGUI-V1.00"
    QString mAppDataPath;         // ends with a separator
    QString mPersistentDataPath;  // ends with a separator
    QString mSaveDataPath;        // ends with a separator
    QString mEventLogName;        // "EventLog.log"
    QString mNonVolatileFilePath; // AppData folder + "NonVolatile" + separator + "NonVolatileRamFile"
    QString mSaveFilePath;        // SaveData folder + "Save.cfg"
};

// The paths for the given home folder and separator (the process-wide values use QDir::homePath()
// and QDir::separator()).
sDataFolderPaths BuildDataFolderPaths(const QString& home, QChar separator);

QString GetApplicationId();
QString GetAppDataPath();
QString GetPersistentDataPath();
QString GetSaveDataPath();
QString GetEventLogName();
QString GetNonVolatileFilePath();
QString GetSaveFilePath();

// Builds the process-wide paths again from the current home folder. For tests that move HOME; call
// only while no other thread reads the paths.
void RebuildDataFolderPaths();
