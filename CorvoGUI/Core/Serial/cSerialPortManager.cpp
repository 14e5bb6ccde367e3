#include "CorvoGUI/Core/Serial/cSerialPortManager.h"

#include "KVNet/Core/KVByteOrder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstring>

using namespace nSerialProtocol;
using nKVByteOrder::StoreLittle16;
using nKVByteOrder::StoreLittle32;

cSerialPortManager::cSerialPortManager(const cSerialPortList* portList, const sSerialLinkTimings& timings,
                                       QObject* parent)
    : QObject(parent)
    , mPortList(portList)
    , mTimings(timings)
    , mPort(new QSerialPort(this))
{
    mFrameBuffer[0] = PREAMBLE_0;
    mFrameBuffer[1] = PREAMBLE_1;
    mFrameBuffer[2] = PREAMBLE_2;
    mData.Reset(false);
    FindDevicePort();
}

cSerialPortManager::~cSerialPortManager()
{
    ClosePort();
}

bool cSerialPortManager::IsDevicePort(const sSerialPortDescription& port)
{
    if (!port.mHasVendorIdentifier || port.mVendorIdentifier != 0x0483)
    {
        return false;
    }
    if (port.mDescription != QLatin1String("USB Serial Device") &&
        port.mDescription != QLatin1String("Tabbet Audio - Corvo"))
    {
        return false;
    }
    return port.mHasProductIdentifier &&
           (port.mProductIdentifier == 0x5740 || port.mProductIdentifier == 0xA44B);
}

void cSerialPortManager::FindDevicePort()
{
    QList<sSerialPortDescription> found;
    if (mPortList != nullptr)
    {
        const QList<sSerialPortDescription> available = mPortList->AvailablePorts();
        for (const sSerialPortDescription& port : available)
        {
            if (IsDevicePort(port))
            {
                found.append(port);
            }
        }
    }
    std::lock_guard<std::mutex> lock(mListMutex);
    mDevicePorts = found;
}

QStringList cSerialPortManager::GetDevicePortNames() const
{
    std::lock_guard<std::mutex> lock(mListMutex);
    QStringList names;
    for (const sSerialPortDescription& port : mDevicePorts)
    {
        names.append(port.mPortName);
    }
    return names;
}

bool cSerialPortManager::AutoConnectPort(const char* portName)
{
    sSerialPortDescription chosen;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(mListMutex);
        for (const sSerialPortDescription& port : mDevicePorts)
        {
            if (portName == nullptr || port.mPortName == QString::fromUtf8(portName))
            {
                chosen = port;
                found = true;
                break;
            }
        }
    }
    if (!found)
    {
        // Nothing was opened: "Failed opening port" is kept for an open that was tried.
        mOpenError = QSerialPort::DeviceNotFoundError;
        if (portName == nullptr)
        {
            KV_REPORT_ERROR("No device port to open");
        }
        else
        {
            KV_REPORT_ERROR("\"%s\" is not a device port", portName);
        }
        return false;
    }

    std::lock_guard<std::mutex> lock(mPortMutex);
    if (mPort->isOpen())
    {
        CloseLocked();
    }
    mPort->clearError();
    mPort->setPortName(chosen.mPortName);
    mPort->setBaudRate(BAUD_RATE, QSerialPort::AllDirections);
    mPort->setDataBits(QSerialPort::Data8);
    mPort->setParity(QSerialPort::NoParity);
    mPort->setStopBits(QSerialPort::OneStop);
    mPort->setFlowControl(QSerialPort::NoFlowControl);
    mPort->setReadBufferSize(READ_BUFFER_SIZE);
    const bool opened = mPort->open(QIODevice::ReadWrite);
    mParser.Reset();
    mLossDetector.Reset();
    mDropping = false;
    // As the serial port names its device file.
    const QString& name = chosen.mPortName;
    mPortLocation =
        name.startsWith('/') || name.startsWith(QLatin1String("./")) || name.startsWith(QLatin1String("../"))
            ? name
            : QStringLiteral("/dev/") + name;
    if (opened)
    {
        KV_REPORT_NOTIFICATION("Succeeded opening port");
        mPort->clear(QSerialPort::AllDirections);
        mOpenError = QSerialPort::NoError;
    }
    else
    {
        KV_REPORT_NOTIFICATION("Failed opening port");
        mOpenError = mPort->error();
    }
    mData.Reset(opened);
    return opened;
}

void cSerialPortManager::ClosePort()
{
    std::lock_guard<std::mutex> lock(mPortMutex);
    CloseLocked();
}

void cSerialPortManager::CloseLocked()
{
    if (mPort->isOpen())
    {
        // What is still to be written (a disconnect command) is dropped only when the device is
        // gone; a read error that a busy machine gives now and then must not lose it.
        const QSerialPort::SerialPortError error = mPort->error();
        ErrorCheck();
        if (cSerialLossDetector::MeansDeviceGone(error))
        {
            mPort->clear(QSerialPort::AllDirections);
        }
        else
        {
            mPort->waitForBytesWritten(mTimings.mWriteWaitMs);
        }
        mPort->close();
    }
    mParser.Reset();
    mData.Reset(false);
}

bool cSerialPortManager::IsPortOpen() const
{
    return mPort->isOpen();
}

void cSerialPortManager::WriteToPort(const char* data, int length)
{
    if (!mPort->isOpen())
    {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mPortMutex);
        mLastWritten = mPort->write(data, length);
        mPort->waitForBytesWritten(mTimings.mWriteWaitMs);
        if (mLastWritten == -1)
        {
            KV_REPORT_ERROR("Failed to write to port");
            ErrorCheck();
        }
        else
        {
            mBytesWritten += static_cast<quint64>(mLastWritten);
            ++mFramesWritten;
        }
        mPort->flush();
    }
    if (mTimings.mWritePauseUs > 0)
    {
        QThread::usleep(static_cast<unsigned long>(mTimings.mWritePauseUs));
    }
}

void cSerialPortManager::WriteToPort(const QByteArray& data)
{
    if (!mPort->isOpen())
    {
        return;
    }
    std::lock_guard<std::mutex> lock(mPortMutex);
    mLastWritten = mPort->write(data);
    mPort->waitForBytesWritten(mTimings.mWriteWaitMs);
    if (mLastWritten < data.size())
    {
        KV_REPORT_ERROR("Failed to write all requested data to port");
        ErrorCheck();
    }
    if (mLastWritten > 0)
    {
        mBytesWritten += static_cast<quint64>(mLastWritten);
        ++mFramesWritten;
    }
    mPort->flush();
}

qint64 cSerialPortManager::ReadFromPort(char* buffer, int length)
{
    std::lock_guard<std::mutex> lock(mPortMutex);
    mLastRead = mPort->read(buffer, length);
    if (mLastRead == -1)
    {
        KV_REPORT_ERROR("Error reading from port");
    }
    else
    {
        mBytesRead += static_cast<quint64>(mLastRead);
    }
    return mLastRead;
}

bool cSerialPortManager::ErrorCheck()
{
    const QSerialPort::SerialPortError error = mPort->error();
    if (error == QSerialPort::NoError)
    {
        return false;
    }
    KV_REPORT_ERROR("Serial error occurred: %d", static_cast<int>(error));
    return true;
}

QSerialPort::SerialPortError cSerialPortManager::GetPortError() const
{
    return mPort->error();
}

bool cSerialPortManager::PortLocationExists() const
{
    return QFileInfo::exists(mPortLocation);
}

void cSerialPortManager::PullInput()
{
    // Moves what the system holds into the port's buffer (up to its size) without waiting, so
    // replies are taken whether or not this thread's event loop has run since they arrived.
    std::lock_guard<std::mutex> lock(mPortMutex);
    mPort->waitForReadyRead(0);
    if (mPort->error() == QSerialPort::TimeoutError)
    {
        mPort->clearError();
    }
}

qint64 cSerialPortManager::HandleInput()
{
    const quint64 held = static_cast<quint64>(mPort->bytesAvailable() + mParser.Pending());
    if (held > mLargestBytesHeld.load())
    {
        mLargestBytesHeld = held;
    }
    std::array<char, cSerialFrameParser::CAPACITY> chunk;
    qint64 taken = 0;
    while (taken < INPUT_BYTES_PER_TICK && mPort->bytesAvailable() > 0)
    {
        const qint64 wanted = std::min<qint64>(
            {qint64(mParser.FreeSpace()), mPort->bytesAvailable(), qint64(INPUT_BYTES_PER_TICK) - taken});
        const qint64 got = wanted > 0 ? ReadFromPort(chunk.data(), static_cast<int>(wanted)) : 0;
        if (got <= 0)
        {
            break;
        }
        taken += got;
        mParser.Feed(reinterpret_cast<const UBYTE*>(chunk.data()), static_cast<int>(got));
        HandleFrames();
    }
    HandleFrames();
    const bool dropped = DropInputBeyondBudget();
    if (dropped && !mDropping)
    {
        KV_REPORT_ERROR("Serial input beyond what the link can use dropped: the device sends more than the "
                        "line carries");
    }
    mDropping = dropped;
    return taken;
}

void cSerialPortManager::HandleFrames()
{
    for (;;)
    {
        const cSerialFrameParser::eResult result = mParser.Next(mFrame);
        if (result == cSerialFrameParser::PARSE_INCOMPLETE)
        {
            return;
        }
        if (result == cSerialFrameParser::PARSE_BAD)
        {
            ++mBadFrames;
            KV_REPORT_ERROR("Serial reply discarded (%s): %d bytes",
                            cSerialFrameParser::BadReasonText(mParser.LastBadReason()),
                            mParser.LastDiscarded());
            continue;
        }
        HandleFrame(mFrame);
    }
}

bool cSerialPortManager::DropInputBeyondBudget()
{
    const qint64 left = mPort->bytesAvailable();
    if (left <= 0)
    {
        return false;
    }
    // The device sends more than the line carries: the rest of this tick's input, and the frame
    // it cuts, are dropped.
    const qint64 dropped = left + mParser.Pending();
    {
        std::lock_guard<std::mutex> lock(mPortMutex);
        mPort->skip(left);
    }
    mParser.Reset();
    mBytesDropped += static_cast<quint64>(dropped);
    return true;
}

bool cSerialPortManager::ProcessReply()
{
    if (!mPort->isOpen())
    {
        return true;
    }
    PullInput();
    const QSerialPort::SerialPortError error = mPort->error();
    const qint64 taken = HandleInput();
    if (mLossDetector.Observe(error, taken, [this] { return PortLocationExists(); }))
    {
        ErrorCheck();
        return false;
    }
    if (error != QSerialPort::NoError)
    {
        ErrorCheck();
        mPort->clearError();
    }
    return true;
}

void cSerialPortManager::HandleFrame(const sSerialFrame& frame)
{
    ++mRepliesHandled;
    if (mData.HandleReply(frame) == cSerialDeviceData::REPLY_WRONG_LENGTH)
    {
        ++mWrongLengthReplies;
        KV_REPORT_ERROR("Serial reply %d ignored: payload length %lu is wrong",
                        static_cast<int>(frame.mCommand), static_cast<unsigned long>(frame.mLength));
    }
}

void cSerialPortManager::SendFrame(UBYTE command, int payloadLength)
{
    mFrameBuffer[3] = command;
    StoreLittle32(mFrameBuffer.data() + 4, static_cast<ULONG>(payloadLength));
    WriteToPort(reinterpret_cast<const char*>(mFrameBuffer.data()), HEADER_SIZE + payloadLength);
}

void cSerialPortManager::SendVersionRequest()
{
    SendFrame(CMD_VERSION, 0);
}

void cSerialPortManager::SendCommand1Request()
{
    SendFrame(CMD_COMMAND1, 0);
}

void cSerialPortManager::SendFilter(ULONG filterId, const UBYTE* coefficients, UBYTE coefficientBytes,
                                    UWORD frequencyCode, UWORD widthCode, UWORD gainCode, UBYTE filterType,
                                    UBYTE bandOption, UBYTE bypass)
{
    if (coefficients == nullptr && coefficientBytes > 0)
    {
        KV_REPORT_ERROR("Filter %lu has no coefficients", static_cast<unsigned long>(filterId));
        return;
    }
    UBYTE* p = mFrameBuffer.data() + HEADER_SIZE;
    StoreLittle32(p, filterId);
    p += 4;
    if (coefficientBytes > 0)
    {
        std::memcpy(p, coefficients, coefficientBytes);
    }
    p += coefficientBytes;
    StoreLittle16(p, frequencyCode);
    StoreLittle16(p + 2, widthCode);
    StoreLittle16(p + 4, gainCode);
    p[6] = filterType;
    p[7] = bandOption;
    p[8] = bypass;
    SendFrame(CMD_FILTER, coefficientBytes + FILTER_RECORD_FIXED_SIZE);
}

void cSerialPortManager::SendFilterWords(ULONG word0, ULONG word1)
{
    StoreLittle32(mFrameBuffer.data() + HEADER_SIZE, word0);
    StoreLittle32(mFrameBuffer.data() + HEADER_SIZE + 4, word1);
    SendFrame(CMD_FILTER, 8);
}

void cSerialPortManager::RequestFilterTable()
{
    SendFrame(CMD_FILTER_TABLE, 0);
    mData.SetRequestOutstanding(true);
}

void cSerialPortManager::SendControlStrip(ULONG stripIndex, ULONG linearGain, UWORD gainCode, UBYTE polarity,
                                          UBYTE mute)
{
    UBYTE* p = mFrameBuffer.data() + HEADER_SIZE;
    StoreLittle32(p, stripIndex);
    StoreLittle32(p + 4, linearGain);
    StoreLittle32(p + 8, gainCode);
    StoreLittle32(p + 12, polarity != 0 ? 1 : 0);
    StoreLittle32(p + 16, mute != 0 ? 1 : 0);
    SendFrame(CMD_CONTROL_STRIP, 20);
}

void cSerialPortManager::RequestControlStrips()
{
    SendFrame(CMD_CONTROL_STRIPS, 0);
    mData.SetRequestOutstanding(true);
}

void cSerialPortManager::SendDelay(ULONG channel, ULONG samples)
{
    StoreLittle32(mFrameBuffer.data() + HEADER_SIZE, channel);
    StoreLittle32(mFrameBuffer.data() + HEADER_SIZE + 4, samples);
    SendFrame(CMD_DELAY, 8);
}

void cSerialPortManager::RequestDelays()
{
    SendFrame(CMD_DELAYS, 0);
    mData.SetRequestOutstanding(true);
}

void cSerialPortManager::SendResetCommand()
{
    if (mPort->isOpen())
    {
        std::lock_guard<std::mutex> lock(mPortMutex);
        mPort->clear(QSerialPort::AllDirections);
    }
    SendFrame(CMD_RESET, 0);
    ClosePort();
}

void cSerialPortManager::SendDisconnect()
{
    SendFrame(CMD_DISCONNECT, 0);
}

void cSerialPortManager::PollMeters()
{
    if (!mPort->isOpen())
    {
        return;
    }
    if (!mData.IsPollOutstanding())
    {
        SendFrame(CMD_METERS, 0);
        mData.SetPollOutstanding(true);
        return;
    }
    mData.CountMeterWait(mTimings.mMeterWaitTicks, mTimings.mMissesForNoReply);
}

sSerialLinkStatistics cSerialPortManager::Statistics() const
{
    sSerialLinkStatistics statistics;
    statistics.mBytesWritten = mBytesWritten;
    statistics.mBytesRead = mBytesRead;
    statistics.mFramesWritten = mFramesWritten;
    statistics.mRepliesHandled = mRepliesHandled;
    statistics.mBadFrames = mBadFrames;
    statistics.mWrongLengthReplies = mWrongLengthReplies;
    statistics.mBytesDropped = mBytesDropped;
    statistics.mLargestBytesHeld = mLargestBytesHeld;
    return statistics;
}
