#include "tests/support/network/cRawSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

sockaddr_in Address(const char* address, quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}

void SetNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
}

} // namespace

cRawSocket::~cRawSocket()
{
    Close();
}

cRawSocket::cRawSocket(cRawSocket&& other) noexcept
    : mFd(other.mFd)
    , mReceived(std::move(other.mReceived))
    , mPeerClosed(other.mPeerClosed)
{
    other.mFd = -1;
}

cRawSocket& cRawSocket::operator=(cRawSocket&& other) noexcept
{
    if (this != &other)
    {
        Close();
        mFd = other.mFd;
        mReceived = std::move(other.mReceived);
        mPeerClosed = other.mPeerClosed;
        other.mFd = -1;
    }
    return *this;
}

cRawSocket cRawSocket::TcpConnect(const char* address, quint16 port, int timeoutMs, int receiveBufferBytes)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
    {
        return cRawSocket();
    }
    if (receiveBufferBytes != 0)
    {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    }
    SetNonBlocking(fd);
    sockaddr_in a = Address(address, port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
    {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if (errno != EINPROGRESS || poll(&p, 1, timeoutMs) != 1 ||
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
        {
            close(fd);
            return cRawSocket();
        }
    }
    return cRawSocket(fd);
}

cRawSocket cRawSocket::TcpListen(const char* address, quint16 port, int backlog)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = Address(address, port);
    if (fd >= 0 && (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, backlog) != 0))
    {
        close(fd);
        fd = -1;
    }
    if (fd >= 0)
    {
        SetNonBlocking(fd);
    }
    return cRawSocket(fd);
}

cRawSocket cRawSocket::Udp(const char* address, quint16 port)
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = Address(address, port);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
    {
        close(fd);
        fd = -1;
    }
    if (fd >= 0)
    {
        SetNonBlocking(fd);
    }
    return cRawSocket(fd);
}

quint16 cRawSocket::LocalPort() const
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (mFd < 0 || getsockname(mFd, reinterpret_cast<sockaddr*>(&a), &length) != 0)
    {
        return 0;
    }
    return ntohs(a.sin_port);
}

cRawSocket cRawSocket::Accept()
{
    int fd = mFd >= 0 ? accept(mFd, nullptr, nullptr) : -1;
    if (fd >= 0)
    {
        SetNonBlocking(fd);
    }
    return cRawSocket(fd);
}

bool cRawSocket::Send(const QByteArray& bytes)
{
    qint64 sent = 0;
    while (mFd >= 0 && sent < bytes.size())
    {
        const ssize_t result = send(mFd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (result > 0)
        {
            sent += result;
        }
        else if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        {
            usleep(1000);
        }
        else
        {
            return false;
        }
    }
    return mFd >= 0;
}

qint64 cRawSocket::SendSome(const QByteArray& bytes)
{
    if (mFd < 0)
    {
        return -1;
    }
    const ssize_t result = send(mFd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    if (result >= 0)
    {
        return result;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}

bool cRawSocket::SendTo(const QByteArray& datagram, const char* address, quint16 port)
{
    sockaddr_in a = Address(address, port);
    return mFd >= 0 && sendto(mFd, datagram.constData(), size_t(datagram.size()), 0,
                              reinterpret_cast<sockaddr*>(&a), sizeof a) == datagram.size();
}

bool cRawSocket::Poll()
{
    char buffer[65536];
    while (mFd >= 0 && !mPeerClosed)
    {
        const ssize_t result = recv(mFd, buffer, sizeof buffer, 0);
        if (result > 0)
        {
            mReceived.append(buffer, int(result));
        }
        else if (result == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
        {
            mPeerClosed = true;
        }
        else
        {
            break;
        }
    }
    return mPeerClosed;
}

bool cRawSocket::Take(int count, QByteArray& bytes)
{
    Poll();
    if (mReceived.size() < count)
    {
        return false;
    }
    bytes = mReceived.left(count);
    mReceived.remove(0, count);
    return true;
}

bool cRawSocket::ReceiveFrom(QByteArray& datagram, quint16* senderPort)
{
    char buffer[65536];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t result =
        mFd >= 0 ? recvfrom(mFd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length) : -1;
    if (result < 0)
    {
        return false;
    }
    datagram = QByteArray(buffer, int(result));
    if (senderPort != nullptr)
    {
        *senderPort = ntohs(from.sin_port);
    }
    return true;
}

void cRawSocket::Reset()
{
    if (mFd >= 0)
    {
        const linger abort{1, 0};
        setsockopt(mFd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    Close();
}

void cRawSocket::Close()
{
    if (mFd >= 0)
    {
        close(mFd);
        mFd = -1;
    }
}
