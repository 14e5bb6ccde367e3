#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"

#include "KVNet/QT/Trace/KVNetReports.h"

cQtIntegerSwitchDriver::cQtIntegerSwitchDriver(QObject* parent, const char* name, UBYTE readPeriod, bool tick)
    : cQtSwitchDriverBase(readPeriod, parent)
{
    if (name != nullptr)
    {
        setNetObjectName(QString::fromLocal8Bit(name), tick);
    }
}

cQtIntegerSwitchDriver::cQtIntegerSwitchDriver(const char* name, UBYTE readPeriod, bool tick, QObject* parent)
    : cQtIntegerSwitchDriver(parent, name, readPeriod, tick)
{
}

cQtIntegerSwitchDriver::~cQtIntegerSwitchDriver()
{
    DestroyAudioObject();
}

void cQtIntegerSwitchDriver::setValue(int Value)
{
    if (Value < 0 || Value > MAX_VALUE)
    {
        KV_REPORT_ERROR("Switch value %d is out of range 0..%d for \"%s\"", Value, MAX_VALUE,
                        GetAudioObjectName());
        return;
    }
    if (Value == int(GetCachedValue()))
    {
        return;
    }
    StoreValue(UBYTE(Value));
    emit ValueChanged(Value);
}

void cQtIntegerSwitchDriver::SetValue(UBYTE value)
{
    if (value == GetCachedValue())
    {
        return;
    }
    StoreValue(value);
    emit ValueChanged(value);
}
