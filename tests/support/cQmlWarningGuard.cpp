#include "tests/support/cQmlWarningGuard.h"

#include <QByteArray>

#include <atomic>

namespace
{

std::atomic<cQmlWarningGuard*> gActiveGuard{nullptr};

const QRegularExpression& BugPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("TypeError|ReferenceError|SyntaxError|RangeError|URIError|EvalError"
                       "|Binding loop detected"
                       "|is not installed|is not a type|plugin cannot be loaded|module \\S+ not found"
                       "|Cannot open|Failed to get image|Error decoding|Cannot load"
                       "|Cannot assign|Unable to assign|Invalid property assignment|non-existent property"
                       "|Cannot queue arguments|Component is not ready|failed to load component"));
    return pattern;
}

// A warning the QML engine reports against a file: the file's URL is the message's context (as the
// engine logs it) or starts the text.
bool NamesAQmlFile(const QMessageLogContext& context, const QString& message)
{
    static const QRegularExpression fileAtStart(QStringLiteral("^(qrc|file):\\S*\\.(qml|js|mjs)(:\\d+)*:"));
    const QByteArray file(context.file != nullptr ? context.file : "");
    return file.startsWith("qrc:") || file.startsWith("file:") || fileAtStart.match(message).hasMatch();
}

} // namespace

cQmlWarningGuard::cQmlWarningGuard()
{
    cQmlWarningGuard* expected = nullptr;
    const bool installed = gActiveGuard.compare_exchange_strong(expected, this);
    Q_ASSERT_X(installed, "cQmlWarningGuard", "one guard at a time");
    Q_UNUSED(installed);
    mPrevious = qInstallMessageHandler(&cQmlWarningGuard::Handler);
}

cQmlWarningGuard::~cQmlWarningGuard()
{
    qInstallMessageHandler(mPrevious);
    gActiveGuard.store(nullptr);
}

void cQmlWarningGuard::Allow(const QRegularExpression& expected)
{
    QMutexLocker lock(&mMutex);
    mAllowed.push_back(expected);
}

QStringList cQmlWarningGuard::Problems() const
{
    QMutexLocker lock(&mMutex);
    return mProblems;
}

void cQmlWarningGuard::Clear()
{
    QMutexLocker lock(&mMutex);
    mProblems.clear();
}

void cQmlWarningGuard::Handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    cQmlWarningGuard* guard = gActiveGuard.load();
    if (guard == nullptr)
    {
        return;
    }
    {
        QMutexLocker lock(&guard->mMutex);
        if (guard->Counts(type, context, message))
        {
            guard->mProblems.append(message);
        }
    }
    if (guard->mPrevious != nullptr)
    {
        guard->mPrevious(type, context, message);
    }
}

bool cQmlWarningGuard::Counts(QtMsgType type, const QMessageLogContext& context, const QString& message) const
{
    if (type == QtDebugMsg || type == QtInfoMsg)
    {
        return false;
    }
    for (const QRegularExpression& allowed : mAllowed)
    {
        if (allowed.match(message).hasMatch())
        {
            return false;
        }
    }
    const QByteArray category(context.category != nullptr ? context.category : "");
    return category == "qml" || category == "js" || NamesAQmlFile(context, message) ||
           BugPattern().match(message).hasMatch();
}
