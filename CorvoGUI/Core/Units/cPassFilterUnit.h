#pragma once

#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetMethods.h"

#include <QtGlobal>

class cNonVolatileStorageManager;
class cPassFilterDriver;
class cSaveObjectRegistry;

// What tells the high-pass unit from the low-pass unit: its NV markers, its designers and where
// its Bessel sections are designed.
struct sPassFilterKind
{
    using tFirstOrderDesigner = bool (*)(const double& f, const double& s, const double& T, const double& F,
                                         double& b0, double& b1, double& b2, double& a1, double& a2);
    using tSecondOrderDesigner = bool (*)(const double& Q, const double& f, const double& s, const double& T,
                                          const double& F, double& b0, double& b1, double& b2, double& a1,
                                          double& a2);

    const char* mKindName; // "HPF" or "LPF", for reports
    UWORD mStartMarker;
    UWORD mEndMarker;
    tFirstOrderDesigner mFirstOrder;
    tSecondOrderDesigner mSecondOrder;
    // True: the Bessel sections are designed at f divided by their factors (high-pass); false: at f
    // multiplied by them (low-pass).
    bool mBesselDivides;
};

// The shared body of the high-pass and the low-pass unit (cHPFUnit, cLPFUnit): a filter on both
// channels of a panel's pair with a frequency, a slope type (nPEQ::eHighPassType) and a bypass
// flag, designed as 0 to 2 biquad sections with scale 2.0. Settings and the designed sections
// live in the unit's NV block; every change is designed here and handed to the driver, which
// queues the sections for the device.
//
// Parameters: 4096 bypass (UBYTE bool; published when a message changes it), 4097 frequency code
// (UWORD), 4098 slope type (UBYTE; a type the unit does not know or does not offer (OffersSlope) is
// reported and refused).
// A recall or sync publishes what it changed, 4097 and 4098 included.
//
// Fields and their domains (nFieldDomains): slope type SLOPE_TYPE, bypass FLAG; the frequency code
// takes every value. A sync takes the device's record of the left channel's first section: an unknown
// slope type, and a slope type other than 12 dB Butterworth on a unit of fewer than two sections
// (there the window offers no slope choice, and the other slopes would not be what they say), keeps
// the unit's own, reported; a bypass field is bypassed for anything but 0, as the device means it.
// A saves file or the NV block of the earlier version, which took any known slope, is read with the
// default slope (12 dB Butterworth) where the unit does not offer the one it holds, said once.
//
// NV block: u16 start marker, u16 frequency code, u32 slope type, u8 bypass, per section five
// s32 words (b0, b1, b2, a1, a2), u16 end marker. Defaults: frequency 0x5396 (100 Hz), slope 0,
// bypassed. At construction a block with right markers is taken, a field outside its domain mended to
// its default alone, and its sections designed again from it; a block with wrong markers is reset
// to the defaults. Either is said once. Save record: qint16 frequency, qint32 slope type, bool
// bypass.
//
// A section is designed at no more than 0.45 of the sample rate; a section that cannot be
// designed (reported) keeps its last words.
//
// Threads: constructed by its driver (GUI thread, before the syscall thread runs or under
// cRegistryLocker); messages, sync-ups, save, recall and sync on the syscall thread.
class cPassFilterUnit : public cAudioObject, public cSaveObject
{
public:
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 3;
    static constexpr KV_NET_DATA_SCALE P_BYPASS = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_FREQUENCY = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_SLOPE = PARAMETER_BASE + 2;

    static constexpr UWORD DEFAULT_FREQUENCY_CODE = 0x5396;
    static constexpr ULONG DEFAULT_SLOPE = 0;
    static constexpr bool DEFAULT_BYPASS = true;
    static constexpr double SCALE = 2.0;
    static constexpr UBYTE MAX_SECTIONS = 2;

    ~cPassFilterUnit() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    // 4096 bypass (UBYTE), 4097 frequency code (UWORD), 4098 slope type (UBYTE).
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    void SaveData(QDataStream* stream) override;
    // The record read whole, every field inside its domain; a slope the unit does not offer is read
    // as 12 dB Butterworth (noted, cSaveObject::TakeReadAsNotes).
    bool CheckRecord(QDataStream* stream) override;
    bool RecallData(QDataStream* stream) override;
    // From the device's record of the left channel's first section; skipped (SYNC_SKIPPED) until
    // the device's filter table is complete. A unit without sections has nothing to take.
    eSyncResult SyncData() override;
    // Once the link runs after the sync: sends (for both channels) each section whose device record,
    // left or right, is not the one the unit sends for it (cPassFilterDriver::SentRecord).
    void CompleteSync() override;

    // Designs section `section` for the current frequency and slope type. False (reported, outputs
    // unchanged) for a section the slope does not have, an unknown slope type, or a refused design.
    bool CalculateCoeffs(UBYTE section, double& b0, double& b1, double& b2, double& a1, double& a2) const;
    // Defaults, every section designed and sent.
    void ResetDefaults();

    bool GetBypass() const;
    UWORD GetFrequencyCode() const;
    ULONG GetSlopeType() const;
    UBYTE GetNumberOfSections() const { return mSections; }
    // True for the slope types the unit takes, by message, sync, recall or from its NV block: all four
    // with two sections, else only 12 dB Butterworth.
    bool OffersSlope(ULONG type) const;
    tBiquadWords GetSectionWords(UBYTE section) const;
    const cNonVolatileBlock& GetBlock() const { return mBlock; }

protected:
    cPassFilterUnit(const char* name, cPassFilterDriver* driver, cNonVolatileStorageManager* storage,
                    cSaveObjectRegistry* saves, UBYTE sections, double samplePeriod, double sampleRate,
                    const sPassFilterKind& kind);

private:
    struct sRecord
    {
        UWORD mFrequencyCode = 0;
        ULONG mSlopeType = 0;
        bool mBypass = false;
    };
    // Reads the save record and checks its fields; false (reported) when it fails.
    bool ReadRecord(QDataStream* stream, sRecord& record) const;
    void SetBypassField(bool bypass);
    void SetFrequencyField(UWORD code);
    void SetSlopeField(ULONG type);
    void SetSectionWords(UBYTE section, const tBiquadWords& words);
    void DesignAllSections();
    void SendAllSections();
    // Takes a recalled or synced state, every value inside its domain: stores and publishes what
    // changed, sends when anything did.
    void Apply(UWORD frequencyCode, ULONG slopeType, bool bypass);
    bool DesignSecondOrder(double q, double f, sBiquadCoefficients& c) const;
    bool DesignFirstOrder(double f, sBiquadCoefficients& c) const;
    bool PayloadFits(const cKVNetMessage& message, UWORD size) const;

    cPassFilterDriver* mDriver;
    const sPassFilterKind& mKind;
    UBYTE mSections;
    double mSamplePeriod;
    double mSampleRate;

    cNonVolatileBlock mBlock;
};
