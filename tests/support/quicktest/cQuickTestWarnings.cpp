#include "tests/support/quicktest/cQuickTestWarnings.h"

#include <QList>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>

cQuickTestWarnings::cQuickTestWarnings() = default;

cQuickTestWarnings::~cQuickTestWarnings() = default;

void cQuickTestWarnings::Watch(QQmlEngine& engine)
{
    engine.addImportPath(QStringLiteral(CORVO_QUICK_TEST_IMPORT_PATH));
    engine.rootContext()->setContextProperty(QStringLiteral("_QmlWarnings"), this);
    connect(&engine, &QQmlEngine::warnings, this,
            [this](const QList<QQmlError>& warnings)
            {
                for (const QQmlError& warning : warnings)
                {
                    mEngineWarnings << warning.toString();
                }
            });
}

void cQuickTestWarnings::Finish()
{
    const QStringList left = take();
    mGuard.reset();
    if (!left.isEmpty())
    {
        qFatal("QML engine warnings outside the test functions:\n%s", qPrintable(left.join('\n')));
    }
}

void cQuickTestWarnings::arm()
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
