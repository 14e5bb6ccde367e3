#pragma once

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QString>
#include <QStringList>
#include <mutex>

// Collects every report line written while it lives (from any thread); restores the
// previous sink on destruction. It starts with no report held back (ResetReportHoldBack).
class cReportCapture
{
public:
    cReportCapture();
    ~cReportCapture();
    cReportCapture(const cReportCapture&) = delete;
    cReportCapture& operator=(const cReportCapture&) = delete;

    // Whole lines, newline included, in the order written.
    QStringList Lines() const;
    // Lines that contain the text.
    int Count(const QString& text) const;
    bool Contains(const QString& text) const { return Count(text) > 0; }
    void Clear();

private:
    mutable std::mutex mMutex;
    QStringList mLines;
    tReportSink mPrevious;
};
