#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDateTime>
#include <QMutex>
#include <QRecursiveMutex>
#include <QtDebug>

#include <cstdarg>
#include <cstdio>
#include <iostream>

namespace
{

constexpr std::size_t kMessageBufferSize = 512;

qint64 gStartTime = QDateTime::currentMSecsSinceEpoch();

void WriteToStandardOutput(const std::string& line)
{
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cout.flush();
}

QRecursiveMutex& TraceLock()
{
    static QRecursiveMutex lock;
    return lock;
}

tReportSink& Sink()
{
    static tReportSink sink = WriteToStandardOutput;
    return sink;
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

    QMutexLocker lock(&TraceLock());
    std::string text;
    text.reserve(kMessageBufferSize + 64);
    text += prefix;
    text += message;
    text += "\t(file:///";
    text += file != nullptr ? file : "";
    text += ':';
    text += std::to_string(line);
    text += ":)\n";
    if (Sink())
    {
        Sink()(text);
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

tReportSink SetReportSink(tReportSink sink)
{
    QMutexLocker lock(&TraceLock());
    tReportSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}
