#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"

#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"

cHPFQmlBand2::cHPFQmlBand2(QObject* parent)
    : cPEQQmlBandBase2(parent)
{
}

cHPFQmlBand2::~cHPFQmlBand2() = default;

void cHPFQmlBand2::UpdateSPlaneCalculation(bool fullResolution)
{
    if (mBackEnd == nullptr)
    {
        return;
    }
    const double w0 = nPEQGraph::AngularFrequency(mFrequency);
    const int type = mType;
    RunPass(1, fullResolution,
            [&](int i) {
                return nPEQGraph::HighPassMagnitudeDb(type, w0, mOmega[size_t(i)], mOmegaSquared[size_t(i)]);
            });
}

void cHPFQmlBand2::SetBandTypeValue(UBYTE type)
{
    mType = type;
    SetRecalculationRequested(true);
}
