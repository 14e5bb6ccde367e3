// The back ends linked to the whole device model, messages delivered by the message pump: which unit
// parameter each control is joined to, what QML reaches through _App, and how the PEQ graph and the
// band value boxes meet in the unit.

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQNetObject2.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/CorvoGUI/QtGUIComponents/Backends/BackendTestSupport.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/cManualReportClock.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"

#include <QDir>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace nBackendTest;

namespace
{

constexpr int BACKEND_LINKS = 370;

} // namespace

class tst_BackendWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void everyLink_isMadeWithNoNameMissing();
    void links_joinEachControlToItsUnitsParameter_data();
    void links_joinEachControlToItsUnitsParameter();
    void middleBands_haveNoTypeLink();
    void qml_reachesEveryControlThroughApp_data();
    void qml_reachesEveryControlThroughApp();
    void peqBlock_badBandCountBandOrTypeSwitch_isReportedAndLinksNothing();
    // Changes the model: keep it last.
    void graphAndValueBoxes_meetInTheUnit_withoutEcho();

private:
    cApplication* mApplication = nullptr;
    cCorvoQmlBackend* mRoot = nullptr;
    ULONG mRequestedBefore = 0;
    std::unique_ptr<cReportCapture> mReports;
};

void tst_BackendWiring::initTestCase()
{
    RegisterQmlTypes();
    // Fresh defaults: no data folders from an earlier run.
    QDir(QDir::homePath() + "/RE Zurov").removeRecursively();
    StartSystem(0, true);
    mApplication = new cApplication(std::make_unique<cFixedSerialPortList>());
    QVERIFY(SettleLinks());
    mRequestedBefore = gSystemBuilder->GetRequestedCount();
    mReports = std::make_unique<cReportCapture>();
    mRoot = new cCorvoQmlBackend();
    QVERIFY(mRoot->LinkBackends());
    QVERIFY(SettleLinks());
}

void tst_BackendWiring::cleanupTestCase()
{
    mRoot->UnlinkBackends();
    delete mApplication;
    delete mRoot;
    mReports.reset();
}

void tst_BackendWiring::everyLink_isMadeWithNoNameMissing()
{
    QCOMPARE(gSystemBuilder->GetRequestedCount() - mRequestedBefore, ULONG(BACKEND_LINKS));
    QCOMPARE(gSystemBuilder->GetMadeCount(), gSystemBuilder->GetRequestedCount());
    QVERIFY2(!mReports->Contains("ERROR"), qPrintable(mReports->Lines().join(QString())));
}

void tst_BackendWiring::links_joinEachControlToItsUnitsParameter_data()
{
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<int>("unitParam");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<int>("controlParam");
    QTest::addColumn<bool>("bidirect");

    const QByteArray meters = "Metering Sources NetObject";
    QTest::newRow("input L fader") << QByteArray("InOutFader:Input L Control Strip Unit") << 4098
                                   << QByteArray("InOutFader:Input L Fader Control Strip Fader Widget")
                                   << 4096 << true;
    QTest::newRow("mid L polarity") << QByteArray("InOutFader:L Control Strip Unit2") << 4097
                                    << QByteArray("InOutFader:Mid L Fader Control Strip Polarity Switch")
                                    << 4096 << true;
    QTest::newRow("high R mute") << QByteArray("InOutFader:R Control Strip Unit3") << 4096
                                 << QByteArray("InOutFader:High R Fader Control Strip Mute Switch") << 4096
                                 << true;
    QTest::newRow("input R meter") << meters << 4098
                                   << QByteArray("InOutFader:Input R Fader Control Strip Meter Widget")
                                   << 4096 << false;
    QTest::newRow("low R meter") << meters << 4100
                                 << QByteArray("InOutFader:Low R Fader Control Strip Meter Widget") << 4096
                                 << false;
    QTest::newRow("LOW panel's left output meter")
        << meters << 4099 << QByteArray("LMH 1: Left Fader Control Strip Meter Widget") << 4096 << false;
    QTest::newRow("HIGH panel's right output meter")
        << meters << 4104 << QByteArray("LMH 3: Right Fader Control Strip Meter Widget") << 4096 << false;
    QTest::newRow("LOW panel's right output fader")
        << QByteArray("InOutFader:R Control Strip Unit1") << 4098
        << QByteArray("LMH 1: Right Fader Control Strip Fader Widget") << 4096 << true;
    QTest::newRow("MID HPF in/out") << QByteArray("LMH 2:  HPF Unit") << 4096
                                    << QByteArray("LMH 2: LF Bypass Switch") << 4096 << true;
    QTest::newRow("MID LPF frequency") << QByteArray("LMH 2:  LPF Unit") << 4097
                                       << QByteArray("LMH 2: HF Frequency Value Widget") << 4096 << true;
    QTest::newRow("HIGH HPF slope") << QByteArray("LMH 3:  HPF Unit") << 4098
                                    << QByteArray("LMH 3: LF Slope ListBox") << 4096 << true;
    QTest::newRow("LOW PEQ gang") << QByteArray("LMH 1:  Parametric EQ Gang") << 4096
                                  << QByteArray("LMH 1:  Ganged Switch") << 4096 << true;
    QTest::newRow("HIGH right delay") << QByteArray("LMH 3:  Delay Unit") << 4097
                                      << QByteArray("LMH 3: Right Delay Value Widget") << 4096 << true;
    QTest::newRow("MID delay gang") << QByteArray("LMH 2:  Delay Unit") << 4098
                                    << QByteArray("LMH 2:  Delay Ganged Switch") << 4096 << true;

    // MID, left, band 3 of 4 ("HF"): its value boxes...
    const QByteArray midLeft = "LMH 2: L Parametric EQ Unit";
    const QByteArray box = "LMH 2: Left PEQ BlockChannel PEQ HF ";
    QTest::newRow("MID band 3 range") << midLeft << 4114 << box + "Freq TFT Edit Box" << 4098 << false;
    QTest::newRow("MID band 3 frequency") << midLeft << 4115 << box + "Freq TFT Edit Box" << 4096 << true;
    QTest::newRow("MID band 3 width") << midLeft << 4116 << box + "Width TFT Edit Box" << 4096 << true;
    QTest::newRow("MID band 3 gain") << midLeft << 4117 << box + "Gain TFT Edit Box" << 4096 << true;
    QTest::newRow("MID band 3 bypass") << midLeft << 4118 << box + "Band Bypass Switch" << 4096 << true;
    QTest::newRow("MID band 3 type") << midLeft << 4098 << box + "Shelf Switch" << 4096 << true;
    QTest::newRow("MID band 1 frequency")
        << midLeft << 4105 << QByteArray("LMH 2: Left PEQ BlockChannel PEQ LM Freq TFT Edit Box") << 4096
        << true;
    // ...and its graph (4 bands: gain 4099 + b, frequency 4103 + b, width 4107 + b, type 4111 + b,
    // bypass 4119 + b, range 4123 + b).
    const QByteArray graph = "LMH 2: Left PEQ Block Channel Parametric EQ Graph";
    QTest::newRow("MID graph band 3 gain") << midLeft << 4117 << graph << 4102 << true;
    QTest::newRow("MID graph band 3 frequency") << midLeft << 4115 << graph << 4106 << true;
    QTest::newRow("MID graph band 3 width") << midLeft << 4116 << graph << 4110 << true;
    QTest::newRow("MID graph band 3 type") << midLeft << 4098 << graph << 4114 << true;
    QTest::newRow("MID graph band 3 bypass") << midLeft << 4118 << graph << 4122 << true;
    QTest::newRow("MID graph band 3 range") << midLeft << 4114 << graph << 4126 << false;
    QTest::newRow("HIGH right band 0 type")
        << QByteArray("LMH 3: R Parametric EQ Unit") << 4097
        << QByteArray("LMH 3: Right PEQ BlockChannel PEQ LF Shelf Switch") << 4096 << true;
    QTest::newRow("HIGH right graph band 4 gain")
        << QByteArray("LMH 3: R Parametric EQ Unit") << 4122
        << QByteArray("LMH 3: Right PEQ Block Channel Parametric EQ Graph") << 4103 << true;
    QTest::newRow("LOW left block in/out")
        << QByteArray("LMH 1: L Parametric EQ Unit") << 4096
        << QByteArray("LMH 1: Left PEQ Block Channel PEQ In Out Switch") << 4096 << true;
    QTest::newRow("LOW right graph fully bypassed")
        << QByteArray("LMH 1: R Parametric EQ Unit") << 4096
        << QByteArray("LMH 1: Right PEQ Block Channel Parametric EQ Graph") << 4096 << true;

    // The two back ends that are net objects themselves.
    QTest::newRow("saves dialog recall") << QByteArray("Saves Dialog Backend NetObject") << 4097
                                         << QByteArray("Saves Manager NetObject") << 4097 << true;
    QTest::newRow("serial status") << QByteArray("Serial Connection Driver NetObject") << 4099
                                   << QByteArray("Serial Connection Backend NetObject") << 4099 << true;
    QTest::newRow("serial sync done") << QByteArray("Serial Connection Backend NetObject") << 4100
                                      << QByteArray("Serial Connection Driver NetObject") << 4100 << true;
}

void tst_BackendWiring::links_joinEachControlToItsUnitsParameter()
{
    QFETCH(QByteArray, unit);
    QFETCH(int, unitParam);
    QFETCH(QByteArray, control);
    QFETCH(int, controlParam);
    QFETCH(bool, bidirect);

    QVERIFY2(Object(unit.constData()) != nullptr, unit.constData());
    QVERIFY2(Object(control.constData()) != nullptr, control.constData());
    QVERIFY(Informs(unit.constData(), UWORD(unitParam), control.constData(), UWORD(controlParam)));
    QCOMPARE(Informs(control.constData(), UWORD(controlParam), unit.constData(), UWORD(unitParam)), bidirect);
}

void tst_BackendWiring::middleBands_haveNoTypeLink()
{
    for (const cLowMidHighPanelBackend* panel :
         {mRoot->backendLow(), mRoot->backendMid(), mRoot->backendHigh()})
    {
        for (const cPEQBlockBackend* block : {panel->peqBlockL(), panel->peqBlockR()})
        {
            const int bands = block->GetNumberOfBands();
            QCOMPARE(bands, int(panel->GetBandsPerSide()));
            const char* graph = block->peqDriver()->GetAudioObjectName();
            for (int b = 0; b < bands; ++b)
            {
                const bool outer = b == 0 || b == bands - 1;
                const QByteArray typeSwitch =
                    block->bands()->at(b)->bandTypeSwitchDriver()->netObjectName().toLocal8Bit();
                const UWORD graphType =
                    cPEQNetObject2::EntryPoint(cPEQNetObject2::ITEM_TYPE, UBYTE(bands), UBYTE(b));
                QVERIFY2(InformCount(typeSwitch.constData(), 4096) == (outer ? 1 : 0),
                         typeSwitch.constData());
                QCOMPARE(InformCount(graph, graphType), outer ? 1 : 0);
                // Every other item of every band is linked.
                QCOMPARE(InformCount(graph, cPEQNetObject2::EntryPoint(cPEQNetObject2::ITEM_GAIN,
                                                                       UBYTE(bands), UBYTE(b))),
                         1);
            }
        }
    }
}

void tst_BackendWiring::qml_reachesEveryControlThroughApp_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("expected");

    QTest::newRow("version") << "_App.versionAndRevisionString"
                             << "V1.00";
    QTest::newRow("window scale") << "_App.windowHScale"
                                  << "1";
    QTest::newRow("panel types")
        << "[_App.backendLow.panelType, _App.backendMid.panelType, _App.backendHigh.panelType]"
        << "1,2,3";
    QTest::newRow("LOW slope list") << "_App.backendLow.slopeLF.descriptionsStringList.length + ' ' + "
                                       "_App.backendLow.slopeLF.currentDescription"
                                    << "1 12dB Butterworth";
    QTest::newRow("HIGH slope list") << "_App.backendHigh.slopeLF.descriptionsStringList.join('|')"
                                     << "12dB Butterworth|18dB Butterworth|24dB Butterworth|18dB Bessel";
    QTest::newRow("bands per block")
        << "[_App.backendLow.peqBlockR.bands.count, _App.backendMid.peqBlockR.bands.count, "
           "_App.backendHigh.peqBlockR.bands.count]"
        << "2,4,6";
    QTest::newRow("MID band names")
        << "_App.backendMid.peqBlockL.bands.get(1).frequencyDriver.netObjectName + '|' + "
           "_App.backendMid.peqBlockL.bands.get(2).gainDriver.netObjectName"
        << "LMH 2: Left PEQ BlockChannel PEQ LM Freq TFT Edit Box|LMH 2: Left PEQ BlockChannel PEQ HM Gain "
           "TFT Edit Box";
    // The units' fresh defaults, brought by the links.
    QTest::newRow("LOW band frequencies")
        << "[_App.backendLow.peqBlockL.bands.get(0).frequencyDriver.networkValue, "
           "_App.backendLow.peqBlockL.bands.get(1).frequencyDriver.networkValue]"
        << "29052,39616";
    QTest::newRow("band range from the unit")
        << "[_App.backendHigh.peqBlockR.bands.get(4).frequencyDriver.min, "
           "_App.backendHigh.peqBlockR.bands.get(4).frequencyDriver.max]"
        << "10699,56622";
    QTest::newRow("band gain, width, type")
        << "[_App.backendMid.peqBlockR.bands.get(3).gainDriver.networkValue, "
           "_App.backendMid.peqBlockR.bands.get(3).widthDriver.networkValue, "
           "_App.backendMid.peqBlockR.bands.get(3).bandTypeSwitchDriver.integerValue]"
        << "32768,3328,0";
    QTest::newRow("filters out")
        << "[_App.backendLow.bypassDriverLF.value, _App.backendHigh.bypassDriverLF.value]"
        << "true,true";
    QTest::newRow("HPF at 100 Hz") << "_App.backendMid.valueLF.networkValue"
                                   << "21398";
    QTest::newRow("faders off") << "_App.backendInOutFader.highR.faderDriver.networkValue"
                                << "0";
    QTest::newRow("input fader range") << "[_App.backendInOutFader.inputL.faderDriver.min, "
                                          "_App.backendInOutFader.inputR.faderDriver.max, "
                                          "_App.backendInOutFader.inputR.inputFader]"
                                       << "22528,32768,true";
    QTest::newRow("output fader range") << "[_App.backendInOutFader.midL.faderDriver.max, "
                                           "_App.backendMid.outFadersR.faderDriver.max, "
                                           "_App.backendMid.outFadersR.inputFader]"
                                        << "35840,35840,false";
    QTest::newRow("meter floor") << "[_App.backendInOutFader.lowR.meterDriver.value, "
                                    "_App.backendInOutFader.lowR.meterDriver.bottomOfMeter, "
                                    "_App.backendHigh.outFadersL.meterDriver.topOfMeter]"
                                 << "0,-10240,4608";
    QTest::newRow("delay range") << "_App.backendMid.delayR.max"
                                 << "23832";
    QTest::newRow("graph driver") << "_App.backendHigh.peqBlockL.peqDriver !== null"
                                  << "true";
    // The state reaches QML as the enumeration's value wrapped: == and a conversion to a number work
    // on it, === does not.
    QTest::newRow("serial connection")
        << "[+_App.backendSerialConnection.state, _App.backendSerialConnection.state == 0, "
           "_App.backendSerialConnection.connect, _App.backendSerialConnection.portNames.length]"
        << "0,true,false,0";
    QTest::newRow("saves dialog") << "_App.backendSavesDialog.operationSuccess"
                                  << "true";
}

void tst_BackendWiring::qml_reachesEveryControlThroughApp()
{
    QFETCH(QString, expression);
    QFETCH(QString, expected);

    cQmlWarningGuard guard;
    QQmlEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("_App"), mRoot);
    QQmlExpression evaluation(engine.rootContext(), nullptr, QString("String(%1)").arg(expression));
    const QVariant result = evaluation.evaluate();
    QVERIFY2(!evaluation.hasError(), qPrintable(evaluation.error().toString()));
    QCOMPARE(result.toString(), expected);
    QML_VERIFY_NO_WARNINGS(guard);
}

void tst_BackendWiring::peqBlock_badBandCountBandOrTypeSwitch_isReportedAndLinksNothing()
{
    cManualReportClock clock;
    cReportCapture reports;
    const ULONG requested = gSystemBuilder->GetRequestedCount();

    cPEQBlockBackend invalid(cPEQBlockBackend::eNumOfBands(3), "Test Invalid Block");
    QVERIFY(reports.Contains("NumberOfBands outside allowable values"));
    QVERIFY(invalid.peqDriver() == nullptr);
    QCOMPARE(invalid.bands()->count(), 0);
    QCOMPARE(invalid.bypassDriver()->netObjectName(),
             QString("Test Invalid Block Channel PEQ In Out Switch"));

    cPEQBlockBackend two(cPEQBlockBackend::TWO, "Test Two Block");
    QVERIFY(
        !two.LinkBandDriver(2, "LMH 1: L Parametric EQ Unit", 4109, 4110, 4111, 4112, std::nullopt, 4113));
    clock.mNow += 1000; // past the hold-back window of a repeated report
    QVERIFY(!invalid.LinkBandDriver(0, "LMH 1: L Parametric EQ Unit", 4099, 4100, 4101, 4102, 4097, 4103));
    QCOMPARE(reports.Count("Band number outside bandlist"), 2);
    QCOMPARE(gSystemBuilder->GetRequestedCount(), requested);

    // A band made without a type switch refuses a type link and makes the others.
    cPEQBandDrivers plain("Test Plain Block", "LF", 10699, 56622, false, nullptr);
    QVERIFY(plain.bandTypeSwitchDriver() == nullptr);
    QVERIFY(!plain.LinkBandDriver("LMH 1: L Parametric EQ Unit", 4099, 4100, 4101, 4102, 4097, 4103));
    QVERIFY(reports.Contains("The band has no type switch"));
    QCOMPARE(gSystemBuilder->GetRequestedCount(), requested + 5);
    QVERIFY(SettleLinks());

    invalid.UnlinkDrivers();
    two.UnlinkDrivers();
    plain.UnlinkBandDriver();
}

void tst_BackendWiring::graphAndValueBoxes_meetInTheUnit_withoutEcho()
{
    cPEQBlockBackend* block = mRoot->backendMid()->peqBlockL();
    cPEQDriver* graph = block->peqDriver();
    cPEQBandDrivers* band = block->bands()->at(3);
    const cParametricEQUnit* unit = mApplication->GetMid()->GetLeftEQDriver()->GetUnit();
    QSignalSpy graphFreq(graph, &cPEQDriver::FreqChanged);
    QSignalSpy graphGain(graph, &cPEQDriver::GainChanged);
    cMessagePump::Tick(); // every control object has recorded its driver's value

    // A drag on the graph reaches the unit and the band's value box, and nothing comes back.
    graph->WriteBandFreq(3, 50000);
    cMessagePump::Tick(3);
    QCOMPARE(unit->GetBand(3).mFrequencyCode, UWORD(50000));
    QCOMPARE(band->frequencyDriver()->networkValue(), 50000);
    QCOMPARE(graphFreq.count(), 0);

    // A value box at half its range is 0 dB; +2 dB reaches the unit and the graph once, as a gain.
    band->gainDriver()->setValue(0.5f);
    QCOMPARE(band->gainDriver()->networkValue(), 32768);
    band->gainDriver()->setNetworkValue(ConvertGainToUWORD(512));
    cMessagePump::Tick(3);
    QCOMPARE(unit->GetBand(3).mGain, SWORD(512));
    QCOMPARE(graphGain.count(), 1);
    QCOMPARE(graphGain.at(0), (QVariantList{3u, QVariant::fromValue(GAIN(512))}));
    QCOMPARE(graph->GetBandGain(3), GAIN(512));
}

QTEST_GUILESS_MAIN(tst_BackendWiring)
#include "tst_BackendWiring.moc"
