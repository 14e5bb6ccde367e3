#pragma once

#include <QSerialPort>

// Tells a device that vanished from a read error that a busy machine gives now and then. On Linux a
// port whose device is gone (a pty whose other side closed, a USB device pulled out) reports a read
// error on every tick and reads nothing; a spurious readiness notice gives the same error once.
// The device counts as lost on a resource, device-not-found or write error at once; on a read error
// with nothing read when the port's system location is gone, at once; and on
// READ_ERROR_TICKS_FOR_LOSS ticks in a row with a read error and nothing read. Any tick without a
// read error, or that read something, starts the count again.
//
// Plain state, no lock: one thread observes (the tick thread).
class cSerialLossDetector
{
public:
    static constexpr int READ_ERROR_TICKS_FOR_LOSS = 5;

    // One tick: the port's error after taking input, the bytes taken and whether the port's system
    // location still exists (asked only on a read error with nothing read). True: the device is lost.
    // Errors that mean the device is gone whatever else the tick saw.
    static bool MeansDeviceGone(QSerialPort::SerialPortError error)
    {
        return error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError ||
               error == QSerialPort::WriteError;
    }

    template <typename tLocationExists>
    bool Observe(QSerialPort::SerialPortError error, long long bytesTaken, tLocationExists locationExists)
    {
        if (MeansDeviceGone(error))
        {
            return true;
        }
        switch (error)
        {
        case QSerialPort::ReadError:
            if (bytesTaken > 0)
            {
                break;
            }
            if (!locationExists())
            {
                return true;
            }
            return ++mReadErrorTicks >= READ_ERROR_TICKS_FOR_LOSS;
        default:
            break;
        }
        mReadErrorTicks = 0;
        return false;
    }
    void Reset() { mReadErrorTicks = 0; }
    int ReadErrorTicks() const { return mReadErrorTicks; }

private:
    int mReadErrorTicks = 0;
};
