.pragma library

// Gains in 1/256 dB, as the framework carries them, and the two conversions between a gain and
// its 16-bit control code (code = gain + 0x8000; code 0 is minus infinity).

var MINUS_INFINITY = -0x7FFF;
var PLUS_INFINITY = 0x7FFF;

var TWENTY_FOUR_POINT_08_DB = 24.08 * 256;
var PLUS_65_DB = 65 * 256;
var PLUS_60_DB = 60 * 256;
var PLUS_40_DB = 40 * 256;
var PLUS_30_DB = 30 * 256;
var PLUS_27_DB = 27 * 256;
var PLUS_25_DB = 25 * 256;
var PLUS_24_DB = 24 * 256;
var PLUS_20_DB = 20 * 256;
var PLUS_18_DB = 18 * 256;
var PLUS_16_DB = 16 * 256;
var PLUS_15_DB = 15 * 256;
var PLUS_14_DB = 14 * 256;
var PLUS_12_DB = 12 * 256;
var PLUS_10_DB = 10 * 256;
var PLUS_9_DB = 9 * 256;
var PLUS_6_DB = 6 * 256;
var PLUS_5_DB = 5 * 256;
var PLUS_4_POINT_5_DB = 4.5 * 256;
var PLUS_3_DB = 3 * 256;
var PLUS_2_DB = 2 * 256;
var PLUS_1_POINT_5_DB = 1.5 * 256;
var PLUS_1_DB = 1 * 256;
var ZERO_DB = 0;
var MINUS_POINT_03_DB = -0.03 * 256;
var MINUS_1_DB = -1 * 256;
var MINUS_1_POINT_5_DB = -1.5 * 256;
var MINUS_2_DB = -2 * 256;
var MINUS_3_DB = -3 * 256;
var MINUS_4_DB = -4 * 256;
var MINUS_4_POINT_5_DB = -4.5 * 256;
var MINUS_5_DB = -5 * 256;
var MINUS_6_DB = -6 * 256;
var MINUS_7_POINT_5_DB = -7.5 * 256;
var MINUS_8_DB = -8 * 256;
var MINUS_9_DB = -9 * 256;
var MINUS_10_DB = -10 * 256;
var MINUS_10_POINT_5_DB = -10.5 * 256;
var MINUS_12_DB = -12 * 256;
var MINUS_12_POINT_04_DB = -12.04 * 256;
var MINUS_14_DB = -14 * 256;
var MINUS_15_DB = -15 * 256;
var MINUS_16_DB = -16 * 256;
var MINUS_18_DB = -18 * 256;
var MINUS_20_DB = -20 * 256;
var MINUS_21_DB = -21 * 256;
var MINUS_22_DB = -22 * 256;
var MINUS_24_DB = -24 * 256;
var MINUS_25_DB = -25 * 256;
var MINUS_26_DB = -26 * 256;
var MINUS_30_DB = -30 * 256;
var MINUS_34_DB = -34 * 256;
var MINUS_36_DB = -36 * 256;
var MINUS_38_DB = -38 * 256;
var MINUS_40_DB = -40 * 256;
var MINUS_42_DB = -42 * 256;
var MINUS_46_DB = -46 * 256;
var MINUS_48_DB = -48 * 256;
var MINUS_50_DB = -50 * 256;
var MINUS_54_DB = -54 * 256;
var MINUS_60_DB = -60 * 256;
var MINUS_64_DB = -64 * 256;
var MINUS_66_DB = -66 * 256;
var MINUS_72_DB = -72 * 256;
var MINUS_80_DB = -80 * 256;
var MINUS_90_DB = -90 * 256;
var MINUS_96_DB = -96 * 256;
var MINUS_100_DB = -100 * 256;
var ONE_AND_A_HALF_DB = 1.5 * 256;
var SIX_POINT_02_DB = 6.02 * 256;
var TWELVE_POINT_04_DB = 12.04 * 256;
var EIGHTEEN_POINT_06_DB = 18.06 * 256;

var PLUS_EIGHTY_DB_OFFSET_B = 80 * 256 + 0x8000;
var PLUS_65_DB_OFFSET_B = 65 * 256 + 0x8000;
var PLUS_60_DB_OFFSET_B = 60 * 256 + 0x8000;
var PLUS_48_DB_OFFSET_B = 48 * 256 + 0x8000;
var PLUS_40_DB_OFFSET_B = 40 * 256 + 0x8000;
var PLUS_30_DB_OFFSET_B = 30 * 256 + 0x8000;
var PLUS_25_DB_OFFSET_B = 25 * 256 + 0x8000;
var PLUS_24_DB_OFFSET_B = 24 * 256 + 0x8000;
var PLUS_20_DB_OFFSET_B = 20 * 256 + 0x8000;
var PLUS_18_DB_OFFSET_B = 18 * 256 + 0x8000;
var PLUS_15_DB_OFFSET_B = 15 * 256 + 0x8000;
var PLUS_12_DB_OFFSET_B = 12 * 256 + 0x8000;
var PLUS_10_DB_OFFSET_B = 10 * 256 + 0x8000;
var PLUS_9_DB_OFFSET_B = 9 * 256 + 0x8000;
var PLUS_8_DB_OFFSET_B = 8 * 256 + 0x8000;
var PLUS_6_DB_OFFSET_B = 6 * 256 + 0x8000;
var PLUS_5_DB_OFFSET_B = 5 * 256 + 0x8000;
var PLUS_FIVE_DB_OFFSET_B = 5 * 256 + 0x8000;
var PLUS_4_DB_OFFSET_B = 4 * 256 + 0x8000;
var PLUS_3_DB_OFFSET_B = 3 * 256 + 0x8000;
var PLUS_2_DB_OFFSET_B = 2 * 256 + 0x8000;
var PLUS_1_DB_OFFSET_B = 1 * 256 + 0x8000;
var PLUS_ZERO_POINT_ONE_DB_OFFSET_B = 0.1 * 256 + 0x8000;
var ZERO_DB_OFFSET_B = 0x8000;
var MINUS_1_DB_OFFSET_B = -1 * 256 + 0x8000;
var MINUS_2_DB_OFFSET_B = -2 * 256 + 0x8000;
var MINUS_3_DB_OFFSET_B = -3 * 256 + 0x8000;
var MINUS_4_DB_OFFSET_B = -4 * 256 + 0x8000;
var MINUS_5_DB_OFFSET_B = -5 * 256 + 0x8000;
var MINUS_6_DB_OFFSET_B = -6 * 256 + 0x8000;
var MINUS_7_DB_OFFSET_B = -7 * 256 + 0x8000;
var MINUS_8_DB_OFFSET_B = -8 * 256 + 0x8000;
var MINUS_9_DB_OFFSET_B = -9 * 256 + 0x8000;
var MINUS_10_DB_OFFSET_B = -10 * 256 + 0x8000;
var MINUS_12_DB_OFFSET_B = -12 * 256 + 0x8000;
var MINUS_15_DB_OFFSET_B = -15 * 256 + 0x8000;
var MINUS_18_DB_OFFSET_B = -18 * 256 + 0x8000;
var MINUS_20_DB_OFFSET_B = -20 * 256 + 0x8000;
var MINUS_22_DB_OFFSET_B = -22 * 256 + 0x8000;
var MINUS_24_DB_OFFSET_B = -24 * 256 + 0x8000;
var MINUS_30_DB_OFFSET_B = -30 * 256 + 0x8000;
var MINUS_35_DB_OFFSET_B = -35 * 256 + 0x8000;
var MINUS_36_DB_OFFSET_B = -36 * 256 + 0x8000;
var MINUS_40_DB_OFFSET_B = -40 * 256 + 0x8000;
var MINUS_46_DB_OFFSET_B = -46 * 256 + 0x8000;
var MINUS_48_DB_OFFSET_B = -48 * 256 + 0x8000;
var MINUS_50_DB_OFFSET_B = -50 * 256 + 0x8000;
var MINUS_54_DB_OFFSET_B = -54 * 256 + 0x8000;
var MINUS_59_DB_OFFSET_B = -59 * 256 + 0x8000;
var MINUS_62_DB_OFFSET_B = -62 * 256 + 0x8000;
var MINUS_64_DB_OFFSET_B = -64 * 256 + 0x8000;
var MINUS_72_DB_OFFSET_B = -72 * 256 + 0x8000;
var MINUS_90_DB_OFFSET_B = -90 * 256 + 0x8000;

function uwordToGain(value) {
    if (value === 0) {
        return MINUS_INFINITY;
    }
    return value - 0x8000;
}

function gainToUWORD(gain) {
    if (gain === MINUS_INFINITY) {
        return 0;
    }
    return gain + 0x8000;
}
