#pragma once
// The device search: every serial port is asked first for a mass flow controller and then
// for a syringe pump; instruments listed in the known-device table replace the device list.
// The ports are probed at the same time, each on a thread of its own with its own transport,
// so a search lasts about as long as its slowest port.
#include "devices/DeviceInfo.h"

#include <QString>
#include <QStringList>

class WindowPort;

// A probe finds the instrument's row in the known-device table. An instrument that answers
// with a serial number no row lists leaves the record alone and describes itself in
// `unlisted`: what it is, its serial number, its full scale, and the entry to add.
bool ProbeMFC(const QString& port, QString& details, TDeviceInfo& device, QString& unlisted);
bool ProbePump(const QString& port, QString& details, TDeviceInfo& device, QString& unlisted);

// What the search learnt about one port.
struct PortProbe {
    QStringList Lines; // the port's message-log lines, in order
    bool Found = false;
    TDeviceInfo Device; // the instrument's row when found
};

// Both probes of one port, as one thread of the search runs them.
PortProbe ProbePort(const QString& port);

// The "Search Devices" command. A search after the first one stops every running worker as
// Reset Devices does and saves the flow log before it searches again.
void Searchdevices1Click(WindowPort& window);
