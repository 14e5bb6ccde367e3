#include "bench/support/ProcessCpu.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

#include <unistd.h>

namespace nProcessCpu
{

double StatSeconds(const QString& statPath, QString* name)
{
    QFile file(statPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        return 0.0;
    }
    const QByteArray line = file.readAll();
    // The name stands in parentheses and may hold blanks and parentheses itself.
    const int open = line.indexOf('(');
    const int close = line.lastIndexOf(')');
    if (open < 0 || close < open)
    {
        return 0.0;
    }
    if (name != nullptr)
    {
        *name = QString::fromLatin1(line.mid(open + 1, close - open - 1));
    }
    // After the name: state is field 3, utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 13)
    {
        return 0.0;
    }
    return (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

QMap<QString, double> ThreadSeconds(qint64 pid)
{
    QMap<QString, double> threads;
    const QString folder = QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList tasks = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks)
    {
        QString name;
        const double seconds = StatSeconds(folder + QStringLiteral("/%1/stat").arg(task), &name);
        threads[name] += seconds;
    }
    return threads;
}

} // namespace nProcessCpu
