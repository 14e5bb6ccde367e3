#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "tests/CorvoGUI/Core/Units/Strips/StripTestSupport.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nStripTest;
using sSettings = cControlStripUnit::sSettings;

Q_DECLARE_METATYPE(sSettings)

namespace
{

constexpr qint64 STORAGE_SIZE = 4096;
constexpr int BLOCK_SIZE = 8;

sSettings Settings(bool mute, bool polarity, int gain)
{
    sSettings settings;
    settings.mMute = mute;
    settings.mPolarity = polarity;
    settings.mGain = GAIN(gain);
    return settings;
}

void Apply(cControlStripUnit& unit, const sSettings& settings)
{
    PostUBYTE(unit.GetHandle(), cControlStripUnit::P_MUTE, settings.mMute ? 1 : 0);
    PostUBYTE(unit.GetHandle(), cControlStripUnit::P_POLARITY, settings.mPolarity ? 1 : 0);
    PostUWORD(unit.GetHandle(), cControlStripUnit::P_GAIN, GainCode(settings.mGain));
}

// The strips on one non-volatile RAM file, with a saves manager and an idle link.
struct sFaderOnFile
{
    explicit sFaderOnFile(const QString& file, cSerialInterface* serial = nullptr)
        : mStorage(file, STORAGE_SIZE, false, false)
        , mSerial(serial != nullptr ? serial : &mIdleSerial)
        , mFader(&mStorage, mSerial, &mSaves)
    {
    }
    cControlStripUnit& Unit(int index) { return *mFader.GetUnit(index); }
    const cControlStripDriver& Driver(int index) { return *mFader.GetStrip(index); }

    cNonVolatileStorageManager mStorage;
    cSerialInterface mIdleSerial{nullptr, std::make_unique<cFixedSerialPortList>()};
    cSerialInterface* mSerial;
    cSavesManager mSaves;
    cInOutFader mFader;
};

void VerifyDriverFollows(const cControlStripDriver& driver, const cControlStripUnit& unit)
{
    const sSettings settings = unit.GetSettings();
    QCOMPARE(driver.IsMuted(), settings.mMute);
    QCOMPARE(driver.GetDevicePolarity(), unit.DevicePolarity(settings.mPolarity));
    // The fader's gain is held while muted, current otherwise.
    QCOMPARE(settings.mMute ? driver.GetHeldGain() : driver.GetCurrentGain(), settings.mGain);
    if (settings.mMute)
    {
        QCOMPARE(driver.GetCurrentGain(), GAIN(GAIN_MINUS_INFINITY));
    }
}

QList<QByteArray> Payloads(const cRecordingNetObject& recorder, UWORD method)
{
    QList<QByteArray> payloads;
    for (const cRecordingNetObject::sReceived& received : recorder.Received())
    {
        if (received.mMethod == method)
        {
            payloads.append(received.mPayload);
        }
    }
    return payloads;
}

bool PatchFile(const QString& file, qint64 offset, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_ControlStripPersistence : public QObject
{
    Q_OBJECT

private slots:
    void nonVolatile_settingsSurviveRemappingTheFile();
    void nonVolatile_damagedBlockFallsBackAlone_data();
    void nonVolatile_damagedBlockFallsBackAlone();
    void save_writesMutePolarityGain();
    void saveRecall_restoresAndPublishesTheSavedSettings();
    void recall_cutRecordChangesNothing_data();
    void recall_cutRecordChangesNothing();
    void sync_takesTheDeviceRecordOnceItHasArrived_data();
    void sync_takesTheDeviceRecordOnceItHasArrived();
};

void tst_ControlStripPersistence::nonVolatile_settingsSurviveRemappingTheFile()
{
    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    const QString file = dir.filePath("NonVolatileRamFile");
    const sSettings first = Settings(true, false, 2482);
    const sSettings sixth = Settings(false, true, -10240);
    {
        sFaderOnFile rig(file);
        Apply(rig.Unit(0), first);
        Apply(rig.Unit(5), sixth);
        QCOMPARE(rig.mStorage.GetUsedSize(), qint64(cInOutFader::NUMBER_OF_STRIPS * BLOCK_SIZE));
    }
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.read(cInOutFader::NUMBER_OF_STRIPS * BLOCK_SIZE);
    QCOMPARE(bytes.mid(0, BLOCK_SIZE).toHex(' '), QByteArray("66 55 01 00 b2 09 05 fb"));
    QCOMPARE(bytes.mid(5 * BLOCK_SIZE, BLOCK_SIZE).toHex(' '), QByteArray("66 55 00 01 00 d8 05 fb"));
    QCOMPARE(bytes.mid(7 * BLOCK_SIZE, BLOCK_SIZE).toHex(' '), QByteArray("66 55 00 00 01 80 05 fb"));

    sFaderOnFile again(file);
    QVERIFY(again.Unit(0).GetSettings() == first);
    QVERIFY(again.Unit(5).GetSettings() == sixth);
    QVERIFY(again.Unit(3).GetSettings() == cControlStripUnit::DefaultSettings());
    for (int index : {0, 3, 5})
    {
        VerifyDriverFollows(again.Driver(index), again.Unit(index));
    }
}

void tst_ControlStripPersistence::nonVolatile_damagedBlockFallsBackAlone_data()
{
    QTest::addColumn<int>("offset"); // within strip 3's block
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<sSettings>("settings");
    QTest::addColumn<QString>("report");

    const sSettings defaults = cControlStripUnit::DefaultSettings();
    const QString reset =
        "Notification: Settings of InOutFader:R Control Strip Unit1 reset to their defaults: ";
    const QString mended = "Notification: Settings of InOutFader:R Control Strip Unit1 mended: ";
    const QString rest = ", out of its range; that setting takes its default, the others are kept";
    // Strip 3 holds unmuted, polarity on, +1 dB: a field outside its domain takes its default alone.
    QTest::newRow("wrong start marker") << 0 << QByteArray::fromHex("5566") << defaults
                                        << reset + "its non-volatile block did not carry its markers";
    QTest::newRow("wrong end marker") << 6 << QByteArray::fromHex("0000") << defaults
                                      << reset + "its non-volatile block did not carry its markers";
    QTest::newRow("mute byte not 0 or 1") << 2 << QByteArray::fromHex("07") << Settings(false, true, 256)
                                          << mended + "its non-volatile block held mute 7" + rest;
    QTest::newRow("polarity byte not 0 or 1") << 3 << QByteArray::fromHex("ff") << Settings(false, false, 256)
                                              << mended + "its non-volatile block held polarity 255" + rest;
    // -32768 stands for minus infinity (which is also the default).
    QTest::newRow("gain below minus infinity")
        << 4 << QByteArray::fromHex("0080") << Settings(false, true, GAIN_MINUS_INFINITY)
        << mended + "its non-volatile block held gain -32768 read as minus infinity, the others are kept";
}

void tst_ControlStripPersistence::nonVolatile_damagedBlockFallsBackAlone()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(sSettings, settings);
    QFETCH(QString, report);

    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    const QString file = dir.filePath("NonVolatileRamFile");
    const sSettings neighbour = Settings(true, false, 512);
    {
        sFaderOnFile rig(file);
        Apply(rig.Unit(3), Settings(false, true, 256));
        Apply(rig.Unit(4), neighbour);
    }
    QVERIFY(PatchFile(file, 3 * BLOCK_SIZE + offset, bytes));

    cReportCapture capture;
    sFaderOnFile again(file);
    QVERIFY(again.Unit(3).GetSettings() == settings);
    QVERIFY(again.Unit(4).GetSettings() == neighbour);
    VerifyDriverFollows(again.Driver(3), again.Unit(3));
    if (!report.isEmpty())
    {
        QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    }
    // The block holds its markers and clean fields again.
    const UBYTE* block = again.mStorage.GetStartAddress() + 3 * BLOCK_SIZE;
    QCOMPARE(nNonVolatile::Load<UWORD>(block), UWORD(0x5566));
    QCOMPARE(nNonVolatile::Load<UWORD>(block + 6), UWORD(0xFB05));
    QCOMPARE(int(block[2]), settings.mMute ? 1 : 0);
    QCOMPARE(int(block[3]), settings.mPolarity ? 1 : 0);
    QCOMPARE(nNonVolatile::Load<SWORD>(block + 4), SWORD(settings.mGain));
}

void tst_ControlStripPersistence::save_writesMutePolarityGain()
{
    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    sFaderOnFile rig(dir.filePath("NonVolatileRamFile"));
    Apply(rig.Unit(2), Settings(true, true, -512));

    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(cSavesManager::STREAM_VERSION);
    rig.Unit(2).SaveData(&stream);
    rig.Unit(7).SaveData(&stream);
    QCOMPARE(bytes.toHex(' '), QByteArray("01 01 fe 00 00 00 80 01"));
}

void tst_ControlStripPersistence::saveRecall_restoresAndPublishesTheSavedSettings()
{
    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    sFaderOnFile rig(dir.filePath("NonVolatileRamFile"));
    const QString saved = dir.filePath("strips.cfg");
    const sSettings kept = Settings(true, false, 1024);
    Apply(rig.Unit(0), kept);
    Apply(rig.Unit(6), Settings(false, true, -2560));
    QVERIFY(rig.mSaves.StartSave(saved));

    Apply(rig.Unit(6), Settings(true, true, 0));
    Apply(rig.Unit(1), Settings(false, true, 300));
    cRecordingNetObject linked("Linked", 4);
    LinkParameters(rig.Unit(6), linked.GetHandle());

    QVERIFY(rig.mSaves.StartRecall(saved));
    cMessagePump::Pump();
    QVERIFY(rig.Unit(0).GetSettings() == kept);
    QVERIFY(rig.Unit(6).GetSettings() == Settings(false, true, -2560));
    QVERIFY(rig.Unit(1).GetSettings() == cControlStripUnit::DefaultSettings());
    for (int index : {0, 1, 6})
    {
        VerifyDriverFollows(rig.Driver(index), rig.Unit(index));
    }
    // Only the values that changed are published.
    QCOMPARE(Payloads(linked, cControlStripUnit::P_MUTE), QList<QByteArray>{QByteArray::fromHex("00")});
    QCOMPARE(Payloads(linked, cControlStripUnit::P_GAIN), QList<QByteArray>{BigEndian16(GainCode(-2560))});
    QCOMPARE(int(linked.Received().size()), 2);
}

void tst_ControlStripPersistence::recall_cutRecordChangesNothing_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << 0;
    QTest::newRow("mute only") << 1;
    QTest::newRow("no gain") << 2;
    QTest::newRow("half the gain") << 3;
}

void tst_ControlStripPersistence::recall_cutRecordChangesNothing()
{
    QFETCH(int, length);
    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    sFaderOnFile rig(dir.filePath("NonVolatileRamFile"));
    const sSettings before = Settings(false, true, 700);
    Apply(rig.Unit(4), before);

    QByteArray bytes = QByteArray::fromHex("01000100").left(length);
    QDataStream stream(&bytes, QIODevice::ReadOnly);
    stream.setVersion(cSavesManager::STREAM_VERSION);
    cReportCapture capture;
    QVERIFY(!rig.Unit(4).RecallData(&stream));
    QVERIFY(capture.Contains("could not be read whole"));
    QVERIFY(rig.Unit(4).GetSettings() == before);
    VerifyDriverFollows(rig.Driver(4), rig.Unit(4));
}

void tst_ControlStripPersistence::sync_takesTheDeviceRecordOnceItHasArrived_data()
{
    QTest::addColumn<int>("strip");
    QTest::addColumn<int>("mute");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("polarity");
    QTest::addColumn<sSettings>("settings"); // polarity: the user's
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("report"); // in each error

    QTest::newRow("muted input") << 0 << 1 << 0x09B2 << 0 << Settings(true, false, 2482) << 0 << QString();
    QTest::newRow("input polarity") << 1 << 0 << 0x0000 << 1 << Settings(false, true, 0) << 0 << QString();
    QTest::newRow("output polarity off on the device is the user's on")
        << 2 << 0 << 0xD800 << 0 << Settings(false, true, -10240) << 0 << QString();
    QTest::newRow("output polarity on on the device is the user's off")
        << 7 << 1 << 0x8001 << 1 << Settings(true, false, -32767) << 0 << QString();
    QTest::newRow("other nonzero flags are set, as the device means them: no report")
        << 4 << 5 << 0x0100 << 3 << Settings(true, false, 256) << 0 << QString();
    QTest::newRow("the highest flags too")
        << 6 << 0xFFFF << 0x0100 << 0x8000 << Settings(true, false, 256) << 0 << QString();
    QTest::newRow("gain -32768 is minus infinity")
        << 5 << 0 << 0x8000 << 1 << Settings(false, false, -32767) << 1
        << QString("InOutFader:R Control Strip Unit2: gain -32768 from the device is out of range, taken as "
                   "minus infinity");
}

void tst_ControlStripPersistence::sync_takesTheDeviceRecordOnceItHasArrived()
{
    QFETCH(int, strip);
    QFETCH(int, mute);
    QFETCH(int, code);
    QFETCH(int, polarity);
    QFETCH(sSettings, settings);
    QFETCH(int, errors);
    QFETCH(QString, report);

    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    cSerialTestLink link;
    QVERIFY(link.Opened());
    cSimulatedDeviceModel::sControlStrip& record = link.Device().Model().mStrips[strip];
    record.mMute = std::uint16_t(mute);
    record.mGainCode = std::uint16_t(code);
    record.mPolarity = std::uint16_t(polarity);
    sFaderOnFile rig(dir.filePath("NonVolatileRamFile"), &link.Link());
    cRecordingNetObject linked("Linked", 4);
    LinkParameters(rig.Unit(strip), linked.GetHandle());

    // Before the device's block has arrived: skipped.
    QCOMPARE(rig.Unit(strip).SyncData(), SYNC_SKIPPED);
    rig.mSaves.SyncAll();
    cMessagePump::Pump();
    QVERIFY(rig.Unit(strip).GetSettings() == cControlStripUnit::DefaultSettings());
    QVERIFY(linked.Received().empty());

    link.Link().RequestConnect(link.PortName().toUtf8().constData());
    QVERIFY(link.TickUntil(CONNECTION_STATE_SYNCING));
    cReportCapture capture;
    rig.mSaves.SyncAll();
    cMessagePump::Pump();
    QCOMPARE(capture.Count("ERROR"), errors);
    QCOMPARE(capture.Count(report), errors);
    QVERIFY(rig.Unit(strip).GetSettings() == settings);
    VerifyDriverFollows(rig.Driver(strip), rig.Unit(strip));
    // Each value that changed is published once.
    const sSettings defaults = cControlStripUnit::DefaultSettings();
    const int changes = int(settings.mMute != defaults.mMute) +
                        int(settings.mPolarity != defaults.mPolarity) + int(settings.mGain != defaults.mGain);
    QCOMPARE(int(linked.Received().size()), changes);
    if (settings.mGain != defaults.mGain)
    {
        QCOMPARE(Payloads(linked, cControlStripUnit::P_GAIN),
                 QList<QByteArray>{BigEndian16(GainCode(settings.mGain))});
    }
    // A second sync changes nothing; no record is sent while syncing.
    QCOMPARE(rig.Unit(strip).SyncData(), SYNC_DONE);
    cMessagePump::Pump();
    QCOMPARE(int(linked.Received().size()), changes);
    QCOMPARE(link.Link().QueuedRecords(), std::size_t(0));
}

QTEST_GUILESS_MAIN(tst_ControlStripPersistence)
#include "tst_ControlStripPersistence.moc"
