#include "tests/qml/WindowSupport/cFakeSerialConnectDriver.h"

#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"

namespace
{

constexpr int SLOT_SIZE = 8;

QByteArray Slot(const QByteArray& text)
{
    QByteArray slot = text.left(SLOT_SIZE - 1);
    slot.append(QByteArray(SLOT_SIZE - slot.size(), '\0'));
    return slot;
}

} // namespace

cFakeSerialConnectDriver::cFakeSerialConnectDriver()
    : cNetObject(cSerialConnectionBackend::DRIVER_NAME, cSerialConnectionBackend::NUMBER_OF_PARAMETERS, false,
                 false)
{
}

cFakeSerialConnectDriver::~cFakeSerialConnectDriver()
{
    Unregister();
}

void cFakeSerialConnectDriver::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod < P_CONNECT || message.mMethod > P_SYNC_DONE)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRequests.append({message.mMethod,
                          QByteArray(reinterpret_cast<const char*>(message.Data()), message.GetLength())});
    }
    if (message.mMethod == P_PORT_LIST || message.mMethod == P_VERSION || message.mMethod == P_STATUS)
    {
        Announce(message.mMethod);
    }
}

void cFakeSerialConnectDriver::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                               KV_NET_DATA_SCALE destinationMethod,
                                               KV_NET_DATA_SCALE sourceMethod)
{
    if (sourceMethod < P_CONNECT || sourceMethod > P_STATUS)
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    cKVNetMessage answer;
    Fill(answer, Answer(sourceMethod));
    answer.mConnectionId = connectionId;
    answer.mDestination = handle;
    answer.mSource = mHandle;
    answer.mMethod = destinationMethod;
    PostMessage(answer);
}

void cFakeSerialConnectDriver::Announce(KV_NET_DATA_SCALE parameter)
{
    cRegistryLocker lock;
    cKVNetMessage answer;
    Fill(answer, Answer(parameter));
    answer.mConnectionId = KV_NET_NO_CONNECTION;
    answer.mDestination = KV_NET_NO_HANDLE;
    answer.mSource = mHandle;
    answer.mMethod = parameter;
    SendToInformList(answer);
}

QByteArray cFakeSerialConnectDriver::Answer(KV_NET_DATA_SCALE parameter)
{
    std::lock_guard<std::mutex> lock(mMutex);
    QByteArray payload;
    switch (parameter)
    {
    case P_CONNECT:
        payload.append(char(mState));
        break;
    case P_PORT_LIST:
        payload.append(char(mPortNames.size()));
        for (const QString& name : mPortNames)
        {
            payload.append(Slot(name.toUtf8()));
        }
        break;
    case P_VERSION:
        payload = Slot(mVersion);
        break;
    case P_STATUS:
        payload.append(char(mState));
        payload.append(char(mError));
        mError = 0;
        break;
    default:
        break;
    }
    return payload;
}

void cFakeSerialConnectDriver::Fill(cKVNetMessage& message, const QByteArray& payload)
{
    message.SetLength(UWORD(payload.size()));
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
}

void cFakeSerialConnectDriver::SetState(int state)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mState = state;
}

void cFakeSerialConnectDriver::SetError(int error)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mError = error;
}

void cFakeSerialConnectDriver::SetPortNames(const QStringList& names)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPortNames = names;
}

void cFakeSerialConnectDriver::SetVersion(const QByteArray& version)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mVersion = version;
}

QList<cFakeSerialConnectDriver::sRequest> cFakeSerialConnectDriver::Requests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

int cFakeSerialConnectDriver::Count(UWORD method) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    int count = 0;
    for (const sRequest& request : mRequests)
    {
        count += request.mMethod == method ? 1 : 0;
    }
    return count;
}

QList<QPair<bool, QString>> cFakeSerialConnectDriver::ConnectRequests() const
{
    QList<QPair<bool, QString>> result;
    for (const sRequest& request : Requests())
    {
        if (request.mMethod == P_CONNECT && !request.mPayload.isEmpty())
        {
            const QByteArray name = request.mPayload.mid(1);
            result.append({request.mPayload[0] != 0, QString::fromUtf8(name.left(name.indexOf('\0')))});
        }
    }
    return result;
}

void cFakeSerialConnectDriver::ClearRequests()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequests.clear();
}
