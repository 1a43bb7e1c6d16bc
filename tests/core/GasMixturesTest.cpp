#include "core/GasMixtures.h"

#include "core/GasTable.h"
#include "core/MixtureReports.h"

#include "LogCapture.h"
#include "PointAndCommaLocales.h"
#include "QStringPrinter.h"

namespace {

TEST(WaterVapourPressure, FollowsHuangOverWaterAndIce)
{
    EXPECT_NEAR(WaterVapourPressure(25), 31.70, 0.005);
    EXPECT_NEAR(WaterVapourPressure(0), 6.113, 0.0005);
    EXPECT_NEAR(WaterVapourPressure(100), 1014.17, 0.01);
    EXPECT_NEAR(WaterVapourPressure(-10), 2.5987, 0.0001);
    // At exactly 0 °C the ice formula applies: the water formula there gives 6.1125.
    EXPECT_GT(WaterVapourPressure(0), 6.1128);
    EXPECT_NEAR(WaterVapourPressure(1e-9), 6.1125, 0.0001);
}

TEST(MillilitresFromMoles, IdealGasInMillilitres)
{
    EXPECT_NEAR(MillilitresFromMoles(1, 0, 1.01325), 22413.97, 0.01);
    EXPECT_NEAR(MillilitresFromMoles(0.5, 25, 2.0265), 0.5 * 0.0831446261815324 * 298.15 / 2.0265 * 1000, 1e-9);
    EXPECT_EQ(MillilitresFromMoles(1, 25, 0), -1);
    EXPECT_EQ(MillilitresFromMoles(1, 25, -1), -1);
}

TGasItem TableGas(int id, double massFlow = 0)
{
    TGasItem gas;
    GetGas_ID(id, gas);
    gas.MassFlow_gmin = massFlow;
    return gas;
}

// 1 g/min nitrogen with 0.01 g/min water, made flat as the mixtures page does.
TGasItem HumidNitrogen()
{
    TGasItem recipe;
    recipe.NameShort = "Humid";
    recipe.Components = {TableGas(8, 1), TableGas(1001, 0.01)};
    TGasItem flat = recipe.Clone(false);
    flat.Components.clear();
    recipe.CollectLeaves(flat);
    EXPECT_TRUE(flat.MassFlowsToFractions());
    return flat;
}

class MixtureReports : public PointAndCommaLocales {};

TEST_P(MixtureReports, HumidityOfNitrogenWithOnePercentWater)
{
    const TGasItem humid = HumidNitrogen();
    ASSERT_TRUE(humid.GetHasFluid());
    EXPECT_EQ(HumidityReport(humid, {{25, 1.01325}, {0, 0}, {20, -1}, {0, 2}}),
              Local("    ºC      BarA  Max ppm/100%RH  Current ppm     RH %  Dew point ºC\r\n"
                    "    25   1@01325          31 285       15 312   48@945         13@54\r\n"
                    "     0         2           3 056       15 312  500@984         24@42\r\n"));
}

TEST_P(MixtureReports, HumidityFiguresWiderThanTheirColumnsAreShownWhole)
{
    // The first line fits its columns and keeps the layout; the others push their row wider
    // rather than losing leading digits or the minus sign.
    const TReportConditions conditions = {{25, 1.01325}, {25, 1000}, {-12.5, 1.01325}, {0, 1.0132501}};
    const QStringList lines = HumidityReport(HumidNitrogen(), conditions).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], Local("    25   1@01325          31 285       15 312   48@945         13@54"));
    EXPECT_EQ(lines[2], Local("    25      1000              32       15 312  48304@748           Err"));
    EXPECT_EQ(lines[3], Local("  -12@5   1@01325           2 050       15 312  747@063         13@54"));
    EXPECT_EQ(lines[4], Local("     0  1@0132501           6 033       15 312  253@811         13@54"));
}

TEST_P(MixtureReports, HumidityDewPointColumnWithoutWaterOrBeyondTheFormula)
{
    TGasItem humid = HumidNitrogen();
    // 1.5 % water at 100 bar is 1531 hPa of vapour: no dew point within the formula's range.
    QStringList lines = HumidityReport(humid, {{25, 100}}).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral("  ") + QString(9, u' ') + QStringLiteral("Err")))
        << lines.at(1).toStdString();
    // A pump standing still leaves the water at 0: the gas is dry.
    humid.FluidPartialPressure = 0;
    lines = HumidityReport(humid, {{25, 1.01325}}).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.at(1).endsWith(QStringLiteral("0") + Local("@000") + QStringLiteral("          none")))
        << lines.at(1).toStdString();
}

TEST_P(MixtureReports, VolumetricFlowsPerComponentAndTotal)
{
    EXPECT_EQ(VolumetricFlowsReport(HumidNitrogen(), {{0, 1.01325}, {25, 2.0265}, {0, 0}}),
              Local("   ºC     BarA         N2       H2O       Tot\r\n"
                    "    0  1@01325      800@1      12@4     812@5\r\n"
                    "   25   2@0265      436@7       6@8     443@5\r\n"
                    "    0        0        Err       Err       Err\r\n"));

    TGasItem massless = HumidNitrogen();
    massless.Components[1].SetMolarMass(0);
    EXPECT_EQ(VolumetricFlowsReport(massless, {{0, 1.01325}}),
              Local("   ºC     BarA         N2       H2O       Tot\r\n"
                    "    0  1@01325      800@1       Err       Err\r\n"));
}

TEST_P(MixtureReports, DetailsOfOneGramOfAir)
{
    // Clones carry no mass fractions; flattening computes them.
    const TGasItem air = TableGas(0, 1).Flatten();
    EXPECT_EQ(MixtureDetails(air),
              Local("             Molar mass        Mass     Partial\r\n"
                    "Components   g/mol         fraction    pressure\r\n"
                    "        O2   31@998 000   0@232 909   0@210 000  \r\n"
                    "        N2   28@014 000   0@767 091   0@790 000  \r\n"
                    "\r\n"
                    "      Flow   Unit      Temperature     Pressure\r\n"
                    "     777@1   mln/min           0ºC    1.013 bar\r\n"
                    "     848@2   ml/min           25ºC    1.013 bar\r\n"
                    "    1203@8   ml/min          150ºC    1.013 bar\r\n"
                    " 1@000 000   g/min\r\n"
                    " 0@034 661   mol/min\r\n"));
}

TEST_P(MixtureReports, DetailsOfAFlowWiderThanItsColumnShowItWhole)
{
    const QStringList lines = MixtureDetails(TableGas(0, 150).Flatten()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[6], Local("  116563@3   mln/min           0ºC    1.013 bar"));
    EXPECT_EQ(lines[9], Local("150@000 000   g/min"));
}

TEST_P(MixtureReports, DetailsWithoutMolarMassShowErrInsteadOfDividing)
{
    TGasItem unknown;
    unknown.AlicatID = -1;
    TGasItem mixture;
    mixture.Components = {unknown};
    mixture.Components[0].MassFlow_gmin = 2;
    mixture.Components[0].PartialPressure = 1;
    mixture.ComponentsNormalized = true;
    mixture.MassFlow_gmin = 2;
    EXPECT_EQ(MixtureDetails(mixture),
              Local("             Molar mass        Mass     Partial\r\n"
                    "Components   g/mol         fraction    pressure\r\n"
                    " Undefined    0@000 000   0@000 000   1@000 000  \r\n"
                    "\r\n"
                    "      Flow   Unit      Temperature     Pressure\r\n"
                    "       Err   mln/min           0ºC    1.013 bar\r\n"
                    "       Err   ml/min           25ºC    1.013 bar\r\n"
                    "       Err   ml/min          150ºC    1.013 bar\r\n"
                    " 2@000 000   g/min\r\n"
                    "       Err   mol/min\r\n"));
}

TEST_P(MixtureReports, PartialPressuresSwitchPatternAboveOnePpm)
{
    TGasItem mixture = TableGas(0);
    mixture.Components.push_back(TableGas(17));
    mixture.Components.back().PartialPressure = 0.5e-6;
    mixture.Components.push_back(TableGas(18));
    mixture.Components.back().PartialPressure = 2e-6;
    mixture.Components.push_back(TableGas(10));
    mixture.Components.back().PartialPressure = 1e-6;
    EXPECT_EQ(PartialPressuresReport(mixture), Local("    O2                210 000 ppm\r\n"
                                                     "    N2                790 000 ppm\r\n"
                                                     "    Kr                    0@5 ppm\r\n"
                                                     "    Xe                      2 ppm\r\n"
                                                     "    Ne                    1@0 ppm\r\n"));
}

TEST_P(MixtureReports, InputsAndLeafMassFlows)
{
    TGasItem air = TableGas(0, 2);
    ASSERT_TRUE(air.DistributeMassFlow());
    TGasItem recipe;
    recipe.Components = {air, TableGas(1001, 0.01), TableGas(1, 123.456)};
    EXPECT_EQ(InputsReport(recipe), Local("  Inputs:\r\n"
                                          "    Air           2@000 000 g/min\r\n"
                                          "    H2O           0@010 000 g/min\r\n"
                                          "    Ar            123@456 000 g/min\r\n"));
    EXPECT_EQ(LeafMassFlowsReport(recipe), Local("    O2            0@465 818 g/min\r\n"
                                                 "    N2            1@534 182 g/min\r\n"
                                                 "    H2O           0@010 000 g/min\r\n"
                                                 "    Ar            123@456 000 g/min\r\n"));
    EXPECT_EQ(LeafMassFlowsReport(TableGas(8, 1.5)), Local("    N2            1@500 000 g/min\r\n"));
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(MixtureReports);

TEST(MixtureDetails, DesignTimeMixtureGivesNoReportAndALogLine)
{
    TGasItem designTime;
    GetGas_ID(301, designTime);
    LogCapture log("UnitGas");
    EXPECT_TRUE(MixtureDetails(designTime).isEmpty());
    EXPECT_EQ(log.Lines(), QStringList({"MixtureDetails function cannot be called with design-time mixture."}));
}

TEST(MixtureReports, DesignerPathFromDeviceFlowsToDetails)
{
    // Two devices on Air and one on N2: flattening merges the nitrogen.
    TGasItem mixture;
    for (auto [id, flow] : {std::pair{0, 1.0}, std::pair{8, 0.5}}) {
        TGasItem gas = TableGas(id, flow);
        ASSERT_TRUE(gas.DistributeMassFlow());
        mixture.Components.push_back(gas);
    }
    TGasItem flat = mixture.Flatten();
    ASSERT_TRUE(flat.MassFlowsToFractions());
    ASSERT_EQ(flat.Components.size(), 2u);
    EXPECT_DOUBLE_EQ(flat.MassFlow_gmin, 1.5);
    EXPECT_DOUBLE_EQ(flat.Components[1].MassFlow_gmin, 0.5 + 0.79 * 28.014 / 28.85064);
    EXPECT_FALSE(MixtureDetails(flat).isEmpty());
}

} // namespace
