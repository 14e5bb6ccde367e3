#include "QtGUIComponents/Common/cUISettings.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QQmlEngine>

cUISettings* gUISettings = nullptr;

cUISettings::cUISettings()
    : QObject(nullptr)
    , mEnableDisplayAsConnected(true)
    , mListboxBackGroundColour(0, 0, 0, 255)
{
}

cUISettings* cUISettings::Instance()
{
    if (gUISettings == nullptr)
    {
        KV_REPORT_ERROR("gUISettings is NULL");
    }
    return gUISettings;
}

QObject* cUISettings::SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine)
{
    Q_UNUSED(engine)
    Q_UNUSED(scriptEngine)
    cUISettings* settings = Instance();
    if (settings != nullptr)
    {
        QQmlEngine::setObjectOwnership(settings, QQmlEngine::CppOwnership);
    }
    return settings;
}
