// The root back end with the whole program running headless: every back end linked to the device
// model in time and holding its unit's values; the shutdown order; the window scales.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cDelayUnit.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/Core/Units/cPassFilterUnit.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cFaderControlStripBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cInOutFaderPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotMeterDriver.h"
#include "tests/CorvoGUI/Core/App/RunningProgram.h"
#include "tests/support/cReportCapture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace nAppTest;

namespace
{

// Where a control of the user interface differs from its unit, one line each. Reads the units under
// the registry lock.
class cMismatches
{
public:
    cMismatches(const cApplication& application, const cCorvoQmlBackend& root)
    {
        cRegistryLocker lock;
        const cInOutFaderPanelBackend& faders = *root.backendInOutFader();
        const cFaderControlStripBackend* strips[] = {faders.inputL(), faders.inputR(), faders.lowL(),
                                                     faders.lowR(),   faders.midL(),   faders.midR(),
                                                     faders.highL(),  faders.highR()};
        for (int i = 0; i < cInOutFader::NUMBER_OF_STRIPS; ++i)
        {
            Strip(QString("fader strip %1").arg(i), *strips[i], *application.GetInOutFader()->GetUnit(i));
        }
        const cLowMidHigh* models[] = {application.GetLow(), application.GetMid(), application.GetHigh()};
        const cLowMidHighPanelBackend* panels[] = {root.backendLow(), root.backendMid(), root.backendHigh()};
        for (int p = 0; p < 3; ++p)
        {
            Panel(QString("panel %1").arg(p + 1), *panels[p], *models[p], application);
        }
    }

    const QStringList& Lines() const { return mLines; }

private:
    void Check(const QString& what, long control, long unit)
    {
        if (control != unit)
        {
            mLines.append(QString("%1: %2, the unit %3").arg(what).arg(control).arg(unit));
        }
    }

    void Strip(const QString& what, const cFaderControlStripBackend& strip, const cControlStripUnit& unit)
    {
        Check(what + " mute", strip.mute()->GetCachedValue(), unit.GetMute());
        Check(what + " polarity", strip.polarity()->GetCachedValue(), unit.GetPolarity());
        Check(what + " fader", strip.faderDriver()->networkValue(), ConvertGainToUWORD(unit.GetGain()));
        // No device: every tick the metering sources send their minus infinity (as a meter code,
        // level + 4608), far below the meter's floor.
        Check(what + " meter", strip.meterDriver()->gainValue(), GAIN_MINUS_INFINITY + 4608);
        Check(what + " meter at the floor", strip.meterDriver()->value() == 0.0f, true);
    }

    void Filter(const QString& what, const cQtBooleanSwitchDriver& bypass,
                const cQtSignalSlotContinuousControllerDriver& frequency, const cQtListBoxBackend& slope,
                const cPassFilterUnit& unit)
    {
        Check(what + " bypass", bypass.GetCachedValue(), unit.GetBypass());
        Check(what + " frequency", frequency.networkValue(), unit.GetFrequencyCode());
        Check(what + " slope", slope.value(), long(unit.GetSlopeType()));
    }

    void Panel(const QString& what, const cLowMidHighPanelBackend& panel, const cLowMidHigh& model,
               const cApplication& application)
    {
        Filter(what + " HPF", *panel.bypassDriverLF(), *panel.valueLF(), *panel.slopeLF(),
               *model.GetHPFDriver()->GetUnit());
        Filter(what + " LPF", *panel.bypassDriverHF(), *panel.valueHF(), *panel.slopeHF(),
               *model.GetLPFDriver()->GetUnit());
        Check(what + " PEQ gang", panel.ganged()->GetCachedValue(), model.GetGangDriver()->GetGang());
        const int firstStrip = 2 * int(model.GetType());
        Strip(what + " left output", *panel.outFadersL(), *application.GetInOutFader()->GetUnit(firstStrip));
        Strip(what + " right output", *panel.outFadersR(),
              *application.GetInOutFader()->GetUnit(firstStrip + 1));
        const cDelayUnit& delay = *model.GetDelayDriver()->GetUnit();
        Check(what + " left delay", panel.delayL()->networkValue(), delay.GetCode(0));
        Check(what + " right delay", panel.delayR()->networkValue(), delay.GetCode(1));
        Check(what + " delay gang", panel.delayGanged()->GetCachedValue(), delay.GetGang());
        Block(what + " left PEQ", *panel.peqBlockL(), *model.GetLeftEQDriver()->GetUnit());
        Block(what + " right PEQ", *panel.peqBlockR(), *model.GetRightEQDriver()->GetUnit());
    }

    void Block(const QString& what, const cPEQBlockBackend& block, const cParametricEQUnit& unit)
    {
        const cPEQDriver& graph = *block.peqDriver();
        Check(what + " in/out", block.bypassDriver()->GetCachedValue(), unit.GetBypass());
        Check(what + " graph fully bypassed", graph.GetFullyBypassed(), unit.GetBypass());
        Check(what + " bands", block.GetNumberOfBands(), unit.GetNumberOfBands());
        for (int b = 0; b < block.GetNumberOfBands(); ++b)
        {
            const UBYTE band = UBYTE(b);
            const sParametricEQBand settings = unit.GetBand(band);
            const cPEQBandDrivers& item = *block.bands()->at(b);
            const QString itemWhat = QString("%1 band %2 ").arg(what).arg(b);
            Check(itemWhat + "frequency", item.frequencyDriver()->networkValue(), settings.mFrequencyCode);
            Check(itemWhat + "frequency range",
                  item.frequencyDriver()->min() * 65536L + item.frequencyDriver()->max(),
                  cParametricEQUnit::RANGE_LOWER * 65536L + cParametricEQUnit::RANGE_UPPER);
            Check(itemWhat + "width", item.widthDriver()->networkValue(), settings.mWidthCode);
            Check(itemWhat + "gain", item.gainDriver()->networkValue(), ConvertGainToUWORD(settings.mGain));
            Check(itemWhat + "bypass", item.bypassDriver()->GetCachedValue(), settings.mBypass);
            if (b == 0 || b == block.GetNumberOfBands() - 1)
            {
                Check(itemWhat + "type", item.bandTypeSwitchDriver()->value(), long(settings.mType));
            }
            Check(itemWhat + "graph frequency", graph.GetBandFreq(band), settings.mFrequencyCode);
            Check(itemWhat + "graph width", graph.GetBandWidthIndex(band), settings.mWidthCode);
            Check(itemWhat + "graph gain", graph.GetBandGain(band), settings.mGain);
            Check(itemWhat + "graph type", graph.GetBandType(band), long(settings.mType));
            Check(itemWhat + "graph bypass", graph.GetBandBypassed(band), settings.mBypass);
            Check(itemWhat + "graph range", graph.GetBandFreqMin(band) * 65536L + graph.GetBandFreqMax(band),
                  cParametricEQUnit::RANGE_LOWER * 65536L + cParametricEQUnit::RANGE_UPPER);
        }
    }

    QStringList mLines;
};

} // namespace

class tst_cCorvoQmlBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterQmlTypes(); }
    // Every test starts without data folders: the units' fresh defaults.
    void init() { QDir(QDir::homePath() + "/RE Zurov").removeRecursively(); }

    void wholeProgram_linksWithinASecond_andEveryControlHoldsItsUnitsValue();
    void shutdown_unlinksTwiceThenDeletesAfterTheFramework();
    void windowScales_roundToHundredths_data();
    void windowScales_roundToHundredths();
};

void tst_cCorvoQmlBackend::wholeProgram_linksWithinASecond_andEveryControlHoldsItsUnitsValue()
{
    cReportCapture reports;
    cRunningProgram program;
    // Made as qMain makes it, while the syscall thread runs; deleted by Stop, before the application.
    cCorvoQmlBackend* root = program.Make<cCorvoQmlBackend>();

    QElapsedTimer timer;
    timer.start();
    QVERIFY(root->LinkBackends());
    QVERIFY(program.WaitForLinks(1000));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString("%1 ms").arg(timer.elapsed())));
    QVERIFY2(!reports.Contains("Can't find"), qPrintable(reports.Lines().join(QString())));
    QCOMPARE(gSystemBuilder->GetMadeCount(), gSystemBuilder->GetRequestedCount());

    // The synchronised links bring every unit's value; nothing differs once the messages are through.
    QStringList mismatches;
    QElapsedTimer settling;
    settling.start();
    do
    {
        QThread::msleep(10);
        mismatches = cMismatches(program.App(), *root).Lines();
    } while (!mismatches.isEmpty() && settling.elapsed() < 5000);
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join('\n')));

    // Fresh defaults: the LOW panel's bands in the middle of their ranges, the filters out.
    const cPEQBlockBackend& lowLeft = *root->backendLow()->peqBlockL();
    QCOMPARE(lowLeft.bands()->at(0)->frequencyDriver()->networkValue(), 29052);
    QCOMPARE(lowLeft.bands()->at(1)->frequencyDriver()->networkValue(), 39616);
    QVERIFY(root->backendLow()->bypassDriverLF()->value());
    QVERIFY(root->backendMid()->bypassDriverHF()->value());
    program.Stop();
    QVERIFY2(!reports.Contains("ERROR"), qPrintable(reports.Lines().join(QString())));
}

void tst_cCorvoQmlBackend::shutdown_unlinksTwiceThenDeletesAfterTheFramework()
{
    cReportCapture reports;
    StartSystem(0, true);
    cApplication* application = new cApplication(std::make_unique<cFixedSerialPortList>());
    application->StartSyscallThread();
    application->StartActionTickThread();
    SetSystemRunning(true);
    const ULONG objectsBefore = gRegistryRouter->GetNumberOfObjects();

    // The root back end guards its own net objects while the syscall thread runs.
    cCorvoQmlBackend* root = new cCorvoQmlBackend();
    QVERIFY(root->LinkBackends());
    QVERIFY(cRunningProgram::WaitForLinks());
    // The response graph that QML would make holds the MID panel's graph driver.
    cPEQQmlBackEnd2 graph;
    cPEQDriver* driver = root->backendMid()->peqBlockL()->peqDriver();
    graph.setDriver(driver);

    // As qMain ends: the syscall thread stops, the back ends are unlinked (twice here), the
    // application goes, taking the framework with it.
    SetSystemRunning(false);
    application->StopSyscallThread();
    root->UnlinkBackends();
    root->UnlinkBackends();
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), objectsBefore);
    QCOMPARE(graph.driver(), static_cast<cPEQDriverInterface*>(driver));
    driver->WriteBandGain(1, 512); // a late drag only stores
    delete application;
    QVERIFY(gRegistryRouter == nullptr);

    // Deleted after the framework (as the deferred delete runs once the QML engine is gone): no
    // object of the tree reaches for the router or a net object any more.
    delete root;
    QVERIFY(graph.driver() == nullptr);
    QVERIFY2(!reports.Contains("ERROR"), qPrintable(reports.Lines().join(QString())));
}

void tst_cCorvoQmlBackend::windowScales_roundToHundredths_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("stored");
    QTest::addColumn<bool>("announced");

    QTest::newRow("1.004 stays 1.0") << 1.004 << 1.0 << false;
    QTest::newRow("1.125 rounds away from zero") << 1.125 << 1.13 << true;
    QTest::newRow("1.005 is just below 1.005") << 1.005 << 1.0 << false;
    QTest::newRow("0.754") << 0.754 << 0.75 << true;
    QTest::newRow("not a number is refused") << std::nan("") << 1.0 << false;
    QTest::newRow("infinity is refused") << std::numeric_limits<double>::infinity() << 1.0 << false;
}

void tst_cCorvoQmlBackend::windowScales_roundToHundredths()
{
    QFETCH(double, scale);
    QFETCH(double, stored);
    QFETCH(bool, announced);
    const cReportCapture reports;
    StartSystem(0, true);
    {
        cCorvoQmlBackend root;
        QSignalSpy height(&root, &cCorvoQmlBackend::windowHScaleChanged);
        QSignalSpy width(&root, &cCorvoQmlBackend::windowWScaleChanged);
        root.setWindowHScale(scale);
        root.setWindowWScale(scale);
        QCOMPARE(root.windowHScale(), stored);
        QCOMPARE(root.windowWScale(), stored);
        QCOMPARE(height.count(), announced ? 1 : 0);
        QCOMPARE(width.count(), announced ? 1 : 0);
        root.UnlinkBackends();
    }
    DeleteSystem();
}

QTEST_GUILESS_MAIN(tst_cCorvoQmlBackend)
#include "tst_cCorvoQmlBackend.moc"
