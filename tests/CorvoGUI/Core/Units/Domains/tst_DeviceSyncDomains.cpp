#include "AES-Standards/KVConversions.h"
#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Biquad/BiquadDesign.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Units/FilterTableLayout.h"
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
#include "CorvoGUI/Core/Units/cPassFilterDriver.h"
#include "CorvoGUI/Core/Units/cPassFilterUnit.h"
#include "tests/CorvoGUI/Core/Units/DSP/DspTestSupport.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace
{

using M = cSimulatedDeviceModel;
using P = cParametricEQUnit;

constexpr qint64 kNonVolatileSize = 0x10000;
constexpr int kStreamVersion = 19;

// A setting as the device reports it, and the unit of the model that takes it.
enum eDeviceField
{
    STRIP_MUTE, // strip 2 ("InOutFader:L Control Strip Unit1", polarity inverted towards the device)
    STRIP_POLARITY,
    STRIP_GAIN,
    LOW_HPF_FREQUENCY, // one section
    LOW_HPF_SLOPE,
    LOW_HPF_BYPASS,
    HIGH_HPF_SLOPE, // two sections
    MID_LPF_FREQUENCY,
    MID_LPF_SLOPE,
    MID_LPF_BYPASS,
    LOW_DELAY_LEFT, // 32-bit sample counts
    MID_DELAY_RIGHT,
    PEQ_FREQUENCY, // LOW left, band 0 (its switch: bell or low shelf)
    PEQ_WIDTH,
    PEQ_GAIN,
    PEQ_TYPE,
    PEQ_OPTION,
    PEQ_BYPASS,      // band 0's bypass field: the unit's bypass
    PEQ_MIDDLE_TYPE, // MID left, band 1 (no switch: bell)
    PEQ_LAST_TYPE,   // HIGH right, band 5 (its switch: bell or high shelf)
    PEQ_LAST_GAIN,
    PEQ_LAST_BYPASS, // a band's own bypass
    GANG_BITS,       // band 0's bypass field of LOW left and right
};

// The units that the second check drives.
enum eUnit
{
    UNIT_STRIP, // strip 2
    UNIT_HPF,   // LOW
    UNIT_LPF,   // HIGH: no sections
    UNIT_DELAY, // MID
    UNIT_PEQ,   // MID left: 4 bands
    UNIT_GANG,  // HIGH
};

enum eWayIn
{
    BY_MESSAGE,
    BY_RECALL,
};

// The whole device model, built in the program's order on a non-volatile RAM file.
struct sModel
{
    sModel(const QString& path, cSerialInterface* serial)
        : mStorage(path, kNonVolatileSize, false, false)
        , mFader(&mStorage, serial, &mSaves)
        , mLow(LOW, &mStorage, serial, &mSaves)
        , mMid(MID, &mStorage, serial, &mSaves)
        , mHigh(HIGH, &mStorage, serial, &mSaves)
    {
        SettleLinks();
    }
    QByteArray Image() const
    {
        return QByteArray(reinterpret_cast<const char*>(mStorage.GetStartAddress()),
                          int(mStorage.GetUsedSize()));
    }
    // Every object's save record, in the saves file's order.
    QByteArray Records() const
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(kStreamVersion);
        for (int strip = 0; strip < cInOutFader::NUMBER_OF_STRIPS; ++strip)
        {
            mFader.GetUnit(strip)->SaveData(&stream);
        }
        for (const cLowMidHigh* panel : {&mLow, &mMid, &mHigh})
        {
            panel->GetHPFDriver()->GetUnit()->SaveData(&stream);
            panel->GetLPFDriver()->GetUnit()->SaveData(&stream);
            panel->GetDelayDriver()->GetUnit()->SaveData(&stream);
            panel->GetLeftEQDriver()->GetUnit()->SaveData(&stream);
            panel->GetRightEQDriver()->GetUnit()->SaveData(&stream);
            panel->GetGangDriver()->SaveData(&stream);
        }
        return bytes;
    }
    cParametricEQUnit& LowLeft() const { return *mLow.GetLeftEQDriver()->GetUnit(); }
    cParametricEQUnit& LowRight() const { return *mLow.GetRightEQDriver()->GetUnit(); }

    cNonVolatileStorageManager mStorage;
    cSavesManager mSaves;
    cInOutFader mFader;
    cLowMidHigh mLow;
    cLowMidHigh mMid;
    cLowMidHigh mHigh;
};

void SetOnDevice(M& device, eDeviceField field, quint32 value)
{
    const auto v = std::uint16_t(value);
    switch (field)
    {
    case STRIP_MUTE:
        device.SetStripField(2, M::STRIP_MUTE, v);
        return;
    case STRIP_POLARITY:
        device.SetStripField(2, M::STRIP_POLARITY, v);
        return;
    case STRIP_GAIN:
        device.SetStripField(2, M::STRIP_GAIN, v);
        return;
    case LOW_HPF_FREQUENCY:
        device.SetFilterField(0, 0, M::FILTER_FREQUENCY, v);
        return;
    case LOW_HPF_SLOPE:
        device.SetFilterField(0, 0, M::FILTER_TYPE, v);
        return;
    case LOW_HPF_BYPASS:
        device.SetFilterField(0, 0, M::FILTER_BYPASS, v);
        return;
    case HIGH_HPF_SLOPE:
        device.SetFilterField(4, 0, M::FILTER_TYPE, v);
        return;
    case MID_LPF_FREQUENCY:
        device.SetFilterField(2, 1, M::FILTER_FREQUENCY, v);
        return;
    case MID_LPF_SLOPE:
        device.SetFilterField(2, 1, M::FILTER_TYPE, v);
        return;
    case MID_LPF_BYPASS:
        device.SetFilterField(2, 1, M::FILTER_BYPASS, v);
        return;
    case LOW_DELAY_LEFT:
        device.mDelays[0] = value;
        return;
    case MID_DELAY_RIGHT:
        device.mDelays[3] = value;
        return;
    case PEQ_FREQUENCY:
        device.SetFilterField(0, 2, M::FILTER_FREQUENCY, v);
        return;
    case PEQ_WIDTH:
        device.SetFilterField(0, 2, M::FILTER_WIDTH, v);
        return;
    case PEQ_GAIN:
        device.SetFilterField(0, 2, M::FILTER_GAIN, v);
        return;
    case PEQ_TYPE:
        device.SetFilterField(0, 2, M::FILTER_TYPE, v);
        return;
    case PEQ_OPTION:
        device.SetFilterField(0, 2, M::FILTER_OPTION, v);
        return;
    case PEQ_BYPASS:
        device.SetFilterField(0, 2, M::FILTER_BYPASS, v);
        return;
    case PEQ_MIDDLE_TYPE:
        device.SetFilterField(2, 3, M::FILTER_TYPE, v);
        return;
    case PEQ_LAST_TYPE:
        device.SetFilterField(5, 7, M::FILTER_TYPE, v);
        return;
    case PEQ_LAST_GAIN:
        device.SetFilterField(5, 7, M::FILTER_GAIN, v);
        return;
    case PEQ_LAST_BYPASS:
        device.SetFilterField(5, 7, M::FILTER_BYPASS, v);
        return;
    case GANG_BITS:
        device.SetFilterField(0, 2, M::FILTER_BYPASS, v);
        device.SetFilterField(1, 2, M::FILTER_BYPASS, v);
        return;
    }
}

long long InModel(const sModel& model, eDeviceField field)
{
    const cControlStripUnit& strip = *model.mFader.GetUnit(2);
    const cPassFilterUnit& lowHpf = *model.mLow.GetHPFDriver()->GetUnit();
    const cPassFilterUnit& midLpf = *model.mMid.GetLPFDriver()->GetUnit();
    const sParametricEQBand band = model.LowLeft().GetBand(0);
    const sParametricEQBand last = model.mHigh.GetRightEQDriver()->GetUnit()->GetBand(5);
    switch (field)
    {
    case STRIP_MUTE:
        return strip.GetMute();
    case STRIP_POLARITY:
        return strip.GetPolarity();
    case STRIP_GAIN:
        return strip.GetGain();
    case LOW_HPF_FREQUENCY:
        return lowHpf.GetFrequencyCode();
    case LOW_HPF_SLOPE:
        return lowHpf.GetSlopeType();
    case LOW_HPF_BYPASS:
        return lowHpf.GetBypass();
    case HIGH_HPF_SLOPE:
        return model.mHigh.GetHPFDriver()->GetUnit()->GetSlopeType();
    case MID_LPF_FREQUENCY:
        return midLpf.GetFrequencyCode();
    case MID_LPF_SLOPE:
        return midLpf.GetSlopeType();
    case MID_LPF_BYPASS:
        return midLpf.GetBypass();
    case LOW_DELAY_LEFT:
        return model.mLow.GetDelayDriver()->GetUnit()->GetCode(cDelayUnit::LEFT);
    case MID_DELAY_RIGHT:
        return model.mMid.GetDelayDriver()->GetUnit()->GetCode(cDelayUnit::RIGHT);
    case PEQ_FREQUENCY:
        return band.mFrequencyCode;
    case PEQ_WIDTH:
        return band.mWidthCode;
    case PEQ_GAIN:
        return band.mGain;
    case PEQ_TYPE:
        return band.mType;
    case PEQ_OPTION:
        return band.mOption;
    case PEQ_BYPASS:
        return model.LowLeft().GetBypass();
    case PEQ_MIDDLE_TYPE:
        return model.mMid.GetLeftEQDriver()->GetUnit()->GetBand(1).mType;
    case PEQ_LAST_TYPE:
        return last.mType;
    case PEQ_LAST_GAIN:
        return last.mGain;
    case PEQ_LAST_BYPASS:
        return last.mBypass;
    case GANG_BITS:
        return model.mLow.GetGangDriver()->GetGang();
    }
    return -1;
}

// The unit of the table's rows, as a net object or as a save object.
template <class T>
T& UnitAs(const sModel& model, eUnit unit)
{
    switch (unit)
    {
    case UNIT_STRIP:
        return *model.mFader.GetUnit(2);
    case UNIT_HPF:
        return *model.mLow.GetHPFDriver()->GetUnit();
    case UNIT_LPF:
        return *model.mHigh.GetLPFDriver()->GetUnit();
    case UNIT_DELAY:
        return *model.mMid.GetDelayDriver()->GetUnit();
    case UNIT_PEQ:
        return *model.mMid.GetLeftEQDriver()->GetUnit();
    case UNIT_GANG:
        break;
    }
    return *model.mHigh.GetGangDriver();
}

cNetObject& NetObject(const sModel& model, eUnit unit)
{
    return UnitAs<cNetObject>(model, unit);
}

cSaveObject& SaveObject(const sModel& model, eUnit unit)
{
    return UnitAs<cSaveObject>(model, unit);
}

QString Hex(quint32 value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

// "<unit>: <field> <value> from the device is out of range, taken as <taken>"
QString OutOfRange(const char* unit, const char* field, long long value, const char* taken)
{
    return QStringLiteral("%1: %2 %3 from the device is out of range, taken as %4")
        .arg(unit, field)
        .arg(value)
        .arg(taken);
}

void AddSyncRow(const char* name, eDeviceField field, quint32 value, long long expected, int errors = 0,
                const QString& report = QString())
{
    QTest::addRow("%s %s", name, qPrintable(Hex(value))) << field << value << expected << errors << report;
}

// Rows of a flag field: 0 is off, anything else on, as the device means it: no report.
void AddFlagRows(const char* name, eDeviceField field, bool inverted)
{
    const long long off = inverted ? 1 : 0;
    AddSyncRow(name, field, 0, off);
    for (quint32 value : {1u, 2u, 0x7FFFu, 0x8000u, 0xFFFFu})
    {
        AddSyncRow(name, field, value, 1 - off);
    }
}

// Rows of a gain field: a 16-bit signed gain whose -32768 is no gain.
void AddGainRows(const char* name, eDeviceField field, const char* unit, const char* fieldName)
{
    AddSyncRow(name, field, 0, 0);
    AddSyncRow(name, field, 0x8001, GAIN_MINUS_INFINITY);
    AddSyncRow(name, field, 0x7FFF, 32767);
    AddSyncRow(name, field, 0xFFFF, -1);
    AddSyncRow(name, field, 0x8000, GAIN_MINUS_INFINITY, 1,
               OutOfRange(unit, fieldName, -32768, "minus infinity"));
}

// Rows of a code field: every 16-bit code is taken as it is.
void AddCodeRows(const char* name, eDeviceField field)
{
    for (quint32 value : {0u, 0x8000u, 0xFFFFu})
    {
        AddSyncRow(name, field, value, value);
    }
}

// Rows of a type field: `offered` are taken, other known types keep the unit's own (BELL / 12 dB
// Butterworth, 0) with `refusedText`, unknown ones with `unknownText` (%1 the type).
void AddTypeRows(const char* name, eDeviceField field, quint32 highest, const QList<quint32>& offered,
                 const QString& refusedText, const QString& unknownText)
{
    for (quint32 type = 0; type <= highest; ++type)
    {
        if (offered.contains(type))
        {
            AddSyncRow(name, field, type, type);
        }
        else if (type == 1 || type == highest)
        {
            AddSyncRow(name, field, type, 0, 1, refusedText.arg(type));
        }
    }
    for (quint32 value : {highest + 1, 0x7FFFu, 0x8000u, 0xFFFFu})
    {
        AddSyncRow(name, field, value, 0, 1, unknownText.arg(value));
    }
}

// The words of a designed band as the device gets them.
tBiquadWords BellInDeviceOrder(double gainDb, UWORD frequencyCode, UWORD widthCode)
{
    const double q[] = {0.404, 0.422, 0.442, 0.464, 0.486, 0.511, 0.537,
                        0.565, 0.596, 0.63,  0.667, 0.707, 0.752, 0.801};
    sBiquadCoefficients c;
    BiquadBell(gainDb, ConvertUWORDToFrequency(frequencyCode), q[widthCode >> 8], 8.0, 1.0 / 96000.0, c.mB0,
               c.mB1, c.mB2, c.mA1, c.mA2);
    return InDeviceOrder(BiquadWordsFromCoefficients(c, 2147483647.0));
}

// The last filter record the device received for a filter id.
sFilterFrame LastFrame(const cSimulatedDevice& device, ULONG id)
{
    sFilterFrame last;
    for (const sFilterFrame& frame : FilterFrames(device))
    {
        if (frame.mId == id)
        {
            last = frame;
        }
    }
    return last;
}

const tBiquadWords kUnity = {cParametricEQDriver::UNITY_WORD, 0, 0, 0, 0};
const tBiquadWords kPassUnity = {cPassFilterDriver::UNITY_WORD, 0, 0, 0, 0};

// The records the device received, as "filter <channel>:<slot>", "strip <index>" and "delay
// <channel>", sorted.
QStringList SentRecords(const cSimulatedDevice& device)
{
    QStringList sent;
    for (const sFilterFrame& frame : FilterFrames(device))
    {
        sent << QStringLiteral("filter %1:%2").arg(frame.mId & 0xFF).arg(frame.mId >> 8);
    }
    for (const cSimulatedDevice::sReceivedFrame& frame : device.Frames())
    {
        if (frame.mCommand == 6 && frame.mPayload.size() == 20)
        {
            sent << QStringLiteral("strip %1").arg(int(std::uint8_t(frame.mPayload[0])));
        }
    }
    for (const auto& delay : DelayFrames(device))
    {
        sent << QStringLiteral("delay %1").arg(delay.first);
    }
    sent.sort();
    return sent;
}

// Coefficient bytes as the device holds them, as words in the order sent.
tBiquadWords Words(const QByteArray& bytes)
{
    tBiquadWords words{};
    for (int i = 0; i < BIQUAD_COEFFICIENTS && bytes.size() >= 4 * (i + 1); ++i)
    {
        words[size_t(i)] =
            SLONG(nKVByteOrder::LoadLittle32(reinterpret_cast<const UBYTE*>(bytes.constData()) + 4 * i));
    }
    return words;
}

// Where the device's record of a filter is not the model's: its fields, and its coefficients where
// the device received any.
void CompareFilter(QStringList& faults, const QString& what, const M::sFilterRecord& device,
                   const M::sFilterRecord& model, const tBiquadWords& words)
{
    const auto field = [&](const char* name, int deviceValue, int modelValue)
    {
        if (deviceValue != modelValue)
        {
            faults << QStringLiteral("%1 %2: device %3, model %4")
                          .arg(what, name)
                          .arg(deviceValue)
                          .arg(modelValue);
        }
    };
    field("frequency", device.mFrequencyCode, model.mFrequencyCode);
    field("width", device.mWidthCode, model.mWidthCode);
    field("gain", device.mGainCode, model.mGainCode);
    field("type", device.mFilterType, model.mFilterType);
    field("option", device.mBandOption, model.mBandOption);
    field("bypass", device.mBypass, model.mBypass);
    if (!device.mCoefficients.isEmpty() && Words(device.mCoefficients) != words)
    {
        faults << what + " coefficients";
    }
}

} // namespace

Q_DECLARE_METATYPE(eDeviceField)
Q_DECLARE_METATYPE(eUnit)
Q_DECLARE_METATYPE(eWayIn)

// Every stored field of the model against a simulated device that reports anything its wire types
// can carry: whatever the sync, a parameter message or a recall stores is saved, recalled and read
// back from the non-volatile RAM file unchanged; and a sync takes only what the window can show and
// change.
class tst_DeviceSyncDomains : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mFolder.isValid());
        mLink = std::make_unique<cSerialTestLink>();
        QVERIFY(mLink->Opened());
        mSystem = std::make_unique<cScopedKVNetSystem>();
    }
    void init()
    {
        mLink->Device().Model() = M();
        mLink->Device().ClearLog();
    }
    void cleanup()
    {
        if (mLink->Link().GetState() != CONNECTION_STATE_IDLE)
        {
            Disconnect();
        }
        Stop();
    }
    void cleanupTestCase()
    {
        mSystem.reset();
        mLink.reset();
    }

    void sync_bringsEveryDeviceValueIntoItsDomain_data();
    void sync_bringsEveryDeviceValueIntoItsDomain();
    void acceptedValues_areSavedRecalledAndReadBack_data();
    void acceptedValues_areSavedRecalledAndReadBack();
    void bypassedBandsFromTheDevice_areNotTaken();
    void confirmedSync_sendsWhatTheSyncDidNotTake_data();
    void confirmedSync_sendsWhatTheSyncDidNotTake();
    void unitSetOut_isSentFlatOnceTheLinkRuns();
    void unitSetOut_staysOutAcrossAReconnect();
    void bandZeroBypassedByTheProgram_leavesTheUnitIn();

private:
    // A model on a fresh non-volatile RAM file.
    void Start()
    {
        const QString path = mFolder.filePath("NonVolatileRamFile");
        QFile::remove(path);
        mModel = std::make_unique<sModel>(path, &mLink->Link());
    }
    // The program ends: its gangs' unlinks are left undone, as at shutdown.
    void Stop()
    {
        mModel.reset();
        gSystemBuilder->ClearLinkList();
        cMessagePump::Pump();
    }
    // The program starts again on the same non-volatile RAM file.
    void Restart()
    {
        mModel = std::make_unique<sModel>(mFolder.filePath("NonVolatileRamFile"), &mLink->Link());
    }
    // Connects, and syncs the model from the device's blocks once they are complete.
    bool ConnectAndSync()
    {
        mLink->Link().RequestConnect(mLink->PortName().toUtf8().constData());
        if (!mLink->TickUntil(CONNECTION_STATE_SYNCING, 100))
        {
            return false;
        }
        mModel->mSaves.SyncAll();
        return SettleLinks();
    }
    // The confirmation: the link runs and the saves manager is told so (as the serial connection
    // driver tells it), then every record queued reaches the device.
    bool ConfirmSync()
    {
        if (!mLink->Link().SetRunning())
        {
            return false;
        }
        PostSyncCompletion();
        return Drain(*mLink);
    }
    // The serial connection driver's word that the link runs, from the local system as it sends it,
    // delivered to the saves manager.
    void PostSyncCompletion()
    {
        cKVNetMessage message(0);
        message.mConnectionId = KV_NET_LOCAL_CONNECTION;
        message.mDestination = mModel->mSaves.GetHandle();
        message.mSource = KV_NET_NO_HANDLE;
        message.mMethod = cSavesManager::M_COMPLETE_SYNC;
        PostMessage(message);
        cMessagePump::Pump();
    }
    // Where the device's records are not those the model plays: every filter record of the PEQ and
    // high-pass and low-pass units, every strip and every delay.
    QStringList DeviceFaults() const
    {
        const M& device = mLink->Device().Model();
        QStringList faults;
        for (const cLowMidHigh* panel : {&mModel->mLow, &mModel->mMid, &mModel->mHigh})
        {
            for (const cParametricEQDriver* driver : {panel->GetLeftEQDriver(), panel->GetRightEQDriver()})
            {
                const cParametricEQUnit& unit = *driver->GetUnit();
                for (UBYTE band = 0; band < unit.GetNumberOfBands(); ++band)
                {
                    const sParametricEQBand b = unit.GetBand(band);
                    M::sFilterRecord expected;
                    expected.mFrequencyCode = b.mFrequencyCode;
                    expected.mWidthCode = b.mWidthCode;
                    expected.mGainCode = UWORD(b.mGain);
                    expected.mFilterType = UWORD(b.mType);
                    expected.mBandOption = b.mOption;
                    expected.mBypass = UWORD((driver->GetGang() ? 0x80 : 0) | (b.mBypass ? 1 : 0));
                    const int slot = driver->GetSlot() + band;
                    const M::sFilterRecord record = device.Filter(driver->GetChannel(), slot);
                    // Band 0's field may hold the device's own bypass of a unit that is OUT.
                    if (band == 0 && unit.GetBypass() && !b.mBypass && (record.mBypass & 0x7F) == 1)
                    {
                        expected.mBypass |= 1;
                    }
                    CompareFilter(faults, QStringLiteral("%1 band %2").arg(unit.GetName()).arg(band), record,
                                  expected,
                                  unit.GetBypass() ? kUnity : InDeviceOrder(unit.GetBandWords(band)));
                }
            }
            for (const cPassFilterDriver* driver :
                 {static_cast<const cPassFilterDriver*>(panel->GetHPFDriver()),
                  static_cast<const cPassFilterDriver*>(panel->GetLPFDriver())})
            {
                const cPassFilterUnit& unit = *driver->GetUnit();
                for (UBYTE section = 0; section < unit.GetNumberOfSections(); ++section)
                {
                    M::sFilterRecord expected;
                    expected.mFrequencyCode = unit.GetFrequencyCode();
                    expected.mFilterType = UWORD(unit.GetSlopeType());
                    expected.mBypass = unit.GetBypass() ? 1 : 0;
                    for (int side : {0, 1})
                    {
                        CompareFilter(
                            faults,
                            QStringLiteral("%1 section %2 side %3")
                                .arg(unit.GetName())
                                .arg(section)
                                .arg(side),
                            device.Filter(driver->GetChannel() + side, driver->GetSlot() + section), expected,
                            unit.GetBypass() ? kPassUnity : InDeviceOrder(unit.GetSectionWords(section)));
                    }
                }
            }
            const cDelayUnit& delay = *panel->GetDelayDriver()->GetUnit();
            for (int channel : {cDelayUnit::LEFT, cDelayUnit::RIGHT})
            {
                const int index = panel->GetDelayDriver()->GetIndex() + channel;
                if (device.mDelays[size_t(index)] != cDelayDriver::SamplesFromCode(delay.GetCode(channel)))
                {
                    faults << QStringLiteral("delay %1: device %2 samples, model code %3")
                                  .arg(index)
                                  .arg(device.mDelays[size_t(index)])
                                  .arg(delay.GetCode(channel));
                }
            }
        }
        for (int index = 0; index < cInOutFader::NUMBER_OF_STRIPS; ++index)
        {
            const cControlStripUnit& strip = *mModel->mFader.GetUnit(index);
            const M::sControlStrip& record = device.mStrips[size_t(index)];
            const bool polarity = strip.GetPolarity() != (index >= 2);
            if (record.mMute != (strip.GetMute() ? 1 : 0) || record.mGainCode != UWORD(strip.GetGain()) ||
                record.mPolarity != (polarity ? 1 : 0))
            {
                faults << QStringLiteral("strip %1: device mute %2 gain %3 polarity %4")
                              .arg(index)
                              .arg(record.mMute)
                              .arg(record.mGainCode)
                              .arg(record.mPolarity);
            }
        }
        return faults;
    }
    bool Disconnect()
    {
        mLink->Link().RequestDisconnect();
        return mLink->TickUntil(CONNECTION_STATE_IDLE, 100);
    }
    // The model's state is saved and recalled (result 1 both) with not a byte of the non-volatile RAM
    // file changed, and after a restart it is read back from that file as it was, nothing reset or
    // mended: its save records are the same.
    void VerifyItLoadsAgain()
    {
        const QString file = mFolder.filePath("saved.cfg");
        const QByteArray image = mModel->Image();
        const QByteArray records = mModel->Records();
        QVERIFY(mModel->mSaves.StartSave(file));
        QVERIFY(mModel->mSaves.StartRecall(file));
        SettleLinks();
        QCOMPARE(mModel->Image().toHex(), image.toHex());

        Stop();
        cReportCapture capture;
        Restart();
        QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
        // The settings as they were (the words of bands still at their defaults' design are designed
        // again from their widths: equally flat).
        QCOMPARE(mModel->Records().toHex(), records.toHex());
    }

    QTemporaryDir mFolder;
    std::unique_ptr<cSerialTestLink> mLink;
    std::unique_ptr<cScopedKVNetSystem> mSystem;
    std::unique_ptr<sModel> mModel;
};

void tst_DeviceSyncDomains::sync_bringsEveryDeviceValueIntoItsDomain_data()
{
    QTest::addColumn<eDeviceField>("field");
    QTest::addColumn<quint32>("value");   // on the device, which otherwise holds zeros
    QTest::addColumn<qlonglong>("taken"); // by the model
    QTest::addColumn<int>("errors");      // reports of the sync
    QTest::addColumn<QString>("report");  // in each of them

    const char* strip = "InOutFader:L Control Strip Unit1";
    AddFlagRows("strip mute", STRIP_MUTE, false);
    AddFlagRows("strip polarity", STRIP_POLARITY, true);
    AddGainRows("strip gain", STRIP_GAIN, strip, "gain");

    AddCodeRows("LOW high-pass frequency", LOW_HPF_FREQUENCY);
    AddTypeRows(
        "LOW high-pass slope", LOW_HPF_SLOPE, 3, {0},
        "LMH 1:  HPF Unit: slope type %1 from the device refused: this filter offers only 12dB Butterworth",
        "LMH 1:  HPF Unit: unknown slope type %1 refused");
    AddFlagRows("LOW high-pass bypass", LOW_HPF_BYPASS, false);
    AddTypeRows("HIGH high-pass slope", HIGH_HPF_SLOPE, 3, {0, 1, 2, 3}, QString(),
                "LMH 3:  HPF Unit: unknown slope type %1 refused");
    AddCodeRows("MID low-pass frequency", MID_LPF_FREQUENCY);
    AddTypeRows(
        "MID low-pass slope", MID_LPF_SLOPE, 3, {0},
        "LMH 2:  LPF Unit: slope type %1 from the device refused: this filter offers only 12dB Butterworth",
        "LMH 2:  LPF Unit: unknown slope type %1 refused");
    AddFlagRows("MID low-pass bypass", MID_LPF_BYPASS, false);

    for (quint32 samples : {0u, 1u, 960u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
    {
        const long long code = ConvertTimeToUWORD(samples / 96000.0);
        AddSyncRow("LOW delay left", LOW_DELAY_LEFT, samples, code);
        if (samples == 1u || samples == 0xFFFFFFFFu)
        {
            AddSyncRow("MID delay right", MID_DELAY_RIGHT, samples, code);
        }
    }

    const char* lowLeft = "LMH 1: L Parametric EQ Unit";
    AddCodeRows("PEQ band 0 frequency", PEQ_FREQUENCY);
    AddCodeRows("PEQ band 0 width", PEQ_WIDTH);
    AddGainRows("PEQ band 0 gain", PEQ_GAIN, lowLeft, "band 0 gain");
    AddTypeRows("PEQ band 0 type", PEQ_TYPE, 7, {0, 1},
                "LMH 1: L Parametric EQ Unit: band 0, type %1 from the device refused: the band's switch "
                "offers no such type",
                "LMH 1: L Parametric EQ Unit: band 0, unknown type %1 from the device refused");
    // The option has no control in the window: never taken.
    for (quint32 value : {1u, 0xFFu, 0x100u, 0xFFFFu})
    {
        AddSyncRow("PEQ band 0 option", PEQ_OPTION, value, 0);
    }
    // Band 0's bypass field, gang bit masked, says the unit is bypassed (anything but 0) or leaves it.
    for (quint32 value : {0u, 1u, 0x80u, 0x81u, 2u, 0x7FFFu, 0x8000u, 0xFFFFu})
    {
        AddSyncRow("PEQ band 0 bypass field", PEQ_BYPASS, value, (value & ~0x80u) != 0 ? 1 : 0);
    }
    AddTypeRows("PEQ middle band type", PEQ_MIDDLE_TYPE, 7, {0},
                "LMH 2: L Parametric EQ Unit: band 1, type %1 from the device refused: the band's switch "
                "offers no such type",
                "LMH 2: L Parametric EQ Unit: band 1, unknown type %1 from the device refused");
    AddTypeRows("PEQ last band type", PEQ_LAST_TYPE, 7, {0, 2},
                "LMH 3: R Parametric EQ Unit: band 5, type %1 from the device refused: the band's switch "
                "offers no such type",
                "LMH 3: R Parametric EQ Unit: band 5, unknown type %1 from the device refused");
    AddGainRows("PEQ last band gain", PEQ_LAST_GAIN, "LMH 3: R Parametric EQ Unit", "band 5 gain");
    // A band's own bypass has no control in the window: never taken.
    for (quint32 value : {1u, 2u, 0x81u, 0xFFFFu})
    {
        AddSyncRow("PEQ last band bypass field", PEQ_LAST_BYPASS, value, 0);
    }
    // The gang: bit 7 of both sides' bypass fields; the rest of the field says the unit bypassed.
    AddSyncRow("gang bits", GANG_BITS, 0, 0);
    AddSyncRow("gang bits", GANG_BITS, 0x80, 1);
    AddSyncRow("gang bits", GANG_BITS, 0x81, 1);
    AddSyncRow("gang bits", GANG_BITS, 0x7FFF, 1);
    AddSyncRow("gang bits", GANG_BITS, 0x8000, 0);
    AddSyncRow("gang bits", GANG_BITS, 0xFFFF, 1);
}

void tst_DeviceSyncDomains::sync_bringsEveryDeviceValueIntoItsDomain()
{
    QFETCH(eDeviceField, field);
    QFETCH(quint32, value);
    QFETCH(qlonglong, taken);
    QFETCH(int, errors);
    QFETCH(QString, report);

    SetOnDevice(mLink->Device().Model(), field, value);
    Start();
    cReportCapture capture;
    QVERIFY(ConnectAndSync());
    QCOMPARE(InModel(*mModel, field), taken);
    QVERIFY2(capture.Count("ERROR: ") == errors, qPrintable(capture.Lines().join("")));
    QCOMPARE(errors > 0 ? capture.Count(report) : 0, errors);
    QVERIFY(Disconnect());
    VerifyItLoadsAgain();
}

void tst_DeviceSyncDomains::acceptedValues_areSavedRecalledAndReadBack_data()
{
    QTest::addColumn<eUnit>("unit");
    QTest::addColumn<eWayIn>("way");
    QTest::addColumn<int>("place"); // parameter id, or offset in the unit's save record
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted"); // by the recall

    struct sParameter
    {
        eUnit mUnit;
        const char* mName;
        int mId;
        bool mWord;
    };
    const sParameter parameters[] = {
        {UNIT_STRIP, "strip mute", 4096, false},
        {UNIT_STRIP, "strip polarity", 4097, false},
        {UNIT_STRIP, "strip gain", 4098, true},
        {UNIT_STRIP, "strip unused", 4099, true},
        {UNIT_HPF, "high-pass bypass", 4096, false},
        {UNIT_HPF, "high-pass frequency", 4097, true},
        {UNIT_HPF, "high-pass slope", 4098, false},
        {UNIT_LPF, "sectionless low-pass bypass", 4096, false},
        {UNIT_LPF, "sectionless low-pass frequency", 4097, true},
        {UNIT_LPF, "sectionless low-pass slope", 4098, false},
        {UNIT_DELAY, "delay left", 4096, true},
        {UNIT_DELAY, "delay right", 4097, true},
        {UNIT_DELAY, "delay gang", 4098, false},
        {UNIT_PEQ, "PEQ bypass", 4096, false},
        {UNIT_PEQ, "PEQ first type", 4097, false},
        {UNIT_PEQ, "PEQ last type", 4098, false},
        {UNIT_PEQ, "PEQ band 1 range", P::RangeParameter(1), true},
        {UNIT_PEQ, "PEQ band 1 frequency", P::FrequencyParameter(1), true},
        {UNIT_PEQ, "PEQ band 1 width", P::WidthParameter(1), true},
        {UNIT_PEQ, "PEQ band 1 gain", P::GainParameter(1), true},
        {UNIT_PEQ, "PEQ band 1 bypass", P::BandBypassParameter(1), false},
        {UNIT_GANG, "PEQ gang", 4096, false},
    };
    for (const sParameter& parameter : parameters)
    {
        const QList<QByteArray> payloads =
            parameter.mWord
                ? QList<QByteArray>{UWORDPayload(0), UWORDPayload(0x7FFF), UWORDPayload(0x8000),
                                    UWORDPayload(0xFFFF)}
                : QList<QByteArray>{UBYTEPayload(0), UBYTEPayload(1), UBYTEPayload(2), UBYTEPayload(0xFF)};
        for (const QByteArray& payload : payloads)
        {
            QTest::addRow("message %s %s", parameter.mName, payload.toHex().constData())
                << parameter.mUnit << BY_MESSAGE << parameter.mId << payload << true;
        }
    }

    // Recalled records (big-endian), a field at a time: the strip's bool mute, bool polarity,
    // qint16 gain; the high-pass qint16 frequency, qint32 slope, bool bypass; the delay qint16 left,
    // right, gang; the PEQ bool bypass, then per band 12 bytes (qint16 frequency, width, gain,
    // qint32 type, qint8 option, bool bypass); the gang bool.
    struct sRecordField
    {
        eUnit mUnit;
        const char* mName;
        int mOffset;
        const char* mHex;
        bool mAccepted;
    };
    const sRecordField fields[] = {
        {UNIT_STRIP, "strip mute", 0, "01", true},
        {UNIT_STRIP, "strip mute", 0, "ff", false},
        {UNIT_STRIP, "strip gain", 2, "8001", true},
        {UNIT_STRIP, "strip gain", 2, "7fff", true},
        {UNIT_STRIP, "strip gain", 2, "8000", true}, // minus infinity
        {UNIT_HPF, "high-pass frequency", 0, "ffff", true},
        {UNIT_HPF, "high-pass slope", 2, "00000003", true},
        {UNIT_HPF, "high-pass slope", 2, "00000004", false},
        {UNIT_HPF, "high-pass slope", 2, "ffffffff", false},
        {UNIT_HPF, "high-pass bypass", 6, "02", false},
        {UNIT_DELAY, "delay left", 0, "ffff", true},
        {UNIT_DELAY, "delay right", 2, "8000", true},
        {UNIT_DELAY, "delay gang", 4, "0001", true},
        {UNIT_DELAY, "delay gang", 4, "ffff", false},
        {UNIT_PEQ, "PEQ bypass", 0, "01", true},
        {UNIT_PEQ, "PEQ bypass", 0, "02", false},
        {UNIT_PEQ, "PEQ band 1 frequency", 13, "ffff", true},
        {UNIT_PEQ, "PEQ band 1 width", 15, "ffff", true},
        {UNIT_PEQ, "PEQ band 1 gain", 17, "8001", true},
        {UNIT_PEQ, "PEQ band 1 gain", 17, "8000", true}, // minus infinity
        {UNIT_PEQ, "PEQ band 1 type", 19, "00000007", true},
        {UNIT_PEQ, "PEQ band 1 type", 19, "00000008", false},
        {UNIT_PEQ, "PEQ band 1 option", 23, "ff", true},
        {UNIT_PEQ, "PEQ band 1 bypass", 24, "01", true},
        {UNIT_PEQ, "PEQ band 1 bypass", 24, "02", false},
        {UNIT_GANG, "PEQ gang", 0, "01", true},
        {UNIT_GANG, "PEQ gang", 0, "02", false},
    };
    for (const sRecordField& field : fields)
    {
        QTest::addRow("recall %s %s", field.mName, field.mHex)
            << field.mUnit << BY_RECALL << field.mOffset << QByteArray::fromHex(field.mHex)
            << field.mAccepted;
    }
}

void tst_DeviceSyncDomains::acceptedValues_areSavedRecalledAndReadBack()
{
    QFETCH(eUnit, unit);
    QFETCH(eWayIn, way);
    QFETCH(int, place);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);

    Start();
    if (way == BY_MESSAGE)
    {
        SendParameter(NetObject(*mModel, unit), KV_NET_DATA_SCALE(place), bytes);
    }
    else
    {
        cSaveObject& object = SaveObject(*mModel, unit);
        QByteArray record;
        {
            QDataStream out(&record, QIODevice::WriteOnly);
            out.setVersion(kStreamVersion);
            object.SaveData(&out);
        }
        QVERIFY(place + bytes.size() <= record.size());
        record.replace(place, bytes.size(), bytes);
        QDataStream in(record);
        in.setVersion(kStreamVersion);
        cReportCapture capture;
        QCOMPARE(object.RecallData(&in), accepted);
        QCOMPARE(capture.Contains("out of its range"), !accepted);
    }
    QVERIFY(SettleLinks());
    VerifyItLoadsAgain();
}

void tst_DeviceSyncDomains::bypassedBandsFromTheDevice_areNotTaken()
{
    M& device = mLink->Device().Model();
    const UWORD kHz = 36706;                               // 1 kHz
    device.SetFilterField(0, 3, M::FILTER_FREQUENCY, kHz); // LOW left, band 1: bypassed
    device.SetFilterField(0, 3, M::FILTER_WIDTH, 0x0D00);
    device.SetFilterField(0, 3, M::FILTER_BYPASS, 1);
    device.SetFilterField(2, 4, M::FILTER_BYPASS, 0x81); // MID left, band 2: bypassed, gang bit
    device.SetFilterField(1, 2, M::FILTER_BYPASS, 1);    // LOW right, band 0: the unit bypassed
    Start();
    cRecordingNetObject window("Window", 4);
    LinkParameters(mModel->LowLeft(), window,
                   {P::P_BYPASS, P::BandBypassParameter(0), P::BandBypassParameter(1)});
    QVERIFY(ConnectAndSync());
    mLink->Device().ClearLog();
    QVERIFY(ConfirmSync());

    // No band is bypassed: nothing in the window could show it or take it back.
    for (const cLowMidHigh* panel : {&mModel->mLow, &mModel->mMid, &mModel->mHigh})
    {
        for (const cParametricEQDriver* driver : {panel->GetLeftEQDriver(), panel->GetRightEQDriver()})
        {
            for (UBYTE band = 0; band < driver->GetNumberOfBands(); ++band)
            {
                QVERIFY2(!driver->GetUnit()->GetBand(band).mBypass,
                         qPrintable(QString("%1 band %2").arg(driver->GetUnit()->GetName()).arg(band)));
            }
        }
    }
    QCOMPARE(window.Count(P::BandBypassParameter(1)), 0);
    QVERIFY(!mModel->LowLeft().GetBypass());
    QVERIFY(!mModel->mMid.GetLeftEQDriver()->GetUnit()->GetBypass());
    // Band 0's field said the right unit is bypassed: its IN/OUT button shows OUT.
    QVERIFY(mModel->LowRight().GetBypass());

    // Once the link runs, the device plays what the window shows: the two bands are no longer
    // bypassed there (LOW left band 1 is the designed bell), and the right unit stays bypassed by the
    // device's own field, as its OUT shows.
    QCOMPARE(SentRecords(mLink->Device()), (QStringList{"filter 0:3", "filter 2:4"}));
    QCOMPARE(int(device.Filter(0, 3).mBypass), 0);
    QCOMPARE(Words(device.Filter(0, 3).mCoefficients), BellInDeviceOrder(0.0, kHz, 0x0D00));
    QCOMPARE(int(device.Filter(2, 4).mBypass), 0);
    const QStringList faults = DeviceFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));

    // A drag of band 1 reaches the device as the designed band: the sound follows the curve.
    mLink->Device().ClearLog();
    SendParameter(mModel->LowLeft(), P::GainParameter(1), UWORDPayload(ConvertGainToUWORD(6 * 256)));
    QVERIFY(Drain(*mLink));
    const sFilterFrame band1 = LastFrame(mLink->Device(), nFilterTable::FilterId(0, 3));
    QCOMPARE(band1.mWords, BellInDeviceOrder(6.0, kHz, 0x0D00));
    QCOMPARE(int(band1.mBypass), 0);

    // IN on the right block: every band is designed again, and the device's records no longer say
    // bypassed.
    SendParameter(mModel->LowRight(), P::P_BYPASS, UBYTEPayload(0));
    QVERIFY(Drain(*mLink));
    for (int slot : {2, 3})
    {
        const sFilterFrame frame = LastFrame(mLink->Device(), nFilterTable::FilterId(1, slot));
        QCOMPARE(frame.mWords, InDeviceOrder(mModel->LowRight().GetBandWords(UBYTE(slot - 2))));
        QVERIFY(frame.mWords != kUnity);
        QCOMPARE(int(frame.mBypass), 0);
    }
    QVERIFY(!mModel->LowRight().GetBypass());
}

void tst_DeviceSyncDomains::confirmedSync_sendsWhatTheSyncDidNotTake_data()
{
    QTest::addColumn<eDeviceField>("field");
    QTest::addColumn<quint32>("value");    // on the device, which otherwise holds zeros
    QTest::addColumn<QStringList>("sent"); // once the link runs

    const auto row = [](const char* name, eDeviceField field, quint32 value, QStringList sent)
    {
        sent.sort();
        QTest::addRow("%s %s", name, qPrintable(Hex(value))) << field << value << sent;
    };
    // Taken as the device holds them: nothing is sent.
    row("nothing out of the way", STRIP_MUTE, 0, {});
    row("strip muted", STRIP_MUTE, 1, {});
    row("strip gain", STRIP_GAIN, 0x7FFF, {});
    row("PEQ band 0 gain", PEQ_GAIN, 0x8001, {});
    row("PEQ band 0 low shelf", PEQ_TYPE, nPEQ::LFSHELF, {});
    row("PEQ last band high shelf", PEQ_LAST_TYPE, nPEQ::HFSHELF, {});
    QVERIFY(cDelayDriver::SamplesFromCode(ConvertTimeToUWORD(96 / 96000.0)) == 96);
    row("LOW delay of 1 ms", LOW_DELAY_LEFT, 96, {});
    // Band 0's field says the unit is bypassed: the device bypasses it as the window shows (OUT).
    row("PEQ band 0 bypass field", PEQ_BYPASS, 1, {});

    // Not taken as the device holds them: the record goes as the model has it.
    row("strip mute", STRIP_MUTE, 2, {"strip 2"});
    row("strip polarity", STRIP_POLARITY, 0xFFFF, {"strip 2"});
    row("strip gain", STRIP_GAIN, 0x8000, {"strip 2"});
    row("LOW high-pass slope the filter does not offer", LOW_HPF_SLOPE, nPEQ::HPF_BUTTERWORTH_24_DB,
        {"filter 0:0", "filter 1:0"});
    row("LOW high-pass bypass", LOW_HPF_BYPASS, 2, {"filter 0:0", "filter 1:0"});
    row("MID low-pass unknown slope", MID_LPF_SLOPE, 9, {"filter 2:1", "filter 3:1"});
    // Taken from the left's first section; the device's other records of the filter hold another
    // slope, and go as the window shows.
    row("HIGH high-pass 18 dB Bessel", HIGH_HPF_SLOPE, nPEQ::HPF_BESSEL_18_DB,
        {"filter 4:0", "filter 4:1", "filter 5:0", "filter 5:1"});
    row("PEQ band 0 gain", PEQ_GAIN, 0x8000, {"filter 0:2"});
    row("PEQ band 0 low-pass type", PEQ_TYPE, nPEQ::LPASS, {"filter 0:2"});
    row("PEQ band 0 unknown type", PEQ_TYPE, 0x0100, {"filter 0:2"});
    row("PEQ band 0 option", PEQ_OPTION, 1, {"filter 0:2"});
    row("PEQ middle band low shelf", PEQ_MIDDLE_TYPE, nPEQ::LFSHELF, {"filter 2:3"});
    row("PEQ last band bypassed", PEQ_LAST_BYPASS, 1, {"filter 5:7"});
    // A bypass field other than 0 or 1: band 0's record, which ends the device's bypass of the unit,
    // goes with every other band of the unit, flat (OUT).
    row("PEQ band 0 bypass field", PEQ_BYPASS, 2, {"filter 0:2", "filter 0:3"});
    // The gang bit on one side only: the gang stays off, and that side's band 0 loses the bit.
    row("PEQ band 0 bypass field", PEQ_BYPASS, 0x80, {"filter 0:2"});
    // On both sides: the gang is on, and every band of both sides gets the bit.
    row("gang bits", GANG_BITS, 0x80, {"filter 0:3", "filter 1:3"});
    // 48000 samples (0.5 s) fall between two codes: the delay goes as the code the window shows.
    QVERIFY(cDelayDriver::SamplesFromCode(ConvertTimeToUWORD(0.5)) != 48000);
    row("LOW delay of 0.5 s", LOW_DELAY_LEFT, 48000, {"delay 0"});
}

// The link refuses records while it syncs: what the sync did not take as the device held it reaches
// the device once the link runs, and nothing else does, so the device plays what the window shows.
void tst_DeviceSyncDomains::confirmedSync_sendsWhatTheSyncDidNotTake()
{
    QFETCH(eDeviceField, field);
    QFETCH(quint32, value);
    QFETCH(QStringList, sent);

    SetOnDevice(mLink->Device().Model(), field, value);
    Start();
    QVERIFY(ConnectAndSync());
    mLink->Device().ClearLog();
    QVERIFY(ConfirmSync());
    QCOMPARE(SentRecords(mLink->Device()), sent);
    const QStringList faults = DeviceFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));

    // Once: a second word that the link runs reaches the saves manager (nothing refuses it) and sends
    // nothing more, although the records the handshake read still differ from those the model sends.
    mLink->Device().ClearLog();
    cReportCapture capture;
    PostSyncCompletion();
    QVERIFY(Drain(*mLink));
    QVERIFY2(capture.Lines().isEmpty(), qPrintable(capture.Lines().join("")));
    QCOMPARE(SentRecords(mLink->Device()), QStringList());
}

// A unit the user set OUT is flat sections on the device, which its records cannot show: once the
// link runs after the sync, every band goes flat again, whatever the device made of them meanwhile.
void tst_DeviceSyncDomains::unitSetOut_isSentFlatOnceTheLinkRuns()
{
    Start();
    QVERIFY(ConnectAndSync());
    QVERIFY(ConfirmSync());
    cParametricEQUnit& unit = *mModel->mMid.GetLeftEQDriver()->GetUnit();
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
    QVERIFY(Drain(*mLink));
    QVERIFY(Disconnect());
    // The device lost its sections (a restart): its records still hold the bands' fields.
    for (M::sFilterRecord& record : mLink->Device().Model().mFilters)
    {
        record.mCoefficients = QByteArray(20, '\x11');
    }

    QVERIFY(ConnectAndSync());
    mLink->Device().ClearLog();
    QVERIFY(ConfirmSync());
    QCOMPARE(SentRecords(mLink->Device()),
             (QStringList{"filter 2:2", "filter 2:3", "filter 2:4", "filter 2:5"}));
    for (int slot = 2; slot < 6; ++slot)
    {
        QCOMPARE(Words(mLink->Device().Model().Filter(2, slot).mCoefficients), kUnity);
    }
    QVERIFY(unit.GetBypass());
}

void tst_DeviceSyncDomains::unitSetOut_staysOutAcrossAReconnect()
{
    Start();
    QVERIFY(ConnectAndSync());
    QVERIFY(mLink->Link().SetRunning());
    cParametricEQUnit& unit = *mModel->mMid.GetLeftEQDriver()->GetUnit();
    cRecordingNetObject block("Block", 1);
    LinkParameters(unit, block, {P::P_BYPASS});

    // OUT: the device gets flat sections, and its records' bypass fields stay as they were.
    SendParameter(unit, P::P_BYPASS, UBYTEPayload(1));
    QVERIFY(Drain(*mLink));
    for (int slot = 2; slot < 6; ++slot)
    {
        const sFilterFrame frame = LastFrame(mLink->Device(), nFilterTable::FilterId(2, slot));
        QCOMPARE(frame.mWords, kUnity);
        QCOMPARE(int(frame.mBypass), 0);
    }
    QVERIFY(Disconnect());

    QVERIFY(ConnectAndSync());
    QVERIFY(unit.GetBypass());
    QCOMPARE(Payloads(block, P::P_BYPASS), QList<QByteArray>{UBYTEPayload(1)}); // the click, nothing since
    QVERIFY(mLink->Link().SetRunning());
    QVERIFY(Disconnect());
}

// A peer asking band 0 bypassed is refused (the band has no bypass switch), so band 0's bypass field
// on the device stays the program's, and the unit stays IN at the next connect.
void tst_DeviceSyncDomains::bandZeroBypassedByTheProgram_leavesTheUnitIn()
{
    Start();
    QVERIFY(ConnectAndSync());
    QVERIFY(mLink->Link().SetRunning());
    cParametricEQUnit& unit = mModel->LowLeft();
    cReportCapture capture;
    SendParameter(unit, P::BandBypassParameter(0), UBYTEPayload(1));
    QVERIFY(Drain(*mLink));
    QVERIFY(capture.Contains("band 0, bypass refused: the band has no bypass switch"));
    QVERIFY(!unit.GetBand(0).mBypass);
    QCOMPARE(int(mLink->Device().Model().Filter(0, 2).mBypass), 0);
    QVERIFY(Disconnect());

    QVERIFY(ConnectAndSync());
    QVERIFY(!unit.GetBypass());
    QVERIFY(!unit.GetBand(0).mBypass);
    QVERIFY(Disconnect());
}

QTEST_GUILESS_MAIN(tst_DeviceSyncDomains)
#include "tst_DeviceSyncDomains.moc"
