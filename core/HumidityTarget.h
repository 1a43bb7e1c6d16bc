#pragma once
// The inverse of the humidity report: how much water a pump must add to a gas stream for a
// wanted humidity, and what humidity the dose its dosing plan really makes gives. Pure
// computation; the pump's dosing plan is handed in.
#include <QString>
#include <functional>

// The fluid number of water.
inline constexpr int WaterGasNumber = 1001;

enum class THumidityTargetKind {
    RelativeHumidity, // % at TemperatureC and Pressure_BarA
    DewPoint,         // °C at Pressure_BarA
    WaterPpm,         // water mole fraction in parts per million
};

struct THumidityTarget {
    THumidityTargetKind Kind = THumidityTargetKind::RelativeHumidity;
    double Value = 0;
    double TemperatureC = 25;
    double Pressure_BarA = 1.01325;
};

// The stream the pump waters, in mol/min: the dry gas, and water that other pumps already add.
struct THumidifiedStream {
    double DryGas_molmin = 0;
    double Water_molmin = 0;
};

// The pump: the dose at 100 % of its maximum dose rate as asked of it, and the dose its
// dosing plan makes at a setpoint (a plan makes only certain doses; nearby setpoints share one).
struct TPumpDosing {
    double MaxDose_gmin = 0;
    std::function<double(double Setpoint_pct)> PlannedDose_gmin;
};

struct THumiditySolution {
    bool Valid = false;
    QString Status;             // the refusal; empty when Valid
    double Water_gmin = 0;      // the dose that gives the target exactly
    double Setpoint_pct = 0;    // that dose in percent of the pump's maximum dose rate
    double AchievedDose_gmin = 0; // what the dosing plan makes at that setpoint
    double AchievedFraction = 0;  // the water mole fraction with that dose
    double Achieved = 0;        // that humidity in the target's terms (NaN: no dew point)
};

// "80 % RH at 80 °C and 1.5 bar", "dew point 20 °C at 1.01325 bar", "5000 ppm water".
QString HumidityTargetText(const THumidityTarget& Target);
// A humidity in the target's terms: "79.98 % RH", "19.99 °C dew point", "5000.3 ppm".
QString HumidityValueText(THumidityTargetKind Kind, double Value);

// The water mole fraction of a humidity in the target's terms, and back. The fraction of an
// unreachable dew point is NaN; so is the dew point of a fraction without one.
double TargetWaterFraction(const THumidityTarget& Target);
double HumidityInTargetTerms(const THumidityTarget& Target, double WaterFraction);

// The setpoint for Target. Refused, with the reason in Status: no dry gas; a target that is
// no humidity (negative, no pressure, outside the vapour-pressure formula's temperatures); a
// target at or above saturation (its dew point named); more than 100 % of the pump's
// maximum dose rate (the largest reachable target named); a dose below the smallest the
// dosing plan makes (the smallest reachable target named).
THumiditySolution SolveHumidityTarget(const THumidifiedStream& Stream, const THumidityTarget& Target,
                                      const TPumpDosing& Pump);
