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

QByteArray LinkRequest(quint16 handle, quint16 destinationMethod, quint16 sourceMethod, bool sync)
{
    return Word(0) + Word(handle) + Word(destinationMethod) + Word(sourceMethod) + QByteArray(1, '\0') +
           QByteArray(1, sync ? '\1' : '\0');
}

bool TakeV1(QByteArray& bytes, quint16& destination, quint16& source, quint16& method, QByteArray& payload)
{
    while (!bytes.isEmpty() && quint8(bytes[0]) != 0xF0)
    {
        if (quint8(bytes[0]) == 0xE0 && bytes.size() >= 3)
        {
            const int length = (quint8(bytes[1]) << 8) | quint8(bytes[2]);
            if (bytes.size() < length + 4)
            {
                return false;
            }
            bytes.remove(0, length + 4);
            continue;
        }
        if (quint8(bytes[0]) == 0xE0)
        {
            return false;
        }
        bytes.remove(0, 1);
    }
    if (bytes.size() < 12)
    {
        return false;
    }
    auto word = [&bytes](int at) { return quint16((quint8(bytes[at]) << 8) | quint8(bytes[at + 1])); };
    const int length = word(9);
    if (bytes.size() < length + 12)
    {
        return false;
    }
    destination = word(3);
    source = word(5);
    method = word(7);
    payload = bytes.mid(11, length);
    bytes.remove(0, length + 12);
    return true;
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
