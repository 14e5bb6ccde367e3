#include "CorvoGUI/Core/Units/cPassFilterUnit.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Biquad/BiquadDeviceWord.h"
#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/Core/Units/cPassFilterDriver.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QDataStream>

namespace
{

constexpr double kButterworthQ = 0.707106781187;
constexpr double kButterworth18Q = 1.0;
constexpr double kButterworth24FirstQ = 0.541196100146;
constexpr double kButterworth24SecondQ = 1.306562964876;
constexpr double kBesselFirstOrderFactor = 1.32267579991;
constexpr double kBesselSecondOrderFactor = 1.44761713315;
constexpr double kBesselSecondOrderQ = 0.691046625825;

constexpr size_t kFrequencyOffset = 0;
constexpr size_t kSlopeOffset = kFrequencyOffset + sizeof(UWORD);
constexpr size_t kBypassOffset = kSlopeOffset + sizeof(ULONG);
constexpr size_t kWordsOffset = kBypassOffset + sizeof(UBYTE);
constexpr size_t kSectionSize = BIQUAD_COEFFICIENTS * sizeof(SLONG);

UBYTE LimitSections(UBYTE sections, const char* name)
{
    if (sections > cPassFilterUnit::MAX_SECTIONS)
    {
        KV_REPORT_ERROR("%s: %d sections asked, %d used", name != nullptr ? name : "", int(sections),
                        int(cPassFilterUnit::MAX_SECTIONS));
        return cPassFilterUnit::MAX_SECTIONS;
    }
    return sections;
}

} // namespace

cPassFilterUnit::cPassFilterUnit(const char* name, cPassFilterDriver* driver,
                                 cNonVolatileStorageManager* storage, cSaveObjectRegistry* saves,
                                 UBYTE sections, double samplePeriod, double sampleRate,
                                 const sPassFilterKind& kind)
    : cAudioObject(name, NUMBER_OF_PARAMETERS, false)
    , cSaveObject(name, saves)
    , mDriver(driver)
    , mKind(kind)
    , mSections(LimitSections(sections, name))
    , mSamplePeriod(samplePeriod)
    , mSampleRate(sampleRate)
    , mBlock(storage, kWordsOffset + kSectionSize * mSections, kind.mStartMarker, kind.mEndMarker)
{
    if (mBlock.HasValidMarkers())
    {
        // The frequency takes every code; the slope type and the bypass flag can be outside.
        mBlock.Mend<ULONG>(kSlopeOffset, nFieldDomains::SLOPE_TYPE, DEFAULT_SLOPE, "slope type");
        // A slope this filter does not offer, which the earlier version took: the default slope.
        if (!OffersSlope(GetSlopeType()))
        {
            mBlock.MendReadAs<ULONG>(kSlopeOffset, DEFAULT_SLOPE, "slope type",
                                     nFieldDomains::ValueText(nFieldDomains::SLOPE_TYPE, DEFAULT_SLOPE));
        }
        mBlock.Mend<UBYTE>(kBypassOffset, nFieldDomains::FLAG, DEFAULT_BYPASS ? 1 : 0, "bypass");
        mBlock.ReportMended(GetSaveName());
        // The words are derived from the settings: designed again rather than trusted.
        DesignAllSections();
        mDriver->SetBypass(GetBypass());
        SendAllSections();
        return;
    }
    mBlock.ReportResetForMarkers(GetSaveName());
    ResetDefaults();
    mBlock.WriteMarkers();
}

bool cPassFilterUnit::OffersSlope(ULONG type) const
{
    return type == nPEQ::HPF_BUTTERWORTH_12_DB ||
           (mSections >= 2 && nFieldDomains::SLOPE_TYPE.Contains(type));
}

cPassFilterUnit::~cPassFilterUnit()
{
    Unregister();
}

bool cPassFilterUnit::GetBypass() const
{
    return mBlock.Load<UBYTE>(kBypassOffset) != 0;
}

UWORD cPassFilterUnit::GetFrequencyCode() const
{
    return mBlock.Load<UWORD>(kFrequencyOffset);
}

ULONG cPassFilterUnit::GetSlopeType() const
{
    return mBlock.Load<ULONG>(kSlopeOffset);
}

tBiquadWords cPassFilterUnit::GetSectionWords(UBYTE section) const
{
    tBiquadWords words{};
    if (section >= mSections)
    {
        return words;
    }
    for (int k = 0; k < BIQUAD_COEFFICIENTS; ++k)
    {
        words[size_t(k)] =
            mBlock.Load<SLONG>(kWordsOffset + kSectionSize * section + sizeof(SLONG) * size_t(k));
    }
    return words;
}

void cPassFilterUnit::SetBypassField(bool bypass)
{
    mBlock.Store<UBYTE>(kBypassOffset, bypass ? 1 : 0);
}

void cPassFilterUnit::SetFrequencyField(UWORD code)
{
    mBlock.Store<UWORD>(kFrequencyOffset, code);
}

void cPassFilterUnit::SetSlopeField(ULONG type)
{
    mBlock.Store<ULONG>(kSlopeOffset, type);
}

void cPassFilterUnit::SetSectionWords(UBYTE section, const tBiquadWords& words)
{
    for (int k = 0; k < BIQUAD_COEFFICIENTS; ++k)
    {
        mBlock.Store<SLONG>(kWordsOffset + kSectionSize * section + sizeof(SLONG) * size_t(k),
                            words[size_t(k)]);
    }
}

void cPassFilterUnit::ResetDefaults()
{
    SetFrequencyField(DEFAULT_FREQUENCY_CODE);
    SetSlopeField(DEFAULT_SLOPE);
    SetBypassField(DEFAULT_BYPASS);
    DesignAllSections();
    mDriver->SetBypass(DEFAULT_BYPASS);
    SendAllSections();
}

bool cPassFilterUnit::DesignSecondOrder(double q, double f, sBiquadCoefficients& c) const
{
    const double limited = LimitDesignFrequency(f, mSampleRate);
    return mKind.mSecondOrder(q, limited, SCALE, mSamplePeriod, mSampleRate, c.mB0, c.mB1, c.mB2, c.mA1,
                              c.mA2);
}

bool cPassFilterUnit::DesignFirstOrder(double f, sBiquadCoefficients& c) const
{
    const double limited = LimitDesignFrequency(f, mSampleRate);
    return mKind.mFirstOrder(limited, SCALE, mSamplePeriod, mSampleRate, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2);
}

bool cPassFilterUnit::CalculateCoeffs(UBYTE section, double& b0, double& b1, double& b2, double& a1,
                                      double& a2) const
{
    const double f = ConvertUWORDToFrequency(GetFrequencyCode());
    const ULONG type = GetSlopeType();
    if (!nFieldDomains::SLOPE_TYPE.Contains(type))
    {
        KV_REPORT_ERROR("Unknown filter type! %d", int(type));
        return false;
    }
    if (section > 1)
    {
        KV_REPORT_ERROR("Unhandled %s Biquad: %d,  Type: %d", mKind.mKindName, int(section), int(type));
        return false;
    }
    const double besselFirst =
        mKind.mBesselDivides ? f / kBesselFirstOrderFactor : f * kBesselFirstOrderFactor;
    const double besselSecond =
        mKind.mBesselDivides ? f / kBesselSecondOrderFactor : f * kBesselSecondOrderFactor;

    sBiquadCoefficients c;
    bool designed = false;
    switch (type)
    {
    case nPEQ::HPF_BUTTERWORTH_12_DB:
        if (section == 0)
        {
            designed = DesignSecondOrder(kButterworthQ, f, c);
        }
        else
        {
            const double gain = 0.0;
            const double limited = LimitDesignFrequency(f, mSampleRate);
            designed = BiquadBell(gain, limited, kButterworthQ, SCALE, mSamplePeriod, c.mB0, c.mB1, c.mB2,
                                  c.mA1, c.mA2);
        }
        break;
    case nPEQ::HPF_BUTTERWORTH_18_DB:
        designed = section == 0 ? DesignFirstOrder(f, c) : DesignSecondOrder(kButterworth18Q, f, c);
        break;
    case nPEQ::HPF_BUTTERWORTH_24_DB:
        designed = DesignSecondOrder(section == 0 ? kButterworth24FirstQ : kButterworth24SecondQ, f, c);
        break;
    case nPEQ::HPF_BESSEL_18_DB:
        designed = section == 0 ? DesignFirstOrder(besselFirst, c)
                                : DesignSecondOrder(kBesselSecondOrderQ, besselSecond, c);
        break;
    default:
        break;
    }
    if (!designed)
    {
        return false;
    }
    b0 = c.mB0;
    b1 = c.mB1;
    b2 = c.mB2;
    a1 = c.mA1;
    a2 = c.mA2;
    return true;
}

void cPassFilterUnit::DesignAllSections()
{
    for (UBYTE section = 0; section < mSections; ++section)
    {
        sBiquadCoefficients c;
        if (CalculateCoeffs(section, c.mB0, c.mB1, c.mB2, c.mA1, c.mA2))
        {
            SetSectionWords(section, BiquadWordsFromCoefficients(c, BIQUAD_WORD_FACTOR));
        }
        else
        {
            KV_REPORT_ERROR("%s: section %d keeps its last coefficients", GetSaveName(), int(section));
        }
    }
}

void cPassFilterUnit::SendAllSections()
{
    for (UBYTE section = 0; section < mSections; ++section)
    {
        mDriver->SendSection(section, GetSectionWords(section), GetFrequencyCode(), GetSlopeType());
    }
}

bool cPassFilterUnit::PayloadFits(const cKVNetMessage& message, UWORD size) const
{
    if (message.GetLength() < size)
    {
        KV_REPORT_ERROR("%s: parameter 0x%X needs %d bytes, got %d", GetSaveName(), unsigned(message.mMethod),
                        int(size), int(message.GetLength()));
        return false;
    }
    return true;
}

void cPassFilterUnit::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_BYPASS:
    {
        if (!PayloadFits(message, sizeof(UBYTE)))
        {
            return;
        }
        const bool bypass = UBYTEToBool(message.GetUBYTE(0));
        if (bypass != GetBypass())
        {
            SetBypassField(bypass);
            mDriver->SetBypass(bypass);
            SendAllSections();
            PublishParameter(message);
        }
        return;
    }
    case P_FREQUENCY:
    {
        if (!PayloadFits(message, sizeof(UWORD)))
        {
            return;
        }
        const UWORD code = message.GetUWORD(0);
        if (code != GetFrequencyCode())
        {
            SetFrequencyField(code);
            DesignAllSections();
            SendAllSections();
        }
        return;
    }
    case P_SLOPE:
    {
        if (!PayloadFits(message, sizeof(UBYTE)))
        {
            return;
        }
        const ULONG type = message.GetUBYTE(0);
        if (!nFieldDomains::SLOPE_TYPE.Contains(type))
        {
            KV_REPORT_ERROR("%s: unknown slope type %d refused", GetSaveName(), int(type));
            return;
        }
        if (!OffersSlope(type))
        {
            KV_REPORT_ERROR("%s: slope type %d refused: this filter offers only 12dB Butterworth",
                            GetSaveName(), int(type));
            return;
        }
        if (type != GetSlopeType())
        {
            SetSlopeField(type);
            DesignAllSections();
            SendAllSections();
        }
        return;
    }
    default:
        cAudioObject::EntrypointMessage(message);
        return;
    }
}

void cPassFilterUnit::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                      KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    switch (sourceMethod)
    {
    case P_BYPASS:
        AnswerUBYTE(connectionId, handle, destinationMethod, GetBypass() ? 1 : 0);
        return;
    case P_FREQUENCY:
        AnswerUWORD(connectionId, handle, destinationMethod, GetFrequencyCode());
        return;
    case P_SLOPE:
        AnswerUBYTE(connectionId, handle, destinationMethod, UBYTE(GetSlopeType()));
        return;
    default:
        cAudioObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
}

void cPassFilterUnit::SaveData(QDataStream* stream)
{
    *stream << qint16(GetFrequencyCode()) << qint32(GetSlopeType()) << GetBypass();
}

bool cPassFilterUnit::ReadRecord(QDataStream* stream, sRecord& record) const
{
    qint16 frequency = 0;
    qint32 type = 0;
    qint8 bypass = 0;
    if (stream != nullptr)
    {
        *stream >> frequency >> type >> bypass;
    }
    long long slopeType = type;
    if (!RecordReadWhole(stream) || !SavedFlagValid(bypass, "bypass") ||
        !ReadSavedField(nFieldDomains::SLOPE_TYPE, slopeType, "slope type"))
    {
        return false;
    }
    // A slope this filter does not offer, which the earlier version took: the default slope.
    if (!OffersSlope(ULONG(slopeType)))
    {
        NoteReadAs("slope type", slopeType,
                   nFieldDomains::ValueText(nFieldDomains::SLOPE_TYPE, DEFAULT_SLOPE));
        slopeType = DEFAULT_SLOPE;
    }
    record.mFrequencyCode = UWORD(frequency);
    record.mSlopeType = ULONG(slopeType);
    record.mBypass = bypass != 0;
    return true;
}

bool cPassFilterUnit::CheckRecord(QDataStream* stream)
{
    sRecord record;
    return ReadRecord(stream, record);
}

bool cPassFilterUnit::RecallData(QDataStream* stream)
{
    sRecord record;
    if (!ReadRecord(stream, record))
    {
        return false;
    }
    Apply(record.mFrequencyCode, record.mSlopeType, record.mBypass);
    return true;
}

eSyncResult cPassFilterUnit::SyncData()
{
    if (mSections == 0)
    {
        return SYNC_DONE;
    }
    sFilter record;
    if (!mDriver->GetSyncData(record))
    {
        return SYNC_SKIPPED;
    }
    // Every field the unit takes is one the program writes and the window shows: the frequency (any
    // code), the slope type and the bypass flag.
    ULONG slopeType = record.mFilterType;
    if (!nFieldDomains::SLOPE_TYPE.Contains(slopeType))
    {
        KV_REPORT_ERROR("%s: unknown slope type %lu refused", GetSaveName(),
                        static_cast<unsigned long>(slopeType));
        slopeType = GetSlopeType();
    }
    else if (slopeType != GetSlopeType() && !OffersSlope(slopeType))
    {
        KV_REPORT_ERROR(
            "%s: slope type %lu from the device refused: this filter offers only 12dB Butterworth",
            GetSaveName(), static_cast<unsigned long>(slopeType));
        slopeType = GetSlopeType();
    }
    const bool bypass = FromDevice(nFieldDomains::FLAG, record.mBypass, GetBypass() ? 1 : 0, "bypass") != 0;
    Apply(record.mFrequencyCode, slopeType, bypass);
    return SYNC_DONE;
}

void cPassFilterUnit::CompleteSync()
{
    const sFilter sent = mDriver->SentRecord(GetFrequencyCode(), GetSlopeType());
    for (UBYTE section = 0; section < mSections; ++section)
    {
        bool differs = false;
        for (UBYTE side = 0; side < 2; ++side)
        {
            sFilter record;
            if (!mDriver->GetDeviceRecord(section, side, record))
            {
                return;
            }
            differs = differs || !(record == sent);
        }
        if (differs)
        {
            mDriver->SendSection(section, GetSectionWords(section), GetFrequencyCode(), GetSlopeType());
        }
    }
}

void cPassFilterUnit::Apply(UWORD frequencyCode, ULONG slopeType, bool bypass)
{
    bool changed = false;
    if (frequencyCode != GetFrequencyCode() || slopeType != GetSlopeType())
    {
        SetFrequencyField(frequencyCode);
        SetSlopeField(slopeType);
        DesignAllSections();
        PublishUWORD(P_FREQUENCY, frequencyCode);
        PublishUBYTE(P_SLOPE, UBYTE(slopeType));
        changed = true;
    }
    if (bypass != GetBypass())
    {
        SetBypassField(bypass);
        mDriver->SetBypass(bypass);
        PublishUBYTE(P_BYPASS, bypass ? 1 : 0);
        changed = true;
    }
    if (changed)
    {
        SendAllSections();
    }
}
