#pragma once

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// The device's side of the serial protocol without the line: the state that filter, control-strip
// and delay records set, and the payloads of its replies. Filter ids are (slot << 8) | channel;
// channels 0-5 hold 4, 4, 6, 6, 8 and 8 records, which make the 36-record table in channel order.
class cSimulatedDeviceModel
{
public:
    static constexpr int FILTER_RECORDS = 36;
    static constexpr int CONTROL_STRIPS = 8;
    static constexpr int DELAY_CHANNELS = 6;
    static constexpr int METERS = 8;

    struct sFilterRecord
    {
        std::uint16_t mFrequencyCode = 0;
        std::uint16_t mWidthCode = 0;
        std::uint16_t mGainCode = 0;
        std::uint16_t mFilterType = 0;
        std::uint16_t mBandOption = 0;
        std::uint16_t mBypass = 0;
        QByteArray mCoefficients; // as last received

        bool operator==(const sFilterRecord& other) const;
    };

    struct sControlStrip
    {
        std::uint32_t mLinearGain = 0;
        std::uint16_t mGainCode = 0;
        std::uint16_t mPolarity = 0;
        std::uint16_t mMute = 0;

        bool operator==(const sControlStrip& other) const;
    };

    // The fields of a filter-table record and of a control strip, as the device reports them.
    enum eFilterField
    {
        FILTER_FREQUENCY,
        FILTER_WIDTH,
        FILTER_GAIN,
        FILTER_TYPE,
        FILTER_OPTION,
        FILTER_BYPASS,
    };
    enum eStripField
    {
        STRIP_MUTE,
        STRIP_GAIN,
        STRIP_POLARITY,
    };

    // Table index of a filter id, -1 when the device has no such filter.
    static int FilterIndex(std::uint32_t filterId);
    static std::uint32_t FilterId(int channel, int slot);

    // Sets one field of the record of (channel, slot), or of control strip `strip`, to any 16-bit
    // value, as a device of unknown state may report it. False (nothing set) when the device has no
    // such record.
    bool SetFilterField(int channel, int slot, eFilterField field, std::uint16_t value);
    bool SetStripField(int strip, eStripField field, std::uint16_t value);
    // The record of (channel, slot); a record of zeros when the device has none.
    sFilterRecord Filter(int channel, int slot) const;

    // A record's payload as the device reads it: a filter record (u32 id, the coefficient bytes, u16
    // frequency, width and gain codes, u8 type, option and bypass) and a control-strip record (five
    // u32: index, linear gain, gain code, polarity, mute), little-endian. False when the payload is
    // malformed; the id or index is not checked against the device.
    static bool DecodeFilter(const QByteArray& payload, std::uint32_t& filterId, sFilterRecord& record);
    static bool DecodeControlStrip(const QByteArray& payload, std::uint32_t& index, sControlStrip& strip);

    // Applies a record's payload; false (state unchanged) when it is malformed or addresses
    // nothing on the device.
    bool ApplyFilter(const QByteArray& payload);
    bool ApplyControlStrip(const QByteArray& payload);
    bool ApplyDelay(const QByteArray& payload);

    // Reply payloads.
    QByteArray VersionPayload() const;
    QByteArray MeterPayload() const;
    QByteArray ControlStripsPayload() const;
    QByteArray DelaysPayload() const;
    QByteArray FilterRecordPayload(int index) const;

    std::array<sFilterRecord, FILTER_RECORDS> mFilters{};
    std::array<sControlStrip, CONTROL_STRIPS> mStrips{};
    std::array<std::uint32_t, DELAY_CHANNELS> mDelays{};
    std::array<std::uint32_t, METERS> mMeters{};
    std::uint8_t mVersionMajor = 1;
    std::uint8_t mVersionMinor = 2;
    std::uint8_t mCommand1Byte = 1;
};
