#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Units/cNonVolatileBlock.h"
#include "tests/support/cReportCapture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

constexpr qint64 REGION_SIZE = 4096;
constexpr UWORD STRIP_START = 0x5566;
constexpr UWORD STRIP_END = 0xFB05;
constexpr UWORD GANG_START = 0x1100;
constexpr UWORD GANG_END = 0xB350;

// Two units' blocks as the units lay theirs out: a strip (u8 mute, s16 gain) and a gang (u8 gang),
// taken in this order.
struct sUnits
{
    explicit sUnits(cNonVolatileStorageManager* storage)
        : mStrip(storage, StripLayout().GetSize(), STRIP_START, STRIP_END)
        , mGang(storage, GangLayout().GetSize(), GANG_START, GANG_END)
    {
    }
    static cNonVolatileLayout StripLayout()
    {
        cNonVolatileLayout layout;
        layout.Add<UBYTE>();
        layout.Add<SWORD>();
        return layout;
    }
    static cNonVolatileLayout GangLayout()
    {
        cNonVolatileLayout layout;
        layout.Add<UBYTE>();
        return layout;
    }
    static constexpr size_t MUTE = 0;
    static constexpr size_t GAIN = 1;
    static constexpr size_t GANG = 0;

    cNonVolatileBlock mStrip;
    cNonVolatileBlock mGang;
};

QByteArray ReadFile(const QString& path, int size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

void PatchFile(const QString& path, qint64 offset, char byte)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(&byte, 1), qint64(1));
}

} // namespace

class tst_cNonVolatileBlock : public QObject
{
    Q_OBJECT

private slots:
    void freshFile_blocksTakeDefaultsAndKeepThemPackedAcrossRuns();
    void wrongMarker_resetsOnlyThatBlock_data();
    void wrongMarker_resetsOnlyThatBlock();
    void withoutStorage_aBlockHasMemoryOfItsOwn();
    void fieldAccessOutsideTheFields_isReportedAndWritesNothing();
};

void tst_cNonVolatileBlock::freshFile_blocksTakeDefaultsAndKeepThemPackedAcrossRuns()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("NonVolatileRamFile");
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        sUnits units(&storage);
        QVERIFY(!units.mStrip.HasValidMarkers());
        QVERIFY(!units.mGang.HasValidMarkers());
        QVERIFY(units.mStrip.IsInStorage());
        QCOMPARE(units.mStrip.GetBlockSize(), size_t(7));
        units.mStrip.Store<UBYTE>(sUnits::MUTE, 1);
        units.mStrip.Store<SWORD>(sUnits::GAIN, SWORD(-32767));
        units.mStrip.WriteMarkers();
        units.mGang.Store<UBYTE>(sUnits::GANG, 1);
        units.mGang.WriteMarkers();
    }
    // Packed in construction order, native (little-endian) fields, zeros after the last block.
    QCOMPARE(ReadFile(path, 16), QByteArray::fromHex("665501018005FB"
                                                     "00110150B3"
                                                     "00000000"));
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        sUnits units(&storage);
        QVERIFY(units.mStrip.HasValidMarkers());
        QVERIFY(units.mGang.HasValidMarkers());
        QCOMPARE(units.mStrip.Load<UBYTE>(sUnits::MUTE), UBYTE(1));
        QCOMPARE(units.mStrip.Load<SWORD>(sUnits::GAIN), SWORD(-32767));
        QCOMPARE(units.mGang.Load<UBYTE>(sUnits::GANG), UBYTE(1));
    }
}

void tst_cNonVolatileBlock::wrongMarker_resetsOnlyThatBlock_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<bool>("stripKept");
    QTest::addColumn<bool>("gangKept");

    QTest::newRow("strip start marker") << qint64(0) << false << true;
    QTest::newRow("strip end marker") << qint64(6) << false << true;
    QTest::newRow("gang end marker") << qint64(10) << true << false;
    QTest::newRow("a field") << qint64(3) << true << true;
}

void tst_cNonVolatileBlock::wrongMarker_resetsOnlyThatBlock()
{
    QFETCH(qint64, offset);
    QFETCH(bool, stripKept);
    QFETCH(bool, gangKept);
    QTemporaryDir folder;
    const QString path = folder.filePath("NonVolatileRamFile");
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        sUnits units(&storage);
        units.mStrip.Store<UBYTE>(sUnits::MUTE, 1);
        units.mStrip.Store<SWORD>(sUnits::GAIN, SWORD(0x0C0A));
        units.mStrip.WriteMarkers();
        units.mGang.Store<UBYTE>(sUnits::GANG, 1);
        units.mGang.WriteMarkers();
    }
    PatchFile(path, offset, char(0x77));

    cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
    sUnits units(&storage);
    QCOMPARE(units.mStrip.HasValidMarkers(), stripKept);
    QCOMPARE(units.mGang.HasValidMarkers(), gangKept);
    // A reset block's fields are zero, ready for the unit's defaults.
    QCOMPARE(units.mStrip.Load<UBYTE>(sUnits::MUTE), UBYTE(stripKept ? 1 : 0));
    QCOMPARE(units.mGang.Load<UBYTE>(sUnits::GANG), UBYTE(gangKept ? 1 : 0));
}

void tst_cNonVolatileBlock::withoutStorage_aBlockHasMemoryOfItsOwn()
{
    cReportCapture capture;
    cNonVolatileBlock block(nullptr, 3, STRIP_START, STRIP_END);
    QVERIFY(capture.Contains("No non-volatile storage for block 0x5566"));
    QVERIFY(!block.IsInStorage());
    QVERIFY(!block.HasValidMarkers());
    QCOMPARE(block.Load<SWORD>(1), SWORD(0));
    QVERIFY(block.Store<SWORD>(1, SWORD(-2)));
    QCOMPARE(block.Load<SWORD>(1), SWORD(-2));
    block.WriteMarkers();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(block.GetBlockAddress()), int(block.GetBlockSize())),
             QByteArray::fromHex("665500FEFF05FB"));
}

void tst_cNonVolatileBlock::fieldAccessOutsideTheFields_isReportedAndWritesNothing()
{
    cReportCapture capture;
    cNonVolatileBlock block(nullptr, 3, STRIP_START, STRIP_END);
    block.WriteMarkers();
    capture.Clear();

    QVERIFY(!block.Store<SWORD>(2, SWORD(0x1234)));
    QVERIFY(!block.Store<UBYTE>(size_t(-1), 1));
    QCOMPARE(block.Load<ULONG>(0), ULONG(0));
    QCOMPARE(capture.Count("Field out of range in block 0x5566"), 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(block.GetBlockAddress()), int(block.GetBlockSize())),
             QByteArray::fromHex("6655000000"
                                 "05FB"));
}

QTEST_GUILESS_MAIN(tst_cNonVolatileBlock)
#include "tst_cNonVolatileBlock.moc"
