#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"

#include <vector>

namespace
{

const char* const CHANNEL = "Channel";

std::vector<const char*> BandNames(cPEQBlockBackend::eNumOfBands numberOfBands)
{
    switch (numberOfBands)
    {
    case cPEQBlockBackend::TWO:
        return {"LF", "HF"};
    case cPEQBlockBackend::FOUR:
        return {"LF", "LM", "HM", "HF"};
    case cPEQBlockBackend::SIX:
        return {"LF", "LM1", "LM2", "HM1", "HM2", "HF"};
    }
    return {};
}

} // namespace

cPEQBlockBackend::cPEQBlockBackend(eNumOfBands numberOfBands, const char* blockName, QObject* parent)
    : QObject(parent)
    , mBands(new QQmlObjectListModel<cPEQBandDrivers>(this))
{
    const std::vector<const char*> bandNames = BandNames(numberOfBands);
    if (bandNames.empty())
    {
        KV_REPORT_ERROR("NumberOfBands outside allowable values");
    }
    else
    {
        mPEQDriver = new cPEQDriver(BackendName("%s %s Parametric EQ Graph", blockName, CHANNEL).c_str(),
                                    UBYTE(bandNames.size()), this);
    }
    for (const char* bandName : bandNames)
    {
        mBands->append(
            new cPEQBandDrivers(blockName, bandName, FREQUENCY_MINIMUM, FREQUENCY_MAXIMUM, true, mBands));
    }
    mBypassDriver = new cQtBooleanSwitchDriver(
        BackendName("%s %s PEQ In Out Switch", blockName, CHANNEL).c_str(), READ_PERIOD, true, this);
}

cPEQBlockBackend::~cPEQBlockBackend()
{
    mBands->deleteLater();
    mBypassDriver->deleteLater();
}

bool cPEQBlockBackend::LinkBandDriver(UBYTE band, const char* unitName, std::optional<UWORD> freqRangeId,
                                      UWORD freqId, std::optional<UWORD> widthId, std::optional<UWORD> gainId,
                                      std::optional<UWORD> typeId, UWORD bypassId)
{
    cPEQBandDrivers* item = mBands->at(band);
    if (item == nullptr)
    {
        KV_REPORT_ERROR("Band number outside bandlist");
        return false;
    }
    return item->LinkBandDriver(unitName, freqRangeId, freqId, widthId, gainId, typeId, bypassId);
}

bool cPEQBlockBackend::LinkBypassDriver(const char* unitName, UWORD id)
{
    return mBypassDriver->LinkValueFromParameter(unitName, id, false, true, true);
}

void cPEQBlockBackend::UnlinkDrivers()
{
    if (mPEQDriver != nullptr)
    {
        mPEQDriver->DetachNetObject();
    }
    for (cPEQBandDrivers* item : mBands->items())
    {
        item->UnlinkBandDriver();
    }
    mBypassDriver->DetachNetObject();
}
