#include "AES-Standards/KVConversions.h"
#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/App/cSerialConnectDriver.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/BiquadSection.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cDelayDriver.h"
#include "CorvoGUI/Core/Units/cDelayUnit.h"
#include "CorvoGUI/Core/Units/cHPFDriver.h"
#include "CorvoGUI/Core/Units/cHPFUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLPFDriver.h"
#include "CorvoGUI/Core/Units/cLPFUnit.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cMeteringSources.h"
#include "CorvoGUI/Core/Units/cParametricEQDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQGangDriver.h"
#include "CorvoGUI/Core/Units/cParametricEQUnit.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"
#include "tests/CorvoGUI/Core/App/AppTestSupport.h"
#include "tests/CorvoGUI/Core/App/RunningProgram.h"
#include "tests/support/TestFiles.h"
#include "tests/support/cRecordingNetObject.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

using namespace nAppTest;

namespace
{

constexpr const char* kDriver = cSerialConnectDriver::NAME;
constexpr const char* kSaves = cSavesManager::NAME;
constexpr const char* kMeters = cMeteringSources::NAME;
constexpr const char* kInputLeftStrip = "InOutFader:Input L Control Strip Unit";
constexpr const char* kLowLeftEQ = "LMH 1: L Parametric EQ Unit";

constexpr qint64 kNonVolatileSize = 2 * 1024 * 1024;

QString NonVolatileFile()
{
    return QDir::homePath() + "/RE Zurov/CorvoGUI-V1.00/AppData/NonVolatile/NonVolatileRamFile";
}

QByteArray Native16(UWORD value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), 2);
}

// One non-volatile block of a unit, in construction order.
struct sBlock
{
    QString mUnit;
    const cNonVolatileBlock* mBlock;
    UWORD mStart;
    UWORD mEnd;
};

// Every unit's block, in the order the application builds the units.
QList<sBlock> BlocksInConstructionOrder(const cApplication& app)
{
    QList<sBlock> blocks;
    for (int i = 0; i < cInOutFader::NUMBER_OF_STRIPS; ++i)
    {
        blocks.append({QString::fromStdString(cInOutFader::StripName(i)),
                       &app.GetInOutFader()->GetUnit(i)->GetBlock(), cControlStripUnit::NV_START_MARKER,
                       cControlStripUnit::NV_END_MARKER});
    }
    for (const cLowMidHigh* panel : {app.GetLow(), app.GetMid(), app.GetHigh()})
    {
        const QString type = QString::number(int(panel->GetType()));
        blocks.append({type + " HPF", &panel->GetHPFDriver()->GetUnit()->GetBlock(), cHPFUnit::START_MARKER,
                       cHPFUnit::END_MARKER});
        if (panel->GetLPFDriver() != nullptr)
        {
            blocks.append({type + " LPF", &panel->GetLPFDriver()->GetUnit()->GetBlock(),
                           cLPFUnit::START_MARKER, cLPFUnit::END_MARKER});
        }
        blocks.append({type + " delay", &panel->GetDelayDriver()->GetUnit()->GetBlock(),
                       cDelayUnit::START_MARKER, cDelayUnit::END_MARKER});
        blocks.append({type + " left EQ", &panel->GetLeftEQDriver()->GetUnit()->GetBlock(),
                       cParametricEQUnit::START_MARKER, cParametricEQUnit::END_MARKER});
        blocks.append({type + " right EQ", &panel->GetRightEQDriver()->GetUnit()->GetBlock(),
                       cParametricEQUnit::START_MARKER, cParametricEQUnit::END_MARKER});
        blocks.append({type + " gang", &panel->GetGangDriver()->GetBlock(),
                       cParametricEQGangDriver::START_MARKER, cParametricEQGangDriver::END_MARKER});
    }
    return blocks;
}

// The device frame of a parametric EQ band as the unit holds it now (read under the registry lock).
QByteArray BandFrame(const cParametricEQDriver& driver, UBYTE band)
{
    cRegistryLocker lock;
    const sParametricEQBand settings = driver.GetUnit()->GetBand(band);
    const tBiquadWords words = driver.GetUnit()->GetBandWords(band);
    QByteArray payload = Little32(driver.GetFilterId(band));
    for (int index : {0, 3, 1, 4, 2}) // the device's order: b0, a1, b1, a2, b2
    {
        payload.append(Little32(ULONG(words[size_t(index)])));
    }
    payload.append(Little16(settings.mFrequencyCode));
    payload.append(Little16(settings.mWidthCode));
    payload.append(Little16(UWORD(settings.mGain)));
    payload.append(char(settings.mType));
    payload.append(char(settings.mOption));
    payload.append(char((driver.GetGang() ? 0x80 : 0) | (settings.mBypass ? 1 : 0)));
    return Frame(nSerialProtocol::CMD_FILTER, payload);
}

QList<QByteArray> FramesOf(const cSimulatedDevice& device, UBYTE command)
{
    QList<QByteArray> frames;
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        if (frame.mCommand == command)
        {
            frames.append(frame.mBytes);
        }
    }
    return frames;
}

// Posts a status request from the back end at most every 40 ms and tells whether the last answer
// was that state without an error.
class cStatusPoll
{
public:
    cStatusPoll(KV_NET_DATA_SCALE driver, cRecordingNetObject* backend)
        : mDriver(driver)
        , mBackend(backend)
    {
    }
    std::function<bool()> Is(eConnectionState state)
    {
        mTimer.invalidate();
        return [this, state]
        {
            if (!mTimer.isValid() || mTimer.elapsed() >= 40)
            {
                mTimer.start();
                Post(mDriver, cSerialConnectDriver::P_STATUS, QByteArray(), mBackend->GetHandle());
            }
            const QByteArray status = mBackend->LastPayload(cSerialConnectDriver::P_STATUS);
            return status.size() == 2 && UBYTE(status[0]) == state && status[1] == 0;
        };
    }

private:
    KV_NET_DATA_SCALE mDriver;
    cRecordingNetObject* mBackend;
    QElapsedTimer mTimer;
};

} // namespace

class tst_cApplication : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void wholeProgram_connectsSyncsSendsChangesMetersAndDisconnects();
    void wholeProgram_afterTheSyncTheDevicePlaysWhatTheWindowShows();
    void freshStart_laysOutEveryUnitsDefaultBlockInConstructionOrder();
    void restart_readsTheBlocksBackWithTheValuesChangedBeforeShutdown();
    void freshModel_savesA394ByteStreamAsA400ByteFile();
    void shutdownWhileConnected_stopsTheTickFirstAndClosesThePort();
    void lookObjects_areMadeOnceAndOutliveTheApplication();

private:
    QTemporaryDir mFolder;
};

void tst_cApplication::initTestCase()
{
    QVERIFY(mFolder.isValid());
    // Device links are named relative to the working directory (their names must fit 7 characters).
    QVERIFY(QDir::setCurrent(mFolder.path()));
}

void tst_cApplication::init()
{
    // Every test starts without data folders, as a first run does.
    QDir(QDir::homePath() + "/RE Zurov").removeRecursively();
}

void tst_cApplication::wholeProgram_connectsSyncsSendsChangesMetersAndDisconnects()
{
    cSimulatedDevice device;
    const QString portName = ShortPortName(1);
    QVERIFY(device.Open(portName));
    // The device's own state, which the model is to take at connection.
    cSimulatedDeviceModel& model = device.Model();
    model.mStrips[0].mGainCode = UWORD(-1536); // -6 dB
    const int lowLeftBand0 = cSimulatedDeviceModel::FilterIndex(cSimulatedDeviceModel::FilterId(0, 2));
    model.mFilters[size_t(lowLeftBand0)].mFrequencyCode = 36000;
    model.mFilters[size_t(lowLeftBand0)].mWidthCode = 0x0D00;
    model.mMeters = {2147483648u, 34035u, 0u, 34035u, 0u, 0u, 0u, 0u};

    cRunningProgram program({DevicePort(portName)});
    cRecordingNetObject* backend = program.Make<cRecordingNetObject>("Test Serial Connection Backend", 5);
    cRecordingNetObject* savesBackend = program.Make<cRecordingNetObject>("Test Saves Dialog Backend", 3);
    cRecordingNetObject* fader = program.Make<cRecordingNetObject>("Test Input L Fader Widget", 1);
    cRecordingNetObject* bandGain = program.Make<cRecordingNetObject>("Test Low L Band 1 Gain", 1);
    cRecordingMeterDriver* inputLeft = program.Make<cRecordingMeterDriver>("Test Input L Meter Widget");
    cRecordingMeterDriver* inputRight = program.Make<cRecordingMeterDriver>("Test Input R Meter Widget");
    cRecordingMeterDriver* lowRight = program.Make<cRecordingMeterDriver>("Test Low R Meter Widget");

    // The links the back ends make.
    for (UWORD method = cSerialConnectDriver::P_CONNECT; method <= cSerialConnectDriver::P_STATUS; ++method)
    {
        program.Link(kDriver, method, backend->GetName(), method, true, true);
    }
    program.Link(backend->GetName(), cSerialConnectDriver::P_SYNC_DONE, kDriver,
                 cSerialConnectDriver::P_SYNC_DONE, false, true);
    program.Link(kSaves, cSavesManager::P_SYNC, savesBackend->GetName(), cSavesManager::P_SYNC, false, true);
    program.Link(kInputLeftStrip, cControlStripUnit::P_GAIN, fader->GetName(), PARAMETER_BASE, true, true);
    program.Link(kLowLeftEQ, cParametricEQUnit::GainParameter(0), bandGain->GetName(), PARAMETER_BASE, true,
                 true);
    program.Link(kMeters, cMeteringSources::P_INPUT_LEFT, "Test Input L Meter Widget", PARAMETER_BASE, false,
                 false);
    program.Link(kMeters, cMeteringSources::P_INPUT_RIGHT, "Test Input R Meter Widget", PARAMETER_BASE, false,
                 false);
    program.Link(kMeters, cMeteringSources::P_LOW_RIGHT, "Test Low R Meter Widget", PARAMETER_BASE, false,
                 false);
    QVERIFY(program.WaitForLinks());

    const KV_NET_DATA_SCALE driver = program.Handle(kDriver);
    const KV_NET_DATA_SCALE saves = program.Handle(kSaves);
    const QByteArray name = portName.toUtf8();
    cStatusPoll status(driver, backend);

    // The sync-ups of the links give the idle state and the port list.
    QVERIFY(
        Serve(&device, [&] { return backend->LastPayload(cSerialConnectDriver::P_PORT_LIST).size() == 9; }));
    QCOMPARE(backend->LastPayload(cSerialConnectDriver::P_CONNECT), QByteArray(1, '\0'));
    QCOMPARE(backend->LastPayload(cSerialConnectDriver::P_PORT_LIST), QByteArray(1, '\1') + Slot(name));
    QCOMPARE(fader->Value(0), UWORD(0)); // minus infinity: the model's default

    // Connect: the handshake reads the device's strips, delays and filter table.
    Post(driver, cSerialConnectDriver::P_CONNECT, ConnectRequest(true, name), backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_SYNCING)));
    QCOMPARE(device.Commands().mid(0, 4),
             (QList<std::uint8_t>{nSerialProtocol::CMD_VERSION, nSerialProtocol::CMD_CONTROL_STRIPS,
                                  nSerialProtocol::CMD_DELAYS, nSerialProtocol::CMD_FILTER_TABLE}));
    Post(driver, cSerialConnectDriver::P_VERSION, QByteArray(), backend->GetHandle());
    QVERIFY(Serve(&device,
                  [&] { return backend->LastPayload(cSerialConnectDriver::P_VERSION) == Slot("V1.2"); }));

    // The sync: the model takes the device's values; then the confirmation runs the link.
    Post(saves, cSavesManager::P_SYNC, QByteArray(), savesBackend->GetHandle());
    QVERIFY(Serve(&device,
                  [&] { return savesBackend->LastPayload(cSavesManager::P_SYNC) == QByteArray(1, '\1'); }));
    QVERIFY(Serve(&device, [&] { return fader->Value(0) == ConvertGainToUWORD(-1536); }));
    Post(driver, cSerialConnectDriver::P_SYNC_DONE, QByteArray(), backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_CONNECTED)));
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_CONTROL_STRIP), 0);
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_FILTER), 0);

    // A fader move reaches the device as one strip record: full scale (+12.04 dB, code 3082).
    device.ClearLog();
    {
        cRegistryLocker lock;
        fader->SetValue(0, ConvertGainToUWORD(3082));
        fader->SendValue(0);
    }
    QVERIFY(Serve(&device, [&] { return device.CountFrames(nSerialProtocol::CMD_CONTROL_STRIP) > 0; }));
    const QByteArray stripFrame =
        Frame(nSerialProtocol::CMD_CONTROL_STRIP,
              Little32(0) + Little32(0x7FFFFFFF) + Little32(3082) + Little32(0) + Little32(0));

    // A band's gain (+6 dB) reaches the device as that band's filter record, designed anew.
    const tBiquadWords wordsBefore = [&]
    {
        cRegistryLocker lock;
        return program.App().GetLow()->GetLeftEQDriver()->GetUnit()->GetBandWords(0);
    }();
    {
        cRegistryLocker lock;
        bandGain->SetValue(0, ConvertGainToUWORD(1536));
        bandGain->SendValue(0);
    }
    QVERIFY(Serve(&device, [&] { return device.CountFrames(nSerialProtocol::CMD_FILTER) > 0; }));
    Serve(
        &device, [] { return false; }, 200); // nothing else follows
    const cParametricEQDriver& lowLeft = *program.App().GetLow()->GetLeftEQDriver();
    {
        cRegistryLocker lock;
        const sParametricEQBand band = lowLeft.GetUnit()->GetBand(0);
        QCOMPARE(band.mGain, SWORD(1536));
        QCOMPARE(band.mFrequencyCode, UWORD(36000));
        QVERIFY(lowLeft.GetUnit()->GetBandWords(0) != wordsBefore);
    }
    QCOMPARE(FramesOf(device, nSerialProtocol::CMD_CONTROL_STRIP), QList<QByteArray>{stripFrame});
    QCOMPARE(FramesOf(device, nSerialProtocol::CMD_FILTER), QList<QByteArray>{BandFrame(lowLeft, 0)});
    QCOMPARE(device.ModelSnapshot().mFilters[size_t(lowLeftBand0)].mGainCode, UWORD(1536));

    // Meters: the device's words become meter codes (level + 4608) at the meter objects.
    QVERIFY(Serve(&device, [&] { return inputLeft->Last() == 7690; }));
    QCOMPARE(inputRight->Last(), -29685 + 4608);
    QCOMPARE(lowRight->Last(), -32767 + 4608);
    device.Model().mMeters[0] = 1u << 30; // -6.02 dB: 3082 - 1541
    device.Model().mMeters[3] = 2147483648u;
    QVERIFY(Serve(&device, [&] { return inputLeft->Last() == 1541 + 4608 && lowRight->Last() == 4608; }));

    // Disconnect: the device gets the disconnect command and the meters fall to minus infinity.
    device.ClearLog();
    Post(driver, cSerialConnectDriver::P_CONNECT, ConnectRequest(false), backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_IDLE)));
    QCOMPARE(FramesOf(device, nSerialProtocol::CMD_DISCONNECT),
             QList<QByteArray>{Frame(nSerialProtocol::CMD_DISCONNECT, QByteArray())});
    QVERIFY(Serve(&device,
                  [&] { return inputLeft->Last() == -32767 + 4608 && lowRight->Last() == -32767 + 4608; }));
    QCOMPARE(inputRight->Last(), -32767 + 4608);

    program.Stop();
}

// A device whose records hold what the window cannot show (a bypassed band, a low-pass type on the
// first band, a gain of 0x8000): the sync shows what it can, and once the confirmation runs the link
// those records go to the device as the window shows them, and nothing else does.
void tst_cApplication::wholeProgram_afterTheSyncTheDevicePlaysWhatTheWindowShows()
{
    cSimulatedDevice device;
    const QString portName = ShortPortName(3);
    QVERIFY(device.Open(portName));
    cSimulatedDeviceModel& model = device.Model();
    const auto lowLeft = [&](int slot) -> cSimulatedDeviceModel::sFilterRecord&
    {
        return model
            .mFilters[size_t(cSimulatedDeviceModel::FilterIndex(cSimulatedDeviceModel::FilterId(0, slot)))];
    };
    lowLeft(2).mFilterType = nPEQ::LPASS;
    lowLeft(2).mGainCode = 0x8000;
    lowLeft(3).mBypass = 1;

    cRunningProgram program({DevicePort(portName)});
    cRecordingNetObject* backend = program.Make<cRecordingNetObject>("Test Serial Connection Backend", 5);
    cRecordingNetObject* savesBackend = program.Make<cRecordingNetObject>("Test Saves Dialog Backend", 3);
    program.Link(kDriver, cSerialConnectDriver::P_STATUS, backend->GetName(), cSerialConnectDriver::P_STATUS,
                 false, true);
    program.Link(backend->GetName(), cSerialConnectDriver::P_SYNC_DONE, kDriver,
                 cSerialConnectDriver::P_SYNC_DONE, false, true);
    program.Link(kSaves, cSavesManager::P_SYNC, savesBackend->GetName(), cSavesManager::P_SYNC, false, true);
    QVERIFY(program.WaitForLinks());
    const KV_NET_DATA_SCALE driver = program.Handle(kDriver);
    cStatusPoll status(driver, backend);

    Post(driver, cSerialConnectDriver::P_CONNECT, ConnectRequest(true, portName.toUtf8()),
         backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_SYNCING)));
    Post(program.Handle(kSaves), cSavesManager::P_SYNC, QByteArray(), savesBackend->GetHandle());
    QVERIFY(Serve(&device,
                  [&] { return savesBackend->LastPayload(cSavesManager::P_SYNC) == QByteArray(1, '\1'); }));
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_FILTER), 0);
    Post(driver, cSerialConnectDriver::P_SYNC_DONE, QByteArray(), backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_CONNECTED)));
    QVERIFY(Serve(&device, [&] { return device.CountFrames(nSerialProtocol::CMD_FILTER) >= 2; }));
    Serve(
        &device, [] { return false; }, 200); // nothing else follows

    const cParametricEQDriver& eq = *program.App().GetLow()->GetLeftEQDriver();
    {
        cRegistryLocker lock;
        QCOMPARE(eq.GetUnit()->GetBand(0).mType, ULONG(nPEQ::BELL));
        QCOMPARE(eq.GetUnit()->GetBand(0).mGain, GAIN(GAIN_MINUS_INFINITY));
        QVERIFY(!eq.GetUnit()->GetBand(1).mBypass);
    }
    QCOMPARE(FramesOf(device, nSerialProtocol::CMD_FILTER),
             (QList<QByteArray>{BandFrame(eq, 0), BandFrame(eq, 1)}));
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_CONTROL_STRIP), 0);
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_DELAY), 0);
    const cSimulatedDeviceModel now = device.ModelSnapshot();
    const auto record = [&](int slot)
    {
        return now
            .mFilters[size_t(cSimulatedDeviceModel::FilterIndex(cSimulatedDeviceModel::FilterId(0, slot)))];
    };
    QCOMPARE(int(record(2).mFilterType), int(nPEQ::BELL));
    QCOMPARE(int(record(2).mGainCode), 0x8001);
    QCOMPARE(int(record(3).mBypass), 0);

    program.Stop();
}

void tst_cApplication::freshStart_laysOutEveryUnitsDefaultBlockInConstructionOrder()
{
    struct sMarker
    {
        qint64 mOffset;
        UWORD mValue;
    };
    QList<sMarker> markers;
    qint64 used = 0;
    {
        cRunningProgram program;
        QCOMPARE(QFileInfo(NonVolatileFile()).size(), kNonVolatileSize);
        const cApplication& app = program.App();
        QVERIFY(app.GetNonVolatileStorage()->IsMapped());
        QCOMPARE(GetNonVolatileFilePath(), QDir::toNativeSeparators(NonVolatileFile()));

        // Packed in construction order from offset 0: the strips, then LOW, MID and HIGH.
        const UBYTE* start = app.GetNonVolatileStorage()->GetStartAddress();
        const QList<sBlock> blocks = BlocksInConstructionOrder(app);
        QCOMPARE(blocks.size(), 8 + 3 * 6);
        for (const sBlock& block : blocks)
        {
            QVERIFY2(block.mBlock->IsInStorage(), qPrintable(block.mUnit));
            QCOMPARE(block.mBlock->GetBlockAddress() - start, used);
            markers.append({used, block.mStart});
            used += qint64(block.mBlock->GetBlockSize());
            markers.append({used - 2, block.mEnd});
        }
        QCOMPARE(app.GetNonVolatileStorage()->GetUsedSize(), used);
    }

    const QByteArray file = ReadFile(NonVolatileFile());
    QCOMPARE(file.size(), int(kNonVolatileSize));
    for (const sMarker& marker : markers)
    {
        QVERIFY2(file.mid(int(marker.mOffset), 2) == Native16(marker.mValue),
                 qPrintable(QString("marker at %1").arg(marker.mOffset)));
    }
    QCOMPARE(file.mid(int(used)), QByteArray(int(kNonVolatileSize - used), '\0'));

    // The strips' defaults: unmuted, polarity off, gain minus infinity.
    const QByteArray stripDefault =
        Native16(0x5566) + QByteArray(2, '\0') + Native16(UWORD(-32767)) + Native16(0xFB05);
    for (int i = 0; i < cInOutFader::NUMBER_OF_STRIPS; ++i)
    {
        QCOMPARE(file.mid(8 * i, 8), stripDefault);
    }

    // The whole file equals what the units write as their defaults when built in that order on an
    // empty file of their own.
    QTemporaryDir folder;
    const QString reference = folder.filePath("Reference");
    StartSystem(0, true);
    {
        cNonVolatileStorageManager storage(reference, kNonVolatileSize, true, false);
        cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
        cInOutFader fader(&storage, &serial, nullptr);
        cLowMidHigh low(LOW, &storage, &serial, nullptr);
        cLowMidHigh mid(MID, &storage, &serial, nullptr);
        cLowMidHigh high(HIGH, &storage, &serial, nullptr);
        QCOMPARE(storage.GetUsedSize(), used);
    }
    DeleteSystem();
    QVERIFY(file == ReadFile(reference));
}

void tst_cApplication::restart_readsTheBlocksBackWithTheValuesChangedBeforeShutdown()
{
    const char* const strip = "InOutFader:R Control Strip Unit1";
    const char* const highRightEQ = "LMH 3: R Parametric EQ Unit";
    {
        cRunningProgram program;
        Post(program.Handle(strip), cControlStripUnit::P_GAIN, BigEndian16(ConvertGainToUWORD(-1536)));
        Post(program.Handle(strip), cControlStripUnit::P_MUTE, QByteArray(1, '\1'));
        Post(program.Handle(highRightEQ), cParametricEQUnit::FrequencyParameter(5), BigEndian16(41000));
        const cControlStripUnit* unit = program.App().GetInOutFader()->GetUnit(3);
        const cParametricEQUnit* eq = program.App().GetHigh()->GetRightEQDriver()->GetUnit();
        QVERIFY(Serve(nullptr,
                      [&]
                      {
                          cRegistryLocker lock;
                          return unit->GetGain() == -1536 && unit->GetMute() &&
                                 eq->GetBand(5).mFrequencyCode == 41000;
                      }));
    }
    const QByteArray first = ReadFile(NonVolatileFile());

    {
        cRunningProgram program;
        const cApplication& app = program.App();
        for (const sBlock& block : BlocksInConstructionOrder(app))
        {
            QVERIFY2(block.mBlock->HasValidMarkers(), qPrintable(block.mUnit));
        }
        cRegistryLocker lock;
        const cControlStripUnit* unit = app.GetInOutFader()->GetUnit(3);
        QCOMPARE(unit->GetGain(), GAIN(-1536));
        QVERIFY(unit->GetMute());
        QVERIFY(!app.GetInOutFader()->GetUnit(2)->GetMute());
        QCOMPARE(app.GetHigh()->GetRightEQDriver()->GetUnit()->GetBand(5).mFrequencyCode, UWORD(41000));
    }
    // Only coefficient words may differ: every start designs them again from the settings, and the
    // first start designed the untouched EQ bands with the defaults' own Q (a flat band either way).
    const QByteArray second = ReadFile(NonVolatileFile());
    QCOMPARE(second.size(), first.size());
    QCOMPARE(second.left(8 * cInOutFader::NUMBER_OF_STRIPS), first.left(8 * cInOutFader::NUMBER_OF_STRIPS));
    {
        cRunningProgram program;
    }
    QCOMPARE(ReadFile(NonVolatileFile()), second);
}

void tst_cApplication::freshModel_savesA394ByteStreamAsA400ByteFile()
{
    const QString path = mFolder.filePath("fresh.cfg");
    QFile::remove(path);
    {
        cRunningProgram program;
        cRecordingNetObject* dialog = program.Make<cRecordingNetObject>("Test Saves Dialog Backend", 3);
        program.Link(kSaves, cSavesManager::P_SAVE, dialog->GetName(), cSavesManager::P_SAVE, false, true);
        program.Link(kSaves, cSavesManager::P_RECALL, dialog->GetName(), cSavesManager::P_RECALL, false,
                     true);
        QVERIFY(program.WaitForLinks());
        const KV_NET_DATA_SCALE saves = program.Handle(kSaves);

        Post(saves, cSavesManager::P_SAVE, QFile::encodeName(path) + QByteArray(1, '\0'),
             dialog->GetHandle());
        QVERIFY(Serve(nullptr, [&] { return !dialog->LastPayload(cSavesManager::P_SAVE).isEmpty(); }));
        QCOMPARE(dialog->LastPayload(cSavesManager::P_SAVE), QByteArray(1, '\1'));

        Post(saves, cSavesManager::P_RECALL, QFile::encodeName(path) + QByteArray(1, '\0'),
             dialog->GetHandle());
        QVERIFY(Serve(nullptr, [&] { return !dialog->LastPayload(cSavesManager::P_RECALL).isEmpty(); }));
        QCOMPARE(dialog->LastPayload(cSavesManager::P_RECALL), QByteArray(1, '\1'));
    }
    QCOMPARE(QFileInfo(path).size(), qint64(400));

    // Deciphered: magic, version, the records, the trailer ending at byte 394, then the zero padding.
    QVERIFY(cSavesFileCipher::KeyCipher());
    QFile input(path);
    QVERIFY(input.open(QIODevice::ReadOnly));
    QTemporaryFile output;
    QVERIFY(output.open());
    QVERIFY(cSavesFileCipher::CipherData(input, output, false));
    output.seek(0);
    const QByteArray plain = output.readAll();
    QCOMPARE(plain.size(), 400);
    QCOMPARE(plain.left(3), QByteArray("\x88\x5B\x03", 3));
    QCOMPARE(plain.mid(392, 2), QByteArray("\xC2\xBA", 2));
    QCOMPARE(plain.mid(394), QByteArray(6, '\0'));
}

void tst_cApplication::shutdownWhileConnected_stopsTheTickFirstAndClosesThePort()
{
    cSimulatedDevice device;
    const QString portName = ShortPortName(2);
    QVERIFY(device.Open(portName));
    cRunningProgram program({DevicePort(portName)});
    const KV_NET_DATA_SCALE driver = program.Handle(kDriver);
    cRecordingNetObject* backend = program.Make<cRecordingNetObject>("Test Serial Connection Backend", 5);
    program.Link(kDriver, cSerialConnectDriver::P_STATUS, backend->GetName(), cSerialConnectDriver::P_STATUS,
                 false, true);
    QVERIFY(program.WaitForLinks());
    cStatusPoll status(driver, backend);
    Post(driver, cSerialConnectDriver::P_CONNECT, ConnectRequest(true, portName.toUtf8()),
         backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_SYNCING)));
    Post(driver, cSerialConnectDriver::P_SYNC_DONE, QByteArray(), backend->GetHandle());
    QVERIFY(Serve(&device, status.Is(CONNECTION_STATE_CONNECTED)));
    QVERIFY(Serve(&device, [&] { return device.CountFrames(nSerialProtocol::CMD_METERS) > 3; }));

    // Meters are polled on every tick until the program goes down; then nothing more is sent.
    program.Stop();
    const int polls = device.CountFrames(nSerialProtocol::CMD_METERS);
    Serve(
        &device, [] { return false; }, 100);
    QCOMPARE(device.CountFrames(nSerialProtocol::CMD_METERS), polls);

    // The port was closed (and its lock released): the next run connects to it again.
    cRunningProgram next({DevicePort(portName)});
    cRecordingNetObject* nextBackend = next.Make<cRecordingNetObject>("Test Serial Connection Backend", 5);
    next.Link(kDriver, cSerialConnectDriver::P_STATUS, nextBackend->GetName(), cSerialConnectDriver::P_STATUS,
              false, true);
    QVERIFY(next.WaitForLinks());
    cStatusPoll nextStatus(next.Handle(kDriver), nextBackend);
    Post(next.Handle(kDriver), cSerialConnectDriver::P_CONNECT, ConnectRequest(true, portName.toUtf8()),
         nextBackend->GetHandle());
    QVERIFY(Serve(&device, nextStatus.Is(CONNECTION_STATE_SYNCING)));
}

void tst_cApplication::lookObjects_areMadeOnceAndOutliveTheApplication()
{
    QPointer<cThemeColours> theme;
    QPointer<cQmlValueInterpreterSingleton> interpreter;
    cDrawingUtility* drawingUtility = nullptr;
    {
        cRunningProgram program;
        theme = gThemeColours;
        interpreter = gQmlValueInterpreterSingleton;
        drawingUtility = gDrawingUtility;
        QVERIFY(theme != nullptr);
        QVERIFY(interpreter != nullptr);
        QVERIFY(drawingUtility != nullptr);
    }
    QVERIFY2(theme != nullptr && interpreter != nullptr, "deleted with the application");
    {
        cRunningProgram program;
        QCOMPARE(gThemeColours, theme.data());
        QCOMPARE(gQmlValueInterpreterSingleton, interpreter.data());
        QCOMPARE(gDrawingUtility, drawingUtility);
    }
}

QTEST_GUILESS_MAIN(tst_cApplication)
#include "tst_cApplication.moc"
