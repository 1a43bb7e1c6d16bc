#pragma once
// What a device delivers at a setpoint given in percent of its full scale: the pages that
// turn setpoints into mixtures share these, so a controller and a pump are counted alike.
#include "devices/DeviceInfo.h"
#include "instruments/PumpDispense.h"

// The full scale in the operator's unit: a controller's in its user unit, a pump's maximum
// dose rate in µl/min.
double FullScaleInUserUnit(const TDeviceInfo& Device);

// The dosing program a pump is given for Setpoint_pct percent of its maximum dose rate.
TPumpSpeedDetails PumpPlan(const TDeviceInfo& Pump, double Setpoint_pct);

// The mass of fluid a pump doses at Setpoint_pct percent of its maximum dose rate, as the
// dosing program planned for that rate achieves it.
double PumpMassFlow_gmin(const TDeviceInfo& Pump, double Setpoint_pct);

// The message-log line that tells the operator that Plan, made for Setpoint_pct, cannot dose
// what was asked and what it doses instead; empty when the plan is within reach.
QString PumpReachNote(const TDeviceInfo& Pump, double Setpoint_pct, const TPumpSpeedDetails& Plan);

// The mass of fluid asked of a pump at 100 % of its maximum dose rate. The plan makes that
// much only within its reach: the fastest speed code doses about 31 % of it.
double PumpMaxDose_gmin(const TDeviceInfo& Pump);
