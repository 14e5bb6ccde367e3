#pragma once

#include "KVNet/QT/Discovery/sUnit.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>

#include <mutex>

class cUnitFinder;

// Finds units on the local network: listens on UDP port 51319 for the responders' find-me
// datagrams, keeps the units it has seen (at most 256) and drives one request sender per
// watched unit type. A unit is found when first seen and lost five ticks (of 1000 ms) after it
// was last seen; UnitFound and UnitLost are emitted once each.
//
// A find-me datagram is taken only when its first four texts are NUL-terminated within the
// datagram, the first is "KV_UFV2" and the second a watched request text; anything else is
// dropped without a report.
//
// Threads: lives on the thread that made it (the timer and the sockets run there);
// GetFoundUnits, GetFoundUnitsOfType and GetUnitAddress may be called from any thread.
class cMultiUnitFinder : public QObject
{
    Q_OBJECT

public:
    // tickMs: the period of TimerFired (1000 ms in the program).
    explicit cMultiUnitFinder(QObject* parent = nullptr, int tickMs = 1000);
    ~cMultiUnitFinder() override;

    // Watches a unit type (nothing when watched already), with a request sender when asked.
    void AddUnitType(const QString& request, bool createRequestSender);
    // Stops watching a type: its request senders go, and its found units are lost.
    void RemoveUnitType(const QString& request);
    void RemoveAllUnitTypes();

    QList<sUnit> GetFoundUnits();
    QList<sUnit> GetFoundUnitsOfType(const QString& request);
    // The address of the found unit of that name and type; null when there is none.
    QHostAddress GetUnitAddress(const QString& name, const QString& request);
    bool IsBound() const { return mSocket.state() == QAbstractSocket::BoundState; }

signals:
    void UnitFound(sUnit Unit);
    void UnitLost(sUnit Unit);

public slots:
    void UnitSeen(sUnit Unit);
    void DiscoveryPortUDPRead();
    // One tick: rebinds a lost socket, sends every request, ages the units seen.
    void TimerFired();

private:
    struct sSeenUnit
    {
        sUnit mUnit;
        int mLife;
    };

    void Bind();
    void RemoveFound(const sUnit& unit);

    QList<cUnitFinder*> mFinders;
    QList<sUnit> mFoundUnits;
    std::mutex mFoundMutex;
    QList<sSeenUnit> mSeenUnits;
    QUdpSocket mSocket;
    QTimer mTimer;
    QSet<QString> mWatched;
    std::mutex mWatchedMutex;
};

// The process-wide unit finder the connection layer asks for unit names; null unless something
// sets it (nothing in this program does). Whoever sets it deletes it.
extern cMultiUnitFinder* gMultiUnitFinder;
