#include "KVNet/QT/Discovery/cTestDottedIPAddress.h"

#include "KVNet/QT/Discovery/cTestDottedIPAddressWorker.h"

cTestDottedIPAddress::cTestDottedIPAddress(QObject* parent, const QString& address, int timeLimitMs)
    : QObject(parent)
    , mWorker(new cTestDottedIPAddressWorker(this, address, timeLimitMs))
{
}

cTestDottedIPAddress::~cTestDottedIPAddress()
{
    if (!mController.Thread()->isRunning() && !mController.Thread()->isFinished())
    {
        // Never started: no thread end will delete the worker.
        delete mWorker;
    }
}

void cTestDottedIPAddress::Start()
{
    // A second start would hand the worker to its thread twice (and delete it twice).
    if (mController.Thread()->isRunning() || mController.Thread()->isFinished())
    {
        return;
    }
    mController.Start(mWorker);
    emit mWorker->StartSignal();
}

int cTestDottedIPAddress::GetResult()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mResult;
}

void cTestDottedIPAddress::WaitForResult()
{
    std::unique_lock<std::mutex> lock(mMutex);
    mResultReady.wait(lock, [this] { return mResult != RUNNING; });
}

void cTestDottedIPAddress::SetResult(int result)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mResult != RUNNING)
        {
            return;
        }
        mResult = result;
    }
    mResultReady.notify_all();
    emit FinishedSignal();
}
