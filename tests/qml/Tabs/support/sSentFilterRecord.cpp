#include "tests/qml/Tabs/support/sSentFilterRecord.h"

#include <QtEndian>

namespace
{

constexpr int kCoefficientBytes = 20;
constexpr int kPayloadBytes = 4 + kCoefficientBytes + 9;

} // namespace

bool sSentFilterRecord::Decode(const QByteArray& payload, sSentFilterRecord& record)
{
    std::uint32_t id = 0;
    cSimulatedDeviceModel::sFilterRecord decoded;
    if (payload.size() != kPayloadBytes || !cSimulatedDeviceModel::DecodeFilter(payload, id, decoded))
    {
        return false;
    }
    record.mId = id;
    for (int i = 0; i < 5; ++i)
    {
        record.mWords[size_t(i)] = qFromLittleEndian<qint32>(decoded.mCoefficients.constData() + 4 * i);
    }
    record.mFrequencyCode = decoded.mFrequencyCode;
    record.mWidthCode = decoded.mWidthCode;
    record.mGainCode = decoded.mGainCode;
    record.mType = static_cast<std::uint8_t>(decoded.mFilterType);
    record.mOption = static_cast<std::uint8_t>(decoded.mBandOption);
    record.mBypass = static_cast<std::uint8_t>(decoded.mBypass);
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
