#pragma once

#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetMethods.h"

#include <optional>

class cControlStripDriver;
class cNonVolatileStorageManager;
class cSaveObjectRegistry;

// One gain stage of the device (mute, polarity, gain): the net object that the fader back ends
// link to. It keeps its settings in its block of the non-volatile RAM file, saves, recalls and
// syncs them, publishes every change to its inform lists and hands it to its driver, which sends
// the device's strip record. Made and owned by its cControlStripDriver.
//
// Parameters:
//   4096 mute      UBYTE (0/1)
//   4097 polarity  UBYTE (0/1), as the user sees it
//   4098 gain      UWORD gain code (ConvertGainToUWORD of the gain in 1/256 dB)
//   4099 unused    accepted and ignored; its sync-up answer is UWORD 0
// A parameter message shorter than its value is reported and dropped; a byte other than 0 or 1 is
// reported and taken as 1. A value equal to the stored one is neither published nor sent.
//
// Fields and their domains (nFieldDomains): mute and polarity FLAG, gain GAIN. From the device a
// flag is on for anything but 0, as the device means it (no report), and a gain below minus infinity
// is minus infinity (reported).
//
// Non-volatile block (8 bytes, packed, native byte order): u16 0x5566, u8 mute, u8 polarity (the
// user's), s16 gain, u16 0xFB05. Wrong markers reset it to the defaults: unmuted, polarity off,
// gain minus infinity. A field outside its domain takes its default alone. A reset or a mend is said
// once (a notification naming the unit).
//
// Save record: bool mute, bool polarity (the user's), qint16 gain. A recalled record must hold every
// field inside its domain.
//
// Threads: constructed and destroyed on the GUI thread (by the driver). Messages, sync-ups, save,
// recall and sync run on the syscall thread under the registry lock.
class cControlStripUnit : public cAudioObject, public cSaveObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 4;
    static constexpr KV_NET_DATA_SCALE P_MUTE = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_POLARITY = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_GAIN = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_UNUSED = PARAMETER_BASE + 3;

    static constexpr UWORD NV_START_MARKER = 0x5566;
    static constexpr UWORD NV_END_MARKER = 0xFB05;

    // The unit's settings; the polarity is the user's.
    struct sSettings
    {
        bool mMute = false;
        bool mPolarity = false;
        GAIN mGain = GAIN_MINUS_INFINITY;

        bool operator==(const sSettings& other) const
        {
            return mMute == other.mMute && mPolarity == other.mPolarity && mGain == other.mGain;
        }
        bool operator!=(const sSettings& other) const { return !(*this == other); }
    };

    // Registers the net object and the save object under name and takes the next non-volatile
    // block (storage null: a block of its own, reported). The driver (not owned) gets every
    // change; invertPolarity makes the polarity sent to the device the opposite of the user's.
    cControlStripUnit(const char* name, cNonVolatileStorageManager* storage, cSaveObjectRegistry* saves,
                      cControlStripDriver* driver, bool invertPolarity);
    ~cControlStripUnit() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    // Answers 4096 mute, 4097 polarity, 4098 gain code, 4099 UWORD 0; others go to the base.
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    void SaveData(QDataStream* stream) override;
    // The record read whole, every field inside its domain.
    bool CheckRecord(QDataStream* stream) override;
    // Reads and checks the whole record (false, nothing changed, when it fails) and applies it.
    bool RecallData(QDataStream* stream) override;
    // Takes this strip's record of the device's control-strip block, each field brought into its
    // domain; SYNC_SKIPPED, nothing changed, until the block has arrived.
    eSyncResult SyncData() override;
    // Once the link runs after the sync: sends the strip's record when the device's does not hold
    // the strip as it plays (a flag other than 0 or 1, a gain below minus infinity).
    void CompleteSync() override;

    // Stores each setting that differs, publishing it, and when any did gives the driver the whole
    // state (SetAll, polarity inverted where this strip inverts). True when anything changed.
    bool ApplySettings(const sSettings& settings);
    // Writes the defaults and both markers into the block; publishes nothing, tells no driver.
    void ResetDefaults();

    sSettings GetSettings() const;
    bool GetMute() const;
    bool GetPolarity() const;
    GAIN GetGain() const;
    bool IsPolarityInverted() const { return mInvertPolarity; }
    // The polarity to send to the device for the user's polarity.
    bool DevicePolarity(bool userPolarity) const { return userPolarity != mInvertPolarity; }
    const cNonVolatileBlock& GetBlock() const { return mBlock; }

    static sSettings DefaultSettings() { return sSettings(); }

private:
    void OnMute(cKVNetMessage& message);
    void OnPolarity(cKVNetMessage& message);
    void OnGain(cKVNetMessage& message);
    // The message's UBYTE as a flag, the payload normalised to 0/1; no value (reported) when the
    // message is too short. Returned by value: no pointer to the caller's flag leaves the call.
    std::optional<bool> ReadFlag(cKVNetMessage& message);
    void StoreFlag(size_t offset, bool value);
    // The non-volatile check of a block with right markers: each field outside its domain takes its
    // default (said once).
    void MendStoredFields();
    // Reads the save record and checks its fields; false (reported) when it fails.
    bool ReadRecord(QDataStream* stream, sSettings& settings) const;

    cControlStripDriver* mDriver;
    const bool mInvertPolarity;
    cNonVolatileBlock mBlock;
};
