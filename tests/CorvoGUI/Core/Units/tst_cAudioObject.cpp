#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

namespace
{

constexpr KV_NET_DATA_SCALE P_GAIN = PARAMETER_BASE;

class cTestUnit : public cAudioObject
{
public:
    using cAudioObject::AnswerUBYTE;
    using cAudioObject::AnswerUWORD;
    using cAudioObject::cAudioObject;
    using cAudioObject::PublishUBYTE;
    using cAudioObject::PublishUWORD;
    ~cTestUnit() override { Unregister(); }
    void ActionTick() override {}
};

QList<QByteArray> PayloadsFrom(const cRecordingNetObject& recorder, UWORD source, UWORD method)
{
    QList<QByteArray> payloads;
    for (const cRecordingNetObject::sReceived& received : recorder.Received())
    {
        if (received.mSource == source && received.mMethod == method)
        {
            payloads.append(received.mPayload);
        }
    }
    return payloads;
}

} // namespace

class tst_cAudioObject : public QObject
{
    Q_OBJECT

private slots:
    void construction_joinsTheTickListOnlyWhenAsked_data();
    void construction_joinsTheTickListOnlyWhenAsked();
    void publish_reachesEveryLinkButTheSender();
    void answers_goToTheRequesterOnly();
};

void tst_cAudioObject::construction_joinsTheTickListOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("tick");
    QTest::newRow("action tick") << true;
    QTest::newRow("no action tick") << false;
}

void tst_cAudioObject::construction_joinsTheTickListOnlyWhenAsked()
{
    QFETCH(bool, tick);
    cScopedKVNetSystem system(false);
    cTestUnit unit("Unit", 2, tick);
    QVERIFY(unit.GetHandle() != KV_NET_NO_HANDLE);
    QCOMPARE(unit.GetNumberOfParameters(), KV_NET_DATA_SCALE(2));
    QCOMPARE(gRegistryRouter->IsInTickList(&unit), tick);
    QVERIFY(!gRegistryRouter->IsInTockList(&unit));
    QVERIFY(unit.IsPublishEnabled());
}

void tst_cAudioObject::publish_reachesEveryLinkButTheSender()
{
    cScopedKVNetSystem system(false);
    cTestUnit unit("Unit", 1, false);
    cRecordingNetObject fader("Fader", 1);
    cRecordingNetObject graph("Graph", 1);
    for (const cRecordingNetObject* target : {&fader, &graph})
    {
        QVERIFY(unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, target->GetHandle(), P_GAIN, P_GAIN, 0, 0,
                                           false));
    }

    // A value that came from the fader goes on to the graph only.
    cKVNetMessage fromFader(2);
    fromFader.mConnectionId = KV_NET_LOCAL_CONNECTION;
    fromFader.mSource = fader.GetHandle();
    fromFader.mDestination = unit.GetHandle();
    fromFader.mMethod = P_GAIN;
    fromFader.SetUWORD(0x1234, 0);
    unit.PublishParameter(fromFader);
    // The unit's own values reach both.
    unit.PublishUWORD(P_GAIN, 0xBEEF);
    unit.PublishUBYTE(P_GAIN, 7);
    cMessagePump::Pump();

    QCOMPARE(PayloadsFrom(fader, unit.GetHandle(), P_GAIN),
             (QList<QByteArray>{QByteArray::fromHex("BEEF"), QByteArray::fromHex("07")}));
    QCOMPARE(PayloadsFrom(graph, unit.GetHandle(), P_GAIN),
             (QList<QByteArray>{QByteArray::fromHex("1234"), QByteArray::fromHex("BEEF"),
                                QByteArray::fromHex("07")}));
}

void tst_cAudioObject::answers_goToTheRequesterOnly()
{
    cScopedKVNetSystem system(false);
    cTestUnit unit("Unit", 1, false);
    cRecordingNetObject requester("Requester", 4);
    cRecordingNetObject other("Other", 4);
    QVERIFY(
        unit.AddObjectToInformList(KV_NET_LOCAL_CONNECTION, other.GetHandle(), P_GAIN, P_GAIN, 0, 0, false));

    unit.AnswerUWORD(KV_NET_LOCAL_CONNECTION, requester.GetHandle(), PARAMETER_BASE + 2, 0x8001);
    unit.AnswerUBYTE(KV_NET_LOCAL_CONNECTION, requester.GetHandle(), PARAMETER_BASE + 3, 1);
    cMessagePump::Pump();

    QCOMPARE(PayloadsFrom(requester, unit.GetHandle(), PARAMETER_BASE + 2),
             QList<QByteArray>{QByteArray::fromHex("8001")});
    QCOMPARE(PayloadsFrom(requester, unit.GetHandle(), PARAMETER_BASE + 3),
             QList<QByteArray>{QByteArray::fromHex("01")});
    QCOMPARE(requester.Received().size(), size_t(2));
    QVERIFY(other.Received().empty());
}

QTEST_GUILESS_MAIN(tst_cAudioObject)
#include "tst_cAudioObject.moc"
