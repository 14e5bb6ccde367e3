#include "KVNet/QT/Connections/cLostCommsReceiverWorker.h"

#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QTimer>

void cLostCommsReceiverWorker::SetLogLostComms(UWORD connectionId, bool log)
{
    if (IsValidId(connectionId))
    {
        std::lock_guard<std::mutex> lock(mLogMutex);
        mRecords[connectionId - 1].mLogEnabled = log ? 1 : 0;
    }
}

bool cLostCommsReceiverWorker::GetLogLostComms(UWORD connectionId)
{
    if (!IsValidId(connectionId))
    {
        return false;
    }
    std::lock_guard<std::mutex> lock(mLogMutex);
    return mRecords[connectionId - 1].mLogEnabled != 0;
}

UBYTE cLostCommsReceiverWorker::GetTTL(UWORD connectionId) const
{
    return IsValidId(connectionId) ? mRecords[connectionId - 1].mTTL : UBYTE(0);
}

void cLostCommsReceiverWorker::InitOnThread()
{
    mTimer = new QTimer(this);
    connect(mTimer, &QTimer::timeout, this, &cLostCommsReceiverWorker::TimerFired);
    mTimer->start(TICK_PERIOD_MS);
}

void cLostCommsReceiverWorker::ReceivedMessageSlot(UWORD LocalConnectionId)
{
    if (IsValidId(LocalConnectionId) && mRecords[LocalConnectionId - 1].mTTL != 0)
    {
        mRecords[LocalConnectionId - 1].mTTL = TTL_START;
    }
}

void cLostCommsReceiverWorker::NewUDPConnectionSlot(UWORD ConnectionId)
{
    if (!IsValidId(ConnectionId))
    {
        return;
    }
    sRecord& record = mRecords[ConnectionId - 1];
    if (record.mTTL != 0)
    {
        KV_REPORT_ERROR("Lost Comms Receiver Unit Already in Use, ConnectionId %d", int(ConnectionId));
        return;
    }
    record.mTTL = TTL_START;
    std::lock_guard<std::mutex> lock(mLogMutex);
    record.mLogEnabled = 1;
}

void cLostCommsReceiverWorker::ConnectionClosedSlot(UWORD ConnectionId)
{
    if (IsValidId(ConnectionId))
    {
        mRecords[ConnectionId - 1].mTTL = 0;
    }
}

void cLostCommsReceiverWorker::TimerFired()
{
    for (UWORD index = 0; index < MAX_CONNECTIONS; ++index)
    {
        sRecord& record = mRecords[index];
        if (record.mTTL == 0)
        {
            continue;
        }
        const UWORD id = UWORD(index + 1);
        --record.mTTL;
        if (record.mLowWarned == 0 && record.mTTL <= TTL_WARNING)
        {
            record.mLowWarned = 1;
            emit UnitLowTTLWarning(id, true);
        }
        else if (record.mLowWarned != 0 && record.mTTL > TTL_WARNING)
        {
            record.mLowWarned = 0;
            emit UnitLowTTLWarning(id, false);
        }
        if (record.mTTL == 0)
        {
            cNetworkConnection* network = cNetworkConnection::ExistingInstance();
            if (GetLogLostComms(id))
            {
                const std::string name =
                    network != nullptr ? network->GetConnectionDisplayName(id) : std::string();
                KV_REPORT_NOTIFICATION("Communication lost to unit - %s", name.c_str());
            }
            if (network != nullptr)
            {
                network->LostCommsDetected(id);
            }
        }
    }
}
