#include "tests/qml/WindowSupport/ScaleLabels.h"
#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

// The response graph drawn in the program's real window at a scale factor of 2, by the renderer the
// tests run with (Qt Quick's software renderer), and its scale labels at that scale.
class tst_PEQGraphAtScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void graph_isDrawnAtTwiceTheScale();
    void labels_areLegibleAtTwiceTheScale_data();
    void labels_areLegibleAtTwiceTheScale();

private:
    cQmlWarningGuard mGuard;
    cProgramUnderTest mProgram;
};

void tst_PEQGraphAtScale::initTestCase()
{
    QVERIFY(mProgram.Start());
    QCOMPARE(mProgram.Window()->devicePixelRatio(), 2.0);
}

void tst_PEQGraphAtScale::cleanupTestCase()
{
    mProgram.Stop();
    QML_VERIFY_NO_WARNINGS(mGuard);
}

void tst_PEQGraphAtScale::graph_isDrawnAtTwiceTheScale()
{
    QObject* tabBar = mProgram.Window()->findChild<QObject*>(QStringLiteral("tabBar"));
    QVERIFY(tabBar != nullptr);
    tabBar->setProperty("currentIndex", 1);
    QQuickItem* block =
        FindInScene(mProgram.Item(QStringLiteral("lowPanel")), QStringLiteral("peqBlockLeft"));
    QQuickItem* graph = FindInScene(block, QStringLiteral("graph"));
    QVERIFY(graph != nullptr);
    QTRY_VERIFY(graph->isVisible() && graph->width() > 100 && graph->height() > 50);
    cProgramUnderTest::Settle(200);

    const QImage image = mProgram.Window()->grabWindow();
    const qreal ratio = qreal(image.width()) / mProgram.Window()->width();
    QCOMPARE(qRound(ratio * 100), 200);
    const QRectF scene = graph->mapRectToScene(QRectF(0, 0, graph->width(), graph->height()));
    const QRect area = QRect(qRound(scene.x() * ratio), qRound(scene.y() * ratio),
                             qRound(scene.width() * ratio), qRound(scene.height() * ratio))
                           .adjusted(2, 2, -2, -2)
                           .intersected(image.rect());
    QVERIFY(!area.isEmpty());

    // The graph's ground is dark, its labels and curves light: a blank (white) layer is neither.
    int dark = 0;
    int light = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
    {
        for (int x = area.left(); x <= area.right(); ++x)
        {
            const int level = qGray(image.pixel(x, y));
            dark += level < 64 ? 1 : 0;
            light += level > 192 ? 1 : 0;
        }
    }
    const int pixels = area.width() * area.height();
    QVERIFY2(dark > pixels / 2, qPrintable(QStringLiteral("%1 of %2 pixels dark").arg(dark).arg(pixels)));
    QVERIFY2(light > 0, "no label or curve drawn");
}

void tst_PEQGraphAtScale::labels_areLegibleAtTwiceTheScale_data()
{
    QTest::addColumn<QSize>("window");

    // In logical pixels: the smallest window, the one with the smallest graph, and the default one,
    // which fills a 2560 x 1440 screen.
    QTest::newRow("640x480") << QSize(640, 480);
    QTest::newRow("2560x480") << QSize(2560, 480);
    QTest::newRow("1280x720") << QSize(1280, 720);
}

void tst_PEQGraphAtScale::labels_areLegibleAtTwiceTheScale()
{
    QFETCH(QSize, window);

    mProgram.Window()->resize(window);
    QTRY_COMPARE(mProgram.Window()->contentItem()->size(), QSizeF(window));
    QObject* tabBar = mProgram.Window()->findChild<QObject*>(QStringLiteral("tabBar"));
    QVERIFY(tabBar != nullptr);
    tabBar->setProperty("currentIndex", 1);
    cProgramUnderTest::Settle(300);

    QQuickItem* graph =
        FindInScene(FindInScene(mProgram.Item(QStringLiteral("lowPanel")), QStringLiteral("peqBlockLeft")),
                    QStringLiteral("graph"));
    QVERIFY(graph != nullptr);
    QTRY_VERIFY(graph->isVisible() && ScaleLabelsOf(graph).size() == 13);
    // 8 logical pixels are 16 on the screen.
    sScaleLabelFigures figures;
    const QString fault = ScaleLabelFault(graph, 8, figures);
    qInfo("graph %gx%g: %s", graph->width(), graph->height(), qPrintable(figures.ToString()));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

int main(int argc, char** argv)
{
    // Read when the application is made.
    qputenv("QT_SCALE_FACTOR", "2");
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_PEQGraphAtScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PEQGraphAtScale.moc"
