#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"

#include <array>

// Records waiting in the serial interface's queues. Each is a value: a filter record holds its
// own copy of the coefficient bytes, so the caller's buffer may change as soon as it is queued.
struct sFilterSendRecord
{
    ULONG mFilterId = 0;
    std::array<UBYTE, nSerialProtocol::MAX_FILTER_COEFFICIENT_BYTES> mCoefficients{};
    UBYTE mCoefficientBytes = 0;
    UWORD mFrequencyCode = 0;
    UWORD mWidthCode = 0;
    UWORD mGainCode = 0;
    UBYTE mFilterType = 0;
    UBYTE mBandOption = 0;
    UBYTE mBypass = 0;

    ULONG Id() const { return mFilterId; }
};

struct sControlStripSendRecord
{
    ULONG mStripIndex = 0;
    ULONG mLinearGain = 0;
    UWORD mGainCode = 0;
    UBYTE mPolarity = 0;
    UBYTE mMute = 0;

    ULONG Id() const { return mStripIndex; }
};

struct sDelaySendRecord
{
    ULONG mChannel = 0;
    ULONG mSamples = 0;

    ULONG Id() const { return mChannel; }
};
