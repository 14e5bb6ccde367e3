#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "tests/support/cFakeNetworkConnection.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <memory>
#include <string>
#include <vector>

namespace
{

// Posts a message to target as if sent by the local object of handle source.
void Post(cNetObject& target, UWORD method, const QByteArray& payload = QByteArray(), UWORD source = 0x1234)
{
    cKVNetMessage m(UWORD(payload.size()));
    m.mConnectionId = 0;
    m.mDestination = target.GetHandle();
    m.mSource = source;
    m.mMethod = method;
    if (!payload.isEmpty())
    {
        memcpy(m.Data(), payload.constData(), size_t(payload.size()));
    }
    PostMessage(m);
}

QByteArray AddPayload(UWORD connectionId, UWORD handle, UWORD destinationMethod, UWORD sourceMethod,
                      UBYTE datagram = 0, UBYTE sync = 0)
{
    cKVNetMessage m(0);
    m.AppendUWORD(connectionId);
    m.AppendUWORD(handle);
    m.AppendUWORD(destinationMethod);
    m.AppendUWORD(sourceMethod);
    m.AppendUBYTE(datagram);
    m.AppendUBYTE(sync);
    return QByteArray(reinterpret_cast<const char*>(m.Data()), m.GetLength());
}

// Buffers a message as a connection's transport does (PostMessage would send it out).
void Arrive(cNetObject& target, UWORD connection, UWORD method, const QByteArray& payload, UWORD source)
{
    cKVNetMessage m(UWORD(payload.size()));
    m.mConnectionId = connection;
    m.mDestination = target.GetHandle();
    m.mSource = source;
    m.mMethod = method;
    if (!payload.isEmpty())
    {
        memcpy(m.Data(), payload.constData(), size_t(payload.size()));
    }
    gRegistryRouter->AddMessage(m);
}

// count link requests from the connection, differing only in the asker's handle and method.
void AskForLinks(cNetObject& target, UWORD connection, int count, UWORD firstHandle = 1000)
{
    for (int i = 0; i < count; ++i)
    {
        const UWORD handle = UWORD(firstHandle + i / 2);
        Arrive(target, connection, M_OBJECT_ADD_TO_INFORM_LIST,
               AddPayload(connection, handle, UWORD(PARAMETER_BASE + i % 2), PARAMETER_BASE), handle);
    }
    cMessagePump::Pump();
}

// Messages of that method the connection layer was given to send.
int SentOf(const cFakeNetworkConnection& network, UWORD method)
{
    int count = 0;
    for (const cKVNetMessage& m : network.SentOnTCP())
    {
        count += m.mMethod == method ? 1 : 0;
    }
    return count;
}

QByteArray Word(UWORD value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = char(value >> 8);
    bytes[1] = char(value & 0xFF);
    return bytes;
}

} // namespace

class tst_NetObject : public QObject
{
    Q_OBJECT

private slots:
    void init() { mSystem = std::make_unique<cScopedKVNetSystem>(false); }
    void cleanup() { mSystem.reset(); }

    void sameLinkTwice_keepsOneEntryOneNoticeOneSyncUp();
    void valueFromOneLink_goesOnlyToTheOtherLinks();
    void deleteList_countsLinkers_andUnregisterTellsEachOnce();
    void objectDeleted_dropsOnlyThatConnectionsEntries();
    void removeLink_notifiesTheTarget();
    void outOfRangeParameters_areRefusedWithReports_data();
    void outOfRangeParameters_areRefusedWithReports();
    void shortLinkPayloads_areReportedAndDropped_data();
    void shortLinkPayloads_areReportedAndDropped();
    void notImplementedMethods_replyFail_data();
    void notImplementedMethods_replyFail();
    void failedRegistration_leavesTickAndTockListsWhenDestroyed_data();
    void failedRegistration_leavesTickAndTockListsWhenDestroyed();
    void destructorOfAStillRegisteredObject_reportsAndUnregisters();
    void linksFromAConnection_areBoundedPerObjectAndInAll();
    void deleteListNoticesFromAConnection_shareTheBound();
    void linkBounds_letAConnectionLinkEveryParameterTwiceOver();

private:
    std::unique_ptr<cScopedKVNetSystem> mSystem;
};

void tst_NetObject::sameLinkTwice_keepsOneEntryOneNoticeOneSyncUp()
{
    cRecordingNetObject source("Source", 1);
    cRecordingNetObject target("Target", 2);
    source.SetValue(0, 0x0BCD);
    QByteArray link = AddPayload(0, target.GetHandle(), PARAMETER_BASE + 1, PARAMETER_BASE, 0, 1);
    Post(source, M_OBJECT_ADD_TO_INFORM_LIST, link);
    Post(source, M_OBJECT_ADD_TO_INFORM_LIST, link);
    cMessagePump::Pump();

    QCOMPARE(source.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(target.Count(M_OBJECT_ADD_TO_DELETE_LIST), 1);
    QCOMPARE(source.SyncUps(), 1);
    QCOMPARE(target.Count(PARAMETER_BASE + 1), 1);
    QCOMPARE(target.Value(1), UWORD(0x0BCD));
    QCOMPARE(target.GetDeleteListCount(0, source.GetHandle()), UWORD(1));
}

void tst_NetObject::valueFromOneLink_goesOnlyToTheOtherLinks()
{
    cRecordingNetObject hub("Hub", 1);
    cRecordingNetObject left("Left", 1);
    cRecordingNetObject right("Right", 1);
    hub.AddObjectToInformList(0, left.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    hub.AddObjectToInformList(0, right.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);

    Post(hub, PARAMETER_BASE, Word(42), left.GetHandle());
    cMessagePump::Pump();
    QCOMPARE(left.Count(PARAMETER_BASE), 0);
    QCOMPARE(right.Count(PARAMETER_BASE), 1);
    QCOMPARE(right.Received().back().mSource, hub.GetHandle());

    // A value of the hub's own reaches both.
    hub.SetValue(0, 7);
    hub.SendValue(0);
    cMessagePump::Pump();
    QCOMPARE(left.Count(PARAMETER_BASE), 1);
    QCOMPARE(right.Count(PARAMETER_BASE), 2);
}

void tst_NetObject::deleteList_countsLinkers_andUnregisterTellsEachOnce()
{
    auto linked = std::make_unique<cRecordingNetObject>("Linked", 1);
    cRecordingNetObject linker("Linker", 1);
    cRecordingNetObject other("Other", 1);
    for (int i = 0; i < 3; ++i)
    {
        Post(*linked, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), linker.GetHandle());
    }
    Post(*linked, M_OBJECT_REMOVE_FROM_DELETE_LIST, QByteArray(), linker.GetHandle());
    Post(*linked, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), other.GetHandle());
    Post(*linked, M_OBJECT_REMOVE_FROM_DELETE_LIST, QByteArray(), other.GetHandle());
    Post(*linked, M_OBJECT_REMOVE_FROM_DELETE_LIST, QByteArray(), other.GetHandle());
    cMessagePump::Pump();
    QCOMPARE(linked->GetDeleteListCount(0, linker.GetHandle()), UWORD(2));
    QCOMPARE(linked->GetDeleteListCount(0, other.GetHandle()), UWORD(0));

    KV_NET_DATA_SCALE handle = linked->GetHandle();
    linked.reset();
    cMessagePump::Pump();
    QCOMPARE(linker.Count(M_OBJECT_DELETED), 1);
    QCOMPARE(linker.Received().back().mSource, handle);
    QCOMPARE(other.Count(M_OBJECT_DELETED), 0);
}

void tst_NetObject::objectDeleted_dropsOnlyThatConnectionsEntries()
{
    cRecordingNetObject object("Object", 2);
    object.AddObjectToInformList(0, 12, PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    object.AddObjectToInformList(3, 12, PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    object.AddObjectToInformList(0, 12, PARAMETER_BASE, PARAMETER_BASE + 1, 0, 0, false);
    object.AddObjectToInformList(0, 13, PARAMETER_BASE, PARAMETER_BASE + 1, 0, 0, false);

    Post(object, M_OBJECT_DELETED, QByteArray(), 12);
    cMessagePump::Pump();
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE + 1), ULONG(1));
}

void tst_NetObject::removeLink_notifiesTheTarget()
{
    cRecordingNetObject source("Source", 1);
    cRecordingNetObject target("Target", 1);
    Post(source, M_OBJECT_ADD_TO_INFORM_LIST,
         AddPayload(0, target.GetHandle(), PARAMETER_BASE, PARAMETER_BASE));
    Post(source, M_OBJECT_REMOVE_FROM_INFORM_LIST,
         AddPayload(0, target.GetHandle(), PARAMETER_BASE, PARAMETER_BASE).left(8));
    cMessagePump::Pump();
    QCOMPARE(source.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(0));
    QCOMPARE(target.GetDeleteListCount(0, source.GetHandle()), UWORD(0));
    QCOMPARE(target.Count(M_OBJECT_REMOVE_FROM_DELETE_LIST), 1);
}

void tst_NetObject::outOfRangeParameters_areRefusedWithReports_data()
{
    QTest::addColumn<int>("parameters");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("add one past the last")
        << 2 << "add"
        << QStringList{"Add Parameter out of range Object Name: \"Object\" "
                       "Parameter: 2, mNumberOfParameters: 2",
                       "ConnectionId: 0, Handle: 5, DestinationMethod: 0x1000, "
                       "SourceMethod: 0x1002"};
    QTest::newRow("remove one past the last")
        << 2 << "remove"
        << QStringList{"Remove Parameter out of range Object Name: \"Object\" Parameter: 4098 Adjusted: 2, "
                       "mNumberOfParameters: 2",
                       "ConnectionId: 0, Handle: 5, Method: 4096"};
    QTest::newRow("count one past the last")
        << 2 << "count" << QStringList{"Parameter out of range Object Name: \"Object\" Parameter: 2"};
    QTest::newRow("parameter message to an object without parameters")
        << 0 << "message"
        << QStringList{"Unknown Method: 0x1000  Source: 0x1234, ConnId: 0 ObjectName: \"Object\""};
}

void tst_NetObject::outOfRangeParameters_areRefusedWithReports()
{
    QFETCH(int, parameters);
    QFETCH(QString, operation);
    QFETCH(QStringList, reports);
    cNetObject* object = new cNetObject("Object", KV_NET_DATA_SCALE(parameters), false, false);
    cReportCapture capture;
    const UWORD method = UWORD(PARAMETER_BASE + parameters);
    if (operation == "add")
    {
        QVERIFY(!object->AddObjectToInformList(0, 5, PARAMETER_BASE, method, 0, 1, true));
    }
    else if (operation == "remove")
    {
        QVERIFY(!object->RemoveObjectFromInformList(0, 5, PARAMETER_BASE, method, true));
    }
    else if (operation == "count")
    {
        QCOMPARE(object->GetNumberOfInformListItems(method), ULONG(0));
    }
    else
    {
        Post(*object, PARAMETER_BASE, Word(1));
        cMessagePump::Pump();
        cKVNetMessage value(2);
        value.mMethod = PARAMETER_BASE;
        object->SendToInformList(value);
    }
    for (const QString& report : reports)
    {
        QVERIFY2(capture.Contains(report), qPrintable(capture.Lines().join("")));
    }
    QCOMPARE(cMessagePump::Pump(), ULONG(0));
    object->Unregister();
    delete object;
}

void tst_NetObject::shortLinkPayloads_areReportedAndDropped_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("length");
    QTest::newRow("add, 9 bytes") << int(M_OBJECT_ADD_TO_INFORM_LIST) << 9;
    QTest::newRow("add, empty") << int(M_OBJECT_ADD_TO_INFORM_LIST) << 0;
    QTest::newRow("remove, 7 bytes") << int(M_OBJECT_REMOVE_FROM_INFORM_LIST) << 7;
}

void tst_NetObject::shortLinkPayloads_areReportedAndDropped()
{
    QFETCH(int, method);
    QFETCH(int, length);
    cRecordingNetObject source("Source", 1);
    cRecordingNetObject target("Target", 1);
    source.AddObjectToInformList(0, target.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    cReportCapture capture;
    Post(source, UWORD(method),
         AddPayload(0, target.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 0, 1).left(length));
    cMessagePump::Pump();
    QVERIFY(capture.Contains("is too short"));
    QCOMPARE(source.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(int(target.Received().size()), 0);
    QCOMPARE(source.SyncUps(), 0);
}

void tst_NetObject::notImplementedMethods_replyFail_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("report");
    QTest::newRow("absolute") << int(M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE)
                              << "NYI - M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE for Object on 15";
    QTest::newRow("relative") << int(M_ALL_RELATIVE_UPDATE_CURRENT_STORE)
                              << "NYI - M_ALL_RELATIVE_UPDATE_CURRENT_STORE for Object on 19";
}

void tst_NetObject::notImplementedMethods_replyFail()
{
    QFETCH(int, method);
    QFETCH(QString, report);
    cRecordingNetObject object("Object", 1);
    cRecordingNetObject asker("Asker", 1);
    cReportCapture capture;
    Post(object, UWORD(method), QByteArray(), asker.GetHandle());
    cMessagePump::Pump();
    QVERIFY(capture.Contains(report));
    QCOMPARE(asker.Count(M_REPLY_FAIL), 1);
}

void tst_NetObject::failedRegistration_leavesTickAndTockListsWhenDestroyed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("report");
    QTest::newRow("duplicate name") << "Taken"
                                    << "Net object name is not unique, Taken";
    QTest::newRow("64 characters") << QString(64, 'x') << "ObjectName length too long: 64";
}

void tst_NetObject::failedRegistration_leavesTickAndTockListsWhenDestroyed()
{
    QFETCH(QString, name);
    QFETCH(QString, report);
    cRecordingNetObject first("Taken", 1, true, true);
    cReportCapture capture;
    std::string text = name.toStdString();
    auto failed = std::make_unique<cRecordingNetObject>(text.c_str(), 1, true, true);
    QVERIFY(capture.Contains(report));
    QCOMPARE(failed->GetHandle(), KV_NET_NO_HANDLE);
    QVERIFY(gRegistryRouter->IsInTickList(failed.get()));

    cMessagePump::Tick();
    QCOMPARE(failed->Ticks(), 1);
    QCOMPARE(failed->Tocks(), 1);

    const cNetObject* gone = failed.get();
    failed.reset();
    QVERIFY(!gRegistryRouter->IsInTickList(gone));
    QVERIFY(!gRegistryRouter->IsInTockList(gone));
    cMessagePump::Tick();
    QCOMPARE(first.Ticks(), 2);
    QCOMPARE(first.Tocks(), 2);
    QCOMPARE(gRegistryRouter->FindHandleByName("Taken"), first.GetHandle());
}

void tst_NetObject::destructorOfAStillRegisteredObject_reportsAndUnregisters()
{
    cReportCapture capture;
    {
        cNetObject forgetful("Forgetful", 0, false, false);
        QVERIFY(gRegistryRouter->FindHandleByName("Forgetful") != KV_NET_NO_HANDLE);
    }
    QVERIFY(capture.Contains("This object (Forgetful) should have been unregistered by now"));
    QCOMPARE(gRegistryRouter->FindHandleByName("Forgetful"), KV_NET_NO_HANDLE);
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), ULONG(0));
}

void tst_NetObject::linksFromAConnection_areBoundedPerObjectAndInAll()
{
    std::vector<std::unique_ptr<cRecordingNetObject>> objects;
    for (int i = 0; i < 5; ++i)
    {
        objects.push_back(std::make_unique<cRecordingNetObject>(qPrintable(QString("Object %1").arg(i)), 1));
    }
    cFakeNetworkConnection network;
    cReportCapture capture;
    for (auto& object : objects)
    {
        AskForLinks(*object, 3, 300);
    }
    // Each link is answered to its target: made (a delete-list notice) or refused (M_REPLY_FAIL).
    QCOMPARE(SentOf(network, M_OBJECT_ADD_TO_DELETE_LIST), 1024);
    QCOMPARE(SentOf(network, M_REPLY_FAIL), 4 * 44 + 300);
    const cKVNetMessage refusal = network.SentOnTCP().back();
    QCOMPARE(refusal.mMethod, UWORD(M_REPLY_FAIL));
    QCOMPARE(refusal.mConnectionId, UWORD(3));
    QCOMPARE(refusal.mDestination, UWORD(1000 + 299 / 2));
    QCOMPARE(refusal.mSource, objects[4]->GetHandle());
    QCOMPARE(refusal.GetLength(), UWORD(0));
    // 256 on each of four objects make the 1024 of the connection; the fifth gets none.
    for (int i = 0; i < 4; ++i)
    {
        QCOMPARE(objects[size_t(i)]->GetLinksHeldByConnection(3), ULONG(256));
        QCOMPARE(objects[size_t(i)]->GetNumberOfInformListItems(PARAMETER_BASE), ULONG(256));
    }
    QCOMPARE(objects[4]->GetNumberOfInformListItems(PARAMETER_BASE), ULONG(0));
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(3), ULONG(1024));
    QCOMPARE(
        capture.Count("Link from connection 3 to \"Object 0\" refused: the connection holds 256 links here "
                      "and 256 in all (at most 256 and 1024)"),
        1);
    QCOMPARE(capture.Lines().size(), 1);

    // Another connection, and links made locally (to connection 3 as well), are not held back.
    AskForLinks(*objects[4], 4, 2);
    QCOMPARE(objects[4]->GetLinksHeldByConnection(4), ULONG(2));
    Post(*objects[0], M_OBJECT_ADD_TO_INFORM_LIST, AddPayload(3, 77, PARAMETER_BASE, PARAMETER_BASE));
    Post(*objects[0], M_OBJECT_ADD_TO_INFORM_LIST, AddPayload(0, 77, PARAMETER_BASE, PARAMETER_BASE));
    cMessagePump::Pump();
    QCOMPARE(objects[0]->GetNumberOfInformListItems(PARAMETER_BASE), ULONG(258));

    // Once the connection has gone, its next connection starts afresh, and is told once again.
    gRegistryRouter->RemoveConnection(3, false);
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(3), ULONG(0));
    QCOMPARE(objects[0]->GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    // The links the last one held are new to it: made, and told.
    network.ClearSent();
    AskForLinks(*objects[0], 3, 4);
    QCOMPARE(objects[0]->GetLinksHeldByConnection(3), ULONG(4));
    QCOMPARE(objects[0]->GetNumberOfInformListItems(PARAMETER_BASE), ULONG(5));
    QCOMPARE(SentOf(network, M_OBJECT_ADD_TO_DELETE_LIST), 4);
    AskForLinks(*objects[4], 3, 257);
    QCOMPARE(objects[4]->GetLinksHeldByConnection(3), ULONG(256));
    QCOMPARE(capture.Count("Link from connection 3 to \"Object 4\" refused"), 1);
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(4), ULONG(2));
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(3), ULONG(4 + 256));
}

void tst_NetObject::deleteListNoticesFromAConnection_shareTheBound()
{
    cRecordingNetObject object("Object", 1);
    cReportCapture capture;
    for (UWORD source = 1; source <= 200; ++source)
    {
        Arrive(object, 5, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), source);
    }
    // A linker counted again is no new entry.
    Arrive(object, 5, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), 1);
    AskForLinks(object, 5, 100);
    QCOMPARE(object.GetLinksHeldByConnection(5), ULONG(256));
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(56));
    QCOMPARE(object.GetDeleteListCount(5, 1), UWORD(2));
    Arrive(object, 5, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), 201);
    cMessagePump::Pump();
    QCOMPARE(object.GetDeleteListCount(5, 201), UWORD(0));
    QCOMPARE(capture.Count("Link from connection 5"), 1);

    // What the connection takes back makes room again: a removed link, a linker gone.
    Arrive(object, 5, M_OBJECT_REMOVE_FROM_INFORM_LIST,
           AddPayload(5, 1000, PARAMETER_BASE, PARAMETER_BASE).left(8), 1000);
    Arrive(object, 5, M_OBJECT_DELETED, QByteArray(), 2);
    Arrive(object, 5, M_OBJECT_ADD_TO_DELETE_LIST, QByteArray(), 201);
    AskForLinks(object, 5, 1, 2000);
    QCOMPARE(object.GetDeleteListCount(5, 201), UWORD(1));
    QCOMPARE(object.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(56));
    QCOMPARE(object.GetLinksHeldByConnection(5), ULONG(256));
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(5), ULONG(256));
}

void tst_NetObject::linkBounds_letAConnectionLinkEveryParameterTwiceOver()
{
    // More parameters than the least bounds hold twice: one object of 300, 400 of 2.
    cRecordingNetObject large("Large", 300);
    std::vector<std::unique_ptr<cRecordingNetObject>> small;
    for (int i = 0; i < 400; ++i)
    {
        small.push_back(std::make_unique<cRecordingNetObject>(qPrintable(QString("Small %1").arg(i)), 2));
    }
    QCOMPARE(gRegistryRouter->GetNumberOfRegisteredParameters(), ULONG(1100));
    const ULONG bound = gRegistryRouter->GetLinkBoundPerConnection();
    QCOMPARE(bound, ULONG(2 * (1100 + 401)));
    QCOMPARE(large.GetLinkBound(), ULONG(602));
    QCOMPARE(small[0]->GetLinkBound(), ULONG(256));

    // A peer links every parameter of every object to two handles of its own: none is refused.
    cFakeNetworkConnection network;
    cReportCapture capture;
    std::vector<cRecordingNetObject*> all{&large};
    for (auto& object : small)
    {
        all.push_back(object.get());
    }
    for (const UWORD target : {UWORD(1000), UWORD(1001)})
    {
        for (cRecordingNetObject* object : all)
        {
            for (UWORD p = 0; p < object->GetNumberOfParameters(); ++p)
            {
                const UWORD method = UWORD(PARAMETER_BASE + p);
                Arrive(*object, 3, M_OBJECT_ADD_TO_INFORM_LIST, AddPayload(3, target, method, method),
                       target);
            }
        }
        cMessagePump::Pump();
    }
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(3), ULONG(2200));
    QCOMPARE(large.GetLinksHeldByConnection(3), ULONG(600));
    QCOMPARE(large.GetNumberOfInformListItems(PARAMETER_BASE + 299), ULONG(2));
    QCOMPARE(SentOf(network, M_OBJECT_ADD_TO_DELETE_LIST), 2200);
    QCOMPARE(SentOf(network, M_REPLY_FAIL), 0);
    QVERIFY(capture.Lines().isEmpty());

    // Still bounded: the large object takes two entries more, then refuses, answers each refusal
    // and reports the first.
    AskForLinks(large, 3, 5, 2000);
    QCOMPARE(large.GetLinksHeldByConnection(3), ULONG(602));
    QCOMPARE(SentOf(network, M_REPLY_FAIL), 3);
    QCOMPARE(capture.Count(QString("Link from connection 3 to \"Large\" refused: the connection holds 602 "
                                   "links here and 2202 in all (at most 602 and %1)")
                               .arg(bound)),
             1);
    QCOMPARE(capture.Lines().size(), 1);

    // The bound follows the registry: with the small objects gone, their links went with them.
    small.clear();
    QCOMPARE(gRegistryRouter->GetNumberOfRegisteredParameters(), ULONG(300));
    QCOMPARE(gRegistryRouter->GetLinkBoundPerConnection(), cRegistryRouter::MAX_LINKS_PER_CONNECTION);
    QCOMPARE(gRegistryRouter->GetLinksHeldByConnection(3), ULONG(602));
}

QTEST_GUILESS_MAIN(tst_NetObject)
#include "tst_NetObject.moc"
