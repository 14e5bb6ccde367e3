#include "tests/qml/Tabs/support/sSentFilterRecord.h"

namespace
{

constexpr int kCoefficientBytes = 20;
constexpr int kPayloadBytes = 4 + kCoefficientBytes + 9;

std::uint32_t Load(const QByteArray& bytes, int offset, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
    {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    }
    return value;
}

} // namespace

bool sSentFilterRecord::Decode(const QByteArray& payload, sSentFilterRecord& record)
{
    if (payload.size() != kPayloadBytes)
    {
        return false;
    }
    record.mId = Load(payload, 0, 4);
    for (int i = 0; i < 5; ++i)
    {
        record.mWords[size_t(i)] = static_cast<std::int32_t>(Load(payload, 4 + 4 * i, 4));
    }
    const int tail = 4 + kCoefficientBytes;
    record.mFrequencyCode = static_cast<std::uint16_t>(Load(payload, tail, 2));
    record.mWidthCode = static_cast<std::uint16_t>(Load(payload, tail + 2, 2));
    record.mGainCode = static_cast<std::uint16_t>(Load(payload, tail + 4, 2));
    record.mType = static_cast<std::uint8_t>(payload[tail + 6]);
    record.mOption = static_cast<std::uint8_t>(payload[tail + 7]);
    record.mBypass = static_cast<std::uint8_t>(payload[tail + 8]);
    return true;
}

QList<sSentFilterRecord> sSentFilterRecord::Received(const cSimulatedDevice& device)
{
    QList<sSentFilterRecord> records;
    const QList<cSimulatedDevice::sReceivedFrame> frames = device.Frames();
    for (const cSimulatedDevice::sReceivedFrame& frame : frames)
    {
        sSentFilterRecord record;
        if (frame.mCommand == 2 && frame.mWellFormed && Decode(frame.mPayload, record))
        {
            records.append(record);
        }
    }
    return records;
}

bool sSentFilterRecord::LastWithId(const QList<sSentFilterRecord>& records, std::uint32_t id,
                                   sSentFilterRecord& record)
{
    for (auto it = records.crbegin(); it != records.crend(); ++it)
    {
        if (it->mId == id)
        {
            record = *it;
            return true;
        }
    }
    return false;
}
