#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <array>
#include <memory>
#include <string>

class cControlStripDriver;
class cControlStripUnit;
class cNonVolatileStorageManager;
class cSaveObjectRegistry;
class cSerialInterface;

// The in/out fader block: the eight control strips of the device, built in strip-index order (so
// their non-volatile blocks and save records follow that order) and deleted in the same order.
//
//   index  unit name                               polarity towards the device
//   0      "InOutFader:Input L Control Strip Unit"  as the user's
//   1      "InOutFader:Input R Control Strip Unit"  as the user's
//   2      "InOutFader:L Control Strip Unit1"       inverted
//   3      "InOutFader:R Control Strip Unit1"       inverted
//   4, 5   ... L / R Control Strip Unit2            inverted
//   6, 7   ... L / R Control Strip Unit3            inverted
//
// Threads: constructed and destroyed on the GUI thread (see cControlStripDriver).
class cInOutFader
{
public:
    static constexpr int NUMBER_OF_STRIPS = 8;

    cInOutFader(cNonVolatileStorageManager* storage, cSerialInterface* serial, cSaveObjectRegistry* saves);
    ~cInOutFader();
    cInOutFader(const cInOutFader&) = delete;
    cInOutFader& operator=(const cInOutFader&) = delete;

    // The strip of that index; null out of range.
    cControlStripDriver* GetStrip(int index) const;
    cControlStripUnit* GetUnit(int index) const;

    // The unit name of strip index; "" out of range.
    static std::string StripName(int index);
    // True for the six output strips, whose polarity is inverted towards the device.
    static bool InvertsPolarity(int index);

private:
    std::array<std::unique_ptr<cControlStripDriver>, NUMBER_OF_STRIPS> mStrips;
};
