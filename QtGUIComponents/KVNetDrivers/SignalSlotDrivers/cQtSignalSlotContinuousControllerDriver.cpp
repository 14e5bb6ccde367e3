#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{

// The minimum share of a large range that a delta of m units (m >= 3) moves.
double MinimumFractionForDelta(int m)
{
    switch (m)
    {
    case 3:
        return 0.0001;
    case 4:
        return 0.00033;
    case 5:
        return 0.001;
    case 6:
        return 0.0033;
    case 7:
        return 0.01;
    case 8:
        return 0.02;
    case 9:
    case 10:
        return 0.04;
    case 11:
    case 12:
        return 0.06;
    default:
        break;
    }
    // Computed without wrapping, so that faster turning never moves less.
    const double accelerated = (m - 12) * 0.007 + 0.06;
    return m <= 26 ? accelerated : (m - 26) * 0.01 + accelerated;
}

} // namespace

cQtSignalSlotContinuousControllerDriver::cQtSignalSlotContinuousControllerDriver(QObject* parent,
                                                                                 const char* name, UWORD min,
                                                                                 UWORD max, UBYTE levelType,
                                                                                 UBYTE readPeriod)
    : QObject(parent)
    , cContinuousControllerWithDeltaDriver(nullptr, min, max, levelType != 0, false)
    , mValue(min)
    , mReadPeriod(readPeriod)
{
    if (name != nullptr)
    {
        setNetObjectName(QString::fromLocal8Bit(name));
    }
}

cQtSignalSlotContinuousControllerDriver::cQtSignalSlotContinuousControllerDriver(const char* name, UWORD min,
                                                                                 UWORD max, UBYTE levelType,
                                                                                 UBYTE readPeriod,
                                                                                 QObject* parent)
    : cQtSignalSlotContinuousControllerDriver(parent, name, min, max, levelType, readPeriod)
{
}

cQtSignalSlotContinuousControllerDriver::~cQtSignalSlotContinuousControllerDriver()
{
    DestroyAudioObject();
}

QString cQtSignalSlotContinuousControllerDriver::netObjectName() const
{
    return nQtDriverAttachment::NetObjectName(*this);
}

bool cQtSignalSlotContinuousControllerDriver::setNetObjectName(const QString& name)
{
    const bool attached = nQtDriverAttachment::AttachByName(
        *this, name, [this](const char* localName) { return AttachControlObject(localName); });
    if (attached)
    {
        emit NetObjectNameChanged();
    }
    return attached;
}

void cQtSignalSlotContinuousControllerDriver::DetachNetObject()
{
    if (nQtDriverAttachment::Detach(*this))
    {
        emit NetObjectNameChanged();
    }
}

const char* cQtSignalSlotContinuousControllerDriver::GetNetObjectName() const
{
    return GetAudioObject() != nullptr ? GetAudioObjectName() : nullptr;
}

float cQtSignalSlotContinuousControllerDriver::value() const
{
    return ValueToFraction(GetCachedValue());
}

void cQtSignalSlotContinuousControllerDriver::setRange(UWORD Min, UWORD Max, bool LevelType)
{
    SetRange(Min, Max, LevelType);
    emit rangeChanged();
}

float cQtSignalSlotContinuousControllerDriver::valueFromNetworkValue(int NetworkValue) const
{
    return ValueToFraction(UWORD(qBound(0, NetworkValue, 0xFFFF)));
}

void cQtSignalSlotContinuousControllerDriver::SetRange(UWORD lower, UWORD upper, bool levelType)
{
    cContinuousControllerWithDeltaDriver::SetRange(lower, upper, levelType);
    emit rangeChanged();
}

void cQtSignalSlotContinuousControllerDriver::setValue(float Value)
{
    if (!std::isfinite(Value))
    {
        // NaN would read as the fraction 0: on a level fader the "off" value, sent as minus infinity.
        KV_REPORT_ERROR("Fraction %g refused for \"%s\"", double(Value), qPrintable(netObjectName()));
        return;
    }
    const UWORD value = FractionToValue(Value);
    if (value != GetCachedValue())
    {
        StoreAndAnnounce(value);
    }
}

void cQtSignalSlotContinuousControllerDriver::setNetworkValue(int Value)
{
    const UWORD value = MapLowerToOff(ClampToRange(Value));
    if (value != GetCachedValue())
    {
        StoreAndAnnounce(value);
    }
}

UWORD cQtSignalSlotContinuousControllerDriver::ReadControllerValue()
{
    const UWORD value = GetCachedValue();
    if (mReadPeriod.Poll())
    {
        emit ControllerValueRead(value);
    }
    return MapLowerToOff(value);
}

void cQtSignalSlotContinuousControllerDriver::SetValue(UWORD value)
{
    StoreAndAnnounce(value);
}

void cQtSignalSlotContinuousControllerDriver::StoreAndAnnounce(UWORD value)
{
    mValue.store(value, std::memory_order_relaxed);
    emit ValueChanged(int(value));
    emit ValueChanged(ValueToFraction(value));
    emit ValuePropertyChanged();
}

int cQtSignalSlotContinuousControllerDriver::StepsForDelta(int delta, int span)
{
    if (span < SMALL_RANGE_LIMIT)
    {
        const int unitsPerStep = std::min(SMALL_RANGE_LIMIT / span, MAX_UNITS_PER_STEP);
        const int units = mDeltaRemainder + delta;
        if (units >= unitsPerStep)
        {
            mDeltaRemainder = units % unitsPerStep;
            return units / unitsPerStep;
        }
        if (units <= -unitsPerStep)
        {
            mDeltaRemainder = -((-units) % unitsPerStep);
            return (-units) / unitsPerStep;
        }
        mDeltaRemainder = units;
        return -1;
    }
    const int units = std::abs(delta);
    if (units <= 2)
    {
        return units;
    }
    const double share = std::max(double(units) / span, MinimumFractionForDelta(units));
    const double steps = share * span + 0.5;
    return steps >= span ? span : int(steps);
}

void cQtSignalSlotContinuousControllerDriver::ApplyDelta(UWORD delta)
{
    const sControllerRange range = GetRange();
    const int units = SWORD(delta);
    if (range.mSpan == 0 || units == 0)
    {
        return;
    }
    const int steps = StepsForDelta(units, range.mSpan);
    if (steps < 0)
    {
        return;
    }
    const UWORD read = ReadControllerValue();
    // From inside the range: an "off" 0 steps from the lower end.
    const int from = ClampToRange(read);
    const int lower = range.mLower;
    const int upper = range.mUpper;
    if (units < 0)
    {
        SetValue(UWORD(std::max(lower, from - steps)));
        if (ReadControllerValue() == read && from > lower)
        {
            SetValue(UWORD(from - 1));
        }
    }
    else
    {
        SetValue(UWORD(std::min(from + steps, upper)));
        if (ReadControllerValue() == read && from < upper)
        {
            SetValue(UWORD(from + 1));
        }
    }
}
