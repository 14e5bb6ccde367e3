#include "CorvoGUI/Core/Units/cParametricEQUnit.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/ParametricEQTables.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>

namespace
{

constexpr size_t kWordsPerBand = BIQUAD_COEFFICIENTS * sizeof(SLONG);

UBYTE LimitBands(UBYTE bands, const char* name)
{
    if (bands > cParametricEQUnit::MAX_BANDS)
    {
        KV_REPORT_ERROR("%s: %d bands asked, %d used", name != nullptr ? name : "", int(bands),
                        int(cParametricEQUnit::MAX_BANDS));
        return cParametricEQUnit::MAX_BANDS;
    }
    return bands;
}

KV_NET_DATA_SCALE ParameterCount(UBYTE bands)
{
    return KV_NET_DATA_SCALE(cParametricEQUnit::PARAMETERS_PER_BAND * bands + 4);
}

} // namespace

cParametricEQUnit::sLayout cParametricEQUnit::MakeLayout(UBYTE bands)
{
    cNonVolatileLayout layout;
    sLayout l;
    l.mBypass = layout.Add<UBYTE>();
    l.mFrequencies = layout.Add<UWORD>(bands);
    l.mWidths = layout.Add<UWORD>(bands);
    l.mGains = layout.Add<SWORD>(bands);
    l.mTypes = layout.Add<ULONG>(bands);
    l.mOptions = layout.Add<UBYTE>(bands);
    l.mBandBypass = layout.Add<UBYTE>(bands);
    l.mWords = layout.Add<SLONG>(size_t(BIQUAD_COEFFICIENTS) * bands);
    l.mSize = layout.GetSize();
    return l;
}

cParametricEQUnit::cParametricEQUnit(const char* name, cParametricEQDriver* driver,
                                     cNonVolatileStorageManager* storage, cSaveObjectRegistry* saves,
                                     UBYTE bands, double scale, double samplePeriod, double sampleRate,
                                     double factor, bool clear)
    : cAudioObject(name, ParameterCount(LimitBands(bands, name)), false)
    , cSaveObject(name, saves)
    , mDriver(driver)
    , mBands(std::min(bands, MAX_BANDS))
    , mScale(scale)
    , mSamplePeriod(samplePeriod)
    , mSampleRate(sampleRate)
    , mFactor(factor)
    , mLayout(MakeLayout(mBands))
    , mBlock(storage, mLayout.mSize, START_MARKER, END_MARKER)
{
    if (!clear && mBlock.HasValidMarkers())
    {
        MendStoredFields();
        // The words are derived from the settings: designed again rather than trusted.
        mDriver->SetUnitBypass(GetBypass());
        DesignAndSendAllBands();
        return;
    }
    if (!clear)
    {
        mBlock.ReportResetForMarkers(GetSaveName());
    }
    LoadDefaults();
    mBlock.WriteMarkers();
}

void cParametricEQUnit::MendStoredFields()
{
    // Frequencies, widths and options take every value; flags, types and gains can be outside.
    mBlock.Mend<UBYTE>(mLayout.mBypass, nFieldDomains::FLAG, 0, "bypass");
    for (UBYTE band = 0; band < mBands; ++band)
    {
        const std::string prefix = "band " + std::to_string(band) + " ";
        const size_t type = mLayout.mTypes + sizeof(ULONG) * band;
        mBlock.Mend<ULONG>(type, nFieldDomains::BAND_TYPE, nPEQ::BELL, prefix + "type");
        // A type the band's switch does not offer, which the earlier version took: the band's default.
        if (!OffersType(band, mBlock.Load<ULONG>(type)))
        {
            mBlock.MendReadAs<ULONG>(type, nPEQ::BELL, prefix + "type",
                                     nFieldDomains::ValueText(nFieldDomains::BAND_TYPE, nPEQ::BELL));
        }
        mBlock.Mend<SWORD>(mLayout.mGains + sizeof(SWORD) * band, nFieldDomains::GAIN, 0, prefix + "gain");
        const size_t bandBypass = mLayout.mBandBypass + band;
        mBlock.Mend<UBYTE>(bandBypass, nFieldDomains::FLAG, 0, prefix + "bypass");
        // A band bypass, which the earlier version's sync took from the device: the band active.
        if (mBlock.Load<UBYTE>(bandBypass) != 0)
        {
            mBlock.MendReadAs<UBYTE>(bandBypass, 0, prefix + "bypass",
                                     nFieldDomains::ValueText(nFieldDomains::FLAG, 0));
        }
    }
    mBlock.ReportMended(GetSaveName());
}

bool cParametricEQUnit::OffersType(UBYTE band, ULONG type) const
{
    if (type == nPEQ::BELL)
    {
        return true;
    }
    return (band == 0 && type == nPEQ::LFSHELF) || (band + 1 == mBands && type == nPEQ::HFSHELF);
}

cParametricEQUnit::~cParametricEQUnit()
{
    Unregister();
}

// --- fields ---

bool cParametricEQUnit::GetBypass() const
{
    return mBlock.Load<UBYTE>(mLayout.mBypass) != 0;
}

sParametricEQBand cParametricEQUnit::GetBand(UBYTE band) const
{
    sParametricEQBand settings;
    if (band >= mBands)
    {
        return settings;
    }
    settings.mFrequencyCode = mBlock.Load<UWORD>(mLayout.mFrequencies + sizeof(UWORD) * band);
    settings.mWidthCode = mBlock.Load<UWORD>(mLayout.mWidths + sizeof(UWORD) * band);
    settings.mGain = mBlock.Load<SWORD>(mLayout.mGains + sizeof(SWORD) * band);
    settings.mType = mBlock.Load<ULONG>(mLayout.mTypes + sizeof(ULONG) * band);
    settings.mOption = mBlock.Load<UBYTE>(mLayout.mOptions + band);
    settings.mBypass = mBlock.Load<UBYTE>(mLayout.mBandBypass + band) != 0;
    return settings;
}

tBiquadWords cParametricEQUnit::GetBandWords(UBYTE band) const
{
    tBiquadWords words{};
    if (band >= mBands)
    {
        return words;
    }
    for (int k = 0; k < BIQUAD_COEFFICIENTS; ++k)
    {
        words[size_t(k)] =
            mBlock.Load<SLONG>(mLayout.mWords + kWordsPerBand * band + sizeof(SLONG) * size_t(k));
    }
    return words;
}

void cParametricEQUnit::SetBypassField(bool bypass)
{
    mBlock.Store<UBYTE>(mLayout.mBypass, bypass ? 1 : 0);
}

void cParametricEQUnit::SetFrequency(UBYTE band, UWORD code)
{
    mBlock.Store<UWORD>(mLayout.mFrequencies + sizeof(UWORD) * band, code);
}

void cParametricEQUnit::SetWidth(UBYTE band, UWORD code)
{
    mBlock.Store<UWORD>(mLayout.mWidths + sizeof(UWORD) * band, code);
}

void cParametricEQUnit::SetGain(UBYTE band, SWORD gain)
{
    mBlock.Store<SWORD>(mLayout.mGains + sizeof(SWORD) * band, gain);
}

void cParametricEQUnit::SetType(UBYTE band, ULONG type)
{
    mBlock.Store<ULONG>(mLayout.mTypes + sizeof(ULONG) * band, type);
}

void cParametricEQUnit::SetOption(UBYTE band, UBYTE option)
{
    mBlock.Store<UBYTE>(mLayout.mOptions + band, option);
}

void cParametricEQUnit::SetBandBypass(UBYTE band, bool bypass)
{
    mBlock.Store<UBYTE>(mLayout.mBandBypass + band, bypass ? 1 : 0);
}

void cParametricEQUnit::SetBandWords(UBYTE band, const tBiquadWords& words)
{
    for (int k = 0; k < BIQUAD_COEFFICIENTS; ++k)
    {
        mBlock.Store<SLONG>(mLayout.mWords + kWordsPerBand * band + sizeof(SLONG) * size_t(k),
                            words[size_t(k)]);
    }
}

// --- design ---

bool cParametricEQUnit::CalculateCoeffs(const nPEQ::eParametricEQType& type, UBYTE option, const double& gain,
                                        const double& frequency, const double& q, double& b0, double& b1,
                                        double& b2, double& a1, double& a2, double scale) const
{
    const double f = LimitDesignFrequency(frequency, mSampleRate);
    const double contourGain = CONTOUR_GAIN_DB;
    const double passQ = PASS_Q;
    const double& T = mSamplePeriod;
    const double& F = mSampleRate;
    switch (type)
    {
    case nPEQ::BELL:
        return option == 0 ? BiquadBell(gain, f, q, scale, T, b0, b1, b2, a1, a2)
                           : BiquadBellSymmetric(gain, f, q, scale, T, b0, b1, b2, a1, a2);
    case nPEQ::LFSHELF:
        return BiquadLowShelf1(gain, f, scale, T, b0, b1, b2, a1, a2);
    case nPEQ::HFSHELF:
        return BiquadHighShelf1(gain, f, scale, T, b0, b1, b2, a1, a2);
    case nPEQ::LPASS:
    {
        const double lowPass =
            LimitDesignFrequency(std::max(frequency, LOWEST_LOW_PASS_FREQUENCY), mSampleRate);
        return BiquadLowPass2(passQ, lowPass, scale, T, F, b0, b1, b2, a1, a2);
    }
    case nPEQ::HPASS:
        return BiquadHighPass2(passQ, f, scale, T, F, b0, b1, b2, a1, a2);
    case nPEQ::NOTCH:
        KV_REPORT_ERROR("NYI - Notch... Freq = %f, Q = %f", f, q);
        return false;
    case nPEQ::LOW_CONTOUR:
        return BiquadLowShelf1(contourGain, f, scale, T, b0, b1, b2, a1, a2);
    case nPEQ::HIGH_CONTOUR:
        return BiquadHighShelf1(contourGain, f, scale, T, b0, b1, b2, a1, a2);
    }
    KV_REPORT_ERROR("Unknown filter type: %d", int(type));
    return false;
}

bool cParametricEQUnit::CalculateFlatResponseCoeffs(const nPEQ::eParametricEQType& type,
                                                    const double& frequency, const double& q, double& b0,
                                                    double& b1, double& b2, double& a1, double& a2,
                                                    double scale) const
{
    const double f = LimitDesignFrequency(frequency, mSampleRate);
    const double flat = 0.0;
    const double passQ = DEFAULT_Q;
    switch (type)
    {
    case nPEQ::BELL:
        return BiquadBell(flat, f, q, scale, mSamplePeriod, b0, b1, b2, a1, a2);
    case nPEQ::LFSHELF:
        return BiquadLowShelf1(flat, f, scale, mSamplePeriod, b0, b1, b2, a1, a2);
    case nPEQ::HFSHELF:
        return BiquadHighShelf1(flat, f, scale, mSamplePeriod, b0, b1, b2, a1, a2);
    case nPEQ::LPASS:
    case nPEQ::HPASS:
    case nPEQ::NOTCH:
    case nPEQ::LOW_CONTOUR:
    case nPEQ::HIGH_CONTOUR:
        return BiquadBell(flat, f, passQ, scale, mSamplePeriod, b0, b1, b2, a1, a2);
    }
    KV_REPORT_ERROR("Unknown filter type: %d", int(type));
    return false;
}

bool cParametricEQUnit::DesignBand(UBYTE band, double q)
{
    const sParametricEQBand settings = GetBand(band);
    if (!nFieldDomains::BAND_TYPE.Contains(settings.mType))
    {
        KV_REPORT_ERROR("Unknown filter type: %d", int(settings.mType));
        KV_REPORT_ERROR("%s: band %d keeps its last coefficients", GetSaveName(), int(band));
        return false;
    }
    const nPEQ::eParametricEQType type = static_cast<nPEQ::eParametricEQType>(settings.mType);
    const double gain = settings.mGain / 256.0;
    const double designQ = q > 0.0 ? q : nParametricEQTables::QFromWidthCode(settings.mWidthCode);
    const double f = ConvertUWORDToFrequency(settings.mFrequencyCode);
    sBiquadCoefficients c;
    const bool designed =
        GetBypass() || settings.mBypass
            ? CalculateFlatResponseCoeffs(type, f, designQ, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2, mScale)
            : CalculateCoeffs(type, settings.mOption, gain, f, designQ, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2,
                              mScale);
    if (!designed)
    {
        KV_REPORT_ERROR("%s: band %d keeps its last coefficients", GetSaveName(), int(band));
        return false;
    }
    SetBandWords(band, BiquadWordsFromCoefficients(c, mFactor));
    return true;
}

void cParametricEQUnit::SendBand(UBYTE band)
{
    mDriver->SendBand(band, GetBand(band), GetBandWords(band));
}

void cParametricEQUnit::SendAllBands()
{
    for (UBYTE band = 0; band < mBands; ++band)
    {
        SendBand(band);
    }
}

void cParametricEQUnit::DesignAndSendAllBands()
{
    for (UBYTE band = 0; band < mBands; ++band)
    {
        DesignBand(band);
        SendBand(band);
    }
}

UWORD cParametricEQUnit::GetFrequencyRangesLower(UBYTE band) const
{
    return nParametricEQTables::FrequencyRangeLower(mBands, band);
}

UWORD cParametricEQUnit::GetFrequencyRangesUpper(UBYTE band) const
{
    return nParametricEQTables::FrequencyRangeUpper(mBands, band);
}

void cParametricEQUnit::LoadDefaults()
{
    SetBypassField(false);
    const bool rangedCount = mBands == 1 || mBands == 2 || mBands == 4 || mBands == 6;
    if (!rangedCount)
    {
        KV_REPORT_ERROR("Unknown number of bands");
    }
    for (UBYTE band = 0; band < mBands; ++band)
    {
        SetGain(band, 0);
        SetWidth(band, DEFAULT_WIDTH_CODE);
        SetOption(band, 0);
        SetBandBypass(band, false);
        if (rangedCount)
        {
            SetType(band, nPEQ::BELL);
            SetFrequency(
                band,
                UWORD((ULONG(GetFrequencyRangesLower(band)) + ULONG(GetFrequencyRangesUpper(band))) / 2));
        }
        DesignBand(band, DEFAULT_Q);
    }
    mDriver->SetUnitBypass(false);
    SendAllBands();
}

void cParametricEQUnit::SetBandOption(UBYTE band, UBYTE option)
{
    if (band >= mBands)
    {
        KV_REPORT_ERROR("%s: no band %d", GetSaveName(), int(band));
        return;
    }
    if (option != GetBand(band).mOption)
    {
        SetOption(band, option);
        DesignBand(band);
        SendBand(band);
    }
}

// --- messages ---

bool cParametricEQUnit::PayloadFits(const cKVNetMessage& message, UWORD size) const
{
    if (message.GetLength() < size)
    {
        KV_REPORT_ERROR("%s: parameter 0x%X needs %d bytes, got %d", GetSaveName(), unsigned(message.mMethod),
                        int(size), int(message.GetLength()));
        return false;
    }
    return true;
}

void cParametricEQUnit::EntrypointMessage(cKVNetMessage& message)
{
    const KV_NET_DATA_SCALE method = message.mMethod;
    if (method == P_BYPASS)
    {
        if (!PayloadFits(message, sizeof(UBYTE)))
        {
            return;
        }
        const bool bypass = UBYTEToBool(message.GetUBYTE(0));
        if (bypass != GetBypass())
        {
            SetBypassField(bypass);
            mDriver->SetUnitBypass(bypass);
            DesignAndSendAllBands();
        }
        PublishParameter(message);
        return;
    }
    if ((method == P_FIRST_TYPE || method == P_LAST_TYPE) && mBands > 0)
    {
        OnTypeMessage(message, method == P_FIRST_TYPE ? 0 : UBYTE(mBands - 1));
        return;
    }
    if (method >= P_BAND_BASE && method < PARAMETER_BASE + mNumberOfParameters)
    {
        const int relative = method - P_BAND_BASE;
        const int band = relative / PARAMETERS_PER_BAND;
        const int field = relative % PARAMETERS_PER_BAND;
        if (field == 0)
        {
            return; // frequency range: accepted and ignored
        }
        if (band < mBands)
        {
            OnBandMessage(message, UBYTE(band), field);
            return;
        }
    }
    cAudioObject::EntrypointMessage(message);
}

void cParametricEQUnit::OnTypeMessage(cKVNetMessage& message, UBYTE band)
{
    if (!PayloadFits(message, sizeof(UBYTE)))
    {
        return;
    }
    const ULONG type = message.GetUBYTE(0);
    if (!nFieldDomains::BAND_TYPE.Contains(type))
    {
        KV_REPORT_ERROR("%s: unknown band type %d refused", GetSaveName(), int(type));
        return;
    }
    if (!OffersType(band, type))
    {
        KV_REPORT_ERROR("%s: band %d, type %d refused: the band's switch offers no such type", GetSaveName(),
                        int(band), int(type));
        return;
    }
    if (type != GetBand(band).mType)
    {
        SetType(band, type);
        DesignBand(band);
        SendBand(band);
    }
    PublishParameter(message);
}

void cParametricEQUnit::OnBandMessage(cKVNetMessage& message, UBYTE band, int field)
{
    const UWORD size = field == 4 ? sizeof(UBYTE) : sizeof(UWORD);
    if (!PayloadFits(message, size))
    {
        return;
    }
    const sParametricEQBand settings = GetBand(band);
    bool changed = false;
    switch (field)
    {
    case 1:
    {
        const UWORD code = message.GetUWORD(0);
        changed = code != settings.mFrequencyCode;
        SetFrequency(band, code);
        break;
    }
    case 2:
    {
        const UWORD code = message.GetUWORD(0);
        changed = code != settings.mWidthCode;
        SetWidth(band, code);
        break;
    }
    case 3:
    {
        const SWORD gain = ConvertUWORDToGain(message.GetUWORD(0));
        changed = gain != settings.mGain;
        SetGain(band, gain);
        break;
    }
    default:
    {
        const bool bypass = UBYTEToBool(message.GetUBYTE(0));
        if (bypass)
        {
            KV_REPORT_ERROR("%s: band %d, bypass refused: the band has no bypass switch", GetSaveName(),
                            int(band));
            return;
        }
        changed = bypass != settings.mBypass;
        SetBandBypass(band, bypass);
        break;
    }
    }
    if (changed)
    {
        DesignBand(band);
        SendBand(band);
    }
    PublishParameter(message);
}

void cParametricEQUnit::AnswerRange(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    KV_NET_DATA_SCALE destinationMethod)
{
    mControlMessage.SetLength(5);
    mControlMessage.SetUWORD(RANGE_LOWER, 0);
    mControlMessage.SetUWORD(RANGE_UPPER, 2);
    mControlMessage.SetUBYTE(0, 4);
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    PostMessage(mControlMessage);
}

void cParametricEQUnit::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                        KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod == P_BYPASS)
    {
        AnswerUBYTE(connectionId, handle, destinationMethod, GetBypass() ? 1 : 0);
        return;
    }
    if ((sourceMethod == P_FIRST_TYPE || sourceMethod == P_LAST_TYPE) && mBands > 0)
    {
        const UBYTE band = sourceMethod == P_FIRST_TYPE ? 0 : UBYTE(mBands - 1);
        AnswerUBYTE(connectionId, handle, destinationMethod, UBYTE(GetBand(band).mType));
        return;
    }
    if (sourceMethod >= P_BAND_BASE && sourceMethod < PARAMETER_BASE + mNumberOfParameters)
    {
        const int relative = sourceMethod - P_BAND_BASE;
        const int band = relative / PARAMETERS_PER_BAND;
        const int field = relative % PARAMETERS_PER_BAND;
        if (field == 0)
        {
            AnswerRange(connectionId, handle, destinationMethod);
            return;
        }
        if (band < mBands)
        {
            const sParametricEQBand settings = GetBand(UBYTE(band));
            switch (field)
            {
            case 1:
                AnswerUWORD(connectionId, handle, destinationMethod, settings.mFrequencyCode);
                return;
            case 2:
                AnswerUWORD(connectionId, handle, destinationMethod, settings.mWidthCode);
                return;
            case 3:
                AnswerUWORD(connectionId, handle, destinationMethod, ConvertGainToUWORD(settings.mGain));
                return;
            default:
                AnswerUBYTE(connectionId, handle, destinationMethod, settings.mBypass ? 1 : 0);
                return;
            }
        }
    }
    cAudioObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
}

void cParametricEQUnit::PublishType(UBYTE band, ULONG type)
{
    if (band == 0)
    {
        PublishUBYTE(P_FIRST_TYPE, UBYTE(type));
    }
    if (band == mBands - 1)
    {
        PublishUBYTE(P_LAST_TYPE, UBYTE(type));
    }
}
