#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cAudioDriver.h"

class cSwitchObject;

// Driver base of a switch: one byte (on/off, or an index into a list). Its control object, a
// cSwitchObject, polls GetValue every tick when made with the tick flag and informs its links
// of changes; values from links arrive through SetValue, relative steps through
// ApplySwitchDelta.
//
// Threads: GetValue, SetValue and ApplySwitchDelta are called on the syscall thread (under the
// registry lock) while the user side works on its own thread: keep the value in a field that
// one write updates. Link operations may be called on any thread. See cAudioDriver for when
// attaching is safe and for the destructor rule.
class cSwitchBaseDriver : public cAudioDriver
{
public:
    static constexpr UWORD M_VALUE = PARAMETER_BASE;
    static constexpr UWORD M_DELTA = PARAMETER_BASE + 1;

    // With a name, attaches at once; without, stays detached until AttachControlObject.
    cSwitchBaseDriver(const char* name, bool tick);
    // Destroys the control object first.
    ~cSwitchBaseDriver() override;

    // (path, param) -> (own, 4096) and (own, 4096) -> (path, param), never by datagram; false,
    // with a report, while detached or without a system builder.
    virtual bool LinkValueFromParameter(const char* path, UWORD param, bool remove, bool sync, bool bidirect);
    virtual bool LinkValueToParameter(const char* path, UWORD param, bool remove, bool sync, bool bidirect);

    virtual UBYTE GetValue() = 0;
    virtual void SetValue(UBYTE value) = 0;
    // A relative step (two's complement) from a link; ignored by default.
    virtual void ApplySwitchDelta(UWORD delta);

    // Under the registry lock, creates this driver's cSwitchObject with that name (in the tick
    // list when tick is set). False for a null or empty name or when already attached.
    bool AttachControlObject(const char* name, bool tick);
    cSwitchObject* GetSwitchObject() const;
};
