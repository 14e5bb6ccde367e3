#pragma once

#include <QtGlobal>

class cRawSocket;

namespace nPeerHello
{
// Says hello on tcp as a peer unit whose UDP socket is udp, and waits for the program's 8-byte
// answer: true with the program's UDP port in programUdp; false when tcp is not connected, the
// program closes it or does not answer within timeoutMs. Blocking; polls every millisecond.
bool Exchange(cRawSocket& tcp, const cRawSocket& udp, int timeoutMs, quint16& programUdp);
} // namespace nPeerHello
