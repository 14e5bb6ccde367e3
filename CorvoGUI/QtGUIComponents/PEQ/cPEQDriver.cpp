#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"

#include "CorvoGUI/QtGUIComponents/PEQ/cPEQNetObject2.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

using eItem = cPEQNetObject2::eBandItem;

cPEQDriver::cPEQDriver(const char* name, UBYTE nBands, QObject* parent)
    : cPEQDriverInterface(parent)
    , mBands(nBands)
    , mBandValues(new sBand[nBands])
{
    if (nBands == 0)
    {
        KV_REPORT_ERROR("PEQ driver \"%s\" made without bands", name != nullptr ? name : "");
    }
    cRegistryLocker lock;
    SetAudioObject(new cPEQNetObject2(name, this, nBands));
}

cPEQDriver::~cPEQDriver()
{
    DetachNetObject();
}

cPEQNetObject2* cPEQDriver::GetNetObject() const
{
    return static_cast<cPEQNetObject2*>(GetAudioObject());
}

void cPEQDriver::DetachNetObject()
{
    if (GetAudioObject() != nullptr)
    {
        DestroyAudioObject();
    }
}

cPEQDriver::sBand* cPEQDriver::Band(UBYTE band, const char* operation) const
{
    if (band >= mBands)
    {
        KV_REPORT_ERROR("%s: band %d outside the %d bands of \"%s\"", operation, int(band), int(mBands),
                        GetAudioObjectName());
        return nullptr;
    }
    return &mBandValues[band];
}

GAIN cPEQDriver::GetBandGain(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandGain");
    return b != nullptr ? b->mGain.load(std::memory_order_relaxed) : GAIN(0);
}

UWORD cPEQDriver::GetBandFreq(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandFreq");
    return b != nullptr ? b->mFreq.load(std::memory_order_relaxed) : UWORD(0);
}

UWORD cPEQDriver::GetBandWidthIndex(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandWidthIndex");
    return b != nullptr ? b->mWidth.load(std::memory_order_relaxed) : UWORD(0);
}

UBYTE cPEQDriver::GetBandType(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandType");
    return b != nullptr ? b->mType.load(std::memory_order_relaxed) : UBYTE(0);
}

UWORD cPEQDriver::GetBandFreqMin(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandFreqMin");
    return b != nullptr ? b->mFreqMin.load(std::memory_order_relaxed) : UWORD(0);
}

UWORD cPEQDriver::GetBandFreqMax(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandFreqMax");
    return b != nullptr ? b->mFreqMax.load(std::memory_order_relaxed) : UWORD(0);
}

UBYTE cPEQDriver::GetBandBypassed(UBYTE band) const
{
    const sBand* b = Band(band, "GetBandBypassed");
    return b != nullptr ? b->mBypass.load(std::memory_order_relaxed) : UBYTE(0);
}

UWORD cPEQDriver::GetBandPassFreq() const
{
    return mBandPassFreq.load(std::memory_order_relaxed);
}

UBYTE cPEQDriver::GetBandPass() const
{
    return mBandPass.load(std::memory_order_relaxed);
}

UBYTE cPEQDriver::GetFullyBypassed() const
{
    return mFullyBypassed.load(std::memory_order_relaxed);
}

void cPEQDriver::WriteBandGain(UBYTE BandIndex, GAIN Gain)
{
    if (sBand* b = Band(BandIndex, "WriteBandGain"))
    {
        b->mGain.store(Gain, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandFreq(UBYTE BandIndex, UWORD Freq)
{
    if (sBand* b = Band(BandIndex, "WriteBandFreq"))
    {
        b->mFreq.store(Freq, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandWidthIndex(UBYTE BandIndex, UWORD WidthIndex)
{
    if (sBand* b = Band(BandIndex, "WriteBandWidthIndex"))
    {
        b->mWidth.store(WidthIndex, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandFreqRange(UBYTE BandIndex, UWORD FreqMin, UWORD FreqMax)
{
    if (sBand* b = Band(BandIndex, "WriteBandFreqRange"))
    {
        b->mFreqMin.store(FreqMin, std::memory_order_relaxed);
        b->mFreqMax.store(FreqMax, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandEQType(UBYTE BandIndex, UBYTE Type)
{
    if (sBand* b = Band(BandIndex, "WriteBandEQType"))
    {
        b->mType.store(Type, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandBypassed(UBYTE BandIndex, bool Bypass)
{
    if (sBand* b = Band(BandIndex, "WriteBandBypassed"))
    {
        b->mBypass.store(Bypass ? 1 : 0, std::memory_order_relaxed);
    }
}

void cPEQDriver::WriteBandPassFreq(UWORD BandPassFreq)
{
    mBandPassFreq.store(BandPassFreq, std::memory_order_relaxed);
}

void cPEQDriver::WriteBandPass(bool BandPass)
{
    mBandPass.store(BandPass ? 1 : 0, std::memory_order_relaxed);
}

void cPEQDriver::WriteFullyBypassed(bool Bypass)
{
    mFullyBypassed.store(Bypass ? 1 : 0, std::memory_order_relaxed);
}

void cPEQDriver::StoreBandGain(UBYTE band, GAIN gain)
{
    sBand* b = Band(band, "StoreBandGain");
    if (b != nullptr && b->mGain.exchange(gain, std::memory_order_relaxed) != gain)
    {
        emit GainChanged(band, gain);
    }
}

void cPEQDriver::StoreBandFreq(UBYTE band, UWORD freq)
{
    sBand* b = Band(band, "StoreBandFreq");
    if (b != nullptr && b->mFreq.exchange(freq, std::memory_order_relaxed) != freq)
    {
        emit FreqChanged(band, freq);
    }
}

void cPEQDriver::StoreBandWidth(UBYTE band, UWORD width)
{
    sBand* b = Band(band, "StoreBandWidth");
    if (b != nullptr && b->mWidth.exchange(width, std::memory_order_relaxed) != width)
    {
        emit WidthChanged(band, width);
    }
}

void cPEQDriver::StoreBandType(UBYTE band, UBYTE type)
{
    sBand* b = Band(band, "StoreBandType");
    if (b != nullptr && b->mType.exchange(type, std::memory_order_relaxed) != type)
    {
        emit TypeChanged(band, type);
    }
}

void cPEQDriver::StoreBandFreqRange(UBYTE band, UWORD freqMin, UWORD freqMax)
{
    sBand* b = Band(band, "StoreBandFreqRange");
    if (b == nullptr)
    {
        return;
    }
    const bool minChanged = b->mFreqMin.exchange(freqMin, std::memory_order_relaxed) != freqMin;
    const bool maxChanged = b->mFreqMax.exchange(freqMax, std::memory_order_relaxed) != freqMax;
    if (minChanged || maxChanged)
    {
        emit FreqRangeChanged(band, freqMin, freqMax);
    }
}

void cPEQDriver::StoreBandBypass(UBYTE band, UBYTE bypass)
{
    sBand* b = Band(band, "StoreBandBypass");
    if (b != nullptr && b->mBypass.exchange(bypass, std::memory_order_relaxed) != bypass)
    {
        emit BypassChanged(band, bypass != 0);
    }
}

void cPEQDriver::StoreBandPass(UBYTE bandPass)
{
    if (mBandPass.exchange(bandPass, std::memory_order_relaxed) != bandPass)
    {
        emit BandPassChanged(bandPass != 0);
    }
}

void cPEQDriver::StoreBandPassFreq(UWORD freq)
{
    if (mBandPassFreq.exchange(freq, std::memory_order_relaxed) != freq)
    {
        emit BandPassFreqChanged(freq);
    }
}

void cPEQDriver::StoreFullyBypassed(UBYTE bypass)
{
    if (mFullyBypassed.exchange(bypass, std::memory_order_relaxed) != bypass)
    {
        emit FullyBypassedChanged(bypass != 0);
    }
}

bool cPEQDriver::Link(const char* unitName, UWORD unitParam, UWORD ownParam, bool remove, bool bidirect)
{
    if (GetNetObject() == nullptr)
    {
        KV_REPORT_ERROR("PEQ driver detached: link from \"%s\" (0x%X) not queued",
                        unitName != nullptr ? unitName : "", unsigned(unitParam));
        return false;
    }
    return QueueLinkCommand(unitName, unitParam, GetAudioObjectName(), ownParam, true, remove, bidirect);
}

bool cPEQDriver::LinkFullyBypassed(const char* unitName, UWORD unitParam, bool remove)
{
    return Link(unitName, unitParam, cPEQNetObject2::P_FULLY_BYPASSED, remove, true);
}

bool cPEQDriver::LinkBand(UBYTE band, const char* unitName, UWORD bypassId, UWORD freqRangeId, UWORD freqId,
                          UWORD widthId, UWORD gainId, UWORD typeId, UWORD bandPassId, UWORD bandPassFreqId,
                          bool remove, UBYTE bypass, UWORD freqMin, UWORD freqMax, UWORD freq, UWORD width,
                          GAIN gain, UBYTE type, UBYTE bandPass, UWORD bandPassFreq)
{
    if (Band(band, "LinkBand") == nullptr)
    {
        return false;
    }
    auto entry = [this, band](eItem item) { return cPEQNetObject2::EntryPoint(item, mBands, band); };
    bool ok = true;
    if (bypassId != 0)
    {
        ok &= Link(unitName, bypassId, entry(eItem::ITEM_BYPASS), remove, true);
    }
    else
    {
        WriteBandBypassed(band, bypass != 0);
    }
    if (freqRangeId != 0)
    {
        ok &= Link(unitName, freqRangeId, entry(eItem::ITEM_FREQ_RANGE), remove, false);
    }
    else
    {
        WriteBandFreqRange(band, freqMin, freqMax);
    }
    if (freqId != 0)
    {
        ok &= Link(unitName, freqId, entry(eItem::ITEM_FREQ), remove, true);
    }
    else
    {
        WriteBandFreq(band, freq);
    }
    if (widthId != 0)
    {
        ok &= Link(unitName, widthId, entry(eItem::ITEM_WIDTH), remove, true);
    }
    else
    {
        WriteBandWidthIndex(band, width);
    }
    if (gainId != 0)
    {
        ok &= Link(unitName, gainId, entry(eItem::ITEM_GAIN), remove, true);
    }
    else
    {
        WriteBandGain(band, gain);
    }
    if (typeId != 0)
    {
        ok &= Link(unitName, typeId, entry(eItem::ITEM_TYPE), remove, true);
    }
    else
    {
        WriteBandEQType(band, type);
    }
    if (bandPassId != 0)
    {
        ok &= Link(unitName, bandPassId, cPEQNetObject2::P_BAND_PASS, remove, true);
    }
    else
    {
        WriteBandPass(bandPass != 0);
    }
    if (bandPassFreqId != 0)
    {
        ok &= Link(unitName, bandPassFreqId, cPEQNetObject2::P_BAND_PASS_FREQ, remove, true);
    }
    else
    {
        WriteBandPassFreq(bandPassFreq);
    }
    return ok;
}
