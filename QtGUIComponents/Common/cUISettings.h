#pragma once

#include <QColor>
#include <QObject>

class QJSEngine;
class QQmlEngine;

// User-interface switches for QML, the singleton "UISettings" of module "UISettingsSingleton" 1.0:
// whether the interface shows itself as connected, and the list boxes' background colour. Whoever
// creates the object stores it in gUISettings before QML first imports the module; the QML engine
// never owns it. Nothing in the program creates it.
//
// Threads: GUI thread only.
class cUISettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enableDisplayAsConnected READ enableDisplayAsConnected CONSTANT)
    Q_PROPERTY(QColor listboxBackGroundColour READ listboxBackGroundColour CONSTANT)

public:
    // Shown as connected; list boxes on opaque black.
    cUISettings();
    ~cUISettings() override = default;

    // gUISettings; never creates. Null (after the report "gUISettings is NULL") while unset.
    static cUISettings* Instance();
    // The QML singleton provider: Instance(), kept in C++ ownership. Both engines are ignored.
    static QObject* SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine);

    bool enableDisplayAsConnected() const { return mEnableDisplayAsConnected; }
    QColor listboxBackGroundColour() const { return mListboxBackGroundColour; }

private:
    bool mEnableDisplayAsConnected = true;
    QColor mListboxBackGroundColour;
};

extern cUISettings* gUISettings;
