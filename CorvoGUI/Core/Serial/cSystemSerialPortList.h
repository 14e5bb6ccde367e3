#pragma once

#include "CorvoGUI/Core/Serial/cSerialPortList.h"

// The machine's serial ports as Qt lists them. A build configured with a simulated device port
// (CORVO_SIMULATED_DEVICE_PORT) lists that path after them, described as the device describes
// itself, so that the port search finds it.
class cSystemSerialPortList : public cSerialPortList
{
public:
    QList<sSerialPortDescription> AvailablePorts() const override;

    // The configured simulated device port; empty in a default build.
    static QString SimulatedDevicePort();
    // A device-like description of a port at the path; a path under /dev/ is named by its file
    // name, as Qt names the ports it lists.
    static sSerialPortDescription SimulatedPortDescription(const QString& path);
};
