// Runs the simulated device on a pseudo-terminal and puts a symlink to it at the given path, so
// that the program (built with -DCORVO_SIMULATED_DEVICE_PORT=<path>) can connect to it.
//
//   corvo-simulated-device [--quiet] [--version MAJOR.MINOR] [--no-ack] [--moving-meters] <link-path>
//
// Every frame received is printed (unless --quiet). With --moving-meters the eight meter levels
// sweep between -50 and -14 dB of full scale, each on a phase of its own, so the meters on screen
// move. Ends on SIGINT or SIGTERM and removes the link.

#include "tests/simulator/cSimulatedDevice.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QElapsedTimer>

#include <cmath>
#include <csignal>
#include <cstdio>

namespace
{

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int)
{
    gStop = 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: corvo-simulated-device [--quiet] [--version MAJOR.MINOR] [--no-ack] "
                         "[--moving-meters] <link-path>\n");
    return 2;
}

// Linear meter words (full scale 2^31) for the time: -32 dB +- 18 dB, a 2 s sweep per meter.
void MoveMeters(cSimulatedDeviceModel& model, qint64 milliseconds)
{
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < cSimulatedDeviceModel::METERS; ++i)
    {
        const double phase = 2.0 * pi * (double(milliseconds) / 2000.0) + double(i) * pi / 4.0;
        const double decibels = -32.0 + 18.0 * std::sin(phase);
        model.mMeters[size_t(i)] = static_cast<std::uint32_t>(2147483648.0 * std::pow(10.0, decibels / 20.0));
    }
}

} // namespace

int main(int argc, char** argv)
{
    bool quiet = false;
    bool acknowledge = true;
    bool movingMeters = false;
    int major = 1;
    int minor = 2;
    QString linkPath;
    for (int i = 1; i < argc; ++i)
    {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--quiet"))
        {
            quiet = true;
        }
        else if (arg == QLatin1String("--no-ack"))
        {
            acknowledge = false;
        }
        else if (arg == QLatin1String("--moving-meters"))
        {
            movingMeters = true;
        }
        else if (arg == QLatin1String("--version") && i + 1 < argc)
        {
            const QStringList parts = QString::fromLocal8Bit(argv[++i]).split('.');
            bool okMajor = false;
            bool okMinor = false;
            major = parts.value(0).toInt(&okMajor);
            minor = parts.value(1).toInt(&okMinor);
            if (parts.size() != 2 || !okMajor || !okMinor || major < 0 || major > 255 || minor < 0 ||
                minor > 255)
            {
                return Usage();
            }
        }
        else if (arg.startsWith('-') || !linkPath.isEmpty())
        {
            return Usage();
        }
        else
        {
            linkPath = arg;
        }
    }
    if (linkPath.isEmpty())
    {
        return Usage();
    }

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    cSimulatedDevice device;
    device.Model().mVersionMajor = static_cast<std::uint8_t>(major);
    device.Model().mVersionMinor = static_cast<std::uint8_t>(minor);
    device.SetAcknowledgeRecords(acknowledge);
    if (!device.Open(linkPath))
    {
        std::fprintf(stderr, "corvo-simulated-device: cannot create the pty at %s\n", qPrintable(linkPath));
        return 1;
    }
    std::printf("Simulated device on %s (link %s)\n", qPrintable(device.SlavePath()), qPrintable(linkPath));
    std::fflush(stdout);

    int printed = 0;
    QElapsedTimer clock;
    clock.start();
    while (!gStop)
    {
        device.WaitForInput(20);
        if (movingMeters)
        {
            MoveMeters(device.Model(), clock.elapsed());
        }
        device.Service();
        const QList<cSimulatedDevice::sReceivedFrame> frames = device.Frames();
        if (!quiet)
        {
            for (; printed < frames.size(); ++printed)
            {
                const cSimulatedDevice::sReceivedFrame& frame = frames[printed];
                std::printf("tick %d cmd %u len %d%s: %s\n", frame.mTick, frame.mCommand,
                            frame.mPayload.size(), frame.mWellFormed ? "" : " (malformed)",
                            frame.mBytes.toHex(' ').constData());
            }
            std::fflush(stdout);
        }
        if (frames.size() > 10000)
        {
            device.ClearLog();
            printed = 0;
        }
    }
    device.Vanish();
    return 0;
}
