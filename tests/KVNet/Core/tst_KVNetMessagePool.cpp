#include "KVNet/Core/cDynamicKVNetMessPool.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cKVNetMessagePool.h"
#include "KVNet/Core/cStaticKVNetMessPool.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

#include <vector>

class tst_KVNetMessagePool : public QObject
{
    Q_OBJECT

private slots:
    void requests_goToThePoolOfTheirLength_data();
    void requests_goToThePoolOfTheirLength();
    void smallPool_growsByAThousandAndHandsOutNewestFirst();
    void staticPool_withoutGrowth_refusesWhenEmpty_data();
    void staticPool_withoutGrowth_refusesWhenEmpty();
    void dynamicPool_tracksAndCapsBytesOut();
    void steadyTraffic_allocatesNothingAfterWarmUp();
};

void tst_KVNetMessagePool::requests_goToThePoolOfTheirLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("pool");
    QTest::newRow("0 small") << 0 << 0;
    QTest::newRow("4 small") << 4 << 0;
    QTest::newRow("5 medium") << 5 << 1;
    QTest::newRow("1280 medium") << 1280 << 1;
    QTest::newRow("1281 large") << 1281 << 2;
    QTest::newRow("65535 large") << 65535 << 2;
}

void tst_KVNetMessagePool::requests_goToThePoolOfTheirLength()
{
    QFETCH(int, length);
    QFETCH(int, pool);
    cKVNetMessagePool pools;
    cKVNetMessage* message = pools.GetKVNetMessage(KV_NET_DATA_SCALE(length));
    QVERIFY(message != nullptr);
    QVERIFY(message->GetCapacity() >= length);
    QCOMPARE(pools.SmallPool().FreeCount(), pool == 0 ? 999u : 1000u);
    QCOMPARE(pools.MediumPool().FreeCount(), pool == 1 ? 99u : 100u);
    QCOMPARE(pools.LargePool().BytesOut(), pool == 2 ? ULONG(length) : 0u);
    message->SetLength(UWORD(length));
    pools.ReturnKVNetMessage(message);
    QCOMPARE(pools.SmallPool().FreeCount(), 1000u);
    QCOMPARE(pools.MediumPool().FreeCount(), 100u);
    QCOMPARE(pools.LargePool().BytesOut(), 0u);
}

void tst_KVNetMessagePool::smallPool_growsByAThousandAndHandsOutNewestFirst()
{
    cKVNetMessagePool pools;
    std::vector<cKVNetMessage*> out;
    for (int i = 0; i < 1001; ++i)
    {
        out.push_back(pools.GetKVNetMessage(2));
        QVERIFY(out.back() != nullptr);
    }
    QCOMPARE(pools.SmallPool().CreatedCount(), 2000u);
    QCOMPARE(pools.SmallPool().FreeCount(), 999u);
    cKVNetMessage* last = out.back();
    out.pop_back();
    pools.ReturnKVNetMessage(last);
    QCOMPARE(pools.GetKVNetMessage(1), last);
    out.push_back(last);
    for (cKVNetMessage* message : out)
    {
        pools.ReturnKVNetMessage(message);
    }
    QCOMPARE(pools.SmallPool().FreeCount(), 2000u);
}

void tst_KVNetMessagePool::staticPool_withoutGrowth_refusesWhenEmpty_data()
{
    QTest::addColumn<uint>("initial");
    QTest::addColumn<uint>("maximum");
    QTest::addColumn<uint>("growth");
    QTest::addColumn<uint>("available");
    QTest::addColumn<QString>("constructionReport");
    QTest::newRow("no growth, no maximum") << 2u << 0u << 0u << 2u << QString();
    QTest::newRow("at its maximum") << 3u << 3u << 5u << 3u << QString();
    QTest::newRow("growth would pass the maximum")
        << 2u << 5u << 2u << 5u << "GrowthIncrement set, but not a modulo of the Max! 1";
    QTest::newRow("maximum without growth")
        << 2u << 4u << 0u << 2u << "No GrowthIncrement set, but Initial != Max, so growth expected!";
}

void tst_KVNetMessagePool::staticPool_withoutGrowth_refusesWhenEmpty()
{
    QFETCH(uint, initial);
    QFETCH(uint, maximum);
    QFETCH(uint, growth);
    QFETCH(uint, available);
    QFETCH(QString, constructionReport);
    cReportCapture capture;
    cStaticKVNetMessPool pool(4, initial, maximum, growth);
    if (!constructionReport.isEmpty())
    {
        QCOMPARE(capture.Count("ERROR: " + constructionReport + "\t"), 1);
    }
    std::vector<cKVNetMessage*> out;
    for (uint i = 0; i < available; ++i)
    {
        out.push_back(pool.GetKVNetMessage());
        QVERIFY(out.back() != nullptr);
    }
    QVERIFY(pool.GetKVNetMessage() == nullptr);
    QCOMPARE(capture.Count("ERROR: Mess Pools Full\t"), 1);
    QVERIFY(maximum == 0 || pool.CreatedCount() <= maximum);
    for (cKVNetMessage* message : out)
    {
        pool.ReturnKVNetMessage(message);
    }
    cKVNetMessage* again = pool.GetKVNetMessage(); // usable again once messages come back
    QVERIFY(again != nullptr);
    pool.ReturnKVNetMessage(again);
}

void tst_KVNetMessagePool::dynamicPool_tracksAndCapsBytesOut()
{
    cReportCapture capture;
    cDynamicKVNetMessPool uncapped(0);
    cKVNetMessage* big = uncapped.GetKVNetMessage(2000);
    QCOMPARE(uncapped.BytesOut(), 2000u);
    uncapped.ReturnKVNetMessage(big);
    QCOMPARE(uncapped.BytesOut(), 0u);

    cDynamicKVNetMessPool capped(3000);
    cKVNetMessage* a = capped.GetKVNetMessage(2000);
    cKVNetMessage* b = capped.GetKVNetMessage(2000);
    QVERIFY(a != nullptr && b != nullptr);
    QVERIFY(capped.GetKVNetMessage(1) == nullptr);
    QCOMPARE(capture.Count("ERROR: Heap Memory Cap Reached\t"), 1);
    capped.ReturnKVNetMessage(a);
    capped.ReturnKVNetMessage(b);
    QCOMPARE(capped.BytesOut(), 0u);
}

void tst_KVNetMessagePool::steadyTraffic_allocatesNothingAfterWarmUp()
{
    cKVNetMessagePool pools;
    cKVNetMessage posted;
    posted.AppendUWORD(0x1234);
    posted.AppendUBYTE(1);
    cKVNetMessage* first = pools.GetKVNetMessage(posted.GetLength());
    *first = posted;
    pools.ReturnKVNetMessage(first);
    for (int i = 0; i < 10000; ++i)
    {
        cKVNetMessage* message = pools.GetKVNetMessage(posted.GetLength());
        const UBYTE* buffer = message->Data();
        *message = posted;
        QVERIFY(message->Data() == buffer);
        pools.ReturnKVNetMessage(message);
    }
    QCOMPARE(pools.SmallPool().CreatedCount(), 1000u);
    QCOMPARE(pools.SmallPool().FreeCount(), 1000u);
}

QTEST_GUILESS_MAIN(tst_KVNetMessagePool)
#include "tst_KVNetMessagePool.moc"
