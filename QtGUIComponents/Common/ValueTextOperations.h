#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "QtGUIComponents/Common/cValueUnitStrings.h"

#include <QString>

// The number and unit texts the value formatters are made of. Pure functions: any thread.
// Every number text uses '.' as its decimal point whatever the locale.

// The most decimals a number text shows: a larger count (or a negative one) from a caller is
// brought into 0..MAX_TEXT_DECIMALS, so that no count makes a text without bound.
constexpr int MAX_TEXT_DECIMALS = 20;

// x rounded half away from zero (2.25 -> 2.3, -2.25 -> -2.3 at one place). x unchanged when
// decimalPlaces is outside 0..4, or when x * 10^decimalPlaces is not finite or not within the
// 32-bit signed range.
double RoundToDecimalPlaces(int decimalPlaces, double x);
// x truncated toward zero (-0.19 -> -0.1 at one place); x unchanged in the same cases as above.
double TruncateToDecimalPlaces(int decimalPlaces, double x);

// x in fixed notation with that many decimals (brought into 0..MAX_TEXT_DECIMALS), no padding.
QString FixedText(double x, int decimals);
// The separator (empty when compressUnits, else one blank) followed by the translated unit.
QString UnitText(const QString& translatedUnit, bool compressUnits);

// Hz >= 1000: kilohertz rounded to 2 places, unit "kHz"; 100 <= Hz < 1000: whole hertz, unit
// "Hz"; below 100: hertz rounded to one place, unit "Hz". The band is chosen before rounding.
cValueUnitStrings FrequencyText(double hertz, bool compressUnits);
// As FrequencyText, but kilohertz rounded to one place with the unit "k".
cValueUnitStrings CompactFrequencyText(double hertz, bool compressUnits);

// A frequency label with the letter k for kilohertz only: "1.50k" ("2k" when compact), "99.9"
// ("100" when compact below 100 Hz), "250".
QString FrequencyLabelText(double hertz, bool compact);
// The gain of a gain code times scale in whole decibels, with "+" in front of positive numbers.
QString SignedGainText(UWORD value, float scale);
