#include "ui/pages/DesignerHumidity.h"

#include "core/NumberText.h"
#include "ui/pages/DeliveredFlow.h"

#include <algorithm>

namespace {

TDesignerHumidity Refused(const QString& line)
{
    TDesignerHumidity result;
    result.Lines << line;
    return result;
}

void AddToStream(const TGasItem& gas, THumidifiedStream& stream)
{
    if (!gas.Components.empty()) {
        for (const TGasItem& component : gas.Components)
            AddToStream(component, stream);
        return;
    }
    const double molarMass = gas.GetMolarMass();
    if (!(molarMass > 0) || !(gas.MassFlow_gmin > 0))
        return;
    (IsFluidGasNumber(gas.AlicatID) ? stream.Water_molmin : stream.DryGas_molmin) += gas.MassFlow_gmin / molarMass;
}

QString Grams(double grams) { return FormatFloat(QStringLiteral("0.000 000"), grams) + QStringLiteral(" g/min"); }

} // namespace

QStringList DesignerPumpPorts(const std::vector<TDesignerRow>& Rows)
{
    QStringList ports;
    for (const TDesignerRow& row : Rows) {
        TDeviceInfo device;
        if (GetDeviceByPort(row.Port, device) && device.DevType == dtPump)
            ports << row.Port;
    }
    return ports;
}

TDesignerHumidity DesignerHumidityTarget(const std::vector<TDesignerRow>& Rows, const QString& PumpPort,
                                         const THumidityTarget& Target)
{
    TDeviceInfo pump;
    const bool pumpHasRow =
        std::any_of(Rows.begin(), Rows.end(), [&](const TDesignerRow& row) { return row.Port == PumpPort; });
    if (PumpPort.isEmpty() || !pumpHasRow || !GetDeviceByPort(PumpPort, pump) || pump.DevType != dtPump)
        return Refused(QStringLiteral("No pump is selected: select a pump dosing water together with the gas devices."));
    if (pump.FluidID != WaterGasNumber)
        return Refused(QStringLiteral("Pump ") + PumpPort
                       + QStringLiteral(" does not dose water: configure H2O as its fluid first."));

    THumidifiedStream stream;
    for (const TDesignerRow& row : Rows) {
        if (row.Port == PumpPort)
            continue;
        const std::optional<TDesignerRowGas> gas = DesignerRowGas(row);
        if (gas && gas->HasGas && gas->Distributed)
            AddToStream(gas->Gas, stream);
    }
    const TPumpDosing dosing{PumpMaxDose_gmin(pump),
                             [&pump](double setpoint) { return PumpMassFlow_gmin(pump, setpoint); }};

    TDesignerHumidity result;
    result.Solution = SolveHumidityTarget(stream, Target, dosing);
    const THumiditySolution& s = result.Solution;
    if (!s.Valid)
        return Refused(s.Status);
    result.Valid = true;
    result.PumpRowFlow = s.Setpoint_pct / 100 * FullScaleInUserUnit(pump);
    result.Lines << QStringLiteral("Water for the target: ") + Grams(s.Water_gmin)
                 << QStringLiteral("Pump ") + PumpPort + QStringLiteral(" setpoint: ")
                        + FormatFloat(QStringLiteral("0.000"), s.Setpoint_pct) + QStringLiteral(" % = ")
                        + FormatFloat(QStringLiteral("0.000"), result.PumpRowFlow) + u' ' + pump.FlowUnitUser.Name
                 << QStringLiteral("Dose of its dosing plan: ") + Grams(s.AchievedDose_gmin)
                 << QStringLiteral("Achieved: ") + HumidityValueText(Target.Kind, s.Achieved)
                        + QStringLiteral("   target: ") + HumidityTargetText(Target);
    if (const QString note = PumpReachNote(pump, s.Setpoint_pct, PumpPlan(pump, s.Setpoint_pct)); !note.isEmpty())
        result.Lines << note;
    return result;
}
