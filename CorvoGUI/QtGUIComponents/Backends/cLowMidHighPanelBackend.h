#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QObject>

class cFaderControlStripBackend;
class cPEQBlockBackend;
class cQtBooleanSwitchDriver;
class cQtListBoxBackend;
class cQtSignalSlotContinuousControllerDriver;

// One of the "Low", "Mid" and "High" tabs: the drivers and sub-back-ends of one low/mid/high panel
// (panel type 1 LOW, 2 MID, 3 HIGH; any other type is built like HIGH), linked by name to the units of
// the matching panel of the device model. Every object is a child of the back end and attaches to its
// net object when made; names start "LMH <type>: ". Uncreatable QML type "LowMidHighBackend" of module
// "Corvo" 1.0, owned by the root back end.
//
//   bypassDriverLF, valueLF, slopeLF   the high-pass filter: in/out, frequency (20 Hz to 20 kHz),
//                                      slope list (HIGH: four slopes; LOW and MID: "12dB Butterworth")
//   bypassDriverHF, valueHF, slopeHF   the low-pass filter, the same
//   ganged                             the PEQ gang switch
//   outFadersL, outFadersR             the output strips ("Left"/"Right" Fader Control Strip, -40 dB
//                                      to +12 dB, meters 4099/4100 LOW, 4101/4102 MID, 4103/4104 HIGH)
//   delayL, delayR, delayGanged        the delays (0 to about 10 ms) and their gang switch
//   peqBlockL, peqBlockR               the PEQ blocks ("Left"/"Right" PEQ Block), 2, 4 or 6 bands
//
// LinkDrivers queues every link strictly in this order (one missing name would hold every later link
// back): the filters, the gang, the output strips, the delays, the PEQ bands (outer bands first, then
// inwards, left before right; for each band the block's value boxes and then the graph's driver),
// then each block's in/out switch and its graph's "fully bypassed".
//
// Threads: GUI thread. Links queue with the system builder; unlinking takes the registry lock in each
// driver. Once unlinked, destruction touches no net object.
class cLowMidHighPanelBackend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int panelType READ panelType CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* bypassDriverLF READ bypassDriverLF CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* valueLF READ valueLF CONSTANT)
    Q_PROPERTY(cQtListBoxBackend* slopeLF READ slopeLF CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* bypassDriverHF READ bypassDriverHF CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* valueHF READ valueHF CONSTANT)
    Q_PROPERTY(cQtListBoxBackend* slopeHF READ slopeHF CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* ganged READ ganged CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* outFadersL READ outFadersL CONSTANT)
    Q_PROPERTY(cFaderControlStripBackend* outFadersR READ outFadersR CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* delayL READ delayL CONSTANT)
    Q_PROPERTY(cQtSignalSlotContinuousControllerDriver* delayR READ delayR CONSTANT)
    Q_PROPERTY(cQtBooleanSwitchDriver* delayGanged READ delayGanged CONSTANT)
    Q_PROPERTY(cPEQBlockBackend* peqBlockL READ peqBlockL CONSTANT)
    Q_PROPERTY(cPEQBlockBackend* peqBlockR READ peqBlockR CONSTANT)

public:
    static constexpr UWORD FREQUENCY_MINIMUM = 10699; // 20 Hz
    static constexpr UWORD FREQUENCY_MAXIMUM = 56622; // 20 kHz
    static constexpr UWORD DELAY_MAXIMUM = 23832;     // about 10 ms
    static constexpr UWORD FADER_OFF = 22528;         // -40 dB
    static constexpr UWORD FADER_TOP = 35840;         // +12 dB
    static constexpr UBYTE READ_PERIOD = 50;

    cLowMidHighPanelBackend(int panelType, QObject* parent = nullptr);
    // UnlinkDrivers, then deleteLater on every object (children, so they go with the panel).
    ~cLowMidHighPanelBackend() override;

    int panelType() const { return mPanelType; }
    cQtBooleanSwitchDriver* bypassDriverLF() const { return mBypassDriverLF; }
    cQtSignalSlotContinuousControllerDriver* valueLF() const { return mValueLF; }
    cQtListBoxBackend* slopeLF() const { return mSlopeLF; }
    cQtBooleanSwitchDriver* bypassDriverHF() const { return mBypassDriverHF; }
    cQtSignalSlotContinuousControllerDriver* valueHF() const { return mValueHF; }
    cQtListBoxBackend* slopeHF() const { return mSlopeHF; }
    cQtBooleanSwitchDriver* ganged() const { return mGanged; }
    cFaderControlStripBackend* outFadersL() const { return mOutFadersL; }
    cFaderControlStripBackend* outFadersR() const { return mOutFadersR; }
    cQtSignalSlotContinuousControllerDriver* delayL() const { return mDelayL; }
    cQtSignalSlotContinuousControllerDriver* delayR() const { return mDelayR; }
    cQtBooleanSwitchDriver* delayGanged() const { return mDelayGanged; }
    cPEQBlockBackend* peqBlockL() const { return mPEQBlockL; }
    cPEQBlockBackend* peqBlockR() const { return mPEQBlockR; }
    UBYTE GetBandsPerSide() const { return mBandsPerSide; }

    // Queues every link of the panel (see the class comment). False when any was refused.
    bool LinkDrivers();
    // Every driver leaves its net object, the PEQ drivers included. Safe to repeat.
    void UnlinkDrivers();

private:
    bool LinkBand(cPEQBlockBackend* block, const char* unitName, UBYTE band);

    int mPanelType;
    UBYTE mBandsPerSide;
    cQtBooleanSwitchDriver* mBypassDriverLF = nullptr;
    cQtSignalSlotContinuousControllerDriver* mValueLF = nullptr;
    cQtListBoxBackend* mSlopeLF = nullptr;
    cQtBooleanSwitchDriver* mBypassDriverHF = nullptr;
    cQtSignalSlotContinuousControllerDriver* mValueHF = nullptr;
    cQtListBoxBackend* mSlopeHF = nullptr;
    cQtBooleanSwitchDriver* mGanged = nullptr;
    cFaderControlStripBackend* mOutFadersL = nullptr;
    cFaderControlStripBackend* mOutFadersR = nullptr;
    cQtSignalSlotContinuousControllerDriver* mDelayL = nullptr;
    cQtSignalSlotContinuousControllerDriver* mDelayR = nullptr;
    cQtBooleanSwitchDriver* mDelayGanged = nullptr;
    cPEQBlockBackend* mPEQBlockL = nullptr;
    cPEQBlockBackend* mPEQBlockR = nullptr;
};
