#include "Common/Qt/cHeavyProfile.h"

#include <QThread>

#include <atomic>

namespace
{

std::atomic<cHeavyProfile*> gProfile{nullptr};
std::mutex gCreationMutex;

struct sTimeUnit
{
    quint64 mSize;
    const char* mFormat;
};

template <std::size_t N>
QString Format(quint64 amount, const sTimeUnit (&units)[N], const char* rest)
{
    QString text;
    for (const sTimeUnit& unit : units)
    {
        if (amount >= unit.mSize)
        {
            text += QString::fromLatin1(unit.mFormat).arg(amount / unit.mSize);
            amount %= unit.mSize;
        }
    }
    return text + QString::fromLatin1(rest).arg(amount);
}

} // namespace

cHeavyProfile* cHeavyProfile::Instance()
{
    if (cHeavyProfile* profile = gProfile.load())
    {
        return profile;
    }
    std::lock_guard<std::mutex> lock(gCreationMutex);
    if (gProfile.load() == nullptr)
    {
        gProfile.store(new cHeavyProfile());
    }
    return gProfile.load();
}

void cHeavyProfile::DeleteInstance()
{
    cHeavyProfile* profile = nullptr;
    {
        std::lock_guard<std::mutex> lock(gCreationMutex);
        profile = gProfile.exchange(nullptr);
    }
    delete profile;
}

cHeavyProfileEntry* cHeavyProfile::Entry(const QString& name)
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::shared_ptr<cHeavyProfileEntry>& entry = mEntries[name];
    if (!entry)
    {
        entry = std::make_shared<cHeavyProfileEntry>();
    }
    return entry.get();
}

void cHeavyProfile::SetOwnerThread()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mOwnerThread == nullptr)
    {
        mOwnerThread = QThread::currentThread();
    }
}

bool cHeavyProfile::IsOwnerThread() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mOwnerThread == QThread::currentThread();
}

QString cHeavyProfile::FormatMilliseconds(quint32 milliseconds)
{
    static const sTimeUnit units[] = {{604800000ULL, "%1weeks "},
                                      {86400000ULL, "%1days "},
                                      {3600000ULL, "%1hours "},
                                      {60000ULL, "%1min "},
                                      {1000ULL, "%1sec "}};
    return Format(milliseconds, units, "%1ms");
}

QString cHeavyProfile::FormatNanoseconds(quint64 nanoseconds)
{
    static const sTimeUnit units[] = {
        {60000000000ULL, "%1min "}, {1000000000ULL, "%1sec "}, {1000000ULL, "%1ms "}, {1000ULL, "%1us "}};
    return Format(nanoseconds, units, "%1ns");
}
