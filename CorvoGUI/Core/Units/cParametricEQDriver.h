#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "KVNet/Core/cAudioDriver.h"

#include <vector>

class cNonVolatileStorageManager;
class cParametricEQUnit;
class cSaveObjectRegistry;
class cSerialInterface;
struct sParametricEQBand;

// The driver of one channel's parametric EQ: creates and owns its cParametricEQUnit and queues its
// bands for that channel only (command 2): band b has the filter id ((slot + b) << 8) | channel.
// While the unit is bypassed every band is sent as the pass-through section {0x10000000, 0, 0, 0,
// 0} (unity at scale 8.0). The bypass byte sent is (gang << 7) | band bypass.
//
// Without a serial interface nothing is sent and there is no device data.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker; everything else on the syscall thread (the unit and the gang call it).
class cParametricEQDriver : public cAudioDriver
{
public:
    static constexpr SLONG UNITY_WORD = 0x10000000;
    static constexpr UBYTE GANG_BIT = 0x80;

    cParametricEQDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                        cSaveObjectRegistry* saves, UBYTE bands, double scale, double samplePeriod,
                        double sampleRate, double factor, UBYTE side, UBYTE channel, UBYTE slot);
    ~cParametricEQDriver() override;

    void SetUnitBypass(bool bypass) { mUnitBypass = bypass; }
    bool GetUnitBypass() const { return mUnitBypass; }
    // A change of the gang flag sends every band again, so the device gets the new gang bit.
    void SetGang(bool gang);
    bool GetGang() const { return mGang; }

    void SendBand(UBYTE band, const sParametricEQBand& settings, const tBiquadWords& words);
    // The fields of the device's record of a band once SendBand has sent these settings: frequency,
    // width and gain codes, the type's low byte, the option and the bypass byte.
    sFilter SentRecord(const sParametricEQBand& settings) const;
    // The device's records of this channel's bands, band 0 first. False while the device's filter
    // table is not complete, or when the device has no records for this channel (reported).
    bool GetSyncData(std::vector<sFilter>& records) const;
    // Table index of band 0's record: slot + side * 4 for channels 0-1, slot + side * 6 + 8 for
    // 2-3, slot + side * 8 + 20 for 4-5; -1 (reported as "Unhandled mBase") for other channels.
    int GetSyncIndex() const;
    ULONG GetFilterId(UBYTE band) const;
    // The unit's defaults, loaded and sent.
    void ResetUnitDefaults();

    cParametricEQUnit* GetUnit() const { return mUnit; }
    UBYTE GetNumberOfBands() const { return mBands; }
    UBYTE GetSide() const { return mSide; }
    UBYTE GetChannel() const { return mChannel; }
    UBYTE GetSlot() const { return mSlot; }

private:
    cParametricEQUnit* mUnit = nullptr;
    cSerialInterface* mSerial;
    UBYTE mBands;
    bool mUnitBypass = false;
    bool mGang = false;
    UBYTE mSide;
    UBYTE mChannel;
    UBYTE mSlot;
};
