#include "KVNet/Core/cContinuousControllerDriver.h"

#include "AES-Standards/KVConversions.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cContinuousController.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cmath>

namespace
{

sControllerRange MakeRange(UWORD lower, UWORD upper, bool levelType)
{
    sControllerRange range{};
    range.mLower = lower;
    range.mUpper = upper;
    range.mSpan = upper > lower ? UWORD(upper - lower) : UWORD(0);
    range.mLevelType = levelType;
    return range;
}

} // namespace

cContinuousControllerDriver::cContinuousControllerDriver(const char* name, UWORD lower, UWORD upper,
                                                         bool levelType, bool createObject)
    : mRange(MakeRange(lower, upper, levelType))
{
    if (createObject && name != nullptr)
    {
        cContinuousControllerDriver::AttachControlObject(name);
    }
}

cContinuousControllerDriver::~cContinuousControllerDriver()
{
    DestroyAudioObject();
}

bool cContinuousControllerDriver::AttachControlObject(const char* name)
{
    if (name == nullptr || name[0] == '\0' || GetAudioObject() != nullptr)
    {
        return false;
    }
    cRegistryLocker lock;
    SetAudioObject(new cContinuousController(name, this));
    return true;
}

cContinuousController* cContinuousControllerDriver::GetController() const
{
    return dynamic_cast<cContinuousController*>(GetAudioObject());
}

bool cContinuousControllerDriver::LinkFrom(const char* path, UWORD param, UWORD ownParam, bool sync,
                                           bool remove, bool bidirect)
{
    if (GetAudioObject() == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return false;
    }
    return QueueLinkCommand(path, param, GetAudioObjectName(), ownParam, sync, remove, bidirect);
}

bool cContinuousControllerDriver::LinkTo(UWORD ownParam, const char* path, UWORD param, bool sync,
                                         bool remove, bool bidirect)
{
    if (GetAudioObject() == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return false;
    }
    return QueueLinkCommand(GetAudioObjectName(), ownParam, path, param, sync, remove, bidirect);
}

bool cContinuousControllerDriver::LinkRangeFromParameter(const char* path, UWORD param, bool remove)
{
    return LinkFrom(path, param, M_RANGE, true, remove, false);
}

bool cContinuousControllerDriver::LinkValueFromParameter(const char* path, UWORD param, bool remove,
                                                         bool bidirect)
{
    return LinkFrom(path, param, M_VALUE, true, remove, bidirect);
}

bool cContinuousControllerDriver::LinkRangeToParameter(const char* path, UWORD param, bool remove)
{
    return LinkTo(M_RANGE, path, param, true, remove, false);
}

bool cContinuousControllerDriver::LinkValueToParameter(const char* path, UWORD param, bool remove,
                                                       bool bidirect)
{
    return LinkTo(M_VALUE, path, param, true, remove, bidirect);
}

void cContinuousControllerDriver::SetRange(UWORD lower, UWORD upper, bool levelType)
{
    mRange.store(MakeRange(lower, upper, levelType), std::memory_order_relaxed);
}

void cContinuousControllerDriver::SetExternalControl(UBYTE flag)
{
    mExternalControl.store(flag, std::memory_order_relaxed);
}

void cContinuousControllerDriver::PostValue(UWORD value)
{
    cContinuousController* controller = GetController();
    if (controller == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return;
    }
    controller->PostContinuousControllerValue(value);
}

void cContinuousControllerDriver::PostRangeAndValue(UWORD lower, UWORD upper, UWORD value)
{
    cContinuousController* controller = GetController();
    if (controller == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return;
    }
    controller->PostContinuousControllerRangeAndValue(lower, upper, value);
}

UWORD cContinuousControllerDriver::ClampToRange(int value) const
{
    sControllerRange range = GetRange();
    if (value > int(range.mUpper))
    {
        return range.mUpper;
    }
    return value > int(range.mLower) ? UWORD(value) : range.mLower;
}

UWORD cContinuousControllerDriver::MapLowerToOff(UWORD value) const
{
    sControllerRange range = GetRange();
    return range.mLevelType && value == range.mLower ? UWORD(0) : value;
}

UWORD cContinuousControllerDriver::MapOffToLower(UWORD value) const
{
    sControllerRange range = GetRange();
    return range.mLevelType && value == 0 ? range.mLower : value;
}

float cContinuousControllerDriver::ValueToFraction(UWORD value) const
{
    sControllerRange range = GetRange();
    if (range.mSpan == 0 || (range.mLevelType && value == 0))
    {
        return 0.0f;
    }
    UWORD clamped = value > range.mUpper ? range.mUpper : (value < range.mLower ? range.mLower : value);
    return float(clamped - range.mLower) / float(range.mSpan);
}

UWORD cContinuousControllerDriver::FractionToValue(float fraction) const
{
    sControllerRange range = GetRange();
    if (std::isnan(fraction))
    {
        fraction = 0.0f;
    }
    if (fraction < 0.0f)
    {
        if (range.mLevelType)
        {
            return 0;
        }
        fraction = 0.0f;
    }
    if (fraction > 1.0f)
    {
        fraction = 1.0f;
    }
    if (range.mLevelType && fraction == 0.0f)
    {
        return 0;
    }
    float product = float(range.mSpan) * fraction;
    return TruncateToUWORD(double(range.mLower) + double(std::round(product)));
}
