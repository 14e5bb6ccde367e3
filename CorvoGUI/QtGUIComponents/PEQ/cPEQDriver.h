#pragma once

#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"
#include "KVNet/Core/cAudioDriver.h"

#include <atomic>
#include <memory>

class cPEQNetObject2;

// The driver behind one PEQ response graph: it holds every band of one "Parametric EQ Unit" and owns
// the net object (a cPEQNetObject2 registered under the driver's name) that is linked to the unit's
// parameters. Values from the unit arrive on the syscall thread; a value that differs from the stored
// one is stored and announced by the interface's signal. The Write slots only store: the net
// object's next tick sends what changed. QML type "PEQDriver" of module "Corvo" 1.0, not creatable.
//
// Bands: the count is fixed at construction (the PEQ blocks use 2, 4 or 6; 0 is reported). A band
// index at or beyond the count, whatever QML passes, is reported and changes nothing; a getter
// answers 0 for it.
//
// Lifetime: DetachNetObject takes the framework side down (for the unlinking at shutdown, while the
// registry router still exists) and leaves the QObject for QML; the destructor does the same when it
// is still attached. The graph back end holds its driver by a guarded pointer.
//
// Threads: constructed, detached and destroyed on the GUI thread; the net object is created and
// deleted under the registry lock. Write slots and getters run on any thread, the store operations
// on the syscall thread (they emit the signals there). Every value is a single atomic byte or word;
// there is no other lock. The link operations may be called on any thread.
class cPEQDriver : public cPEQDriverInterface, public cAudioDriver
{
    Q_OBJECT

public:
    static constexpr UWORD DEFAULT_BAND_PASS_FREQ = 26007; // 200 Hz

    cPEQDriver(const char* name, UBYTE nBands, QObject* parent = nullptr);
    ~cPEQDriver() override;

    UBYTE GetNumberOfBands() const { return mBands; }
    // The owned net object; null once detached.
    cPEQNetObject2* GetNetObject() const;
    // Deletes the net object under the registry lock (it leaves the registry and its links). Does
    // nothing the second time.
    void DetachNetObject();

    GAIN GetBandGain(UBYTE band) const override;
    UWORD GetBandFreq(UBYTE band) const override;
    UWORD GetBandWidthIndex(UBYTE band) const override;
    UBYTE GetBandType(UBYTE band) const override;
    UWORD GetBandFreqMin(UBYTE band) const override;
    UWORD GetBandFreqMax(UBYTE band) const override;
    UBYTE GetBandBypassed(UBYTE band) const override;
    UWORD GetBandPassFreq() const override;
    UBYTE GetBandPass() const override;
    UBYTE GetFullyBypassed() const override;

    // Store and signal on change; called by the net object with values from the unit (syscall
    // thread). FreqRangeChanged is emitted when either bound differs; both are stored.
    void StoreBandGain(UBYTE band, GAIN gain);
    void StoreBandFreq(UBYTE band, UWORD freq);
    void StoreBandWidth(UBYTE band, UWORD width);
    void StoreBandType(UBYTE band, UBYTE type);
    void StoreBandFreqRange(UBYTE band, UWORD freqMin, UWORD freqMax);
    void StoreBandBypass(UBYTE band, UBYTE bypass);
    void StoreBandPass(UBYTE bandPass);
    void StoreBandPassFreq(UWORD freq);
    void StoreFullyBypassed(UBYTE bypass);

    // One bidirectional link (Sync) from (unitName, unitParam) to the net object's 4096. False, with
    // a report, while detached or without a system builder.
    bool LinkFullyBypassed(const char* unitName, UWORD unitParam, bool remove);
    // Links band `band`'s items to the unit, in the order bypass, frequency range, frequency, width,
    // gain, type, band pass, band-pass frequency: each non-zero id gives one link (Sync) from
    // (unitName, id) to the item's entry point (4097 and 4098 for the last two), bidirectional except
    // the frequency range's; for an id of 0 the item's Write slot takes the default instead. A band
    // at or beyond the count is reported and nothing is linked or written. False when anything was
    // refused.
    bool LinkBand(UBYTE band, const char* unitName, UWORD bypassId, UWORD freqRangeId, UWORD freqId,
                  UWORD widthId, UWORD gainId, UWORD typeId, UWORD bandPassId, UWORD bandPassFreqId,
                  bool remove, UBYTE bypass = 0, UWORD freqMin = 0, UWORD freqMax = 0, UWORD freq = 0,
                  UWORD width = 0, GAIN gain = 0, UBYTE type = 0, UBYTE bandPass = 0,
                  UWORD bandPassFreq = DEFAULT_BAND_PASS_FREQ);

public slots:
    void WriteBandGain(UBYTE BandIndex, GAIN Gain) override;
    void WriteBandFreq(UBYTE BandIndex, UWORD Freq) override;
    void WriteBandWidthIndex(UBYTE BandIndex, UWORD WidthIndex) override;
    void WriteBandFreqRange(UBYTE BandIndex, UWORD FreqMin, UWORD FreqMax) override;
    void WriteBandEQType(UBYTE BandIndex, UBYTE Type) override;
    void WriteBandBypassed(UBYTE BandIndex, bool Bypass) override;
    void WriteBandPassFreq(UWORD BandPassFreq) override;
    void WriteBandPass(bool BandPass) override;
    void WriteFullyBypassed(bool Bypass) override;

private:
    struct sBand
    {
        std::atomic<GAIN> mGain{0};
        std::atomic<UWORD> mFreq{0};
        std::atomic<UWORD> mWidth{0};
        std::atomic<UBYTE> mType{0};
        std::atomic<UBYTE> mBypass{0};
        std::atomic<UWORD> mFreqMin{0};
        std::atomic<UWORD> mFreqMax{0};
    };

    // The band, or null (reported with the operation's name) at or beyond the count.
    sBand* Band(UBYTE band, const char* operation) const;
    bool Link(const char* unitName, UWORD unitParam, UWORD ownParam, bool remove, bool bidirect);

    const UBYTE mBands;
    std::unique_ptr<sBand[]> mBandValues;
    std::atomic<UWORD> mBandPassFreq{DEFAULT_BAND_PASS_FREQ};
    std::atomic<UBYTE> mBandPass{0};
    std::atomic<UBYTE> mFullyBypassed{0};
};
