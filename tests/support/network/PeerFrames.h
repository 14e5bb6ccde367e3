#pragma once

#include <QByteArray>
#include <QtGlobal>

// Frames as a peer unit writes them, built byte by byte without the program's writers.
namespace nPeerFrames
{
QByteArray V1(quint16 connection, quint16 destination, quint16 source, quint16 method,
              const QByteArray& payload = QByteArray());
QByteArray V2(quint16 connection, quint16 destination, quint16 source, quint16 method,
              const QByteArray& payload = QByteArray());
QByteArray Util(const QByteArray& payload);
QByteArray Hello(quint8 type, quint16 udpPort, quint8 version = 3);
QByteArray Heartbeat();
QByteArray Bye();
QByteArray Word(quint16 value);
// A link request as a peer writes it (the program puts the connection's id in front of it): from
// the receiver's method sourceMethod to destinationMethod of the peer's handle.
QByteArray LinkRequest(quint16 handle, quint16 destinationMethod, quint16 sourceMethod, bool sync = false);
// Takes the first whole V1 frame from the front of bytes, skipping util frames and anything else
// before it: its header fields and payload. False while none is whole.
bool TakeV1(QByteArray& bytes, quint16& destination, quint16& source, quint16& method, QByteArray& payload);
} // namespace nPeerFrames
