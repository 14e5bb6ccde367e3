#include "CorvoGUI/Core/App/cSerialConnectDriver.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "KVNet/Core/KVControlPayload.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace
{

constexpr UWORD NAME_OFFSET = 1;

// Writes text and its NUL into the slot at offset (the slot is zeroed first).
void StoreInSlot(cKVNetMessage& message, UWORD offset, const QByteArray& text)
{
    std::memset(message.Data() + offset, 0, cSerialConnectDriver::SLOT_SIZE);
    std::memcpy(message.Data() + offset, text.constData(),
                std::min<std::size_t>(std::size_t(text.size()), cSerialConnectDriver::MAX_TEXT_LENGTH));
}

} // namespace

cSerialConnectDriver::cSerialConnectDriver(cSerialInterface* serial)
    : cNetObject(NAME, NUMBER_OF_PARAMETERS, false, false)
    , mSerial(serial)
{
    if (mSerial == nullptr)
    {
        KV_REPORT_ERROR("%s built without a serial interface", NAME);
    }
}

cSerialConnectDriver::~cSerialConnectDriver()
{
    Unregister();
}

void cSerialConnectDriver::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_CONNECT:
        OnConnect(message);
        break;
    case P_PORT_LIST:
    case P_VERSION:
    case P_STATUS:
        Answer(message.mMethod, message.mConnectionId);
        break;
    case P_SYNC_DONE:
        if (mSerial != nullptr && mSerial->SetRunning())
        {
            PostCompleteSync();
        }
        break;
    default:
        cNetObject::EntrypointMessage(message);
        break;
    }
}

void cSerialConnectDriver::PostCompleteSync()
{
    const KV_NET_DATA_SCALE saves = gRegistryRouter != nullptr
                                        ? gRegistryRouter->FindHandleByName(cSavesManager::NAME)
                                        : KV_NET_NO_HANDLE;
    if (saves == KV_NET_NO_HANDLE)
    {
        return;
    }
    cKVNetMessage message(0);
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = saves;
    message.mSource = mHandle;
    message.mMethod = cSavesManager::M_COMPLETE_SYNC;
    PostMessage(message);
}

void cSerialConnectDriver::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                           KV_NET_DATA_SCALE destinationMethod,
                                           KV_NET_DATA_SCALE sourceMethod)
{
    if (!FillAnswer(mControlMessage, sourceMethod, connectionId))
    {
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    PostMessage(mControlMessage);
}

QByteArray cSerialConnectDriver::RequestedPortName(const cKVNetMessage& message)
{
    const UWORD length = message.GetLength();
    if (length <= NAME_OFFSET)
    {
        return QByteArray();
    }
    const char* begin = reinterpret_cast<const char*>(message.Data()) + NAME_OFFSET;
    const std::size_t available = std::size_t(length - NAME_OFFSET);
    const void* nul = std::memchr(begin, '\0', available);
    const std::size_t size = nul != nullptr ? std::size_t(static_cast<const char*>(nul) - begin) : available;
    return QByteArray(begin, int(size));
}

void cSerialConnectDriver::OnConnect(const cKVNetMessage& message)
{
    if (!KV_CHECK_CONTROL_PAYLOAD(message, 1, GetName()))
    {
        return;
    }
    if (mSerial == nullptr)
    {
        KV_REPORT_ERROR("No serial interface for the connection request");
        return;
    }
    if (!UBYTEToBool(message.GetUBYTE(0)))
    {
        mSerial->RequestDisconnect();
        return;
    }
    const QByteArray name = RequestedPortName(message);
    if (name.size() > MAX_TEXT_LENGTH)
    {
        // No port of the list has such a name, and a cut one could name another port.
        KV_REPORT_ERROR("Connection request refused: port name \"%s\" is longer than %d characters",
                        name.constData(), MAX_TEXT_LENGTH);
        mSerial->RefuseConnect(ERROR_EVENT_DEVICE_NOT_FOUND);
        return;
    }
    mSerial->RequestConnect(name.constData());
}

bool cSerialConnectDriver::FillAnswer(cKVNetMessage& message, KV_NET_DATA_SCALE parameter, UWORD connectionId)
{
    switch (parameter)
    {
    case P_CONNECT:
        FillState(message);
        return true;
    case P_PORT_LIST:
        FillPortList(message, connectionId);
        return true;
    case P_VERSION:
        FillVersion(message);
        return true;
    case P_STATUS:
        FillStatus(message);
        return true;
    default:
        return false;
    }
}

void cSerialConnectDriver::FillState(cKVNetMessage& message) const
{
    const eConnectionState state = mSerial != nullptr ? mSerial->GetState() : CONNECTION_STATE_IDLE;
    message.SetLength(1);
    message.SetUBYTE(UBYTE(state), 0);
}

QStringList cSerialConnectDriver::PortNames(UWORD connectionId)
{
    if (connectionId != KV_NET_LOCAL_CONNECTION && mLastPortSearch.isValid() &&
        !mLastPortSearch.hasExpired(PEER_PORT_LIST_AGE_MS))
    {
        return mLastPortNames;
    }
    mLastPortNames = mSerial != nullptr ? mSerial->GetPortList() : QStringList();
    mLastPortSearch.start();
    return mLastPortNames;
}

void cSerialConnectDriver::FillPortList(cKVNetMessage& message, UWORD connectionId)
{
    const QStringList names = PortNames(connectionId);
    QList<QByteArray> fitting;
    for (const QString& name : names)
    {
        const QByteArray bytes = name.toUtf8();
        if (bytes.size() > MAX_TEXT_LENGTH || bytes.contains('\0'))
        {
            if (!mReportedNames.contains(name))
            {
                mReportedNames.insert(name);
                KV_REPORT_ERROR("Device port \"%s\" left out of the port list: its name does not fit %d "
                                "characters",
                                bytes.constData(), MAX_TEXT_LENGTH);
            }
            continue;
        }
        if (fitting.size() == MAX_PORTS)
        {
            KV_REPORT_ERROR("More than %d device ports: the rest are left out", MAX_PORTS);
            break;
        }
        fitting.append(bytes);
    }
    message.SetLength(UWORD(1 + SLOT_SIZE * fitting.size()));
    message.SetUBYTE(UBYTE(fitting.size()), 0);
    for (int i = 0; i < fitting.size(); ++i)
    {
        StoreInSlot(message, UWORD(1 + SLOT_SIZE * i), fitting[i]);
    }
}

void cSerialConnectDriver::FillVersion(cKVNetMessage& message) const
{
    const QByteArray text = mSerial != nullptr ? mSerial->GetVersionText().toUtf8() : QByteArray();
    if (text.size() > MAX_TEXT_LENGTH)
    {
        KV_REPORT_ERROR("Version text \"%s\" cut to %d characters", text.constData(), MAX_TEXT_LENGTH);
    }
    message.SetLength(SLOT_SIZE);
    StoreInSlot(message, 0, text);
}

void cSerialConnectDriver::FillStatus(cKVNetMessage& message)
{
    const eConnectionState state = mSerial != nullptr ? mSerial->GetState() : CONNECTION_STATE_IDLE;
    const ULONG error = mSerial != nullptr ? mSerial->TakeLastError() : ULONG(ERROR_EVENT_NONE);
    message.SetLength(2);
    message.SetUBYTE(UBYTE(state), 0);
    message.SetUBYTE(UBYTE(std::min<ULONG>(error, 0xFF)), 1);
}

void cSerialConnectDriver::Answer(KV_NET_DATA_SCALE parameter, UWORD connectionId)
{
    FillAnswer(mMessage, parameter, connectionId);
    mMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mMessage.mDestination = KV_NET_NO_HANDLE;
    mMessage.mSource = mHandle;
    mMessage.mMethod = parameter;
    SendToInformList(mMessage);
}
