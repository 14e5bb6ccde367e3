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
// start-up, reset like a block with wrong markers, and said once.
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
    void corruptBlock_isResetOrRedesignedAtStartUp_data();
    void corruptBlock_isResetOrRedesignedAtStartUp();

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

void tst_NonVolatileFieldChecks::corruptBlock_isResetOrRedesignedAtStartUp_data()
{
    QTest::addColumn<eBlock>("block");
    QTest::addColumn<int>("offset"); // from the start marker
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("notification"); // empty: the block is kept

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
        << "Settings of LMH 1:  HPF Unit reset to their defaults: its non-volatile block held slope type 9, "
           "out of its range";
    QTest::newRow("high-pass bypass byte 2")
        << BLOCK_HPF << 8 << QByteArray::fromHex("02") << "held bypass 2, out of its range";
    // The left EQ of two bands: marker, u8 bypass, 2 frequencies, 2 widths, 2 gains, then the types.
    QTest::newRow("band type 12345")
        << BLOCK_LEFT_EQ << 2 + 13 << QByteArray::fromHex("39300000")
        << "Settings of LMH 1: L Parametric EQ Unit reset to their defaults: its non-volatile block held "
           "band 0 type 12345, out of its range";
    QTest::newRow("band gain below minus infinity") << BLOCK_LEFT_EQ << 2 + 11 << QByteArray::fromHex("0080")
                                                    << "held band 1 gain -32768, out of its range";
    QTest::newRow("strip mute byte 7") << BLOCK_STRIP << 2 << QByteArray::fromHex("07")
                                       << "Settings of InOutFader:Input L Control Strip Unit reset to their "
                                          "defaults: its non-volatile block "
                                          "held mute 7, out of its range";
    QTest::newRow("delay gang byte 2") << BLOCK_DELAY << 6 << QByteArray::fromHex("02")
                                       << "Settings of LMH 1:  Delay Unit reset to their defaults";
    QTest::newRow("gang byte 255") << BLOCK_GANG << 2 << QByteArray::fromHex("ff")
                                   << "Settings of LMH 1:  Parametric EQ Gang reset to their defaults";
    QTest::newRow("delay start marker")
        << BLOCK_DELAY << 0 << QByteArray::fromHex("0000")
        << "Settings of LMH 1:  Delay Unit reset to their defaults: its non-volatile block did not carry its "
           "markers";
}

void tst_NonVolatileFieldChecks::corruptBlock_isResetOrRedesignedAtStartUp()
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
        start = int(model.Block(block).GetBlockAddress() - storage.Region());
        size = int(model.Block(block).GetBlockSize());
        defaults = QByteArray(reinterpret_cast<const char*>(storage.Region()) + start, size);
    }
    std::memcpy(storage.Get()->GetStartAddress() + start + offset, bytes.constData(), size_t(bytes.size()));
    storage.Map();

    cReportCapture capture;
    sModel model(storage.Get(), &serial);
    // The corruption is gone: a reset block holds the defaults the first start wrote, and words
    // designed again from the defaults' settings equal the ones designed then.
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

QTEST_GUILESS_MAIN(tst_NonVolatileFieldChecks)
#include "tst_NonVolatileFieldChecks.moc"
