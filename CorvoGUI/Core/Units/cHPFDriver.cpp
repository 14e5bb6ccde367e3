#include "CorvoGUI/Core/Units/cHPFDriver.h"

#include "CorvoGUI/Core/Units/cHPFUnit.h"

cHPFDriver::cHPFDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                       cSaveObjectRegistry* saves, UBYTE channel, UBYTE slot, UBYTE sections,
                       double samplePeriod, double sampleRate)
    : cPassFilterDriver(serial, channel, slot, sections)
{
    AttachUnit(new cHPFUnit(name, this, storage, saves, sections, samplePeriod, sampleRate));
}

cHPFDriver::~cHPFDriver()
{
    DestroyAudioObject();
}

cHPFUnit* cHPFDriver::GetHPFUnit() const
{
    return static_cast<cHPFUnit*>(GetUnit());
}
