#include "Common/Qt/NonVolatileAccess.h"
#include "Common/Qt/cNonVolatileStorageManager.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <algorithm>

#include <memory>

namespace
{

constexpr qint64 REGION_SIZE = 4096;

struct sMarkers
{
    UWORD mStart;
    UWORD mEnd;
};
constexpr sMarkers BLOCK_A = {0x5566, 0xFB05};
constexpr sMarkers BLOCK_B = {0x66B6, 0x36AA};

constexpr UBYTE DEFAULT_FLAG = 1;
constexpr SWORD DEFAULT_VALUE = -32767;

// A unit's block as the units build theirs: start marker, u8 flag, s16 value, end marker, allocated field
// by field (7 bytes, so the second block starts at an odd offset).
struct sTestBlock
{
    sTestBlock(cNonVolatileStorageManager& storage, sMarkers markers)
    {
        mStart = storage.AllocateBBSRAM(2);
        mFlag = storage.AllocateBBSRAM(1);
        mValue = storage.AllocateBBSRAM(2);
        mEnd = storage.AllocateBBSRAM(2);
        mKept = storage.CheckMarkers(mStart, markers.mStart, mEnd, markers.mEnd);
        if (!mKept)
        {
            nNonVolatile::Store<UBYTE>(mFlag, DEFAULT_FLAG);
            nNonVolatile::Store<SWORD>(mValue, DEFAULT_VALUE);
            nNonVolatile::Store<UWORD>(mStart, markers.mStart);
            nNonVolatile::Store<UWORD>(mEnd, markers.mEnd);
        }
    }
    UBYTE Flag() const { return nNonVolatile::Load<UBYTE>(mFlag); }
    SWORD Value() const { return nNonVolatile::Load<SWORD>(mValue); }
    void Set(UBYTE flag, SWORD value)
    {
        nNonVolatile::Store<UBYTE>(mFlag, flag);
        nNonVolatile::Store<SWORD>(mValue, value);
    }

    void* mStart;
    void* mFlag;
    void* mValue;
    void* mEnd;
    bool mKept;
};

struct sBlockState
{
    UBYTE mFlag;
    SWORD mValue;
};

QByteArray BlockBytes(sMarkers markers, sBlockState state)
{
    QByteArray bytes;
    auto le16 = [&bytes](UWORD v)
    {
        bytes.append(char(v & 0xFF));
        bytes.append(char(v >> 8));
    };
    le16(markers.mStart);
    bytes.append(char(state.mFlag));
    le16(UWORD(state.mValue));
    le16(markers.mEnd);
    return bytes;
}

constexpr int BLOCK_SIZE = 7;
const sBlockState DEFAULTS = {DEFAULT_FLAG, DEFAULT_VALUE};

// The raw file image with blocks A and B at offsets 0 and 7 and `fill` everywhere else.
QByteArray Image(qint64 size, sBlockState a, sBlockState b, char fill = '\0')
{
    QByteArray bytes(int(size), fill);
    const QByteArray blocks = BlockBytes(BLOCK_A, a) + BlockBytes(BLOCK_B, b);
    bytes.replace(0, std::min(int(size), blocks.size()), blocks.left(int(size)));
    return bytes;
}

// The lines other than the one notification of a file started afresh.
QStringList Problems(const cReportCapture& capture)
{
    QStringList lines = capture.Lines();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString& line)
                               { return line.startsWith("Notification: Non-volatile RAM file "); }),
                lines.end());
    return lines;
}

QString RamFilePath()
{
    QString name = QTest::currentTestFunction();
    if (QTest::currentDataTag() != nullptr)
    {
        name += QString("-") + QTest::currentDataTag();
    }
    name.replace(' ', '_');
    // A folder of its own, emptied, so a test also runs again in a used HOME.
    const QString folder = QDir::homePath() + "/nv/" + name;
    QDir(folder).removeRecursively();
    return folder + "/NonVolatile/NonVolatileRamFile";
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Hex(const void* address)
{
    return QString::number(quintptr(address), 16).toUpper();
}

bool InRegion(const cNonVolatileStorageManager& storage, const void* address)
{
    const quintptr at = quintptr(address);
    const quintptr start = quintptr(storage.GetStartAddress());
    return storage.GetStartAddress() != nullptr && at >= start &&
           at < start + quintptr(storage.GetSizeOfSRAM());
}

} // namespace

class tst_cNonVolatileStorageManager : public QObject
{
    Q_OBJECT

private slots:
    void missingFile_isCreatedZeroedAndBlocksTakeDefaults();
    void allocation_followsCallOrderAndAlignment_data();
    void allocation_followsCallOrderAndAlignment();
    void restart_keepsValuesUnlessCleared_data();
    void restart_keepsValuesUnlessCleared();
    void existingFile_isUsedOrResetWithoutCrash_data();
    void existingFile_isUsedOrResetWithoutCrash();
    void wrongMarkers_zeroTheBlockUpToItsEndMarker();
    void markersOutsideTheStorage_areRejectedUntouched_data();
    void markersOutsideTheStorage_areRejectedUntouched();
    void unusableFile_givesMemoryOnlyBlocksWithDefaults_data();
    void unusableFile_givesMemoryOnlyBlocksWithDefaults();
    void allocationBeyondRegion_reportsAndGivesZeroedHeapBlocks();
    void blockStraddlingRegionEnd_takesDefaultsAndIsNotKept();
    void clearAll_resetsEveryBlockOnRestart();
};

void tst_cNonVolatileStorageManager::missingFile_isCreatedZeroedAndBlocksTakeDefaults()
{
    const QString path = RamFilePath();
    QVERIFY(!QFile::exists(path));
    cReportCapture capture;
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        QVERIFY(storage.IsMapped());
        sTestBlock a(storage, BLOCK_A);
        sTestBlock b(storage, BLOCK_B);
        QVERIFY(!a.mKept);
        QVERIFY(!b.mKept);
        QCOMPARE(a.Flag(), DEFAULT_FLAG);
        QCOMPARE(b.Value(), DEFAULT_VALUE);
        QCOMPARE(storage.GetUsedSize(), qint64(2 * BLOCK_SIZE));
    }
    QCOMPARE(ReadFile(path).toHex(), Image(REGION_SIZE, DEFAULTS, DEFAULTS).toHex());
    QCOMPARE(Problems(capture), QStringList());
    QCOMPARE(capture.Count(" created: every setting starts at its default"), 1);
}

void tst_cNonVolatileStorageManager::allocation_followsCallOrderAndAlignment_data()
{
    QTest::addColumn<bool>("align8");
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QList<int>>("offsets");
    QTest::newRow("packed") << false << QList<int>{2, 1, 2, 2, 3, 0, 4} << QList<int>{0, 2, 3, 5, 7, 10, 10};
    QTest::newRow("aligned") << true << QList<int>{2, 1, 2, 2, 3} << QList<int>{0, 8, 16, 24, 32};
    QTest::newRow("aligned, whole multiples") << true << QList<int>{8, 16, 8} << QList<int>{0, 8, 24};
    QTest::newRow("packed, filling the region") << false << QList<int>{int(REGION_SIZE) - 3, 1, 2}
                                                << QList<int>{0, int(REGION_SIZE) - 3, int(REGION_SIZE) - 2};
    QTest::newRow("aligned, filling the region")
        << true << QList<int>{int(REGION_SIZE) - 9, 8} << QList<int>{0, int(REGION_SIZE) - 8};
}

void tst_cNonVolatileStorageManager::allocation_followsCallOrderAndAlignment()
{
    QFETCH(bool, align8);
    QFETCH(QList<int>, sizes);
    QFETCH(QList<int>, offsets);
    cReportCapture capture;
    cNonVolatileStorageManager storage(RamFilePath(), REGION_SIZE, false, align8);
    QList<int> actual;
    for (int size : sizes)
    {
        actual.append(
            int(static_cast<UBYTE*>(storage.AllocateBBSRAM(size_t(size))) - storage.GetStartAddress()));
    }
    QCOMPARE(actual, offsets);
    QCOMPARE(Problems(capture), QStringList());
}

void tst_cNonVolatileStorageManager::restart_keepsValuesUnlessCleared_data()
{
    QTest::addColumn<bool>("clear");
    QTest::newRow("kept") << false;
    QTest::newRow("cleared") << true;
}

void tst_cNonVolatileStorageManager::restart_keepsValuesUnlessCleared()
{
    QFETCH(bool, clear);
    const QString path = RamFilePath();
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        sTestBlock a(storage, BLOCK_A);
        sTestBlock b(storage, BLOCK_B);
        a.Set(0, 1234);
        b.Set(7, -5);
    }
    QCOMPARE(ReadFile(path).left(2 * BLOCK_SIZE).toHex(),
             (BlockBytes(BLOCK_A, {0, 1234}) + BlockBytes(BLOCK_B, {7, -5})).toHex());

    cNonVolatileStorageManager storage(path, REGION_SIZE, clear, false);
    sTestBlock a(storage, BLOCK_A);
    sTestBlock b(storage, BLOCK_B);
    QCOMPARE(a.mKept, !clear);
    QCOMPARE(b.mKept, !clear);
    QCOMPARE(a.Flag(), clear ? DEFAULT_FLAG : UBYTE(0));
    QCOMPARE(a.Value(), clear ? DEFAULT_VALUE : SWORD(1234));
    QCOMPARE(b.Flag(), clear ? DEFAULT_FLAG : UBYTE(7));
    QCOMPARE(b.Value(), clear ? DEFAULT_VALUE : SWORD(-5));
}

void tst_cNonVolatileStorageManager::existingFile_isUsedOrResetWithoutCrash_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("aKept");
    QTest::addColumn<bool>("bKept");
    const sBlockState a = {0, 100};
    const sBlockState b = {1, 200};
    QByteArray wrongStart = Image(REGION_SIZE, a, b);
    wrongStart[0] = char(0x67);
    QByteArray wrongEnd = Image(REGION_SIZE, a, b);
    wrongEnd[2 * BLOCK_SIZE - 1] = char(0x37);
    QByteArray overLong = Image(3 * REGION_SIZE, a, b);
    overLong.replace(int(REGION_SIZE), int(2 * REGION_SIZE), QByteArray(int(2 * REGION_SIZE), char(0xAB)));

    QTest::newRow("valid") << Image(REGION_SIZE, a, b) << true << true;
    QTest::newRow("wrong start marker") << wrongStart << false << true;
    QTest::newRow("wrong end marker") << wrongEnd << true << false;
    QTest::newRow("garbage") << QByteArray(int(REGION_SIZE), char(0xFF)) << false << false;
    QTest::newRow("over-long") << overLong << true << true;
    QTest::newRow("half size") << Image(REGION_SIZE / 2, a, b) << false << false;
    QTest::newRow("one byte short") << Image(REGION_SIZE - 1, a, b) << false << false;
    QTest::newRow("three bytes") << Image(3, a, b) << false << false;
    QTest::newRow("empty") << QByteArray() << false << false;
}

void tst_cNonVolatileStorageManager::existingFile_isUsedOrResetWithoutCrash()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, aKept);
    QFETCH(bool, bKept);
    const QString path = RamFilePath();
    WriteFile(path, contents);

    cReportCapture capture;
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        QVERIFY(storage.IsMapped());
        sTestBlock a(storage, BLOCK_A);
        sTestBlock b(storage, BLOCK_B);
        QCOMPARE(a.mKept, aKept);
        QCOMPARE(b.mKept, bKept);
    }
    QCOMPARE(Problems(capture), QStringList());
    // A file started afresh is said once.
    QCOMPARE(capture.Count("Notification: Non-volatile RAM file "), contents.size() < REGION_SIZE ? 1 : 0);

    // A file of the region's size or more is used as is; a shorter one is rewritten with zeros.
    QByteArray expected = contents.size() >= REGION_SIZE ? contents : QByteArray(int(REGION_SIZE), '\0');
    const QByteArray blocks = (aKept ? contents.left(BLOCK_SIZE) : BlockBytes(BLOCK_A, DEFAULTS)) +
                              (bKept ? contents.mid(BLOCK_SIZE, BLOCK_SIZE) : BlockBytes(BLOCK_B, DEFAULTS));
    expected.replace(0, blocks.size(), blocks);
    QCOMPARE(ReadFile(path).toHex(), expected.toHex());
}

void tst_cNonVolatileStorageManager::wrongMarkers_zeroTheBlockUpToItsEndMarker()
{
    cNonVolatileStorageManager storage(RamFilePath(), REGION_SIZE, false, false);
    UBYTE* block = static_cast<UBYTE*>(storage.AllocateBBSRAM(12));
    std::memset(block, 0xEE, 12);
    nNonVolatile::Store<UWORD>(block, BLOCK_A.mStart);
    QVERIFY(!storage.CheckMarkers(block, BLOCK_A.mStart, block + 9, BLOCK_A.mEnd));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(block), 12).toHex(), QByteArray("000000000000000000eeeeee"));

    nNonVolatile::Store<UWORD>(block, BLOCK_A.mStart);
    nNonVolatile::Store<UWORD>(block + 9, BLOCK_A.mEnd);
    QVERIFY(storage.CheckMarkers(block, BLOCK_A.mStart, block + 9, BLOCK_A.mEnd));
}

void tst_cNonVolatileStorageManager::markersOutsideTheStorage_areRejectedUntouched_data()
{
    QTest::addColumn<int>("startOffset");
    QTest::addColumn<int>("endOffset");
    // Offsets into the region; -1 stands for a buffer outside it, -2 for null.
    QTest::newRow("both outside") << -1 << -1;
    QTest::newRow("end outside") << 0 << -1;
    QTest::newRow("null start") << -2 << 8;
    QTest::newRow("end marker past the region's end") << 0 << int(REGION_SIZE) - 1;
}

void tst_cNonVolatileStorageManager::markersOutsideTheStorage_areRejectedUntouched()
{
    QFETCH(int, startOffset);
    QFETCH(int, endOffset);
    cNonVolatileStorageManager storage(RamFilePath(), REGION_SIZE, false, false);
    std::memset(storage.GetStartAddress(), 0xEE, size_t(REGION_SIZE));
    UBYTE outside[16];
    std::memset(outside, 0xEE, sizeof outside);
    auto address = [&](int offset) -> void*
    {
        return offset == -1   ? static_cast<void*>(outside)
               : offset == -2 ? nullptr
                              : static_cast<void*>(storage.GetStartAddress() + offset);
    };

    cReportCapture capture;
    QVERIFY(!storage.CheckMarkers(address(startOffset), BLOCK_A.mStart, address(endOffset), BLOCK_A.mEnd));
    QVERIFY(capture.Contains("Markers outside NonVolatileStorage"));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(outside), sizeof outside),
             QByteArray(sizeof outside, char(0xEE)));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(storage.GetStartAddress()), int(REGION_SIZE)),
             QByteArray(int(REGION_SIZE), char(0xEE)));
}

void tst_cNonVolatileStorageManager::unusableFile_givesMemoryOnlyBlocksWithDefaults_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("report");
    QTest::newRow("path is a folder") << 0 << REGION_SIZE << "ERROR: Could not create SRAM File: ";
    QTest::newRow("folder blocked by a file") << 1 << REGION_SIZE << "ERROR: Could not create SRAM File: ";
    QTest::newRow("no file name") << 2 << REGION_SIZE << "ERROR: Could not create SRAM File: ";
    QTest::newRow("zero size") << 3 << qint64(0) << "ERROR: Invalid NonVolatileStorage size 0";
    QTest::newRow("negative size") << 3 << qint64(-1) << "ERROR: Invalid NonVolatileStorage size -1";
}

void tst_cNonVolatileStorageManager::unusableFile_givesMemoryOnlyBlocksWithDefaults()
{
    QFETCH(int, setup);
    QFETCH(qint64, size);
    QFETCH(QString, report);
    QString path = RamFilePath();
    switch (setup)
    {
    case 0:
        QVERIFY(QDir().mkpath(path));
        break;
    case 1:
    {
        const QString blocker = QFileInfo(path).absolutePath();
        QVERIFY(QDir().mkpath(QFileInfo(blocker).absolutePath()));
        WriteFile(blocker, "not a folder");
        break;
    }
    case 2:
        path.clear();
        break;
    default:
        break;
    }

    for (int run = 0; run < 2; ++run)
    {
        cReportCapture capture;
        cNonVolatileStorageManager storage(path, size, false, false);
        QVERIFY(!storage.IsMapped());
        sTestBlock a(storage, BLOCK_A);
        sTestBlock b(storage, BLOCK_B);
        QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
        // Nothing was kept from the first run.
        QVERIFY(!a.mKept);
        QVERIFY(!b.mKept);
        QCOMPARE(a.Flag(), DEFAULT_FLAG);
        QCOMPARE(b.Value(), DEFAULT_VALUE);
        a.Set(3, 33);
        b.Set(4, 44);
        QCOMPARE(a.Value(), SWORD(33));
        QCOMPARE(b.Flag(), UBYTE(4));
        storage.ClearAll();
        QCOMPARE(a.Value(), SWORD(0));
    }
}

void tst_cNonVolatileStorageManager::allocationBeyondRegion_reportsAndGivesZeroedHeapBlocks()
{
    constexpr qint64 small = 16;
    cNonVolatileStorageManager storage(RamFilePath(), small, false, false);
    void* first = storage.AllocateBBSRAM(10);
    QVERIFY(InRegion(storage, first));

    cReportCapture capture;
    UBYTE* second = static_cast<UBYTE*>(storage.AllocateBBSRAM(10));
    QVERIFY(second != nullptr);
    QVERIFY(!InRegion(storage, second));
    QCOMPARE(QByteArray(reinterpret_cast<char*>(second), 10), QByteArray(10, '\0'));
    std::memset(second, 0x5A, 10);
    QCOMPARE(capture.Lines().size(), 2);
    QVERIFY(capture.Contains("ERROR: Alloccation out of range. Size = 10\t"));
    const UBYTE* start = storage.GetStartAddress();
    QVERIFY2(capture.Contains(QString("ERROR: mNextFreeAddress = %1, mStartAddress = %2, mSizeOfSRAM = 10\t")
                                  .arg(Hex(start + 10), Hex(start))),
             qPrintable(capture.Lines().join("")));

    // Once the region is exhausted every later block comes from memory, even one that would fit.
    void* third = storage.AllocateBBSRAM(2);
    QVERIFY(third != nullptr && third != second);
    QVERIFY(!InRegion(storage, third));
    QCOMPARE(storage.GetUsedSize(), qint64(10));
}

void tst_cNonVolatileStorageManager::blockStraddlingRegionEnd_takesDefaultsAndIsNotKept()
{
    const QString path = RamFilePath();
    // Block A fits; block B's start marker and flag fit, its value and end marker do not.
    constexpr qint64 size = BLOCK_SIZE + 3;
    cManualReportClock clock;
    for (int run = 0; run < 2; ++run)
    {
        cReportCapture capture;
        cNonVolatileStorageManager storage(path, size, false, false);
        UBYTE* start = storage.GetStartAddress();
        sTestBlock a(storage, BLOCK_A);
        sTestBlock b(storage, BLOCK_B);
        QCOMPARE(a.mKept, run == 1);
        QVERIFY(!b.mKept);
        QCOMPARE(b.mStart, static_cast<void*>(start + BLOCK_SIZE));
        QVERIFY(!InRegion(storage, b.mValue));
        QCOMPARE(b.Value(), DEFAULT_VALUE);
        // Two allocations out of range, both of two bytes: the same report, said once and counted.
        clock.mNow += REPORT_HOLD_BACK_WINDOW_MS;
        FlushHeldBackReports();
        QCOMPARE(capture.Count("ERROR: Alloccation out of range. Size = 2"), 1);
        QVERIFY(capture.Contains("ERROR: 1 more reports from here held back in the last second"));
        a.Set(0, 77);
    }
    QCOMPARE(ReadFile(path).left(BLOCK_SIZE).toHex(), BlockBytes(BLOCK_A, {0, 77}).toHex());
}

void tst_cNonVolatileStorageManager::clearAll_resetsEveryBlockOnRestart()
{
    const QString path = RamFilePath();
    {
        cNonVolatileStorageManager storage(path, REGION_SIZE, false, false);
        sTestBlock a(storage, BLOCK_A);
        a.Set(0, 5);
        storage.ClearAll();
    }
    QCOMPARE(ReadFile(path), QByteArray(int(REGION_SIZE), '\0'));
}

QTEST_GUILESS_MAIN(tst_cNonVolatileStorageManager)
#include "tst_cNonVolatileStorageManager.moc"
