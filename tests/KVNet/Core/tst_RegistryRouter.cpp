#include "KVNet/Core/KVNetMesspoolsPrint.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetHandleRing.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cNetObjectHashMap.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cFakeNetworkConnection.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

void PostTo(UWORD destination, UWORD method, UWORD source = 0, const QByteArray& payload = QByteArray())
{
    cKVNetMessage m(UWORD(payload.size()));
    m.mConnectionId = 0;
    m.mDestination = destination;
    m.mSource = source;
    m.mMethod = method;
    if (!payload.isEmpty())
    {
        memcpy(m.Data(), payload.constData(), size_t(payload.size()));
    }
    PostMessage(m);
}

// A router whose pools can be made to run dry.
class cDryRouter : public cRegistryRouter
{
public:
    std::atomic<bool> mDry{false};

protected:
    cKVNetMessage* GetPooledMessage(KV_NET_DATA_SCALE length) override
    {
        return mDry.load() ? nullptr : cRegistryRouter::GetPooledMessage(length);
    }
};

// A builder that, once asked, stops inside SetBusy (under its link-list lock) until released.
class cHoldingBuilder : public cSystemBuilder
{
public:
    cHoldingBuilder()
        : cSystemBuilder("KVNet System Builder", 0, 10, 0, nullptr)
    {
    }
    void SetBusy() override
    {
        cSystemBuilder::SetBusy();
        if (mHold.exchange(false))
        {
            mHeld.release();
            mRelease.acquire();
        }
    }
    std::atomic<bool> mHold{false};
    QSemaphore mHeld;
    QSemaphore mRelease;
};

} // namespace

class tst_RegistryRouter : public QObject
{
    Q_OBJECT

private slots:
    void handles_areTakenInOrder_andAReleasedOneComesBackLast();
    void handleRing_holdsAtMost44999();
    void registration_fillsTheRegistryTo44999Objects();
    void names_data();
    void names();
    void nameMap_growsTo1601BucketsAfter601Names();
    void nameHash_takesBytesAsSigned_data();
    void nameHash_takesBytesAsSigned();
    void find_data();
    void find();
    void tock_comesAfterEverythingTheTicksPosted();
    void messagesToFreeOrInvalidHandles_areDroppedSilently_data();
    void messagesToFreeOrInvalidHandles_areDroppedSilently();
    void unknownRouterMethod_isReported();
    void removeConnection_dropsOnlyThatConnectionsLinks();
    void linkRequestOfAnEndedConnection_isDroppedWhenDelivered();
    void messageOfAnEndedConnection_carriesOutOnlyItsChanges_data();
    void messageOfAnEndedConnection_carriesOutOnlyItsChanges();
    void changesOfAnEndedConnection_keepTheirOrderAndAnswerNoConnection();
    void messpoolsLine_data();
    void messpoolsLine();
    void printMesspools_appendsFramedPrintout();
    void poolsFull_isReportedOnce_withoutWaitingForBusyLocks();
    void poolsFull_whileTheBuilderWorksElsewhere_saysTheLinkIsNotAvailable();
};

void tst_RegistryRouter::handles_areTakenInOrder_andAReleasedOneComesBackLast()
{
    cScopedKVNetSystem system(false);
    auto a = std::make_unique<cRecordingNetObject>("A");
    cRecordingNetObject b("B");
    QCOMPARE(a->GetHandle(), KV_NET_DATA_SCALE(1));
    QCOMPARE(b.GetHandle(), KV_NET_DATA_SCALE(2));
    a.reset();
    cRecordingNetObject c("C");
    QCOMPARE(c.GetHandle(), KV_NET_DATA_SCALE(3));

    cNetHandleRing ring;
    QCOMPARE(ring.TakeHandle(), KV_NET_DATA_SCALE(1));
    ring.ReleaseHandle(1);
    for (ULONG expected = 2; expected <= 45000; ++expected)
    {
        QCOMPARE(ring.TakeHandle(), KV_NET_DATA_SCALE(expected));
    }
    {
        cReportCapture capture;
        QCOMPARE(ring.TakeHandle(), KV_NET_NO_HANDLE);
    }
    ring.ReleaseHandle(2);
    QCOMPARE(ring.TakeHandle(), KV_NET_DATA_SCALE(1));
}

void tst_RegistryRouter::handleRing_holdsAtMost44999()
{
    cNetHandleRing ring;
    cReportCapture capture;
    ring.ReleaseHandle(7);
    QVERIFY(capture.Contains("There are no used handles to release!"));
    for (int i = 0; i < 44999; ++i)
    {
        QVERIFY(ring.TakeHandle() != KV_NET_NO_HANDLE);
    }
    QCOMPARE(ring.HandlesOut(), ULONG(44999));
    QCOMPARE(ring.TakeHandle(), KV_NET_NO_HANDLE);
    QVERIFY(capture.Contains("Not enough handles available! *mSlotsHead = 45000"));
    ring.ReleaseHandle(10);
    QCOMPARE(ring.TakeHandle(), KV_NET_DATA_SCALE(45000));
    QCOMPARE(ring.TakeHandle(), KV_NET_NO_HANDLE);
}

void tst_RegistryRouter::registration_fillsTheRegistryTo44999Objects()
{
    cScopedKVNetSystem system(false);
    std::vector<std::unique_ptr<cNetObject>> objects;
    objects.reserve(45000);
    for (int i = 0; i < 44999; ++i)
    {
        std::string name = "Object " + std::to_string(i);
        objects.push_back(std::make_unique<cNetObject>(name.c_str(), 0, false, false));
    }
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), ULONG(44999));
    QCOMPARE(objects.back()->GetHandle(), KV_NET_DATA_SCALE(44999));
    {
        cReportCapture capture;
        cNetObject refused("One too many", 0, false, false);
        QCOMPARE(refused.GetHandle(), KV_NET_NO_HANDLE);
        QVERIFY(capture.Contains("Registry is full - Handle = 65535"));
        refused.Unregister();
    }
    QCOMPARE(gRegistryRouter->FindHandleByName("Object 44998"), KV_NET_DATA_SCALE(44999));
    objects.front()->Unregister();
    objects.erase(objects.begin());
    cNetObject late("Late", 0, false, false);
    QCOMPARE(late.GetHandle(), KV_NET_DATA_SCALE(45000));
    late.Unregister();
    for (auto& object : objects)
    {
        object->Unregister();
    }
}

void tst_RegistryRouter::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("registers");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("63 characters") << QString(63, 'n') << true << QStringList();
    QTest::newRow("64 characters") << QString(64, 'n') << false
                                   << QStringList{"ObjectName length too long: 64",
                                                  QString("Name: \"%1\"").arg(QString(64, 'n'))};
    QTest::newRow("empty") << QString() << true << QStringList();
    QTest::newRow("duplicate") << "First" << false << QStringList{"Net object name is not unique, First"};
}

void tst_RegistryRouter::names()
{
    QFETCH(QString, name);
    QFETCH(bool, registers);
    QFETCH(QStringList, reports);
    cScopedKVNetSystem system(false);
    cNetObject first("First", 0, false, false);
    cReportCapture capture;
    std::string text = name.toStdString();
    cNetObject object(text.c_str(), 0, false, false);
    QCOMPARE(object.GetHandle() != KV_NET_NO_HANDLE, registers);
    QCOMPARE(QString(object.GetName()), registers ? name : QString());
    QCOMPARE(gRegistryRouter->FindHandleByName(text.c_str()),
             registers ? object.GetHandle() : (name == "First" ? first.GetHandle() : KV_NET_NO_HANDLE));
    for (const QString& report : reports)
    {
        QVERIFY2(capture.Contains(report), qPrintable(report));
    }
    if (reports.isEmpty())
    {
        QVERIFY(capture.Lines().isEmpty());
    }
    object.Unregister();
    first.Unregister();
    QCOMPARE(gRegistryRouter->GetNumberOfObjects(), ULONG(0));
}

void tst_RegistryRouter::nameMap_growsTo1601BucketsAfter601Names()
{
    cScopedKVNetSystem system(false);
    std::vector<std::unique_ptr<cNetObject>> objects;
    for (int i = 0; i < 600; ++i)
    {
        objects.push_back(std::make_unique<cNetObject>(("N" + std::to_string(i)).c_str(), 0, false, false));
    }
    QCOMPARE(gRegistryRouter->GetNameMapBucketCount(), ULONG(800));
    objects.push_back(std::make_unique<cNetObject>("N600", 0, false, false));
    QCOMPARE(gRegistryRouter->GetNameMapBucketCount(), ULONG(1601));
    for (int i = 0; i <= 600; ++i)
    {
        QCOMPARE(gRegistryRouter->FindHandleByName(("N" + std::to_string(i)).c_str()),
                 objects[i]->GetHandle());
    }
    for (auto& object : objects)
    {
        object->Unregister();
    }
}

void tst_RegistryRouter::nameHash_takesBytesAsSigned_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<uint>("hash");
    QTest::newRow("empty") << QByteArray() << 0u;
    QTest::newRow("ab") << QByteArray("ab") << uint('a' * 31 + 'b');
    QTest::newRow("0x80") << QByteArray("\x80") << uint(-128);
    QTest::newRow("a 0xFF") << QByteArray("a\xFF") << uint('a' * 31 - 1);
}

void tst_RegistryRouter::nameHash_takesBytesAsSigned()
{
    QFETCH(QByteArray, name);
    QFETCH(uint, hash);
    QCOMPARE(uint(cNetObjectHashMap::Hash(name.constData())), hash);
}

void tst_RegistryRouter::find_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("askerConnection");
    QTest::addColumn<bool>("withNetwork");
    QTest::addColumn<int>("replyMethod");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("forwarded");
    QTest::newRow("registered name, local asker")
        << QByteArray("Wanted", 7) << 0 << false << int(M_REPLY_OK) << 2 << false;
    QTest::newRow("unknown name") << QByteArray("Nobody", 7) << 0 << false << int(M_REPLY_FAIL) << 0 << false;
    QTest::newRow("host without connection")
        << QByteArray("nohost/Wanted", 14) << 0 << false << int(M_REPLY_FAIL) << 0 << false;
    QTest::newRow("host whose connection fails")
        << QByteArray("nohost/Wanted", 14) << 0 << true << int(M_REPLY_FAIL) << 0 << false;
    QTest::newRow("host with connection") << QByteArray("peer/Far", 9) << 0 << true << 0 << 0 << true;
    QTest::newRow("V2 asker") << QByteArray("Wanted", 7) << 2 << true << int(M_REPLY_OK) << 4 << false;
    QTest::newRow("name without NUL")
        << QByteArray("Wanted") << 0 << false << int(M_REPLY_FAIL) << 0 << false;
}

void tst_RegistryRouter::find()
{
    QFETCH(QByteArray, request);
    QFETCH(int, askerConnection);
    QFETCH(bool, withNetwork);
    QFETCH(int, replyMethod);
    QFETCH(int, replyLength);
    QFETCH(bool, forwarded);
    cScopedKVNetSystem system(false);
    std::unique_ptr<cFakeNetworkConnection> network;
    if (withNetwork)
    {
        network = std::make_unique<cFakeNetworkConnection>();
        network->AddConnection(2, "peer", true);
    }
    cRecordingNetObject wanted("Wanted");
    cRecordingNetObject asker("Asker");

    cKVNetMessage find(UWORD(request.size()));
    memcpy(find.Data(), request.constData(), size_t(request.size()));
    find.mConnectionId = UWORD(askerConnection);
    find.mDestination = 0;
    find.mSource = asker.GetHandle();
    find.mMethod = M_REG_FIND_OBJECT;
    gRegistryRouter->AddMessage(find);
    cReportCapture capture;
    cMessagePump::Pump();

    if (forwarded)
    {
        QCOMPARE(asker.Count(M_REPLY_OK) + asker.Count(M_REPLY_FAIL), 0);
        QCOMPARE(int(network->SentOnTCP().size()), 1);
        const cKVNetMessage sent = network->SentOnTCP().front();
        QCOMPARE(sent.mConnectionId, UWORD(2));
        QCOMPARE(sent.mDestination, UWORD(0));
        QCOMPARE(sent.mSource, asker.GetHandle());
        QCOMPARE(sent.mMethod, UWORD(M_REG_FIND_OBJECT));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(sent.Data()), sent.GetLength()),
                 QByteArray("Far", 4));
        return;
    }
    cKVNetMessage reply;
    if (askerConnection != 0)
    {
        QCOMPARE(int(network->SentOnTCP().size()), 1);
        reply = network->SentOnTCP().front();
        QCOMPARE(reply.mConnectionId, UWORD(askerConnection));
        QCOMPARE(reply.mDestination, asker.GetHandle());
    }
    else
    {
        QCOMPARE(int(asker.Received().size()), 1);
        cRecordingNetObject::sReceived received = asker.Received().front();
        reply.mMethod = received.mMethod;
        reply.SetLength(UWORD(received.mPayload.size()));
        if (!received.mPayload.isEmpty())
        {
            memcpy(reply.Data(), received.mPayload.constData(), size_t(received.mPayload.size()));
        }
        QCOMPARE(received.mSource, UWORD(0));
    }
    QCOMPARE(int(reply.mMethod), replyMethod);
    QCOMPARE(int(reply.GetLength()), replyLength);
    if (replyLength == 2)
    {
        QCOMPARE(reply.GetUWORD(0), wanted.GetHandle());
    }
    if (replyLength == 4)
    {
        QCOMPARE(reply.GetULONG(0), ULONG(wanted.GetHandle()));
    }
    QCOMPARE(capture.Contains("M_REG_FIND_OBJECT without a NUL-terminated name"), !request.endsWith('\0'));
}

void tst_RegistryRouter::tock_comesAfterEverythingTheTicksPosted()
{
    cScopedKVNetSystem system(false);
    QStringList log;
    cRecordingNetObject a("A", 1, true, true, &log);
    cRecordingNetObject b("B", 1, true, true, &log);
    auto postToOther = [](cRecordingNetObject& self, const cNetObject& other)
    {
        self.mOnTick = [&other](cRecordingNetObject& me)
        {
            for (int i = 0; i < 3; ++i)
            {
                PostTo(other.GetHandle(), PARAMETER_BASE, me.GetHandle(), QByteArray(2, '\1'));
            }
        };
    };
    postToOther(a, b);
    postToOther(b, a);
    cMessagePump::Tick(2);
    QStringList expected{"A:tick", "B:tick", "B:4096", "B:4096", "B:4096",
                         "A:4096", "A:4096", "A:4096", "A:tock", "B:tock"};
    QCOMPARE(log, expected + expected);
}

void tst_RegistryRouter::messagesToFreeOrInvalidHandles_areDroppedSilently_data()
{
    QTest::addColumn<int>("destination");
    QTest::newRow("45001") << 45001;
    QTest::newRow("no handle") << 0xFFFF;
    QTest::newRow("freed handle") << -1;
}

void tst_RegistryRouter::messagesToFreeOrInvalidHandles_areDroppedSilently()
{
    QFETCH(int, destination);
    cScopedKVNetSystem system(false);
    cRecordingNetObject witness("Witness");
    if (destination < 0)
    {
        cRecordingNetObject gone("Gone");
        destination = gone.GetHandle();
    }
    cReportCapture capture;
    PostTo(UWORD(destination), PARAMETER_BASE, 0, QByteArray(2, '\0'));
    QCOMPARE(cMessagePump::Buffered(), ULONG(1));
    QCOMPARE(cMessagePump::Pump(), ULONG(1));
    QVERIFY(capture.Lines().isEmpty());
    QCOMPARE(int(witness.Received().size()), 0);
}

void tst_RegistryRouter::unknownRouterMethod_isReported()
{
    cScopedKVNetSystem system(false);
    cReportCapture capture;
    PostTo(0, 23, 0x12);
    PostTo(0, M_TEST_PRINT_REGISTRY, 0x12);
    PostTo(0, M_REG_DO_WORK, 0x12);
    cMessagePump::Pump();
    QCOMPARE(capture.Lines().size(), 1);
    QVERIFY(capture.Contains("Reg EntrypointMessage unknown method 0x17, Message->mSource = 0x12, "
                             "Message->mConnectionId = 0x0"));
}

void tst_RegistryRouter::removeConnection_dropsOnlyThatConnectionsLinks()
{
    cScopedKVNetSystem system(false);
    cRecordingNetObject a("A", 2);
    cRecordingNetObject b("B", 1);
    a.AddObjectToInformList(2, 9, PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    a.AddObjectToInformList(3, 9, PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    a.AddObjectToInformList(2, 9, PARAMETER_BASE, PARAMETER_BASE + 1, 0, 0, false);
    b.AddObjectToInformList(2, 4, PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    gRegistryRouter->RemoveConnection(2, false);
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(1));
    QCOMPARE(a.GetNumberOfInformListItems(PARAMETER_BASE + 1), ULONG(0));
    QCOMPARE(b.GetNumberOfInformListItems(PARAMETER_BASE), ULONG(0));
}

void tst_RegistryRouter::linkRequestOfAnEndedConnection_isDroppedWhenDelivered()
{
    cScopedKVNetSystem system(false);
    cRecordingNetObject object("Object", 1);
    UWORD asker = 40;
    auto arrive = [&object, &asker](UWORD connection, ULONG serial)
    {
        cKVNetMessage m(0);
        m.AppendUWORD(connection);
        m.AppendUWORD(asker);
        m.AppendUWORD(PARAMETER_BASE);
        m.AppendUWORD(PARAMETER_BASE);
        m.AppendUWORD(0);
        m.mConnectionId = connection;
        m.mConnectionSerial = serial;
        m.mDestination = object.GetHandle();
        m.mSource = asker++;
        m.mMethod = M_OBJECT_ADD_TO_INFORM_LIST;
        gRegistryRouter->AddMessage(m);
        cMessagePump::Pump();
        return object.GetNumberOfInformListItems(PARAMETER_BASE);
    };
    {
        cFakeNetworkConnection network;
        network.AddConnection(2, "unit");
        QCOMPARE(arrive(2, 7), ULONG(1));
        // Delivered once its connection has ended: dropped.
        network.DropConnection(2);
        QCOMPARE(arrive(2, 7), ULONG(1));
        // A message no connection brought (no serial), or a local copy of one, is delivered.
        QCOMPARE(arrive(2, 0), ULONG(2));
        QCOMPARE(arrive(0, 7), ULONG(3));
    }
    // Without a connection layer no connection is current.
    QCOMPARE(arrive(2, 7), ULONG(3));
    QCOMPARE(object.Count(M_OBJECT_ADD_TO_INFORM_LIST), 3);
}

void tst_RegistryRouter::messageOfAnEndedConnection_carriesOutOnlyItsChanges_data()
{
    QTest::addColumn<bool>("toRouter");
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("carriedOut");
    const QByteArray link =
        QByteArray::fromHex("00020037") + QByteArray::fromHex("10001000") + QByteArray::fromHex("0001");
    QTest::newRow("parameter change") << false << int(PARAMETER_BASE) << QByteArray::fromHex("4D55") << true;
    QTest::newRow("object method") << false << int(NON_PARAMETER_BASE) << QByteArray::fromHex("01") << true;
    QTest::newRow("link request with sync-up") << false << int(M_OBJECT_ADD_TO_INFORM_LIST) << link << false;
    QTest::newRow("link removal") << false << int(M_OBJECT_REMOVE_FROM_INFORM_LIST) << link.left(8) << false;
    QTest::newRow("delete-list notice") << false << int(M_OBJECT_ADD_TO_DELETE_LIST) << QByteArray() << false;
    QTest::newRow("delete-list removal")
        << false << int(M_OBJECT_REMOVE_FROM_DELETE_LIST) << QByteArray() << false;
    QTest::newRow("object deleted") << false << int(M_OBJECT_DELETED) << QByteArray() << false;
    QTest::newRow("request answered M_REPLY_FAIL")
        << false << int(M_ALL_ABSOLUTE_UPDATE_CURRENT_STORE) << QByteArray() << false;
    QTest::newRow("reply") << false << int(M_REPLY_OK) << QByteArray::fromHex("0005") << false;
    QTest::newRow("find") << true << int(M_REG_FIND_OBJECT) << QByteArray("Object", 7) << false;
}

void tst_RegistryRouter::messageOfAnEndedConnection_carriesOutOnlyItsChanges()
{
    QFETCH(bool, toRouter);
    QFETCH(int, method);
    QFETCH(QByteArray, payload);
    QFETCH(bool, carriedOut);
    cScopedKVNetSystem system(false);
    cRecordingNetObject object("Object", 1);
    // A local link of the parameter: a change carried out is passed on to it.
    cRecordingNetObject witness("Witness", 1);
    object.AddObjectToInformList(0, witness.GetHandle(), PARAMETER_BASE, PARAMETER_BASE, 0, 0, false);
    cFakeNetworkConnection network;
    network.AddConnection(2, "unit", false, 7);
    auto arrive = [&]
    {
        cKVNetMessage m(UWORD(payload.size()));
        if (!payload.isEmpty())
        {
            memcpy(m.Data(), payload.constData(), size_t(payload.size()));
        }
        m.mConnectionId = 2;
        m.mConnectionSerial = 7;
        m.mDestination = toRouter ? 0 : object.GetHandle();
        m.mSource = 0x37;
        m.mMethod = UWORD(method);
        gRegistryRouter->AddMessage(m);
        cMessagePump::Pump();
    };
    cReportCapture capture;
    // While its connection lasts, the message has its effect.
    arrive();
    QVERIFY(object.Count(UWORD(method)) + network.SentOnTCP().size() > 0);
    const int reports = capture.Lines().size();

    // The connection ends, its links with it, and the next one takes its id.
    gRegistryRouter->RemoveConnection(2, false);
    network.AddConnection(2, "next", false, 8);
    object.ClearRecords();
    witness.ClearRecords();
    network.ClearSent();
    arrive();
    QCOMPARE(object.Count(UWORD(method)), carriedOut ? 1 : 0);
    QCOMPARE(int(object.Received().size()), carriedOut ? 1 : 0);
    if (carriedOut)
    {
        QCOMPARE(object.Received().front().mConnectionId, KV_NET_NO_CONNECTION);
        QCOMPARE(object.Received().front().mPayload, payload);
    }
    QCOMPARE(witness.Count(PARAMETER_BASE), method == PARAMETER_BASE ? 1 : 0);
    QCOMPARE(int(network.SentOnTCP().size()), 0);
    QCOMPARE(object.GetLinksHeldByConnection(2), ULONG(0));
    QCOMPARE(object.GetDeleteListCount(2, 0x37), UWORD(0));
    QCOMPARE(capture.Lines().size(), reports);
}

namespace
{

// Answers every parameter value to its sender with the value it now holds, as an object does that
// reads back what it was given.
class cAnsweringNetObject : public cRecordingNetObject
{
public:
    explicit cAnsweringNetObject(const char* name)
        : cRecordingNetObject(name, 1)
    {
    }
    void EntrypointMessage(cKVNetMessage& message) override
    {
        cRecordingNetObject::EntrypointMessage(message);
        if (message.mMethod == PARAMETER_BASE)
        {
            mControlMessage.mConnectionId = message.mConnectionId;
            mControlMessage.mDestination = message.mSource;
            mControlMessage.mMethod = PARAMETER_BASE;
            mControlMessage.SetLength(2);
            mControlMessage.SetUWORD(Value(0), 0);
            PostMessage(mControlMessage);
        }
    }
};

} // namespace

void tst_RegistryRouter::changesOfAnEndedConnection_keepTheirOrderAndAnswerNoConnection()
{
    cScopedKVNetSystem system(false);
    cAnsweringNetObject object("Object");
    cFakeNetworkConnection network;
    network.AddConnection(3, "unit", false, 7);
    // The peer's changes wait in the buffer while it leaves; the next peer takes its id.
    for (UWORD value = 1; value <= 5; ++value)
    {
        cKVNetMessage m(2);
        m.SetUWORD(value, 0);
        m.mConnectionId = 3;
        m.mConnectionSerial = 7;
        m.mDestination = object.GetHandle();
        m.mSource = 0x37;
        m.mMethod = PARAMETER_BASE;
        gRegistryRouter->AddMessage(m);
    }
    gRegistryRouter->RemoveConnection(3, false);
    network.AddConnection(3, "next", false, 8);
    cMessagePump::Pump();

    const std::vector<cRecordingNetObject::sReceived> received = object.Received();
    QCOMPARE(int(received.size()), 5);
    for (int i = 0; i < 5; ++i)
    {
        QCOMPARE(received[size_t(i)].mPayload, QByteArray(1, '\0') + QByteArray(1, char(i + 1)));
    }
    QCOMPARE(object.Value(0), UWORD(5));
    // The answers address no connection: the next peer of id 3 gets none of them.
    const std::vector<cKVNetMessage> sent = network.SentOnTCP();
    QCOMPARE(int(sent.size()), 5);
    for (const cKVNetMessage& answer : sent)
    {
        QCOMPARE(answer.mConnectionId, KV_NET_NO_CONNECTION);
    }
}

void tst_RegistryRouter::messpoolsLine_data()
{
    QTest::addColumn<int>("connection");
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("destination");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("line");
    const QString start = "Message - Connection ID: %1   RawMethod: %2  Adjusted: %3  %4   Length: 2   ";
    QTest::newRow("framework method, registry to object")
        << 0 << 0 << 1 << 1
        << start.arg(0).arg(1).arg(1).arg("Is: M_REG_TICK") + "Source: \"Registry\"   Destination: \"Named\"";
    QTest::newRow("unassigned method, free and invalid handles")
        << 0 << 7 << 45001 << 23
        << start.arg(0).arg(23).arg(23).arg("unspecified base method") +
               "Source: \"NULL Object - Handle 7\"   Destination: \"INVALID_HANDLE\"";
    QTest::newRow("object method from a remote object")
        << 3 << 5 << 1 << 300
        << start.arg(3).arg(300).arg(44).arg("NON_PARAMETER_BASE method") +
               "Source: \"Remote Object - Handle 5\"   Destination: \"Named\"";
    QTest::newRow("parameter method") << 0 << 1 << 0 << 4097
                                      << start.arg(0).arg(4097).arg(1).arg("PARAMETER_BASE method") +
                                             "Source: \"Named\"   Destination: \"Registry\"";
}

void tst_RegistryRouter::messpoolsLine()
{
    QFETCH(int, connection);
    QFETCH(int, source);
    QFETCH(int, destination);
    QFETCH(int, method);
    QFETCH(QString, line);
    sBufferedMessageInfo info{UWORD(connection), UWORD(destination), UWORD(source), UWORD(method), 2};
    auto nameOf = [](KV_NET_DATA_SCALE handle) -> const char* { return handle == 1 ? "Named" : nullptr; };
    QCOMPARE(QString::fromStdString(MesspoolsMessageLine(info, nameOf)), line);
}

void tst_RegistryRouter::printMesspools_appendsFramedPrintout()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    {
        cScopedKVNetSystem system(false);
        cRecordingNetObject named("Named");
        gRegistryRouter->PrintMesspools();
        PostTo(named.GetHandle(), PARAMETER_BASE, 0, QByteArray(2, '\0'));
        PostTo(0, M_TEST_PRINT_MESS_POOLS, named.GetHandle());
        PostTo(0xFFFF, 300, named.GetHandle());
        cMessagePump::Pump();
    }
    QFile file(folder.filePath("Messpools.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QDir::setCurrent(previous);
    QCOMPARE(lines.size(), 5);
    QRegularExpression time(" \\d\\d:\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d{4}$");
    QVERIFY(lines[0].startsWith("-------------------Messpools Printout: "));
    QVERIFY(lines[0].contains(time));
    QVERIFY(lines[1].startsWith("----------------------------------End: "));
    QVERIFY(lines[1].contains(time));
    QVERIFY(lines[2].startsWith("-------------------Messpools Printout: "));
    QCOMPARE(lines[3],
             QString("Message - Connection ID: 0   RawMethod: 300  Adjusted: 44  NON_PARAMETER_BASE method   "
                     "Length: 0   Source: \"Named\"   Destination: \"INVALID_HANDLE\""));
    QVERIFY(lines[4].startsWith("----------------------------------End: "));
}

void tst_RegistryRouter::poolsFull_isReportedOnce_withoutWaitingForBusyLocks()
{
    cDryRouter* router = new cDryRouter();
    gRegistryRouter = router;
    gSystemBuilder = new cSystemBuilder("KVNet System Builder", 0, 10, 0, nullptr);
    cRecordingNetObject source("Pool Source");

    // Another thread holds the registry lock all along; the report must not wait for it.
    QSemaphore held;
    QSemaphore release;
    std::thread holder(
        [&]
        {
            LockRegistry();
            held.release();
            release.acquire();
            UnlockRegistry();
        });
    held.acquire();

    cReportCapture capture;
    router->mDry = true;
    sParameterLinkingCommand command;
    command.SetSourcePath("Pool Source");
    command.SetDestinationPath("Elsewhere");
    command.mSourceParam = PARAMETER_BASE;
    command.mDestParam = PARAMETER_BASE;
    gSystemBuilder->AddLinkCommandToList(command, false);
    PostTo(source.GetHandle(), PARAMETER_BASE, source.GetHandle(), QByteArray(2, '\0'));
    release.release();
    holder.join();

    QCOMPARE(capture.Count("Message Pools Full"), 1);
    QVERIFY(capture.Contains("Message Pools Full, Length: 12,  CID:0, S:1, D:0, M:4"));
    QVERIFY(capture.Contains("SysBuild is busy. Current link is:"));
    QVERIFY(capture.Contains("mSourcePath = \"Pool Source\", mDestinationPath = \"Elsewhere\""));
    QVERIFY(capture.Contains("SysBuild LinkPerformance:-  Requested: 1   Made: 0   Queued: 1"));
    QVERIFY(!capture.Contains("Possible Local"));
    QCOMPARE(router->GetMessageBufferCount(), ULONG(0));

    router->mDry = false;
    source.Unregister();
    DeleteSystem();
}

void tst_RegistryRouter::poolsFull_whileTheBuilderWorksElsewhere_saysTheLinkIsNotAvailable()
{
    cDryRouter* router = new cDryRouter();
    gRegistryRouter = router;
    cHoldingBuilder* builder = new cHoldingBuilder();
    gSystemBuilder = builder;
    cRecordingNetObject source("Pool Source");

    // Another thread is inside the builder, holding its link-list lock.
    builder->mHold = true;
    sParameterLinkingCommand command;
    command.SetSourcePath("Pool Source");
    command.SetDestinationPath("Elsewhere");
    std::thread linker([&] { builder->AddLinkCommandToList(command, false); });
    builder->mHeld.acquire();

    cReportCapture capture;
    router->mDry = true;
    PostTo(source.GetHandle(), PARAMETER_BASE, source.GetHandle(), QByteArray(2, '\0'));
    router->mDry = false;
    builder->mRelease.release();
    linker.join();

    QCOMPARE(capture.Count("Message Pools Full"), 1);
    QVERIFY(capture.Contains("SysBuild is busy. Current link is:"));
    QVERIFY(capture.Contains("Current link not available: the system builder is working on another thread"));
    QVERIFY(!capture.Contains("mSourcePath = "));
    QVERIFY(capture.Contains("SysBuild LinkPerformance:-  Requested: 1   Made: 0   Queued: 1"));

    source.Unregister();
    DeleteSystem();
}

QTEST_GUILESS_MAIN(tst_RegistryRouter)
#include "tst_RegistryRouter.moc"
