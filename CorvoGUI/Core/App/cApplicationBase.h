#pragma once

#include "KVNet/Core/cActionTickParent.h"

#include <QObject>

class cActionTickDriver;
class cSyscallThread;
class cUnixSignalManager;

// The base of the application object: holds the framework's two threads, the action-tick driver
// (whose per-tick call is this object's OnActionTick) and the syscall thread, and the platform's
// signal manager.
//
// Threads: every operation on the GUI thread. The framework's system (router, builder) must exist
// before a thread is created. Delete the action-tick driver before the derived object's state that
// OnActionTick uses goes away.
class cApplicationBase : public QObject, public cActionTickParent
{
    Q_OBJECT

public:
    cApplicationBase();
    // Deletes the tick driver and the syscall thread when still present, then the signal manager.
    ~cApplicationBase() override;

    // A new action-tick driver whose per-tick call is this object (nothing when one exists).
    void CreateActionTickThread();
    // Starts it when it exists.
    void StartActionTickThread();
    // Deletes it (its destructor stops the thread) and clears the pointer.
    void DeleteActionTickThread();

    void CreateSyscallThread();
    // Forward to the syscall thread when it exists.
    void StartSyscallThread();
    void StopSyscallThread();
    void DeleteSyscallThread();

    cActionTickDriver* GetActionTickDriver() const { return mActionTickDriver; }
    cSyscallThread* GetSyscallThread() const { return mSyscallThread; }
    cUnixSignalManager* GetSignalManager() const { return mSignalManager; }

protected:
    cActionTickDriver* mActionTickDriver = nullptr;
    cSyscallThread* mSyscallThread = nullptr;
    cUnixSignalManager* mSignalManager = nullptr;
};
