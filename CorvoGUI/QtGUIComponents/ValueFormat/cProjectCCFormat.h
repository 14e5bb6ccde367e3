#pragma once

#include "QtGUIComponents/Common/cKVCCFormat.h"

// The width labels: one per high byte 0..44 of a PEQ band's width code, the band's width in
// octaves ("3" at index 0, "1" at 20, "1/24" at 44).
constexpr int NUMBER_OF_WIDTH_VALUES = 45;

// The product's own value types, numbered on from those of cKVCCFormat so that one integer names
// either kind: delay times and distances at 96 kHz, a decay rate, the PEQ width labels, a pan
// position, a graphic-EQ band gain and a type that shows nothing. QML reads the enumeration of the
// uncreatable type "ProjectCCFormat" 1.0 of module "Corvo".
//
// Stateless apart from the settings; the static operation takes no lock and may run on any thread
// (the program calls it on the GUI thread). Failures (a width index past the table, a type outside
// the enumeration) are reported through KV_REPORT_ERROR and still give a result.
class cProjectCCFormat : public cKVCCFormat
{
    Q_OBJECT

public:
    enum eProjectCCType : int
    {
        DELAY_TIME_MS_96K = 27,
        DELAY_DISTANCE_FT_96K = 28,
        DELAY_DISTANCE_M_96K = 29,
        DB_PER_FRAME_TO_MS_PER_10DB = 30,
        FILTER_WIDTH = 31,
        PAN = 32,
        GEQ_BAND_GAIN = 33,
        SUPPRESS_VALUE_OUPUT = 34
    };
    Q_ENUM(eProjectCCType)

    // A format of that project type: kvCCType DERIVED_TYPE, blank kept before the unit.
    cProjectCCFormat(eProjectCCType type, eKVCCTypeDecimalPlaces decimalPlaces, QObject* parent = nullptr);
    ~cProjectCCFormat() override = default;

    // The formatter of the project types. value is unsigned in every rule (a delay in samples at
    // 96 kHz for the delay types); exponent is a speed in metres per second for the two distance
    // types and is passed on by GEQ_BAND_GAIN. A gain of exactly 0 dB per frame gives the value
    // text "Inf". A width index of 45 or more reports and gives two empty texts; a type outside
    // the enumeration reports "Unhandled type: <type>" and gives the plain number.
    static cValueUnitStrings InterpretValue(UWORD value, double exponent, eProjectCCType type,
                                            eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits);

    // The static formatter above with this object's project type, decimal places and unit flag.
    cValueUnitStrings InterpretValue(UWORD value, double exponent) const override;

private:
    eProjectCCType mProjectCCType;
};

// Ready-made project formats, two decimal places, blank kept (built before main, never changed).
namespace nProjectCCFormats
{
extern const cProjectCCFormat DELAY_TIME_MS_96K;
extern const cProjectCCFormat DELAY_DISTANCE_FT_96K;
extern const cProjectCCFormat DELAY_DISTANCE_M_96K;
extern const cProjectCCFormat DB_PER_FRAME_TO_MS_PER_10DB;
} // namespace nProjectCCFormats
