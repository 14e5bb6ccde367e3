#pragma once

#include "CorvoGUI/Core/Units/cPassFilterUnit.h"

class cLPFDriver;

// The low-pass filter unit of a low/mid/high panel, named "LMH %d: %s LPF Unit": a
// cPassFilterUnit with NV markers 0x1A99 and 0x2233, designed with the low-pass designers (Bessel
// sections at f * factor). Made and owned by its cLPFDriver.
class cLPFUnit : public cPassFilterUnit
{
public:
    static constexpr UWORD START_MARKER = 0x1A99;
    static constexpr UWORD END_MARKER = 0x2233;

    cLPFUnit(const char* name, cLPFDriver* driver, cNonVolatileStorageManager* storage,
             cSaveObjectRegistry* saves, UBYTE sections, double samplePeriod, double sampleRate);
    ~cLPFUnit() override;

    static const sPassFilterKind& Kind();
};
