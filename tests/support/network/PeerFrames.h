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
} // namespace nPeerFrames
