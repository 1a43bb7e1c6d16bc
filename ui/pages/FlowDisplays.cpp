#include "ui/pages/FlowDisplays.h"

#include "core/NumberText.h"
#include "ui/pages/DeliveredFlow.h"

namespace {

// The pump's resulting flow text and the planned program.
struct TPumpFlowText {
    QString Text;
    QString Command;
    QString ReachNote; // empty when the plan doses what was asked
};

TPumpFlowText PumpFlowText(const TDeviceInfo& pump, double percent)
{
    const TPumpSpeedDetails plan = PumpPlan(pump, percent);
    const QString flowPattern = QStringLiteral("####0.### ###");
    QString text = QStringLiteral("Desired/Achievable || ") + FormatFloat(flowPattern, plan.DesiredDispense_ugpm / 1000)
                   + QStringLiteral(" / ")
                   + FormatFloat(flowPattern, plan.AchievedDispense_ugpm / 1000 / plan.FluidDensity)
                   + QStringLiteral(" || ") + pump.FlowUnitUser.Name + QStringLiteral(" || Relative error:")
                   + FormatFloat(QStringLiteral("###0.###"), plan.Error_pct) + QStringLiteral(" %");
    // One pass, left to right: a run of three blanks keeps two.
    text.replace(QStringLiteral("  "), QStringLiteral(" "));
    return {text, plan.Command, PumpReachNote(pump, percent, plan)};
}

TFlowDisplays PumpDisplays(const TDeviceInfo& pump, double segmentPercent, double directPercent)
{
    TFlowDisplays displays;
    displays.Shown = true;
    displays.MaxFlow = pump.MaxFlow_ulpm;
    displays.UnitName = pump.FlowUnitUser.Name;
    const TPumpFlowText segment = PumpFlowText(pump, segmentPercent);
    displays.SegmentResultingFlow = segment.Text;
    displays.LogLines << segment.Command;
    if (!segment.ReachNote.isEmpty())
        displays.LogLines << segment.ReachNote;
    const TPumpFlowText direct = PumpFlowText(pump, directPercent);
    displays.DirectResultingFlow = direct.Text;
    displays.LogLines << direct.Command;
    if (!direct.ReachNote.isEmpty())
        displays.LogLines << direct.ReachNote;
    return displays;
}

TFlowDisplays ControllerDisplays(const TDeviceInfo& controller, double segmentPercent, double directPercent)
{
    TFlowDisplays displays;
    // The full scale as the instrument states it, in SCCM, carrying the gas of the user unit.
    TGasFlowDetails flow = DefaultUnitMlmin;
    flow.GasFlowValue = controller.FlowUnitDevice.GasFlowMax();
    flow.GasMolarMass = controller.FlowUnitUser.GasMolarMass;
    const double fullScale = flow.GasFlowValue;
    TGasFlowDetails user = controller.FlowUnitUser;
    QString feedback;
    QString report;
    if (!ConvertGasFlow(flow, user, feedback, report))
        return displays;
    displays.Shown = true;
    displays.MaxFlow = user.GasFlowValue;
    displays.UnitName = controller.FlowUnitUser.Name;
    const auto resultingFlow = [&](double percent) -> std::optional<QString> {
        flow.GasFlowValue = fullScale * percent / 100;
        if (!ConvertGasFlow(flow, user, feedback, report))
            return std::nullopt;
        return FormatFloat(QStringLiteral("### ##0.### ### ###"), user.GasFlowValue) + u' '
               + controller.FlowUnitUser.Name;
    };
    displays.SegmentResultingFlow = resultingFlow(segmentPercent);
    displays.DirectResultingFlow = resultingFlow(directPercent);
    return displays;
}

} // namespace

TFlowDisplays FlowDisplaysFor(const std::optional<TDeviceInfo>& Focused, double SegmentFlow_pct,
                              double DirectSetpoint_pct)
{
    if (!Focused)
        return {};
    if (Focused->DevType == dtPump)
        return PumpDisplays(*Focused, SegmentFlow_pct, DirectSetpoint_pct);
    return ControllerDisplays(*Focused, SegmentFlow_pct, DirectSetpoint_pct);
}
