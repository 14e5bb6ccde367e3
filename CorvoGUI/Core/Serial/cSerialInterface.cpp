#include "CorvoGUI/Core/Serial/cSerialInterface.h"

#include "CorvoGUI/Core/Serial/cSerialPortManager.h"
#include "CorvoGUI/Core/Serial/cSystemSerialPortList.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QThread>

#include <cstring>

cSerialInterface::cSerialInterface(QObject* tickDriver, std::unique_ptr<cSerialPortList> portList,
                                   const sSerialLinkTimings& timings)
    : mPortList(portList ? std::move(portList) : std::make_unique<cSystemSerialPortList>())
    , mTimings(timings)
    , mManager(new cSerialPortManager(mPortList.get(), mTimings))
{
    QThread* tickThread = tickDriver != nullptr ? tickDriver->thread() : nullptr;
    if (tickThread != nullptr && tickThread != mManager->thread())
    {
        mManager->moveToThread(tickThread);
        // The port's notifiers belong to the tick thread: close the port there, as the thread
        // ends, rather than from the thread that deletes the interface later.
        cSerialPortManager* manager = mManager;
        QObject::connect(
            tickThread, &QThread::finished, mManager, [manager] { manager->ClosePort(); },
            Qt::DirectConnection);
    }
}

cSerialInterface::~cSerialInterface()
{
    // The tick thread's object may be gone already (the program deletes the tick driver first).
    QThread* tickThread = mManager->thread();
    if (tickThread != nullptr && tickThread != QThread::currentThread() && tickThread->isRunning())
    {
        QMetaObject::invokeMethod(
            mManager, [this] { mManager->ClosePort(); }, Qt::BlockingQueuedConnection);
    }
    delete mManager;
}

ULONG cSerialInterface::ErrorFromPortError(QSerialPort::SerialPortError error)
{
    switch (error)
    {
    case QSerialPort::DeviceNotFoundError:
        return ERROR_EVENT_DEVICE_NOT_FOUND;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return ERROR_EVENT_CONNECTION_FAILED_DEVICE_IN_USE;
    case QSerialPort::TimeoutError:
        return ERROR_EVENT_TIMEOUT_ERROR;
    default:
        return ERROR_EVENT_NONE;
    }
}

void cSerialInterface::Process()
{
    Q_ASSERT(QThread::currentThread() == mManager->thread());

    HandleRequest();

    if (GetState() == CONNECTION_STATE_IDLE)
    {
        return;
    }
    if (!mManager->IsPortOpen())
    {
        // The port closed under the session (a reset command).
        CloseLink(ERROR_EVENT_NONE);
        return;
    }
    if (!mManager->ProcessReply())
    {
        KV_REPORT_ERROR("Serial device lost");
        CloseLink(ERROR_EVENT_DEVICE_NOT_FOUND);
        return;
    }

    cSerialDeviceData& data = mManager->Data();
    switch (GetState())
    {
    case CONNECTION_STATE_PORT_OPEN:
        if (!data.HasVersion())
        {
            HandshakeTimedOut();
            return;
        }
        // Straight on to reading the device's state: the link runs (and says so) only after that.
        if (!DeviceStateRead(data))
        {
            SetState(CONNECTION_STATE_GETTING_SYNC);
            return;
        }
        SetState(CONNECTION_STATE_CONNECTED);
        break;
    case CONNECTION_STATE_CONNECTED:
        if (data.MissCount() >= mTimings.mMissesForNoReply)
        {
            KV_REPORT_ERROR("No reply from the serial device");
            SetState(CONNECTION_STATE_NO_REPLY);
            return;
        }
        if (!DeviceStateRead(data))
        {
            SetState(CONNECTION_STATE_GETTING_SYNC);
            return;
        }
        break;
    case CONNECTION_STATE_GETTING_SYNC:
        if (data.IsRequestOutstanding())
        {
            HandshakeTimedOut();
            return;
        }
        RestartHandshakeWait();
        if (!data.ControlStripsReceived())
        {
            mManager->RequestControlStrips();
        }
        else if (!data.DelaysReceived())
        {
            mManager->RequestDelays();
        }
        else if (!data.IsSetupComplete())
        {
            mManager->RequestFilterTable();
        }
        else
        {
            SetState(CONNECTION_STATE_SYNCING);
        }
        return;
    case CONNECTION_STATE_DISCONNECTING:
        break;
    default:
        return;
    }

    if (mManager->IsSetupComplete())
    {
        SendQueuedRecords();
    }
}

bool cSerialInterface::DeviceStateRead(const cSerialDeviceData& data)
{
    return data.ControlStripsReceived() && data.DelaysReceived() && data.IsSetupComplete();
}

void cSerialInterface::HandleRequest()
{
    sRequest request;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        request = mRequest;
    }
    if (!request.mPending)
    {
        return;
    }
    bool done = true;
    if (request.mConnect)
    {
        Connect(request.mPortName);
    }
    else
    {
        done = Disconnect();
    }
    if (done)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mRequest.mSerial == request.mSerial)
        {
            mRequest.mPending = false;
        }
    }
}

void cSerialInterface::Connect(const QByteArray& portName)
{
    ClearQueues();
    const bool opened = mManager->AutoConnectPort(portName.isEmpty() ? nullptr : portName.constData());
    if (opened)
    {
        SetState(CONNECTION_STATE_PORT_OPEN);
        mManager->SendVersionRequest();
        RestartHandshakeWait();
        // This tick's own reply check follows at once; it does not count as a tick of waiting.
        mHandshakeWaitTicks = -1;
        return;
    }
    const ULONG error = ErrorFromPortError(mManager->GetOpenError());
    if (error != ERROR_EVENT_NONE)
    {
        SetLastError(error);
    }
    if (!mManager->IsPortOpen())
    {
        // The open closed the port of an earlier session.
        SetState(CONNECTION_STATE_IDLE);
    }
}

bool cSerialInterface::Disconnect()
{
    const bool open = mManager->IsPortOpen();
    if (open && mManager->IsSetupComplete() && !QueuesEmpty())
    {
        SetState(CONNECTION_STATE_DISCONNECTING);
        return false;
    }
    ClearQueues();
    if (open)
    {
        mManager->SendDisconnect();
    }
    mManager->ClosePort();
    SetState(CONNECTION_STATE_IDLE);
    return true;
}

void cSerialInterface::SendQueuedRecords()
{
    mManager->PollMeters();

    sFilterSendRecord filter;
    sControlStripSendRecord strip;
    sDelaySendRecord delay;
    bool haveFilter = false;
    bool haveStrip = false;
    bool haveDelay = false;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        haveFilter = mFilterQueue.Take(filter);
        haveStrip = mControlStripQueue.Take(strip);
        haveDelay = mDelayQueue.Take(delay);
    }
    if (haveFilter)
    {
        mManager->SendFilter(filter.mFilterId, filter.mCoefficients.data(), filter.mCoefficientBytes,
                             filter.mFrequencyCode, filter.mWidthCode, filter.mGainCode, filter.mFilterType,
                             filter.mBandOption, filter.mBypass);
    }
    if (haveStrip)
    {
        mManager->SendControlStrip(strip.mStripIndex, strip.mLinearGain, strip.mGainCode, strip.mPolarity,
                                   strip.mMute);
    }
    if (haveDelay)
    {
        mManager->SendDelay(delay.mChannel, delay.mSamples);
    }
}

void cSerialInterface::RestartHandshakeWait()
{
    mHandshakeProgress = mManager->Data().HandshakeProgress();
    mHandshakeWaitTicks = 0;
}

bool cSerialInterface::HandshakeTimedOut()
{
    const quint64 progress = mManager->Data().HandshakeProgress();
    if (progress != mHandshakeProgress)
    {
        mHandshakeProgress = progress;
        mHandshakeWaitTicks = 0;
        return false;
    }
    if (mTimings.mHandshakeTimeoutTicks <= 0 || ++mHandshakeWaitTicks <= mTimings.mHandshakeTimeoutTicks)
    {
        return false;
    }
    KV_REPORT_ERROR("Serial device did not answer within %d ticks", mTimings.mHandshakeTimeoutTicks);
    mManager->SendDisconnect();
    CloseLink(ERROR_EVENT_TIMEOUT_ERROR);
    return true;
}

void cSerialInterface::CloseLink(ULONG error)
{
    ClearQueues();
    mManager->ClosePort();
    std::lock_guard<std::mutex> lock(mMutex);
    mState = CONNECTION_STATE_IDLE;
    if (error != ERROR_EVENT_NONE)
    {
        mLastError = error;
    }
}

void cSerialInterface::SetState(eConnectionState state)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mState = state;
}

void cSerialInterface::SetLastError(ULONG error)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLastError = error;
}

void cSerialInterface::ClearQueues()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFilterQueue.Clear();
    mControlStripQueue.Clear();
    mDelayQueue.Clear();
}

bool cSerialInterface::QueuesEmpty() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFilterQueue.IsEmpty() && mControlStripQueue.IsEmpty() && mDelayQueue.IsEmpty();
}

bool cSerialInterface::QueueFilter(ULONG filterId, const UBYTE* coefficients, UBYTE coefficientBytes,
                                   UWORD frequencyCode, UWORD widthCode, UWORD gainCode, UBYTE filterType,
                                   UBYTE bandOption, UBYTE bypass)
{
    if (coefficients == nullptr && coefficientBytes > 0)
    {
        KV_REPORT_ERROR("Filter %lu queued without coefficients", static_cast<unsigned long>(filterId));
        return false;
    }
    sFilterSendRecord record;
    record.mFilterId = filterId;
    if (coefficientBytes > 0)
    {
        std::memcpy(record.mCoefficients.data(), coefficients, coefficientBytes);
    }
    record.mCoefficientBytes = coefficientBytes;
    record.mFrequencyCode = frequencyCode;
    record.mWidthCode = widthCode;
    record.mGainCode = gainCode;
    record.mFilterType = filterType;
    record.mBandOption = bandOption;
    record.mBypass = bypass;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mState != CONNECTION_STATE_CONNECTED)
    {
        return false;
    }
    mFilterQueue.Offer(record);
    return true;
}

bool cSerialInterface::QueueControlStrip(ULONG stripIndex, ULONG linearGain, UWORD gainCode, UBYTE polarity,
                                         UBYTE mute)
{
    sControlStripSendRecord record;
    record.mStripIndex = stripIndex;
    record.mLinearGain = linearGain;
    record.mGainCode = gainCode;
    record.mPolarity = polarity;
    record.mMute = mute;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mState != CONNECTION_STATE_CONNECTED)
    {
        return false;
    }
    mControlStripQueue.Offer(record);
    return true;
}

bool cSerialInterface::QueueDelay(ULONG channel, ULONG samples)
{
    sDelaySendRecord record;
    record.mChannel = channel;
    record.mSamples = samples;
    std::lock_guard<std::mutex> lock(mMutex);
    if (mState != CONNECTION_STATE_CONNECTED)
    {
        return false;
    }
    mDelayQueue.Offer(record);
    return true;
}

void cSerialInterface::RequestConnect(const char* portName)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequest.mPending = true;
    mRequest.mConnect = true;
    mRequest.mPortName = portName != nullptr ? QByteArray(portName) : QByteArray();
    ++mRequest.mSerial;
}

void cSerialInterface::RequestDisconnect()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequest.mPending = true;
    mRequest.mConnect = false;
    mRequest.mPortName.clear();
    ++mRequest.mSerial;
}

void cSerialInterface::RefuseConnect(ULONG error)
{
    SetLastError(error);
}

bool cSerialInterface::SetRunning()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mState != CONNECTION_STATE_SYNCING)
    {
        return false;
    }
    mState = CONNECTION_STATE_CONNECTED;
    return true;
}

ULONG cSerialInterface::TakeLastError()
{
    std::lock_guard<std::mutex> lock(mMutex);
    const ULONG error = mLastError;
    mLastError = ERROR_EVENT_NONE;
    return error;
}

eConnectionState cSerialInterface::GetState() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mState;
}

bool cSerialInterface::GetMeterBlock(sMeterBlock& block) const
{
    return mManager->Data().GetMeterBlock(block);
}

bool cSerialInterface::GetMeterBlock(sMeterBlock& block, quint64& replyCount) const
{
    return mManager->Data().GetMeterBlock(block, replyCount);
}

bool cSerialInterface::GetFilterTable(sFilterTable& table) const
{
    return mManager->Data().GetFilterTable(table);
}

bool cSerialInterface::GetControlStripBlock(sControlStripBlock& block) const
{
    return mManager->Data().GetControlStripBlock(block);
}

bool cSerialInterface::GetDelayBlock(sDelayBlock& block) const
{
    return mManager->Data().GetDelayBlock(block);
}

QString cSerialInterface::GetVersionText() const
{
    return mManager->Data().GetVersionText();
}

void cSerialInterface::PollMeters()
{
    mManager->PollMeters();
}

QStringList cSerialInterface::GetPortList()
{
    mManager->FindDevicePort();
    return mManager->GetDevicePortNames();
}

sSerialLinkStatistics cSerialInterface::GetStatistics() const
{
    sSerialLinkStatistics statistics = mManager->Statistics();
    std::lock_guard<std::mutex> lock(mMutex);
    statistics.mLargestFilterQueue = mFilterQueue.LargestDepth();
    statistics.mLargestControlStripQueue = mControlStripQueue.LargestDepth();
    statistics.mLargestDelayQueue = mDelayQueue.LargestDepth();
    return statistics;
}

std::size_t cSerialInterface::QueuedRecords() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFilterQueue.Size() + mControlStripQueue.Size() + mDelayQueue.Size();
}
