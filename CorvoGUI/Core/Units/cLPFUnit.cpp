#include "CorvoGUI/Core/Units/cLPFUnit.h"

#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"

const sPassFilterKind& cLPFUnit::Kind()
{
    static const sPassFilterKind kind = {"LPF",          START_MARKER,   END_MARKER,
                                         BiquadLowPass1, BiquadLowPass2, false};
    return kind;
}

cLPFUnit::cLPFUnit(const char* name, cLPFDriver* driver, cNonVolatileStorageManager* storage,
                   cSaveObjectRegistry* saves, UBYTE sections, double samplePeriod, double sampleRate)
    : cPassFilterUnit(name, driver, storage, saves, sections, samplePeriod, sampleRate, Kind())
{
}

cLPFUnit::~cLPFUnit()
{
    Unregister();
}
