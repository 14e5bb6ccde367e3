// The loader window, "qrc:/main_load_only.qml", which the program itself never loads: over the real
// root back end with stand-ins for the serial connection driver and the saves manager it loads
// without a warning, follows the link in its status line, offers its recall button only while
// connected, tells how a recall went, and asks for the sync after connecting once.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Saves/SavesFailure.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "tests/qml/WindowSupport/cMainWindowHarness.h"
#include "tests/support/cQmlWarningGuard.h"

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

using D = cFakeSerialConnectDriver;
using S = cFakeSavesManager;

} // namespace

class tst_LoaderWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window_isTitledAndSized();
    void statusLine_followsTheLink_data();
    void statusLine_followsTheLink();
    void recall_tellsHowItWent_data();
    void recall_tellsHowItWent();
    void sync_isAskedOnceOnEnteringSyncingAndConfirmedOnceAnswered();

private:
    QString Text(const QString& objectName) const;
    void Click(const QString& objectName);
    // The port listed and connect clicked, then these states reported in turn.
    bool Connect(const QList<int>& states);

    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cMainWindowHarness> mHarness;
};

void tst_LoaderWindow::initTestCase()
{
    RegisterQmlTypes();
}

void tst_LoaderWindow::init()
{
    mGuard = std::make_unique<cQmlWarningGuard>();
    // The harness's back ends and stand-ins, with the loader window in place of the main window.
    mHarness = std::make_unique<cMainWindowHarness>();
    QVERIFY(mHarness->Load(QStringLiteral("qrc:/main_load_only.qml")));
}

void tst_LoaderWindow::cleanup()
{
    mHarness.reset();
    const QStringList problems = mGuard->Problems();
    mGuard.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

QString tst_LoaderWindow::Text(const QString& objectName) const
{
    return mHarness->Item(objectName)->property("text").toString();
}

void tst_LoaderWindow::Click(const QString& objectName)
{
    const QQuickItem* item = mHarness->Item(objectName);
    QVERIFY(item != nullptr);
    mHarness->Click(item);
}

bool tst_LoaderWindow::Connect(const QList<int>& states)
{
    if (!mHarness->ListPorts({"COM3"}))
    {
        return false;
    }
    Click("connectButton");
    for (int state : states)
    {
        if (!mHarness->ReportStatus(state))
        {
            return false;
        }
    }
    return true;
}

void tst_LoaderWindow::window_isTitledAndSized()
{
    QCOMPARE(mHarness->Window()->title(), QString("Corvo Loader - V1.00"));
    QCOMPARE(mHarness->Window()->size(), QSize(420, 240));
}

void tst_LoaderWindow::statusLine_followsTheLink_data()
{
    QTest::addColumn<bool>("port");
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("recallShown");
    // The connect button's image: what its click does.
    QTest::addColumn<QString>("button");

    const QColor orange("orange");
    const QString connects("qrc:/Connect.svg");
    const QString disconnects("qrc:/Connected.svg");
    QTest::newRow("no port") << false << QList<int>() << "Status: No devices detected" << QColor("red")
                             << false << connects;
    QTest::newRow("a port") << true << QList<int>() << "Status: Not connected" << orange << false << connects;
    QTest::newRow("2 connected") << true << QList<int>{1, 2} << "Status: Connected, V1.2" << QColor("#39b54a")
                                 << true << disconnects;
    QTest::newRow("5 no reply") << true << QList<int>{2, 5} << "Status: No Reply" << QColor("red") << false
                                << disconnects;
    QTest::newRow("6 has no text here") << true << QList<int>{6} << "" << QColor() << false << disconnects;
    QTest::newRow("back to 0") << true << QList<int>{2, 0} << "Status: Not connected" << orange << false
                               << connects;
}

void tst_LoaderWindow::statusLine_followsTheLink()
{
    QFETCH(bool, port);
    QFETCH(QList<int>, states);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(bool, recallShown);
    QFETCH(QString, button);
    if (port)
    {
        if (states.isEmpty())
        {
            QVERIFY(mHarness->ListPorts({"COM3"}));
        }
        else
        {
            QVERIFY(Connect(states));
        }
    }
    QCOMPARE(Text("statusText"), text);
    if (colour.isValid())
    {
        QCOMPARE(mHarness->Item("statusText")->property("color").value<QColor>(), colour);
    }
    QCOMPARE(mHarness->Item("recallButton")->isVisible(), recallShown);
    QCOMPARE(mHarness->Item("connectButton")->property("source").toUrl(), QUrl(button));
}

void tst_LoaderWindow::recall_tellsHowItWent_data()
{
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");

    QTest::newRow("recalled") << true << "Recall Chosen.cfg Successful";
    QTest::newRow("refused") << false << "Recall Chosen.cfg Failed";
}

void tst_LoaderWindow::recall_tellsHowItWent()
{
    QFETCH(bool, success);
    QFETCH(QString, message);
    QVERIFY(Connect({1, 2}));
    QCOMPARE(Text("messageText"), QString());
    mHarness->Saves().SetFailure(success ? SAVES_FAILURE_NONE : SAVES_FAILURE_NOT_A_SAVES_FILE);

    Click("recallButton");
    QObject* dialog = mHarness->Object("recallDialog");
    QVERIFY(dialog != nullptr);
    QTRY_VERIFY(dialog->property("visible").toBool());
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("Chosen.cfg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    bool added = false;
    QVERIFY(QMetaObject::invokeMethod(dialog, "addSelection", Q_RETURN_ARG(bool, added),
                                      Q_ARG(QUrl, QUrl::fromLocalFile(path))));
    QVERIFY(added);
    QVERIFY(QMetaObject::invokeMethod(dialog, "accept"));
    QTRY_VERIFY(!dialog->property("visible").toBool());
    mHarness->Tick(10);

    QCOMPARE(mHarness->Saves().Count(S::P_RECALL), 1);
    QCOMPARE(mHarness->Saves().LastPath(S::P_RECALL), QFile::encodeName(path));
    QCOMPARE(Text("messageText"), message);
}

void tst_LoaderWindow::sync_isAskedOnceOnEnteringSyncingAndConfirmedOnceAnswered()
{
    S& saves = mHarness->Saves();
    D& driver = mHarness->Driver();
    saves.HoldSyncAnswers(true);
    QVERIFY(Connect({1, 2, 3, 4}));
    QCOMPARE(Text("statusText"), QString("Status: Syncing"));
    QVERIFY(mHarness->ReportStatus(4));
    mHarness->Tick(60);
    QCOMPARE(saves.Count(S::P_SYNC), 1);
    QCOMPARE(driver.Count(D::P_SYNC_DONE), 0);

    saves.ReleaseSyncAnswers();
    mHarness->Pump();
    QCOMPARE(driver.Count(D::P_SYNC_DONE), 1);
    QCOMPARE(Text("messageText"), QString());
}

// The program's names and a QGuiApplication, as the program has them.
int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("RE Zurov"));
    QCoreApplication::setApplicationName(QStringLiteral("CorvoGUI"));
    QGuiApplication application(argc, argv);
    tst_LoaderWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_LoaderWindow.moc"
