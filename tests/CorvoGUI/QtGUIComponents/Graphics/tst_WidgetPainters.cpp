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

// Buttons, tabs, value boxes, panels, rotaries, fader parts, the slider and the pan control,
// checked by sizes, transparency and the colours of telling pixels.
class tst_WidgetPainters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void button_isARoundedFaceOfItsColour();
    void button_down_isTheFaceMovedByTwoAndAHalfPercent();
    void button_disabled_isVeiledGreyInItsOwnShape();
    void button_ofNoColour_reportsAndIsNull();
    void drawButton_shapes_data();
    void drawButton_shapes();
    void tab_fillsByState_data();
    void tab_fillsByState();
    void tab_joinedEdge_losesItsCornersAndIsShaded();
    void valueBox_keyColour_data();
    void valueBox_keyColour();
    void panel_rimFillTitleAndTransparency_data();
    void panel_rimFillTitleAndTransparency();
    void rotary_colours_data();
    void rotary_colours();
    void rotary_discSitsInTheImageWidth();
    void rotaryDial_pointsToTwelve();
    void faderKnob_gripLineCrossesTheMiddle();
    void faderBackground_isOpaque_data();
    void faderBackground_isOpaque();
    void faderSlot_ofAnotherStyle_isReportedAndDrawn();
    void slider_runsDarkToLight();
    void pan_outlineAndCentreLine_data();
    void pan_outlineAndCentreLine();
};

void tst_WidgetPainters::initTestCase()
{
    gThemeColours = new cThemeColours();
    cProjectFontManager::Init(1.0f);
}

void tst_WidgetPainters::cleanupTestCase()
{
    cProjectFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_WidgetPainters::button_isARoundedFaceOfItsColour()
{
    const QImage face = F::ButtonPixmap::GetPixmap(QSize(80, 40), "BASIC_RED_RECT_BUTTON");
    QCOMPARE(face.size(), QSize(80, 40));
    QCOMPARE(face.format(), QImage::Format_ARGB32);
    QVERIFY(qAlpha(face.pixel(0, 0)) < 128);
    const QColor middle = face.pixelColor(40, 30);
    QCOMPARE(middle.alpha(), 255);
    QVERIFY2(middle.red() > middle.green() + 80 && std::abs(middle.green() - middle.blue()) < 5,
             qPrintable(Describe(middle)));
}

void tst_WidgetPainters::button_down_isTheFaceMovedByTwoAndAHalfPercent()
{
    const QImage up = F::ButtonPixmap::GetPixmap(QSize(80, 40), "BASIC_RED_RECT_BUTTON");
    const QImage down = F::ButtonPixmap::GetPixmap(QSize(80, 40), "BASIC_RED_RECT_BUTTON*DOWN*");
    QCOMPARE(up.size(), QSize(80, 40));
    QCOMPARE(down.size(), up.size());
    // 40 - round(76) / 2 = 2 across, 20 - round(38) / 2 = 1 down.
    for (int y = 0; y < 39; ++y)
    {
        for (int x = 0; x < 78; ++x)
        {
            QCOMPARE(down.pixel(x + 2, y + 1), up.pixel(x, y));
        }
    }
    COMPARE_ALPHA(down, 0, 20, 0);
    COMPARE_ALPHA(down, 40, 0, 0);
}

void tst_WidgetPainters::button_disabled_isVeiledGreyInItsOwnShape()
{
    const QImage face = F::ButtonPixmap::GetPixmap(QSize(80, 40), "BASIC_GREEN_RECT_BUTTON");
    const QImage disabled = F::ButtonPixmap::GetPixmap(QSize(80, 40), "BASIC_GREEN_RECT_BUTTON*DISABLED*");
    QCOMPARE(face.size(), QSize(80, 40));
    QCOMPARE(disabled.size(), face.size());
    for (const QPoint& corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 39), QPoint(79, 39)})
    {
        QCOMPARE(qAlpha(disabled.pixel(corner)), qAlpha(face.pixel(corner)));
    }
    const QColor lit = face.pixelColor(40, 30);
    const QColor veiled = disabled.pixelColor(40, 30);
    QVERIFY2(veiled.green() < lit.green() && veiled.green() - veiled.red() < lit.green() - lit.red(),
             qPrintable(Describe(veiled)));
    QCOMPARE(F::DimColour(), QColor(50, 50, 50, 180));
}

void tst_WidgetPainters::button_ofNoColour_reportsAndIsNull()
{
    cReportCapture reports;
    QVERIFY(F::ButtonPixmap::GetPixmap(QSize(80, 40), "PURPLE_RECT_BUTTON*DOWN*").isNull());
    QCOMPARE(reports.Count("ERROR: Unhandled Switch Style: PURPLE_RECT_BUTTON*DOWN*\t"), 1);
}

void tst_WidgetPainters::drawButton_shapes_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("rounded rectangle") << "A_RECT_" << true;
    QTest::newRow("oval") << "A_OVAL_" << true;
    QTest::newRow("neither") << "A" << false;
}

void tst_WidgetPainters::drawButton_shapes()
{
    QFETCH(QString, id);
    QFETCH(bool, drawn);
    const QImage face = F::DrawButton(QSize(60, 30), QColor(0, 0, 255), id);
    QCOMPARE(face.size(), QSize(60, 30));
    QCOMPARE(AllTransparent(face), !drawn);
    if (drawn)
    {
        COMPARE_ALPHA(face, 30, 15, 255);
        QVERIFY(qAlpha(face.pixel(0, 0)) < 255);
    }
}

void tst_WidgetPainters::tab_fillsByState_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("inner");
    QTest::newRow("active") << "TAB_ACTIVE" << QColor(68, 108, 179);
    QTest::newRow("inactive, though it contains ACTIVE") << "TAB_INACTIVE" << QColor(90, 90, 90);
    QTest::newRow("neither") << "TAB_PLAIN" << QColor();
}

void tst_WidgetPainters::tab_fillsByState()
{
    QFETCH(QString, id);
    QFETCH(QColor, inner);
    cReportCapture reports;
    const QImage tab = F::TabBackground::GetPixmap(QSize(60, 30), id);
    if (!inner.isValid())
    {
        QVERIFY(tab.isNull());
        QCOMPARE(reports.Count("ERROR: Tab type not recognised! TAB_PLAIN\t"), 1);
        return;
    }
    QCOMPARE(tab.size(), QSize(60, 30));
    COMPARE_PIXEL(tab, 30, 15, inner);
    COMPARE_PIXEL(tab, 0, 15, QColor(68, 108, 179));
    // The top-right corner has the large radius.
    COMPARE_ALPHA(tab, 59, 0, 0);
}

void tst_WidgetPainters::tab_joinedEdge_losesItsCornersAndIsShaded()
{
    const QImage top = F::TabBackground::GetPixmap(QSize(60, 30), "TAB_INACTIVE_TOP_EDGE");
    // The tab runs on below the image: its lower corners are cut away, the bottom is full and
    // shaded dark toward the tab bar.
    COMPARE_ALPHA(top, 0, 29, 255);
    for (const int x : {1, 30, 58})
    {
        const QColor shaded = top.pixelColor(x, 29);
        QVERIFY2(shaded.red() < 45 && shaded.alpha() == 255, qPrintable(Describe(shaded)));
    }
    COMPARE_PIXEL(top, 30, 10, QColor(90, 90, 90));
}

void tst_WidgetPainters::valueBox_keyColour_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("key");
    QTest::addColumn<QColor>("halo");
    const QColor none;
    QTest::newRow("no key") << "VALUE" << QColor(0, 0, 0) << none;
    QTest::newRow("band 1 before red") << "VALUE_PEQ_BAND_1_RED" << QColor(255, 70, 255) << none;
    QTest::newRow("hpf") << "VALUE_HPF_BAND" << QColor(60, 230, 60) << none;
    QTest::newRow("custom") << "VALUE_CUSTOM_#00ff00" << QColor(0, 255, 0) << none;
    QTest::newRow("custom then a keyword")
        << "VALUE_CUSTOM_#ff8000_ACTIVE" << QColor(255, 128, 0) << QColor(255, 255, 255);
    QTest::newRow("active without key") << "VALUE_ACTIVE" << QColor(0, 0, 0) << QColor(0, 255, 255);
    QTest::newRow("disabled") << "VALUE_GREEN_DISABLED" << QColor(50, 50, 50) << none;
    QTest::newRow("label strip") << "VALUE_YELLOW_LABEL" << QColor(255, 255, 0) << none;
}

void tst_WidgetPainters::valueBox_keyColour()
{
    QFETCH(QString, id);
    QFETCH(QColor, key);
    QFETCH(QColor, halo);
    const QImage box = F::ValueBox::GetPixmap(QSize(100, 50), id);
    QCOMPARE(box.size(), QSize(100, 50));
    COMPARE_PIXEL(box, 50, 6, key);              // the key strip
    COMPARE_PIXEL(box, 50, 35, QColor(0, 0, 0)); // the body's well
    if (halo.isValid())
    {
        COMPARE_PIXEL(box, 1, 25, halo);
    }
    else
    {
        COMPARE_ALPHA(box, 1, 25, 0);
    }
    // The label strip reaches 40 % of the height, the plain one 20 %.
    const bool label = id.contains("LABEL");
    QCOMPARE(Near(box.pixelColor(50, 15), key), label || key == QColor(0, 0, 0));
}

void tst_WidgetPainters::panel_rimFillTitleAndTransparency_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("rim");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("top");
    QTest::newRow("plain") << "PANEL" << QColor(82, 87, 92) << QColor(0, 0, 0) << QColor(82, 87, 92);
    QTest::newRow("options") << "PANEL|-FGCOLOUR:#ff0000--BGCOLOUR:#0000ff-|" << QColor(255, 0, 0)
                             << QColor(0, 0, 255) << QColor(255, 0, 0);
    QTest::newRow("title") << "PANEL_TITLE" << QColor(82, 87, 92) << QColor(0, 0, 0) << QColor(68, 108, 179);
    QTest::newRow("transparent") << "PANEL_TRANSPARENT" << QColor() << QColor() << QColor();
}

void tst_WidgetPainters::panel_rimFillTitleAndTransparency()
{
    QFETCH(QString, id);
    QFETCH(QColor, rim);
    QFETCH(QColor, fill);
    QFETCH(QColor, top);
    const QImage panel = F::Panel::GetPixmap(QSize(200, 100), id);
    QCOMPARE(panel.size(), QSize(200, 100));
    if (!rim.isValid())
    {
        QVERIFY(AllTransparent(panel));
        return;
    }
    COMPARE_PIXEL(panel, 0, 70, rim);
    COMPARE_PIXEL(panel, 100, 70, fill);
    COMPARE_PIXEL(panel, 100, 0, top);
    if (id.contains("TITLE"))
    {
        COMPARE_PIXEL(panel, 100, 20, QColor(30, 30, 30)); // the title bar, 40 high
    }
}

void tst_WidgetPainters::rotary_colours_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("ring");
    QTest::addColumn<QColor>("disc");
    QTest::newRow("blue") << "ROTARY_BLUE" << QColor(30, 30, 30) << QColor(68, 108, 179);
    QTest::newRow("blue, on") << "ROTARY_BLUE*ON*" << QColor(255, 165, 0) << QColor(68, 108, 179);
    QTest::newRow("blue, disabled") << "ROTARY_BLUE*DISABLED*" << QColor(0, 0, 0) << QColor(30, 30, 30);
    QTest::newRow("no colour") << "ROTARY" << QColor(30, 30, 30) << QColor(90, 90, 90);
    QTest::newRow("yellow before red") << "ROTARY_RED_YELLOW" << QColor(30, 30, 30) << QColor(255, 242, 0);
}

void tst_WidgetPainters::rotary_colours()
{
    QFETCH(QString, id);
    QFETCH(QColor, ring);
    QFETCH(QColor, disc);
    const QImage rotary = F::Rotary::GetPixmap(QSize(40, 40), id);
    COMPARE_PIXEL(rotary, 20, 20, disc);
    COMPARE_PIXEL(rotary, 1, 20, ring);
    COMPARE_ALPHA(rotary, 1, 1, 0);
}

void tst_WidgetPainters::rotary_discSitsInTheImageWidth()
{
    const QColor grey(90, 90, 90);
    const QImage tall = F::Rotary::GetPixmap(QSize(40, 60), "ROTARY");
    COMPARE_PIXEL(tall, 20, 30, grey);
    COMPARE_ALPHA(tall, 20, 5, 0);
    COMPARE_ALPHA(tall, 20, 54, 0);
    COMPARE_PIXEL(tall, 20, 14, grey);
    COMPARE_PIXEL(tall, 20, 11, QColor(30, 30, 30)); // the ring, below the disc's top at 10

    const QImage wide = F::Rotary::GetPixmap(QSize(60, 40), "ROTARY");
    COMPARE_PIXEL(wide, 30, 30, grey);
    COMPARE_PIXEL(wide, 30, 39, grey); // cut at the bottom edge
    COMPARE_ALPHA(wide, 2, 2, 0);
}

void tst_WidgetPainters::rotaryDial_pointsToTwelve()
{
    const QImage dial = F::RotaryDial::GetPixmap(QSize(40, 40), "ROTARY_DIAL");
    QCOMPARE(dial.size(), QSize(40, 40));
    COMPARE_PIXEL(dial, 20, 6, QColor(0, 0, 0));
    COMPARE_ALPHA(dial, 20, 30, 0);
    COMPARE_ALPHA(dial, 5, 6, 0);
}

void tst_WidgetPainters::faderKnob_gripLineCrossesTheMiddle()
{
    const QImage knob = F::FaderKnob::GetPixmap(QSize(40, 70), "FADER_STYLE_DEFAULT_KNOB");
    QCOMPARE(knob.size(), QSize(40, 70));
    COMPARE_PIXEL(knob, 20, 34, QColor(255, 255, 255));
    COMPARE_PIXEL(knob, 20, 35, QColor(255, 255, 255));
    COMPARE_PIXEL(knob, 20, 25, QColor(0, 0, 0));
    COMPARE_PIXEL(knob, 20, 45, QColor(0, 0, 0));
    QVERIFY(qAlpha(knob.pixel(0, 0)) < 255);
}

void tst_WidgetPainters::faderBackground_isOpaque_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("default") << "FADER_STYLE_DEFAULT_BACKGROUND";
    QTest::newRow("editor scale") << "FADER_STYLE_EDITOR_FADER_BACKGROUND_SCALE**1**x**20";
    QTest::newRow("editor scale, no numbers") << "FADER_STYLE_EDITOR_FADER_BACKGROUND_SCALE";
}

void tst_WidgetPainters::faderBackground_isOpaque()
{
    QFETCH(QString, id);
    const QImage background = F::FaderBackground::GetPixmap(QSize(60, 300), id);
    QCOMPARE(background.size(), QSize(60, 300));
    for (int y = 0; y < 300; y += 7)
    {
        for (int x = 0; x < 60; x += 3)
        {
            COMPARE_ALPHA(background, x, y, 255);
        }
    }
    COMPARE_PIXEL(background, 59, 299, QColor(0, 0, 0));
}

void tst_WidgetPainters::faderSlot_ofAnotherStyle_isReportedAndDrawn()
{
    cReportCapture reports;
    const QImage slot = F::FaderSlot::GetPixmap(QSize(20, 100), "FADER_STYLE_OTHER");
    QCOMPARE(reports.Count("ERROR: Unhandled Fader Style: FADER_STYLE_OTHER\t"), 1);
    COMPARE_PIXEL(slot, 10, 50, QColor(170, 110, 0)); // orange at alpha 170 over black
    COMPARE_ALPHA(slot, 2, 50, 0);
    const QImage inactive = F::FaderSlot::GetPixmap(QSize(20, 100), "FADER_STYLE_DEFAULT_INACTIVE");
    COMPARE_PIXEL(inactive, 10, 50, QColor(0, 0, 0));
}

void tst_WidgetPainters::slider_runsDarkToLight()
{
    const QImage slider = F::Slider::GetPixmap(QSize(40, 20), "SLIDER");
    QCOMPARE(slider.size(), QSize(40, 20));
    QVERIFY(slider.pixelColor(20, 3).value() < 60);
    QVERIFY(slider.pixelColor(20, 17).value() > 190);
}

void tst_WidgetPainters::pan_outlineAndCentreLine_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("outline");
    QTest::newRow("active") << "PAN_ACTIVE" << QColor(255, 165, 0);
    QTest::newRow("inactive") << "PAN_INACTIVE" << QColor(189, 189, 189);
    QTest::newRow("disabled") << "PAN_DISABLED" << QColor(189, 189, 189);
}

void tst_WidgetPainters::pan_outlineAndCentreLine()
{
    QFETCH(QString, id);
    QFETCH(QColor, outline);
    const QImage pan = F::Pan::GetPixmap(QSize(60, 30), id);
    QCOMPARE(pan.size(), QSize(60, 30));
    COMPARE_PIXEL(pan, 0, 22, outline);
    COMPARE_PIXEL(pan, 1, 22, outline);
    COMPARE_PIXEL(pan, 30, 24, QColor(255, 255, 255)); // the centre line at x = 30.5
    QVERIFY(!Near(pan.pixelColor(40, 24), QColor(255, 255, 255)));
}

QTEST_MAIN(tst_WidgetPainters)
#include "tst_WidgetPainters.moc"
