#include "ui/pages/DeliveredFlow.h"

double FullScaleInUserUnit(const TDeviceInfo& Device)
{
    return Device.DevType == dtPump ? Device.MaxFlow_ulpm : Device.FlowUnitUser.GasFlowMax();
}

TPumpSpeedDetails PumpPlan(const TDeviceInfo& Pump, double Setpoint_pct)
{
    TPumpSpeedDetails plan;
    plan.SyringeVolume_ul = Pump.SyringeSizeuL;
    plan.DesiredDispense_ugpm = Setpoint_pct / 100 * Pump.MaxFlow_ulpm * 1000;
    PumpCommandForDispense(plan);
    return plan;
}

double PumpMassFlow_gmin(const TDeviceInfo& Pump, double Setpoint_pct)
{
    return PumpPlan(Pump, Setpoint_pct).AchievedDispense_ugpm / 1000 / 1000;
}
