// The window driven the way an operator drives it, end to end: searching the simulated
// instruments, configuring and applying them, a segment program and a direct setpoint reaching
// the instruments, stopping, resetting and closing; and the two demo devices through the same
// pages. Instrument timings are short and the clock can jump ahead, so a run of minutes of
// program time takes seconds.
#include "OperatorWindowTest.h"
#include "SimulatedInstruments.h"

#include "core/DiagnosticLog.h"
#include "core/GasTable.h"
#include "core/SegmentProgram.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/WorkerThread.h"
#include "instruments/PumpDispense.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"
#include "tools/SimulatorHost.h"
#include "ui/DataTable.h"
#include "ui/DeviceListView.h"
#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"
#include "ui/MessageLog.h"
#include "ui/pages/ConfigurePage.h"
#include "ui/pages/DirectControlPage.h"
#include "ui/pages/SegmentEditorPage.h"
#include "ui/widgets/NumberBox.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <atomic>
#include <cmath>
#include <mutex>

namespace {

// What the window looked like whenever its events ran during a long wait.
class LockWatch : public QObject {
public:
    explicit LockWatch(TGUIF& window) : fWindow(window)
    {
        connect(&fTimer, &QTimer::timeout, this, [this] { Look(); });
        fTimer.start(0);
    }

    bool sawDisabled = false;
    QStringList captions;
    QStringList notices;
    QStringList progress;

private:
    void Look()
    {
        if (!fWindow.centralWidget()->isEnabled() && !fWindow.menuBar()->isEnabled())
            sawDisabled = true;
        Add(captions, fWindow.windowTitle());
        const auto* notice = fWindow.findChild<QLabel*>(QStringLiteral("LabelLockNotice"));
        if (notice && !notice->isHidden())
            Add(notices, notice->text());
        if (!fWindow.ProgressBar().isHidden())
            Add(progress, fWindow.ProgressText().text());
    }
    static void Add(QStringList& seen, const QString& text)
    {
        if (seen.isEmpty() || seen.last() != text)
            seen << text;
    }

    TGUIF& fWindow;
    QTimer fTimer;
};

// The cells of the data table's last line; empty when it is no data row.
QStringList LastDataRow(const DataTable& table)
{
    const QStringList lines = table.Text().split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return {};
    QStringList cells = lines.last().split(u'|');
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

using OperatorRun = OperatorWindowTest;

TEST_F(OperatorRun, SimulatedControllerAndPumpFromSearchToClose)
{
    FastInstruments fast;
    JumpingClock clock;
    const SimulatedControllerAndPump instruments;
    ASSERT_TRUE(instruments.IsOpen());
    const std::shared_ptr<ControllerSimulator>& controller = instruments.Controller;
    const std::shared_ptr<PumpSimulator>& pump = instruments.Pump;
    const QString controllerPort = instruments.ControllerHost.PortPath();
    const QString pumpPort = instruments.PumpHost.PortPath();
    const SearchOnly search({controllerPort, pumpPort});

    // Search Devices: the window is locked and names the port it waits for.
    {
        LockWatch watch(*window);
        window->MenuEntry(QStringLiteral("Search Devices"))->trigger();
        EXPECT_TRUE(watch.sawDisabled);
        EXPECT_TRUE(watch.progress.contains(QStringLiteral("Scanning ports, waiting for ") + controllerPort)) << watch.progress.join(u'|').toStdString();
    }
    window->TimerEngine().stop(); // the test runs the tick itself
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    ASSERT_EQ(window->ListViewDevices().topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(window->ListViewDevices(), controllerPort), QStringList({"Unknown", "Blendor", "MFC-A", "Prototype"}));
    EXPECT_EQ(RowTexts(window->ListViewDevices(), pumpPort), QStringList({"Unknown", "Dampor", "Pump", "Prototype"}));

    // The controller: nitrogen in ml/min at 0 °C.
    ConfigurePage& configure = window->Configure();
    ASSERT_TRUE(Focus(controllerPort));
    EXPECT_EQ(configure.EditDeviceType->text(), "Blendor MFC-A");
    EXPECT_FALSE(configure.GroupBoxFlowUnit->isHidden());
    EXPECT_TRUE(configure.GroupBoxPumpDetails->isHidden());
    ChooseGas("N2");
    configure.ComboBoxFlowUnitPredefined->setCurrentIndex(2); // 0 °C, 1.01325 bar (NIST)
    EXPECT_EQ(configure.EditFlowUnitName->text(), "ml/min");
    EXPECT_EQ(configure.EditFlowUnitTemperatureC->Value(), 0);
    EXPECT_EQ(configure.LabelUnitTemp->text(), QStringLiteral("32\u00BAF"));
    EXPECT_EQ(configure.LabelPSI->text(), "14.696 psi");
    EXPECT_FALSE(configure.EditFlowUnitPressureBar->isHidden());
    configure.ButtonApplyConfiguration->click();
    ASSERT_NE(Device(controllerPort).ThreadMFC, nullptr);
    EXPECT_EQ(RowTexts(window->ListViewDevices(), controllerPort), QStringList({"Ready", "Blendor", "MFC-A:N2", "Prototype"}));
    EXPECT_EQ(Device(controllerPort).FlowUnitUser.GasFlowType, gfuVolumetric);
    EXPECT_EQ(Device(controllerPort).FlowUnitUser.Temperature, 0);

    // The pump: water with a 250 µL syringe. Its preparation freezes the window; the operator
    // is told which port and for how long before that.
    ASSERT_TRUE(Focus(pumpPort));
    EXPECT_TRUE(configure.GroupBoxFlowUnit->isHidden());
    EXPECT_FALSE(configure.ComboBoxDeviceFluidPump->isHidden());
    configure.ComboBoxDeviceFluidPump->setCurrentIndex(1);
    configure.EditSyringeSize->SetValue(250);
    QString shownDuringStartUp;
    const DiagnosticSink previousSink = SetDiagnosticSink([&](const QString& category, const QString& line) {
        // Sent on the window's thread as the start-up begins.
        if (category == QLatin1String(LogCategory::DeviceInfo) && line == QStringLiteral("StartThread Pump")
            && shownDuringStartUp.isEmpty())
            shownDuringStartUp = window->ProgressText().text();
    });
    configure.ButtonApplyConfiguration->click();
    SetDiagnosticSink(previousSink);
    const QString startUp = QStringLiteral("Starting pump on ") + pumpPort + QStringLiteral(", up to 15 s");
    EXPECT_EQ(shownDuringStartUp, startUp);
    EXPECT_TRUE(Logged(startUp));
    EXPECT_EQ(window->ProgressText().text(), QString());
    ASSERT_NE(Device(pumpPort).ThreadPump, nullptr);
    EXPECT_EQ(Device(pumpPort).MaxFlow_ulpm, 6250);
    EXPECT_EQ(Device(pumpPort).FluidID, 1001);
    EXPECT_EQ(RowTexts(window->ListViewDevices(), pumpPort)[0], "Ready");
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();

    // A three-point program for the controller, replacing the one it came with: 25 % up to
    // one minute, then 75 % up to three, then nothing.
    ASSERT_TRUE(Focus(controllerPort));
    DeleteAllSegments();
    EnterSegment(0, 25, QStringLiteral("Step"));
    EnterSegment(1, 75, QStringLiteral("Step"));
    EnterSegment(3, 75, QStringLiteral("Ramp"));
    const SegmentEditorPage& editor = window->SegmentEditor();
    ASSERT_EQ(editor.ListViewSegmentProgram->topLevelItemCount(), 3);
    EXPECT_EQ(editor.ListViewSegmentProgram->topLevelItem(1)->text(0), "1");
    EXPECT_EQ(SegmentCount(Device(controllerPort).SegmentProgram), 3);
    // Its line on the chart, kept at its last flow a little beyond the end.
    const std::vector<QPointF>& requested = window->Chart().Points(DeviceSeries::IdOf(Device(controllerPort).SerieSegment));
    ASSERT_FALSE(requested.empty());
    EXPECT_EQ(requested.back(), QPointF(3.03, 75));
    // The full scale and the last entered flow in the operator's unit: 500 SCCM at 0 °C.
    EXPECT_NEAR(editor.RtDoubleEditSegmentMaxFlow->Value(), 500 * 273.15 / 298.15, 0.5);
    EXPECT_TRUE(QRegularExpression("^458\\.07\\d$").match(editor.RtDoubleEditSegmentMaxFlow->text()).hasMatch())
        << editor.RtDoubleEditSegmentMaxFlow->text().toStdString(); // shown to three decimals
    EXPECT_EQ(editor.LabelSpecifiedFlowUnit->text(), "ml/min");
    EXPECT_TRUE(editor.LabelResultingFlowinSpecifiedUnit->text().endsWith(" ml/min"));

    editor.ButtonSegmentProgramStart->click();
    EXPECT_EQ(RowTexts(window->ListViewDevices(), controllerPort)[0], "Segment");
    EXPECT_NE(window->TimeOrigin, 0);
    TGasItem nitrogen;
    ASSERT_TRUE(GetGas_ShortName(QStringLiteral("N2"), nitrogen));
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 16000 && controller->GasNumber() == nitrogen.AlicatID; }));

    clock.AdvanceMs(60 * 1000);
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 48000; }));
    // Readings reach the data table in ml/min at 0 °C (a row every three seconds).
    // 75 % of 500 SCCM (standard at 25 °C), the same gas at 0 °C.
    const double expected = 0.75 * 500 * 273.15 / 298.15;
    double shown = 0;
    EXPECT_TRUE(RunUntil([&] {
        clock.AdvanceMs(3100);
        const QStringList cells = LastDataRow(window->MemoData());
        bool number = false;
        shown = cells.value(1).toDouble(&number);
        return number && cells.value(2) == "?" && std::abs(shown - expected) < 0.01 * expected;
    })) << shown << " ml/min, expected " << expected;
    const std::vector<QPointF>& achieved = window->Chart().Points(DeviceSeries::IdOf(Device(controllerPort).SerieFlow));
    ASSERT_FALSE(achieved.empty());
    EXPECT_NEAR(achieved.back().y(), 75, 1);

    // Past the last point the program asks for nothing.
    const double pastEndDays = Device(controllerPort).FlowStartTime + 3.2 / 1440 - NowDays();
    clock.AdvanceMs(std::llround(pastEndDays * 86400 * 1000));
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 0; }));

    // A direct setpoint of 40 % for the pump: its dosing program reaches the pump.
    ASSERT_TRUE(Focus(pumpPort));
    DirectControlPage& direct = window->DirectControl();
    direct.RtDoubleEditDirectControlDesiredFlow->SetValue(40);
    EXPECT_EQ(Device(pumpPort).Setpoint_gui, 40);
    EXPECT_TRUE(direct.LabelDirectControlResultingFlow->text().startsWith("Desired/Achievable || "));
    direct.ButtonApplyFlow->click();
    EXPECT_EQ(Device(pumpPort).ControlMode, dcmDirect);
    TPumpSpeedDetails plan;
    plan.SyringeVolume_ul = 250;
    plan.DesiredDispense_ugpm = 0.4 * 6250 * 1000;
    PumpCommandForDispense(plan);
    EXPECT_TRUE(RunUntil([&] { return pump->LastProgram() == plan.Command.toLatin1(); }))
        << pump->LastProgram().toStdString() << " expected " << plan.Command.toStdString();

    // Stop both: the controller at zero, the pump's program ended.
    SelectAlso(controllerPort);
    const int stopsBefore = pump->TerminateCount();
    direct.ButtonDirectControlStop->click();
    EXPECT_EQ(RowTexts(window->ListViewDevices(), controllerPort)[0], "Ready");
    EXPECT_TRUE(RunUntil([&] { return controller->SetpointCounts() == 0 && pump->TerminateCount() > stopsBefore; }));

    // Reset Devices: locked with the emergency notice while the workers bring the instruments
    // to rest, then every device unconfigured.
    {
        LockWatch watch(*window);
        window->MenuEntry(QStringLiteral("Reset Devices"))->trigger();
        EXPECT_TRUE(watch.sawDisabled);
        EXPECT_TRUE(watch.notices.contains(QStringLiteral("In case on emergency, cut the power to any device to stop gas flow.")));
        EXPECT_TRUE(watch.captions.contains(QStringLiteral("Waiting for communication threads to stop device actions and "
                                                           "terminate. User interface will be unresponsive until done. ")));
    }
    EXPECT_EQ(window->windowTitle(), "Tessaly 2025-06-13 — data in " + Folder());
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    for (const QString& port : {controllerPort, pumpPort}) {
        EXPECT_EQ(RowTexts(window->ListViewDevices(), port)[0], "Unknown");
        EXPECT_EQ(Device(port).ThreadMFC, nullptr);
        EXPECT_EQ(Device(port).ThreadPump, nullptr);
        EXPECT_EQ(Device(port).Led, nullptr);
    }
    EXPECT_EQ(controller->SetpointCounts(), 0);
    EXPECT_LT(controller->MassFlowCounts(), 640);
    EXPECT_FALSE(pump->Busy());
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();

    EXPECT_TRUE(window->close());
    EXPECT_EQ(LogFiles().filter(" log ResetDevicesClick.txt").size(), 1) << LogFiles().join(", ").toStdString();
    EXPECT_EQ(LogFiles().filter(" log OnClose.txt").size(), 1) << LogFiles().join(", ").toStdString();
}

TEST_F(OperatorRun, AControllerThatStopsAnsweringIsNamedWhenTheResetGivesUp)
{
    FastInstruments fast;
    ControllerSimulatorOptions options;
    options.TimeScale = 0.01;
    const auto controller = std::make_shared<ControllerSimulator>(options);
    SimulatorHost host(controller);
    ASSERT_TRUE(host.IsOpen());
    const SearchOnly search({host.PortPath()});
    window->MenuEntry(QStringLiteral("Search Devices"))->trigger();
    window->TimerEngine().stop();
    ASSERT_TRUE(Focus(host.PortPath()));
    ChooseGas("Ar");
    window->Configure().ButtonApplyConfiguration->click();
    ASSERT_TRUE(RunUntil([&] { return Device(host.PortPath()).LastHandled > 0; }));

    ControllerFaults silent;
    silent.NoReply = true;
    controller->SetFaults(silent);
    window->ShutdownTimeout_s = 0.5;
    window->MenuEntry(QStringLiteral("Reset Devices"))->trigger();
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("These devices did not confirm zero flow within 0.5 s: Prototype (")
                                               + host.PortPath() + QStringLiteral(")")))
        << messages.Texts()[0].toStdString();
    // The window is the operator's again, the device unconfigured.
    EXPECT_TRUE(window->centralWidget()->isEnabled());
    EXPECT_EQ(RowTexts(window->ListViewDevices(), host.PortPath())[0], "Unknown");
    EXPECT_EQ(Device(host.PortPath()).ThreadMFC, nullptr);

    // The worker left behind keeps at it and ends once the controller confirms zero flow.
    controller->SetFaults({});
    EXPECT_TRUE(ServeUntil([] { return AbandonedWorkersRunning() == 0; }, 5000));
    EXPECT_EQ(controller->SetpointCounts(), 0);
}

TEST_F(OperatorRun, DemoDevicesThroughApplyASegmentProgramAndDirectControl)
{
    JumpingClock clock;
    const QString x = QStringLiteral("COMX");
    const QString y = QStringLiteral("COMY");
    for (const QString& port : {x, y}) {
        ASSERT_TRUE(Focus(port));
        ChooseGas(port == x ? "N2" : "Air");
        window->Configure().ButtonApplyConfiguration->click();
        EXPECT_EQ(RowTexts(window->ListViewDevices(), port), QStringList({"Ready", "Simulated", "MFC", "Virtual Demo"}));
        ASSERT_NE(Device(port).ThreadMFC, nullptr);
        ASSERT_NE(Device(port).Led, nullptr);
    }
    EXPECT_EQ(window->Leds().LedCount(), 3);

    // Both demo programs started together; five minutes in, the first is half way up its ramp
    // to 100 % at ten minutes.
    ASSERT_TRUE(Focus(x));
    SelectAlso(y);
    window->SegmentEditor().ButtonSegmentProgramStart->click();
    for (const QString& port : {x, y})
        EXPECT_EQ(RowTexts(window->ListViewDevices(), port)[0], "Segment");
    clock.AdvanceMs(5 * 60 * 1000);
    const auto setpoint = [](const QString& port) { return Device(port).ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct; };
    EXPECT_TRUE(RunUntil([&] { return std::abs(setpoint(x) - 50) < 0.5 && Device(y).LastHandled > 0; }))
        << setpoint(x);
    const double programY = SegmentAt(Device(y).SegmentProgram, Device(y).Elapsed_min()).Setpoint;
    EXPECT_NEAR(setpoint(y), programY, 1);
    for (const QString& port : {x, y})
        EXPECT_FALSE(window->Chart().Points(DeviceSeries::IdOf(Device(port).SerieFlow)).empty()) << port.toStdString();
    // Readings of both reach the data table (a device's cell is "?" in rows without a new one).
    const auto hasReading = [&](int column) {
        for (const QString& line : window->MemoData().Text().split(u'\n')) {
            bool number = false;
            line.split(u'|').value(column).trimmed().toDouble(&number);
            if (number)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(RunUntil([&] {
        clock.AdvanceMs(3100);
        return hasReading(1) && hasReading(2);
    }));

    // Each device at the setpoint typed for it.
    DirectControlPage& direct = window->DirectControl();
    ASSERT_TRUE(Focus(y));
    direct.RtDoubleEditDirectControlDesiredFlow->SetValue(70);
    ASSERT_TRUE(Focus(x));
    EXPECT_EQ(direct.RtDoubleEditDirectControlDesiredFlow->Value(), 0); // X's own, not Y's
    direct.RtDoubleEditDirectControlDesiredFlow->SetValue(40);
    SelectAlso(y);
    direct.ButtonApplyFlow->click();
    EXPECT_TRUE(RunUntil([&] { return setpoint(x) == 40 && setpoint(y) == 70; }));
    EXPECT_TRUE(Logged("Set device:Virtual Demo to flow:70 %"));

    // Stopped from the Design segments page.
    window->SegmentEditor().ButtonSegmentProgramStop->click();
    for (const QString& port : {x, y}) {
        EXPECT_EQ(RowTexts(window->ListViewDevices(), port)[0], "Ready");
        EXPECT_EQ(setpoint(port), 0);
    }
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();

    EXPECT_TRUE(window->close());
    EXPECT_EQ(Device(x).ThreadMFC, nullptr);
    EXPECT_EQ(LogFiles().filter(" log OnClose.txt").size(), 1);
}

} // namespace
