#include "KVNet/Core/KVNetFrames.h"
#include "KVNet/Core/cConnectionBase.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "tests/support/cReportCapture.h"

#include <QRandomGenerator>
#include <QtTest>

namespace
{

// Records everything the reader hands on, in order, as text.
class cRecordingReader : public cConnectionBase
{
public:
    QStringList mLog;

    void KVNetMessageReceived(cKVNetMessage& message) override
    {
        QByteArray payload(reinterpret_cast<const char*>(message.Data()), message.GetLength());
        mLog << QStringLiteral("M %1 %2 %3 %4 %5")
                    .arg(message.mConnectionId)
                    .arg(message.mDestination)
                    .arg(message.mSource)
                    .arg(message.mMethod)
                    .arg(QString::fromLatin1(payload.toHex()));
    }
    void UtilMessageReceived(UBYTE*, UWORD) override {}
    void UtilFrameReceived(UBYTE* data, UWORD length) override
    {
        mLog << QStringLiteral("U ") +
                    QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(data), length).toHex());
    }
    void Feed(const QByteArray& bytes)
    {
        MessageReceived(reinterpret_cast<const UBYTE*>(bytes.constData()), ULONG(bytes.size()));
    }
};

cKVNetMessage Message(UWORD connection, UWORD destination, UWORD source, UWORD method,
                      const QByteArray& payload)
{
    cKVNetMessage message(UWORD(payload.size()));
    message.mConnectionId = connection;
    message.mDestination = destination;
    message.mSource = source;
    message.mMethod = method;
    if (!payload.isEmpty())
    {
        memcpy(message.Data(), payload.constData(), size_t(payload.size()));
    }
    return message;
}

QByteArray FrameV1(const cKVNetMessage& message)
{
    QByteArray frame(int(message.GetLength() + nKVNetFrame::V1_OVERHEAD), '\0');
    const ULONG size = BuildFrameV1(message, reinterpret_cast<UBYTE*>(frame.data()));
    return frame.left(int(size));
}

QByteArray FrameV2(const cKVNetMessage& message)
{
    QByteArray frame(int(message.GetLength() + nKVNetFrame::V2_OVERHEAD), '\0');
    const ULONG size = BuildFrameV2(message, reinterpret_cast<UBYTE*>(frame.data()));
    return frame.left(int(size));
}

QByteArray UtilFrame(const QByteArray& payload)
{
    QByteArray frame(payload.size() + int(nKVNetFrame::UTIL_OVERHEAD), '\0');
    BuildUtilFrame(reinterpret_cast<const UBYTE*>(payload.constData()), UWORD(payload.size()),
                   reinterpret_cast<UBYTE*>(frame.data()));
    return frame;
}

} // namespace

class tst_ConnectionBase : public QObject
{
    Q_OBJECT

private slots:
    void framesHaveTheirLayout_data();
    void framesHaveTheirLayout();
    void readerDeliversWhatTheStreamHolds_data();
    void readerDeliversWhatTheStreamHolds();
    void anySplitGivesTheSameResult();
};

void tst_ConnectionBase::framesHaveTheirLayout_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("v2");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("v1") << QByteArray::fromHex("0102") << false
                        << QByteArray::fromHex("F00000000500071000000201 02F7");
    QTest::newRow("v2") << QByteArray::fromHex("0102") << true
                        << QByteArray::fromHex("F1000000000005000000070000100000000002 0102F8");
    QTest::newRow("v1 empty") << QByteArray() << false << QByteArray::fromHex("F00000000500071000 0000F7");
    QTest::newRow("v2 empty") << QByteArray() << true
                              << QByteArray::fromHex("F10000000000050000000700001000000000 00F8");
}

void tst_ConnectionBase::framesHaveTheirLayout()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, v2);
    QFETCH(QByteArray, expected);
    const cKVNetMessage message = Message(0, 5, 7, 4096, payload);
    QCOMPARE(v2 ? FrameV2(message) : FrameV1(message), expected);
    QCOMPARE(UtilFrame("BYE"), QByteArray::fromHex("E0000342 5945E7"));
}

void tst_ConnectionBase::readerDeliversWhatTheStreamHolds_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("strayBytes");
    QTest::addColumn<QString>("report");

    const QByteArray v1 = QByteArray::fromHex("F00000000500071000000201 02F7");
    const QString v1Text = QStringLiteral("M 0 5 7 4096 0102");
    QByteArray badEnd = v1;
    badEnd[badEnd.size() - 1] = char(0xF0);

    QTest::newRow("v1") << v1 << QStringList{v1Text} << 0 << QString();
    QTest::newRow("v2") << QByteArray::fromHex("F1000300000005000000070000100000000002 0102F8")
                        << QStringList{QStringLiteral("M 3 5 7 4096 0102")} << 0 << QString();
    QTest::newRow("stray bytes before a frame")
        << QByteArray::fromHex("5555") + v1 << QStringList{v1Text} << 2 << QString();
    // The wrong end byte 0xF0 starts the next frame.
    QTest::newRow("bad end byte starts the next frame") << badEnd + v1.mid(1) << QStringList{v1Text} << 0
                                                        << QStringLiteral("Invalid KVNetMessage Data Packet");
    QTest::newRow("util") << QByteArray::fromHex("E0000342 5945E7") << QStringList{QStringLiteral("U 425945")}
                          << 0 << QString();
    QTest::newRow("bad util end") << QByteArray::fromHex("E000034259 4501") + v1 << QStringList{v1Text} << 1
                                  << QStringLiteral("Invalid Util Data Packet");
    QTest::newRow("empty util dropped") << QByteArray::fromHex("E00000E7") + v1 << QStringList{v1Text} << 0
                                        << QStringLiteral("Empty util frame dropped");

    // The largest frame a 16-bit length allows: positions past 65535 must not wrap.
    const QByteArray big(0xFFFF, char(0xAB));
    const cKVNetMessage large = Message(1, 2, 3, 4097, big);
    QTest::newRow("largest v2 frame")
        << FrameV2(large) + v1
        << QStringList{QStringLiteral("M 1 2 3 4097 ") + QString::fromLatin1(big.toHex()), v1Text} << 0
        << QString();
    QTest::newRow("largest util frame")
        << UtilFrame(big) << QStringList{QStringLiteral("U ") + QString::fromLatin1(big.toHex())} << 0
        << QString();
}

void tst_ConnectionBase::readerDeliversWhatTheStreamHolds()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, expected);
    QFETCH(int, strayBytes);
    QFETCH(QString, report);

    cReportCapture reports;
    cRecordingReader reader;
    reader.Feed(stream);
    QCOMPARE(reader.mLog, expected);
    QCOMPARE(int(reader.GetStrayBytes()), strayBytes);
    if (report.isEmpty())
    {
        QVERIFY2(reports.Lines().isEmpty(), qPrintable(reports.Lines().join(QString())));
    }
    else
    {
        QCOMPARE(reports.Count(report), 1);
    }
}

void tst_ConnectionBase::anySplitGivesTheSameResult()
{
    // Frames of every kind, garbage, damaged frames and a long frame, back to back.
    QByteArray stream;
    stream += QByteArray::fromHex("00FF55");
    stream += FrameV1(Message(1, 2, 3, 4, QByteArray::fromHex("AABBCC")));
    stream += UtilFrame(QByteArray::fromHex("01030000"));
    stream += QByteArray::fromHex("F0000100020003000400 02 1122 00");
    stream += FrameV2(Message(9, 8, 7, 6, QByteArray(3000, 'x')));
    stream += QByteArray::fromHex("E00000E7");
    stream += FrameV1(Message(4, 3, 2, 1, QByteArray()));
    stream += QByteArray::fromHex("F00001");

    cReportCapture reports;
    cRecordingReader whole;
    whole.Feed(stream);
    QCOMPARE(whole.mLog.size(), 4);

    cRecordingReader byteByByte;
    for (int i = 0; i < stream.size(); ++i)
    {
        byteByByte.Feed(stream.mid(i, 1));
    }
    QCOMPARE(byteByByte.mLog, whole.mLog);
    QCOMPARE(byteByByte.GetStrayBytes(), whole.GetStrayBytes());

    QRandomGenerator random(1234);
    for (int round = 0; round < 50; ++round)
    {
        cRecordingReader split;
        for (int i = 0; i < stream.size();)
        {
            const int n = 1 + int(random.bounded(700));
            split.Feed(stream.mid(i, n));
            i += n;
        }
        QCOMPARE(split.mLog, whole.mLog);
        QCOMPARE(split.GetFramesReceived(), whole.GetFramesReceived());
    }
}

QTEST_GUILESS_MAIN(tst_ConnectionBase)
#include "tst_ConnectionBase.moc"
