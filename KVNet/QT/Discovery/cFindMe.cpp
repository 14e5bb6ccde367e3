#include "KVNet/QT/Discovery/cFindMe.h"

#include "KVNet/QT/Discovery/KVNetDiscoveryTexts.h"

#include <QNetworkInterface>

using namespace nKVNetDiscovery;

cFindMe::cFindMe(const QString& request, const QString& unitName, const QString& additional, QObject* parent,
                 bool answerRequests, int tickMs)
    : QObject(parent)
    , mRequest(request)
    , mUnitName(unitName)
    , mAdditional(additional)
    , mAnswerRequests(answerRequests)
{
    BuildDatagrams();
    if (mAnswerRequests)
    {
        mRequestSocket = new QUdpSocket(this);
        connect(mRequestSocket, &QUdpSocket::readyRead, this, &cFindMe::UDPRead);
        mRequestSocket->bind(QHostAddress::Any, REQUEST_PORT);
    }
    connect(&mTimer, &QTimer::timeout, this, &cFindMe::TimerFired);
    mTimer.start(tickMs);
}

void cFindMe::BuildDatagrams()
{
    mReply = mUnitName.toLatin1();
    mReply.append('\0');
    mFindMeDatagram = MAGIC.toLocal8Bit();
    mFindMeDatagram.append('\0');
    mFindMeDatagram.append(mRequest.toLocal8Bit());
    mFindMeDatagram.append('\0');
    mFindMeDatagram.append(mUnitName.toLocal8Bit());
    mFindMeDatagram.append('\0');
    mFindMeDatagram.append(mAdditional.toLocal8Bit());
    mFindMeDatagram.append('\0');
}

void cFindMe::SetUnitName(const QString& unitName)
{
    mUnitName = unitName;
    BuildDatagrams();
}

void cFindMe::UDPRead()
{
    while (mRequestSocket->hasPendingDatagrams())
    {
        mReceiveBuffer.resize(int(qMax<qint64>(mRequestSocket->pendingDatagramSize(), 0)));
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 size =
            mRequestSocket->readDatagram(mReceiveBuffer.data(), mReceiveBuffer.size(), &sender, &senderPort);
        if (size < 0)
        {
            break;
        }
        const QString text = QString::fromLatin1(mReceiveBuffer.constData(), int(size));
        if (text == mRequest && mRequest.size() == size)
        {
            mRequestSocket->writeDatagram(mReply, sender, senderPort);
        }
    }
}

void cFindMe::TimerFired()
{
    for (const QNetworkInterface& networkInterface : QNetworkInterface::allInterfaces())
    {
        if (!networkInterface.isValid())
        {
            continue;
        }
        for (const QNetworkAddressEntry& entry : networkInterface.addressEntries())
        {
            const QHostAddress ip = entry.ip();
            if (ip.isNull() || ip.protocol() != QAbstractSocket::IPv4Protocol ||
                ip == QHostAddress::LocalHost || entry.broadcast().isNull())
            {
                continue;
            }
            mLastBroadcast = entry.broadcast();
            mBroadcastSocket.writeDatagram(mFindMeDatagram, mLastBroadcast, DISCOVERY_PORT);
        }
    }
}
