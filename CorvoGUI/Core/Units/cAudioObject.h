#pragma once

#include "KVNet/Core/cNetObject.h"

// The net-object base of the audio units: a named object with parameters that other objects link
// to, which publishes every change of a parameter to that parameter's inform list. Publishing is
// enabled at construction and stays so.
//
// Threads: as cNetObject. PublishParameter and the helpers run on the syscall thread (message
// handlers, ticks, recall and sync), under the registry lock.
class cAudioObject : public cNetObject
{
public:
    // A net object with that name and parameter count, on the tick list when actionTick is set,
    // never on the tock list.
    cAudioObject(const char* name, UWORD numberOfParameters, bool actionTick);
    ~cAudioObject() override;

    // Sends the parameter message (method = the parameter's id) to that parameter's inform list
    // when publishing is enabled. A message that came from a linked object keeps its sender, so it
    // is not sent back there.
    virtual void PublishParameter(cKVNetMessage& message);

    bool IsPublishEnabled() const { return mPublishEnabled; }

protected:
    // Publish one of the unit's own values (from no sender, so every linked object gets it).
    void PublishUBYTE(KV_NET_DATA_SCALE method, UBYTE value);
    void PublishUWORD(KV_NET_DATA_SCALE method, UWORD value);

    // Sync-up answers for UpdateNewObject: the value goes to (connectionId, handle) as
    // destinationMethod.
    void AnswerUBYTE(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                     UBYTE value);
    void AnswerUWORD(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                     UWORD value);

private:
    void PublishOwn(KV_NET_DATA_SCALE method);
    void Answer(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod);

    bool mPublishEnabled = true;
    // The unit's own outgoing values; syscall thread only.
    cKVNetMessage mPublishMessage;
};
