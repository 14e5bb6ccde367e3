#pragma once

#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"

#include <memory>

class QQmlEngine;
class cApplication;
class cCorvoQmlBackend;

// The program between its Qt application object and its event loop: the framework, the device
// model with its two threads, and the root back end with its links, then the QML engine's set-up;
// after the loop, the shutdown in its fixed order. qMain runs one; tests that run the whole program
// in process run one too.
//
// Construction, in order: chooses Qt Quick's scene graph backend (ChooseSceneGraphBackend: the
// software renderer where OpenGL is only a software rasteriser or missing, unless the user named a
// backend), adds the embedded font (":Spartan-Bold.ttf", which the resources must
// hold), logs "CorvoGUI Main", starts the framework (registry router, system builder, network
// connection with its lost-communication threads), makes the application object (portList and
// timings as cApplication takes them), starts its syscall and action-tick threads, sets the system
// running, logs "Booted in: <ms>ms" and "System Started - V1.00", then makes the root back end and
// queues its links. Shutdown, in order: system running off, the syscall thread stops, the
// lost-communication threads and the network connection go, the back ends unlink and the root back
// end is handed to deleteLater, the application object is deleted, "cApplication destroyed" is
// logged. The deferred delete of the root back end runs at the caller's next delivery of posted
// events (qMain delivers them after the engine is gone).
//
// GUI thread; one session at a time (the framework is a process-wide system).
class cProgramSession
{
public:
    explicit cProgramSession(std::unique_ptr<cSerialPortList> portList = nullptr,
                             const sSerialLinkTimings& timings = sSerialLinkTimings());
    // Shutdown, when it has not run yet.
    ~cProgramSession();

    cProgramSession(const cProgramSession&) = delete;
    cProgramSession& operator=(const cProgramSession&) = delete;

    // The engine's import paths ("qrc:/qml/KVQml", "qrc:/qml", "qrc:/"), the image provider
    // "graphicsfactory", and the context properties "_screenScalingFactor", "_fontScalingFactor" and
    // "_App" (the root back end). Before the engine loads anything; any engine (qMain's
    // QQmlApplicationEngine, the engine of a Qt Quick Test).
    void PrepareEngine(QQmlEngine& engine) const;

    // Takes everything down (see the class comment). Does nothing the second time.
    void Shutdown();

    // Null once shut down.
    cApplication* GetApplication() const { return mApplication; }
    cCorvoQmlBackend* GetBackend() const { return mBackend; }

private:
    cApplication* mApplication = nullptr;
    cCorvoQmlBackend* mBackend = nullptr;
};
