#include "tests/support/cReportCapture.h"

cReportCapture::cReportCapture()
{
    ResetReportHoldBack();
    mPrevious = SetReportSink(
        [this](const std::string& line)
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mLines.append(QString::fromStdString(line));
        });
}

cReportCapture::~cReportCapture()
{
    SetReportSink(mPrevious);
}

QStringList cReportCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLines;
}

int cReportCapture::Count(const QString& text) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int count = 0;
    for (const QString& line : mLines)
    {
        if (line.contains(text))
        {
            ++count;
        }
    }
    return count;
}

void cReportCapture::Clear()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mLines.clear();
}
