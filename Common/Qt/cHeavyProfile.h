#pragma once

#include "Common/Qt/cHeavyProfileEntry.h"

#include <QHash>
#include <QString>

#include <memory>
#include <mutex>

class QThread;

// A developer's profiler: named measuring points (cHeavyProfileEntry) in one process-wide
// profile, and two formatters that turn a duration into text. Nothing in the program creates a
// measuring point or asks for the profile.
//
// Threads: every operation may be called from any thread.
class cHeavyProfile
{
public:
    // The profile, made on the first call.
    static cHeavyProfile* Instance();
    static void DeleteInstance();

    // The measuring point of that name, made on first use; it lives as long as the profile.
    cHeavyProfileEntry* Entry(const QString& name);

    // Records the calling thread as the owner when there is none yet.
    void SetOwnerThread();
    bool IsOwnerThread() const;

    // "1days 1hours 1ms": weeks, days, hours, minutes and seconds each only when the amount
    // reaches it, then always the milliseconds.
    static QString FormatMilliseconds(quint32 milliseconds);
    // Likewise minutes, seconds, milliseconds and microseconds, then always the nanoseconds.
    static QString FormatNanoseconds(quint64 nanoseconds);

private:
    cHeavyProfile() = default;

    mutable std::mutex mMutex;
    QHash<QString, std::shared_ptr<cHeavyProfileEntry>> mEntries;
    QThread* mOwnerThread = nullptr;
};
