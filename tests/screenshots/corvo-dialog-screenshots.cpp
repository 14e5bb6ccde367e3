// Takes a screenshot of each dialog of the program's window over the window: the save and recall
// dialogs (opened by their buttons, in a documents folder holding a few configuration files), the
// error dialog (a damaged file recalled) and the notice of a recall that worked. The whole program
// in process with a fresh home folder; run it under a display without a window manager (Xvfb), where
// the dialogs are windows of their own and the screen is grabbed.
//
//   corvo-dialog-screenshots <output folder>
//
// Writes SaveDialog.png, RecallDialog.png, ErrorDialog.png and Notice.png, each the window's part of
// the screen; QT_SCALE_FACTOR scales the window as usual.

#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>

#include <atomic>
#include <cstdio>

namespace
{

constexpr int TIMEOUT_MS = 15000;

int Fail(const char* what)
{
    std::fprintf(stderr, "corvo-dialog-screenshots: %s\n", what);
    return 1;
}

// Saves the model to the file through the saves back end; true when it was written.
bool Save(cProgramUnderTest& program, const QString& path)
{
    cSavesDialogBackend* saves = program.Backend()->backendSavesDialog();
    std::atomic<int> answers{0};
    const QMetaObject::Connection connection =
        QObject::connect(saves, &cSavesDialogBackend::saveFinished, [&answers] { ++answers; });
    saves->saveConfig(QUrl::fromLocalFile(path));
    const bool answered = cProgramUnderTest::WaitFor([&answers] { return answers > 0; }, TIMEOUT_MS);
    QObject::disconnect(connection);
    return answered && saves->operationSuccess();
}

// The window's part of the screen as it shows now.
bool Shoot(QQuickWindow* window, const QString& file)
{
    cProgramUnderTest::Settle(800);
    QScreen* screen = window->screen();
    const QPixmap whole = screen->grabWindow(0);
    const qreal ratio = qreal(whole.width()) / screen->geometry().width();
    const QRect area(window->position() * ratio, window->size() * ratio);
    if (!whole.copy(area).save(file))
    {
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

bool DialogShown(QQuickWindow* window, const char* name, bool shown)
{
    return cProgramUnderTest::WaitFor(
        [&]
        {
            QObject* dialog = window->findChild<QObject*>(QLatin1String(name));
            return dialog != nullptr && dialog->property("visible").toBool() == shown;
        },
        TIMEOUT_MS);
}

bool CloseDialog(QQuickWindow* window, const char* name)
{
    QObject* dialog = window->findChild<QObject*>(QLatin1String(name));
    return dialog != nullptr && QMetaObject::invokeMethod(dialog, "close") &&
           DialogShown(window, name, false);
}

int TakeScreenshots(cProgramUnderTest& program, const QString& home, const QString& output)
{
    // The dialogs open in the documents folder, here with a few configuration files and a damaged one.
    const QString documents = home + QStringLiteral("/Documents");
    if (!QDir().mkpath(documents))
    {
        return Fail("the documents folder could not be made");
    }
    if (!program.Start())
    {
        return Fail("the program did not start");
    }
    for (int i = 1; i <= 10; ++i)
    {
        if (!Save(program, documents + QStringLiteral("/Live set %1.cfg").arg(i, 2, 10, QLatin1Char('0'))))
        {
            return Fail("a configuration file could not be saved");
        }
    }
    const QString damaged = documents + QStringLiteral("/Damaged.cfg");
    QFile bytes(damaged);
    if (!bytes.open(QIODevice::WriteOnly) || bytes.write(QByteArray(64, 'x')) != 64)
    {
        return Fail("the damaged file could not be written");
    }
    bytes.close();

    QQuickWindow* window = program.Window();
    const struct
    {
        const char* mButton;
        const char* mDialog;
        const char* mFile;
    } dialogs[] = {{"saveButton", "saveDialog", "SaveDialog.png"},
                   {"recallButton", "recallDialog", "RecallDialog.png"}};
    for (const auto& dialog : dialogs)
    {
        if (!nWindowItems::Click(window, program.Item(QLatin1String(dialog.mButton))) ||
            !DialogShown(window, dialog.mDialog, true))
        {
            return Fail("a file dialog did not open");
        }
        if (!Shoot(window, output + QLatin1Char('/') + QLatin1String(dialog.mFile)) ||
            !CloseDialog(window, dialog.mDialog))
        {
            return Fail("a file dialog's screenshot could not be taken");
        }
    }

    // As the recall dialog hands its file to the window.
    QMetaObject::invokeMethod(window, "recallFrom", Q_ARG(QVariant, QUrl::fromLocalFile(damaged)));
    if (!DialogShown(window, "errorDialog", true) ||
        !Shoot(window, output + QStringLiteral("/ErrorDialog.png")) || !CloseDialog(window, "errorDialog"))
    {
        return Fail("the error dialog's screenshot could not be taken");
    }
    QMetaObject::invokeMethod(
        window, "recallFrom",
        Q_ARG(QVariant, QUrl::fromLocalFile(documents + QStringLiteral("/Live set 01.cfg"))));
    QQuickItem* notice = nullptr;
    if (!cProgramUnderTest::WaitFor(
            [&]
            {
                notice = window->findChild<QQuickItem*>(QStringLiteral("savesNotice"));
                return notice != nullptr && notice->isVisible();
            },
            TIMEOUT_MS) ||
        !Shoot(window, output + QStringLiteral("/Notice.png")))
    {
        return Fail("the notice's screenshot could not be taken");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: corvo-dialog-screenshots <output folder>\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(output))
    {
        return Fail("the output folder could not be made");
    }

    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    cProgramUnderTest program;
    const int result = TakeScreenshots(program, home.path(), output);
    program.Stop();
    return result;
}
