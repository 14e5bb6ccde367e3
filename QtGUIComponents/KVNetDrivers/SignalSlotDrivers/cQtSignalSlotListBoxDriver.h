#pragma once

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSwitchDriverBase.h"

#include <QList>

#include <atomic>
#include <map>

// A choice from a list for QML (a filter slope, for example): list index i stands for the switch
// value of entry i. Not a QML type of its own; cQtListBoxBackend owns one and QML reaches it
// through that back end.
//
// Besides the cached switch value the driver keeps a position along the list in 1/256 of an
// index (index x 256), which relative steps (deltas, parameter 4097 of the switch object) move:
// one delta unit moves about 3/256 of the way along the list whatever its length, so about 85
// units sweep it; the index is the position rounded to the nearest entry, and when it changes the
// position moves onto that entry. A step that would leave the list stops at its first or last
// entry; from a value that no entry holds (position -256) any step lands on the first entry.
//
// Threads: see cQtSwitchDriverBase. The entries are changed on the GUI thread under the registry
// lock and read on the syscall thread (values and deltas from links) with that lock held.
class cQtSignalSlotListBoxDriver : public cQtSwitchDriverBase
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE SetCurrentIndex NOTIFY CurrentIndexChanged)
    Q_PROPERTY(int Value READ Value WRITE SetValue NOTIFY ValueChanged)

public:
    static constexpr int POSITION_PER_INDEX = 256;

    // Entry i of values becomes list index i; then index 0 is selected (SetCurrentIndex); then,
    // with a name, the driver attaches at once, on the tick list.
    cQtSignalSlotListBoxDriver(QObject* parent, const char* name, const QList<UBYTE>& values,
                               UBYTE readPeriod = DEFAULT_READ_PERIOD);
    // Detaches (under the registry lock) without emitting anything.
    ~cQtSignalSlotListBoxDriver() override;

    // The first index (in index order) whose entry holds the cached value, -1 when none does.
    int currentIndex() const;
    int Value() const { return GetCachedValue(); }

    // Adds an entry under the index one above the highest (0 for an empty list).
    void AppendValue(UBYTE value);
    // Removes every entry; the cached value stays.
    void ClearValues();
    int GetEntryCount() const;
    // The position along the list in 1/256 of an index; -256 when no entry holds the value.
    int GetPosition() const { return mPosition.load(std::memory_order_relaxed); }
    // The net object's name, or null while detached.
    const char* GetNetObjectName() const;

public slots:
    // Selects the value of entry Index (0 when there is no such entry). When that differs from the
    // cached value it is stored, the position moves to its entry and CurrentIndexChanged is
    // emitted (not ValueChanged).
    void SetCurrentIndex(int Index);
    // Selects a value that an entry holds: nothing happens when it is the cached value already or
    // no entry holds it; otherwise it is stored, the position moves to its entry and
    // ValueChanged(arg) is emitted (not CurrentIndexChanged). A value outside 0..255 is
    // reported and changes nothing.
    void SetValue(int arg);

signals:
    void ValueChanged(int Value);
    void CurrentIndexChanged();

private:
    // From a link (syscall thread): stored whatever it is; the position follows its entry, and
    // ValueChanged then CurrentIndexChanged are emitted.
    void SetValue(UBYTE value) override;
    // A relative step from a link (syscall thread), see the class comment.
    void ApplySwitchDelta(UWORD delta) override;

    // The first index holding value, -1 when none.
    int IndexOfValue(UBYTE value) const;
    void SetPosition(int position) { mPosition.store(position, std::memory_order_relaxed); }

    std::map<int, UBYTE> mEntries;
    std::atomic<int> mPosition{0};
};
