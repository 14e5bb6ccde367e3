// The main window over the real root back end, with stand-ins for the serial connection driver and
// the saves manager: the layout's aspect, the status line through every link state, the connect
// button and the port chooser, the error dialog, the overlay with the file dialogs, and the sync
// after connecting.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Saves/SavesFailure.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "tests/qml/WindowSupport/SceneSearch.h"
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

using tConnectRequests = QList<QPair<bool, QString>>;
Q_DECLARE_METATYPE(tConnectRequests)

namespace
{

const QColor RED("red");
const QColor ORANGE("orange");
const QColor GREEN("#39b54a");

using D = cFakeSerialConnectDriver;
using S = cFakeSavesManager;

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window_isTitledAndSized();
    void mainArea_keepsItsAspect_data();
    void mainArea_keepsItsAspect();
    void statusLine_followsTheLink_data();
    void statusLine_followsTheLink();
    void connectButton_actsByThePortCount_data();
    void connectButton_actsByThePortCount();
    void errorDialog_tellsTheKnownErrors_data();
    void errorDialog_tellsTheKnownErrors();
    void fileDialogs_dimTheWindowAndSendTheChosenFile_data();
    void fileDialogs_dimTheWindowAndSendTheChosenFile();
    void savesResults_areToldInTheWindow_data();
    void savesResults_areToldInTheWindow();
    void sync_isAskedOnceOnEnteringSyncingAndConfirmedOnceAnswered();
    void modalLayers_keepTheKeysFromTheValueBoxesUnder_data();
    void modalLayers_keepTheKeysFromTheValueBoxesUnder();

private:
    // The harness loaded with these ports listed, connect clicked when asked.
    bool Open(const QStringList& ports, bool connect);
    // Opens the file dialog with its button, and accepts it as its own accept button does with the
    // path picked (none when empty).
    QObject* AcceptFileDialog(const QString& button, const QString& dialog, const QString& path);

    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cMainWindowHarness> mHarness;
};

void tst_MainWindow::initTestCase()
{
    RegisterQmlTypes();
}

void tst_MainWindow::init()
{
    mGuard = std::make_unique<cQmlWarningGuard>();
    mHarness = std::make_unique<cMainWindowHarness>();
    QVERIFY(mHarness->Load());
}

void tst_MainWindow::cleanup()
{
    // The window's teardown must not warn either.
    mHarness.reset();
    const QStringList problems = mGuard->Problems();
    mGuard.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

bool tst_MainWindow::Open(const QStringList& ports, bool connect)
{
    if (!ports.isEmpty() && !mHarness->ListPorts(ports))
    {
        return false;
    }
    if (connect)
    {
        mHarness->Click(mHarness->Item("connectButton"));
    }
    return true;
}

void tst_MainWindow::window_isTitledAndSized()
{
    QQuickWindow* window = mHarness->Window();
    QCOMPARE(window->title(), QString("Corvo GUI - V1.00"));
    QCOMPARE(window->size(), QSize(1280, 720));
    QCOMPARE(window->minimumSize(), QSize(640, 480));
}

void tst_MainWindow::mainArea_keepsItsAspect_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSizeF>("area");

    QTest::newRow("between 2:1 and 4:3: the whole window") << QSize(1280, 720) << QSizeF(1280, 720);
    QTest::newRow("taller than 4:3") << QSize(1280, 1000) << QSizeF(1280, 960);
    QTest::newRow("wider than 2:1") << QSize(1600, 600) << QSizeF(1200, 600);
    QTest::newRow("exactly 4:3") << QSize(640, 480) << QSizeF(640, 480);
    QTest::newRow("exactly 2:1") << QSize(1400, 700) << QSizeF(1400, 700);
}

void tst_MainWindow::mainArea_keepsItsAspect()
{
    QFETCH(QSize, window);
    QFETCH(QSizeF, area);
    mHarness->Window()->resize(window);
    // The window takes its new size once the platform has delivered it.
    QTRY_COMPARE(mHarness->Window()->contentItem()->size(), QSizeF(window));
    const QQuickItem* mainArea = mHarness->Item("mainArea");
    QCOMPARE(mainArea->position(), QPointF(0, 0));
    QCOMPARE(mainArea->size(), area);
    QVariant width;
    QVERIFY(QMetaObject::invokeMethod(mHarness->Window(), "mainWindowWidth", Q_RETURN_ARG(QVariant, width)));
    QCOMPARE(width.toReal(), area.width());
}

void tst_MainWindow::statusLine_followsTheLink_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<bool>("connect");
    // States the link reports in turn.
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("button");

    const QStringList one{"COM3"};
    // The plug pulled out: a click connects. Plugged in: a click disconnects.
    const QString connects("qrc:/Connect.svg");
    const QString disconnects("qrc:/Connected.svg");
    QTest::newRow("no port") << QStringList() << false << QList<int>() << "Status: No devices detected" << RED
                             << connects;
    QTest::newRow("a port") << one << false << QList<int>() << "Status: Device Detected" << ORANGE
                            << connects;
    QTest::newRow("connect asked") << one << true << QList<int>() << "Status: Attempting to connect" << ORANGE
                                   << disconnects;
    QTest::newRow("1 port open") << one << true << QList<int>{1} << "Status: Port Open" << GREEN
                                 << disconnects;
    QTest::newRow("2 connected") << one << true << QList<int>{1, 2} << "Status: Connected, V1.2" << GREEN
                                 << disconnects;
    QTest::newRow("3 getting sync") << one << true << QList<int>{3} << "Status: Getting Sync" << ORANGE
                                    << disconnects;
    QTest::newRow("4 syncing") << one << true << QList<int>{4} << "Status: Syncing" << ORANGE << disconnects;
    QTest::newRow("5 no reply") << one << true << QList<int>{2, 5} << "Status: No Reply" << RED
                                << disconnects;
    QTest::newRow("6 disconnecting") << one << true << QList<int>{6} << "Status: Disconnecting" << ORANGE
                                     << disconnects;
    QTest::newRow("back to 0") << one << true << QList<int>{2, 0} << "Status: Device Detected" << ORANGE
                               << connects;
    QTest::newRow("unknown state after no reply: colour kept")
        << one << true << QList<int>{5, 7} << "" << RED << disconnects;
    QTest::newRow("unknown state after connected: colour kept")
        << one << true << QList<int>{2, 200} << "" << GREEN << disconnects;
}

void tst_MainWindow::statusLine_followsTheLink()
{
    QFETCH(QStringList, ports);
    QFETCH(bool, connect);
    QFETCH(QList<int>, states);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    QFETCH(QString, button);
    QVERIFY(Open(ports, connect));
    for (int state : states)
    {
        QVERIFY(mHarness->ReportStatus(state));
    }
    QCOMPARE(mHarness->StatusText(), text);
    QCOMPARE(mHarness->StatusColour(), colour);
    QCOMPARE(mHarness->Item("connectButton")->property("source").toUrl(), QUrl(button));

    // A click does what the image shows (with no port, connecting has nothing to connect to).
    mHarness->Driver().ClearRequests();
    mHarness->Click(mHarness->Item("connectButton"));
    tConnectRequests requests;
    if (button == "qrc:/Connected.svg")
    {
        requests = {{false, ""}};
    }
    else if (!ports.isEmpty())
    {
        requests = {{true, "COM3"}};
    }
    QCOMPARE(mHarness->Driver().ConnectRequests(), requests);
}

void tst_MainWindow::connectButton_actsByThePortCount_data()
{
    QTest::addColumn<QStringList>("ports");
    // The port chooser's button clicked once it is open; -1 for none.
    QTest::addColumn<int>("choice");
    QTest::addColumn<tConnectRequests>("requests");

    QTest::newRow("no port: nothing") << QStringList() << -1 << tConnectRequests();
    QTest::newRow("one port: connects to it")
        << QStringList{"COM3"} << -1 << tConnectRequests{{true, "COM3"}};
    QTest::newRow("two ports: the chosen one")
        << QStringList{"COM3", "COM12"} << 1 << tConnectRequests{{true, "COM12"}};
    QTest::newRow("two ports: the first one")
        << QStringList{"COM3", "COM12"} << 0 << tConnectRequests{{true, "COM3"}};
}

void tst_MainWindow::connectButton_actsByThePortCount()
{
    QFETCH(QStringList, ports);
    QFETCH(int, choice);
    QFETCH(tConnectRequests, requests);
    QVERIFY(Open(ports, true));
    // The chooser is made when it is first needed.
    QObject* chooser = nullptr;
    const auto chooserShown = [&]
    {
        chooser = mHarness->Object("portChooser");
        return chooser != nullptr && chooser->property("visible").toBool();
    };

    if (choice < 0)
    {
        QVERIFY(!chooserShown());
    }
    else
    {
        QTRY_VERIFY(chooserShown() && chooser->property("opened").toBool());
        QCOMPARE(mHarness->Driver().ConnectRequests(), tConnectRequests());
        QQuickItem* portButton = mHarness->Item(QString("portButton%1").arg(choice));
        QVERIFY(portButton != nullptr);
        QCOMPARE(portButton->property("text").toString(), ports[choice]);
        // Clicked once the popup has laid its buttons out, one below the other.
        const QQuickItem* first = mHarness->Item("portButton0");
        const QQuickItem* last = mHarness->Item(QString("portButton%1").arg(ports.size() - 1));
        QTRY_VERIFY(last->mapToScene(QPointF()).y() >= first->mapToScene(QPointF()).y() + first->height());
        mHarness->Click(portButton);
        QTRY_VERIFY(!chooser->property("visible").toBool());
    }
    QCOMPARE(mHarness->Driver().ConnectRequests(), requests);
    QCOMPARE(mHarness->Backend().backendSerialConnection()->property("connect").toBool(),
             !requests.isEmpty());

    // A second click disconnects while a connection is wanted, and again does nothing without one.
    mHarness->Driver().ClearRequests();
    mHarness->Click(mHarness->Item("connectButton"));
    const tConnectRequests disconnect =
        requests.isEmpty() ? tConnectRequests() : tConnectRequests{qMakePair(false, QString())};
    QCOMPARE(mHarness->Driver().ConnectRequests(), disconnect);
    QVERIFY(!chooserShown());
}

void tst_MainWindow::errorDialog_tellsTheKnownErrors_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");

    QTest::newRow("1 in use")
        << 1 << "Device already in use.\nClose all other apps connected to your Corvo device.";
    QTest::newRow("2 not found") << 2 << "Device connection failure.\nEnsure your cable is securely fitted.";
    QTest::newRow("3 timeout") << 3 << "Timeout occured. Please try again.";
    QTest::newRow("4 unknown: nothing") << 4 << "";
    QTest::newRow("255 unknown: nothing") << 255 << "";
}

void tst_MainWindow::errorDialog_tellsTheKnownErrors()
{
    QFETCH(int, error);
    QFETCH(QString, text);
    QVERIFY(Open({"COM3"}, true));
    // The dialog is made when it is first needed.
    QObject* dialog = mHarness->Object("errorDialog");
    QVERIFY(dialog == nullptr || !dialog->property("visible").toBool());

    // A failed connect: the link stays idle and tells why.
    QVERIFY(mHarness->ReportStatus(0, error));
    dialog = mHarness->Object("errorDialog");
    QCOMPARE(dialog != nullptr && dialog->property("visible").toBool(), !text.isEmpty());
    if (!text.isEmpty())
    {
        QCOMPARE(dialog->property("text").toString(), text);
        QVERIFY(QMetaObject::invokeMethod(dialog, "close"));
        mHarness->Pump();
    }
    QCOMPARE(mHarness->StatusText(), QString("Status: Device Detected"));
}

void tst_MainWindow::fileDialogs_dimTheWindowAndSendTheChosenFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("method");

    QTest::newRow("save, accepted") << "saveButton"
                                    << "saveDialog"
                                    << "Select name for config save" << true << int(S::P_SAVE);
    QTest::newRow("save, cancelled") << "saveButton"
                                     << "saveDialog"
                                     << "Select name for config save" << false << int(S::P_SAVE);
    QTest::newRow("recall, accepted") << "recallButton"
                                      << "recallDialog"
                                      << "Select config file to restore" << true << int(S::P_RECALL);
    QTest::newRow("recall, cancelled") << "recallButton"
                                       << "recallDialog"
                                       << "Select config file to restore" << false << int(S::P_RECALL);
}

void tst_MainWindow::fileDialogs_dimTheWindowAndSendTheChosenFile()
{
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    QFETCH(QString, title);
    QFETCH(bool, accept);
    QFETCH(int, method);
    cSavesDialogBackend* saves = mHarness->Backend().backendSavesDialog();
    QVERIFY(!mHarness->OverlayShown());

    // The dialog is made when its button is first clicked.
    mHarness->Click(mHarness->Item(button));
    QObject* fileDialog = nullptr;
    QTRY_VERIFY((fileDialog = mHarness->Object(dialog)) != nullptr);
    QCOMPARE(fileDialog->property("title").toString(), title);
    QCOMPARE(fileDialog->property("nameFilters").toStringList(), QStringList{"Configuration files (*.cfg)"});
    QTRY_VERIFY(fileDialog->property("visible").toBool());
    QVERIFY(mHarness->OverlayShown());
    QVERIFY(saves->buttonSave());

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath("Chosen.cfg");
    if (accept)
    {
        // As the dialog's own accept button does with the chosen file (which a recall needs to exist).
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        bool added = false;
        QVERIFY(QMetaObject::invokeMethod(fileDialog, "addSelection", Q_RETURN_ARG(bool, added),
                                          Q_ARG(QUrl, QUrl::fromLocalFile(path))));
        QVERIFY(added);
        QVERIFY(QMetaObject::invokeMethod(fileDialog, "accept"));
    }
    else
    {
        QVERIFY(QMetaObject::invokeMethod(fileDialog, "reject"));
    }
    mHarness->Pump();
    QTRY_VERIFY(!fileDialog->property("visible").toBool());
    QVERIFY(!mHarness->OverlayShown());
    QVERIFY(!saves->buttonSave());
    QCOMPARE(mHarness->Saves().Count(UWORD(method)), accept ? 1 : 0);
    QCOMPARE(mHarness->Saves().Requests().size(), accept ? 1 : 0);
    if (accept)
    {
        QCOMPARE(mHarness->Saves().LastPath(UWORD(method)), QFile::encodeName(path));
    }
}

QObject* tst_MainWindow::AcceptFileDialog(const QString& button, const QString& dialog, const QString& path)
{
    mHarness->Click(mHarness->Item(button));
    QObject* fileDialog = mHarness->Object(dialog);
    if (fileDialog == nullptr ||
        !QTest::qWaitFor([&] { return fileDialog->property("visible").toBool(); }, 15000))
    {
        return nullptr;
    }
    bool added = path.isEmpty();
    if (!path.isEmpty())
    {
        QMetaObject::invokeMethod(fileDialog, "addSelection", Q_RETURN_ARG(bool, added),
                                  Q_ARG(QUrl, QUrl::fromLocalFile(path)));
    }
    if (!added || !QMetaObject::invokeMethod(fileDialog, "accept"))
    {
        return nullptr;
    }
    mHarness->Tick(5);
    return fileDialog;
}

void tst_MainWindow::savesResults_areToldInTheWindow_data()
{
    QTest::addColumn<bool>("save");
    // The file picked in the dialog, in a folder of the test's; empty for none.
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("failure");
    // What the window tells: the notice's text when it worked, else the error dialog's.
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("error");

    QTest::newRow("saved") << true << "Live set.cfg" << int(SAVES_FAILURE_NONE) << "Saved Live set.cfg"
                           << "";
    QTest::newRow("recalled") << false << "Live set.cfg" << int(SAVES_FAILURE_NONE) << "Recalled Live set.cfg"
                              << "";
    QTest::newRow("save not written") << true << "Live set.cfg" << int(SAVES_FAILURE_NOT_WRITTEN) << ""
                                      << "Live set.cfg could not be saved.\nThe file could not be written.";
    QTest::newRow("recall of a file that is not there")
        << false << "Live set.cfg" << int(SAVES_FAILURE_NOT_FOUND) << ""
        << "Live set.cfg could not be recalled.\nThe file does not exist.";
    QTest::newRow("recall of a file that could not be read")
        << false << "Live set.cfg" << int(SAVES_FAILURE_NOT_READ) << ""
        << "Live set.cfg could not be recalled.\nThe file could not be read.";
    QTest::newRow("recall of a damaged file")
        << false << "Live set.cfg" << int(SAVES_FAILURE_NOT_A_SAVES_FILE) << ""
        << "Live set.cfg could not be recalled.\nIt is not a configuration file of this program, or it is "
           "damaged.";
    QTest::newRow("recall, no file chosen: nothing asked") << false << "" << int(SAVES_FAILURE_NONE) << ""
                                                           << "Nothing was recalled.\nNo file was chosen.";
}

void tst_MainWindow::savesResults_areToldInTheWindow()
{
    QFETCH(bool, save);
    QFETCH(QString, file);
    QFETCH(int, failure);
    QFETCH(QString, notice);
    QFETCH(QString, error);
    mHarness->Saves().SetFailure(UBYTE(failure));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = file.isEmpty() ? QString() : folder.filePath(file);
    if (!save && !path.isEmpty())
    {
        QFile existing(path);
        QVERIFY(existing.open(QIODevice::WriteOnly));
    }

    QVERIFY(
        AcceptFileDialog(save ? "saveButton" : "recallButton", save ? "saveDialog" : "recallDialog", path));
    const UWORD method = save ? S::P_SAVE : S::P_RECALL;
    QCOMPARE(mHarness->Saves().Count(method), path.isEmpty() ? 0 : 1);
    if (!path.isEmpty())
    {
        QCOMPARE(mHarness->Saves().LastPath(method), QFile::encodeName(path));
    }
    const QQuickItem* shownNotice = mHarness->Item("savesNotice");
    QCOMPARE(shownNotice != nullptr && shownNotice->isVisible(), !notice.isEmpty());
    if (!notice.isEmpty())
    {
        QCOMPARE(mHarness->Item("noticeText")->property("text").toString(), notice);
        // Centred over the window.
        const QPointF centre =
            shownNotice->mapToScene(QPointF(shownNotice->width() / 2, shownNotice->height() / 2));
        QVERIFY2(qAbs(centre.x() - 640) <= 1 && qAbs(centre.y() - 360) <= 1,
                 qPrintable(QString("%1, %2").arg(centre.x()).arg(centre.y())));
    }
    QObject* errorDialog = mHarness->Object("errorDialog");
    QCOMPARE(errorDialog != nullptr && errorDialog->property("visible").toBool(), !error.isEmpty());
    if (!error.isEmpty())
    {
        QCOMPARE(errorDialog->property("text").toString(), error);
        QVERIFY(QMetaObject::invokeMethod(errorDialog, "close"));
    }

    // The window tells only of what its own dialogs asked: a save or recall asked elsewhere (as a
    // script or the loader window would) is not told here.
    mHarness->Saves().SetFailure(UBYTE(SAVES_FAILURE_NONE));
    if (QQuickItem* shown = mHarness->Item("savesNotice"))
    {
        shown->setVisible(false);
    }
    mHarness->Backend().backendSavesDialog()->recallConfig(QUrl::fromLocalFile(folder.filePath("Other.cfg")));
    mHarness->Tick(5);
    shownNotice = mHarness->Item("savesNotice");
    QVERIFY(shownNotice == nullptr || !shownNotice->isVisible());
    QVERIFY(errorDialog == nullptr || !errorDialog->property("visible").toBool());
}

void tst_MainWindow::sync_isAskedOnceOnEnteringSyncingAndConfirmedOnceAnswered()
{
    S& saves = mHarness->Saves();
    D& driver = mHarness->Driver();
    saves.HoldSyncAnswers(true);
    QVERIFY(Open({"COM3"}, true));
    for (int cycle = 1; cycle <= 2; ++cycle)
    {
        QVERIFY(mHarness->ReportStatus(1));
        QVERIFY(mHarness->ReportStatus(2));
        QVERIFY(mHarness->ReportStatus(3));
        QCOMPARE(saves.Count(S::P_SYNC), cycle - 1);
        QVERIFY(!mHarness->OverlayShown());

        QVERIFY(mHarness->ReportStatus(4));
        QCOMPARE(saves.Count(S::P_SYNC), cycle);
        QVERIFY(mHarness->OverlayShown());

        // Reported again (polled, and as the answer to a connect), and the other inputs of the status
        // line changing: no second request, and no confirmation before the manager has answered.
        QVERIFY(mHarness->ReportStatus(4));
        driver.Announce(D::P_CONNECT);
        driver.SetVersion("V1.3");
        driver.Announce(D::P_VERSION);
        driver.SetVersion("V1.2");
        driver.Announce(D::P_VERSION);
        driver.Announce(D::P_PORT_LIST);
        mHarness->Tick(60);
        QCOMPARE(mHarness->StatusText(), QString("Status: Syncing"));
        QCOMPARE(saves.Count(S::P_SYNC), cycle);
        QCOMPARE(driver.Count(D::P_SYNC_DONE), cycle - 1);
        QVERIFY(mHarness->OverlayShown());

        saves.ReleaseSyncAnswers();
        mHarness->Pump();
        QCOMPARE(driver.Count(D::P_SYNC_DONE), cycle);
        QVERIFY(!mHarness->OverlayShown());

        // The link runs; a later answer of the manager (a save) confirms nothing.
        QVERIFY(mHarness->ReportStatus(2));
        mHarness->Backend().backendSavesDialog()->saveConfig(QUrl::fromLocalFile("/tmp/x.cfg"));
        mHarness->Tick(60);
        QCOMPARE(saves.Count(S::P_SAVE), cycle);
        QCOMPARE(saves.Count(S::P_SYNC), cycle);
        QCOMPARE(driver.Count(D::P_SYNC_DONE), cycle);
        QCOMPARE(mHarness->StatusText(), QString("Status: Connected, V1.2"));

        // Disconnected, then connected again: the next sync is asked anew.
        mHarness->Click(mHarness->Item("connectButton"));
        QVERIFY(mHarness->ReportStatus(0));
        QCOMPARE(mHarness->StatusText(), QString("Status: Device Detected"));
        mHarness->Click(mHarness->Item("connectButton"));
    }
    QCOMPARE(driver.ConnectRequests(),
             tConnectRequests({{true, "COM3"}, {false, ""}, {true, "COM3"}, {false, ""}, {true, "COM3"}}));
}

void tst_MainWindow::modalLayers_keepTheKeysFromTheValueBoxesUnder_data()
{
    QTest::addColumn<QString>("layer");

    QTest::newRow("the overlay while syncing") << "overlay";
    QTest::newRow("the port chooser") << "portChooser";
    QTest::newRow("the slope chooser's list") << "slopeChooser";
}

// While a layer covers the window, no key reaches a value box under it: an entry open when it comes
// ends unsent (the slope chooser's list comes by clicks, which end it first), and Tab, Shift+Tab
// and what is typed after them go into no box. Once the layer has gone, Tab enters a box again.
void tst_MainWindow::modalLayers_keepTheKeysFromTheValueBoxesUnder()
{
    QFETCH(QString, layer);
    QQuickWindow* window = mHarness->Window();
    QQuickItem* input = FindInScene(mHarness->Item("inputBlock"), "valueInput");
    QVERIFY(input != nullptr);
    QObject* driver = input->parentItem()->property("driver").value<QObject*>();
    QVERIFY(driver != nullptr);
    const int value = driver->property("networkValue").toInt();
    const QString shown = input->property("text").toString();
    mHarness->Click(input);
    QVERIFY(input->hasActiveFocus());
    QTest::keyClick(window, '-');
    QTest::keyClick(window, '1');

    QObject* popup = nullptr;
    if (layer == "overlay")
    {
        mHarness->Saves().HoldSyncAnswers(true);
        QVERIFY(Open({"COM3"}, true));
        QVERIFY(mHarness->ReportStatus(4));
        QVERIFY(mHarness->OverlayShown());
    }
    else if (layer == "portChooser")
    {
        QVERIFY(Open({"COM3", "COM12"}, true));
        QTRY_VERIFY((popup = mHarness->Object("portChooser")) != nullptr &&
                    popup->property("opened").toBool());
    }
    else
    {
        mHarness->Click(mHarness->Item("tab3"));
        QQuickItem* chooser = FindInScene(mHarness->Item("highPanel"), "slopeChooser");
        QVERIFY(chooser != nullptr);
        mHarness->Click(chooser);
        QTRY_VERIFY(chooser->property("popupOpen").toBool());
        popup = chooser;
    }
    QVERIFY(!input->hasActiveFocus());
    QCOMPARE(input->property("text").toString(), shown);
    QCOMPARE(driver->property("networkValue").toInt(), value);

    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)})
    {
        QTest::keyClick(window, Qt::Key_Tab, modifiers);
        mHarness->Pump();
        const QQuickItem* focused = window->activeFocusItem();
        QVERIFY2(focused == nullptr || focused->objectName() != "valueInput",
                 qPrintable(focused != nullptr ? focused->parentItem()->objectName() : QString()));
        QTest::keyClick(window, '1');
        QTest::keyClick(window, Qt::Key_Return);
        mHarness->Pump();
    }
    QCOMPARE(driver->property("networkValue").toInt(), value);
    QCOMPARE(input->property("text").toString(), shown);
    if (popup != nullptr)
    {
        QVERIFY(popup->property(layer == "portChooser" ? "opened" : "popupOpen").toBool());
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!popup->property(layer == "portChooser" ? "opened" : "popupOpen").toBool());
    }
    else
    {
        QVERIFY(mHarness->OverlayShown());
        mHarness->Saves().ReleaseSyncAnswers();
        mHarness->Pump();
        QVERIFY(!mHarness->OverlayShown());
    }
    // Gone, it leaves the keys to the window again: Tab enters a box.
    QTest::keyClick(window, Qt::Key_Tab);
    QVERIFY(window->activeFocusItem() != nullptr);
    QCOMPARE(window->activeFocusItem()->objectName(), QString("valueInput"));
}

// The program's names and a QGuiApplication, as the program has them: the dialogs are then the QML
// ones the program shows.
int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName(QStringLiteral("RE Zurov"));
    QCoreApplication::setApplicationName(QStringLiteral("CorvoGUI"));
    QGuiApplication application(argc, argv);
    tst_MainWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_MainWindow.moc"
