#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QtTest>

// The simulated device as a person runs it: its own process, a symlink at a given path.
class tst_SimulatedDeviceProgram : public QObject
{
    Q_OBJECT

private slots:
    void programAtLinkPath_answersTheHandshakeAndRemovesItsLink();
    void programWithoutLinkPath_refusesToStart();
};

void tst_SimulatedDeviceProgram::programAtLinkPath_answersTheHandshakeAndRemovesItsLink()
{
    const QString linkPath = UniqueLinkPath();
    QProcess device;
    device.start(QStringLiteral(SIMULATED_DEVICE_PROGRAM), {"--version", "7.42", linkPath});
    QVERIFY(device.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(linkPath).isSymLink(), 10000);

    auto list = std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(linkPath)});
    cSerialInterface link(nullptr, std::move(list), TestTimings());
    auto runUntil = [&link](eConnectionState state)
    {
        for (int i = 0; i < 2000 && link.GetState() != state; ++i)
        {
            link.Process();
            QThread::msleep(5);
        }
        return link.GetState() == state;
    };
    link.RequestConnect(linkPath.toUtf8().constData());
    QVERIFY(runUntil(CONNECTION_STATE_SYNCING));
    QCOMPARE(link.GetVersionText(), QStringLiteral("V7.42"));
    sFilterTable table;
    QVERIFY(link.GetFilterTable(table));
    QVERIFY(link.SetRunning());
    link.RequestDisconnect();
    QVERIFY(runUntil(CONNECTION_STATE_IDLE));

    device.terminate();
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitStatus(), QProcess::NormalExit);
    QCOMPARE(device.exitCode(), 0);
    const QString printed = QString::fromLocal8Bit(device.readAllStandardOutput());
    QVERIFY(printed.contains("cmd 0 len 0: a5 a5 00 00 00 00 00 00"));
    QVERIFY(printed.contains("cmd 15 len 0: a5 a5 00 0f 00 00 00 00"));
    QVERIFY(!QFileInfo(linkPath).exists() && !QFileInfo(linkPath).isSymLink());
}

void tst_SimulatedDeviceProgram::programWithoutLinkPath_refusesToStart()
{
    QProcess device;
    device.start(QStringLiteral(SIMULATED_DEVICE_PROGRAM), {"--version", "x"});
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitCode(), 2);
    QVERIFY(device.readAllStandardError().contains("usage: corvo-simulated-device"));
}

QTEST_GUILESS_MAIN(tst_SimulatedDeviceProgram)
#include "tst_SimulatedDeviceProgram.moc"
