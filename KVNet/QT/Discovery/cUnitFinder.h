#pragma once

#include "KVNet/QT/Discovery/sUnit.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class QUdpSocket;
class cMultiUnitFinder;

// Sends the find request of one unit type and reads the replies. At construction it binds one
// UDP socket to each IPv4 address of the machine's valid network interfaces other than
// 127.0.0.1 (a socket whose bind fails is dropped); SendRequests broadcasts the request from
// each, on port 51320. A reply's text up to its first NUL is the unit's name; a reply without a
// NUL is dropped.
//
// Threads: the thread of its multi-unit finder.
class cUnitFinder : public QObject
{
    Q_OBJECT

public:
    cUnitFinder(const QString& request, cMultiUnitFinder* parent);

    QString GetRequest() const { return mRequest; }
    // Reads pending replies, then sends the second request form (for the types that have one)
    // and the request on every socket.
    void SendRequests();
    int GetSocketCount() const { return mSockets.size(); }

signals:
    void UnitSeen(sUnit Unit, bool isV2);
    void UnitSeen(sUnit Unit);

public slots:
    void UDPRead();

private:
    QList<QUdpSocket*> mSockets;
    QByteArray mRequestDatagram;
    QByteArray mSecondRequestDatagram;
    bool mSendSecondRequest = false;
    QString mRequest;
};
