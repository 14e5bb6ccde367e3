#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"

#include <QtGlobal>

#include <array>

class cSerialInterface;

// Turns the device's meter block into eight meter levels and sends them, every action tick, to the
// meter objects linked to it ("Metering Sources NetObject", on the tick list).
//
// Parameters:
//   4096         in   UBYTE (bool): publishing on or off (on at construction)
//   4097, 4098   out  input L, R  } each a meter object's level message: the level + 4608 as a
//   4099, 4100   out  low L, R    } big-endian 16-bit value and a reset byte 0 (3 bytes),
//   4101, 4102   out  mid L, R    } sent every tick, changed or not
//   4103, 4104   out  high L, R   }
// The meter block's words are, in order, input L, input R, low L, low R, mid L, mid R, high L,
// high R (see nMeterLevel for the conversion). Levels start, and return once the port has closed,
// at 0x8001 (minus infinity). They fall there too while no meter reply has come for
// REPLY_TIMEOUT_TICKS ticks (200 ms): a device that stops answering shows no signal rather than
// its last levels; the next reply brings them back. A sync-up of 4097-4104 answers the current
// level message, one of 4096 the flag.
//
// Failures: an enable message without its byte is reported and dropped; a byte other than 0 or 1
// is reported and taken as on.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker; messages, ticks and sync-ups on the syscall thread. The serial interface (not
// owned) must outlive the object; it may be null (the levels then stay silent).
class cMeteringSources : public cNetObject
{
public:
    static constexpr const char* NAME = "Metering Sources NetObject";
    static constexpr int NUMBER_OF_METERS = nSerialProtocol::METERS;
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = NUMBER_OF_METERS + 1;
    static constexpr KV_NET_DATA_SCALE P_ENABLE = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_INPUT_LEFT = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_INPUT_RIGHT = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_LOW_LEFT = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE P_LOW_RIGHT = PARAMETER_BASE + 4;
    static constexpr KV_NET_DATA_SCALE P_MID_LEFT = PARAMETER_BASE + 5;
    static constexpr KV_NET_DATA_SCALE P_MID_RIGHT = PARAMETER_BASE + 6;
    static constexpr KV_NET_DATA_SCALE P_HIGH_LEFT = PARAMETER_BASE + 7;
    static constexpr KV_NET_DATA_SCALE P_HIGH_RIGHT = PARAMETER_BASE + 8;
    static constexpr UWORD METER_MESSAGE_LENGTH = 3;
    // Ticks (of 20 ms) without a new meter reply after which the levels fall to minus infinity.
    static constexpr int REPLY_TIMEOUT_TICKS = 10;

    explicit cMeteringSources(cSerialInterface* serial);
    ~cMeteringSources() override;

    // 4096 sets the enable flag; every other method goes to cNetObject.
    void EntrypointMessage(cKVNetMessage& message) override;
    // When enabled: ReadMeters, then PostMeters.
    void ActionTick() override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // Converts the meter block when a new meter reply has come; sets every level to minus infinity
    // once after the port has closed, and once REPLY_TIMEOUT_TICKS calls in a row have seen no new
    // reply.
    void ReadMeters();
    // Sends the eight level messages, 4097 first, to their inform lists.
    void PostMeters();

    bool IsEnabled() const { return mEnabled; }
    bool IsDevicePresent() const { return mDevicePresent; }
    // The level of meter index (0 input L ... 7 high R), in 1/256 dB; minus infinity out of range.
    GAIN GetLevel(int index) const;

private:
    void FillMeterMessage(cKVNetMessage& message, int index) const;

    cSerialInterface* mSerial;
    bool mEnabled = true;
    bool mDevicePresent = false;
    // The serial link's count of meter replies at the last conversion, and the calls since.
    quint64 mMeterReplies = 0;
    int mTicksWithoutReply = 0;
    std::array<GAIN, NUMBER_OF_METERS> mLevels;
    cKVNetMessage mMeterMessage;
};
