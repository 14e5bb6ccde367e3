#include "CorvoGUI/QtGUIComponents/Backends/cPEQBandDrivers.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"

namespace
{

const char* const CHANNEL = "Channel";

std::string DriverName(const char* format, const char* prefix, const char* bandName)
{
    return BackendName(format, prefix, CHANNEL, bandName);
}

} // namespace

cPEQBandDrivers::cPEQBandDrivers(const char* prefix, const char* bandName, UWORD freqMin, UWORD freqMax,
                                 bool withTypeSwitch, QObject* parent)
    : QObject(parent)
    , mBandTypeSwitchDriver(
          withTypeSwitch
              ? new cQtIntegerSwitchDriver(DriverName("%s%s PEQ %s Shelf Switch", prefix, bandName).c_str(),
                                           READ_PERIOD, true, this)
              : nullptr)
    , mFrequencyDriver(new cQtSignalSlotContinuousControllerDriver(
          DriverName("%s%s PEQ %s Freq TFT Edit Box", prefix, bandName).c_str(), freqMin, freqMax, 0,
          READ_PERIOD, this))
    , mWidthDriver(new cQtSignalSlotContinuousControllerDriver(
          DriverName("%s%s PEQ %s Width TFT Edit Box", prefix, bandName).c_str(), WIDTH_MINIMUM,
          WIDTH_MAXIMUM, 0, READ_PERIOD, this))
    , mGainDriver(new cQtSignalSlotContinuousControllerDriver(
          DriverName("%s%s PEQ %s Gain TFT Edit Box", prefix, bandName).c_str(), GAIN_MINIMUM, GAIN_MAXIMUM,
          0, READ_PERIOD, this))
    , mBypassDriver(new cQtBooleanSwitchDriver(
          DriverName("%s%s PEQ %s Band Bypass Switch", prefix, bandName).c_str(), READ_PERIOD, true, this))
{
}

cPEQBandDrivers::~cPEQBandDrivers() = default;

bool cPEQBandDrivers::LinkBandDriver(const char* unitName, std::optional<UWORD> freqRangeId, UWORD freqId,
                                     std::optional<UWORD> widthId, std::optional<UWORD> gainId,
                                     std::optional<UWORD> typeId, UWORD bypassId)
{
    bool ok = true;
    if (freqRangeId)
    {
        ok &= mFrequencyDriver->LinkRangeFromParameter(unitName, *freqRangeId, false);
    }
    ok &= mFrequencyDriver->LinkValueFromParameter(unitName, freqId, false, true);
    if (widthId)
    {
        ok &= mWidthDriver->LinkValueFromParameter(unitName, *widthId, false, true);
    }
    if (gainId)
    {
        ok &= mGainDriver->LinkValueFromParameter(unitName, *gainId, false, true);
    }
    if (typeId)
    {
        if (mBandTypeSwitchDriver != nullptr)
        {
            ok &= mBandTypeSwitchDriver->LinkValueFromParameter(unitName, *typeId, false, true, true);
        }
        else
        {
            KV_REPORT_ERROR("The band has no type switch: link to %s:%d not made", unitName, int(*typeId));
            ok = false;
        }
    }
    ok &= mBypassDriver->LinkValueFromParameter(unitName, bypassId, false, true, true);
    return ok;
}

void cPEQBandDrivers::UnlinkBandDriver()
{
    if (mBandTypeSwitchDriver != nullptr)
    {
        mBandTypeSwitchDriver->DetachNetObject();
    }
    mFrequencyDriver->DetachNetObject();
    mWidthDriver->DetachNetObject();
    mGainDriver->DetachNetObject();
    mBypassDriver->DetachNetObject();
}
