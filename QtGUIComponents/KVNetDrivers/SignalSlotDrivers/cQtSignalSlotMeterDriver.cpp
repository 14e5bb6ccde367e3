#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cMeterNet.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>

cQtSignalSlotMeterDriver::cQtSignalSlotMeterDriver(QObject* parent, const char* name, GAIN bottomOfMeter,
                                                   GAIN topOfMeter, GAIN attackStep, GAIN decayStep,
                                                   UBYTE startAtZero, int ballisticsMode)
    : QObject(parent)
    , cMeterDisplayDriverBase(nullptr, attackStep, decayStep, false, 0)
    , mGainValue(startAtZero != 0 ? GAIN(0) : GAIN_MINUS_INFINITY)
    , mGainPeak(startAtZero != 0 ? GAIN(0) : GAIN_MINUS_INFINITY)
    , mBottom(bottomOfMeter)
    , mTop(topOfMeter)
    , mNoBallistics(ballisticsMode == NO_BALLISTICS_MODE)
{
    if (name != nullptr)
    {
        setNetObjectName(QString::fromLocal8Bit(name));
    }
}

cQtSignalSlotMeterDriver::cQtSignalSlotMeterDriver(const char* name, GAIN bottomOfMeter, GAIN topOfMeter,
                                                   GAIN attackStep, GAIN decayStep, UBYTE startAtZero,
                                                   int ballisticsMode, QObject* parent)
    : cQtSignalSlotMeterDriver(parent, name, bottomOfMeter, topOfMeter, attackStep, decayStep, startAtZero,
                               ballisticsMode)
{
}

cQtSignalSlotMeterDriver::~cQtSignalSlotMeterDriver()
{
    DestroyAudioObject();
}

QString cQtSignalSlotMeterDriver::netObjectName() const
{
    return nQtDriverAttachment::NetObjectName(*this);
}

bool cQtSignalSlotMeterDriver::setNetObjectName(const QString& name)
{
    const bool attached = nQtDriverAttachment::AttachByName(
        *this, name, [this](const char* localName) { return AttachControlObject(localName, false, 0); });
    if (attached)
    {
        emit netObjectNameChanged();
    }
    return attached;
}

void cQtSignalSlotMeterDriver::DetachNetObject()
{
    if (nQtDriverAttachment::Detach(*this))
    {
        emit netObjectNameChanged();
    }
}

bool cQtSignalSlotMeterDriver::LinkMeterFromParameter(const char* path, UWORD param, bool remove)
{
    if (GetAudioObject() == nullptr)
    {
        KV_REPORT_ERROR("Audio object not created!");
        return false;
    }
    const UWORD target = mNoBallistics ? cMeterNet::M_METER_AND_PEAK : cMeterNet::M_LEVEL;
    return QueueLinkCommand(path, param, GetAudioObjectName(), target, false, remove, false);
}

float cQtSignalSlotMeterDriver::GainToFraction(int gain) const
{
    const int bottom = bottomOfMeter();
    const int top = topOfMeter();
    const int range = top - bottom;
    if (range <= 0)
    {
        return 0.0f;
    }
    return float(std::clamp(gain, bottom, top) - bottom) / float(range);
}

void cQtSignalSlotMeterDriver::setAttackStep(GAIN step)
{
    if (step == GetAttackStep())
    {
        return;
    }
    cMeterDisplayDriverBase::SetAttackStep(step);
    {
        cRegistryLocker lock;
        if (cMeterNet* meter = GetMeterNet())
        {
            meter->SetAttackStep(step);
        }
    }
    emit attackStepChanged();
}

void cQtSignalSlotMeterDriver::setDecayStep(GAIN step)
{
    if (step == GetDecayStep())
    {
        return;
    }
    cMeterDisplayDriverBase::SetDecayStep(step);
    {
        cRegistryLocker lock;
        if (cMeterNet* meter = GetMeterNet())
        {
            meter->SetDecayStep(step);
        }
    }
    emit decayStepChanged();
}

void cQtSignalSlotMeterDriver::resetMeterBallistics()
{
    cRegistryLocker lock;
    if (cMeterNet* meter = GetMeterNet())
    {
        meter->ResetBallistics();
    }
}

float cQtSignalSlotMeterDriver::getFloatForUWORD(UWORD Value) const
{
    return GainToFraction(GAIN(Value));
}

void cQtSignalSlotMeterDriver::setBottomOfMeter(GAIN BottomOfMeter)
{
    if (BottomOfMeter == bottomOfMeter())
    {
        return;
    }
    mBottom.store(BottomOfMeter, std::memory_order_relaxed);
    emit BottomOfMeterChanged(BottomOfMeter);
}

void cQtSignalSlotMeterDriver::setTopOfMeter(GAIN TopOfMeter)
{
    if (TopOfMeter == topOfMeter())
    {
        return;
    }
    mTop.store(TopOfMeter, std::memory_order_relaxed);
    emit TopOfMeterChanged(TopOfMeter);
}

void cQtSignalSlotMeterDriver::setNoBallistics(bool noBallistics)
{
    if (noBallistics == mNoBallistics)
    {
        return;
    }
    mNoBallistics = noBallistics;
    emit noBallisticsChanged(noBallistics);
}

void cQtSignalSlotMeterDriver::MeterValues(GAIN meter, GAIN peak)
{
    const GAIN shownPeak = std::max(peak, meter);
    const bool peakChanged = shownPeak != gainPeak();
    if (meter != gainValue())
    {
        mGainValue.store(meter, std::memory_order_relaxed);
        emit GainValueChanged(meter);
        emit FloatValueChanged(GainToFraction(meter));
        emit ValueChanged();
    }
    else if (!peakChanged)
    {
        return;
    }
    if (peakChanged)
    {
        mGainPeak.store(shownPeak, std::memory_order_relaxed);
        emit PeakChanged();
    }
    emit MeterValuesChanged1();
    emit MeterValuesChanged(meter, shownPeak);
}

void cQtSignalSlotMeterDriver::SetAttackStep(GAIN step)
{
    cMeterDisplayDriverBase::SetAttackStep(step);
    emit attackStepChanged();
}

void cQtSignalSlotMeterDriver::SetDecayStep(GAIN step)
{
    cMeterDisplayDriverBase::SetDecayStep(step);
    emit decayStepChanged();
}
