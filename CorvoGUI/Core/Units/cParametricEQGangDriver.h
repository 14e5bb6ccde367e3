#pragma once

#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/sParameterLinkingCommand.h"

#include <vector>

class cNonVolatileStorageManager;
class cParametricEQDriver;
class cSaveObjectRegistry;

// The gang of a panel's left and right parametric EQ, named "LMH %d: %s Parametric EQ Gang".
// Ganged, the right unit follows the left: every band parameter of the left unit (bypass, the two
// type parameters, and per band frequency, width, gain and bypass; not the ranges) is linked to
// the same parameter of the right unit through the system builder, with sync, so the right takes
// the left's values at once. Ungang removes those links. Both drivers carry the gang flag, which
// goes to the device in every band's bypass byte.
//
// Parameter 4096 gang (UBYTE bool): a message sets the gang (not published); a recall or a sync
// that changes it publishes it. The gang's domain is nFieldDomains::FLAG. NV block: u16 start marker
// 0x1100, u8 gang, u16 end marker 0xB350 (default off; wrong markers reset it, a gang byte other
// than 0 or 1 is mended to off, either said once). Save record: bool gang.
//
// Without a system builder the links are not changed (reported).
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker, after both drivers and before them respectively (the destructor does not touch
// the drivers); messages, save, recall and sync on the syscall thread.
class cParametricEQGangDriver : public cNetObject, public cSaveObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 1;
    static constexpr KV_NET_DATA_SCALE P_GANG = PARAMETER_BASE;
    static constexpr UWORD START_MARKER = 0x1100;
    static constexpr UWORD END_MARKER = 0xB350;

    // Takes the stored gang: sets both drivers' gang flags and applies the link set for it.
    cParametricEQGangDriver(const char* name, cNonVolatileStorageManager* storage, cSaveObjectRegistry* saves,
                            cParametricEQDriver* left, cParametricEQDriver* right, UBYTE bands);
    // Queues the link set with remove, then unregisters.
    ~cParametricEQGangDriver() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    void SaveData(QDataStream* stream) override;
    // The record read whole, with a gang of 0 or 1.
    bool CheckRecord(QDataStream* stream) override;
    bool RecallData(QDataStream* stream) override;
    // Gang on when, for any band, the device's left and right records both carry the gang bit;
    // a sync never turns it off. Then the link set is applied and the gang published. Skipped
    // until the device's filter table is complete.
    eSyncResult SyncData() override;

    bool GetGang() const;
    // The commands that link (remove false) or unlink the two units.
    std::vector<sParameterLinkingCommand> LinkSet(bool remove) const;
    const cNonVolatileBlock& GetBlock() const { return mBlock; }

private:
    // Stores the gang and sets both drivers' flags.
    void SetGang(bool gang);
    void ApplyLinkSet(bool remove);
    void PublishGang();

    cParametricEQDriver* mLeft;
    cParametricEQDriver* mRight;
    char mLeftName[sParameterLinkingCommand::PATH_SIZE];
    char mRightName[sParameterLinkingCommand::PATH_SIZE];
    UBYTE mBands;
    cNonVolatileBlock mBlock;
    cKVNetMessage mPublishMessage;
};
