#pragma once

#include <QObject>
#include <QString>

// The units' text as a property type name of its own (it holds a translated unit).
using QStringTr = QString;

// The result of every value formatting: the value text and the unit text (the unit with its
// separator in front, or empty). Returned by value; a copy is a new object with the same texts and
// no parent. Any thread.
class cValueUnitStrings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue)
    Q_PROPERTY(QStringTr units READ units WRITE setUnits)

public:
    cValueUnitStrings() = default;
    cValueUnitStrings(const QString& value, const QString& units);
    cValueUnitStrings(const cValueUnitStrings& other);
    cValueUnitStrings& operator=(const cValueUnitStrings& other);
    ~cValueUnitStrings() override = default;

    QString value() const { return mValue; }
    void setValue(const QString& value) { mValue = value; }
    QStringTr units() const { return mUnits; }
    void setUnits(const QStringTr& units) { mUnits = units; }

private:
    QString mValue;
    QStringTr mUnits;
};
