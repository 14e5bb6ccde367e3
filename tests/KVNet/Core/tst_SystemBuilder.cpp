#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cPostMessageHook.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cFakeNetworkConnection.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <memory>
#include <vector>

namespace
{

// Records what the system builder posts (finds and link messages), in order.
class cBuilderTrace : public cPostMessageHook
{
public:
    cBuilderTrace() { SetPostMessageHook(this); }
    ~cBuilderTrace() override { SetPostMessageHook(nullptr); }

    bool PostMessageHook(cKVNetMessage& message) override
    {
        if (gSystemBuilder != nullptr && message.mSource == gSystemBuilder->GetHandle())
        {
            QString entry;
            if (message.mMethod == M_REG_FIND_OBJECT)
            {
                entry = QString("find %1").arg(message.GetString(0));
            }
            else
            {
                entry = QString("%1 to %2:%3")
                            .arg(message.mMethod == M_OBJECT_ADD_TO_INFORM_LIST ? "add" : "remove")
                            .arg(message.mConnectionId)
                            .arg(message.mDestination);
            }
            mEntries.append(entry);
        }
        return false;
    }
    int Finds(const QString& name) const { return mEntries.count("find " + name); }

    QStringList mEntries;
};

sParameterLinkingCommand Link(const char* source, UWORD sourceParam, const char* destination, UWORD destParam,
                              bool sync = false, bool remove = false)
{
    sParameterLinkingCommand command;
    command.SetSourcePath(source);
    command.SetDestinationPath(destination);
    command.mSourceParam = sourceParam;
    command.mDestParam = destParam;
    command.mSync = sync;
    command.mRemove = remove;
    return command;
}

void InjectReply(UWORD connectionId, UWORD method, const QByteArray& payload)
{
    cKVNetMessage reply(UWORD(payload.size()));
    memcpy(reply.Data(), payload.constData(), size_t(payload.size()));
    reply.mConnectionId = connectionId;
    reply.mDestination = gSystemBuilder->GetHandle();
    reply.mSource = 0;
    reply.mMethod = method;
    gRegistryRouter->AddMessage(reply);
}

QByteArray Bytes(const cKVNetMessage& message)
{
    return QByteArray(reinterpret_cast<const char*>(message.Data()), message.GetLength());
}

#define VERIFY_COUNTERS()                                                                                    \
    QCOMPARE(gSystemBuilder->GetRequestedCount() - gSystemBuilder->GetMadeCount(),                           \
             ULONG(gSystemBuilder->GetQueuedCount()))

} // namespace

class tst_SystemBuilder : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DeleteSystem(); }

    void linkMessages_haveTheirForm_data();
    void linkMessages_haveTheirForm();
    void linkToAVersion2Peer_usesTheWideForms();
    void twoCommands_areMadeStrictlyInOrder();
    void lateRegistration_isSoughtOncePerTick_andMadeWhenItAppears();
    void removalOfAMissingObject_isReportedAndDropped();
    void linkWithCallback_isGivenUpAfterTheFirstFailure();
    void secondFindOfAnObject_isAnsweredFromTheCache();
    void connectionLoss_followsThePolicy_data();
    void connectionLoss_followsThePolicy();
    void closedConnection_isNotUsedFromTheCacheAgain();
    void replyWithoutAHandle_isReportedAndTakenAsNotFound();
    void overlongPath_isCutWithAReport();
};

void tst_SystemBuilder::linkMessages_haveTheirForm_data()
{
    QTest::addColumn<bool>("sync");
    QTest::addColumn<bool>("datagram");
    QTest::addColumn<bool>("bidirect");
    QTest::addColumn<QByteArray>("toSource");
    QTest::addColumn<QByteArray>("toDestination");
    QTest::newRow("plain") << false << false << false << QByteArray::fromHex("0000 0003 1001 1000 00 00")
                           << QByteArray();
    QTest::newRow("sync") << true << false << false << QByteArray::fromHex("0000 0003 1001 1000 00 01")
                          << QByteArray();
    QTest::newRow("datagram") << false << true << false << QByteArray::fromHex("0000 0003 1001 1000 01 00")
                              << QByteArray();
    QTest::newRow("bidirect, sync only forward")
        << true << false << true << QByteArray::fromHex("0000 0003 1001 1000 00 01")
        << QByteArray::fromHex("0000 0002 1000 1001 00 00");
}

void tst_SystemBuilder::linkMessages_haveTheirForm()
{
    QFETCH(bool, sync);
    QFETCH(bool, datagram);
    QFETCH(bool, bidirect);
    QFETCH(QByteArray, toSource);
    QFETCH(QByteArray, toDestination);
    StartSystem(0, true);
    cRecordingNetObject source("Src", 2);
    cRecordingNetObject destination("Dst", 2);
    QCOMPARE(source.GetHandle(), KV_NET_DATA_SCALE(2));
    QCOMPARE(destination.GetHandle(), KV_NET_DATA_SCALE(3));
    source.SetValue(0, 0x1234);
    destination.SetValue(1, 0x5678);

    sParameterLinkingCommand command = Link("Src", PARAMETER_BASE, "Dst", PARAMETER_BASE + 1, sync);
    command.mDataGram = datagram;
    gSystemBuilder->AddLinkCommandToList(command, bidirect);
    cMessagePump::Pump();
    QCOMPARE(source.LastPayload(M_OBJECT_ADD_TO_INFORM_LIST), toSource);
    QCOMPARE(destination.LastPayload(M_OBJECT_ADD_TO_INFORM_LIST), toDestination);
    QCOMPARE(destination.Count(PARAMETER_BASE + 1), sync ? 1 : 0);
    QCOMPARE(source.Count(PARAMETER_BASE), 0);
    QCOMPARE(source.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(destination.GetNumberOfInformListItems(PARAMETER_BASE + 1), ULONG(bidirect ? 1 : 0));
    VERIFY_COUNTERS();
    QCOMPARE(gSystemBuilder->GetMadeCount(), ULONG(1));

    // The same command as a removal takes back exactly what was made.
    command.mRemove = true;
    gSystemBuilder->AddLinkCommandToList(command, bidirect);
    cMessagePump::Pump();
    QCOMPARE(source.LastPayload(M_OBJECT_REMOVE_FROM_INFORM_LIST), toSource.left(8));
    QCOMPARE(destination.LastPayload(M_OBJECT_REMOVE_FROM_INFORM_LIST), toDestination.left(8));
    QCOMPARE(source.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(0));
    QCOMPARE(destination.GetNumberOfInformListItems(PARAMETER_BASE + 1), ULONG(0));
    QCOMPARE(destination.GetDeleteListCount(0, source.GetHandle()), UWORD(0));
    QCOMPARE(source.GetDeleteListCount(0, destination.GetHandle()), UWORD(0));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::linkToAVersion2Peer_usesTheWideForms()
{
    StartSystem(0, true);
    cFakeNetworkConnection network;
    network.AddConnection(2, "peer", true);
    cRecordingNetObject destination("Dst", 2);

    gSystemBuilder->AddLinkCommandToList(Link("peer/Remote", PARAMETER_BASE, "Dst", PARAMETER_BASE + 1, true),
                                         true);
    cMessagePump::Pump();
    std::vector<cKVNetMessage> sent = network.SentOnTCP();
    QCOMPARE(int(sent.size()), 1);
    QCOMPARE(sent[0].mConnectionId, UWORD(2));
    QCOMPARE(Bytes(sent[0]), QByteArray("Remote", 7));
    network.ClearSent();

    InjectReply(2, M_REPLY_OK, QByteArray::fromHex("0000004D"));
    cMessagePump::Pump();
    sent = network.SentOnTCP();
    QCOMPARE(int(sent.size()), 2);
    QCOMPARE(sent[0].mMethod, UWORD(M_OBJECT_ADD_TO_INFORM_LIST));
    QCOMPARE(sent[0].mDestination, UWORD(77));
    QCOMPARE(Bytes(sent[0]), QByteArray::fromHex("0000 00000002 00001001 00001000 00 01"));
    // The destination is local: the reverse link has the narrow form and sync byte 0.
    QCOMPARE(destination.LastPayload(M_OBJECT_ADD_TO_INFORM_LIST),
             QByteArray::fromHex("0002 004D 1000 1001 00 00"));
    QCOMPARE(sent[1].mMethod, UWORD(M_OBJECT_ADD_TO_DELETE_LIST));
    QCOMPARE(sent[1].mDestination, UWORD(77));
    QCOMPARE(gSystemBuilder->GetSeekCacheCount(), UWORD(2));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::twoCommands_areMadeStrictlyInOrder()
{
    StartSystem(0, true);
    cBuilderTrace trace;
    cRecordingNetObject a("A"), b("B"), c("C"), d("D");
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    gSystemBuilder->AddLinkCommandToList(Link("C", PARAMETER_BASE, "D", PARAMETER_BASE), false);
    QVERIFY(gSystemBuilder->IsBusy());
    VERIFY_COUNTERS();
    cMessagePump::Pump();
    QCOMPARE(trace.mEntries, (QStringList{"find A", "find B", QString("add to 0:%1").arg(a.GetHandle()),
                                          "find C", "find D", QString("add to 0:%1").arg(c.GetHandle())}));
    QVERIFY(!gSystemBuilder->IsBusy());
    QCOMPARE(gSystemBuilder->GetState(), cSystemBuilder::IDLE);
    QCOMPARE(gSystemBuilder->GetMadeCount(), ULONG(2));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::lateRegistration_isSoughtOncePerTick_andMadeWhenItAppears()
{
    StartSystem(0, true);
    cBuilderTrace trace;
    cRecordingNetObject a("A");
    cReportCapture capture;
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "Late", PARAMETER_BASE, true), false);
    cMessagePump::Pump();
    QCOMPARE(trace.Finds("Late"), 1);
    QCOMPARE(cMessagePump::Buffered(), ULONG(0));

    cMessagePump::Tick(3);
    QCOMPARE(trace.Finds("Late"), 4);
    QCOMPARE(capture.Count("Can't find = \"Late\""), 1);
    QCOMPARE(capture.Count("mSourcePath = \"A\", mDestinationPath = \"Late\""), 1);
    QCOMPARE(gSystemBuilder->GetQueuedCount(), UWORD(1));
    VERIFY_COUNTERS();

    cRecordingNetObject late("Late");
    a.SetValue(0, 99);
    cMessagePump::Tick();
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(late.Value(0), UWORD(99));
    QCOMPARE(gSystemBuilder->GetMadeCount(), ULONG(1));
    QVERIFY(!gSystemBuilder->IsBusy());
    VERIFY_COUNTERS();
    cMessagePump::Tick(2);
    QCOMPARE(trace.Finds("Late"), 5);
}

void tst_SystemBuilder::removalOfAMissingObject_isReportedAndDropped()
{
    StartSystem(0, true);
    cRecordingNetObject a("A"), b("B");
    cReportCapture capture;
    gSystemBuilder->AddLinkCommandToList(Link("Missing", PARAMETER_BASE, "B", PARAMETER_BASE, false, true),
                                         false);
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    cMessagePump::Pump();
    QVERIFY(capture.Contains("Can't find = \"Missing\""));
    QVERIFY(capture.Contains(
        "SourceParam: 4096,  DestParam: 4096,  Remove: True,  Sync: False,  Bidirect: False,  "
        "DataGram: False,"));
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(gSystemBuilder->GetMadeCount(), ULONG(2));
    QCOMPARE(gSystemBuilder->GetQueuedCount(), UWORD(0));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::linkWithCallback_isGivenUpAfterTheFirstFailure()
{
    StartSystem(0, true);
    cRecordingNetObject a("A"), b("B");
    cReportCapture capture;
    std::vector<std::pair<UWORD, UWORD>> calls;
    sParameterLinkingCommand command = Link("A", PARAMETER_BASE, "Missing", PARAMETER_BASE);
    command.mUserValue = 17;
    command.mCompletionCallback =
        [&calls](sParameterLinkingCommand* c, UWORD connectionId, KV_NET_DATA_SCALE handle)
    {
        QCOMPARE(c->mUserValue, std::uint64_t(17));
        calls.emplace_back(connectionId, handle);
    };
    gSystemBuilder->AddLinkCommandToList(command, false);
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    cMessagePump::Tick(2);
    QCOMPARE(int(calls.size()), 1);
    QCOMPARE(calls[0], std::make_pair(UWORD(0xFFFF), UWORD(0xFFFF)));
    QVERIFY(!capture.Contains("Can't find"));
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::secondFindOfAnObject_isAnsweredFromTheCache()
{
    StartSystem(0, true);
    cBuilderTrace trace;
    cRecordingNetObject a("A"), b("B"), c("C");
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "C", PARAMETER_BASE), false);
    cMessagePump::Pump();
    QCOMPARE(trace.mEntries.filter("find"), (QStringList{"find A", "find B", "find C"}));
    // The cached answer (one byte longer) is not cached again.
    QCOMPARE(gSystemBuilder->GetSeekCacheCount(), UWORD(3));
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(2));

    // A new burst starts with an empty cache.
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE, false, true), false);
    cMessagePump::Pump();
    QCOMPARE(trace.Finds("A"), 2);
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::connectionLoss_followsThePolicy_data()
{
    QTest::addColumn<int>("policy");
    QTest::addColumn<bool>("callback");
    QTest::addColumn<int>("made");
    QTest::addColumn<int>("queued");
    QTest::addColumn<int>("localLinks");
    QTest::newRow("0: abandon the link in progress") << 0 << false << 2 << 0 << 1;
    QTest::newRow("0 with a callback") << 0 << true << 2 << 0 << 1;
    QTest::newRow("1: clear the queue") << 1 << false << 0 << 0 << 0;
    QTest::newRow("2: nothing") << 2 << false << 0 << 2 << 0;
}

void tst_SystemBuilder::connectionLoss_followsThePolicy()
{
    QFETCH(int, policy);
    QFETCH(bool, callback);
    QFETCH(int, made);
    QFETCH(int, queued);
    QFETCH(int, localLinks);
    StartSystem(ULONG(policy), true);
    cFakeNetworkConnection network;
    network.AddConnection(2, "peer");
    cRecordingNetObject a("A"), b("B");
    std::vector<std::pair<UWORD, UWORD>> calls;
    sParameterLinkingCommand remote = Link("peer/Far", PARAMETER_BASE, "B", PARAMETER_BASE);
    if (callback)
    {
        remote.mCompletionCallback =
            [&calls](sParameterLinkingCommand*, UWORD connectionId, KV_NET_DATA_SCALE handle)
        { calls.emplace_back(connectionId, handle); };
    }
    gSystemBuilder->AddLinkCommandToList(remote, false);
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    cMessagePump::Pump();
    QCOMPARE(int(network.SentOnTCP().size()), 1);

    cReportCapture capture;
    gRegistryRouter->RemoveConnection(2, false);
    cMessagePump::Tick();
    QVERIFY(!capture.Contains("Can't find"));
    QCOMPARE(int(gSystemBuilder->GetMadeCount()), made);
    QCOMPARE(int(gSystemBuilder->GetQueuedCount()), queued);
    QCOMPARE(int(a.GetNumberOfInformListItems(PARAMETER_BASE)), localLinks);
    QCOMPARE(int(calls.size()), callback ? 1 : 0);
    if (callback)
    {
        QCOMPARE(calls[0], std::make_pair(UWORD(2), UWORD(0xFFFF)));
    }
    if (policy != 1)
    {
        VERIFY_COUNTERS();
    }
}

void tst_SystemBuilder::closedConnection_isNotUsedFromTheCacheAgain()
{
    StartSystem(0, true);
    cFakeNetworkConnection network;
    network.AddConnection(2, "peer");
    cRecordingNetObject a("A"), b("B"), c("C");
    cReportCapture capture;
    gSystemBuilder->AddLinkCommandToList(Link("peer/Far", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    gSystemBuilder->AddLinkCommandToList(Link("A", PARAMETER_BASE, "Late", PARAMETER_BASE), false);
    gSystemBuilder->AddLinkCommandToList(Link("peer/Far", PARAMETER_BASE + 1, "C", PARAMETER_BASE), false);
    cMessagePump::Pump();
    InjectReply(2, M_REPLY_OK, QByteArray::fromHex("0032"));
    cMessagePump::Pump();
    std::vector<cKVNetMessage> sent = network.SentOnTCP();
    QCOMPARE(int(sent.size()), 2);
    QCOMPARE(sent[1].mMethod, UWORD(M_OBJECT_ADD_TO_INFORM_LIST));
    QCOMPARE(sent[1].mDestination, UWORD(0x32));

    // Connection 2 closes while the builder waits for "Late"; the peer comes back as connection 3.
    gRegistryRouter->RemoveConnection(2, false);
    network.DropConnection(2);
    network.SetOutgoingResult(3);
    network.ClearSent();
    cRecordingNetObject late("Late");
    cMessagePump::Tick();
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    sent = network.SentOnTCP();
    QCOMPARE(int(sent.size()), 1);
    QCOMPARE(sent[0].mMethod, UWORD(M_REG_FIND_OBJECT));
    QCOMPARE(sent[0].mConnectionId, UWORD(3));
    QCOMPARE(network.OutgoingAttempts(), 1);
    VERIFY_COUNTERS();
}

void tst_SystemBuilder::replyWithoutAHandle_isReportedAndTakenAsNotFound()
{
    StartSystem(0, true);
    cFakeNetworkConnection network;
    network.AddConnection(2, "peer");
    cRecordingNetObject b("B");
    gSystemBuilder->AddLinkCommandToList(Link("peer/Far", PARAMETER_BASE, "B", PARAMETER_BASE), false);
    cMessagePump::Pump();
    cReportCapture capture;
    InjectReply(2, M_REPLY_OK, QByteArray(1, '\x05'));
    cMessagePump::Pump();
    QVERIFY(capture.Contains("M_REPLY_OK of 1 bytes has no handle (2 needed) for \"peer/Far\""));
    QVERIFY(capture.Contains("Can't find = \"peer/Far\""));
    network.ClearSent();
    cMessagePump::Tick();
    QCOMPARE(int(network.SentOnTCP().size()), 1);
    QCOMPARE(gSystemBuilder->GetMadeCount(), ULONG(0));
}

void tst_SystemBuilder::overlongPath_isCutWithAReport()
{
    cReportCapture capture;
    sParameterLinkingCommand command;
    QByteArray path(200, 'p');
    QVERIFY(!command.SetSourcePath(path.constData()));
    QCOMPARE(QByteArray(command.mSourcePath), path.left(127));
    QVERIFY(capture.Contains("Link path of 200 characters cut to 127"));
    QVERIFY(command.SetDestinationPath("Short"));
    QCOMPARE(QByteArray(command.mDestinationPath), QByteArray("Short"));
}

QTEST_GUILESS_MAIN(tst_SystemBuilder)
#include "tst_SystemBuilder.moc"
