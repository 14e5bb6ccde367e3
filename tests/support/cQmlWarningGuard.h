#pragma once

#include <QMutex>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// Catches the warnings by which Qt's QML engine tells of a bug, so that a test fails on them
// instead of letting them pile up in the log: a TypeError, ReferenceError or other script error,
// a binding loop, an import that does not resolve, a component that failed to load, an image that
// cannot be loaded, a property assignment QML refused, and a signal whose arguments cannot be
// queued to the GUI thread (an argument type missing its meta-type). Any warning of the "qml" and
// "js" categories (console.warn, console.error) counts too, and so does every warning the engine
// reports against a QML or JavaScript file, whatever its wording: the engine names the file in the
// message's context and at the start of the text ("qrc:/main.qml:12:5: ..." or
// "file:///.../DefaultFileDialog.qml:102:33: ..."), so one from Qt's own QML files counts as well.
//
// While it lives it is the Qt message handler (from any thread); every message still goes on to
// the handler that was installed before (QtTest's, so the log and QTest::ignoreMessage work as
// usual). One guard at a time. Check it where the test ends:
//
//     cQmlWarningGuard guard;
//     ... load and drive QML ...
//     QML_VERIFY_NO_WARNINGS(guard);
class cQmlWarningGuard
{
public:
    cQmlWarningGuard();
    ~cQmlWarningGuard();
    cQmlWarningGuard(const cQmlWarningGuard&) = delete;
    cQmlWarningGuard& operator=(const cQmlWarningGuard&) = delete;

    // A message the test expects (matched against the message text) is not counted.
    void Allow(const QRegularExpression& expected);
    // The messages counted so far, in order.
    QStringList Problems() const;
    bool IsClean() const { return Problems().isEmpty(); }
    void Clear();

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    bool Counts(QtMsgType type, const QMessageLogContext& context, const QString& message) const;

    mutable QMutex mMutex;
    QStringList mProblems;
    std::vector<QRegularExpression> mAllowed;
    QtMessageHandler mPrevious;
};

#define QML_VERIFY_NO_WARNINGS(guard) QVERIFY2((guard).IsClean(), qPrintable((guard).Problems().join('\n')))
