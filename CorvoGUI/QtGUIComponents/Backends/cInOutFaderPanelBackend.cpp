#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendName.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"

namespace
{

constexpr UWORD FADER_OFF = 22528;  // -40 dB
constexpr UWORD INPUT_TOP = 32768;  // 0 dB
constexpr UWORD OUTPUT_TOP = 35840; // +12 dB
constexpr UWORD MUTE_ID = 4096;
constexpr UWORD POLARITY_ID = 4097;
constexpr UWORD FADER_ID = 4098;
const char* const METERS = "Metering Sources NetObject";

cFaderControlStripBackend* MakeStrip(const char* strip, bool input, QObject* parent)
{
    return new cFaderControlStripBackend(BackendName("InOutFader:%s Fader Control Strip", strip).c_str(),
                                         parent, FADER_OFF, input ? INPUT_TOP : OUTPUT_TOP, input);
}

bool LinkStrip(cFaderControlStripBackend* strip, const std::string& unit, UWORD meterId)
{
    const char* name = unit.c_str();
    return strip->LinkDrivers(name, MUTE_ID, name, POLARITY_ID, name, FADER_ID, METERS, meterId);
}

} // namespace

cInOutFaderPanelBackend::cInOutFaderPanelBackend(QObject* parent)
    : QObject(parent)
    , mInputL(MakeStrip("Input L", true, this))
    , mLowL(MakeStrip("Low L", false, this))
    , mMidL(MakeStrip("Mid L", false, this))
    , mHighL(MakeStrip("High L", false, this))
    , mInputR(MakeStrip("Input R", true, this))
    , mLowR(MakeStrip("Low R", false, this))
    , mMidR(MakeStrip("Mid R", false, this))
    , mHighR(MakeStrip("High R", false, this))
{
}

cInOutFaderPanelBackend::~cInOutFaderPanelBackend()
{
    for (cFaderControlStripBackend* strip : {mInputL, mLowL, mMidL, mHighL, mInputR, mLowR, mMidR, mHighR})
    {
        delete strip;
    }
}

bool cInOutFaderPanelBackend::LinkDrivers()
{
    bool ok = LinkStrip(mInputL, BackendName("InOutFader:%s Control Strip Unit", "Input L"), 4097);
    ok &= LinkStrip(mInputR, BackendName("InOutFader:%s Control Strip Unit", "Input R"), 4098);
    ok &= LinkStrip(mLowL, BackendName("InOutFader:%s Control Strip Unit%d", "L", 1), 4099);
    ok &= LinkStrip(mLowR, BackendName("InOutFader:%s Control Strip Unit%d", "R", 1), 4100);
    ok &= LinkStrip(mMidL, BackendName("InOutFader:%s Control Strip Unit%d", "L", 2), 4101);
    ok &= LinkStrip(mMidR, BackendName("InOutFader:%s Control Strip Unit%d", "R", 2), 4102);
    ok &= LinkStrip(mHighL, BackendName("InOutFader:%s Control Strip Unit%d", "L", 3), 4103);
    ok &= LinkStrip(mHighR, BackendName("InOutFader:%s Control Strip Unit%d", "R", 3), 4104);
    return ok;
}

void cInOutFaderPanelBackend::UnlinkDrivers()
{
    for (cFaderControlStripBackend* strip : {mInputL, mLowL, mMidL, mHighL, mInputR, mLowR, mMidR, mHighR})
    {
        strip->UnlinkDrivers();
    }
}
