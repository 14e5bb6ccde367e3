#pragma once

#include "CorvoGUI/Core/Units/cPassFilterDriver.h"

class cNonVolatileStorageManager;
class cSaveObjectRegistry;
class cLPFUnit;

// The driver of a panel's low-pass filter: creates and owns its cLPFUnit and queues its sections
// (cPassFilterDriver). The panel gives it slot 1.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker.
class cLPFDriver : public cPassFilterDriver
{
public:
    cLPFDriver(const char* name, cNonVolatileStorageManager* storage, cSerialInterface* serial,
               cSaveObjectRegistry* saves, UBYTE channel, UBYTE slot, UBYTE sections, double samplePeriod,
               double sampleRate);
    ~cLPFDriver() override;

    cLPFUnit* GetLPFUnit() const;
};
