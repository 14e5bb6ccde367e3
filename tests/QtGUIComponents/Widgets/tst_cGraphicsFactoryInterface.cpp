#include "QtGUIComponents/Widgets/cGraphicsFactoryInterface.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

namespace
{

struct sPainters
{
};
using cFactory = cGraphicsFactoryInterface<sPainters>;

std::atomic<int> gPaints{0};

// Paints an image whose colour tells its id and size apart; ids with "NULL" give a null image.
struct cCountingPainter
{
    static QImage GetPixmap(const QSize& size, const QString& id)
    {
        ++gPaints;
        if (id.contains(QLatin1String("NULL")))
        {
            return QImage();
        }
        QImage image(size, QImage::Format_ARGB32);
        image.fill(QColor(int(qHash(id) % 256), size.width() % 256, size.height() % 256));
        return image;
    }
};

} // namespace

// The graphics cache: keyed by size and id, painting only on a miss, created once across threads.
class tst_cGraphicsFactoryInterface : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void getGraphicsFactory_racedByManyThreads_makesOneFactory();
    void cachedPixmap_isKeyedBySizeAndId();
    void cachedPixmap_ofAnEmptySize_isNullAndPaintsNothing_data();
    void cachedPixmap_ofAnEmptySize_isNullAndPaintsNothing();
    void cachedPixmap_storesANullImageAndPaintsAgainNextTime();
    void store_replacesTheEntry();
    void cachedPixmap_fromManyThreads_givesEqualImages();
    void deleteGraphicsFactory_dropsTheCache();
};

void tst_cGraphicsFactoryInterface::init()
{
    cFactory::DeleteGraphicsFactory();
    gPaints = 0;
}

void tst_cGraphicsFactoryInterface::getGraphicsFactory_racedByManyThreads_makesOneFactory()
{
    constexpr int THREADS = 8;
    std::atomic<int> ready{0};
    std::vector<cFactory*> seen(THREADS, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t)
    {
        threads.emplace_back(
            [&, t]()
            {
                ++ready;
                while (ready < THREADS)
                {
                }
                seen[t] = cFactory::GetGraphicsFactory();
            });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    QVERIFY(seen[0] != nullptr);
    for (cFactory* factory : seen)
    {
        QCOMPARE(factory, seen[0]);
    }
    QCOMPARE(cFactory::GetGraphicsFactory(), seen[0]);
}

void tst_cGraphicsFactoryInterface::cachedPixmap_isKeyedBySizeAndId()
{
    cFactory* factory = cFactory::GetGraphicsFactory();
    const QImage first = factory->GetCachedPixmap<cCountingPainter>(QSize(4, 8), "A");
    const QImage again = factory->GetCachedPixmap<cCountingPainter>(QSize(4, 8), "A");
    QCOMPARE(int(gPaints), 1);
    QCOMPARE(again.cacheKey(), first.cacheKey()); // the stored image itself, not a repaint

    const QImage otherSize = factory->GetCachedPixmap<cCountingPainter>(QSize(8, 4), "A");
    const QImage otherId = factory->GetCachedPixmap<cCountingPainter>(QSize(4, 8), "B");
    QCOMPARE(int(gPaints), 3);
    QCOMPARE(otherSize.size(), QSize(8, 4));
    QVERIFY(otherId != first);
    QCOMPARE(factory->Lookup(QSize(4, 8), "A"), first);
    QCOMPARE(factory->Lookup(QSize(8, 4), "A"), otherSize);
    QVERIFY(factory->Lookup(QSize(4, 4), "A").isNull());
}

void tst_cGraphicsFactoryInterface::cachedPixmap_ofAnEmptySize_isNullAndPaintsNothing_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("0 x 5") << QSize(0, 5);
    QTest::newRow("5 x 0") << QSize(5, 0);
    QTest::newRow("invalid") << QSize();
}

void tst_cGraphicsFactoryInterface::cachedPixmap_ofAnEmptySize_isNullAndPaintsNothing()
{
    QFETCH(QSize, size);
    cFactory* factory = cFactory::GetGraphicsFactory();
    QVERIFY(factory->GetCachedPixmap<cCountingPainter>(size, "A").isNull());
    QCOMPARE(int(gPaints), 0);
    QVERIFY(factory->Lookup(size, "A").isNull());
}

void tst_cGraphicsFactoryInterface::cachedPixmap_storesANullImageAndPaintsAgainNextTime()
{
    cFactory* factory = cFactory::GetGraphicsFactory();
    QVERIFY(factory->GetCachedPixmap<cCountingPainter>(QSize(2, 2), "NULL").isNull());
    QVERIFY(factory->GetCachedPixmap<cCountingPainter>(QSize(2, 2), "NULL").isNull());
    QCOMPARE(int(gPaints), 2);
}

void tst_cGraphicsFactoryInterface::store_replacesTheEntry()
{
    cFactory* factory = cFactory::GetGraphicsFactory();
    QImage red(1, 1, QImage::Format_ARGB32);
    red.fill(Qt::red);
    factory->Store(QSize(1, 1), "X", red);
    QCOMPARE(factory->GetCachedPixmap<cCountingPainter>(QSize(1, 1), "X"), red);
    QCOMPARE(int(gPaints), 0);
    QImage blue(1, 1, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    factory->Store(QSize(1, 1), "X", blue);
    QCOMPARE(factory->Lookup(QSize(1, 1), "X"), blue);
}

void tst_cGraphicsFactoryInterface::cachedPixmap_fromManyThreads_givesEqualImages()
{
    constexpr int THREADS = 6;
    std::vector<QImage> images(THREADS);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t)
    {
        threads.emplace_back(
            [&images, t]()
            {
                for (int n = 0; n < 50; ++n)
                {
                    images[t] = cFactory::GetGraphicsFactory()->GetCachedPixmap<cCountingPainter>(
                        QSize(3 + n % 5, 3), QStringLiteral("SHARED"));
                }
            });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    for (const QImage& image : images)
    {
        QCOMPARE(image, images[0]);
    }
    // Each of the five keys is painted at least once and at most once per thread.
    QVERIFY(gPaints >= 5 && gPaints <= 5 * THREADS);
}

void tst_cGraphicsFactoryInterface::deleteGraphicsFactory_dropsTheCache()
{
    cFactory::GetGraphicsFactory()->GetCachedPixmap<cCountingPainter>(QSize(2, 2), "A");
    cFactory::DeleteGraphicsFactory();
    cFactory::DeleteGraphicsFactory(); // nothing left to delete
    QVERIFY(cFactory::GetGraphicsFactory()->Lookup(QSize(2, 2), "A").isNull());
}

QTEST_GUILESS_MAIN(tst_cGraphicsFactoryInterface)
#include "tst_cGraphicsFactoryInterface.moc"
