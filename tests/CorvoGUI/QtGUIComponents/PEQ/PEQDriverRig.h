#pragma once

// A parametric EQ unit of the device model and a PEQ driver linked to it the way the low/mid/high
// panel links them, through the system builder; messages are delivered by the message pump.

#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQNetObject2.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"

#include <QByteArray>

#include <memory>

// The unit, the driver, and a recorder that sees everything the driver's net object sends. Needs a
// started system with a system builder.
class cPEQDriverRig
{
public:
    explicit cPEQDriverRig(UBYTE bands)
        : mBands(bands)
        , mUnitName(QByteArray("LMH 2: L Parametric EQ Unit"))
        , mEQ(std::make_unique<cParametricEQDriver>(mUnitName.constData(), mStorage.Get(), nullptr, nullptr,
                                                    bands, 8.0, 1.0 / 96000.0, 96000.0, 2147483647.0, 0, 2,
                                                    2))
        , mDriver(std::make_unique<cPEQDriver>("LMH 2: Left PEQ Block Channel Parametric EQ Graph", bands))
        , mRecorder(
              std::make_unique<cRecordingNetObject>("PEQ graph recorder", KV_NET_DATA_SCALE(7 * bands + 3)))
    {
        for (KV_NET_DATA_SCALE method = PARAMETER_BASE; method < PARAMETER_BASE + 7 * bands + 3; ++method)
        {
            Net().AddObjectToInformList(KV_NET_LOCAL_CONNECTION, mRecorder->GetHandle(), method, method, 0, 0,
                                        false);
        }
    }

    // Links as the low/mid/high panel does: every band item by its unit parameter, the first and
    // last band's type, no band pass, then the unit bypass as "fully bypassed".
    bool LinkLikeThePanel()
    {
        bool ok = true;
        for (UBYTE b = 0; b < mBands; ++b)
        {
            const UWORD type = b == 0 ? cParametricEQUnit::P_FIRST_TYPE
                                      : (b == mBands - 1 ? cParametricEQUnit::P_LAST_TYPE : 0);
            ok &= mDriver->LinkBand(b, UnitName(), cParametricEQUnit::BandBypassParameter(b),
                                    cParametricEQUnit::RangeParameter(b),
                                    cParametricEQUnit::FrequencyParameter(b),
                                    cParametricEQUnit::WidthParameter(b), cParametricEQUnit::GainParameter(b),
                                    type, 0, 0, false, 0, 0, 0, 0, 0, 0, 0, 0, 26007);
        }
        ok &= mDriver->LinkFullyBypassed(UnitName(), cParametricEQUnit::P_BYPASS, false);
        return ok && SettleLinks();
    }

    const char* UnitName() const { return mUnitName.constData(); }
    cParametricEQUnit& Unit() { return *mEQ->GetUnit(); }
    cPEQDriver& Driver() { return *mDriver; }
    cPEQNetObject2& Net() { return *mDriver->GetNetObject(); }
    cRecordingNetObject& Recorder() { return *mRecorder; }
    int Sent() const { return int(mRecorder->Received().size()); }

private:
    UBYTE mBands;
    QByteArray mUnitName;
    cTestStorage mStorage;
    std::unique_ptr<cParametricEQDriver> mEQ;
    std::unique_ptr<cPEQDriver> mDriver;
    std::unique_ptr<cRecordingNetObject> mRecorder;
};
