#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDateTime>
#include <QtDebug>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <unordered_set>

namespace
{

constexpr std::size_t kMessageBufferSize = 512;

qint64 gStartTime = QDateTime::currentMSecsSinceEpoch();

void WriteToStandardOutput(const std::string& line)
{
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cout.flush();
}

// A standard mutex rather than a Qt one, so that ThreadSanitizer sees every report's ordering.
std::recursive_mutex& TraceLock()
{
    static std::recursive_mutex lock;
    return lock;
}

tReportSink& Sink()
{
    static tReportSink sink = WriteToStandardOutput;
    return sink;
}

qint64 SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

tReportClock& Clock()
{
    static tReportClock clock = SteadyMilliseconds;
    return clock;
}

// The reports of one place (prefix, file and line) in its current window.
struct sReportSite
{
    std::string mPrefix;
    std::string mFile;
    int mLine = 0;
    qint64 mWindowStart = 0;
    std::unordered_set<std::string> mTexts; // printed in this window
    int mHeldBack = 0;
};

// Places that reported within the last window. Guarded by the trace lock.
std::map<std::string, sReportSite>& Sites()
{
    static std::map<std::string, sReportSite> sites;
    return sites;
}

// Places whose window holds back at least one report (read without the lock).
std::atomic<int> gSitesHolding{0};

std::string ReportLine(const std::string& prefix, const char* message, const std::string& file, int line)
{
    std::string text;
    text.reserve(kMessageBufferSize + 64);
    text += prefix;
    text += message;
    text += "\t(file:///";
    text += file;
    text += ':';
    text += std::to_string(line);
    text += ":)\n";
    return text;
}

void Emit(const std::string& line)
{
    if (Sink())
    {
        Sink()(line);
    }
}

// Under the trace lock: closes every window that is over, saying how many reports it held back.
void CloseWindowsLocked(qint64 now)
{
    auto& sites = Sites();
    for (auto it = sites.begin(); it != sites.end();)
    {
        sReportSite& site = it->second;
        if (now - site.mWindowStart < REPORT_HOLD_BACK_WINDOW_MS)
        {
            ++it;
            continue;
        }
        if (site.mHeldBack > 0)
        {
            char message[96];
            std::snprintf(message, sizeof message, "%d more reports from here held back in the last second",
                          site.mHeldBack);
            Emit(ReportLine(site.mPrefix, message, site.mFile, site.mLine));
            --gSitesHolding;
        }
        it = sites.erase(it);
    }
}

// Under the trace lock: true when this report is to be printed, false when it is held back.
bool TakeReportLocked(const char* prefix, const std::string& file, int line, const char* message, qint64 now)
{
    std::string key = prefix;
    key += '\n';
    key += file;
    key += '\n';
    key += std::to_string(line);
    auto found = Sites().find(key);
    if (found == Sites().end())
    {
        sReportSite site;
        site.mPrefix = prefix;
        site.mFile = file;
        site.mLine = line;
        site.mWindowStart = now;
        site.mTexts.insert(message);
        Sites().emplace(std::move(key), std::move(site));
        return true;
    }
    sReportSite& site = found->second;
    if (site.mTexts.size() < REPORT_TEXTS_PER_WINDOW && site.mTexts.insert(message).second)
    {
        return true;
    }
    if (site.mHeldBack++ == 0)
    {
        ++gSitesHolding;
    }
    return false;
}

void WriteReport(const char* prefix, const char* file, int line, const char* format, va_list args)
{
    char message[kMessageBufferSize];
    if (format == nullptr)
    {
        message[0] = '\0';
    }
    else
    {
        std::vsnprintf(message, sizeof message, format, args);
    }

    std::lock_guard<std::recursive_mutex> lock(TraceLock());
    const std::string fileName = file != nullptr ? file : "";
    const qint64 now = Clock() ? Clock()() : SteadyMilliseconds();
    CloseWindowsLocked(now);
    if (TakeReportLocked(prefix, fileName, line, message, now))
    {
        Emit(ReportLine(prefix, message, fileName, line));
    }
}

} // namespace

#define KV_WRITE_REPORT(prefix)                                                                              \
    va_list args;                                                                                            \
    va_start(args, format);                                                                                  \
    WriteReport(prefix, file, line, format, args);                                                           \
    va_end(args)

void ReportError(const char* file, int line, const char*, const char* format, ...)
{
    KV_WRITE_REPORT("ERROR: ");
}

void ReportNotification(const char* file, int line, const char*, const char* format, ...)
{
    KV_WRITE_REPORT("Notification: ");
}

void ReportNotice(const char* file, int line, const char*, const char* format, ...)
{
    KV_WRITE_REPORT("Notification: ");
}

void PrintFileLink(const char* file, int line, const char*, const char* format, ...)
{
    KV_WRITE_REPORT("");
}

void ReportTrace(const char*, int, const char*, const char* format, ...)
{
    char message[kMessageBufferSize];
    va_list args;
    va_start(args, format);
    if (format != nullptr)
    {
        std::vsnprintf(message, sizeof message, format, args);
    }
    va_end(args);
}

qint64 GetElapsedTime()
{
    return QDateTime::currentMSecsSinceEpoch() - gStartTime;
}

void ResetStartTime()
{
    qDebug() << "ResetStartTime";
    gStartTime = QDateTime::currentMSecsSinceEpoch();
}

void PrintElapsedTime(const char* file, int line)
{
    std::cout << "Elapsed = " << GetElapsedTime() << "ms\t(" << (file != nullptr ? file : "") << ":" << line
              << ")\n";
    std::cout.flush();
}

void FlushHeldBackReports()
{
    if (gSitesHolding.load() == 0)
    {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(TraceLock());
    CloseWindowsLocked(Clock() ? Clock()() : SteadyMilliseconds());
}

void ResetReportHoldBack()
{
    std::lock_guard<std::recursive_mutex> lock(TraceLock());
    Sites().clear();
    gSitesHolding = 0;
}

tReportClock SetReportClock(tReportClock clock)
{
    std::lock_guard<std::recursive_mutex> lock(TraceLock());
    tReportClock previous = std::move(Clock());
    Clock() = std::move(clock);
    return previous;
}

tReportSink SetReportSink(tReportSink sink)
{
    std::lock_guard<std::recursive_mutex> lock(TraceLock());
    tReportSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}
