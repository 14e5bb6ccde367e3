#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "KVNet/Core/cAudioDriver.h"

class cPassFilterUnit;
class cSerialInterface;

// The shared body of the high-pass and low-pass drivers (cHPFDriver, cLPFDriver): owns its unit
// and queues the unit's sections for both channels of the panel's pair (command 2): section i of
// channel c has the filter id ((slot + i) << 8) | c, for c = channel and channel + 1. A bypassed
// filter sends the pass-through section {0x40000000, 0, 0, 0, 0} (unity at scale 2.0) and keeps
// the designed words in the unit.
//
// Without a serial interface nothing is sent and there is no device data.
//
// Threads: constructed and destroyed on the GUI thread (destruction takes the registry lock);
// everything else on the syscall thread, called by the unit.
class cPassFilterDriver : public cAudioDriver
{
public:
    static constexpr SLONG UNITY_WORD = 0x40000000;

    ~cPassFilterDriver() override;

    void SetBypass(bool bypass) { mBypass = bypass; }
    bool GetBypass() const { return mBypass; }
    // Queues section `section` for the left and the right channel.
    void SendSection(UBYTE section, const tBiquadWords& words, UWORD frequencyCode, ULONG slopeType);
    // The fields of the device's record of a section once SendSection has sent it: the frequency code,
    // width 0, gain 0, the slope type's low byte, option 0 and the bypass byte.
    sFilter SentRecord(UWORD frequencyCode, ULONG slopeType) const;
    // The device's record of the left channel's first section (table index: the channel's base,
    // plus the slot). False while the device's filter table is not complete, or when the device
    // has no such record (reported).
    bool GetSyncData(sFilter& record) const;
    // The device's record of a section on one side (0 left, 1 right); false as for GetSyncData.
    bool GetDeviceRecord(UBYTE section, UBYTE side, sFilter& record) const;
    // The unit's defaults, designed and sent.
    void ResetUnitDefaults();

    cPassFilterUnit* GetUnit() const { return mUnit; }
    UBYTE GetChannel() const { return mChannel; }
    UBYTE GetSlot() const { return mSlot; }
    UBYTE GetNumberOfSections() const { return mSections; }
    // (slot + section) << 8 | (channel + side), side 0 left, 1 right.
    ULONG GetFilterId(UBYTE section, UBYTE side) const;

protected:
    cPassFilterDriver(cSerialInterface* serial, UBYTE channel, UBYTE slot, UBYTE sections);
    // Takes ownership of the unit made for this driver.
    void AttachUnit(cPassFilterUnit* unit);

private:
    cPassFilterUnit* mUnit = nullptr;
    cSerialInterface* mSerial;
    UBYTE mChannel;
    UBYTE mSlot;
    UBYTE mSections;
    bool mBypass = false;
};
