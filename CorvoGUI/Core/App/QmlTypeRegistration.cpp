#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"

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
    RegisterIntegerTypes();
    qmlRegisterUncreatableMetaObject(nPEQ::staticMetaObject, "Corvo", 1, 0, "PEQTypes",
                                     QStringLiteral("PEQ Enum definitions only"));
    qRegisterMetaType<eConnectionState>("eConnectionState");
}
