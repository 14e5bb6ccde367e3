#include "tests/support/cReportCapture.h"

cReportCapture::cReportCapture()
{
    mPrevious = SetReportSink(
        [this](const std::string& line)
        {
            QMutexLocker lock(&mMutex);
            mLines.append(QString::fromStdString(line));
        });
}

cReportCapture::~cReportCapture()
{
    SetReportSink(mPrevious);
}

QStringList cReportCapture::Lines() const
{
    QMutexLocker lock(&mMutex);
    return mLines;
}

int cReportCapture::Count(const QString& text) const
{
    QMutexLocker lock(&mMutex);
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
    QMutexLocker lock(&mMutex);
    mLines.clear();
}
