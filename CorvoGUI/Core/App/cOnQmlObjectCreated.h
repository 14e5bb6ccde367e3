#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QUrl>

// Connected to QQmlApplicationEngine::objectCreated: ends the event loop with -1 when the main QML
// file could not be loaded (no object for the main URL); anything else is left alone. GUI thread.
class cOnQmlObjectCreated
{
public:
    explicit cOnQmlObjectCreated(const QUrl& mainUrl)
        : mMainUrl(mainUrl)
    {
    }

    void operator()(QObject* object, const QUrl& url) const
    {
        if (object == nullptr && url == mMainUrl)
        {
            QCoreApplication::exit(-1);
        }
    }

private:
    QUrl mMainUrl;
};
