#pragma once

#include <QObject>

// The translation context of every text the value formatters translate: the unit texts (each
// with a comment such as "Units: Decibels") and the value texts "-Inf", "Inf" and "<-40".
class cValueInterpreterUnitsTr : public QObject
{
    Q_OBJECT
};
