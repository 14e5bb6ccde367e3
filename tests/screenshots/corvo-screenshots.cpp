// Takes a screenshot of each tab of the program's window: the whole program in process with a
// fresh home folder, connected to a simulated device. Run it under a display (Xvfb).
//
//   corvo-screenshots <output folder> [<width>x<height>]
//
// Writes Faders.png, Low.png, Mid.png and High.png of the window at its default size, or at the size
// given (in logical pixels); QT_SCALE_FACTOR scales the window as usual.
// The device starts with the program's defaults: the fresh model is saved before connecting (the
// connection takes the device's state) and recalled once connected, which sends it to the device
// (nProgramLink::ConnectKeepingModel, as the tab tests connect).
// The device's meters then hold steady levels of their own, so the meters show activity.

#include "tests/qml/Tabs/support/ProgramLink.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace
{

// Levels on the meters' scale (+18 at the top, -40 at the bottom), in the device's meter order:
// input L, input R, low L, low R, mid L, mid R, high L, high R.
const double METER_SCALE_LEVELS[cSimulatedDeviceModel::METERS] = {2, -1, -8, -11, -5, -7, -14, -17};

// The device's linear meter word (full scale 2^31) that shows at a level of the meters' scale. The
// scale's top is full scale on an output meter; an input meter shows 12.04 dB more.
std::uint32_t MeterWord(int meter, double scaleLevel)
{
    const double fullScaleDecibels = scaleLevel - 18.0 - (meter < 2 ? 12.04 : 0.0);
    return static_cast<std::uint32_t>(2147483648.0 * std::pow(10.0, fullScaleDecibels / 20.0));
}

int Fail(const char* what)
{
    std::fprintf(stderr, "corvo-screenshots: %s\n", what);
    return 1;
}

int TakeScreenshots(cProgramUnderTest& program, const QString& home, const QString& output, const QSize& size)
{
    if (!program.Start())
    {
        return Fail("the program did not start");
    }
    if (size.isValid())
    {
        program.Window()->resize(size);
        if (!cProgramUnderTest::WaitFor(
                [&] { return program.Window()->contentItem()->size() == QSizeF(size); }, 5000))
        {
            return Fail("the window did not take the size asked for");
        }
    }
    if (!nProgramLink::ConnectKeepingModel(program, home))
    {
        return Fail("the device did not connect with the program's defaults");
    }
    program.Device().UpdateModel(
        [](cSimulatedDeviceModel& model)
        {
            for (int meter = 0; meter < cSimulatedDeviceModel::METERS; ++meter)
            {
                model.mMeters[size_t(meter)] = MeterWord(meter, METER_SCALE_LEVELS[meter]);
            }
        });
    QObject* tabBar = program.Window()->findChild<QObject*>(QStringLiteral("tabBar"));
    const char* const names[] = {"Faders", "Low", "Mid", "High"};
    for (int tab = 0; tab < 4; ++tab)
    {
        tabBar->setProperty("currentIndex", tab);
        cProgramUnderTest::Settle(600);
        const QString file = output + QStringLiteral("/%1.png").arg(QLatin1String(names[tab]));
        if (!program.Window()->grabWindow().save(file))
        {
            return Fail("a screenshot could not be written");
        }
        std::printf("%s\n", qPrintable(file));
    }
    program.Disconnect();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QSize size;
    if (argc == 3)
    {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^([0-9]{3,4})x([0-9]{3,4})$"))
                .match(QString::fromLocal8Bit(argv[2]));
        if (match.hasMatch())
        {
            size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        }
    }
    if ((argc != 2 && argc != 3) || (argc == 3 && !size.isValid()))
    {
        std::fprintf(stderr, "usage: corvo-screenshots <output folder> [<width>x<height>]\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(output))
    {
        return Fail("the output folder could not be made");
    }

    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    cProgramUnderTest program;
    const int result = TakeScreenshots(program, home.path(), output, size);
    program.Stop();
    return result;
}
