#pragma once

#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"

#include <QString>
#include <QVector>

#include <QtTest>

#include <array>

// A PEQ driver for graph tests: eight bands of values for the getters (ranges 20 Hz to 20 kHz), and a record
// of every Write call ("freq", band, value) in order. Nothing is sent anywhere.
class cFakePEQDriver : public cPEQDriverInterface
{
public:
    static constexpr int BANDS = 8;

    struct sWrite
    {
        QString mWhat;
        int mBand;
        int mValue;
        bool operator==(const sWrite& other) const
        {
            return mWhat == other.mWhat && mBand == other.mBand && mValue == other.mValue;
        }
    };

    GAIN GetBandGain(UBYTE band) const override { return mGain[band % BANDS]; }
    UWORD GetBandFreq(UBYTE band) const override { return mFreq[band % BANDS]; }
    UWORD GetBandWidthIndex(UBYTE band) const override { return mWidth[band % BANDS]; }
    UBYTE GetBandType(UBYTE band) const override { return mType[band % BANDS]; }
    UWORD GetBandFreqMin(UBYTE band) const override { return mFreqMin[band % BANDS]; }
    UWORD GetBandFreqMax(UBYTE band) const override { return mFreqMax[band % BANDS]; }
    UBYTE GetBandBypassed(UBYTE band) const override { return mBypass[band % BANDS]; }
    UWORD GetBandPassFreq() const override { return mBandPassFreq; }
    UBYTE GetBandPass() const override { return mBandPass; }
    UBYTE GetFullyBypassed() const override { return mFullyBypassed; }

    void WriteBandGain(UBYTE BandIndex, GAIN Gain) override { Record("gain", BandIndex, Gain); }
    void WriteBandFreq(UBYTE BandIndex, UWORD Freq) override { Record("freq", BandIndex, Freq); }
    void WriteBandWidthIndex(UBYTE BandIndex, UWORD WidthIndex) override
    {
        Record("width", BandIndex, WidthIndex);
    }
    void WriteBandFreqRange(UBYTE BandIndex, UWORD FreqMin, UWORD) override
    {
        Record("range", BandIndex, FreqMin);
    }
    void WriteBandEQType(UBYTE BandIndex, UBYTE Type) override { Record("type", BandIndex, Type); }
    void WriteBandBypassed(UBYTE BandIndex, bool Bypass) override { Record("bypass", BandIndex, Bypass); }
    void WriteBandPassFreq(UWORD BandPassFreq) override { Record("band-pass freq", 0, BandPassFreq); }
    void WriteBandPass(bool BandPass) override { Record("band pass", 0, BandPass); }
    void WriteFullyBypassed(bool Bypass) override { Record("fully bypassed", 0, Bypass); }

    std::array<GAIN, BANDS> mGain{};
    std::array<UWORD, BANDS> mFreq{};
    std::array<UWORD, BANDS> mWidth{};
    std::array<UBYTE, BANDS> mType{};
    std::array<UWORD, BANDS> mFreqMin = Filled(10699); // 20 Hz
    std::array<UWORD, BANDS> mFreqMax = Filled(56622); // 20 kHz
    std::array<UBYTE, BANDS> mBypass{};
    UWORD mBandPassFreq = 26007;
    UBYTE mBandPass = 0;
    UBYTE mFullyBypassed = 0;
    QVector<sWrite> mWrites;

private:
    static std::array<UWORD, BANDS> Filled(UWORD value)
    {
        std::array<UWORD, BANDS> values;
        values.fill(value);
        return values;
    }
    void Record(const char* what, int band, int value)
    {
        mWrites.append({QString::fromLatin1(what), band, value});
    }
};

namespace QTest
{
// "freq 2 = 33624, gain 2 = 2567" in failure messages.
template <>
inline char* toString(const QVector<cFakePEQDriver::sWrite>& writes)
{
    QStringList items;
    for (const cFakePEQDriver::sWrite& write : writes)
    {
        items << QStringLiteral("%1 %2 = %3").arg(write.mWhat).arg(write.mBand).arg(write.mValue);
    }
    return qstrdup(items.join(QStringLiteral(", ")).toUtf8().constData());
}
} // namespace QTest
