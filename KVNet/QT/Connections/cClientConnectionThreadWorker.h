#pragma once

#include "KVNet/QT/Connections/cConnectionThreadWorkerBase.h"

#include <condition_variable>

class QTcpSocket;
class QTimer;

// The worker of an outgoing framework connection: resolves the host (a dotted IPv4 address, or
// a unit the unit finder has seen), connects to it on TCP port 51321, makes the UDP link on a
// port the system chooses and sends HELLO with it; the peer's HELLO ACK gives the UDP link its
// remote port.
//
// The connect attempt ends with success, a socket error, a failed resolution, an abort, the
// time limit or the worker's destruction; WaitForConnection (another thread) returns then.
//
// Threads: everything but the Get... operations and WaitForConnection on the worker's thread.
class cClientConnectionThreadWorker : public cConnectionThreadWorkerBase
{
    Q_OBJECT

public:
    // connectTimeLimitMs: the longest a connect attempt may take.
    cClientConnectionThreadWorker(UWORD connectionId, const std::string& hostName, int connectTimeLimitMs,
                                  ULONG connectionSerial);
    // Releases any waiter, closes the links (with the farewell unless communication was lost).
    ~cClientConnectionThreadWorker() override;

    // Any thread.
    bool IsConnected() const { return mConnected.load(); }
    // Waits until the attempt has ended, at most timeoutMs; false when it has not.
    bool WaitForConnection(int timeoutMs);
    // The last socket error, -2 when none was seen.
    int GetErrorCode() const { return mLastError.load(); }
    bool GetHostResolved() const { return mHostResolved.load(); }

    // Resolves a host name as a connection does: a text with exactly three '.' that parses as
    // an address, else the first unit of that name the unit finder lists. Any thread.
    static bool ResolveHost(const std::string& hostName, QHostAddress& address);

signals:
    void AbortPendingConnectionAttemptRequested();

public slots:
    void InitOnThread() override;
    void TCPSocketConnected();
    void TCPSocketError(QAbstractSocket::SocketError socketError);
    void RemoteUDPPortReceived(quint16 UDPPort);
    void AbortPendingConnectionAttempt();

private:
    void SignalAttemptDone();

    const int mConnectTimeLimitMs;
    QTcpSocket* mSocket = nullptr;
    QTimer* mTimeLimit = nullptr;
    std::mutex mAttemptMutex;
    std::condition_variable mAttemptCondition;
    bool mDone = false;
    std::atomic<bool> mConnected{false};
    std::atomic<int> mLastError{-2};
    std::atomic<bool> mHostResolved{false};
};
