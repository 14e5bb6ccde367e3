#include "KVNet/Core/KVByteOrder.h"

#include <QtTest>

#include <cstring>

using namespace nKVByteOrder;

class tst_KVByteOrder : public QObject
{
    Q_OBJECT

private slots:
    void hostToNet_putsTheMostSignificantByteFirst();
    void loadsAndStores_roundTripOnUnalignedBytes();
};

void tst_KVByteOrder::hostToNet_putsTheMostSignificantByteFirst()
{
    const UWORD word = HostToNet16(0x1234);
    const ULONG longWord = HostToNet32(0x12345678);
    UBYTE bytes[6];
    std::memcpy(bytes, &word, 2);
    std::memcpy(bytes + 2, &longWord, 4);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes), 6), QByteArray::fromHex("123412345678"));
    QCOMPARE(NetToHost16(word), UWORD(0x1234));
    QCOMPARE(NetToHost32(longWord), ULONG(0x12345678));
}

void tst_KVByteOrder::loadsAndStores_roundTripOnUnalignedBytes()
{
    UBYTE bytes[7] = {};
    StoreBig32(bytes + 1, 0xA1B2C3D4);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes), 7), QByteArray::fromHex("00a1b2c3d40000"));
    QCOMPARE(LoadBig32(bytes + 1), ULONG(0xA1B2C3D4));
    QCOMPARE(LoadBig16(bytes + 2), UWORD(0xB2C3));
    StoreLittle32(bytes + 3, 0x01020304);
    QCOMPARE(LoadLittle32(bytes + 3), ULONG(0x01020304));
    QCOMPARE(bytes[3], UBYTE(0x04));
    StoreLittle16(bytes, 0xBEEF);
    QCOMPARE(LoadLittle16(bytes), UWORD(0xBEEF));
    QCOMPARE(bytes[0], UBYTE(0xEF));
}

QTEST_GUILESS_MAIN(tst_KVByteOrder)
#include "tst_KVByteOrder.moc"
