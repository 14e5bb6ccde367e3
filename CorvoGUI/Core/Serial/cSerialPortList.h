#pragma once

#include <QList>
#include <QString>

// What the port search needs to know about one serial port.
struct sSerialPortDescription
{
    QString mPortName;    // the name that opens the port (QSerialPort::setPortName)
    QString mDescription; // as the system reports it
    bool mHasVendorIdentifier = false;
    quint16 mVendorIdentifier = 0;
    bool mHasProductIdentifier = false;
    quint16 mProductIdentifier = 0;
};

// The serial ports present on the machine, in the system's order. AvailablePorts is called from
// the thread that builds the serial interface and from the syscall thread (port-list requests), so
// an implementation must be callable from any thread.
class cSerialPortList
{
public:
    virtual ~cSerialPortList() = default;
    virtual QList<sSerialPortDescription> AvailablePorts() const = 0;
};
