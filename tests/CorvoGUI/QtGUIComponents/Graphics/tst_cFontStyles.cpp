#include "CorvoGUI/QtGUIComponents/Graphics/cFontStyles.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cReportCapture.h"

#include <QPointer>
#include <QtTest>

#include <limits>

namespace
{

cTextStyle* Style(const cFontStyles& styles, const char* name)
{
    return styles.property(name).value<cTextStyle*>();
}

} // namespace

// The twenty named text styles read through their properties, and the text style's setters.
class tst_cFontStyles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void builtStyles_areArialAtScaledPixelSizes_data();
    void builtStyles_areArialAtScaledPixelSizes();
    void builtStyles_weightsAndColours_data();
    void builtStyles_weightsAndColours();
    void projectStyles_copyTheProjectTable_data();
    void projectStyles_copyTheProjectTable();
    void styles_areChildrenDeletedWithTheObject();
    void setters_emitOnlyOnARealChange();
    void instance_whileUnset_reportsAndIsNull();
};

void tst_cFontStyles::initTestCase()
{
    gThemeColours = new cThemeColours();
    cProjectFontManager::Init(1.0f);
}

void tst_cFontStyles::cleanupTestCase()
{
    cProjectFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_cFontStyles::builtStyles_areArialAtScaledPixelSizes_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QVector<int>>("sizes"); // P26, P24, P20, P16
    QTest::newRow("1.0") << 1.0 << QVector<int>{26, 24, 20, 16};
    QTest::newRow("0.5") << 0.5 << QVector<int>{13, 12, 10, 8};
    QTest::newRow("1.1 truncates") << 1.1 << QVector<int>{28, 26, 22, 17};
    QTest::newRow("0 gives 1") << 0.0 << QVector<int>{1, 1, 1, 1};
    QTest::newRow("NaN gives 1") << std::numeric_limits<double>::quiet_NaN() << QVector<int>{1, 1, 1, 1};
}

void tst_cFontStyles::builtStyles_areArialAtScaledPixelSizes()
{
    QFETCH(double, scale);
    QFETCH(QVector<int>, sizes);
    const cFontStyles styles(scale);
    QCOMPARE(styles.property("defaultFontFamily").toString(), QStringLiteral("Arial"));
    const QVector<QPair<const char*, int>> expected = {
        {"title", sizes[0]},           {"subtitle", sizes[1]},         {"body", sizes[0]},
        {"label", sizes[1]},           {"valueWidgetLabel", sizes[1]}, {"value", sizes[1]},
        {"tabActive", sizes[2]},       {"tabInactive", sizes[2]},      {"listItemNormal", sizes[2]},
        {"listItemTouched", sizes[2]}, {"listItemSelected", sizes[2]}, {"keyboardKey", sizes[2]},
        {"altKeyboardKey", sizes[3]},
    };
    for (const auto& style : expected)
    {
        const QFont font = Style(styles, style.first)->font();
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QVERIFY2(font.pixelSize() == style.second, style.first);
    }
}

void tst_cFontStyles::builtStyles_weightsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("title") << "title" << int(QFont::DemiBold) << QColor(255, 255, 255);
    QTest::newRow("subtitle") << "subtitle" << int(QFont::Normal) << QColor(130, 130, 130);
    QTest::newRow("body") << "body" << int(QFont::Normal) << QColor(130, 130, 130);
    QTest::newRow("tabActive") << "tabActive" << int(QFont::Bold) << QColor(255, 255, 255);
    QTest::newRow("tabInactive") << "tabInactive" << int(QFont::Bold) << QColor(225, 225, 225);
    QTest::newRow("listItemTouched") << "listItemTouched" << int(QFont::Normal) << QColor(0, 0, 0);
    QTest::newRow("altKeyboardKey") << "altKeyboardKey" << int(QFont::Normal) << QColor(225, 225, 225);
}

void tst_cFontStyles::builtStyles_weightsAndColours()
{
    QFETCH(QString, name);
    QFETCH(int, weight);
    QFETCH(QColor, colour);
    const cFontStyles styles(1.0);
    const cTextStyle* style = Style(styles, name.toLatin1().constData());
    QCOMPARE(style->font().weight(), weight);
    QCOMPARE(style->colour(), colour);
    QCOMPARE(style->colour().alpha(), 255);
}

void tst_cFontStyles::projectStyles_copyTheProjectTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("textStyle");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("momentaryButtonOff") << "momentaryButtonOff" << 110 << 16 << QColor(255, 255, 255);
    QTest::newRow("momentaryButtonOn") << "momentaryButtonOn" << 111 << 16 << QColor(255, 255, 255);
    QTest::newRow("momentaryButtonDisabled")
        << "momentaryButtonDisabled" << 112 << 16 << QColor(153, 153, 153);
    QTest::newRow("latchingButtonOff") << "latchingButtonOff" << 113 << 16 << QColor(255, 255, 255);
    QTest::newRow("latchingButtonOn") << "latchingButtonOn" << 114 << 16 << QColor(255, 255, 255);
    QTest::newRow("latchingButtonDisabled") << "latchingButtonDisabled" << 115 << 16 << QColor(153, 153, 153);
    QTest::newRow("highlightWidget") << "highlightWidget" << 29 << 14 << QColor(255, 255, 255);
}

void tst_cFontStyles::projectStyles_copyTheProjectTable()
{
    QFETCH(QString, name);
    QFETCH(int, textStyle);
    QFETCH(int, pointSize);
    QFETCH(QColor, colour);
    // The table's scale holds, not the one given here.
    const cFontStyles styles(2.0);
    const cTextStyle* style = Style(styles, name.toLatin1().constData());
    const sTextStyleDef& definition = cProjectFontManager::Instance()->mTextStyles[textStyle];
    QCOMPARE(style->font(), *definition.font);
    QCOMPARE(style->font().family(), QStringLiteral("Arial"));
    QCOMPARE(style->font().pointSize(), pointSize);
    QCOMPARE(style->colour(), colour);
}

void tst_cFontStyles::styles_areChildrenDeletedWithTheObject()
{
    auto styles = new cFontStyles(1.0);
    QVERIFY(styles->parent() == nullptr);
    QPointer<cTextStyle> title = styles->title();
    QCOMPARE(title->parent(), styles);
    QCOMPARE(styles->findChildren<cTextStyle*>().size(), 20);
    delete styles;
    QVERIFY(title.isNull());
}

void tst_cFontStyles::setters_emitOnlyOnARealChange()
{
    cTextStyle style(QFont(QStringLiteral("Arial"), 10), QColor(1, 2, 3), nullptr);
    QSignalSpy fonts(&style, &cTextStyle::fontChanged);
    QSignalSpy colours(&style, &cTextStyle::colourChanged);

    style.setFont(QFont(QStringLiteral("Arial"), 10));
    style.setColour(QColor(1, 2, 3));
    QCOMPARE(fonts.count(), 0);
    QCOMPARE(colours.count(), 0);

    const QFont bigger(QStringLiteral("Arial"), 11);
    style.setFont(bigger);
    style.setColour(QColor(1, 2, 4));
    style.setFont(bigger);
    style.setColour(QColor(1, 2, 4));
    QCOMPARE(fonts.count(), 1);
    QCOMPARE(fonts.at(0).at(0).value<QFont>(), bigger);
    QCOMPARE(colours.count(), 1);
    QCOMPARE(colours.at(0).at(0).value<QColor>(), QColor(1, 2, 4));
    QCOMPARE(style.font(), bigger);

    // Through the property, as QML writes it.
    QVERIFY(style.setProperty("colour", QColor(9, 9, 9)));
    QCOMPARE(colours.count(), 2);
}

void tst_cFontStyles::instance_whileUnset_reportsAndIsNull()
{
    cManualReportClock clock;
    cReportCapture reports;
    QVERIFY(cFontStyles::Instance() == nullptr);
    clock.mNow += 1000; // past the hold-back window of a repeated report
    QVERIFY(cFontStyles::SingletonProvider(nullptr, nullptr) == nullptr);
    QCOMPARE(reports.Count("ERROR: gFontStyles is NULL\t"), 2);

    gFontStyles = new cFontStyles(1.0);
    QCOMPARE(cFontStyles::SingletonProvider(nullptr, nullptr), gFontStyles);
    delete gFontStyles;
    gFontStyles = nullptr;
}

QTEST_MAIN(tst_cFontStyles)
#include "tst_cFontStyles.moc"
