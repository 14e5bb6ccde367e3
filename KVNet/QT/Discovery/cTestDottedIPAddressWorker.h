#pragma once

#include "KVNet/Core/cThreadWorker.h"

#include <QAbstractSocket>
#include <QString>

class QTcpSocket;
class cTestDottedIPAddress;

// The dotted-address test's worker, on the test's thread: the TCP connect attempt, started when
// the thread starts.
class cTestDottedIPAddressWorker : public cThreadWorker
{
    Q_OBJECT

public:
    cTestDottedIPAddressWorker(cTestDottedIPAddress* test, const QString& address, int timeLimitMs);

public slots:
    void InitOnThread() override;
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
