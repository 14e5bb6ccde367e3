// The font and image trees as the user interface reads them: every image loads from the resources
// in the proportions its item shows it, the font loads as "Spartan" with both micro signs, and
// nothing of theirs is stored compressed; the QML and script trees are compressed as marked.

#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QImageReader>
#include <QRawFont>
#include <QResource>
#include <QtTest>

#include <cmath>

class tst_cUserInterfaceResources : public QObject
{
    Q_OBJECT

private slots:
    void image_loadsInItsProportions_data();
    void image_loadsInItsProportions();
    void font_loadsAsSpartanWithTheMicroSigns();
    void entries_areStoredPlain();
    void qmlAndScriptTrees_areCompressedAsMarked_data();
    void qmlAndScriptTrees_areCompressedAsMarked();
    void destruction_unregistersEveryTree();
};

namespace
{

// Every image with the size (in the units of the item that shows it) whose proportions it keeps.
struct sImage
{
    const char* name;
    double width;
    double height;
};

const sImage IMAGES[] = {
    {"Connect.svg", 64, 56},
    {"Connected.svg", 64, 56},
    {"LoadConfig.svg", 64, 56},
    {"SaveConfig.svg", 64, 56},
    {"ToggleOn.svg", 64, 56},
    {"ToggleOff.svg", 64, 56},
    {"FaderBlockInput.svg", 283, 441},
    {"FaderBlockOutput.svg", 283, 441},
    // The cap is 1.56 x 1.10 of a knob 0.8 wide and 2.13 times as high; its shadow 0.9 x 0.93 of that.
    {"FaderCap.svg", 1.56 * 0.8, 1.10 * 2.13 * 0.8},
    {"FaderCapShadow.png", 0.9 * 1.56 * 0.8, 0.93 * 1.10 * 2.13 * 0.8},
    {"Meter.svg", 12, 356},
    {"MuteOn-V2.svg", 64, 56},
    {"MuteOff-V2.svg", 64, 56},
    {"PolarityOn-V2.svg", 64, 56},
    {"PolarityOff-V2.svg", 64, 56},
    {"MuteOn.svg", 64, 56},
    {"MuteOff.svg", 64, 56},
    {"PolarityOn.svg", 64, 56},
    {"PolarityOff.svg", 64, 56},
    {"HighPass.svg", 64, 56},
    {"LowPass.svg", 64, 56},
    {"ShelfLow.svg", 64, 56},
    {"BellLow.svg", 64, 56},
    {"ShelfHigh.svg", 64, 56},
    {"BellHigh.svg", 64, 56},
    {"ValueBGPink.svg", 75, 37},
    {"ValueBGPurple.svg", 75, 37},
    {"ValueBGGreen.svg", 75, 37},
    {"ValueBGBlue.svg", 75, 37},
    {"ValueBGRed.svg", 75, 37},
    {"ValueBGOrange.svg", 75, 37},
    {"ValueBGPass.svg", 75, 37},
    {"ValueBGDelay.svg", 75, 37},
    {"PopupIndicator.png", 12, 12},
    {"CorvoLogo.png", 256, 256},
    {"CorvoLogo.svg", 256, 256},
};

const char* const FONT = "Spartan-Bold.ttf";

// Records the warnings Qt gives while it lives: the SVG renderer warns about what it cannot draw.
class cWarningRecorder
{
public:
    cWarningRecorder()
        : mPrevious(qInstallMessageHandler(Record))
    {
        sWarnings.clear();
    }
    ~cWarningRecorder() { qInstallMessageHandler(mPrevious); }
    QString Warnings() const { return sWarnings.join('\n'); }

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg)
        {
            sWarnings << message;
        }
    }
    static QStringList sWarnings;
    QtMessageHandler mPrevious;
};

QStringList cWarningRecorder::sWarnings;

bool HasVisiblePixels(const QImage& image)
{
    // Pixel by pixel rather than through a converted copy: Qt converts a large image on its
    // thread pool, whose hand-overs ThreadSanitizer cannot see.
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            if (qAlpha(image.pixel(x, y)) != 0)
            {
                return true;
            }
        }
    }
    return false;
}

} // namespace

void tst_cUserInterfaceResources::image_loadsInItsProportions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("aspect");
    for (const sImage& image : IMAGES)
    {
        QTest::newRow(image.name) << QString::fromLatin1(image.name) << image.width / image.height;
    }
    QCOMPARE(int(std::size(IMAGES)), 36);
}

void tst_cUserInterfaceResources::image_loadsInItsProportions()
{
    QFETCH(QString, name);
    QFETCH(double, aspect);
    const cUserInterfaceResources resources;
    const cWarningRecorder recorder;

    // The way Qt Quick reads "qrc:/<name>": through the image plugins.
    QImageReader reader(":/" + name);
    const QSize natural = reader.size();
    QVERIFY2(natural.isValid(), qPrintable(reader.errorString()));
    QVERIFY2(std::abs(double(natural.width()) / natural.height() / aspect - 1.0) < 0.01,
             qPrintable(QStringLiteral("%1 x %2").arg(natural.width()).arg(natural.height())));

    // An SVG is drawn at the size it is shown at, here as a high-density screen asks for it.
    const bool vector = name.endsWith(".svg");
    const QSize shown = vector ? natural * 2 : natural;
    if (vector)
    {
        reader.setScaledSize(shown);
    }
    const QImage image = reader.read();
    QVERIFY2(recorder.Warnings().isEmpty(), qPrintable(recorder.Warnings()));
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), shown);
    QVERIFY(HasVisiblePixels(image));
}

void tst_cUserInterfaceResources::font_loadsAsSpartanWithTheMicroSigns()
{
    const cUserInterfaceResources resources;

    // The path as start-up gives it, without the slash.
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":Spartan-Bold.ttf"));
    QVERIFY(id >= 0);
    QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{"Spartan"});

    QFont font(QStringLiteral("Spartan"));
    font.setBold(true);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Spartan"));
    QVERIFY(QFontInfo(font).bold());

    QFile file(QStringLiteral(":/") + FONT);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRawFont raw(file.readAll(), 12);
    QVERIFY(raw.isValid());
    QVERIFY(raw.supportsCharacter(QChar(0x00B5))); // the micro sign the value boxes show
    QVERIFY(raw.supportsCharacter(QChar(0x03BC))); // the Greek mu that may be typed for it
    QVERIFY(raw.supportsCharacter(QChar(0x2212)));

    QVERIFY(QFontDatabase::removeApplicationFont(id));
}

void tst_cUserInterfaceResources::entries_areStoredPlain()
{
    const cUserInterfaceResources resources;
    QStringList names{QString::fromLatin1(FONT)};
    for (const sImage& image : IMAGES)
    {
        names << QString::fromLatin1(image.name);
    }
    for (const QString& name : names)
    {
        const QResource entry(":/" + name);
        QVERIFY2(entry.isValid(), qPrintable(name));
        QVERIFY2(entry.compressionAlgorithm() == QResource::NoCompression, qPrintable(name));
        QFile file(":/" + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(entry.size(), file.size());
    }
}

void tst_cUserInterfaceResources::qmlAndScriptTrees_areCompressedAsMarked_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("zlib");

    // zlib where marked, whatever rcc's own default (zstd on Debian) or size threshold; plain else.
    QTest::newRow("window") << "main.qml" << true;
    QTest::newRow("graph") << "CorvoPEQ.qml" << true;
    QTest::newRow("gain library") << "Gains.js" << true;
    QTest::newRow("styles") << "Styles.qml" << false;
    QTest::newRow("module") << "qmldir" << false;
    QTest::newRow("meter") << "CorvoMeter.qml" << false;
}

void tst_cUserInterfaceResources::qmlAndScriptTrees_areCompressedAsMarked()
{
    QFETCH(QString, name);
    QFETCH(bool, zlib);
    const cUserInterfaceResources resources;
    const QResource entry(":/" + name);
    QVERIFY(entry.isValid());
    QCOMPARE(entry.compressionAlgorithm(), zlib ? QResource::ZlibCompression : QResource::NoCompression);
}

void tst_cUserInterfaceResources::destruction_unregistersEveryTree()
{
    {
        const cUserInterfaceResources resources;
        QVERIFY(QFile::exists(":/Connect.svg"));
        QVERIFY(QFile::exists(QStringLiteral(":/") + FONT));
    }
    QVERIFY(!QFile::exists(":/Connect.svg"));
    QVERIFY(!QFile::exists(QStringLiteral(":/") + FONT));
}

QTEST_MAIN(tst_cUserInterfaceResources)
#include "tst_cUserInterfaceResources.moc"
