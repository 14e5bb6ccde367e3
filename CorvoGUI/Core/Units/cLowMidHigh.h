#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cDelayDriver;
class cHPFDriver;
class cLPFDriver;
class cNonVolatileStorageManager;
class cParametricEQDriver;
class cParametricEQGangDriver;
class cSaveObjectRegistry;
class cSerialInterface;

// Types of the low/mid/high panels.
enum ePanelType
{
    LOW = 1,
    MID = 2,
    HIGH = 3,
};

// One processing path of the device (a left/right channel pair): builds, in this order, the
// high-pass driver, the low-pass driver, the delay driver, the left and the right parametric EQ
// driver and their gang, and deletes them in the same order. Each allocates its NV block and
// registers its save object as it is built, so this order is the panel's part of the NV file and
// of a saves file.
//
//   type  PEQ bands  high-pass sections  low-pass sections  channels  delay channels
//   LOW   2          1                   1                  0, 1      0, 1
//   MID   4          1                   1                  2, 3      2, 3
//   HIGH  6          2                   0                  4, 5      4, 5
//
// Filter slots within a channel: high-pass 0 (and 1 for its second section), low-pass 1, EQ band
// b at 2 + b. Another type reports "Invalid Low/Mid/High PanelType. Assuming HIGH mode" and is
// built as HIGH.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker. The storage, serial interface and saves registry must outlive the panel.
class cLowMidHigh
{
public:
    static constexpr double SAMPLE_RATE = 96000.0;
    static constexpr double SAMPLE_PERIOD = 1.0 / SAMPLE_RATE;
    static constexpr double PEQ_SCALE = 8.0;
    static constexpr double PEQ_FACTOR = 2147483647.0;
    static constexpr UBYTE HPF_SLOT = 0;
    static constexpr UBYTE LPF_SLOT = 1;
    static constexpr UBYTE PEQ_SLOT = 2;

    struct sConfiguration
    {
        UBYTE mBands;
        UBYTE mHighPassSections;
        UBYTE mLowPassSections;
        UBYTE mChannelBase;
        UBYTE mDelayIndex;
    };
    // The configuration of a type (HIGH's for an unknown one).
    static sConfiguration ConfigurationOf(int type);

    cLowMidHigh(int type, cNonVolatileStorageManager* storage, cSerialInterface* serial,
                cSaveObjectRegistry* saves);
    ~cLowMidHigh();
    cLowMidHigh(const cLowMidHigh&) = delete;
    cLowMidHigh& operator=(const cLowMidHigh&) = delete;

    ePanelType GetType() const { return mType; }
    const sConfiguration& GetConfiguration() const { return mConfiguration; }
    cHPFDriver* GetHPFDriver() const { return mHPF; }
    cLPFDriver* GetLPFDriver() const { return mLPF; }
    cDelayDriver* GetDelayDriver() const { return mDelay; }
    cParametricEQDriver* GetLeftEQDriver() const { return mLeftEQ; }
    cParametricEQDriver* GetRightEQDriver() const { return mRightEQ; }
    cParametricEQGangDriver* GetGangDriver() const { return mGang; }

private:
    ePanelType mType;
    sConfiguration mConfiguration;
    cHPFDriver* mHPF = nullptr;
    cLPFDriver* mLPF = nullptr;
    cDelayDriver* mDelay = nullptr;
    cParametricEQDriver* mLeftEQ = nullptr;
    cParametricEQDriver* mRightEQ = nullptr;
    cParametricEQGangDriver* mGang = nullptr;
};
