#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Common/cUISettings.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"

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

// The framework's QML drivers, module "KVDrivers" 1.0.
void RegisterDriverTypes()
{
    qRegisterMetaType<cQtBooleanSwitchDriver*>("cQtBooleanSwitchDriver*");
    qmlRegisterType<cQtBooleanSwitchDriver>("KVDrivers", 1, 0, "QtBooleanSwitchDriver");
    qRegisterMetaType<cQtIntegerSwitchDriver*>("cQtIntegerSwitchDriver*");
    qmlRegisterType<cQtIntegerSwitchDriver>("KVDrivers", 1, 0, "QtIntegerSwitchDriver");
    qRegisterMetaType<cQtSignalSlotMeterDriver*>("cQtSignalSlotMeterDriver*");
    qmlRegisterType<cQtSignalSlotMeterDriver>("KVDrivers", 1, 0, "QtSignalSlotMeterDriver");
    qRegisterMetaType<cQtSignalSlotContinuousControllerDriver*>("cQtSignalSlotContinuousControllerDriver*");
    qmlRegisterType<cQtSignalSlotContinuousControllerDriver>("KVDrivers", 1, 0,
                                                             "QtSignalSlotContinuousControllerDriver");
    qRegisterMetaType<cQtListBoxBackend*>("cQtListBoxBackend*");
    qmlRegisterUncreatableType<cQtListBoxBackend>("KVDrivers", 1, 0, "QtListBoxBackend",
                                                  QStringLiteral("QtListBoxBackend"));
}

// The value formats: "KVCCFormat" of "KVQml" 2.0 and "ProjectCCFormat" of "Corvo" 1.0.
void RegisterFormatTypes()
{
    qRegisterMetaType<cKVCCFormat::eKVCCType>("cKVCCFormat::eKVCCType");
    qRegisterMetaType<cKVCCFormat::eKVCCTypeDecimalPlaces>("cKVCCFormat::eKVCCTypeDecimalPlaces");
    qmlRegisterType<cKVCCFormat>("KVQml", 2, 0, "KVCCFormat");
    qRegisterMetaType<cProjectCCFormat::eProjectCCType>("cProjectCCFormat::eProjectCCType");
    qmlRegisterUncreatableType<cProjectCCFormat>(
        "Corvo", 1, 0, "ProjectCCFormat",
        QStringLiteral(
            "Import ValueInterpreter and use Interpreter.<function> instead of instantiating instances of "
            "ProjectCCFormat"));
}

} // namespace

void RegisterQmlTypes()
{
    qmlRegisterSingletonType<cThemeColours>("ThemeColours", 1, 0, "Theme", &cThemeColours::SingletonProvider);
    qmlRegisterSingletonType<cUISettings>("UISettingsSingleton", 1, 0, "UISettings",
                                          &cUISettings::SingletonProvider);
    qmlRegisterSingletonType<cQmlValueInterpreterSingleton>(
        "ValueInterpreter", 1, 0, "Interpreter", &cQmlValueInterpreterSingleton::SingletonProvider);
    RegisterIntegerTypes();
    RegisterDriverTypes();
    RegisterFormatTypes();
    qmlRegisterUncreatableMetaObject(nPEQ::staticMetaObject, "Corvo", 1, 0, "PEQTypes",
                                     QStringLiteral("PEQ Enum definitions only"));
    qRegisterMetaType<eConnectionState>("eConnectionState");
}
