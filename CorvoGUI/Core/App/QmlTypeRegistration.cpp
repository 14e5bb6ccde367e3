#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBandDrivers.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cFontStyles.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QQuickPathPainterPath.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQScaleText.h"
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

// The PEQ response graph: its path element, driver, back end, scale labels and bands.
void RegisterPEQGraphTypes()
{
    qRegisterMetaType<QPainterPath>("QPainterPath");
    qRegisterMetaType<QPainterPathWrapper*>("QPainterPathWrapper*");
    qmlRegisterType<QQuickPathPainterPath>("Corvo", 1, 0, "PathPainterPath");
    qRegisterMetaType<cPEQDriverInterface*>("cPEQDriverInterface*");
    qmlRegisterUncreatableType<cPEQDriverInterface>(
        "KVDrivers", 1, 0, "PEQDriverInterface",
        QStringLiteral("Cannot instantiate this abstract interface"));
    qmlRegisterType<cPEQQmlBackEnd2>("KVQml", 2, 0, "PEQQmlBackEnd");
    qmlRegisterUncreatableType<cPEQScaleText>("KVQml", 2, 0, "PEQScaleText",
                                              QStringLiteral("This type should not be used directly in qml"));
    qmlRegisterUncreatableType<cPEQQmlBandBase2>("KVQml", 2, 0, "PEQQmlBandBase",
                                                 QStringLiteral("Cannot instantiate base class"));
    qmlRegisterType<cPEQQmlBand2>("KVQml", 2, 0, "PEQQmlBand");
    qmlRegisterType<cHPFQmlBand2>("KVQml", 2, 0, "HPFQmlBand");
    qRegisterMetaType<cPEQDriver*>("cPEQDriver*");
    qmlRegisterUncreatableType<cPEQDriver>("Corvo", 1, 0, "PEQDriver",
                                           QStringLiteral("Can't instantiate this driver"));
}

// The back ends under the root back end, module "Corvo" 1.0.
void RegisterBackendTypes()
{
    qRegisterMetaType<cSerialConnectionBackend*>("cSerialConnectionBackend*");
    qmlRegisterUncreatableType<cSerialConnectionBackend>("Corvo", 1, 0, "SerialConnectionBackend",
                                                         QStringLiteral("SerialConnectionBackend"));
    qRegisterMetaType<cFaderControlStripBackend*>("cFaderControlStripBackend*");
    qmlRegisterType<cFaderControlStripBackend>("Corvo", 1, 0, "FaderControlStripBackend");
    qRegisterMetaType<cInOutFaderPanelBackend*>("cInOutFaderPanelBackend*");
    qmlRegisterUncreatableType<cInOutFaderPanelBackend>("Corvo", 1, 0, "InOutFaderBackend",
                                                        QStringLiteral("cInOutFaderPanelBackend"));
    qRegisterMetaType<cLowMidHighPanelBackend*>("cLowMidHighBackend*");
    qmlRegisterUncreatableType<cLowMidHighPanelBackend>("Corvo", 1, 0, "LowMidHighBackend",
                                                        QStringLiteral("LowMidHighBackend"));
    qRegisterMetaType<cPEQBandDrivers*>("cPEQBandDrivers*");
    qRegisterMetaType<QQmlObjectListModel<cPEQBandDrivers>*>("QQmlObjectListModel<cPEQBandDrivers>*");
    qmlRegisterUncreatableType<cPEQBandDrivers>("Corvo", 1, 0, "PEQBandDrivers",
                                                QStringLiteral("PEQBandDrivers"));
    qRegisterMetaType<cPEQBlockBackend*>("cPEQBlockBackend*");
    qRegisterMetaType<cPEQBlockBackend::eBandPos>("cPEQBlockBackend::eBandPos");
    qRegisterMetaType<cPEQBlockBackend::eNumOfBands>("cPEQBlockBackend::eNumOfBands");
    qmlRegisterUncreatableType<cPEQBlockBackend>("Corvo", 1, 0, "PEQBlockBackend",
                                                 QStringLiteral("PEQBlockBackend"));
    qRegisterMetaType<cSavesDialogBackend*>("cSavesDialogBackend*");
    qmlRegisterUncreatableType<cSavesDialogBackend>("Corvo", 1, 0, "SavesDialogBackend",
                                                    QStringLiteral("SavesDialogBackend"));
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
    RegisterDriverTypes();
    RegisterFormatTypes();
    RegisterPEQGraphTypes();
    qmlRegisterUncreatableMetaObject(nPEQ::staticMetaObject, "Corvo", 1, 0, "PEQTypes",
                                     QStringLiteral("PEQ Enum definitions only"));
    RegisterBackendTypes();
    qRegisterMetaType<eConnectionState>("eConnectionState");
}
