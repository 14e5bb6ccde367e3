#pragma once

#include "KVNet/Core/cNetObject.h"

class cContinuousControllerDriver;

// The control object of a continuous controller: a net object in the tick list whose
// parameters are
//   4096 value (UWORD)
//   4097 touched (UBYTE, read only: sent when the user grabs or lets go of the control)
//   4098 range (UWORD lower, UWORD upper, UBYTE LevelType 0xFF or 0, optionally UWORD value)
//   4099 external-control flag (UBYTE)
// Every tick it polls its driver; its first tick only records the driver's state, later ticks
// send the value and touched state to their inform lists when they changed. A value, range or
// flag that arrives from a link is pushed into the driver and forwarded to the parameter's
// other links, never back to its sender; the value is then read back from the driver so that
// the next tick does not echo it.
//
// Reports: a message too short for its parameter (dropped, not forwarded); a write to 4097
// ("M_CONTINUOUS_CONTROLLER_TOUCHED - is read only"); a range whose upper is below its lower
// ("ControllerRangeUpper = %d, is lower than ControllerRangeLower = %d": nothing changes, the
// message is still forwarded).
//
// Threads: made and destroyed by its driver (under the registry lock); ActionTick,
// EntrypointMessage and UpdateNewObject run on the syscall thread; the two Post operations
// may be called on any thread.
class cContinuousController : public cNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 4;

    // driver is not owned and must outlive the object (the driver owns it).
    cContinuousController(const char* name, cContinuousControllerDriver* driver,
                          KV_NET_DATA_SCALE numberOfParameters = NUMBER_OF_PARAMETERS);
    ~cContinuousController() override;

    void ActionTick() override;
    void EntrypointMessage(cKVNetMessage& message) override;
    // Sync-up of 4096 (stored value), 4097 (touched) and 4098 (the driver's range, 5 bytes);
    // other methods get the base's report.
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // Clamps v into the driver's range (reporting "PostCCValue provided out of range value.
    // Min:%d, Max:%d, Val:%d, \"%s\"" when it had to) and posts it to this object as 4096.
    void PostContinuousControllerValue(UWORD value);
    // Clamps v into [lower, upper] (reporting "PostContinuousControllerRangeAndValue provided
    // out of range values. Min:%d, Max:%d, Val:%d" when it had to) and posts to this object a
    // range of 7 bytes (the driver's LevelType) and then the value.
    void PostContinuousControllerRangeAndValue(UWORD lower, UWORD upper, UWORD value);

    // Last value and touched state seen or set. Syscall thread (or under the registry lock).
    UWORD GetStoredValue() const { return mValue; }
    UBYTE GetStoredTouched() const { return mTouched; }

protected:
    // Sends one of the object's own values to its inform list (no entry is skipped).
    void SendOwnUWORD(UWORD method, UWORD value);
    void SendOwnUBYTE(UWORD method, UBYTE value);
    cContinuousControllerDriver* GetDriver() const { return mDriver; }

private:
    void OnValue(cKVNetMessage& message);
    void OnRange(cKVNetMessage& message);
    void OnExternalControl(cKVNetMessage& message);
    // A message from this object to itself, for posting from any thread.
    cKVNetMessage MakeMessageToSelf(UWORD method, UWORD length) const;

    UWORD mValue = 0;
    UBYTE mTouched = 0;
    bool mFirstTick = true;
    cContinuousControllerDriver* mDriver;
};
