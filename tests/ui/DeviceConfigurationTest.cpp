#include "PagesTestSupport.h"
#include "core/QStringPrinter.h"
#include "devices/RecordingWindow.h"
#include "devices/RuntimeTestSupport.h"

#include "core/Errors.h"
#include "core/GasTable.h"
#include "core/UserMessages.h"
#include "devices/KnownDevices.h"
#include "devices/Shutdown.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"
#include "ui/pages/DeviceConfiguration.h"

#include <gtest/gtest.h>

namespace {

TGasItem Gas(const char* shortName)
{
    TGasItem gas;
    EXPECT_TRUE(GetGas_ShortName(QString::fromLatin1(shortName), gas)) << shortName;
    return gas;
}

// The page as an operator leaves it after picking nitrogen for a controller.
TConfigureValues NitrogenControls()
{
    TConfigureValues controls;
    controls.Name = QStringLiteral("Cathode side");
    controls.Color = qRgb(1, 2, 3);
    controls.GasID = Gas("N2").AlicatID;
    controls.UnitName = QStringLiteral("ml/min");
    controls.Temperature = 0;
    controls.Pressure_BarA = 1;
    controls.PredefinedLine = 5;
    controls.FluidTemperatureC = 30;
    controls.SyringeSize_uL = 250;
    controls.DirectSetpoint = 40;
    return controls;
}

const auto IgnoreLog = [](const QString&) {};

class DeviceConfiguration : public ::testing::Test {
protected:
    void SetUp() override { ResetDevicesLocal(); }
    void TearDown() override
    {
        TerminateThreads(shutdownWindow, 20);
        ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 10000);
        ResetDevicesLocal();
    }

    TDeviceInfo Device(int index) const { return DevicesLocal[std::size_t(index)]; }

    RecordingPagesWindow window;
    RecordingWindow shutdownWindow;
    MessageCapture messages;
};

TEST(ColorCode, BlueGreenRedAsAnEightDigitNumberWithoutTransparency)
{
    struct Case {
        QRgb color;
        const char* text;
    };
    const Case cases[] = {
        {qRgb(0, 255, 255), "16776960"},        // the page's initial aqua
        {qRgb(255, 0, 0), "00000255"},
        {qRgba(255, 255, 255, 0), "16777215"},
        {qRgb(0, 0, 0), "00000000"},
        {qRgba(0x12, 0x34, 0x56, 0x80), "05649426"}, // 0x56 × 65536 + 0x34 × 256 + 0x12
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorCodeText(c.color), QString::fromLatin1(c.text));
}

TEST_F(DeviceConfiguration, FlowTypeFollowsTheListChoiceOnly)
{
    struct Case {
        int predefinedLine;
        const char* unitName;
        TGasFlowType expected;
    };
    const Case cases[] = {
        {1, "g/min", gfuGrams},
        {-1, "g/min", gfuVolumetric}, // typed by hand, no line chosen
        {0, "g/min", gfuVolumetric},  // the header
        {3, "ml/min", gfuVolumetric},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.predefinedLine);
        TConfigureValues controls = NitrogenControls();
        controls.PredefinedLine = c.predefinedLine;
        controls.UnitName = QString::fromLatin1(c.unitName);
        TDeviceInfo device = Device(0);
        ASSERT_TRUE(DeviceDetailsCode(controls, device, IgnoreLog));
        EXPECT_EQ(device.FlowUnitUser.GasFlowType, c.expected);
        EXPECT_EQ(device.FlowUnitUser.Name, controls.UnitName);
    }
}

TEST_F(DeviceConfiguration, ControllerTakesGasUnitAndCommonFields)
{
    TDeviceInfo device = Device(0);
    const TConfigureValues controls = NitrogenControls();
    ASSERT_TRUE(DeviceDetailsCode(controls, device, IgnoreLog));
    const TGasItem nitrogen = Gas("N2");
    EXPECT_EQ(device.FluidID, nitrogen.AlicatID);
    EXPECT_EQ(device.FlowUnitUser.GasMolarMass, nitrogen.GetMolarMass());
    EXPECT_EQ(device.FlowUnitDevice.GasMolarMass, nitrogen.GetMolarMass());
    // The data table's gas row reads the unit's gas name, which starts as Air.
    EXPECT_EQ(device.FlowUnitUser.GasName, QStringLiteral("N2"));
    EXPECT_EQ(device.FlowUnitDevice.GasName, QStringLiteral("N2"));
    EXPECT_EQ(device.FlowUnitUser.Temperature, 0);
    EXPECT_EQ(device.FlowUnitUser.Pressure_BarA, 1);
    EXPECT_EQ(device.NameRole, QStringLiteral("Cathode side"));
    EXPECT_EQ(device.Color, qRgb(1, 2, 3));
    EXPECT_EQ(device.FluidTemperatureC, 30);
    EXPECT_EQ(device.Setpoint_gui, 40);
    EXPECT_EQ(device.Setpoint_pct, Device(0).Setpoint_pct);
    // The device's own full scale is untouched.
    EXPECT_EQ(device.FlowUnitDevice.GasFlowMax(), Device(0).FlowUnitDevice.GasFlowMax());
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(DeviceConfiguration, WithoutAGasChoiceTheGasStaysAndAnUnknownNumberRaises)
{
    TConfigureValues controls = NitrogenControls();
    controls.GasID.reset();
    TDeviceInfo device = Device(0);
    device.FluidID = Gas("Ar").AlicatID;
    ASSERT_TRUE(DeviceDetailsCode(controls, device, IgnoreLog));
    EXPECT_EQ(device.FluidID, Gas("Ar").AlicatID);
    EXPECT_EQ(device.FlowUnitUser.GasMolarMass, Gas("Ar").GetMolarMass());

    device.FluidID = 9999;
    const TDeviceInfo before = device;
    EXPECT_THROW(DeviceDetailsCode(controls, device, IgnoreLog), TessalyError);
    EXPECT_EQ(device.NameRole, before.NameRole);
    EXPECT_EQ(device.Setpoint_gui, before.Setpoint_gui);
}

TEST_F(DeviceConfiguration, PumpTakesItsFluidAndLogsIt)
{
    TDeviceInfo pump;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    TConfigureValues controls = NitrogenControls();
    controls.GasID.reset();
    controls.PumpFluidID = 1001;
    QStringList log;
    ASSERT_TRUE(DeviceDetailsCode(controls, pump, [&log](const QString& line) { log << line; }));
    EXPECT_EQ(pump.FluidID, 1001);
    EXPECT_EQ(pump.FlowUnitUser.GasMolarMass, 10);
    EXPECT_EQ(pump.FlowUnitUser.GasName, QStringLiteral("H2O"));
    EXPECT_EQ(log, QStringList{QStringLiteral("Selected G(fluid)ID:1001")});
}

TEST_F(DeviceConfiguration, SyringeSizeMustBeOneThePumpTakes)
{
    struct Case {
        double size;
        bool valid;
    };
    const Case cases[] = {{250, true}, {12.5, true}, {12500, true}, {30, false}, {0, false}, {12500.001, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        messages.Clear();
        TConfigureValues controls = NitrogenControls();
        controls.SyringeSize_uL = c.size;
        TDeviceInfo device = Device(0);
        device.SyringeSizeuL = 1000;
        device.MaxFlow_ulpm = 25000;
        EXPECT_EQ(DeviceDetailsCode(controls, device, IgnoreLog), c.valid);
        EXPECT_EQ(device.SyringeSizeuL, c.valid ? c.size : 1000);
        EXPECT_EQ(device.MaxFlow_ulpm, c.valid ? 25 * c.size : 25000);
        EXPECT_EQ(messages.Texts(),
                  c.valid ? QStringList() : QStringList{QStringLiteral("Invalid syring volume, value ignored")});
        // The other fields are taken either way.
        EXPECT_EQ(device.NameRole, controls.Name);
    }
    TConfigureValues controls = NitrogenControls();
    TDeviceInfo device = Device(0);
    DeviceDetailsCode(controls, device, IgnoreLog);
    EXPECT_EQ(device.MaxFlow_ulpm, 6250);
}

TEST_F(DeviceConfiguration, ViewSelectsTheGasLineAirIsAGasUnconfiguredIsTheHeader)
{
    const std::vector<TGasListRow> rows = GasListRows();
    struct Case {
        int fluidID;
        int line;
    };
    const Case cases[] = {{-1, 0}, {0, 50}, {Gas("N2").AlicatID, -2}, {9999, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fluidID);
        TDeviceInfo device = Device(0);
        device.FluidID = c.fluidID;
        const TDeviceDetailsView view = DeviceDetailsView(device);
        ASSERT_TRUE(view.FlowUnit);
        EXPECT_FALSE(view.Pump);
        if (c.line == -2) {
            ASSERT_GT(view.FlowUnit->GasLine, 0);
            EXPECT_EQ(rows[std::size_t(view.FlowUnit->GasLine)].GasID, c.fluidID);
        } else {
            EXPECT_EQ(view.FlowUnit->GasLine, c.line);
        }
    }
    EXPECT_EQ(rows[50].GasID, 0);
}

TEST_F(DeviceConfiguration, ViewOfAPumpSelectsItsFluidOrTheHeader)
{
    TDeviceInfo pump;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    for (auto [fluidID, line] : {std::pair{-1, 0}, {0, 0}, {1001, 1}, {5, -1}}) {
        pump.FluidID = fluidID;
        const TDeviceDetailsView view = DeviceDetailsView(pump);
        ASSERT_TRUE(view.Pump);
        EXPECT_FALSE(view.FlowUnit);
        EXPECT_EQ(view.Pump->FluidLine, line) << fluidID;
    }
    pump.SyringeSizeuL = 250;
    pump.MaxFlow_ulpm = 6250;
    pump.FluidTemperatureC = 21;
    const TDeviceDetailsView view = DeviceDetailsView(pump);
    EXPECT_EQ(view.Pump->SyringeSize_uL, 250);
    EXPECT_EQ(view.Pump->SegmentMaxFlow, 6250);
    EXPECT_EQ(view.Pump->FluidTemperatureC, 21);
    EXPECT_EQ(view.Pump->SegmentFlowUnit, QStringLiteral("\u00B5l/min"));
    EXPECT_EQ(view.DeviceType, QStringLiteral("Dampor Pump"));
}

TEST_F(DeviceConfiguration, ViewShowsTheTypedSetpointAndHidesConditionsOfAGramUnit)
{
    TDeviceInfo device = Device(0);
    device.Setpoint_pct = 10;
    device.Setpoint_gui = 70;
    device.FlowUnitUser.GasFlowType = gfuGrams;
    device.FlowUnitUser.Name = QStringLiteral("g/min");
    TDeviceDetailsView view = DeviceDetailsView(device);
    EXPECT_EQ(view.DirectSetpoint, 70);
    EXPECT_EQ(view.SelectedDeviceLabel, QStringLiteral("Virtual Demo Simulated MFC"));
    EXPECT_EQ(view.DeviceType, QStringLiteral("Simulated MFC"));
    EXPECT_EQ(view.Name, QStringLiteral("Virtual Demo"));
    EXPECT_EQ(view.Color, NamedColor::Purple);
    EXPECT_FALSE(view.FlowUnit->ConditionBoxesVisible);
    EXPECT_EQ(view.FlowUnit->UnitName, QStringLiteral("g/min"));

    device.FlowUnitUser.GasFlowType = gfuVolumetric;
    device.FlowUnitUser.Temperature = 20;
    device.FlowUnitUser.Pressure_BarA = 1.01325;
    view = DeviceDetailsView(device);
    EXPECT_TRUE(view.FlowUnit->ConditionBoxesVisible);
    EXPECT_EQ(view.FlowUnit->Temperature, 20);
    EXPECT_EQ(view.FlowUnit->Pressure_BarA, 1.01325);
}

TEST_F(DeviceConfiguration, ApplyWithoutAFluidChoiceChangesNothing)
{
    TDeviceInfo pump;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    pump.COMPort = QStringLiteral("COMP");
    DevicesLocal.push_back(pump);
    TConfigureValues controls = NitrogenControls();
    controls.GasID.reset();
    controls.PumpFluidID.reset();

    ApplyConfiguration(Device(0), controls, window);
    ApplyConfiguration(Device(2), controls, window);
    ApplyConfiguration(std::nullopt, controls, window);

    EXPECT_EQ(messages.Texts(),
              (QStringList{QStringLiteral("No fluid selected for MFC"), QStringLiteral("No fluid selected for Pump")}));
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_EQ(device.ThreadMFC, nullptr);
        EXPECT_EQ(device.ThreadPump, nullptr);
        EXPECT_NE(device.NameRole, controls.Name);
    }
    EXPECT_EQ(window.ledsAdded, 0);
    EXPECT_TRUE(window.shown.isEmpty());
    EXPECT_TRUE(window.log.isEmpty());
}

TEST_F(DeviceConfiguration, FirstApplyStartsTheWorkerAndAddsAnLedLaterAppliesKeepBoth)
{
    TConfigureValues controls = NitrogenControls();
    controls.Color = qRgba(10, 20, 30, 0x40);
    ApplyConfiguration(Device(0), controls, window);

    TDeviceInfo stored = Device(0);
    ASSERT_NE(stored.ThreadMFC, nullptr);
    ASSERT_NE(stored.Led, nullptr);
    EXPECT_EQ(window.ledsAdded, 1);
    auto* led = static_cast<RecordedLed*>(stored.Led);
    EXPECT_EQ(led->OffColor, qRgba(10, 20, 30, 0xFF));
    EXPECT_EQ(stored.ControlMode, dcmIdle);
    EXPECT_EQ(stored.FluidID, Gas("N2").AlicatID);
    EXPECT_EQ(stored.Color, qRgba(10, 20, 30, 0x40));
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("COMX")});
    EXPECT_EQ(window.mixSetups, 1);
    EXPECT_TRUE(window.headerDue);
    // The simulated worker runs: its first reading comes back through the window's events.
    EXPECT_TRUE(ServeUntil([&] { return DevicesLocal[0].ThreadMFC->GUIIn.DeviceStatus.DataTime > 0; }, 5000));

    // Running directly, then applied again: idle, same worker and LED, new colour.
    DevicesLocal[0].ControlMode = dcmDirect;
    controls.Color = qRgb(200, 100, 0);
    controls.Name = QStringLiteral("Anode side");
    ApplyConfiguration(Device(0), controls, window);
    EXPECT_EQ(Device(0).ThreadMFC, stored.ThreadMFC);
    EXPECT_EQ(Device(0).Led, stored.Led);
    EXPECT_EQ(window.ledsAdded, 1);
    EXPECT_EQ(led->Colourings, 2);
    EXPECT_EQ(led->OffColor, qRgb(200, 100, 0));
    EXPECT_EQ(Device(0).ControlMode, dcmIdle);
    EXPECT_EQ(Device(0).NameRole, QStringLiteral("Anode side"));
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_TRUE(window.startUps.isEmpty()); // a controller's worker starts without a wait
}

TEST_F(DeviceConfiguration, AnInvalidSyringeSizeStillAppliesTheRest)
{
    TConfigureValues controls = NitrogenControls();
    controls.SyringeSize_uL = 30;
    const double maxFlowBefore = Device(1).MaxFlow_ulpm;
    ApplyConfiguration(Device(1), controls, window);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Invalid syring volume, value ignored")});
    EXPECT_NE(Device(1).ThreadMFC, nullptr);
    EXPECT_EQ(Device(1).NameRole, controls.Name);
    EXPECT_EQ(Device(1).MaxFlow_ulpm, maxFlowBefore);
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("COMY")});
}

TEST_F(DeviceConfiguration, ADeviceNoLongerInTheListGetsNoWorker)
{
    TDeviceInfo gone = Device(0);
    gone.COMPort = QStringLiteral("COM99");
    ApplyConfiguration(gone, NitrogenControls(), window);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Saving device configuration failed")});
    EXPECT_EQ(window.ledsAdded, 0);
    EXPECT_EQ(ActiveThreadCount(), 0);
    EXPECT_TRUE(window.shown.isEmpty());
}

TEST_F(DeviceConfiguration, ApplyingAPumpPreparesItAndStartsItsWorker)
{
    FastInstruments fast;
    PumpSimulatorOptions options;
    options.TimeScale = 0.01;
    SimulatorHost host(std::make_shared<PumpSimulator>(options));
    ASSERT_TRUE(host.IsOpen());
    TDeviceInfo pump;
    ASSERT_TRUE(GetKnownDevice(QStringLiteral("23011001"), pump));
    pump.COMPort = host.PortPath();
    DevicesLocal.push_back(pump);
    TConfigureValues controls = NitrogenControls();
    controls.PumpFluidID = 1001;
    controls.SyringeSize_uL = 1000;

    ApplyConfiguration(Device(2), controls, window);

    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
    ASSERT_NE(Device(2).ThreadPump, nullptr);
    EXPECT_EQ(Device(2).FluidID, 1001);
    EXPECT_EQ(Device(2).MaxFlow_ulpm, 25000);
    EXPECT_EQ(window.ledsAdded, 1);
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Selected G(fluid)ID:1001")});
    EXPECT_EQ(window.shown, QStringList{host.PortPath()});
    // The operator was told before the window froze for the pump's preparation, and the
    // notice ended with it.
    EXPECT_EQ(window.startUps, QStringList({QStringLiteral("Starting pump on ") + host.PortPath() + QStringLiteral(", up to 15 s"),
                                            QString()}));

    // A second Apply keeps the worker and prepares nothing.
    ApplyConfiguration(Device(2), controls, window);
    EXPECT_EQ(window.startUps.size(), 2);

    // Stopped while its simulator still answers: the pump confirms the stop.
    EXPECT_EQ(TerminateThreads(shutdownWindow, 20), QString());
}

} // namespace
