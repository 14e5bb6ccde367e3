#include "tests/simulator/cSimulatedDevice.h"

#include <QElapsedTimer>
#include <QThread>

namespace
{

constexpr int kHeaderSize = 8;
constexpr int kMaxPayload = 512;
constexpr int kOverlongLength = 600;

void Append32(QByteArray& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
    {
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::uint32_t Load32(const QByteArray& bytes, int offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
    {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    }
    return value;
}

} // namespace

QByteArray cSimulatedDevice::Frame(std::uint8_t command, const QByteArray& payload)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(0xA5));
    bytes.append(static_cast<char>(0xA5));
    bytes.append('\0');
    bytes.append(static_cast<char>(command));
    Append32(bytes, static_cast<std::uint32_t>(payload.size()));
    bytes.append(payload);
    return bytes;
}

bool cSimulatedDevice::Open(const QString& linkPath)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLinkPath = linkPath;
    mInput.clear();
    mOutput.clear();
    return mPty.Open(linkPath);
}

void cSimulatedDevice::Vanish()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPty.Close();
    mInput.clear();
    mOutput.clear();
}

bool cSimulatedDevice::Reappear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mInput.clear();
    mOutput.clear();
    return mPty.Open(mLinkPath);
}

bool cSimulatedDevice::IsOpen() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPty.IsOpen();
}

QString cSimulatedDevice::PortPath() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPty.PortPath();
}

QString cSimulatedDevice::SlavePath() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPty.SlavePath();
}

bool cSimulatedDevice::Step(std::uint64_t hostBytesWritten, int timeoutMs, bool waitForDelivery)
{
    std::lock_guard<std::mutex> lock(mMutex);
    QElapsedTimer clock;
    clock.start();
    bool ok = true;
    ReceiveLocked();
    while (mBytesReceived < hostBytesWritten && mPty.IsOpen())
    {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
        {
            ok = false;
            break;
        }
        mPty.WaitReadable(static_cast<int>(left));
        ReceiveLocked();
    }
    ParseLocked();
    const int queuedBefore = mPty.SlaveInputQueued();
    const int written = FlushDueLocked();
    // The pty hands written bytes to the slave asynchronously; wait until they are readable
    // there (or the slave's input queue is full).
    const int target = queuedBefore + written;
    while (waitForDelivery && written > 0 && mPty.IsOpen() && mPty.SlaveInputQueued() < target &&
           mPty.SlaveInputQueued() < 4000)
    {
        if (clock.elapsed() > timeoutMs)
        {
            ok = false;
            break;
        }
        QThread::usleep(50);
    }
    ++mTick;
    return ok;
}

void cSimulatedDevice::Service()
{
    std::lock_guard<std::mutex> lock(mMutex);
    ReceiveLocked();
    ParseLocked();
    FlushDueLocked();
    ++mTick;
}

bool cSimulatedDevice::WaitForInput(int timeoutMs)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPty.WaitReadable(timeoutMs);
}

int cSimulatedDevice::Tick() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTick;
}

void cSimulatedDevice::ReceiveLocked()
{
    char buffer[4096];
    for (;;)
    {
        const int got = mPty.Read(buffer, sizeof buffer);
        if (got <= 0)
        {
            return;
        }
        mInput.append(buffer, got);
        mBytesReceived += static_cast<std::uint64_t>(got);
    }
}

bool cSimulatedDevice::WellFormed(std::uint8_t command, int length)
{
    switch (command)
    {
    case 0:
    case 1:
    case 3:
    case 4:
    case 7:
    case 9:
    case 14:
    case 15:
        return length == 0;
    case 2:
        return length == 8 || length >= 13;
    case 6:
        return length == 20;
    case 8:
        return length == 8;
    default:
        return false;
    }
}

void cSimulatedDevice::ParseLocked()
{
    for (;;)
    {
        int start = -1;
        for (int i = 0; i + 2 < mInput.size(); ++i)
        {
            if (static_cast<std::uint8_t>(mInput[i]) == 0xA5 &&
                static_cast<std::uint8_t>(mInput[i + 1]) == 0xA5 && mInput[i + 2] == '\0')
            {
                start = i;
                break;
            }
        }
        if (start < 0)
        {
            // Keep a possible preamble start at the end.
            const int keep = qMin(2, mInput.size());
            mGarbage += mInput.size() - keep;
            mInput.remove(0, mInput.size() - keep);
            return;
        }
        mGarbage += start;
        mInput.remove(0, start);
        if (mInput.size() < kHeaderSize)
        {
            return;
        }
        const std::uint32_t length = Load32(mInput, 4);
        if (length > static_cast<std::uint32_t>(kMaxPayload))
        {
            ++mMalformed;
            mInput.remove(0, 1);
            continue;
        }
        if (mInput.size() < kHeaderSize + static_cast<int>(length))
        {
            return;
        }
        sReceivedFrame frame;
        frame.mTick = mTick;
        frame.mCommand = static_cast<std::uint8_t>(mInput[3]);
        frame.mBytes = mInput.left(kHeaderSize + static_cast<int>(length));
        frame.mPayload = frame.mBytes.mid(kHeaderSize);
        frame.mWellFormed = WellFormed(frame.mCommand, static_cast<int>(length));
        mInput.remove(0, frame.mBytes.size());
        if (!frame.mWellFormed)
        {
            ++mMalformed;
        }
        mFrames.append(frame);
        HandleLocked(frame);
    }
}

void cSimulatedDevice::HandleLocked(const sReceivedFrame& frame)
{
    if (!frame.mWellFormed)
    {
        return;
    }
    switch (frame.mCommand)
    {
    case 0:
        ReplyLocked(0, mModel.VersionPayload());
        break;
    case 1:
        ReplyLocked(1, QByteArray(1, static_cast<char>(mModel.mCommand1Byte)));
        break;
    case 2:
        if (frame.mPayload.size() == 8 || mModel.ApplyFilter(frame.mPayload))
        {
            if (mAcknowledge)
            {
                ReplyLocked(2, QByteArray());
            }
        }
        break;
    case 3:
        for (int i = 0; i < cSimulatedDeviceModel::FILTER_RECORDS; ++i)
        {
            if (i != mDroppedFilterRecord)
            {
                ReplyLocked(3, mModel.FilterRecordPayload(i));
            }
        }
        break;
    case 4:
        ReplyLocked(4, mModel.MeterPayload());
        break;
    case 6:
        if (mModel.ApplyControlStrip(frame.mPayload) && mAcknowledge)
        {
            ReplyLocked(6, QByteArray());
        }
        break;
    case 7:
        ReplyLocked(7, mModel.ControlStripsPayload());
        break;
    case 8:
        if (mModel.ApplyDelay(frame.mPayload) && mAcknowledge)
        {
            ReplyLocked(8, QByteArray());
        }
        break;
    case 9:
        ReplyLocked(9, mModel.DelaysPayload());
        break;
    default: // 14 reset and 15 disconnect have no answer
        break;
    }
}

void cSimulatedDevice::ReplyLocked(std::uint8_t command, const QByteArray& payload)
{
    if (mSilent)
    {
        return;
    }
    QByteArray bytes;
    if (mFault != FAULT_NONE && mFaultCommand == command)
    {
        if (mFault == FAULT_OVERLONG_LENGTH)
        {
            QByteArray padded = payload;
            padded.append(QByteArray(kOverlongLength - payload.size(), '\0'));
            bytes = Frame(command, padded);
        }
        else
        {
            bytes =
                Frame(command, payload.isEmpty() ? QByteArray(1, '\0') : payload.left(payload.size() - 1));
        }
        mFault = FAULT_NONE;
    }
    else
    {
        bytes = Frame(command, payload);
    }
    if (!mGarbageBeforeReply.isEmpty())
    {
        bytes.prepend(mGarbageBeforeReply);
        mGarbageBeforeReply.clear();
    }
    // The line keeps its order: nothing overtakes output already waiting (the rest of a split).
    const int due = qMax(mTick + mReplyDelay, mOutput.isEmpty() ? 0 : mOutput.last().mDueTick);
    if (mSplitOffset >= 0 && mSplitOffset < bytes.size())
    {
        mOutput.append({due, bytes.left(mSplitOffset)});
        mOutput.append({due + 1, bytes.mid(mSplitOffset)});
        mSplitOffset = -1;
        return;
    }
    mOutput.append({due, bytes});
}

int cSimulatedDevice::FlushDueLocked()
{
    QByteArray due;
    while (!mOutput.isEmpty() && mOutput.first().mDueTick <= mTick)
    {
        due.append(mOutput.takeFirst().mBytes);
    }
    if (due.isEmpty() || !mPty.IsOpen())
    {
        return 0;
    }
    return mPty.Write(due.constData(), due.size()) ? due.size() : 0;
}

void cSimulatedDevice::SetReplyDelay(int ticks)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mReplyDelay = qMax(0, ticks);
}

void cSimulatedDevice::SetSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSilent = silent;
}

void cSimulatedDevice::SetAcknowledgeRecords(bool acknowledge)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mAcknowledge = acknowledge;
}

void cSimulatedDevice::InjectGarbageBeforeNextReply(const QByteArray& garbage)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mGarbageBeforeReply = garbage;
}

void cSimulatedDevice::SplitNextReply(int offset)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSplitOffset = offset;
}

void cSimulatedDevice::FaultNextReply(std::uint8_t command, eReplyFault fault)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaultCommand = command;
    mFault = fault;
}

void cSimulatedDevice::DropFilterRecord(int index)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mDroppedFilterRecord = index;
}

void cSimulatedDevice::WriteRaw(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mOutput.append({qMax(mTick, mOutput.isEmpty() ? 0 : mOutput.last().mDueTick), bytes});
}

int cSimulatedDevice::Flood(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPty.WriteAvailable(bytes.constData(), bytes.size());
}

cSimulatedDeviceModel cSimulatedDevice::ModelSnapshot() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mModel;
}

void cSimulatedDevice::UpdateModel(const std::function<void(cSimulatedDeviceModel&)>& change)
{
    std::lock_guard<std::mutex> lock(mMutex);
    change(mModel);
}

QList<cSimulatedDevice::sReceivedFrame> cSimulatedDevice::Frames() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    // A list of its own: a shared one would let the device's next append grow the block in place
    // once the caller's copy has gone, and Qt checks whether it is shared without ordering.
    QList<sReceivedFrame> frames;
    frames.reserve(mFrames.size());
    for (const sReceivedFrame& frame : mFrames)
    {
        frames.append(frame);
    }
    return frames;
}

QList<std::uint8_t> cSimulatedDevice::Commands() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    QList<std::uint8_t> commands;
    for (const sReceivedFrame& frame : mFrames)
    {
        commands.append(frame.mCommand);
    }
    return commands;
}

int cSimulatedDevice::CountFrames(std::uint8_t command) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int count = 0;
    for (const sReceivedFrame& frame : mFrames)
    {
        count += frame.mCommand == command ? 1 : 0;
    }
    return count;
}

void cSimulatedDevice::ClearLog()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFrames.clear();
}

int cSimulatedDevice::MalformedFrames() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mMalformed;
}

int cSimulatedDevice::GarbageBytes() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mGarbage;
}

std::uint64_t cSimulatedDevice::BytesReceived() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mBytesReceived;
}

void cSimulatedDevice::AlignReceivedCount(std::uint64_t hostBytesWritten)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mBytesReceived = hostBytesWritten;
}
