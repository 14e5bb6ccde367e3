#include "KVNet/Core/cThreadController.h"

#include "KVNet/Core/cThreadWorker.h"

cThreadController::cThreadController(QThread::Priority priority)
    : mPriority(priority)
{
}

cThreadController::~cThreadController()
{
    Quit();
    mThread.wait();
    // Pairs with the release after the worker's deletion.
    mWorkerDeleted.load(std::memory_order_acquire);
}

void cThreadController::Start(cThreadWorker* worker)
{
    worker->moveToThread(&mThread);
    connect(&mThread, &QThread::started, worker, &cThreadWorker::InitOnThread);
    // Runs on the ending thread, before any other receiver of finished.
    connect(
        &mThread, &QThread::finished, this,
        [this, worker]
        {
            const bool asked = mQuitAsked.load(std::memory_order_acquire);
            Q_ASSERT(asked);
            Q_UNUSED(asked);
            delete worker;
            emit WorkerDeleted();
            mWorkerDeleted.store(true, std::memory_order_release);
        },
        Qt::DirectConnection);
    mThread.start(mPriority);
}

void cThreadController::Quit()
{
    mQuitAsked.store(true, std::memory_order_release);
    mThread.quit();
}
