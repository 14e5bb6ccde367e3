#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "tests/qml/WindowSupport/cStandInNetObject.h"

#include <QByteArray>

#include <mutex>

// Stands in for the saves manager under its name, "Saves Manager NetObject", and answers as it does:
// every save (4096, the NUL-terminated path), recall (4097, likewise) and sync (4098, no payload) gets
// one result byte on the same parameter, sent to its inform list (1 for success; a sync always
// succeeds), and a failed save or recall a second byte, why. Sync-ups answer 1, 1 and 0. Nothing is
// saved or recalled: requests are recorded.
//
// The answer to a sync can be held back, to see what happens before the manager has answered.
//
// Threads: as cStandInNetObject.
class cFakeSavesManager : public cStandInNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE P_SAVE = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_RECALL = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_SYNC = PARAMETER_BASE + 2;

    cFakeSavesManager();
    ~cFakeSavesManager() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // How the next saves and recalls fail (an eSavesFailure); 0, the start, for success.
    void SetFailure(UBYTE failure);
    // While held, sync requests are recorded and not answered.
    void HoldSyncAnswers(bool hold);
    // Answers the sync requests held back so far (one answer each).
    void ReleaseSyncAnswers();

    // The path of the last request of that method (without its NUL); empty when none.
    QByteArray LastPath(UWORD method) const;

private:
    void Report(KV_NET_DATA_SCALE parameter, UBYTE failure);

    mutable std::mutex mMutex;
    UBYTE mFailure = 0;
    bool mHoldSync = false;
    int mHeldSyncs = 0;
};
