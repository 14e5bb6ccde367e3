// Where a dialog opens over a window: centred over it, moved into the screen's available area, no
// larger than that area.

#include "CorvoGUI/QtGUIComponents/Backends/DialogPlace.h"

#include <QtTest>

class tst_DialogPlace : public QObject
{
    Q_OBJECT

private slots:
    void over_centresOverTheWindowWithinTheArea_data();
    void over_centresOverTheWindowWithinTheArea();
};

void tst_DialogPlace::over_centresOverTheWindowWithinTheArea_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("place");

    // A screen of 1600 x 1000 with a panel of 30 along its top.
    const QRect area(0, 30, 1600, 970);
    QTest::newRow("window in the middle: centred")
        << QRect(160, 140, 1280, 720) << QSize(768, 504) << area << QRect(416, 248, 768, 504);
    QTest::newRow("an odd half pixel goes right and down")
        << QRect(0, 100, 641, 481) << QSize(480, 360) << area << QRect(81, 161, 480, 360);
    QTest::newRow("window at the left edge, dialog wider than it: at the edge")
        << QRect(0, 30, 640, 480) << QSize(736, 112) << area << QRect(0, 214, 736, 112);
    QTest::newRow("window at the right edge, dialog wider than it: at the edge")
        << QRect(960, 520, 640, 480) << QSize(900, 112) << area << QRect(700, 704, 900, 112);
    QTest::newRow("window under the panel: below it")
        << QRect(200, 0, 640, 100) << QSize(480, 360) << area << QRect(280, 30, 480, 360);
    QTest::newRow("window hanging over the bottom: above the area's end")
        << QRect(200, 900, 640, 480) << QSize(480, 360) << area << QRect(280, 640, 480, 360);
    QTest::newRow("window wholly off the area: at its nearest corner")
        << QRect(-2000, -2000, 640, 480) << QSize(480, 360) << area << QRect(0, 30, 480, 360);
    QTest::newRow("dialog larger than the area: the area's size, at its start")
        << QRect(0, 30, 1600, 970) << QSize(2000, 1200) << area << QRect(0, 30, 1600, 970);
    QTest::newRow("a second screen to the right") << QRect(1700, 100, 640, 480) << QSize(900, 112)
                                                  << QRect(1600, 0, 1280, 1024) << QRect(1600, 284, 900, 112);
    QTest::newRow("within the window itself (the dialog an item in it)")
        << QRect(0, 0, 640, 480) << QSize(900, 112) << QRect(0, 0, 640, 480) << QRect(0, 184, 640, 112);
    QTest::newRow("no area: centred at its size")
        << QRect(0, 0, 640, 480) << QSize(736, 112) << QRect() << QRect(-48, 184, 736, 112);
}

void tst_DialogPlace::over_centresOverTheWindowWithinTheArea()
{
    QFETCH(QRect, window);
    QFETCH(QSize, dialog);
    QFETCH(QRect, area);
    QFETCH(QRect, place);
    QCOMPARE(nDialogPlace::Over(window, dialog, area), place);
}

QTEST_GUILESS_MAIN(tst_DialogPlace)
#include "tst_DialogPlace.moc"
