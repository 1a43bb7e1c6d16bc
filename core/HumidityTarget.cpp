#include "core/HumidityTarget.h"

#include "core/DewPoint.h"
#include "core/GasMixtures.h"
#include "core/GasTable.h"
#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// A setpoint above 0 as small as any: the plan for it is the slowest the pump makes.
constexpr double LeastSetpoint_pct = 1e-9;

double WaterMolarMass()
{
    static const double molarMass = [] {
        TGasItem water;
        GetGas_ID(WaterGasNumber, water);
        return water.GetMolarMass();
    }();
    return molarMass;
}

// Saturation mole fraction of water at a temperature and total pressure.
double SaturationFraction(double TemperatureC, double Pressure_BarA)
{
    return WaterVapourPressure(TemperatureC) / 1000 / Pressure_BarA;
}

bool InFormulaRange(double TemperatureC) { return TemperatureC >= DewPointLowestC && TemperatureC <= DewPointHighestC; }

THumiditySolution Refused(const QString& status)
{
    THumiditySolution solution;
    solution.Status = status;
    return solution;
}

// Why a target is no humidity, or empty.
QString TargetProblem(const THumidityTarget& target)
{
    const QString range = QStringLiteral(" must lie within -100 … 100 °C, the range of the vapour-pressure formula.");
    if (!std::isfinite(target.Value))
        return QStringLiteral("The target needs a value.");
    if (!(target.Pressure_BarA > 0) && target.Kind != THumidityTargetKind::WaterPpm)
        return QStringLiteral("The target's pressure must be above 0 bar.");
    switch (target.Kind) {
    case THumidityTargetKind::RelativeHumidity:
        if (target.Value < 0)
            return QStringLiteral("A relative humidity cannot be negative.");
        if (!InFormulaRange(target.TemperatureC))
            return QStringLiteral("The target's temperature") + range;
        break;
    case THumidityTargetKind::DewPoint:
        if (!InFormulaRange(target.Value))
            return QStringLiteral("A dew point") + range;
        break;
    case THumidityTargetKind::WaterPpm:
        if (target.Value < 0)
            return QStringLiteral("A water content cannot be negative.");
        break;
    }
    return QString();
}

// A target that would hold more water than its condition can: beyond 100 % RH at its own
// temperature, or water making up the whole gas.
bool AtOrAboveSaturation(const THumidityTarget& target, double fraction)
{
    if (target.Kind == THumidityTargetKind::RelativeHumidity && target.Value >= 100)
        return true;
    return !(fraction < 1);
}

QString SaturationRefusal(const THumidityTarget& target, double fraction)
{
    // A water content alone has no pressure of its own: its dew point is told at normal
    // pressure unless the target names one.
    const double pressure_BarA = target.Pressure_BarA > 0 ? target.Pressure_BarA : NormalPressure_BarA;
    const TDewPoint dew = DewPoint(std::min(fraction, 1.0), pressure_BarA);
    const QString dewText = QStringLiteral("its dew point at ") + FloatToStr(pressure_BarA) + QStringLiteral(" bar is ")
                            + (dew.Valid ? FormatFloat(QStringLiteral("0.00"), dew.TemperatureC) + QStringLiteral(" °C")
                                         : QStringLiteral("above 100 °C"));
    QString text = QStringLiteral("Target ") + HumidityTargetText(target);
    if (!(fraction < 1))
        text += QStringLiteral(" asks for water making up all of the gas: ") + dewText;
    else
        text += QStringLiteral(" is at or above saturation: ") + dewText + QStringLiteral(", not below its temperature of ")
                + FloatToStr(target.TemperatureC) + QStringLiteral(" °C");
    return text + QStringLiteral(", and water would condense.");
}

double FractionWithDose(const THumidifiedStream& stream, double dose_gmin)
{
    const double water = stream.Water_molmin + dose_gmin / WaterMolarMass();
    return water / (water + stream.DryGas_molmin);
}

QString ReachableText(const THumidifiedStream& stream, const THumidityTarget& target, double dose_gmin)
{
    return HumidityValueText(target.Kind, HumidityInTargetTerms(target, FractionWithDose(stream, dose_gmin)));
}

QString GramsText(double grams) { return FormatFloat(QStringLiteral("0.000 000"), grams) + QStringLiteral(" g/min"); }

} // namespace

QString HumidityTargetText(const THumidityTarget& Target)
{
    const QString value = FloatToStr(Target.Value);
    switch (Target.Kind) {
    case THumidityTargetKind::RelativeHumidity:
        return value + QStringLiteral(" % RH at ") + FloatToStr(Target.TemperatureC) + QStringLiteral(" °C and ")
               + FloatToStr(Target.Pressure_BarA) + QStringLiteral(" bar");
    case THumidityTargetKind::DewPoint:
        return QStringLiteral("dew point ") + value + QStringLiteral(" °C at ") + FloatToStr(Target.Pressure_BarA)
               + QStringLiteral(" bar");
    case THumidityTargetKind::WaterPpm:
        return value + QStringLiteral(" ppm water");
    }
    return value;
}

QString HumidityValueText(THumidityTargetKind Kind, double Value)
{
    if (std::isnan(Value))
        return Kind == THumidityTargetKind::DewPoint ? QStringLiteral("no dew point") : QStringLiteral("none");
    switch (Kind) {
    case THumidityTargetKind::RelativeHumidity:
        return FormatFloat(QStringLiteral("0.00"), Value) + QStringLiteral(" % RH");
    case THumidityTargetKind::DewPoint:
        return FormatFloat(QStringLiteral("0.00"), Value) + QStringLiteral(" °C dew point");
    case THumidityTargetKind::WaterPpm:
        return FormatFloat(QStringLiteral("0.0"), Value) + QStringLiteral(" ppm");
    }
    return FloatToStr(Value);
}

double TargetWaterFraction(const THumidityTarget& Target)
{
    switch (Target.Kind) {
    case THumidityTargetKind::RelativeHumidity:
        return Target.Value / 100 * SaturationFraction(Target.TemperatureC, Target.Pressure_BarA);
    case THumidityTargetKind::DewPoint:
        return InFormulaRange(Target.Value) ? SaturationFraction(Target.Value, Target.Pressure_BarA) : NaN;
    case THumidityTargetKind::WaterPpm:
        return Target.Value / 1e6;
    }
    return NaN;
}

double HumidityInTargetTerms(const THumidityTarget& Target, double WaterFraction)
{
    switch (Target.Kind) {
    case THumidityTargetKind::RelativeHumidity:
        return WaterFraction / SaturationFraction(Target.TemperatureC, Target.Pressure_BarA) * 100;
    case THumidityTargetKind::DewPoint: {
        const TDewPoint dew = DewPoint(WaterFraction, Target.Pressure_BarA);
        return dew.Valid ? dew.TemperatureC : NaN;
    }
    case THumidityTargetKind::WaterPpm:
        return WaterFraction * 1e6;
    }
    return NaN;
}

THumiditySolution SolveHumidityTarget(const THumidifiedStream& Stream, const THumidityTarget& Target,
                                      const TPumpDosing& Pump)
{
    if (!(Stream.DryGas_molmin > 0))
        return Refused(QStringLiteral("No dry gas is flowing in the designer rows: there is nothing to humidify."));
    if (const QString problem = TargetProblem(Target); !problem.isEmpty())
        return Refused(problem);
    const double fraction = TargetWaterFraction(Target);
    if (AtOrAboveSaturation(Target, fraction))
        return Refused(SaturationRefusal(Target, fraction));
    if (!(Pump.MaxDose_gmin > 0) || !Pump.PlannedDose_gmin)
        return Refused(QStringLiteral("The pump has no maximum dose rate: configure its syringe and rate first."));

    THumiditySolution solution;
    const double water_molmin = fraction / (1 - fraction) * Stream.DryGas_molmin;
    solution.Water_gmin = (water_molmin - Stream.Water_molmin) * WaterMolarMass();
    solution.Setpoint_pct = solution.Water_gmin / Pump.MaxDose_gmin * 100;
    const QString target = QStringLiteral("Target ") + HumidityTargetText(Target);
    if (solution.Setpoint_pct > 100)
        return Refused(target + QStringLiteral(" needs ") + FormatFloat(QStringLiteral("0.0"), solution.Setpoint_pct)
                       + QStringLiteral(" % of the pump's maximum dose rate; the largest reachable with these gas "
                                        "flows is ")
                       + ReachableText(Stream, Target, Pump.PlannedDose_gmin(100)) + u'.');
    // A target of no water at all is met by the pump standing still.
    const bool stopped = solution.Water_gmin == 0 && Stream.Water_molmin == 0;
    if (!stopped) {
        // The smallest dose the plan makes: what it plans for the least setpoint above 0.
        const double smallest_gmin = Pump.PlannedDose_gmin(LeastSetpoint_pct);
        if (solution.Water_gmin < smallest_gmin)
            return Refused(target + QStringLiteral(" needs ") + GramsText(std::max(solution.Water_gmin, 0.0))
                           + QStringLiteral(" of water, less than the smallest dose of the pump's dosing plan, ")
                           + GramsText(smallest_gmin) + QStringLiteral("; the smallest reachable with these gas flows is ")
                           + ReachableText(Stream, Target, smallest_gmin) + u'.');
        solution.AchievedDose_gmin = Pump.PlannedDose_gmin(solution.Setpoint_pct);
    }
    solution.AchievedFraction = FractionWithDose(Stream, solution.AchievedDose_gmin);
    solution.Achieved = HumidityInTargetTerms(Target, solution.AchievedFraction);
    solution.Valid = true;
    return solution;
}
