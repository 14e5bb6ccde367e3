#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotListBoxDriver.h"

#include <QList>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

namespace
{

// Panel types.
constexpr int LOW_PANEL = 1;
constexpr int MID_PANEL = 2;
constexpr int HIGH_PANEL = 3;

// Unit parameters.
constexpr UWORD FILTER_BYPASS = 4096;
constexpr UWORD FILTER_FREQUENCY = 4097;
constexpr UWORD FILTER_SLOPE = 4098;
constexpr UWORD GANG = 4096;
constexpr UWORD STRIP_MUTE = 4096;
constexpr UWORD STRIP_POLARITY = 4097;
constexpr UWORD STRIP_FADER = 4098;
constexpr UWORD DELAY_LEFT = 4096;
constexpr UWORD DELAY_RIGHT = 4097;
constexpr UWORD DELAY_GANG = 4098;
constexpr UWORD EQ_BYPASS = 4096;
constexpr UWORD EQ_FIRST_TYPE = 4097;
constexpr UWORD EQ_LAST_TYPE = 4098;
constexpr UWORD EQ_FIRST_BAND = 4099;
constexpr UWORD EQ_PARAMETERS_PER_BAND = 5;

const char* const METERS = "Metering Sources NetObject";

QStringList SlopeDescriptions(int panelType)
{
    if (panelType == LOW_PANEL || panelType == MID_PANEL)
    {
        return {QStringLiteral("12dB Butterworth")};
    }
    return {QStringLiteral("12dB Butterworth"), QStringLiteral("18dB Butterworth"),
            QStringLiteral("24dB Butterworth"), QStringLiteral("18dB Bessel")};
}

QList<UBYTE> SlopeValues(int panelType)
{
    if (panelType == LOW_PANEL || panelType == MID_PANEL)
    {
        return {0};
    }
    return {0, 1, 2, 3};
}

cPEQBlockBackend::eNumOfBands BlockBands(int panelType)
{
    switch (panelType)
    {
    case LOW_PANEL:
        return cPEQBlockBackend::TWO;
    case MID_PANEL:
        return cPEQBlockBackend::FOUR;
    default:
        return cPEQBlockBackend::SIX;
    }
}

UBYTE BandsPerSide(int panelType)
{
    switch (panelType)
    {
    case LOW_PANEL:
        return 2;
    case MID_PANEL:
        return 4;
    default:
        return 6;
    }
}

// The metering sources' parameter of the panel's output strip on that side (0 left, 1 right).
UWORD MeterId(int panelType, int side)
{
    switch (panelType)
    {
    case LOW_PANEL:
        return UWORD(4099 + side);
    case MID_PANEL:
        return UWORD(4101 + side);
    case HIGH_PANEL:
        return UWORD(4103 + side);
    default:
        return UWORD(4097 + side);
    }
}

} // namespace

cLowMidHighPanelBackend::cLowMidHighPanelBackend(int panelType, QObject* parent)
    : QObject(parent)
    , mPanelType(panelType)
    , mBandsPerSide(BandsPerSide(panelType))
{
    const int t = mPanelType;
    mBypassDriverLF = new cQtBooleanSwitchDriver(BackendName("LMH %d: %s Bypass Switch", t, "LF").c_str(),
                                                 READ_PERIOD, true, this);
    mValueLF = new cQtSignalSlotContinuousControllerDriver(
        BackendName("LMH %d: %s Frequency Value Widget", t, "LF").c_str(), FREQUENCY_MINIMUM,
        FREQUENCY_MAXIMUM, 0, READ_PERIOD, this);
    mSlopeLF = new cQtListBoxBackend(BackendName("LMH %d: %s Slope ListBox", t, "LF").c_str(),
                                     SlopeDescriptions(t), SlopeValues(t), this);
    mBypassDriverHF = new cQtBooleanSwitchDriver(BackendName("LMH %d: %s Bypass Switch", t, "HF").c_str(),
                                                 READ_PERIOD, true, this);
    mValueHF = new cQtSignalSlotContinuousControllerDriver(
        BackendName("LMH %d: %s Frequency Value Widget", t, "HF").c_str(), FREQUENCY_MINIMUM,
        FREQUENCY_MAXIMUM, 0, READ_PERIOD, this);
    mSlopeHF = new cQtListBoxBackend(BackendName("LMH %d: %s Slope ListBox", t, "HF").c_str(),
                                     SlopeDescriptions(t), SlopeValues(t), this);
    mGanged = new cQtBooleanSwitchDriver(BackendName("LMH %d: %s Ganged Switch", t, "").c_str(), READ_PERIOD,
                                         true, this);
    mOutFadersL = new cFaderControlStripBackend(
        BackendName("LMH %d: %s Fader Control Strip", t, "Left").c_str(), this, FADER_OFF, FADER_TOP, false);
    mOutFadersR = new cFaderControlStripBackend(
        BackendName("LMH %d: %s Fader Control Strip", t, "Right").c_str(), this, FADER_OFF, FADER_TOP, false);
    mDelayL = new cQtSignalSlotContinuousControllerDriver(
        BackendName("LMH %d: %s Delay Value Widget", t, "Left").c_str(), 0, DELAY_MAXIMUM, 0, READ_PERIOD,
        this);
    mDelayR = new cQtSignalSlotContinuousControllerDriver(
        BackendName("LMH %d: %s Delay Value Widget", t, "Right").c_str(), 0, DELAY_MAXIMUM, 0, READ_PERIOD,
        this);
    mDelayGanged = new cQtBooleanSwitchDriver(BackendName("LMH %d: %s Delay Ganged Switch", t, "").c_str(),
                                              READ_PERIOD, true, this);
    mPEQBlockL =
        new cPEQBlockBackend(BlockBands(t), BackendName("LMH %d: %s PEQ Block", t, "Left").c_str(), this);
    mPEQBlockR =
        new cPEQBlockBackend(BlockBands(t), BackendName("LMH %d: %s PEQ Block", t, "Right").c_str(), this);
}

cLowMidHighPanelBackend::~cLowMidHighPanelBackend()
{
    UnlinkDrivers();
    for (QObject* object : std::initializer_list<QObject*>{
             mBypassDriverLF, mValueLF, mSlopeLF, mBypassDriverHF, mValueHF, mSlopeHF, mGanged, mOutFadersL,
             mOutFadersR, mDelayL, mDelayR, mDelayGanged, mPEQBlockL, mPEQBlockR})
    {
        object->deleteLater();
    }
}

bool cLowMidHighPanelBackend::LinkDrivers()
{
    const int t = mPanelType;
    const std::string hpf = BackendName("LMH %d: %s HPF Unit", t, "");
    const std::string lpf = BackendName("LMH %d: %s LPF Unit", t, "");
    const std::string gang = BackendName("LMH %d: %s Parametric EQ Gang", t, "");
    const std::string delay = BackendName("LMH %d: %s Delay Unit", t, "");
    const std::string stripL = BackendName("InOutFader:%s Control Strip Unit%d", "L", t);
    const std::string stripR = BackendName("InOutFader:%s Control Strip Unit%d", "R", t);
    const std::string eqL = BackendName("LMH %d: %s Parametric EQ Unit", t, "L");
    const std::string eqR = BackendName("LMH %d: %s Parametric EQ Unit", t, "R");

    bool ok = mBypassDriverLF->LinkValueFromParameter(hpf.c_str(), FILTER_BYPASS, false, true, true);
    ok &= mValueLF->LinkValueFromParameter(hpf.c_str(), FILTER_FREQUENCY, false, true);
    ok &= mSlopeLF->LinkFromParameter(hpf.c_str(), FILTER_SLOPE, false, true);
    ok &= mBypassDriverHF->LinkValueFromParameter(lpf.c_str(), FILTER_BYPASS, false, true, true);
    ok &= mValueHF->LinkValueFromParameter(lpf.c_str(), FILTER_FREQUENCY, false, true);
    ok &= mSlopeHF->LinkFromParameter(lpf.c_str(), FILTER_SLOPE, false, true);
    ok &= mGanged->LinkValueFromParameter(gang.c_str(), GANG, false, true, true);
    ok &= mOutFadersL->LinkDrivers(stripL.c_str(), STRIP_MUTE, stripL.c_str(), STRIP_POLARITY, stripL.c_str(),
                                   STRIP_FADER, METERS, MeterId(t, 0));
    ok &= mOutFadersR->LinkDrivers(stripR.c_str(), STRIP_MUTE, stripR.c_str(), STRIP_POLARITY, stripR.c_str(),
                                   STRIP_FADER, METERS, MeterId(t, 1));
    ok &= mDelayL->LinkValueFromParameter(delay.c_str(), DELAY_LEFT, false, true);
    ok &= mDelayR->LinkValueFromParameter(delay.c_str(), DELAY_RIGHT, false, true);
    ok &= mDelayGanged->LinkValueFromParameter(delay.c_str(), DELAY_GANG, false, true, true);

    // The outer bands first, then inwards; a panel of any other type links only its outer bands.
    const UBYTE last = UBYTE(mBandsPerSide - 1);
    const auto linkPair = [&](UBYTE first, UBYTE second)
    {
        ok &= LinkBand(mPEQBlockL, eqL.c_str(), first);
        ok &= LinkBand(mPEQBlockL, eqL.c_str(), second);
        ok &= LinkBand(mPEQBlockR, eqR.c_str(), first);
        ok &= LinkBand(mPEQBlockR, eqR.c_str(), second);
    };
    linkPair(0, last);
    if (t == MID_PANEL || t == HIGH_PANEL)
    {
        linkPair(1, UBYTE(last - 1));
    }
    if (t == HIGH_PANEL)
    {
        linkPair(2, 3);
    }

    for (auto [block, unit] : {std::make_pair(mPEQBlockL, &eqL), std::make_pair(mPEQBlockR, &eqR)})
    {
        ok &= block->LinkBypassDriver(unit->c_str(), EQ_BYPASS);
        if (block->peqDriver() != nullptr)
        {
            ok &= block->peqDriver()->LinkFullyBypassed(unit->c_str(), EQ_BYPASS, false);
        }
    }
    return ok;
}

bool cLowMidHighPanelBackend::LinkBand(cPEQBlockBackend* block, const char* unitName, UBYTE band)
{
    const UWORD range = UWORD(EQ_FIRST_BAND + EQ_PARAMETERS_PER_BAND * band);
    const UWORD frequency = UWORD(range + 1);
    const UWORD width = UWORD(range + 2);
    const UWORD gain = UWORD(range + 3);
    const UWORD bypass = UWORD(range + 4);
    std::optional<UWORD> type;
    if (band == 0)
    {
        type = EQ_FIRST_TYPE;
    }
    else if (band == mBandsPerSide - 1)
    {
        type = EQ_LAST_TYPE;
    }
    bool ok = block->LinkBandDriver(band, unitName, range, frequency, width, gain, type, bypass);
    if (cPEQDriver* driver = block->peqDriver())
    {
        ok &= driver->LinkBand(band, unitName, bypass, range, frequency, width, gain, type.value_or(0), 0, 0,
                               false, 0, 0, 0, 0, 0, 0, 0, 0, cPEQDriver::DEFAULT_BAND_PASS_FREQ);
    }
    return ok;
}

void cLowMidHighPanelBackend::UnlinkDrivers()
{
    mBypassDriverLF->DetachNetObject();
    mValueLF->DetachNetObject();
    mSlopeLF->GetDriver()->DetachNetObject();
    mBypassDriverHF->DetachNetObject();
    mValueHF->DetachNetObject();
    mSlopeHF->GetDriver()->DetachNetObject();
    mGanged->DetachNetObject();
    mOutFadersL->UnlinkDrivers();
    mOutFadersR->UnlinkDrivers();
    mDelayL->DetachNetObject();
    mDelayR->DetachNetObject();
    mPEQBlockL->UnlinkDrivers();
    mPEQBlockR->UnlinkDrivers();
    mDelayGanged->DetachNetObject();
}
