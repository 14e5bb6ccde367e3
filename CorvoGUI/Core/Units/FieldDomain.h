#pragma once

#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "KVNet/Core/KVNetTypes.h"

#include <string>

// The values one stored field of a unit may hold. A unit stores only values inside its fields'
// domains, whichever way they come in, so whatever it stores it loads again:
// - the device's records at a sync: a value outside is brought in (BringIn) and reported once, naming
//   the unit and the field, unless it is how the device says the value (a flag's nonzero: on);
// - parameter messages: their wire values map into the domain, or are refused where they cannot
//   (an unknown type);
// - a recalled record: a field outside refuses the whole file (cSaveObject::ReadSavedField);
// - the unit's non-volatile block at start-up: a field outside is mended to its default, the others
//   kept (cNonVolatileBlock::Mend).
// A unit may take less than a domain where the window offers less (a band's types, a filter's
// slopes): it refuses the rest by message and from the device, and reads the earlier version's
// stored ones as its default, said once (cSaveObject::NoteReadAs, cNonVolatileBlock::MendReadAs).
// One value outside may stand for the lowest wherever it comes in (StandsForLowest): a gain one below
// minus infinity is minus infinity, at a sync, in a recalled record and in the non-volatile block
// alike, for earlier versions stored a device's gain of 0x8000 as it came and showed it as minus
// infinity. Such a value is taken as the lowest, said once, and is no failure.
// Plain values, any thread.
struct sFieldDomain
{
    // What a value from outside the domain becomes when it comes from the device.
    enum eFromOutside
    {
        TAKE_NEAREST_END, // for example a gain below minus infinity is minus infinity
        KEEP_CURRENT,     // for example an unknown type: the unit keeps its own
        NONZERO_IS_ON,    // a flag: the device says on by anything but 0, and means it so (no fault)
    };

    long long mLowest;
    long long mHighest;
    eFromOutside mFromOutside;
    // How reports name the lowest value; null: its number.
    const char* mLowestName;
    // True where the value one below the lowest stands for the lowest at every way in.
    bool mOneBelowIsLowest;

    constexpr bool Contains(long long value) const { return value >= mLowest && value <= mHighest; }
    // True for the one value outside the domain that is taken as its lowest wherever it comes in.
    constexpr bool StandsForLowest(long long value) const
    {
        return mOneBelowIsLowest && value == mLowest - 1;
    }
    // True when a stored or recalled value can be taken: inside, or standing for the lowest.
    constexpr bool Reads(long long value) const { return Contains(value) || StandsForLowest(value); }
    // What a value that Reads is taken as: itself inside the domain, else the lowest.
    constexpr long long ReadAs(long long value) const { return Contains(value) ? value : mLowest; }
    // The value itself inside the domain; outside, the lowest for a value standing for it, else the
    // nearest end or `current`.
    constexpr long long BringIn(long long value, long long current) const
    {
        if (Contains(value))
        {
            return value;
        }
        if (StandsForLowest(value))
        {
            return mLowest;
        }
        if (mFromOutside == KEEP_CURRENT)
        {
            return current;
        }
        if (mFromOutside == NONZERO_IS_ON)
        {
            return value != 0 ? mHighest : mLowest;
        }
        return value < mLowest ? mLowest : mHighest;
    }
    // True for a value from the device outside the domain that is no fault, as the device says a value
    // of the domain so (a flag's nonzero is on).
    constexpr bool OutsideIsNoFault(long long value) const
    {
        return !Contains(value) && mFromOutside == NONZERO_IS_ON;
    }
};

// The domains of the units' stored fields, each defined here once.
namespace nFieldDomains
{

// Mute, polarity, bypass and gang flags: 0 off, 1 on. The device's 16-bit fields say on by anything
// but 0, which a sync takes as on without a report; stored elsewhere, a flag other than 0 or 1 is
// damage.
constexpr sFieldDomain FLAG = {0, 1, sFieldDomain::NONZERO_IS_ON, nullptr, false};
// Gains in 1/256 dB, from minus infinity up; -32768, one below, stands for minus infinity.
constexpr sFieldDomain GAIN = {GAIN_MINUS_INFINITY, 32767, sFieldDomain::TAKE_NEAREST_END, "minus infinity",
                               true};
// A parametric EQ band's type (nPEQ::eParametricEQType).
constexpr sFieldDomain BAND_TYPE = {nPEQ::BELL, nPEQ::HIGH_CONTOUR, sFieldDomain::KEEP_CURRENT, nullptr,
                                    false};
// A high-pass or low-pass unit's slope type (nPEQ::eHighPassType).
constexpr sFieldDomain SLOPE_TYPE = {nPEQ::HPF_BUTTERWORTH_12_DB, nPEQ::HPF_BESSEL_18_DB,
                                     sFieldDomain::KEEP_CURRENT, nullptr, false};

// How reports name a value of the domain: its lowest by name where it has one, else the number.
inline std::string ValueText(const sFieldDomain& domain, long long value)
{
    return value == domain.mLowest && domain.mLowestName != nullptr ? std::string(domain.mLowestName)
                                                                    : std::to_string(value);
}

} // namespace nFieldDomains
