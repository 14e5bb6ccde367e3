#pragma once

#include "CorvoGUI/Core/App/cProgramSession.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "tests/simulator/cSimulatedDevice.h"

#include <QQmlApplicationEngine>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QQuickItem;
class QQuickWindow;
class cCorvoQmlBackend;

// The whole program in process, as qMain runs it between its Qt application object and its event
// loop, with its window loaded from "qrc:/main.qml", and a simulated device on a pty that the serial
// link lists as its only device port (a free-running device thread answers it).
//
// The caller provides the process set-up that precedes the session in qMain: the organisation and
// application names, RegisterQmlTypes and the QGuiApplication (PrepareProcess does the first two).
// The data folders follow the HOME the process has when Start runs.
//
// GUI thread; one at a time (the framework is process-wide).
class cProgramUnderTest
{
public:
    // Names and QML registrations, before the QGuiApplication is made.
    static void PrepareProcess();

    // The serial link runs with these timings (the program's own by default).
    explicit cProgramUnderTest(const sSerialLinkTimings& timings = sSerialLinkTimings());
    // Shutdown, then the device goes.
    ~cProgramUnderTest();

    cProgramUnderTest(const cProgramUnderTest&) = delete;
    cProgramUnderTest& operator=(const cProgramUnderTest&) = delete;

    // A device port name of this process's own: "./" and the process id in base 36, five characters
    // (enough for any process id Linux gives), relative to the working directory. The serial port's
    // lock file is named after the port's last part, for every process on the machine, so processes
    // that run at the same time need names of their own.
    static QString ProcessPortName();

    // Opens the device at portName (at most 7 characters, relative to the working directory: the
    // serial link's name slots hold 7), starts the program, loads the window and waits until it has
    // made every tab's panel (those of the hidden tabs come after its first frame). False, with a
    // warning, when any of it fails.
    bool Start(const QString& portName = ProcessPortName());
    // The session's shutdown, the engine's end and the root back end's deferred delete, in qMain's
    // order. Does nothing the second time.
    void Stop();

    QQuickWindow* Window() const { return mWindow; }
    QQmlApplicationEngine* Engine() const { return mEngine.get(); }
    cProgramSession* Session() const { return mSession.get(); }
    cCorvoQmlBackend* Backend() const;
    cSimulatedDevice& Device() { return mDevice; }

    // The window's item of that object name; null when there is none.
    QQuickItem* Item(const QString& objectName) const;

    // Connects through the serial connection back end (as the connect button does with one port)
    // once the device is listed, and waits until the link is connected. False on a time-out.
    bool Connect(int timeoutMs = 15000);
    // Disconnects and waits until the link is idle.
    bool Disconnect(int timeoutMs = 10000);

    // Runs the event loop until the condition holds; false when the time ran out.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
    // Runs the event loop for that long.
    static void Settle(int milliseconds);

private:
    void StopDevice();

    const sSerialLinkTimings mTimings;
    cUserInterfaceResources mResources;
    cSimulatedDevice mDevice;
    std::atomic<bool> mStopDevice{false};
    std::thread mDeviceThread;
    std::unique_ptr<cProgramSession> mSession;
    std::unique_ptr<QQmlApplicationEngine> mEngine;
    QQuickWindow* mWindow = nullptr;
};
