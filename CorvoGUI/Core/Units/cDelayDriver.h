#pragma once

#include "KVNet/Core/cAudioDriver.h"

class cDelayUnit;
class cNonVolatileStorageManager;
class cSaveObjectRegistry;
class cSerialInterface;

// The driver of a panel's delay: creates and owns its cDelayUnit and queues its delays for the
// device (command 8) as sample counts at 96 kHz. The left channel is delay channel `index`
// (0 LOW, 2 MID, 4 HIGH), the right index + 1. Without a serial interface nothing is sent and
// there is no device data.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker; SendDelay and GetDeviceDelays on the syscall thread, called by the unit.
class cDelayDriver : public cAudioDriver
{
public:
    static constexpr double SAMPLE_RATE = 96000.0;
    static constexpr ULONG MAX_SAMPLES = 0xFFFFFFFFu;

    cDelayDriver(const char* name, UBYTE index, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                 cSaveObjectRegistry* saves, bool clear);
    ~cDelayDriver() override;

    // Queues channel (0 left, 1 right) with the code's time in samples.
    void SendDelay(int channel, UWORD code);
    // The device's sample counts of this delay's two channels; false until the device's delay
    // block has arrived, or when the device has no such channels (reported).
    bool GetDeviceDelays(ULONG& left, ULONG& right) const;
    // The unit's defaults: both codes 0 (both channels pending), gang off.
    void ResetUnitDefaults();

    // The code's time times 96000, to the nearest sample (halves away from zero); a time beyond
    // the 32-bit count is reported and sent as the largest count.
    static ULONG SamplesFromCode(UWORD code);

    cDelayUnit* GetUnit() const { return mUnit; }
    UBYTE GetIndex() const { return mIndex; }

private:
    cDelayUnit* mUnit = nullptr;
    UBYTE mIndex;
    cSerialInterface* mSerial;
};
