#pragma once

#include "KVNet/Core/cMeterDisplayDriverBase.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/QtDriverAttachment.h"

#include <QObject>
#include <QString>

#include <atomic>

// One level meter for QML: QML type "QtSignalSlotMeterDriver" of module "KVDrivers" 1.0. Its
// cMeterNet (named, made by setNetObjectName; no tick) receives levels from the metering sources
// by message, applies the attack and decay steps and hands the result to MeterValues; the driver
// keeps the last level and peak as GAIN (1/256 dB, -32767 for silence) and shows them as
// fractions of its display range bottomOfMeter..topOfMeter.
//
// A fraction is the gain clamped into the display range, as a share of it; a range that is empty
// or upside down (top at or below bottom) shows every gain as 0. The range is computed in int, so
// the whole GAIN span is a valid range.
//
// A driver made with a name attaches in its constructor. A subclass that overrides the framework
// side is made without a name and attached by setNetObjectName once it is built (see cAudioDriver).
//
// Threads: the driver lives on the GUI thread, where it is made, attached, detached, destroyed and
// written from QML; setters that reach the meter net take the registry lock. MeterValues and the
// steps from messages arrive on the syscall thread with the registry lock held and emit their
// signals there; GUI-thread receivers get them queued, which needs "GAIN" registered as a
// meta-type (RegisterQmlTypes). Level, peak and display range are atomic.
class cQtSignalSlotMeterDriver : public QObject, public cMeterDisplayDriverBase
{
    Q_OBJECT
    Q_PROPERTY(QString netObjectName READ netObjectName WRITE setNetObjectName NOTIFY netObjectNameChanged)
    Q_PROPERTY(float value READ value NOTIFY FloatValueChanged)
    Q_PROPERTY(GAIN gainValue READ gainValue NOTIFY GainValueChanged)
    Q_PROPERTY(float peak READ peak NOTIFY PeakChanged)
    Q_PROPERTY(GAIN gainPeak READ gainPeak NOTIFY PeakChanged)
    Q_PROPERTY(GAIN bottomOfMeter READ bottomOfMeter WRITE setBottomOfMeter NOTIFY BottomOfMeterChanged)
    Q_PROPERTY(GAIN topOfMeter READ topOfMeter WRITE setTopOfMeter NOTIFY TopOfMeterChanged)
    Q_PROPERTY(GAIN attackStep READ attackStep WRITE setAttackStep NOTIFY attackStepChanged)
    Q_PROPERTY(GAIN decayStep READ decayStep WRITE setDecayStep NOTIFY decayStepChanged)
    Q_PROPERTY(bool noBallistics READ noBallistics WRITE setNoBallistics NOTIFY noBallisticsChanged)

public:
    static constexpr GAIN DEFAULT_BOTTOM = -15360; // -60 dB
    static constexpr GAIN DEFAULT_TOP = 0;
    static constexpr GAIN DEFAULT_ATTACK_STEP = 32767; // rise at once
    static constexpr GAIN DEFAULT_DECAY_STEP = -768;   // fall 3 dB per update
    // The ballistics mode that feeds the meter net's direct level and peak (4097) instead of its
    // ballistic level (4096).
    static constexpr int NO_BALLISTICS_MODE = 1;

    // The form QML uses: detached until netObjectName is set, level and peak -32767. With a name
    // the driver attaches at once; startAtZero starts level and peak at 0.
    explicit cQtSignalSlotMeterDriver(QObject* parent = nullptr, const char* name = nullptr,
                                      GAIN bottomOfMeter = DEFAULT_BOTTOM, GAIN topOfMeter = DEFAULT_TOP,
                                      GAIN attackStep = DEFAULT_ATTACK_STEP,
                                      GAIN decayStep = DEFAULT_DECAY_STEP, UBYTE startAtZero = 0,
                                      int ballisticsMode = 0);
    cQtSignalSlotMeterDriver(const char* name, GAIN bottomOfMeter, GAIN topOfMeter, GAIN attackStep,
                             GAIN decayStep, UBYTE startAtZero, int ballisticsMode,
                             QObject* parent = nullptr);
    // Detaches (under the registry lock) without emitting anything.
    ~cQtSignalSlotMeterDriver() override;

    // The net object's registered name, empty while detached.
    QString netObjectName() const;
    // Attaches under that name: a cMeterNet with the current attack and decay steps, peak hold off.
    // An empty name does nothing; a driver already attached keeps its net object and reports
    // "Driver already has a net object"; a name that cannot register leaves the driver detached
    // (the framework reports why). Emits netObjectNameChanged when attached.
    bool setNetObjectName(const QString& name);
    // Destroys the net object under the registry lock and emits netObjectNameChanged; a second
    // call does nothing.
    void DetachNetObject();
    // Queues one link (no sync, one way) from (path, param) to the meter net's ballistic level
    // (4096), or to its direct level and peak (4097) when noBallistics is set. False, with a
    // report, while detached or without a system builder.
    bool LinkMeterFromParameter(const char* path, UWORD param, bool remove);

    float value() const { return GainToFraction(gainValue()); }
    GAIN gainValue() const { return mGainValue.load(std::memory_order_relaxed); }
    float peak() const { return GainToFraction(gainPeak()); }
    GAIN gainPeak() const { return mGainPeak.load(std::memory_order_relaxed); }
    GAIN bottomOfMeter() const { return mBottom.load(std::memory_order_relaxed); }
    GAIN topOfMeter() const { return mTop.load(std::memory_order_relaxed); }
    GAIN attackStep() const { return GetAttackStep(); }
    GAIN decayStep() const { return GetDecayStep(); }
    bool noBallistics() const { return mNoBallistics; }

    // The fraction of a gain in the display range (see the class comment).
    float GainToFraction(int gain) const;

    // Stores a step that differs, sets it in the meter net (under the registry lock) when
    // attached, and emits attackStepChanged / decayStepChanged.
    void setAttackStep(GAIN step);
    void setDecayStep(GAIN step);

    // When attached, the meter net shows its next level at once as both level and peak.
    Q_INVOKABLE void resetMeterBallistics();
    // The fraction of a gain handed over as a 16-bit word: its bits are the GAIN's, so QML passes a
    // negative gain as it is (-7680 arrives as 0xE200 and reads as -30 dB).
    Q_INVOKABLE float getFloatForUWORD(UWORD Value) const;

public slots:
    // Store a bound that differs and emit its signal; the value and peak fractions are not
    // re-announced.
    void setBottomOfMeter(GAIN BottomOfMeter);
    void setTopOfMeter(GAIN TopOfMeter);
    // Stores a flag that differs and emits noBallisticsChanged; it takes effect at the next link.
    void setNoBallistics(bool noBallistics);

signals:
    void MeterValuesChanged(GAIN NewMeterValue, GAIN NewPeakValue);
    void MeterValuesChanged1();
    void GainValueChanged(GAIN Value);
    void FloatValueChanged(float Value);
    void ValueChanged();
    void PeakChanged();
    void BottomOfMeterChanged(GAIN arg);
    void TopOfMeterChanged(GAIN arg);
    void netObjectNameChanged();
    void attackStepChanged();
    void decayStepChanged();
    void noBallisticsChanged(bool noBallistics);

private:
    // Framework side, called by the meter net on the syscall thread.
    // The level and peak after the ballistics; the peak shown is never below the level. Emits
    // only what changed: GainValueChanged, FloatValueChanged and ValueChanged for a new level,
    // PeakChanged for a new peak, then MeterValuesChanged1 and MeterValuesChanged.
    void MeterValues(GAIN meter, GAIN peak) override;
    // Steps that arrived by message: stored and announced without comparing.
    void SetAttackStep(GAIN step) override;
    void SetDecayStep(GAIN step) override;

    std::atomic<GAIN> mGainValue;
    std::atomic<GAIN> mGainPeak;
    std::atomic<GAIN> mBottom;
    std::atomic<GAIN> mTop;
    bool mNoBallistics;
};
