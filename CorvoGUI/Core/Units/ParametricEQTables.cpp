#include "CorvoGUI/Core/Units/ParametricEQTables.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>
#include <array>

namespace nParametricEQTables
{

namespace
{

constexpr std::array<double, Q_TABLE_SIZE> kQTable = {
    0.404, 0.422, 0.442,  0.464,  0.486,  0.511, 0.537,  0.565,  0.596, 0.63,  0.667, 0.707,
    0.752, 0.801, 0.857,  0.92,   0.991,  1.073, 1.169,  1.281,  1.415, 1.492, 1.578, 1.673,
    1.781, 1.903, 2.041,  2.145,  2.388,  2.608, 2.872,  3.194,  3.596, 4.319, 4.801, 5.765,
    7.209, 8.653, 11.096, 12.981, 16.027, 17.31, 23.081, 28.852, 34.623};

struct sRange
{
    UWORD mLower;
    UWORD mUpper;
};

constexpr std::array<sRange, 1> kOneBand = {{{10699, 41314}}};
constexpr std::array<sRange, 2> kTwoBands = {{{10699, 47406}, {22611, 56622}}};
constexpr std::array<sRange, 4> kFourBands = {
    {{10699, 26007}, {14420, 36707}, {32098, 47406}, {41314, 56622}}};
constexpr std::array<sRange, 8> kEightBands = {{{10699, 30615},
                                                {10699, 30615},
                                                {19915, 39831},
                                                {19915, 39831},
                                                {36707, 56622},
                                                {36707, 56622},
                                                {36707, 56622},
                                                {36707, 56622}}};

// The range of band `band`, or false (with range 0) when there is none.
bool FindRange(int bands, int band, sRange& range)
{
    range = {0, 0};
    const sRange* table = nullptr;
    switch (bands)
    {
    case 1:
        table = kOneBand.data();
        break;
    case 2:
        table = kTwoBands.data();
        break;
    case 3:
    case 4:
        table = kFourBands.data();
        break;
    case 6:
    case 8:
        table = kEightBands.data();
        break;
    default:
        KV_REPORT_ERROR("Unknown number of bands");
        return false;
    }
    if (band < 0 || band >= bands)
    {
        return false;
    }
    range = table[band];
    return true;
}

} // namespace

double QTableEntry(int index)
{
    return kQTable[size_t(std::clamp(index, 0, Q_TABLE_SIZE - 1))];
}

double QFromWidthCode(UWORD widthCode)
{
    return QTableEntry(widthCode >> 8);
}

UWORD FrequencyRangeLower(int bands, int band)
{
    sRange range;
    FindRange(bands, band, range);
    return range.mLower;
}

UWORD FrequencyRangeUpper(int bands, int band)
{
    sRange range;
    FindRange(bands, band, range);
    return range.mUpper;
}

} // namespace nParametricEQTables
