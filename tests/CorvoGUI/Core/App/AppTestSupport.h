#pragma once

// Test support for the application: device ports whose names fit the connection driver's 8-byte
// name slots, and parameter messages as the user interface's back ends send them.

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cKVNetMessage.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QByteArray>
#include <QCoreApplication>

namespace nAppTest
{

// "./" and five characters: short enough for a name slot, distinct per process (the serial port's
// lock file is named after it) and per `index` (0-35). Relative to the working directory, so a test
// first moves into a folder of its own.
inline QString ShortPortName(int index = 0)
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    qint64 pid = QCoreApplication::applicationPid() % (36 * 36 * 36 * 36);
    QString name = QStringLiteral("./");
    for (int i = 0; i < 4; ++i)
    {
        name.append(QChar(digits[pid % 36]));
        pid /= 36;
    }
    name.append(QChar(digits[index % 36]));
    return name;
}

// A parameter message from `source` (local connection) with that payload.
inline cKVNetMessage ParameterMessage(KV_NET_DATA_SCALE destination, UWORD method, const QByteArray& payload,
                                      KV_NET_DATA_SCALE source = KV_NET_NO_HANDLE)
{
    cKVNetMessage message(UWORD(payload.size()));
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = destination;
    message.mSource = source;
    message.mMethod = method;
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    return message;
}

inline void Post(KV_NET_DATA_SCALE destination, UWORD method, const QByteArray& payload,
                 KV_NET_DATA_SCALE source = KV_NET_NO_HANDLE)
{
    cKVNetMessage message = ParameterMessage(destination, method, payload, source);
    PostMessage(message);
}

// A connect request as the serial connection back end sends it: the flag and the name in an 8-byte
// slot (9 bytes).
inline QByteArray ConnectRequest(bool connect, const QByteArray& name = QByteArray())
{
    QByteArray payload(1, connect ? '\1' : '\0');
    payload.append(name.left(7));
    payload.append(QByteArray(9 - payload.size(), '\0'));
    return payload;
}

// A port name in its 8-byte slot.
inline QByteArray Slot(const QByteArray& name)
{
    return name + QByteArray(8 - name.size(), '\0');
}

inline QByteArray BigEndian16(UWORD value)
{
    QByteArray bytes;
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xFF));
    return bytes;
}

inline QByteArray Little32(ULONG value)
{
    QByteArray bytes;
    for (int shift = 0; shift < 32; shift += 8)
    {
        bytes.append(char((value >> shift) & 0xFF));
    }
    return bytes;
}

inline QByteArray Little16(UWORD value)
{
    QByteArray bytes;
    bytes.append(char(value & 0xFF));
    bytes.append(char(value >> 8));
    return bytes;
}

// A device frame: header and payload.
inline QByteArray Frame(UBYTE command, const QByteArray& payload)
{
    QByteArray bytes("\xA5\xA5\x00", 3);
    bytes.append(char(command));
    bytes.append(Little32(ULONG(payload.size())));
    bytes.append(payload);
    return bytes;
}

} // namespace nAppTest
