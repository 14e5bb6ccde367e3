#include "CorvoGUI/Core/Serial/cSystemSerialPortList.h"

#include <QSerialPortInfo>

#ifndef CORVO_SIMULATED_DEVICE_PORT
#define CORVO_SIMULATED_DEVICE_PORT ""
#endif

QList<sSerialPortDescription> cSystemSerialPortList::AvailablePorts() const
{
    QList<sSerialPortDescription> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos)
    {
        sSerialPortDescription port;
        port.mPortName = info.portName();
        port.mDescription = info.description();
        port.mHasVendorIdentifier = info.hasVendorIdentifier();
        port.mVendorIdentifier = info.vendorIdentifier();
        port.mHasProductIdentifier = info.hasProductIdentifier();
        port.mProductIdentifier = info.productIdentifier();
        ports.append(port);
    }
    const QString simulated = SimulatedDevicePort();
    if (!simulated.isEmpty())
    {
        ports.append(SimulatedPortDescription(simulated));
    }
    return ports;
}

QString cSystemSerialPortList::SimulatedDevicePort()
{
    return QString::fromUtf8(CORVO_SIMULATED_DEVICE_PORT);
}

sSerialPortDescription cSystemSerialPortList::SimulatedPortDescription(const QString& path)
{
    static const QString devPrefix = QStringLiteral("/dev/");
    sSerialPortDescription port;
    port.mPortName = path.startsWith(devPrefix) && path.indexOf('/', devPrefix.size()) < 0
                         ? path.mid(devPrefix.size())
                         : path;
    port.mDescription = QStringLiteral("USB Serial Device");
    port.mHasVendorIdentifier = true;
    port.mVendorIdentifier = 0x0483;
    port.mHasProductIdentifier = true;
    port.mProductIdentifier = 0x5740;
    return port;
}
