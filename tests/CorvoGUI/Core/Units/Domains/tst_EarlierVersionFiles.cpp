#include "AES-Standards/KVConversions.h"
#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
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
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/simulator/cFixedSerialPortList.h"
#include "tests/support/TestFiles.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/sWholeModel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

namespace
{

using P = cParametricEQUnit;

constexpr qint64 kNonVolatileSize = 0x10000;
constexpr int kStreamVersion = 19;
constexpr int kHeaderSize = 3; // qint16 magic, qint8 version

// A gain the earlier version stored where the device reported 0x8000.
enum eGainField
{
    LOW_LEFT_BAND_1,   // 2 bands
    HIGH_RIGHT_BAND_5, // 6 bands
    EVERY_BAND,        // every band of the six PEQ units, as a device reporting 0x8000 everywhere left them
    INPUT_LEFT_STRIP,
};

// The whole device model, built in the program's order on a non-volatile RAM file, with no device.
struct sModel : sWholeModel
{
    explicit sModel(const QString& path)
        : sWholeModel(path, kNonVolatileSize, false)
    {
        SettleLinks();
    }
    // The save objects in the saves file's order.
    std::vector<cSaveObject*> Objects() const
    {
        std::vector<cSaveObject*> objects;
        for (int strip = 0; strip < cInOutFader::NUMBER_OF_STRIPS; ++strip)
        {
            objects.push_back(mFader.GetUnit(strip));
        }
        for (const cLowMidHigh* panel : {&mLow, &mMid, &mHigh})
        {
            objects.push_back(panel->GetHPFDriver()->GetUnit());
            objects.push_back(panel->GetLPFDriver()->GetUnit());
            objects.push_back(panel->GetDelayDriver()->GetUnit());
            objects.push_back(panel->GetLeftEQDriver()->GetUnit());
            objects.push_back(panel->GetRightEQDriver()->GetUnit());
            objects.push_back(panel->GetGangDriver());
        }
        return objects;
    }
    QByteArray Records() const
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(kStreamVersion);
        for (cSaveObject* object : Objects())
        {
            object->SaveData(&stream);
        }
        return bytes;
    }
    // Offset of the object's record in the plain saves stream.
    int RecordOffset(const cSaveObject* of) const
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(kStreamVersion);
        for (cSaveObject* object : Objects())
        {
            if (object == of)
            {
                break;
            }
            object->SaveData(&stream);
        }
        return kHeaderSize + bytes.size();
    }
    std::vector<cParametricEQUnit*> EqUnits() const
    {
        std::vector<cParametricEQUnit*> units;
        for (const cLowMidHigh* panel : {&mLow, &mMid, &mHigh})
        {
            units.push_back(panel->GetLeftEQDriver()->GetUnit());
            units.push_back(panel->GetRightEQDriver()->GetUnit());
        }
        return units;
    }
};

// A gain field of the model: where it is in the saves stream and in the non-volatile RAM file.
struct sGainPlace
{
    int mRecordOffset = 0;
    int mBlockOffset = 0; // from the start of the non-volatile RAM file
    QString mUnit;
};

// The places of one band's gain: in the PEQ record after the bool bypass, 12 bytes a band (qint16
// frequency, width, gain, ...); in the block after the marker, the u8 bypass, the frequencies and the
// widths.
sGainPlace BandGain(const sModel& model, const cParametricEQUnit& unit, int band)
{
    const int bands = unit.GetNumberOfBands();
    sGainPlace place;
    place.mRecordOffset = model.RecordOffset(&unit) + 1 + 12 * band + 4;
    place.mBlockOffset = int(unit.GetBlock().GetBlockAddress() - model.mStorage.GetStartAddress()) + 2 + 1 +
                         4 * bands + 2 * band;
    place.mUnit = unit.GetName();
    return place;
}

std::vector<sGainPlace> Places(const sModel& model, eGainField field)
{
    switch (field)
    {
    case LOW_LEFT_BAND_1:
        return {BandGain(model, *model.mLow.GetLeftEQDriver()->GetUnit(), 1)};
    case HIGH_RIGHT_BAND_5:
        return {BandGain(model, *model.mHigh.GetRightEQDriver()->GetUnit(), 5)};
    case EVERY_BAND:
    {
        std::vector<sGainPlace> places;
        for (const cParametricEQUnit* unit : model.EqUnits())
        {
            for (int band = 0; band < unit->GetNumberOfBands(); ++band)
            {
                places.push_back(BandGain(model, *unit, band));
            }
        }
        return places;
    }
    case INPUT_LEFT_STRIP:
        break;
    }
    // The strip's record: bool mute, bool polarity, qint16 gain; its block: marker, u8 mute, u8
    // polarity, s16 gain.
    const cControlStripUnit& strip = *model.mFader.GetUnit(0);
    sGainPlace place;
    place.mRecordOffset = model.RecordOffset(&strip) + 2;
    place.mBlockOffset = int(strip.GetBlock().GetBlockAddress() - model.mStorage.GetStartAddress()) + 4;
    place.mUnit = strip.GetName();
    return {place};
}

// The settings of one place set to minus infinity by message, as today's version stores them.
void SetMinusInfinity(const sModel& model, eGainField field)
{
    switch (field)
    {
    case LOW_LEFT_BAND_1:
        SendParameter(*model.mLow.GetLeftEQDriver()->GetUnit(), P::GainParameter(1), UWORDPayload(0));
        break;
    case HIGH_RIGHT_BAND_5:
        SendParameter(*model.mHigh.GetRightEQDriver()->GetUnit(), P::GainParameter(5), UWORDPayload(0));
        break;
    case EVERY_BAND:
        for (const cParametricEQUnit* unit : model.EqUnits())
        {
            for (int band = 0; band < unit->GetNumberOfBands(); ++band)
            {
                SendParameter(*unit, P::GainParameter(band), UWORDPayload(0));
            }
        }
        break;
    case INPUT_LEFT_STRIP:
        SendParameter(*model.mFader.GetUnit(0), cControlStripUnit::P_GAIN, UWORDPayload(0));
        break;
    }
    SettleLinks();
}

// The user's own settings beside the gains: a low shelf at 519 Hz, +8.1 dB, on LOW left band 0, and
// +2 dB on the input strips.
void SetUsersSettings(const sModel& model)
{
    cParametricEQUnit& lowLeft = *model.mLow.GetLeftEQDriver()->GetUnit();
    SendParameter(lowLeft, P::P_FIRST_TYPE, UBYTEPayload(nPEQ::LFSHELF));
    SendParameter(lowLeft, P::FrequencyParameter(0), UWORDPayload(32346));
    SendParameter(lowLeft, P::GainParameter(0), UWORDPayload(32768 + 2074));
    SendParameter(*model.mFader.GetUnit(1), cControlStripUnit::P_GAIN, UWORDPayload(32768 + 512));
    SettleLinks();
}

// Every gain of the places back to 0 dB, so that a recall has to set them.
void SetZeroDecibels(const sModel& model, eGainField field)
{
    for (cParametricEQUnit* unit : model.EqUnits())
    {
        for (int band = 0; band < unit->GetNumberOfBands(); ++band)
        {
            SendParameter(*unit, P::GainParameter(band), UWORDPayload(32768));
        }
    }
    if (field == INPUT_LEFT_STRIP)
    {
        SendParameter(*model.mFader.GetUnit(0), cControlStripUnit::P_GAIN, UWORDPayload(32768));
    }
    SettleLinks();
}

QByteArray Enciphered(const QByteArray& plain, const QString& scratch)
{
    QFile in(scratch);
    QByteArray out;
    if (!WriteFile(scratch, plain) || !in.open(QIODevice::ReadOnly))
    {
        return out;
    }
    QFile target(scratch + ".cfg");
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !cSavesFileCipher::CipherData(in, target, true))
    {
        return out;
    }
    target.close();
    return ReadFile(target.fileName());
}

} // namespace

Q_DECLARE_METATYPE(eGainField)

// Files written by the earlier version, which took a band gain of 0x8000 from the device as it came
// (one below minus infinity), showed it as "-Inf" and stored it in the non-volatile RAM file and in
// every saves file: they load as the model they were, minus infinity where the window showed "-Inf".
class tst_EarlierVersionFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mFolder.isValid()); }
    void init()
    {
        mSystem = std::make_unique<cScopedKVNetSystem>();
        QFile::remove(NonVolatilePath());
    }
    void cleanup()
    {
        Stop();
        mSystem.reset();
    }

    void earlierSavesFile_recallsMinusInfinity_data();
    void earlierSavesFile_recallsMinusInfinity();
    void earlierNonVolatileFile_readsMinusInfinity_data();
    void earlierNonVolatileFile_readsMinusInfinity();

private:
    QString NonVolatilePath() const { return mFolder.filePath("NonVolatileRamFile"); }
    void Start() { mModel = std::make_unique<sModel>(NonVolatilePath()); }
    void Stop()
    {
        mModel.reset();
        if (gSystemBuilder != nullptr)
        {
            gSystemBuilder->ClearLinkList();
        }
        cMessagePump::Pump();
    }
    // The model is saved and recalled (result 1 both) and stays as it was.
    void VerifySavedAndRecalledAgain()
    {
        const QString file = mFolder.filePath("again.cfg");
        const QByteArray records = mModel->Records();
        QVERIFY(mModel->mSaves.StartSave(file));
        SetZeroDecibels(*mModel, INPUT_LEFT_STRIP);
        cReportCapture capture;
        QVERIFY(mModel->mSaves.StartRecall(file));
        QVERIFY(mModel->mSaves.LastRecallValid());
        SettleLinks();
        QCOMPARE(mModel->Records().toHex(), records.toHex());
        QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
    }
    void AddRows()
    {
        QTest::addColumn<eGainField>("field");
        QTest::addColumn<QString>("said"); // the one notification, after its "<kind> <name>"
        QTest::newRow("LOW left band 1") << LOW_LEFT_BAND_1 << "LMH 1: L Parametric EQ Unit";
        QTest::newRow("HIGH right band 5") << HIGH_RIGHT_BAND_5 << "LMH 3: R Parametric EQ Unit";
        QTest::newRow("every band of every PEQ unit") << EVERY_BAND << "LMH 3: R Parametric EQ Unit";
        QTest::newRow("input strip") << INPUT_LEFT_STRIP << "InOutFader:Input L Control Strip Unit";
    }

    QTemporaryDir mFolder;
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<sModel> mModel;
};

void tst_EarlierVersionFiles::earlierSavesFile_recallsMinusInfinity_data()
{
    AddRows();
}

void tst_EarlierVersionFiles::earlierSavesFile_recallsMinusInfinity()
{
    QFETCH(eGainField, field);
    QFETCH(QString, said);

    // Today's version saves minus infinity as -32767; the earlier version's file held -32768 there.
    Start();
    SetUsersSettings(*mModel);
    SetMinusInfinity(*mModel, field);
    const QByteArray records = mModel->Records();
    const QString today = mFolder.filePath("today.cfg");
    QVERIFY(mModel->mSaves.StartSave(today));
    QByteArray plain = ReadFile(today);
    QVERIFY(cSavesFileCipher::DecipherBytes(plain));
    const std::vector<sGainPlace> places = Places(*mModel, field);
    for (const sGainPlace& place : places)
    {
        QCOMPARE(plain.mid(place.mRecordOffset, 2).toHex(), QByteArray("8001"));
        plain[place.mRecordOffset + 1] = '\0';
    }
    const QString earlier = mFolder.filePath("earlier.cfg");
    QVERIFY(WriteFile(earlier, Enciphered(plain, mFolder.filePath("plain"))));

    SetZeroDecibels(*mModel, field);
    cRecordingNetObject window("Window", 1);
    mModel->mLow.GetLeftEQDriver()->GetUnit()->AddObjectToInformList(
        KV_NET_LOCAL_CONNECTION, window.GetHandle(), PARAMETER_BASE, P::GainParameter(1), 0, 0, false);
    cReportCapture capture;
    QVERIFY(mModel->mSaves.StartRecall(earlier));
    QVERIFY(mModel->mSaves.LastRecallValid());
    SettleLinks();
    // The model the file was saved from, minus infinity where the window showed "-Inf".
    QCOMPARE(mModel->Records().toHex(), records.toHex());
    if (field == LOW_LEFT_BAND_1 || field == EVERY_BAND)
    {
        QCOMPARE(mModel->mLow.GetLeftEQDriver()->GetUnit()->GetBand(1).mGain, GAIN(GAIN_MINUS_INFINITY));
        const QList<QByteArray> shown = Payloads(window, PARAMETER_BASE);
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown.last(), UWORDPayload(0)); // the window's "-Inf"
    }
    // Said once for the file, as no failure.
    QVERIFY2(!capture.Contains("ERROR: "), qPrintable(capture.Lines().join("")));
    QCOMPARE(capture.Count("Notification: "), 1);
    const QString name = field == INPUT_LEFT_STRIP ? "gain" : "band gain";
    QVERIFY2(capture.Contains(
                 QStringLiteral("Recalled %1: %2 -32768 read as minus infinity (").arg(earlier, name)),
             qPrintable(capture.Lines().join("")));
    QVERIFY(capture.Contains(said + ")"));

    VerifySavedAndRecalledAgain();
}

void tst_EarlierVersionFiles::earlierNonVolatileFile_readsMinusInfinity_data()
{
    AddRows();
}

void tst_EarlierVersionFiles::earlierNonVolatileFile_readsMinusInfinity()
{
    QFETCH(eGainField, field);
    QFETCH(QString, said);

    Start();
    SetUsersSettings(*mModel);
    SetMinusInfinity(*mModel, field);
    const QByteArray records = mModel->Records();
    const std::vector<sGainPlace> places = Places(*mModel, field);
    Stop();

    // The earlier version's file: -32768 where today's holds -32767.
    {
        cNonVolatileStorageManager storage(NonVolatilePath(), kNonVolatileSize, false, false);
        for (const sGainPlace& place : places)
        {
            SWORD gain = 0;
            std::memcpy(&gain, storage.GetStartAddress() + place.mBlockOffset, sizeof gain);
            QCOMPARE(gain, SWORD(GAIN_MINUS_INFINITY));
            gain = SWORD(-32768);
            std::memcpy(storage.GetStartAddress() + place.mBlockOffset, &gain, sizeof gain);
        }
    }

    cReportCapture capture;
    Start();
    // Read as minus infinity, everything else kept: the model as the earlier version showed it, and
    // the file holding minus infinity as today's version writes it.
    QCOMPARE(mModel->Records().toHex(), records.toHex());
    for (const sGainPlace& place : places)
    {
        SWORD gain = 0;
        std::memcpy(&gain, mModel->mStorage.GetStartAddress() + place.mBlockOffset, sizeof gain);
        QCOMPARE(gain, SWORD(GAIN_MINUS_INFINITY));
    }
    const int units = field == EVERY_BAND ? 6 : 1;
    QCOMPARE(capture.Count("Notification: Settings of "), units);
    QCOMPARE(capture.Count("Notification: "), units);
    QVERIFY2(capture.Contains("Settings of " + said + " mended: its non-volatile block held "),
             qPrintable(capture.Lines().join("")));
    QVERIFY(capture.Contains(" -32768 read as minus infinity, the others are kept"));
    QVERIFY(!capture.Contains("takes its default"));
    const sParametricEQBand shelf = mModel->mLow.GetLeftEQDriver()->GetUnit()->GetBand(0);
    QCOMPARE(shelf.mType, ULONG(nPEQ::LFSHELF));
    QCOMPARE(shelf.mFrequencyCode, UWORD(32346));

    VerifySavedAndRecalledAgain();
}

QTEST_GUILESS_MAIN(tst_EarlierVersionFiles)
#include "tst_EarlierVersionFiles.moc"
