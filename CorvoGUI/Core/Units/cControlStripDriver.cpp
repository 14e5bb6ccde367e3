#include "CorvoGUI/Core/Units/cControlStripDriver.h"

#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

cControlStripDriver::cControlStripDriver(const char* name, cNonVolatileStorageManager* storage,
                                         cSerialInterface* serial, cSaveObjectRegistry* saves,
                                         ULONG stripIndex, bool invertPolarity)
    : mSerial(serial)
{
    mState.mStripIndex = stripIndex;
    if (mSerial == nullptr)
    {
        KV_REPORT_ERROR("Control strip %s has no serial interface: nothing reaches the device",
                        name != nullptr ? name : "");
    }
    if (stripIndex >= ULONG(nSerialProtocol::CONTROL_STRIPS))
    {
        KV_REPORT_ERROR("Control strip %s: the device has no strip %lu", name != nullptr ? name : "",
                        static_cast<unsigned long>(stripIndex));
    }
    cRegistryLocker lock;
    mUnit = new cControlStripUnit(name, storage, saves, this, invertPolarity);
    SetAudioObject(mUnit);
    InitFromUnit();
}

cControlStripDriver::~cControlStripDriver()
{
    DestroyAudioObject();
    mUnit = nullptr;
}

void cControlStripDriver::SetMute(bool mute)
{
    if (mute != mState.mMuted)
    {
        mState.mMuted = mute;
        if (mute)
        {
            mState.mHeldGain = mState.mCurrentGain;
            mState.mCurrentGain = nControlStrip::MUTED_GAIN;
        }
        else
        {
            mState.mCurrentGain = mState.mHeldGain;
        }
    }
    SendStrip();
}

void cControlStripDriver::SetPolarity(bool polarity)
{
    mState.mPolarity = polarity;
    SendStrip();
}

void cControlStripDriver::SetGain(GAIN gain)
{
    if (mState.mMuted)
    {
        mState.mHeldGain = gain;
    }
    else
    {
        mState.mCurrentGain = gain;
    }
    SendStrip();
}

void cControlStripDriver::SetAll(bool mute, bool polarity, GAIN gain)
{
    mState.mMuted = mute;
    mState.mPolarity = polarity;
    if (mute)
    {
        mState.mHeldGain = gain;
        mState.mCurrentGain = nControlStrip::MUTED_GAIN;
    }
    else
    {
        mState.mCurrentGain = gain;
    }
    SendStrip();
}

void cControlStripDriver::InitFromUnit()
{
    if (mUnit == nullptr)
    {
        return;
    }
    const cControlStripUnit::sSettings settings = mUnit->GetSettings();
    mState.mHeldGain = settings.mGain;
    SetAll(settings.mMute, mUnit->DevicePolarity(settings.mPolarity), settings.mGain);
}

void cControlStripDriver::ResetUnitDefaults()
{
    if (mUnit == nullptr)
    {
        return;
    }
    if (!mUnit->ApplySettings(cControlStripUnit::DefaultSettings()))
    {
        InitFromUnit();
    }
}

bool cControlStripDriver::GetDeviceRecord(sControlStripRecord& record) const
{
    if (mSerial == nullptr || mState.mStripIndex >= ULONG(nSerialProtocol::CONTROL_STRIPS))
    {
        return false;
    }
    sControlStripBlock block;
    if (!mSerial->GetControlStripBlock(block))
    {
        return false;
    }
    record = block[mState.mStripIndex];
    return true;
}

void cControlStripDriver::SendIfTheDeviceDiffers()
{
    sControlStripRecord device;
    sControlStripSendRecord sent;
    if (!GetDeviceRecord(device) || !nControlStrip::MakeRecord(mState, sent))
    {
        return;
    }
    if (sent.mMute != device.mMute || sent.mGainCode != UWORD(device.mGainCode) ||
        sent.mPolarity != device.mPolarity)
    {
        SendStrip();
    }
}

void cControlStripDriver::SendStrip()
{
    sControlStripSendRecord record;
    if (mSerial == nullptr || !nControlStrip::MakeRecord(mState, record))
    {
        return;
    }
    mSerial->QueueControlStrip(record.mStripIndex, record.mLinearGain, record.mGainCode, record.mPolarity,
                               record.mMute);
}
