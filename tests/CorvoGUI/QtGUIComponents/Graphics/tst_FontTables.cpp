#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "QtGUIComponents/Common/cFontManager.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "tests/support/cReportCapture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

#include <cstring>
#include <limits>

// Properties of the two font tables that do not depend on the installed fonts: the requested
// families, point sizes, weights and styles, and the text styles' fonts and colours.
class tst_FontTables : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arialTable_baseFonts_data();
    void arialTable_baseFonts();
    void arialTable_textStylesUseArial12();
    void scaledFonts_truncateAboveFourPointsElseFour_data();
    void scaledFonts_truncateAboveFourPointsElseFour();
    void init_twice_keepsTheFirstScale();
    void projectDestroy_takesTheArialTableOnlyWithIt();
    void projectTable_baseFonts_data();
    void projectTable_baseFonts();
    void projectTable_storesTheLastThreeCopiesOutOfOrder();
    void projectTable_textStyles_data();
    void projectTable_textStyles();
    void projectTable_withoutTheTheme_givesStyle92ItsFixedColour();
    void instance_beforeInit_endsTheProgram_data();
    void instance_beforeInit_endsTheProgram();
};

namespace
{

// Base and scaled fonts are read as (family, point size, weight, italic).
struct sFontFacts
{
    QString family;
    int pointSize;
    int weight;
    bool italic;
};

void CompareFont(const QFont& font, const sFontFacts& facts)
{
    QCOMPARE(font.family(), facts.family);
    QCOMPARE(font.pointSize(), facts.pointSize);
    QCOMPARE(font.weight(), facts.weight);
    QCOMPARE(font.italic(), facts.italic);
}

const char* const FONTS_BEFORE_INIT = "--arial-fonts-before-init";
const char* const PROJECT_FONTS_BEFORE_INIT = "--project-fonts-before-init";

} // namespace

// The theme exists, as it does when the application object has been made.
void tst_FontTables::init()
{
    gThemeColours = new cThemeColours();
}

void tst_FontTables::cleanup()
{
    cProjectFontManager::Destroy();
    cFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_FontTables::arialTable_baseFonts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("weight");
    QTest::newRow("0") << 0 << 6 << int(QFont::Normal);
    QTest::newRow("1") << 1 << 6 << int(QFont::Bold);
    QTest::newRow("6") << 6 << 8 << int(QFont::DemiBold);
    QTest::newRow("7") << 7 << 8 << int(QFont::Bold);
    QTest::newRow("13") << 13 << 10 << int(QFont::Black);
    QTest::newRow("15") << 15 << 12 << int(QFont::Normal);
    QTest::newRow("17") << 17 << 12 << int(QFont::Black);
    QTest::newRow("21") << 21 << 15 << int(QFont::Normal);
    QTest::newRow("27") << 27 << 24 << int(QFont::Bold);
    QTest::newRow("28") << 28 << 24 << int(QFont::Normal);
}

void tst_FontTables::arialTable_baseFonts()
{
    QFETCH(int, index);
    QFETCH(int, pointSize);
    QFETCH(int, weight);
    cFontManager::Init(1.0f);
    const cFontManager* table = cFontManager::Instance();
    CompareFont(table->mBaseFonts[index], {"Arial", pointSize, weight, false});
    CompareFont(table->mScaledFonts[index].font, {"Arial", pointSize, weight, false});
    QVERIFY(!table->mScaledFonts[index].metricsValid);
    QCOMPARE(table->mScaledFonts[index].textHeight, 0);
}

void tst_FontTables::arialTable_textStylesUseArial12()
{
    cFontManager::Init(1.0f);
    const cFontManager* table = cFontManager::Instance();
    const QColor colours[] = {QColor(255, 255, 255), QColor(130, 130, 130), QColor(0, 0, 0)};
    for (int n = 0; n < cFontManager::TEXT_STYLE_COUNT; ++n)
    {
        QCOMPARE(table->mTextStyles[n].font, &table->mScaledFonts[15].font);
        QCOMPARE(*table->mTextStyles[n].colour, colours[n]);
    }
    // Equal base fonts are distinct entries.
    QCOMPARE(table->mBaseFonts[5], table->mBaseFonts[7]);
    QCOMPARE(table->mBaseFonts[11], table->mBaseFonts[12]);
}

void tst_FontTables::scaledFonts_truncateAboveFourPointsElseFour_data()
{
    QTest::addColumn<float>("scale");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pointSize");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    QTest::newRow("1.0, 24") << 1.0f << 28 << 24;
    QTest::newRow("0.5, 6") << 0.5f << 0 << 4;
    QTest::newRow("0.5, 7") << 0.5f << 2 << 4;
    QTest::newRow("0.5, 8 (4.0 is not above 4)") << 0.5f << 4 << 4;
    QTest::newRow("0.5, 10") << 0.5f << 10 << 5;
    QTest::newRow("0.5, 13") << 0.5f << 18 << 6;
    QTest::newRow("1.5, 13") << 1.5f << 18 << 19;
    QTest::newRow("1.5, 7") << 1.5f << 2 << 10;
    QTest::newRow("0") << 0.0f << 28 << 4;
    QTest::newRow("negative") << -2.0f << 28 << 4;
    QTest::newRow("NaN") << nan << 28 << 4;
    QTest::newRow("infinite") << infinity << 28 << MAX_SCALED_POINT_SIZE;
}

void tst_FontTables::scaledFonts_truncateAboveFourPointsElseFour()
{
    QFETCH(float, scale);
    QFETCH(int, index);
    QFETCH(int, pointSize);
    cFontManager::Init(scale);
    const cFontManager* table = cFontManager::Instance();
    QCOMPARE(table->mScaledFonts[index].font.pointSize(), pointSize);
    QCOMPARE(table->mScaledFonts[index].font.weight(), table->mBaseFonts[index].weight());
    QCOMPARE(table->mBaseFonts[index].pointSize(), cFontManager::Instance()->mBaseFonts[index].pointSize());
}

void tst_FontTables::init_twice_keepsTheFirstScale()
{
    cProjectFontManager::Init(1.0f);
    cProjectFontManager::Init(2.0f);
    cFontManager::Init(2.0f);
    QCOMPARE(cFontManager::Instance()->mScaledFonts[15].font.pointSize(), 12);
    QCOMPARE(cProjectFontManager::Instance()->ScaledCopyOf(40).font.pointSize(), 36);
}

void tst_FontTables::projectDestroy_takesTheArialTableOnlyWithIt()
{
    cFontManager::Init(1.0f);
    cProjectFontManager::Destroy();
    QVERIFY(cFontManager::IsBuilt());

    cProjectFontManager::Init(1.0f);
    cProjectFontManager::Destroy();
    QVERIFY(!cFontManager::IsBuilt());
    // Absent: the next Init builds anew at its own scale.
    cProjectFontManager::Init(2.0f);
    QCOMPARE(cProjectFontManager::Instance()->ScaledCopyOf(0).font.pointSize(), 14);
    QCOMPARE(cFontManager::Instance()->mScaledFonts[0].font.pointSize(), 12);
}

void tst_FontTables::projectTable_baseFonts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::newRow("0") << 0 << "Arial Narrow" << 7 << int(QFont::Bold) << false;
    QTest::newRow("4") << 4 << "Arial Rounded MT Bold" << 7 << int(QFont::Normal) << false;
    QTest::newRow("8") << 8 << "MS Shell Dlg 2" << 13 << int(QFont::Normal) << false;
    QTest::newRow("15") << 15 << "Swis721 LtCn BT" << 20 << int(QFont::Normal) << false;
    QTest::newRow("16, the only italic") << 16 << "Swis721 LtCn BT" << 20 << int(QFont::Light) << true;
    QTest::newRow("17") << 17 << "ErasItcTEEMed" << 16 << int(QFont::Normal) << false;
    QTest::newRow("21") << 21 << "Eras Medium ITC" << 16 << int(QFont::Bold) << false;
    QTest::newRow("25") << 25 << "Handwriting" << 32 << int(QFont::Normal) << false;
    QTest::newRow("30") << 30 << "Good Times" << 18 << int(QFont::Normal) << false;
    QTest::newRow("31") << 31 << "GF Ordner Inverted" << 9 << int(QFont::Normal) << false;
    QTest::newRow("36") << 36 << "MicrogrammaDEEBolExt" << 10 << int(QFont::Normal) << false;
    QTest::newRow("39") << 39 << "Digital-7" << 20 << int(QFont::Normal) << false;
    QTest::newRow("40") << 40 << "Digital-7 Mono" << 36 << int(QFont::Normal) << false;
    QTest::newRow("42") << 42 << "Raavi" << 8 << int(QFont::Bold) << false;
    QTest::newRow("43") << 43 << "Bradley Hand ITC TT" << 18 << int(QFont::Bold) << false;
    QTest::newRow("47") << 47 << "Exo 2" << 15 << int(QFont::Bold) << false;
    QTest::newRow("48") << 48 << "Exo 2" << 6 << int(QFont::DemiBold) << false;
    QTest::newRow("53") << 53 << "Exo 2" << 13 << int(QFont::DemiBold) << false;
}

void tst_FontTables::projectTable_baseFonts()
{
    QFETCH(int, index);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    cProjectFontManager::Init(1.0f);
    const cProjectFontManager* table = cProjectFontManager::Instance();
    CompareFont(table->mBaseFonts[index], {family, pointSize, weight, italic});
    CompareFont(table->ScaledCopyOf(index).font, {family, pointSize, weight, italic});
    QCOMPARE(table->mArialTable, cFontManager::Instance());
}

void tst_FontTables::projectTable_storesTheLastThreeCopiesOutOfOrder()
{
    cProjectFontManager::Init(1.0f);
    const cProjectFontManager* table = cProjectFontManager::Instance();
    const int copyOf[] = {50, 52, 53, 51}; // entries 50 to 53
    for (int n = 0; n < 4; ++n)
    {
        QCOMPARE(table->mScaledFonts[50 + n].font.pointSize(), table->mBaseFonts[copyOf[n]].pointSize());
        QCOMPARE(&table->ScaledCopyOf(copyOf[n]), &table->mScaledFonts[50 + n]);
    }
}

void tst_FontTables::projectTable_textStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("0 (A10)") << 0 << "Arial" << 10 << int(QFont::Normal) << QColor(29, 29, 29);
    QTest::newRow("19 (A0)") << 19 << "Arial" << 6 << int(QFont::Normal) << QColor(255, 255, 255);
    QTest::newRow("29 (A19)") << 29 << "Arial" << 14 << int(QFont::Normal) << QColor(255, 255, 255);
    QTest::newRow("34 (A28)") << 34 << "Arial" << 24 << int(QFont::Normal) << QColor(255, 255, 255);
    QTest::newRow("76 (A23)") << 76 << "Arial" << 16 << int(QFont::Bold) << QColor(0, 0, 0);
    QTest::newRow("92 (theme)") << 92 << "Arial" << 12 << int(QFont::Normal) << QColor(0xff, 0x5a, 0x00);
    QTest::newRow("93 (P0)") << 93 << "Arial Narrow" << 7 << int(QFont::Bold) << QColor(255, 255, 255);
    QTest::newRow("102 (A7)") << 102 << "Arial" << 8 << int(QFont::Bold) << QColor(255, 30, 30);
    QTest::newRow("110 (A22)") << 110 << "Arial" << 16 << int(QFont::Normal) << QColor(255, 255, 255);
    QTest::newRow("115 (A22)") << 115 << "Arial" << 16 << int(QFont::Normal) << QColor(153, 153, 153);
    QTest::newRow("132 (P43)") << 132 << "Bradley Hand ITC TT" << 18 << int(QFont::Bold)
                               << QColor(29, 29, 29);
    QTest::newRow("142 (P52)") << 142 << "Exo 2" << 12 << int(QFont::DemiBold) << QColor(0, 0, 0);
    QTest::newRow("144 (P51)") << 144 << "Exo 2" << 10 << int(QFont::DemiBold) << QColor(182, 214, 194);
    QTest::newRow("146 (P9)") << 146 << "Swis721 LtCn BT" << 11 << int(QFont::Normal)
                              << QColor(230, 230, 230);
    QTest::newRow("155 (P15)") << 155 << "Swis721 LtCn BT" << 20 << int(QFont::Normal) << QColor(48, 247, 2);
}

void tst_FontTables::projectTable_textStyles()
{
    QFETCH(int, style);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    QFETCH(int, weight);
    QFETCH(QColor, colour);
    cReportCapture reports;
    cProjectFontManager::Init(1.0f);
    const sTextStyleDef& definition = cProjectFontManager::Instance()->mTextStyles[style];
    CompareFont(*definition.font, {family, pointSize, weight, false});
    QCOMPARE(*definition.colour, colour);
    QCOMPARE(reports.Lines(), QStringList());
}

void tst_FontTables::projectTable_withoutTheTheme_givesStyle92ItsFixedColour()
{
    delete gThemeColours;
    gThemeColours = nullptr;
    cReportCapture reports;
    cProjectFontManager::Init(1.0f);
    QCOMPARE(*cProjectFontManager::Instance()->mTextStyles[92].colour, QColor(0xff, 0x5a, 0x00));
    QCOMPARE(reports.Count("ERROR: gThemeColours is NULL\t"), 1);
}

void tst_FontTables::instance_beforeInit_endsTheProgram_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("source");
    QTest::newRow("Arial table") << FONTS_BEFORE_INIT << "QtGUIComponents/Common/cFontManager.cpp";
    QTest::newRow("project table") << PROJECT_FONTS_BEFORE_INIT
                                   << "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.cpp";
}

void tst_FontTables::instance_beforeInit_endsTheProgram()
{
    QFETCH(QString, option);
    QFETCH(QString, source);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {option});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(errors.contains(source + " Cannot use fonts before Init in main e.g. globals"),
             qPrintable(errors));
}

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], FONTS_BEFORE_INIT) == 0)
    {
        cFontManager::Instance();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], PROJECT_FONTS_BEFORE_INIT) == 0)
    {
        cProjectFontManager::Instance();
        return 0;
    }
    tst_FontTables test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FontTables.moc"
