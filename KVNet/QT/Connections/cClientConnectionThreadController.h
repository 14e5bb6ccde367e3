#pragma once

#include "KVNet/QT/Connections/cConnectionThreadControllerBase.h"

class cClientConnectionThreadWorker;

// The controller of an outgoing framework connection (thread priority low). See
// cClientConnectionThreadWorker for the connect attempt.
class cClientConnectionThreadController : public cConnectionThreadControllerBase
{
    Q_OBJECT

public:
    cClientConnectionThreadController(UWORD connectionId, const std::string& hostName, int connectTimeLimitMs,
                                      ULONG connectionSerial);

    bool IsConnected() const;
    // Blocks the caller until the attempt has ended, at most timeoutMs; false when it has not.
    bool WaitForConnection(int timeoutMs);
    int GetErrorCode() const;
    bool GetHostResolved() const;
    // Asks the worker (on its thread) to abort a connect attempt in progress.
    void AbortPendingConnectionAttempt();

private:
    cClientConnectionThreadWorker* mClientWorker;
};
