#pragma once

#include "CorvoGUI/Core/Units/cPassFilterDriver.h"

class cNonVolatileStorageManager;
class cSaveObjectRegistry;
class cHPFUnit;

// The driver of a panel's high-pass filter: creates and owns its cHPFUnit and queues its sections
// (cPassFilterDriver). The panel gives it slot 0.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker.
class cHPFDriver : public cPassFilterDriver
{
public:
    cHPFDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
               cSaveObjectRegistry* saves, UBYTE channel, UBYTE slot, UBYTE sections, double samplePeriod,
               double sampleRate);
    ~cHPFDriver() override;

    cHPFUnit* GetHPFUnit() const;
};
