#pragma once

#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "KVNet/Core/cNetObject.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <QStringList>

class cSerialInterface;

// The net object through which the user interface drives the serial link ("Serial Connection
// Driver NetObject", no tick, no tock): parameter messages become connect, disconnect and
// confirmation requests on the serial interface, and are answered with the device-port list, the
// firmware version text and the connection state.
//
//   id    in                                   answer (to the parameter's inform list)
//   4096  UBYTE connect flag, then at offset 1  (sync-up only) UBYTE connection state
//         the NUL-terminated port name
//   4097  anything                             UBYTE count n, then n 8-byte slots, each a
//                                              NUL-terminated port name; length 8n + 1
//   4098  anything                             8 bytes: the NUL-terminated version text
//   4099  anything                             UBYTE state, UBYTE last error (read and cleared)
//   4100  anything                             none: the confirmation after syncing (SetRunning)
// A sync-up (UpdateNewObject) of 4096-4099 posts the same payloads to the object that asked. A
// confirmation that runs the link posts cSavesManager::M_COMPLETE_SYNC to the saves manager ("Saves
// Manager NetObject", when one is registered), so that the device gets what the sync could not take.
//
// Bounds: texts live in 8-byte slots (at most 7 characters and their NUL). The port name of a
// request is read only within the payload (up to its NUL or the payload's end); a name longer than
// 7 characters names no port of the list: the request is refused with ERROR_EVENT_DEVICE_NOT_FOUND
// and a report that gives the whole name. A device port whose name does not fit is left out of the list
// (reported once per name); a version text that does not fit is cut (reported). A request without its flag
// byte is reported and dropped.
//
// A port search takes tens of milliseconds on the syscall thread, so a request or sync-up from a
// framework connection is answered with the last search while it is under PEER_PORT_LIST_AGE_MS old:
// a peer's flood of port-list requests cannot hold the router. Local requests always search.
//
// Threads: constructed and destroyed on the GUI thread, before the syscall thread runs or under
// cRegistryLocker; messages and sync-ups on the syscall thread. The requests are copied into the
// serial interface before the handler returns. The serial interface (not owned) must outlive the
// object; with none, requests are reported and dropped and the answers are those of an idle link.
class cSerialConnectDriver : public cNetObject
{
public:
    static constexpr const char* NAME = "Serial Connection Driver NetObject";
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 5;
    static constexpr KV_NET_DATA_SCALE P_CONNECT = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_PORT_LIST = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_VERSION = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE P_STATUS = PARAMETER_BASE + 3;
    static constexpr KV_NET_DATA_SCALE P_SYNC_DONE = PARAMETER_BASE + 4;
    static constexpr int SLOT_SIZE = 8;
    static constexpr int MAX_TEXT_LENGTH = SLOT_SIZE - 1;
    static constexpr int MAX_PORTS = 255;
    static constexpr qint64 PEER_PORT_LIST_AGE_MS = 1000;

    explicit cSerialConnectDriver(cSerialInterface* serial);
    ~cSerialConnectDriver() override;

    void EntrypointMessage(cKVNetMessage& message) override;
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // The port name of a connect request: the bytes from offset 1 up to the first NUL or the end of
    // the payload.
    static QByteArray RequestedPortName(const cKVNetMessage& message);

private:
    void OnConnect(const cKVNetMessage& message);
    // Fill the message with the payload of that parameter, asked from that connection; false for
    // other parameters.
    bool FillAnswer(cKVNetMessage& message, KV_NET_DATA_SCALE parameter, UWORD connectionId);
    void FillState(cKVNetMessage& message) const;
    void FillPortList(cKVNetMessage& message, UWORD connectionId);
    // The device ports: a new search, or for a framework connection the last one while it is recent.
    QStringList PortNames(UWORD connectionId);
    void FillVersion(cKVNetMessage& message) const;
    void FillStatus(cKVNetMessage& message);
    void Answer(KV_NET_DATA_SCALE parameter, UWORD connectionId);
    // Tells the saves manager that the link runs after the sync.
    void PostCompleteSync();

    cSerialInterface* mSerial;
    cKVNetMessage mMessage;
    // Port names already reported as too long for their slot.
    QSet<QString> mReportedNames;
    QStringList mLastPortNames;
    QElapsedTimer mLastPortSearch;
};
