#pragma once

#include <QString>
#include <QtGlobal>

// A Qt message handler: one line "Debug: ", "Info: ", "Warning: ", "Critical: " or "Fatal: ", the
// message (local 8-bit), then " (file:line, function)". Debug and info go to standard output, the
// others to standard error; a fatal message then aborts the process. The program does not install
// it (qInstallMessageHandler).
void MessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
