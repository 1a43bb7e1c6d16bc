#pragma once
// The device search: every serial port is asked first for a mass flow controller and then
// for a syringe pump; instruments listed in the known-device table replace the device list.
#include <QString>

struct TDeviceInfo;
class WindowPort;

bool ProbeMFC(const QString& port, QString& details, TDeviceInfo& device);
bool ProbePump(const QString& port, QString& details, TDeviceInfo& device);

// The "Search Devices" command. Runs once per program run: searchDone is set at the end and
// a second call only tells the operator so.
void Searchdevices1Click(WindowPort& window, bool& searchDone);
