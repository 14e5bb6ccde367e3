#pragma once

// Test support: a serial interface wired to a simulated device on a pty, stepped tick by tick.

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/simulator/cSimulatedDevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>

#include <atomic>
#include <memory>

// A path for a device link that no other test (or test run) uses: the serial port's lock file is
// named after the link's file name.
inline QString UniqueLinkPath()
{
    static std::atomic<int> counter{0};
    return QDir::temp().filePath(
        QStringLiteral("corvo-sim-%1-%2").arg(QCoreApplication::applicationPid()).arg(counter.fetch_add(1)));
}

// Waits short enough for tests: a tick is a call, not 20 ms.
inline sSerialLinkTimings TestTimings()
{
    sSerialLinkTimings timings;
    timings.mWriteWaitMs = 1000;
    timings.mWritePauseUs = 0;
    timings.mMeterWaitTicks = 3;
    timings.mMissesForNoReply = 4;
    timings.mHandshakeTimeoutTicks = 10;
    return timings;
}

// The interface and a simulated device behind a symlink that the port list names.
class cSerialTestLink
{
public:
    explicit cSerialTestLink(const sSerialLinkTimings& timings = TestTimings())
    {
        mOpened = mDevice.Open(UniqueLinkPath());
        mPortName = mDevice.PortPath();
        auto list =
            std::make_unique<cFixedSerialPortList>(QList<sSerialPortDescription>{DevicePort(mPortName)});
        mPortList = list.get();
        mLink = std::make_unique<cSerialInterface>(nullptr, std::move(list), timings);
    }

    // One tick of the program, then one lockstep tick of the device.
    bool Tick()
    {
        mLink->Process();
        return mDevice.Step(mLink->GetStatistics().mBytesWritten);
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            Tick();
        }
    }
    // Ticks until the state is reached (at most maxTicks); true when reached.
    bool TickUntil(eConnectionState state, int maxTicks = 50)
    {
        for (int i = 0; i < maxTicks && mLink->GetState() != state; ++i)
        {
            Tick();
        }
        return mLink->GetState() == state;
    }
    // Connect, handshake, confirm: true when running (state 2).
    bool Connect()
    {
        mLink->RequestConnect(mPortName.toUtf8().constData());
        if (!TickUntil(CONNECTION_STATE_SYNCING))
        {
            return false;
        }
        return mLink->SetRunning();
    }
    // The device is back behind the same path and expects the program's next bytes.
    bool Reappear()
    {
        const bool ok = mDevice.Reappear();
        mDevice.AlignReceivedCount(mLink->GetStatistics().mBytesWritten);
        return ok;
    }

    cSerialInterface& Link() { return *mLink; }
    cSimulatedDevice& Device() { return mDevice; }
    cFixedSerialPortList& PortList() { return *mPortList; }
    const QString& PortName() const { return mPortName; }
    bool Opened() const { return mOpened; }

private:
    cSimulatedDevice mDevice;
    bool mOpened = false;
    QString mPortName;
    cFixedSerialPortList* mPortList = nullptr;
    std::unique_ptr<cSerialInterface> mLink;
};
