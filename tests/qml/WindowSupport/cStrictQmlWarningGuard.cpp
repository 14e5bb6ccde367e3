#include "tests/qml/WindowSupport/cStrictQmlWarningGuard.h"

#include <QRegularExpression>

#include <atomic>

namespace
{

std::atomic<cStrictQmlWarningGuard*> gActiveStrictGuard{nullptr};

bool NamesAQmlFile(const QMessageLogContext& context, const QString& message)
{
    static const QRegularExpression fileAtStart(QStringLiteral("^(qrc|file):\\S*\\.(qml|js|mjs)(:\\d+)*:"));
    const QString file = QString::fromUtf8(context.file != nullptr ? context.file : "");
    return file.startsWith(QLatin1String("qrc:")) || file.startsWith(QLatin1String("file:")) ||
           fileAtStart.match(message).hasMatch();
}

} // namespace

cStrictQmlWarningGuard::cStrictQmlWarningGuard()
{
    cStrictQmlWarningGuard* expected = nullptr;
    const bool installed = gActiveStrictGuard.compare_exchange_strong(expected, this);
    Q_ASSERT_X(installed, "cStrictQmlWarningGuard", "one guard at a time");
    Q_UNUSED(installed);
    mPrevious = qInstallMessageHandler(&cStrictQmlWarningGuard::Handler);
}

cStrictQmlWarningGuard::~cStrictQmlWarningGuard()
{
    qInstallMessageHandler(mPrevious);
    gActiveStrictGuard.store(nullptr);
}

QStringList cStrictQmlWarningGuard::Problems() const
{
    QStringList problems = mGuard.Problems();
    QMutexLocker lock(&mMutex);
    for (const QString& warning : mFileWarnings)
    {
        if (!problems.contains(warning))
        {
            problems.append(warning);
        }
    }
    return problems;
}

void cStrictQmlWarningGuard::Clear()
{
    mGuard.Clear();
    QMutexLocker lock(&mMutex);
    mFileWarnings.clear();
}

void cStrictQmlWarningGuard::Handler(QtMsgType type, const QMessageLogContext& context,
                                     const QString& message)
{
    cStrictQmlWarningGuard* guard = gActiveStrictGuard.load();
    if (guard == nullptr)
    {
        return;
    }
    if (type != QtDebugMsg && type != QtInfoMsg && NamesAQmlFile(context, message))
    {
        QMutexLocker lock(&guard->mMutex);
        guard->mFileWarnings.append(message);
    }
    if (guard->mPrevious != nullptr)
    {
        guard->mPrevious(type, context, message);
    }
}
