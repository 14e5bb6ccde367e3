#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "tests/support/cReportCapture.h"

#include <QBuffer>
#include <QDataStream>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{

class cListRegistry : public cSaveObjectRegistry
{
public:
    void RegisterSaveObject(cSaveObject* object) override { mObjects.push_back(object); }
    void UnregisterSaveObject(cSaveObject* object) override
    {
        mObjects.erase(std::remove(mObjects.begin(), mObjects.end(), object), mObjects.end());
    }
    std::vector<cSaveObject*> mObjects;
};

} // namespace

class tst_cSaveObject : public QObject
{
    Q_OBJECT

private slots:
    void construction_keepsTheNameCutTo63_data();
    void construction_keepsTheNameCutTo63();
    void objects_registerInConstructionOrderAndLeaveOnDestruction();
    void defaultOperations_reportWithTheNameAndTouchNoData();
};

void tst_cSaveObject::construction_keepsTheNameCutTo63_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("kept");

    const QByteArray longest(63, 'n');
    QTest::newRow("ordinary") << QByteArray("LMH 1: L Parametric EQ Unit")
                              << QByteArray("LMH 1: L Parametric EQ Unit");
    QTest::newRow("63 characters") << longest << longest;
    QTest::newRow("64 characters") << longest + "x" << longest;
    QTest::newRow("null") << QByteArray() << QByteArray("");
}

void tst_cSaveObject::construction_keepsTheNameCutTo63()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, kept);
    cSaveObject object(name.isNull() ? nullptr : name.constData(), nullptr);
    QCOMPARE(QByteArray(object.GetSaveName()), kept);
}

void tst_cSaveObject::objects_registerInConstructionOrderAndLeaveOnDestruction()
{
    cListRegistry registry;
    cSaveObject first("First", &registry);
    auto second = std::make_unique<cSaveObject>("Second", &registry);
    auto third = std::make_unique<cSaveObject>("Third", &registry);
    cSaveObject* const thirdAddress = third.get();
    QCOMPARE(registry.mObjects, (std::vector<cSaveObject*>{&first, second.get(), thirdAddress}));
    QCOMPARE(first.GetRegistry(), &registry);

    second.reset();
    QCOMPARE(registry.mObjects, (std::vector<cSaveObject*>{&first, thirdAddress}));

    // After its registry has gone (and said so), an object does not call it again.
    third->ForgetRegistry();
    third.reset();
    QCOMPARE(registry.mObjects, (std::vector<cSaveObject*>{&first, thirdAddress}));
}

void tst_cSaveObject::defaultOperations_reportWithTheNameAndTouchNoData()
{
    cSaveObject object("Bare Unit", nullptr);
    QByteArray bytes("record");
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadWrite));
    QDataStream stream(&buffer);

    cReportCapture capture;
    object.SaveData(&stream);
    QVERIFY(object.RecallData(&stream));
    QCOMPARE(object.SyncData(), SYNC_SKIPPED);

    QCOMPARE(capture.Lines().size(), 3);
    QVERIFY(capture.Lines()[0].startsWith("ERROR: SaveData not implemented! (Bare Unit)"));
    QVERIFY(capture.Lines()[1].startsWith("ERROR: RecallData not implemented! (Bare Unit)"));
    QVERIFY(capture.Lines()[2].startsWith("ERROR: SyncData not implemented! (Bare Unit)"));
    QCOMPARE(buffer.pos(), qint64(0));
    QCOMPARE(bytes, QByteArray("record"));
    QCOMPARE(stream.status(), QDataStream::Ok);
}

QTEST_GUILESS_MAIN(tst_cSaveObject)
#include "tst_cSaveObject.moc"
