#pragma once

#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>

// The connect button, the port chooser and the status line, as requests to the serial connection
// driver. A QObject first and the net object "Serial Connection Backend NetObject" second (5
// parameters, on the tick list, not on the tock list), linked at construction to "Serial Connection
// Driver NetObject": the driver's 4096-4099 to the same parameters here (sync, bidirectional), then
// this object's 4100 to the driver's 4100 (no sync, bidirectional). Uncreatable QML type
// "SerialConnectionBackend" of module "Corvo" 1.0, owned by the root back end.
//
//   4096  connect request: byte 0 = 1 connect / 0 disconnect, bytes 1-8 the port name and its NUL
//         (UTF-8, 7 bytes at most); the driver answers the new state in byte 0
//   4097  port-list request; answer: byte 0 = count n, name i NUL-terminated in the 8-byte slot at
//         byte 1 + 8i
//   4098  version request; answer: the NUL-terminated version text
//   4099  status request; answer: byte 0 = state, byte 1 = error code (0 none)
//   4100  sync done (the user interface's sync after connecting has finished)
//
// The tick polls: the status every 51 ticks while a connection is wanted or under way (until the
// link reports state 0 with no connection wanted, or state 0 with an error), otherwise the port
// list every 251 ticks; each switch between the two starts its count afresh. After a connect,
// disconnect or sync-done request the status is asked on the next tick, and again on each tick
// until it shows the link has taken the request (its state is no longer the one at the request),
// REQUEST_POLLS times at most; the period counts from the last of them. A change to state 2
// (connected) asks for the version; a non-zero error code becomes errorEvent. Answers are read only
// within their payload: a port list shorter than its count keeps the names that start within it
// (reported), a text without its NUL ends at the payload's end.
//
// Threads: QML calls run on the GUI thread; they change the fields and send under the registry lock,
// which the syscall thread holds for ticks and deliveries. The syscall thread emits connectChanged,
// stateChanged, versionChanged and errorEvent (QML gets them queued); the port list is handed to the
// GUI thread by the queued updatePortNamesSignal, stored there and announced by portNamesChanged.
// connect and state are atomic and the version text has a lock of its own, so their getters may run
// on any thread; the port list belongs to the GUI thread. Construct and destroy under the registry
// lock while the syscall thread runs (see cNetObject); once unregistered, destruction takes no lock.
class cSerialConnectionBackend : public QObject, public cNetObject
{
    Q_OBJECT
    Q_PROPERTY(bool connect READ GetConnect NOTIFY connectChanged)
    Q_PROPERTY(eConnectionState state READ state NOTIFY stateChanged)
    Q_PROPERTY(QStringList portNames READ portNames NOTIFY portNamesChanged)
    Q_PROPERTY(QString version READ version NOTIFY versionChanged)

public:
    static constexpr const char* NAME = "Serial Connection Backend NetObject";
    static constexpr const char* DRIVER_NAME = "Serial Connection Driver NetObject";
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 5;
    static constexpr KV_NET_DATA_SCALE P_CONNECT = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_PORT_LIST = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_VERSION = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_STATUS = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE P_SYNC_DONE = PARAMETER_BASE + 4;
    static constexpr int SLOT_SIZE = 8;
    static constexpr int MAX_PORT_NAME_LENGTH = SLOT_SIZE - 1;
    static constexpr UBYTE STATUS_POLL_TICKS = 50;
    static constexpr UBYTE PORT_LIST_POLL_TICKS = 250;
    // Status requests, one a tick, after a request until the link shows it has taken it (the
    // serial link takes a request on its next step, 20 ms at most).
    static constexpr UBYTE REQUEST_POLLS = 5;

    // Registers the net object, queues its links (reported when there is no system builder) and
    // connects updatePortNamesSignal to updatePortNames.
    explicit cSerialConnectionBackend(QObject* parent = nullptr);
    ~cSerialConnectionBackend() override;

    // A connection is wanted or present.
    bool GetConnect() const { return mConnect.load(); }
    eConnectionState state() const { return eConnectionState(mState.load()); }
    QStringList portNames() const { return mPortNames; }
    QString version() const;

    // Sends "sync done" (4100); the user interface calls it in state 4 when its sync has finished.
    // While the status is polled, the next tick asks for it.
    Q_INVOKABLE void setSyncDone();

    // Syscall thread (see the class comment).
    void ActionTick() override;
    void EntrypointMessage(cKVNetMessage& message) override;

public slots:
    // Nothing with no port names or while a connection is wanted; otherwise connectToNamedUnit with
    // the first port name.
    void connectToUnit();
    // Only while no connection is wanted: connect turns true, the connect request goes out,
    // connectChanged is emitted and the status is polled from the next tick on. A name longer than 7
    // UTF-8 bytes (or holding a NUL) does not fit the request: it is reported and nothing changes.
    void connectToNamedUnit(QString name);
    // Only while a connection is wanted: connect turns false, the disconnect request goes out,
    // connectChanged is emitted, and the status is polled from the next tick on until the link
    // reports state 0.
    void disconnectFromUnit();
    // Stores the list (GUI thread) and emits portNamesChanged, also when it is the same.
    void updatePortNames(QStringList names);

signals:
    void connectChanged();
    void versionChanged();
    void stateChanged();
    void portNamesChanged();
    void updatePortNamesSignal(QStringList names);
    void errorEvent(int whichError);

private:
    // Sends through the net object's message to the parameter's inform list. Registry lock held.
    void Send(KV_NET_DATA_SCALE parameter, const QByteArray& payload);
    QByteArray ConnectRequest(bool connect, const QByteArray& name) const;
    // Status polling, asked from the next tick on until the link shows the request taken (registry
    // lock held).
    void PollStatusAfterRequest();
    // From status polling back to port-list polling, its count started afresh (registry lock held).
    void PollPortList();
    void OnPortList(const cKVNetMessage& message);
    void OnStatus(const cKVNetMessage& message);
    // The text from offset up to its NUL or the end of the payload (at most limit bytes).
    static QByteArray TextAt(const cKVNetMessage& message, UWORD offset, int limit);

    std::atomic<bool> mConnect{false};
    std::atomic<int> mState{CONNECTION_STATE_IDLE};
    QStringList mPortNames;
    mutable std::mutex mVersionMutex;
    QString mVersion;
    // Under the registry lock.
    bool mStatusPolling = false;
    UBYTE mTickCount = 0;
    UBYTE mRequestPolls = 0;
    int mStateAtRequest = CONNECTION_STATE_IDLE;
};
