#pragma once

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QtGlobal>

// The clock of the reports' hold-back windows, moved by hand while it lives (tests of floods run
// in simulated time). Restores the previous clock on destruction.
class cManualReportClock
{
public:
    cManualReportClock()
    {
        mPrevious = SetReportClock([this] { return mNow; });
    }
    ~cManualReportClock() { SetReportClock(mPrevious); }
    cManualReportClock(const cManualReportClock&) = delete;
    cManualReportClock& operator=(const cManualReportClock&) = delete;

    qint64 mNow = 1000000;

private:
    tReportClock mPrevious;
};
