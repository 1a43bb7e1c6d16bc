// The designer's humidity target worked out with the dosing plan the pump is given: the
// setpoint it finds, the dose that plan makes there, and what it refuses.
#include "ui/pages/DesignerHumidity.h"

#include "PageDevices.h"
#include "core/DewPoint.h"
#include "core/GasMixtures.h"
#include "core/NumberText.h"
#include "instruments/PumpDispense.h"
#include "ui/pages/DeliveredFlow.h"

#include <QRegularExpression>
#include <cmath>

namespace {

using Kind = THumidityTargetKind;

// COM6: 1000 SCCM of nitrogen at full scale in ml/min; COM5 a water pump with a 50 µl syringe
// (1250 µl/min at full scale); COM4 a second water pump, COM3 a pump without a fluid.
class DesignerHumidityTest : public PageDevicesTest {
protected:
    void SetUp() override
    {
        PageDevicesTest::SetUp();
        DevicesLocal.push_back(ConfiguredController("COM6", 8, 1000));
        DevicesLocal.push_back(ConfiguredPump("COM5"));
        DevicesLocal.push_back(ConfiguredPump("COM4"));
        TDeviceInfo dry = ConfiguredPump("COM3");
        dry.FluidID = -1;
        DevicesLocal.push_back(dry);
    }

    // The rows with nitrogen at Nitrogen_mlmin and the pumps standing still.
    static std::vector<TDesignerRow> Rows(double Nitrogen_mlmin, double OtherPump_ulmin = 0)
    {
        return {{"COM6", Nitrogen_mlmin}, {"COM5", 0}, {"COM4", OtherPump_ulmin}};
    }
};

// The dose the plan makes at its program's neighbours: the finest step it can take there.
double PlanStep_gmin(const TDeviceInfo& pump, double setpoint)
{
    const TPumpSpeedDetails plan = PumpPlan(pump, setpoint);
    const QRegularExpressionMatch stepped = QRegularExpression("M(\\d+)G24000GR$").match(plan.Command);
    const QRegularExpressionMatch continuous = QRegularExpression("OV(\\d+)A0GR$").match(plan.Command);
    EXPECT_TRUE(stepped.hasMatch() || continuous.hasMatch()) << plan.Command.toStdString();
    const auto rate = [&](int code) {
        return stepped.hasMatch() ? DispenseRateStepped(plan, code) : DispenseRateContinuous(plan, code);
    };
    const int code = (stepped.hasMatch() ? stepped : continuous).captured(1).toInt();
    EXPECT_DOUBLE_EQ(rate(code), plan.AchievedDispense_ugpm);
    return std::max(std::fabs(rate(code + 1) - rate(code)), std::fabs(rate(code) - rate(code - 1))) / 1e6;
}

TEST_F(DesignerHumidityTest, TargetSetpointAndAchievedHumidityLandWithinThePlansStep)
{
    const THumidityTarget targets[] = {
        {Kind::RelativeHumidity, 80, 80, 1.5},
        {Kind::RelativeHumidity, 50, 25, 1.01325},
        {Kind::RelativeHumidity, 95, 5, 3},
        {Kind::DewPoint, 20, 0, 1.01325},
        {Kind::DewPoint, -5, 0, 1.01325},
        {Kind::WaterPpm, 500, 0, 0},  // the stepped program
        {Kind::WaterPpm, 20000, 0, 0},
    };
    const TDeviceInfo pump = DeviceOn("COM5");
    const double nitrogen_molmin = DeviceOn("COM6").FlowUnitDevice.GasFlowMaxGrams() * 0.5 / 28.014;
    const auto fractionOf = [&](double dose_gmin) {
        const double water_molmin = dose_gmin / 18.01488;
        return water_molmin / (water_molmin + nitrogen_molmin);
    };
    for (const THumidityTarget& target : targets) {
        SCOPED_TRACE(HumidityTargetText(target).toStdString());
        const TDesignerHumidity outcome = DesignerHumidityTarget(Rows(500), "COM5", target);
        ASSERT_TRUE(outcome.Valid) << outcome.Lines.join(u'\n').toStdString();
        const THumiditySolution& s = outcome.Solution;
        // The exact dose holds the target; its setpoint is the share of the maximum dose.
        const double fraction = fractionOf(s.Water_gmin);
        const double wanted = target.Kind == Kind::WaterPpm ? target.Value / 1e6
                              : target.Kind == Kind::DewPoint
                                  ? WaterVapourPressure(target.Value) / 1000 / target.Pressure_BarA
                                  : target.Value / 100 * WaterVapourPressure(target.TemperatureC) / 1000
                                        / target.Pressure_BarA;
        EXPECT_NEAR(fraction / wanted, 1, 1e-9);
        EXPECT_NEAR(s.Setpoint_pct, s.Water_gmin / 1.25 * 100, 1e-9);
        EXPECT_DOUBLE_EQ(outcome.PumpRowFlow, s.Setpoint_pct / 100 * 1250);
        // The dose is the one the pump's plan makes at that setpoint, within a step of it...
        EXPECT_EQ(s.AchievedDose_gmin, PumpMassFlow_gmin(pump, s.Setpoint_pct));
        const double step = PlanStep_gmin(pump, s.Setpoint_pct);
        EXPECT_LE(std::fabs(s.AchievedDose_gmin - s.Water_gmin), step);
        // ...and so is the humidity it gives, in the target's terms.
        const double stepHumidity = std::fabs(HumidityInTargetTerms(target, fractionOf(s.Water_gmin + step))
                                              - HumidityInTargetTerms(target, fractionOf(s.Water_gmin)));
        EXPECT_LE(std::fabs(s.Achieved - target.Value), stepHumidity);
        EXPECT_TRUE(outcome.Lines.last().endsWith("   target: " + HumidityTargetText(target)))
            << outcome.Lines.last().toStdString();
    }
}

// A target within the pump's maximum dose rate but past its fastest speed code (31.29 % of
// it by volume) is reached only as far as that code doses, and the report says so.
TEST_F(DesignerHumidityTest, ADoseBeyondTheFastestSpeedCodeIsToldInTheReport)
{
    const TDesignerHumidity outcome =
        DesignerHumidityTarget(Rows(500), "COM5", {Kind::WaterPpm, 600000, 0, 0});
    ASSERT_TRUE(outcome.Valid) << outcome.Lines.join(u'\n').toStdString();
    const THumiditySolution& s = outcome.Solution;
    ASSERT_GT(s.Setpoint_pct, 31.3);
    ASSERT_LT(s.Setpoint_pct, 100);
    EXPECT_NEAR(s.AchievedDose_gmin / 0.99819 / 1.25, 0.3129, 1e-4);
    EXPECT_EQ(outcome.Lines.last(), QStringLiteral("Pump COM5: ") + FormatFloat(QStringLiteral("0.###"), s.Setpoint_pct)
                                        + QStringLiteral(" % asks ")
                                        + FormatFloat(QStringLiteral("0.###"), s.Setpoint_pct / 100 * 1250)
                                        + QStringLiteral(" µl/min, more than its 50 µL syringe can dose; it doses "
                                                         "391.139 µl/min (31.29 %), its fastest."));
}

TEST_F(DesignerHumidityTest, AnotherPumpsWaterCountsAndTheReportAgreesWithTheAchievedHumidity)
{
    const THumidityTarget target{Kind::WaterPpm, 30000, 0, 0};
    const TDesignerHumidity alone = DesignerHumidityTarget(Rows(500), "COM5", target);
    const TDesignerHumidity helped = DesignerHumidityTarget(Rows(500, 5), "COM5", target);
    ASSERT_TRUE(alone.Valid && helped.Valid);
    // COM4 at 5 µl/min brings its planned dose; COM5 makes up the rest.
    EXPECT_NEAR(helped.Solution.Water_gmin, alone.Solution.Water_gmin - PumpMassFlow_gmin(DeviceOn("COM4"), 0.4), 1e-12);
    // The mixture report with COM5 at its new flow shows the humidity the panel shows.
    std::vector<TDesignerRow> rows = Rows(500, 5);
    rows[1].Flow = helped.PumpRowFlow;
    const QString report = DesignerMix(rows).Text;
    const QString ppm = FormatFloat("# ### ###", helped.Solution.Achieved);
    const QStringList lines = report.split("\r\n");
    const qsizetype first = lines.indexOf("  Mixture has fluid:") + 2;
    ASSERT_GT(first, 1) << report.toStdString();
    EXPECT_EQ(lines[first].mid(34, 11).trimmed(), ppm.trimmed()) << lines[first].toStdString();
}

TEST_F(DesignerHumidityTest, RefusesWithALineAndNoSetpoint)
{
    const THumidityTarget humid{Kind::RelativeHumidity, 50, 25, 1.01325};
    struct Case {
        std::vector<TDesignerRow> Rows;
        QString Pump;
        THumidityTarget Target;
        QString Says;
    };
    const Case cases[] = {
        {Rows(0), "COM5", humid, "No dry gas is flowing in the designer rows: there is nothing to humidify."},
        {Rows(500), "", humid, "No pump is selected: select a pump dosing water together with the gas devices."},
        {Rows(500), "COM6", humid, "No pump is selected"},           // a controller
        {{{"COM6", 500}}, "COM5", humid, "No pump is selected"},     // a pump without a row
        {{{"COM6", 500}, {"COM3", 0}}, "COM3", humid, "Pump COM3 does not dose water: configure H2O as its fluid first."},
        {Rows(500), "COM5", {Kind::DewPoint, 95, 0, 1.01325}, "Target dew point 95 °C at 1.01325 bar needs "},
        {Rows(1), "COM5", {Kind::WaterPpm, 1, 0, 0}, "less than the smallest dose of the pump's dosing plan, "},
        {Rows(500), "COM5", {Kind::RelativeHumidity, 100, 25, 1.01325}, "water would condense"},
    };
    for (const Case& c : cases) {
        const TDesignerHumidity outcome = DesignerHumidityTarget(c.Rows, c.Pump, c.Target);
        EXPECT_FALSE(outcome.Valid) << c.Says.toStdString();
        ASSERT_EQ(outcome.Lines.size(), 1);
        EXPECT_TRUE(outcome.Lines[0].contains(c.Says)) << outcome.Lines[0].toStdString();
        EXPECT_EQ(outcome.PumpRowFlow, 0);
    }
}

TEST_F(DesignerHumidityTest, OnlyPumpRowsAreOffered)
{
    EXPECT_EQ(DesignerPumpPorts({{"COM6", 1}, {"COM5", 0}, {"COM99", 0}, {"COM3", 0}}), QStringList({"COM5", "COM3"}));
}

} // namespace
