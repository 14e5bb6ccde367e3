#include "KVNet/Core/cThreadWorker.h"

cThreadWorker::cThreadWorker(QObject* parent)
    : QObject(parent)
{
}

void cThreadWorker::InitOnThread() {}
