#pragma once

#include "tests/support/cQmlWarningGuard.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QQmlEngine;

// The QML engine warnings of a Qt Quick Test run, for test cases that fail on them (CorvoTest's
// WarningCheckedTestCase): every warning the run's engines report, and, once armed, what a
// cQmlWarningGuard catches of the log (console.warn, "Cannot queue arguments", ...).
//
// Qt Quick Test installs its own message handler when its first test case starts, and that handler
// passes nothing on to one installed before it; so the guard is armed from a running test case, on
// top of Qt Quick Test's handler, which still logs every message. What an engine reports before
// (loading the first file) arrives by its warnings signal.
//
// The runner's set-up object (QUICK_TEST_MAIN_WITH_SETUP) holds one: Watch from qmlEngineAvailable,
// Finish from cleanupTestCase. QML sees it as "_QmlWarnings". GUI thread (the guard's handler runs
// on any thread).
class cQuickTestWarnings : public QObject
{
    Q_OBJECT

public:
    cQuickTestWarnings();
    ~cQuickTestWarnings() override;

    // Before the engine loads anything: puts CorvoTest on its import path, gives it "_QmlWarnings",
    // and records every warning it reports, for its lifetime.
    void Watch(QQmlEngine& engine);
    // Removes the guard (its predecessor, Qt Quick Test's handler, is the handler again); a warning
    // that no test function took ends the run with a fatal error.
    void Finish();

    // Installs the guard, the first time. From a running test case.
    Q_INVOKABLE void arm();
    // The warnings since the last take, without repeats (an engine's warning comes both ways), oldest
    // first.
    Q_INVOKABLE QStringList take();

private:
    QStringList mEngineWarnings;
    std::unique_ptr<cQmlWarningGuard> mGuard;
};
