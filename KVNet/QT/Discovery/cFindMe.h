#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

// Makes this unit findable: every 1000 ms it broadcasts the find-me datagram (magic, request
// text, unit name, additional text) to port 51319 on the broadcast address of each IPv4 address
// of the machine's valid interfaces other than 127.0.0.1; when asked to answer requests, it
// listens on port 51320 and answers a datagram that is exactly its request text with its name.
//
// Threads: lives on the thread that made it.
class cFindMe : public QObject
{
    Q_OBJECT

public:
    // tickMs: the period of TimerFired (1000 ms in the program).
    cFindMe(const QString& request, const QString& unitName, const QString& additional, QObject* parent,
            bool answerRequests, int tickMs = 1000);

    void SetUnitName(const QString& unitName);
    QString GetUnitName() const { return mUnitName; }
    // The broadcast address the last find-me datagram went to (null before the first).
    QHostAddress GetLastBroadcastAddress() const { return mLastBroadcast; }

public slots:
    void UDPRead();
    void TimerFired();

private:
    void BuildDatagrams();

    QString mRequest;
    QString mUnitName;
    QString mAdditional;
    QByteArray mReply;
    QUdpSocket* mRequestSocket = nullptr;
    QUdpSocket mBroadcastSocket;
    QHostAddress mLastBroadcast;
    QTimer mTimer;
    QByteArray mFindMeDatagram;
    QByteArray mReceiveBuffer;
    bool mAnswerRequests;
};
