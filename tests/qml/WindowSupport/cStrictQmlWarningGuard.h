#pragma once

#include "tests/support/cQmlWarningGuard.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// cQmlWarningGuard, and on top of it every warning the QML engine reports against a file, whatever
// its text: the engine names the QML or JavaScript file in the message's context and at the start of
// the text ("qrc:/main.qml:12:5: ..." or "file:///.../DefaultFileDialog.qml:102:33: ..."), so a
// warning from Qt's own dialogs, or one whose wording the guard does not know, counts too.
//
// While it lives it is the Qt message handler (any thread); every message goes on to the guard's
// handler. One at a time (it holds the one cQmlWarningGuard). Check it where the test ends:
//
//     cStrictQmlWarningGuard guard;
//     ... load and drive QML ...
//     QML_VERIFY_NO_WARNINGS(guard);
class cStrictQmlWarningGuard
{
public:
    cStrictQmlWarningGuard();
    ~cStrictQmlWarningGuard();
    cStrictQmlWarningGuard(const cStrictQmlWarningGuard&) = delete;
    cStrictQmlWarningGuard& operator=(const cStrictQmlWarningGuard&) = delete;

    // The messages counted so far: the guard's, then the engine's other file warnings.
    QStringList Problems() const;
    bool IsClean() const { return Problems().isEmpty(); }
    void Clear();

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    cQmlWarningGuard mGuard;
    mutable QMutex mMutex;
    QStringList mFileWarnings;
    QtMessageHandler mPrevious;
};
