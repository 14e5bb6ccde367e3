// The files of the load and save dialogs: the folder they open in, the file their user named from
// what the dialog picked and what was typed into its path field, and the folder typed there.

#include "CorvoGUI/QtGUIComponents/Backends/SavesDialogFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_SavesDialogFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startFolder_isTheDocumentsFolderWhereThereIsOne();
    void chosenFile_isTheFileTheUserNamed_data();
    void chosenFile_isTheFileTheUserNamed();
    void typedFolder_isAnotherFolderTheUserTyped_data();
    void typedFolder_isAnotherFolderTheUserTyped();

private:
    QTemporaryDir mHome;
};

void tst_SavesDialogFiles::initTestCase()
{
    QVERIFY(mHome.isValid());
    qputenv("HOME", QFile::encodeName(mHome.path()));
    // The documents folder is found from the home folder alone.
    qunsetenv("XDG_CONFIG_HOME");
    QVERIFY(QDir(mHome.path()).mkpath("shown/inner"));
    QFile existing(mHome.filePath("shown/Existing.cfg"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
}

void tst_SavesDialogFiles::startFolder_isTheDocumentsFolderWhereThereIsOne()
{
    const QString documents = mHome.filePath("Documents");
    QVERIFY(!QFile::exists(documents));
    QCOMPARE(nSavesDialogFiles::StartFolder(), QDir::homePath());
    QCOMPARE(QDir::homePath(), mHome.path());

    QVERIFY(QDir().mkpath(documents));
    QCOMPARE(nSavesDialogFiles::StartFolder(), documents);
    QVERIFY(QDir(documents).removeRecursively());
}

void tst_SavesDialogFiles::chosenFile_isTheFileTheUserNamed_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("save");
    // Relative to the home folder; empty for none.
    QTest::addColumn<QString>("chosen");

    // The folder shown is "shown" in the home folder; its path field holds that path until the user
    // types.
    const QString shown = "<shown>";
    QTest::newRow("recall: a whole path typed, no row picked")
        << ""
        << "<home>/other/Typed.cfg" << false << "other/Typed.cfg";
    QTest::newRow("recall: a row picked (the field shows its path)")
        << "<home>/shown/Existing.cfg"
        << "<home>/shown/Existing.cfg" << false << "shown/Existing.cfg";
    QTest::newRow("recall: a row picked, then another path typed")
        << "<home>/shown/Existing.cfg"
        << "<home>/Typed.cfg" << false << "Typed.cfg";
    QTest::newRow("recall: a row picked, the field left at the folder")
        << "<home>/shown/Existing.cfg" << shown << false << "shown/Existing.cfg";
    QTest::newRow("recall: nothing picked, the field left at the folder") << "" << shown << false << "";
    QTest::newRow("recall: nothing picked, nothing typed") << ""
                                                           << "" << false << "";
    QTest::newRow("recall: another folder typed") << ""
                                                  << "<home>/shown/inner" << false << "";
    QTest::newRow("recall: a path ending in a separator") << ""
                                                          << "<home>/new/" << false << "";
    QTest::newRow("recall: a name typed, within the folder shown")
        << ""
        << "Typed.cfg" << false << "shown/Typed.cfg";
    QTest::newRow("recall: a relative path and spaces around it")
        << ""
        << "  ../Typed.cfg " << false << "Typed.cfg";
    QTest::newRow("recall: a file URL pasted") << ""
                                               << "file://<home>/Typed.cfg" << false << "Typed.cfg";
    QTest::newRow("recall: a name without an extension stays as it is") << ""
                                                                        << "<home>/Typed" << false << "Typed";
    QTest::newRow("recall: a platform dialog's file") << "<home>/Picked.cfg"
                                                      << "" << false << "Picked.cfg";
    QTest::newRow("save: a name without an extension gets .cfg") << "<home>/Typed"
                                                                 << "<home>/Typed" << true << "Typed.cfg";
    QTest::newRow("save: a name with another extension keeps it")
        << ""
        << "<home>/Typed.txt" << true << "Typed.txt";
    QTest::newRow("save: a name typed within the folder gets .cfg") << ""
                                                                    << "Mine" << true << "shown/Mine.cfg";
    QTest::newRow("save: a platform dialog's name without an extension") << "<home>/Picked"
                                                                         << "" << true << "Picked.cfg";
    QTest::newRow("save: the field left at the folder") << "" << shown << true << "";
}

void tst_SavesDialogFiles::chosenFile_isTheFileTheUserNamed()
{
    QFETCH(QString, picked);
    QFETCH(QString, typed);
    QFETCH(bool, save);
    QFETCH(QString, chosen);
    const QString folder = mHome.filePath("shown");
    const auto place = [&](QString text)
    { return text.replace("<shown>", folder).replace("<home>", mHome.path()); };
    const QString expected = chosen.isEmpty() ? QString() : mHome.filePath(chosen);
    QCOMPARE(nSavesDialogFiles::ChosenFile(place(picked), place(typed), folder, save), expected);
}

void tst_SavesDialogFiles::typedFolder_isAnotherFolderTheUserTyped_data()
{
    QTest::addColumn<QString>("typed");
    // Relative to the home folder; empty for none.
    QTest::addColumn<QString>("folder");

    QTest::newRow("another folder") << "<home>/shown/inner"
                                    << "shown/inner";
    QTest::newRow("another folder, ending in a separator") << "<home>/shown/inner/"
                                                           << "shown/inner";
    QTest::newRow("a folder's name, within the folder shown") << "inner"
                                                              << "shown/inner";
    QTest::newRow("a relative path and spaces around it") << "  ../ "
                                                          << ".";
    QTest::newRow("a file URL pasted") << "file://<home>/shown/inner"
                                       << "shown/inner";
    QTest::newRow("the folder shown, as the field holds it until the user types") << "<shown>"
                                                                                  << "";
    QTest::newRow("the folder shown, ending in a separator") << "<shown>/"
                                                             << "";
    QTest::newRow("nothing typed") << ""
                                   << "";
    QTest::newRow("a file") << "<home>/shown/Existing.cfg"
                            << "";
    QTest::newRow("a missing file") << "<home>/shown/Missing.cfg"
                                    << "";
    QTest::newRow("a missing folder") << "<home>/new/"
                                      << "";
}

void tst_SavesDialogFiles::typedFolder_isAnotherFolderTheUserTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    const QString shown = mHome.filePath("shown");
    typed.replace("<shown>", shown).replace("<home>", mHome.path());
    const QString expected = folder.isEmpty() ? QString() : QDir::cleanPath(mHome.filePath(folder));
    QCOMPARE(nSavesDialogFiles::TypedFolder(typed, shown), expected);
}

QTEST_GUILESS_MAIN(tst_SavesDialogFiles)
#include "tst_SavesDialogFiles.moc"
