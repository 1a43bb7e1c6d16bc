// The engine tick: what it hands the workers through their exchange records, what it takes
// back into the chart, the operator's unit and the data table, and its pace. Workers are
// stand-ins that are never started (the tick only touches their records), except in the last
// tests, which run the demo controllers' workers.
#include "OperatorWindowTest.h"

#include "core/NumberText.h"
#include "core/SegmentProgram.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/Shutdown.h"
#include "instruments/PumpDispense.h"
#include "ui/DataTable.h"
#include "ui/DataTableLines.h"
#include "ui/DeviceListView.h"
#include "ui/DeviceSeries.h"
#include "ui/FlowChart.h"
#include "ui/control/ControlCommands.h"
#include "ui/LedStrip.h"
#include "ui/MessageLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QScrollBar>
#include <cmath>

namespace {

const QString Program = QStringLiteral("0 0 Step\r\n10 100 Ramp");

class EngineTickTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        clock = std::make_unique<FakeClock>(QDateTime(QDate(2025, 6, 13), QTime(12, 0)));
        window->TimeOrigin = NowDays() - 2 / MinutesPerDay;
    }

    void TearDown() override
    {
        for (TDeviceInfo& device : DevicesLocal) {
            device.ThreadMFC = nullptr;
            device.ThreadPump = nullptr;
        }
        fControllers.clear();
        fPumps.clear();
        clock.reset();
        WindowTest::TearDown();
    }

    // Gives DevicesLocal[index] a controller worker (not started), its LED and a gram unit.
    TMFCThread& AttachController(std::size_t index)
    {
        fControllers.push_back(std::make_unique<TMFCThread>());
        TDeviceInfo& device = DevicesLocal[index];
        device.ThreadMFC = fControllers.back().get();
        device.Led = window->AddLedForThread();
        device.FlowUnitUser = DefaultUnitGmin;
        device.FlowUnitDevice.GasMolarMass = 28;
        device.FluidID = 7;
        return *fControllers.back();
    }

    // Turns DevicesLocal[index] into a pump with a worker (not started).
    TPSD4Thread& AttachPump(std::size_t index)
    {
        fPumps.push_back(std::make_unique<TPSD4Thread>());
        TDeviceInfo& device = DevicesLocal[index];
        device.DevType = dtPump;
        device.ThreadPump = fPumps.back().get();
        device.SyringeSizeuL = 250;
        device.MaxFlow_ulpm = 6250;
        device.SegmentProgram = Program;
        return *fPumps.back();
    }

    // Starts the device's flow the given minutes ago.
    static void StartedMinutesAgo(TDeviceInfo& device, double minutes)
    {
        device.MarkFlowStart();
        device.FlowStartTime -= minutes / MinutesPerDay;
        device.FlowStartSteadyMs -= std::llround(minutes * 60000);
    }

    static void NewReading(TMFCThread& worker, double counts, double maxFlowgpm)
    {
        worker.GUIIn.DeviceStatus.DataTime = NowDays();
        worker.GUIIn.DeviceStatus.FlowRate_mass = counts;
        worker.GUIIn.DeviceStatus.MaxFlowgpm = maxFlowgpm;
    }

    // The cells of the last data row, without its time stamp.
    QStringList LastRowCells() const
    {
        const DataTable& table = window->MemoData();
        QStringList cells = table.Line(table.LineCount() - 1).split(QStringLiteral(" | "));
        cells.removeFirst();
        cells.removeLast();
        for (QString& cell : cells)
            cell = cell.trimmed();
        return cells;
    }

    const std::vector<QPointF>& Points(const TChartSeries* series) const
    {
        return window->Chart().Points(DeviceSeries::IdOf(series));
    }

    std::unique_ptr<FakeClock> clock;

private:
    std::vector<std::unique_ptr<TMFCThread>> fControllers;
    std::vector<std::unique_ptr<TPSD4Thread>> fPumps;
};

TEST_F(EngineTickTest, LostCommunicationShowsOnTheRowOnceInTheLogAndAsAQuestionMark)
{
    TMFCThread& worker = AttachController(0);
    TDeviceInfo& device = DevicesLocal[0];
    device.ControlMode = dcmDirect;
    window->DataTableHeaderDue = false;
    const auto state = [&] { return window->ListViewDevices().RowOfPort(device.COMPort)->text(DeviceListView::ColState); };
    const auto tickWithRow = [&] {
        clock->AdvanceMs(1000);
        window->Engine().LastDataRowTime = 0;
        Tick();
    };

    worker.GUIIn.Communication = {LinkState::PortInUse, 3, QStringLiteral("Failed to setup Com port, port in use"), 0, {}};
    NewReading(worker, 32000, 2); // a reading from before the failures, not yet handled
    tickWithRow();
    tickWithRow();
    EXPECT_EQ(state(), QStringLiteral("Port in use"));
    EXPECT_EQ(LastRowCells().value(0), QStringLiteral("?"));
    const QStringList lost = window->MemoMain().Text().split(u'\n').filter(QStringLiteral("Port in use"));
    ASSERT_EQ(lost.size(), 1) << window->MemoMain().Text().toStdString();
    EXPECT_TRUE(lost[0].contains(device.COMPort) && lost[0].contains(QStringLiteral("Failed to setup Com port")))
        << lost[0].toStdString();

    worker.GUIIn.Communication = {LinkState::Ok, 41, QString(), 1, QStringLiteral("communication returned")};
    NewReading(worker, 32000, 2);
    tickWithRow();
    EXPECT_EQ(state(), QStringLiteral("Direct"));
    EXPECT_EQ(LastRowCells().value(0), QStringLiteral("1.0"));
    const QString log = window->MemoMain().Text();
    EXPECT_TRUE(log.contains(QStringLiteral("communication restored after 41 failed exchanges"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("controller initialised again (communication returned)"))) << log.toStdString();
}

TEST_F(EngineTickTest, ControllerGetsGasAndSetpointByModeAndItsReadingIsPlottedAndConverted)
{
    struct Case {
        tDeviceControlMode mode;
        double setpoint; // what the worker is told; -1: left alone
        bool plotted;
    };
    // Five minutes into "0 0 Step", "10 100 Ramp" the program asks for 50 %.
    const Case cases[] = {{dcmDirect, 40, true}, {dcmSegment, 50, true}, {dcmIdle, -1, false}};
    for (const Case& c : cases) {
        clock->AdvanceMs(1000);
        TMFCThread& worker = AttachController(0);
        TDeviceInfo& device = DevicesLocal[0];
        device.ControlMode = c.mode;
        device.Setpoint_pct = 40;
        device.SegmentProgram = Program;
        StartedMinutesAgo(device, 5);
        worker.GUIOut.DeviceStatus.Setpoint_pct = -1;
        NewReading(worker, 32000, 2); // half of 2 g/min
        std::vector<bool> ledsLitDuringPause;
        window->Engine().SetSleep([&](int ms) {
            if (ms == EngineTick::LedPauseMs)
                ledsLitDuringPause = {dynamic_cast<DeviceLed*>(DevicesLocal[0].Led)->IsOn(), window->EngineLed->IsOn()};
        });
        window->DataTableHeaderDue = false;
        window->Engine().LastDataRowTime = 0;

        Tick();

        EXPECT_EQ(worker.GUIOut.DeviceStatus.GasID, 7) << c.mode;
        EXPECT_NEAR(worker.GUIOut.DeviceStatus.Setpoint_pct, c.setpoint, 1e-6) << c.mode;
        EXPECT_EQ(DevicesLocal[0].LastHandled, worker.GUIIn.DeviceStatus.DataTime) << c.mode;
        EXPECT_DOUBLE_EQ(DevicesLocal[0].FlowUnitUser.GasFlowValue, 1.0) << c.mode;
        EXPECT_EQ(LastRowCells(), QStringList({"1.0", "?"})) << c.mode;
        EXPECT_EQ(ledsLitDuringPause, std::vector<bool>({true, true})) << c.mode;
        EXPECT_FALSE(dynamic_cast<DeviceLed*>(DevicesLocal[0].Led)->IsOn());
        EXPECT_FALSE(window->EngineLed->IsOn());
        if (c.plotted) {
            ASSERT_EQ(Points(DevicesLocal[0].SerieFlow).size(), 1u) << c.mode;
            EXPECT_NEAR(Points(DevicesLocal[0].SerieFlow)[0].x(), (NowDays() - window->TimeOrigin) * MinutesPerDay, 1e-9);
            EXPECT_DOUBLE_EQ(Points(DevicesLocal[0].SerieFlow)[0].y(), 50.0);
            window->ClearGraph(true);
        } else {
            EXPECT_TRUE(Points(DevicesLocal[0].SerieFlow).empty()) << c.mode;
        }
    }
}

// A script's reading is the one the window shows: the worker's newer reading waits for its tick.
TEST_F(EngineTickTest, AControllersReadingForScriptsIsTheOneTheTickProcessed)
{
    TMFCThread& worker = AttachController(0);
    DevicesLocal[0].ControlMode = dcmDirect;
    NewReading(worker, 32000, 2); // 1 g/min
    worker.GUIIn.DeviceStatus.ErrorFlags.Include(TAlicatError::HLD);
    Tick();
    const QJsonObject ticked = ControlCommands::Reading(DevicesLocal[0]);

    clock->AdvanceMs(1000);
    NewReading(worker, 64000, 2);
    worker.GUIIn.DeviceStatus.ErrorFlags = {};
    const QJsonObject reading = ControlCommands::Reading(DevicesLocal[0]);
    EXPECT_EQ(reading, ticked);
    EXPECT_EQ(reading.value("flow"), 1.0);
    EXPECT_EQ(reading.value("flow_gpm"), 1.0);
    EXPECT_EQ(reading.value("status"), QJsonArray({"HLD"}));

    Tick();
    EXPECT_EQ(ControlCommands::Reading(DevicesLocal[0]).value("flow_gpm"), 2.0);
    EXPECT_EQ(ControlCommands::Reading(DevicesLocal[0]).value("status"), QJsonArray());
}

TEST_F(EngineTickTest, ControllerWithoutNewReadingOrStoppedGetsOnlyItsGas)
{
    TMFCThread& worker = AttachController(0);
    DevicesLocal[0].ControlMode = dcmDirect;
    DevicesLocal[0].Setpoint_pct = 40;
    NewReading(worker, 32000, 2);
    DevicesLocal[0].LastHandled = worker.GUIIn.DeviceStatus.DataTime; // already handled
    worker.GUIOut.DeviceStatus.Setpoint_pct = -1;
    Tick();
    EXPECT_EQ(worker.GUIOut.DeviceStatus.GasID, 7);
    EXPECT_EQ(worker.GUIOut.DeviceStatus.Setpoint_pct, -1);
    EXPECT_EQ(DevicesLocal[0].SerieFlow, nullptr);
    EXPECT_EQ(LastRowCells(), QStringList({"?", "?"}));

    clock->AdvanceMs(5000);
    NewReading(worker, 32000, 2);
    worker.GUIIn.IsTerminated = true;
    DevicesLocal[0].FluidID = 8;
    Tick();
    EXPECT_EQ(worker.GUIOut.DeviceStatus.GasID, 8);
    EXPECT_EQ(worker.GUIOut.DeviceStatus.Setpoint_pct, -1);
    EXPECT_EQ(LastRowCells(), QStringList({"?", "?"}));
}

TEST_F(EngineTickTest, ControllerWithoutFullScaleShowsNoFlowAndItsRowAndLogSayWhy)
{
    TMFCThread& worker = AttachController(0);
    TDeviceInfo& device = DevicesLocal[0];
    device.ControlMode = dcmDirect;
    device.Setpoint_pct = 40;
    device.FlowUnitUser.GasFlowValue = 0.5; // the last reading it had
    worker.GUIIn.FullScaleUnknown = true;
    worker.GUIIn.Report.Condition = FullScaleUnknownCondition;
    worker.GUIIn.Report.Notices = {QStringLiteral("full scale unknown (reply: \"A ?\"); its flows are left out")};
    NewReading(worker, 32000, 0);
    const auto stateOfRow = [&] {
        return window->ListViewDevices().RowOfPort(device.COMPort)->text(DeviceListView::ColState);
    };
    window->Engine().LastDataRowTime = 0;
    window->MemoMain().Clear();
    Tick();

    EXPECT_DOUBLE_EQ(worker.GUIOut.DeviceStatus.Setpoint_pct, 40); // still driven in percent
    EXPECT_EQ(LastRowCells(), QStringList({"?", "?"}));
    EXPECT_EQ(device.SerieFlow, nullptr);
    EXPECT_EQ(device.FlowUnitUser.GasFlowValue, 0.5); // no false 0
    EXPECT_EQ(stateOfRow(), QStringLiteral("full scale unknown"));
    const QString log = window->MemoMain().Text();
    EXPECT_TRUE(log.contains(device.NameRole + QStringLiteral(" (COMX): full scale unknown (reply: \"A ?\")"))) << log.toStdString();
    EXPECT_TRUE(worker.GUIIn.Report.Notices.isEmpty());

    // Each notice is logged once; when the full scale arrives the row shows the mode again.
    clock->AdvanceMs(4000);
    worker.GUIIn.FullScaleUnknown = false;
    worker.GUIIn.Report.Condition.clear();
    NewReading(worker, 32000, 2);
    window->MemoMain().Clear();
    Tick();
    EXPECT_EQ(LastRowCells(), QStringList({"1.0", "?"}));
    EXPECT_EQ(Points(device.SerieFlow).size(), 1u);
    EXPECT_EQ(stateOfRow(), QStringLiteral("Direct"));
    EXPECT_TRUE(window->MemoMain().Text().isEmpty());
}

TEST_F(EngineTickTest, PumpInSegmentModeIsDosedByTheMiddleOfTheHalfMinute)
{
    struct Case {
        double elapsed;
        double probe;
    };
    // Elapsed times are whole milliseconds: 4.00002 is one past four minutes.
    const Case cases[] = {{3.9, 3.75}, {4.00002, 4.25}, {4.4, 4.25}};
    TPSD4Thread& worker = AttachPump(1);
    worker.GUIIn.Setpoint = 0.3;
    for (const Case& c : cases) {
        DevicesLocal[1].ControlMode = dcmSegment;
        StartedMinutesAgo(DevicesLocal[1], c.elapsed);
        window->MemoMain().Clear();
        Tick();

        const double fraction = c.probe * 10 / 100; // the ramp to 100 % at 10 minutes
        TPumpSpeedDetails plan;
        plan.Init();
        plan.SyringeVolume_ul = 250;
        plan.DesiredDispense_ugpm = 6250 * fraction * 1000;
        PumpCommandForDispense(plan);
        EXPECT_DOUBLE_EQ(worker.GUIOut.Setpoint, fraction) << c.elapsed;
        EXPECT_EQ(worker.GUIOut.Command, plan.Command) << c.elapsed;

        QStringList lines = window->MemoMain().Text().split(u'\n');
        for (QString& line : lines)
            line = line.mid(13); // the time stamps
        QStringList expected = {
            " Pump segment program",
            "     Elapsed time, m : " + FloatToStr(DevicesLocal[1].Elapsed_min()),
            "       Floor time, m : " + FloatToStr(c.probe - 0.25),
            "Floor time+offset, m : " + FloatToStr(c.probe),
            "  Device max flow, µL: 6250",
            "         Setpoint, % : " + FloatToStr(fraction),
            " Desired dispense, µg: " + FloatToStr(plan.DesiredDispense_ugpm),
            " Achieveddispense, µg: " + FloatToStr(plan.AchievedDispense_ugpm),
            "              Command: " + plan.Command,
        };
        // 37.5 % and 42.5 % are both past the fastest speed code: one program, told once.
        if (c.elapsed == 3.9)
            expected << "Pump COMY: 37.5 % asks 2343.75 µl/min, more than its 250 µL syringe can dose; it doses "
                        "1955.693 µl/min (31.29 %), its fastest.";
        EXPECT_EQ(lines, expected) << c.elapsed;
    }
    // Plotted from what the pump thread last applied; its data column stays "?".
    ASSERT_EQ(Points(DevicesLocal[1].SerieFlow).size(), 3u);
    EXPECT_DOUBLE_EQ(Points(DevicesLocal[1].SerieFlow)[0].y(), 30.0);
    EXPECT_EQ(LastRowCells(), QStringList({"?", "?"}));
}

TEST_F(EngineTickTest, PumpInDirectModeAndIdle)
{
    TPSD4Thread& worker = AttachPump(0);
    DevicesLocal[0].ControlMode = dcmDirect;
    DevicesLocal[0].Setpoint_pct = 20;
    Tick();
    TPumpSpeedDetails plan;
    plan.Init();
    plan.SyringeVolume_ul = 250;
    plan.DesiredDispense_ugpm = 0.2 * 6250 * 1000;
    PumpCommandForDispense(plan);
    EXPECT_EQ(worker.GUIOut.Command, plan.Command);
    EXPECT_DOUBLE_EQ(worker.GUIOut.Setpoint, 0.2);
    EXPECT_TRUE(window->MemoMain().Text().isEmpty()); // the nine lines are for segment mode

    DevicesLocal[0].ControlMode = dcmIdle;
    worker.GUIOut.Command = "unchanged";
    Tick();
    EXPECT_EQ(worker.GUIOut.Command, "unchanged");
    EXPECT_EQ(Points(DevicesLocal[0].SerieFlow).size(), 1u); // an idle device adds no point
}

TEST_F(EngineTickTest, ASetpointBeyondWhatTheSyringeCanDoseIsToldOnceForEachNewProgram)
{
    TPSD4Thread& worker = AttachPump(0);
    DevicesLocal[0].ControlMode = dcmDirect;
    const QString note = QStringLiteral("Pump COMX: 50 % asks 3125 µl/min, more than its 250 µL syringe can dose; "
                                        "it doses 1955.693 µl/min (31.29 %), its fastest.");
    for (double setpoint : {50.0, 50.0, 20.0, 50.0}) {
        DevicesLocal[0].Setpoint_pct = setpoint;
        Tick();
    }
    EXPECT_EQ(worker.GUIOut.Command, QStringLiteral("gIV6000A24000OV1000A0GR"));
    EXPECT_EQ(window->MemoMain().Text().count(note), 2);
    EXPECT_EQ(window->MemoMain().Text().count(QStringLiteral("syringe can dose")), 2); // none for 20 %
}

TEST_F(EngineTickTest, APumpSetpointOutsideTheRangeIsDosedAtItsNearestEndAndLogged)
{
    TPSD4Thread& worker = AttachPump(0);
    struct Case {
        tDeviceControlMode mode;
        double setpoint; // direct setpoint, or the program's only point
        double sent;
    };
    for (const Case c : {Case{dcmDirect, 150, 100}, Case{dcmDirect, -40, 0}, Case{dcmSegment, 250, 100},
                         Case{dcmSegment, -5, 0}}) {
        SCOPED_TRACE(c.setpoint);
        window->MemoMain().Clear();
        DevicesLocal[0].ControlMode = c.mode;
        DevicesLocal[0].Setpoint_pct = c.setpoint;
        DevicesLocal[0].SegmentProgram = QStringLiteral("0 %1 Step\r\n100 0 Step").arg(c.setpoint);
        StartedMinutesAgo(DevicesLocal[0], 1);
        Tick();
        TPumpSpeedDetails plan;
        plan.SyringeVolume_ul = 250;
        plan.DesiredDispense_ugpm = c.sent / 100 * 6250 * 1000;
        PumpCommandForDispense(plan);
        EXPECT_EQ(worker.GUIOut.Command, plan.Command);
        EXPECT_DOUBLE_EQ(worker.GUIOut.Setpoint, c.sent / 100);
        EXPECT_TRUE(window->MemoMain().Text().contains(QStringLiteral("Setpoint %1% is outside 0 … 100 %, sending %2%")
                                                           .arg(c.setpoint)
                                                           .arg(c.sent)));
    }
}

TEST_F(EngineTickTest, DataRowsEveryThreeSecondsWithTheHeaderBefore)
{
    window->MenuEntry("Auto-scroll to last line")->trigger(); // off: nothing else changes
    Tick();
    const DataTable& table = window->MemoData();
    ASSERT_EQ(table.LineCount(), 6);
    const QStringList header = DataTableColumns(DevicesLocal);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.Line(i), header[i]);
    EXPECT_EQ(table.Line(5), DataRowStamp(ClockNow()) + DataRowCell(NoReading) + DataRowCell(NoReading));
    EXPECT_FALSE(window->DataTableHeaderDue);

    struct Step {
        int advanceMs;
        qsizetype lines;
    };
    // More than three seconds after the last row.
    const Step steps[] = {{1000, 6}, {1900, 6}, {600, 7}, {2900, 7}, {200, 8}};
    for (const Step& s : steps) {
        clock->AdvanceMs(s.advanceMs);
        Tick();
        EXPECT_EQ(table.LineCount(), s.lines) << s.advanceMs;
    }

    window->SetDataTableHeaderDue();
    clock->AdvanceMs(3500);
    Tick();
    ASSERT_EQ(table.LineCount(), 14);
    EXPECT_EQ(table.Line(8), header[0]);
    EXPECT_TRUE(table.Line(13).startsWith(DataRowStamp(ClockNow())));
}

TEST_F(EngineTickTest, DataTableFollowsItsLastLineOnlyWhileAutoScrollIsTicked)
{
    window->resize(900, 700);
    window->show();
    window->MenuEntry("Show Data Table")->trigger();
    QCoreApplication::processEvents();
    DataTable& table = window->MemoData();
    const QScrollBar& scroll = *table.verticalScrollBar();
    const auto addRows = [&](int rows) {
        for (int i = 0; i < rows; ++i) {
            clock->AdvanceMs(3500);
            Tick();
        }
    };

    ASSERT_TRUE(window->MenuEntry("Auto-scroll to last line")->isChecked());
    addRows(80);
    ASSERT_EQ(table.LineCount(), 85);
    ASSERT_GT(scroll.maximum(), 0) << "the view must hold fewer lines than the table";
    EXPECT_EQ(scroll.value(), scroll.maximum());
    EXPECT_GT(table.FirstVisibleLine(), 0);

    // Unticked, the view stays where the operator put it while rows arrive below.
    window->MenuEntry("Auto-scroll to last line")->trigger();
    ASSERT_FALSE(window->IsAutoScroll());
    table.verticalScrollBar()->setValue(7);
    const int maximumBefore = scroll.maximum();
    addRows(20);
    EXPECT_EQ(table.LineCount(), 105);
    EXPECT_EQ(scroll.value(), 7);
    EXPECT_EQ(table.FirstVisibleLine(), 7);
    EXPECT_EQ(scroll.maximum(), maximumBefore + 20);

    // Ticked again, the next row brings the last line back into view.
    window->MenuEntry("Auto-scroll to last line")->trigger();
    addRows(1);
    EXPECT_EQ(scroll.value(), scroll.maximum());
}

TEST_F(EngineTickTest, NoDevicesNoRows)
{
    DevicesLocal.clear();
    Tick();
    EXPECT_EQ(window->MemoData().LineCount(), 0);
}

TEST_F(EngineTickTest, AShortTickLastsAtLeastThirtyMilliseconds)
{
    QElapsedTimer first;
    first.start();
    Tick();
    // A busy machine can stretch the tick itself past the short tick; then no pause is due.
    if (first.elapsed() < EngineTick::ShortTickMs)
        EXPECT_EQ(sleeps, std::vector<int>({EngineTick::ShortTickMs}));
    else
        EXPECT_LE(sleeps.size(), 1u);
    window->Engine().SetSleep([](int ms) { QThread::msleep(ms); });
    QElapsedTimer timer;
    timer.start();
    Tick();
    EXPECT_GE(timer.elapsed(), EngineTick::ShortTickMs);
}

TEST_F(WindowTest, TickServesARunningDemoController)
{
    window->Engine().SetSleep([](int) {});
    window->TimeOrigin = NowDays();
    TDeviceInfo& comx = DevicesLocal[0];
    ASSERT_TRUE(comx.StartThread());
    comx.Led = window->AddLedForThread();
    ASSERT_EQ(comx.ControlMode, dcmDirect);
    DevicesLocal[0].FlowUnitUser.GasFlowValue = 123;
    ASSERT_TRUE(ServeUntil([] { return DevicesLocal[0].ThreadMFC->GUIIn.DeviceStatus.DataTime > 0; }, 5000));
    const TAlicatData reading = DevicesLocal[0].ThreadMFC->GUIIn.DeviceStatus;

    Tick();

    EXPECT_EQ(DevicesLocal[0].LastHandled, reading.DataTime);
    // The demo reports a few counts of an unknown full scale: zero in the operator's unit.
    EXPECT_EQ(DevicesLocal[0].FlowUnitUser.GasFlowValue, 0);
    const QString row = window->MemoData().Line(window->MemoData().LineCount() - 1);
    EXPECT_EQ(row.mid(23), DataRowCell(0) + DataRowCell(NoReading)) << row.toStdString();
    const std::vector<QPointF>& points = window->Chart().Points(DeviceSeries::IdOf(DevicesLocal[0].SerieFlow));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0].y(), reading.FlowRate_mass / 640);
    EXPECT_EQ(DevicesLocal[0].ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct, DevicesLocal[0].Setpoint_pct);

    TerminateThreads(*window, 5);
    EXPECT_EQ(DevicesLocal[0].ThreadMFC, nullptr);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

// A program with a line that cannot be read is told once, not at every tick, and while the
// message is open the ticks go on serving every device.
using EngineTickWindow = OperatorWindowTest;

TEST_F(EngineTickWindow, AnUnreadableProgramIsToldOnceAndTheTicksGoOnWhileTheMessageIsOpen)
{
    window->Engine().SetSleep([](int) {});
    window->TimeOrigin = NowDays();
    for (TDeviceInfo& device : DevicesLocal) {
        ASSERT_TRUE(device.StartThread());
        device.Led = window->AddLedForThread();
    }
    DevicesLocal[0].ControlMode = dcmSegment;
    DevicesLocal[0].FlowStartTime = NowDays();
    DevicesLocal[0].SegmentProgram = "soon 10 Step\r\n5 20 Step";
    DevicesLocal[1].ControlMode = dcmDirect;
    const auto otherHandled = [] { return DevicesLocal[1].LastHandled; };

    // The message box runs the event loop until it is confirmed, and the engine timer's ticks
    // with it (as RunUntil runs them).
    QStringList shown;
    bool servedWhileOpen = false;
    const MessageHandler previous = SetMessageHandler([&](const QString& text) {
        shown << text;
        const double before = otherHandled();
        servedWhileOpen = RunUntil([&] { return otherHandled() > before; });
    });
    EXPECT_TRUE(RunUntil([&] { return !shown.isEmpty(); }));
    EXPECT_TRUE(servedWhileOpen);
    const int ticksBefore = ticksRun;
    EXPECT_TRUE(RunUntil([&] { return ticksRun >= ticksBefore + 10; }));
    EXPECT_EQ(shown, QStringList{"Failed to read segment"});

    // Another unreadable program is told again; a readable one is not.
    DevicesLocal[0].SegmentProgram = "0 10 Step\r\nlater 20 Step";
    DevicesLocal[0].FlowStartTime = NowDays() - 1 / MinutesPerDay;
    EXPECT_TRUE(RunUntil([&] { return shown.size() == 2; }));
    DevicesLocal[0].SegmentProgram = "0 10 Step";
    const int ticksReadable = ticksRun;
    EXPECT_TRUE(RunUntil([&] { return ticksRun >= ticksReadable + 10; }));
    EXPECT_EQ(shown.size(), 2);

    SetMessageHandler(previous);
    TerminateThreads(*window, 5);
    EXPECT_TRUE(messages.Texts().isEmpty());
}

} // namespace
