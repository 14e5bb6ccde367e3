#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QVector>

#include <vector>

class QPainterPathWrapper;
class cPEQQmlBackEnd2;

// One band of the PEQ response graph: the band's settings as the device codes them, its magnitude
// response at the graph's pixel columns, the outline (`linePath`) and filled area (`path`) drawn from
// it, and the reaction to dragging and pinching. QML type "PEQQmlBandBase" of module "KVQml" 2.0, not
// creatable; cPEQQmlBand2 and cHPFQmlBand2 are the bands QML creates.
//
// A band computes nothing until a graph back end appends it (the back end then feeds it the driver's
// values and combines its response). Its pass is coarse (every tenth column) while it is dragged or
// set up and full (every column) afterwards: the refinement-pending flag asks the back end's timer
// for the full pass, the recalculation-requested flag for a recalculation.
//
// QML owns the band; the back end is held by a guarded pointer, so either may go first.
//
// Threads: GUI thread only.
class cPEQQmlBandBase2 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QPointF graphDragPoint READ graphDragPoint NOTIFY graphDragPointChanged)
    Q_PROPERTY(bool bypassed READ IsBypassed NOTIFY bypassedChanged)
    Q_PROPERTY(double frequencyRangeMin READ frequencyRangeMin WRITE setFrequencyRangeMin NOTIFY
                   frequencyRangeMinChanged)
    Q_PROPERTY(double frequencyRangeMax READ frequencyRangeMax WRITE setFrequencyRangeMax NOTIFY
                   frequencyRangeMaxChanged)
    Q_PROPERTY(double gainRangeMin READ gainRangeMin WRITE setGainRangeMin NOTIFY gainRangeMinChanged)
    Q_PROPERTY(double gainRangeMax READ gainRangeMax WRITE setGainRangeMax NOTIFY gainRangeMaxChanged)
    Q_PROPERTY(bool addToCombined READ addToCombined WRITE setAddToCombined NOTIFY addToCombinedChanged)
    Q_PROPERTY(QColor bandColour READ bandColour WRITE setBandColour NOTIFY bandColourChanged)
    Q_PROPERTY(
        QString bandBackground READ bandBackground WRITE setBandBackground NOTIFY bandBackgroundChanged)
    Q_PROPERTY(QPainterPathWrapper* path READ path CONSTANT)
    Q_PROPERTY(QPainterPathWrapper* linePath READ linePath CONSTANT)

public:
    static constexpr UWORD DEFAULT_FREQUENCY = 10699; // 20 Hz
    static constexpr UWORD DEFAULT_RANGE_MAX = 56622; // 20 kHz
    static constexpr GAIN DEFAULT_GAIN_RANGE = 3840;  // +-15 dB
    static constexpr UWORD WIDTH_RANGE_MAX = 11392;
    static constexpr UWORD DEFAULT_BAND_PASS_FREQ = 26007;
    static constexpr int COARSE_STEP = 10;

    explicit cPEQQmlBandBase2(QObject* parent = nullptr);
    ~cPEQQmlBandBase2() override;

    // Fractions of the graph's size: frequency along the back end's axis, and gain (0 when gain
    // does not apply) within its gain range. (0, 0) without a back end.
    virtual QPointF graphDragPoint() const;
    // A drag to graph pixel (XPos, YPos); negative coordinates count as 0.
    Q_INVOKABLE virtual void setDragPos(int XPos, int YPos);
    // A pinch of PinchDelta millimetres of finger spread; nothing in the base.
    Q_INVOKABLE virtual void setPinchDelta(double PinchDelta);
    // Computes the magnitudes and paths; nothing without a back end.
    virtual void UpdateSPlaneCalculation(bool fullResolution) = 0;
    virtual void SetBandTypeValue(UBYTE type) = 0;
    virtual UBYTE GetBandTypeValue() const = 0;
    virtual bool IsGainApplicable() const = 0;
    virtual bool IsWidthApplicable() const = 0;

    // Called by the back end when it appends the band.
    void SetBackEnd(cPEQQmlBackEnd2* backEnd);
    cPEQQmlBackEnd2* GetBackEnd() const;
    // Angular frequencies of the back end's columns 0..n.
    void ResizePointTables(int n);
    // From the back end: store on change; a band that adds to the combined curve marks it dirty.
    void SetBypassed(bool bypassed);

    UWORD GetFrequency() const { return mFrequency; }
    UWORD GetWidth() const { return mWidth; }
    GAIN GetGain() const { return mGain; }
    UWORD GetFrequencyRangeMinCode() const { return mFrequencyRangeMin; }
    UWORD GetFrequencyRangeMaxCode() const { return mFrequencyRangeMax; }
    GAIN GetGainRangeMinValue() const { return mGainRangeMin; }
    GAIN GetGainRangeMaxValue() const { return mGainRangeMax; }
    bool GetBandPass() const { return mBandPass; }
    UWORD GetBandPassFreq() const { return mBandPassFreq; }
    bool IsBypassed() const { return mBypassed; }

    // Setting either flag starts the back end's update timer.
    bool IsRecalculationRequested() const { return mRecalculationRequested; }
    void SetRecalculationRequested(bool requested);
    bool IsRefinementPending() const { return mRefinementPending; }
    void SetRefinementPending(bool pending);

    // The magnitudes of the last pass, in dB, one per computed column, and the column step of that
    // pass (1 full, 10 coarse).
    const std::vector<double>& GetMagnitudes() const { return mMagnitudes; }
    int GetMagnitudeStep() const { return mMagnitudeStep; }
    // The magnitude at a column of the graph, taken from the last pass whatever its step; 0 dB
    // before the first pass or beyond its end.
    double MagnitudeAtColumn(int column) const;

    // The band's ranges for QML: frequency bounds in Hz (stored as codes; a bound that is not a number,
    // not above 0 or above the highest code's frequency is reported and refused), gain bounds in dB
    // (stored in 1/256 dB; one that is not a number or beyond a GAIN is reported and refused).
    double frequencyRangeMin() const;
    void setFrequencyRangeMin(double hertz);
    double frequencyRangeMax() const;
    void setFrequencyRangeMax(double hertz);
    double gainRangeMin() const;
    void setGainRangeMin(double dB);
    double gainRangeMax() const;
    void setGainRangeMax(double dB);
    bool addToCombined() const { return mAddToCombined; }
    void setAddToCombined(bool add);
    QColor bandColour() const { return mBandColour; }
    QString bandBackground() const { return mBandBackground; }
    QPainterPathWrapper* path() const { return mPath; }
    QPainterPathWrapper* linePath() const { return mLinePath; }

public slots:
    void SetFrequency(UWORD frequency);
    void SetWidth(UWORD width);
    // The bits of a GAIN (1/256 dB, two's complement).
    void SetGain(UWORD gain);
    void SetFrequencyRangeMinMax(UWORD minimum, UWORD maximum);
    void setBandColour(QColor colour);
    void SetBandPass(bool bandPass);
    void SetBandPassFreq(UWORD frequency);
    void setBandBackground(QString background);

signals:
    void graphDragPointChanged();
    void bypassedChanged();
    void addToCombinedChanged(bool addToCombined);
    void bandLineColorChanged();
    void bandFillColorChanged();
    void frequencyRangeMinChanged();
    void frequencyRangeMaxChanged();
    void gainRangeMinChanged();
    void gainRangeMaxChanged();
    void FreqChanged();
    void GainChanged();
    void WidthChanged();
    void BandPassChanged();
    void BandPassFreqChanged();
    void bandBackgroundChanged();
    void bandColourChanged(QColor colour);

protected:
    // The drag's frequency step: the back end's frequency code of column x, clamped to the band's
    // range; stored with FreqChanged when it differs. True when it changed.
    bool DragFrequency(int x);
    // Runs one pass: magnitudeDb(column) for every column (step 1) or every tenth (step 10), the
    // points and both paths, then the pending flag (coarse) or the combined curve's dirty mark (full).
    template <class tMagnitude>
    void RunPass(int step, bool fullResolution, tMagnitude magnitudeDb);

    QPointer<cPEQQmlBackEnd2> mBackEnd;
    UWORD mFrequency = DEFAULT_FREQUENCY;
    UWORD mWidth = 0;
    GAIN mGain = 0;
    UWORD mFrequencyRangeMin = DEFAULT_FREQUENCY;
    UWORD mFrequencyRangeMax = DEFAULT_RANGE_MAX;
    GAIN mGainRangeMin = -DEFAULT_GAIN_RANGE;
    GAIN mGainRangeMax = DEFAULT_GAIN_RANGE;
    UWORD mWidthRangeMin = 0;
    UWORD mWidthRangeMax = WIDTH_RANGE_MAX;
    std::vector<double> mOmega;
    std::vector<double> mOmegaSquared;

private:
    // Points and paths from the magnitudes, then the flags.
    void FinishPass(bool fullResolution);

    QColor mBandColour;
    QString mBandBackground;
    bool mRecalculationRequested = false;
    bool mRefinementPending = false;
    bool mBypassed = false;
    bool mBandPass = false;
    UWORD mBandPassFreq = DEFAULT_BAND_PASS_FREQ;
    bool mAddToCombined = true;
    std::vector<double> mMagnitudes;
    int mMagnitudeStep = 1;
    QVector<QPointF> mPoints;
    QPainterPathWrapper* mPath;
    QPainterPathWrapper* mLinePath;
};

template <class tMagnitude>
void cPEQQmlBandBase2::RunPass(int step, bool fullResolution, tMagnitude magnitudeDb)
{
    const int n = int(mOmega.size()) - 1;
    mMagnitudes.clear();
    mMagnitudeStep = step;
    for (int i = 0; i <= n; i += step)
    {
        mMagnitudes.push_back(magnitudeDb(i));
    }
    FinishPass(fullResolution);
}
