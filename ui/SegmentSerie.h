#pragma once
// The requested-flow series of a device: the line the chart draws for its segment program.
// A step holds the previous setpoint up to its time and jumps there; a ramp runs straight
// from the previous point; a program kept at its last flow runs on a little past its end.
#include "devices/DeviceInfo.h"
#include "ui/FlowChart.h"

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

// The points (minutes, percent) of the line, in drawing order. Lines that cannot be read are
// left out (the operator is shown why).
std::vector<QPointF> SegmentSeriePoints(const QString& Program, TSegProgTermination Termination);

// The point symbol of the device type's series; none for the simulated controller, whose
// series keeps the chart's default.
std::optional<TPointSymbol> SegmentSerieSymbol(tDeviceType Type);
