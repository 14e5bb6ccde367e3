#include "tests/qml/WindowSupport/cFakeSerialConnectDriver.h"

#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"
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
    : cStandInNetObject(cSerialConnectionBackend::DRIVER_NAME, cSerialConnectionBackend::NUMBER_OF_PARAMETERS)
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
    Record(message);
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
    AnswerSyncUp(connectionId, handle, destinationMethod, Answer(sourceMethod));
}

void cFakeSerialConnectDriver::Announce(KV_NET_DATA_SCALE parameter)
{
    Inform(parameter, Answer(parameter));
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
