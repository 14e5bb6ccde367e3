#include "KVNet/Core/cKVNetMessage.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <cstring>

class tst_KVNetMessage : public QObject
{
    Q_OBJECT

private slots:
    void construction_setsHeaderDefaults();
    void setLength_reallocatesExactlyAndDropsContents();
    void copy_takesHeaderAndPayloadWithFreshCursor();
    void stores_areBigEndian_data();
    void stores_areBigEndian();
    void sequentialRoundTrip_atEveryType();
    void reads_pastTheEnd_yieldZeroAndFlag_data();
    void reads_pastTheEnd_yieldZeroAndFlag();
    void stores_beyondTheLength_writeNothing();
    void appends_stopAtTheMaximumLength();
    void strings_decodeUtf8AndNeverOverread();
    void growCapacity_keepsContents();
};

void tst_KVNetMessage::construction_setsHeaderDefaults()
{
    cKVNetMessage empty;
    QCOMPARE(empty.mConnectionId, UWORD(0xFFFF));
    QCOMPARE(empty.mDestination, UWORD(0xFFFF));
    QCOMPARE(empty.mSource, UWORD(0xFFFF));
    QCOMPARE(empty.mMethod, UWORD(0));
    QCOMPARE(empty.GetLength(), UWORD(0));
    QCOMPARE(empty.GetCapacity(), UWORD(0));
    QVERIFY(empty.Data() == nullptr);

    cKVNetMessage zero(0);
    QVERIFY(zero.Data() == nullptr);
    zero.SetLength(3);
    QCOMPARE(zero.GetCapacity(), UWORD(3));
    QCOMPARE(zero.GetCursor(), UWORD(0));
}

void tst_KVNetMessage::setLength_reallocatesExactlyAndDropsContents()
{
    cKVNetMessage message(2);
    message.SetUWORD(0xBEEF, 0);
    message.SetLength(1);
    QCOMPARE(message.GetCapacity(), UWORD(2));
    QCOMPARE(message.GetUBYTE(0), UBYTE(0xBE));
    message.SetLength(2);
    QCOMPARE(message.GetUWORD(0), UWORD(0xBEEF)); // within capacity: kept
    message.SetLength(10);
    QCOMPARE(message.GetCapacity(), UWORD(10)); // exactly the new length

    cKVNetMessage appended;
    appended.AppendUWORD(0x1234);
    appended.AppendUWORD(0x5678);
    QCOMPARE(appended.GetULONG(0), ULONG(0x12345678)); // appending keeps the contents
}

void tst_KVNetMessage::copy_takesHeaderAndPayloadWithFreshCursor()
{
    cKVNetMessage source;
    source.mConnectionId = 3;
    source.mDestination = 17;
    source.mSource = 18;
    source.mMethod = 4096;
    source.AppendULONG(0xCAFEF00D);
    source.AppendUBYTE(9);
    source.ReadUWORD();

    cKVNetMessage copy(source);
    QCOMPARE(copy.mConnectionId, UWORD(3));
    QCOMPARE(copy.mDestination, UWORD(17));
    QCOMPARE(copy.mSource, UWORD(18));
    QCOMPARE(copy.mMethod, UWORD(4096));
    QCOMPARE(copy.GetLength(), UWORD(5));
    QCOMPARE(copy.GetCapacity(), UWORD(5));
    QCOMPARE(copy.GetCursor(), UWORD(0));
    QCOMPARE(copy.ReadULONG(), ULONG(0xCAFEF00D));

    cKVNetMessage pooled(1280);
    const UBYTE* buffer = pooled.Data();
    pooled.SetCursor(4);
    pooled = source;
    QCOMPARE(pooled.GetLength(), UWORD(5));
    QCOMPARE(pooled.GetCursor(), UWORD(4)); // assignment leaves the cursor
    QVERIFY(pooled.Data() == buffer);       // and reuses a large enough buffer
    QCOMPARE(pooled.GetUBYTE(4), UBYTE(9));
}

void tst_KVNetMessage::stores_areBigEndian_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("UBYTE") << 1 << 1 << QByteArray::fromHex("00ab000000000000");
    QTest::newRow("UWORD at 0") << 2 << 0 << QByteArray::fromHex("abcd000000000000");
    QTest::newRow("DataScale at 6") << 3 << 6 << QByteArray::fromHex("000000000000abcd");
    QTest::newRow("ULONG at 2") << 4 << 2 << QByteArray::fromHex("0000abcdef120000");
}

void tst_KVNetMessage::stores_areBigEndian()
{
    QFETCH(int, type);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    cKVNetMessage message(8);
    std::memset(message.Data(), 0, 8);
    switch (type)
    {
    case 1:
        QVERIFY(message.SetUBYTE(0xAB, UWORD(offset)));
        QCOMPARE(message.GetUBYTE(UWORD(offset)), UBYTE(0xAB));
        break;
    case 2:
        QVERIFY(message.SetUWORD(0xABCD, UWORD(offset)));
        QCOMPARE(message.GetUWORD(UWORD(offset)), UWORD(0xABCD));
        break;
    case 3:
        QVERIFY(message.SetDataScale(0xABCD, UWORD(offset)));
        QCOMPARE(message.GetDataScale(UWORD(offset)), KV_NET_DATA_SCALE(0xABCD));
        break;
    default:
        QVERIFY(message.SetULONG(0xABCDEF12, UWORD(offset)));
        QCOMPARE(message.GetULONG(UWORD(offset)), ULONG(0xABCDEF12));
        break;
    }
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(message.Data()), 8), bytes);
    QVERIFY(!message.HasReadError());
}

void tst_KVNetMessage::sequentialRoundTrip_atEveryType()
{
    cKVNetMessage message;
    QVERIFY(message.AppendUBYTE(0x7F));
    QVERIFY(message.AppendUWORD(0x8001));
    QVERIFY(message.AppendDataScale(45000));
    QVERIFY(message.AppendULONG(0xFFFFFFFE));
    QVERIFY(message.AppendString("LMH 1: Left HPF Unit") != nullptr);
    QVERIFY(message.AppendQString(QStringLiteral("Größe µs")));
    const UBYTE raw[3] = {1, 2, 3};
    QVERIFY(message.AppendBytes(raw, 3));
    QCOMPARE(int(message.GetLength()),
             1 + 2 + 2 + 4 + 21 + int(cKVNetMessage::QStringPayloadSize(QStringLiteral("Größe µs"))) + 3);

    QCOMPARE(message.ReadUBYTE(), UBYTE(0x7F));
    QCOMPARE(message.ReadUWORD(), UWORD(0x8001));
    QCOMPARE(message.ReadDataScale(), KV_NET_DATA_SCALE(45000));
    QCOMPARE(message.ReadULONG(), ULONG(0xFFFFFFFE));
    QCOMPARE(QByteArray(message.ReadString()), QByteArray("LMH 1: Left HPF Unit"));
    QCOMPARE(message.ReadQString(), QStringLiteral("Größe µs"));
    QCOMPARE(message.ReadUBYTE(), UBYTE(1));
    QCOMPARE(message.Remaining(), UWORD(2));
    QVERIFY(!message.HasReadError());
}

void tst_KVNetMessage::reads_pastTheEnd_yieldZeroAndFlag_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("type");
    QTest::newRow("UBYTE from empty") << 0 << 1;
    QTest::newRow("UWORD from 1 byte") << 1 << 2;
    QTest::newRow("ULONG from 3 bytes") << 3 << 4;
    QTest::newRow("string without NUL") << 4 << 5;
    QTest::newRow("QString without NUL") << 4 << 6;
}

void tst_KVNetMessage::reads_pastTheEnd_yieldZeroAndFlag()
{
    QFETCH(int, length);
    QFETCH(int, type);
    cKVNetMessage message{UWORD(length)};
    if (length != 0)
    {
        std::memset(message.Data(), 'A', size_t(length));
    }
    switch (type)
    {
    case 1:
        QCOMPARE(message.ReadUBYTE(), UBYTE(0));
        break;
    case 2:
        QCOMPARE(message.ReadUWORD(), UWORD(0));
        QCOMPARE(message.GetUWORD(0xFFFF), UWORD(0));
        break;
    case 4:
        QCOMPARE(message.ReadULONG(), ULONG(0));
        QCOMPARE(message.GetULONG(0xFFFE), ULONG(0));
        break;
    case 5:
        QCOMPARE(QByteArray(message.ReadString()), QByteArray());
        QCOMPARE(QByteArray(message.GetString(2)), QByteArray());
        break;
    default:
        QCOMPARE(message.ReadQString(), QString());
        break;
    }
    QVERIFY(message.HasReadError());
    QCOMPARE(message.GetCursor(), UWORD(0));
    message.ResetRead();
    QVERIFY(!message.HasReadError());
}

void tst_KVNetMessage::stores_beyondTheLength_writeNothing()
{
    cReportCapture capture;
    cKVNetMessage message(4);
    std::memset(message.Data(), 0, 4);
    QVERIFY(!message.SetULONG(1, 1));
    QVERIFY(!message.SetUWORD(1, 3));
    QVERIFY(!message.SetUBYTE(1, 4));
    QVERIFY(message.SetString("abcd", 0) == nullptr);
    QCOMPARE(message.GetULONG(0), ULONG(0));
    QCOMPARE(capture.Count("ERROR: "), 4);
    QVERIFY(message.SetString("abc", 0) != nullptr);
    QCOMPARE(QByteArray(message.GetString(0)), QByteArray("abc"));
}

void tst_KVNetMessage::appends_stopAtTheMaximumLength()
{
    cReportCapture capture;
    cKVNetMessage message(65534);
    QVERIFY(!message.AppendUWORD(1));
    QCOMPARE(message.GetLength(), UWORD(65534));
    QCOMPARE(capture.Count(
                 "ERROR: cKVNetMessage::SetMinAppendCapacity exceeded maximum length for single message\t"),
             1);
    QVERIFY(!message.AppendULONG(1));
    QVERIFY(message.AppendString("x") == nullptr);
    QCOMPARE(message.GetLength(), UWORD(65534));
    QVERIFY(message.AppendUBYTE(0x5A));
    QCOMPARE(message.GetLength(), UWORD(65535));
    QCOMPARE(message.GetUBYTE(65534), UBYTE(0x5A));
    QVERIFY(!message.AppendUBYTE(0));
    QVERIFY(message.SetMinAppendCapacity(0));
}

void tst_KVNetMessage::strings_decodeUtf8AndNeverOverread()
{
    cKVNetMessage message;
    const QString path = QStringLiteral("/home/ü/Configuración.cfg");
    message.AppendQString(path);
    QCOMPARE(message.ReadQString(), path);

    cKVNetMessage cut(message);
    cut.SetLength(UWORD(message.GetLength() - 1)); // drop the NUL
    QCOMPARE(cut.ReadQString(), QString());
    QVERIFY(cut.HasReadError());

    QVERIFY(message.SetQString(QStringLiteral("é"), 0));
    QCOMPARE(QByteArray(message.GetString(0)), QByteArray("\xC3\xA9"));
}

void tst_KVNetMessage::growCapacity_keepsContents()
{
    cKVNetMessage message;
    message.AppendUWORD(0xA1B2);
    QVERIFY(message.GrowCapacity(3));
    QCOMPARE(message.GetCapacity(), UWORD(34)); // 2 + 32 below 128
    QCOMPARE(message.GetUWORD(0), UWORD(0xA1B2));
    message.SetCapacity(200);
    QVERIFY(message.GrowCapacity(201));
    QCOMPARE(message.GetCapacity(), UWORD(250)); // + a quarter from 128 up
    QCOMPARE(message.GetUWORD(0), UWORD(0xA1B2));
    QVERIFY(!message.GrowCapacity(0));

    // Near the top a quarter more would pass 65535: the capacity stops there, contents kept.
    cKVNetMessage large;
    large.SetCapacity(65000);
    large.AppendUWORD(0xC3D4);
    QVERIFY(large.GrowCapacity(65001));
    QCOMPARE(large.GetCapacity(), UWORD(65535));
    QCOMPARE(large.GetLength(), UWORD(65001));
    QCOMPARE(large.GetUWORD(0), UWORD(0xC3D4));
    QVERIFY(large.GrowCapacity(65535));
    QCOMPARE(large.GetCapacity(), UWORD(65535));
    QCOMPARE(large.GetUWORD(0), UWORD(0xC3D4));
    large.SetUBYTE(0x5A, 65534);
    QCOMPARE(large.GetUBYTE(65534), UBYTE(0x5A));
}

QTEST_GUILESS_MAIN(tst_KVNetMessage)
#include "tst_KVNetMessage.moc"
