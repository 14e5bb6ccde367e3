#include "KVNet/Core/cContinuousControllerWithDelta.h"

#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/cContinuousControllerWithDeltaDriver.h"

cContinuousControllerWithDelta::cContinuousControllerWithDelta(const char* name,
                                                               cContinuousControllerWithDeltaDriver* driver)
    : cContinuousController(name, driver, NUMBER_OF_PARAMETERS)
    , mDeltaDriver(driver)
{
}

cContinuousControllerWithDelta::~cContinuousControllerWithDelta()
{
    Unregister();
}

void cContinuousControllerWithDelta::ActionTick()
{
    if (mDeltaDriver != nullptr)
    {
        UWORD delta = mDeltaDriver->GetDelta();
        bool send = true;
        if (mSlowDeltaGeneration)
        {
            if (!mDeltaPending)
            {
                if (delta != 0)
                {
                    mHeldDelta = delta;
                    mDeltaPending = true;
                }
                send = false;
            }
            else
            {
                delta = UWORD(delta + mHeldDelta);
                mDeltaPending = false;
            }
        }
        if (send && delta != 0)
        {
            SendOwnUWORD(cContinuousControllerWithDeltaDriver::M_DELTA, delta);
        }
    }
    cContinuousController::ActionTick();
}

void cContinuousControllerWithDelta::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod != cContinuousControllerWithDeltaDriver::M_DELTA)
    {
        cContinuousController::EntrypointMessage(message);
        return;
    }
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UWORD), GetName()))
    {
        return;
    }
    if (mDeltaDriver != nullptr)
    {
        mDeltaDriver->ApplyDelta(message.GetUWORD(0));
    }
    SendToInformList(message);
}
