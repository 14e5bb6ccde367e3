#pragma once

#include "KVNet/Core/cNetObject.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <vector>

// A net object for tests: records every message it receives, keeps one UWORD value per
// parameter, forwards parameter values to its inform lists (skipping the sender) and answers
// sync-ups with its current value. Framework methods go on to cNetObject. Ticks and tocks are
// counted and, when a log is given, appended to it as "<name>:tick" and "<name>:tock".
// Records may be read from any thread.
class cRecordingNetObject : public cNetObject
{
public:
    struct sReceived
    {
        UWORD mConnectionId;
        UWORD mSource;
        UWORD mMethod;
        QByteArray mPayload;
    };

    cRecordingNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters = 1, bool tick = false,
                        bool tock = false, QStringList* log = nullptr);
    ~cRecordingNetObject() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void ActionTick() override;
    void ActionTock() override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // Called at the end of every ActionTick (syscall thread).
    std::function<void(cRecordingNetObject&)> mOnTick;

    void SetValue(UWORD parameter, UWORD value);
    UWORD Value(UWORD parameter) const;
    // Sends the parameter's value to its inform list as the object's own change.
    void SendValue(UWORD parameter);

    std::vector<sReceived> Received() const;
    int Count(UWORD method) const;
    // Payload of the last message of that method (empty when none).
    QByteArray LastPayload(UWORD method) const;
    int Ticks() const;
    int Tocks() const;
    int SyncUps() const;
    void ClearRecords();

private:
    void Log(const QString& entry);

    mutable std::mutex mMutex;
    std::vector<sReceived> mReceived;
    std::vector<UWORD> mValues;
    int mTicks = 0;
    int mTocks = 0;
    int mSyncUps = 0;
    QStringList* mLog;
};
