#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cAudioDriver.h"

class cLEDObject;

// Driver base of an LED: shows one byte that arrives at its cLEDObject (parameter 4096).
//
// Threads: SetLEDState is called on the syscall thread (under the registry lock). See
// cAudioDriver for when attaching is safe and for the destructor rule.
class cLEDBaseDriver : public cAudioDriver
{
public:
    static constexpr UWORD M_STATE = PARAMETER_BASE;

    // With a name, attaches at once; without, stays detached until AttachControlObject.
    explicit cLEDBaseDriver(const char* name);
    // Destroys the control object first.
    ~cLEDBaseDriver() override;

    virtual void SetLEDState(UBYTE state) = 0;

    // Under the registry lock, creates this driver's cLEDObject with that name. False for a
    // null or empty name or when already attached.
    bool AttachControlObject(const char* name);
    cLEDObject* GetLEDObject() const;
};
