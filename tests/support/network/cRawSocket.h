#pragma once

#include <QByteArray>
#include <QString>

// A plain POSIX socket for tests: a peer written without the program's classes, to check the
// bytes on the wire. Non-blocking after set-up; IPv4 only. Owns its descriptor.
class cRawSocket
{
public:
    cRawSocket() = default;
    ~cRawSocket();
    cRawSocket(cRawSocket&& other) noexcept;
    cRawSocket& operator=(cRawSocket&& other) noexcept;
    cRawSocket(const cRawSocket&) = delete;
    cRawSocket& operator=(const cRawSocket&) = delete;

    // A connected TCP socket; invalid when the connect fails or takes longer than timeoutMs.
    // receiveBufferBytes other than 0 sets the socket's receive buffer before it connects (a
    // small one keeps the window a peer that does not read offers small).
    static cRawSocket TcpConnect(const char* address, quint16 port, int timeoutMs = 5000,
                                 int receiveBufferBytes = 0);
    // A TCP socket listening on address:port with the given backlog.
    static cRawSocket TcpListen(const char* address, quint16 port, int backlog = 16);
    // A UDP socket bound to address:port (0: a port the system chooses).
    static cRawSocket Udp(const char* address, quint16 port = 0);

    bool IsValid() const { return mFd >= 0; }
    quint16 LocalPort() const;
    // A connection waiting on a listening socket, or an invalid socket.
    cRawSocket Accept();
    // TCP: writes all bytes (blocking until written). UDP: one datagram to address:port.
    bool Send(const QByteArray& bytes);
    // TCP: writes what the socket takes now, without waiting; the bytes written, -1 on an error.
    qint64 SendSome(const QByteArray& bytes);
    bool SendTo(const QByteArray& datagram, const char* address, quint16 port);

    // TCP: appends what has arrived to Received(); true once the peer has closed.
    bool Poll();
    QByteArray& Received() { return mReceived; }
    bool PeerClosed() const { return mPeerClosed; }
    // TCP: Poll, then take the first count bytes when that many have arrived.
    bool Take(int count, QByteArray& bytes);
    // UDP: the next datagram with its sender's port, when one has arrived.
    bool ReceiveFrom(QByteArray& datagram, quint16* senderPort = nullptr);

    void Close();
    // TCP: closes with a reset (RST) instead of the orderly end, dropping what is unsent.
    void Reset();

private:
    explicit cRawSocket(int fd)
        : mFd(fd)
    {
    }

    int mFd = -1;
    QByteArray mReceived;
    bool mPeerClosed = false;
};
