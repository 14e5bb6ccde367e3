#include "tests/support/network/PeerHello.h"

#include "tests/support/network/PeerFrames.h"
#include "tests/support/network/cRawSocket.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QThread>

bool nPeerHello::Exchange(cRawSocket& tcp, const cRawSocket& udp, int timeoutMs, quint16& programUdp)
{
    if (!tcp.IsValid() || !tcp.Send(nPeerFrames::Hello(1, udp.LocalPort())))
    {
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    QByteArray ack;
    while (!tcp.Take(8, ack))
    {
        if (tcp.PeerClosed() || timer.elapsed() > timeoutMs)
        {
            return false;
        }
        QThread::msleep(1);
    }
    programUdp = quint16((quint8(ack[5]) << 8) | quint8(ack[6]));
    return true;
}
