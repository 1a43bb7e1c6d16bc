#include "core/MixtureReports.h"

#include "core/DewPoint.h"
#include "core/DiagnosticLog.h"
#include "core/GasMixtures.h"
#include "core/NumberText.h"
#include "core/TextTables.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Err = QStringLiteral("Err");

QString Fixed(const char* pattern, double value) { return FormatFloat(QLatin1String(pattern), value); }

QString MassFlowLine(const TGasItem& gas)
{
    return QStringLiteral("    ") + PadRight(gas.NameShort, 10) + QStringLiteral("    ")
           + Fixed("##0.000 000", gas.MassFlow_gmin) + QStringLiteral(" g/min") + CRLF;
}

// A mixture without water has no dew point; one beyond the vapour-pressure formula's range
// gets none either rather than an extrapolated figure.
QString DewPointCell(double waterFraction, double pressure_BarA)
{
    if (!(waterFraction > 0))
        return QStringLiteral("none");
    const TDewPoint dewPoint = DewPoint(waterFraction, pressure_BarA);
    return dewPoint.Valid ? Fixed("0.00", dewPoint.TemperatureC) : Err;
}

void AddLeafMassFlows(const TGasItem& gas, QString& report)
{
    if (gas.Components.empty()) {
        report += MassFlowLine(gas);
        return;
    }
    for (const TGasItem& component : gas.Components)
        AddLeafMassFlows(component, report);
}

} // namespace

QString MixtureDetails(const TGasItem& Mixture)
{
    if (!Mixture.ComponentsNormalized) {
        UnitGasLog().Send(QStringLiteral("MixtureDetails function cannot be called with design-time mixture."));
        return QString();
    }
    QString report;
    report += QStringLiteral("             Molar mass        Mass     Partial") + CRLF;
    report += QStringLiteral("Components   g/mol         fraction    pressure") + CRLF;
    for (const TGasItem& gas : Mixture.Components)
        report += PadLeft(gas.NameShort, 10) + QStringLiteral("   ")
                  + PadLeftNumber(Fixed("0.000 000", gas.GetMolarMass()), 10) + QStringLiteral("  ")
                  + PadLeftNumber(Fixed("0.000 000", gas.MassFraction), 10) + QStringLiteral("  ")
                  + PadLeftNumber(Fixed("0.000 000", gas.PartialPressure), 10) + QStringLiteral("  ") + CRLF;
    report += CRLF;
    report += QStringLiteral("      Flow   Unit      Temperature     Pressure") + CRLF;

    // Without a positive molar mass there is no amount of substance: the mole-based rows say so.
    const double molarMass = Mixture.GetMolarMass();
    const bool hasMoles = molarMass > 0;
    const double moles = hasMoles ? Mixture.MassFlow_gmin / molarMass : 0;
    const auto flowCell = [&](double temperatureC) {
        return PadLeftNumber(hasMoles ? Fixed("0.0", MillilitresFromMoles(moles, temperatureC, 1.013)) : Err, 10);
    };
    report += flowCell(0) + QStringLiteral("   mln/min           0ºC    1.013 bar") + CRLF;
    report += flowCell(25) + QStringLiteral("   ml/min           25ºC    1.013 bar") + CRLF;
    report += flowCell(150) + QStringLiteral("   ml/min          150ºC    1.013 bar") + CRLF;
    report += PadLeftNumber(Fixed("0.000 000", Mixture.MassFlow_gmin), 10) + QStringLiteral("   g/min") + CRLF;
    report += PadLeftNumber(hasMoles ? Fixed("0.000 000", moles) : Err, 10) + QStringLiteral("   mol/min") + CRLF;
    return report;
}

QString InputsReport(const TGasItem& Mixture)
{
    QString report = QStringLiteral("  Inputs:") + CRLF;
    for (const TGasItem& gas : Mixture.Components)
        report += MassFlowLine(gas);
    return report;
}

QString LeafMassFlowsReport(const TGasItem& Gas)
{
    QString report;
    AddLeafMassFlows(Gas, report);
    return report;
}

QString PartialPressuresReport(const TGasItem& Mixture)
{
    QString report;
    for (const TGasItem& gas : Mixture.Components) {
        const double ppm = gas.PartialPressure * 1000000;
        report += QStringLiteral("    ") + PadRight(gas.NameShort, 12);
        if (ppm > 1)
            report += QStringLiteral("    ") + PadLeftNumber(Fixed("# ### ###", ppm) + QStringLiteral(" ppm"), 13);
        else
            report += QStringLiteral("     ") + PadLeftNumber(Fixed("0.0## ###", ppm) + QStringLiteral(" ppm"), 12);
        report += CRLF;
    }
    return report;
}

QString VolumetricFlowsReport(const TGasItem& Mixture, const TReportConditions& Conditions)
{
    QString report = QStringLiteral("   ºC     BarA  ");
    for (const TGasItem& gas : Mixture.Components)
        report += PadLeft(gas.NameShort, 9) + QStringLiteral(" ");
    report += QStringLiteral("      Tot") + CRLF;

    for (const TReportCondition& condition : Conditions) {
        report += PadLeftNumber(FloatToStr(condition.TemperatureC), 5) + QStringLiteral("  ")
                  + PadLeftNumber(FloatToStr(condition.Pressure_BarA), 7) + QStringLiteral("  ");
        // No volume exists at zero pressure; "Err" rather than a made-up flow.
        const bool hasPressure = condition.Pressure_BarA > 0;
        bool totalValid = hasPressure;
        double total = 0;
        for (const TGasItem& gas : Mixture.Components) {
            const double molarMass = gas.GetMolarMass();
            if (!hasPressure || !(molarMass > 0)) {
                totalValid = false;
                report += PadLeft(Err, 9) + QStringLiteral(" ");
                continue;
            }
            const double flow = MillilitresFromMoles(gas.MassFlow_gmin / molarMass, condition.TemperatureC,
                                                     condition.Pressure_BarA);
            total += flow;
            report += PadLeftNumber(Fixed("0.0", flow), 9) + QStringLiteral(" ");
        }
        report += PadLeftNumber(totalValid ? Fixed("0.0", total) : Err, 9) + CRLF;
    }
    return report;
}

QString HumidityReport(const TGasItem& Mixture, const TReportConditions& Conditions)
{
    QString report = QStringLiteral("    ºC      BarA  Max ppm/100%RH  Current ppm     RH %  Dew point ºC") + CRLF;
    for (const TReportCondition& condition : Conditions) {
        if (!(condition.Pressure_BarA > 0)) // no saturation figure without a pressure
            continue;
        const double saturated = WaterVapourPressure(condition.TemperatureC) / 1000 / condition.Pressure_BarA;
        const double current = Mixture.FluidPartialPressure;
        report += QStringLiteral("  ") + PadLeftNumber(FloatToStr(condition.TemperatureC), 4) + QStringLiteral("  ")
                  + PadLeftNumber(FloatToStr(condition.Pressure_BarA), 8) + QStringLiteral("  ")
                  + PadLeftNumber(Fixed("# ### ###", saturated * 1000000), 14) + QStringLiteral("  ")
                  + PadLeftNumber(Fixed("# ### ###", current * 1000000), 11) + QStringLiteral("  ")
                  + PadLeftNumber(Fixed("0.000", current / saturated * 100), 7) + QStringLiteral("  ")
                  + PadLeftNumber(DewPointCell(current, condition.Pressure_BarA), 12) + CRLF;
    }
    return report;
}
