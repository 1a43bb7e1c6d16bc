#pragma once
// The workings of the direct control page: the setpoint typed for the focused device is kept
// with that device, and "Apply" holds every selected, configured device at its own kept
// setpoint. The page's "Stop" is StopDevices (SegmentRun.h).
#include "ui/pages/DevicePagesWindow.h"

#include <QStringList>
#include <optional>

// RtDoubleEditDirectControlDesiredFlowValueChanged after the flow displays are refreshed:
// keeps Setpoint_pct as the focused device's typed setpoint ("Saving device configuration
// failed" logged when it cannot be stored). Nothing reaches the device.
void StoreDirectSetpoint(const std::optional<TDeviceInfo>& Focused, double Setpoint_pct, TDevicePagesWindow& Window);

// Direct control reaches only a device whose worker thread runs (a configured one).
bool CanApplyDirectFlow(const TDeviceInfo& Device);

// ButtonApplyFlowClick. SelectedPorts are the selected rows of the device list in list order;
// an unconfigured one is named to the operator and the others are still applied. TimeOrigin
// (days) is set to now when it is still zero.
void ApplyDirectFlow(const QStringList& SelectedPorts, double& TimeOrigin, TDevicePagesWindow& Window);
