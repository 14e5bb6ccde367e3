#pragma once

#include "tests/support/cQmlWarningGuard.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QQmlEngine;

// Collects the warnings by which the QML engine tells of a bug, for Qt Quick Tests that fail on
// them: every warning an engine reports (from Watch on), and, once watchMessages has run, what a
// cQmlWarningGuard catches of the log (console.warn, "Cannot queue arguments", ...).
//
// QtQuickTest installs its own message handler when its first test case starts, and that handler
// passes nothing on; so the guard is installed from a running test case (watchMessages in
// initTestCase), on top of QtQuickTest's handler, which still logs every message.
//
// QML sees it as "_QmlWarnings". GUI thread (the guard's handler runs on any thread).
class cQuickTestWarnings : public QObject
{
    Q_OBJECT

public:
    cQuickTestWarnings();
    ~cQuickTestWarnings() override;

    // Records every warning this engine reports, for its lifetime.
    void Watch(QQmlEngine& engine);
    // Removes the guard; its handler's predecessor is the handler again.
    void StopWatchingMessages();

    // Installs the guard, the first time.
    Q_INVOKABLE void watchMessages();
    // The warnings since the last take, without repeats, oldest first.
    Q_INVOKABLE QStringList take();

private:
    QStringList mEngineWarnings;
    std::unique_ptr<cQmlWarningGuard> mGuard;
};
