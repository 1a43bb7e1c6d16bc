#include "ui/pages/DeliveredFlow.h"

double FullScaleInUserUnit(const TDeviceInfo& Device)
{
    return Device.DevType == dtPump ? Device.MaxFlow_ulpm : Device.FlowUnitUser.GasFlowMax();
}

namespace {

double DesiredDispense_ugpm(const TDeviceInfo& Pump, double Setpoint_pct)
{
    return Setpoint_pct / 100 * Pump.MaxFlow_ulpm * 1000;
}

} // namespace

TPumpSpeedDetails PumpPlan(const TDeviceInfo& Pump, double Setpoint_pct)
{
    TPumpSpeedDetails plan;
    plan.SyringeVolume_ul = Pump.SyringeSizeuL;
    plan.DesiredDispense_ugpm = DesiredDispense_ugpm(Pump, Setpoint_pct);
    PumpCommandForDispense(plan);
    return plan;
}

double PumpMaxDose_gmin(const TDeviceInfo& Pump)
{
    return DesiredDispense_ugpm(Pump, 100) / 1000 / 1000;
}

double PumpMassFlow_gmin(const TDeviceInfo& Pump, double Setpoint_pct)
{
    return PumpPlan(Pump, Setpoint_pct).AchievedDispense_ugpm / 1000 / 1000;
}
