#include "QtGUIComponents/Common/cValueUnitStrings.h"

#include <QMetaType>

namespace
{

// The units property's type name, known to the meta-type system as QString.
const int gQStringTrType = qRegisterMetaType<QStringTr>("QStringTr");

} // namespace

cValueUnitStrings::cValueUnitStrings(const QString& value, const QString& units)
    : QObject()
    , mValue(value)
    , mUnits(units)
{
}

cValueUnitStrings::cValueUnitStrings(const cValueUnitStrings& other)
    : QObject()
    , mValue(other.mValue)
    , mUnits(other.mUnits)
{
}

cValueUnitStrings& cValueUnitStrings::operator=(const cValueUnitStrings& other)
{
    mValue = other.mValue;
    mUnits = other.mUnits;
    return *this;
}
