#pragma once
// "Apply to device(s)" of the designer: the rows' flows become the devices' direct setpoints,
// applied exactly as the direct control page applies them.
#include "ui/pages/DevicePagesWindow.h"
#include "ui/pages/MixDesign.h"

#include <QStringList>
#include <vector>

// What the operator is asked before the flows are sent: each device with its setpoint in
// percent and in the operator's unit; a device direct control cannot reach is named so.
QString DesignerApplyQuestion(const std::vector<TDesignerRow>& Rows);

// Stores each reachable device's row setpoint as its direct setpoint (Setpoint_gui), then
// runs the direct control page's Apply for the rows' devices in row order: the same checks,
// messages, log lines and control mode. TimeOrigin as there.
void ApplyDesignerFlows(const std::vector<TDesignerRow>& Rows, double& TimeOrigin, TDevicePagesWindow& Window);
