#pragma once

#include "tests/simulator/cSimulatedDevice.h"
#include "tests/simulator/cSimulatedDeviceModel.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <cstdint>

// A filter record (command 2) as the simulated device received it, decoded as the device reads it
// (cSimulatedDeviceModel::DecodeFilter): u32 filter id ((slot << 8) | channel), five s32 coefficient
// words in the order sent (b0, a1, b1, a2, b2), u16 frequency, width and gain codes, u8 filter type,
// band option and bypass byte, little-endian.
struct sSentFilterRecord
{
    enum eWord
    {
        WORD_B0,
        WORD_A1,
        WORD_B1,
        WORD_A2,
        WORD_B2,
    };

    std::uint32_t mId = 0;
    std::array<std::int32_t, 5> mWords{};
    std::uint16_t mFrequencyCode = 0;
    std::uint16_t mWidthCode = 0;
    std::uint16_t mGainCode = 0;
    std::uint8_t mType = 0;
    std::uint8_t mOption = 0;
    std::uint8_t mBypass = 0;

    // False when the payload is not a record with 20 coefficient bytes.
    static bool Decode(const QByteArray& payload, sSentFilterRecord& record);
    // Every well-formed filter record the device logged, in the order received.
    static QList<sSentFilterRecord> Received(const cSimulatedDevice& device);
    // The last of them with that id; false when there is none.
    static bool LastWithId(const QList<sSentFilterRecord>& records, std::uint32_t id,
                           sSentFilterRecord& record);

    static std::uint32_t Id(int channel, int slot) { return cSimulatedDeviceModel::FilterId(channel, slot); }
    int Channel() const { return int(mId & 0xFF); }
    int Slot() const { return int(mId >> 8); }
};
