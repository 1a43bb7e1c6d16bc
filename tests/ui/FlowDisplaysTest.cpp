#include "core/PointAndCommaLocales.h"
#include "core/QStringPrinter.h"

#include "core/GasTable.h"
#include "devices/KnownDevices.h"
#include "instruments/PumpDispense.h"
#include "ui/pages/FlowDisplays.h"

#include <gtest/gtest.h>

namespace {

// The first demo controller: 50 SCCM full scale, the operator's unit ml/min at 25 °C.
TDeviceInfo DemoController()
{
    ResetDevicesLocal();
    return DevicesLocal[0];
}

TDeviceInfo PumpWithSyringe(double size_uL)
{
    TDeviceInfo pump;
    EXPECT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    pump.SyringeSizeuL = size_uL;
    pump.MaxFlow_ulpm = 25 * size_uL;
    return pump;
}

class ControllerFlowDisplays : public PointAndCommaLocales {};

TEST_P(ControllerFlowDisplays, FullScaleAndBothPagesFlowsInTheOperatorsUnit)
{
    struct Case {
        double fullScale_sccm;
        double percent; // the segment flow; the direct setpoint is the rest to 100 %
        const char* resulting;
        const char* direct;
    };
    const Case cases[] = {
        {50, 100, "50 ml/min", "0 ml/min"},
        {50, 12.5, "6@25 ml/min", "43@75 ml/min"},
        {50, 0, "0 ml/min", "50 ml/min"},
        {50, 33.3333, "16@666 65 ml/min", "33@333 35 ml/min"},
        {500000, 100, "500 000 ml/min", "0 ml/min"},
        {5000000, 100, "5000 000 ml/min", "0 ml/min"}, // beyond the pattern: no blank is invented
        {5000000, 75, "3750 000 ml/min", "1250 000 ml/min"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        TDeviceInfo device = DemoController();
        device.FlowUnitDevice.SetGasFlowMax(c.fullScale_sccm);
        const TFlowDisplays displays = FlowDisplaysFor(device, c.percent, 100 - c.percent);
        ASSERT_TRUE(displays.Shown);
        EXPECT_DOUBLE_EQ(displays.MaxFlow, c.fullScale_sccm);
        EXPECT_EQ(displays.UnitName, QStringLiteral("ml/min"));
        EXPECT_EQ(displays.SegmentResultingFlow, Local(QString::fromUtf8(c.resulting)));
        EXPECT_EQ(displays.DirectResultingFlow, Local(QString::fromUtf8(c.direct)));
        EXPECT_TRUE(displays.LogLines.isEmpty());
    }
}

INSTANTIATE_POINT_AND_COMMA_LOCALES(ControllerFlowDisplays);

TEST(FlowDisplays, ControllerFullScaleConvertsToOtherConditionsAndToGrams)
{
    TDeviceInfo device = DemoController();
    device.FlowUnitUser.Temperature = 0;
    TFlowDisplays displays = FlowDisplaysFor(device, 50, 50);
    ASSERT_TRUE(displays.Shown);
    EXPECT_NEAR(displays.MaxFlow, 50 * 273.15 / 298.15, 1e-9);

    TGasItem nitrogen;
    ASSERT_TRUE(GetGas_ShortName(QStringLiteral("N2"), nitrogen));
    device.FlowUnitUser = DefaultUnitGmin;
    device.FlowUnitUser.GasMolarMass = nitrogen.GetMolarMass();
    displays = FlowDisplaysFor(device, 50, 50);
    ASSERT_TRUE(displays.Shown);
    const double grams = GramsFromVolume(0.05, 1.01325, 298.15, nitrogen.GetMolarMass());
    EXPECT_NEAR(displays.MaxFlow, grams, grams * 1e-12);
    EXPECT_EQ(displays.UnitName, QStringLiteral("g/min"));
}

TEST(FlowDisplays, NothingShownWithoutADeviceOrWhenTheUnitCannotBeConverted)
{
    EXPECT_FALSE(FlowDisplaysFor(std::nullopt, 50, 50).Shown);
    TDeviceInfo device = DemoController();
    device.FlowUnitUser = TGasFlowDetails(); // undefined in every part
    const TFlowDisplays displays = FlowDisplaysFor(device, 50, 50);
    EXPECT_FALSE(displays.Shown);
    EXPECT_FALSE(displays.SegmentResultingFlow);
    EXPECT_FALSE(displays.DirectResultingFlow);
}

TEST(FlowDisplays, PumpShowsDesiredAndAchievableFlowsAndLogsBothPlans)
{
    const TDeviceInfo pump = PumpWithSyringe(250);
    const TFlowDisplays displays = FlowDisplaysFor(pump, 50, 0);
    ASSERT_TRUE(displays.Shown);
    EXPECT_EQ(displays.MaxFlow, 6250);
    EXPECT_EQ(displays.UnitName, pump.FlowUnitUser.Name);
    ASSERT_TRUE(displays.SegmentResultingFlow);
    EXPECT_TRUE(displays.SegmentResultingFlow->startsWith(QStringLiteral("Desired/Achievable || 3125 / ")))
        << displays.SegmentResultingFlow->toStdString();
    EXPECT_TRUE(displays.SegmentResultingFlow->contains(QStringLiteral(" || ") + pump.FlowUnitUser.Name
                                                        + QStringLiteral(" || Relative error:")));
    EXPECT_TRUE(displays.SegmentResultingFlow->endsWith(QStringLiteral(" %")));
    EXPECT_EQ(displays.DirectResultingFlow, QStringLiteral("Desired/Achievable || 0 / 0 || µl/min || Relative error:0 %"));

    // The segment page's plan first, then the direct control page's (0 %: the stop command).
    TPumpSpeedDetails half;
    half.SyringeVolume_ul = 250;
    half.DesiredDispense_ugpm = 3125000;
    PumpCommandForDispense(half);
    // Half the maximum flow is past the fastest speed code: the log says so after the program.
    EXPECT_EQ(displays.LogLines,
              (QStringList{half.Command,
                           QStringLiteral("Pump : 50 % asks 3125 µl/min, more than its 250 µL syringe can dose; "
                                          "it doses 1955.693 µl/min (31.29 %), its fastest."),
                           QStringLiteral("TR")}));
}

TEST(FlowDisplays, PumpTextCollapsesBlankPairsInOnePass)
{
    TDeviceInfo pump = PumpWithSyringe(250);
    pump.FlowUnitUser.Name = QStringLiteral("ul  /   min");
    const TFlowDisplays displays = FlowDisplaysFor(pump, 50, 50);
    EXPECT_TRUE(displays.SegmentResultingFlow->contains(QStringLiteral("|| ul /  min ||")))
        << displays.SegmentResultingFlow->toStdString();
}

} // namespace
