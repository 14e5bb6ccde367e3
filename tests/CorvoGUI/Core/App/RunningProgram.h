#pragma once

// Test support: the program without its user interface, assembled and running as qMain runs it (the
// framework's system, the application object, the syscall and action-tick threads, the running
// flag), with test objects that stand in for the user interface's back ends.

#include "CorvoGUI/Core/App/cApplication.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cMeterDisplayDriverBase.h"
#include "KVNet/Core/cRegistryRouter.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "KVNet/Core/sParameterLinkingCommand.h"
#include "tests/CorvoGUI/Core/Serial/SerialTestLink.h"

#include <QElapsedTimer>
#include <QList>
#include <QThread>

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace nAppTest
{

// A meter as the user interface shows it: every value after the ballistics (here none: attack and
// decay jump).
class cRecordingMeterDriver : public cMeterDisplayDriverBase
{
public:
    explicit cRecordingMeterDriver(const char* name)
        : cMeterDisplayDriverBase(name, 32767, -32767, false, 0)
    {
    }
    ~cRecordingMeterDriver() override { DestroyAudioObject(); }

    void MeterValues(GAIN meter, GAIN) override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mValues.append(meter);
    }
    // The last value shown; `none` before the first.
    int Last(int none = 0x7FFFFFFF) const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mValues.isEmpty() ? none : int(mValues.last());
    }

private:
    mutable std::mutex mMutex; // std::mutex: visible to ThreadSanitizer
    QList<GAIN> mValues;
};

class cRunningProgram
{
public:
    explicit cRunningProgram(const QList<sSerialPortDescription>& ports = {})
    {
        StartSystem(0, true);
        mApplication = new cApplication(std::make_unique<cFixedSerialPortList>(ports));
        mApplication->StartSyscallThread();
        mApplication->StartActionTickThread();
        SetSystemRunning(true);
    }
    ~cRunningProgram() { Stop(); }
    cRunningProgram(const cRunningProgram&) = delete;
    cRunningProgram& operator=(const cRunningProgram&) = delete;

    // As qMain ends: running off, the syscall thread stopped, the test objects deleted, then the
    // application (which deletes the framework's system).
    void Stop()
    {
        if (mApplication == nullptr)
        {
            return;
        }
        SetSystemRunning(false);
        mApplication->StopSyscallThread();
        for (auto it = mCleanups.rbegin(); it != mCleanups.rend(); ++it)
        {
            (*it)();
        }
        mCleanups.clear();
        delete mApplication;
        mApplication = nullptr;
    }

    // A test object, made under the registry lock and deleted by Stop.
    template <typename T, typename... tArgs>
    T* Make(tArgs&&... args)
    {
        cRegistryLocker lock;
        T* object = new T(std::forward<tArgs>(args)...);
        mCleanups.push_back([object] { delete object; });
        return object;
    }

    static void Link(const char* source, UWORD sourceParam, const char* destination, UWORD destParam,
                     bool sync, bool bidirect)
    {
        sParameterLinkingCommand command;
        command.SetSourcePath(source);
        command.SetDestinationPath(destination);
        command.mSourceParam = sourceParam;
        command.mDestParam = destParam;
        command.mSync = sync;
        command.mRemove = false;
        command.mDataGram = false;
        gSystemBuilder->AddLinkCommandToList(command, bidirect);
    }

    // Waits until the system builder has worked through every queued link.
    static bool WaitForLinks(int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs)
        {
            if (gSystemBuilder->GetQueuedCount() == 0 && !gSystemBuilder->IsBusy())
            {
                return true;
            }
            QThread::msleep(5);
        }
        return false;
    }

    static KV_NET_DATA_SCALE Handle(const char* name) { return gRegistryRouter->FindHandleByName(name); }

    cApplication& App() const { return *mApplication; }

private:
    cApplication* mApplication = nullptr;
    std::vector<std::function<void()>> mCleanups;
};

// Services a free-running simulated device (null: none) until done() holds or the time is up.
inline bool Serve(cSimulatedDevice* device, const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs)
    {
        if (device != nullptr)
        {
            device->Service();
        }
        if (done())
        {
            return true;
        }
        if (device != nullptr)
        {
            device->WaitForInput(5);
        }
        else
        {
            QThread::msleep(5);
        }
    }
    return done();
}

} // namespace nAppTest
