// The program binary as a person starts it, headless: it starts, logs, runs and shuts down cleanly
// on a termination signal.

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>

namespace
{

// How long the test waits for each of the framework's answers. The program answers within a second
// in an optimised build, but the sanitizer build runs it with the slow unwinder (which the leak
// suppressions need), and there an answer has taken up to 11 s.
constexpr int ANSWER_WAIT_MS = 60000;

} // namespace

class tst_CorvoGUIProgram : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignal_runsTheWholeShutdown_data();
    void terminationSignal_runsTheWholeShutdown();
    void frameworkConnection_isServedWhileTheProgramRuns();

private:
    // Starts the program with a home and temporary folder of its own (so its single-instance key is
    // its own too) and waits for "System Started".
    bool Start(QProcess& program, const QTemporaryDir& folder, QByteArray& output);
};

bool tst_CorvoGUIProgram::Start(QProcess& program, const QTemporaryDir& folder, QByteArray& output)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", folder.path());
    environment.insert("TMPDIR", folder.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    // In a sanitizer build: what the offscreen platform and Qt Quick keep to the end is not the
    // program's leak. Full stacks let the suppressions see Qt's frames.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":fast_unwind_on_malloc=0");
    environment.insert("LSAN_OPTIONS", QStringLiteral(PROGRAM_LSAN_OPTIONS));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(CORVO_PROGRAM), QStringList());
    if (!program.waitForStarted(30000))
    {
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("System Started - V1.00") && timer.elapsed() < 60000 &&
           program.state() == QProcess::Running)
    {
        program.waitForReadyRead(100);
        output += program.readAll();
    }
    return output.contains("System Started - V1.00");
}

void tst_CorvoGUIProgram::terminationSignal_runsTheWholeShutdown_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void tst_CorvoGUIProgram::terminationSignal_runsTheWholeShutdown()
{
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QByteArray output;
    QVERIFY2(Start(program, folder, output), output.constData());

    QVERIFY(::kill(pid_t(program.processId()), signalNumber) == 0);
    QVERIFY(program.waitForFinished(60000));
    output += program.readAll();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    const QString text = QString::fromLocal8Bit(output);
    QVERIFY2(text.contains("CorvoGUI Main"), qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression("Booted in: \\d+ms\\n")), qPrintable(text));
    QVERIFY2(text.contains("Notification: System Started - V1.00\t(file:///main:"), qPrintable(text));
    // The window loaded, and no QML file warned.
    QVERIFY2(!text.contains("failed to load component") && !text.contains("qrc:/"), qPrintable(text));
    QVERIFY2(text.indexOf("cApplication destroyed") > text.indexOf("System Started"), qPrintable(text));
    QVERIFY2(!text.contains("ERROR: "), qPrintable(text));
    QCOMPARE(
        QFileInfo(folder.filePath("RE Zurov/CorvoGUI-V1.00/AppData/NonVolatile/NonVolatileRamFile")).size(),
        qint64(0x200000));
}

void tst_CorvoGUIProgram::frameworkConnection_isServedWhileTheProgramRuns()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QByteArray output;
    QVERIFY2(Start(program, folder, output), output.constData());

    // A unit connects to the framework's port and says hello with its UDP port.
    QUdpSocket udp;
    QVERIFY(udp.bind(QHostAddress(QHostAddress::LocalHost), 0));
    QTcpSocket unit;
    unit.connectToHost(QHostAddress::LocalHost, 51321);
    QVERIFY(unit.waitForConnected(10000));
    const quint16 port = udp.localPort();
    unit.write(QByteArray::fromHex("E0000401 03") + QByteArray(1, char(port >> 8)) +
               QByteArray(1, char(port)) + QByteArray::fromHex("E7"));
    QByteArray ack;
    while (ack.size() < 8 && unit.waitForReadyRead(ANSWER_WAIT_MS))
    {
        ack += unit.readAll();
    }
    QCOMPARE(ack, QByteArray::fromHex("E000040203C87DE7"));
    QVERIFY(udp.waitForReadyRead(ANSWER_WAIT_MS));
    QByteArray heartbeat(int(udp.pendingDatagramSize()), '\0');
    udp.readDatagram(heartbeat.data(), heartbeat.size());
    QCOMPARE(heartbeat, QByteArray::fromHex("E0000103E7"));

    // The farewell is answered, then the program shuts down as ever.
    unit.write(QByteArray::fromHex("E0000342 5945E7"));
    QByteArray bye;
    while (bye.size() < 7 && unit.waitForReadyRead(ANSWER_WAIT_MS))
    {
        bye += unit.readAll();
    }
    QCOMPARE(bye, QByteArray::fromHex("E00003425945E7"));
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    QVERIFY(program.waitForFinished(60000));
    output += program.readAll();
    const QString text = QString::fromLocal8Bit(output);
    QVERIFY2(program.exitCode() == 0, qPrintable(text));
    QVERIFY2(text.contains("cApplication destroyed") && !text.contains("ERROR: "), qPrintable(text));
}

QTEST_GUILESS_MAIN(tst_CorvoGUIProgram)
#include "tst_CorvoGUIProgram.moc"
