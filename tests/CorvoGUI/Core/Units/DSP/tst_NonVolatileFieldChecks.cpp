#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cDelayUnit.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cHPFUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QFile>
#include <QtTest>

#include <cstring>
#include <memory>

namespace
{

enum eBlock
{
    BLOCK_STRIP,
    BLOCK_HPF,
    BLOCK_DELAY,
    BLOCK_LEFT_EQ,
    BLOCK_GANG,
};

// The in/out faders and the LOW panel on one storage, built in the program's order.
struct sModel
{
    sModel(cNonVolatileStorageManager* storage, cSerialInterface* serial)
        : mFader(storage, serial, &mSaves)
        , mLow(LOW, storage, serial, &mSaves)
    {
    }
    const cNonVolatileBlock& Block(eBlock block) const
    {
        switch (block)
        {
        case BLOCK_STRIP:
            return mFader.GetStrip(0)->GetUnit()->GetBlock();
        case BLOCK_HPF:
            return mLow.GetHPFDriver()->GetUnit()->GetBlock();
        case BLOCK_DELAY:
            return mLow.GetDelayDriver()->GetUnit()->GetBlock();
        case BLOCK_LEFT_EQ:
            return mLow.GetLeftEQDriver()->GetUnit()->GetBlock();
        default:
            return mLow.GetGangDriver()->GetBlock();
        }
    }

    cListSaveRegistry mSaves;
    cInOutFader mFader;
    cLowMidHigh mLow;
};

} // namespace

Q_DECLARE_METATYPE(eBlock)

// Blocks of the non-volatile RAM file whose markers are right but whose fields are not: checked at
// start-up, each field outside its domain mended to its default alone, and said once; only wrong
// markers reset a whole block.
class tst_NonVolatileFieldChecks : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(); }
    void cleanup()
    {
        cMessagePump::Pump();
        mSystem.reset();
    }

    void newFile_isSaidOnceForTheWholeFile();
    void corruptBlock_isMendedResetOrRedesignedAtStartUp_data();
    void corruptBlock_isMendedResetOrRedesignedAtStartUp();
    void mendedField_leavesTheUsersOtherSettings_data();
    void mendedField_leavesTheUsersOtherSettings();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_NonVolatileFieldChecks::newFile_isSaidOnceForTheWholeFile()
{
    cReportCapture capture;
    cTestStorage storage;
    cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
    {
        sModel model(storage.Get(), &serial);
    }
    QCOMPARE(capture.Count("Notification: Non-volatile RAM file "), 1);
    QVERIFY(capture.Contains(" created: every setting starts at its default"));
    QCOMPARE(capture.Count("Settings of "), 0);

    // Mapped again, nothing was lost and nothing is said.
    capture.Clear();
    storage.Map();
    {
        sModel model(storage.Get(), &serial);
    }
    QCOMPARE(capture.Count("Notification: "), 0);
}

void tst_NonVolatileFieldChecks::corruptBlock_isMendedResetOrRedesignedAtStartUp_data()
{
    QTest::addColumn<eBlock>("block");
    QTest::addColumn<int>("offset"); // from the start marker
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("notification"); // empty: the block is kept
    const QString mended = ", out of its range; that setting takes its default, the others are kept";

    QByteArray noise(20, '\0');
    for (int i = 0; i < noise.size(); ++i)
    {
        noise[i] = char(0x35 + 37 * i);
    }
    // The LOW high-pass block: marker, u16 frequency, u32 slope, u8 bypass, then the words.
    QTest::newRow("20 random bytes over the high-pass words: designed again, nothing lost")
        << BLOCK_HPF << 9 << noise << QString();
    QTest::newRow("high-pass slope type 9")
        << BLOCK_HPF << 4 << QByteArray::fromHex("09000000")
        << "Settings of LMH 1:  HPF Unit mended: its non-volatile block held slope type 9" + mended;
    QTest::newRow("high-pass bypass byte 2")
        << BLOCK_HPF << 8 << QByteArray::fromHex("02") << "held bypass 2" + mended;
    // The left EQ of two bands: marker, u8 bypass, 2 frequencies, 2 widths, 2 gains, then the types.
    QTest::newRow("band type 12345")
        << BLOCK_LEFT_EQ << 2 + 13 << QByteArray::fromHex("39300000")
        << "Settings of LMH 1: L Parametric EQ Unit mended: its non-volatile block held band 0 type 12345" +
               mended;
    QTest::newRow("both band bypass bytes")
        << BLOCK_LEFT_EQ << 2 + 23 << QByteArray::fromHex("0403")
        << "Settings of LMH 1: L Parametric EQ Unit mended: its non-volatile block held band 0 bypass 4, "
           "band 1 "
           "bypass 3, out of their ranges; those settings take their defaults, the others are kept";
    QTest::newRow("strip mute byte 7")
        << BLOCK_STRIP << 2 << QByteArray::fromHex("07")
        << "Settings of InOutFader:Input L Control Strip Unit mended: its non-volatile block held mute 7" +
               mended;
    QTest::newRow("delay gang byte 2")
        << BLOCK_DELAY << 6 << QByteArray::fromHex("02")
        << "Settings of LMH 1:  Delay Unit mended: its non-volatile block held "
           "gang 2" +
               mended;
    QTest::newRow("gang byte 255") << BLOCK_GANG << 2 << QByteArray::fromHex("ff")
                                   << "Settings of LMH 1:  Parametric EQ Gang mended: its non-volatile block "
                                      "held gang 255" +
                                          mended;
    QTest::newRow("delay start marker")
        << BLOCK_DELAY << 0 << QByteArray::fromHex("0000")
        << "Settings of LMH 1:  Delay Unit reset to their defaults: its non-volatile block did not carry its "
           "markers";
}

void tst_NonVolatileFieldChecks::corruptBlock_isMendedResetOrRedesignedAtStartUp()
{
    QFETCH(eBlock, block);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, notification);
    cTestStorage storage;
    cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
    int start = 0;
    int size = 0;
    QByteArray defaults;
    {
        sModel model(storage.Get(), &serial);
    }
    // The defaults as a start with right markers reads them (its words designed from the settings).
    storage.Map();
    {
        sModel model(storage.Get(), &serial);
        start = int(model.Block(block).GetBlockAddress() - storage.Region());
        size = int(model.Block(block).GetBlockSize());
        defaults = QByteArray(reinterpret_cast<const char*>(storage.Region()) + start, size);
    }
    std::memcpy(storage.Get()->GetStartAddress() + start + offset, bytes.constData(), size_t(bytes.size()));
    storage.Map();

    cReportCapture capture;
    sModel model(storage.Get(), &serial);
    // The corruption is gone: a mended field holds its default, and words designed again from the
    // settings equal the ones designed before.
    const QByteArray now(reinterpret_cast<const char*>(storage.Region()) + start, size);
    QCOMPARE(now.toHex(), defaults.toHex());
    if (notification.isEmpty())
    {
        QCOMPARE(capture.Count("Notification: "), 0);
    }
    else
    {
        QCOMPARE(capture.Count("Notification: Settings of "), 1);
        QVERIFY2(capture.Contains(notification), qPrintable(capture.Lines().join("")));
    }
}

void tst_NonVolatileFieldChecks::mendedField_leavesTheUsersOtherSettings_data()
{
    QTest::addColumn<int>("typeOffset"); // band 1's type, set to 12345 as well; -1: not
    QTest::addColumn<ULONG>("type");
    QTest::addColumn<QString>("notification");
    QTest::newRow("band gain -32768") << -1 << ULONG(nPEQ::HFSHELF)
                                      << "Settings of LMH 1: L Parametric EQ Unit mended: its non-volatile "
                                         "block held band 1 gain -32768 read "
                                         "as minus infinity, the others are kept";
    // The two kinds of mend in one block, said in one notification.
    QTest::newRow("and a band type out of its range")
        << 2 + 1 + 4 + 4 + 4 + 4 << ULONG(nPEQ::BELL)
        << "Settings of LMH 1: L Parametric EQ Unit mended: its non-volatile block held band 1 type 12345, "
           "out "
           "of its range; that setting takes its default; it held band 1 gain -32768 read as minus infinity, "
           "the "
           "others are kept";
}

// A file written before gains were kept inside their domain, where a band's gain of 0x8000 from the
// device stood for minus infinity: the band keeps minus infinity, the low shelf the user set on band 0
// of the same block stays.
void tst_NonVolatileFieldChecks::mendedField_leavesTheUsersOtherSettings()
{
    QFETCH(int, typeOffset);
    QFETCH(ULONG, type);
    QFETCH(QString, notification);
    cTestStorage storage;
    cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
    int start = 0;
    {
        sModel model(storage.Get(), &serial);
        cParametricEQUnit& unit = *model.mLow.GetLeftEQDriver()->GetUnit();
        SendParameter(unit, cParametricEQUnit::P_FIRST_TYPE, UBYTEPayload(nPEQ::LFSHELF));
        SendParameter(unit, cParametricEQUnit::FrequencyParameter(0), UWORDPayload(32346));   // about 519 Hz
        SendParameter(unit, cParametricEQUnit::GainParameter(0), UWORDPayload(32768 + 2074)); // +8.1 dB
        SendParameter(unit, cParametricEQUnit::GainParameter(1), UWORDPayload(32768 + 512));
        SendParameter(unit, cParametricEQUnit::P_LAST_TYPE, UBYTEPayload(nPEQ::HFSHELF));
        start = int(unit.GetBlock().GetBlockAddress() - storage.Region());
    }
    // Band 1's gain: offset 2 (marker) + 1 (bypass) + 4 (frequencies) + 4 (widths) + 2 (band 0's gain).
    std::memcpy(storage.Get()->GetStartAddress() + start + 13, "\x00\x80", 2);
    if (typeOffset >= 0)
    {
        std::memcpy(storage.Get()->GetStartAddress() + start + typeOffset, "\x39\x30\x00\x00", 4);
    }
    storage.Map();

    cReportCapture capture;
    sModel model(storage.Get(), &serial);
    const cParametricEQUnit& unit = *model.mLow.GetLeftEQDriver()->GetUnit();
    QCOMPARE(capture.Count("Notification: "), 1);
    QVERIFY2(capture.Contains(notification), qPrintable(capture.Lines().join("")));
    const sParametricEQBand shelf = unit.GetBand(0);
    QCOMPARE(shelf.mType, ULONG(nPEQ::LFSHELF));
    QCOMPARE(shelf.mFrequencyCode, UWORD(32346));
    QCOMPARE(shelf.mGain, SWORD(2074));
    QCOMPARE(unit.GetBand(1).mGain, SWORD(GAIN_MINUS_INFINITY));
    QCOMPARE(unit.GetBand(1).mType, type);
    // The file now holds minus infinity as today's version writes it.
    SWORD stored = 0;
    std::memcpy(&stored, storage.Region() + start + 13, sizeof stored);
    QCOMPARE(stored, SWORD(GAIN_MINUS_INFINITY));
}

QTEST_GUILESS_MAIN(tst_NonVolatileFieldChecks)
#include "tst_NonVolatileFieldChecks.moc"
