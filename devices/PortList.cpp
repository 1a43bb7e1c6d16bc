#include "devices/PortList.h"

#include "instruments/SerialPort.h"

namespace {
QStringList gAdded;
bool gSystemPorts = true;
}

QStringList SearchPorts()
{
    QStringList ports = gSystemPorts ? ListComPorts() : QStringList();
    for (const QString& port : gAdded)
        if (!ports.contains(port))
            ports << port;
    return ports;
}

void AddSearchPort(const QString& port) { gAdded << port; }
void ClearAddedSearchPorts() { gAdded.clear(); }
void SetSystemPortsIncluded(bool included) { gSystemPorts = included; }
