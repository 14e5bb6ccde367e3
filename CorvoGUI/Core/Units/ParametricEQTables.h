#pragma once

#include "KVNet/Core/KVNetTypes.h"

// Tables of the parametric EQ. Pure functions, any thread.
namespace nParametricEQTables
{

constexpr int Q_TABLE_SIZE = 45;

// Q of a width code: the code's high byte indexes the 45-entry table, capped at its last entry.
double QFromWidthCode(UWORD widthCode);
// Q of table entry index (capped at 44).
double QTableEntry(int index);

// The frequency codes band `band` of an EQ of `bands` bands may take. A band at or beyond the
// count gives 0; a count without ranges (other than 1, 2, 3, 4, 6, 8) is reported and gives 0.
UWORD FrequencyRangeLower(int bands, int band);
UWORD FrequencyRangeUpper(int bands, int band);

} // namespace nParametricEQTables
