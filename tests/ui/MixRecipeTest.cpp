#include "ui/pages/MixRecipe.h"

#include "PageDevices.h"
#include "core/SegmentProgram.h"
#include "core/UserMessages.h"
#include "instruments/PumpDispense.h"

#include <cmath>
#include <limits>

namespace {

// COM6: Air at 50 SCCM; COM7: nitrogen whose operator unit cannot be converted into; COM5: a
// water pump; COMX and COMY: the demo controllers (no gas).
class MixRecipeTest : public PageDevicesTest {
protected:
    void SetUp() override
    {
        PageDevicesTest::SetUp();
        InstallDevices();
    }
    static void InstallDevices()
    {
        ResetDevicesLocal();
        DevicesLocal.push_back(ConfiguredController("COM6", 0));
        TDeviceInfo broken = ConfiguredController("COM7", 8);
        broken.FlowUnitUser = TGasFlowDetails();
        DevicesLocal.push_back(broken);
        DevicesLocal.push_back(ConfiguredPump("COM5"));
    }
};

double MolarMass(int gasID)
{
    TGasItem gas;
    GetGas_ID(gasID, gas);
    return gas.GetMolarMass();
}

TEST_F(MixRecipeTest, ControllerOnAirGivesItsMassFlowSplitIntoOxygenAndNitrogen)
{
    TGasItem mixture;
    QString error;
    ASSERT_TRUE(ParseMixRecipe("COM6 50", mixture, error)) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(mixture.Components.size(), 1u);
    const TGasItem& air = mixture.Components[0];
    EXPECT_EQ(air.NameShort, "Air");
    EXPECT_NEAR(air.MassFlow_gmin, 0.029481, 5e-7);
    ASSERT_EQ(air.Components.size(), 2u);
    EXPECT_EQ(air.Components[0].NameShort, "O2");
    EXPECT_NEAR(air.Components[0].MassFlow_gmin, air.MassFlow_gmin * 0.21 * MolarMass(11) / 28.85064, 1e-12);
    EXPECT_NEAR(air.Components[1].MassFlow_gmin, air.MassFlow_gmin * 0.79 * MolarMass(8) / 28.85064, 1e-12);

    const TMixRecipeEvaluation page = EvaluateMixRecipe("COM6 50", "Name");
    EXPECT_TRUE(page.Valid);
    const QStringList lines = page.Text.split("\r\n");
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.mid(0, 7), (QStringList{"Mixture: 'Name'", "", "  Inputs:", "    Air           0.029 481 g/min",
                                            "  Components:", "    O2            0.006 866 g/min",
                                            "    N2            0.022 615 g/min"}));
    EXPECT_TRUE(page.Text.endsWith("\r\n"));
    EXPECT_FALSE(page.Text.contains("\r\n\r\n\r\n"));

    // Sections in order, the volumetric table at the five conditions, and no humidity without water.
    const qsizetype partial = lines.indexOf("  Partial pressures:");
    const qsizetype volumetric = lines.indexOf("  Volumetric flows, ml/min:");
    ASSERT_GT(partial, 6);
    ASSERT_GT(volumetric, partial);
    EXPECT_TRUE(lines[partial + 1].startsWith("    O2          ")) << lines[partial + 1].toStdString();
    const QStringList conditionStarts = {"    0  1.01325  ", "   21  1.01325  ", "   25  1.01325  ",
                                         "   25   2.0265  ", "  150  1.01325  "};
    for (int i = 0; i < conditionStarts.size(); ++i)
        EXPECT_TRUE(lines[volumetric + 2 + i].startsWith(conditionStarts[i])) << lines[volumetric + 2 + i].toStdString();
    EXPECT_FALSE(page.Text.contains("fluid"));
}

TEST_F(MixRecipeTest, ErrorsAreReportedAloneAndTheLatestWins)
{
    struct Case {
        const char* recipe;
        const char* error;
    };
    const Case cases[] = {
        // The line is evaluated before its characters are looked at one by one.
        {"COM6 -5", "Invalid setpoint on line 1\r\n"},
        {"COM6 100.5", "Invalid setpoint on line 1\r\n"},
        {"COM6 5x", "Cannot convert '5x' to a number\r\n"},
        {"COM6  50", "Cannot convert '' to a number\r\n"},
        {"COM6 50%", "Cannot convert '50%' to a number\r\n"},
        {"COM6 50 ;", "Invalid segment type on line 1 (use S or R)\r\n"},
        {"COM6 50 X", "Invalid segment type on line 1 (use S or R)\r\n"},
        {"COM9 50", "No device on port: COM9\r\n"},
        {"com9 50", "No device on port: com9\r\n"},
        {"-COM6 50", "No device on port: -COM6\r\n"},
        {"COMX 50", "GasID on COMX matches no known gas, device not configured?\r\n"},
        {"COM6", "Recipe has less than 2 or more than 3 items on line: 1\r\n => Unable to determine meaning\r\n"},
        {"COM6 50 S x", "Recipe has less than 2 or more than 3 items on line: 1\r\n => Unable to determine meaning\r\n"},
        {"   ", "Recipe has less than 2 or more than 3 items on line: 1\r\n => Unable to determine meaning\r\n"},
        // A line that evaluates keeps the message of its last illegal character.
        {"COM6 5,5", "Illegal character ',' on line: 1\r\n"},
        {"COM6 50 S,", "Illegal character ',' on line: 1\r\n"},
        {"COM6 5,5 R!", "Illegal character '!' on line: 1\r\n"},
        {"COM6 50\t", "Illegal character '\t' on line: 1\r\n"},
        {"-", "Illegal character '-' on line: 1\r\n"},
        {"COM6 50\r\n\U0001F600", "Illegal character '\U0001F600' on line: 2\r\n"},
        // A line with a conversion failure still evaluates: its error is set again at every
        // allowed character, so it wins over an illegal character before it, not after it.
        {"COM7 50", "Failed to convert gas flow to user unit: Undefined"},
        {"COM7 5,5", "Failed to convert gas flow to user unit: Undefined"},
        {"COM7 50 S,", "Illegal character ',' on line: 1\r\n"},
        // Later lines replace the error, good lines leave it.
        {"COM6 50\r\nCOM6 5x", "Cannot convert '5x' to a number\r\n"},
        {"COM6 5x\r\nCOM6 50", "Cannot convert '5x' to a number\r\n"},
        {"COM6 5x\r\nCOM6 -1\r\nCOM6 20", "Invalid setpoint on line 2\r\n"},
        {"COM6 50\nCOM6 5 S;", "Illegal character ';' on line: 2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe);
        TGasItem mixture;
        QString error;
        EXPECT_FALSE(ParseMixRecipe(c.recipe, mixture, error));
        EXPECT_EQ(error, QString::fromUtf8(c.error));
        const TMixRecipeEvaluation page = EvaluateMixRecipe(c.recipe, "Name");
        EXPECT_FALSE(page.Valid);
        EXPECT_TRUE(page.Text.startsWith(QString::fromUtf8(c.error)));
        EXPECT_FALSE(page.Text.contains("Mixture:"));
    }
}

TEST_F(MixRecipeTest, AcceptedRecipesAndWhatEachLineContributes)
{
    struct Case {
        const char* recipe;
        std::vector<double> setpoints; // of the Air controller, one per component
    };
    const Case cases[] = {
        {"COM6 50", {50}},
        {"com6 50 r", {50}},
        {"COM6 50 Ramp", {50}},
        {"COM6 12.5 S", {12.5}},
        {" COM6 50 ", {50}},
        {"COM6 0", {0}},
        {"COM6 100\r\n\r\nCOM6 25", {100, 25}},
        {"", {}},
        {"\r\n\r\n", {}},
    };
    const double fullScale_gmin = 0.029481 * 2;
    MessageCapture messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe);
        TGasItem mixture;
        QString error;
        EXPECT_TRUE(ParseMixRecipe(c.recipe, mixture, error)) << error.toStdString();
        ASSERT_EQ(mixture.Components.size(), c.setpoints.size());
        for (std::size_t i = 0; i < c.setpoints.size(); ++i)
            EXPECT_NEAR(mixture.Components[i].MassFlow_gmin, fullScale_gmin * c.setpoints[i] / 100, 1e-6);
        EXPECT_TRUE(EvaluateMixRecipe(c.recipe, "Name").Valid);
    }
    // An empty recipe or one without flow has no fractions: no question about water is asked.
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(" | ").toStdString();
}

TEST_F(MixRecipeTest, PumpLineBringsWaterAndTheHumidityTable)
{
    TGasItem mixture;
    QString error;
    ASSERT_TRUE(ParseMixRecipe("COM6 50\r\nCOM5 40", mixture, error)) << error.toStdString();
    ASSERT_EQ(mixture.Components.size(), 2u);
    const TGasItem& water = mixture.Components[1];
    EXPECT_EQ(water.AlicatID, 1001);
    // 40 % of 1250 µl/min with the 50 µl syringe, as the dosing plan achieves it.
    TPumpSpeedDetails plan;
    plan.SyringeVolume_ul = 50;
    plan.DesiredDispense_ugpm = 500000;
    PumpCommandForDispense(plan);
    EXPECT_GT(plan.AchievedDispense_ugpm, 0);
    EXPECT_DOUBLE_EQ(water.MassFlow_gmin, plan.AchievedDispense_ugpm / 1e6);

    const TMixRecipeEvaluation page = EvaluateMixRecipe("COM6 50\r\nCOM5 40", "Humid air");
    ASSERT_TRUE(page.Valid);
    const QStringList lines = page.Text.split("\r\n");
    EXPECT_EQ(lines[0], "Mixture: 'Humid air'");
    const qsizetype fluid = lines.indexOf("  Mixture has fluid:");
    ASSERT_GT(fluid, 0);
    EXPECT_GT(fluid, lines.indexOf("  Volumetric flows, ml/min:"));
    EXPECT_EQ(lines[fluid + 1], "    ºC      BarA  Max ppm/100%RH  Current ppm     RH %  Dew point ºC");
    EXPECT_TRUE(lines[fluid + 2].startsWith("     0   1.01325  "));
    EXPECT_TRUE(lines[fluid + 6].startsWith("   150   1.01325  "));
    EXPECT_EQ(lines.size(), fluid + 8); // five conditions, then the final line end

    // With nothing flowing the water is still named, with the table's header and the reason.
    const QStringList still = EvaluateMixRecipe("COM6 0\r\nCOM5 0", "Still").Text.split("\r\n");
    const qsizetype stillFluid = still.indexOf("  Mixture has fluid:");
    ASSERT_GT(stillFluid, 0) << still.join("\n").toStdString();
    EXPECT_EQ(still.mid(stillFluid + 1), (QStringList{lines[fluid + 1], "  No flow: the humidity is not defined.", ""}));
}

class MixSegmentsAddTest : public MixRecipeTest {};

TEST_F(MixSegmentsAddTest, EachNamedDeviceGetsItsSegmentAtTheRoundedMinute)
{
    struct Case {
        const char* recipe;
        double time;
        const char* note;
        const char* program; // COM6's program afterwards (it starts empty)
    };
    const Case cases[] = {
        {"COM6 50 Ramp", 3, "", "3 50 Step\r\n"}, // only a lone R ramps
        {"COM6 12.5 R", 2.5, "a b_c.d", "2 12.5 Ramp a_bcd\r\n"}, // halves go to the even minute
        {"COM6 12.5 r", 3.5, "", "4 12.5 Ramp\r\n"},
        {"com6 5.5 S", 0.4, "", "0 5.5 Step\r\n"},
        {"COM6 50\r\nCOM6 20 R", 7, "", "7 20 Ramp\r\n"}, // the later line replaces the minute
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe);
        InstallDevices();
        ASSERT_TRUE(EvaluateMixRecipe(c.recipe, "Name").Valid);
        const TMixSegmentsAddResult result = AddMixSegments(c.recipe, true, c.time, c.note);
        EXPECT_TRUE(result.Message.isEmpty()) << result.Message.toStdString();
        EXPECT_EQ(result.ChangedPorts, QStringList{"COM6"});
        EXPECT_EQ(DeviceOn("COM6").SegmentProgram, QString::fromLatin1(c.program));
    }
}

TEST_F(MixSegmentsAddTest, MergesIntoTheProgramAndLogsEachStep)
{
    TDeviceInfo device = DeviceOn("COM6");
    device.SegmentProgram = "10 100 Step\r\n2 30 Ramp";
    SetDeviceByPort(device);
    const TMixSegmentsAddResult result = AddMixSegments("COM6 50\r\nCOM5 20 S", true, 5, "dry run");
    EXPECT_TRUE(result.Message.isEmpty());
    EXPECT_EQ(result.ChangedPorts, (QStringList{"COM6", "COM5"}));
    EXPECT_EQ(DeviceOn("COM6").SegmentProgram, "2 30 Ramp\r\n5 50 Step dry_run\r\n10 100 Step\r\n");
    EXPECT_EQ(DeviceOn("COM5").SegmentProgram, "5 20 Step dry_run\r\n");
    EXPECT_EQ(result.LogLines, (QStringList{
                                   "Segment Program Modify for Device: COM6",
                                   "Try adding: 5 50 Step dry_run",
                                   "Resulting segment program: \r\n2 30 Ramp\r\n5 50 Step dry_run\r\n10 100 Step\r\n",
                                   "Segment Program Modify for Device: COM5",
                                   "Try adding: 5 20 Step dry_run",
                                   "Resulting segment program: \r\n5 20 Step dry_run\r\n",
                               }));
}

TEST_F(MixSegmentsAddTest, SetpointIsStoredWithAPointUnderACommaLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TMixSegmentsAddResult result = AddMixSegments("COM6 12.5", true, 1, "");
    EXPECT_TRUE(result.Message.isEmpty());
    EXPECT_EQ(DeviceOn("COM6").SegmentProgram, "1 12.5 Step\r\n");
}

TEST_F(MixSegmentsAddTest, LinesWithoutAKnownDeviceAreSkipped)
{
    // A leading blank leaves the first item empty: the evaluation accepts the line, Add skips it.
    ASSERT_TRUE(EvaluateMixRecipe(" COM6 50", "Name").Valid);
    const TMixSegmentsAddResult result = AddMixSegments(" COM6 50\r\n\r\nCOM9 20", true, 1, "");
    EXPECT_TRUE(result.Message.isEmpty());
    EXPECT_TRUE(result.ChangedPorts.isEmpty());
    EXPECT_TRUE(result.LogLines.isEmpty());
    EXPECT_TRUE(DeviceOn("COM6").SegmentProgram.isEmpty());
}

TEST_F(MixSegmentsAddTest, PortsThatAreDevicePathsAreNamedAsListed)
{
    // Serial ports outside Windows are case-sensitive paths; the recipe names them as listed,
    // or in other letter case when no listed port matches exactly.
    DevicesLocal.push_back(ConfiguredController("/dev/ttyUSB0", 0));
    const TMixRecipeEvaluation page = EvaluateMixRecipe("/dev/ttyUSB0 50\r\n/DEV/TTYUSB0 10 R", "Name");
    ASSERT_TRUE(page.Valid) << page.Text.toStdString();
    const TMixSegmentsAddResult result = AddMixSegments("/dev/ttyUSB0 50\r\n/DEV/TTYUSB0 10 R", true, 2, "");
    EXPECT_TRUE(result.Message.isEmpty()) << result.Message.toStdString();
    EXPECT_EQ(result.ChangedPorts, QStringList{"/dev/ttyUSB0"});
    EXPECT_EQ(DeviceOn("/dev/ttyUSB0").SegmentProgram, "2 10 Ramp\r\n");
}

TEST_F(MixSegmentsAddTest, RefusalsLeaveEveryProgramAsItWas)
{
    TDeviceInfo demo = DeviceOn("COMX");
    demo.FluidID = 8;
    SetDeviceByPort(demo);
    const QString demoProgram = demo.SegmentProgram;
    ASSERT_TRUE(demoProgram.contains("12.5 30 Ramp"));
    ASSERT_TRUE(EvaluateMixRecipe("COM6 50\r\nCOMX 20", "Name").Valid);

    struct Case {
        const char* recipe;
        bool valid;
        double time;
        const char* message;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"COM6 50", false, 1, "Cannot add invalid recipe"},
        // The demo program holds a point at 12.5 minutes: COM6, named first, stays unchanged too.
        {"COM6 50\r\nCOMX 20", true, 1,
         "Cannot add the recipe: the segment program of COMX has the point \"12.5 30 Ramp\", whose time is not a "
         "whole minute. No segment program was changed."},
        {"COM6 50\r\nCOM5 20", true, 1e12, "'1000000000000' is not a valid integer value"},
        {"COM6 50", true, nan, "'nan' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipe);
        const TMixSegmentsAddResult result = AddMixSegments(c.recipe, c.valid, c.time, "");
        EXPECT_EQ(result.Message, QString::fromLatin1(c.message));
        EXPECT_TRUE(result.ChangedPorts.isEmpty());
        EXPECT_TRUE(DeviceOn("COM6").SegmentProgram.isEmpty());
        EXPECT_TRUE(DeviceOn("COM5").SegmentProgram.isEmpty());
        EXPECT_EQ(DeviceOn("COMX").SegmentProgram, demoProgram);
    }
}

} // namespace
