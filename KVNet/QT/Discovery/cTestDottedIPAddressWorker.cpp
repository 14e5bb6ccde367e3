#include "KVNet/QT/Discovery/cTestDottedIPAddressWorker.h"

#include "KVNet/Core/KVNetFrames.h"
#include "KVNet/QT/Discovery/cTestDottedIPAddress.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace
{

constexpr quint16 FRAMEWORK_PORT = 51321;

} // namespace

cTestDottedIPAddressWorker::cTestDottedIPAddressWorker(cTestDottedIPAddress* test, const QString& address,
                                                       int timeLimitMs)
    : mTest(test)
    , mAddress(address)
    , mTimeLimitMs(timeLimitMs)
{
    connect(this, &cTestDottedIPAddressWorker::StartSignal, this, &cTestDottedIPAddressWorker::Start);
}

void cTestDottedIPAddressWorker::Start()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (mSocket != nullptr)
    {
        return;
    }
    // Only an address is tried: a name is never looked up.
    const QHostAddress address(mAddress);
    if (address.isNull())
    {
        Finish(cTestDottedIPAddress::UNREACHABLE);
        return;
    }
    mSocket = new QTcpSocket(this);
    connect(mSocket, &QTcpSocket::connected, this, &cTestDottedIPAddressWorker::TcpPingConnected);
    connect(mSocket, &QTcpSocket::disconnected, this, &cTestDottedIPAddressWorker::TcpPingDisconnected);
    connect(mSocket, &QAbstractSocket::errorOccurred, this, &cTestDottedIPAddressWorker::AbortTcpPing);
    mSocket->connectToHost(address, FRAMEWORK_PORT, QIODevice::ReadWrite);
    QTimer::singleShot(mTimeLimitMs, this, &cTestDottedIPAddressWorker::AbortTcpPing);
}

void cTestDottedIPAddressWorker::TcpPingConnected()
{
    mConnected = true;
    const UBYTE farewell[3] = {'B', 'Y', 'E'};
    UBYTE frame[3 + nKVNetFrame::UTIL_OVERHEAD];
    const ULONG size = BuildUtilFrame(farewell, sizeof farewell, frame);
    mSocket->write(reinterpret_cast<const char*>(frame), qint64(size));
    mSocket->disconnectFromHost();
}

void cTestDottedIPAddressWorker::TcpPingDisconnected()
{
    Finish(cTestDottedIPAddress::REACHABLE);
}

void cTestDottedIPAddressWorker::AbortTcpPing()
{
    if (mSocket == nullptr)
    {
        return;
    }
    // A unit that accepted the connection is reachable, however the connection then ends.
    Finish(mConnected ? cTestDottedIPAddress::REACHABLE : cTestDottedIPAddress::UNREACHABLE);
}

void cTestDottedIPAddressWorker::Finish(int result)
{
    if (mSocket != nullptr)
    {
        mSocket->disconnect(this);
        mSocket->abort();
        mSocket->deleteLater();
        mSocket = nullptr;
    }
    mTest->SetResult(result);
}
