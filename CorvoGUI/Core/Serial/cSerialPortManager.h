#pragma once

#include "CorvoGUI/Core/Serial/SerialLinkTypes.h"
#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Serial/cSerialDeviceData.h"
#include "CorvoGUI/Core/Serial/cSerialFrameParser.h"
#include "CorvoGUI/Core/Serial/cSerialLossDetector.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QStringList>

#include <array>
#include <atomic>
#include <mutex>

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
//
// Bounds: the port buffers at most READ_BUFFER_SIZE bytes between ticks (the device waits beyond
// that), and a tick takes at most INPUT_BYTES_PER_TICK of them, more than twice what the line carries
// in a tick; input beyond that is more than the protocol can use and is dropped (counted in the
// statistics), with one report when a flood starts.
class cSerialPortManager : public QObject
{
    Q_OBJECT

public:
    // What the line carries in one 20 ms tick at 921600 baud, 10 bits a byte: 1,843 bytes.
    static constexpr int LINE_BYTES_PER_TICK = nSerialProtocol::BAUD_RATE / 10 / 50;
    // Input handled in one ProcessReply at most; a frame's bytes never pass the parser's capacity.
    static constexpr int INPUT_BYTES_PER_TICK = cSerialFrameParser::CAPACITY;
    // The port's read buffer.
    static constexpr qint64 READ_BUFFER_SIZE = 16384;

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

    // Takes what the port holds (INPUT_BYTES_PER_TICK at most; what is left beyond that is dropped
    // and reported) and handles every complete reply frame in it; a frame cut at the end waits for
    // the next call. False when the device is gone (cSerialLossDetector); the caller closes the
    // link. A read error that is not a loss is reported and cleared.
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
    // Moves what the system holds into the port's buffer without waiting.
    void PullInput();
    // Feeds the parser from the port's buffer and handles the frames, within the tick's input
    // budget; drops what is left beyond it. Returns the bytes taken.
    qint64 HandleInput();
    void HandleFrames();
    // True when there was input left to drop.
    bool DropInputBeyondBudget();
    void HandleFrame(const sSerialFrame& frame);
    bool PortLocationExists() const;

    const cSerialPortList* mPortList;
    const sSerialLinkTimings mTimings;
    QSerialPort* mPort;
    mutable std::mutex mListMutex; // the device-port list
    QList<sSerialPortDescription> mDevicePorts;
    std::mutex mPortMutex; // the port, the frame buffer and the parser
    std::array<UBYTE, nSerialProtocol::FRAME_BUFFER_SIZE> mFrameBuffer{};
    cSerialFrameParser mParser;
    sSerialFrame mFrame;
    cSerialDeviceData mData;
    QSerialPort::SerialPortError mOpenError = QSerialPort::NoError;
    QString mPortLocation; // the open port's path in the file system
    cSerialLossDetector mLossDetector;
    bool mDropping = false; // the last tick dropped input: a flood is said once, when it starts
    qint64 mLastWritten = 0;
    qint64 mLastRead = 0;
    std::atomic<quint64> mBytesWritten{0};
    std::atomic<quint64> mBytesRead{0};
    std::atomic<quint64> mFramesWritten{0};
    std::atomic<quint64> mRepliesHandled{0};
    std::atomic<quint64> mBadFrames{0};
    std::atomic<quint64> mWrongLengthReplies{0};
    std::atomic<quint64> mBytesDropped{0};
    std::atomic<quint64> mLargestBytesHeld{0};
};
