#include "KVNet/QT/Connections/cClientConnectionThreadController.h"

#include "KVNet/QT/Connections/cClientConnectionThreadWorker.h"

cClientConnectionThreadController::cClientConnectionThreadController(UWORD connectionId,
                                                                     const std::string& hostName,
                                                                     int connectTimeLimitMs,
                                                                     ULONG connectionSerial)
    : cConnectionThreadControllerBase(
          QThread::LowPriority,
          new cClientConnectionThreadWorker(connectionId, hostName, connectTimeLimitMs, connectionSerial))
    , mClientWorker(static_cast<cClientConnectionThreadWorker*>(mWorker))
{
}

bool cClientConnectionThreadController::IsConnected() const
{
    return mClientWorker->IsConnected();
}

bool cClientConnectionThreadController::WaitForConnection(int timeoutMs)
{
    return mClientWorker->WaitForConnection(timeoutMs);
}

int cClientConnectionThreadController::GetErrorCode() const
{
    return mClientWorker->GetErrorCode();
}

bool cClientConnectionThreadController::GetHostResolved() const
{
    return mClientWorker->GetHostResolved();
}

void cClientConnectionThreadController::AbortPendingConnectionAttempt()
{
    emit mClientWorker->AbortPendingConnectionAttemptRequested();
}
