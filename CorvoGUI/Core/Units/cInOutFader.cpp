#include "CorvoGUI/Core/Units/cInOutFader.h"

#include "CorvoGUI/Core/Units/cControlStripDriver.h"

#include <cstdio>

namespace
{

const char* const kInputSides[] = {"Input L", "Input R"};
const char* const kOutputSides[] = {"L", "R"};
constexpr int kInputStrips = 2;

} // namespace

cInOutFader::cInOutFader(cNonVolatileStorageManager* storage, cSerialInterface* serial,
                         cSaveObjectRegistry* saves)
{
    for (int index = 0; index < NUMBER_OF_STRIPS; ++index)
    {
        const std::string name = StripName(index);
        mStrips[index] = std::make_unique<cControlStripDriver>(name.c_str(), storage, serial, saves,
                                                               ULONG(index), InvertsPolarity(index));
    }
}

cInOutFader::~cInOutFader()
{
    for (std::unique_ptr<cControlStripDriver>& strip : mStrips)
    {
        strip.reset();
    }
}

cControlStripDriver* cInOutFader::GetStrip(int index) const
{
    return index >= 0 && index < NUMBER_OF_STRIPS ? mStrips[index].get() : nullptr;
}

cControlStripUnit* cInOutFader::GetUnit(int index) const
{
    const cControlStripDriver* strip = GetStrip(index);
    return strip != nullptr ? strip->GetUnit() : nullptr;
}

std::string cInOutFader::StripName(int index)
{
    char name[64] = {};
    if (index < 0 || index >= NUMBER_OF_STRIPS)
    {
        return std::string();
    }
    if (index < kInputStrips)
    {
        std::snprintf(name, sizeof name, "InOutFader:%s Control Strip Unit", kInputSides[index]);
    }
    else
    {
        const int output = index - kInputStrips;
        std::snprintf(name, sizeof name, "InOutFader:%s Control Strip Unit%d", kOutputSides[output % 2],
                      output / 2 + 1);
    }
    return name;
}

bool cInOutFader::InvertsPolarity(int index)
{
    return index >= kInputStrips && index < NUMBER_OF_STRIPS;
}
