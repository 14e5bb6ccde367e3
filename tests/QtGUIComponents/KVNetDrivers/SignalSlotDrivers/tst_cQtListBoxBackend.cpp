#include "DriverTestSupport.h"

#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotListBoxDriver.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/cSignalLog.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

using namespace nDriverTest;

namespace
{

const QStringList SLOPES{"12dB Butterworth", "18dB Butterworth", "24dB Butterworth", "18dB Bessel"};
const QList<UBYTE> SLOPE_VALUES{0, 1, 2, 3};
constexpr UWORD M_VALUE = cSwitchBaseDriver::M_VALUE;

QStringList Announced(int index, const QString& description, int value)
{
    return {QString("currentIndexChanged(%1)").arg(index),
            QString("currentDescriptionChanged(%1)").arg(description),
            QString("valueChanged(%1)").arg(value)};
}

} // namespace

class tst_cQtListBoxBackend : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void construction_selectsTheFirstEntry();
    void changes_areAnnouncedInOrder_data();
    void changes_areAnnouncedInOrder();
    void link_followsTheUnitBothWays();
    void items_canBeAddedAndCleared();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<cReportCapture> mCapture;
};

void tst_cQtListBoxBackend::init()
{
    mSystem = std::make_unique<cScopedKVNetSystem>();
    mCapture = std::make_unique<cReportCapture>();
}

void tst_cQtListBoxBackend::cleanup()
{
    cMessagePump::Pump();
    mCapture.reset();
    mSystem.reset();
}

void tst_cQtListBoxBackend::construction_selectsTheFirstEntry()
{
    cQtListBoxBackend backend("LMH 0: LF Slope ListBox", SLOPES, SLOPE_VALUES);
    QCOMPARE(backend.currentIndex(), 0);
    QCOMPARE(backend.currentDescription(), QString("12dB Butterworth"));
    QCOMPARE(backend.value(), 0);
    QCOMPARE(backend.descriptionsStringList(), SLOPES);
    QCOMPARE(backend.descriptions()->list(), QVariantList({SLOPES[0], SLOPES[1], SLOPES[2], SLOPES[3]}));
    QVERIFY(IsRegistered("LMH 0: LF Slope ListBox"));
    QCOMPARE(int(backend.GetDriver()->GetReadPeriod()), 50);

    backend.GetDriver()->DetachNetObject();
    QVERIFY(!IsRegistered("LMH 0: LF Slope ListBox"));
}

void tst_cQtListBoxBackend::changes_areAnnouncedInOrder_data()
{
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("announced");
    QTest::addColumn<QString>("report");

    QTest::newRow("index from QML") << SLOPES << "index 3" << Announced(3, "18dB Bessel", 3) << "";
    QTest::newRow("value from QML") << SLOPES << "value 1" << Announced(1, "18dB Butterworth", 1) << "";
    QTest::newRow("value without an entry from QML") << SLOPES << "value 9" << QStringList() << "";
    // A value from a link raises both driver signals, so the back end announces twice.
    QTest::newRow("value from a link")
        << SLOPES << "link 2" << Announced(2, "24dB Butterworth", 2) + Announced(2, "24dB Butterworth", 2)
        << "";
    QTest::newRow("value without an entry from a link")
        << SLOPES << "link 99" << Announced(-1, "", 99) + Announced(-1, "", 99) << "";
    QTest::newRow("an entry past the descriptions")
        << QStringList(SLOPES.mid(0, 2)) << "index 2" << Announced(2, "", 2) << "List box index out of range";
}

void tst_cQtListBoxBackend::changes_areAnnouncedInOrder()
{
    QFETCH(QStringList, descriptions);
    QFETCH(QString, change);
    QFETCH(QStringList, announced);
    QFETCH(QString, report);

    cQtListBoxBackend backend("Slope", descriptions, SLOPE_VALUES);
    cSwitchUnit unit("Slope Unit");
    Link(unit, M_VALUE, *backend.GetDriver()->GetAudioObject(), M_VALUE);
    cSignalLog log(&backend);

    const QStringList words = change.split(' ');
    const int argument = words.at(1).toInt();
    if (words.at(0) == "index")
    {
        backend.setCurrentIndex(argument);
    }
    else if (words.at(0) == "value")
    {
        backend.setValue(argument);
    }
    else
    {
        unit.Set(UBYTE(argument));
        cMessagePump::Pump();
    }
    QCOMPARE(log.Entries(), announced);
    if (report.isEmpty())
    {
        QVERIFY2(mCapture->Lines().isEmpty(), qPrintable(mCapture->Lines().join("")));
    }
    else
    {
        QVERIFY(mCapture->Contains(report));
    }
}

void tst_cQtListBoxBackend::link_followsTheUnitBothWays()
{
    cSwitchUnit unit("LMH 0: LF HPF Unit");
    unit.Set(2);
    cQtListBoxBackend backend("LMH 0: LF Slope ListBox", SLOPES, SLOPE_VALUES);
    QVERIFY(backend.LinkFromParameter("LMH 0: LF HPF Unit", M_VALUE, false, true));
    cMessagePump::Tick();
    QCOMPARE(backend.currentIndex(), 2); // synced at once

    backend.setCurrentIndex(1);
    cMessagePump::Pump();
    QCOMPARE(int(unit.Value()), 2);
    cMessagePump::Tick();
    QCOMPARE(int(unit.Value()), 1);
}

void tst_cQtListBoxBackend::items_canBeAddedAndCleared()
{
    cQtListBoxBackend backend(nullptr, SLOPES, SLOPE_VALUES);
    QAbstractItemModelTester tester(backend.descriptions(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);

    backend.AddDescription("6dB");
    backend.AddItem(40, "Custom");
    QCOMPARE(backend.descriptions()->count(), 6);
    backend.setValue(4);
    QCOMPARE(backend.currentIndex(), 4);
    QCOMPARE(backend.currentDescription(), QString("6dB"));
    backend.setValue(40);
    QCOMPARE(backend.currentIndex(), 5);
    QCOMPARE(backend.currentDescription(), QString("Custom"));

    backend.ClearItems();
    QCOMPARE(backend.descriptions()->count(), 0);
    QCOMPARE(backend.currentIndex(), -1);
    QCOMPARE(backend.currentDescription(), QString());
    QCOMPARE(backend.descriptionsStringList(), SLOPES);
}

QTEST_GUILESS_MAIN(tst_cQtListBoxBackend)
#include "tst_cQtListBoxBackend.moc"
