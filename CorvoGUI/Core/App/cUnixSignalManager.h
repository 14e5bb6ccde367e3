#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// This platform's signal handling: SIGTERM and SIGINT end the Qt event loop (exit code 0), so the
// program's whole shutdown sequence runs. The signal handler only writes the signal's number into a
// pipe; a socket notifier on the GUI thread reads it there, emits terminationRequested and quits the
// event loop.
//
// Each signal is handled so once: a second SIGTERM (or SIGINT) takes the signal's default action and
// ends the process at once, should the shutdown hang.
//
// One manager handles the signals at a time: a second one made while another is installed reports
// and stays inactive. The destructor restores the handlers that were there before.
//
// Threads: constructed and destroyed on the GUI thread, after the Qt application object exists
// (without one the manager reports and stays inactive).
class cUnixSignalManager : public QObject
{
    Q_OBJECT

public:
    explicit cUnixSignalManager(QObject* parent = nullptr);
    ~cUnixSignalManager() override;

    // True when this manager handles SIGTERM and SIGINT.
    bool IsInstalled() const { return mInstalled; }

signals:
    // GUI thread, before the event loop is asked to quit.
    void terminationRequested(int signalNumber);

private:
    void OnSignalPipeReadable();
    void Uninstall();

    int mPipe[2] = {-1, -1};
    QSocketNotifier* mNotifier = nullptr;
    struct sigaction mPreviousTerm;
    struct sigaction mPreviousInt;
    bool mInstalled = false;
};
