#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Units/ControlStripRecord.h"
#include "KVNet/Core/cAudioDriver.h"

class cControlStripUnit;
class cNonVolatileStorageManager;
class cSaveObjectRegistry;
class cSerialInterface;

// The device side of one control strip: owns its cControlStripUnit, follows the unit's settings
// and queues the device's strip record on the serial interface whenever the state changes
// (nControlStrip::MakeRecord gives the record). While muted the fader's gain is held and the
// current gain is silence; unmuting restores it.
//
// Threads: constructed and destroyed on the GUI thread (construction holds the registry lock while
// it makes the unit and sends its first record). The Set operations, InitFromUnit and
// ResetUnitDefaults run on the syscall thread (the unit calls them from its message handlers,
// recall and sync). GetDeviceRecord runs on any thread.
//
// Failures: a null serial interface or a strip index the device does not have is reported at
// construction; records are then not sent (no interface) or sent as asked (index), and
// GetDeviceRecord gives false. The serial interface drops records while the link is not running.
class cControlStripDriver : public cAudioDriver
{
public:
    // Creates the unit (name, storage, saves registry, polarity inverted towards the device when
    // invertPolarity is set) and takes its state (InitFromUnit).
    cControlStripDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                        cSaveObjectRegistry* saves, ULONG stripIndex, bool invertPolarity);
    // Destroys the unit first.
    ~cControlStripDriver() override;

    // Mute on or off. Muting holds the current gain and silences the strip; unmuting restores the
    // held gain. Setting the state it already has changes no gain. Sends.
    void SetMute(bool mute);
    // The polarity sent to the device (already inverted where the strip inverts). Sends.
    void SetPolarity(bool polarity);
    // The fader's gain: current gain when not muted, held gain when muted. Sends.
    void SetGain(GAIN gain);
    // The whole state at once: muted holds the gain and silences, otherwise the gain is current.
    // Sends.
    void SetAll(bool mute, bool polarity, GAIN gain);
    // Takes the unit's settings (polarity inverted where the strip inverts), holding the gain as
    // well. Sends.
    void InitFromUnit();
    // Gives the unit its default settings (published where they change), then sends.
    void ResetUnitDefaults();

    // This strip's record of the device's control-strip block; false until the block has arrived.
    bool GetDeviceRecord(sControlStripRecord& record) const;
    // Sends the strip's record when the device's record does not hold its mute, gain code and
    // polarity; nothing when it does or the block has not arrived.
    void SendIfTheDeviceDiffers();

    cControlStripUnit* GetUnit() const { return mUnit; }
    ULONG GetStripIndex() const { return mState.mStripIndex; }
    bool IsMuted() const { return mState.mMuted; }
    bool GetDevicePolarity() const { return mState.mPolarity; }
    GAIN GetCurrentGain() const { return mState.mCurrentGain; }
    GAIN GetHeldGain() const { return mState.mHeldGain; }

private:
    // Queues the record of the current state.
    void SendStrip();

    cControlStripUnit* mUnit = nullptr; // owned through cAudioDriver
    cSerialInterface* mSerial;
    nControlStrip::sControlStripState mState;
};
