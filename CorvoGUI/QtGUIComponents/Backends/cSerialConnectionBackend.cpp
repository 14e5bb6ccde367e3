#include "CorvoGUI/QtGUIComponents/Backends/cSerialConnectionBackend.h"

#include "CorvoGUI/QtGUIComponents/Backends/BackendLink.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QByteArray>

cSerialConnectionBackend::cSerialConnectionBackend(QObject* parent)
    : QObject(parent)
    , cNetObject(NAME, NUMBER_OF_PARAMETERS, true, false)
{
    for (KV_NET_DATA_SCALE parameter : {P_CONNECT, P_PORT_LIST, P_VERSION, P_STATUS})
    {
        QueueBackendLink(DRIVER_NAME, parameter, NAME, parameter, true, true);
    }
    QueueBackendLink(NAME, P_SYNC_DONE, DRIVER_NAME, P_SYNC_DONE, false, true);
    QObject::connect(this, &cSerialConnectionBackend::updatePortNamesSignal, this,
                     &cSerialConnectionBackend::updatePortNames);
}

cSerialConnectionBackend::~cSerialConnectionBackend()
{
    if (IsRegistered())
    {
        Unregister();
    }
}

QString cSerialConnectionBackend::version() const
{
    std::lock_guard<std::mutex> lock(mVersionMutex);
    return mVersion;
}

void cSerialConnectionBackend::connectToUnit()
{
    if (mPortNames.isEmpty() || mConnect.load())
    {
        return;
    }
    connectToNamedUnit(mPortNames.first());
}

void cSerialConnectionBackend::connectToNamedUnit(QString name)
{
    const QByteArray portName = name.toUtf8();
    if (portName.size() > MAX_PORT_NAME_LENGTH || portName.contains('\0'))
    {
        KV_REPORT_ERROR("Port name \"%s\" does not fit a connect request (%d bytes at most): not connected",
                        portName.constData(), MAX_PORT_NAME_LENGTH);
        return;
    }
    {
        cRegistryLocker lock;
        if (mConnect.load())
        {
            return;
        }
        mConnect.store(true);
        Send(P_CONNECT, ConnectRequest(true, portName));
        PollStatusAfterRequest();
    }
    emit connectChanged();
}

void cSerialConnectionBackend::disconnectFromUnit()
{
    {
        cRegistryLocker lock;
        if (!mConnect.load())
        {
            return;
        }
        mConnect.store(false);
        Send(P_CONNECT, ConnectRequest(false, QByteArray()));
        PollStatusAfterRequest();
    }
    emit connectChanged();
}

void cSerialConnectionBackend::setSyncDone()
{
    cRegistryLocker lock;
    Send(P_SYNC_DONE, QByteArray());
    // The link runs as soon as the driver has the confirmation: show it without waiting a period.
    if (mStatusPolling)
    {
        PollStatusAfterRequest();
    }
}

void cSerialConnectionBackend::PollStatusAfterRequest()
{
    mStatusPolling = true;
    mStateAtRequest = mState.load();
    mRequestPolls = REQUEST_POLLS;
}

void cSerialConnectionBackend::PollPortList()
{
    if (mStatusPolling)
    {
        mStatusPolling = false;
        mRequestPolls = 0;
        mTickCount = 0;
    }
}

void cSerialConnectionBackend::updatePortNames(QStringList names)
{
    mPortNames = names;
    emit portNamesChanged();
}

QByteArray cSerialConnectionBackend::ConnectRequest(bool connect, const QByteArray& name) const
{
    QByteArray request(1 + SLOT_SIZE, '\0');
    request[0] = connect ? 1 : 0;
    request.replace(1, name.size(), name);
    return request;
}

void cSerialConnectionBackend::Send(KV_NET_DATA_SCALE parameter, const QByteArray& payload)
{
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = parameter;
    mControlMessage.SetLength(UWORD(payload.size()));
    for (int i = 0; i < payload.size(); ++i)
    {
        mControlMessage.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    SendToInformList(mControlMessage);
}

void cSerialConnectionBackend::ActionTick()
{
    if (mStatusPolling)
    {
        if (mRequestPolls > 0 || mTickCount >= STATUS_POLL_TICKS)
        {
            if (mRequestPolls > 0)
            {
                --mRequestPolls;
            }
            mTickCount = 0;
            Send(P_STATUS, QByteArray());
            return;
        }
    }
    else if (mTickCount >= PORT_LIST_POLL_TICKS)
    {
        mTickCount = 0;
        Send(P_PORT_LIST, QByteArray());
        return;
    }
    ++mTickCount;
}

void cSerialConnectionBackend::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_CONNECT:
    {
        if (message.GetLength() < 1)
        {
            KV_REPORT_ERROR("%s: state reply without its state", GetName());
            return;
        }
        const UBYTE state = message.GetUBYTE(0);
        mState.store(state);
        mConnect.store(state != CONNECTION_STATE_IDLE);
        emit connectChanged();
        emit stateChanged();
        return;
    }
    case P_PORT_LIST:
        OnPortList(message);
        return;
    case P_VERSION:
    {
        const QString text = QString::fromUtf8(TextAt(message, 0, message.GetLength()));
        {
            std::lock_guard<std::mutex> lock(mVersionMutex);
            mVersion = text;
        }
        emit versionChanged();
        return;
    }
    case P_STATUS:
        OnStatus(message);
        return;
    default:
        cNetObject::EntrypointMessage(message);
        return;
    }
}

void cSerialConnectionBackend::OnPortList(const cKVNetMessage& message)
{
    if (message.GetLength() < 1)
    {
        KV_REPORT_ERROR("%s: port list without its count", GetName());
        return;
    }
    const int count = message.GetUBYTE(0);
    QStringList names;
    for (int i = 0; i < count; ++i)
    {
        const int offset = 1 + SLOT_SIZE * i;
        if (offset >= message.GetLength())
        {
            KV_REPORT_ERROR("%s: port list of %d names holds only %d in its %d bytes", GetName(), count, i,
                            int(message.GetLength()));
            break;
        }
        names.append(QString::fromUtf8(TextAt(message, UWORD(offset), SLOT_SIZE)));
    }
    emit updatePortNamesSignal(names);
}

void cSerialConnectionBackend::OnStatus(const cKVNetMessage& message)
{
    if (message.GetLength() < 2)
    {
        KV_REPORT_ERROR("%s: status reply of %d bytes, 2 expected", GetName(), int(message.GetLength()));
        return;
    }
    const int state = message.GetUBYTE(0);
    const int error = message.GetUBYTE(1);
    if (error != 0)
    {
        emit errorEvent(error);
    }
    const bool connect = state != CONNECTION_STATE_IDLE;
    // The link has taken the last request: from now on the status period.
    if (state != mStateAtRequest)
    {
        mRequestPolls = 0;
    }
    if (state == mState.load())
    {
        // Idle, and nothing more to follow: a failed attempt (the link stays idle with an error), or
        // a disconnect asked before the link had left idle.
        if (state == CONNECTION_STATE_IDLE && (error != 0 || !mConnect.load()))
        {
            PollPortList();
        }
        if (mConnect.load() != connect)
        {
            mConnect.store(connect);
            emit connectChanged();
        }
        return;
    }
    if (state == CONNECTION_STATE_CONNECTED)
    {
        Send(P_VERSION, QByteArray());
    }
    else if (state == CONNECTION_STATE_IDLE)
    {
        PollPortList();
    }
    mState.store(state);
    emit stateChanged();
    if (mConnect.load() != connect)
    {
        mConnect.store(connect);
        emit connectChanged();
    }
}

QByteArray cSerialConnectionBackend::TextAt(const cKVNetMessage& message, UWORD offset, int limit)
{
    QByteArray text;
    for (int i = offset; i < message.GetLength() && i - offset < limit; ++i)
    {
        const UBYTE byte = message.GetUBYTE(UWORD(i));
        if (byte == 0)
        {
            break;
        }
        text.append(char(byte));
    }
    return text;
}
