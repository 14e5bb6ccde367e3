#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"

#include "AES-Standards/KVConversions.h"

cQtBooleanSwitchDriver::cQtBooleanSwitchDriver(QObject* parent, const char* name, UBYTE readPeriod, bool tick)
    : cQtSwitchDriverBase(readPeriod, parent)
{
    if (name != nullptr)
    {
        setNetObjectName(QString::fromLocal8Bit(name), tick);
    }
}

cQtBooleanSwitchDriver::cQtBooleanSwitchDriver(const char* name, UBYTE readPeriod, bool tick, QObject* parent)
    : cQtBooleanSwitchDriver(parent, name, readPeriod, tick)
{
}

cQtBooleanSwitchDriver::~cQtBooleanSwitchDriver()
{
    DestroyAudioObject();
}

bool cQtBooleanSwitchDriver::value() const
{
    return UBYTEToBool(GetCachedValue());
}

void cQtBooleanSwitchDriver::setValue(bool Value)
{
    const UBYTE byte = ConvertBoolToUBYTE(Value);
    if (byte == GetCachedValue())
    {
        return;
    }
    StoreValue(byte);
    emit valueChanged(Value);
    emit ValuePropertyChanged();
}

void cQtBooleanSwitchDriver::SetValue(UBYTE value)
{
    if (value == GetCachedValue())
    {
        return;
    }
    StoreValue(value);
    emit valueChanged(value != 0);
    emit ValuePropertyChanged();
}
