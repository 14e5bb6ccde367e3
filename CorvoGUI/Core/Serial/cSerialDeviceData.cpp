#include "CorvoGUI/Core/Serial/cSerialDeviceData.h"

#include "KVNet/Core/KVByteOrder.h"

using namespace nSerialProtocol;
using nKVByteOrder::LoadLittle16;
using nKVByteOrder::LoadLittle32;

void cSerialDeviceData::Reset(bool linkOpen)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLinkOpen = linkOpen;
    mVersionText.clear();
    mCommand1Byte = 0;
    mMeterBlock.fill(0);
    mFilterTable.fill(sFilter());
    mFilterRecordCount = 0;
    mControlStrips.fill(sControlStripRecord());
    mDelays.fill(0);
    mControlStripsReceived = false;
    mDelaysReceived = false;
    mPollOutstanding = false;
    mRequestOutstanding = false;
    mMissCount = 0;
    mMeterWaitCount = 0;
}

cSerialDeviceData::eReplyResult cSerialDeviceData::HandleReply(const sSerialFrame& frame)
{
    if (!ReplyLengthValid(frame.mCommand, frame.mLength))
    {
        return REPLY_WRONG_LENGTH;
    }
    const UBYTE* p = frame.mPayload.data();
    std::lock_guard<std::mutex> lock(mMutex);
    switch (frame.mCommand)
    {
    case CMD_VERSION:
        mVersionText = QString::asprintf("V%d.%d", p[0], p[1]);
        ++mHandshakeProgress;
        return REPLY_STORED;
    case CMD_COMMAND1:
        mCommand1Byte = p[0];
        return REPLY_STORED;
    case CMD_FILTER_TABLE:
    {
        if (mFilterRecordCount >= FILTER_RECORDS)
        {
            return REPLY_IGNORED;
        }
        sFilter& record = mFilterTable[static_cast<size_t>(mFilterRecordCount)];
        record.mFrequencyCode = LoadLittle16(p);
        record.mWidthCode = LoadLittle16(p + 2);
        record.mGainCode = LoadLittle16(p + 4);
        record.mFilterType = LoadLittle16(p + 6);
        record.mBandOption = LoadLittle16(p + 8);
        record.mBypass = LoadLittle16(p + 10);
        ++mFilterRecordCount;
        if (mFilterRecordCount == FILTER_RECORDS)
        {
            mRequestOutstanding = false;
        }
        ++mHandshakeProgress;
        return REPLY_STORED;
    }
    case CMD_METERS:
        for (int i = 0; i < METERS; ++i)
        {
            mMeterBlock[static_cast<size_t>(i)] = LoadLittle32(p + 4 * i);
        }
        mPollOutstanding = false;
        mMissCount = 0;
        ++mMeterReplies;
        return REPLY_STORED;
    case CMD_CONTROL_STRIPS:
        for (int i = 0; i < CONTROL_STRIPS; ++i)
        {
            sControlStripRecord& record = mControlStrips[static_cast<size_t>(i)];
            record.mMute = LoadLittle16(p + 6 * i);
            record.mGainCode = static_cast<SWORD>(LoadLittle16(p + 6 * i + 2));
            record.mPolarity = LoadLittle16(p + 6 * i + 4);
        }
        mControlStripsReceived = true;
        mRequestOutstanding = false;
        ++mHandshakeProgress;
        return REPLY_STORED;
    case CMD_DELAYS:
        for (int i = 0; i < DELAY_CHANNELS; ++i)
        {
            mDelays[static_cast<size_t>(i)] = LoadLittle32(p + 4 * i);
        }
        mDelaysReceived = true;
        mRequestOutstanding = false;
        ++mHandshakeProgress;
        return REPLY_STORED;
    default:
        return REPLY_IGNORED;
    }
}

void cSerialDeviceData::SetRequestOutstanding(bool outstanding)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequestOutstanding = outstanding;
}

bool cSerialDeviceData::IsRequestOutstanding() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequestOutstanding;
}

void cSerialDeviceData::SetPollOutstanding(bool outstanding)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPollOutstanding = outstanding;
}

bool cSerialDeviceData::IsPollOutstanding() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPollOutstanding;
}

bool cSerialDeviceData::HasVersion() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return !mVersionText.isEmpty();
}

bool cSerialDeviceData::ControlStripsReceived() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mControlStripsReceived;
}

bool cSerialDeviceData::DelaysReceived() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mDelaysReceived;
}

int cSerialDeviceData::FilterRecordCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFilterRecordCount;
}

bool cSerialDeviceData::IsSetupComplete() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFilterRecordCount >= FILTER_RECORDS;
}

int cSerialDeviceData::MissCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mMissCount;
}

bool cSerialDeviceData::CountMeterWait(int waitLimit, int missLimit)
{
    std::lock_guard<std::mutex> lock(mMutex);
    const int taken = mMeterWaitCount++;
    if (taken <= waitLimit)
    {
        return false;
    }
    mPollOutstanding = false;
    mMeterWaitCount = 0;
    if (mMissCount < missLimit)
    {
        ++mMissCount;
    }
    return true;
}

quint64 cSerialDeviceData::HandshakeProgress() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mHandshakeProgress;
}

bool cSerialDeviceData::GetMeterBlock(sMeterBlock& block) const
{
    quint64 replyCount = 0;
    return GetMeterBlock(block, replyCount);
}

bool cSerialDeviceData::GetMeterBlock(sMeterBlock& block, quint64& replyCount) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mLinkOpen)
    {
        return false;
    }
    block = mMeterBlock;
    replyCount = mMeterReplies;
    return true;
}

bool cSerialDeviceData::GetFilterTable(sFilterTable& table) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mFilterRecordCount < FILTER_RECORDS)
    {
        return false;
    }
    table = mFilterTable;
    return true;
}

bool cSerialDeviceData::GetControlStripBlock(sControlStripBlock& block) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mControlStripsReceived)
    {
        return false;
    }
    block = mControlStrips;
    return true;
}

bool cSerialDeviceData::GetDelayBlock(sDelayBlock& block) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mDelaysReceived)
    {
        return false;
    }
    block = mDelays;
    return true;
}

QString cSerialDeviceData::GetVersionText() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mVersionText;
}

UBYTE cSerialDeviceData::GetCommand1Byte() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCommand1Byte;
}

bool cSerialDeviceData::IsLinkOpen() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLinkOpen;
}
