#include "KVNet/QT/Discovery/cTestDottedIPAddress.h"

#include "KVNet/QT/Discovery/cTestDottedIPAddressWorker.h"

cTestDottedIPAddress::cTestDottedIPAddress(QObject* parent, const QString& address, int timeLimitMs)
    : QObject(parent)
    , mWorker(new cTestDottedIPAddressWorker(this, address, timeLimitMs))
{
    mWorker->moveToThread(&mThread);
    connect(&mThread, &QThread::finished, mWorker, &QObject::deleteLater);
    connect(mWorker, &cTestDottedIPAddressWorker::StartSignal, mWorker, &cTestDottedIPAddressWorker::Start);
}

cTestDottedIPAddress::~cTestDottedIPAddress()
{
    if (!mThread.isRunning() && !mThread.isFinished())
    {
        // Never started: no thread end will delete the worker.
        delete mWorker;
        return;
    }
    mThread.quit();
    mThread.wait();
}

void cTestDottedIPAddress::Start()
{
    mThread.start(QThread::InheritPriority);
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
