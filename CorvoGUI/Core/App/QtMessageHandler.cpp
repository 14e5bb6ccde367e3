#include "CorvoGUI/Core/App/QtMessageHandler.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

void MessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray text = message.toLocal8Bit();
    const char* file = context.file != nullptr ? context.file : "";
    const char* function = context.function != nullptr ? context.function : "";
    const char* prefix = nullptr;
    FILE* stream = stderr;
    switch (type)
    {
    case QtDebugMsg:
        prefix = "Debug";
        stream = stdout;
        break;
    case QtInfoMsg:
        prefix = "Info";
        stream = stdout;
        break;
    case QtWarningMsg:
        prefix = "Warning";
        break;
    case QtCriticalMsg:
        prefix = "Critical";
        break;
    case QtFatalMsg:
        prefix = "Fatal";
        break;
    }
    if (prefix == nullptr)
    {
        return;
    }
    std::fprintf(stream, "%s: %s (%s:%u, %s)\n", prefix, text.constData(), file, unsigned(context.line),
                 function);
    if (type == QtFatalMsg)
    {
        std::abort();
    }
}
