#pragma once

#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetMethods.h"

#include <string>
#include <vector>

class cNonVolatileStorageManager;
class cParametricEQDriver;
class cSaveObjectRegistry;

// One band's settings as the unit keeps them.
struct sParametricEQBand
{
    UWORD mFrequencyCode = 0;
    UWORD mWidthCode = 0; // high byte: Q table index
    SWORD mGain = 0;      // 1/256 dB
    ULONG mType = 0;      // nPEQ::eParametricEQType
    UBYTE mOption = 0;    // BELL: 0 BiquadBell, else BiquadBellSymmetric
    bool mBypass = false;
};

// The parametric EQ of one channel of a low/mid/high panel, named "LMH %d: %s Parametric EQ
// Unit" (L or R): n bands (at most 8), each designed as one biquad section with scale 8.0 and
// handed to the driver, which queues it for the device. A bypassed band, and every band while the
// unit is bypassed, is designed flat.
//
// Parameters (5n + 4): 4096 unit bypass (UBYTE bool), 4097 type of band 0, 4098 type of band n-1
// (UBYTE; an unknown type, or one the band's switch does not offer (OffersType), is reported and
// refused); per band b: 4099+5b frequency range
// (messages ignored; the sync-up answers lower 10699, upper 56622, 0), 4100+5b frequency code,
// 4101+5b width code, 4102+5b gain (UWORD gain code), 4103+5b band bypass (UBYTE bool; the band
// has no bypass switch, so a bypass is reported and refused and only "active" is taken). Every
// accepted message is published, also when it changes nothing; only a change redesigns and
// sends. Recall and sync publish what they changed.
//
// Fields and their domains (nFieldDomains): unit bypass FLAG; per band gain GAIN, type BAND_TYPE,
// band bypass FLAG; frequency and width codes and the option byte take every value. A band
// takes only a type its switch offers, at every way in: a message or the device's record with
// another is refused; a saves file or the NV block of the earlier version, which took any known type,
// is read with the band's default type (BELL) there, said once. Neither is a band bypassed at any way
// in: the earlier version's sync took band bypasses from the device, and its files load with the band
// active, said once.
//
// NV block: u16 start marker 0x4380, u8 unit bypass, n u16 frequency codes, n u16 width codes,
// n s16 gains, n u32 types, n u8 band options, n u8 band bypass flags, n five s32 words (b0, b1,
// b2, a1, a2), u16 end marker 0xFA72. At construction a block with right markers is taken, a field
// outside its domain mended to its default alone, and its bands designed again from it; a block with
// wrong markers is reset to the defaults. Either is said once. Save record: bool unit bypass, then per
// band qint16 frequency, qint16 width, qint16 gain, qint32 type, qint8 option, bool band bypass.
//
// A band is designed at no more than 0.45 of the sample rate; a band that cannot be designed
// (NOTCH, an unknown type, a refused design; reported) keeps its last words.
//
// Threads: constructed by its driver (GUI thread, before the syscall thread runs or under
// cRegistryLocker); messages, sync-ups, save, recall and sync on the syscall thread.
class cParametricEQUnit : public cAudioObject, public cSaveObject
{
public:
    static constexpr UWORD START_MARKER = 0x4380;
    static constexpr UWORD END_MARKER = 0xFA72;
    static constexpr UBYTE MAX_BANDS = 8;
    static constexpr KV_NET_DATA_SCALE P_BYPASS = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_FIRST_TYPE = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_LAST_TYPE = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_BAND_BASE = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE PARAMETERS_PER_BAND = 5;
    static constexpr UWORD RANGE_LOWER = 10699;
    static constexpr UWORD RANGE_UPPER = 56622;
    static constexpr UWORD DEFAULT_WIDTH_CODE = 0x0D00;
    // Q of the default design and of the flat sections of types 3 to 7.
    static constexpr double DEFAULT_Q = 2.41;
    static constexpr double PASS_Q = 0.707106781187;
    static constexpr double LOWEST_LOW_PASS_FREQUENCY = 40.0;
    static constexpr double CONTOUR_GAIN_DB = -9.0;

    static KV_NET_DATA_SCALE RangeParameter(int band) { return KV_NET_DATA_SCALE(P_BAND_BASE + 5 * band); }
    static KV_NET_DATA_SCALE FrequencyParameter(int band)
    {
        return KV_NET_DATA_SCALE(RangeParameter(band) + 1);
    }
    static KV_NET_DATA_SCALE WidthParameter(int band) { return KV_NET_DATA_SCALE(RangeParameter(band) + 2); }
    static KV_NET_DATA_SCALE GainParameter(int band) { return KV_NET_DATA_SCALE(RangeParameter(band) + 3); }
    static KV_NET_DATA_SCALE BandBypassParameter(int band)
    {
        return KV_NET_DATA_SCALE(RangeParameter(band) + 4);
    }

    // With clear set or wrong markers the defaults are loaded (and sent); otherwise the stored fields
    // are taken (each outside its domain mended to its default) and the bands designed again and
    // sent.
    cParametricEQUnit(const char* name, cParametricEQDriver* driver, cNonVolatileStorageManager* storage,
                      cSaveObjectRegistry* saves, UBYTE bands, double scale, double samplePeriod,
                      double sampleRate, double factor, bool clear);
    ~cParametricEQUnit() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    void SaveData(QDataStream* stream) override;
    // The record read whole, every field inside its domain; a band type the band's switch does not
    // offer is read as BELL, a band bypass as active (each noted, cSaveObject::TakeReadAsNotes).
    bool CheckRecord(QDataStream* stream) override;
    bool RecallData(QDataStream* stream) override;
    // From the device's records of this channel's bands, only what the window shows and changes:
    // the unit becomes bypassed when band 0's bypass field (gang bit masked) says so and band 0 is
    // not bypassed itself, and otherwise keeps its own IN/OUT; each band takes its frequency, width and gain
    // (below minus infinity: minus infinity, reported) and a type its switch offers (OffersType; another
    // type, or an unknown one, is reported and the band keeps its own). A band's bypass and option are not
    // taken. Skipped until the device's filter table is complete.
    eSyncResult SyncData() override;
    // Once the link runs after the sync: sends each band whose device record is not the one the unit
    // sends for it (cParametricEQDriver::SentRecord; band 0's bypass field where it holds the unit's
    // bypass is taken as it stands). Every band goes when any does while band 0's field holds the
    // unit's bypass (its record ends that bypass), and when the unit is OUT without band 0's field
    // saying so (a bypassed unit is flat sections, which the records do not show). Nothing when the
    // device's filter table is not there.
    void CompleteSync() override;

    // The designers for each type, at the given scale. False (reported, outputs unchanged) for
    // NOTCH, an unknown type, or a refused design.
    bool CalculateCoeffs(const nPEQ::eParametricEQType& type, UBYTE option, const double& gain,
                         const double& frequency, const double& q, double& b0, double& b1, double& b2,
                         double& a1, double& a2, double scale) const;
    bool CalculateFlatResponseCoeffs(const nPEQ::eParametricEQType& type, const double& frequency,
                                     const double& q, double& b0, double& b1, double& b2, double& a1,
                                     double& a2, double scale) const;

    // True for the types band `band` takes, by message, sync, recall or from its NV block: those its
    // switch in the window offers, bell or low shelf on the first band, bell or high shelf on the
    // last, bell on the others.
    bool OffersType(UBYTE band, ULONG type) const;
    // Frequency codes band `band` may take with this unit's band count (0 beyond the bands).
    UWORD GetFrequencyRangesLower(UBYTE band) const;
    UWORD GetFrequencyRangesUpper(UBYTE band) const;
    // Unit bypass off; per band gain 0, width 0x0D00, option 0, bypass off and, for 1, 2, 4 or 6
    // bands, BELL at the middle of its range; every band designed (Q 2.41) and sent.
    void LoadDefaults();
    // Stores a band's option; a change redesigns and sends the band. Band beyond the count: reported.
    void SetBandOption(UBYTE band, UBYTE option);
    // Sends every band as it is stored.
    void SendAllBands();

    bool GetBypass() const;
    UBYTE GetNumberOfBands() const { return mBands; }
    sParametricEQBand GetBand(UBYTE band) const;
    tBiquadWords GetBandWords(UBYTE band) const;
    const cNonVolatileBlock& GetBlock() const { return mBlock; }

private:
    struct sLayout
    {
        size_t mBypass = 0;
        size_t mFrequencies = 0;
        size_t mWidths = 0;
        size_t mGains = 0;
        size_t mTypes = 0;
        size_t mOptions = 0;
        size_t mBandBypass = 0;
        size_t mWords = 0;
        size_t mSize = 0;
    };
    static sLayout MakeLayout(UBYTE bands);
    // Reads the save record and checks its fields; false (reported) when it fails.
    bool ReadRecord(QDataStream* stream, bool& bypass, std::vector<sParametricEQBand>& bands) const;
    // The non-volatile check of a block with right markers: each field outside its domain takes its
    // default (said once).
    void MendStoredFields();

    void SetBypassField(bool bypass);
    void SetFrequency(UBYTE band, UWORD code);
    void SetWidth(UBYTE band, UWORD code);
    void SetGain(UBYTE band, SWORD gain);
    void SetType(UBYTE band, ULONG type);
    void SetOption(UBYTE band, UBYTE option);
    void SetBandBypass(UBYTE band, bool bypass);
    void SetBandWords(UBYTE band, const tBiquadWords& words);

    // Designs band `band` with Q from its width (or the given Q when q > 0) and stores the words;
    // false (words kept) when the design failed.
    bool DesignBand(UBYTE band, double q = 0.0);
    void SendBand(UBYTE band);
    void DesignAndSendAllBands();
    bool PayloadFits(const cKVNetMessage& message, UWORD size) const;
    void OnTypeMessage(cKVNetMessage& message, UBYTE band);
    void OnBandMessage(cKVNetMessage& message, UBYTE band, int field);
    void AnswerRange(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod);
    // Publishes a band's type as 4097 (band 0) and 4098 (band n-1).
    void PublishType(UBYTE band, ULONG type);

    cParametricEQDriver* mDriver;
    UBYTE mBands;
    double mScale;
    double mSamplePeriod;
    double mSampleRate;
    double mFactor;
    const sLayout mLayout;
    cNonVolatileBlock mBlock;
};
