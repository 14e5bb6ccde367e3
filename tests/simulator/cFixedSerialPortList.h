#pragma once

// Port lists for tests and benchmarks that put a simulated device behind the serial interface.

#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include <mutex>

// A port list that tests set.
class cFixedSerialPortList : public cSerialPortList
{
public:
    explicit cFixedSerialPortList(const QList<sSerialPortDescription>& ports = {})
        : mPorts(ports)
    {
    }
    QList<sSerialPortDescription> AvailablePorts() const override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mPorts;
    }
    void SetPorts(const QList<sSerialPortDescription>& ports)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mPorts = ports;
    }

private:
    mutable std::mutex mMutex;
    QList<sSerialPortDescription> mPorts;
};

// A port described as the device describes itself.
inline sSerialPortDescription DevicePort(const QString& name, quint16 product = 0x5740,
                                         const QString& description = QStringLiteral("USB Serial Device"),
                                         quint16 vendor = 0x0483)
{
    sSerialPortDescription port;
    port.mPortName = name;
    port.mDescription = description;
    port.mHasVendorIdentifier = true;
    port.mVendorIdentifier = vendor;
    port.mHasProductIdentifier = true;
    port.mProductIdentifier = product;
    return port;
}
