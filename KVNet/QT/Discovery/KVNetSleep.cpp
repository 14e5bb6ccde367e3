#include "KVNet/QT/Discovery/KVNetSleep.h"

#include <QThread>

void SleepMilliseconds(unsigned long milliseconds)
{
    QThread::msleep(milliseconds);
}

void SleepMicroseconds(unsigned long microseconds)
{
    QThread::usleep(microseconds);
}
