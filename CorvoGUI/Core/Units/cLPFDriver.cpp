#include "CorvoGUI/Core/Units/cLPFDriver.h"

#include "CorvoGUI/Core/Units/cLPFUnit.h"

cLPFDriver::cLPFDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                       cSaveObjectRegistry* saves, UBYTE channel, UBYTE slot, UBYTE sections,
                       double samplePeriod, double sampleRate)
    : cPassFilterDriver(serial, channel, slot, sections)
{
    AttachUnit(new cLPFUnit(name, this, storage, saves, sections, samplePeriod, sampleRate));
}

cLPFDriver::~cLPFDriver()
{
    DestroyAudioObject();
}

cLPFUnit* cLPFDriver::GetLPFUnit() const
{
    return static_cast<cLPFUnit*>(GetUnit());
}
