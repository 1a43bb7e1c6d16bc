#include "ui/pages/DeliveredFlow.h"

#include "core/NumberText.h"

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

QString PumpReachNote(const TDeviceInfo& Pump, double Setpoint_pct, const TPumpSpeedDetails& Plan)
{
    if (!Plan.OutOfReach)
        return {};
    const bool tooFast = Plan.AchievedDispense_ugpm < Plan.DesiredDispense_ugpm;
    const QString flow = QStringLiteral("0.###");
    const double achieved_ulpm = Plan.AchievedDispense_ugpm / 1000 / Plan.FluidDensity;
    return QStringLiteral("Pump ") + Pump.COMPort + QStringLiteral(": ") + FormatFloat(flow, Setpoint_pct)
        + QStringLiteral(" % asks ") + FormatFloat(flow, Plan.DesiredDispense_ugpm / 1000)
        + (tooFast ? QStringLiteral(" µl/min, more than its ") : QStringLiteral(" µl/min, less than its "))
        + FloatToStr(Pump.SyringeSizeuL) + QStringLiteral(" µL syringe can dose; it doses ")
        + FormatFloat(flow, achieved_ulpm) + QStringLiteral(" µl/min (")
        + FormatFloat(QStringLiteral("0.##"), achieved_ulpm / Pump.MaxFlow_ulpm * 100)
        + (tooFast ? QStringLiteral(" %), its fastest.") : QStringLiteral(" %), its slowest."));
}

double PumpMaxDose_gmin(const TDeviceInfo& Pump)
{
    return DesiredDispense_ugpm(Pump, 100) / 1000 / 1000;
}

double PumpMassFlow_gmin(const TDeviceInfo& Pump, double Setpoint_pct)
{
    return PumpPlan(Pump, Setpoint_pct).AchievedDispense_ugpm / 1000 / 1000;
}
