#include "tests/simulator/cSimulatedPty.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QByteArray>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

cSimulatedPty::~cSimulatedPty()
{
    Close();
}

bool cSimulatedPty::Open(const QString& linkPath)
{
    Close();
    mMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (mMaster < 0 || grantpt(mMaster) != 0 || unlockpt(mMaster) != 0)
    {
        KV_REPORT_ERROR("Cannot create a pseudo-terminal: %s", std::strerror(errno));
        Close();
        return false;
    }
    char name[128];
    if (ptsname_r(mMaster, name, sizeof name) != 0)
    {
        KV_REPORT_ERROR("Cannot name the pseudo-terminal: %s", std::strerror(errno));
        Close();
        return false;
    }
    mSlavePath = QString::fromLocal8Bit(name);
    mSlave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (mSlave < 0)
    {
        KV_REPORT_ERROR("Cannot open %s: %s", name, std::strerror(errno));
        Close();
        return false;
    }
    termios settings;
    if (tcgetattr(mSlave, &settings) == 0)
    {
        cfmakeraw(&settings);
        tcsetattr(mSlave, TCSANOW, &settings);
    }
    if (!linkPath.isEmpty())
    {
        const QByteArray link = linkPath.toLocal8Bit();
        const QFileInfo existing(linkPath);
        if (existing.isSymLink())
        {
            ::unlink(link.constData());
        }
        if (::symlink(name, link.constData()) != 0)
        {
            KV_REPORT_ERROR("Cannot link %s to %s: %s", link.constData(), name, std::strerror(errno));
            Close();
            return false;
        }
        mLinkPath = linkPath;
    }
    return true;
}

void cSimulatedPty::Close()
{
    if (!mLinkPath.isEmpty())
    {
        ::unlink(mLinkPath.toLocal8Bit().constData());
        mLinkPath.clear();
    }
    if (mSlave >= 0)
    {
        ::close(mSlave);
        mSlave = -1;
    }
    if (mMaster >= 0)
    {
        ::close(mMaster);
        mMaster = -1;
    }
    mSlavePath.clear();
}

int cSimulatedPty::Read(char* buffer, int length)
{
    if (mMaster < 0)
    {
        return -1;
    }
    const ssize_t got = ::read(mMaster, buffer, static_cast<size_t>(length));
    if (got < 0)
    {
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    }
    return static_cast<int>(got);
}

bool cSimulatedPty::WaitReadable(int timeoutMs)
{
    if (mMaster < 0)
    {
        return false;
    }
    pollfd fd{mMaster, POLLIN, 0};
    return ::poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN) != 0;
}

bool cSimulatedPty::Write(const char* data, int length)
{
    // A program that stops reading leaves the pty full: give up after a while rather than hang.
    constexpr int kFullPolls = 30;
    int done = 0;
    int fullPolls = 0;
    while (done < length && mMaster >= 0)
    {
        const ssize_t wrote = ::write(mMaster, data + done, static_cast<size_t>(length - done));
        if (wrote < 0)
        {
            if ((errno == EAGAIN || errno == EINTR) && fullPolls++ < kFullPolls)
            {
                pollfd fd{mMaster, POLLOUT, 0};
                ::poll(&fd, 1, 100);
                continue;
            }
            return false;
        }
        done += static_cast<int>(wrote);
    }
    return done == length;
}

int cSimulatedPty::WriteAvailable(const char* data, int length)
{
    int done = 0;
    while (done < length && mMaster >= 0)
    {
        const ssize_t wrote = ::write(mMaster, data + done, static_cast<size_t>(length - done));
        if (wrote <= 0)
        {
            break;
        }
        done += static_cast<int>(wrote);
    }
    return done;
}

int cSimulatedPty::SlaveInputQueued() const
{
    int queued = 0;
    if (mSlave < 0 || ::ioctl(mSlave, FIONREAD, &queued) != 0)
    {
        return 0;
    }
    return queued;
}
