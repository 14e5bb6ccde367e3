#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "tests/qml/WindowSupport/cStandInNetObject.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>

#include <mutex>

// Stands in for the serial connection driver and the serial link behind it under its name,
// "Serial Connection Driver NetObject", and answers as the driver does: 4097 with the port list in
// 8-byte slots, 4098 with the version text in an 8-byte slot, 4099 with the state and the last
// error (which the answer clears); sync-ups of 4096-4099 get the same payloads (4096: the state).
// Connect requests (4096) and "sync done" (4100) are only recorded: the test sets the link's state.
//
// Threads: as cStandInNetObject.
class cFakeSerialConnectDriver : public cStandInNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE P_CONNECT = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_PORT_LIST = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_VERSION = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_STATUS = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE P_SYNC_DONE = PARAMETER_BASE + 4;

    cFakeSerialConnectDriver();
    ~cFakeSerialConnectDriver() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // The link as the next answers give it. Names and the version fit 7 bytes.
    void SetState(int state);
    void SetError(int error);
    void SetPortNames(const QStringList& names);
    void SetVersion(const QByteArray& version);
    // Sends the answer of that parameter to its inform list unasked (as a repeated report).
    void Announce(KV_NET_DATA_SCALE parameter);

    // Connect requests as (connect flag, port name).
    QList<QPair<bool, QString>> ConnectRequests() const;

private:
    // The answer payload of a parameter; the status answer clears the error.
    QByteArray Answer(KV_NET_DATA_SCALE parameter);

    mutable std::mutex mMutex;
    int mState = 0;
    int mError = 0;
    QStringList mPortNames;
    QByteArray mVersion;
};
