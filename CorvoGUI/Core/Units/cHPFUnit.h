#pragma once

#include "CorvoGUI/Core/Units/cPassFilterUnit.h"

class cHPFDriver;

// The high-pass filter unit of a low/mid/high panel, named "LMH %d: %s HPF Unit": a
// cPassFilterUnit with NV markers 0x3151 and 0x3C5E, designed with the high-pass designers (Bessel
// sections at f / factor). Made and owned by its cHPFDriver.
class cHPFUnit : public cPassFilterUnit
{
public:
    static constexpr UWORD START_MARKER = 0x3151;
    static constexpr UWORD END_MARKER = 0x3C5E;

    cHPFUnit(const char* name, cHPFDriver* driver, cNonVolatileStorageManager* storage,
             cSaveObjectRegistry* saves, UBYTE sections, double samplePeriod, double sampleRate);
    ~cHPFUnit() override;

    static const sPassFilterKind& Kind();
};
