#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

// The PEQ block's band columns in the program's real window.
class tst_PEQBlockLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void shelfBand_keepsItsTypeButtonInTheRowOfTheOther_data();
    void shelfBand_keepsItsTypeButtonInTheRowOfTheOther();

private:
    QVariant Evaluate(const QString& script);

    cQmlWarningGuard mGuard;
    cProgramUnderTest mProgram;
};

QVariant tst_PEQBlockLayout::Evaluate(const QString& script)
{
    QQmlExpression expression(mProgram.Engine()->rootContext(), mProgram.Window(), script);
    const QVariant result = expression.evaluate();
    if (expression.hasError())
    {
        qWarning("%s", qPrintable(expression.error().toString()));
    }
    return result;
}

void tst_PEQBlockLayout::initTestCase()
{
    QVERIFY(mProgram.Start());
}

void tst_PEQBlockLayout::cleanupTestCase()
{
    mProgram.Stop();
    QML_VERIFY_NO_WARNINGS(mGuard);
}

void tst_PEQBlockLayout::shelfBand_keepsItsTypeButtonInTheRowOfTheOther_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("shelfBand");
    QTest::addColumn<int>("otherBand");
    QTest::addColumn<int>("shelfType");

    // Types: 1 low shelf, 2 high shelf.
    QTest::newRow("Low, first band") << 1 << "lowPanel"
                                     << "backendLow" << 0 << 1 << 1;
    QTest::newRow("Mid, first band") << 2 << "midPanel"
                                     << "backendMid" << 0 << 3 << 1;
    QTest::newRow("High, last band") << 3 << "highPanel"
                                     << "backendHigh" << 5 << 0 << 2;
}

void tst_PEQBlockLayout::shelfBand_keepsItsTypeButtonInTheRowOfTheOther()
{
    QFETCH(int, tab);
    QFETCH(QString, panel);
    QFETCH(QString, backend);
    QFETCH(int, shelfBand);
    QFETCH(int, otherBand);
    QFETCH(int, shelfType);

    QObject* tabBar = mProgram.Window()->findChild<QObject*>(QStringLiteral("tabBar"));
    QVERIFY(tabBar != nullptr);
    tabBar->setProperty("currentIndex", tab);
    QQuickItem* block = FindInScene(mProgram.Item(panel), QStringLiteral("peqBlockLeft"));
    QQuickItem* shelfButton = FindInScene(block, QStringLiteral("typeButton%1").arg(shelfBand));
    QQuickItem* otherButton = FindInScene(block, QStringLiteral("typeButton%1").arg(otherBand));
    QQuickItem* widthBox = FindInScene(block, QStringLiteral("widthBox%1").arg(shelfBand));
    QVERIFY(shelfButton != nullptr && otherButton != nullptr && widthBox != nullptr);
    QTRY_VERIFY(widthBox->isVisible() && shelfButton->isVisible() && otherButton->isVisible());
    // Positioners lay out a tab once it shows.
    cProgramUnderTest::Settle(100);
    const QPointF before = shelfButton->mapToScene(QPointF(0, 0));
    QCOMPARE(before.y(), otherButton->mapToScene(QPointF(0, 0)).y());

    const QString typeDriver =
        QStringLiteral("_App.%1.peqBlockL.bands.get(%2).bandTypeSwitchDriver").arg(backend).arg(shelfBand);
    Evaluate(typeDriver + QStringLiteral(".setValue(%1)").arg(shelfType));
    QTRY_VERIFY(!widthBox->isVisible());
    cProgramUnderTest::Settle(50);
    QCOMPARE(shelfButton->mapToScene(QPointF(0, 0)), before);
    QCOMPARE(otherButton->mapToScene(QPointF(0, 0)).y(), before.y());

    Evaluate(typeDriver + QStringLiteral(".setValue(0)"));
    QTRY_VERIFY(widthBox->isVisible());
    cProgramUnderTest::Settle(50);
    QCOMPARE(shelfButton->mapToScene(QPointF(0, 0)), before);
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_PEQBlockLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PEQBlockLayout.moc"
