#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "tests/CorvoGUI/Core/Saves/ReferenceBlowfish.h"
#include "tests/support/cReportCapture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_cSavesFileCipher : public QObject
{
    Q_OBJECT

private slots:
    void unkeyedCipher_refusesAndWritesNothing();
    void encipher_padsWithZerosToWholeBlocksAndRoundTrips_data();
    void encipher_padsWithZerosToWholeBlocksAndRoundTrips();
    void decipher_partialBlock_failsAndWritesNothing_data();
    void decipher_partialBlock_failsAndWritesNothing();
    void fileErrors_areReportedAndFail_data();
    void fileErrors_areReportedAndFail();
};

namespace
{

QString PathOf(const QString& name)
{
    const QString folder = QDir::homePath() + "/cipher";
    QDir().mkpath(folder);
    return folder + "/" + name;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A stream with no zero byte, so the padding shows.
QByteArray Plain(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
    {
        bytes.append(char(1 + (i * 37) % 255));
    }
    return bytes;
}

// Opened as the saves manager opens them: the input read-only, the output write-only unbuffered.
bool CipherFile(const QString& from, const QString& to, bool encrypt)
{
    QFile input(from);
    QFile output(to);
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    {
        return false;
    }
    return cSavesFileCipher::CipherData(input, output, encrypt);
}

} // namespace

void tst_cSavesFileCipher::unkeyedCipher_refusesAndWritesNothing()
{
    const QString plain = PathOf("unkeyed.plain");
    const QString target = PathOf("unkeyed.cfg");
    QVERIFY(WriteFile(plain, Plain(16)));
    cReportCapture capture;
    QVERIFY(!CipherFile(plain, target, true));
    QVERIFY(capture.Contains("ERROR: Saves-file cipher has no key\t"));
    QCOMPARE(QFileInfo(target).size(), qint64(0));

    QVERIFY(cSavesFileCipher::KeyCipher());
}

void tst_cSavesFileCipher::encipher_padsWithZerosToWholeBlocksAndRoundTrips_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("cipherSize");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("three bytes") << 3 << 8;
    QTest::newRow("one block") << 8 << 8;
    QTest::newRow("fresh model stream") << 394 << 400;
    QTest::newRow("seven-byte tail") << 399 << 400;
    QTest::newRow("whole blocks") << 4096 << 4096;
}

void tst_cSavesFileCipher::encipher_padsWithZerosToWholeBlocksAndRoundTrips()
{
    QFETCH(int, size);
    QFETCH(int, cipherSize);
    const QString tag = QTest::currentDataTag();
    const QString plainPath = PathOf(tag + ".plain");
    const QString cipherPath = PathOf(tag + ".cfg");
    const QString backPath = PathOf(tag + ".back");
    const QByteArray plain = Plain(size);
    QVERIFY(WriteFile(plainPath, plain));

    cReportCapture capture;
    QVERIFY(CipherFile(plainPath, cipherPath, true));
    const QByteArray cipher = ReadFile(cipherPath);
    QCOMPARE(cipher.size(), cipherSize);

    const QByteArray padded = plain + QByteArray(cipherSize - size, '\0');
    if (ReferenceBlowfishAvailable())
    {
        // The key is part of the file format: compare with an independent cipher under the same key.
        QCOMPARE(cipher.toHex(), ReferenceBlowfishEcb("CorvoSaveFileKey", padded, true).toHex());
    }

    QVERIFY(CipherFile(cipherPath, backPath, false));
    QCOMPARE(ReadFile(backPath).toHex(), padded.toHex());
    QCOMPARE(capture.Lines(), QStringList());
}

void tst_cSavesFileCipher::decipher_partialBlock_failsAndWritesNothing_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("401 bytes") << 401;
    QTest::newRow("7 bytes") << 7;
    QTest::newRow("1 byte") << 1;
}

void tst_cSavesFileCipher::decipher_partialBlock_failsAndWritesNothing()
{
    QFETCH(int, size);
    const QString cipherPath = PathOf("partial.cfg");
    const QString plainPath = PathOf("partial.plain");
    QVERIFY(WriteFile(cipherPath, Plain(size)));

    cReportCapture capture;
    QVERIFY(!CipherFile(cipherPath, plainPath, false));
    QCOMPARE(capture.Count("ERROR: Input file is incorrect size for decrpyting\t"), 1);
    QCOMPARE(capture.Lines().size(), 1);
    QCOMPARE(QFileInfo(plainPath).size(), qint64(0));
}

void tst_cSavesFileCipher::fileErrors_areReportedAndFail_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("inputMode");
    QTest::addColumn<int>("outputMode");
    QTest::addColumn<QString>("report");
    const int closed = int(QIODevice::NotOpen);
    const int readOnly = int(QIODevice::ReadOnly);
    const int writeOnly = int(QIODevice::WriteOnly);
    const int unbuffered = int(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const QString file = PathOf("errors.cfg");
    QTest::newRow("input not open") << file << closed << writeOnly
                                    << "Cipher input file is not open for reading";
    QTest::newRow("input write-only")
        << file << writeOnly << writeOnly << "Cipher input file is not open for reading";
    QTest::newRow("output read-only")
        << file << readOnly << readOnly << "Cipher output file is not open for writing";
    QTest::newRow("full device, unbuffered")
        << "/dev/full" << readOnly << unbuffered << "ERROR: Write error: could not write to file\t";
    QTest::newRow("full device, buffered")
        << "/dev/full" << readOnly << writeOnly << "ERROR: Write error: could not write to file\t";
}

void tst_cSavesFileCipher::fileErrors_areReportedAndFail()
{
    QFETCH(QString, output);
    QFETCH(int, inputMode);
    QFETCH(int, outputMode);
    QFETCH(QString, report);
    if (output.startsWith("/dev/") && !QFile::exists(output))
    {
        QSKIP("no full device on this system");
    }
    const QString inputPath = PathOf("errors.plain");
    QVERIFY(WriteFile(inputPath, Plain(394)));
    if (!QFile::exists(output))
    {
        QVERIFY(WriteFile(output, QByteArray()));
    }

    QFile input(inputPath);
    QFile target(output);
    if (inputMode != int(QIODevice::NotOpen))
    {
        QVERIFY(input.open(QIODevice::OpenMode(inputMode) |
                           (inputMode & QIODevice::WriteOnly ? QIODevice::Append : QIODevice::NotOpen)));
    }
    QVERIFY(target.open(QIODevice::OpenMode(outputMode)));

    cReportCapture capture;
    QVERIFY(!cSavesFileCipher::CipherData(input, target, true));
    QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
}

QTEST_GUILESS_MAIN(tst_cSavesFileCipher)
#include "tst_cSavesFileCipher.moc"
