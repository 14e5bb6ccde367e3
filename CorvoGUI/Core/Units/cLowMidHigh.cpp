#include "CorvoGUI/Core/Units/cLowMidHigh.h"

#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <cstdio>

namespace
{

ePanelType CheckedType(int type)
{
    if (type == LOW || type == MID || type == HIGH)
    {
        return ePanelType(type);
    }
    KV_REPORT_ERROR("Invalid Low/Mid/High PanelType. Assuming HIGH mode");
    return HIGH;
}

// The unit name of the panel type from a format with %d (type) and %s.
struct sUnitName
{
    sUnitName(const char* format, ePanelType type, const char* text)
    {
        std::snprintf(mText, sizeof mText, format, int(type), text);
    }
    char mText[64];
};

} // namespace

cLowMidHigh::sConfiguration cLowMidHigh::ConfigurationOf(int type)
{
    switch (type)
    {
    case LOW:
        return {2, 1, 1, 0, 0};
    case MID:
        return {4, 1, 1, 2, 2};
    default:
        return {6, 2, 0, 4, 4};
    }
}

cLowMidHigh::cLowMidHigh(int type, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                         cSaveObjectRegistry* saves)
    : mType(CheckedType(type))
    , mConfiguration(ConfigurationOf(mType))
{
    const sConfiguration& c = mConfiguration;
    mHPF = new cHPFDriver(sUnitName("LMH %d: %s HPF Unit", mType, "").mText, storage, serial, saves,
                          c.mChannelBase, HPF_SLOT, c.mHighPassSections, SAMPLE_PERIOD, SAMPLE_RATE);
    mLPF = new cLPFDriver(sUnitName("LMH %d: %s LPF Unit", mType, "").mText, storage, serial, saves,
                          c.mChannelBase, LPF_SLOT, c.mLowPassSections, SAMPLE_PERIOD, SAMPLE_RATE);
    mDelay = new cDelayDriver(sUnitName("LMH %d: %s Delay Unit", mType, "").mText, c.mDelayIndex, storage,
                              serial, saves, false);
    mLeftEQ = new cParametricEQDriver(sUnitName("LMH %d: %s Parametric EQ Unit", mType, "L").mText, storage,
                                      serial, saves, c.mBands, PEQ_SCALE, SAMPLE_PERIOD, SAMPLE_RATE,
                                      PEQ_FACTOR, 0, c.mChannelBase, PEQ_SLOT);
    mRightEQ = new cParametricEQDriver(sUnitName("LMH %d: %s Parametric EQ Unit", mType, "R").mText, storage,
                                       serial, saves, c.mBands, PEQ_SCALE, SAMPLE_PERIOD, SAMPLE_RATE,
                                       PEQ_FACTOR, 1, UBYTE(c.mChannelBase + 1), PEQ_SLOT);
    mGang = new cParametricEQGangDriver(sUnitName("LMH %d: %s Parametric EQ Gang", mType, "").mText, storage,
                                        saves, mLeftEQ, mRightEQ, c.mBands);
}

cLowMidHigh::~cLowMidHigh()
{
    delete mHPF;
    delete mLPF;
    delete mDelay;
    delete mLeftEQ;
    delete mRightEQ;
    delete mGang;
}
