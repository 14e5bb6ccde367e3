#include "KVNet/Core/cThreadController.h"

#include "KVNet/Core/cThreadWorker.h"

cThreadController::cThreadController(QThread::Priority priority)
    : mPriority(priority)
{
}

cThreadController::~cThreadController()
{
    mThread.quit();
    mThread.wait();
}

void cThreadController::Start(cThreadWorker* worker)
{
    worker->moveToThread(&mThread);
    connect(&mThread, &QThread::started, worker, &cThreadWorker::InitOnThread);
    connect(&mThread, &QThread::finished, worker, &QObject::deleteLater);
    mThread.start(mPriority);
}
