#pragma once

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSwitchDriverBase.h"

// A small integer (0 to 255) for QML: QML type "QtIntegerSwitchDriver" of module "KVDrivers" 1.0.
// The properties integerValue and value are the same cached byte.
//
// Threads: see cQtSwitchDriverBase. The setters and properties on the GUI thread; values from
// links arrive on the syscall thread, and ValueChanged is emitted there.
class cQtIntegerSwitchDriver : public cQtSwitchDriverBase
{
    Q_OBJECT
    Q_PROPERTY(int integerValue READ value WRITE setValue NOTIFY ValueChanged)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY ValueChanged)

public:
    static constexpr int MAX_VALUE = 255;

    // The form QML uses: detached until netObjectName is set; with a name, attached at once
    // (on the tick list when tick is set).
    explicit cQtIntegerSwitchDriver(QObject* parent = nullptr, const char* name = nullptr,
                                    UBYTE readPeriod = DEFAULT_READ_PERIOD, bool tick = true);
    cQtIntegerSwitchDriver(const char* name, UBYTE readPeriod, bool tick, QObject* parent = nullptr);
    // Detaches (under the registry lock) without emitting anything.
    ~cQtIntegerSwitchDriver() override;

    int value() const { return GetCachedValue(); }

public slots:
    // When Value differs from the cached byte it is stored and ValueChanged(Value) emitted; the
    // switch object sends it on its next tick. A value outside 0..255 is reported and changes
    // nothing.
    void setValue(int Value);
    // The same operation.
    void SetValue(int Value) { setValue(Value); }

signals:
    void ValueChanged(int Value);

private:
    // From a link (syscall thread): a byte that differs is stored and announced.
    void SetValue(UBYTE value) override;
};
