#pragma once

#include "KVNet/Core/cContinuousController.h"

class cContinuousControllerWithDeltaDriver;

// A continuous controller with a fifth parameter, 4100: a relative step (UWORD, two's
// complement). Every tick, before the controller's own tick, it asks its driver for a delta
// and sends a non-zero one to the inform list of 4100; with slow generation a delta is held
// for one tick and sent on the next, summed with that tick's delta. A delta that arrives from
// a link is applied to the driver and forwarded to the other links.
//
// Threads: as cContinuousController; SetSlowDeltaGeneration on the syscall thread or under the
// registry lock.
class cContinuousControllerWithDelta : public cContinuousController
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 5;

    cContinuousControllerWithDelta(const char* name, cContinuousControllerWithDeltaDriver* driver);
    ~cContinuousControllerWithDelta() override;

    void ActionTick() override;
    void EntrypointMessage(cKVNetMessage& message) override;

    void SetSlowDeltaGeneration(bool slow) { mSlowDeltaGeneration = slow; }
    bool IsSlowDeltaGeneration() const { return mSlowDeltaGeneration; }

private:
    cContinuousControllerWithDeltaDriver* mDeltaDriver;
    bool mSlowDeltaGeneration = false;
    UWORD mHeldDelta = 0;
    bool mDeltaPending = false;
};
