#include "CorvoGUI/Core/Saves/Blowfish.h"
#include "tests/CorvoGUI/Core/Saves/ReferenceBlowfish.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

class tst_Blowfish : public QObject
{
    Q_OBJECT

private slots:
    void publishedVectors_data();
    void publishedVectors();
    void keysOfEveryLength_matchIndependentImplementation_data();
    void keysOfEveryLength_matchIndependentImplementation();
    void emptyKey_isRefusedAndKeepsTheSchedule_data();
    void emptyKey_isRefusedAndKeepsTheSchedule();
};

namespace
{

QByteArray Cipher(const QByteArray& block, bool encrypt)
{
    QByteArray out(8, '\0');
    BlowfishCipherBlock(reinterpret_cast<const UBYTE*>(block.constData()),
                        reinterpret_cast<UBYTE*>(out.data()), encrypt);
    return out;
}

bool Key(const QByteArray& key)
{
    return BlowfishInit(reinterpret_cast<const UBYTE*>(key.constData()), key.size());
}

} // namespace

void tst_Blowfish::publishedVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    auto row = [](const char* name, const char* key, const char* plain, const char* cipher)
    {
        QTest::newRow(name) << QByteArray::fromHex(key) << QByteArray::fromHex(plain)
                            << QByteArray::fromHex(cipher);
    };
    row("zero key, zero block", "0000000000000000", "0000000000000000", "4EF997456198DD78");
    row("all ones", "FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A");
    row("3000...", "3000000000000000", "1000000000000001", "7D856F9A613063F2");
    row("1111...", "1111111111111111", "1111111111111111", "2466DD878B963C9D");
    row("0123... key", "0123456789ABCDEF", "1111111111111111", "61F9C3802281B096");
    row("0123... block", "1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7");
    row("FEDC... key", "FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D");
    row("7CA1...", "7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B");
    row("0131...", "0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0");
    row("1-byte key", "F0", "FEDCBA9876543210", "F9AD597C49DB005E");
    row("4-byte key", "F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05");
    row("7-byte key", "F0E1D2C3B4A596", "FEDCBA9876543210", "8BB77032F960629D");
    row("16-byte key", "F0E1D2C3B4A5968778695A4B3C2D1E0F", "FEDCBA9876543210", "93142887EE3BE15C");
    row("24-byte key", "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210",
        "05044B62FA52D080");
}

void tst_Blowfish::publishedVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QVERIFY(Key(key));
    QCOMPARE(Cipher(plain, true).toHex().toUpper(), cipher.toHex().toUpper());
    QCOMPARE(Cipher(cipher, false).toHex().toUpper(), plain.toHex().toUpper());

    // In place.
    QByteArray block = plain;
    BlowfishCipherBlock(reinterpret_cast<const UBYTE*>(block.constData()),
                        reinterpret_cast<UBYTE*>(block.data()), true);
    QCOMPARE(block, cipher);
}

void tst_Blowfish::keysOfEveryLength_matchIndependentImplementation_data()
{
    QTest::addColumn<int>("length");
    for (int length : {1, 2, 3, 5, 8, 13, 16, 31, 56, 72})
    {
        QTest::addRow("%d bytes", length) << length;
    }
}

void tst_Blowfish::keysOfEveryLength_matchIndependentImplementation()
{
    if (!ReferenceBlowfishAvailable())
    {
        QSKIP("OpenSSL not available");
    }
    QFETCH(int, length);
    QByteArray key;
    for (int i = 0; i < length; ++i)
    {
        key.append(char((i * 37 + length * 11 + 5) & 0xFF));
    }
    QByteArray data;
    for (int i = 0; i < 8 * 64; ++i)
    {
        data.append(char((i * 131 + (i >> 3)) & 0xFF));
    }

    QVERIFY(Key(key));
    QByteArray mine;
    for (int i = 0; i < data.size(); i += 8)
    {
        mine += Cipher(data.mid(i, 8), true);
    }
    QCOMPARE(mine.toHex(), ReferenceBlowfishEcb(key, data, true).toHex());
}

void tst_Blowfish::emptyKey_isRefusedAndKeepsTheSchedule_data()
{
    QTest::addColumn<bool>("nullKey");
    QTest::addColumn<int>("length");
    QTest::newRow("null key") << true << 16;
    QTest::newRow("zero length") << false << 0;
    QTest::newRow("negative length") << false << -1;
}

void tst_Blowfish::emptyKey_isRefusedAndKeepsTheSchedule()
{
    QFETCH(bool, nullKey);
    QFETCH(int, length);
    const QByteArray key = QByteArray::fromHex("0123456789ABCDEF");
    const QByteArray plain = QByteArray::fromHex("1111111111111111");
    QVERIFY(Key(key));

    cReportCapture capture;
    const UBYTE bytes[16] = {};
    QVERIFY(!BlowfishInit(nullKey ? nullptr : bytes, length));
    QVERIFY(capture.Contains("Blowfish key is empty"));
    QVERIFY(BlowfishIsKeyed());
    QCOMPARE(Cipher(plain, true).toHex().toUpper(), QByteArray("61F9C3802281B096"));
}

QTEST_GUILESS_MAIN(tst_Blowfish)
#include "tst_Blowfish.moc"
