#include "RecordingWindow.h"
#include "RuntimeTestSupport.h"

#include "core/UserMessages.h"
#include "devices/MFCThread.h"
#include "devices/PumpThread.h"
#include "devices/Shutdown.h"
#include "tools/ControllerSimulator.h"
#include "tools/PumpSimulator.h"

#include <gtest/gtest.h>
#include <cmath>
#include <memory>

namespace {

int CountLines(const QList<QByteArray>& lines, const QByteArray& wanted)
{
    return int(std::count(lines.begin(), lines.end(), wanted));
}

class ControllerThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetDevicesLocal();
        Simulate({});
    }

    // A simulated controller of this layout and firmware in place of the one there was.
    void Simulate(ControllerSimulatorOptions options)
    {
        options.TimeScale = 0.02;
        host.reset();
        simulator = std::make_shared<ControllerSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
        ASSERT_TRUE(host->IsOpen()) << host->ErrorText().toStdString();
    }

    // A controller worker as start-up makes one, with quick polls.
    std::unique_ptr<TMFCThread> MakeThread()
    {
        auto thread = std::make_unique<TMFCThread>();
        thread->Name = host->PortPath();
        thread->MFC = std::make_unique<TAlicatMFC>();
        thread->MFC->SetDeviceID('A');
        thread->MFC->Role = QStringLiteral("A");
        thread->MFC->COM().SetPort(host->PortPath().toLatin1());
        thread->MFC->COM().SetBaudRate(19200);
        thread->MFC->COM().SetWindowsReadLoopTimeoutMS(10);
        thread->MFC->COM().SetReadoutTimeoutMS(FastInstruments::AnswerBoundMS);
        return thread;
    }

    // Waits for n further readings to reach the window.
    bool Readings(TMFCThread& thread, int n)
    {
        for (int i = 0; i < n; ++i) {
            const double last = thread.GUIIn.DeviceStatus.DataTime;
            if (!ServeUntil([&] { return thread.GUIIn.DeviceStatus.DataTime > last; }, 5000))
                return false;
        }
        return true;
    }

    void Stop(TMFCThread& thread)
    {
        thread.GUIOut.ToTerminate = true;
        ASSERT_TRUE(ServeUntil([&] { return thread.GUIIn.IsTerminated; }, 5000));
        ASSERT_TRUE(thread.wait(5000));
    }

    FastInstruments fast;
    std::shared_ptr<ControllerSimulator> simulator;
    std::unique_ptr<SimulatorHost> host;
};

TEST_F(ControllerThreadTest, InitialisesFollowsSetpointWithoutResendingAndStopsAtZero)
{
    auto thread = MakeThread();
    thread->start();
    ASSERT_TRUE(Readings(*thread, 1));
    const QList<QByteArray> initialisation = host->ReceivedLines();
    for (const char* command : {"AFACTORY RESTORE ALL", "ALSS U", "ASPUE 0", "ADCU 37 62", "ADCU 2 7"})
        EXPECT_EQ(CountLines(initialisation, command), 1) << command;

    thread->GUIOut.DeviceStatus.GasID = 8;
    thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
    ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 32000 && simulator->GasNumber() == 8; }, 5000));
    ASSERT_TRUE(Readings(*thread, 2));
    const int sent = simulator->SetpointCommandCount();
    ASSERT_TRUE(Readings(*thread, 3));
    EXPECT_EQ(simulator->SetpointCommandCount(), sent) << "the controller already holds 32000 counts";
    EXPECT_EQ(CountLines(host->ReceivedLines(), "AG 8"), 1);
    EXPECT_GT(thread->GUIIn.DeviceStatus.MaxFlowgpm, 0);

    host->ClearReceivedLines();
    Stop(*thread);
    EXPECT_EQ(simulator->SetpointCounts(), 0);
    EXPECT_GE(CountLines(host->ReceivedLines(), "A0"), 1);
}

TEST_F(ControllerThreadTest, AnOutOfRangeSetpointIsSentAsTheNearestInRangeOnce)
{
    auto thread = MakeThread();
    thread->start();
    ASSERT_TRUE(Readings(*thread, 1));
    struct Case {
        double requested;
        int counts;
    };
    for (const Case c : {Case{150, 64000}, Case{-2400, 0}, Case{std::nan(""), 0}}) {
        SCOPED_TRACE(c.requested);
        thread->GUIOut.DeviceStatus.Setpoint_pct = c.requested;
        ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == c.counts; }, 5000));
        ASSERT_TRUE(Readings(*thread, 2));
        const int sent = simulator->SetpointCommandCount();
        ASSERT_TRUE(Readings(*thread, 3));
        EXPECT_EQ(simulator->SetpointCommandCount(), sent) << "the controller already holds the nearest setpoint";
    }
    Stop(*thread);
}

// A worker freed while it runs, without being asked to stop (a device list cleared, the
// program's end): it no longer waits for the window, which is waiting for it, and it ends after
// one attempt to bring its controller to zero, answered or not.
TEST_F(ControllerThreadTest, AWorkerFreedWhileRunningSetsZeroOnceAndEnds)
{
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent controller" : "answering controller");
        auto thread = MakeThread();
        thread->start();
        ASSERT_TRUE(Readings(*thread, 1));
        thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
        ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 32000; }, 5000));
        if (silent) {
            ControllerFaults faults;
            faults.NoReply = true;
            simulator->SetFaults(faults);
        }
        host->ClearReceivedLines();
        thread.reset();
        EXPECT_EQ(CountLines(host->ReceivedLines(), "A0"), 1);
        EXPECT_EQ(simulator->SetpointCounts(), silent ? 32000 : 0);
        simulator->SetFaults({});
    }
}

TEST_F(ControllerThreadTest, SendsNoSetpointWhileTheControllerReportsAStatusCode)
{
    auto thread = MakeThread();
    thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
    thread->start();
    ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 32000; }, 5000));

    ControllerFaults hold;
    hold.StatusCodes = {QStringLiteral("HLD")};
    simulator->SetFaults(hold);
    ASSERT_TRUE(Readings(*thread, 2));
    const int sent = simulator->SetpointCommandCount();
    thread->GUIOut.DeviceStatus.Setpoint_pct = 25;
    ASSERT_TRUE(Readings(*thread, 3));
    EXPECT_EQ(simulator->SetpointCommandCount(), sent);
    EXPECT_EQ(simulator->SetpointCounts(), 32000);

    simulator->SetFaults({});
    EXPECT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 16000; }, 5000));
    Stop(*thread);
}

TEST_F(ControllerThreadTest, ReadsEveryStatusLayoutAndTellsWhenItCannotKnowTheFullScale)
{
    using Layout = ControllerStatusLayout;
    const struct {
        const char* name;
        Layout layout;
        bool oldFirmware;
    } cases[] = {
        {"totaliser", Layout::Totalizer, false},
        {"no totaliser", Layout::NoTotalizer, false},
        {"valve drive", Layout::ValveDrive, false},
        {"no totaliser, old firmware", Layout::NoTotalizer, true},
        {"valve drive, old firmware", Layout::ValveDrive, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Simulate({.Layout = c.layout, .OldFirmware = c.oldFirmware});
        auto thread = MakeThread();
        thread->GUIOut.DeviceStatus.GasID = 8;
        thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
        thread->start();
        // Setpoints go out in counts of full scale whether or not the full scale is known.
        ASSERT_TRUE(ServeUntil([&] { return simulator->SetpointCounts() == 32000; }, 5000));
        ASSERT_TRUE(ServeUntil([&] { return thread->GUIIn.DeviceStatus.FlowRate_mass > 30000; }, 5000));
        const TThreadData& seen = thread->GUIIn;
        EXPECT_EQ(seen.DeviceStatus.GasSN, QStringLiteral("N2"));
        EXPECT_EQ(seen.DeviceStatus.SetpointFromDevice, 32000);
        EXPECT_EQ(seen.FullScaleUnknown, c.oldFirmware);
        const QStringList notices = seen.Report.Notices;
        if (c.oldFirmware) {
            EXPECT_EQ(seen.Report.Condition, QStringLiteral("full scale unknown"));
            EXPECT_EQ(notices, (QStringList{
                                   "Remote setpoint mode:count failed: ADCU 37 62 answered \"A ?\"",
                                   "The controller rejects ADCU 37 62: it has no remote setpoint in counts",
                                   "Pressure barA failed: ADCU 2 7 answered \"A ?\"",
                                   "The controller rejects ADCU 2 7: it has no pressure unit",
                                   "full scale unknown (reply: \"A ?\"); its flows are left out",
                               }));
        } else {
            EXPECT_TRUE(seen.Report.Condition.isEmpty());
            EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
            EXPECT_GT(seen.DeviceStatus.MaxFlowgpm, 0);
        }
        Stop(*thread);
    }
}

TEST(SimulatedControllerThread, InventsReadingsAndEndsOnTheFirstStopRequest)
{
    ResetDevicesLocal();
    TDeviceInfo demo = DevicesLocal[0];
    ASSERT_TRUE(demo.StartThread());
    EXPECT_FALSE(demo.StartThread()) << "a device keeps its one worker";
    TMFCThread& thread = *demo.ThreadMFC;
    ASSERT_TRUE(ServeUntil([&] { return thread.GUIIn.DeviceStatus.DataTime > 0; }, 3000));
    const double first = thread.GUIIn.DeviceStatus.DataTime;
    EXPECT_GE(thread.GUIIn.DeviceStatus.FlowRate_mass, 0);
    EXPECT_LE(thread.GUIIn.DeviceStatus.FlowRate_mass, 0.999);
    ASSERT_TRUE(ServeUntil([&] { return thread.GUIIn.DeviceStatus.DataTime > first; }, 3000));

    thread.GUIOut.ToTerminate = true;
    EXPECT_TRUE(ServeUntil([&] { return thread.GUIIn.IsTerminated; }, 3000));
    delete demo.ThreadMFC;
}

class PumpThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PumpSimulatorOptions options;
        options.TimeScale = 0.01;
        simulator = std::make_shared<PumpSimulator>(options);
        host = std::make_unique<SimulatorHost>(simulator);
        ASSERT_TRUE(host->IsOpen()) << host->ErrorText().toStdString();
    }

    // A pump worker prepared as start-up prepares it.
    std::unique_ptr<TPSD4Thread> MakeThread()
    {
        auto thread = std::make_unique<TPSD4Thread>();
        thread->Name = QStringLiteral("Dampor test");
        thread->Pump = std::make_unique<TPSD4>();
        thread->Pump->Connect(host->PortPath());
        QString feedback;
        thread->Pump->Initialize(QStringLiteral("ZN1R"), feedback);
        thread->Pump->WaitUntilFree(2);
        return thread;
    }

    FastInstruments fast;
    std::shared_ptr<PumpSimulator> simulator;
    std::unique_ptr<SimulatorHost> host;
};

const QString Program = QStringLiteral("gIV6000A24000OV8A0GR");

TEST_F(PumpThreadTest, SendsEachNewProgramOnceAndStops)
{
    auto thread = MakeThread();
    thread->GUIOut.Command = Program;
    thread->GUIOut.Setpoint = 0.4;
    thread->start();
    ASSERT_TRUE(ServeUntil([&] { return thread->GUIIn.Setpoint == 0.4; }, 3000));
    EXPECT_EQ(simulator->LastProgram(), Program.toLatin1());
    EXPECT_EQ(thread->GUIIn.Command, Program);
    const int stops = simulator->TerminateCount();
    EXPECT_GE(stops, 1);

    const double seen = thread->GUIIn.DataTime;
    ASSERT_TRUE(ServeUntil([&] { return thread->GUIIn.DataTime > seen; }, 3000));
    ServeUntil([] { return false; }, 600);
    EXPECT_EQ(simulator->TerminateCount(), stops) << "an unchanged program is not sent again";

    thread->GUIOut.ToTerminate = true;
    ASSERT_TRUE(ServeUntil([&] { return thread->GUIIn.IsTerminated; }, 3000));
    EXPECT_EQ(thread->GUIIn.Command, QStringLiteral("TR"));
    EXPECT_FALSE(simulator->Busy());
}

TEST_F(PumpThreadTest, APumpThatStaysBusyReportsFailedToTerminateAndGetsNoProgram)
{
    auto thread = MakeThread();
    thread->GUIOut.Command = Program;
    thread->start();
    ASSERT_TRUE(ServeUntil([&] { return simulator->LastProgram() == Program.toLatin1(); }, 3000));

    simulator->SetNeverReady(true);
    thread->GUIOut.ToTerminate = true;
    ASSERT_TRUE(ServeUntil([&] { return thread->GUIIn.aMessage == QStringLiteral("Failed to terminate"); }, 5000));
    EXPECT_FALSE(thread->GUIIn.IsTerminated);
    host->ClearReceivedLines();
    ServeUntil([] { return false; }, 700);
    for (const QByteArray& line : host->ReceivedLines())
        EXPECT_NE(line, "/1" + Program.toLatin1()) << "a stopping pump is never sent its program again";

    simulator->SetNeverReady(false);
    EXPECT_TRUE(ServeUntil([&] { return thread->GUIIn.IsTerminated; }, 5000));
    EXPECT_FALSE(simulator->Busy()) << "the stop ended the running program";
}

TEST_F(PumpThreadTest, AWorkerFreedWhileRunningStopsItsPumpAndEnds)
{
    auto thread = MakeThread();
    thread->GUIOut.Command = Program;
    thread->start();
    ASSERT_TRUE(ServeUntil([&] { return simulator->LastProgram() == Program.toLatin1() && simulator->Busy(); }, 3000));
    host->ClearReceivedLines();
    thread.reset();
    EXPECT_EQ(CountLines(host->ReceivedLines(), "/1T"), 1);
    EXPECT_FALSE(simulator->Busy());
}

TEST(PumpThreadWithoutPump, PausesBetweenRefusedCyclesAndStopsAtOnce)
{
    FastInstruments fast;
    TPSD4Thread thread;
    thread.Name = QStringLiteral("absent");
    thread.Pump = std::make_unique<TPSD4>(); // never connected: every command is refused
    thread.GUIOut.Command = Program;
    int cycles = 0;
    double last = 0;
    thread.start();
    ServeUntil([&] {
        if (thread.GUIIn.DataTime != last) {
            last = thread.GUIIn.DataTime;
            ++cycles;
        }
        return false;
    }, 1000);
    EXPECT_LE(cycles, 8) << "cycles against a pump that never connected must not spin";
    EXPECT_GE(cycles, 2);

    thread.GUIOut.ToTerminate = true;
    EXPECT_TRUE(ServeUntil([&] { return thread.GUIIn.IsTerminated; }, 2000));
    EXPECT_TRUE(thread.wait(2000));
}

} // namespace
