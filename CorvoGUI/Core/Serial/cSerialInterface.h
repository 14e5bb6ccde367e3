#pragma once

#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Serial/SerialSendRecords.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "CorvoGUI/Core/Serial/cSerialSendQueue.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class cSerialDeviceData;
class cSerialPortManager;

// The device model's single door to the device. Owns the cSerialPortManager and three queues of
// send records (filter, control strip, delay). Process runs one step of the connection state
// machine: connect and disconnect requests, the start-up handshake (version, then the device's
// control strips, delays and filter table), then per step one meter poll and at most one record
// of each kind. The version reply leads from port open straight to getting sync: the state is
// connected only while the link runs, never on the handshake's way.
//
// Threads: Process (and PollMeters) on the tick thread, the thread the port manager lives on;
// the Queue operations, the requests, SetRunning, TakeLastError, GetState, GetPortList and the
// readers on any other thread (the syscall thread in the program). One mutex guards the queues,
// the state, the last error and the request; it is never held across a port write.
//
// Failures: an open that fails sets the last error (ERROR_EVENT_DEVICE_NOT_FOUND for a port that
// is missing or not a device port, ERROR_EVENT_CONNECTION_FAILED_DEVICE_IN_USE when the port is
// taken, ERROR_EVENT_TIMEOUT_ERROR for a time-out); a handshake that makes no progress within the
// handshake time-out closes the port with ERROR_EVENT_TIMEOUT_ERROR; a port that reports the
// device gone closes with ERROR_EVENT_DEVICE_NOT_FOUND; unanswered meter polls lead to "no reply".
class cSerialInterface
{
public:
    // The port manager moves to the tick driver's thread (it stays on the calling thread when the
    // tick driver is null); the port is closed on that thread when the thread finishes. A null port
    // list means the machine's ports (cSystemSerialPortList).
    explicit cSerialInterface(QObject* tickDriver, std::unique_ptr<cSerialPortList> portList = nullptr,
                              const sSerialLinkTimings& timings = sSerialLinkTimings());
    // Closes the port (on the tick thread while it runs) and deletes the port manager. Delete the
    // interface after its tick thread has stopped, or while no Process call is under way.
    ~cSerialInterface();
    cSerialInterface(const cSerialInterface&) = delete;
    cSerialInterface& operator=(const cSerialInterface&) = delete;

    // One step of the state machine (tick thread, every 20 ms in the program).
    void Process();

    // Queue a record for the device (any thread). Dropped unless the link is connected (state 2);
    // a record whose id is already queued replaces it in place. True when queued. A disconnect
    // sends what is queued first (state 6); a connect or a closed link drops it.
    bool QueueFilter(ULONG filterId, const UBYTE* coefficients, UBYTE coefficientBytes, UWORD frequencyCode,
                     UWORD widthCode, UWORD gainCode, UBYTE filterType, UBYTE bandOption, UBYTE bypass);
    bool QueueControlStrip(ULONG stripIndex, ULONG linearGain, UWORD gainCode, UBYTE polarity, UBYTE mute);
    bool QueueDelay(ULONG channel, ULONG samples);

    // Requests handled by the next Process (any thread; the name is copied). A later request
    // replaces one not yet handled. A null or empty name connects to the first device port.
    void RequestConnect(const char* portName);
    void RequestDisconnect();
    // A connect request that cannot be made (any thread): sets the last error as a failed open
    // would; the state and any pending request stay as they are.
    void RefuseConnect(ULONG error);

    // The confirmation after syncing: state 2, only from state 4. True when the state changed.
    bool SetRunning();
    // The last error code, which is then cleared.
    ULONG TakeLastError();
    eConnectionState GetState() const;

    // Copies of what the device sent (any thread); see cSerialDeviceData for when each is there.
    bool GetMeterBlock(sMeterBlock& block) const;
    // The meter block with the count of meter replies so far (see cSerialDeviceData).
    bool GetMeterBlock(sMeterBlock& block, quint64& replyCount) const;
    bool GetFilterTable(sFilterTable& table) const;
    bool GetControlStripBlock(sControlStripBlock& block) const;
    bool GetDelayBlock(sDelayBlock& block) const;
    QString GetVersionText() const;

    // Forwards to the port manager's meter poll (tick thread). Process polls by itself.
    void PollMeters();
    // Searches the ports again and returns the device ports' names (any thread).
    QStringList GetPortList();

    sSerialLinkStatistics GetStatistics() const;
    // Records waiting in the three queues.
    std::size_t QueuedRecords() const;

    // The last error that an open failure with this port error sets; ERROR_EVENT_NONE leaves it.
    static ULONG ErrorFromPortError(QSerialPort::SerialPortError error);

private:
    struct sRequest
    {
        bool mPending = false;
        bool mConnect = false;
        QByteArray mPortName; // null: the first device port
        quint64 mSerial = 0;
    };

    // The device's control strips, delays and whole filter table have arrived.
    static bool DeviceStateRead(const cSerialDeviceData& data);
    void HandleRequest();
    void Connect(const QByteArray& portName);
    bool Disconnect();
    void SendQueuedRecords();
    // The handshake time-out counts the ticks after a request without a reply that moves the
    // handshake on.
    void RestartHandshakeWait();
    bool HandshakeTimedOut();
    void CloseLink(ULONG error);
    void SetState(eConnectionState state);
    void SetLastError(ULONG error);
    void ClearQueues();
    bool QueuesEmpty() const;

    std::unique_ptr<cSerialPortList> mPortList;
    const sSerialLinkTimings mTimings;
    cSerialPortManager* mManager;

    mutable std::mutex mMutex; // queues, state, last error, request
    sRequest mRequest;
    eConnectionState mState = CONNECTION_STATE_IDLE;
    ULONG mLastError = ERROR_EVENT_NONE;
    cSerialSendQueue<sFilterSendRecord> mFilterQueue;
    cSerialSendQueue<sControlStripSendRecord> mControlStripQueue;
    cSerialSendQueue<sDelaySendRecord> mDelayQueue;

    // Tick thread only.
    quint64 mHandshakeProgress = 0;
    int mHandshakeWaitTicks = 0;
};
