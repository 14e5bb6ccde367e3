#pragma once

#include <QtGlobal>

#include <cstddef>
#include <functional>
#include <string>

// Error, notification and trace reports, callable from every thread.
// A report line is "ERROR: " or "Notification: ", the message (cut to 511 characters),
// "\t(file:///<file>:<line>:)" and a newline, written whole under the trace lock.
//
// Floods are held back: a place (prefix, file and line) prints each text at most once in a window
// of REPORT_HOLD_BACK_WINDOW_MS, and at most REPORT_TEXTS_PER_WINDOW different texts. What it holds back
// is counted; when the window is over (at the next report from anywhere, or FlushHeldBackReports),
// one line with the same prefix and link says "<n> more reports from here held back in the last
// second", and the place starts afresh.

#define KV_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))

void ReportError(const char* file, int line, const char* function, const char* format, ...)
    KV_PRINTF_FORMAT(4, 5);
void ReportNotification(const char* file, int line, const char* function, const char* format, ...)
    KV_PRINTF_FORMAT(4, 5);
// Same as ReportNotification; kept for callers of the second name.
void ReportNotice(const char* file, int line, const char* function, const char* format, ...)
    KV_PRINTF_FORMAT(4, 5);
// Formats the message and writes nothing.
void ReportTrace(const char* file, int line, const char* function, const char* format, ...)
    KV_PRINTF_FORMAT(4, 5);
// The report line without a prefix.
void PrintFileLink(const char* file, int line, const char* function, const char* format, ...)
    KV_PRINTF_FORMAT(4, 5);

// Milliseconds since the program was loaded (or since ResetStartTime).
qint64 GetElapsedTime();
void ResetStartTime();
// "Elapsed = <ms>ms\t(<file>:<line>)", written without the trace lock.
void PrintElapsedTime(const char* file, int line);

constexpr qint64 REPORT_HOLD_BACK_WINDOW_MS = 1000;
constexpr std::size_t REPORT_TEXTS_PER_WINDOW = 32;

// Closes the windows that are over, printing their held-back counts. Cheap when nothing is held
// back; the action-tick thread calls it every tick.
void FlushHeldBackReports();
// Forgets every window and count (tests start from a clean slate).
void ResetReportHoldBack();
// The clock of the windows, in milliseconds: a steady clock by default. Returns the one it
// replaces; an empty function restores the steady clock.
using tReportClock = std::function<qint64()>;
tReportClock SetReportClock(tReportClock clock);

// Where report lines go: standard output by default. The sink is called under the trace lock
// with the whole line, newline included. Returns the sink it replaces.
using tReportSink = std::function<void(const std::string& line)>;
tReportSink SetReportSink(tReportSink sink);

#define KV_REPORT_ERROR(...) ReportError(__FILE__, __LINE__, Q_FUNC_INFO, __VA_ARGS__)
#define KV_REPORT_NOTIFICATION(...) ReportNotification(__FILE__, __LINE__, Q_FUNC_INFO, __VA_ARGS__)
#define KV_REPORT_TRACE(...) ReportTrace(__FILE__, __LINE__, Q_FUNC_INFO, __VA_ARGS__)
