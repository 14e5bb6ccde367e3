#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <array>

// The simulated device as a person runs it: its own process, a symlink at a given path.
class tst_SimulatedDeviceProgram : public QObject
{
    Q_OBJECT

private slots:
    void programAtLinkPath_answersTheHandshakeAndRemovesItsLink();
    void programWithoutLinkPath_refusesToStart();
    void programWithMovingMeters_sweepsEveryMeterWithinItsRange();
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

void tst_SimulatedDeviceProgram::programWithMovingMeters_sweepsEveryMeterWithinItsRange()
{
    const QString linkPath = UniqueLinkPath();
    QProcess device;
    device.start(QStringLiteral(SIMULATED_DEVICE_PROGRAM), {"--quiet", "--moving-meters", linkPath});
    QVERIFY(device.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(linkPath).isSymLink(), 10000);

    auto list = std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(linkPath)});
    cSerialInterface link(nullptr, std::move(list), TestTimings());
    link.RequestConnect(linkPath.toUtf8().constData());
    for (int i = 0; i < 2000 && link.GetState() != CONNECTION_STATE_SYNCING; ++i)
    {
        link.Process();
        QThread::msleep(5);
    }
    QCOMPARE(link.GetState(), CONNECTION_STATE_SYNCING);
    QVERIFY(link.SetRunning());

    // -50 dB and -14 dB of full scale (2^31), with room for rounding.
    const ULONG quietest = 6700000;
    const ULONG loudest = 430000000;
    std::array<ULONG, nSerialProtocol::METERS> lowest;
    std::array<ULONG, nSerialProtocol::METERS> highest{};
    lowest.fill(0xFFFFFFFFu);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1500)
    {
        link.Process();
        sMeterBlock meters;
        // The block reads all zero until the first meter reply.
        if (link.GetMeterBlock(meters) && meters != sMeterBlock{})
        {
            for (size_t i = 0; i < meters.size(); ++i)
            {
                lowest[i] = std::min(lowest[i], meters[i]);
                highest[i] = std::max(highest[i], meters[i]);
            }
        }
        QThread::msleep(10);
    }
    for (size_t i = 0; i < lowest.size(); ++i)
    {
        QVERIFY2(lowest[i] >= quietest && highest[i] <= loudest, qPrintable(QString::number(i)));
        // Over 1.5 s of a 2 s sweep each meter covers well over 6 dB.
        QVERIFY2(highest[i] > 2 * lowest[i], qPrintable(QString::number(i)));
    }

    link.RequestDisconnect();
    for (int i = 0; i < 2000 && link.GetState() != CONNECTION_STATE_IDLE; ++i)
    {
        link.Process();
        QThread::msleep(5);
    }
    device.terminate();
    QVERIFY(device.waitForFinished(10000));
    QCOMPARE(device.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_SimulatedDeviceProgram)
#include "tst_SimulatedDeviceProgram.moc"
