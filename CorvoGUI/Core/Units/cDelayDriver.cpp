#include "CorvoGUI/Core/Units/cDelayDriver.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cDelayUnit.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cmath>

cDelayDriver::cDelayDriver(const char* name, UBYTE index, cNonVolatileStorageManager* storage,
                           cSerialInterface* serial, cSaveObjectRegistry* saves, bool clear)
    : mIndex(index)
    , mSerial(serial)
{
    mUnit = new cDelayUnit(name, this, storage, clear, saves);
    SetAudioObject(mUnit);
}

cDelayDriver::~cDelayDriver()
{
    DestroyAudioObject();
    mUnit = nullptr;
}

ULONG cDelayDriver::SamplesFromCode(UWORD code)
{
    const double samples = std::round(ConvertUWORDToTime(code) * SAMPLE_RATE);
    if (samples >= double(MAX_SAMPLES))
    {
        if (samples > double(MAX_SAMPLES))
        {
            KV_REPORT_ERROR("Delay code %d is beyond the device's range: %lu samples sent", int(code),
                            static_cast<unsigned long>(MAX_SAMPLES));
        }
        return MAX_SAMPLES;
    }
    return samples > 0.0 ? ULONG(samples) : 0;
}

void cDelayDriver::SendDelay(int channel, UWORD code)
{
    if (mSerial == nullptr)
    {
        return;
    }
    mSerial->QueueDelay(ULONG(mIndex) + ULONG(channel == 0 ? 0 : 1), SamplesFromCode(code));
}

bool cDelayDriver::GetDeviceDelays(ULONG& left, ULONG& right) const
{
    if (mSerial == nullptr)
    {
        return false;
    }
    if (size_t(mIndex) + 1 >= sDelayBlock().size())
    {
        KV_REPORT_ERROR("No device delay channels %d and %d", int(mIndex), int(mIndex) + 1);
        return false;
    }
    sDelayBlock block;
    if (!mSerial->GetDelayBlock(block))
    {
        return false;
    }
    left = block[mIndex];
    right = block[size_t(mIndex) + 1];
    return true;
}

void cDelayDriver::ResetUnitDefaults()
{
    if (mUnit != nullptr)
    {
        mUnit->ResetDefaults();
    }
}
