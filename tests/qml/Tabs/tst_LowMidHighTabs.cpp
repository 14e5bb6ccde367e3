// The "Low", "Mid" and "High" tabs end to end: the whole program in process with its real window
// (run under Xvfb), driven by mouse events on the window, against the simulated device on a pty.
// The test functions run in order on one program: the defaults of a fresh home folder, then
// (connected) drags of the Low tab's band handles, the High tab's slope chooser, a reconnection to
// a device whose values changed meanwhile, and last the wait for an idle link that the others use.

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cLowMidHighPanelBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBandDrivers.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriver.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"
#include "QtGUIComponents/Common/cValueUnitStrings.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtListBoxBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/qml/Tabs/support/ProgramLink.h"
#include "tests/qml/Tabs/support/WindowItems.h"
#include "tests/qml/Tabs/support/sSentFilterRecord.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDir>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <set>

using nWindowItems::Find;

namespace
{

constexpr int kFrequencyMinimum = 10699; // 20 Hz, the graph's left edge
constexpr int kFrequencyMaximum = 56622; // 20 kHz, its right edge
constexpr int kGraphGainMaximum = 20;    // dB at the graph's top; -20 at the bottom
constexpr int kBandGainLimit = 3840;     // a band's gain range: +-15 dB in 1/256 dB
constexpr int kPEQSlot = 2;              // band b of a channel's EQ is its filter slot 2 + b
constexpr std::uint8_t kGangBit = 0x80;
constexpr std::int32_t kUnity = 0x3FFFFFFF; // 0.5: a coefficient of 1 at the filters' scale of 2
const QChar kThinSpace(0x2009);
const QStringList kPanels{QString(), QStringLiteral("lowPanel"), QStringLiteral("midPanel"),
                          QStringLiteral("highPanel")};

// What a value box shows for a value: number, thin space, unit.
QString Text(int value, cKVCCFormat::eKVCCType type, cKVCCFormat::eKVCCTypeDecimalPlaces places)
{
    const cValueUnitStrings texts = cKVCCFormat::InterpretValue(UWORD(value), 1.0, type, places, true);
    return texts.value() + kThinSpace + texts.units();
}

QString FrequencyText(int code)
{
    return Text(code, cKVCCFormat::FREQ_HZ, cKVCCFormat::ONE_DECIMAL_PLACE);
}

QString GainText(int code)
{
    return Text(code, cKVCCFormat::GAIN_OFFSET_DB, cKVCCFormat::ONE_DECIMAL_PLACE);
}

// The sections as sent: a second-order one has z^-2 terms, a first-order one none; a flat one (a
// bell at 0 dB) has b0 = 1 and its numerator equal to its denominator.
bool IsSecondOrder(const sSentFilterRecord& r)
{
    return r.mWords[sSentFilterRecord::WORD_B2] != 0 && r.mWords[sSentFilterRecord::WORD_A2] != 0;
}

bool IsFirstOrder(const sSentFilterRecord& r)
{
    return r.mWords[sSentFilterRecord::WORD_B2] == 0 && r.mWords[sSentFilterRecord::WORD_A2] == 0 &&
           r.mWords[sSentFilterRecord::WORD_A1] != 0;
}

bool IsFlat(const sSentFilterRecord& r)
{
    return r.mWords[sSentFilterRecord::WORD_B0] == kUnity &&
           r.mWords[sSentFilterRecord::WORD_B1] == -r.mWords[sSentFilterRecord::WORD_A1] &&
           r.mWords[sSentFilterRecord::WORD_B2] == -r.mWords[sSentFilterRecord::WORD_A2];
}

} // namespace

class tst_LowMidHighTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void freshHome_eachTabShowsItsDefaults_data();
    void freshHome_eachTabShowsItsDefaults();
    void lowBandHandleDrag_sendsThatBandsRecords_data();
    void lowBandHandleDrag_sendsThatBandsRecords();
    void highSlopeChooser_changesTheHighPassSectionsSent_data();
    void highSlopeChooser_changesTheHighPassSectionsSent();
    void reconnect_takesTheDevicesValuesAndShowsThem();
    void waitUntilIdle_waitsOutRecordsQueuedThroughALongEventLoopTurn();

private:
    QQuickWindow* Window() const { return mProgram->Window(); }
    QQuickItem* Item(int tab, const QStringList& path) const;
    bool ShowTab(int tab);
    cLowMidHighPanelBackend* Panel(int tab) const;
    // Connected with the device holding the program's model (once; later calls only check).
    bool EnsureConnected();
    // Clicks the panel's PEQ gang button until it is as wanted; the link is idle afterwards.
    bool SetPEQGang(int tab, bool on);
    // Drags with a press at the item's centre, moves in steps and a release at the end.
    void Drag(const QQuickItem* item, const QPoint& movement, int steps);

    QTemporaryDir mHome;
    std::unique_ptr<cQmlWarningGuard> mGuard;
    std::unique_ptr<cProgramUnderTest> mProgram;
    bool mConnected = false;
};

void tst_LowMidHighTabs::initTestCase()
{
    QVERIFY(mHome.isValid());
    qputenv("HOME", mHome.path().toLocal8Bit());
    QDir::setCurrent(mHome.path());
    QVERIFY2(QGuiApplication::platformName() == QStringLiteral("xcb"),
             "a real window: run under Xvfb with QT_QPA_PLATFORM=xcb");

    mGuard = std::make_unique<cQmlWarningGuard>();
    mProgram = std::make_unique<cProgramUnderTest>();
    QVERIFY(mProgram->Start());
    QVERIFY(QTest::qWaitForWindowExposed(Window()));
}

void tst_LowMidHighTabs::cleanup()
{
    // Each warning fails the test function during which it came, and only that one.
    const QStringList problems = mGuard->Problems();
    mGuard->Clear();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_LowMidHighTabs::cleanupTestCase()
{
    if (mProgram != nullptr && mConnected)
    {
        QVERIFY(mProgram->Disconnect());
    }
    mProgram.reset();
    QML_VERIFY_NO_WARNINGS(*mGuard);
    mGuard.reset();
}

QQuickItem* tst_LowMidHighTabs::Item(int tab, const QStringList& path) const
{
    return Find(Window(), QStringList{kPanels[tab]} + path);
}

bool tst_LowMidHighTabs::ShowTab(int tab)
{
    QQuickItem* tabBar = Find(Window(), {QStringLiteral("tabBar")});
    if (!nWindowItems::Click(Window(), Find(tabBar, QStringLiteral("tab%1").arg(tab))))
    {
        return false;
    }
    return tabBar->property("currentIndex").toInt() == tab && Item(tab, {})->isVisible();
}

cLowMidHighPanelBackend* tst_LowMidHighTabs::Panel(int tab) const
{
    cCorvoQmlBackend* root = mProgram->Backend();
    return tab == 1 ? root->backendLow() : tab == 2 ? root->backendMid() : root->backendHigh();
}

bool tst_LowMidHighTabs::EnsureConnected()
{
    if (!mConnected)
    {
        mConnected = nProgramLink::ConnectKeepingModel(*mProgram, mHome.path());
    }
    return mConnected;
}

bool tst_LowMidHighTabs::SetPEQGang(int tab, bool on)
{
    QQuickItem* gang = Item(tab, {QStringLiteral("peqGang")});
    if (nWindowItems::IsOn(gang) != on && !nWindowItems::Click(Window(), gang))
    {
        return false;
    }
    return cProgramUnderTest::WaitFor([gang, on] { return nWindowItems::IsOn(gang) == on; }, 2000) &&
           nProgramLink::WaitUntilIdle(*mProgram);
}

void tst_LowMidHighTabs::Drag(const QQuickItem* item, const QPoint& movement, int steps)
{
    const QPoint start = nWindowItems::Centre(item);
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, start);
    for (int step = 1; step <= steps; ++step)
    {
        QTest::mouseMove(Window(), start + movement * step / steps);
    }
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, start + movement);
}

void tst_LowMidHighTabs::freshHome_eachTabShowsItsDefaults_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("bandFrequencies");

    // A band starts in the middle of its frequency range: (lower + upper) / 2 of the panel's table.
    // (The boxes put a thin space between number and unit.)
    QTest::newRow("Low") << 1 << QStringList{"316 Hz", "1.55 kHz"};
    QTest::newRow("Mid") << 2 << QStringList{"63.2 Hz", "187 Hz", "1.58 kHz", "6.32 kHz"};
    QTest::newRow("High") << 3
                          << QStringList{"89.4 Hz", "89.4 Hz", "358 Hz", "358 Hz", "4.47 kHz", "4.47 kHz"};
}

void tst_LowMidHighTabs::freshHome_eachTabShowsItsDefaults()
{
    QFETCH(int, tab);
    QFETCH(QStringList, bandFrequencies);
    const bool high = tab == 3;

    QVERIFY(ShowTab(tab));
    QCOMPARE(nWindowItems::ShownText(Item(tab, {"hpfFrequency"})), QStringLiteral("100.0\u2009Hz"));
    QCOMPARE(nWindowItems::ShownText(Item(tab, {"hpfInOut"})), QStringLiteral("OUT"));
    // The High tab has a slope chooser and no low-pass filter; Low and Mid the other way round.
    QCOMPARE(Item(tab, {"slopeRow"})->isVisible(), high);
    QCOMPARE(Item(tab, {"lpfRow"})->isVisible(), !high);
    if (high)
    {
        QCOMPARE(nWindowItems::ShownText(Item(tab, {"slopeChooser"})), QStringLiteral("12dB Butterworth"));
    }
    else
    {
        QCOMPARE(nWindowItems::ShownText(Item(tab, {"lpfFrequency"})), QStringLiteral("100.0\u2009Hz"));
        QCOMPARE(nWindowItems::ShownText(Item(tab, {"lpfInOut"})), QStringLiteral("OUT"));
    }
    QCOMPARE(nWindowItems::ShownText(Item(tab, {"delayLeft"})), QStringLiteral("0.00\u2009\u00b5s"));
    QCOMPARE(nWindowItems::ShownText(Item(tab, {"delayRight"})), QStringLiteral("0.00\u2009\u00b5s"));
    QVERIFY(!nWindowItems::IsOn(Item(tab, {"delayGang"})));
    QVERIFY(!nWindowItems::IsOn(Item(tab, {"peqGang"})));

    for (const QString& block : {QStringLiteral("peqBlockLeft"), QStringLiteral("peqBlockRight")})
    {
        QVERIFY2(Item(tab, {block})->isVisible(), qPrintable(block));
        QCOMPARE(nWindowItems::ShownText(Item(tab, {block, "inOutButton"})), QStringLiteral("IN"));
        for (int band = 0; band < bandFrequencies.size(); ++band)
        {
            const QString b = QString::number(band);
            QCOMPARE(nWindowItems::ShownText(Item(tab, {block, "frequencyBox" + b})),
                     QString(bandFrequencies[band]).replace(' ', kThinSpace));
            QCOMPARE(nWindowItems::ShownText(Item(tab, {block, "gainBox" + b})),
                     QStringLiteral("0.0\u2009dB"));
            QVERIFY(Item(tab, {block, "widthBox" + b})->isVisible());
            QVERIFY(Item(tab, {block, "graph", "dragHandle" + b})->isVisible());
        }
        QVERIFY(Item(tab, {block, "frequencyBox" + QString::number(bandFrequencies.size())}) == nullptr);
    }
}

void tst_LowMidHighTabs::lowBandHandleDrag_sendsThatBandsRecords_data()
{
    QTest::addColumn<bool>("rightBlock");
    QTest::addColumn<int>("band");
    QTest::addColumn<bool>("ganged");
    QTest::addColumn<QPoint>("movement");

    QTest::newRow("left LF up and right") << false << 0 << false << QPoint(40, -30);
    QTest::newRow("left HF down and left") << false << 1 << false << QPoint(-50, 25);
    QTest::newRow("right LF") << true << 0 << false << QPoint(30, 20);
    QTest::newRow("ganged, left HF") << false << 1 << true << QPoint(35, -20);
}

void tst_LowMidHighTabs::lowBandHandleDrag_sendsThatBandsRecords()
{
    QFETCH(bool, rightBlock);
    QFETCH(int, band);
    QFETCH(bool, ganged);
    QFETCH(QPoint, movement);
    const int tab = 1;
    const QString blockName = rightBlock ? QStringLiteral("peqBlockRight") : QStringLiteral("peqBlockLeft");

    QVERIFY(EnsureConnected());
    QVERIFY(ShowTab(tab));
    QVERIFY(SetPEQGang(tab, ganged));
    // Ganged, the left block takes the whole width and the right one is hidden.
    QQuickItem* peqArea = Item(tab, {"peqArea"});
    QCOMPARE(Item(tab, {"peqBlockRight"})->isVisible(), !ganged);
    QCOMPARE(Item(tab, {"peqBlockLeft"})->width() > 0.9 * peqArea->width(), ganged);

    cPEQBlockBackend* block = rightBlock ? Panel(tab)->peqBlockR() : Panel(tab)->peqBlockL();
    const cPEQDriver* graphDriver = block->peqDriver();
    cPEQBandDrivers* drivers = block->bands()->at(band);
    const cPEQBandDrivers* other = block->bands()->at(1 - band);
    const int otherFrequency = other->frequencyDriver()->networkValue();
    const int startFrequency = drivers->frequencyDriver()->networkValue();
    const int startGain = drivers->gainDriver()->networkValue();
    QQuickItem* graph = Item(tab, {blockName, "graph"});
    QQuickItem* handle = Find(graph, QStringLiteral("dragHandle%1").arg(band));
    QVERIFY(handle != nullptr && handle->isVisible());

    // Where the move takes the handle's centre, and the codes the graph maps that point to.
    const QPointF centre = handle->mapToItem(graph, QPointF(handle->width() / 2, handle->height() / 2));
    const double width = std::trunc(graph->width());
    const double height = std::trunc(graph->height());
    const double x = std::round(centre.x() + movement.x());
    const double y = std::round(centre.y() + movement.y());
    const int expectedFrequency = qBound(
        kFrequencyMinimum, int((kFrequencyMaximum - kFrequencyMinimum) * x / width + kFrequencyMinimum),
        kFrequencyMaximum);
    const int expectedGain =
        qBound(-kBandGainLimit, int((kGraphGainMaximum - y / (height / 40.0)) * 256), kBandGainLimit);
    const double frequencyPerPixel = (kFrequencyMaximum - kFrequencyMinimum) / width;
    const double gainPerPixel = 256 * 40 / height;

    // A click on the handle moves nothing.
    mProgram->Device().ClearLog();
    QVERIFY(nWindowItems::Click(Window(), handle));
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    QCOMPARE(mProgram->Device().CountFrames(2), 0);
    QCOMPARE(int(graphDriver->GetBandFreq(UBYTE(band))), startFrequency);

    Drag(handle, movement, 8);

    // The graph has the band where the mouse left it, and the value boxes follow the unit.
    QVERIFY(std::abs(graphDriver->GetBandFreq(UBYTE(band)) - expectedFrequency) <= frequencyPerPixel + 1);
    QVERIFY(std::abs(graphDriver->GetBandGain(UBYTE(band)) - expectedGain) <= gainPerPixel + 1);
    const int frequency = graphDriver->GetBandFreq(UBYTE(band));
    const int gain = graphDriver->GetBandGain(UBYTE(band)) + 32768;
    QTRY_COMPARE(drivers->frequencyDriver()->networkValue(), frequency);
    QTRY_COMPARE(drivers->gainDriver()->networkValue(), gain);
    QVERIFY((frequency > startFrequency) == (movement.x() > 0));
    QVERIFY((gain > startGain) == (movement.y() < 0));
    const QString b = QString::number(band);
    QTRY_COMPARE(nWindowItems::ShownText(Item(tab, {blockName, "frequencyBox" + b})),
                 FrequencyText(frequency));
    QTRY_COMPARE(nWindowItems::ShownText(Item(tab, {blockName, "gainBox" + b})), GainText(gain));
    QCOMPARE(other->frequencyDriver()->networkValue(), otherFrequency);
    if (ganged)
    {
        // The hidden right block follows the left one.
        const cPEQBandDrivers* right = Panel(tab)->peqBlockR()->bands()->at(band);
        QTRY_COMPARE(right->frequencyDriver()->networkValue(), frequency);
        QTRY_COMPARE(right->gainDriver()->networkValue(), gain);
    }

    // The device gets that band's record on the block's channel, and on both when ganged.
    QList<int> channels;
    if (ganged || !rightBlock)
    {
        channels << 0;
    }
    if (ganged || rightBlock)
    {
        channels << 1;
    }
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    const QList<sSentFilterRecord> records = sSentFilterRecord::Received(mProgram->Device());
    std::set<std::uint32_t> expectedIds;
    for (int channel : channels)
    {
        expectedIds.insert(sSentFilterRecord::Id(channel, kPEQSlot + band));
    }
    for (const sSentFilterRecord& record : records)
    {
        QVERIFY2(expectedIds.count(record.mId) == 1, qPrintable(QString::number(record.mId, 16)));
    }
    sSentFilterRecord last[2];
    for (int i = 0; i < channels.size(); ++i)
    {
        QVERIFY(sSentFilterRecord::LastWithId(records, sSentFilterRecord::Id(channels[i], kPEQSlot + band),
                                              last[i]));
        QCOMPARE(int(last[i].mFrequencyCode), frequency);
        QCOMPARE(int(std::int16_t(last[i].mGainCode)), gain - 32768);
        QCOMPARE(int(last[i].mType), 0);
        QCOMPARE(bool(last[i].mBypass & kGangBit), ganged);
        QVERIFY(IsSecondOrder(last[i]));
    }
    if (ganged)
    {
        QVERIFY(last[0].mWords == last[1].mWords);
        QCOMPARE(last[0].mWidthCode, last[1].mWidthCode);
        // Un-ganged, every band goes to the device again without the gang bit.
        mProgram->Device().ClearLog();
        QVERIFY(SetPEQGang(tab, false));
        for (int channel = 0; channel < 2; ++channel)
        {
            for (int slot = kPEQSlot; slot < kPEQSlot + 2; ++slot)
            {
                sSentFilterRecord record;
                QVERIFY(sSentFilterRecord::LastWithId(sSentFilterRecord::Received(mProgram->Device()),
                                                      sSentFilterRecord::Id(channel, slot), record));
                QCOMPARE(int(record.mBypass & kGangBit), 0);
            }
        }
    }
}

void tst_LowMidHighTabs::highSlopeChooser_changesTheHighPassSectionsSent_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sent");

    QTest::newRow("24dB Butterworth") << 2 << "24dB Butterworth" << true;
    QTest::newRow("18dB Bessel") << 3 << "18dB Bessel" << true;
    QTest::newRow("18dB Butterworth") << 1 << "18dB Butterworth" << true;
    QTest::newRow("12dB Butterworth") << 0 << "12dB Butterworth" << true;
    QTest::newRow("the current entry again") << 0 << "12dB Butterworth" << false;
}

void tst_LowMidHighTabs::highSlopeChooser_changesTheHighPassSectionsSent()
{
    QFETCH(int, entry);
    QFETCH(QString, text);
    QFETCH(bool, sent);
    const int tab = 3;
    const int channels[] = {4, 5};

    QVERIFY(EnsureConnected());
    QVERIFY(ShowTab(tab));
    // In, so that the device gets the designed sections rather than the bypass.
    QQuickItem* inOut = Item(tab, {"hpfInOut"});
    if (nWindowItems::ShownText(inOut) != QStringLiteral("IN"))
    {
        QVERIFY(nWindowItems::Click(Window(), inOut));
        QTRY_COMPARE(nWindowItems::ShownText(inOut), QStringLiteral("IN"));
        QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    }

    QQuickItem* chooser = Item(tab, {"slopeChooser"});
    mProgram->Device().ClearLog();
    QVERIFY(nWindowItems::Click(Window(), chooser));
    QTRY_VERIFY(chooser->property("popupOpen").toBool());
    QQuickItem* item =
        nWindowItems::FindVisible(Window()->contentItem(), QStringLiteral("comboItem%1").arg(entry));
    QVERIFY(item != nullptr);
    // The popup's grid places its entries on the frame that first shows it.
    QTRY_VERIFY(item->parentItem() != nullptr && item->parentItem()->implicitWidth() > 0);
    QCOMPARE(nWindowItems::ShownText(item), text);
    QVERIFY(nWindowItems::Click(Window(), item));
    QTRY_VERIFY(!chooser->property("popupOpen").toBool());
    QCOMPARE(nWindowItems::ShownText(chooser), text);
    QCOMPARE(Panel(tab)->slopeLF()->currentIndex(), entry);

    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    const QList<sSentFilterRecord> records = sSentFilterRecord::Received(mProgram->Device());
    if (!sent)
    {
        QCOMPARE(records.size(), 0);
        return;
    }
    // Both sections, on both channels of the pair, with the slope as the filter type.
    QCOMPARE(records.size(), 4);
    sSentFilterRecord section[2][2];
    for (int c = 0; c < 2; ++c)
    {
        for (int s = 0; s < 2; ++s)
        {
            QVERIFY(
                sSentFilterRecord::LastWithId(records, sSentFilterRecord::Id(channels[c], s), section[c][s]));
            QCOMPARE(int(section[c][s].mType), entry);
            QCOMPARE(int(section[c][s].mBypass), 0);
            QCOMPARE(section[c][s].mFrequencyCode, section[0][0].mFrequencyCode);
        }
        QVERIFY(section[c][0].mWords == section[0][0].mWords);
        QVERIFY(section[c][1].mWords == section[0][1].mWords);
    }
    const sSentFilterRecord& first = section[0][0];
    const sSentFilterRecord& second = section[0][1];
    switch (entry)
    {
    case 0: // one second-order section; the second passes everything
        QVERIFY(IsSecondOrder(first));
        QVERIFY(IsFlat(second));
        break;
    case 1: // first order, then second order
    case 3:
        QVERIFY(IsFirstOrder(first));
        QVERIFY(IsSecondOrder(second) && !IsFlat(second));
        break;
    case 2: // two second-order sections
        QVERIFY(IsSecondOrder(first) && !IsFlat(first));
        QVERIFY(IsSecondOrder(second) && !IsFlat(second));
        QVERIFY(first.mWords != second.mWords);
        break;
    }
}

void tst_LowMidHighTabs::reconnect_takesTheDevicesValuesAndShowsThem()
{
    QVERIFY(EnsureConnected());
    QVERIFY(mProgram->Disconnect());

    // What the device holds now: filter table rows are channel 0's four filters (high-pass,
    // low-pass, two bands), channel 1's four, channel 2's six, channel 3's, channel 4's eight...
    const int oneKilohertz = 36707;
    const int sixDecibels = 6 * 256;
    mProgram->Device().UpdateModel(
        [&](cSimulatedDeviceModel& device)
        {
            device.mFilters[0].mFrequencyCode = std::uint16_t(oneKilohertz); // Low high-pass
            device.mFilters[0].mBypass = 0;
            device.mFilters[2].mFrequencyCode = std::uint16_t(oneKilohertz); // Low left LF band
            device.mFilters[2].mGainCode = std::uint16_t(sixDecibels);
            device.mDelays[0] = 192;                         // 2 ms at 96 kHz
            device.mDelays[1] = 48;                          // 500 us
            for (int row : {10, 11, 12, 13, 16, 17, 18, 19}) // Mid bands, both channels
            {
                device.mFilters[size_t(row)].mBypass |= kGangBit;
            }
            for (int row : {20, 21, 28, 29}) // High high-pass sections
            {
                device.mFilters[size_t(row)].mFilterType = 3;
            }
        });
    mProgram->Device().ClearLog();
    QVERIFY(mProgram->Connect());

    QVERIFY(ShowTab(1));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"hpfFrequency"})), QStringLiteral("1.00\u2009kHz"));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"hpfInOut"})), QStringLiteral("IN"));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"delayLeft"})), QStringLiteral("2.00\u2009ms"));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"delayRight"})), QStringLiteral("500\u2009\u00b5s"));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"peqBlockLeft", "frequencyBox0"})),
                 QStringLiteral("1.00\u2009kHz"));
    QTRY_COMPARE(nWindowItems::ShownText(Item(1, {"peqBlockLeft", "gainBox0"})),
                 QStringLiteral("6.0\u2009dB"));
    // The graph's handle sits on the new frequency and gain.
    QQuickItem* graph = Item(1, {"peqBlockLeft", "graph"});
    QQuickItem* handle = Find(graph, QStringLiteral("dragHandle0"));
    const QPointF expected(graph->width() * (oneKilohertz - kFrequencyMinimum) /
                               (kFrequencyMaximum - kFrequencyMinimum),
                           graph->height() * (kGraphGainMaximum - 6) / (2.0 * kGraphGainMaximum));
    QTRY_VERIFY(QLineF(handle->mapToItem(graph, QPointF(handle->width() / 2, handle->height() / 2)), expected)
                    .length() < 1.0);

    QVERIFY(ShowTab(2));
    QTRY_VERIFY(nWindowItems::IsOn(Item(2, {"peqGang"})));
    QTRY_VERIFY(!Item(2, {"peqBlockRight"})->isVisible());

    QVERIFY(ShowTab(3));
    QTRY_COMPARE(nWindowItems::ShownText(Item(3, {"slopeChooser"})), QStringLiteral("18dB Bessel"));

    // The device keeps its values: what the program sends after the sync carries them.
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    const cSimulatedDeviceModel device = mProgram->Device().ModelSnapshot();
    QCOMPARE(int(device.mFilters[0].mFrequencyCode), oneKilohertz);
    QCOMPARE(int(device.mFilters[0].mBypass), 0);
    QCOMPARE(int(device.mFilters[2].mFrequencyCode), oneKilohertz);
    QCOMPARE(int(device.mFilters[2].mGainCode), sixDecibels);
    QCOMPARE(device.mDelays[0], 192u);
    QCOMPARE(device.mDelays[1], 48u);
    QCOMPARE(int(device.mFilters[20].mFilterType), 3);
    QCOMPARE(int(device.mFilters[10].mBypass & kGangBit), int(kGangBit));
}

// The idle link the functions above wait for before they clear the device's log: a turn of the event
// loop that outlasts the quiet time (as the values a recall announces take in a loaded sanitizer
// build) must not pass for quiet while records wait to be sent.
void tst_LowMidHighTabs::waitUntilIdle_waitsOutRecordsQueuedThroughALongEventLoopTurn()
{
    const int channelFilters[] = {4, 4, 6, 6, 8, 8};
    QVERIFY(EnsureConnected());
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    cSerialInterface* link = mProgram->Session()->GetApplication()->GetSerialInterface();
    const cSimulatedDeviceModel device = mProgram->Device().ModelSnapshot();
    mProgram->Device().ClearLog();

    // Every filter again as the device holds it: 36 records, which the link sends one per 20 ms step.
    for (int channel = 0; channel < 6; ++channel)
    {
        for (int slot = 0; slot < channelFilters[channel]; ++slot)
        {
            const cSimulatedDeviceModel::sFilterRecord record = device.Filter(channel, slot);
            QVERIFY(link->QueueFilter(sSentFilterRecord::Id(channel, slot),
                                      reinterpret_cast<const UBYTE*>(record.mCoefficients.constData()),
                                      UBYTE(record.mCoefficients.size()), record.mFrequencyCode,
                                      record.mWidthCode, record.mGainCode, UBYTE(record.mFilterType),
                                      UBYTE(record.mBandOption), UBYTE(record.mBypass)));
        }
    }
    QTimer::singleShot(0, [] { QThread::msleep(400); });
    QVERIFY(nProgramLink::WaitUntilIdle(*mProgram));
    QCOMPARE(link->QueuedRecords(), std::size_t(0));
    QCOMPARE(mProgram->Device().CountFrames(2), cSimulatedDeviceModel::FILTER_RECORDS);
    QVERIFY(mProgram->Device().ModelSnapshot().mFilters == device.mFilters);
}

int main(int argc, char** argv)
{
    cProgramUnderTest::PrepareProcess();
    QGuiApplication application(argc, argv);
    tst_LowMidHighTabs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LowMidHighTabs.moc"
