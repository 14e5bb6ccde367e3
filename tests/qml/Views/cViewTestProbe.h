#pragma once

#include <QObject>
#include <QVariantMap>

class cLowMidHigh;
class cParametricEQUnit;
class cProgramSession;

// What the QML tests of the views read that QML does not show: the PEQ graph back end's own
// conversions between pixels and codes, a graph band's codes, and the device model's values. QML
// sees it as "_Probe". An object of the wrong type, or a panel, side or band that does not exist,
// reads as -1 (or an empty map).
//
// The model is read under the registry lock, so no message is being delivered meanwhile.
//
// GUI thread; the session must outlive it.
class cViewTestProbe : public QObject
{
    Q_OBJECT

public:
    explicit cViewTestProbe(const cProgramSession& session);

    // The graph back end's (PEQQmlBackEnd) frequency code of pixel column x, its gain in 1/256 dB
    // (not truncated) of pixel row y, its pixel width and height, and its fractions of the graph's
    // size for a frequency code and a gain in dB.
    Q_INVOKABLE int frequencyCodeAt(QObject* backEnd, int x) const;
    Q_INVOKABLE double gainAt(QObject* backEnd, double y) const;
    Q_INVOKABLE int pixelWidth(QObject* backEnd) const;
    Q_INVOKABLE int pixelHeight(QObject* backEnd) const;
    Q_INVOKABLE double frequencyFraction(QObject* backEnd, int code) const;
    Q_INVOKABLE double gainFraction(QObject* backEnd, double dB) const;

    // A graph band's (PEQQmlBand) codes: frequency, gain (1/256 dB), width, type, frequencyMin and
    // frequencyMax (its range).
    Q_INVOKABLE QVariantMap band(QObject* band) const;

    // Band `band` of the left or right parametric EQ unit of panel 1, 2 or 3 (LOW, MID, HIGH):
    // frequency, gain (1/256 dB), width, type, bypass.
    Q_INVOKABLE QVariantMap unitBand(int panel, bool right, int band) const;
    // The unit's bypass (the block's in/out) as 0 or 1.
    Q_INVOKABLE int unitBypass(int panel, bool right) const;
    // The slope type of the panel's high-pass unit.
    Q_INVOKABLE int hpfSlope(int panel) const;
    // The panel's PEQ gang as 0 or 1.
    Q_INVOKABLE int peqGang(int panel) const;

private:
    cLowMidHigh* Panel(int panel) const;
    cParametricEQUnit* EQUnit(int panel, bool right) const;

    const cProgramSession& mSession;
};
