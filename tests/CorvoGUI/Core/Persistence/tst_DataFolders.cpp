#include "Common/Qt/NonVolatileAccess.h"
#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "tests/support/cReportCapture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_DataFolders : public QObject
{
    Q_OBJECT

private slots:
    void paths_areBuiltBeforeMainFromHome_data();
    void paths_areBuiltBeforeMainFromHome();
    void backslashSeparator_givesNativePaths_data();
    void backslashSeparator_givesNativePaths();
    void programRamFile_isCreatedInAppDataFolderAndKept();
    void rebuild_followsAMovedHome();
};

void tst_DataFolders::paths_areBuiltBeforeMainFromHome_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const QString root = QDir::homePath() + "/RE Zurov/CorvoGUI-V1.00/";
    QTest::newRow("application id") << GetApplicationId() << "CorvoGUI-V1.00";
    QTest::newRow("AppData") << GetAppDataPath() << root + "AppData/";
    QTest::newRow("PersistentData") << GetPersistentDataPath() << root + "PersistentData/";
    QTest::newRow("SaveData") << GetSaveDataPath() << root + "SaveData/";
    QTest::newRow("NV RAM file") << GetNonVolatileFilePath()
                                 << root + "AppData/NonVolatile/NonVolatileRamFile";
    QTest::newRow("saves file") << GetSaveFilePath() << root + "SaveData/Save.cfg";
    QTest::newRow("event log") << GetEventLogName() << "EventLog.log";
}

void tst_DataFolders::paths_areBuiltBeforeMainFromHome()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
    // Nothing here creates a folder.
    QVERIFY(!QDir(QDir::homePath() + "/RE Zurov").exists());
}

void tst_DataFolders::backslashSeparator_givesNativePaths_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const sDataFolderPaths paths = BuildDataFolderPaths("C:\\Users\\u", '\\');
    QTest::newRow("NV RAM file")
        << paths.mNonVolatileFilePath
        << "C:\\Users\\u\\RE Zurov\\CorvoGUI-V1.00\\AppData\\NonVolatile\\NonVolatileRamFile";
    QTest::newRow("saves file") << paths.mSaveFilePath
                                << "C:\\Users\\u\\RE Zurov\\CorvoGUI-V1.00\\SaveData\\Save.cfg";
    QTest::newRow("PersistentData") << paths.mPersistentDataPath
                                    << "C:\\Users\\u\\RE Zurov\\CorvoGUI-V1.00\\PersistentData\\";
}

void tst_DataFolders::backslashSeparator_givesNativePaths()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void tst_DataFolders::programRamFile_isCreatedInAppDataFolderAndKept()
{
    constexpr qint64 programSize = 0x200000;
    const QString path = GetNonVolatileFilePath();
    cReportCapture capture;
    {
        cNonVolatileStorageManager storage(path, programSize, false, false);
        QVERIFY(storage.IsMapped());
        void* marker = storage.AllocateBBSRAM(2);
        QVERIFY(!storage.CheckMarkers(marker, 0x5566, marker, 0x5566));
        nNonVolatile::Store<UWORD>(marker, 0x5566);
    }
    QCOMPARE(QFileInfo(path).size(), programSize);
    {
        cNonVolatileStorageManager storage(path, programSize, false, false);
        void* marker = storage.AllocateBBSRAM(2);
        QVERIFY(storage.CheckMarkers(marker, 0x5566, marker, 0x5566));
    }
    // Only the first start says that the file was created.
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY(capture.Contains("Notification: Non-volatile RAM file " + path + " created"));
    QVERIFY(QDir(QDir::homePath() + "/RE Zurov").removeRecursively());
}

void tst_DataFolders::rebuild_followsAMovedHome()
{
    const QByteArray home = qgetenv("HOME");
    const QString moved = QDir::homePath() + "/moved";
    qputenv("HOME", moved.toLocal8Bit());
    RebuildDataFolderPaths();
    const QString saveFile = GetSaveFilePath();
    const QString ramFile = GetNonVolatileFilePath();
    qputenv("HOME", home);
    RebuildDataFolderPaths();

    QCOMPARE(saveFile, moved + "/RE Zurov/CorvoGUI-V1.00/SaveData/Save.cfg");
    QCOMPARE(ramFile, moved + "/RE Zurov/CorvoGUI-V1.00/AppData/NonVolatile/NonVolatileRamFile");
    QCOMPARE(GetSaveFilePath(), QDir::homePath() + "/RE Zurov/CorvoGUI-V1.00/SaveData/Save.cfg");
}

QTEST_GUILESS_MAIN(tst_DataFolders)
#include "tst_DataFolders.moc"
