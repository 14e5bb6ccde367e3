#include "CorvoGUI/Core/Serial/cSerialFrameParser.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace
{

QByteArray Frame(int command, const QByteArray& payload)
{
    QByteArray bytes = QByteArray::fromHex("a5a500");
    bytes.append(static_cast<char>(command));
    const quint32 n = static_cast<quint32>(payload.size());
    for (int i = 0; i < 4; ++i)
    {
        bytes.append(static_cast<char>((n >> (8 * i)) & 0xFF));
    }
    return bytes + payload;
}

QByteArray Header(int command, quint32 length)
{
    QByteArray bytes = QByteArray::fromHex("a5a500");
    bytes.append(static_cast<char>(command));
    for (int i = 0; i < 4; ++i)
    {
        bytes.append(static_cast<char>((length >> (8 * i)) & 0xFF));
    }
    return bytes;
}

QByteArray Payload(int size)
{
    QByteArray payload;
    for (int i = 0; i < size; ++i)
    {
        payload.append(static_cast<char>(i * 7 + 1));
    }
    return payload;
}

void Feed(cSerialFrameParser& parser, const QByteArray& bytes)
{
    QCOMPARE(parser.Feed(reinterpret_cast<const UBYTE*>(bytes.constData()), bytes.size()), bytes.size());
}

// Every result until incomplete: "F<cmd>:<len>", "G<bytes>" (garbage) or "L" (length too large).
QStringList Drain(cSerialFrameParser& parser, QList<QByteArray>* payloads = nullptr)
{
    QStringList results;
    sSerialFrame frame;
    for (int guard = 0; guard < 10000; ++guard)
    {
        const cSerialFrameParser::eResult result = parser.Next(frame);
        if (result == cSerialFrameParser::PARSE_INCOMPLETE)
        {
            break;
        }
        if (result == cSerialFrameParser::PARSE_FRAME)
        {
            results << QStringLiteral("F%1:%2").arg(frame.mCommand).arg(frame.mLength);
            if (payloads != nullptr)
            {
                payloads->append(QByteArray(reinterpret_cast<const char*>(frame.mPayload.data()),
                                            static_cast<int>(frame.mLength)));
            }
        }
        else if (parser.LastBadReason() == cSerialFrameParser::BAD_GARBAGE)
        {
            results << QStringLiteral("G%1").arg(parser.LastDiscarded());
        }
        else
        {
            results << QStringLiteral("L");
        }
    }
    return results;
}

} // namespace

class tst_cSerialFrameParser : public QObject
{
    Q_OBJECT

private slots:
    void frameSplitAtEveryOffset_isCompletedByTheSecondPart_data();
    void frameSplitAtEveryOffset_isCompletedByTheSecondPart();
    void stream_givesFramesAndBadResultsInOrder_data();
    void stream_givesFramesAndBadResultsInOrder();
    void feedBeyondCapacity_takesOnlyFreeSpace();
};

void tst_cSerialFrameParser::frameSplitAtEveryOffset_isCompletedByTheSecondPart_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("payloadSize");
    QTest::newRow("empty payload") << 2 << 0;
    QTest::newRow("version") << 0 << 2;
    QTest::newRow("meter block") << 4 << 32;
    QTest::newRow("maximal payload") << 9 << 512;
}

void tst_cSerialFrameParser::frameSplitAtEveryOffset_isCompletedByTheSecondPart()
{
    QFETCH(int, command);
    QFETCH(int, payloadSize);
    const QByteArray payload = Payload(payloadSize);
    const QByteArray frame = Frame(command, payload);
    const QString expected = QStringLiteral("F%1:%2").arg(command).arg(payloadSize);
    for (int offset = 1; offset < frame.size(); ++offset)
    {
        cSerialFrameParser parser;
        Feed(parser, frame.left(offset));
        QVERIFY2(Drain(parser).isEmpty(), qPrintable(QStringLiteral("offset %1").arg(offset)));
        Feed(parser, frame.mid(offset));
        QList<QByteArray> payloads;
        QCOMPARE(Drain(parser, &payloads), QStringList{expected});
        QCOMPARE(payloads.value(0), payload);
        QCOMPARE(parser.Pending(), 0);
    }
}

void tst_cSerialFrameParser::stream_givesFramesAndBadResultsInOrder_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("pendingAfter");

    const QByteArray version = Frame(0, QByteArray::fromHex("0102"));
    const QByteArray meters = Frame(4, Payload(32));
    QTest::newRow("two frames back to back") << version + meters << QStringList{"F0:2", "F4:32"} << 0;
    QTest::newRow("garbage before a frame")
        << QByteArray::fromHex("0102a5ff03") + version << QStringList{"G5", "F0:2"} << 0;
    QTest::newRow("garbage between frames")
        << version + QByteArray::fromHex("deadbeef") + meters << QStringList{"F0:2", "G4", "F4:32"} << 0;
    QTest::newRow("maximal frame") << Frame(3, Payload(512)) << QStringList{"F3:512"} << 0;
    QTest::newRow("over-long length, then a frame")
        << Header(4, 513) + meters << QStringList{"L", "G7", "F4:32"} << 0;
    QTest::newRow("huge length") << Header(4, 0xFFFFFFFFu) + version << QStringList{"L", "G7", "F0:2"} << 0;
    QTest::newRow("unknown command keeps the frames after it")
        << Frame(0x42, Payload(3)) + version << QStringList{"F66:3", "F0:2"} << 0;
    QTest::newRow("false start whose last byte starts a frame")
        << QByteArray::fromHex("a5") + version << QStringList{"G1", "F0:2"} << 0;
    QTest::newRow("bad header ending in a preamble byte")
        << QByteArray::fromHex("a5a50004000400a5") + version << QStringList{"L", "G7", "F0:2"} << 0;
    QTest::newRow("partial preamble at the end is kept")
        << version + QByteArray::fromHex("11a5a5") << QStringList{"F0:2", "G1"} << 2;
    QTest::newRow("truncated frame waits") << meters.left(20) << QStringList{} << 20;
    QTest::newRow("garbage only") << QByteArray::fromHex("00010203") << QStringList{"G4"} << 0;
}

void tst_cSerialFrameParser::stream_givesFramesAndBadResultsInOrder()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, expected);
    QFETCH(int, pendingAfter);
    cSerialFrameParser parser;
    Feed(parser, stream);
    QCOMPARE(Drain(parser), expected);
    QCOMPARE(parser.Pending(), pendingAfter);
}

void tst_cSerialFrameParser::feedBeyondCapacity_takesOnlyFreeSpace()
{
    cSerialFrameParser parser;
    QByteArray frames;
    while (frames.size() < cSerialFrameParser::CAPACITY + 100)
    {
        frames += Frame(4, Payload(32));
    }
    const int taken = parser.Feed(reinterpret_cast<const UBYTE*>(frames.constData()), frames.size());
    QCOMPARE(taken, cSerialFrameParser::CAPACITY);
    QCOMPARE(parser.FreeSpace(), 0);
    // Frames taken out make room again, and the rest continues where the first feed stopped.
    const QStringList first = Drain(parser);
    const int rest =
        parser.Feed(reinterpret_cast<const UBYTE*>(frames.constData()) + taken, frames.size() - taken);
    QCOMPARE(rest, frames.size() - taken);
    const QStringList second = Drain(parser);
    QCOMPARE(first.size() + second.size(), frames.size() / 40);
    QVERIFY(!first.join(',').contains('G') && !second.join(',').contains('G'));
}

QTEST_GUILESS_MAIN(tst_cSerialFrameParser)
#include "tst_cSerialFrameParser.moc"
