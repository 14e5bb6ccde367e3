#include "KVNet/Core/cActionTickObject.h"

#include "KVNet/Core/cActionTickDriver.h"

#include <QTimerEvent>

cActionTickObject::cActionTickObject(cActionTickDriver* driver)
    : mDriver(driver)
    , mTimerId(startTimer(PERIOD_MS, Qt::PreciseTimer))
{
}

cActionTickObject::~cActionTickObject()
{
    if (mTimerId != 0)
    {
        killTimer(mTimerId);
    }
}

void cActionTickObject::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == mTimerId)
    {
        mDriver->TimerFired();
    }
}
