// Change-to-device lag of the serial link against the simulated device.
//
//   bench_SerialChangeLag [seconds]      (default 10; 50 ticks of 20 ms per second)
//
// For each scenario the program queues N changed records every tick for the given time, as a
// drag does, then stops changing; the link and the device run in lockstep, one tick at a time.
// Printed per scenario: ticks of dragging, records queued and sent, the largest queue depth, and
// the ticks from the last change (its own tick counted) until the device's state equals the model's
// (the goal: at most the number of distinct ids changed, one record per kind per tick, whatever the
// drag's length).

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/simulator/cSimulatedDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{

enum eKind
{
    KIND_FILTER,
    KIND_STRIP,
};

struct sScenario
{
    const char* mName;
    eKind mKind;
    int mRecordsPerTick;
};

// Filter ids of a drag on a ganged EQ: the HIGH panel's bands, left (channel 4) and right
// (channel 5) alternating.
ULONG GangedBandId(int i)
{
    return (static_cast<ULONG>(2 + i / 2) << 8) | static_cast<ULONG>(4 + i % 2);
}

struct sLink
{
    cSimulatedDevice mDevice;
    std::unique_ptr<cSerialInterface> mInterface;

    bool Open()
    {
        const QString path =
            QDir::temp().filePath(QStringLiteral("corvo-bench-%1").arg(QCoreApplication::applicationPid()));
        if (!mDevice.Open(path))
        {
            return false;
        }
        sSerialLinkTimings timings;
        timings.mWritePauseUs = 0; // lockstep: the pause only stretches the wall time
        mInterface = std::make_unique<cSerialInterface>(
            nullptr, std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(path)}),
            timings);
        mInterface->RequestConnect(nullptr);
        for (int i = 0; i < 50 && mInterface->GetState() != CONNECTION_STATE_SYNCING; ++i)
        {
            Tick();
        }
        return mInterface->SetRunning();
    }
    void Tick()
    {
        mInterface->Process();
        mDevice.Step(mInterface->GetStatistics().mBytesWritten);
    }
};

bool DeviceMatches(const cSimulatedDevice& device, eKind kind, const QMap<ULONG, UWORD>& model)
{
    const cSimulatedDeviceModel state = device.ModelSnapshot();
    for (auto it = model.cbegin(); it != model.cend(); ++it)
    {
        if (kind == KIND_FILTER)
        {
            const int index = cSimulatedDeviceModel::FilterIndex(it.key());
            const cSimulatedDeviceModel::sFilterRecord& record = state.mFilters[static_cast<size_t>(index)];
            if (record.mFrequencyCode != it.value() ||
                record.mCoefficients != QByteArray(20, char(it.value() & 0xFF)))
            {
                return false;
            }
        }
        else if (state.mStrips[it.key()].mGainCode != it.value())
        {
            return false;
        }
    }
    return true;
}

void Run(const sScenario& scenario, int dragTicks)
{
    sLink link;
    if (!link.Open())
    {
        std::printf("%-34s could not connect to the simulated device\n", scenario.mName);
        return;
    }
    QMap<ULONG, UWORD> model;
    UBYTE coefficients[20];
    quint64 queued = 0;
    QElapsedTimer clock;
    clock.start();
    UWORD value = 0;
    for (int tick = 0; tick < dragTicks; ++tick)
    {
        for (int i = 0; i < scenario.mRecordsPerTick; ++i)
        {
            ++value;
            if (scenario.mKind == KIND_FILTER)
            {
                std::memset(coefficients, value & 0xFF, sizeof coefficients);
                const ULONG id = GangedBandId(i);
                link.mInterface->QueueFilter(id, coefficients, 20, value, 0x0D00, 0x8000, 0, 0, 0x80);
                model[id] = value;
            }
            else
            {
                const ULONG id = static_cast<ULONG>(2 + i);
                link.mInterface->QueueControlStrip(id, 0x40000000u + value, value, 1, 0);
                model[id] = value;
            }
            ++queued;
        }
        link.Tick();
    }
    // The tick that queued the last change counts as the first tick of the lag.
    int lag = 1;
    while (!DeviceMatches(link.mDevice, scenario.mKind, model) && lag < 100000)
    {
        link.Tick();
        ++lag;
    }
    const sSerialLinkStatistics statistics = link.mInterface->GetStatistics();
    const quint64 depth =
        scenario.mKind == KIND_FILTER ? statistics.mLargestFilterQueue : statistics.mLargestControlStripQueue;
    const int sent = link.mDevice.CountFrames(scenario.mKind == KIND_FILTER ? 2 : 6);
    std::printf(
        "%-34s N=%-3d ticks=%-5d queued=%-6llu sent=%-5d max depth=%-3llu lag=%-3d ids=%-3d %s  (%.2f s)\n",
        scenario.mName, scenario.mRecordsPerTick, dragTicks, static_cast<unsigned long long>(queued), sent,
        static_cast<unsigned long long>(depth), lag, model.size(),
        lag <= model.size() ? "goal met" : "GOAL MISSED", clock.elapsed() / 1000.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (seconds <= 0)
    {
        std::fprintf(stderr, "usage: bench_SerialChangeLag [seconds]\n");
        return 2;
    }
    const int dragTicks = static_cast<int>(seconds * 50);
    std::printf("Serial change-to-device lag: %d ticks of dragging (%.1f s at 20 ms)\n", dragTicks, seconds);
    const sScenario scenarios[] = {
        {"ganged EQ drag, one band", KIND_FILTER, 2},   {"ganged EQ drag, two bands", KIND_FILTER, 4},
        {"ganged EQ drag, six bands", KIND_FILTER, 12}, {"fader drag, one strip", KIND_STRIP, 1},
        {"fader drag, stereo pair", KIND_STRIP, 2},
    };
    for (const sScenario& scenario : scenarios)
    {
        Run(scenario, dragTicks);
    }
    return 0;
}
