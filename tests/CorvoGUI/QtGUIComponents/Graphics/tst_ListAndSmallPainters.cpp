#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "PainterTestSupport.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "tests/support/cReportCapture.h"

#include <QtTest>

namespace
{

using F = cBasicGraphicsFactory;

} // namespace

// The list painters and the small widget, icon and glow painters, checked by sizes, transparency
// and the colours of telling pixels.
class tst_ListAndSmallPainters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listBoxBackground_isABlackRoundedSquare();
    void listItem_frameAndCellByState_data();
    void listItem_frameAndCellByState();
    void listSelection_fillAndAccent_data();
    void listSelection_fillAndAccent();
    void listSelectionHandle_ringAndArrow();
    void listboxItemOverlay_byState_data();
    void listboxItemOverlay_byState();
    void icons_areTransparent_data();
    void icons_areTransparent();
    void cell_byState();
    void leds_dimWhenOff_data();
    void leds_dimWhenOff();
    void pagerDot_offIsAPrefixTest();
    void progressBar_insetByTwo();
    void editorArrow_pointsAndFills_data();
    void editorArrow_pointsAndFills();
    void selectionGlow_byStyle();
    void unusedPainters();
    void pixelChecks_failOnANullImage();
};

void tst_ListAndSmallPainters::initTestCase()
{
    gThemeColours = new cThemeColours();
    cProjectFontManager::Init(1.0f);
}

void tst_ListAndSmallPainters::cleanupTestCase()
{
    cProjectFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_ListAndSmallPainters::listBoxBackground_isABlackRoundedSquare()
{
    const QImage box = F::ListBoxBackground::GetPixmap(QSize(10, 10), "LIST_BOX_BACKGROUND");
    QCOMPARE(box.size(), QSize(10, 10));
    QCOMPARE(box.format(), QImage::Format_ARGB32);
    COMPARE_PIXEL(box, 5, 5, QColor(0, 0, 0));
    QVERIFY(qAlpha(box.pixel(0, 0)) < 255);
    for (int y = 0; y < 10; ++y)
    {
        for (int x = 0; x < 10; ++x)
        {
            QCOMPARE(box.pixel(x, y) & 0xFFFFFFu, 0u); // black wherever it is drawn
        }
    }
}

void tst_ListAndSmallPainters::listItem_frameAndCellByState_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("frameWidth");
    QTest::addColumn<QColor>("frame");
    QTest::addColumn<QColor>("cell");
    const QColor grey(102, 102, 102);
    QTest::newRow("plain") << "LIST_ITEM" << 1 << grey << QColor(0, 0, 0);
    QTest::newRow("next") << "LIST_ITEM_NEXT" << 1 << grey << QColor(57, 181, 74);
    QTest::newRow("touched") << "LIST_ITEM_TOUCHED" << 1 << grey << QColor(0, 255, 180);
    QTest::newRow("inactive") << "LIST_ITEM_INACTIVE" << 1 << QColor(88, 89, 91) << QColor(60, 60, 60);
    QTest::newRow("overwrite") << "LIST_ITEM_OVERWRITE" << 1 << grey << QColor(255, 0, 0).darker(130);
    QTest::newRow("selected") << "LIST_ITEM_SELECTED" << 1 << grey << QColor(0, 77, 54);
    QTest::newRow("selected special") << "LIST_ITEM_SELECTED_SPECIAL" << 1 << grey << QColor(241, 148, 41);
    QTest::newRow("active store") << "LIST_ITEM_TFTACTIVE_STORE" << 1 << grey << QColor(249, 237, 50);
    QTest::newRow("selected next") << "LIST_ITEM_SELECTED_NEXT" << 3 << QColor(57, 181, 74)
                                   << QColor(249, 237, 50);
    QTest::newRow("selected next special")
        << "LIST_ITEM_SELECTED_NEXT_SPECIAL" << 3 << QColor(57, 181, 74) << QColor(241, 148, 41);
}

void tst_ListAndSmallPainters::listItem_frameAndCellByState()
{
    QFETCH(QString, id);
    QFETCH(int, frameWidth);
    QFETCH(QColor, frame);
    QFETCH(QColor, cell);
    const QImage item = F::ListItem::GetPixmap(QSize(100, 30), id);
    QCOMPARE(item.size(), QSize(100, 30));
    for (int x = 0; x < frameWidth; ++x)
    {
        COMPARE_PIXEL(item, x, 15, frame);
    }
    COMPARE_PIXEL(item, frameWidth, 15, cell);
    COMPARE_PIXEL(item, 50, 15, cell);
    COMPARE_PIXEL(item, 50, 30 - frameWidth, frame);
}

void tst_ListAndSmallPainters::listSelection_fillAndAccent_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("accent");
    QTest::newRow("enabled") << "LIST_SELECTION" << QColor(0, 0, 0) << QColor(0, 255, 255);
    QTest::newRow("disabled") << "LIST_SELECTION_DISABLED" << QColor(50, 50, 50) << QColor(0, 0, 0);
}

void tst_ListAndSmallPainters::listSelection_fillAndAccent()
{
    QFETCH(QString, id);
    QFETCH(QColor, fill);
    QFETCH(QColor, accent);
    const QImage selection = F::ListSelection::GetPixmap(QSize(160, 30), id);
    COMPARE_PIXEL(selection, 145, 15, fill); // the round right end
    COMPARE_PIXEL(selection, 60, 15, fill);  // inside the accent ring
    COMPARE_PIXEL(selection, 3, 15, accent);
    COMPARE_PIXEL(selection, 4, 15, accent);
    COMPARE_ALPHA(selection, 159, 0, 0);
}

void tst_ListAndSmallPainters::listSelectionHandle_ringAndArrow()
{
    const QImage handle = F::ListSelectionHandle::GetPixmap(QSize(40, 40), "LIST_SELECTION_HANDLE");
    COMPARE_PIXEL(handle, 19, 1, QColor(0, 255, 255));
    COMPARE_PIXEL(handle, 18, 20, QColor(255, 255, 255)); // the arrow, pointing down
    COMPARE_ALPHA(handle, 18, 32, 0);
    const QImage inactive =
        F::ListSelectionHandle::GetPixmap(QSize(40, 40), "LIST_SELECTION_HANDLE_INACTIVE");
    COMPARE_PIXEL(inactive, 19, 1, QColor(0, 0, 0));
}

void tst_ListAndSmallPainters::listboxItemOverlay_byState_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("inactive before active") << "INACTIVE" << QColor(255, 255, 255, 100);
    QTest::newRow("highlighted") << "HIGHLIGHTED" << QColor(255, 255, 255, 100);
    QTest::newRow("active") << "ACTIVE" << QColor(255, 165, 0, 128);
    QTest::newRow("other") << "OTHER" << QColor();
}

void tst_ListAndSmallPainters::listboxItemOverlay_byState()
{
    QFETCH(QString, id);
    QFETCH(QColor, colour);
    cReportCapture reports;
    const QImage overlay = F::ListboxItemOverlay::GetPixmap(QSize(30, 20), id);
    if (!colour.isValid())
    {
        QVERIFY(overlay.isNull());
        QCOMPARE(reports.Count("ERROR: Unhandled GraphicsType: OTHER\t"), 1);
        return;
    }
    COMPARE_PIXEL(overlay, 15, 10, colour);
}

void tst_ListAndSmallPainters::icons_areTransparent_data()
{
    QTest::addColumn<QString>("id");
    for (const char* id : {"ICON", "FX_BUTTON_LOGO_OFF", "COPY_INDICATOR_ICON", "PASTE_INDICATOR_ICON",
                           "RESET_INDICATOR_ICON", "WHITE_LOCK", "LISTEN_INDICATOR_ICON"})
    {
        QTest::newRow(id) << id;
    }
}

void tst_ListAndSmallPainters::icons_areTransparent()
{
    QFETCH(QString, id);
    const QImage icon = F::Icon::GetPixmap(QSize(16, 16), id);
    QCOMPARE(icon.size(), QSize(16, 16));
    QCOMPARE(icon.format(), QImage::Format_ARGB32);
    QVERIFY(AllTransparent(icon));
}

void tst_ListAndSmallPainters::cell_byState()
{
    const QImage cell = F::Cell::GetPixmap(QSize(40, 20), "CELL");
    COMPARE_PIXEL(cell, 20, 10, QColor(189, 189, 189));
    QVERIFY(qAlpha(cell.pixel(0, 0)) < 255);
    COMPARE_PIXEL(F::Cell::GetPixmap(QSize(40, 20), "CELL_INACTIVE"), 20, 10, QColor(37, 37, 37));
    QCOMPARE(F::Cell::GetPixmap(QSize(40, 20), "CELL_STEREO").size(), QSize(40, 20));
}

void tst_ListAndSmallPainters::leds_dimWhenOff_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("lit");
    QTest::addColumn<int>("hue");
    QTest::newRow("red led on") << "LED*ON*" << true << QColor(206, 68, 79).hue();
    QTest::newRow("green led on") << "LED_GREEN*ON*" << true << QColor(125, 186, 93).hue();
    QTest::newRow("yellow led off") << "LED_YELLOW" << false << QColor(211, 171, 83).hue();
    QTest::newRow("radio button") << "RADIO_BUTTON" << true << QColor(0, 174, 239).hue();
    QTest::newRow("radio button off") << "RADIO_BUTTON*OFF*" << false << -1;
}

void tst_ListAndSmallPainters::leds_dimWhenOff()
{
    QFETCH(QString, id);
    QFETCH(bool, lit);
    QFETCH(int, hue);
    const QImage led = id.startsWith("LED") ? F::Led::GetPixmap(QSize(20, 20), id)
                                            : F::RadioButton::GetPixmap(QSize(20, 20), id);
    QCOMPARE(led.size(), QSize(20, 20));
    const QColor centre = led.pixelColor(10, 10);
    QCOMPARE(centre.alpha() == 255, lit);
    if (hue >= 0)
    {
        QVERIFY2(std::abs(centre.hue() - hue) <= 8, qPrintable(Describe(centre)));
    }
    COMPARE_ALPHA(led, 0, 0, 0);
}

void tst_ListAndSmallPainters::pagerDot_offIsAPrefixTest()
{
    const QColor light(209, 211, 212);
    COMPARE_PIXEL(F::PagerDot::GetPixmap(QSize(12, 12), "PAGER_DOT_OFF"), 6, 6, light);
    COMPARE_PIXEL(F::PagerDot::GetPixmap(QSize(12, 12), "OFF"), 6, 6, light.darker(200));
}

void tst_ListAndSmallPainters::progressBar_insetByTwo()
{
    QVERIFY(AllTransparent(F::ProgressBar::GetPixmap(QSize(4, 4), "PROGRESS_BAR")));
    const QImage bar = F::ProgressBar::GetPixmap(QSize(10, 6), "PROGRESS_BAR");
    COMPARE_PIXEL(bar, 2, 2, QColor(209, 211, 212));
    COMPARE_PIXEL(bar, 7, 3, QColor(209, 211, 212));
    COMPARE_ALPHA(bar, 1, 2, 0);
    COMPARE_ALPHA(bar, 8, 3, 0);
    QImage background(5, 5, QImage::Format_ARGB32);
    background.fill(QColor(29, 29, 29));
    QCOMPARE(F::ProgressBarBackground::GetPixmap(QSize(5, 5), "PROGRESS_BAR_BACKGROUND"), background);
}

void tst_ListAndSmallPainters::editorArrow_pointsAndFills_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QPoint>("clear"); // beside the point
    QTest::newRow("down") << "EDITOR_ARROW" << QPoint(10, 5) << false << QPoint(2, 17);
    QTest::newRow("down, enabled") << "EDITOR_ARROW_ENABLED" << QPoint(10, 5) << true << QPoint(2, 17);
    QTest::newRow("up, enabled") << "EDITOR_ARROW_UP_ENABLED" << QPoint(10, 15) << true << QPoint(2, 2);
}

void tst_ListAndSmallPainters::editorArrow_pointsAndFills()
{
    QFETCH(QString, id);
    QFETCH(QPoint, inside);
    QFETCH(bool, filled);
    QFETCH(QPoint, clear);
    const QImage arrow = F::EditorArrow::GetPixmap(QSize(20, 20), id);
    const QColor blue(40, 170, 225);
    if (filled)
    {
        COMPARE_PIXEL(arrow, inside.x(), inside.y(), blue);
    }
    else
    {
        COMPARE_ALPHA(arrow, inside.x(), inside.y(), 0);
    }
    COMPARE_ALPHA(arrow, clear.x(), clear.y(), 0);
    COMPARE_PIXEL(arrow, 10, clear.y() < 10 ? 1 : 18, blue); // the base's edge
}

void tst_ListAndSmallPainters::selectionGlow_byStyle()
{
    const QImage rotary = F::SelectionGlow::GetPixmap(QSize(80, 80), "GLOW_EFFECT_ROTARY");
    COMPARE_PIXEL(rotary, 40, 40, QColor(247, 173, 52, 175));
    COMPARE_ALPHA(rotary, 0, 0, 0);
    // Narrower than the glow's inner radius: still drawn.
    QVERIFY(!AllTransparent(F::SelectionGlow::GetPixmap(QSize(20, 20), "GLOW_EFFECT_ROTARY")));

    const QImage pan = F::SelectionGlow::GetPixmap(QSize(30, 20), "GLOW_EFFECT_PAN");
    QCOMPARE(pan.size(), QSize(30, 20));
    QVERIFY(AllTransparent(pan));

    cReportCapture reports;
    QVERIFY(F::SelectionGlow::GetPixmap(QSize(30, 20), "GLOW_EFFECT").isNull());
    QCOMPARE(reports.Count("ERROR: Unkown style \"GLOW_EFFECT\"\t"), 1);
}

void tst_ListAndSmallPainters::unusedPainters()
{
    QVERIFY(AllTransparent(F::Blank::GetPixmap(QSize(3, 3), "")));
    COMPARE_PIXEL(F::Black::GetPixmap(QSize(3, 3), ""), 1, 1, QColor(0, 0, 0));
    COMPARE_PIXEL(F::StateDot::GetPixmap(QSize(10, 10), "OFF"), 5, 5, QColor(90, 90, 90));
    COMPARE_PIXEL(F::StateDot::GetPixmap(QSize(10, 10), "ON"), 5, 5, QColor(189, 189, 189));
    COMPARE_PIXEL(F::StateBox::GetPixmap(QSize(10, 10), "SELECTED"), 5, 5, QColor(0, 174, 239));
    COMPARE_PIXEL(F::StateBox::GetPixmap(QSize(10, 10), "ENABLED"), 5, 5, QColor(90, 90, 90));
    COMPARE_ALPHA(F::StateBox::GetPixmap(QSize(10, 10), "DISABLED"), 5, 5, 0);
    const QImage frame = F::ListItemFrame::GetPixmap(QSize(40, 20), "");
    COMPARE_PIXEL(frame, 20, 10, QColor(30, 30, 30));
    COMPARE_PIXEL(frame, 1, 10, QColor(140, 197, 64)); // the left half's outline
    COMPARE_PIXEL(frame, 38, 10, QColor(90, 90, 90));  // the right half's
}

// What a painter returns for a style it does not draw has no pixels: Qt reads it (and any pixel
// outside an image) as opaque black, so a check of a black or a transparent pixel would pass on it.
void tst_ListAndSmallPainters::pixelChecks_failOnANullImage()
{
    const QImage none;
    QImage black(4, 4, QImage::Format_ARGB32);
    black.fill(QColor(0, 0, 0));
    QVERIFY(PixelNear(black, 1, 1, QColor(0, 0, 0)));
    QVERIFY(AlphaIs(black, 1, 1, 255));
    QVERIFY(!PixelNear(none, 1, 1, QColor(0, 0, 0)));
    QVERIFY(!PixelNear(black, 4, 1, QColor(0, 0, 0)));
    QVERIFY(!AlphaIs(none, 1, 1, 0));
    QVERIFY(!AlphaIs(none, 1, 1, 255));
    QVERIFY(!AllTransparent(none));
    QCOMPARE(VisiblePixels(none), -1);
    QCOMPARE(DescribePixel(none, 1, 1), QString("a null image"));
    QCOMPARE(DescribePixel(black, 4, 1), QString("outside the 4 x 4 image"));
}

QTEST_MAIN(tst_ListAndSmallPainters)
#include "tst_ListAndSmallPainters.moc"
