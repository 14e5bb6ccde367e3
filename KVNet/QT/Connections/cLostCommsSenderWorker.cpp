#include "KVNet/QT/Connections/cLostCommsSenderWorker.h"

#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QTimer>

bool cLostCommsSenderWorker::IsActive(UWORD connectionId) const
{
    return connectionId >= 1 && connectionId <= MAX_CONNECTIONS && mActive[connectionId - 1] != 0;
}

void cLostCommsSenderWorker::InitOnThread()
{
    mTimer = new QTimer(this);
    connect(mTimer, &QTimer::timeout, this, &cLostCommsSenderWorker::TimerFired);
    mTimer->start(HEARTBEAT_PERIOD_MS);
}

void cLostCommsSenderWorker::NewUDPConnectionSlot(UWORD ConnectionId)
{
    if (ConnectionId < 1 || ConnectionId > MAX_CONNECTIONS)
    {
        return;
    }
    if (mActive[ConnectionId - 1] != 0)
    {
        KV_REPORT_ERROR("Lost Comms Sender already active, ConnectionId %d", int(ConnectionId));
        return;
    }
    mActive[ConnectionId - 1] = 1;
}

void cLostCommsSenderWorker::ConnectionClosedSlot(UWORD ConnectionId)
{
    if (ConnectionId >= 1 && ConnectionId <= MAX_CONNECTIONS)
    {
        mActive[ConnectionId - 1] = 0;
    }
}

void cLostCommsSenderWorker::TimerFired()
{
    cNetworkConnection* network = cNetworkConnection::ExistingInstance();
    if (network == nullptr)
    {
        return;
    }
    for (UWORD id = 1; id <= MAX_CONNECTIONS; ++id)
    {
        if (mActive[id - 1] != 0)
        {
            network->SendUtilMessageOnUDP(&mHeartbeat, 1, id);
        }
    }
}
