#include "KVNet/QT/Connections/cConnectionBaseQt.h"

#include "KVNet/Core/KVNetFrames.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/KVNetReceivedMessage.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cConnectionBaseQt::cConnectionBaseQt(UWORD connectionId, ULONG connectionSerial)
    : mConnectionSerial(connectionSerial)
{
    mConnectionId = connectionId;
    connect(this, &cConnectionBaseQt::Send, this, &cConnectionBaseQt::Transmit, Qt::QueuedConnection);
    mResumeTimer.setSingleShot(true);
    mResumeTimer.setInterval(RESUME_READING_MS);
    connect(&mResumeTimer, &QTimer::timeout, this, [this] { ResumeReading(); });
}

cConnectionBaseQt::~cConnectionBaseQt() = default;

bool cConnectionBaseQt::EnqueueMessage(const cKVNetMessage& message, bool useV2)
{
    const ULONG size = message.GetLength() + (useV2 ? nKVNetFrame::V2_OVERHEAD : nKVNetFrame::V1_OVERHEAD);
    QByteArray frame(int(size), Qt::Uninitialized);
    UBYTE* buffer = reinterpret_cast<UBYTE*>(frame.data());
    if (useV2)
    {
        BuildFrameV2(message, buffer);
    }
    else
    {
        BuildFrameV1(message, buffer);
    }
    return Enqueue(frame);
}

bool cConnectionBaseQt::EnqueueUtilMessage(const UBYTE* data, UWORD length)
{
    QByteArray frame(int(length + nKVNetFrame::UTIL_OVERHEAD), Qt::Uninitialized);
    BuildUtilFrame(data, length, reinterpret_cast<UBYTE*>(frame.data()));
    return Enqueue(frame);
}

bool cConnectionBaseQt::Enqueue(QByteArray frame)
{
    bool emitSend = false;
    {
        std::lock_guard<std::mutex> lock(mQueueMutex);
        const ULONG size = ULONG(frame.size());
        if (mQueuedBytes + size > MAX_QUEUED_BYTES)
        {
            if (!mOverflowReported)
            {
                mOverflowReported = true;
                KV_REPORT_ERROR("Transmit queue of connection %d is full (%lu bytes): frames dropped",
                                int(mConnectionId), static_cast<unsigned long>(mQueuedBytes));
            }
            return false;
        }
        mQueue.append(frame);
        mQueuedBytes += size;
        if (!mSendPending)
        {
            mSendPending = true;
            emitSend = true;
        }
    }
    if (emitSend)
    {
        emit Send();
    }
    return true;
}

ULONG cConnectionBaseQt::GetQueuedBytes() const
{
    std::lock_guard<std::mutex> lock(mQueueMutex);
    return mQueuedBytes;
}

int cConnectionBaseQt::GetQueuedFrames() const
{
    std::lock_guard<std::mutex> lock(mQueueMutex);
    return mQueue.size();
}

std::unique_lock<std::mutex> cConnectionBaseQt::LockQueue()
{
    return std::unique_lock<std::mutex>(mQueueMutex);
}

void cConnectionBaseQt::BeginTransmit()
{
    mSendPending = false;
}

bool cConnectionBaseQt::DequeueFrame(QByteArray& frame)
{
    if (mQueue.isEmpty())
    {
        return false;
    }
    frame = mQueue.takeFirst();
    mQueuedBytes -= ULONG(frame.size());
    if (mQueue.isEmpty())
    {
        mOverflowReported = false;
    }
    return true;
}

void cConnectionBaseQt::RequeueFrontFrame(const QByteArray& frame)
{
    mQueue.prepend(frame);
    mQueuedBytes += ULONG(frame.size());
}

void cConnectionBaseQt::KVNetMessageReceived(cKVNetMessage& message)
{
    if (!AcceptsReceivedMessages())
    {
        return;
    }
    if (!PrepareReceivedMessage(message, mConnectionId, mConnectionSerial))
    {
        return;
    }
    if (cRegistryRouter* router = gRegistryRouter)
    {
        router->AddMessage(message);
    }
}

bool cConnectionBaseQt::PauseReadingForRouterBacklog()
{
    cRegistryRouter* router = gRegistryRouter;
    ULONG messages = 0;
    ULONG bytes = 0;
    if (router != nullptr)
    {
        router->GetBufferedFromConnection(mConnectionId, messages, bytes);
    }
    if (messages < MAX_ROUTER_MESSAGES && bytes < MAX_ROUTER_BYTES)
    {
        mReadingPaused = false;
        return false;
    }
    if (!mReadingPaused)
    {
        mReadingPaused = true;
        ++mReadingPauses;
        ++mPausesNotReported;
        if (!mSincePauseReport.isValid() || mSincePauseReport.elapsed() >= 1000)
        {
            KV_REPORT_ERROR(
                "Connection %d has %lu messages (%lu bytes) waiting in the router: reading paused "
                "(%lu times since the last report)",
                int(mConnectionId), static_cast<unsigned long>(messages), static_cast<unsigned long>(bytes),
                static_cast<unsigned long>(mPausesNotReported));
            mPausesNotReported = 0;
            mSincePauseReport.start();
        }
    }
    if (!mResumeTimer.isActive())
    {
        mResumeTimer.start();
    }
    return true;
}
