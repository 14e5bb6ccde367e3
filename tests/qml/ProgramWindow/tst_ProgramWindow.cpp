// The program binary as a new user starts it with the run command's start script: on a display (this
// test's Xvfb server) its window shows with the right title and size and the status line says, in
// red, that no device is there; with no display at all it runs offscreen with the software renderer.
// Both runs end cleanly on SIGTERM.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace
{

constexpr int TIMEOUT_MS = 60000;

struct sWindowGeometry
{
    bool mViewable = false;
    QRect mRect;
};

// What xwininfo tells of the window of that title on this display; not viewable when there is none.
sWindowGeometry FindWindow(const QString& title)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-name"), title});
    sWindowGeometry geometry;
    if (!xwininfo.waitForFinished(10000) || xwininfo.exitCode() != 0)
    {
        return geometry;
    }
    const QString text = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto number = [&text](const char* label)
    {
        const QRegularExpression pattern(QStringLiteral("%1:\\s+(-?\\d+)").arg(QLatin1String(label)));
        return pattern.match(text).captured(1).toInt();
    };
    geometry.mViewable = text.contains(QLatin1String("Map State: IsViewable"));
    geometry.mRect = QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                           number("Height"));
    return geometry;
}

// Where the status line sits in a window of that width: left of the three buttons at the right end of
// the tab bar (all scaled by width / 1024), 120 x 20 scaled, centred on the tab bar's height.
QRect StatusArea(int width)
{
    const double t = width / 1024.0;
    const double buttonWidth = 40 * t * 64 / 56;
    const double buttons = 3 * buttonWidth + 2 * 10 * t;
    const double right = width - 10 - buttons - 20 * t;
    return QRectF(right - 120 * t, 30 * t - 10 * t, 120 * t, 20 * t).toAlignedRect();
}

// Pixels that are plainly red (the core of a red glyph on the dark background).
int RedPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
    {
        for (int x = area.left(); x <= area.right(); ++x)
        {
            const QColor colour = image.pixelColor(x, y);
            count += colour.red() > 200 && colour.green() < 60 && colour.blue() < 60 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class tst_ProgramWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void newUser_seesTheWindowAndNoDeviceInRed();
    void noDisplay_runsOffscreenAndStopsCleanly();

private:
    // Starts the program through the start script with a home, temporary and working folder of its
    // own (so its single-instance key is its own too), in an environment as a person's: none of the
    // test's Qt settings. Waits for "System Started".
    bool Start(QProcess& program, const QTemporaryDir& folder, bool display);
    // SIGTERM; the program must end on its own with code 0 and the whole shutdown logged, without an
    // error report or a QML warning. The output so far is passed in and completed.
    void Terminate(QProcess& program, QByteArray& output);

    QByteArray mOutput;
};

void tst_ProgramWindow::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    QVERIFY(!qEnvironmentVariableIsEmpty("DISPLAY"));
}

bool tst_ProgramWindow::Start(QProcess& program, const QTemporaryDir& folder, bool display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "QT_QUICK_BACKEND", "WAYLAND_DISPLAY"})
    {
        environment.remove(name);
    }
    if (!display)
    {
        environment.remove("DISPLAY");
    }
    environment.insert("HOME", folder.path());
    environment.insert("TMPDIR", folder.path());
    // In a sanitizer build: the platform's own leaks are not the program's. Offscreen, full stacks let
    // the suppressions see the plugin's frames. On the display the leak check is left out: D-Bus and the
    // GL driver (unloaded before the check, so that no suppression can name it) leak at exit, and the
    // slow unwinder deadlocks in the GL driver's threads; the offscreen runs check the program's leaks.
    if (display)
    {
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    }
    else
    {
        environment.insert("ASAN_OPTIONS",
                           environment.value("ASAN_OPTIONS") + ":detect_leaks=1:fast_unwind_on_malloc=0");
        environment.insert("LSAN_OPTIONS", QStringLiteral("suppressions=%1").arg(PLATFORM_LEAK_SUPPRESSIONS));
    }
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral("bash"), {QStringLiteral(START_SCRIPT), QStringLiteral(CORVO_PROGRAM)});
    mOutput.clear();
    if (!program.waitForStarted(TIMEOUT_MS))
    {
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!mOutput.contains("System Started - V1.00") && timer.elapsed() < TIMEOUT_MS &&
           program.state() == QProcess::Running)
    {
        program.waitForReadyRead(100);
        mOutput += program.readAll();
    }
    return mOutput.contains("System Started - V1.00");
}

void tst_ProgramWindow::Terminate(QProcess& program, QByteArray& output)
{
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    QVERIFY(program.waitForFinished(TIMEOUT_MS));
    output += program.readAll();
    const QString text = QString::fromLocal8Bit(output);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, qPrintable(text));
    QVERIFY2(text.indexOf("cApplication destroyed") > text.indexOf("System Started"), qPrintable(text));
    QVERIFY2(!text.contains("ERROR: "), qPrintable(text));
    // A QML engine warning names its file and line.
    QVERIFY2(!text.contains(QRegularExpression("\\.(qml|js):\\d+")) &&
                 !text.contains("failed to load component"),
             qPrintable(text));
}

void tst_ProgramWindow::newUser_seesTheWindowAndNoDeviceInRed()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QVERIFY2(Start(program, folder, true), mOutput.constData());
    QVERIFY2(!mOutput.contains("No display"), mOutput.constData());

    const QString title("Corvo GUI - V1.00");
    sWindowGeometry window;
    QTRY_VERIFY_WITH_TIMEOUT((window = FindWindow(title)).mViewable, TIMEOUT_MS);
    QCOMPARE(window.mRect.size(), QSize(1280, 720));

    // The screen as this display shows it: red text in the status area once the window has drawn.
    const QRect status = StatusArea(window.mRect.width()).adjusted(-4, -4, 4, 4);
    QImage grab;
    QTRY_VERIFY_WITH_TIMEOUT(RedPixels(grab = QGuiApplication::primaryScreen()->grabWindow(0).toImage(),
                                       status.translated(window.mRect.topLeft())) >= 20,
                             TIMEOUT_MS);
    // Nowhere else in the tab bar's height: it is the status line that is red.
    const QRect band(window.mRect.left(), window.mRect.top(), window.mRect.width(), status.bottom() + 4);
    QCOMPARE(RedPixels(grab, band), RedPixels(grab, status.translated(window.mRect.topLeft())));

    Terminate(program, mOutput);
}

void tst_ProgramWindow::noDisplay_runsOffscreenAndStopsCleanly()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QVERIFY2(Start(program, folder, false), mOutput.constData());
    QVERIFY2(mOutput.contains("No display: starting the program with QT_QPA_PLATFORM=offscreen and "
                              "QT_QUICK_BACKEND=software"),
             mOutput.constData());

    // The start script hands over to the program itself (the signal reaches it), with both settings.
    QFile environ(QStringLiteral("/proc/%1/environ").arg(program.processId()));
    QVERIFY(environ.open(QIODevice::ReadOnly));
    const QList<QByteArray> variables = environ.readAll().split('\0');
    QVERIFY(variables.contains("QT_QPA_PLATFORM=offscreen"));
    QVERIFY(variables.contains("QT_QUICK_BACKEND=software"));
    QFile executable(QStringLiteral("/proc/%1/exe").arg(program.processId()));
    QCOMPARE(QFileInfo(executable.symLinkTarget()).canonicalFilePath(),
             QFileInfo(CORVO_PROGRAM).canonicalFilePath());

    // Running a while: the window is loaded and drawn offscreen.
    QTest::qWait(1500);
    QCOMPARE(program.state(), QProcess::Running);
    Terminate(program, mOutput);
    QVERIFY2(!mOutput.contains("OpenGL") && !mOutput.contains("Failed to create"), mOutput.constData());
}

QTEST_MAIN(tst_ProgramWindow)
#include "tst_ProgramWindow.moc"
