#pragma once

#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "KVNet/Core/KVNetTypes.h"

// The values one stored field of a unit may hold. A unit stores only values inside its fields'
// domains, whichever way they come in, so whatever it stores it loads again:
// - the device's records at a sync: a value outside is brought in (BringIn) and reported once, naming
//   the unit and the field;
// - parameter messages: their wire values map into the domain, or are refused where they cannot
//   (an unknown type);
// - a recalled record: a field outside refuses the whole file (cSaveObject::CheckRecord);
// - the unit's non-volatile block at start-up: a field outside is mended to its default, the others
//   kept (cNonVolatileBlock::Mend).
// Plain values, any thread.
struct sFieldDomain
{
    // What a value from outside the domain becomes when it comes from the device.
    enum eFromOutside
    {
        TAKE_NEAREST_END, // for example a gain below minus infinity is minus infinity
        KEEP_CURRENT,     // for example an unknown type: the unit keeps its own
    };

    long long mLowest;
    long long mHighest;
    eFromOutside mFromOutside;
    // How reports name the lowest value; null: its number.
    const char* mLowestName;

    constexpr bool Contains(long long value) const { return value >= mLowest && value <= mHighest; }
    // The value itself inside the domain; outside, the nearest end or `current`.
    constexpr long long BringIn(long long value, long long current) const
    {
        if (Contains(value))
        {
            return value;
        }
        if (mFromOutside == KEEP_CURRENT)
        {
            return current;
        }
        return value < mLowest ? mLowest : mHighest;
    }
};

// The domains of the units' stored fields, each defined here once.
namespace nFieldDomains
{

// Mute, polarity, bypass and gang flags: 0 off, 1 on. The device's 16-bit fields say on by anything
// but 0.
constexpr sFieldDomain FLAG = {0, 1, sFieldDomain::TAKE_NEAREST_END, nullptr};
// Gains in 1/256 dB, from minus infinity up; -32768 is no gain.
constexpr sFieldDomain GAIN = {GAIN_MINUS_INFINITY, 32767, sFieldDomain::TAKE_NEAREST_END, "minus infinity"};
// Frequency, width and delay time codes: every 16-bit code stands for a value.
constexpr sFieldDomain CODE = {0, 0xFFFF, sFieldDomain::TAKE_NEAREST_END, nullptr};
// A parametric EQ band's option byte.
constexpr sFieldDomain BAND_OPTION = {0, 0xFF, sFieldDomain::TAKE_NEAREST_END, nullptr};
// A parametric EQ band's type (nPEQ::eParametricEQType).
constexpr sFieldDomain BAND_TYPE = {nPEQ::BELL, nPEQ::HIGH_CONTOUR, sFieldDomain::KEEP_CURRENT, nullptr};
// A high-pass or low-pass unit's slope type (nPEQ::eHighPassType).
constexpr sFieldDomain SLOPE_TYPE = {nPEQ::HPF_BUTTERWORTH_12_DB, nPEQ::HPF_BESSEL_18_DB,
                                     sFieldDomain::KEEP_CURRENT, nullptr};

} // namespace nFieldDomains
