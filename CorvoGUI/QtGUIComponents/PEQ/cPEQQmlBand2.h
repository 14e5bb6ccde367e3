#pragma once

#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"

// A parametric band of the response graph (QML type "PEQQmlBand" of module "KVQml" 2.0): bell, shelf,
// pass, notch or contour, drawn from its analogue model. A drag moves its frequency and, where gain
// applies, its gain; a pinch changes its width where width applies (spreading the fingers widens it).
//
// Gain applies to BELL, LFSHELF, HFSHELF and NOTCH; width to BELL and NOTCH; neither to the other
// types. A type byte above HIGH_CONTOUR (from a link) is drawn as a bell without gain or width; QML's
// `type` takes only the known types (others are reported and refused).
//
// Threads: GUI thread only.
class cPEQQmlBand2 : public cPEQQmlBandBase2
{
    Q_OBJECT
    Q_PROPERTY(int type READ type WRITE setType NOTIFY typeChanged)

public:
    // A finger spread changes by less than this between two touch updates (50 mm sweep the width).
    static constexpr double MAX_PINCH_DELTA_MM = 1000.0;

    explicit cPEQQmlBand2(QObject* parent = nullptr);
    ~cPEQQmlBand2() override;

    // Frequency as the base; then, where gain applies, the gain of row y, clamped to the gain range.
    void setDragPos(int XPos, int YPos) override;
    // Width += (width range min - width range max) / 50 per millimetre, clamped to the width range. A
    // spread that is not a number or beyond MAX_PINCH_DELTA_MM is reported and changes nothing.
    void setPinchDelta(double PinchDelta) override;
    void UpdateSPlaneCalculation(bool fullResolution) override;
    // From the driver: stores the type and recalculates (coarse, then refined by the timer).
    void SetBandTypeValue(UBYTE type) override;
    UBYTE GetBandTypeValue() const override { return mType; }
    bool IsGainApplicable() const override;
    bool IsWidthApplicable() const override;

    int type() const { return mType; }

public slots:
    // From QML: a differing known type is stored, announced and drawn.
    void setType(int type);

signals:
    void typeChanged(nPEQ::eParametricEQType type);

private:
    UBYTE mType = nPEQ::BELL;
};
