#pragma once

#include "KVNet/Core/cSwitchBaseDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/QtDriverAttachment.h"

#include <QObject>
#include <QString>

#include <atomic>

// What the QML switch drivers share: a QObject first, a framework switch driver second. The
// driver caches one byte; its cSwitchObject (named, made by setNetObjectName) polls the cache on
// every action tick and sends changes to its links, and values from links are stored in the cache
// by the subclass's SetValue and announced by Qt signals.
//
// A driver made with a name attaches in its constructor. A subclass that overrides the framework
// side is made without a name and attached by setNetObjectName once it is built (see cAudioDriver).
//
// Threads: the driver lives on the GUI thread, where it is made, attached, detached, destroyed and
// written from QML. The switch object polls it (GetValue) and hands it values and deltas on the
// syscall thread, with the registry lock held; the signals emitted there reach GUI-thread receivers
// queued, which needs every argument type registered as a meta-type (RegisterQmlTypes). The cached
// byte is atomic; anything larger that both threads read is written under the registry lock.
class cQtSwitchDriverBase : public QObject, public cSwitchBaseDriver
{
    Q_OBJECT
    Q_PROPERTY(QString netObjectName READ netObjectName WRITE setNetObjectName NOTIFY netObjectNameChanged)

public:
    static constexpr UBYTE DEFAULT_READ_PERIOD = 50;

    // Detached; readPeriod paces SwitchRead (see GetValue).
    cQtSwitchDriverBase(UBYTE readPeriod, QObject* parent);
    // Subclasses detach first (they override SetValue, which the switch object calls).
    ~cQtSwitchDriverBase() override;

    // The net object's registered name, empty while detached.
    QString netObjectName() const;
    // Attaches under that name: a cSwitchObject, on the tick list when tick is set. An empty name
    // does nothing; a driver already attached keeps its net object and reports "Driver already has
    // a net object"; a name that cannot register leaves the driver detached (the framework
    // reports why). Emits netObjectNameChanged when attached. True when attached.
    bool setNetObjectName(const QString& name, bool tick = true);
    // Destroys the net object under the registry lock and emits netObjectNameChanged; a second
    // call does nothing. Back ends call it before shutdown.
    void DetachNetObject();

    UBYTE GetCachedValue() const { return mValue.load(std::memory_order_relaxed); }
    UBYTE GetReadPeriod() const { return mReadPeriod.Period(); }

signals:
    // Every readPeriod-th poll, with the cached value (syscall thread).
    void SwitchRead(int Value);
    void netObjectNameChanged();

protected:
    // Polled by the switch object on every tick (syscall thread): paces SwitchRead and answers
    // the cached value, which the switch object sends to its links when it changed.
    UBYTE GetValue() override;

    void StoreValue(UBYTE value) { mValue.store(value, std::memory_order_relaxed); }

private:
    std::atomic<UBYTE> mValue{0};
    cReadPeriod mReadPeriod;
};
