#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"

#include <vector>

class cPEQDriver;

// The framework side of a cPEQDriver: registered under the driver's name with 7n + 3 parameters
// (n bands), on the tick list, not on the tock list. Entry points:
//
//   4096            fully bypassed           UBYTE 0 or 1
//   4097            band pass                UBYTE 0 or 1
//   4098            band-pass frequency      UWORD frequency code
//   4099 + b        gain of band b           UWORD gain code (0 = minus infinity)
//   4099 + n + b    frequency of band b      UWORD frequency code
//   4099 + 2n + b   width of band b          UWORD width code
//   4099 + 3n + b   type of band b           UBYTE
//   4099 + 4n + b   Q type of band b         reported, not handled
//   4099 + 5n + b   bypass of band b         UBYTE, non-zero = bypassed
//   4099 + 6n + b   frequency range          UWORD min, UWORD max (further bytes ignored)
//
// A value received is stored in the driver (signalled when it changes) and becomes the last value
// sent, so it is never sent back to the unit. Every tick compares each band's gain, frequency, width
// and type, then the band-pass frequency, with the last value sent and sends only the changes to the
// parameter's inform list. Bypass, band pass, fully bypassed and the frequency range are never sent
// by the tick; their senders exist for callers. A message too short for its parameter is reported
// and dropped; other methods go to cNetObject.
//
// Threads: made and deleted by its driver under the registry lock; everything else on the syscall
// thread, under the registry lock. The driver must outlive it.
class cPEQNetObject2 : public cNetObject
{
public:
    static constexpr KV_NET_DATA_SCALE P_FULLY_BYPASSED = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_BAND_PASS = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_BAND_PASS_FREQ = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_FIRST_BAND = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE PARAMETERS_PER_BAND = 7;

    enum eBandItem
    {
        ITEM_GAIN = 0,
        ITEM_FREQ = 1,
        ITEM_WIDTH = 2,
        ITEM_TYPE = 3,
        ITEM_Q_TYPE = 4,
        ITEM_BYPASS = 5,
        ITEM_FREQ_RANGE = 6,
    };

    cPEQNetObject2(const char* name, cPEQDriver* driver, UBYTE nBands);
    ~cPEQNetObject2() override;

    // The entry point of an item of band b with n bands: 4099 + item * n + b.
    static KV_NET_DATA_SCALE EntryPoint(eBandItem item, UBYTE nBands, UBYTE band)
    {
        return KV_NET_DATA_SCALE(P_FIRST_BAND + int(item) * nBands + band);
    }
    KV_NET_DATA_SCALE EntryPoint(eBandItem item, UBYTE band) const { return EntryPoint(item, mBands, band); }

    void EntrypointMessage(cKVNetMessage& message) override;
    void ActionTick() override;

    // Send the driver's current value of that item (recording it as the last sent) to the inform
    // list. Nothing in the program calls them; the tick sends gain, frequency, width, type and the
    // band-pass frequency itself. A band beyond the count is reported.
    void SendBandBypass(UBYTE band);
    void SendFullyBypassed();
    void SendBandFreqRange(UBYTE band);

private:
    struct sSent
    {
        GAIN mGain = 0;
        UWORD mFreq = 0;
        UWORD mWidth = 0;
        UBYTE mType = 0;
        UBYTE mBypass = 0;
        UWORD mFreqMin = 0;
        UWORD mFreqMax = 0;
    };

    // The band item a method addresses; false for methods outside the band ranges.
    bool FindBandItem(KV_NET_DATA_SCALE method, eBandItem& item, UBYTE& band) const;
    void OnBandMessage(cKVNetMessage& message, eBandItem item, UBYTE band);
    bool PayloadFits(const cKVNetMessage& message, UWORD size) const;
    void SendUBYTE(KV_NET_DATA_SCALE method, UBYTE value);
    void SendUWORD(KV_NET_DATA_SCALE method, UWORD value);
    void SendRange(KV_NET_DATA_SCALE method, UWORD min, UWORD max);

    cPEQDriver* mDriver;
    const UBYTE mBands;
    std::vector<sSent> mSent;
    UWORD mSentBandPassFreq;
    UBYTE mSentBandPass = 0;
    UBYTE mSentFullyBypassed = 0;
};
