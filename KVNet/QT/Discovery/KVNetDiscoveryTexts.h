#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// Unit discovery on UDP: responders broadcast find-me datagrams to DISCOVERY_PORT
//   "KV_UFV2", NUL, request text, NUL, unit name, NUL, additional text, NUL  (local 8-bit)
// and answer requests sent to REQUEST_PORT (the request text exactly) with the unit name in
// Latin-1 and a NUL. A finder broadcasts its request text followed by a NUL to REQUEST_PORT,
// and for some unit types also the request text, NUL, a marker ("V2" or "XX"), NUL.
namespace nKVNetDiscovery
{
constexpr quint16 DISCOVERY_PORT = 51319;
constexpr quint16 REQUEST_PORT = 51320;
constexpr int LIFE_TICKS = 5;
// A finder lists at most this many units (a sighting beyond them is ignored).
constexpr int MAX_SEEN_UNITS = 256;

extern const QString MAGIC;
extern const QString MARKER_V2;
extern const QString MARKER_XX;

// The marker of the second request form for a request text, or an empty text when that type
// gets only the first form. The list of such types is empty in this program.
QString SecondRequestMarker(const QString& request);

// The NUL-terminated texts at the start of a datagram, read only within its size; a text without
// its NUL ends the list (it is not taken).
QList<QByteArray> TerminatedTexts(const QByteArray& datagram);
} // namespace nKVNetDiscovery
