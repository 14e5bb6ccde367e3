#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "tests/CorvoGUI/Core/Saves/cToySaveObject.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using sValues = cToySaveObject::sValues;
Q_DECLARE_METATYPE(sValues)

namespace
{

constexpr KV_NET_DATA_SCALE SYNC_UP_PROBE = PARAMETER_BASE + 7;

const sValues MODEL_FIRST = {true, 100, 1000};
const sValues MODEL_SECOND = {false, -5, 7};
const sValues FILE_FIRST = {false, 200, 2000};
const sValues FILE_SECOND = {true, 300, -3000};

// The plain stream of the two toys: header 3 bytes, each record 7, trailer 2; the records end at 17.
constexpr int SECOND_RECORD_END = 17;

QByteArray Plain(qint16 magic, qint8 version, const std::vector<sValues>& records, qint16 trailer)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(19);
    stream << magic << version;
    for (const sValues& record : records)
    {
        stream << record.mFlag << record.mValue << record.mWide;
    }
    stream << trailer;
    return bytes;
}

QByteArray ValidPlain()
{
    return Plain(cSavesManager::FILE_MAGIC, cSavesManager::FILE_VERSION, {FILE_FIRST, FILE_SECOND},
                 cSavesManager::FILE_TRAILER);
}

QByteArray Cipher(const QByteArray& bytes, bool encrypt)
{
    QTemporaryFile input;
    QTemporaryFile output;
    if (!input.open() || !output.open() || input.write(bytes) != bytes.size() || !input.seek(0) ||
        !cSavesFileCipher::CipherData(input, output, encrypt) || !output.seek(0))
    {
        return QByteArray("<cipher failed>");
    }
    return output.readAll();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray PathPayload(const QString& path)
{
    return QFile::encodeName(path) + QByteArray(1, '\0');
}

// Limits the size of every file the process writes (writes beyond fail as on a full disk) while
// it lives.
class cFileSizeLimit
{
public:
    explicit cFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mPrevious);
        mPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mPrevious;
        limit.rlim_cur = bytes;
        mActive = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~cFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mPrevious);
        std::signal(SIGXFSZ, mPreviousHandler);
    }
    bool IsActive() const { return mActive; }

private:
    rlimit mPrevious{};
    void (*mPreviousHandler)(int) = nullptr;
    bool mActive = false;
};

// The framework, the manager, two toy units and a recorder linked to all of them. Requests are
// delivered as the syscall thread would, by the message pump.
struct sFixture
{
    sFixture()
    {
        const KV_NET_DATA_SCALE recorderHandle = mRecorder.GetHandle();
        for (KV_NET_DATA_SCALE method :
             {cSavesManager::P_SAVE, cSavesManager::P_RECALL, cSavesManager::P_SYNC})
        {
            mManager.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, recorderHandle, method, method, 0, 0,
                                           false);
        }
        mFirst.LinkTo(recorderHandle);
        mSecond.LinkTo(recorderHandle);
        mFirst.mValues = MODEL_FIRST;
        mSecond.mValues = MODEL_SECOND;
        cMessagePump::Pump();
        mRecorder.ClearRecords();
    }

    void Request(KV_NET_DATA_SCALE method, const QByteArray& payload,
                 UWORD connectionId = KV_NET_LOCAL_CONNECTION)
    {
        cKVNetMessage message(UWORD(payload.size()));
        message.mConnectionId = connectionId;
        message.mDestination = mManager.GetHandle();
        message.mSource = mRecorder.GetHandle();
        message.mMethod = method;
        if (!payload.isEmpty())
        {
            std::memcpy(message.Data(), payload.constData(), size_t(payload.size()));
        }
        gRegistryRouter->AddMessage(message);
        cMessagePump::Pump();
    }

    // Payloads the recorder got from the object of that handle on that method.
    QList<QByteArray> From(KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE method) const
    {
        QList<QByteArray> payloads;
        for (const cRecordingNetObject::sReceived& received : mRecorder.Received())
        {
            if (received.mSource == handle && received.mMethod == method)
            {
                payloads.append(received.mPayload);
            }
        }
        return payloads;
    }
    QList<QByteArray> Answers(KV_NET_DATA_SCALE method) const { return From(mManager.GetHandle(), method); }
    // Every message the toys published.
    int Publications() const
    {
        int count = 0;
        for (const cRecordingNetObject::sReceived& received : mRecorder.Received())
        {
            count +=
                received.mSource == mFirst.GetHandle() || received.mSource == mSecond.GetHandle() ? 1 : 0;
        }
        return count;
    }

    // The manager's sync-up answer for a parameter, as a new link made with sync receives it.
    int SyncUpAnswer(KV_NET_DATA_SCALE parameter)
    {
        mRecorder.ClearRecords();
        mManager.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mRecorder.GetHandle(), SYNC_UP_PROBE,
                                       parameter, 0, 1, false);
        mManager.RemoveObjectFromInformList(KV_NET_LOCAL_CONNECTION, mRecorder.GetHandle(), SYNC_UP_PROBE,
                                            parameter, false);
        cMessagePump::Pump();
        const QList<QByteArray> answers = Answers(SYNC_UP_PROBE);
        mRecorder.ClearRecords();
        return answers.size() == 1 && answers.front().size() == 1 ? int(UBYTE(answers.front()[0])) : -1;
    }

    cScopedKVNetSystem mSystem{false};
    cSavesManager mManager;
    cRecordingNetObject mRecorder{"Recorder", 8};
    cToySaveObject mFirst{"Toy A", &mManager};
    cToySaveObject mSecond{"Toy B", &mManager};
};

const QByteArray ANSWER_OK(1, char(1));

// The answer to a failed save or recall: the result 0 and why.
QByteArray AnswerFailed(eSavesFailure failure)
{
    return QByteArray(1, char(0)) + QByteArray(1, char(failure));
}

} // namespace

class tst_cSavesManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void save_writesMagicVersionRecordsInOrderAndTrailer();
    void saveThenRecall_publishesOnlyChangedValuesEachOnce();
    void recall_ofABadFile_reportsFailureAndKeepsTheModel_data();
    void recall_ofABadFile_reportsFailureAndKeepsTheModel();
    void save_failure_reportsAndKeepsTheOldFile_data();
    void save_failure_reportsAndKeepsTheOldFile();
    void requestPath_isDecodedWithinThePayload_data();
    void requestPath_isDecodedWithinThePayload();
    void request_fromAFrameworkConnection_isRefused_data();
    void request_fromAFrameworkConnection_isRefused();
    void sync_skipsObjectsWithoutDeviceData();
    void completion_followsASyncOnceAndOnlyFromTheLocalSystem();
    void saveObjects_leaveTheManagerWhenDestroyed();

private:
    QString PathOf(const QString& name) const { return mFolder->filePath(name); }

    std::unique_ptr<QTemporaryDir> mHome;
    std::unique_ptr<QTemporaryDir> mFolder;
};

void tst_cSavesManager::initTestCase()
{
    mHome = std::make_unique<QTemporaryDir>();
    QVERIFY(mHome->isValid());
    qputenv("HOME", QFile::encodeName(mHome->path()));
    RebuildDataFolderPaths();
    mFolder = std::make_unique<QTemporaryDir>(mHome->filePath("files-XXXXXX"));
    QVERIFY(mFolder->isValid());
    QVERIFY(cSavesFileCipher::KeyCipher());
}

void tst_cSavesManager::save_writesMagicVersionRecordsInOrderAndTrailer()
{
    sFixture fixture;
    fixture.mFirst.mValues = {true, 0x1234, qint32(0x89ABCDEF)};
    fixture.mSecond.mValues = {false, -2, 1};
    cSaveObject bare("Bare", &fixture.mManager);
    cToySaveObject third("Toy C", &fixture.mManager);
    third.mValues = {true, 0, -1};
    const QString path = PathOf("layout.cfg");

    cReportCapture capture;
    fixture.Request(cSavesManager::P_SAVE, PathPayload(path));

    QCOMPARE(fixture.Answers(cSavesManager::P_SAVE), QList<QByteArray>{ANSWER_OK});
    QCOMPARE(capture.Count("SaveData not implemented! (Bare)"), 1);
    const QByteArray plain = QByteArray::fromHex("885B03"
                                                 "01123489ABCDEF"
                                                 "00FFFE00000001"
                                                 "010000FFFFFFFF"
                                                 "C2BA");
    const QByteArray file = ReadFile(path);
    QCOMPARE(file.size(), 32);
    QCOMPARE(Cipher(file, false), plain + QByteArray(32 - plain.size(), '\0'));
}

void tst_cSavesManager::saveThenRecall_publishesOnlyChangedValuesEachOnce()
{
    sFixture fixture;
    const QString path = PathOf("roundtrip.cfg");
    fixture.Request(cSavesManager::P_SAVE, PathPayload(path));
    QCOMPARE(fixture.Answers(cSavesManager::P_SAVE), QList<QByteArray>{ANSWER_OK});
    QCOMPARE(fixture.Publications(), 0);

    fixture.mFirst.mValues.mFlag = false;
    fixture.mSecond.mValues.mValue = 42;
    fixture.mRecorder.ClearRecords();
    cReportCapture capture;
    fixture.Request(cSavesManager::P_RECALL, PathPayload(path));

    QCOMPARE(fixture.Answers(cSavesManager::P_RECALL), QList<QByteArray>{ANSWER_OK});
    QCOMPARE(fixture.mFirst.mValues, MODEL_FIRST);
    QCOMPARE(fixture.mSecond.mValues, MODEL_SECOND);
    QCOMPARE(fixture.From(fixture.mFirst.GetHandle(), cToySaveObject::P_FLAG),
             QList<QByteArray>{QByteArray(1, 1)});
    QCOMPARE(fixture.From(fixture.mSecond.GetHandle(), cToySaveObject::P_VALUE),
             QList<QByteArray>{QByteArray::fromHex("FFFB")});
    QCOMPARE(fixture.Publications(), 2);
    QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_SAVE), 1);
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_RECALL), 1);
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_SYNC), 0);
}

void tst_cSavesManager::recall_ofABadFile_reportsFailureAndKeepsTheModel_data()
{
    QVERIFY(cSavesFileCipher::KeyCipher());
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<bool>("firstRecalled");
    QTest::addColumn<bool>("secondRecalled");
    QTest::addColumn<int>("failure");

    const QByteArray valid = ValidPlain();
    const QString incompatible = "Save file error: incompatible file";
    const QString corrupt = "Save file error: potential corruption";
    QTest::newRow("wrong magic")
        << true << Cipher(Plain(qint16(0x885C), 3, {FILE_FIRST, FILE_SECOND}, qint16(0xC2BA)), true)
        << QStringList{incompatible} << false << false << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("wrong version")
        << true << Cipher(Plain(qint16(0x885B), 4, {FILE_FIRST, FILE_SECOND}, qint16(0xC2BA)), true)
        << QStringList{incompatible} << false << false << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("empty file") << true << QByteArray() << QStringList{incompatible} << false << false
                                << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("not enciphered") << true << valid + QByteArray(24 - valid.size(), '\0')
                                    << QStringList{incompatible} << false << false
                                    << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    // The zero padding of the last block must not complete a cut record.
    QTest::newRow("cut inside the first record")
        << true << Cipher(valid.left(7), true) << QStringList{corrupt, "Toy A"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    // A file is checked whole before any record is applied.
    QTest::newRow("cut inside the second record")
        << true << Cipher(valid.left(12), true) << QStringList{corrupt, "Toy B"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("cut after the records")
        << true << Cipher(valid.left(SECOND_RECORD_END), true)
        << QStringList{corrupt, "No trailer after the records of the saves file"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("wrong trailer") << true
                                   << Cipher(Plain(qint16(0x885B), 3, {FILE_FIRST, FILE_SECOND}, 0x1234),
                                             true)
                                   << QStringList{corrupt} << false << false
                                   << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QByteArray badFlag = valid;
    badFlag[3 + 7] = char(2); // the second record's flag
    QTest::newRow("a flag that is neither 0 nor 1")
        << true << Cipher(badFlag, true)
        << QStringList{corrupt, "The record of Toy B holds flag 2, out of its range"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("bytes after the trailer other than the padding")
        << true << Cipher(valid + QByteArray("\1\0\0", 3), true)
        << QStringList{corrupt, "5 bytes after the trailer of the saves file"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("larger than a saves file of this model")
        << true << Cipher(valid + QByteArray(8, '\0'), true)
        << QStringList{"is 32 bytes, more than a saves file of this model (24)"} << false << false
        << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("17 bytes") << true << QByteArray(17, 'x')
                              << QStringList{"Input file is incorrect size for decrpyting",
                                             "Decryption failed"}
                              << false << false << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("missing file") << false << QByteArray() << QStringList{"Failed to open Save Stream!"}
                                  << false << false << int(SAVES_FAILURE_NOT_FOUND);
    // Made by the test from the row's name: a folder where the file should be, and a symbolic link
    // to itself, which names no file that could be read.
    QTest::newRow("a folder") << false << QByteArray() << QStringList{"is not a regular file"} << false
                              << false << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("a link to itself") << false << QByteArray() << QStringList{"Failed to open Save Stream!"}
                                      << false << false << int(SAVES_FAILURE_NOT_READ);
}

void tst_cSavesManager::recall_ofABadFile_reportsFailureAndKeepsTheModel()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, reports);
    QFETCH(bool, firstRecalled);
    QFETCH(bool, secondRecalled);
    QFETCH(int, failure);
    sFixture fixture;
    const QString path = PathOf(QString("bad-%1.cfg").arg(QTest::currentDataTag()));
    const QByteArray tag(QTest::currentDataTag());
    if (exists)
    {
        QVERIFY(WriteFile(path, file));
    }
    else if (tag == "a folder")
    {
        QVERIFY(QDir().mkpath(path));
    }
    else if (tag == "a link to itself")
    {
        QVERIFY(QFile::link(path, path));
    }

    cReportCapture capture;
    fixture.Request(cSavesManager::P_RECALL, PathPayload(path));

    QCOMPARE(fixture.Answers(cSavesManager::P_RECALL),
             QList<QByteArray>{AnswerFailed(eSavesFailure(failure))});
    for (const QString& report : reports)
    {
        QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    }
    QCOMPARE(fixture.mFirst.mValues, firstRecalled ? FILE_FIRST : MODEL_FIRST);
    QCOMPARE(fixture.mSecond.mValues, secondRecalled ? FILE_SECOND : MODEL_SECOND);
    QCOMPARE(fixture.Publications(), (firstRecalled ? 3 : 0) + (secondRecalled ? 3 : 0));
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_RECALL), 0);
    // The file was opened (a file refused before reading counts as not opened).
    const bool opened = exists && !QByteArray(QTest::currentDataTag()).startsWith("larger");
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_SAVE), opened ? 1 : 0);
}

void tst_cSavesManager::save_failure_reportsAndKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("setupFails");

    QTest::newRow("missing folder") << "missing folder"
                                    << "Failed to open Save Stream!" << true;
    QTest::newRow("target is a folder") << "folder"
                                        << "Failed to open Save Stream!" << true;
    QTest::newRow("read-only folder") << "read-only"
                                      << "Failed to open Save Stream!" << true;
    QTest::newRow("plain stream cannot be written") << "limit plain"
                                                    << "Failed to write Save Stream!" << false;
    QTest::newRow("enciphered file cannot be written") << "limit enciphered"
                                                       << "Encryption failed" << false;
}

void tst_cSavesManager::save_failure_reportsAndKeepsTheOldFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, report);
    QFETCH(bool, setupFails);
    sFixture fixture;
    const QByteArray old("the old file");
    QDir folder(PathOf(QString("save-%1").arg(QTest::currentDataTag())));
    QVERIFY(folder.mkpath("."));
    QString target = folder.filePath("Save.cfg");
    if (kind == "missing folder")
    {
        target = folder.filePath("missing/Save.cfg");
    }
    else if (kind == "folder")
    {
        QVERIFY(folder.mkpath("Save.cfg"));
        QVERIFY(WriteFile(folder.filePath("Save.cfg/inside"), old));
    }
    else
    {
        QVERIFY(WriteFile(target, old));
    }
    if (kind == "read-only")
    {
        if (geteuid() == 0)
        {
            QSKIP("folder permissions do not bind the superuser");
        }
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    const QStringList before = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    cReportCapture capture;
    {
        std::unique_ptr<cFileSizeLimit> limit;
        if (kind.startsWith("limit"))
        {
            limit = std::make_unique<cFileSizeLimit>(kind == "limit plain" ? 8 : SECOND_RECORD_END + 2);
            QVERIFY(limit->IsActive());
        }
        fixture.Request(cSavesManager::P_SAVE, PathPayload(target));
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(fixture.Answers(cSavesManager::P_SAVE),
             QList<QByteArray>{AnswerFailed(SAVES_FAILURE_NOT_WRITTEN)});
    QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    if (kind == "folder")
    {
        QCOMPARE(ReadFile(folder.filePath("Save.cfg/inside")), old);
    }
    else if (kind != "missing folder")
    {
        QCOMPARE(ReadFile(target), old);
    }
    QCOMPARE(fixture.SyncUpAnswer(cSavesManager::P_SAVE), setupFails ? 0 : 1);
}

void tst_cSavesManager::requestPath_isDecodedWithinThePayload_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("terminated");
    QTest::addColumn<QString>("written");

    QTest::newRow("non-ASCII name") << QString::fromUtf8("Einstellung-\xC3\xA4\xE2\x82\xAC.cfg") << true
                                    << QString::fromUtf8("Einstellung-\xC3\xA4\xE2\x82\xAC.cfg");
    QTest::newRow("no terminator") << "unterminated.cfg" << false << QString();
    QTest::newRow("empty path: the default file") << QString() << true << "<default>";
}

void tst_cSavesManager::requestPath_isDecodedWithinThePayload()
{
    QFETCH(QString, name);
    QFETCH(bool, terminated);
    QFETCH(QString, written);
    sFixture fixture;
    const QString path = name.isEmpty() ? QString() : PathOf(name);
    QByteArray payload = name.isEmpty() ? QByteArray() : QFile::encodeName(path);
    if (terminated)
    {
        payload.append('\0');
    }

    cReportCapture capture;
    fixture.Request(cSavesManager::P_SAVE, payload);

    if (written.isEmpty())
    {
        QCOMPARE(fixture.Answers(cSavesManager::P_SAVE),
                 QList<QByteArray>{AnswerFailed(SAVES_FAILURE_NOT_WRITTEN)});
        QVERIFY(capture.Contains("has no terminator"));
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(fixture.Answers(cSavesManager::P_SAVE), QList<QByteArray>{ANSWER_OK});
    const QString expected = written == "<default>" ? GetSaveFilePath() : PathOf(written);
    QCOMPARE(fixture.mManager.GetTargetPath(), expected);
    QCOMPARE(ReadFile(expected).size(), 24);
}

void tst_cSavesManager::request_fromAFrameworkConnection_isRefused_data()
{
    QTest::addColumn<KV_NET_DATA_SCALE>("method");
    QTest::addColumn<QString>("report");

    QTest::newRow("save") << cSavesManager::P_SAVE << "Save request from connection 3 refused";
    QTest::newRow("recall") << cSavesManager::P_RECALL << "Recall request from connection 3 refused";
}

void tst_cSavesManager::request_fromAFrameworkConnection_isRefused()
{
    QFETCH(KV_NET_DATA_SCALE, method);
    QFETCH(QString, report);
    sFixture fixture;
    const QString recallable = PathOf("remote-recall.cfg");
    QVERIFY(WriteFile(recallable, Cipher(ValidPlain(), true)));
    const QString path = method == cSavesManager::P_SAVE ? PathOf("remote-save.cfg") : recallable;

    cReportCapture capture;
    fixture.Request(method, PathPayload(path), 3);

    QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    QVERIFY(fixture.Answers(method).isEmpty());
    QCOMPARE(QFile::exists(PathOf("remote-save.cfg")), false);
    QCOMPARE(fixture.mFirst.mValues, MODEL_FIRST);
    QCOMPARE(fixture.mSecond.mValues, MODEL_SECOND);
    QCOMPARE(fixture.mManager.GetTargetPath(), GetSaveFilePath());
    QCOMPARE(fixture.mManager.GetSourcePath(), GetSaveFilePath());
}

void tst_cSavesManager::sync_skipsObjectsWithoutDeviceData()
{
    sFixture fixture;
    fixture.mFirst.mHasDeviceData = true;
    fixture.mFirst.mDeviceValues = {true, 9, 1000};

    cReportCapture capture;
    fixture.Request(cSavesManager::P_SYNC, QByteArray());

    QCOMPARE(fixture.Answers(cSavesManager::P_SYNC), QList<QByteArray>{ANSWER_OK});
    QCOMPARE(fixture.mFirst.mValues, fixture.mFirst.mDeviceValues);
    QCOMPARE(fixture.From(fixture.mFirst.GetHandle(), cToySaveObject::P_VALUE),
             QList<QByteArray>{QByteArray::fromHex("0009")});
    QCOMPARE(fixture.Publications(), 1);
    QCOMPARE(fixture.mSecond.mValues, MODEL_SECOND);
    QCOMPARE(capture.Count("Sync skipped, no device data yet (Toy B)"), 1);
    QCOMPARE(capture.Count("Toy A"), 0);
}

// The word that the link runs after a sync has every object send what the sync left, once; without a
// sync before it, or from a framework connection, nothing happens.
void tst_cSavesManager::completion_followsASyncOnceAndOnlyFromTheLocalSystem()
{
    sFixture fixture;
    fixture.Request(cSavesManager::M_COMPLETE_SYNC, QByteArray());
    QCOMPARE(fixture.mFirst.mCompletions, 0);

    fixture.Request(cSavesManager::P_SYNC, QByteArray());
    cReportCapture capture;
    fixture.Request(cSavesManager::M_COMPLETE_SYNC, QByteArray(), 3);
    QVERIFY(capture.Contains("Sync completion from connection 3 refused"));
    QCOMPARE(fixture.mFirst.mCompletions, 0);

    fixture.Request(cSavesManager::M_COMPLETE_SYNC, QByteArray());
    fixture.Request(cSavesManager::M_COMPLETE_SYNC, QByteArray());
    QCOMPARE(fixture.mFirst.mCompletions, 1);
    QCOMPARE(fixture.mSecond.mCompletions, 1);
    // No answer: only the sync's.
    QCOMPARE(fixture.Answers(cSavesManager::P_SYNC), QList<QByteArray>{ANSWER_OK});
    QCOMPARE(fixture.Answers(cSavesManager::M_COMPLETE_SYNC), QList<QByteArray>());
}

void tst_cSavesManager::saveObjects_leaveTheManagerWhenDestroyed()
{
    cScopedKVNetSystem system(false);
    auto manager = std::make_unique<cSavesManager>();
    cSaveObject first("First", manager.get());
    {
        cSaveObject second("Second", manager.get());
        QCOMPARE(manager->GetNumberOfSaveObjects(), 2);
    }
    QCOMPARE(manager->GetNumberOfSaveObjects(), 1);
    manager.reset();
    QCOMPARE(first.GetRegistry(), nullptr);
}

QTEST_GUILESS_MAIN(tst_cSavesManager)
#include "tst_cSavesManager.moc"
