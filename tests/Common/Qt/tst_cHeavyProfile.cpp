#include "Common/Qt/cHeavyProfile.h"
#include "tests/support/cReportCapture.h"

#include <QDateTime>
#include <QThread>
#include <QtTest>

#include <thread>

class tst_cHeavyProfile : public QObject
{
    Q_OBJECT

private slots:
    void millisecondsReadAsText_data();
    void millisecondsReadAsText();
    void nanosecondsReadAsText_data();
    void nanosecondsReadAsText();
    void entryCountsAndTimesPerThread();
    void profileIsOnePerProcessUntilDeleted();
};

void tst_cHeavyProfile::millisecondsReadAsText_data()
{
    QTest::addColumn<quint32>("milliseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0u << "0ms";
    QTest::newRow("a day, an hour and a millisecond") << 90000001u << "1days 1hours 1ms";
    QTest::newRow("every unit") << (2u * 604800000u + 86400000u + 3600000u + 60000u + 1000u + 7u)
                                << "2weeks 1days 1hours 1min 1sec 7ms";
    QTest::newRow("largest") << 0xFFFFFFFFu << "7weeks 17hours 2min 47sec 295ms";
}

void tst_cHeavyProfile::millisecondsReadAsText()
{
    QFETCH(quint32, milliseconds);
    QFETCH(QString, text);
    QCOMPARE(cHeavyProfile::FormatMilliseconds(milliseconds), text);
}

void tst_cHeavyProfile::nanosecondsReadAsText_data()
{
    QTest::addColumn<quint64>("nanoseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << quint64(0) << "0ns";
    QTest::newRow("every unit") << quint64(61001002003ULL) << "1min 1sec 1ms 2us 3ns";
    QTest::newRow("hours stay minutes") << quint64(3600000000000ULL) << "60min 0ns";
}

void tst_cHeavyProfile::nanosecondsReadAsText()
{
    QFETCH(quint64, nanoseconds);
    QFETCH(QString, text);
    QCOMPARE(cHeavyProfile::FormatNanoseconds(nanoseconds), text);
}

void tst_cHeavyProfile::entryCountsAndTimesPerThread()
{
    cHeavyProfileEntry entry;
    cReportCapture reports;
    entry.End(QDateTime::currentMSecsSinceEpoch());
    QCOMPARE(reports.Count("End called before start"), 1);
    QCOMPARE(entry.GetCalls(), 0);
    QCOMPARE(entry.GetShortest(), cHeavyProfileEntry::NO_SHORTEST);
    QCOMPARE(entry.GetLongest(), 0);

    entry.Start();
    entry.End(QDateTime::currentMSecsSinceEpoch() + 40);
    entry.Start();
    entry.End(QDateTime::currentMSecsSinceEpoch() + 10);
    QCOMPARE(entry.GetCalls(), 2);
    QCOMPARE(entry.GetCallsOnThread(QThread::currentThread()), 2);
    QVERIFY(entry.GetLast() >= 10 && entry.GetLast() < 40);
    QCOMPARE(entry.GetShortest(), entry.GetLast());
    QVERIFY(entry.GetLongest() >= 40);
    QCOMPARE(entry.GetTotal(), qint64(entry.GetLongest()) + entry.GetShortest());
    QCOMPARE(entry.GetActiveThreads(), 0);

    // A second thread inside while this one is: one concurrent call.
    entry.Start();
    QThread* other = nullptr;
    std::thread(
        [&entry, &other]
        {
            other = QThread::currentThread();
            entry.Start();
            entry.End(QDateTime::currentMSecsSinceEpoch());
        })
        .join();
    QCOMPARE(entry.GetActiveThreads(), 1);
    entry.End(QDateTime::currentMSecsSinceEpoch());
    QCOMPARE(entry.GetConcurrentCalls(), 1);
    QCOMPARE(entry.GetCalls(), 4);
    QCOMPARE(entry.GetCallsOnThread(other), 1);
    QCOMPARE(reports.Count("End called before start"), 1);
}

void tst_cHeavyProfile::profileIsOnePerProcessUntilDeleted()
{
    cHeavyProfile* profile = cHeavyProfile::Instance();
    QCOMPARE(cHeavyProfile::Instance(), profile);
    cHeavyProfileEntry* entry = profile->Entry("section");
    QCOMPARE(profile->Entry("section"), entry);
    QVERIFY(profile->Entry("other") != entry);

    QVERIFY(!profile->IsOwnerThread());
    profile->SetOwnerThread();
    QVERIFY(profile->IsOwnerThread());
    bool ownerElsewhere = true;
    std::thread(
        [profile, &ownerElsewhere]
        {
            profile->SetOwnerThread();
            ownerElsewhere = profile->IsOwnerThread();
        })
        .join();
    QVERIFY(!ownerElsewhere);

    cHeavyProfile::DeleteInstance();
    cHeavyProfile::DeleteInstance();
    QVERIFY(!cHeavyProfile::Instance()->IsOwnerThread());
    cHeavyProfile::DeleteInstance();
}

QTEST_GUILESS_MAIN(tst_cHeavyProfile)
#include "tst_cHeavyProfile.moc"
