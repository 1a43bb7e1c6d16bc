#include "ui/pages/MixDesign.h"

#include "MixtureReportLines.h"
#include "PageDevices.h"
#include "core/MixtureReports.h"
#include "ui/pages/MixRecipe.h"

#include <climits>
#include <cmath>
#include <limits>

namespace {

// COM6 nitrogen ramping to 40 % at 10 minutes and holding until 20; COM7 Air ramping to 80 %
// at 10 minutes. Both 50 SCCM in ml/min.
class MixDesignTest : public PageDevicesTest {
protected:
    void SetUp() override
    {
        PageDevicesTest::SetUp();
        TDeviceInfo nitrogen = ConfiguredController("COM6", 8);
        nitrogen.SegmentProgram = "10 40 Ramp\r\n20 40 Step";
        TDeviceInfo air = ConfiguredController("COM7", 0);
        air.SegmentProgram = "10 80 Ramp";
        DevicesLocal.push_back(nitrogen);
        DevicesLocal.push_back(air);
    }
};

TEST_F(MixDesignTest, RowsFollowTheProgramsAtTheChosenTime)
{
    struct Case {
        const char* port;
        double time;
        int position;
        double flow;
    };
    const Case cases[] = {
        {"COM6", 5, 20, 10},  // half-way up the ramp
        {"COM6", 15, 40, 20}, // holding
        {"COM6", 25, 0, 0},   // after the last point
        {"COM7", 5, 40, 20},
        {"COM7", 0.3125, 2, 1.25}, // 2.5 % rounds to the even 2
        {"COMX", 11, 100, 50}, // the demo program: 100 % from 10 to 12 minutes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.port) + " at " + std::to_string(c.time));
        const TDesignerRowValues row = DesignerRowAt(DeviceOn(c.port), c.time);
        EXPECT_EQ(row.SliderPosition, c.position);
        EXPECT_NEAR(row.Flow, c.flow, 1e-9);
    }
}

TEST_F(MixDesignTest, TwoDevicesMakeOneMixtureWithEachGasOnce)
{
    std::vector<TDesignerRow> rows;
    for (const char* port : {"COM6", "COM7"})
        rows.push_back({port, DesignerRowAt(DeviceOn(port), 5).Flow});
    const TDesignerMix mix = DesignerMix(rows);
    ASSERT_TRUE(mix.Shown);
    EXPECT_TRUE(mix.Text.startsWith(" *************************** \r\n             Molar mass"))
        << mix.Text.toStdString();
    // Equal full scales hold equal amounts of gas: 20 % nitrogen and 40 % Air give
    // 0.2 + 0.4 · 0.79 = 0.516 parts nitrogen and 0.084 parts oxygen.
    const QStringList nitrogen = ComponentLines(mix.Text, "N2");
    const QStringList oxygen = ComponentLines(mix.Text, "O2");
    ASSERT_EQ(nitrogen.size(), 1);
    ASSERT_EQ(oxygen.size(), 1);
    EXPECT_TRUE(nitrogen[0].endsWith("  0.860 000  ")) << nitrogen[0].toStdString();
    EXPECT_TRUE(oxygen[0].endsWith("  0.140 000  ")) << oxygen[0].toStdString();
    EXPECT_EQ(mix.LogLines, (QStringList{"HandleCOM6", "HandleCOM7"}));
}

TEST_F(MixDesignTest, DeviceWithoutGasIsNamedAndLeftOut)
{
    // COMX has no gas; COM99 is no device at all and is skipped without a word.
    const TDesignerMix mix = DesignerMix({{"COMX", 25}, {"COM99", 5}, {"COM6", 10}});
    ASSERT_TRUE(mix.Shown);
    EXPECT_TRUE(mix.Text.startsWith("COMX has no configured gas and is left out of the mixture.\r\n"
                                    " *************************** \r\n"))
        << mix.Text.toStdString();
    EXPECT_FALSE(mix.Text.contains("COM99"));
    EXPECT_FALSE(mix.Text.contains("Undefined"));
    const QStringList nitrogen = ComponentLines(mix.Text, "N2");
    ASSERT_EQ(nitrogen.size(), 1);
    EXPECT_TRUE(nitrogen[0].endsWith("  1.000 000  ")) << nitrogen[0].toStdString();
    EXPECT_EQ(mix.LogLines, (QStringList{"HandleCOMX", "HandleCOM6"}));
}

TEST_F(MixDesignTest, PumpRowDosesWaterAsItsMixtureLineWould)
{
    // The pump's row runs to its maximum dose rate (1250 µl/min with a 50 µl syringe) and it
    // doses what the recipe page says it doses at that share of the maximum.
    TDeviceInfo pump = ConfiguredPump("COM5");
    pump.SegmentProgram = "10 40 Ramp";
    DevicesLocal.push_back(pump);
    const TDesignerRowValues row = DesignerRowAt(pump, 5);
    EXPECT_EQ(row.SliderPosition, 20);
    EXPECT_DOUBLE_EQ(row.Flow, 250);

    TGasItem recipe;
    QString error;
    ASSERT_TRUE(ParseMixRecipe("COM6 20\r\nCOM5 20", recipe, error)) << error.toStdString();
    const TGasItem flat = [&] {
        TGasItem mixture = recipe.Flatten();
        mixture.MassFlowsToFractions();
        return mixture;
    }();
    const TDesignerMix mix = DesignerMix({{"COM6", DesignerRowAt(DeviceOn("COM6"), 5).Flow}, {"COM5", row.Flow}});
    // With water in it, the mixture's humidity follows, at the mixture page's conditions and
    // at those the caller adds.
    const TDesignerMix withCondition =
        DesignerMix({{"COM6", DesignerRowAt(DeviceOn("COM6"), 5).Flow}, {"COM5", row.Flow}}, {{80, 1.5}});
    TReportConditions conditions = MixtureReportConditions;
    conditions.push_back({80, 1.5});
    EXPECT_EQ(mix.Text, " *************************** \r\n" + MixtureDetails(flat) + "\r\n  Mixture has fluid:\r\n"
                            + HumidityReport(flat, MixtureReportConditions));
    EXPECT_EQ(withCondition.Text, " *************************** \r\n" + MixtureDetails(flat)
                                      + "\r\n  Mixture has fluid:\r\n" + HumidityReport(flat, conditions));
    EXPECT_EQ(ComponentLines(mix.Text, "H2O").size(), 1);
}

TEST_F(MixDesignTest, NoFlowGivesNoComposition)
{
    // Flattening alone would show nitrogen at the summed partial pressure 1.79.
    const TDesignerMix mix = DesignerMix({{"COM6", 0}, {"COM7", 0}});
    ASSERT_TRUE(mix.Shown);
    EXPECT_EQ(mix.Text, " *************************** \r\nNo mass flow at these settings: the mixture has no composition.\r\n");
}

TEST_F(MixDesignTest, NoRowsLeavesTheReportAlone)
{
    const TDesignerMix mix = DesignerMix({});
    EXPECT_FALSE(mix.Shown);
    EXPECT_TRUE(mix.Text.isEmpty());
    EXPECT_EQ(mix.LogLines, QStringList{"Exit: FlowPanelControls.ControlCount: 0 "});
}

TEST_F(MixDesignTest, RowNamesAndCaptions)
{
    EXPECT_EQ(DesignerRowPort(DesignerRowFlowPrefix + "COM6"), "COM6");
    EXPECT_EQ(DesignerRowPort(DesignerRowSliderPrefix + "/dev/pts_3"), "/dev/pts_3");
    EXPECT_EQ(DesignerRowPort("NoUnderscore"), "");
    EXPECT_EQ(DesignerRowCaption(DeviceOn("COM6")), "COM6 - N2 - ml/min");
    EXPECT_EQ(DesignerRowCaption(DeviceOn("COMX")), "COMX - Unconfigured - ml/min");
    TDeviceInfo unknownGas = DeviceOn("COM6");
    unknownGas.FluidID = 9999;
    EXPECT_EQ(DesignerRowCaption(unknownGas), "COM6 - Unknown - ml/min");
}

TEST(MixDesignTime, TypedTimeMovesAndWidensTheSlider)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double time;
        int maximum;
        int newMaximum;
        int position;
    };
    const Case cases[] = {
        {12.34, 100, 130, 123},
        {5, 100, 100, 50},
        {10, 100, 100, 100},   // at the end: no wider
        {10.05, 100, 110, 100}, // 100.5 tenths round to the even 100
        {0.25, 100, 100, 2},
        {-3, 100, 100, 0},
        {nan, 100, 100, 0},
        {1e300, 100, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        const TDesignerTimeSlider slider = DesignerTimeSliderForTypedTime(c.time, c.maximum);
        EXPECT_EQ(slider.Maximum, c.newMaximum);
        EXPECT_EQ(slider.Position, c.position);
    }
    EXPECT_EQ(DesignerTimeMaximumForDuration(0), std::nullopt);
    EXPECT_EQ(DesignerTimeMaximumForDuration(24), 250);
    EXPECT_EQ(DesignerTimeMaximumForDuration(12.5), 130);
    EXPECT_DOUBLE_EQ(DesignerTimeFromSlider(123), 12.3);
}

TEST(MixDesignRow, SliderAndFlowConversions)
{
    EXPECT_EQ(DesignerSliderForFlow(25, 50, 100), 50);
    EXPECT_EQ(DesignerSliderForFlow(0.125, 50, 100), 0); // 0.25 rounds to 0
    EXPECT_EQ(DesignerSliderForFlow(60, 50, 100), 100);
    EXPECT_EQ(DesignerSliderForFlow(10, 0, 100), std::nullopt);
    EXPECT_DOUBLE_EQ(DesignerFlowForSlider(30, 100, 50), 15);
    EXPECT_DOUBLE_EQ(DesignerFlowForSlider(30, 0, 50), 0);

    struct Case {
        double flow;
        double maximum;
        double snapped;
    };
    const Case cases[] = {
        {0.00006, 1, 0.0001}, {0.00004, 1, 0}, {0.00002, 1, 0}, {0.00005, 1, 0.0001}, {0.0001, 1, 0.0001},
        {0, 1, 0},            {0.5, 1, 0.5},   {-1, 1, -1},     {0.004, 50, 0.005},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(DesignerSnapSmallFlow(c.flow, c.maximum), c.snapped) << c.flow << " of " << c.maximum;
}

} // namespace
