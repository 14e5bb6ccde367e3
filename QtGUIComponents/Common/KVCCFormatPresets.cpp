#include "QtGUIComponents/Common/cKVCCFormat.h"

namespace nKVCCFormats
{
const cKVCCFormat NO_UNITS(cKVCCFormat::NO_UNITS, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat RAW_PLUS_1(cKVCCFormat::RAW_PLUS_1, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat DONT_INTERPRET(cKVCCFormat::DONT_INTERPRET, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat GAIN_DB_1DP(cKVCCFormat::GAIN_OFFSET_DB, cKVCCFormat::ONE_DECIMAL_PLACE, false);
const cKVCCFormat GAIN_DB_2DP(cKVCCFormat::GAIN_OFFSET_DB, cKVCCFormat::TWO_DECIMAL_PLACES, false);
const cKVCCFormat PADDED_GAIN_DB(cKVCCFormat::PADDED_GAIN_OFFSET_DB, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat GAIN_DB_FORCE_ZERO_1DP(cKVCCFormat::GAIN_OFFSET_DB_FORCE_ZERO,
                                         cKVCCFormat::ONE_DECIMAL_PLACE, false);
const cKVCCFormat GAIN_DB_NO_UNITS_1DP(cKVCCFormat::GAIN_OFFSET_DB_NO_UNITS, cKVCCFormat::ONE_DECIMAL_PLACE,
                                       false);
const cKVCCFormat GAIN_DB_COMPRESSED_1DP(cKVCCFormat::GAIN_OFFSET_DB, cKVCCFormat::ONE_DECIMAL_PLACE, true);
const cKVCCFormat GAIN_DB_SUB_40_1DP(cKVCCFormat::GAIN_OFFSET_DB_SUB_40, cKVCCFormat::ONE_DECIMAL_PLACE,
                                     false);
const cKVCCFormat TIME_SEC(cKVCCFormat::TIME_SEC, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat TIME_SEC_INVERTED(cKVCCFormat::TIME_SEC_INVERTED, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat TIME_SEC_DOUBLED(cKVCCFormat::TIME_SEC_DOUBLED, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat FREQ_HZ(cKVCCFormat::FREQ_HZ, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat FREQ_HZ_COMPACT(cKVCCFormat::FREQ_HZ_COMPACT, cKVCCFormat::NO_DECIMAL_PLACES, true);
const cKVCCFormat DELAY_TIME_SAMPLES(cKVCCFormat::DELAY_TIME_SAMPLES, cKVCCFormat::TWO_DECIMAL_PLACES, false);
const cKVCCFormat TEMP_C(cKVCCFormat::TEMP_C, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat TEMP_F(cKVCCFormat::TEMP_F, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat DOUBLED_VALUE(cKVCCFormat::DOUBLED_VALUE, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat TIME_8_DOT_8_SECONDS_1DP(cKVCCFormat::TIME_8_DOT_8_SECONDS, cKVCCFormat::ONE_DECIMAL_PLACE,
                                           false);
const cKVCCFormat RAW_DIVIDED_10_1DP(cKVCCFormat::RAW_DIVIDED_10, cKVCCFormat::ONE_DECIMAL_PLACE, false);
const cKVCCFormat RAW_DIVIDED_100_2DP(cKVCCFormat::RAW_DIVIDED_100, cKVCCFormat::TWO_DECIMAL_PLACES, false);
const cKVCCFormat RAW_DIVIDED_1000_3DP(cKVCCFormat::RAW_DIVIDED_1000, cKVCCFormat::THREE_DECIMAL_PLACES,
                                       false);
const cKVCCFormat RAW_DIVIDED_10000_4DP(cKVCCFormat::RAW_DIVIDED_10000, cKVCCFormat::FOUR_DECIMAL_PLACES,
                                        false);
const cKVCCFormat RAW_OFFSET(cKVCCFormat::RAW_OFFSET, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat RAW_OFFSET_DIVIDED_10_1DP(cKVCCFormat::RAW_OFFSET_DIVIDED_10,
                                            cKVCCFormat::ONE_DECIMAL_PLACE, false);
const cKVCCFormat RAW_OFFSET_DIVIDED_100_2DP(cKVCCFormat::RAW_OFFSET_DIVIDED_100,
                                             cKVCCFormat::TWO_DECIMAL_PLACES, false);
const cKVCCFormat RAW_HEX(cKVCCFormat::RAW_HEX, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat RAW_HEX_SHIFTED_1(cKVCCFormat::RAW_HEX_SHIFTED_1, cKVCCFormat::NO_DECIMAL_PLACES, false);
const cKVCCFormat PERCENTAGE(cKVCCFormat::PERCENTAGE, cKVCCFormat::NO_DECIMAL_PLACES, false);
} // namespace nKVCCFormats
