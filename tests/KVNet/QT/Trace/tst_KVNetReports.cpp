#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/QT/Trace/KVNetReports.h"
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

QTEST_GUILESS_MAIN(tst_KVNetReports)
#include "tst_KVNetReports.moc"
