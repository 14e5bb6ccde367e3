#include "KVNet/QT/Discovery/cMultiUnitFinder.h"

#include "KVNet/QT/Discovery/KVNetDiscoveryTexts.h"
#include "KVNet/QT/Discovery/cUnitFinder.h"

#include <QDebug>

using namespace nKVNetDiscovery;

cMultiUnitFinder* gMultiUnitFinder = nullptr;

cMultiUnitFinder::cMultiUnitFinder(QObject* parent, int tickMs)
    : QObject(parent)
{
    qRegisterMetaType<sUnit>("sUnit");
    connect(&mSocket, &QUdpSocket::readyRead, this, &cMultiUnitFinder::DiscoveryPortUDPRead);
    Bind();
    connect(&mTimer, &QTimer::timeout, this, &cMultiUnitFinder::TimerFired);
    mTimer.start(tickMs);
}

cMultiUnitFinder::~cMultiUnitFinder()
{
    mTimer.stop();
    mSocket.disconnect(this);
}

void cMultiUnitFinder::Bind()
{
    mSocket.bind(QHostAddress::Any, DISCOVERY_PORT, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
}

void cMultiUnitFinder::AddUnitType(const QString& request, bool createRequestSender)
{
    {
        std::lock_guard<std::mutex> lock(mWatchedMutex);
        if (mWatched.contains(request))
        {
            return;
        }
        mWatched.insert(request);
    }
    if (createRequestSender)
    {
        cUnitFinder* finder = new cUnitFinder(request, this);
        connect(finder, QOverload<sUnit, bool>::of(&cUnitFinder::UnitSeen), this,
                &cMultiUnitFinder::UnitSeen);
        mFinders.append(finder);
    }
}

void cMultiUnitFinder::RemoveUnitType(const QString& request)
{
    for (int i = mFinders.size() - 1; i >= 0; --i)
    {
        if (mFinders[i]->GetRequest() == request)
        {
            delete mFinders.takeAt(i);
        }
    }
    QList<sUnit> lost;
    {
        std::lock_guard<std::mutex> lock(mFoundMutex);
        for (int i = mFoundUnits.size() - 1; i >= 0; --i)
        {
            if (mFoundUnits[i].mRequest == request)
            {
                lost.prepend(mFoundUnits.takeAt(i));
            }
        }
    }
    for (int i = mSeenUnits.size() - 1; i >= 0; --i)
    {
        if (mSeenUnits[i].mUnit.mRequest == request)
        {
            mSeenUnits.removeAt(i);
        }
    }
    {
        std::lock_guard<std::mutex> lock(mWatchedMutex);
        mWatched.remove(request);
    }
    for (const sUnit& unit : lost)
    {
        emit UnitLost(unit);
    }
}

void cMultiUnitFinder::RemoveAllUnitTypes()
{
    for (;;)
    {
        QString request;
        {
            std::lock_guard<std::mutex> lock(mWatchedMutex);
            if (mWatched.isEmpty())
            {
                return;
            }
            request = *mWatched.begin();
        }
        RemoveUnitType(request);
    }
}

QList<sUnit> cMultiUnitFinder::GetFoundUnits()
{
    std::lock_guard<std::mutex> lock(mFoundMutex);
    return mFoundUnits;
}

QList<sUnit> cMultiUnitFinder::GetFoundUnitsOfType(const QString& request)
{
    QList<sUnit> units;
    std::lock_guard<std::mutex> lock(mFoundMutex);
    for (const sUnit& unit : mFoundUnits)
    {
        if (unit.mRequest == request)
        {
            units.append(unit);
        }
    }
    return units;
}

QHostAddress cMultiUnitFinder::GetUnitAddress(const QString& name, const QString& request)
{
    std::lock_guard<std::mutex> lock(mFoundMutex);
    for (const sUnit& unit : mFoundUnits)
    {
        if (unit.mName == name && unit.mRequest == request)
        {
            return unit.mAddress;
        }
    }
    return QHostAddress();
}

void cMultiUnitFinder::DiscoveryPortUDPRead()
{
    QList<sUnit> seen;
    {
        std::lock_guard<std::mutex> lock(mWatchedMutex);
        while (mSocket.hasPendingDatagrams())
        {
            QByteArray datagram(int(qMax<qint64>(mSocket.pendingDatagramSize(), 0)), '\0');
            QHostAddress sender;
            if (mSocket.readDatagram(datagram.data(), datagram.size(), &sender) < 0)
            {
                break;
            }
            const QList<QByteArray> texts = TerminatedTexts(datagram);
            if (texts.size() < 4 || QString::fromLocal8Bit(texts[0]) != MAGIC)
            {
                continue;
            }
            const QString request = QString::fromLocal8Bit(texts[1]);
            if (!mWatched.contains(request))
            {
                continue;
            }
            bool isIPv4 = false;
            const quint32 ipv4 = sender.toIPv4Address(&isIPv4);
            sUnit unit;
            unit.mAddress = isIPv4 ? QHostAddress(ipv4) : sender;
            unit.mName = QString::fromLocal8Bit(texts[2]);
            unit.mRequest = request;
            unit.mAdditional = QString::fromLocal8Bit(texts[3]);
            seen.append(unit);
        }
    }
    for (const sUnit& unit : seen)
    {
        UnitSeen(unit);
    }
}

void cMultiUnitFinder::UnitSeen(sUnit Unit)
{
    for (sSeenUnit& seen : mSeenUnits)
    {
        if (seen.mUnit == Unit)
        {
            seen.mLife = LIFE_TICKS;
            return;
        }
    }
    if (mSeenUnits.size() >= MAX_SEEN_UNITS)
    {
        return;
    }
    mSeenUnits.append({Unit, LIFE_TICKS});
    {
        std::lock_guard<std::mutex> lock(mFoundMutex);
        mFoundUnits.append(Unit);
    }
    emit UnitFound(Unit);
}

void cMultiUnitFinder::RemoveFound(const sUnit& unit)
{
    std::lock_guard<std::mutex> lock(mFoundMutex);
    mFoundUnits.removeOne(unit);
}

void cMultiUnitFinder::TimerFired()
{
    if (mSocket.state() != QAbstractSocket::BoundState)
    {
        qDebug().noquote() << "cMultiUnitFinder - TimerFired, not bound. attempting to bind socket... " +
                                  mSocket.errorString();
        Bind();
    }
    for (cUnitFinder* finder : mFinders)
    {
        finder->SendRequests();
    }
    for (int i = mSeenUnits.size() - 1; i >= 0; --i)
    {
        if (--mSeenUnits[i].mLife <= 0)
        {
            const sUnit unit = mSeenUnits.takeAt(i).mUnit;
            RemoveFound(unit);
            emit UnitLost(unit);
        }
    }
}
