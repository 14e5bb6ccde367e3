#include "KVNet/Core/cContinuousController.h"

#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cContinuousControllerDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"

namespace
{

constexpr UWORD RANGE_LENGTH = 5;
constexpr UWORD RANGE_WITH_VALUE_LENGTH = 7;

} // namespace

cContinuousController::cContinuousController(const char* name, cContinuousControllerDriver* driver,
                                             KV_NET_DATA_SCALE numberOfParameters)
    : cNetObject(name, numberOfParameters, true, false)
    , mDriver(driver)
{
}

cContinuousController::~cContinuousController()
{
    Unregister();
}

void cContinuousController::ActionTick()
{
    if (mDriver == nullptr)
    {
        return;
    }
    UWORD value = mDriver->ReadControllerValue();
    UBYTE touched = mDriver->IsControllerTouched();
    if (mFirstTick)
    {
        mValue = value;
        mTouched = touched;
        mFirstTick = false;
        return;
    }
    if (value != mValue)
    {
        mValue = value;
        SendOwnUWORD(cContinuousControllerDriver::M_VALUE, value);
    }
    if (touched != mTouched)
    {
        mTouched = touched;
        SendOwnUBYTE(cContinuousControllerDriver::M_CONTINUOUS_CONTROLLER_TOUCHED, touched);
    }
}

void cContinuousController::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case cContinuousControllerDriver::M_VALUE:
        OnValue(message);
        break;
    case cContinuousControllerDriver::M_CONTINUOUS_CONTROLLER_TOUCHED:
        KV_REPORT_ERROR("M_CONTINUOUS_CONTROLLER_TOUCHED - is read only");
        break;
    case cContinuousControllerDriver::M_RANGE:
        OnRange(message);
        break;
    case cContinuousControllerDriver::M_EXTERNAL_CONTROL:
        OnExternalControl(message);
        break;
    default:
        cNetObject::EntrypointMessage(message);
        break;
    }
}

void cContinuousController::OnValue(cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UWORD), GetName()))
    {
        return;
    }
    if (mDriver != nullptr)
    {
        mDriver->SetValue(message.GetUWORD(0));
        mValue = mDriver->ReadControllerValue();
    }
    SendToInformList(message);
}

void cContinuousController::OnRange(cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, RANGE_LENGTH, GetName()))
    {
        return;
    }
    UWORD lower = message.GetUWORD(0);
    UWORD upper = message.GetUWORD(2);
    bool levelType = message.GetUBYTE(4) != 0;
    if (upper < lower)
    {
        KV_REPORT_ERROR("ControllerRangeUpper = %d, is lower than ControllerRangeLower = %d", int(upper),
                        int(lower));
    }
    else if (mDriver != nullptr)
    {
        mDriver->SetRange(lower, upper, levelType);
        UWORD value = message.GetLength() >= RANGE_WITH_VALUE_LENGTH ? message.GetUWORD(5) : mValue;
        if (value > upper)
        {
            value = upper;
        }
        if (value < lower)
        {
            value = lower;
        }
        mDriver->SetValue(value);
        mValue = mDriver->ReadControllerValue();
    }
    SendToInformList(message);
}

void cContinuousController::OnExternalControl(cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, sizeof(UBYTE), GetName()))
    {
        return;
    }
    if (mDriver != nullptr)
    {
        mDriver->SetExternalControl(message.GetUBYTE(0) != 0 ? 1 : 0);
    }
    SendToInformList(message);
}

void cContinuousController::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                            KV_NET_DATA_SCALE destinationMethod,
                                            KV_NET_DATA_SCALE sourceMethod)
{
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mMethod = destinationMethod;
    switch (sourceMethod)
    {
    case cContinuousControllerDriver::M_VALUE:
        mControlMessage.SetLength(sizeof(UWORD));
        mControlMessage.SetUWORD(mValue, 0);
        break;
    case cContinuousControllerDriver::M_CONTINUOUS_CONTROLLER_TOUCHED:
        mControlMessage.SetLength(sizeof(UBYTE));
        mControlMessage.SetUBYTE(mTouched, 0);
        break;
    case cContinuousControllerDriver::M_RANGE:
    {
        sControllerRange range = mDriver != nullptr ? mDriver->GetRange() : sControllerRange{};
        mControlMessage.SetLength(RANGE_LENGTH);
        mControlMessage.SetUWORD(range.mLower, 0);
        mControlMessage.SetUWORD(range.mUpper, 2);
        mControlMessage.SetUBYTE(range.mLevelType ? 0xFF : 0, 4);
        break;
    }
    default:
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    PostMessage(mControlMessage);
}

void cContinuousController::SendOwnUWORD(UWORD method, UWORD value)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(sizeof(UWORD));
    mControlMessage.SetUWORD(value, 0);
    SendToInformList(mControlMessage);
}

void cContinuousController::SendOwnUBYTE(UWORD method, UBYTE value)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(value, 0);
    SendToInformList(mControlMessage);
}

cKVNetMessage cContinuousController::MakeMessageToSelf(UWORD method, UWORD length) const
{
    // Post may run on any thread, mControlMessage belongs to the syscall thread.
    cKVNetMessage message(length);
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = mHandle;
    message.mSource = mHandle;
    message.mMethod = method;
    return message;
}

void cContinuousController::PostContinuousControllerValue(UWORD value)
{
    sControllerRange range = mDriver != nullptr ? mDriver->GetRange() : sControllerRange{};
    UWORD v = value;
    if (v > range.mUpper)
    {
        KV_REPORT_ERROR("PostCCValue provided out of range value. Min:%d, Max:%d, Val:%d, \"%s\"",
                        int(range.mLower), int(range.mUpper), int(value), GetName());
        v = range.mUpper;
    }
    if (v < range.mLower)
    {
        KV_REPORT_ERROR("PostCCValue provided out of range value. Min:%d, Max:%d, Val:%d, \"%s\"",
                        int(range.mLower), int(range.mUpper), int(value), GetName());
        v = range.mLower;
    }
    cKVNetMessage message = MakeMessageToSelf(cContinuousControllerDriver::M_VALUE, sizeof(UWORD));
    message.SetUWORD(v, 0);
    PostMessage(message);
}

void cContinuousController::PostContinuousControllerRangeAndValue(UWORD lower, UWORD upper, UWORD value)
{
    UWORD v = value;
    if (v > upper)
    {
        KV_REPORT_ERROR(
            "PostContinuousControllerRangeAndValue provided out of range values. Min:%d, Max:%d, Val:%d",
            int(lower), int(upper), int(value));
        v = upper;
    }
    if (v < lower)
    {
        KV_REPORT_ERROR(
            "PostContinuousControllerRangeAndValue provided out of range values. Min:%d, Max:%d, Val:%d",
            int(lower), int(upper), int(value));
        v = lower;
    }
    bool levelType = mDriver != nullptr && mDriver->IsLevelType();
    cKVNetMessage range = MakeMessageToSelf(cContinuousControllerDriver::M_RANGE, RANGE_WITH_VALUE_LENGTH);
    range.SetUWORD(lower, 0);
    range.SetUWORD(upper, 2);
    range.SetUBYTE(levelType ? 0xFF : 0, 4);
    range.SetUWORD(v, 5);
    PostMessage(range);
    cKVNetMessage message = MakeMessageToSelf(cContinuousControllerDriver::M_VALUE, sizeof(UWORD));
    message.SetUWORD(v, 0);
    PostMessage(message);
}
