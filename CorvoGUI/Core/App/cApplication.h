#pragma once

#include "CorvoGUI/Core/App/cApplicationBase.h"
#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "KVNet/Core/KVNetTypes.h"

#include <QAbstractSocket>

#include <memory>
#include <string>

class cInOutFader;
class cKVNetTCPServer;
class cLowMidHigh;
class cMeteringSources;
class cNonVolatileStorageManager;
class cSavesManager;
class cSerialConnectDriver;
class cSerialInterface;

// The one object that owns the device model. Construction, in this order (also the order of the
// blocks in the non-volatile RAM file and of the records in a saves file): the syscall thread
// object, the connection layer's signals joined to this object, the theme colours, the drawing
// utility and the value interpreter (gThemeColours, gDrawingUtility and
// gQmlValueInterpreterSingleton, made only when not there yet and never deleted), the framework's
// TCP server (port 51321, a child of this object), the action-tick thread object, the
// non-volatile storage (2 MiB, at
// GetNonVolatileFilePath()), the serial interface (its port manager on the tick thread), the serial
// connection driver, the metering sources, the saves manager, the in/out fader block and the LOW,
// MID and HIGH panels. Neither thread is started here.
//
// Destruction: the action-tick thread first (so no serial step runs on a deleted interface), the
// fader block and the three panels, the saves manager, the metering sources, the connection driver,
// the serial interface, the storage (which flushes the file), the TCP server, then after any
// delivery in progress has finished the unit finder (when one was set), the syscall thread, and
// last the framework's system (builder, then router).
//
// Threads: constructed and destroyed on the GUI thread, with the framework's system started and the
// syscall thread not running (stop it before deleting the application). OnActionTick runs on the
// action-tick thread every 20 ms, whether or not the system is running.
class cApplication : public cApplicationBase
{
    Q_OBJECT

public:
    // portList: where the serial link looks for the device (null: the machine's serial ports);
    // timings: the link's waits.
    explicit cApplication(std::unique_ptr<cSerialPortList> portList = nullptr,
                          const sSerialLinkTimings& timings = sSerialLinkTimings());
    ~cApplication() override;

    // One step of the serial link (action-tick thread).
    void OnActionTick() override;

    cNonVolatileStorageManager* GetNonVolatileStorage() const { return mNonVolatileStorage; }
    cSerialInterface* GetSerialInterface() const { return mSerialInterface; }
    cSerialConnectDriver* GetSerialConnectDriver() const { return mSerialConnectDriver; }
    cMeteringSources* GetMeteringSources() const { return mMeteringSources; }
    cSavesManager* GetSavesManager() const { return mSavesManager; }
    cInOutFader* GetInOutFader() const { return mInOutFader; }
    cLowMidHigh* GetLow() const { return mLow; }
    cLowMidHigh* GetMid() const { return mMid; }
    cLowMidHigh* GetHigh() const { return mHigh; }

    // The size of the non-volatile RAM file.
    static constexpr qint64 NON_VOLATILE_SIZE = 0x200000;

public slots:
    // The connection layer's reports of a connection's end; nothing is done with them.
    void LostComms(UWORD ConnectionId, std::string HostName);
    void ConnectionDisconnected(UWORD ConnectionId, std::string HostName, bool ErrorOccured,
                                QAbstractSocket::SocketError Error);

private:
    cKVNetTCPServer* mTCPServer = nullptr;
    cNonVolatileStorageManager* mNonVolatileStorage = nullptr;
    cSerialInterface* mSerialInterface = nullptr;
    cSerialConnectDriver* mSerialConnectDriver = nullptr;
    cMeteringSources* mMeteringSources = nullptr;
    cSavesManager* mSavesManager = nullptr;
    cInOutFader* mInOutFader = nullptr;
    cLowMidHigh* mLow = nullptr;
    cLowMidHigh* mMid = nullptr;
    cLowMidHigh* mHigh = nullptr;
};
