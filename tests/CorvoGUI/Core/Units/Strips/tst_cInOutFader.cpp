#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/Units/cControlStripDriver.h"
#include "CorvoGUI/Core/Units/cControlStripUnit.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "tests/CorvoGUI/Core/Units/Strips/StripTestSupport.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace nStripTest;

namespace
{

// Records the order in which save objects come and go.
class cLoggingRegistry : public cSaveObjectRegistry
{
public:
    void RegisterSaveObject(cSaveObject* object) override
    {
        mLog.append(QString("+") + object->GetSaveName());
    }
    void UnregisterSaveObject(cSaveObject* object) override
    {
        mLog.append(QString("-") + object->GetSaveName());
    }
    QStringList mLog;
};

const char* const kNames[] = {
    "InOutFader:Input L Control Strip Unit", "InOutFader:Input R Control Strip Unit",
    "InOutFader:L Control Strip Unit1",      "InOutFader:R Control Strip Unit1",
    "InOutFader:L Control Strip Unit2",      "InOutFader:R Control Strip Unit2",
    "InOutFader:L Control Strip Unit3",      "InOutFader:R Control Strip Unit3",
};

} // namespace

class tst_cInOutFader : public QObject
{
    Q_OBJECT

private slots:
    void strips_areNamedIndexedAndInvertedByPosition_data();
    void strips_areNamedIndexedAndInvertedByPosition();
    void strips_takeBlocksAndSaveSlotsInIndexOrder();
    void construction_onARunningLinkSendsEveryStripInOrder();
};

void tst_cInOutFader::strips_areNamedIndexedAndInvertedByPosition_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inverted");
    for (int index = 0; index < cInOutFader::NUMBER_OF_STRIPS; ++index)
    {
        QTest::newRow(kNames[index]) << index << QString(kNames[index]) << (index >= 2);
    }
}

void tst_cInOutFader::strips_areNamedIndexedAndInvertedByPosition()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(bool, inverted);

    cScopedKVNetSystem system(false);
    cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
    cInOutFader fader(nullptr, &serial, nullptr);

    QCOMPARE(QString::fromStdString(cInOutFader::StripName(index)), name);
    const cControlStripUnit* unit = fader.GetUnit(index);
    QVERIFY(unit != nullptr);
    QCOMPARE(QString(unit->GetName()), name);
    QCOMPARE(QString(unit->GetSaveName()), name);
    QCOMPARE(gRegistryRouter->FindHandleByName(qPrintable(name)), unit->GetHandle());
    QCOMPARE(unit->GetNumberOfParameters(), KV_NET_DATA_SCALE(4));
    QCOMPARE(fader.GetStrip(index)->GetStripIndex(), ULONG(index));
    QCOMPARE(unit->IsPolarityInverted(), inverted);
    QCOMPARE(cInOutFader::InvertsPolarity(index), inverted);
    QVERIFY(fader.GetStrip(-1) == nullptr);
    QVERIFY(fader.GetUnit(cInOutFader::NUMBER_OF_STRIPS) == nullptr);
    QVERIFY(cInOutFader::StripName(cInOutFader::NUMBER_OF_STRIPS).empty());
}

void tst_cInOutFader::strips_takeBlocksAndSaveSlotsInIndexOrder()
{
    cScopedKVNetSystem system(false);
    QTemporaryDir dir;
    cNonVolatileStorageManager storage(dir.filePath("NonVolatileRamFile"), 4096, false, false);
    cSerialInterface serial(nullptr, std::make_unique<cFixedSerialPortList>());
    cLoggingRegistry registry;
    QStringList registered;
    QStringList unregistered;
    for (const char* name : kNames)
    {
        registered.append(QString("+") + name);
        unregistered.append(QString("-") + name);
    }
    {
        cInOutFader fader(&storage, &serial, &registry);
        for (int index = 0; index < cInOutFader::NUMBER_OF_STRIPS; ++index)
        {
            const cNonVolatileBlock& block = fader.GetUnit(index)->GetBlock();
            QVERIFY(block.IsInStorage());
            QCOMPARE(block.GetBlockAddress(), storage.GetStartAddress() + 8 * index);
            QCOMPARE(block.GetBlockSize(), size_t(8));
        }
        QCOMPARE(registry.mLog, registered);
        registry.mLog.clear();
    }
    QCOMPARE(registry.mLog, unregistered);
}

void tst_cInOutFader::construction_onARunningLinkSendsEveryStripInOrder()
{
    cScopedKVNetSystem system(false);
    cSerialTestLink link;
    QVERIFY(link.Opened());
    QVERIFY(link.Connect());
    QVERIFY(Drain(link));
    link.Device().ClearLog();

    cInOutFader fader(nullptr, &link.Link(), nullptr);
    QVERIFY(Drain(link));

    QList<QByteArray> expected;
    for (ULONG index = 0; index < ULONG(cInOutFader::NUMBER_OF_STRIPS); ++index)
    {
        // Defaults: unmuted at minus infinity, user polarity off (on towards the device for outputs).
        expected.append(StripPayload(index, 0, 0x8001, index >= 2 ? 1 : 0, 0));
    }
    QList<QByteArray> received;
    for (const cSimulatedDevice::sReceivedFrame& frame : link.Device().Frames())
    {
        if (frame.mCommand == 6)
        {
            received.append(frame.mPayload);
        }
    }
    QCOMPARE(received, expected);
}

QTEST_GUILESS_MAIN(tst_cInOutFader)
#include "tst_cInOutFader.moc"
