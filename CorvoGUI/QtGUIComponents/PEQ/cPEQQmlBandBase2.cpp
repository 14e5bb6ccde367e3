#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QPainterPath>
#include <QtGlobal>

#include <cmath>
#include <limits>

cPEQQmlBandBase2::cPEQQmlBandBase2(QObject* parent)
    : QObject(parent)
    , mPath(new QPainterPathWrapper(this))
    , mLinePath(new QPainterPathWrapper(this))
{
}

cPEQQmlBandBase2::~cPEQQmlBandBase2() = default;

QPointF cPEQQmlBandBase2::graphDragPoint() const
{
    if (mBackEnd == nullptr)
    {
        return QPointF(0.0, 0.0);
    }
    const double dB = IsGainApplicable() ? double(mGain) / 256.0 : 0.0;
    return QPointF(mBackEnd->FrequencyFraction(mFrequency), mBackEnd->GainFraction(dB));
}

bool cPEQQmlBandBase2::DragFrequency(int x)
{
    if (mBackEnd == nullptr)
    {
        return false;
    }
    const UWORD code = qBound(mFrequencyRangeMin, mBackEnd->XToFrequencyCode(qMax(x, 0)),
                              qMax(mFrequencyRangeMin, mFrequencyRangeMax));
    if (code == mFrequency)
    {
        return false;
    }
    mFrequency = code;
    emit FreqChanged();
    return true;
}

void cPEQQmlBandBase2::setDragPos(int XPos, int)
{
    if (DragFrequency(XPos))
    {
        UpdateSPlaneCalculation(false);
        emit graphDragPointChanged();
    }
}

void cPEQQmlBandBase2::setPinchDelta(double) {}

void cPEQQmlBandBase2::SetBackEnd(cPEQQmlBackEnd2* backEnd)
{
    mBackEnd = backEnd;
}

cPEQQmlBackEnd2* cPEQQmlBandBase2::GetBackEnd() const
{
    return mBackEnd;
}

void cPEQQmlBandBase2::ResizePointTables(int n)
{
    if (mBackEnd == nullptr || n < 0)
    {
        return;
    }
    mOmega.resize(size_t(n) + 1);
    mOmegaSquared.resize(size_t(n) + 1);
    for (int i = 0; i <= n; ++i)
    {
        const double omega = 2.0 * nPEQGraph::PI * ConvertUWORDToFrequency(mBackEnd->XToFrequencyCode(i));
        mOmega[size_t(i)] = omega;
        mOmegaSquared[size_t(i)] = omega * omega;
    }
}

void cPEQQmlBandBase2::SetBypassed(bool bypassed)
{
    if (bypassed == mBypassed)
    {
        return;
    }
    mBypassed = bypassed;
    if (mAddToCombined && mBackEnd != nullptr)
    {
        mBackEnd->SetCombinedPathDirty();
    }
    emit bypassedChanged();
}

void cPEQQmlBandBase2::SetRecalculationRequested(bool requested)
{
    mRecalculationRequested = requested;
    if (requested && mBackEnd != nullptr)
    {
        mBackEnd->Update();
    }
}

void cPEQQmlBandBase2::SetRefinementPending(bool pending)
{
    mRefinementPending = pending;
    if (pending && mBackEnd != nullptr)
    {
        mBackEnd->Update();
    }
}

double cPEQQmlBandBase2::MagnitudeAtColumn(int column) const
{
    const size_t index = size_t(qMax(column, 0) / mMagnitudeStep);
    return index < mMagnitudes.size() ? mMagnitudes[index] : 0.0;
}

void cPEQQmlBandBase2::FinishPass(bool fullResolution)
{
    if (mBackEnd == nullptr)
    {
        return;
    }
    QVector<QPointF> points;
    points.reserve(int(mMagnitudes.size()));
    for (size_t k = 0; k < mMagnitudes.size(); ++k)
    {
        points.append(QPointF(double(k) * mMagnitudeStep, mBackEnd->GainToY(mMagnitudes[k])));
    }
    const QVector<QPointF> kept = nPEQGraph::SimplifyPoints(points);
    const double zeroY = mBackEnd->GainToY(0.0);
    QPainterPath line;
    QPainterPath fill;
    fill.moveTo(0.0, zeroY);
    for (int i = 0; i < kept.size(); ++i)
    {
        if (i == 0)
        {
            line.moveTo(kept[i]);
        }
        else
        {
            line.lineTo(kept[i]);
        }
        fill.lineTo(kept[i]);
    }
    fill.lineTo(mBackEnd->GetPixelWidth() + 1, zeroY);
    fill.closeSubpath();
    mLinePath->setPath(line);
    mPath->setPath(fill);

    if (!fullResolution)
    {
        SetRefinementPending(true);
    }
    else if (!mBypassed && mAddToCombined && mBackEnd->calculateCombinedCurve())
    {
        mBackEnd->SetCombinedPathDirty();
    }
}

void cPEQQmlBandBase2::SetFrequency(UWORD frequency)
{
    if (frequency == mFrequency)
    {
        return;
    }
    mFrequency = frequency;
    UpdateSPlaneCalculation(true);
    emit graphDragPointChanged();
}

void cPEQQmlBandBase2::SetWidth(UWORD width)
{
    if (width == mWidth)
    {
        return;
    }
    mWidth = width;
    UpdateSPlaneCalculation(true);
}

void cPEQQmlBandBase2::SetGain(UWORD gain)
{
    const GAIN value = GAIN(gain);
    if (value == mGain)
    {
        return;
    }
    mGain = value;
    UpdateSPlaneCalculation(true);
    emit graphDragPointChanged();
}

void cPEQQmlBandBase2::SetFrequencyRangeMinMax(UWORD minimum, UWORD maximum)
{
    const bool minChanged = minimum != mFrequencyRangeMin;
    const bool maxChanged = maximum != mFrequencyRangeMax;
    mFrequencyRangeMin = minimum;
    mFrequencyRangeMax = maximum;
    UpdateSPlaneCalculation(true);
    if (minChanged)
    {
        emit frequencyRangeMinChanged();
    }
    if (maxChanged)
    {
        emit frequencyRangeMaxChanged();
    }
}

void cPEQQmlBandBase2::SetBandPass(bool bandPass)
{
    if (bandPass == mBandPass)
    {
        return;
    }
    mBandPass = bandPass;
    emit BandPassChanged();
    UpdateSPlaneCalculation(true);
}

void cPEQQmlBandBase2::SetBandPassFreq(UWORD frequency)
{
    if (frequency == mBandPassFreq)
    {
        return;
    }
    mBandPassFreq = frequency;
    UpdateSPlaneCalculation(true);
    emit graphDragPointChanged();
}

void cPEQQmlBandBase2::setBandColour(QColor colour)
{
    if (colour == mBandColour)
    {
        return;
    }
    mBandColour = colour;
    emit bandColourChanged(mBandColour);
}

void cPEQQmlBandBase2::setBandBackground(QString background)
{
    if (background == mBandBackground)
    {
        return;
    }
    mBandBackground = background;
    emit bandBackgroundChanged();
}

double cPEQQmlBandBase2::frequencyRangeMin() const
{
    return ConvertUWORDToFrequency(mFrequencyRangeMin);
}

double cPEQQmlBandBase2::frequencyRangeMax() const
{
    return ConvertUWORDToFrequency(mFrequencyRangeMax);
}

namespace
{

// The frequency code of a range bound given in Hz; false (reported) for a value that is no frequency
// or lies above the highest code's.
bool RangeCode(double hertz, UWORD& code)
{
    if (!(hertz > 0.0 && hertz <= ConvertUWORDToFrequency(0xFFFF)))
    {
        KV_REPORT_ERROR("Frequency range bound %f Hz refused", hertz);
        return false;
    }
    code = ConvertFrequencyToUWORD(hertz);
    return true;
}

// A gain range bound given in dB as 1/256 dB; false (reported) outside the GAIN range.
bool RangeGain(double dB, double& scaled)
{
    scaled = dB * 256.0;
    if (!std::isfinite(scaled) || scaled < std::numeric_limits<GAIN>::min() ||
        scaled > std::numeric_limits<GAIN>::max())
    {
        KV_REPORT_ERROR("Gain range bound %f dB refused", dB);
        return false;
    }
    return true;
}

} // namespace

void cPEQQmlBandBase2::setFrequencyRangeMin(double hertz)
{
    UWORD code = 0;
    if (RangeCode(hertz, code) && code != mFrequencyRangeMin)
    {
        mFrequencyRangeMin = code;
        emit frequencyRangeMinChanged();
    }
}

void cPEQQmlBandBase2::setFrequencyRangeMax(double hertz)
{
    UWORD code = 0;
    if (RangeCode(hertz, code) && code != mFrequencyRangeMax)
    {
        mFrequencyRangeMax = code;
        emit frequencyRangeMaxChanged();
    }
}

double cPEQQmlBandBase2::gainRangeMin() const
{
    return double(mGainRangeMin) / 256.0;
}

double cPEQQmlBandBase2::gainRangeMax() const
{
    return double(mGainRangeMax) / 256.0;
}

void cPEQQmlBandBase2::setGainRangeMin(double dB)
{
    double scaled = 0.0;
    if (RangeGain(dB, scaled) && scaled != double(mGainRangeMin))
    {
        mGainRangeMin = GAIN(std::trunc(scaled));
        emit gainRangeMinChanged();
    }
}

void cPEQQmlBandBase2::setGainRangeMax(double dB)
{
    double scaled = 0.0;
    if (RangeGain(dB, scaled) && scaled != double(mGainRangeMax))
    {
        mGainRangeMax = GAIN(std::trunc(scaled));
        emit gainRangeMaxChanged();
    }
}

void cPEQQmlBandBase2::setAddToCombined(bool add)
{
    if (add == mAddToCombined)
    {
        return;
    }
    mAddToCombined = add;
    if (mBackEnd != nullptr && !mBypassed)
    {
        mBackEnd->SetCombinedPathDirty();
    }
    emit addToCombinedChanged(mAddToCombined);
}
