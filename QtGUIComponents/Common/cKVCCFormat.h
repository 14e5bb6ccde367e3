#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "QtGUIComponents/Common/ValueTextOperations.h"
#include "QtGUIComponents/Common/cValueUnitStrings.h"

#include <QObject>
#include <QString>

// How a 16-bit control value is shown: a value type, a number of decimal places and whether the
// blank in front of the unit is dropped. The static InterpretValue holds one rule per value type;
// an object only stores the three settings and forwards to it. QML creates objects as "KVCCFormat"
// 2.0 of module "KVQml" and reads the enumerations as constants.
//
// Stateless apart from the settings; the static operation takes no lock and may run on any thread
// (the program calls it on the GUI thread). No rule fails or reports: a type outside the
// enumeration shows the plain number.
class cKVCCFormat : public QObject
{
    Q_OBJECT

public:
    enum eKVCCType : int
    {
        NO_UNITS = 0,
        GAIN_OFFSET_DB = 1,
        PADDED_GAIN_OFFSET_DB = 2,
        GAIN_OFFSET_DB_FORCE_ZERO = 3,
        GAIN_OFFSET_DB_NO_UNITS = 4,
        GAIN_OFFSET_DB_SUB_40 = 5,
        TIME_SEC = 6,
        TIME_SEC_INVERTED = 7,
        TIME_SEC_DOUBLED = 8,
        FREQ_HZ = 9,
        FREQ_HZ_COMPACT = 10,
        DELAY_TIME_SAMPLES = 11,
        TEMP_C = 12,
        TEMP_F = 13,
        DOUBLED_VALUE = 14,
        DONT_INTERPRET = 15,
        TIME_8_DOT_8_SECONDS = 16,
        RAW_DIVIDED_10 = 17,
        RAW_DIVIDED_100 = 18,
        RAW_DIVIDED_1000 = 19,
        RAW_DIVIDED_10000 = 20,
        RAW_PLUS_1 = 21,
        RAW_OFFSET = 22,
        RAW_OFFSET_DIVIDED_10 = 23,
        RAW_OFFSET_DIVIDED_100 = 24,
        RAW_HEX = 25,
        RAW_HEX_SHIFTED_1 = 26,
        DERIVED_TYPE = 27,
        PERCENTAGE = 28
    };
    Q_ENUM(eKVCCType)

    enum eKVCCTypeDecimalPlaces : int
    {
        NO_DECIMAL_PLACES = 0,
        ONE_DECIMAL_PLACE = 1,
        TWO_DECIMAL_PLACES = 2,
        THREE_DECIMAL_PLACES = 3,
        FOUR_DECIMAL_PLACES = 4
    };
    Q_ENUM(eKVCCTypeDecimalPlaces)

    Q_PROPERTY(eKVCCType kvCCType READ kvCCType WRITE setKvCCType)
    Q_PROPERTY(eKVCCTypeDecimalPlaces decimalPlaces READ decimalPlaces WRITE setDecimalPlaces)
    Q_PROPERTY(bool compressUnits READ compressUnits WRITE setCompressUnits)

    // NO_UNITS, no decimal places, blank kept (the form QML creates).
    explicit cKVCCFormat(QObject* parent = nullptr);
    cKVCCFormat(eKVCCType type, eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits,
                QObject* parent = nullptr);
    ~cKVCCFormat() override = default;

    // The formatter. Value texts by type; the unit text is the unit with its separator (empty
    // when compressUnits, else one blank), translated in the context cValueInterpreterUnitsTr.
    // exponent is read by PADDED_GAIN_OFFSET_DB only (added as exponent / 256 dB).
    static cValueUnitStrings InterpretValue(UWORD value, double exponent, eKVCCType type,
                                            eKVCCTypeDecimalPlaces decimalPlaces, bool compressUnits);

    // The static formatter with this object's three settings (a subclass formats its own types).
    virtual cValueUnitStrings InterpretValue(UWORD value, double exponent) const;
    // The static formatter of this class with the given type and this object's decimal places
    // and unit flag, also on a subclass.
    Q_INVOKABLE virtual QString interpretValue(UWORD value, double exponent, eKVCCType type) const;
    Q_INVOKABLE virtual QString interpretUnits(UWORD value, double exponent, eKVCCType type) const;
    // The virtual InterpretValue's texts.
    Q_INVOKABLE virtual QString interpretValue(UWORD value, double exponent = 1.0) const;
    Q_INVOKABLE virtual QString interpretUnits(UWORD value, double exponent = 1.0) const;

    eKVCCType kvCCType() const { return mKvCCType; }
    void setKvCCType(eKVCCType type) { mKvCCType = type; }
    eKVCCTypeDecimalPlaces decimalPlaces() const { return mDecimalPlaces; }
    void setDecimalPlaces(eKVCCTypeDecimalPlaces decimalPlaces) { mDecimalPlaces = decimalPlaces; }
    bool compressUnits() const { return mCompressUnits; }
    void setCompressUnits(bool compressUnits) { mCompressUnits = compressUnits; }

private:
    eKVCCType mKvCCType = NO_UNITS;
    eKVCCTypeDecimalPlaces mDecimalPlaces = NO_DECIMAL_PLACES;
    bool mCompressUnits = false;
};

// Ready-made formats, one per common way of showing a value (built before main, never changed).
namespace nKVCCFormats
{
extern const cKVCCFormat NO_UNITS;
extern const cKVCCFormat RAW_PLUS_1;
extern const cKVCCFormat DONT_INTERPRET;
extern const cKVCCFormat GAIN_DB_1DP;
extern const cKVCCFormat GAIN_DB_2DP;
extern const cKVCCFormat PADDED_GAIN_DB;
extern const cKVCCFormat GAIN_DB_FORCE_ZERO_1DP;
extern const cKVCCFormat GAIN_DB_NO_UNITS_1DP;
extern const cKVCCFormat GAIN_DB_COMPRESSED_1DP;
extern const cKVCCFormat GAIN_DB_SUB_40_1DP;
extern const cKVCCFormat TIME_SEC;
extern const cKVCCFormat TIME_SEC_INVERTED;
extern const cKVCCFormat TIME_SEC_DOUBLED;
extern const cKVCCFormat FREQ_HZ;
extern const cKVCCFormat FREQ_HZ_COMPACT;
extern const cKVCCFormat DELAY_TIME_SAMPLES;
extern const cKVCCFormat TEMP_C;
extern const cKVCCFormat TEMP_F;
extern const cKVCCFormat DOUBLED_VALUE;
extern const cKVCCFormat TIME_8_DOT_8_SECONDS_1DP;
extern const cKVCCFormat RAW_DIVIDED_10_1DP;
extern const cKVCCFormat RAW_DIVIDED_100_2DP;
extern const cKVCCFormat RAW_DIVIDED_1000_3DP;
extern const cKVCCFormat RAW_DIVIDED_10000_4DP;
extern const cKVCCFormat RAW_OFFSET;
extern const cKVCCFormat RAW_OFFSET_DIVIDED_10_1DP;
extern const cKVCCFormat RAW_OFFSET_DIVIDED_100_2DP;
extern const cKVCCFormat RAW_HEX;
extern const cKVCCFormat RAW_HEX_SHIFTED_1;
extern const cKVCCFormat PERCENTAGE;
} // namespace nKVCCFormats
