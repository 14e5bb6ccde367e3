#pragma once

#include "KVNet/Core/cThreadWorker.h"

#include <QAbstractSocket>
#include <QString>

class QTcpSocket;
class cTestDottedIPAddress;

// The dotted-address test's worker, on the test's thread: the TCP connect attempt, which Start
// makes there when the test emits StartSignal (from its own thread).
class cTestDottedIPAddressWorker : public cThreadWorker
{
    Q_OBJECT

public:
    cTestDottedIPAddressWorker(cTestDottedIPAddress* test, const QString& address, int timeLimitMs);

signals:
    // Reaches Start on the worker's thread.
    void StartSignal();

public slots:
    // Worker thread: unless an attempt is pending, connects to the address on port 51321 with
    // the time limit; a text that is not an address ends the test as unreachable at once.
    void Start();
    void AbortTcpPing();
    void TcpPingConnected();
    void TcpPingDisconnected();

private:
    void Finish(int result);

    cTestDottedIPAddress* mTest;
    QTcpSocket* mSocket = nullptr;
    QString mAddress;
    int mTimeLimitMs;
    bool mConnected = false;
};
