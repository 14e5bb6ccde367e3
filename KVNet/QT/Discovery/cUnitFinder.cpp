#include "KVNet/QT/Discovery/cUnitFinder.h"

#include "KVNet/QT/Discovery/KVNetDiscoveryTexts.h"
#include "KVNet/QT/Discovery/cMultiUnitFinder.h"

#include <QNetworkInterface>
#include <QUdpSocket>

using namespace nKVNetDiscovery;

cUnitFinder::cUnitFinder(const QString& request, cMultiUnitFinder* parent)
    : QObject(parent)
    , mRequest(request)
{
    mRequestDatagram = request.toLocal8Bit();
    mRequestDatagram.append('\0');
    const QString marker = SecondRequestMarker(request);
    if (!marker.isEmpty())
    {
        mSendSecondRequest = true;
        mSecondRequestDatagram = request.toLocal8Bit();
        mSecondRequestDatagram.append('\0');
        mSecondRequestDatagram.append(marker.toLocal8Bit());
        mSecondRequestDatagram.append('\0');
    }
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
                ip == QHostAddress::LocalHost)
            {
                continue;
            }
            QUdpSocket* socket = new QUdpSocket(this);
            if (!socket->bind(ip, 0))
            {
                delete socket;
                continue;
            }
            connect(socket, &QUdpSocket::readyRead, this, &cUnitFinder::UDPRead);
            mSockets.append(socket);
        }
    }
}

void cUnitFinder::SendRequests()
{
    UDPRead();
    for (QUdpSocket* socket : mSockets)
    {
        if (mSendSecondRequest)
        {
            socket->writeDatagram(mSecondRequestDatagram, QHostAddress(QHostAddress::Broadcast),
                                  REQUEST_PORT);
        }
        socket->writeDatagram(mRequestDatagram, QHostAddress(QHostAddress::Broadcast), REQUEST_PORT);
    }
}

void cUnitFinder::UDPRead()
{
    for (QUdpSocket* socket : mSockets)
    {
        while (socket->hasPendingDatagrams())
        {
            QByteArray datagram(int(qMax<qint64>(socket->pendingDatagramSize(), 0)), '\0');
            QHostAddress sender;
            if (socket->readDatagram(datagram.data(), datagram.size(), &sender) < 0)
            {
                break;
            }
            const int end = datagram.indexOf('\0');
            if (end < 0)
            {
                continue;
            }
            sUnit unit;
            unit.mAddress = sender;
            unit.mName = QString::fromLatin1(datagram.left(end));
            unit.mRequest = mRequest;
            emit UnitSeen(unit, false);
        }
    }
}
