#include "tests/qml/WindowSupport/ScaleLabels.h"
#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

// The response graphs' scale labels in the program's real window, from the smallest window size to
// the largest: at least 8 pixels high, inside their graph and clear of each other. (tst_PEQGraphAtScale
// checks them at a scale factor of 2.)
class tst_PEQScaleLabels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void labels_areLegibleAtEveryWindowSize_data();
    void labels_areLegibleAtEveryWindowSize();

private:
    cQmlWarningGuard mGuard;
    cProgramUnderTest mProgram;
};

void tst_PEQScaleLabels::initTestCase()
{
    QVERIFY(mProgram.Start());
    QCOMPARE(mProgram.Window()->devicePixelRatio(), 1.0);
}

void tst_PEQScaleLabels::cleanupTestCase()
{
    mProgram.Stop();
    QML_VERIFY_NO_WARNINGS(mGuard);
}

void tst_PEQScaleLabels::labels_areLegibleAtEveryWindowSize_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("panel");

    // The smallest window; a window wider than the main area's 2:1 at the smallest height (the area
    // keeps 2:1 at the window's left); the default window; the largest.
    const QList<QSize> sizes{{640, 480}, {2560, 480}, {1280, 720}, {2560, 1440}};
    for (const QSize& size : sizes)
    {
        const QString name = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
        QTest::newRow(qPrintable(name + QStringLiteral(" Low"))) << size << 1 << "lowPanel";
        QTest::newRow(qPrintable(name + QStringLiteral(" High"))) << size << 3 << "highPanel";
    }
}

void tst_PEQScaleLabels::labels_areLegibleAtEveryWindowSize()
{
    QFETCH(QSize, window);
    QFETCH(int, tab);
    QFETCH(QString, panel);

    mProgram.Window()->resize(window);
    // The window takes its new size once the platform has delivered it.
    QTRY_COMPARE(mProgram.Window()->contentItem()->size(), QSizeF(window));
    QObject* tabBar = mProgram.Window()->findChild<QObject*>(QStringLiteral("tabBar"));
    QVERIFY(tabBar != nullptr);
    tabBar->setProperty("currentIndex", tab);
    // The back end rebuilds its labels on a timer after the graph's size and the scale font settle.
    cProgramUnderTest::Settle(300);

    for (const char* blockName : {"peqBlockLeft", "peqBlockRight"})
    {
        QQuickItem* block = FindInScene(mProgram.Item(panel), QLatin1String(blockName));
        QQuickItem* graph = FindInScene(block, QStringLiteral("graph"));
        QVERIFY(graph != nullptr);
        QTRY_VERIFY(graph->isVisible() && ScaleLabelsOf(graph).size() == 13);
        sScaleLabelFigures figures;
        const QString fault = ScaleLabelFault(graph, 8, figures);
        qInfo("%s, graph %gx%g: %s", blockName, graph->width(), graph->height(),
              qPrintable(figures.ToString()));
        QVERIFY2(fault.isEmpty(), qPrintable(QLatin1String(blockName) + QStringLiteral(": ") + fault));
    }
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_PEQScaleLabels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PEQScaleLabels.moc"
