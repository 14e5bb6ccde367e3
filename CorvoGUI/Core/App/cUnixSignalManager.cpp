#include "CorvoGUI/Core/App/cUnixSignalManager.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

// The write end of the installed manager's pipe; -1 while none is installed.
std::atomic<int> gSignalPipeWrite{-1};
std::atomic<bool> gManagerInstalled{false};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free atomic");

extern "C" void OnTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = gSignalPipeWrite.load();
    if (fd >= 0)
    {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        const ssize_t written = ::write(fd, &byte, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

} // namespace

cUnixSignalManager::cUnixSignalManager(QObject* parent)
    : QObject(parent)
{
    std::memset(&mPreviousTerm, 0, sizeof(mPreviousTerm));
    std::memset(&mPreviousInt, 0, sizeof(mPreviousInt));
    if (QCoreApplication::instance() == nullptr)
    {
        KV_REPORT_ERROR(
            "Signal handling needs the Qt application object: SIGTERM and SIGINT are not handled");
        return;
    }
    bool expected = false;
    if (!gManagerInstalled.compare_exchange_strong(expected, true))
    {
        KV_REPORT_ERROR("Another signal manager handles SIGTERM and SIGINT already");
        return;
    }
    if (::pipe2(mPipe, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        KV_REPORT_ERROR("Cannot create the signal pipe: %s", std::strerror(errno));
        mPipe[0] = mPipe[1] = -1;
        gManagerInstalled.store(false);
        return;
    }
    mNotifier = new QSocketNotifier(mPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &cUnixSignalManager::OnSignalPipeReadable);
    gSignalPipeWrite.store(mPipe[1]);

    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // A second signal of the same kind takes its default action: it ends a shutdown that hangs.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(SIGTERM, &action, &mPreviousTerm);
    ::sigaction(SIGINT, &action, &mPreviousInt);
    mInstalled = true;
}

cUnixSignalManager::~cUnixSignalManager()
{
    Uninstall();
}

void cUnixSignalManager::Uninstall()
{
    if (!mInstalled)
    {
        return;
    }
    ::sigaction(SIGTERM, &mPreviousTerm, nullptr);
    ::sigaction(SIGINT, &mPreviousInt, nullptr);
    gSignalPipeWrite.store(-1);
    delete mNotifier;
    mNotifier = nullptr;
    ::close(mPipe[0]);
    ::close(mPipe[1]);
    mPipe[0] = mPipe[1] = -1;
    mInstalled = false;
    gManagerInstalled.store(false);
}

void cUnixSignalManager::OnSignalPipeReadable()
{
    unsigned char bytes[16];
    bool quit = false;
    for (;;)
    {
        const ssize_t count = ::read(mPipe[0], bytes, sizeof(bytes));
        if (count <= 0)
        {
            break;
        }
        for (ssize_t i = 0; i < count; ++i)
        {
            emit terminationRequested(int(bytes[i]));
            quit = true;
        }
    }
    if (quit)
    {
        QCoreApplication::quit();
    }
}
