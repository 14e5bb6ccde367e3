#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"

#include <QThread>
#include <QtTest>

#include <iostream>
#include <sstream>

class tst_KVNetReports : public QObject
{
    Q_OBJECT

private slots:
    void lineLayout_data();
    void lineLayout();
    void longMessage_isCutTo511Characters();
    void trace_writesNothing();
    void nullFileName_keepsLaterReportsFlowing();
    void defaultSink_writesWholeLinesToStandardOutput();
    void concurrentReports_neverInterleave();
    void repeatedReports_areSaidOnceASecondThenCounted_data();
    void repeatedReports_areSaidOnceASecondThenCounted();
    void heldBackCount_isSaidWhenTheFloodStops();
};

void tst_KVNetReports::lineLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("error")
        << 0 << "ERROR: Object Mixer, scanned with no ActionTick?\t(file:///KVNet/Core/cRouter.cpp:95:)\n";
    QTest::newRow("notification")
        << 1
        << "Notification: Object Mixer, scanned with no ActionTick?\t(file:///KVNet/Core/cRouter.cpp:95:)\n";
    QTest::newRow("file link")
        << 2 << "Object Mixer, scanned with no ActionTick?\t(file:///KVNet/Core/cRouter.cpp:95:)\n";
    QTest::newRow("second notification")
        << 3
        << "Notification: Object Mixer, scanned with no ActionTick?\t(file:///KVNet/Core/cRouter.cpp:95:)\n";
}

void tst_KVNetReports::lineLayout()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    cReportCapture capture;
    const char* format = "Object %s, scanned with no ActionTick?";
    switch (kind)
    {
    case 0:
        ReportError("KVNet/Core/cRouter.cpp", 95, "void f()", format, "Mixer");
        break;
    case 1:
        ReportNotification("KVNet/Core/cRouter.cpp", 95, "void f()", format, "Mixer");
        break;
    case 2:
        PrintFileLink("KVNet/Core/cRouter.cpp", 95, "void f()", format, "Mixer");
        break;
    default:
        ReportNotice("KVNet/Core/cRouter.cpp", 95, "void f()", format, "Mixer");
        break;
    }
    QCOMPARE(capture.Lines(), QStringList{expected});
}

void tst_KVNetReports::longMessage_isCutTo511Characters()
{
    cReportCapture capture;
    const std::string text(600, 'x');
    ReportError("a.cpp", 1, "", "%s", text.c_str());
    QCOMPARE(capture.Lines().size(), 1);
    QCOMPARE(capture.Lines().first(), "ERROR: " + QString(511, 'x') + "\t(file:///a.cpp:1:)\n");
}

void tst_KVNetReports::trace_writesNothing()
{
    cReportCapture capture;
    ReportTrace("a.cpp", 1, "", "connection %d up", 3);
    QVERIFY(capture.Lines().isEmpty());
}

void tst_KVNetReports::nullFileName_keepsLaterReportsFlowing()
{
    std::ostringstream out;
    std::streambuf* old = std::cout.rdbuf(out.rdbuf());
    ReportError(nullptr, 7, "", "first");
    ReportError("b.cpp", 8, "", "second");
    std::cout.rdbuf(old);
    QVERIFY(std::cout.good());
    QCOMPARE(QString::fromStdString(out.str()),
             QStringLiteral("ERROR: first\t(file:///:7:)\nERROR: second\t(file:///b.cpp:8:)\n"));
}

void tst_KVNetReports::defaultSink_writesWholeLinesToStandardOutput()
{
    std::ostringstream out;
    std::streambuf* old = std::cout.rdbuf(out.rdbuf());
    KV_REPORT_NOTIFICATION("value %lu", static_cast<unsigned long>(ULONG(4000000000u)));
    std::cout.rdbuf(old);
    const QString line = QString::fromStdString(out.str());
    QVERIFY2(line.startsWith(
                 "Notification: value 4000000000\t(file:///tests/KVNet/QT/Trace/tst_KVNetReports.cpp:"),
             qPrintable(line));
    QVERIFY(line.endsWith(":)\n"));
}

void tst_KVNetReports::concurrentReports_neverInterleave()
{
    cReportCapture capture;
    constexpr int kPerThread = 500;
    auto writer = [](char letter)
    {
        const std::string text(200, letter);
        for (int i = 0; i < kPerThread; ++i)
        {
            ReportError("c.cpp", i, "", "%s", text.c_str());
        }
    };
    QThread* a = QThread::create(writer, 'a');
    QThread* b = QThread::create(writer, 'b');
    a->start();
    b->start();
    a->wait();
    b->wait();
    delete a;
    delete b;
    const QStringList lines = capture.Lines();
    QCOMPARE(lines.size(), 2 * kPerThread);
    for (const QString& line : lines)
    {
        const QString body = line.mid(7, 200);
        QVERIFY(body == QString(200, 'a') || body == QString(200, 'b'));
        QVERIFY(line.endsWith(":)\n"));
    }
}

void tst_KVNetReports::repeatedReports_areSaidOnceASecondThenCounted_data()
{
    // One report every `step` ms from `places` places, `texts` different texts per place, for
    // `duration` ms; then one more from the first place.
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("places");
    QTest::addColumn<int>("texts");
    QTest::addColumn<QStringList>("expected");
    const QString a = "\t(file:///a.cpp:1:)\n";
    const QString b = "\t(file:///a.cpp:2:)\n";
    const QString held = "ERROR: %1 more reports from here held back in the last second";
    QTest::newRow("50 a second for 2.5 s")
        << 20 << 2500 << 1 << 1
        << QStringList{"ERROR: lost 0" + a, held.arg(49) + a, "ERROR: lost 0" + a, held.arg(49) + a,
                       "ERROR: lost 0" + a, held.arg(24) + a, "ERROR: lost 0" + a};
    QTest::newRow("one a second is never held")
        << 1000 << 3000 << 1 << 1
        << QStringList{"ERROR: lost 0" + a, "ERROR: lost 0" + a, "ERROR: lost 0" + a, "ERROR: lost 0" + a};
    QTest::newRow("two places, each its own window")
        << 100 << 1000 << 2 << 1
        << QStringList{"ERROR: lost 0" + a, "ERROR: lost 0" + b, held.arg(9) + a, held.arg(9) + b,
                       "ERROR: lost 0" + a};
    QStringList texts;
    for (int i = 0; i < int(REPORT_TEXTS_PER_WINDOW); ++i)
    {
        texts << QString("ERROR: lost %1").arg(i) + a;
    }
    QTest::newRow("a place says each text once, up to its limit")
        << 1 << 100 << 1 << 40
        << (QStringList(texts) << held.arg(100 - int(REPORT_TEXTS_PER_WINDOW)) + a << "ERROR: lost 0" + a);
}

void tst_KVNetReports::repeatedReports_areSaidOnceASecondThenCounted()
{
    QFETCH(int, step);
    QFETCH(int, duration);
    QFETCH(int, places);
    QFETCH(int, texts);
    QFETCH(QStringList, expected);
    cManualReportClock clock;
    cReportCapture capture;
    const qint64 start = clock.mNow;
    for (int i = 0; clock.mNow - start < duration; ++i)
    {
        for (int place = 1; place <= places; ++place)
        {
            ReportError("a.cpp", place, "", "lost %d", i % texts);
        }
        clock.mNow += step;
    }
    clock.mNow = start + duration + 1000;
    ReportError("a.cpp", 1, "", "lost %d", 0);
    QCOMPARE(capture.Lines(), expected);
}

void tst_KVNetReports::heldBackCount_isSaidWhenTheFloodStops()
{
    cManualReportClock clock;
    cReportCapture capture;
    for (int i = 0; i < 5; ++i)
    {
        ReportNotification("b.cpp", 3, "", "stray bytes: %d", 7);
    }
    FlushHeldBackReports();
    QCOMPARE(capture.Lines().size(), 1);
    clock.mNow += 1000;
    FlushHeldBackReports();
    FlushHeldBackReports();
    QCOMPARE(
        capture.Lines(),
        (QStringList{
            "Notification: stray bytes: 7\t(file:///b.cpp:3:)\n",
            "Notification: 4 more reports from here held back in the last second\t(file:///b.cpp:3:)\n"}));
}

QTEST_GUILESS_MAIN(tst_KVNetReports)
#include "tst_KVNetReports.moc"
