// Fuzz target: bytes from a peer, as a connection's TCP and UDP links receive them, through the
// frame reader and the message entry into the registry router, and on to the net objects that
// the messages address. Also checks that splitting the bytes into reads changes nothing.

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cConnectionBase.h"
#include "KVNet/Core/cNetObject.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Connections/cTCPConnection.h"
#include "KVNet/QT/Connections/cUDPConnection.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Records what the reader hands on, for comparing two ways of feeding the same bytes.
class cLoggingReader : public cConnectionBase
{
public:
    std::string mLog;

    void KVNetMessageReceived(cKVNetMessage& message) override
    {
        mLog += 'M';
        const UWORD header[5] = {message.mConnectionId, message.mDestination, message.mSource,
                                 message.mMethod, message.GetLength()};
        mLog.append(reinterpret_cast<const char*>(header), sizeof header);
        mLog.append(reinterpret_cast<const char*>(message.Data()), message.GetLength());
    }
    void UtilMessageReceived(UBYTE*, UWORD) override {}
    void UtilFrameReceived(UBYTE* data, UWORD length) override
    {
        mLog += 'U';
        mLog.append(reinterpret_cast<const char*>(&length), sizeof length);
        mLog.append(reinterpret_cast<const char*>(data), length);
    }
};

// A unit's object with a few parameters: takes links, values and sync-ups as any object does.
class cFuzzObject : public cNetObject
{
public:
    explicit cFuzzObject(const char* name)
        : cNetObject(name, 4, false, false)
    {
    }
    ~cFuzzObject() override { Unregister(); }

    void EntrypointMessage(cKVNetMessage& message) override
    {
        if (message.mMethod >= PARAMETER_BASE && message.mMethod < PARAMETER_BASE + 4)
        {
            SendToInformList(message);
            return;
        }
        cNetObject::EntrypointMessage(message);
    }
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE) override
    {
        cKVNetMessage value(2);
        value.mConnectionId = connectionId;
        value.mDestination = handle;
        value.mSource = GetHandle();
        value.mMethod = destinationMethod;
        value.SetUWORD(0x1234, 0);
        PostMessage(value);
    }
};

struct sWorld
{
    std::unique_ptr<QCoreApplication> mApplication;
    std::unique_ptr<cUDPConnection> mUdp;
    std::unique_ptr<cFuzzObject> mObjects[2];
    long mRuns = 0;
};

sWorld* gWorld = nullptr;
int gArgc = 1;
char gArgv0[] = "fuzz_KVNetFrames";
char* gArgv[] = {gArgv0, nullptr};

void MakeObjects()
{
    // Made anew every 100 inputs, so that the links a long run adds do not pile up (each value
    // then goes to every one of them).
    gWorld->mObjects[0].reset();
    gWorld->mObjects[1].reset();
    gWorld->mObjects[0].reset(new cFuzzObject("Fuzz Object A"));
    gWorld->mObjects[1].reset(new cFuzzObject("Fuzz Object B"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    gWorld = new sWorld();
    gWorld->mApplication.reset(new QCoreApplication(gArgc, gArgv));
    SetReportSink([](const std::string&) {});
    SetNetworkConnectionStarter([] { cNetworkConnection::Instance(); });
    StartSystem(0, true);
    gWorld->mUdp.reset(new cUDPConnection(2, QHostAddress(QHostAddress::LocalHost), 0));
    MakeObjects();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (gWorld == nullptr)
    {
        LLVMFuzzerInitialize(nullptr, nullptr);
    }
    if (++gWorld->mRuns % 100 == 0)
    {
        MakeObjects();
    }

    // Whole, and in reads of 1 to 97 bytes chosen by the input itself.
    cLoggingReader whole;
    whole.MessageReceived(data, ULONG(size));
    cLoggingReader split;
    for (size_t i = 0; i < size;)
    {
        const size_t n = std::min<size_t>(size - i, 1 + data[i] % 97);
        split.MessageReceived(data + i, ULONG(n));
        i += n;
    }
    if (whole.mLog != split.mLog || whole.GetStrayBytes() != split.GetStrayBytes())
    {
        std::abort();
    }

    // The links' own readers and message entries (connection ids 1 and 2).
    QTcpSocket socket;
    cTCPConnection tcp(&socket, 1);
    tcp.MessageReceived(data, ULONG(size));
    gWorld->mUdp->MessageReceived(data, ULONG(size));

    // What reached the router goes on to its own methods and to the objects.
    gRegistryRouter->ProcessMessageBuffer(100000);
    return 0;
}
