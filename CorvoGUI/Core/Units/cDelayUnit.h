#pragma once

#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetMethods.h"

#include <array>

class cDelayDriver;
class cNonVolatileStorageManager;
class cSaveObjectRegistry;

// The left/right delay of a low/mid/high panel, named "LMH %d: %s Delay Unit". Holds both delay
// time codes and the gang flag in its NV block and, paced by the action tick, hands a changed time
// to its driver on the second tick after the change (so a burst of changes sends only the last).
// When ganged, a change of either channel is copied to the other.
//
// Parameters: 4096 left time code (UWORD), 4097 right time code (UWORD), 4098 gang (UBYTE bool).
// A time message is published also when it changes nothing.
//
// Fields and their domains (nFieldDomains): gang FLAG; both time codes take every value.
//
// NV block (9 bytes): u16 start marker 0x66B6, u16 left code, u16 right code, u8 gang, u16 end
// marker 0x36AA; defaults 0, 0, off. Wrong markers reset it; a gang byte other than 0 or 1 is
// mended to off alone (either said once). Save record: qint16 left, qint16 right, qint16 gang (0/1).
//
// Threads: constructed by its driver (GUI thread, before the syscall thread runs or under
// cRegistryLocker); messages, ticks, sync-ups, save, recall and sync on the syscall thread.
class cDelayUnit : public cAudioObject, public cSaveObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 3;
    static constexpr KV_NET_DATA_SCALE P_LEFT = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_RIGHT = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_GANG = PARAMETER_BASE + 2;
    static constexpr UWORD START_MARKER = 0x66B6;
    static constexpr UWORD END_MARKER = 0x36AA;
    static constexpr int LEFT = 0;
    static constexpr int RIGHT = 1;

    // With clear set, or wrong markers, the block takes the defaults. Both channels start
    // pending, so the stored times reach the device after start-up.
    cDelayUnit(const char* name, cDelayDriver* driver, cNonVolatileStorageManager* storage, bool clear,
               cSaveObjectRegistry* saves);
    ~cDelayUnit() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    // 4096 and 4097 the UWORD codes, 4098 the gang UBYTE.
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;
    void ActionTick() override;

    void SaveData(QDataStream* stream) override;
    // The record read whole, with a gang of 0 or 1.
    bool CheckRecord(QDataStream* stream) override;
    bool RecallData(QDataStream* stream) override;
    // Takes the device's delays (already on the device: not sent again); unequal delays turn the
    // gang off. Skipped until the device's delay block has arrived.
    eSyncResult SyncData() override;
    // Once the link runs after the sync: sends each channel whose device delay is not the sample
    // count of the unit's code (a count that no code gives is sent as the code the sync took).
    void CompleteSync() override;

    // Both codes 0 (both channels pending), gang off.
    void ResetDefaults();

    UWORD GetCode(int channel) const;
    bool GetGang() const;
    // True while a change of the channel waits for its tick.
    bool IsPending(int channel) const;
    const cNonVolatileBlock& GetBlock() const { return mBlock; }

private:
    struct sSendState
    {
        bool mPending = true;
        int mStep = 1; // 0 idle, 1 waiting one tick, 2 due
    };

    // Stores the code; when it differs the channel is marked for sending (mark) or not.
    bool StoreCode(int channel, UWORD code, bool mark);
    void Mark(int channel);
    void SetGangField(bool gang);
    // Ganged follow: the other channel takes this one's code (marked when it differs), and the
    // other's parameter is published.
    void CopyTo(int from, int to);
    bool PayloadFits(const cKVNetMessage& message, UWORD size) const;
    void OnCode(cKVNetMessage& message, int channel);
    // Reads the save record and checks its fields; false (reported) when it fails.
    bool ReadRecord(QDataStream* stream, qint16& left, qint16& right, qint16& gang) const;

    cDelayDriver* mDriver;
    cNonVolatileBlock mBlock;
    std::array<sSendState, 2> mSend;
};
