#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBandBase2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQScaleText.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QPainterPath>
#include <QTimerEvent>
#include <QtGlobal>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace
{

struct sFrequencyLabel
{
    double mHertz;
    const char* mText;
};

constexpr sFrequencyLabel FREQUENCY_LABELS[] = {
    {50.0, "50"},   {100.0, "100"}, {200.0, "200"}, {500.0, "500"},
    {1000.0, "1k"}, {2000.0, "2k"}, {5000.0, "5k"}, {10000.0, "10k"},
};

constexpr int GAIN_LINES[] = {20, 12, 6, 0, -6, -12, -20};
constexpr int MAJOR_LINE_EVERY = 10;

bool IsGainBound(int dB)
{
    return dB >= -128 && dB <= 127;
}

// A QML size within the pixel sizes' reach (trunc(size) <= MAX_PIXELS); NaN fails. Layouts pass
// through sizes below 1, negative ones too: they are kept and ignored until the size is drawable.
bool IsSize(double size)
{
    return std::abs(size) < cPEQQmlBackEnd2::MAX_PIXELS + 1.0;
}

// A scale margin takes from 0 up to the whole extent of the graph along its axis (NaN fails).
bool IsMargin(float margin, int extent)
{
    return margin >= 0.0f && margin <= float(extent);
}

} // namespace

cPEQQmlBackEnd2::cPEQQmlBackEnd2(QObject* parent)
    : QObject(parent)
    , mCombinedPath(new QPainterPathWrapper(this))
    , mCombinedLinePath(new QPainterPathWrapper(this))
    , mMinorScalePath(new QPainterPathWrapper(this))
    , mMajorScalePath(new QPainterPathWrapper(this))
    , mFrequencyCodeMin(ConvertFrequencyToUWORD(START_FREQUENCY))
    , mFrequencyCodeMax(ConvertFrequencyToUWORD(END_FREQUENCY))
{
    connect(this, &cPEQQmlBackEnd2::heightChanged, this, &cPEQQmlBackEnd2::qmlSizeChanged);
    connect(this, &cPEQQmlBackEnd2::widthChanged, this, &cPEQQmlBackEnd2::qmlSizeChanged);
}

cPEQQmlBackEnd2::~cPEQQmlBackEnd2()
{
    if (mTimerId != 0)
    {
        killTimer(mTimerId);
        mTimerId = 0;
    }
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            disconnect(band, nullptr, this, nullptr);
        }
    }
    if (mDriver != nullptr)
    {
        disconnect(mDriver, nullptr, this, nullptr);
    }
    qDeleteAll(mScaleTexts);
    mScaleTexts.clear();
}

// ---- conversions

double cPEQQmlBackEnd2::GainToY(double dB) const
{
    return (mGainMax - dB) * mPixelsPerDb + 0.5;
}

double cPEQQmlBackEnd2::YToGain(double y) const
{
    return (mGainMax - qMin(y, double(mPixelHeight)) / mPixelsPerDb) * 256.0;
}

UWORD cPEQQmlBackEnd2::XToFrequencyCode(int x) const
{
    const int limited = qMin(x, mPixelWidth);
    return UWORD(std::trunc(double(mFrequencyCodeMax - mFrequencyCodeMin) * limited / mPixelWidth +
                            mFrequencyCodeMin));
}

double cPEQQmlBackEnd2::FrequencyCodeToX(double code) const
{
    return (code - mFrequencyCodeMin) * mPixelWidth / double(mFrequencyCodeMax - mFrequencyCodeMin);
}

double cPEQQmlBackEnd2::GainFraction(double dB) const
{
    const int range = mGainMax - mGainMin;
    return range > 0 ? (mGainMax - dB) / range : 0.0;
}

double cPEQQmlBackEnd2::FrequencyFraction(double code) const
{
    return (code - mFrequencyCodeMin) / double(mFrequencyCodeMax - mFrequencyCodeMin);
}

double cPEQQmlBackEnd2::zeroYPos() const
{
    return std::floor(GainToY(0.0)) + 0.5;
}

// ---- band list

cPEQQmlBackEnd2::tBands cPEQQmlBackEnd2::Snapshot() const
{
    QReadLocker lock(&mBandsLock);
    return mBands;
}

int cPEQQmlBackEnd2::BandCount() const
{
    QReadLocker lock(&mBandsLock);
    return mBands.size();
}

cPEQQmlBandBase2* cPEQQmlBackEnd2::BandAt(int index) const
{
    QReadLocker lock(&mBandsLock);
    return index >= 0 && index < mBands.size() ? mBands[index].data() : nullptr;
}

int cPEQQmlBackEnd2::IndexOf(const cPEQQmlBandBase2* band) const
{
    QReadLocker lock(&mBandsLock);
    for (int i = 0; i < mBands.size(); ++i)
    {
        if (mBands[i] == band)
        {
            return i;
        }
    }
    return -1;
}

bool cPEQQmlBackEnd2::allBandsBypassed() const
{
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr && !band->IsBypassed())
        {
            return false;
        }
    }
    return true;
}

void cPEQQmlBackEnd2::AppendBand(cPEQQmlBandBase2* band)
{
    if (band == nullptr)
    {
        KV_REPORT_ERROR("A null band cannot join the PEQ graph");
        return;
    }
    if (IndexOf(band) >= 0)
    {
        KV_REPORT_ERROR("Band already in the PEQ graph's list");
        return;
    }
    // A band belongs to one graph: in two, its edits would reach both graphs' drivers.
    cPEQQmlBackEnd2* previous = band->GetBackEnd();
    if (previous != nullptr && previous != this)
    {
        previous->TakeBand(band);
    }
    band->SetBackEnd(this);
    band->ResizePointTables(mPixelWidth);
    band->UpdateSPlaneCalculation(false);
    {
        QWriteLocker lock(&mBandsLock);
        mBands.append(band);
    }
    ConnectBand(band);
    PullAllValues();
    emit bandListChanged();
    emit allBandsBypassedChanged();
}

void cPEQQmlBackEnd2::ConnectBand(cPEQQmlBandBase2* band)
{
    disconnect(band, nullptr, this, nullptr);
    connect(band, &cPEQQmlBandBase2::FreqChanged, this, [this, band] { BandFreqChanged(IndexOf(band)); });
    connect(band, &cPEQQmlBandBase2::GainChanged, this, [this, band] { BandGainChanged(IndexOf(band)); });
    connect(band, &cPEQQmlBandBase2::WidthChanged, this, [this, band] { BandWidthChanged(IndexOf(band)); });
    connect(band, &cPEQQmlBandBase2::BandPassChanged, this, &cPEQQmlBackEnd2::BandPassChanged);
    connect(band, &cPEQQmlBandBase2::BandPassFreqChanged, this, &cPEQQmlBackEnd2::BandPassFreqChanged);
    connect(band, &cPEQQmlBandBase2::bypassedChanged, this, &cPEQQmlBackEnd2::allBandsBypassedChanged);
    connect(band, &QObject::destroyed, this, &cPEQQmlBackEnd2::RemoveDestroyedBand);
}

void cPEQQmlBackEnd2::RemoveDestroyedBand(QObject*)
{
    {
        QWriteLocker lock(&mBandsLock);
        mBands.removeAll(QPointer<cPEQQmlBandBase2>());
    }
    SetCombinedPathDirty();
    emit bandListChanged();
    emit allBandsBypassedChanged();
}

void cPEQQmlBackEnd2::TakeBand(cPEQQmlBandBase2* band)
{
    {
        QWriteLocker lock(&mBandsLock);
        if (mBands.removeAll(band) == 0)
        {
            return;
        }
    }
    disconnect(band, nullptr, this, nullptr);
    SetCombinedPathDirty();
    emit bandListChanged();
    emit allBandsBypassedChanged();
}

void cPEQQmlBackEnd2::ClearBands()
{
    tBands old;
    {
        QWriteLocker lock(&mBandsLock);
        old.swap(mBands);
    }
    for (const QPointer<cPEQQmlBandBase2>& band : old)
    {
        if (band != nullptr)
        {
            disconnect(band, nullptr, this, nullptr);
        }
    }
    SetCombinedPathDirty();
    emit bandListChanged();
    emit allBandsBypassedChanged();
}

QQmlListProperty<cPEQQmlBandBase2> cPEQQmlBackEnd2::bandList()
{
    return QQmlListProperty<cPEQQmlBandBase2>(this, nullptr, &AppendBandToList, &BandListCount, &BandListAt,
                                              &ClearBandList);
}

void cPEQQmlBackEnd2::AppendBandToList(QQmlListProperty<cPEQQmlBandBase2>* list, cPEQQmlBandBase2* band)
{
    static_cast<cPEQQmlBackEnd2*>(list->object)->AppendBand(band);
}

int cPEQQmlBackEnd2::BandListCount(QQmlListProperty<cPEQQmlBandBase2>* list)
{
    return static_cast<cPEQQmlBackEnd2*>(list->object)->BandCount();
}

cPEQQmlBandBase2* cPEQQmlBackEnd2::BandListAt(QQmlListProperty<cPEQQmlBandBase2>* list, int index)
{
    return static_cast<cPEQQmlBackEnd2*>(list->object)->BandAt(index);
}

void cPEQQmlBackEnd2::ClearBandList(QQmlListProperty<cPEQQmlBandBase2>* list)
{
    static_cast<cPEQQmlBackEnd2*>(list->object)->ClearBands();
}

QQmlListProperty<cPEQScaleText> cPEQQmlBackEnd2::scaleTextList()
{
    return QQmlListProperty<cPEQScaleText>(this, nullptr, &ScaleTextCount, &ScaleTextAt);
}

int cPEQQmlBackEnd2::ScaleTextCount(QQmlListProperty<cPEQScaleText>* list)
{
    return static_cast<cPEQQmlBackEnd2*>(list->object)->mScaleTexts.size();
}

cPEQScaleText* cPEQQmlBackEnd2::ScaleTextAt(QQmlListProperty<cPEQScaleText>* list, int index)
{
    const QList<cPEQScaleText*>& texts = static_cast<cPEQQmlBackEnd2*>(list->object)->mScaleTexts;
    return index >= 0 && index < texts.size() ? texts[index] : nullptr;
}

// ---- driver

void cPEQQmlBackEnd2::setDriver(cPEQDriverInterface* driver)
{
    if (driver == mDriver)
    {
        return;
    }
    if (mDriver != nullptr)
    {
        disconnect(mDriver, nullptr, this, nullptr);
    }
    mDriver = driver;
    if (driver != nullptr)
    {
        connect(driver, &cPEQDriverInterface::GainChanged, this, &cPEQQmlBackEnd2::SetBandGain);
        connect(driver, &cPEQDriverInterface::FreqChanged, this, &cPEQQmlBackEnd2::SetBandFreq);
        connect(driver, &cPEQDriverInterface::WidthChanged, this, &cPEQQmlBackEnd2::SetBandWidth);
        connect(driver, &cPEQDriverInterface::TypeChanged, this, &cPEQQmlBackEnd2::SetBandType);
        connect(driver, &cPEQDriverInterface::FreqRangeChanged, this, &cPEQQmlBackEnd2::SetBandFreqRange);
        connect(driver, &cPEQDriverInterface::BypassChanged, this, &cPEQQmlBackEnd2::SetBypass);
        connect(driver, &cPEQDriverInterface::FullyBypassedChanged, this, &cPEQQmlBackEnd2::SetFullyBypassed);
        connect(driver, &cPEQDriverInterface::BandPassChanged, this, &cPEQQmlBackEnd2::SetBandPass);
        connect(driver, &cPEQDriverInterface::BandPassFreqChanged, this, &cPEQQmlBackEnd2::SetBandPassFreq);
        connect(driver, &QObject::destroyed, this, &cPEQQmlBackEnd2::driverChanged);
    }
    PullAllValues();
    emit driverChanged();
}

void cPEQQmlBackEnd2::PullAllValues()
{
    cPEQDriverInterface* driver = mDriver;
    if (driver == nullptr)
    {
        return;
    }
    const tBands bands = Snapshot();
    for (int i = 0; i < bands.size(); ++i)
    {
        const UBYTE b = UBYTE(i);
        if (i > 0xFF)
        {
            break;
        }
        SetBandGain(b, driver->GetBandGain(b));
        SetBandFreq(b, driver->GetBandFreq(b));
        SetBandWidth(b, driver->GetBandWidthIndex(b));
        SetBandType(b, driver->GetBandType(b));
        SetBandFreqRange(b, driver->GetBandFreqMin(b), driver->GetBandFreqMax(b));
        SetBypass(b, driver->GetBandBypassed(b) != 0);
    }
    SetBandPass(driver->GetBandPass() != 0);
    SetBandPassFreq(driver->GetBandPassFreq());
    StoreFullyBypassed(driver->GetFullyBypassed() != 0);
}

void cPEQQmlBackEnd2::SetBandGain(uint index, GAIN gain)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetGain(UWORD(gain));
    }
}

void cPEQQmlBackEnd2::SetBandFreq(uint index, UWORD freq)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetFrequency(freq);
    }
}

void cPEQQmlBackEnd2::SetBandWidth(uint index, UWORD width)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetWidth(width);
    }
}

void cPEQQmlBackEnd2::SetBandFreqRange(uint index, UWORD freqMin, UWORD freqMax)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetFrequencyRangeMinMax(freqMin, freqMax);
    }
}

void cPEQQmlBackEnd2::SetBandType(uint index, UBYTE type)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetBandTypeValue(type);
    }
}

void cPEQQmlBackEnd2::SetBypass(uint index, bool bypass)
{
    if (cPEQQmlBandBase2* band = BandAt(int(qMin<uint>(index, INT_MAX))))
    {
        band->SetBypassed(bypass);
    }
}

void cPEQQmlBackEnd2::StoreFullyBypassed(bool bypass)
{
    if (bypass != mFullyBypassed)
    {
        mFullyBypassed = bypass;
        emit fullyBypassedChanged(mFullyBypassed);
    }
}

void cPEQQmlBackEnd2::SetFullyBypassed(bool bypass)
{
    StoreFullyBypassed(bypass);
}

void cPEQQmlBackEnd2::SetBandPass(bool bandPass)
{
    if (bandPass == mBandPass)
    {
        return;
    }
    mBandPass = bandPass;
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            band->SetBandPass(bandPass);
        }
    }
    emit bandPassChanged(mBandPass);
}

void cPEQQmlBackEnd2::SetBandPassFreq(UWORD freq)
{
    if (freq == mBandPassFreq)
    {
        return;
    }
    mBandPassFreq = freq;
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            band->SetBandPassFreq(freq);
        }
    }
    emit bandPassFreqChanged(mBandPassFreq);
}

namespace
{

// A band index the driver can take, or -1 (reported) beyond a byte.
int DriverBand(int index)
{
    if (index < 0)
    {
        return -1;
    }
    if (index > 0xFF)
    {
        KV_REPORT_ERROR("Band %d beyond the driver's band numbers", index);
        return -1;
    }
    return index;
}

} // namespace

void cPEQQmlBackEnd2::BandFreqChanged(int index)
{
    cPEQQmlBandBase2* band = BandAt(index);
    if (mDriver != nullptr && band != nullptr && DriverBand(index) >= 0)
    {
        mDriver->WriteBandFreq(UBYTE(index), band->GetFrequency());
    }
}

void cPEQQmlBackEnd2::BandGainChanged(int index)
{
    cPEQQmlBandBase2* band = BandAt(index);
    if (mDriver != nullptr && band != nullptr && DriverBand(index) >= 0)
    {
        mDriver->WriteBandGain(UBYTE(index), band->GetGain());
    }
}

void cPEQQmlBackEnd2::BandWidthChanged(int index)
{
    cPEQQmlBandBase2* band = BandAt(index);
    if (mDriver != nullptr && band != nullptr && DriverBand(index) >= 0)
    {
        mDriver->WriteBandWidthIndex(UBYTE(index), band->GetWidth());
    }
}

void cPEQQmlBackEnd2::BandFreqRangeChanged(int index)
{
    cPEQQmlBandBase2* band = BandAt(index);
    if (mDriver != nullptr && band != nullptr && DriverBand(index) >= 0)
    {
        mDriver->WriteBandFreqRange(UBYTE(index), band->GetFrequencyRangeMinCode(),
                                    band->GetFrequencyRangeMaxCode());
    }
}

void cPEQQmlBackEnd2::BandTypeChanged(int index)
{
    cPEQQmlBandBase2* band = BandAt(index);
    if (mDriver != nullptr && band != nullptr && DriverBand(index) >= 0)
    {
        mDriver->WriteBandEQType(UBYTE(index), band->GetBandTypeValue());
    }
}

void cPEQQmlBackEnd2::BandPassChanged()
{
    cPEQQmlBandBase2* first = BandAt(0);
    if (mDriver != nullptr && first != nullptr)
    {
        mBandPass = first->GetBandPass();
        mDriver->WriteBandPass(mBandPass);
    }
}

void cPEQQmlBackEnd2::BandPassFreqChanged()
{
    cPEQQmlBandBase2* first = BandAt(0);
    if (mDriver != nullptr && first != nullptr)
    {
        mBandPassFreq = first->GetBandPassFreq();
        mDriver->WriteBandPassFreq(mBandPassFreq);
    }
}

// ---- size, scale and settings

void cPEQQmlBackEnd2::setGainRangeMin(int dB)
{
    if (!IsGainBound(dB))
    {
        KV_REPORT_ERROR("Gain range minimum %d dB refused", dB);
        return;
    }
    mGainMin = SBYTE(dB);
}

void cPEQQmlBackEnd2::setGainRangeMax(int dB)
{
    if (!IsGainBound(dB))
    {
        KV_REPORT_ERROR("Gain range maximum %d dB refused", dB);
        return;
    }
    mGainMax = SBYTE(dB);
}

void cPEQQmlBackEnd2::setAllowSizeChanges(bool allow)
{
    mAllowSizeChanges = allow;
    if (allow)
    {
        qmlSizeChanged();
    }
}

void cPEQQmlBackEnd2::setYScaleMargin(float margin)
{
    if (!IsMargin(margin, mPixelWidth))
    {
        KV_REPORT_ERROR("Y scale margin %g refused: the graph is %d pixels wide", double(margin),
                        mPixelWidth);
        return;
    }
    if (margin == mYScaleMargin)
    {
        return;
    }
    mYScaleMargin = margin;
    emit yScaleMarginChanged();
    BuildScales();
}

void cPEQQmlBackEnd2::setXScaleMargin(float margin)
{
    if (!IsMargin(margin, mPixelHeight))
    {
        KV_REPORT_ERROR("X scale margin %g refused: the graph is %d pixels high", double(margin),
                        mPixelHeight);
        return;
    }
    if (margin == mXScaleMargin)
    {
        return;
    }
    mXScaleMargin = margin;
    emit xScaleMarginChanged();
    BuildScales();
}

void cPEQQmlBackEnd2::setHeight(double height)
{
    if (!IsSize(height))
    {
        KV_REPORT_ERROR("PEQ graph size %.0f x %.0f refused", mWidth, height);
        return;
    }
    if (qFuzzyCompare(height, mHeight))
    {
        return;
    }
    mHeight = height;
    emit heightChanged(mHeight);
}

void cPEQQmlBackEnd2::setWidth(double width)
{
    if (!IsSize(width))
    {
        KV_REPORT_ERROR("PEQ graph size %.0f x %.0f refused", width, mHeight);
        return;
    }
    if (qFuzzyCompare(width, mWidth))
    {
        return;
    }
    mWidth = width;
    emit widthChanged(mWidth);
}

void cPEQQmlBackEnd2::qmlSizeChanged()
{
    if (!mAllowSizeChanges)
    {
        return;
    }
    if (!(mHeight >= 1.0 && mWidth >= 1.0))
    {
        return;
    }
    const int h = int(mHeight);
    const int w = int(mWidth);
    if (h == mPixelHeight && w == mPixelWidth)
    {
        return;
    }
    mPixelHeight = h;
    mPixelWidth = w;
    RecomputeScale();
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            band->UpdateSPlaneCalculation(true);
        }
    }
}

void cPEQQmlBackEnd2::setCalculateCombinedCurve(bool calculate)
{
    if (calculate == mCalculateCombinedCurve)
    {
        return;
    }
    mCalculateCombinedCurve = calculate;
    if (calculate)
    {
        mCombinedDirty = true;
        StartTimer();
    }
    emit calculateCombinedCurveChanged(mCalculateCombinedCurve);
}

void cPEQQmlBackEnd2::SetCombinedPathDirty()
{
    mCombinedDirty = true;
    StartTimer();
}

void cPEQQmlBackEnd2::Update()
{
    StartTimer();
}

void cPEQQmlBackEnd2::setQMLPEQObjectAndStart()
{
    RecomputeScale();
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            ConnectBand(band);
        }
    }
}

void cPEQQmlBackEnd2::setPinchDelta(int SelectedBand, double PinchDelta)
{
    if (cPEQQmlBandBase2* band = BandAt(SelectedBand))
    {
        band->setPinchDelta(PinchDelta);
    }
}

void cPEQQmlBackEnd2::RecomputeScale()
{
    const int range = mGainMax - mGainMin;
    if (range > 0)
    {
        mPixelsPerDb = double(mPixelHeight) / range;
    }
    else
    {
        KV_REPORT_ERROR("Gain range %d to %d dB is empty; the scale keeps %f pixels per dB", int(mGainMin),
                        int(mGainMax), mPixelsPerDb);
    }
    for (const QPointer<cPEQQmlBandBase2>& band : Snapshot())
    {
        if (band != nullptr)
        {
            band->ResizePointTables(mPixelWidth);
        }
    }
    BuildScales();
}

void cPEQQmlBackEnd2::ClearScaleTexts()
{
    // The list is empty when it is announced, so that the views let go of the texts before they go:
    // a view that still showed them would read deleted texts.
    const QList<cPEQScaleText*> texts = std::move(mScaleTexts);
    mScaleTexts.clear();
    emit scaleTextListChanged();
    qDeleteAll(texts);
}

void cPEQQmlBackEnd2::BuildScales()
{
    QPainterPath minor;
    QPainterPath major;
    const double bottom = std::trunc(mPixelHeight - mXScaleMargin);
    const double codeSpan = double(mFrequencyCodeMax - mFrequencyCodeMin);
    const int leftLimit = int(std::trunc(mYScaleMargin));

    float f = float(mStartFrequency);
    int count = 1;
    while (f < mEndFrequency)
    {
        ++count;
        const float step = std::pow(10.0f, std::floor(std::log10(f)));
        const UWORD x =
            UWORD(std::trunc((ConvertFrequencyToUWORD(f) - mFrequencyCodeMin) * mPixelWidth / codeSpan));
        if (x >= leftLimit)
        {
            QPainterPath& path = count == MAJOR_LINE_EVERY ? major : minor;
            path.moveTo(x + 0.5, 0.0);
            path.lineTo(x + 0.5, bottom);
            if (count == MAJOR_LINE_EVERY)
            {
                count = 1;
            }
        }
        else if (count == MAJOR_LINE_EVERY)
        {
            count = 1;
        }
        f += step;
    }

    ClearScaleTexts();
    const double labelY = mPixelHeight - mXScaleMargin * 0.5;
    for (const sFrequencyLabel& label : FREQUENCY_LABELS)
    {
        const double x = FrequencyCodeToX(ConvertFrequencyToUWORD(label.mHertz));
        mScaleTexts.append(new cPEQScaleText(QString::fromLatin1(label.mText), QPointF(x, labelY), this));
    }

    for (int g : GAIN_LINES)
    {
        const double y = GainToY(g);
        if (std::floor(y) > 0.0 && std::ceil(y) < mPixelHeight - 1)
        {
            if (g == 0)
            {
                major.moveTo(0.0, std::floor(y) + 0.5);
                major.lineTo(mPixelWidth, std::floor(y) + 0.5);
            }
            else
            {
                minor.moveTo(0.0, y + 0.5);
                minor.lineTo(mPixelWidth, y + 0.5);
            }
            mScaleTexts.append(
                new cPEQScaleText(QString::number(std::abs(g)), QPointF(mYScaleMargin * 0.5, y), this));
        }
    }

    mMajorScalePath->setPath(major);
    mMinorScalePath->setPath(minor);
    mScalesDirty = true;
    StartTimer();
}

// ---- update timer

void cPEQQmlBackEnd2::StartTimer()
{
    if (mTimerId == 0)
    {
        mTimerId = startTimer(0, Qt::CoarseTimer);
    }
}

void cPEQQmlBackEnd2::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != mTimerId || mTimerId == 0)
    {
        QObject::timerEvent(event);
        return;
    }
    OnUpdateTimer();
}

void cPEQQmlBackEnd2::OnUpdateTimer()
{
    killTimer(mTimerId);
    mTimerId = 0;

    const tBands bands = Snapshot();
    bool anyRequested = false;
    bool anyPending = false;
    for (const QPointer<cPEQQmlBandBase2>& band : bands)
    {
        if (band != nullptr)
        {
            anyRequested = anyRequested || band->IsRecalculationRequested();
            anyPending = anyPending || band->IsRefinementPending();
        }
    }
    if (anyRequested || anyPending)
    {
        for (const QPointer<cPEQQmlBandBase2>& band : bands)
        {
            if (band == nullptr ||
                !((anyRequested && band->IsRecalculationRequested()) || band->IsRefinementPending()))
            {
                continue;
            }
            band->UpdateSPlaneCalculation(!anyRequested);
            if (mCalculateCombinedCurve)
            {
                mCombinedDirty = true;
            }
            band->SetRecalculationRequested(false);
            band->SetRefinementPending(anyRequested);
            emit band->graphDragPointChanged();
        }
    }
    if (mCombinedDirty)
    {
        ComputeCombinedCurve(!anyRequested);
        mCombinedDirty = false;
    }
    if (mScalesDirty)
    {
        mScalesDirty = false;
        emit scaleTextListChanged();
        emit zeroYPosChanged();
    }
}

void cPEQQmlBackEnd2::ComputeCombinedCurve(bool fullResolution)
{
    const int step = fullResolution ? 1 : cPEQQmlBandBase2::COARSE_STEP;
    mCombinedPoints.clear();
    {
        QReadLocker lock(&mBandsLock);
        for (int i = 0; i <= mPixelWidth; i += step)
        {
            double sum = 0.0;
            for (const QPointer<cPEQQmlBandBase2>& band : qAsConst(mBands))
            {
                if (band != nullptr && band->addToCombined() && !band->IsBypassed())
                {
                    sum += band->MagnitudeAtColumn(i);
                }
            }
            mCombinedPoints.append(QPointF(i, GainToY(sum)));
        }
    }
    const QVector<QPointF> kept = nPEQGraph::SimplifyPoints(mCombinedPoints);
    const double zeroY = GainToY(0.0);
    QPainterPath fill;
    QPainterPath line;
    fill.moveTo(0.0, zeroY);
    for (int i = 0; i < kept.size(); ++i)
    {
        fill.lineTo(kept[i]);
        if (i == 0)
        {
            line.moveTo(kept[i]);
        }
        else
        {
            line.lineTo(kept[i]);
        }
    }
    fill.lineTo(mPixelWidth, zeroY);
    fill.closeSubpath();
    mCombinedPath->setPath(fill);
    mCombinedLinePath->setPath(line);
}
