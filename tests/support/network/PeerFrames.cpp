#include "tests/support/network/PeerFrames.h"

namespace nPeerFrames
{

QByteArray Word(quint16 value)
{
    QByteArray bytes;
    bytes.append(char(value >> 8));
    bytes.append(char(value & 0xFF));
    return bytes;
}

QByteArray V1(quint16 connection, quint16 destination, quint16 source, quint16 method,
              const QByteArray& payload)
{
    return QByteArray(1, char(0xF0)) + Word(connection) + Word(destination) + Word(source) + Word(method) +
           Word(quint16(payload.size())) + payload + QByteArray(1, char(0xF7));
}

QByteArray V2(quint16 connection, quint16 destination, quint16 source, quint16 method,
              const QByteArray& payload)
{
    const QByteArray zero(2, '\0');
    return QByteArray(1, char(0xF1)) + Word(connection) + zero + Word(destination) + zero + Word(source) +
           zero + Word(method) + zero + Word(quint16(payload.size())) + payload + QByteArray(1, char(0xF8));
}

QByteArray Util(const QByteArray& payload)
{
    return QByteArray(1, char(0xE0)) + Word(quint16(payload.size())) + payload + QByteArray(1, char(0xE7));
}

QByteArray Hello(quint8 type, quint16 udpPort, quint8 version)
{
    return Util(QByteArray(1, char(type)) + QByteArray(1, char(version)) + Word(udpPort));
}

QByteArray Heartbeat()
{
    return Util(QByteArray(1, char(3)));
}

QByteArray Bye()
{
    return Util(QByteArray("BYE"));
}

} // namespace nPeerFrames
