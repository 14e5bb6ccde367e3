#pragma once

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSwitchDriverBase.h"

// An on/off switch for QML (mute, polarity, bypass, gang): QML type "QtBooleanSwitchDriver" of
// module "KVDrivers" 1.0. The cached byte is 0 or 1 when written here; a byte from the network is
// kept as received, and the value property reads it through UBYTEToBool (which reports anything
// but 0 and 1 and takes it as true).
//
// Threads: see cQtSwitchDriverBase. setValue and the properties on the GUI thread; values from
// links arrive on the syscall thread, and valueChanged / ValuePropertyChanged are emitted there.
class cQtBooleanSwitchDriver : public cQtSwitchDriverBase
{
    Q_OBJECT
    Q_PROPERTY(bool value READ value WRITE setValue NOTIFY valueChanged)

public:
    // The form QML uses: detached until netObjectName is set; with a name, attached at once
    // (on the tick list when tick is set).
    explicit cQtBooleanSwitchDriver(QObject* parent = nullptr, const char* name = nullptr,
                                    UBYTE readPeriod = DEFAULT_READ_PERIOD, bool tick = true);
    cQtBooleanSwitchDriver(const char* name, UBYTE readPeriod, bool tick, QObject* parent = nullptr);
    // Detaches (under the registry lock) without emitting anything.
    ~cQtBooleanSwitchDriver() override;

    bool value() const;

public slots:
    // Stores 1 or 0; when that changes the cached byte, emits valueChanged and
    // ValuePropertyChanged. The switch object sends it on its next tick.
    void setValue(bool Value);

signals:
    void valueChanged(bool Value);
    void ValuePropertyChanged();

private:
    // From a link (syscall thread): a byte that differs is stored and announced.
    void SetValue(UBYTE value) override;
};
