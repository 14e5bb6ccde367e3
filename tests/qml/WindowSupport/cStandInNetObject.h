#pragma once

#include "KVNet/Core/cNetObject.h"

#include <QByteArray>
#include <QList>

#include <mutex>

// What the window tests' stand-ins for the program's net objects share: registered under the real
// object's name, a stand-in records the requests its parameters get, and answers as the real object
// does, with a payload to the object that asked for a sync-up or to a parameter's inform list.
//
// Threads: the test thread, which also delivers the messages (cMessagePump); records may be read
// from any thread.
class cStandInNetObject : public cNetObject
{
public:
    struct sRequest
    {
        UWORD mMethod;
        QByteArray mPayload;
    };

    QList<sRequest> Requests() const;
    int Count(UWORD method) const;
    void ClearRequests();

protected:
    cStandInNetObject(const char* name, KV_NET_DATA_SCALE numberOfParameters);
    ~cStandInNetObject() override;

    void Record(const cKVNetMessage& message);
    // The sync-up answer with that payload, to the object that asked (UpdateNewObject's arguments).
    void AnswerSyncUp(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                      const QByteArray& payload);
    // The parameter's report with that payload, to its inform list.
    void Inform(KV_NET_DATA_SCALE parameter, const QByteArray& payload);

private:
    static void Fill(cKVNetMessage& message, const QByteArray& payload);

    mutable std::mutex mRequestsMutex;
    QList<sRequest> mRequests;
};
