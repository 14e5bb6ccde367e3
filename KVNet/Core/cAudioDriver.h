#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cNetObject;

// Base of every driver: the user-side half of a control, paired with the net object (its
// control object, the "audio object") that represents the control in the framework. The
// driver owns the control object; the control object keeps a plain pointer back to the driver
// and calls the driver's virtual operations on the syscall thread.
//
// Threads: the driver is made, attached, detached and destroyed on its owner's thread (the GUI
// thread for the QML drivers). Attaching and DestroyAudioObject take the registry lock, so the
// control object never appears or disappears in the middle of a delivery or a tick scan.
//
// Rules for subclasses, because the control object calls the driver's overrides:
// - attach (create the control object) from the most derived constructor's body, or construct
//   the whole driver under cRegistryLocker (KVNetSystem.h) when a syscall thread is running;
// - call DestroyAudioObject first in the destructor of every class that overrides an
//   operation the control object calls.
class cAudioDriver
{
public:
    cAudioDriver() = default;
    // When the audio object is still set: reports "ERROR - The audio object should have been
    // destroyed by now" and destroys it, so that it cannot call back into a dead driver.
    virtual ~cAudioDriver();
    cAudioDriver(const cAudioDriver&) = delete;
    cAudioDriver& operator=(const cAudioDriver&) = delete;

    // Under the registry lock: deletes the control object (it leaves the registry and tells its
    // linkers) and clears the pointer. Does nothing when there is none.
    void DestroyAudioObject();
    // The owned control object, null while detached. Owner's thread.
    cNetObject* GetAudioObject() const { return mAudioObject; }
    // The control object's registered name, "" while detached.
    const char* GetAudioObjectName() const;

protected:
    // Takes ownership of a control object made for this driver. A control object already held
    // is destroyed first (under the registry lock).
    void SetAudioObject(cNetObject* object);

    // Queues one link with the system builder: parameter sourceParam of the object named
    // sourcePath informs destinationParam of the object named destinationPath (mDataGram false).
    // Reports and returns false without a system builder, or when a path is null or empty.
    static bool QueueLinkCommand(const char* sourcePath, UWORD sourceParam, const char* destinationPath,
                                 UWORD destinationParam, bool sync, bool remove, bool bidirect);

private:
    cNetObject* mAudioObject = nullptr;
};
