#pragma once

#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "tests/simulator/cFixedSerialPortList.h"

#include <QString>

#include <memory>

// The whole device model in the program's order (the in/out fader block, then the LOW, MID and HIGH
// panels) on a non-volatile RAM file of its own, with a saves manager and no device. `clear` starts
// the file anew. Needs a running framework (cScopedKVNetSystem); GUI thread.
struct sWholeModel
{
    sWholeModel(const QString& path, qint64 size, bool clear)
        : mStorage(path, size, clear, false)
        , mSerial(nullptr, std::make_unique<cFixedSerialPortList>())
        , mFader(&mStorage, &mSerial, &mSaves)
        , mLow(LOW, &mStorage, &mSerial, &mSaves)
        , mMid(MID, &mStorage, &mSerial, &mSaves)
        , mHigh(HIGH, &mStorage, &mSerial, &mSaves)
    {
    }

    cNonVolatileStorageManager mStorage;
    cSerialInterface mSerial;
    cSavesManager mSaves;
    cInOutFader mFader;
    cLowMidHigh mLow;
    cLowMidHigh mMid;
    cLowMidHigh mHigh;
};
