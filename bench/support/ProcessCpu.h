#pragma once

#include <QMap>
#include <QString>

// The CPU time a process or a thread has used, from Linux's /proc (utime + stime, in seconds at the
// clock tick's resolution). Any thread.
namespace nProcessCpu
{

// The CPU time of the process or thread whose stat file that is ("/proc/<pid>/stat",
// "/proc/<pid>/task/<tid>/stat"); its name (comm) goes to `name`. 0 when the file cannot be read.
double StatSeconds(const QString& statPath, QString* name = nullptr);

// The CPU time of every thread of the process, by thread name (threads of one name are summed).
QMap<QString, double> ThreadSeconds(qint64 pid);

} // namespace nProcessCpu
