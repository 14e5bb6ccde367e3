#include "tests/qml/WindowSupport/SceneSearch.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringList>
#include <QtTest>

// The tabs in the program's real window at window sizes of every shape: the widgets are sized for
// the main area they sit in (the whole window up to 2:1, twice the window's height wide beyond), and
// every item of a tab lies inside the main area, clear of the tab bar.
class tst_MainAreaLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void widgets_areSizedForTheMainArea_data();
    void widgets_areSizedForTheMainArea();
    void tabs_lieInTheMainAreaClearOfTheTabBar_data();
    void tabs_lieInTheMainAreaClearOfTheTabBar();

private:
    // Resizes the window, shows the tab and lets its layout settle.
    bool Show(const QSize& window, int tab);

    cQmlWarningGuard mGuard;
    cProgramUnderTest mProgram;
};

namespace
{

QRectF SceneRect(const QQuickItem* item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

// The item's object name, or its type, after that of its nearest named ancestor.
QString Describe(const QQuickItem* item)
{
    QString name = item->objectName();
    if (name.isEmpty())
    {
        name = QLatin1String(item->metaObject()->className());
        for (const QQuickItem* up = item->parentItem(); up != nullptr; up = up->parentItem())
        {
            if (!up->objectName().isEmpty())
            {
                name = up->objectName() + QStringLiteral("/") + name;
                break;
            }
        }
    }
    return name;
}

// Every visible item below root with an area that lies outside the area or runs into the tab bar.
void CollectStrays(const QQuickItem* root, const QRectF& area, const QRectF& tabBar, QStringList& strays)
{
    for (const QQuickItem* item : root->childItems())
    {
        if (!item->isVisible())
        {
            continue;
        }
        const QRectF rect = SceneRect(item);
        if (!rect.isEmpty())
        {
            // A quarter of a pixel for the rounding of fractional layouts.
            const bool outside = !area.adjusted(-0.25, -0.25, 0.25, 0.25).contains(rect);
            const bool onTabBar = rect.intersects(tabBar.adjusted(0.25, 0.25, -0.25, -0.25));
            if (outside || onTabBar)
            {
                strays.append(
                    QStringLiteral("%1 (%2,%3 %4x%5)%6")
                        .arg(Describe(item))
                        .arg(rect.x())
                        .arg(rect.y())
                        .arg(rect.width())
                        .arg(rect.height())
                        .arg(onTabBar ? QStringLiteral(" on the tab bar") : QStringLiteral(" outside")));
            }
        }
        CollectStrays(item, area, tabBar, strays);
    }
}

} // namespace

void tst_MainAreaLayout::initTestCase()
{
    QVERIFY(mProgram.Start());
    QCOMPARE(mProgram.Window()->devicePixelRatio(), 1.0);
}

void tst_MainAreaLayout::cleanupTestCase()
{
    mProgram.Stop();
    QML_VERIFY_NO_WARNINGS(mGuard);
}

bool tst_MainAreaLayout::Show(const QSize& window, int tab)
{
    mProgram.Window()->resize(window);
    // The window takes its new size once the platform has delivered it.
    if (!cProgramUnderTest::WaitFor(
            [&] { return mProgram.Window()->contentItem()->size() == QSizeF(window); }, 5000))
    {
        return false;
    }
    mProgram.Item(QStringLiteral("tabBar"))->setProperty("currentIndex", tab);
    // Positioners lay out a tab once it shows; the graphs' labels follow on a timer.
    cProgramUnderTest::Settle(300);
    return true;
}

void tst_MainAreaLayout::widgets_areSizedForTheMainArea_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QSizeF>("valueBox");
    QTest::addColumn<QSizeF>("toggle");
    QTest::addColumn<qreal>("label");
    QTest::addColumn<qreal>("divider");

    // The value boxes' backgrounds are 75g x 37g, the toggles 35.2g x 30.8g, the labels 12g pixels and
    // the dividers 5g wide, truncated: g is the main area's width / 1024.
    QTest::newRow("1280x720, the default")
        << QSize(1280, 720) << 1.25 << QSizeF(93, 46) << QSizeF(44, 38) << 15.0 << 6.0;
    QTest::newRow("640x480, the smallest")
        << QSize(640, 480) << 0.625 << QSizeF(46, 23) << QSizeF(22, 19) << 7.5 << 3.0;
    QTest::newRow("1024x768") << QSize(1024, 768) << 1.0 << QSizeF(75, 37) << QSizeF(35, 30) << 12.0 << 5.0;
    QTest::newRow("1280x1000, taller than 4:3")
        << QSize(1280, 1000) << 1.25 << QSizeF(93, 46) << QSizeF(44, 38) << 15.0 << 6.0;
    QTest::newRow("1600x600, area 1200x600")
        << QSize(1600, 600) << 1.171875 << QSizeF(87, 43) << QSizeF(41, 36) << 14.0625 << 5.0;
    QTest::newRow("2560x480, area 960x480")
        << QSize(2560, 480) << 0.9375 << QSizeF(70, 34) << QSizeF(33, 28) << 11.25 << 4.0;
    QTest::newRow("3440x1440, area 2880x1440")
        << QSize(3440, 1440) << 2.8125 << QSizeF(210, 104) << QSizeF(99, 86) << 33.75 << 14.0;
}

void tst_MainAreaLayout::widgets_areSizedForTheMainArea()
{
    QFETCH(QSize, window);
    QFETCH(qreal, scale);
    QFETCH(QSizeF, valueBox);
    QFETCH(QSizeF, toggle);
    QFETCH(qreal, label);
    QFETCH(qreal, divider);

    QVERIFY(Show(window, 3));
    QCOMPARE(mProgram.Window()->property("globalScale").toReal(), scale);
    QCOMPARE(mProgram.Item(QStringLiteral("fadersPanel"))->property("dividerWidth").toReal(), divider);

    QQuickItem* panel = mProgram.Item(QStringLiteral("highPanel"));
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->property("globalScale").toReal(), scale);
    QCOMPARE(panel->property("labelPixelSize").toReal(), label);
    QQuickItem* box = FindInScene(panel, QStringLiteral("delayLeft"));
    QQuickItem* inOut = FindInScene(panel, QStringLiteral("hpfInOut"));
    QQuickItem* slope = FindInScene(panel, QStringLiteral("slopeChooser"));
    QVERIFY(box != nullptr && inOut != nullptr && slope != nullptr);
    QCOMPARE(box->size(), valueBox);
    QCOMPARE(inOut->size(), toggle);
    // The combo box and its button read the window's scale themselves.
    QCOMPARE(slope->property("globalScale").toReal(), scale);
    QQuickItem* button = slope->childItems().value(0);
    QVERIFY(button != nullptr);
    QCOMPARE(button->property("radius").toReal(), 4 * scale);
}

void tst_MainAreaLayout::tabs_lieInTheMainAreaClearOfTheTabBar_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("panel");

    // Wider than 2:1 (at the smallest height, and a 21:9 screen's), the default and the smallest.
    const QList<QSize> sizes{{2560, 480}, {3440, 1440}, {1280, 720}, {640, 480}};
    const char* const tabs[] = {"Faders", "Low", "Mid", "High"};
    const char* const panels[] = {"fadersPanel", "lowPanel", "midPanel", "highPanel"};
    for (const QSize& size : sizes)
    {
        for (int tab = 0; tab < 4; ++tab)
        {
            QTest::newRow(
                qPrintable(QStringLiteral("%1x%2 %3").arg(size.width()).arg(size.height()).arg(tabs[tab])))
                << size << tab << QString::fromLatin1(panels[tab]);
        }
    }
}

void tst_MainAreaLayout::tabs_lieInTheMainAreaClearOfTheTabBar()
{
    QFETCH(QSize, window);
    QFETCH(int, tab);
    QFETCH(QString, panel);

    QVERIFY(Show(window, tab));
    const QQuickItem* view = mProgram.Item(panel);
    QVERIFY(view != nullptr);
    QTRY_VERIFY(view->isVisible());
    const QRectF area = SceneRect(mProgram.Item(QStringLiteral("mainArea")));
    const QRectF tabBar = SceneRect(mProgram.Item(QStringLiteral("tabBar")));
    QVERIFY(!area.isEmpty() && !tabBar.isEmpty());

    QStringList strays;
    CollectStrays(view, area, tabBar, strays);
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QStringLiteral("\n"))));
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_MainAreaLayout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainAreaLayout.moc"
