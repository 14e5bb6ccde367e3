// The save, recall and error dialogs of the whole program in a real window (run under Xvfb, without
// a window manager), against the simulated device, used as a person does: the buttons clicked, paths
// typed into a dialog's path field by keyboard and its buttons clicked. A recall sends the file the
// user named to the device, a refused file sends nothing, every save and recall tells its result in
// the window, and every dialog opens centred over the window with room for its rows and filter,
// within the screen's available area, its texts whole. Run at scale factor 1 and 2
// (tst_FileDialogs_2x). The functions run in order on one program.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/qml/Tabs/support/ProgramLink.h"
#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/support/TestFiles.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

namespace
{

constexpr int TIMEOUT_MS = 15000;
const QString ERROR_TITLE = QStringLiteral("Corvo GUI");
const QString SAVE_TITLE = QStringLiteral("Select name for config save");
const QString RECALL_TITLE = QStringLiteral("Select config file to restore");
const QString FILTER = QStringLiteral("Configuration files (*.cfg)");

// The first item at or below root that is what is sought (depth first along the child items).
QQuickItem* FindItem(QQuickItem* root, const std::function<bool(QQuickItem*)>& sought)
{
    if (root == nullptr || sought(root))
    {
        return root;
    }
    for (QQuickItem* child : root->childItems())
    {
        if (QQuickItem* found = FindItem(child, sought))
        {
            return found;
        }
    }
    return nullptr;
}

QString ClassName(const QObject* object)
{
    return QString::fromLatin1(object->metaObject()->className());
}

// The shown dialog window of that title (a dialog without a window manager is a window of its own).
QQuickWindow* DialogWindow(const QString& title)
{
    for (QWindow* window : QGuiApplication::topLevelWindows())
    {
        if (window->title() == title && window->isVisible())
        {
            return qobject_cast<QQuickWindow*>(window);
        }
    }
    return nullptr;
}

// A file dialog's path field, its button of that text and its filter's label.
QQuickItem* PathField(QQuickWindow* dialog)
{
    return FindItem(dialog->contentItem(),
                    [](QQuickItem* item) { return item->property("placeholderText").isValid(); });
}

QQuickItem* Button(QQuickWindow* dialog, const QString& text)
{
    return FindItem(dialog->contentItem(),
                    [&](QQuickItem* item)
                    {
                        return ClassName(item).startsWith(QLatin1String("Button")) &&
                               item->property("text").toString() == text && item->isVisible();
                    });
}

QQuickItem* TextItem(QQuickWindow* dialog, const QString& text)
{
    return FindItem(dialog->contentItem(),
                    [&](QQuickItem* item)
                    {
                        return ClassName(item) == QLatin1String("QQuickText") &&
                               item->property("text").toString() == text && item->isVisible();
                    });
}

// The rows of the dialog's file list (its table's list view, whose rows are focus scopes) wholly in
// sight.
int RowsInSight(QQuickWindow* dialog)
{
    QQuickItem* table = FindItem(dialog->contentItem(), [](QQuickItem* item)
                                 { return ClassName(item).startsWith(QLatin1String("TableView")); });
    QQuickItem* list =
        table == nullptr ? nullptr
                         : FindItem(table, [](QQuickItem* item) { return item->inherits("QQuickListView"); });
    QQuickItem* rows = list == nullptr ? nullptr : list->property("contentItem").value<QQuickItem*>();
    if (rows == nullptr)
    {
        return 0;
    }
    int inSight = 0;
    for (const QQuickItem* row : rows->childItems())
    {
        const QRectF area = row->mapRectToItem(list, QRectF(0, 0, row->width(), row->height()));
        inSight += row->inherits("QQuickFocusScope") && row->isVisible() && area.height() > 0 &&
                           area.top() >= 0 && area.bottom() <= list->height()
                       ? 1
                       : 0;
    }
    return inSight;
}

bool Near(const QPointF& a, const QPointF& b)
{
    return qAbs(a.x() - b.x()) <= 1 && qAbs(a.y() - b.y()) <= 1;
}

// Whether a span lies centred over the other where that fits in the bounds, else against the bound
// it would cross.
bool PlacedAlong(int start, int length, int over, int overLength, int bound, int boundLength)
{
    const double centred = over + (overLength - length) / 2.0;
    if (centred < bound)
    {
        return start == bound;
    }
    if (centred + length > bound + boundLength)
    {
        return start + length == bound + boundLength;
    }
    return qAbs(start - centred) <= 1;
}

QString Describe(const QRect& rect)
{
    return QStringLiteral("%1, %2, %3 x %4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// Empty when the dialog lies within the area and over the window as PlacedAlong says, along both
// axes; else where they are.
QString PlaceFailure(const QRect& dialog, const QRect& window, const QRect& area)
{
    if (area.contains(dialog) &&
        PlacedAlong(dialog.x(), dialog.width(), window.x(), window.width(), area.x(), area.width()) &&
        PlacedAlong(dialog.y(), dialog.height(), window.y(), window.height(), area.y(), area.height()))
    {
        return QString();
    }
    return QStringLiteral("dialog at %1; window at %2; area %3")
        .arg(Describe(dialog), Describe(window), Describe(area));
}

// Empty when the text item shows its whole text within the item's window; else where it is.
QString CutFailure(const QQuickItem* text)
{
    const QRectF area = text->mapRectToScene(QRectF(0, 0, text->width(), text->height()));
    const QRectF window(QPointF(), text->window()->size());
    if (!text->property("truncated").toBool() &&
        text->property("contentWidth").toReal() <= text->width() + 0.5 &&
        text->property("contentHeight").toReal() <= text->height() + 0.5 &&
        window.adjusted(-0.5, -0.5, 0.5, 0.5).contains(area))
    {
        return QString();
    }
    return QStringLiteral("\"%1\" cut: %2 x %3 of %4 x %5 at %6, %7 in %8 x %9")
        .arg(text->property("text").toString())
        .arg(text->property("contentWidth").toReal())
        .arg(text->property("contentHeight").toReal())
        .arg(text->width())
        .arg(text->height())
        .arg(area.x())
        .arg(area.y())
        .arg(window.width())
        .arg(window.height());
}

// The texts of the file list's header, left to right, as shown; and in cut, each header or cell
// text of the rows in sight that is cut or reaches beyond the list's visible width.
QStringList HeaderTexts(QQuickWindow* dialog, QStringList& cut)
{
    QQuickItem* table = FindItem(dialog->contentItem(), [](QQuickItem* item)
                                 { return ClassName(item).startsWith(QLatin1String("TableView")); });
    QQuickItem* list =
        table == nullptr ? nullptr
                         : FindItem(table, [](QQuickItem* item) { return item->inherits("QQuickListView"); });
    if (list == nullptr)
    {
        cut.append(QStringLiteral("no file list"));
        return {};
    }
    const QQuickItem* header = list->property("headerItem").value<QQuickItem*>();
    QMap<qreal, QString> headers;
    FindItem(list,
             [&](QQuickItem* item)
             {
                 const QString text = item->property("text").toString();
                 if (ClassName(item) != QLatin1String("QQuickText") || !item->isVisible() || text.isEmpty())
                 {
                     return false;
                 }
                 const QRectF area = item->mapRectToItem(list, QRectF(0, 0, item->width(), item->height()));
                 if (area.top() < 0 || area.bottom() > list->height())
                 {
                     return false;
                 }
                 const bool inHeader = header != nullptr && header->isAncestorOf(item);
                 if (inHeader)
                 {
                     headers.insert(area.left(), text);
                 }
                 const QString failure = CutFailure(item);
                 if (!failure.isEmpty() || area.left() < -0.5 || area.right() > list->width() + 0.5)
                 {
                     cut.append(QStringLiteral("%1 %2 at %3..%4 of %5 %6")
                                    .arg(inHeader ? "header" : "cell", text)
                                    .arg(area.left())
                                    .arg(area.right())
                                    .arg(list->width())
                                    .arg(failure));
                 }
                 return false;
             });
    return headers.values();
}

} // namespace

class tst_FileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void fileDialogs_openCentredOverTheWindowWithRoomForRowsAndFilter_data();
    void fileDialogs_openCentredOverTheWindowWithRoomForRowsAndFilter();
    void recall_ofATypedPath_sendsThatFileToTheDevice();
    void recall_refused_sendsNothingAndTellsWhy_data();
    void recall_refused_sendsNothingAndTellsWhy();
    void errorDialog_liesOnTheScreenWithItsTextWhole_data();
    void errorDialog_liesOnTheScreenWithItsTextWhole();
    void save_ofATypedName_addsTheExtensionSoTheRecallDialogListsIt();
    void save_intoAMissingFolder_tellsItCouldNotBeWritten();
    void notice_ofALongName_wrapsWithinTheWindow();

private:
    QQuickWindow* Window() const { return mProgram->Window(); }
    cSavesDialogBackend* Saves() const { return mProgram->Backend()->backendSavesDialog(); }
    cQtSignalSlotContinuousControllerDriver* InputFader() const
    {
        return mProgram->Backend()->backendInOutFader()->inputL()->faderDriver();
    }
    // The available area of the window's screen.
    QRect Area() const { return Window()->screen()->availableGeometry(); }
    // Gives the window that size, at that place of the area: "middle", "left edge" (its top left
    // corner), "right edge" (its bottom right corner), "over the left edge" (half of it beyond the
    // top left corner); and waits until it is there.
    bool PlaceWindow(const QSize& size, const QString& place);
    // Moves the input-left fader and waits until the device holds its gain.
    bool SetInputFader(float fraction);
    // The gains the input-left fader and the device's strip stand for.
    GAIN InputGain() const { return ConvertUWORDToGain(UWORD(InputFader()->networkValue())); }
    GAIN DeviceInputGain() const
    {
        return GAIN(qint16(mProgram->Device().ModelSnapshot().mStrips[0].mGainCode));
    }
    // Saves the model to the file through the back end (not the window's dialogs).
    bool SaveModel(const QString& path);
    // Clicks the button and waits for its dialog.
    QQuickWindow* OpenDialog(const QString& button, const QString& title);
    // Types the text into the dialog's path field, after selecting what it holds, as a person does.
    void TypePath(QQuickWindow* dialog, const QString& text);
    void ClickButton(QQuickWindow* dialog, const QString& text);
    // The text of the error dialog once it is shown; the dialog is then closed by its button.
    QString ErrorText();
    QString NoticeText() const;
    // Frames the device received beside the meter polls since its log was cleared.
    int SettingFrames() const;

    QString mFiles;
    QString mDocuments;
    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cReportCapture> mReports;
    std::unique_ptr<cProgramUnderTest> mProgram;
};

void tst_FileDialogs::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
    // A home folder of this test's own, where the dialogs open in its documents folder.
    const QDir home(QDir::homePath());
    QVERIFY(QDir(home.filePath("Documents")).removeRecursively());
    QVERIFY(QDir(home.filePath("files")).removeRecursively());
    QVERIFY(home.mkpath("Documents") && home.mkpath("files"));
    mDocuments = home.filePath("Documents");
    mFiles = home.filePath("files");
    QVERIFY(QDir::setCurrent(mFiles));
    mGuard = std::make_unique<cQmlWarningGuard>();
    mReports = std::make_unique<cReportCapture>();
    mProgram = std::make_unique<cProgramUnderTest>();
    QVERIFY(mProgram->Start());
    QVERIFY(QTest::qWaitForWindowExposed(Window()));
    QVERIFY(nProgramLink::ConnectKeepingModel(*mProgram, mFiles));
    // More files than the dialogs must show rows for, one with a longer name.
    for (int i = 1; i <= 10; ++i)
    {
        QVERIFY(SaveModel(mDocuments + QStringLiteral("/Set %1.cfg").arg(i, 2, 10, QLatin1Char('0'))));
    }
    QVERIFY(SaveModel(mDocuments + QStringLiteral("/An evening concert, part 2.cfg")));
    QVERIFY(PlaceWindow(QSize(1280, 720), QStringLiteral("middle")));
}

void tst_FileDialogs::init()
{
    // The notice of an earlier test is let go at once.
    if (QQuickItem* notice = Window()->findChild<QQuickItem*>(QStringLiteral("savesNotice")))
    {
        notice->setVisible(false);
    }
}

void tst_FileDialogs::cleanup()
{
    // A dialog a failed test left open is closed, so that the next test starts without it.
    QStringList leftOpen;
    for (const char* name : {"saveDialog", "recallDialog", "errorDialog"})
    {
        QObject* dialog = Window()->findChild<QObject*>(QLatin1String(name));
        if (dialog != nullptr && dialog->property("visible").toBool())
        {
            leftOpen.append(QLatin1String(name));
            QMetaObject::invokeMethod(dialog, "close");
        }
    }
    // At its usual size and place for the next test.
    QVERIFY(PlaceWindow(QSize(1280, 720), QStringLiteral("middle")));
    cProgramUnderTest::Settle(100);
    QML_VERIFY_NO_WARNINGS(*mGuard);
    QVERIFY2(leftOpen.isEmpty(), qPrintable(leftOpen.join(", ") + " left open"));
}

void tst_FileDialogs::cleanupTestCase()
{
    mProgram.reset();
    mReports.reset();
    mGuard.reset();
}

bool tst_FileDialogs::PlaceWindow(const QSize& size, const QString& place)
{
    const QRect area = Area();
    QRect geometry(QPoint(), size);
    if (place == QLatin1String("left edge"))
    {
        geometry.moveTopLeft(area.topLeft());
    }
    else if (place == QLatin1String("over the left edge"))
    {
        geometry.moveTopLeft(area.topLeft() - QPoint(size.width() / 2, size.height() / 2));
    }
    else if (place == QLatin1String("right edge"))
    {
        geometry.moveBottomRight(area.bottomRight());
    }
    else
    {
        geometry.moveCenter(area.center());
    }
    Window()->setGeometry(geometry);
    return cProgramUnderTest::WaitFor(
        [&] { return Window()->geometry() == geometry && Window()->contentItem()->size() == QSizeF(size); },
        TIMEOUT_MS);
}

bool tst_FileDialogs::SetInputFader(float fraction)
{
    InputFader()->setValue(fraction);
    return cProgramUnderTest::WaitFor([this] { return DeviceInputGain() == InputGain(); }, TIMEOUT_MS) &&
           nProgramLink::WaitUntilIdle(*mProgram);
}

bool tst_FileDialogs::SaveModel(const QString& path)
{
    std::atomic<int> answers{0};
    const QMetaObject::Connection connection =
        connect(Saves(), &cSavesDialogBackend::saveFinished, [&answers] { ++answers; });
    Saves()->saveConfig(QUrl::fromLocalFile(path));
    const bool answered = cProgramUnderTest::WaitFor([&answers] { return answers > 0; }, TIMEOUT_MS);
    disconnect(connection);
    return answered && Saves()->operationSuccess() && QFile::exists(path);
}

QQuickWindow* tst_FileDialogs::OpenDialog(const QString& button, const QString& title)
{
    if (!nWindowItems::Click(Window(), mProgram->Item(button)))
    {
        return nullptr;
    }
    QQuickWindow* dialog = nullptr;
    // Shown, with its list's rows made.
    cProgramUnderTest::WaitFor(
        [&]
        {
            return (dialog = DialogWindow(title)) != nullptr && QTest::qWaitForWindowExposed(dialog) &&
                   RowsInSight(dialog) > 0;
        },
        TIMEOUT_MS);
    cProgramUnderTest::Settle(100);
    return dialog;
}

void tst_FileDialogs::TypePath(QQuickWindow* dialog, const QString& text)
{
    QQuickItem* field = PathField(dialog);
    QVERIFY(field != nullptr);
    QTest::mouseClick(dialog, Qt::LeftButton, Qt::NoModifier, nWindowItems::Centre(field));
    QTRY_VERIFY_WITH_TIMEOUT(field->hasActiveFocus(), TIMEOUT_MS);
    QTest::keyClick(dialog, Qt::Key_A, Qt::ControlModifier);
    for (const QChar key : text)
    {
        QTest::keyClick(dialog, key.toLatin1());
    }
    QTRY_COMPARE_WITH_TIMEOUT(field->property("text").toString(), text, TIMEOUT_MS);
}

void tst_FileDialogs::ClickButton(QQuickWindow* dialog, const QString& text)
{
    QQuickItem* button = Button(dialog, text);
    QVERIFY2(button != nullptr, qPrintable(text));
    QTest::mouseClick(dialog, Qt::LeftButton, Qt::NoModifier, nWindowItems::Centre(button));
}

QString tst_FileDialogs::ErrorText()
{
    QQuickWindow* dialog = nullptr;
    if (!cProgramUnderTest::WaitFor([&] { return (dialog = DialogWindow(ERROR_TITLE)) != nullptr; },
                                    TIMEOUT_MS))
    {
        return QStringLiteral("<no error dialog>");
    }
    QObject* errorDialog = Window()->findChild<QObject*>(QStringLiteral("errorDialog"));
    const QString text = errorDialog->property("text").toString();
    // Centred over the window where it fits, within the screen's available area, the text whole.
    QString failure = QStringLiteral("not exposed");
    const auto placed = [&]
    {
        failure = PlaceFailure(dialog->geometry(), Window()->geometry(), Area());
        const QQuickItem* shown = TextItem(dialog, text);
        failure += shown == nullptr ? QStringLiteral(" no text") : CutFailure(shown);
        return failure.isEmpty();
    };
    if (!QTest::qWaitForWindowExposed(dialog) || !cProgramUnderTest::WaitFor(placed, TIMEOUT_MS))
    {
        return QStringLiteral("<%1> ").arg(failure) + text;
    }
    ClickButton(dialog, QStringLiteral("OK"));
    cProgramUnderTest::WaitFor([] { return DialogWindow(ERROR_TITLE) == nullptr; }, TIMEOUT_MS);
    return text;
}

QString tst_FileDialogs::NoticeText() const
{
    const QQuickItem* notice = Window()->findChild<QQuickItem*>(QStringLiteral("savesNotice"));
    const QQuickItem* text = Window()->findChild<QQuickItem*>(QStringLiteral("noticeText"));
    return notice != nullptr && notice->isVisible() ? text->property("text").toString() : QString();
}

int tst_FileDialogs::SettingFrames() const
{
    int frames = 0;
    for (std::uint8_t command : mProgram->Device().Commands())
    {
        frames += command == nSerialProtocol::CMD_METERS ? 0 : 1;
    }
    return frames;
}

void tst_FileDialogs::fileDialogs_openCentredOverTheWindowWithRoomForRowsAndFilter_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("window");
    // Where the window is on the screen (PlaceWindow); maximised, it takes the whole available area.
    QTest::addColumn<QString>("place");

    const QSize maximised = QGuiApplication::primaryScreen()->availableSize();
    const struct
    {
        QSize mSize;
        const char* mPlace;
    } windows[] = {{QSize(1280, 720), "middle"},
                   {QSize(640, 480), "middle"},
                   {QSize(640, 480), "left edge"},
                   {QSize(640, 480), "right edge"},
                   {QSize(640, 480), "over the left edge"},
                   {maximised, "left edge"}};
    for (const auto& window : windows)
    {
        const QString at = QStringLiteral(" at %1 x %2, %3")
                               .arg(window.mSize.width())
                               .arg(window.mSize.height())
                               .arg(window.mSize == maximised ? "maximised" : window.mPlace);
        QTest::newRow(qPrintable("save" + at)) << "saveButton" << SAVE_TITLE << window.mSize << window.mPlace;
        QTest::newRow(qPrintable("recall" + at))
            << "recallButton" << RECALL_TITLE << window.mSize << window.mPlace;
    }
}

void tst_FileDialogs::fileDialogs_openCentredOverTheWindowWithRoomForRowsAndFilter()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QSize, window);
    QFETCH(QString, place);
    QVERIFY(PlaceWindow(window, place));

    QQuickWindow* dialog = OpenDialog(button, title);
    QVERIFY(dialog != nullptr);
    // At a size relative to the window; wider only where the names need it, up to the window's
    // width.
    const QSize expected(qMin(window.width(), qMax(480, qRound(window.width() * 0.6))),
                         qMin(window.height(), qMax(360, qRound(window.height() * 0.7))));
    QTRY_COMPARE_WITH_TIMEOUT(dialog->height(), expected.height(), TIMEOUT_MS);
    QVERIFY2(dialog->width() >= expected.width() && dialog->width() <= qMax(window.width(), expected.width()),
             qPrintable(QString::number(dialog->width())));
    QTRY_VERIFY2_WITH_TIMEOUT(PlaceFailure(dialog->geometry(), Window()->geometry(), Area()).isEmpty(),
                              qPrintable(PlaceFailure(dialog->geometry(), Window()->geometry(), Area())),
                              TIMEOUT_MS);
    // The list shows each file's name, size and modified time, their titles and rows whole.
    QStringList cut;
    const auto whole = [&]
    {
        cut.clear();
        return HeaderTexts(dialog, cut) == QStringList{"Filename", "Size", "Modified"} && cut.isEmpty();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
        whole(), qPrintable(HeaderTexts(dialog, cut).join(", ") + "; cut: " + cut.join("; ")), TIMEOUT_MS);
    // The documents folder, with more files than rows in sight.
    QObject* fileDialog =
        Window()->findChild<QObject*>(button == "saveButton" ? "saveDialog" : "recallDialog");
    QCOMPARE(fileDialog->property("folder").toUrl(), QUrl::fromLocalFile(mDocuments));
    QTRY_VERIFY2_WITH_TIMEOUT(RowsInSight(dialog) >= 8, qPrintable(QString::number(RowsInSight(dialog))),
                              TIMEOUT_MS);
    const QQuickItem* filter = TextItem(dialog, FILTER);
    QVERIFY(filter != nullptr);
    QVERIFY(!filter->property("truncated").toBool());
    QVERIFY(filter->mapRectToScene(QRectF(0, 0, filter->width(), filter->height()))
                .intersected(QRectF(QPointF(), dialog->size()))
                .size() == QSizeF(filter->width(), filter->height()));

    ClickButton(dialog, QStringLiteral("Cancel"));
    QTRY_VERIFY_WITH_TIMEOUT(DialogWindow(title) == nullptr, TIMEOUT_MS);
}

void tst_FileDialogs::recall_ofATypedPath_sendsThatFileToTheDevice()
{
    // The typed file, the default file and the model each hold another input gain.
    const QString typed = mFiles + QStringLiteral("/Typed.cfg");
    QVERIFY(SetInputFader(0.3f));
    const GAIN typedGain = InputGain();
    QVERIFY(SaveModel(typed));
    QVERIFY(SetInputFader(0.6f));
    QVERIFY(SaveModel(GetSaveFilePath()));
    QVERIFY(SetInputFader(0.9f));
    QVERIFY(InputGain() != typedGain);
    mProgram->Device().ClearLog();

    QQuickWindow* dialog = OpenDialog("recallButton", RECALL_TITLE);
    QVERIFY(dialog != nullptr);
    TypePath(dialog, typed);
    ClickButton(dialog, QStringLiteral("Open"));

    QTRY_COMPARE_WITH_TIMEOUT(NoticeText(), QString("Recalled Typed.cfg"), TIMEOUT_MS);
    QTRY_COMPARE_WITH_TIMEOUT(InputGain(), typedGain, TIMEOUT_MS);
    QTRY_COMPARE_WITH_TIMEOUT(DeviceInputGain(), typedGain, TIMEOUT_MS);
    QVERIFY(mProgram->Device().CountFrames(nSerialProtocol::CMD_CONTROL_STRIP) > 0);
    // Centred over the window.
    const QQuickItem* notice = Window()->findChild<QQuickItem*>(QStringLiteral("savesNotice"));
    QVERIFY(Near(notice->mapToScene(QPointF(notice->width() / 2, notice->height() / 2)),
                 QPointF(Window()->width() / 2.0, Window()->height() / 2.0)));
}

void tst_FileDialogs::recall_refused_sendsNothingAndTellsWhy_data()
{
    QTest::addColumn<QString>("file");
    // The file's bytes: "valid" a saves file of the model, "cut" its first half, "odd" all but its
    // last byte, "folder" a folder, "missing" none; else the bytes themselves.
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("error");

    const QString damaged =
        "%1 could not be recalled.\nIt is not a configuration file of this program, or it is damaged.";
    QTest::newRow("not a saves file") << "Notes.cfg"
                                      << "some notes of the user's" << damaged.arg("Notes.cfg");
    QTest::newRow("cut in half") << "Cut.cfg"
                                 << "cut" << damaged.arg("Cut.cfg");
    QTest::newRow("its last byte cut") << "Odd.cfg"
                                       << "odd" << damaged.arg("Odd.cfg");
    // A folder names no file.
    QTest::newRow("a folder")
        << "Folder.cfg"
        << "folder"
        << "Folder.cfg could not be recalled.\nIt is a folder, not a configuration file.";
    QTest::newRow("missing") << "Missing.cfg"
                             << "missing"
                             << "Missing.cfg could not be recalled.\nThe file does not exist.";
    // Open with nothing typed or picked: the field still shows the folder.
    QTest::newRow("no file named") << ""
                                   << ""
                                   << "Nothing was recalled.\nNo file was chosen.";
}

void tst_FileDialogs::recall_refused_sendsNothingAndTellsWhy()
{
    QFETCH(QString, file);
    QFETCH(QString, content);
    QFETCH(QString, error);
    const QString path = mFiles + QLatin1Char('/') + file;
    const QByteArray valid = ReadFile(mFiles + QStringLiteral("/Typed.cfg"));
    QVERIFY(valid.size() > 16);
    if (content == "cut")
    {
        QVERIFY(WriteFile(path, valid.left(valid.size() / 16 * 8)));
    }
    else if (content == "odd")
    {
        QVERIFY(WriteFile(path, valid.left(valid.size() - 1)));
    }
    else if (content == "folder")
    {
        QVERIFY(QDir(mFiles).mkpath(file));
    }
    else if (!file.isEmpty() && content != "missing")
    {
        QVERIFY(WriteFile(path, content.toUtf8()));
    }
    const GAIN gain = InputGain();
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    mProgram->Device().ClearLog();

    QQuickWindow* dialog = OpenDialog("recallButton", RECALL_TITLE);
    QVERIFY(dialog != nullptr);
    if (!file.isEmpty())
    {
        TypePath(dialog, path);
    }
    ClickButton(dialog, QStringLiteral("Open"));

    QCOMPARE(ErrorText(), error);
    QVERIFY(NoticeText().isEmpty());
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    QCOMPARE(SettingFrames(), 0);
    QCOMPARE(InputGain(), gain);
}

void tst_FileDialogs::errorDialog_liesOnTheScreenWithItsTextWhole_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("file");

    const QString longName =
        "The evening concert in the great hall with the choir and the orchestra, second half.cfg";
    const QString oneWord =
        QString("Evening_concert_in_the_great_hall_with_the_choir_and_the_orchestra_second_"
                "half_as_played_and_recorded_on_the_night_of_the_opening.cfg");
    QTest::newRow("short name, 640 x 480 at the left edge") << QSize(640, 480) << "left edge"
                                                            << "Damaged.cfg";
    QTest::newRow("long name, 640 x 480 at the left edge") << QSize(640, 480) << "left edge" << longName;
    QTest::newRow("long name, 640 x 480 at the right edge") << QSize(640, 480) << "right edge" << longName;
    QTest::newRow("short name, 640 x 480 over the left edge") << QSize(640, 480) << "over the left edge"
                                                              << "Damaged.cfg";
    QTest::newRow("long name without spaces, 640 x 480 at the left edge")
        << QSize(640, 480) << "left edge" << oneWord;
    QTest::newRow("long name, 1280 x 720 in the middle") << QSize(1280, 720) << "middle" << longName;
}

void tst_FileDialogs::errorDialog_liesOnTheScreenWithItsTextWhole()
{
    QFETCH(QSize, window);
    QFETCH(QString, place);
    QFETCH(QString, file);
    const QString path = mFiles + QLatin1Char('/') + file;
    QVERIFY(WriteFile(path, QByteArray(64, 'x')));
    QVERIFY(PlaceWindow(window, place));

    QQuickWindow* dialog = OpenDialog("recallButton", RECALL_TITLE);
    QVERIFY(dialog != nullptr);
    TypePath(dialog, path);
    ClickButton(dialog, QStringLiteral("Open"));
    QCOMPARE(ErrorText(), file +
                              " could not be recalled.\nIt is not a configuration file of this program, or "
                              "it is damaged.");
}

void tst_FileDialogs::save_ofATypedName_addsTheExtensionSoTheRecallDialogListsIt()
{
    // A name alone is taken within the folder shown, the documents folder.
    QQuickWindow* dialog = OpenDialog("saveButton", SAVE_TITLE);
    QVERIFY(dialog != nullptr);
    TypePath(dialog, QStringLiteral("Evening"));
    ClickButton(dialog, QStringLiteral("Save"));
    QTRY_COMPARE_WITH_TIMEOUT(NoticeText(), QString("Saved Evening.cfg"), TIMEOUT_MS);
    QVERIFY(QFile::exists(mDocuments + QStringLiteral("/Evening.cfg")));
    QVERIFY(!QFile::exists(mDocuments + QStringLiteral("/Evening")));

    dialog = OpenDialog("recallButton", RECALL_TITLE);
    QVERIFY(dialog != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(TextItem(dialog, QStringLiteral("Evening.cfg")) != nullptr, TIMEOUT_MS);
    ClickButton(dialog, QStringLiteral("Cancel"));
    QTRY_VERIFY_WITH_TIMEOUT(DialogWindow(RECALL_TITLE) == nullptr, TIMEOUT_MS);
}

void tst_FileDialogs::save_intoAMissingFolder_tellsItCouldNotBeWritten()
{
    QQuickWindow* dialog = OpenDialog("saveButton", SAVE_TITLE);
    QVERIFY(dialog != nullptr);
    const QString path = mFiles + QStringLiteral("/missing/Night.cfg");
    TypePath(dialog, path);
    ClickButton(dialog, QStringLiteral("Save"));
    QCOMPARE(ErrorText(), QString("Night.cfg could not be saved.\nThe file could not be written."));
    QVERIFY(!QFile::exists(path));
    QVERIFY(NoticeText().isEmpty());
}

void tst_FileDialogs::notice_ofALongName_wrapsWithinTheWindow()
{
    QVERIFY(PlaceWindow(QSize(640, 480), QStringLiteral("left edge")));
    const QString name =
        "The evening concert in the great hall with the choir and the orchestra, second half, as "
        "played and recorded on the night of the opening, with the encore and the speeches.cfg";
    QQuickWindow* dialog = OpenDialog("saveButton", SAVE_TITLE);
    QVERIFY(dialog != nullptr);
    TypePath(dialog, mFiles + QLatin1Char('/') + name);
    ClickButton(dialog, QStringLiteral("Save"));
    QTRY_COMPARE_WITH_TIMEOUT(NoticeText(), "Saved " + name, TIMEOUT_MS);

    // Within the window, its text wrapped within it.
    const QQuickItem* notice = Window()->findChild<QQuickItem*>(QStringLiteral("savesNotice"));
    const QQuickItem* text = Window()->findChild<QQuickItem*>(QStringLiteral("noticeText"));
    const QRectF area = notice->mapRectToScene(QRectF(0, 0, notice->width(), notice->height()));
    QVERIFY2(
        QRectF(QPointF(), Window()->size()).contains(area),
        qPrintable(
            QString("%1, %2, %3 x %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())));
    QVERIFY2(CutFailure(text).isEmpty(), qPrintable(CutFailure(text)));
    QVERIFY(text->property("lineCount").toInt() > 1);
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_FileDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FileDialogs.moc"
