#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>

class QTcpSocket;
class cTestDottedIPAddress;

// The dotted-address test's worker, on the test's thread: one TCP connect attempt at a time.
class cTestDottedIPAddressWorker : public QObject
{
    Q_OBJECT

public:
    cTestDottedIPAddressWorker(cTestDottedIPAddress* test, const QString& address, int timeLimitMs);

signals:
    void StartSignal();

public slots:
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
