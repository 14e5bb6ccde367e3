#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"

cFaderControlStripBackend::cFaderControlStripBackend(const char* prefix, QObject* parent, UWORD faderMinimum,
                                                     UWORD faderMaximum, bool inputFader)
    : QObject(parent)
    , mMute(
          new cQtBooleanSwitchDriver(BackendName("%s Mute Switch", prefix).c_str(), READ_PERIOD, true, this))
    , mPolarity(new cQtBooleanSwitchDriver(BackendName("%s Polarity Switch", prefix).c_str(), READ_PERIOD,
                                           true, this))
    , mFaderDriver(new cQtSignalSlotContinuousControllerDriver(
          BackendName("%s Fader Widget", prefix).c_str(), faderMinimum, faderMaximum, 1, READ_PERIOD, this))
    , mMeterDriver(new cQtSignalSlotMeterDriver(BackendName("%s Meter Widget", prefix).c_str(), METER_BOTTOM,
                                                METER_TOP, METER_ATTACK_STEP, METER_DECAY_STEP, 0, 0, this))
    , mInputFader(inputFader)
{
}

cFaderControlStripBackend::~cFaderControlStripBackend()
{
    mMute->deleteLater();
    mPolarity->deleteLater();
    mFaderDriver->deleteLater();
    mMeterDriver->deleteLater();
}

bool cFaderControlStripBackend::LinkDrivers(const char* muteUnit, UWORD muteId, const char* polarityUnit,
                                            UWORD polarityId, const char* faderUnit, UWORD faderId,
                                            const char* meterUnit, UWORD meterId)
{
    bool ok = mMute->LinkValueFromParameter(muteUnit, muteId, false, true, true);
    ok &= mPolarity->LinkValueFromParameter(polarityUnit, polarityId, false, true, true);
    ok &= mFaderDriver->LinkValueFromParameter(faderUnit, faderId, false, true);
    ok &= mMeterDriver->LinkMeterFromParameter(meterUnit, meterId, false);
    return ok;
}

bool cFaderControlStripBackend::LinkDrivers(const char* unit, UWORD muteId, UWORD polarityId, UWORD faderId,
                                            UWORD meterId)
{
    return LinkDrivers(unit, muteId, unit, polarityId, unit, faderId, unit, meterId);
}

void cFaderControlStripBackend::UnlinkDrivers()
{
    mMute->DetachNetObject();
    mPolarity->DetachNetObject();
    mFaderDriver->DetachNetObject();
    mMeterDriver->DetachNetObject();
}
