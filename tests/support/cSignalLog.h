#pragma once

#include <QObject>
#include <QStringList>

// Records every signal that one object emits (its own and its bases', not QObject's), in order,
// as "Name(arg, ...)": ints and the framework's integer types as numbers, bools as true/false,
// floats with 8 significant digits, strings as they are. Connected directly, so signals emitted on
// another thread are recorded there; read it after that thread is done.
class cSignalLog : public QObject
{
public:
    explicit cSignalLog(QObject* source);

    const QStringList& Entries() const { return mEntries; }
    // Entries and clears them.
    QStringList Take();
    void Clear() { mEntries.clear(); }

    int qt_metacall(QMetaObject::Call call, int id, void** arguments) override;

private:
    QObject* mSource;
    QList<int> mSignalIndexes;
    QStringList mEntries;
};
