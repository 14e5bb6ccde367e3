#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QObject>

// What the response graph's back end sees of the driver that holds every band of one parametric EQ
// unit: getters for the bands' values, Write slots that store the graph's edits, and a signal for
// every change that comes from the unit. QML type "PEQDriverInterface" of module "KVDrivers" 1.0,
// not creatable.
//
// Frequencies are frequency codes, gains GAIN (1/256 dB, -32767 for minus infinity), widths width
// codes whose high byte indexes the Q table, types nPEQ::eParametricEQType.
//
// Threads: the Write slots and getters are called on the GUI thread; an implementation may emit its
// signals on another thread (they then reach GUI-thread receivers queued).
class cPEQDriverInterface : public QObject
{
    Q_OBJECT

public:
    explicit cPEQDriverInterface(QObject* parent = nullptr);
    ~cPEQDriverInterface() override;

    virtual GAIN GetBandGain(UBYTE band) const = 0;
    virtual UWORD GetBandFreq(UBYTE band) const = 0;
    virtual UWORD GetBandWidthIndex(UBYTE band) const = 0;
    virtual UBYTE GetBandType(UBYTE band) const = 0;
    virtual UWORD GetBandFreqMin(UBYTE band) const = 0;
    virtual UWORD GetBandFreqMax(UBYTE band) const = 0;
    virtual UBYTE GetBandBypassed(UBYTE band) const = 0;
    virtual UWORD GetBandPassFreq() const = 0;
    virtual UBYTE GetBandPass() const = 0;
    virtual UBYTE GetFullyBypassed() const = 0;

public slots:
    virtual void WriteBandGain(UBYTE BandIndex, GAIN Gain) = 0;
    virtual void WriteBandFreq(UBYTE BandIndex, UWORD Freq) = 0;
    virtual void WriteBandWidthIndex(UBYTE BandIndex, UWORD WidthIndex) = 0;
    virtual void WriteBandFreqRange(UBYTE BandIndex, UWORD FreqMin, UWORD FreqMax) = 0;
    virtual void WriteBandEQType(UBYTE BandIndex, UBYTE Type) = 0;
    virtual void WriteBandBypassed(UBYTE BandIndex, bool Bypass) = 0;
    virtual void WriteBandPassFreq(UWORD BandPassFreq) = 0;
    virtual void WriteBandPass(bool BandPass) = 0;
    virtual void WriteFullyBypassed(bool Bypass) = 0;

signals:
    void GainChanged(uint BandIndex, GAIN Gain);
    void FreqChanged(uint BandIndex, UWORD Freq);
    void WidthChanged(uint BandIndex, UWORD Width);
    void TypeChanged(uint BandIndex, UBYTE Type);
    void FreqRangeChanged(uint BandIndex, UWORD FreqMin, UWORD FreqMax);
    void BypassChanged(uint BandIndex, bool Bypass);
    void FullyBypassedChanged(bool Bypass);
    void BandPassChanged(bool BandPass);
    void BandPassFreqChanged(UWORD BandPassFreq);
};
