#include "CorvoGUI/QtGUIComponents/PEQ/cPEQNetObject2.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/QT/Trace/KVNetReports.h"

namespace
{

constexpr UWORD RANGE_PAYLOAD = 4;

} // namespace

cPEQNetObject2::cPEQNetObject2(const char* name, cPEQDriver* driver, UBYTE nBands)
    : cNetObject(name, KV_NET_DATA_SCALE(PARAMETERS_PER_BAND * nBands + 3), true, false)
    , mDriver(driver)
    , mBands(nBands)
    , mSent(nBands)
    , mSentBandPassFreq(cPEQDriver::DEFAULT_BAND_PASS_FREQ)
{
}

cPEQNetObject2::~cPEQNetObject2()
{
    Unregister();
}

bool cPEQNetObject2::PayloadFits(const cKVNetMessage& message, UWORD size) const
{
    return KV_CHECK_CONTROL_PAYLOAD(message, size, GetName());
}

bool cPEQNetObject2::FindBandItem(KV_NET_DATA_SCALE method, eBandItem& item, UBYTE& band) const
{
    if (mBands == 0 || method < P_FIRST_BAND)
    {
        return false;
    }
    const int offset = method - P_FIRST_BAND;
    const int index = offset / mBands;
    if (index > ITEM_FREQ_RANGE)
    {
        return false;
    }
    item = eBandItem(index);
    band = UBYTE(offset % mBands);
    return true;
}

void cPEQNetObject2::EntrypointMessage(cKVNetMessage& message)
{
    const KV_NET_DATA_SCALE method = message.mMethod;
    if (method == P_BAND_PASS || method == P_FULLY_BYPASSED)
    {
        if (PayloadFits(message, 1))
        {
            const UBYTE value = ConvertBoolToUBYTE(UBYTEToBool(message.GetUBYTE(0)));
            if (method == P_BAND_PASS)
            {
                mSentBandPass = value;
                mDriver->StoreBandPass(value);
            }
            else
            {
                mSentFullyBypassed = value;
                mDriver->StoreFullyBypassed(value);
            }
        }
        return;
    }
    if (method == P_BAND_PASS_FREQ)
    {
        if (PayloadFits(message, 2))
        {
            mSentBandPassFreq = message.GetUWORD(0);
            mDriver->StoreBandPassFreq(mSentBandPassFreq);
        }
        return;
    }
    eBandItem item = ITEM_GAIN;
    UBYTE band = 0;
    if (FindBandItem(method, item, band))
    {
        OnBandMessage(message, item, band);
        return;
    }
    cNetObject::EntrypointMessage(message);
}

void cPEQNetObject2::OnBandMessage(cKVNetMessage& message, eBandItem item, UBYTE band)
{
    sSent& sent = mSent[band];
    switch (item)
    {
    case ITEM_GAIN:
        if (PayloadFits(message, 2))
        {
            sent.mGain = ConvertUWORDToGain(message.GetUWORD(0));
            mDriver->StoreBandGain(band, sent.mGain);
        }
        break;
    case ITEM_FREQ:
        if (PayloadFits(message, 2))
        {
            sent.mFreq = message.GetUWORD(0);
            mDriver->StoreBandFreq(band, sent.mFreq);
        }
        break;
    case ITEM_WIDTH:
        if (PayloadFits(message, 2))
        {
            sent.mWidth = message.GetUWORD(0);
            mDriver->StoreBandWidth(band, sent.mWidth);
        }
        break;
    case ITEM_TYPE:
        if (PayloadFits(message, 1))
        {
            sent.mType = message.GetUBYTE(0);
            mDriver->StoreBandType(band, sent.mType);
        }
        break;
    case ITEM_Q_TYPE:
        KV_REPORT_ERROR("PEQ Graph Driver QType. Handling NYI");
        break;
    case ITEM_BYPASS:
        if (PayloadFits(message, 1))
        {
            sent.mBypass = message.GetUBYTE(0) != 0 ? 1 : 0;
            mDriver->StoreBandBypass(band, sent.mBypass);
        }
        break;
    case ITEM_FREQ_RANGE:
        if (PayloadFits(message, RANGE_PAYLOAD))
        {
            sent.mFreqMin = message.GetUWORD(0);
            sent.mFreqMax = message.GetUWORD(2);
            mDriver->StoreBandFreqRange(band, sent.mFreqMin, sent.mFreqMax);
        }
        break;
    }
}

void cPEQNetObject2::ActionTick()
{
    for (UBYTE b = 0; b < mBands; ++b)
    {
        sSent& sent = mSent[b];
        const GAIN gain = mDriver->GetBandGain(b);
        if (gain != sent.mGain)
        {
            sent.mGain = gain;
            SendUWORD(EntryPoint(ITEM_GAIN, b), ConvertGainToUWORD(gain));
        }
        const UWORD freq = mDriver->GetBandFreq(b);
        if (freq != sent.mFreq)
        {
            sent.mFreq = freq;
            SendUWORD(EntryPoint(ITEM_FREQ, b), freq);
        }
        const UWORD width = mDriver->GetBandWidthIndex(b);
        if (width != sent.mWidth)
        {
            sent.mWidth = width;
            SendUWORD(EntryPoint(ITEM_WIDTH, b), width);
        }
        const UBYTE type = mDriver->GetBandType(b);
        if (type != sent.mType)
        {
            sent.mType = type;
            SendUBYTE(EntryPoint(ITEM_TYPE, b), type);
        }
    }
    const UWORD bandPassFreq = mDriver->GetBandPassFreq();
    if (bandPassFreq != mSentBandPassFreq)
    {
        mSentBandPassFreq = bandPassFreq;
        SendUWORD(P_BAND_PASS_FREQ, bandPassFreq);
    }
}

void cPEQNetObject2::SendBandBypass(UBYTE band)
{
    if (band >= mBands)
    {
        KV_REPORT_ERROR("Band %d outside the %d bands of \"%s\"", int(band), int(mBands), GetName());
        return;
    }
    mSent[band].mBypass = mDriver->GetBandBypassed(band);
    SendUBYTE(EntryPoint(ITEM_BYPASS, band), mSent[band].mBypass);
}

void cPEQNetObject2::SendFullyBypassed()
{
    mSentFullyBypassed = mDriver->GetFullyBypassed();
    SendUBYTE(P_FULLY_BYPASSED, mSentFullyBypassed);
}

void cPEQNetObject2::SendBandFreqRange(UBYTE band)
{
    if (band >= mBands)
    {
        KV_REPORT_ERROR("Band %d outside the %d bands of \"%s\"", int(band), int(mBands), GetName());
        return;
    }
    sSent& sent = mSent[band];
    sent.mFreqMin = mDriver->GetBandFreqMin(band);
    sent.mFreqMax = mDriver->GetBandFreqMax(band);
    SendRange(EntryPoint(ITEM_FREQ_RANGE, band), sent.mFreqMin, sent.mFreqMax);
}

void cPEQNetObject2::SendUBYTE(KV_NET_DATA_SCALE method, UBYTE value)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(1);
    mControlMessage.SetUBYTE(value, 0);
    SendToInformList(mControlMessage);
}

void cPEQNetObject2::SendUWORD(KV_NET_DATA_SCALE method, UWORD value)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(2);
    mControlMessage.SetUWORD(value, 0);
    SendToInformList(mControlMessage);
}

void cPEQNetObject2::SendRange(KV_NET_DATA_SCALE method, UWORD min, UWORD max)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = method;
    mControlMessage.SetLength(RANGE_PAYLOAD);
    mControlMessage.SetUWORD(min, 0);
    mControlMessage.SetUWORD(max, 2);
    SendToInformList(mControlMessage);
}
