#pragma once

#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"
#include "KVNet/Core/KVNetTypes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQmlListProperty>
#include <QReadWriteLock>
#include <QVector>

class QPainterPathWrapper;
class cPEQQmlBandBase2;
class cPEQScaleText;

// The engine of the PEQ response graph (QML type "PEQQmlBackEnd" of module "KVQml" 2.0, created by
// the graph's QML). It maps the graph's pixels to frequency (20 Hz to 20 kHz, logarithmic) and gain
// (-20 to +20 dB by default), builds the scale's grid paths and labels, keeps the bands, passes the
// driver's values to them and their drag and pinch edits back to the driver, and sums the bands'
// responses into the combined curve.
//
// Work is coalesced: changes set flags and start one zero-interval timer, whose event recomputes
// what is flagged: bands that asked for a recalculation coarsely first, pending bands fully, then the
// combined curve and the scale's announcement.
//
// Ownership: the bands belong to QML (a band that is destroyed leaves the list); the driver is not
// owned and is held by a guarded pointer (a deleted driver reads as null); the paths and the scale
// labels are owned. Clearing the list disconnects the old bands from the back end.
//
// Threads: GUI thread only; the driver's signals arrive queued from the syscall thread. A
// non-recursive read-write lock guards the band list (append and clear write, everything else reads);
// it is held only to read or change the list, never while a band or a signal runs.
class cPEQQmlBackEnd2 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cPEQDriverInterface* driver READ driver WRITE setDriver NOTIFY driverChanged)
    Q_PROPERTY(QPainterPathWrapper* svgPathDataScaleMinor READ svgPathDataScaleMinor CONSTANT)
    Q_PROPERTY(QPainterPathWrapper* svgPathDataScaleMajor READ svgPathDataScaleMajor CONSTANT)
    Q_PROPERTY(QPainterPathWrapper* combinedPath READ combinedPath CONSTANT)
    Q_PROPERTY(QPainterPathWrapper* combinedPathLine READ combinedPathLine CONSTANT)
    Q_PROPERTY(QQmlListProperty<cPEQScaleText> scaleTextList READ scaleTextList NOTIFY scaleTextListChanged)
    Q_PROPERTY(QQmlListProperty<cPEQQmlBandBase2> bandList READ bandList NOTIFY bandListChanged)
    Q_PROPERTY(bool calculateCombinedCurve READ calculateCombinedCurve WRITE setCalculateCombinedCurve NOTIFY
                   calculateCombinedCurveChanged)
    Q_PROPERTY(double zeroYPos READ zeroYPos NOTIFY zeroYPosChanged)
    Q_PROPERTY(int gainRangeMin READ gainRangeMin WRITE setGainRangeMin)
    Q_PROPERTY(int gainRangeMax READ gainRangeMax WRITE setGainRangeMax)
    Q_PROPERTY(bool fillFromMin READ fillFromMin WRITE setFillFromMin)
    Q_PROPERTY(bool allowSizeChanges READ allowSizeChanges WRITE setAllowSizeChanges)
    Q_PROPERTY(float yScaleMargin READ yScaleMargin WRITE setYScaleMargin NOTIFY yScaleMarginChanged)
    Q_PROPERTY(float xScaleMargin READ xScaleMargin WRITE setXScaleMargin NOTIFY xScaleMarginChanged)
    Q_PROPERTY(double height READ height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(double width READ width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(bool fullyBypassed READ fullyBypassed NOTIFY fullyBypassedChanged)
    Q_PROPERTY(bool allBandsBypassed READ allBandsBypassed NOTIFY allBandsBypassedChanged)

public:
    static constexpr double START_FREQUENCY = 20.0;
    static constexpr double END_FREQUENCY = 20000.0;
    static constexpr int DEFAULT_PIXEL_WIDTH = 649;
    static constexpr int DEFAULT_PIXEL_HEIGHT = 325;
    static constexpr int DEFAULT_GAIN_MIN = -20;
    static constexpr int DEFAULT_GAIN_MAX = 20;
    // Sizes above this are refused (the scale's x positions are 16-bit).
    static constexpr int MAX_PIXELS = 32767;
    static constexpr UWORD DEFAULT_BAND_PASS_FREQ = 26007;

    explicit cPEQQmlBackEnd2(QObject* parent = nullptr);
    ~cPEQQmlBackEnd2() override;

    // dB -> pixels: (gain max - dB) * pixels per dB + 0.5.
    double GainToY(double dB) const;
    // pixels -> 1/256 dB: (gain max - min(y, pixel height) / pixels per dB) * 256.
    double YToGain(double y) const;
    // Column x (limited to the width) -> frequency code, truncated.
    UWORD XToFrequencyCode(int x) const;
    double FrequencyCodeToX(double code) const;
    // Fractions for drag points: (gain max - dB) / (gain max - gain min) and
    // (code - code min) / (code max - code min).
    double GainFraction(double dB) const;
    double FrequencyFraction(double code) const;

    UWORD GetFrequencyCodeMin() const { return mFrequencyCodeMin; }
    UWORD GetFrequencyCodeMax() const { return mFrequencyCodeMax; }
    int GetPixelWidth() const { return mPixelWidth; }
    int GetPixelHeight() const { return mPixelHeight; }
    double GetPixelsPerDb() const { return mPixelsPerDb; }
    int BandCount() const;
    // The band at index, or null outside the list.
    cPEQQmlBandBase2* BandAt(int index) const;
    const QList<cPEQScaleText*>& GetScaleTexts() const { return mScaleTexts; }
    // True while the update timer runs.
    bool IsUpdateScheduled() const { return mTimerId != 0; }

    cPEQDriverInterface* driver() const { return mDriver; }
    void setDriver(cPEQDriverInterface* driver);
    QPainterPathWrapper* svgPathDataScaleMinor() const { return mMinorScalePath; }
    QPainterPathWrapper* svgPathDataScaleMajor() const { return mMajorScalePath; }
    QPainterPathWrapper* combinedPath() const { return mCombinedPath; }
    QPainterPathWrapper* combinedPathLine() const { return mCombinedLinePath; }
    QQmlListProperty<cPEQScaleText> scaleTextList();
    QQmlListProperty<cPEQQmlBandBase2> bandList();
    bool calculateCombinedCurve() const { return mCalculateCombinedCurve; }
    double zeroYPos() const;
    int gainRangeMin() const { return mGainMin; }
    // Plain stores (no signal, no recalculation); values outside -128..127 are reported and refused.
    void setGainRangeMin(int dB);
    int gainRangeMax() const { return mGainMax; }
    void setGainRangeMax(int dB);
    bool fillFromMin() const { return mFillFromMin; }
    void setFillFromMin(bool fill) { mFillFromMin = fill; }
    bool allowSizeChanges() const { return mAllowSizeChanges; }
    // Setting it runs qmlSizeChanged at once.
    void setAllowSizeChanges(bool allow);
    // The scale margins in pixels: the y scale's labels to the left (at most the pixel width), the x
    // scale's below (at most the pixel height). A differing margin rebuilds the scale; one that is not
    // a number or does not fit the graph is reported and refused.
    float yScaleMargin() const { return mYScaleMargin; }
    void setYScaleMargin(float margin);
    float xScaleMargin() const { return mXScaleMargin; }
    void setXScaleMargin(float margin);
    double height() const { return mHeight; }
    double width() const { return mWidth; }
    bool fullyBypassed() const { return mFullyBypassed; }
    // True when every band is bypassed, and for an empty list.
    bool allBandsBypassed() const;

    // Band list operations (the QML list property's functions use them). A band joins one graph: one
    // that is in another graph's list leaves it first; a band already in this list, or a null one, is
    // reported and refused.
    void AppendBand(cPEQQmlBandBase2* band);
    void ClearBands();

public slots:
    void SetBandGain(uint index, GAIN gain);
    void SetBandFreq(uint index, UWORD freq);
    void SetBandWidth(uint index, UWORD width);
    void SetBandFreqRange(uint index, UWORD freqMin, UWORD freqMax);
    void SetBandType(uint index, UBYTE type);
    void SetBypass(uint index, bool bypass);
    void SetFullyBypassed(bool bypass);
    void SetBandPass(bool bandPass);
    void SetBandPassFreq(UWORD freq);

    void BandFreqChanged(int index);
    void BandGainChanged(int index);
    void BandWidthChanged(int index);
    void BandFreqRangeChanged(int index);
    void BandTypeChanged(int index);
    void BandPassChanged();
    void BandPassFreqChanged();

    void qmlSizeChanged();
    // The QML sizes; one that is not a number or beyond MAX_PIXELS either way is reported and refused.
    void setHeight(double height);
    void setWidth(double width);
    void setCalculateCombinedCurve(bool calculate);
    void SetCombinedPathDirty();
    void Update();
    void setQMLPEQObjectAndStart();
    void setPinchDelta(int SelectedBand, double PinchDelta);

signals:
    void driverChanged();
    void scaleTextListChanged();
    void bandListChanged();
    void calculateCombinedCurveChanged(bool calculate);
    void zeroYPosChanged();
    void yScaleMarginChanged();
    void xScaleMarginChanged();
    void heightChanged(double height);
    void widthChanged(double width);
    void fullyBypassedChanged(bool bypass);
    void allBandsBypassedChanged();
    void fillCurvesChanged();
    void overviewModeChanged();
    void fillFromMinChanged();
    void allowSizeChangesChanged();
    void bandPassChanged(bool bandPass);
    void bandPassFreqChanged(UWORD freq);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    using tBands = QVector<QPointer<cPEQQmlBandBase2>>;

    // A copy of the list, taken under the read lock.
    tBands Snapshot() const;
    int IndexOf(const cPEQQmlBandBase2* band) const;
    void ConnectBand(cPEQQmlBandBase2* band);
    void RemoveDestroyedBand(QObject* band);
    // Takes a band that joins another graph out of this list and disconnects it; nothing for a band
    // that is not in the list.
    void TakeBand(cPEQQmlBandBase2* band);
    void PullAllValues();
    void StoreFullyBypassed(bool bypass);
    void StartTimer();
    void OnUpdateTimer();
    void RecomputeScale();
    void BuildScales();
    void ComputeCombinedCurve(bool fullResolution);
    void ClearScaleTexts();

    static void AppendBandToList(QQmlListProperty<cPEQQmlBandBase2>* list, cPEQQmlBandBase2* band);
    static int BandListCount(QQmlListProperty<cPEQQmlBandBase2>* list);
    static cPEQQmlBandBase2* BandListAt(QQmlListProperty<cPEQQmlBandBase2>* list, int index);
    static void ClearBandList(QQmlListProperty<cPEQQmlBandBase2>* list);
    static int ScaleTextCount(QQmlListProperty<cPEQScaleText>* list);
    static cPEQScaleText* ScaleTextAt(QQmlListProperty<cPEQScaleText>* list, int index);

    QPointer<cPEQDriverInterface> mDriver;
    bool mAllowSizeChanges = false;
    QPainterPathWrapper* mCombinedPath;
    QPainterPathWrapper* mCombinedLinePath;
    bool mFillFromMin = false;
    QPainterPathWrapper* mMinorScalePath;
    QPainterPathWrapper* mMajorScalePath;
    float mXScaleMargin = 0.0f;
    float mYScaleMargin = 0.0f;
    double mStartFrequency = START_FREQUENCY;
    double mEndFrequency = END_FREQUENCY;
    UWORD mFrequencyCodeMin;
    UWORD mFrequencyCodeMax;
    SBYTE mGainMin = DEFAULT_GAIN_MIN;
    SBYTE mGainMax = DEFAULT_GAIN_MAX;
    int mPixelWidth = DEFAULT_PIXEL_WIDTH;
    int mPixelHeight = DEFAULT_PIXEL_HEIGHT;
    double mPixelsPerDb = 8.125;
    bool mCombinedDirty = false;
    bool mScalesDirty = false;
    QList<cPEQScaleText*> mScaleTexts;
    mutable QReadWriteLock mBandsLock;
    tBands mBands;
    bool mFullyBypassed = false;
    bool mBandPass = false;
    UWORD mBandPassFreq = DEFAULT_BAND_PASS_FREQ;
    double mHeight = DEFAULT_PIXEL_HEIGHT;
    double mWidth = DEFAULT_PIXEL_WIDTH;
    bool mCalculateCombinedCurve = true;
    int mTimerId = 0;
    QVector<QPointF> mCombinedPoints;
};
