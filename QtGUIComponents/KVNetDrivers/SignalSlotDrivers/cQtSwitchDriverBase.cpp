#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSwitchDriverBase.h"

cQtSwitchDriverBase::cQtSwitchDriverBase(UBYTE readPeriod, QObject* parent)
    : QObject(parent)
    , cSwitchBaseDriver(nullptr, false)
    , mReadPeriod(readPeriod)
{
}

cQtSwitchDriverBase::~cQtSwitchDriverBase()
{
    DestroyAudioObject();
}

QString cQtSwitchDriverBase::netObjectName() const
{
    return nQtDriverAttachment::NetObjectName(*this);
}

bool cQtSwitchDriverBase::setNetObjectName(const QString& name, bool tick)
{
    const bool attached = nQtDriverAttachment::AttachByName(
        *this, name, [this, tick](const char* localName) { return AttachControlObject(localName, tick); });
    if (attached)
    {
        emit netObjectNameChanged();
    }
    return attached;
}

void cQtSwitchDriverBase::DetachNetObject()
{
    if (nQtDriverAttachment::Detach(*this))
    {
        emit netObjectNameChanged();
    }
}

UBYTE cQtSwitchDriverBase::GetValue()
{
    const UBYTE value = GetCachedValue();
    if (mReadPeriod.Poll())
    {
        emit SwitchRead(value);
    }
    return value;
}
