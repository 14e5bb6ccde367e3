#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cThreadController.h"

#include <QAbstractSocket>
#include <QHostAddress>

#include <atomic>
#include <memory>
#include <string>

class cConnectionThreadWorkerBase;
class cKVNetMessage;

// Owns the thread of one framework connection and forwards the network connection's calls to
// the connection's worker. ConnectionThreadDisconnected repeats the worker's announcement of
// the connection's end.
//
// Threads: made on the thread that opens or accepts the connection and then moved to the main
// thread; the forwarding operations may be called from any thread while the connection's thread
// runs (the worker is deleted when it ends). Destroying the controller quits the thread and
// waits for it.
class cConnectionThreadControllerBase : public cThreadController
{
    Q_OBJECT

public:
    cConnectionThreadControllerBase(QThread::Priority priority, cConnectionThreadWorkerBase* worker);

    void Start();
    UWORD GetConnectionId() const;
    void ClearLostCommsRegistration();
    void SendTCP(const cKVNetMessage& message);
    void SendUDP(const cKVNetMessage& message);
    void SendUtilUDP(const UBYTE* data, UWORD length);
    std::string GetHostName() const;
    std::string GetDisplayName() const;
    QHostAddress GetPeerAddress() const;
    void SetLostComms(bool lostComms);
    UWORD GetErrorOccured() const;
    QAbstractSocket::SocketError GetSocketError() const;
    void GetError(UWORD& errorOccured, QAbstractSocket::SocketError& socketError) const;
    bool UsesV2() const;
    // Any thread, also after the worker is gone: the connection's farewell waits no later than
    // deadline (a QDeadlineTimer::deadline() value), a wait in progress included. An earlier
    // limit stays.
    void LimitFarewell(qint64 deadline);

signals:
    void ConnectionThreadDisconnected(UWORD ConnectionID);

protected:
    cConnectionThreadWorkerBase* mWorker;

private:
    const std::shared_ptr<std::atomic<qint64>> mFarewellDeadline;
};
