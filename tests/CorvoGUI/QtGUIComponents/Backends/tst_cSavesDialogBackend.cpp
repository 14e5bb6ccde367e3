// The saves dialog back end: its requests against a stand-in saves manager, its replies, and the
// whole round through the saves manager; messages delivered by the message pump.

#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "tests/CorvoGUI/QtGUIComponents/Backends/BackendTestSupport.h"
#include "tests/KVNet/Core/Controls/ControlTestHelpers.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nBackendTest;
using B = cSavesDialogBackend;

namespace
{

// The back end linked to a stand-in "Saves Manager NetObject" that records every request.
struct sPumpedBackend
{
    sPumpedBackend()
        : mManager(std::make_unique<cRecordingNetObject>(B::SAVES_MANAGER_NAME, B::NUMBER_OF_PARAMETERS))
        , mBackend(std::make_unique<B>())
    {
        SettleLinks();
    }

    cScopedKVNetSystem mSystem;
    std::unique_ptr<cRecordingNetObject> mManager;
    std::unique_ptr<B> mBackend;
};

} // namespace

class tst_cSavesDialogBackend : public QObject
{
    Q_OBJECT

private slots:
    void requests_carryTheLocalPathAndItsNul_data();
    void requests_carryTheLocalPathAndItsNul();
    void replies_setOperationSuccessAndAlwaysAnnounceIt_data();
    void replies_setOperationSuccessAndAlwaysAnnounceIt();
    void buttons_announceOnlyChanges();
    void requestsFromTheGuiThread_waitForTheRegistryLock_data();
    void requestsFromTheGuiThread_waitForTheRegistryLock();
    void savesManager_savesRecallsAndSyncs();
};

void tst_cSavesDialogBackend::requests_carryTheLocalPathAndItsNul_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QUrl>("url");
    // The request's payload; empty when it may not be sent.
    QTest::addColumn<QByteArray>("payload");
    // Why a request that is not sent failed, and how that is reported.
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("report");

    QTest::newRow("save, a path of 10 characters")
        << true << QUrl::fromLocalFile("/tmp/a.cfg") << QByteArray("/tmp/a.cfg\0", 11)
        << int(SAVES_FAILURE_NONE) << QString();
    // The manager would take the empty path as its last file.
    QTest::newRow("recall, the empty URL: no file")
        << false << QUrl() << QByteArray() << int(SAVES_FAILURE_NO_FILE) << "Notification";
    QTest::newRow("save, a file URL without a path")
        << true << QUrl("file:") << QByteArray() << int(SAVES_FAILURE_NO_FILE) << "Notification";
    QTest::newRow("save, not a local file") << true << QUrl("http://example.com/a.cfg") << QByteArray()
                                            << int(SAVES_FAILURE_NOT_WRITTEN) << "ERROR";
    QTest::newRow("recall, a path holding a NUL")
        << false << QUrl("file:///tmp/a%00b.cfg") << QByteArray() << int(SAVES_FAILURE_NOT_READ) << "ERROR";
}

void tst_cSavesDialogBackend::requests_carryTheLocalPathAndItsNul()
{
    QFETCH(bool, save);
    QFETCH(QUrl, url);
    QFETCH(QByteArray, payload);
    QFETCH(int, failure);
    QFETCH(QString, report);
    sPumpedBackend rig;
    QSignalSpy success(rig.mBackend.get(), &B::operationSuccessChanged);
    QSignalSpy saved(rig.mBackend.get(), &B::saveFinished);
    QSignalSpy recalled(rig.mBackend.get(), &B::recallFinished);
    cReportCapture reports;

    if (save)
    {
        rig.mBackend->saveConfig(url);
    }
    else
    {
        rig.mBackend->recallConfig(url);
    }
    cMessagePump::Pump();
    const UWORD method = save ? B::P_SAVE : B::P_RECALL;
    const bool sent = !payload.isEmpty();
    QCOMPARE(rig.mManager->Count(method), sent ? 1 : 0);
    QCOMPARE(rig.mManager->LastPayload(method), payload);
    // A request that cannot be sent fails at once, and says why.
    QCOMPARE(rig.mBackend->operationSuccess(), sent);
    QCOMPARE(success.count(), sent ? 0 : 1);
    QCOMPARE(reports.Lines().size(), sent ? 0 : 1);
    QVERIFY(sent || reports.Contains(report));
    QSignalSpy& finished = save ? saved : recalled;
    QCOMPARE(finished.count(), sent ? 0 : 1);
    QCOMPARE((save ? recalled : saved).count(), 0);
    if (!sent)
    {
        QCOMPARE(finished.first(), (QVariantList{false, failure}));
    }

    rig.mBackend->syncDevice();
    cMessagePump::Pump();
    QCOMPARE(rig.mManager->Count(B::P_SYNC), 1);
    QCOMPARE(rig.mManager->LastPayload(B::P_SYNC), QByteArray());
}

void tst_cSavesDialogBackend::replies_setOperationSuccessAndAlwaysAnnounceIt_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("success");
    QTest::addColumn<int>("announced");
    // What saveFinished or recallFinished tells (nothing for a sync or a dropped reply).
    QTest::addColumn<int>("failure");

    QTest::newRow("recall failed: the file does not exist")
        << int(B::P_RECALL) << QByteArray("\0\2", 2) << false << 1 << int(SAVES_FAILURE_NOT_FOUND);
    QTest::newRow("recall failed: not a saves file")
        << int(B::P_RECALL) << QByteArray("\0\4", 2) << false << 1 << int(SAVES_FAILURE_NOT_A_SAVES_FILE);
    QTest::newRow("recall failed without a reason: not read")
        << int(B::P_RECALL) << QByteArray(1, '\0') << false << 1 << int(SAVES_FAILURE_NOT_READ);
    QTest::newRow("save failed without a reason: not written")
        << int(B::P_SAVE) << QByteArray(1, '\0') << false << 1 << int(SAVES_FAILURE_NOT_WRITTEN);
    QTest::newRow("save succeeded") << int(B::P_SAVE) << QByteArray(1, '\1') << true << 1
                                    << int(SAVES_FAILURE_NONE);
    QTest::newRow("sync, a byte above 1 counts as success")
        << int(B::P_SYNC) << QByteArray(1, '\2') << true << 1 << -1;
    QTest::newRow("a reply without its byte is dropped")
        << int(B::P_RECALL) << QByteArray() << true << 0 << -1;
}

void tst_cSavesDialogBackend::replies_setOperationSuccessAndAlwaysAnnounceIt()
{
    QFETCH(int, method);
    QFETCH(QByteArray, reply);
    QFETCH(bool, success);
    QFETCH(int, announced);
    QFETCH(int, failure);
    sPumpedBackend rig;
    QSignalSpy changed(rig.mBackend.get(), &B::operationSuccessChanged);
    QSignalSpy saved(rig.mBackend.get(), &B::saveFinished);
    QSignalSpy recalled(rig.mBackend.get(), &B::recallFinished);
    const cReportCapture reports;

    // Twice the same reply: announced each time.
    for (int i = 0; i < 2; ++i)
    {
        nControlTest::PostFrom(*rig.mManager, *rig.mBackend, UWORD(method), reply);
        cMessagePump::Pump();
    }
    QCOMPARE(rig.mBackend->operationSuccess(), success);
    QCOMPARE(changed.count(), 2 * announced);
    const bool told = failure >= 0;
    QCOMPARE(saved.count(), told && method == B::P_SAVE ? 2 : 0);
    QCOMPARE(recalled.count(), told && method == B::P_RECALL ? 2 : 0);
    if (told)
    {
        const QSignalSpy& finished = method == B::P_SAVE ? saved : recalled;
        QCOMPARE(finished.last(), (QVariantList{success, failure}));
    }
}

void tst_cSavesDialogBackend::buttons_announceOnlyChanges()
{
    sPumpedBackend rig;
    B& backend = *rig.mBackend;
    QSignalSpy save(&backend, &B::buttonSaveChanged);
    QSignalSpy recall(&backend, &B::buttonRecallChanged);

    backend.setButtonSave(true);
    backend.setButtonSave(true);
    backend.setButtonRecall(false);
    QVERIFY(backend.buttonSave());
    QVERIFY(!backend.buttonRecall());
    QCOMPARE(save.count(), 1);
    QCOMPARE(recall.count(), 0);
}

void tst_cSavesDialogBackend::requestsFromTheGuiThread_waitForTheRegistryLock_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("save") << int(B::P_SAVE);
    QTest::newRow("recall") << int(B::P_RECALL);
    QTest::newRow("sync") << int(B::P_SYNC);
}

void tst_cSavesDialogBackend::requestsFromTheGuiThread_waitForTheRegistryLock()
{
    QFETCH(int, method);
    sPumpedBackend rig;
    B& backend = *rig.mBackend;
    const QUrl file = QUrl::fromLocalFile("/tmp/a.cfg");

    // The object's message and inform lists also serve the syscall thread.
    QVERIFY(WaitsForTheRegistryLock(
        [&]
        {
            if (method == B::P_SAVE)
            {
                backend.saveConfig(file);
            }
            else if (method == B::P_RECALL)
            {
                backend.recallConfig(file);
            }
            else
            {
                backend.syncDevice();
            }
        }));
    cMessagePump::Pump();
    QCOMPARE(rig.mManager->Count(UWORD(method)), 1);
}

void tst_cSavesDialogBackend::savesManager_savesRecallsAndSyncs()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    cScopedKVNetSystem system;
    cSavesManager manager;
    B backend;
    QVERIFY(SettleLinks());
    QSignalSpy changed(&backend, &B::operationSuccessChanged);
    QSignalSpy saved(&backend, &B::saveFinished);
    QSignalSpy recalled(&backend, &B::recallFinished);
    const QString file = folder.filePath("Panel.cfg");
    const QString damaged = folder.filePath("Damaged.cfg");
    {
        QFile bytes(damaged);
        QVERIFY(bytes.open(QIODevice::WriteOnly));
        QVERIFY(bytes.write(QByteArray(16, 'x')) == 16);
    }

    backend.saveConfig(QUrl::fromLocalFile(file));
    cMessagePump::Pump();
    QVERIFY(QFile::exists(file));
    QVERIFY(backend.operationSuccess());
    QCOMPARE(changed.count(), 1);

    {
        // The failures are reported.
        const cReportCapture reports;
        backend.saveConfig(QUrl::fromLocalFile(folder.filePath("missing/Panel.cfg")));
        backend.recallConfig(QUrl::fromLocalFile(folder.filePath("Missing.cfg")));
        backend.recallConfig(QUrl::fromLocalFile(damaged));
        cMessagePump::Pump();
    }
    QVERIFY(!backend.operationSuccess());

    backend.recallConfig(QUrl::fromLocalFile(file));
    cMessagePump::Pump();
    QVERIFY(backend.operationSuccess());

    backend.syncDevice();
    cMessagePump::Pump();
    QVERIFY(backend.operationSuccess());
    QCOMPARE(changed.count(), 6);
    QCOMPARE(QList<QVariantList>(saved),
             (QList<QVariantList>{{true, int(SAVES_FAILURE_NONE)}, {false, int(SAVES_FAILURE_NOT_WRITTEN)}}));
    QCOMPARE(QList<QVariantList>(recalled), (QList<QVariantList>{{false, int(SAVES_FAILURE_NOT_FOUND)},
                                                                 {false, int(SAVES_FAILURE_NOT_A_SAVES_FILE)},
                                                                 {true, int(SAVES_FAILURE_NONE)}}));
}

QTEST_GUILESS_MAIN(tst_cSavesDialogBackend)
#include "tst_cSavesDialogBackend.moc"
