#pragma once
// UpdateGasFlowUnits: what the Design segments and Direct control pages show of the focused
// device's flows in the operator's unit: the full scale, and the flow that each page's
// percentage gives. For a pump the resulting flows are those the dosing plan achieves.
#include "devices/DeviceInfo.h"

#include <QString>
#include <QStringList>
#include <optional>

struct TFlowDisplays {
    bool Shown = false;  // false: every display keeps its contents
    double MaxFlow = 0;  // both maximum-flow boxes
    QString UnitName;    // both flow-unit labels
    // LabelResultingFlowinSpecifiedUnit and LabelDirectControlResultingFlow; none: keep.
    std::optional<QString> SegmentResultingFlow;
    std::optional<QString> DirectResultingFlow;
    QStringList LogLines; // for the message log, in order
};

// SegmentFlow_pct is the segment flow box, DirectSetpoint_pct the direct setpoint box.
// Without a focused device nothing is shown.
TFlowDisplays FlowDisplaysFor(const std::optional<TDeviceInfo>& Focused, double SegmentFlow_pct,
                              double DirectSetpoint_pct);
