#pragma once

#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"

// A high-pass band of the response graph (QML type "HPFQmlBand" of module "KVQml" 2.0): 12, 18 or
// 24 dB Butterworth or 18 dB Bessel (nPEQ::eHighPassType, held as a number; unknown values are drawn
// as the 12 dB Butterworth). It has no gain or width: a drag moves its frequency only, a pinch does
// nothing. It computes every column on every pass.
//
// Threads: GUI thread only.
class cHPFQmlBand2 : public cPEQQmlBandBase2
{
    Q_OBJECT

public:
    explicit cHPFQmlBand2(QObject* parent = nullptr);
    ~cHPFQmlBand2() override;

    void UpdateSPlaneCalculation(bool fullResolution) override;
    // Stores the type and requests a recalculation from the back end's timer.
    void SetBandTypeValue(UBYTE type) override;
    UBYTE GetBandTypeValue() const override { return mType; }
    bool IsGainApplicable() const override { return false; }
    bool IsWidthApplicable() const override { return false; }

signals:
    // Declared for QML; never emitted.
    void highPassTypeChanged(nPEQ::eHighPassType type);

private:
    UBYTE mType = nPEQ::HPF_BUTTERWORTH_12_DB;
};
