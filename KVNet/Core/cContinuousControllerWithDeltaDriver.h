#pragma once

#include "KVNet/Core/cContinuousControllerDriver.h"

class cContinuousControllerWithDelta;

// Driver base of a continuous controller that also moves by relative steps (deltas): an
// encoder that originates deltas answers GetDelta, a control that follows them implements
// ApplyDelta. Its control object is a cContinuousControllerWithDelta (5 parameters; 4100
// carries a delta as a two's-complement UWORD).
//
// Threads: as cContinuousControllerDriver; GetDelta and ApplyDelta are called on the syscall
// thread.
class cContinuousControllerWithDeltaDriver : public cContinuousControllerDriver
{
public:
    static constexpr UWORD M_DELTA = PARAMETER_BASE + 4;

    // The base stays detached; with a name and createObject a cContinuousControllerWithDelta is
    // attached at once (see cAudioDriver for when that is safe).
    cContinuousControllerWithDeltaDriver(const char* name, UWORD lower, UWORD upper, bool levelType,
                                         bool createObject);
    ~cContinuousControllerWithDeltaDriver() override;

    // The movement since the last call, as a two's-complement 16-bit number.
    virtual UWORD GetDelta() = 0;
    // A delta that arrived from a link.
    virtual void ApplyDelta(UWORD delta) = 0;

    // Under the registry lock, creates this driver's cContinuousControllerWithDelta with that
    // name. False for a null or empty name or when already attached.
    bool AttachControlObject(const char* name) override;
    cContinuousControllerWithDelta* GetDeltaController() const;

    // (own, 4100) -> (path, param), without Sync.
    bool LinkDeltaToParameter(const char* path, UWORD param, bool remove, bool bidirect);
    // Sends deltas at most every second tick, summed. Takes the registry lock. While detached:
    // "Audio object not created!".
    void UseSlowDeltaGeneration(bool slow = true);
};
