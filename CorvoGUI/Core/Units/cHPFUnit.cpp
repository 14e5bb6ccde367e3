#include "CorvoGUI/Core/Units/cHPFUnit.h"

#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"

const sPassFilterKind& cHPFUnit::Kind()
{
    static const sPassFilterKind kind = {"HPF",           START_MARKER,    END_MARKER,
                                         BiquadHighPass1, BiquadHighPass2, true};
    return kind;
}

cHPFUnit::cHPFUnit(const char* name, cHPFDriver* driver, cNonVolatileStorageManager* storage,
                   cSaveObjectRegistry* saves, UBYTE sections, double samplePeriod, double sampleRate)
    : cPassFilterUnit(name, driver, storage, saves, sections, samplePeriod, sampleRate, Kind())
{
}

cHPFUnit::~cHPFUnit()
{
    Unregister();
}
