#include "CorvoGUI/QtGUIComponents/Graphics/GraphicsEngineSetup.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cGraphicsFactory.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cQMLFactoryImageProvider.h"
#include "PainterTestSupport.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace
{

// What the requested image should look like.
enum eLook
{
    ANY,
    TRANSPARENT,
    NOT_TRANSPARENT
};

} // namespace

// The provider's answers: which painter an id reaches, at which size, and what is cached.
class tst_cQMLFactoryImageProvider : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void initTestCase();
    void cleanupTestCase();
    void requestImage_routesByKeyword_data();
    void requestImage_routesByKeyword();
    void requestImage_withAnEmptySizeAndNoBIPrefix_leavesTheSizeAlone();
    void requestImage_unknownStyle_reportsAndGivesMagenta();
    void requestImage_unknownSubStyle_reportsAndGivesANullImage_data();
    void requestImage_unknownSubStyle_reportsAndGivesANullImage();
    void requestImage_analyserCells_data();
    void requestImage_analyserCells();
    void cache_isKeyedBySizeAndTheIdAskedFor();
    void cache_neverGivesOneIdTheImageOfAnother();
    void requestImage_onSeveralLoaderThreadsAtOnce_drawsAsOnOne();
    void engine_getsTheProviderAndTheScalingFactors();
    void engine_loadsAnImageFromTheProvider();

private:
    cQmlWarningGuard mGuard;
};

void tst_cQMLFactoryImageProvider::cleanup()
{
    QML_VERIFY_NO_WARNINGS(mGuard);
    mGuard.Clear();
}

void tst_cQMLFactoryImageProvider::initTestCase()
{
    gThemeColours = new cThemeColours();
    cProjectFontManager::Init(1.0f);
}

void tst_cQMLFactoryImageProvider::cleanupTestCase()
{
    cGraphicsFactory::DeleteGraphicsFactory();
    cProjectFontManager::Destroy();
    delete gThemeColours;
    gThemeColours = nullptr;
}

void tst_cQMLFactoryImageProvider::requestImage_routesByKeyword_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<int>("look");
    const QSize s(30, 30);
    QTest::newRow("icon") << "ICON_ANY" << s << s << int(TRANSPARENT);
    QTest::newRow("BI_ icon at 0 x 0 passes the size test")
        << "BI_ICON" << QSize(0, 0) << QSize(0, 0) << int(ANY);
    QTest::newRow("six icon keywords") << "WHITE_LOCK" << s << s << int(TRANSPARENT);
    QTest::newRow("cell") << "CELL_INACTIVE" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("stereo cell") << "CELL_STEREO" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("slider at any size")
        << "SLIDER_X" << QSize(300, 7) << QSize(40, 20) << int(NOT_TRANSPARENT);
    QTest::newRow("BI_ slider at 0 x 0")
        << "BI_SLIDER" << QSize(0, 0) << QSize(40, 20) << int(NOT_TRANSPARENT);
    QTest::newRow("bordered background, empty id")
        << "METER_BORDERED_BACKGROUND" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("peak hold meter (row 7)") << "PEAK_HOLD_METER" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("mono meter") << "METER_STYLE_DEFAULT" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("GR_METER inside the id") << "GREY_GR_METER" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("stereo meter") << "METER_STEREO_STYLE_DEFAULT" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("text scale") << "METER_SCALE" << s << s << int(ANY);
    QTest::newRow("button, prefix dropped")
        << "BUTTON_BASIC_GREY_RECT_BUTTON" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("tab") << "TAB_ACTIVE" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("rotary") << "ROTARY_RED" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("value") << "VALUE_RED" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("panel before pan") << "PANEL_TRANSPARENT" << s << s << int(TRANSPARENT);
    QTest::newRow("pan takes any PAN...") << "PANTRANSPARENT" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("list selection handle") << "LIST_SELECTION_HANDLE" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("list selection") << "LIST_SELECTION" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("list item") << "LIST_ITEM" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("list box") << "LIST_BOX_BACKGROUND" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("fader knob") << "FADER_STYLE_DEFAULT_KNOB" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("fader background") << "FADER_STYLE_DEFAULT_BACKGROUND" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("editor arrow") << "EDITOR_ARROW" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("glow") << "GLOW_EFFECT_ROTARY" << QSize(60, 60) << QSize(60, 60) << int(NOT_TRANSPARENT);
    QTest::newRow("led") << "LED" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("radio button") << "RADIO_BUTTON" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("progress bar") << "PROGRESS_BAR" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("progress bar background") << "PROGRESS_BAR_BACKGROUND" << s << s << int(NOT_TRANSPARENT);
    QTest::newRow("pager dot") << "PAGER_DOT" << s << s << int(NOT_TRANSPARENT);
}

void tst_cQMLFactoryImageProvider::requestImage_routesByKeyword()
{
    QFETCH(QString, id);
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    QFETCH(int, look);
    cQMLFactoryImageProvider provider;
    cReportCapture reports;
    QSize size(-5, -5);
    const QImage image = provider.requestImage(id, &size, requested);
    QCOMPARE(size, expected);
    QCOMPARE(image.size(), expected);
    if (expected.isEmpty())
    {
        QVERIFY(image.isNull());
        return;
    }
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    if (look == TRANSPARENT)
    {
        QVERIFY(AllTransparent(image));
    }
    else if (look == NOT_TRANSPARENT)
    {
        QVERIFY(!AllTransparent(image));
    }
    QCOMPARE(reports.Lines(), QStringList());
}

void tst_cQMLFactoryImageProvider::requestImage_withAnEmptySizeAndNoBIPrefix_leavesTheSizeAlone()
{
    cQMLFactoryImageProvider provider;
    for (const QSize& requested : {QSize(0, 0), QSize(10, 0), QSize(), QSize(-3, 10)})
    {
        QSize size(7, 7);
        QVERIFY(provider.requestImage(QStringLiteral("ICON"), &size, requested).isNull());
        QCOMPARE(size, QSize(7, 7));
    }
    QVERIFY(provider.requestImage(QStringLiteral("ICON"), nullptr, QSize(4, 4)).size() == QSize(4, 4));
}

void tst_cQMLFactoryImageProvider::requestImage_unknownStyle_reportsAndGivesMagenta()
{
    cQMLFactoryImageProvider provider;
    cReportCapture reports;
    QSize size;
    const QImage image = provider.requestImage(QStringLiteral("BI_NOTHING_LIKE_THIS"), &size, QSize(6, 4));
    QCOMPARE(size, QSize(6, 4));
    QCOMPARE(image.size(), QSize(6, 4));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    COMPARE_PIXEL(image, 0, 0, QColor(255, 0, 255));
    COMPARE_PIXEL(image, 5, 3, QColor(255, 0, 255));
    QCOMPARE(reports.Count("ERROR: Unhandled style in cQMLFactoryImageProvider: NOTHING_LIKE_THIS\t"), 1);
}

void tst_cQMLFactoryImageProvider::requestImage_unknownSubStyle_reportsAndGivesANullImage_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("report");
    QTest::newRow("fader with neither knob nor background") << "FADER_STYLE_DEFAULT"
                                                            << "";
    QTest::newRow("tab neither active nor inactive") << "TAB_X"
                                                     << "ERROR: Tab type not recognised! TAB_X\t";
    QTest::newRow("button of no colour") << "BUTTON_PLAIN_RECT"
                                         << "ERROR: Unhandled Switch Style: PLAIN_RECT\t";
    QTest::newRow("tiny meter has no gradient") << "TINY_METER"
                                                << "ERROR: cBasicGraphicsFactory: trying to get a meter "
                                                   "gradient for a non meter-type widget! TINY_METER\t";
    QTest::newRow("glow of neither rotary nor pan") << "GLOW_EFFECT"
                                                    << "ERROR: Unkown style \"GLOW_EFFECT\"\t";
}

void tst_cQMLFactoryImageProvider::requestImage_unknownSubStyle_reportsAndGivesANullImage()
{
    QFETCH(QString, id);
    QFETCH(QString, report);
    cQMLFactoryImageProvider provider;
    cReportCapture reports;
    QSize size(9, 9);
    QVERIFY(provider.requestImage(id, &size, QSize(20, 20)).isNull());
    QCOMPARE(size, QSize(0, 0));
    if (report.isEmpty())
    {
        QCOMPARE(reports.Lines(), QStringList());
    }
    else
    {
        QCOMPARE(reports.Count(report), 1);
    }
}

void tst_cQMLFactoryImageProvider::requestImage_analyserCells_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("plain") << "GEQ_RTA" << QColor(0, 255, 0);
    QTest::newRow("peak") << "X_GEQ_RTA_PEAK" << QColor(255, 0, 0);
    // Transparent black written into an image without alpha reads back opaque.
    QTest::newRow("inactive peak") << "GEQ_RTA_INACTIVE_PEAK" << QColor(0, 0, 0);
}

void tst_cQMLFactoryImageProvider::requestImage_analyserCells()
{
    QFETCH(QString, id);
    QFETCH(QColor, colour);
    cQMLFactoryImageProvider provider;
    QSize size;
    const QImage image = provider.requestImage(id, &size, QSize(3, 5));
    QCOMPARE(size, QSize(3, 5));
    QCOMPARE(image.format(), QImage::Format_RGB32);
    COMPARE_PIXEL(image, 1, 2, colour);
    // Not cached.
    QVERIFY(cGraphicsFactory::GetGraphicsFactory()->Lookup(QSize(3, 5), id).isNull());
}

void tst_cQMLFactoryImageProvider::cache_isKeyedBySizeAndTheIdAskedFor()
{
    cQMLFactoryImageProvider provider;
    cGraphicsFactory* factory = cGraphicsFactory::GetGraphicsFactory();
    QSize size;

    const QImage led = provider.requestImage(QStringLiteral("LED_GREEN*ON*"), &size, QSize(10, 10));
    QCOMPARE(factory->Lookup(QSize(10, 10), QStringLiteral("LED_GREEN*ON*")), led);
    QVERIFY(factory->Lookup(QSize(11, 10), QStringLiteral("LED_GREEN*ON*")).isNull());
    QCOMPARE(provider.requestImage(QStringLiteral("LED_GREEN*ON*"), &size, QSize(10, 10)).cacheKey(),
             led.cacheKey());

    // The slider is kept under 40 x 20.
    provider.requestImage(QStringLiteral("SLIDER_Q"), &size, QSize(5, 5));
    QVERIFY(!factory->Lookup(QSize(40, 20), QStringLiteral("SLIDER_Q")).isNull());

    // Bordered backgrounds whose ids differ after the keyword are kept apart, under their whole
    // ids, as is a button whose painter is handed the id without "BUTTON_".
    provider.requestImage(QStringLiteral("METER_BORDERED_BACKGROUND_A"), &size, QSize(8, 8));
    provider.requestImage(QStringLiteral("METER_BORDERED_BACKGROUND_B"), &size, QSize(8, 8));
    QVERIFY(!factory->Lookup(QSize(8, 8), QStringLiteral("METER_BORDERED_BACKGROUND_A")).isNull());
    QVERIFY(!factory->Lookup(QSize(8, 8), QStringLiteral("METER_BORDERED_BACKGROUND_B")).isNull());
    provider.requestImage(QStringLiteral("BUTTON_BASIC_RED_RECT_BUTTON"), &size, QSize(30, 12));
    QVERIFY(!factory->Lookup(QSize(30, 12), QStringLiteral("BUTTON_BASIC_RED_RECT_BUTTON")).isNull());
}

void tst_cQMLFactoryImageProvider::cache_neverGivesOneIdTheImageOfAnother()
{
    // The rest of a bordered background's id and of a button's id are ids of other styles: each
    // request gets its own image whichever comes first.
    cQMLFactoryImageProvider provider;
    const QString meter = QStringLiteral("METER_STYLE_DEFAULT**-15360**x**3072");
    const QSize size(10, 60);
    const QImage well = provider.requestImage("METER_BORDERED_BACKGROUND" + meter, nullptr, size);
    const QImage bar = provider.requestImage(meter, nullptr, size);
    COMPARE_PIXEL(well, 5, 55, QColor(0, 0, 0));
    COMPARE_PIXEL(bar, 5, 55, QColor(0, 255, 0));

    cReportCapture reports;
    QVERIFY(!provider.requestImage(QStringLiteral("TAB_ACTIVE"), nullptr, size).isNull());
    QVERIFY(provider.requestImage(QStringLiteral("BUTTON_TAB_ACTIVE"), nullptr, size).isNull());
    QCOMPARE(reports.Count("ERROR: Unhandled Switch Style: TAB_ACTIVE\t"), 1);
}

void tst_cQMLFactoryImageProvider::requestImage_onSeveralLoaderThreadsAtOnce_drawsAsOnOne()
{
    // Painters that read the font tables and the cache, as the engine's image-loader threads use
    // them: several threads at once, racing on the same keys.
    const QStringList ids = {QStringLiteral("PAN_ACTIVE"),
                             QStringLiteral("CELL_STEREO"),
                             QStringLiteral("METER_SCALE**-15360**x**3072"),
                             QStringLiteral("METER_STYLE_DEFAULT_NUMERICAL_SCALE**-15360**x**3072"),
                             QStringLiteral("HISTOGRAM_NUMERICAL_SCALE**-15360**x**3072"),
                             QStringLiteral("FADER_STYLE_EDITOR_FADER_BACKGROUND_SCALE**1**x**20"),
                             QStringLiteral("BUTTON_BASIC_BLUE_RECT_BUTTON*DOWN**DISABLED*"),
                             QStringLiteral("PANEL_MAIN_TITLE|-FGCOLOUR:#ff8000-|")};
    const QVector<QSize> sizes = {QSize(48, 120), QSize(60, 90), QSize(40, 40)};
    constexpr int THREADS = 4;
    cGraphicsFactory::DeleteGraphicsFactory();
    std::atomic<int> ready{0};
    std::vector<std::vector<QImage>> drawn(THREADS);
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t)
    {
        threads.emplace_back(
            [&, t]()
            {
                cQMLFactoryImageProvider provider;
                ++ready;
                while (ready < THREADS)
                {
                }
                for (const QSize& size : sizes)
                {
                    for (const QString& id : ids)
                    {
                        drawn[t].push_back(provider.requestImage(id, nullptr, size));
                    }
                }
            });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }

    // Drawn again on this thread alone, from an empty cache.
    cGraphicsFactory::DeleteGraphicsFactory();
    cQMLFactoryImageProvider provider;
    int n = 0;
    for (const QSize& size : sizes)
    {
        for (const QString& id : ids)
        {
            const QImage alone = provider.requestImage(id, nullptr, size);
            QVERIFY2(!alone.isNull() && !AllTransparent(alone), qPrintable(id));
            for (int t = 0; t < THREADS; ++t)
            {
                QVERIFY2(drawn[t][n] == alone, qPrintable(QStringLiteral("%1 at %2 x %3, thread %4")
                                                              .arg(id)
                                                              .arg(size.width())
                                                              .arg(size.height())
                                                              .arg(t)));
            }
            ++n;
        }
    }
}

void tst_cQMLFactoryImageProvider::engine_getsTheProviderAndTheScalingFactors()
{
    QQmlEngine engine;
    InstallGraphicsFactory(engine);
    auto* provider =
        dynamic_cast<cQMLFactoryImageProvider*>(engine.imageProvider(QStringLiteral("graphicsfactory")));
    QVERIFY(provider != nullptr);
    QCOMPARE(provider->imageType(), QQmlImageProviderBase::Image);
    QVERIFY(provider->flags() & QQmlImageProviderBase::ForceAsynchronousImageLoading);
    for (const char* name : {"_screenScalingFactor", "_fontScalingFactor"})
    {
        const QVariant factor = engine.rootContext()->contextProperty(QString::fromLatin1(name));
        QCOMPARE(factor.userType(), int(QMetaType::Double));
        QCOMPARE(factor.toDouble(), 1.0);
    }
}

void tst_cQMLFactoryImageProvider::engine_loadsAnImageFromTheProvider()
{
    QQmlEngine engine;
    InstallGraphicsFactory(engine);
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\n"
                      "Image { source: \"image://graphicsfactory/PROGRESS_BAR_BACKGROUND\";"
                      " sourceSize.width: 8; sourceSize.height: 6;"
                      " property real scaling: _screenScalingFactor * _fontScalingFactor }",
                      QUrl());
    std::unique_ptr<QObject> image(component.create());
    QVERIFY2(image != nullptr, qPrintable(component.errorString()));
    QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
    QCOMPARE(image->property("implicitWidth").toReal(), 8.0);
    QCOMPARE(image->property("implicitHeight").toReal(), 6.0);
    QCOMPARE(image->property("scaling").toReal(), 1.0);
}

QTEST_MAIN(tst_cQMLFactoryImageProvider)
#include "tst_cQMLFactoryImageProvider.moc"
