#pragma once

#include <QString>

// A pseudo-terminal pair for the simulated device: the device reads and writes the master; the
// program opens the slave (by its path, or by a symlink to it). The pty also keeps one slave
// descriptor of its own, in raw mode, so that the master stays usable while no program has the
// slave open and the slave's input queue can be measured.
// Not thread-safe; every operation from the thread that owns the device.
class cSimulatedPty
{
public:
    cSimulatedPty() = default;
    ~cSimulatedPty();
    cSimulatedPty(const cSimulatedPty&) = delete;
    cSimulatedPty& operator=(const cSimulatedPty&) = delete;

    // Opens a new pair; with a link path, a symlink to the slave is put there (an existing
    // symlink is replaced; any other file is left and the open fails). False on failure, reported.
    bool Open(const QString& linkPath = QString());
    // Closes both ends and removes the symlink: the program's port sees the device vanish.
    void Close();
    bool IsOpen() const { return mMaster >= 0; }

    QString SlavePath() const { return mSlavePath; }
    QString LinkPath() const { return mLinkPath; }
    // The path the program opens: the link when there is one, else the slave.
    QString PortPath() const { return mLinkPath.isEmpty() ? mSlavePath : mLinkPath; }

    // Reads what the master holds without waiting; returns the count, 0 when nothing, -1 on error.
    int Read(char* buffer, int length);
    // Waits up to timeoutMs for the master to become readable.
    bool WaitReadable(int timeoutMs);
    // Writes all bytes to the master, waiting up to 3 s while it is full; false on failure.
    bool Write(const char* data, int length);
    // Writes what the master takes now, without waiting; returns the count (0 when full or closed).
    int WriteAvailable(const char* data, int length);
    // Bytes waiting in the slave's input queue (written by the device, not yet read by the program).
    int SlaveInputQueued() const;

private:
    int mMaster = -1;
    int mSlave = -1;
    QString mSlavePath;
    QString mLinkPath;
};
