#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cFontStyles.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Common/cUISettings.h"

#include <QMetaType>
#include <QtQml>

namespace
{

void RegisterIntegerTypes()
{
    QMetaType::registerNormalizedTypedef("UBYTE", QMetaType::UChar);
    QMetaType::registerNormalizedTypedef("SBYTE", QMetaType::SChar);
    QMetaType::registerNormalizedTypedef("UWORD", QMetaType::UShort);
    // SWORD is signed, as the framework defines it.
    QMetaType::registerNormalizedTypedef("SWORD", QMetaType::Short);
    QMetaType::registerNormalizedTypedef("ULONG", QMetaType::UInt);
    QMetaType::registerNormalizedTypedef("SLONG", QMetaType::Int);
    QMetaType::registerNormalizedTypedef("GAIN", QMetaType::Short);
}

} // namespace

void RegisterQmlTypes()
{
    qmlRegisterSingletonType<cFontStyles>("FontStyles", 1, 0, "Fonts", &cFontStyles::SingletonProvider);
    qmlRegisterSingletonType<cThemeColours>("ThemeColours", 1, 0, "Theme", &cThemeColours::SingletonProvider);
    qmlRegisterSingletonType<cUISettings>("UISettingsSingleton", 1, 0, "UISettings",
                                          &cUISettings::SingletonProvider);
    qmlRegisterSingletonType<cQmlValueInterpreterSingleton>(
        "ValueInterpreter", 1, 0, "Interpreter", &cQmlValueInterpreterSingleton::SingletonProvider);
    RegisterIntegerTypes();
    qRegisterMetaType<cKVCCFormat::eKVCCType>("cKVCCFormat::eKVCCType");
    qRegisterMetaType<cKVCCFormat::eKVCCTypeDecimalPlaces>("cKVCCFormat::eKVCCTypeDecimalPlaces");
    qmlRegisterType<cKVCCFormat>("KVQml", 2, 0, "KVCCFormat");
    qRegisterMetaType<cProjectCCFormat::eProjectCCType>("cProjectCCFormat::eProjectCCType");
    qmlRegisterUncreatableType<cProjectCCFormat>(
        "Corvo", 1, 0, "ProjectCCFormat",
        QStringLiteral(
            "Import ValueInterpreter and use Interpreter.<function> instead of instantiating instances of "
            "ProjectCCFormat"));
    qmlRegisterUncreatableMetaObject(nPEQ::staticMetaObject, "Corvo", 1, 0, "PEQTypes",
                                     QStringLiteral("PEQ Enum definitions only"));
    qRegisterMetaType<eConnectionState>("eConnectionState");
}
