#include "QtGUIComponents/Widgets/GraphicsScaling.h"

#include <QtGlobal>

#include <atomic>
#include <cmath>
#include <limits>

namespace
{

std::atomic<double> gScreenScalingFactor{1.0};
std::atomic<double> gFontScalingFactor{1.0};
std::atomic<double> gAuxiliaryScalingFactor{1.0};

} // namespace

double GetScreenScalingFactor()
{
    return gScreenScalingFactor.load();
}

double GetFontScalingFactor()
{
    return gFontScalingFactor.load();
}

void SetScalingFactors(double factor)
{
    gScreenScalingFactor.store(factor);
    gFontScalingFactor.store(factor);
}

double GetAuxiliaryScalingFactor()
{
    return gAuxiliaryScalingFactor.load();
}

void SetAuxiliaryScalingFactor(double factor)
{
    gAuxiliaryScalingFactor.store(factor);
}

double GetUnitScalingFactor()
{
    return 1.0;
}

int TruncatedToInt(double value)
{
    if (!std::isfinite(value))
    {
        return 0;
    }
    if (value >= double(std::numeric_limits<int>::max()))
    {
        return std::numeric_limits<int>::max();
    }
    if (value <= double(std::numeric_limits<int>::min()))
    {
        return std::numeric_limits<int>::min();
    }
    return int(value);
}

int ValueToPixel(int value, int low, int high, int length)
{
    if (high == low)
    {
        return 0;
    }
    const float span = float(qint64(high) - qint64(low));
    const float offset = float(qint64(value) - qint64(low));
    return TruncatedToInt(std::round(float(length) / span * offset));
}

int ValueToPixelFloor(int value, float scale, int offset)
{
    return TruncatedToInt(std::floor(scale * float(qint64(value) - qint64(offset))));
}

float ValueToPixelF(int value, float scale, int offset)
{
    return float(qint64(value) - qint64(offset)) * scale;
}

int CeilOffset(float a, float b, int offset)
{
    return TruncatedToInt(double(offset) + std::ceil(double(a / b)));
}

float ClampedValueToPixel(int value, float scale, int low, int high, float length)
{
    if (value > high)
    {
        return float(TruncatedToInt(length));
    }
    if (value < low)
    {
        return 0.0f;
    }
    return float(qint64(value) - qint64(low)) * scale;
}
