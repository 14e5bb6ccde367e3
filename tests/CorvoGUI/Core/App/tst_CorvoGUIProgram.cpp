// The program binary as a person starts it, headless: it starts, logs, runs and shuts down cleanly
// on a termination signal.

#include "KVNet/Core/KVNetMethods.h"
#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cLinkingPeer.h"
#include "tests/support/network/cRawSocket.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>
#include <functional>

namespace
{

// How long the test waits for each of the framework's answers. The program answers within a second
// in an optimised build, but the sanitizer build runs it with the slow unwinder (which the leak
// suppressions need), and there an answer has taken up to 11 s.
constexpr int ANSWER_WAIT_MS = 60000;

bool Wait(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done())
    {
        if (timer.elapsed() > timeoutMs)
        {
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

} // namespace

class tst_CorvoGUIProgram : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignal_runsTheWholeShutdown_data();
    void terminationSignal_runsTheWholeShutdown();
    void frameworkConnection_isServedWhileTheProgramRuns();
    void terminationSignal_endsPromptlyWithAPeerThatDoesNotRead();
    void aPeerLinksEveryParameterOfTheProgramTwiceOver();

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

void tst_CorvoGUIProgram::terminationSignal_endsPromptlyWithAPeerThatDoesNotRead()
{
    using namespace nPeerFrames;
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QByteArray output;
    QVERIFY2(Start(program, folder, output), output.constData());

    // A unit that links 256 times to the serial driver's version (each request for it is then
    // answered 256 times), asks for it until the program's queue to the unit is full, and reads
    // nothing from then on; and a unit that reads.
    cRawSocket udp = cRawSocket::Udp("127.0.0.1");
    cRawSocket stopped = cRawSocket::TcpConnect("127.0.0.1", 51321, 10000, 4096);
    cRawSocket reading = cRawSocket::TcpConnect("127.0.0.1", 51321, 10000);
    QVERIFY(stopped.IsValid() && reading.IsValid());
    QByteArray got;
    QVERIFY(stopped.Send(Hello(1, udp.LocalPort())));
    QVERIFY(reading.Send(Hello(1, udp.LocalPort())));
    QVERIFY(Wait([&] { return stopped.Take(8, got); }, ANSWER_WAIT_MS));
    QVERIFY(Wait([&] { return reading.Take(8, got); }, ANSWER_WAIT_MS));
    const QByteArray driverName("Serial Connection Driver NetObject", 35);
    stopped.Send(V1(0, 0, 40, M_REG_FIND_OBJECT, driverName));
    QVERIFY(Wait([&] { return stopped.Take(14, got); }, ANSWER_WAIT_MS));
    const quint16 driver = quint16((quint8(got[11]) << 8) | quint8(got[12]));
    constexpr quint16 VERSION = PARAMETER_BASE + 2;
    QByteArray links;
    for (quint16 handle = 1000; handle < 1256; ++handle)
    {
        links += V1(0, driver, handle, M_OBJECT_ADD_TO_INFORM_LIST,
                    Word(0) + Word(handle) + Word(VERSION) + Word(VERSION) + Word(0));
    }
    stopped.Send(links);
    const QByteArray full("Transmit queue of connection 1 is full");
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(full) && timer.elapsed() < ANSWER_WAIT_MS && program.state() == QProcess::Running)
    {
        QByteArray asks;
        for (int i = 0; i < 20; ++i)
        {
            asks += V1(0, driver, 77, VERSION);
        }
        stopped.Send(asks);
        program.waitForReadyRead(5);
        output += program.readAll();
    }
    QVERIFY2(output.contains(full), output.right(2000).constData());

    // The reading unit's farewell marks the start of the connections' shutdown, the log line
    // "cApplication destroyed" the end of the program's own shutdown after it.
    timer.restart();
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    qint64 farewell = -1;
    qint64 destroyed = -1;
    while (program.state() == QProcess::Running && timer.elapsed() < ANSWER_WAIT_MS)
    {
        program.waitForReadyRead(5);
        output += program.readAll();
        if (farewell < 0 && (reading.Poll(), reading.Received().endsWith(Bye())))
        {
            farewell = timer.elapsed();
        }
        if (destroyed < 0 && output.contains("cApplication destroyed"))
        {
            destroyed = timer.elapsed();
        }
    }
    QVERIFY(program.state() == QProcess::NotRunning || program.waitForFinished(ANSWER_WAIT_MS));
    const qint64 ended = timer.elapsed();
    output += program.readAll();
    const QString text = QString::fromLocal8Bit(output);
    qInfo("After SIGTERM: the farewell at %lld ms, \"cApplication destroyed\" at %lld ms, the end at %lld ms",
          farewell, destroyed, ended);
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, qPrintable(text));
    QVERIFY2(destroyed >= 0 && !text.contains("Sanitizer"), qPrintable(text));
    QVERIFY2(farewell >= 0, reading.Received().right(64).toHex().constData());
    // The farewells end within a second of their start, however the peers behave; the rest of
    // the shutdown adds little.
    QVERIFY2(destroyed - farewell < 2000, qPrintable(text.right(2000)));
#if !defined(__SANITIZE_ADDRESS__)
    // The whole program, in a build without the sanitizers (whose exit takes seconds of its own).
    QVERIFY2(ended < 2000, qPrintable(text.right(2000)));
#endif
}

void tst_CorvoGUIProgram::aPeerLinksEveryParameterOfTheProgramTwiceOver()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess program;
    QByteArray output;
    QVERIFY2(Start(program, folder, output), output.constData());

    // A peer that mirrors the whole program links every parameter of every object to a handle of
    // its own, and then to a second. Asked for: the first 64 parameters of handles 1 to 511
    // (objects answer for those they have), until no link is new (the panels of the hidden tabs
    // are made after the window's first frame; a link asked for again is not answered).
    constexpr quint16 HANDLES = 511;
    constexpr quint16 PARAMETERS = 64;
    cLinkingPeer peer;
    QVERIFY(peer.Connect("127.0.0.1", 51321, ANSWER_WAIT_MS));
    cLinkingPeer::sAnswers first;
    int made = -1;
    for (int round = 0; round < 10 && first.Made() != made; ++round)
    {
        made = first.Made();
        QThread::msleep(500);
        QVERIFY(peer.LinkRange(1, HANDLES, PARAMETERS, 0x7000, first, ANSWER_WAIT_MS));
    }
    QCOMPARE(first.Made(), made);
    const std::vector<cLinkingPeer::sParameter> parameters = cLinkingPeer::Parameters(first);
    cLinkingPeer::sAnswers second;
    QVERIFY(peer.Link(parameters, 0x7001, second, ANSWER_WAIT_MS));
    program.waitForReadyRead(100);
    output += program.readAll();

    QVERIFY(!first.mMade.empty());
    int largest = 0;
    for (const auto& object : first.mMade)
    {
        largest = std::max(largest, object.second);
    }
    qInfo("%d objects with %d parameters, the largest with %d, up to handle %d", int(first.mMade.size()),
          int(parameters.size()), largest, int(first.mMade.rbegin()->first));
    // What was asked for reached past every object and every parameter.
    QVERIFY(largest < PARAMETERS && first.mMade.rbegin()->first < HANDLES / 2);
    QVERIFY(parameters.size() > 1000);
    // None refused, every one answered as made.
    QCOMPARE(first.Refused() + second.Refused(), 0);
    QCOMPARE(first.Made(), int(parameters.size()));
    QCOMPARE(second.mMade, first.mMade);
    QVERIFY2(!output.contains("refused"), output.right(2000).constData());

    peer.Close();
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_CorvoGUIProgram)
#include "tst_CorvoGUIProgram.moc"
