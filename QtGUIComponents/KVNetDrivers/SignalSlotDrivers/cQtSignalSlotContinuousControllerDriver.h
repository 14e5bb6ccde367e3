#pragma once

#include "KVNet/Core/cContinuousControllerWithDeltaDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/QtDriverAttachment.h"

#include <QObject>
#include <QString>

#include <atomic>

// A 16-bit control value within a range for QML (faders, knobs, value boxes, the PEQ graph): QML
// type "QtSignalSlotContinuousControllerDriver" of module "KVDrivers" 1.0. QML reads and writes it
// as a fraction 0..1 (value) or as the 16-bit value itself (networkValue, also spelt
// network_value). The driver only caches: its cContinuousControllerWithDelta (named, made by
// setNetObjectName) polls the cache on every action tick and sends changes along its links;
// values, ranges and deltas from links are stored here and announced by Qt signals. It never
// reports a touch and never originates deltas.
//
// Ranges: lower..upper (span = upper - lower, 0 when upper < lower); with LevelType the lower end
// means "off" and is carried as 0. QML values outside the range are clamped into it, fractions
// into 0..1 (see cContinuousControllerDriver for the conversions).
//
// Deltas from a linked controller (parameter 4100, a signed 16-bit number of units):
// - a range of fewer than 136 steps needs q = min(136 / span, 10) units per step, carrying the
//   units left over to the next delta, so about 136 units sweep it;
// - a larger range moves 1 or 2 steps for deltas of 1 or 2 units, and for larger deltas by a
//   growing minimum share of the span (0.0001 of it at 3 units, 0.06 at 11 and 12, 0.007 more per
//   unit up to 26 and 0.017 more per unit from 27);
// - a step starts from the value clamped into the range (so a LevelType control that is "off"
//   steps up from its lower end) and stops at the range's ends; a step that rounds to nothing
//   still moves by one.
//
// A driver made with a name attaches in its constructor. A subclass that overrides the framework
// side is made without a name and attached by setNetObjectName once it is built (see cAudioDriver).
//
// Threads: the driver lives on the GUI thread, where it is made, attached, detached, destroyed and
// written from QML. The controller polls it (ReadControllerValue) and hands it values, ranges and
// deltas on the syscall thread with the registry lock held; the signals emitted there reach
// GUI-thread receivers queued. The cached value is atomic, the range is the base's atomic word, the
// read counter and the delta remainder belong to the syscall thread.
class cQtSignalSlotContinuousControllerDriver : public QObject, public cContinuousControllerWithDeltaDriver
{
    Q_OBJECT
    Q_PROPERTY(QString netObjectName READ netObjectName WRITE setNetObjectName NOTIFY NetObjectNameChanged)
    Q_PROPERTY(float value READ value WRITE setValue NOTIFY ValuePropertyChanged)
    Q_PROPERTY(int network_value READ networkValue WRITE setNetworkValue NOTIFY ValuePropertyChanged)
    Q_PROPERTY(int networkValue READ networkValue WRITE setNetworkValue NOTIFY ValuePropertyChanged)
    Q_PROPERTY(int range READ range NOTIFY rangeChanged)
    Q_PROPERTY(int min READ min NOTIFY rangeChanged)
    Q_PROPERTY(int max READ max NOTIFY rangeChanged)

public:
    static constexpr UBYTE DEFAULT_READ_PERIOD = 50;
    // Ranges with fewer steps than this take several delta units per step.
    static constexpr int SMALL_RANGE_LIMIT = 136;
    static constexpr int MAX_UNITS_PER_STEP = 10;

    // The form QML uses (range 0 to 65535, no LevelType, read period 50): detached until
    // netObjectName is set. With a name the driver attaches at once. The cached value starts at
    // min.
    explicit cQtSignalSlotContinuousControllerDriver(QObject* parent = nullptr, const char* name = nullptr,
                                                     UWORD min = 0, UWORD max = 0xFFFF, UBYTE levelType = 0,
                                                     UBYTE readPeriod = DEFAULT_READ_PERIOD);
    cQtSignalSlotContinuousControllerDriver(const char* name, UWORD min, UWORD max, UBYTE levelType,
                                            UBYTE readPeriod, QObject* parent = nullptr);
    // Detaches (under the registry lock) without emitting anything.
    ~cQtSignalSlotContinuousControllerDriver() override;

    // The net object's registered name, empty while detached.
    QString netObjectName() const;
    // Attaches under that name: a cContinuousControllerWithDelta (5 parameters, on the tick list).
    // An empty name does nothing; a driver already attached keeps its net object and reports
    // "Driver already has a net object"; a name that cannot register leaves the driver detached
    // (the framework reports why). Emits NetObjectNameChanged when attached.
    bool setNetObjectName(const QString& name);
    // Destroys the net object under the registry lock and emits NetObjectNameChanged; a second
    // call does nothing.
    void DetachNetObject();
    // The net object's name, or null while detached.
    const char* GetNetObjectName() const;

    // The cached value as a fraction of the range.
    float value() const;
    int networkValue() const { return GetCachedValue(); }
    int range() const { return GetSpan(); }
    int min() const { return GetLower(); }
    int max() const { return GetUpper(); }
    UWORD GetCachedValue() const { return mValue.load(std::memory_order_relaxed); }
    UBYTE GetReadPeriod() const { return mReadPeriod.Period(); }

    // SetRange, then rangeChanged once more. The cached value is not re-clamped.
    Q_INVOKABLE void setRange(UWORD Min, UWORD Max, bool LevelType);
    // The fraction of a 16-bit value in the current range; changes nothing.
    Q_INVOKABLE float valueFromNetworkValue(int NetworkValue) const;

    // Stores the range (span = max(upper - lower, 0)) and emits rangeChanged. Also reached from a
    // range message on the syscall thread.
    void SetRange(UWORD lower, UWORD upper, bool levelType) override;

public slots:
    // The fraction's value in the range; when it differs from the cached value it is stored and
    // ValueChanged(int), ValueChanged(float) and ValuePropertyChanged are emitted, in that order.
    // The controller sends it on its next tick. A fraction that is not finite (NaN, an infinity:
    // also what a number beyond float becomes) is reported and changes nothing.
    void setValue(float Value);
    void SetValue(float Value) { setValue(Value); }
    // The value clamped into the range (the lower end as 0 with LevelType); stored and announced
    // as setValue does.
    void setNetworkValue(int Value);
    void SetNetworkValue(int Value) { setNetworkValue(Value); }
    // Accepted for the user interface; they do nothing.
    void requstDisplayAsConnectedToExternalControl() {}
    void requstDisplayAsDisconnectedFromExternalControl() {}

signals:
    // Every readPeriod-th poll, with the cached value (syscall thread).
    void ControllerValueRead(int Value);
    void ValueChanged(int Value);
    void ValueChanged(float Value);
    void ValuePropertyChanged();
    void NetObjectNameChanged();
    void rangeChanged();

private:
    // Framework side, called by the controller on the syscall thread.
    UBYTE IsControllerTouched() override { return 0; }
    // Paces ControllerValueRead and answers the cached value, the lower end as 0 with LevelType.
    UWORD ReadControllerValue() override;
    // A value from a link: stored as it is and announced.
    void SetValue(UWORD value) override;
    UWORD GetDelta() override { return 0; }
    // A delta from a link, see the class comment.
    void ApplyDelta(UWORD delta) override;

    // Stores v and emits the three value signals.
    void StoreAndAnnounce(UWORD value);
    // The number of steps for a delta (0 still moves by one); -1 when no step is taken (small
    // ranges carry the units over).
    int StepsForDelta(int delta, int span);

    std::atomic<UWORD> mValue;
    cReadPeriod mReadPeriod;
    int mDeltaRemainder = 0;
};
