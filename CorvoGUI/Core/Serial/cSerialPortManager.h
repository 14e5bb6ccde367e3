#pragma once

#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Serial/cSerialDeviceData.h"
#include "CorvoGUI/Core/Serial/cSerialFrameParser.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

#include <array>
#include <atomic>

// Speaks the device's serial protocol: finds the device among the serial ports, opens and
// closes the port, writes command frames and handles the replies, whose contents it keeps in
// its cSerialDeviceData. Owns the QSerialPort (its child).
//
// Threads: every operation runs on the thread the manager lives on (the action-tick thread in
// the program), except FindDevicePort and GetDevicePortNames, which the syscall thread also calls,
// and Data's copy operations and Statistics, which any thread may call.
//
// Failures: write, read and port errors are reported (KV_REPORT_ERROR) and change no state; open
// failures leave GetOpenError for the state machine to turn into its error codes; bad frames and
// replies of a wrong length are reported and dropped.
class cSerialPortManager : public QObject
{
    Q_OBJECT

public:
    // Replies handled in one ProcessReply at most.
    static constexpr int MAX_FRAMES_PER_TICK = 64;

    // The port list is not owned and must outlive the manager.
    cSerialPortManager(const cSerialPortList* portList, const sSerialLinkTimings& timings,
                       QObject* parent = nullptr);
    ~cSerialPortManager() override;

    // Replaces the device-port list by the available ports that match the device (any thread).
    void FindDevicePort();
    // Port names of the device-port list (any thread).
    QStringList GetDevicePortNames() const;
    // Vendor 0x0483, description "USB Serial Device" or "Tabbet Audio - Corvo" (case-sensitive),
    // product 0x5740 or 0xA44B.
    static bool IsDevicePort(const sSerialPortDescription& port);

    // Opens the device port of that name (null: the first device port) at 921600 baud 8N1 without
    // flow control, closing an open port first. Every open and close resets the device data and
    // the frame parser. False when the name is not a device port or the open fails.
    bool AutoConnectPort(const char* portName);
    // Why the last AutoConnectPort failed: DeviceNotFoundError for a name that is not a device
    // port, otherwise the port's error from the open; NoError after a success.
    QSerialPort::SerialPortError GetOpenError() const { return mOpenError; }
    void ClosePort();
    bool IsPortOpen() const;

    void WriteToPort(const char* data, int length);
    void WriteToPort(const QByteArray& data);
    qint64 ReadFromPort(char* buffer, int length);
    // True when the port reports an error, after reporting it.
    bool ErrorCheck();
    QSerialPort::SerialPortError GetPortError() const;

    // Takes what the port holds and handles every complete reply frame (MAX_FRAMES_PER_TICK at
    // most; the rest waits for the next call). False when the port reports that the device is
    // gone (resource, read or write error); the caller closes the link.
    bool ProcessReply();
    // True when all 36 filter-table records have arrived.
    bool IsSetupComplete() const { return mData.IsSetupComplete(); }

    // Commands.
    void SendVersionRequest();
    void SendCommand1Request();
    void SendFilter(ULONG filterId, const UBYTE* coefficients, UBYTE coefficientBytes, UWORD frequencyCode,
                    UWORD widthCode, UWORD gainCode, UBYTE filterType, UBYTE bandOption, UBYTE bypass);
    void SendFilterWords(ULONG word0, ULONG word1);
    void RequestFilterTable();
    void SendControlStrip(ULONG stripIndex, ULONG linearGain, UWORD gainCode, UBYTE polarity, UBYTE mute);
    void RequestControlStrips();
    void SendDelay(ULONG channel, ULONG samples);
    void RequestDelays();
    // Clears both port buffers, sends the reset command and closes the port.
    void SendResetCommand();
    void SendDisconnect();
    // Sends a meter poll when none is outstanding; otherwise counts a tick of waiting, and a wait
    // that lasts too long counts as a missed poll (the next call polls again).
    void PollMeters();

    cSerialDeviceData& Data() { return mData; }
    const cSerialDeviceData& Data() const { return mData; }
    sSerialLinkStatistics Statistics() const;

private:
    void CloseLocked();
    void SendFrame(UBYTE command, int payloadLength);
    void TakeInput();
    void HandleFrame(const sSerialFrame& frame);
    static bool IsDeviceLostError(QSerialPort::SerialPortError error);

    const cSerialPortList* mPortList;
    const sSerialLinkTimings mTimings;
    QSerialPort* mPort;
    mutable QMutex mListMutex; // the device-port list
    QList<sSerialPortDescription> mDevicePorts;
    QMutex mPortMutex; // the port, the frame buffer and the parser
    std::array<UBYTE, nSerialProtocol::FRAME_BUFFER_SIZE> mFrameBuffer{};
    cSerialFrameParser mParser;
    sSerialFrame mFrame;
    cSerialDeviceData mData;
    QSerialPort::SerialPortError mOpenError = QSerialPort::NoError;
    qint64 mLastWritten = 0;
    qint64 mLastRead = 0;
    std::atomic<quint64> mBytesWritten{0};
    std::atomic<quint64> mBytesRead{0};
    std::atomic<quint64> mFramesWritten{0};
    std::atomic<quint64> mRepliesHandled{0};
    std::atomic<quint64> mBadFrames{0};
    std::atomic<quint64> mWrongLengthReplies{0};
};
