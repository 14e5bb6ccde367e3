#include "tests/simulator/cSimulatedDeviceModel.h"

namespace
{

constexpr int kSlotsPerChannel[cSimulatedDeviceModel::DELAY_CHANNELS] = {4, 4, 6, 6, 8, 8};
constexpr int kChannelBase[cSimulatedDeviceModel::DELAY_CHANNELS] = {0, 4, 8, 14, 20, 28};

std::uint16_t Load16(const QByteArray& bytes, int offset)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                      (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

std::uint32_t Load32(const QByteArray& bytes, int offset)
{
    return std::uint32_t(Load16(bytes, offset)) | (std::uint32_t(Load16(bytes, offset + 2)) << 16);
}

void Append16(QByteArray& bytes, std::uint16_t value)
{
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>(value >> 8));
}

void Append32(QByteArray& bytes, std::uint32_t value)
{
    Append16(bytes, static_cast<std::uint16_t>(value));
    Append16(bytes, static_cast<std::uint16_t>(value >> 16));
}

} // namespace

bool cSimulatedDeviceModel::sFilterRecord::operator==(const sFilterRecord& other) const
{
    return mFrequencyCode == other.mFrequencyCode && mWidthCode == other.mWidthCode &&
           mGainCode == other.mGainCode && mFilterType == other.mFilterType &&
           mBandOption == other.mBandOption && mBypass == other.mBypass &&
           mCoefficients == other.mCoefficients;
}

bool cSimulatedDeviceModel::sControlStrip::operator==(const sControlStrip& other) const
{
    return mLinearGain == other.mLinearGain && mGainCode == other.mGainCode && mPolarity == other.mPolarity &&
           mMute == other.mMute;
}

int cSimulatedDeviceModel::FilterIndex(std::uint32_t filterId)
{
    const std::uint32_t channel = filterId & 0xFF;
    const std::uint32_t slot = filterId >> 8;
    if (channel >= DELAY_CHANNELS || slot >= static_cast<std::uint32_t>(kSlotsPerChannel[channel]))
    {
        return -1;
    }
    return kChannelBase[channel] + static_cast<int>(slot);
}

std::uint32_t cSimulatedDeviceModel::FilterId(int channel, int slot)
{
    return (static_cast<std::uint32_t>(slot) << 8) | static_cast<std::uint32_t>(channel);
}

bool cSimulatedDeviceModel::SetFilterField(int channel, int slot, eFilterField field, std::uint16_t value)
{
    const int index = channel < 0 || slot < 0 ? -1 : FilterIndex(FilterId(channel, slot));
    if (index < 0)
    {
        return false;
    }
    sFilterRecord& record = mFilters[static_cast<size_t>(index)];
    switch (field)
    {
    case FILTER_FREQUENCY:
        record.mFrequencyCode = value;
        break;
    case FILTER_WIDTH:
        record.mWidthCode = value;
        break;
    case FILTER_GAIN:
        record.mGainCode = value;
        break;
    case FILTER_TYPE:
        record.mFilterType = value;
        break;
    case FILTER_OPTION:
        record.mBandOption = value;
        break;
    case FILTER_BYPASS:
        record.mBypass = value;
        break;
    }
    return true;
}

bool cSimulatedDeviceModel::SetStripField(int strip, eStripField field, std::uint16_t value)
{
    if (strip < 0 || strip >= CONTROL_STRIPS)
    {
        return false;
    }
    sControlStrip& record = mStrips[static_cast<size_t>(strip)];
    switch (field)
    {
    case STRIP_MUTE:
        record.mMute = value;
        break;
    case STRIP_GAIN:
        record.mGainCode = value;
        break;
    case STRIP_POLARITY:
        record.mPolarity = value;
        break;
    }
    return true;
}

cSimulatedDeviceModel::sFilterRecord cSimulatedDeviceModel::Filter(int channel, int slot) const
{
    const int index = channel < 0 || slot < 0 ? -1 : FilterIndex(FilterId(channel, slot));
    return index < 0 ? sFilterRecord() : mFilters[static_cast<size_t>(index)];
}

bool cSimulatedDeviceModel::DecodeFilter(const QByteArray& payload, std::uint32_t& filterId,
                                         sFilterRecord& record)
{
    // u32 id, n coefficient bytes, u16 frequency, u16 width, u16 gain, u8 type, u8 option, u8 bypass.
    if (payload.size() < 13)
    {
        return false;
    }
    filterId = Load32(payload, 0);
    const int n = payload.size() - 13;
    record.mCoefficients = payload.mid(4, n);
    record.mFrequencyCode = Load16(payload, 4 + n);
    record.mWidthCode = Load16(payload, 6 + n);
    record.mGainCode = Load16(payload, 8 + n);
    record.mFilterType = static_cast<std::uint8_t>(payload[10 + n]);
    record.mBandOption = static_cast<std::uint8_t>(payload[11 + n]);
    record.mBypass = static_cast<std::uint8_t>(payload[12 + n]);
    return true;
}

bool cSimulatedDeviceModel::DecodeControlStrip(const QByteArray& payload, std::uint32_t& index,
                                               sControlStrip& strip)
{
    // Five u32: strip index, linear gain, gain code, polarity, mute.
    if (payload.size() != 20)
    {
        return false;
    }
    index = Load32(payload, 0);
    strip.mLinearGain = Load32(payload, 4);
    strip.mGainCode = static_cast<std::uint16_t>(Load32(payload, 8));
    strip.mPolarity = static_cast<std::uint16_t>(Load32(payload, 12));
    strip.mMute = static_cast<std::uint16_t>(Load32(payload, 16));
    return true;
}

bool cSimulatedDeviceModel::ApplyFilter(const QByteArray& payload)
{
    std::uint32_t filterId = 0;
    sFilterRecord record;
    if (!DecodeFilter(payload, filterId, record))
    {
        return false;
    }
    const int index = FilterIndex(filterId);
    if (index < 0)
    {
        return false;
    }
    mFilters[static_cast<size_t>(index)] = record;
    return true;
}

bool cSimulatedDeviceModel::ApplyControlStrip(const QByteArray& payload)
{
    std::uint32_t index = 0;
    sControlStrip strip;
    if (!DecodeControlStrip(payload, index, strip) || index >= CONTROL_STRIPS)
    {
        return false;
    }
    mStrips[index] = strip;
    return true;
}

bool cSimulatedDeviceModel::ApplyDelay(const QByteArray& payload)
{
    if (payload.size() != 8)
    {
        return false;
    }
    const std::uint32_t channel = Load32(payload, 0);
    if (channel >= DELAY_CHANNELS)
    {
        return false;
    }
    mDelays[channel] = Load32(payload, 4);
    return true;
}

QByteArray cSimulatedDeviceModel::VersionPayload() const
{
    QByteArray payload;
    payload.append(static_cast<char>(mVersionMajor));
    payload.append(static_cast<char>(mVersionMinor));
    return payload;
}

QByteArray cSimulatedDeviceModel::MeterPayload() const
{
    QByteArray payload;
    for (std::uint32_t level : mMeters)
    {
        Append32(payload, level);
    }
    return payload;
}

QByteArray cSimulatedDeviceModel::ControlStripsPayload() const
{
    QByteArray payload;
    for (const sControlStrip& strip : mStrips)
    {
        Append16(payload, strip.mMute);
        Append16(payload, strip.mGainCode);
        Append16(payload, strip.mPolarity);
    }
    return payload;
}

QByteArray cSimulatedDeviceModel::DelaysPayload() const
{
    QByteArray payload;
    for (std::uint32_t samples : mDelays)
    {
        Append32(payload, samples);
    }
    return payload;
}

QByteArray cSimulatedDeviceModel::FilterRecordPayload(int index) const
{
    const sFilterRecord& record = mFilters[static_cast<size_t>(index)];
    QByteArray payload;
    Append16(payload, record.mFrequencyCode);
    Append16(payload, record.mWidthCode);
    Append16(payload, record.mGainCode);
    Append16(payload, record.mFilterType);
    Append16(payload, record.mBandOption);
    Append16(payload, record.mBypass);
    return payload;
}
