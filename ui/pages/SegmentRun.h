#pragma once
// Starting and stopping the selected devices: "Start segment program(s)" puts every selected,
// configured device under its segment program from now on; "Stop segment program(s)" (also
// the direct control page's "Stop") sets them idle at zero and tells their workers at once.
// Devices without a worker are passed over in silence.
#include "ui/pages/DevicePagesWindow.h"

#include <QStringList>

// ButtonSegmentProgramStartClick. SelectedPorts are the selected rows of the device list in
// list order. TimeOrigin (days) is set to now when it is still zero.
void StartSegmentPrograms(const QStringList& SelectedPorts, double& TimeOrigin, TDevicePagesWindow& Window);

// ButtonSegmentProgramStopClick.
void StopDevices(const QStringList& SelectedPorts, TDevicePagesWindow& Window);
