#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QByteArray>
#include <QString>

#include <functional>

class cAudioDriver;

// The attach and detach rules that every QML driver shares. GUI thread.
namespace nQtDriverAttachment
{

// Makes the driver's net object under a name given by QML or a back end:
// - an empty name does nothing (false);
// - a driver that already has a net object keeps it, and the report "Driver already has a net
//   object" is made (false);
// - otherwise attach is called with the name as local 8-bit text; it creates the net object under
//   the registry lock. A net object that could not register (a duplicate or over-long name, no
//   registry router: the framework has reported why) is destroyed again, so the driver stays
//   detached (false).
// True when the driver is attached under that name.
bool AttachByName(cAudioDriver& driver, const QString& name,
                  const std::function<bool(const char* localName)>& attach);

// Destroys the driver's net object under the registry lock; true when there was one.
bool Detach(cAudioDriver& driver);

// The net object's registered name, empty while detached.
QString NetObjectName(const cAudioDriver& driver);

} // namespace nQtDriverAttachment

// The read signal's pacing: Poll is called on every poll of the driver's value (syscall thread)
// and answers true on every period-th call; a period of 0 answers true on every 256th call.
class cReadPeriod
{
public:
    explicit cReadPeriod(UBYTE period)
        : mPeriod(period)
    {
    }

    bool Poll()
    {
        ++mCounter;
        if (mCounter != mPeriod)
        {
            return false;
        }
        mCounter = 0;
        return true;
    }

    UBYTE Period() const { return mPeriod; }

private:
    UBYTE mPeriod;
    UBYTE mCounter = 0;
};
