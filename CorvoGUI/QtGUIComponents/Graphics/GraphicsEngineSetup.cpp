#include "CorvoGUI/QtGUIComponents/Graphics/GraphicsEngineSetup.h"

#include "CorvoGUI/QtGUIComponents/Graphics/cQMLFactoryImageProvider.h"
#include "QtGUIComponents/Widgets/GraphicsScaling.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QVariant>

void InstallGraphicsFactory(QQmlEngine& engine)
{
    engine.addImageProvider(QStringLiteral("graphicsfactory"), new cQMLFactoryImageProvider());
    engine.rootContext()->setContextProperty(QStringLiteral("_screenScalingFactor"),
                                             QVariant(GetScreenScalingFactor()));
    engine.rootContext()->setContextProperty(QStringLiteral("_fontScalingFactor"),
                                             QVariant(GetFontScalingFactor()));
}
