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

// A stored field: where it is in the plain saves stream and in the non-volatile RAM file, its size
// there, and how the unit's reports name the unit and the field.
struct sStoredPlace
{
    int mRecordOffset = 0;
    int mBlockOffset = 0; // from the start of the non-volatile RAM file
    int mSize = 0;
    QString mUnit;
    QString mField;
};

// The field recordByte bytes into the unit's saves record and blockByte bytes into its block.
template <class tUnit>
sStoredPlace Place(const sModel& model, const tUnit& unit, int recordByte, int blockByte, int size,
                   const QString& field)
{
    sStoredPlace place;
    place.mRecordOffset = model.RecordOffset(&unit) + recordByte;
    place.mBlockOffset =
        int(unit.GetBlock().GetBlockAddress() - model.mStorage.GetStartAddress()) + blockByte;
    place.mSize = size;
    place.mUnit = unit.GetName();
    place.mField = field;
    return place;
}

// The same field of every band of every PEQ unit.
template <class tBandPlace>
std::vector<sStoredPlace> EveryBand(const sModel& model, tBandPlace bandPlace)
{
    std::vector<sStoredPlace> places;
    for (const cParametricEQUnit* unit : model.EqUnits())
    {
        for (int band = 0; band < unit->GetNumberOfBands(); ++band)
        {
            places.push_back(bandPlace(model, *unit, band));
        }
    }
    return places;
}

// The places of one band's gain: in the PEQ record after the bool bypass, 12 bytes a band (qint16
// frequency, width, gain, ...); in the block after the marker, the u8 bypass, the frequencies and the
// widths.
sStoredPlace BandGain(const sModel& model, const cParametricEQUnit& unit, int band)
{
    return Place(model, unit, 1 + 12 * band + 4, 2 + 1 + 4 * unit.GetNumberOfBands() + 2 * band, 2,
                 QStringLiteral("band %1 gain").arg(band));
}

std::vector<sStoredPlace> Places(const sModel& model, eGainField field)
{
    switch (field)
    {
    case LOW_LEFT_BAND_1:
        return {BandGain(model, *model.mLow.GetLeftEQDriver()->GetUnit(), 1)};
    case HIGH_RIGHT_BAND_5:
        return {BandGain(model, *model.mHigh.GetRightEQDriver()->GetUnit(), 5)};
    case EVERY_BAND:
        return EveryBand(model, BandGain);
    case INPUT_LEFT_STRIP:
        break;
    }
    // The strip's record: bool mute, bool polarity, qint16 gain; its block: marker, u8 mute, u8
    // polarity, s16 gain.
    return {Place(model, *model.mFader.GetUnit(0), 2, 4, 2, QStringLiteral("gain"))};
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

// A setting the earlier version stored, which the window cannot show or leave: a band type its switch
// does not offer (bell or low shelf on the first band, bell or high shelf on the last, bell between),
// a slope a filter of one section does not offer (12dB Butterworth only), a band bypass (its sync took
// them from the device; no band has a bypass switch).
enum eUnshownSetting
{
    NOTCH_ON_LOW_LEFT_BAND_0,
    HIGH_CONTOUR_ON_LOW_LEFT_BAND_1, // the last of two bands
    HIGH_CONTOUR_ON_MID_LEFT_BAND_1, // a middle band
    LOW_SHELF_ON_HIGH_RIGHT_BAND_5,
    NOTCH_ON_BAND_0_OF_EVERY_UNIT,
    BUTTERWORTH_24_ON_LOW_HIGH_PASS, // one section
    BESSEL_ON_MID_LOW_PASS,          // one section
    BESSEL_ON_HIGH_HIGH_PASS,        // two sections: offered, taken as it is
    LOW_LEFT_BAND_1_BYPASSED,
    EVERY_BAND_BYPASSED,
};

// A band's type: in the PEQ record after the bool bypass, 12 bytes a band (qint16 frequency, width,
// gain, qint32 type, ...); in the block after the marker, the u8 bypass, the frequencies, widths and
// gains (u16 each).
sStoredPlace BandType(const sModel& model, const cParametricEQUnit& unit, int band)
{
    return Place(model, unit, 1 + 12 * band + 6, 2 + 1 + 6 * unit.GetNumberOfBands() + 4 * band, 4,
                 QStringLiteral("band %1 type").arg(band));
}

// A band's bypass: last of the band's 12 bytes in the PEQ record; in the block after the marker, the
// u8 bypass, the frequencies, widths and gains (u16 each), the types (u32) and the options (u8).
sStoredPlace BandBypass(const sModel& model, const cParametricEQUnit& unit, int band)
{
    return Place(model, unit, 1 + 12 * band + 11, 2 + 1 + 11 * unit.GetNumberOfBands() + band, 1,
                 QStringLiteral("band %1 bypass").arg(band));
}

// A high-pass or low-pass unit's slope: after the qint16 frequency in its record and the u16
// frequency in its block.
sStoredPlace Slope(const sModel& model, const cPassFilterUnit& unit)
{
    return Place(model, unit, 2, 2 + 2, 4, QStringLiteral("slope type"));
}

std::vector<sStoredPlace> Places(const sModel& model, eUnshownSetting setting)
{
    switch (setting)
    {
    case NOTCH_ON_LOW_LEFT_BAND_0:
        return {BandType(model, *model.mLow.GetLeftEQDriver()->GetUnit(), 0)};
    case HIGH_CONTOUR_ON_LOW_LEFT_BAND_1:
        return {BandType(model, *model.mLow.GetLeftEQDriver()->GetUnit(), 1)};
    case HIGH_CONTOUR_ON_MID_LEFT_BAND_1:
        return {BandType(model, *model.mMid.GetLeftEQDriver()->GetUnit(), 1)};
    case LOW_SHELF_ON_HIGH_RIGHT_BAND_5:
        return {BandType(model, *model.mHigh.GetRightEQDriver()->GetUnit(), 5)};
    case NOTCH_ON_BAND_0_OF_EVERY_UNIT:
    {
        std::vector<sStoredPlace> places;
        for (const cParametricEQUnit* unit : model.EqUnits())
        {
            places.push_back(BandType(model, *unit, 0));
        }
        return places;
    }
    case BUTTERWORTH_24_ON_LOW_HIGH_PASS:
        return {Slope(model, *model.mLow.GetHPFDriver()->GetUnit())};
    case BESSEL_ON_MID_LOW_PASS:
        return {Slope(model, *model.mMid.GetLPFDriver()->GetUnit())};
    case BESSEL_ON_HIGH_HIGH_PASS:
        return {Slope(model, *model.mHigh.GetHPFDriver()->GetUnit())};
    case LOW_LEFT_BAND_1_BYPASSED:
        return {BandBypass(model, *model.mLow.GetLeftEQDriver()->GetUnit(), 1)};
    case EVERY_BAND_BYPASSED:
        break;
    }
    return EveryBand(model, BandBypass);
}

// Writes `value` big-endian (as the saves stream holds it) or little-endian (as the non-volatile RAM
// file does) in `size` bytes at `at`.
void PutValue(char* at, int size, quint32 value, bool bigEndian)
{
    for (int i = 0; i < size; ++i)
    {
        const int shift = 8 * (bigEndian ? size - 1 - i : i);
        at[i] = char((value >> shift) & 0xFF);
    }
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
Q_DECLARE_METATYPE(eUnshownSetting)

// Files written by the earlier version, which took a band gain of 0x8000 from the device as it came
// (one below minus infinity), showed it as "-Inf" and stored it in the non-volatile RAM file and in
// every saves file: they load as the model they were, minus infinity where the window showed "-Inf".
// It also took by message, recall and from its files any known band type and slope, which the window
// cannot show or leave where the band's switch or the filter does not offer it: such a file loads
// with the band's default type or the default slope there, said once.
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
    void earlierSavesFile_readsUnshownSettingsAsTheDefaults_data();
    void earlierSavesFile_readsUnshownSettingsAsTheDefaults();
    void earlierNonVolatileFile_readsUnshownSettingsAsTheDefaults_data();
    void earlierNonVolatileFile_readsUnshownSettingsAsTheDefaults();

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
    void AddUnshownRows()
    {
        QTest::addColumn<eUnshownSetting>("setting");
        QTest::addColumn<quint32>("held");  // in the earlier version's file
        QTest::addColumn<quint32>("taken"); // by today's
        QTest::newRow("NOTCH on LOW left band 0") << NOTCH_ON_LOW_LEFT_BAND_0 << quint32(nPEQ::NOTCH) << 0u;
        QTest::newRow("high contour on LOW left band 1")
            << HIGH_CONTOUR_ON_LOW_LEFT_BAND_1 << quint32(nPEQ::HIGH_CONTOUR) << 0u;
        QTest::newRow("high contour on MID left band 1")
            << HIGH_CONTOUR_ON_MID_LEFT_BAND_1 << quint32(nPEQ::HIGH_CONTOUR) << 0u;
        QTest::newRow("low shelf on HIGH right band 5")
            << LOW_SHELF_ON_HIGH_RIGHT_BAND_5 << quint32(nPEQ::LFSHELF) << 0u;
        QTest::newRow("NOTCH on band 0 of every PEQ unit")
            << NOTCH_ON_BAND_0_OF_EVERY_UNIT << quint32(nPEQ::NOTCH) << 0u;
        QTest::newRow("24dB Butterworth on the LOW high-pass")
            << BUTTERWORTH_24_ON_LOW_HIGH_PASS << quint32(nPEQ::HPF_BUTTERWORTH_24_DB) << 0u;
        QTest::newRow("18dB Bessel on the MID low-pass")
            << BESSEL_ON_MID_LOW_PASS << quint32(nPEQ::HPF_BESSEL_18_DB) << 0u;
        QTest::newRow("18dB Bessel on the HIGH high-pass: offered")
            << BESSEL_ON_HIGH_HIGH_PASS << quint32(nPEQ::HPF_BESSEL_18_DB) << quint32(nPEQ::HPF_BESSEL_18_DB);
        QTest::newRow("LOW left band 1 bypassed") << LOW_LEFT_BAND_1_BYPASSED << 1u << 0u;
        QTest::newRow("every band of every PEQ unit bypassed") << EVERY_BAND_BYPASSED << 1u << 0u;
    }
    // The model's records with `value` in every place.
    QByteArray RecordsWith(const std::vector<sStoredPlace>& places, quint32 value) const
    {
        QByteArray records = mModel->Records();
        for (const sStoredPlace& place : places)
        {
            PutValue(records.data() + place.mRecordOffset - kHeaderSize, place.mSize, value, true);
        }
        return records;
    }
    // The units of the places, each once, in order.
    static QStringList Units(const std::vector<sStoredPlace>& places)
    {
        QStringList units;
        for (const sStoredPlace& place : places)
        {
            if (!units.contains(place.mUnit))
            {
                units << place.mUnit;
            }
        }
        return units;
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
    const std::vector<sStoredPlace> places = Places(*mModel, field);
    for (const sStoredPlace& place : places)
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
    const std::vector<sStoredPlace> places = Places(*mModel, field);
    Stop();

    // The earlier version's file: -32768 where today's holds -32767.
    {
        cNonVolatileStorageManager storage(NonVolatilePath(), kNonVolatileSize, false, false);
        for (const sStoredPlace& place : places)
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
    for (const sStoredPlace& place : places)
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

void tst_EarlierVersionFiles::earlierSavesFile_readsUnshownSettingsAsTheDefaults_data()
{
    AddUnshownRows();
}

void tst_EarlierVersionFiles::earlierSavesFile_readsUnshownSettingsAsTheDefaults()
{
    QFETCH(eUnshownSetting, setting);
    QFETCH(quint32, held);
    QFETCH(quint32, taken);

    // Today's version cannot store the setting: the earlier version's file is today's with it patched
    // in.
    Start();
    SetUsersSettings(*mModel);
    const std::vector<sStoredPlace> places = Places(*mModel, setting);
    const QByteArray expected = RecordsWith(places, taken);
    const QString today = mFolder.filePath("today.cfg");
    QVERIFY(mModel->mSaves.StartSave(today));
    QByteArray plain = ReadFile(today);
    QVERIFY(cSavesFileCipher::DecipherBytes(plain));
    for (const sStoredPlace& place : places)
    {
        PutValue(plain.data() + place.mRecordOffset, place.mSize, held, true);
    }
    const QString earlier = mFolder.filePath("earlier.cfg");
    QVERIFY(WriteFile(earlier, Enciphered(plain, mFolder.filePath("plain"))));

    // The window shows LOW left band 0 as the low shelf the user set.
    cParametricEQUnit& lowLeft = *mModel->mLow.GetLeftEQDriver()->GetUnit();
    cRecordingNetObject window("Window", 1);
    lowLeft.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, window.GetHandle(), PARAMETER_BASE,
                                  P::P_FIRST_TYPE, 0, 0, false);
    cReportCapture capture;
    QVERIFY(mModel->mSaves.StartRecall(earlier));
    QVERIFY(mModel->mSaves.LastRecallValid());
    SettleLinks();
    QCOMPARE(mModel->Records().toHex(), expected.toHex());
    if (setting == NOTCH_ON_LOW_LEFT_BAND_0 || setting == NOTCH_ON_BAND_0_OF_EVERY_UNIT)
    {
        // The band's type button leaves the low shelf for the bell it can show.
        QCOMPARE(lowLeft.GetBand(0).mType, ULONG(nPEQ::BELL));
        QCOMPARE(Payloads(window, PARAMETER_BASE), QList<QByteArray>{UBYTEPayload(nPEQ::BELL)});
    }
    QVERIFY2(!capture.Contains("ERROR: "), qPrintable(capture.Lines().join("")));
    // Said once for the file, naming every unit that held it.
    QCOMPARE(capture.Count("Notification: "), held == taken ? 0 : 1);
    const QString said = QStringLiteral("Recalled %1: %2 %3 read as %4 (%5)")
                             .arg(earlier, places.front().mField)
                             .arg(held)
                             .arg(taken)
                             .arg(Units(places).join(", "));
    QVERIFY2(held == taken || capture.Contains(said), qPrintable(said + "\n" + capture.Lines().join("")));

    VerifySavedAndRecalledAgain();
}

void tst_EarlierVersionFiles::earlierNonVolatileFile_readsUnshownSettingsAsTheDefaults_data()
{
    AddUnshownRows();
}

void tst_EarlierVersionFiles::earlierNonVolatileFile_readsUnshownSettingsAsTheDefaults()
{
    QFETCH(eUnshownSetting, setting);
    QFETCH(quint32, held);
    QFETCH(quint32, taken);

    Start();
    SetUsersSettings(*mModel);
    const std::vector<sStoredPlace> places = Places(*mModel, setting);
    const QByteArray expected = RecordsWith(places, taken);
    Stop();
    {
        cNonVolatileStorageManager storage(NonVolatilePath(), kNonVolatileSize, false, false);
        for (const sStoredPlace& place : places)
        {
            PutValue(reinterpret_cast<char*>(storage.GetStartAddress()) + place.mBlockOffset, place.mSize,
                     held, false);
        }
    }

    cReportCapture capture;
    Start();
    // Read as the default there, everything else kept, and the file mended.
    QCOMPARE(mModel->Records().toHex(), expected.toHex());
    for (const sStoredPlace& place : places)
    {
        QByteArray stored(place.mSize, '\0');
        PutValue(stored.data(), place.mSize, taken, false);
        QCOMPARE(
            QByteArray(reinterpret_cast<const char*>(mModel->mStorage.GetStartAddress()) + place.mBlockOffset,
                       place.mSize)
                .toHex(),
            stored.toHex());
    }
    QVERIFY2(!capture.Contains("ERROR: "), qPrintable(capture.Lines().join("")));
    const QStringList units = held == taken ? QStringList() : Units(places);
    // Once for each unit.
    QCOMPARE(capture.Count("Notification: "), units.size());
    for (const QString& unit : units)
    {
        QStringList fields;
        for (const sStoredPlace& place : places)
        {
            if (place.mUnit == unit)
            {
                fields << QStringLiteral("%1 %2 read as %3").arg(place.mField).arg(held).arg(taken);
            }
        }
        const QString said =
            QStringLiteral("Settings of %1 mended: its non-volatile block held %2, the others are kept")
                .arg(unit, fields.join(", "));
        QVERIFY2(capture.Contains(said), qPrintable(said + "\n" + capture.Lines().join("")));
    }

    VerifySavedAndRecalledAgain();
}

QTEST_GUILESS_MAIN(tst_EarlierVersionFiles)
#include "tst_EarlierVersionFiles.moc"
