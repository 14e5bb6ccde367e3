#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QObject>

// Filter types of the processing units, exported to QML as "PEQTypes".
namespace nPEQ
{
Q_NAMESPACE

// Band types of the parametric EQ.
enum eParametricEQType
{
    BELL = 0,
    LFSHELF = 1,
    HFSHELF = 2,
    LPASS = 3,
    HPASS = 4,
    NOTCH = 5,
    LOW_CONTOUR = 6,
    HIGH_CONTOUR = 7,
};
Q_ENUM_NS(eParametricEQType)

// Slope types of the high-pass and low-pass units.
enum eHighPassType
{
    HPF_BUTTERWORTH_12_DB = 0,
    HPF_BUTTERWORTH_18_DB = 1,
    HPF_BUTTERWORTH_24_DB = 2,
    HPF_BESSEL_18_DB = 3,
};
Q_ENUM_NS(eHighPassType)

} // namespace nPEQ
