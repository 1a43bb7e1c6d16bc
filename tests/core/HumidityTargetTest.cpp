#include "core/HumidityTarget.h"

#include "core/DewPoint.h"
#include "core/GasMixtures.h"
#include "core/NumberText.h"

#include "QStringPrinter.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using Kind = THumidityTargetKind;

constexpr double WaterMolarMass = 18.01488;
// About 500 mln/min of nitrogen.
constexpr double DryGas_molmin = 0.0223;
constexpr double MaxDose_gmin = 0.25;
// A coarse stand-in for a dosing plan: it makes whole multiples of Quantum_gmin, at least one.
constexpr double Quantum_gmin = 0.0005;

TPumpDosing CoarsePump(double maxDose_gmin = MaxDose_gmin)
{
    return {maxDose_gmin, [maxDose_gmin](double setpoint) {
                const double steps = std::round(setpoint / 100 * maxDose_gmin / Quantum_gmin);
                return std::max(steps, 1.0) * Quantum_gmin;
            }};
}

// The water mole fraction a target means, written out from its definition.
double WantedFraction(const THumidityTarget& t)
{
    switch (t.Kind) {
    case Kind::RelativeHumidity:
        return t.Value / 100 * WaterVapourPressure(t.TemperatureC) / 1000 / t.Pressure_BarA;
    case Kind::DewPoint:
        return WaterVapourPressure(t.Value) / 1000 / t.Pressure_BarA;
    case Kind::WaterPpm:
        return t.Value / 1e6;
    }
    return NAN;
}

double FractionOf(double dose_gmin, const THumidifiedStream& stream)
{
    const double water = stream.Water_molmin + dose_gmin / WaterMolarMass;
    return water / (water + stream.DryGas_molmin);
}

TEST(HumidityTarget, SetpointGivesTheTargetAndThePlannedDoseLandsWithinOneStepOfIt)
{
    const THumidityTarget targets[] = {
        {Kind::RelativeHumidity, 80, 80, 1.5},
        {Kind::RelativeHumidity, 50, 25, 1.01325},
        {Kind::RelativeHumidity, 90, -5, 1.01325}, // over ice
        {Kind::DewPoint, 20, 0, 1.01325},
        {Kind::DewPoint, -5, 0, 1.01325}, // frost point
        {Kind::WaterPpm, 5000, 0, 0},
    };
    for (const THumidifiedStream stream : {THumidifiedStream{DryGas_molmin, 0}, THumidifiedStream{DryGas_molmin, 2e-5}}) {
        for (const THumidityTarget& target : targets) {
            SCOPED_TRACE(HumidityTargetText(target).toStdString() + " with water " + std::to_string(stream.Water_molmin));
            const THumiditySolution s = SolveHumidityTarget(stream, target, CoarsePump());
            ASSERT_TRUE(s.Valid) << s.Status.toStdString();
            // The exact dose holds the target's water fraction; the setpoint is its share of the maximum.
            EXPECT_NEAR(FractionOf(s.Water_gmin, stream), WantedFraction(target), 1e-12);
            EXPECT_NEAR(s.Setpoint_pct, s.Water_gmin / MaxDose_gmin * 100, 1e-9);
            // The plan's dose at that setpoint, and the humidity it gives, one plan step at most away.
            EXPECT_EQ(s.AchievedDose_gmin, CoarsePump().PlannedDose_gmin(s.Setpoint_pct));
            EXPECT_LE(std::fabs(s.AchievedDose_gmin - s.Water_gmin), Quantum_gmin / 2 + 1e-15);
            EXPECT_DOUBLE_EQ(s.AchievedFraction, FractionOf(s.AchievedDose_gmin, stream));
            const double step = std::fabs(HumidityInTargetTerms(target, FractionOf(s.Water_gmin + Quantum_gmin, stream))
                                          - HumidityInTargetTerms(target, FractionOf(s.Water_gmin, stream)));
            EXPECT_LE(std::fabs(s.Achieved - target.Value), step);
        }
    }
}

TEST(HumidityTarget, NoWaterAtAllStopsThePump)
{
    for (const THumidityTarget& dry : {THumidityTarget{Kind::RelativeHumidity, 0, 25, 1.01325},
                                       THumidityTarget{Kind::WaterPpm, 0, 0, 0}}) {
        const THumiditySolution s = SolveHumidityTarget({DryGas_molmin, 0}, dry, CoarsePump());
        ASSERT_TRUE(s.Valid) << s.Status.toStdString();
        EXPECT_EQ(s.Setpoint_pct, 0);
        EXPECT_EQ(s.AchievedDose_gmin, 0);
        EXPECT_EQ(s.Achieved, 0);
    }
}

TEST(HumidityTarget, RefusesWhatThePumpCannotMakeAndSaysWhy)
{
    const THumidifiedStream stream{DryGas_molmin, 0};
    const auto reachable = [&](const THumidityTarget& target, double dose) {
        return HumidityValueText(target.Kind, HumidityInTargetTerms(target, FractionOf(dose, stream)));
    };
    const THumidityTarget wet{Kind::RelativeHumidity, 95, 80, 1};
    const THumidityTarget trace{Kind::WaterPpm, 1, 0, 0};
    struct Case {
        THumidifiedStream Stream;
        THumidityTarget Target;
        TPumpDosing Pump;
        QStringList Says;
    };
    const Case cases[] = {
        {{0, 0}, wet, CoarsePump(), {"No dry gas is flowing"}},
        {{std::nan(""), 0}, wet, CoarsePump(), {"No dry gas is flowing"}},
        {stream,
         {Kind::RelativeHumidity, 100, 25, 1.01325},
         CoarsePump(),
         {"Target 100 % RH at 25 °C and 1.01325 bar is at or above saturation: its dew point at 1.01325 bar is "
          "25.00 °C, not below its temperature of 25 °C, and water would condense."}},
        {stream,
         {Kind::RelativeHumidity, 120, 25, 1.01325},
         CoarsePump(),
         {"is at or above saturation: its dew point at 1.01325 bar is "
              + FormatFloat("0.00", DewPointOfVapourPressure(1.2 * WaterVapourPressure(25)).TemperatureC) + " °C",
          "water would condense"}},
        // More than the whole pressure in vapour: at 80 °C and 0.3 bar, 70 % RH.
        {stream, {Kind::RelativeHumidity, 70, 80, 0.3}, CoarsePump(), {"water making up all of the gas", "condense"}},
        {stream, {Kind::DewPoint, 100, 0, 1.01325}, CoarsePump(), {"water making up all of the gas", "condense"}},
        {stream, {Kind::WaterPpm, 1e6, 0, 0}, CoarsePump(), {"water making up all of the gas"}},
        {stream, {Kind::RelativeHumidity, -5, 25, 1}, CoarsePump(), {"A relative humidity cannot be negative."}},
        {stream, {Kind::RelativeHumidity, 50, 120, 3}, CoarsePump(), {"The target's temperature must lie within"}},
        {stream, {Kind::RelativeHumidity, 50, 25, 0}, CoarsePump(), {"The target's pressure must be above 0 bar."}},
        {stream, {Kind::DewPoint, -120, 0, 1}, CoarsePump(), {"A dew point must lie within"}},
        {stream, {Kind::WaterPpm, -1, 0, 0}, CoarsePump(), {"A water content cannot be negative."}},
        {stream, wet, CoarsePump(0), {"The pump has no maximum dose rate"}},
        {stream,
         wet,
         CoarsePump(0.05),
         {"Target 95 % RH at 80 °C and 1 bar needs ", " % of the pump's maximum dose rate; the largest reachable with "
                                                       "these gas flows is " + reachable(wet, 0.05) + "."}},
        {stream,
         trace,
         CoarsePump(),
         {"Target 1 ppm water needs ", " of water, less than the smallest dose of the pump's dosing plan, "
              + FormatFloat("0.000 000", Quantum_gmin) + " g/min; the smallest reachable with these gas flows is "
              + reachable(trace, Quantum_gmin) + "."}},
        // Other pumps already bring more water than the target holds.
        {{DryGas_molmin, 1e-3}, {Kind::WaterPpm, 100, 0, 0}, CoarsePump(), {"less than the smallest dose"}},
    };
    for (const Case& c : cases) {
        const THumiditySolution s = SolveHumidityTarget(c.Stream, c.Target, c.Pump);
        EXPECT_FALSE(s.Valid) << HumidityTargetText(c.Target).toStdString();
        EXPECT_EQ(s.Setpoint_pct, 0);
        for (const QString& part : c.Says)
            EXPECT_TRUE(s.Status.contains(part)) << s.Status.toStdString() << "\n  lacks: " << part.toStdString();
    }
}

} // namespace
