#include "tests/qml/Views/cQuickTestWarnings.h"

#include <QList>
#include <QQmlEngine>
#include <QQmlError>

cQuickTestWarnings::cQuickTestWarnings() = default;

cQuickTestWarnings::~cQuickTestWarnings() = default;

void cQuickTestWarnings::Watch(QQmlEngine& engine)
{
    connect(&engine, &QQmlEngine::warnings, this,
            [this](const QList<QQmlError>& warnings)
            {
                for (const QQmlError& warning : warnings)
                {
                    mEngineWarnings << warning.toString();
                }
            });
}

void cQuickTestWarnings::StopWatchingMessages()
{
    if (mGuard != nullptr)
    {
        mEngineWarnings << mGuard->Problems();
        mGuard.reset();
    }
}

void cQuickTestWarnings::watchMessages()
{
    if (mGuard == nullptr)
    {
        mGuard = std::make_unique<cQmlWarningGuard>();
    }
}

QStringList cQuickTestWarnings::take()
{
    QStringList warnings = mEngineWarnings;
    mEngineWarnings.clear();
    if (mGuard != nullptr)
    {
        warnings << mGuard->Problems();
        mGuard->Clear();
    }
    warnings.removeDuplicates();
    return warnings;
}
