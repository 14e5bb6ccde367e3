#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QQuickPathPainterPath.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQScaleText.h"

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

} // namespace

void RegisterQmlTypes()
{
    RegisterIntegerTypes();
    RegisterPEQGraphTypes();
    qmlRegisterUncreatableMetaObject(nPEQ::staticMetaObject, "Corvo", 1, 0, "PEQTypes",
                                     QStringLiteral("PEQ Enum definitions only"));
    qRegisterMetaType<eConnectionState>("eConnectionState");
}
