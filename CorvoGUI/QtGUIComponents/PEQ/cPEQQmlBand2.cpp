#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"

#include "CorvoGUI/Core/Units/FieldDomain.h"
#include "CorvoGUI/Core/Units/ParametricEQTables.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QtGlobal>

#include <cmath>

cPEQQmlBand2::cPEQQmlBand2(QObject* parent)
    : cPEQQmlBandBase2(parent)
{
}

cPEQQmlBand2::~cPEQQmlBand2() = default;

bool cPEQQmlBand2::IsGainApplicable() const
{
    return mType == nPEQ::BELL || mType == nPEQ::LFSHELF || mType == nPEQ::HFSHELF || mType == nPEQ::NOTCH;
}

bool cPEQQmlBand2::IsWidthApplicable() const
{
    return mType == nPEQ::BELL || mType == nPEQ::NOTCH;
}

void cPEQQmlBand2::setDragPos(int XPos, int YPos)
{
    if (mBackEnd == nullptr)
    {
        return;
    }
    const bool frequencyChanged = DragFrequency(XPos);
    if (IsGainApplicable())
    {
        const double gain = std::trunc(mBackEnd->YToGain(qMax(YPos, 0)));
        const GAIN clamped =
            GAIN(qBound(double(mGainRangeMin), gain, double(qMax(mGainRangeMin, mGainRangeMax))));
        if (clamped != mGain)
        {
            mGain = clamped;
            emit GainChanged();
            UpdateSPlaneCalculation(false);
            return;
        }
    }
    if (frequencyChanged)
    {
        UpdateSPlaneCalculation(false);
    }
}

void cPEQQmlBand2::setPinchDelta(double PinchDelta)
{
    if (!IsWidthApplicable())
    {
        return;
    }
    if (!(std::abs(PinchDelta) <= MAX_PINCH_DELTA_MM))
    {
        KV_REPORT_ERROR("Pinch of %g mm refused", PinchDelta);
        return;
    }
    const double step = (double(mWidthRangeMin) - double(mWidthRangeMax)) / 50.0;
    const double width = qBound(double(mWidthRangeMin), step * PinchDelta + mWidth, double(mWidthRangeMax));
    if (qFuzzyCompare(width, double(mWidth)))
    {
        return;
    }
    mWidth = UWORD(width);
    emit WidthChanged();
    UpdateSPlaneCalculation(false);
}

void cPEQQmlBand2::UpdateSPlaneCalculation(bool fullResolution)
{
    if (mBackEnd == nullptr)
    {
        return;
    }
    const int index = mWidth >> 8;
    if (index >= nParametricEQTables::Q_TABLE_SIZE)
    {
        KV_REPORT_ERROR("Width index out of range %d", index);
    }
    const nPEQGraph::sSPlaneSection section =
        nPEQGraph::ParametricBandSection(mType, mFrequency, mWidth, mGain);
    RunPass(fullResolution ? 1 : COARSE_STEP, fullResolution,
            [&](int i)
            { return nPEQGraph::MagnitudeDb(section, mOmega[size_t(i)], mOmegaSquared[size_t(i)]); });
}

void cPEQQmlBand2::SetBandTypeValue(UBYTE type)
{
    mType = type;
    UpdateSPlaneCalculation(false);
}

void cPEQQmlBand2::setType(int type)
{
    if (!nFieldDomains::BAND_TYPE.Contains(type))
    {
        KV_REPORT_ERROR("Unknown band type %d refused", type);
        return;
    }
    if (type == mType)
    {
        return;
    }
    mType = UBYTE(type);
    emit typeChanged(nPEQ::eParametricEQType(type));
    UpdateSPlaneCalculation(false);
    emit graphDragPointChanged();
}
