#include "PagesTestSupport.h"
#include "core/QStringPrinter.h"

#include "ui/pages/DirectControl.h"
#include "ui/pages/SegmentRun.h"

#include "core/UserMessages.h"

#include <gtest/gtest.h>

namespace {

const QString A = QStringLiteral("COMX");
const QString B = QStringLiteral("COMY");

// Starting, stopping and direct control of the devices selected in the device list.
// Two demo devices named A and B; A configured (it has a worker), B not, unless told.
class RunningDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        DevicesLocal[0].NameRole = QStringLiteral("A");
        DevicesLocal[1].NameRole = QStringLiteral("B");
        DevicesLocal[0].ThreadMFC = workers.Controller();
    }
    void TearDown() override { ResetDevicesLocal(); }

    void ConfigureB() { DevicesLocal[1].ThreadMFC = workers.Controller(); }
    const TDeviceInfo& Device(const QString& port) const { return DevicesLocal[std::size_t(IndexOfDevicePort(port))]; }

    TestClock clock{QDateTime(QDate(2025, 6, 13), QTime(14, 5))};
    IdleWorkers workers;
    RecordingPagesWindow window;
    MessageCapture messages;
    double timeOrigin = 0;
};

TEST_F(RunningDevices, StartRunsTheConfiguredDevicesAndSetsTheTimeOriginOnce)
{
    const double started = clock.Days();
    StartSegmentPrograms({A, B}, timeOrigin, window);
    EXPECT_EQ(window.saves, QStringList{QStringLiteral("force StartSegmentsClick")});
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Start segment program for A")});
    EXPECT_EQ(window.flowSeriesCleared, QStringList{A});
    EXPECT_EQ(window.shown, QStringList{A});
    EXPECT_EQ(Device(A).ControlMode, dcmSegment);
    EXPECT_EQ(Device(A).FlowStartTime, started);
    EXPECT_EQ(Device(B).ControlMode, dcmDirect); // untouched, in silence
    EXPECT_EQ(timeOrigin, started);
    EXPECT_TRUE(messages.Texts().isEmpty());

    // A second start restarts the program but keeps the chart's time origin.
    clock.Advance(90);
    ConfigureB();
    StartSegmentPrograms({A, B}, timeOrigin, window);
    EXPECT_EQ(Device(A).FlowStartTime, clock.Days());
    EXPECT_EQ(Device(B).FlowStartTime, clock.Days());
    EXPECT_EQ(timeOrigin, started);
}

TEST_F(RunningDevices, StartWithoutASelectionStillSetsTheTimeOrigin)
{
    StartSegmentPrograms({}, timeOrigin, window);
    EXPECT_EQ(timeOrigin, clock.Days());
    EXPECT_TRUE(window.log.isEmpty());
}

TEST_F(RunningDevices, StopSetsIdleAtZeroAndTellsTheWorkersAtOnce)
{
    TDeviceInfo pump = DevicesLocal[1];
    pump.COMPort = QStringLiteral("COMP");
    pump.NameRole = QStringLiteral("P");
    pump.DevType = dtPump;
    pump.ThreadMFC = nullptr;
    pump.ThreadPump = workers.Pump();
    DevicesLocal.push_back(pump);
    for (TDeviceInfo& device : DevicesLocal) {
        device.ControlMode = dcmSegment;
        device.Setpoint_pct = 40;
    }
    TMFCThread& controller = *Device(A).ThreadMFC;
    controller.GUIOut.DeviceStatus.Setpoint_pct = 40;
    TPSD4Thread& pumpWorker = *Device(QStringLiteral("COMP")).ThreadPump;
    pumpWorker.GUIOut.Setpoint = 0.4;
    pumpWorker.GUIOut.Command = QStringLiteral("gIV6000A24000OV8A0GR");

    StopDevices({A, B, QStringLiteral("COMP"), QStringLiteral("COM99")}, window);

    EXPECT_EQ(window.saves, QStringList{QStringLiteral("force StopSegmentsClick")});
    EXPECT_EQ(window.log, (QStringList{QStringLiteral("Stop device A"), QStringLiteral("Stop device P")}));
    EXPECT_EQ(window.shown, (QStringList{A, QStringLiteral("COMP")}));
    for (const QString& port : {A, QStringLiteral("COMP")}) {
        EXPECT_EQ(Device(port).ControlMode, dcmIdle) << port.toStdString();
        EXPECT_EQ(Device(port).Setpoint_pct, 0) << port.toStdString();
    }
    EXPECT_EQ(controller.GUIOut.DeviceStatus.Setpoint_pct, 0);
    EXPECT_EQ(pumpWorker.GUIOut.Setpoint, 0);
    EXPECT_EQ(pumpWorker.GUIOut.Command, QStringLiteral("TR"));
    EXPECT_EQ(Device(B).ControlMode, dcmSegment);
    EXPECT_EQ(Device(B).Setpoint_pct, 40);
}

TEST_F(RunningDevices, EachDeviceIsAppliedAtItsOwnTypedSetpoint)
{
    ConfigureB();
    StoreDirectSetpoint(Device(A), 40, window);
    StoreDirectSetpoint(Device(B), 70, window);
    ApplyDirectFlow({A, B}, timeOrigin, window);
    EXPECT_EQ(Device(A).Setpoint_pct, 40);
    EXPECT_EQ(Device(B).Setpoint_pct, 70);
    EXPECT_EQ(Device(A).ControlMode, dcmDirect);
    EXPECT_EQ(window.log, (QStringList{QStringLiteral("Set device:A to flow:40 %"), QStringLiteral("Set device:B to flow:70 %"),
                                       QStringLiteral("Device:B flow(gui):70 %")}));
    EXPECT_EQ(timeOrigin, clock.Days());
    EXPECT_TRUE(window.shown.isEmpty()); // rows catch up when the device is next shown
}

TEST_F(RunningDevices, ApplyingAgainChangesOnlyTheSetpoint)
{
    DevicesLocal[0].ControlMode = dcmIdle;
    StoreDirectSetpoint(Device(A), 20, window);
    ApplyDirectFlow({A}, timeOrigin, window);
    const double firstStart = clock.Days();
    EXPECT_EQ(Device(A).FlowStartTime, firstStart);

    clock.Advance(600);
    StoreDirectSetpoint(Device(A), 55.5, window);
    ApplyDirectFlow({A}, timeOrigin, window);
    EXPECT_EQ(Device(A).FlowStartTime, firstStart);
    EXPECT_EQ(Device(A).Setpoint_pct, 55.5);
    EXPECT_EQ(timeOrigin, firstStart);

    // A segment program in between ends, and the start time moves.
    DevicesLocal[0].ControlMode = dcmSegment;
    clock.Advance(60);
    ApplyDirectFlow({A}, timeOrigin, window);
    EXPECT_EQ(Device(A).ControlMode, dcmDirect);
    EXPECT_EQ(Device(A).FlowStartTime, clock.Days());
}

TEST_F(RunningDevices, AnUnconfiguredDeviceIsNamedAndTheOthersAreApplied)
{
    DevicesLocal[0].Setpoint_gui = 30;
    DevicesLocal[1].Setpoint_gui = 80;
    ApplyDirectFlow({B, A}, timeOrigin, window);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Cannot apply to unconfigured device: B")});
    EXPECT_EQ(Device(A).Setpoint_pct, 30);
    EXPECT_EQ(Device(B).Setpoint_pct, 0);
    EXPECT_EQ(Device(B).FlowStartTime, 0);
    EXPECT_EQ(window.log.last(), QStringLiteral("Device:A flow(gui):30 %"));
}

TEST_F(RunningDevices, ApplyWithoutASelectionOnlyWritesTheClosingLine)
{
    ApplyDirectFlow({}, timeOrigin, window);
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Device: flow(gui):0 %")});
    EXPECT_EQ(timeOrigin, clock.Days());
}

TEST_F(RunningDevices, ATypedSetpointIsKeptWithTheFocusedDeviceOnly)
{
    StoreDirectSetpoint(std::nullopt, 12, window);
    StoreDirectSetpoint(Device(B), 12.5, window);
    EXPECT_EQ(Device(B).Setpoint_gui, 12.5);
    EXPECT_EQ(Device(B).Setpoint_pct, 0);
    EXPECT_EQ(Device(A).Setpoint_gui, 0);

    TDeviceInfo gone = Device(A);
    gone.COMPort = QStringLiteral("COM99");
    StoreDirectSetpoint(gone, 50, window);
    EXPECT_EQ(window.log, QStringList{QStringLiteral("Saving device configuration failed")});
}

} // namespace
